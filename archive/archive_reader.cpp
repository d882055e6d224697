#include "archive/archive_reader.h"

#include <windows.h>

#include <memory>
#include <new>
#include <optional>

#include "archive/archive_rules.h"
#include "archive/entry_plan.h"
#include "archive/inflate_ahead.h"
#include "archive/mapped_archive.h"
#include "archive/unpacking_journal.h"
#include "archive/unzip_owner.h"
#include "framework/current_directory.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

namespace {

constexpr int kUnpackFailed = -1;
constexpr int kFolderChainNoMemory = -104;

// The errors that the runtime reports as ENOENT: the level's parent is missing.
bool ParentIsMissing(DWORD error) noexcept {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
            return true;
        default:
            return false;
    }
}

// Writes the block whole; false when the write does not complete.
bool WriteBlock(HANDLE file, std::span<const char> block) {
    DWORD written = 0;
    return ::WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) &&
           written == static_cast<DWORD>(block.size());
}

// What became of one entry.
enum class EntryResult {
    kDone,     // written whole and in place, a folder entry, or passed over on purpose
    kStopped,  // not written whole: unreadable, damaged, in use, no room; the loop ends there
};

// The file entry's data comes inflated ahead; the entry is opened here as
// well, so that minizip itself decides, as the entry is met, whether its data
// can be opened and what closing it unread reports. The data goes to a
// temporary file, which takes the entry's name only once it is whole and its
// CRC matches.
EntryResult WriteFileEntry(unzFile archive, const EntryPlan& plan, InflateAhead& inflated, std::uint64_t index,
                           UnpackingJournal& journal, UnpackProgress* progress) {
    if (!HasReadableData(plan.info)) return EntryResult::kStopped;
    OpenCurrentEntry entry(archive);
    if (entry.openStatus() != UNZ_OK) return EntryResult::kStopped;
    // A name that cannot be taken (its file in use, a folder in its place,
    // no rights) stops the unpacking as well: a viewer with a file of the
    // earlier version among the new ones would not be either.
    std::optional<PendingFile> file = journal.BeginFile(plan.wideName);
    if (!file) return EntryResult::kStopped;
    for (;;) {
        const std::optional<InflatedPiece> piece = inflated.Next(index);
        if (!piece) return EntryResult::kStopped;
        if (!piece->bytes.empty() && !WriteBlock(file->newFile.get(), piece->bytes)) return EntryResult::kStopped;
        if (progress != nullptr) progress->Written(piece->bytes.size());
        if (!piece->last) continue;
        if (piece->readStatus != UNZ_OK || piece->closeStatus != UNZ_OK) return EntryResult::kStopped;
        ApplyEntryFileTime(file->newFile.get(), static_cast<std::uint32_t>(plan.info.dosDate));
        return journal.PlaceFile(*file) ? EntryResult::kDone : EntryResult::kStopped;
    }
}

// The entry the archive is positioned on.
EntryResult ExtractCurrentEntry(unzFile archive, int keepIconLibrary, InflateAhead& inflated, std::uint64_t index,
                                UnpackingJournal& journal, UnpackProgress* progress) {
    const std::optional<EntryPlan> plan = PlanCurrentEntry(archive, keepIconLibrary);
    if (!plan) return EntryResult::kStopped;
    switch (plan->kind) {
        case EntryPlan::Kind::kPassOver:
            return EntryResult::kDone;
        case EntryPlan::Kind::kFolder:
            // An existing folder is fine; one whose parent is missing is made
            // later by the first file below it, and one that cannot be made
            // shows in the files below it.
            return journal.MakeFolder(plan->wideName) ? EntryResult::kDone : EntryResult::kStopped;
        case EntryPlan::Kind::kFile:
            break;
    }
    return WriteFileEntry(archive, *plan, inflated, index, journal, progress);
}

// Unpacks into the journal's folder, made the current directory for the
// entries' relative names; after a failure the current directory is put back.
int ExtractIntoFolder(std::span<const std::byte> archiveBytes, UnpackingJournal& journal, int keepIconLibrary,
                      UnpackProgress* progress) {
    const MemoryArchive source(archiveBytes);
    const UniqueUnzip archive = source.Open();
    if (!archive) return kUnpackFailed;
    CurrentDirectoryScope restore;
    if (!::SetCurrentDirectoryW(journal.folder().c_str())) return kUnpackFailed;
    const int result = ExtractAllEntries(source, archive.get(), keepIconLibrary, journal, progress);
    if (result == 0) restore.Keep();
    return result;
}

}  // namespace

int ExtractArchiveToFolder(const wchar_t* archivePath, const std::wstring& targetFolder, int keepIconLibrary) {
    if (archivePath == nullptr) return kUnpackFailed;
    const UniqueFile file(::CreateFileW(archivePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return kUnpackFailed;
    const MappedFile mapped(file.get());
    if (!mapped) return kUnpackFailed;
    return ExtractArchiveBytes(mapped.bytes(), targetFolder, keepIconLibrary);
}

int ExtractArchiveBytes(std::span<const std::byte> archiveBytes, const std::wstring& targetFolder,
                        int keepIconLibrary) {
    std::optional<UnpackingJournal> journal = UnpackingJournal::Begin(targetFolder, 0);
    if (!journal) return kUnpackFailed;
    return ExtractArchiveBytes(archiveBytes, *journal, keepIconLibrary);
}

int ExtractArchiveBytes(std::span<const std::byte> archiveBytes, UnpackingJournal& journal, int keepIconLibrary,
                        UnpackProgress* progress) {
    // Entry names are relative: they land below the target through the
    // current directory, which stays there after a complete unpacking. After
    // a failed one it is put back, so that the install log still lands where
    // the setup was started, and only then is the folder put back as it was
    // (the current directory is a folder in use).
    const int result = ExtractIntoFolder(archiveBytes, journal, keepIconLibrary, progress);
    if (result == 0) {
        journal.Commit();
    } else {
        journal.RollBack();
    }
    return result;
}

int ExtractAllEntries(const MemoryArchive& source, unzFile archive, int keepIconLibrary, UnpackingJournal& journal,
                      UnpackProgress* progress) {
    unz_global_info64 global{};
    if (::unzGetGlobalInfo64(archive, &global) != UNZ_OK) return kUnpackFailed;
    if (global.number_entry == 0) return 0;
    // Without its buffers no entry can be copied.
    InflateAhead inflated(source, keepIconLibrary);
    if (!inflated) return kUnpackFailed;
    for (ZPOS64_T i = 0; i < global.number_entry;) {
        if (ExtractCurrentEntry(archive, keepIconLibrary, inflated, i, journal, progress) == EntryResult::kStopped)
            return kUnpackFailed;
        if (++i < global.number_entry && ::unzGoToNextFile(archive) != UNZ_OK) return kUnpackFailed;
    }
    return 0;
}

int MakeFolderChain(std::wstring_view relativeFolder) {
    if (relativeFolder.empty()) return 0;
    const std::unique_ptr<wchar_t[]> copy(new (std::nothrow) wchar_t[relativeFolder.size() + 1]);
    if (!copy) return kFolderChainNoMemory;
    std::size_t length = relativeFolder.copy(copy.get(), relativeFolder.size());
    if (copy[length - 1] == L'/') --length;
    copy[length] = L'\0';
    if (::CreateDirectoryW(copy.get(), nullptr)) return 1;

    // Level by level: each prefix is ended in place, created and restored.
    const std::wstring_view path(copy.get(), length);
    for (std::size_t cut = NextChainCut(path, 1);; cut = NextChainCut(path, cut + 1)) {
        const wchar_t kept = copy[cut];
        copy[cut] = L'\0';
        const bool created = ::CreateDirectoryW(copy.get(), nullptr);
        const DWORD error = ::GetLastError();
        copy[cut] = kept;
        if (!created && ParentIsMissing(error)) return 0;
        if (cut >= length) return 1;
    }
}

void ApplyEntryFileTime(HANDLE file, std::uint32_t dosDateTime) {
    FILETIME local{}, entryTime{};
    if (!::DosDateTimeToFileTime(HIWORD(dosDateTime), LOWORD(dosDateTime), &local)) return;
    if (!::LocalFileTimeToFileTime(&local, &entryTime)) return;
    ::SetFileTime(file, &entryTime, nullptr, &entryTime);
}

}  // namespace pixelmoor
