#include "install/settings_file.h"

#include <algorithm>
#include <vector>

#include "framework/text_rules.h"
#include "install/settings_rules.h"

namespace pixelmoor {

namespace {

constexpr DWORD kReadBlockBytes = 65536;
// Names tried for the new file before the copy is given up; each is taken
// only when nothing has it yet.
constexpr int kNewNameAttempts = 16;

// At namespace scope rather than a function's static: the setup has no
// other static that needs a guard, and a guarded one would bring the
// runtime's thread library along.
SettingsReplaceObserver replaceObserver;

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD block = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), block, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

// A new file beside the temporary file's name holding bytes. CREATE_NEW
// fails on any name that exists, a link included, so nothing is followed.
OwnFile WriteNewFile(const std::wstring& tempPath, std::string_view bytes) {
    const std::wstring stem = tempPath + L"~" + DecimalText(::GetCurrentProcessId()) + L"-";
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

// Renames the file to name, replacing what has that name: a file, or a link
// (the rename replaces the link itself, even where deleting through its name
// would reach its target). An empty folder of that name is removed first; a
// link to a folder, or a folder with content, makes it fail.
bool MoveToName(OwnFile& file, const std::wstring& name) {
    if (!::MoveFileExW(file.path().c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD attributes = ::GetFileAttributesW(name.c_str());
        const bool plainFolder = attributes != INVALID_FILE_ATTRIBUTES &&
                                 (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                                 (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
        if (!plainFolder || !::RemoveDirectoryW(name.c_str()) ||
            !::MoveFileExW(file.path().c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING))
            return false;
    }
    file.Renamed(name);
    return true;
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

std::optional<std::string> ReadRemainingBytes(HANDLE file) {
    std::string bytes;
    std::vector<char> block(kReadBlockBytes);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, block.data(), kReadBlockBytes, &got, nullptr)) return std::nullopt;
        if (got == 0) return bytes;
        bytes.append(block.data(), got);
    }
}

std::optional<std::string> ReadSettingsBytes(const std::wstring& path) {
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        if (::GetLastError() == ERROR_FILE_NOT_FOUND) return std::string();
        return std::nullopt;
    }
    return ReadRemainingBytes(file.get());
}

std::optional<SettingsFileCopy> SettingsFileCopy::Make(const std::wstring& target, std::string_view bytes) {
    const std::wstring tempPath = SettingsTempPath(target);
    OwnFile copy = WriteNewFile(tempPath, bytes);
    if (!copy || !MoveToName(copy, tempPath)) return std::nullopt;
    return SettingsFileCopy(target, std::move(copy));
}

std::optional<std::string> SettingsFileCopy::Read() const {
    const UniqueFile file = copy_.Open(GENERIC_READ);
    if (!file) return std::nullopt;
    return ReadRemainingBytes(file.get());
}

bool SettingsFileCopy::ReplaceTarget() {
    {
        // On disk before the rename, so that even a power cut cannot leave an
        // empty file under the settings file's name.
        const UniqueFile file = copy_.Open(GENERIC_READ | GENERIC_WRITE);
        if (!file || !::FlushFileBuffers(file.get())) {
            copy_.reset();
            return false;
        }
    }
    if (replaceObserver) replaceObserver(copy_.path(), target_);
    if (!::MoveFileExW(copy_.path().c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        copy_.reset();
        return false;
    }
    copy_.release();  // it is the settings file now
    return true;
}

void RemoveSettingsTemp(const std::wstring& target) {
    // An empty copy takes the name and goes again with its owner.
    (void)SettingsFileCopy::Make(target, {});
}

void SetSettingsReplaceObserver(SettingsReplaceObserver observer) { replaceObserver = std::move(observer); }

}  // namespace pixelmoor
