#include "framework/own_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

// Names tried for the new file before it is given up; each is taken only
// when nothing has it yet.
constexpr int kNewNameAttempts = 16;
constexpr std::size_t kLargestWrite = std::size_t{1} << 30;

// Removes an empty folder of that name that is no link; false when there is
// none or it cannot go.
bool RemovePlainFolder(const std::wstring& name) {
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    const bool plainFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                             (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
    return plainFolder && ::RemoveDirectoryW(name.c_str());
}

}  // namespace

OwnFile& OwnFile::operator=(OwnFile&& other) noexcept {
    if (this != &other) {
        reset();
        path_ = std::exchange(other.path_, {});
        identity_ = other.identity_;
    }
    return *this;
}

UniqueFile OwnFile::Open(DWORD access) const {
    if (path_.empty()) return {};
    UniqueFile file(::CreateFileW(path_.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION opened{};
    if (!file || !::GetFileInformationByHandle(file.get(), &opened) || !SameFile(opened, identity_) ||
        (opened.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return {};
    return file;
}

void OwnFile::reset() noexcept {
    if (path_.empty()) return;
    // Deleted through a handle that is known to be this file, so that a link
    // put in its place is left alone together with its target.
    const UniqueFile file = Open(DELETE);
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (file) ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof(disposition));
    path_.clear();
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) noexcept {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

bool WriteAll(HANDLE file, std::span<const std::byte> bytes) {
    while (!bytes.empty()) {
        const DWORD block = static_cast<DWORD>(std::min(bytes.size(), kLargestWrite));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), block, &written, nullptr) || written == 0) return false;
        bytes = bytes.subspan(written);
    }
    return true;
}

OwnFile WriteNewFileBeside(const std::wstring& name, std::span<const std::byte> bytes) {
    const std::wstring stem = name + L"~" + DecimalText(::GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < kNewNameAttempts; ++attempt) {
        std::wstring path = stem + DecimalText(attempt);
        UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            return {};
        }
        BY_HANDLE_FILE_INFORMATION identity{};
        if (!::GetFileInformationByHandle(file.get(), &identity)) {
            file.reset();
            ::DeleteFileW(path.c_str());  // created just now by CREATE_NEW
            return {};
        }
        OwnFile own(std::move(path), identity);
        const bool written = WriteAll(file.get(), bytes);
        file.reset();  // closed before a failed file is removed
        if (!written) return {};
        return own;
    }
    return {};
}

bool MoveToName(OwnFile& file, const std::wstring& name) {
    if (!::MoveFileExW(file.path().c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        if (!RemovePlainFolder(name) || !::MoveFileExW(file.path().c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING))
            return false;
    }
    file.Renamed(name);
    return true;
}

UniqueFile CreateTransientFileBeside(const std::wstring& name) {
    const std::wstring stem = name + L"~" + DecimalText(::GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < kNewNameAttempts; ++attempt) {
        UniqueFile file(::CreateFileW((stem + DecimalText(attempt)).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                      FILE_SHARE_READ, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr));
        if (file) return file;
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

bool RenameOpenFile(HANDLE file, const std::wstring& path, bool replace) {
    const std::size_t nameBytes = path.size() * sizeof(wchar_t);
    const std::size_t bytes = sizeof(FILE_RENAME_INFO) + nameBytes;
    // Whole 64-bit words: the record holds a handle.
    std::vector<ULONGLONG> buffer((bytes + sizeof(ULONGLONG) - 1) / sizeof(ULONGLONG), 0);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = replace ? TRUE : FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(info->FileName, path.data(), nameBytes);
    return ::SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(bytes)) != FALSE;
}

bool MoveOpenFileToName(HANDLE file, const std::wstring& name) {
    return RenameOpenFile(file, name, true) || (RemovePlainFolder(name) && RenameOpenFile(file, name, true));
}

}  // namespace pixelmoor
