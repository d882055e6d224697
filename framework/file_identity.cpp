#include "framework/file_identity.h"

#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

// Characters of the buffer for a path that the system resolves (the longest it hands out).
constexpr DWORD kLongPathBuffer = kLongPathLimit + 1;

}  // namespace

UniqueFile OpenForIdentity(const std::wstring& path) {
    return UniqueFile(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::optional<FileIdentity> IdentityOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(file, &info)) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
    const UniqueFile file = OpenForIdentity(path);
    if (!file) return std::nullopt;
    return IdentityOf(file.get());
}

std::optional<std::wstring> FinalPathOf(HANDLE file) {
    std::wstring final(kLongPathBuffer, L'\0');
    const DWORD length = ::GetFinalPathNameByHandleW(file, final.data(), kLongPathBuffer, 0);
    if (length == 0 || length >= kLongPathBuffer) return std::nullopt;
    final.resize(length);
    return final;
}

std::optional<std::wstring> FullPathOf(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return std::nullopt;
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        // Too small: length is the size it needs, terminator included.
        full.resize(length);
    }
}

std::wstring ParentFolderOf(const std::wstring& path) {
    const std::size_t cut = path.find_last_of(L'\\');
    if (cut == std::wstring::npos || cut < 2 || cut + 1 == path.size()) return {};
    // "C:\x" has the parent "C:\".
    if (cut == 2 && path[1] == L':') return path.substr(0, 3);
    return path.substr(0, cut);
}

bool LiesBelow(const std::wstring& path, const FileIdentity& folder) {
    for (std::wstring up = ParentFolderOf(path); !up.empty(); up = ParentFolderOf(up))
        if (IdentityOf(up) == folder) return true;
    return false;
}

std::optional<std::wstring> FinalPathOf(const std::wstring& path) {
    const UniqueFile file = OpenForIdentity(path);
    if (!file) return std::nullopt;
    return FinalPathOf(file.get());
}

}  // namespace pixelmoor
