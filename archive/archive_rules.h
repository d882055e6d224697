// Rules of the archive reader and of the temporary payload copy that need no
// file system: the sizes of the name buffers, which entries are passed over,
// where a folder chain is cut into levels, where the copy is written, and
// what an archive's central directory counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pixelmoor {

// Bytes of the buffer that receives an entry's stored name, terminator included.
inline constexpr std::size_t kEntryNameBufferBytes = 520;
// Wide characters of the buffer that receives the converted name, terminator included.
inline constexpr std::size_t kWideNameBufferChars = 324;
// Bytes asked of minizip per read from an entry.
inline constexpr std::size_t kTransferBufferBytes = 32768;
// Bytes gathered from reads before they are written to the entry's file: the
// largest write, a whole multiple of the reads.
inline constexpr std::size_t kWriteBlockBytes = 32 * kTransferBufferBytes;

// Characters that GetTempPathW may fill, and the longest path of the copy
// (a buffer of 520 characters less its terminator).
inline constexpr std::size_t kTempPathLimit = 519;
inline constexpr wchar_t kTemporaryArchiveName[] = L"pmoorg_x64.zip";

// A stored name of this many bytes fits the name buffer with its terminator.
[[nodiscard]] constexpr bool EntryNameFits(std::uint64_t storedBytes) noexcept {
    return storedBytes < kEntryNameBufferBytes;
}
// A converted name of this many characters fits the wide buffer with its terminator.
[[nodiscard]] constexpr bool WideNameFits(std::size_t wideChars) noexcept { return wideChars < kWideNameBufferChars; }

// The icon library plug-in: the full name, folded to lower case (A to Z
// only), contains "icons.dll" anywhere.
[[nodiscard]] bool IsIconLibraryEntry(std::string_view name);
// Only the flag value 1 keeps an installed icon library.
[[nodiscard]] bool PassOverForIconLibrary(std::string_view name, int keepIconLibrary);

// A folder entry: nothing follows its last '/' or '\'.
[[nodiscard]] bool IsFolderEntry(std::string_view name) noexcept;

// True when the name, taken relative to the target folder, stays below it:
// not empty, no NUL, no ':' (drive letters, alternate streams), no leading
// '/' or '\', and no part made of dots and blanks only that holds two or more
// dots (Windows reads such parts as, or trims them to, "..").
[[nodiscard]] bool StaysInsideTarget(std::wstring_view name) noexcept;

// Where MakeFolderChain ends the next prefix of path, looking from index
// `from` on: the next '/' or '\', or the end of the path.
[[nodiscard]] std::size_t NextChainCut(std::wstring_view path, std::size_t from) noexcept;

// The name of a partial copy that a setup killed while writing the copy
// left: the copy's name, '~', a process id, '-' and an attempt number, each
// in decimal digits.
[[nodiscard]] bool IsPartialCopyName(std::wstring_view name) noexcept;

// The path of the temporary copy in tempFolder: a backslash added when
// missing, then the copy's name. Empty when there is no folder or the path
// would be longer than kTempPathLimit.
[[nodiscard]] std::optional<std::wstring> TemporaryArchivePath(std::wstring_view tempFolder);

// The files of a ZIP archive and their unpacked bytes, for the full log,
// read from its central directory; folders do not count. None when the
// bytes hold no central directory that lies whole within them.
struct ArchiveTotals {
    std::size_t files = 0;
    std::uint64_t bytes = 0;
};
[[nodiscard]] std::optional<ArchiveTotals> CountArchiveFiles(std::span<const std::byte> zip);

}  // namespace pixelmoor
