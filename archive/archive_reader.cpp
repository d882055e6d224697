#include "archive/archive_reader.h"

#include <windows.h>

#include <memory>
#include <new>
#include <optional>

#include "archive/archive_rules.h"
#include "archive/entry_plan.h"
#include "archive/inflate_ahead.h"
#include "archive/mapped_archive.h"
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

UniqueFile CreateWritable(const std::wstring& path) {
    return UniqueFile(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Creates or truncates the entry's file; when that fails, creates its folder
// levels and tries once more.
UniqueFile CreateOutputFile(const std::wstring& wideName) {
    UniqueFile file = CreateWritable(wideName);
    if (file) return file;
    const std::size_t cut = wideName.find_last_of(L"/\\");
    if (cut == std::wstring::npos) return file;
    static_cast<void>(MakeFolderChain(std::wstring_view(wideName).substr(0, cut)));
    return CreateWritable(wideName);
}

// Writes the block whole; false when the write does not complete.
bool WriteBlock(HANDLE file, std::span<const char> block) {
    DWORD written = 0;
    return ::WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) &&
           written == static_cast<DWORD>(block.size());
}

// What became of one entry.
enum class EntryResult {
    kDone,        // written whole, a folder entry, or passed over on purpose
    kNotWritten,  // its file could not be created: passed over, the unpacking is incomplete
    kStopped,     // unreadable, damaged or not written whole: the loop ends
};

EntryResult FromStatus(int status) noexcept { return status == UNZ_OK ? EntryResult::kDone : EntryResult::kStopped; }

// The file entry's data comes inflated ahead; the entry is opened here as
// well, so that minizip itself decides, as the entry is met, whether its data
// can be opened and what closing it unread reports.
EntryResult WriteFileEntry(unzFile archive, const EntryPlan& plan, InflateAhead& inflated, std::uint64_t index,
                           UnpackProgress* progress) {
    if (!HasReadableData(plan.info)) return EntryResult::kStopped;
    OpenCurrentEntry entry(archive);
    if (entry.openStatus() != UNZ_OK) return EntryResult::kStopped;
    UniqueFile file = CreateOutputFile(plan.wideName);
    // A file that cannot be written (read-only, in use, a folder in its way)
    // is passed over so that the rest still arrives, but it leaves the
    // installation incomplete.
    if (!file) return entry.close() == UNZ_OK ? EntryResult::kNotWritten : EntryResult::kStopped;
    for (;;) {
        const std::optional<InflatedPiece> piece = inflated.Next(index);
        if (!piece) return EntryResult::kStopped;
        if (!piece->bytes.empty() && !WriteBlock(file.get(), piece->bytes)) return EntryResult::kStopped;
        if (progress != nullptr) progress->Written(piece->bytes.size());
        if (!piece->last) continue;
        // After a failed read the partly written file stays, without the entry's times.
        if (piece->readStatus != UNZ_OK) return EntryResult::kStopped;
        ApplyEntryFileTime(file.get(), static_cast<std::uint32_t>(plan.info.dosDate));
        return FromStatus(piece->closeStatus);
    }
}

// The entry the archive is positioned on.
EntryResult ExtractCurrentEntry(unzFile archive, int keepIconLibrary, InflateAhead& inflated, std::uint64_t index,
                                UnpackProgress* progress) {
    const std::optional<EntryPlan> plan = PlanCurrentEntry(archive, keepIconLibrary);
    if (!plan) return EntryResult::kStopped;
    switch (plan->kind) {
        case EntryPlan::Kind::kPassOver:
            return EntryResult::kDone;
        case EntryPlan::Kind::kFolder:
            // An existing folder is fine; one whose parent is missing is made
            // later by the first file below it, and one that cannot be made
            // shows in the files below it.
            ::CreateDirectoryW(plan->wideName.c_str(), nullptr);
            return EntryResult::kDone;
        case EntryPlan::Kind::kFile:
            break;
    }
    return WriteFileEntry(archive, *plan, inflated, index, progress);
}

}  // namespace

int ExtractArchiveToFolder(const wchar_t* archivePath, const std::wstring& targetFolder, int keepIconLibrary,
                           UnpackProgress* progress) {
    if (archivePath == nullptr) return kUnpackFailed;
    const UniqueFile file(::CreateFileW(archivePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return kUnpackFailed;
    const MappedFile mapped(file.get());
    if (!mapped) return kUnpackFailed;
    return ExtractArchiveBytes(mapped.bytes(), targetFolder, keepIconLibrary, progress);
}

int ExtractArchiveBytes(std::span<const std::byte> archiveBytes, const std::wstring& targetFolder, int keepIconLibrary,
                        UnpackProgress* progress) {
    const MemoryArchive source(archiveBytes);
    const UniqueUnzip archive = source.Open();
    if (!archive) return kUnpackFailed;
    // Entry names are relative: they land below the target through the
    // current directory, which stays there after a complete unpacking. After
    // a failed one it is put back, so that the install log still lands where
    // the setup was started.
    CurrentDirectoryScope restore;
    if (!::SetCurrentDirectoryW(targetFolder.c_str())) return kUnpackFailed;
    const int result = ExtractAllEntries(source, archive.get(), keepIconLibrary, progress);
    if (result == 0) restore.Keep();
    return result;
}

int ExtractAllEntries(const MemoryArchive& source, unzFile archive, int keepIconLibrary, UnpackProgress* progress) {
    unz_global_info64 global{};
    if (::unzGetGlobalInfo64(archive, &global) != UNZ_OK) return kUnpackFailed;
    if (global.number_entry == 0) return 0;
    // Without its buffers no entry can be copied.
    InflateAhead inflated(source, keepIconLibrary);
    if (!inflated) return kUnpackFailed;
    bool complete = true;
    for (ZPOS64_T i = 0; i < global.number_entry;) {
        const EntryResult result = ExtractCurrentEntry(archive, keepIconLibrary, inflated, i, progress);
        if (result == EntryResult::kStopped) return kUnpackFailed;
        if (result == EntryResult::kNotWritten) complete = false;
        if (++i < global.number_entry && ::unzGoToNextFile(archive) != UNZ_OK) return kUnpackFailed;
    }
    return complete ? 0 : kUnpackFailed;
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
