// The setup's layer over minizip's unzip interface: unpacks every entry of a
// ZIP file below a target folder and gives the files their stored times.
#pragma once

#include <unzip.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "archive/mapped_archive.h"
#include "archive/unpack_progress.h"

namespace pixelmoor {

// Opens archivePath read-only, makes targetFolder the current directory and
// unpacks the entries there. keepIconLibrary 1 passes over every entry whose
// lower-cased name contains "icons.dll"; names that do not fit the buffers or
// would lead out of the target are refused. Returns 0 when every other file
// entry was written whole; the current directory then stays the target.
// Returns -1, with the current directory as it was, when the path is null,
// the archive cannot be opened, the folder cannot be entered, or the
// unpacking is incomplete: a file could not be created (it is passed over
// and the loop goes on), or an entry could not be read, decompressed,
// checked or written (the loop stops there; what came before stays).
// progress, when given, hears of every piece of file data written.
[[nodiscard]] int ExtractArchiveToFolder(const wchar_t* archivePath, const std::wstring& targetFolder,
                                         int keepIconLibrary, UnpackProgress* progress = nullptr);

// The same for an archive file already read into memory (a mapped view of
// it); -1 also when the bytes are not an archive.
[[nodiscard]] int ExtractArchiveBytes(std::span<const std::byte> archiveBytes, const std::wstring& targetFolder,
                                      int keepIconLibrary, UnpackProgress* progress = nullptr);

// The entry loop over archive, a reader that source opened, relative to the
// current directory; the files' data is inflated ahead on a worker thread
// through a reader of its own. Returns 0 or -1 as above.
[[nodiscard]] int ExtractAllEntries(const MemoryArchive& source, unzFile archive, int keepIconLibrary,
                                    UnpackProgress* progress = nullptr);

// Creates every level of a relative folder path ('/' or '\' between levels).
// Returns 1 when done, 0 when a level's parent is missing, -104 when there is
// no memory for the copy of the path.
int MakeFolderChain(std::wstring_view relativeFolder);

// Gives a file, through the handle it was written with (after the last
// write), the DOS date (high word) and time (low word), read as local time,
// as creation and last-write time; the last-access time stays.
void ApplyEntryFileTime(HANDLE file, std::uint32_t dosDateTime);

}  // namespace pixelmoor
