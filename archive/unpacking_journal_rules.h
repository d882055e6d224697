// Rules of the unpacking journal that need no file system: the names of
// what an unfinished unpacking leaves in the install folder, the journal's
// records as text, and the order in which an unfinished unpacking is undone.
//
// While the payload is unpacked, every file is written under a temporary
// name in its own folder and takes its place only when it is whole and its
// CRC matches; a file that it replaces is moved into a folder of kept files
// inside the install folder. Before each change, the journal in the install
// folder records what the change is, so that a run that fails, or the next
// run after one that was killed, can put back what was there before: the
// kept files return to their names, the files and folders that the run
// created go. Once the unpacking is complete, the journal goes first (from
// then on nothing is put back) and the kept files after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pixelmoor {

// In the install folder: the journal and the folder of kept files.
inline constexpr wchar_t kJournalName[] = L"~pm_unpack.journal";
inline constexpr wchar_t kKeptFolderName[] = L"~pm_unpack.kept";
// In the folder of each file being written: its data until it is whole.
inline constexpr wchar_t kNewFileName[] = L"~pm_unpack.new";
// Kept files are numbered from 1 with a 32-bit counter: at most this many digits.
inline constexpr std::size_t kKeptNumberDigits = 10;
// The journal's first line, which names its format; a journal of another
// format is left as it is.
inline constexpr wchar_t kJournalHeader[] = L"Pixelmoor unpacking journal 1";

// One change that the unpacking is about to make. Names are relative to the
// install folder, with backslashes between their parts.
struct JournalRecord {
    enum class Kind : wchar_t {
        kCreatedLevels = L'U',  // the install folder and number-1 folders above it were made by this run
        kCreatedFolder = L'D',  // the folder name is made by this run
        kNewFile = L'N',        // nothing had the name; the new file takes it
        kReplacedFile = L'K',   // the file of that name moves to the kept file number, the new one takes its place
    };
    Kind kind = Kind::kNewFile;
    std::uint32_t number = 0;
    std::wstring name;

    friend bool operator==(const JournalRecord&, const JournalRecord&) = default;
};

// The journal's header line, and one record as its line; each ends with CR LF.
[[nodiscard]] std::wstring JournalHeaderLine();
[[nodiscard]] std::wstring JournalRecordLine(const JournalRecord& record);

// Whether a name can stand in a record and be acted on: relative, inside
// the install folder (StaysInsideTarget), without control characters, and
// none of the journal's own names.
[[nodiscard]] bool JournalNameIsUsable(std::wstring_view name) noexcept;

// The records of a journal's text (UTF-16 as written). A last line without
// its CR LF was cut by a kill before its change began and is left out.
// Empty when the text is not a journal of this format or holds a line that
// is no record: nothing is undone then.
[[nodiscard]] std::optional<std::vector<JournalRecord>> ParseJournal(std::wstring_view text);

// The temporary name of a file being written: kNewFileName in its folder.
[[nodiscard]] std::wstring NewFileNameFor(std::wstring_view name);
// A kept file's name: kKeptFolderName, a backslash, the number.
[[nodiscard]] std::wstring KeptFileName(std::uint32_t number);

// The longest name below the install folder that an unpacking writes: the
// payload's longest entry, the temporary name in the deepest of its folders
// (given with backslashes, without the closing one), the journal and the
// kept files.
[[nodiscard]] std::size_t LongestUnpackingName(std::size_t longestEntry, std::span<const std::wstring_view> folders);

// One step of undoing an unfinished unpacking, on a name relative to the
// install folder (a view of a record's name, or of one of the names above).
struct UndoStep {
    enum class Kind {
        kRemoveNewFile,       // the temporary file in the folder of name goes when it is there
        kRemoveFile,          // the file goes when it is there
        kPutBack,             // the kept file of number goes back to name, replacing what has it
        kRemoveEmptyFolder,   // the folder goes when it is there and empty
        kRemoveKeptFolder,    // the folder of kept files goes when it is empty
        kRemoveJournal,       // the journal goes: the install folder is as it was
        kRemoveCreatedLevels, // the install folder and number-1 folders above it go when empty
    };
    Kind kind = Kind::kRemoveFile;
    std::uint32_t number = 0;
    std::wstring_view name;

    friend bool operator==(const UndoStep&, const UndoStep&) = default;
};

// The steps that undo the records (which they view, and which must outlive
// them), last change first: each file's temporary name goes, then the new
// file, or the kept file goes back; then the folders the run made, deepest
// first; the folder of kept files; the journal; last the levels of the
// install folder that the run made.
[[nodiscard]] std::vector<UndoStep> PlanUndo(std::span<const JournalRecord> records);

}  // namespace pixelmoor
