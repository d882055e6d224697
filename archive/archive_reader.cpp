#include "archive/archive_reader.h"

#include <iowin32.h>
#include <windows.h>

#include <array>
#include <memory>
#include <new>
#include <optional>

#include "archive/archive_rules.h"
#include "archive/unzip_owner.h"
#include "framework/current_directory.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

namespace {

constexpr int kUnpackFailed = -1;
constexpr int kFolderChainNoMemory = -104;
constexpr int kCopyFailed = -1;

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

// The entry name in the system ANSI code page, as wide characters; empty
// when it cannot be converted or does not fit the wide name buffer.
std::optional<std::wstring> WideEntryName(std::string_view name) {
    const int stored = static_cast<int>(name.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, name.data(), stored, nullptr, 0);
    if (length <= 0 || !WideNameFits(static_cast<std::size_t>(length))) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (::MultiByteToWideChar(CP_ACP, 0, name.data(), stored, wide.data(), length) != length) return std::nullopt;
    return wide;
}

// minizip is built without decryption and without bzip2; it would hand out
// such data raw, or inflate what is not deflated, so only stored and deflated
// entries without encryption are opened.
bool HasReadableData(const unz_file_info64& info) noexcept {
    const bool encrypted = (info.flag & 1u) != 0;
    return !encrypted && (info.compression_method == 0 || info.compression_method == Z_DEFLATED);
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

bool WriteBlock(HANDLE file, const char* data, int count) {
    DWORD written = 0;
    return ::WriteFile(file, data, static_cast<DWORD>(count), &written, nullptr) &&
           written == static_cast<DWORD>(count);
}

// Moves the entry's data into the file. UNZ_OK when all declared bytes
// arrived, minizip's code on a read or inflate error, kCopyFailed when a write
// fails or the data ends before the declared size (minizip checks the CRC
// only when that size was reached, so a short entry would pass unnoticed).
int CopyEntryData(OpenCurrentEntry& entry, HANDLE file, char* transfer, std::uint64_t declaredSize) {
    std::uint64_t copied = 0;
    for (;;) {
        const int count = entry.read(transfer, static_cast<unsigned>(kTransferBufferBytes));
        if (count < 0) return count;
        if (count == 0) break;
        if (!WriteBlock(file, transfer, count)) return kCopyFailed;
        copied += static_cast<std::uint64_t>(count);
    }
    return copied == declaredSize ? UNZ_OK : kCopyFailed;
}

// What became of one entry.
enum class EntryResult {
    kDone,        // written whole, a folder entry, or passed over on purpose
    kNotWritten,  // its file could not be created: passed over, the unpacking is incomplete
    kStopped,     // unreadable, damaged or not written whole: the loop ends
};

EntryResult FromStatus(int status) noexcept { return status == UNZ_OK ? EntryResult::kDone : EntryResult::kStopped; }

EntryResult ExtractFileEntry(unzFile archive, const unz_file_info64& info, const std::wstring& wideName,
                             char* transfer) {
    if (!HasReadableData(info)) return EntryResult::kStopped;
    OpenCurrentEntry entry(archive);
    if (entry.openStatus() != UNZ_OK) return EntryResult::kStopped;
    UniqueFile file = CreateOutputFile(wideName);
    // A file that cannot be written (read-only, in use, a folder in its way)
    // is passed over so that the rest still arrives, but it leaves the
    // installation incomplete.
    if (!file) return entry.close() == UNZ_OK ? EntryResult::kNotWritten : EntryResult::kStopped;
    const int copied = CopyEntryData(entry, file.get(), transfer, info.uncompressed_size);
    file.reset();
    // After a failed copy the entry is closed by its owner and its verdict
    // dropped; the partly written file stays.
    if (copied != UNZ_OK) return EntryResult::kStopped;
    ApplyEntryFileTime(wideName, static_cast<std::uint32_t>(info.dosDate));
    return FromStatus(entry.close());
}

// The entry the archive is positioned on.
EntryResult ExtractCurrentEntry(unzFile archive, int keepIconLibrary) {
    std::array<char, kEntryNameBufferBytes> nameBuffer{};
    unz_file_info64 info{};
    const int read = ::unzGetCurrentFileInfo64(archive, &info, nameBuffer.data(), static_cast<uLong>(nameBuffer.size()),
                                               nullptr, 0, nullptr, 0);
    if (read != UNZ_OK) return EntryResult::kStopped;
    // minizip does not end a name that fills the buffer, so its length is
    // taken from the entry; a name that does not fit is refused.
    if (!EntryNameFits(info.size_filename)) return EntryResult::kDone;
    const std::string_view name(nameBuffer.data(), info.size_filename);
    if (PassOverForIconLibrary(name, keepIconLibrary)) return EntryResult::kDone;
    // Names are resolved against the current directory, the target folder;
    // one that would land outside it is refused.
    const std::optional<std::wstring> wideName = WideEntryName(name);
    if (!wideName || !StaysInsideTarget(*wideName)) return EntryResult::kDone;

    const std::unique_ptr<char[]> transfer(new (std::nothrow) char[kTransferBufferBytes]);
    if (!transfer) return EntryResult::kStopped;
    if (IsFolderEntry(name)) {
        // An existing folder is fine; one whose parent is missing is made
        // later by the first file below it, and one that cannot be made shows
        // in the files below it.
        ::CreateDirectoryW(wideName->c_str(), nullptr);
        return EntryResult::kDone;
    }
    return ExtractFileEntry(archive, info, *wideName, transfer.get());
}

}  // namespace

int ExtractArchiveToFolder(const wchar_t* archivePath, const std::wstring& targetFolder, int keepIconLibrary) {
    if (archivePath == nullptr) return kUnpackFailed;
    zlib_filefunc64_def io{};
    ::fill_win32_filefunc64W(&io);
    const UniqueUnzip archive(::unzOpen2_64(archivePath, &io));
    if (!archive) return kUnpackFailed;
    // Entry names are relative: they land below the target through the
    // current directory, which stays there after a complete unpacking. After
    // a failed one it is put back, so that the install log still lands where
    // the setup was started.
    CurrentDirectoryScope restore;
    if (!::SetCurrentDirectoryW(targetFolder.c_str())) return kUnpackFailed;
    const int result = ExtractAllEntries(archive.get(), keepIconLibrary);
    if (result == 0) restore.Keep();
    return result;
}

int ExtractAllEntries(unzFile archive, int keepIconLibrary) {
    unz_global_info64 global{};
    if (::unzGetGlobalInfo64(archive, &global) != UNZ_OK) return kUnpackFailed;
    bool complete = true;
    for (ZPOS64_T i = 0; i < global.number_entry;) {
        const EntryResult result = ExtractCurrentEntry(archive, keepIconLibrary);
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

void ApplyEntryFileTime(const std::wstring& path, std::uint32_t dosDateTime) {
    const UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return;
    FILETIME created{}, accessed{}, written{};
    if (!::GetFileTime(file.get(), &created, &accessed, &written)) return;
    FILETIME local{}, entryTime{};
    if (!::DosDateTimeToFileTime(HIWORD(dosDateTime), LOWORD(dosDateTime), &local)) return;
    if (!::LocalFileTimeToFileTime(&local, &entryTime)) return;
    ::SetFileTime(file.get(), &entryTime, &accessed, &entryTime);
}

}  // namespace pixelmoor
