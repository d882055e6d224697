#include "framework/file_identity.h"

namespace pixelmoor {

UniqueFile OpenForIdentity(const std::wstring& path) {
    return UniqueFile(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::optional<FileIdentity> IdentityOfHandle(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(file, &info)) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
    const UniqueFile file = OpenForIdentity(path);
    if (!file) return std::nullopt;
    return IdentityOfHandle(file.get());
}

}  // namespace pixelmoor
