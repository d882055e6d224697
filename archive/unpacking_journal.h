// The unpacking's journal on disk (unpacking_journal_rules.h says what it
// records): the file writer that puts each new file in place only when it is
// whole, the undoing of a failed unpacking, and the repair of what a killed
// one left. The setup and the uninstaller both repair with it.
//
// A killed process needs no flush: what it wrote is in the system's cache and
// reaches the disk after it. Nothing here is flushed, so a power cut in the
// middle of an unpacking is not covered.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/unpacking_journal_rules.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

// One file of the payload being written: the new data goes through newFile
// (its temporary name, opened for writing and renaming), the file it
// replaces is held through oldFile (opened for renaming and not shared, so
// that nobody uses it meanwhile); oldFile is invalid for a new name.
struct PendingFile {
    std::wstring name;  // relative to the install folder, backslashes
    UniqueFile newFile;
    UniqueFile oldFile;
    std::uint32_t keptNumber = 0;
};

class UnpackingJournal {
public:
    // Starts the journal in folder (ending in a backslash); the caller has
    // repaired what an earlier run left there (RepairUnfinishedUnpacking).
    // createdLevels: how many levels of the folder's path this run has just
    // made (the folder itself and those above it), which go again when the
    // unpacking fails. Empty when the journal cannot be started (an earlier
    // run's journal that could not be undone is there, or the file cannot be
    // written); the levels made are removed again then.
    [[nodiscard]] static std::optional<UnpackingJournal> Begin(std::wstring folder, std::uint32_t createdLevels);

    UnpackingJournal(UnpackingJournal&&) noexcept = default;
    UnpackingJournal& operator=(UnpackingJournal&&) noexcept = default;

    [[nodiscard]] const std::wstring& folder() const noexcept { return folder_; }

    // Makes one folder (relative, '/' or '\' between levels) when it is
    // missing, recorded first; its parent must exist. False only when the
    // record cannot be written.
    [[nodiscard]] bool MakeFolder(std::wstring_view relative);
    // Makes every missing level of a relative folder path the same way.
    [[nodiscard]] bool MakeFolderChain(std::wstring_view relative);

    // Opens the temporary file for the entry name (relative, '/' or '\'),
    // making its folders when they are missing. The file of that name, when
    // there is one, is held from here on. Empty when the name cannot be
    // recorded, the file of that name is in use or is a folder, or the
    // temporary file cannot be created.
    [[nodiscard]] std::optional<PendingFile> BeginFile(std::wstring_view name);

    // Puts the written file in place: the file it replaces moves to the kept
    // files, the new one takes its name. False when either rename fails.
    [[nodiscard]] bool PlaceFile(PendingFile& file);

    // The unpacking is complete: the journal goes, then the kept files.
    void Commit();
    // The unpacking failed: undone from the journal as written, as the next
    // run would undo it after a kill (RepairUnfinishedUnpacking): everything
    // it wrote goes and the kept files go back to their names, with their
    // bytes and times; the full log says what was put back. Nothing of the
    // journal is used afterwards.
    void RollBack();

private:
    UnpackingJournal(std::wstring folder, UniqueFile file) noexcept
        : folder_(std::move(folder)), file_(std::move(file)) {}
    [[nodiscard]] bool Append(const JournalRecord& record);
    [[nodiscard]] bool FolderIsOurs(std::wstring_view relativeFolder) const;

    std::wstring folder_;
    UniqueFile file_;
    // Folders made by this run (folded to small letters, ending in a
    // backslash; "" for the install folder): nothing of the payload can be
    // in them before it is written. A payload has few folders.
    std::vector<std::wstring> ourFolders_;
    std::uint32_t lastKept_ = 0;
    bool keptFolderMade_ = false;
};

// What the repair of an install folder found.
enum class Repair {
    kNothingFound,  // no journal, no kept files
    kRepaired,      // the earlier state is back (or a complete run's kept files are gone)
    kIncomplete,    // something could not be put back, or the journal is not readable: the journal stays
};

// Looks for what an unpacking into folder (ending in a backslash) left when
// it was killed, and puts back what was there before it: its new files and
// folders go, the files it replaced return. keepCurrent names files (as the
// journal names them) that are in use by the caller and go with its work
// anyway: their kept copies go instead of returning. Each step goes to the
// full log. A folder of kept files without a journal is what a complete
// unpacking left when it was killed while removing it: it goes.
Repair RepairUnfinishedUnpacking(const std::wstring& folder, std::span<const std::wstring_view> keepCurrent = {});

// Removes the folder (ending in a backslash) and the levels above it, up to
// `levels` of them, each only while it is empty and no link.
void RemoveCreatedLevels(const std::wstring& folder, std::uint32_t levels);

}  // namespace pixelmoor
