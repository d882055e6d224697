#include "payload/uninstaller/file_removal.h"

#include <windows.h>

#include <optional>

#include "framework/product.h"
#include "install/settings_rules.h"

namespace pixelmoor {

namespace {

constexpr wchar_t kOthersSection[] = L"Others";
constexpr wchar_t kIniFolderKey[] = L"INI_Folder";
// Characters of a recorded settings folder (a buffer of 520 characters).
constexpr DWORD kIniFolderBuffer = 520;
// The name the uninstaller's own file takes in the private folder.
constexpr wchar_t kMovedOwnFileName[] = L"pm_uninstall.original.exe";

bool IsLink(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// True when a folder between the install folder and the file is a link.
bool PassesThroughLink(const std::wstring& folder, const std::wstring& relative) {
    for (std::size_t cut = relative.find(L'\\'); cut != std::wstring::npos; cut = relative.find(L'\\', cut + 1))
        if (IsLink(::GetFileAttributesW((folder + relative.substr(0, cut)).c_str()))) return true;
    return false;
}

std::optional<std::wstring> EnvironmentValue(std::wstring_view name) {
    const std::wstring key(name);
    DWORD size = ::GetEnvironmentVariableW(key.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    size = ::GetEnvironmentVariableW(key.c_str(), value.data(), size);
    if (size >= value.size()) return std::nullopt;
    value.resize(size);
    return value;
}

bool ScheduleForRestart(const std::wstring& path) {
    return ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

}  // namespace

bool RemoveFileIfPresent(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return true;
    } else if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (::DeleteFileW(path.c_str())) return true;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

void RemovePayloadFiles(const std::wstring& folder, std::span<const std::wstring> files,
                        std::vector<std::wstring>& left) {
    for (const std::wstring& file : files) {
        if (PassesThroughLink(folder, file)) continue;
        if (!RemoveFileIfPresent(folder + file)) left.push_back(folder + file);
    }
}

void RemoveEmptyFolders(const std::wstring& folder, std::span<const std::wstring> folders) {
    // RemoveDirectoryW removes only an empty folder, and a link only as a link.
    for (const std::wstring& sub : folders) ::RemoveDirectoryW((folder + sub).c_str());
    ::RemoveDirectoryW(folder.c_str());
}

OwnFileRemoval RemoveOwnFile(const std::wstring& folder, const std::wstring& privateFolder) {
    const std::wstring own = folder + kUninstallerExe;
    if (RemoveFileIfPresent(own)) return OwnFileRemoval::Gone;
    if (!privateFolder.empty() &&
        ::MoveFileExW(own.c_str(), (privateFolder + kMovedOwnFileName).c_str(), MOVEFILE_REPLACE_EXISTING))
        return OwnFileRemoval::Gone;
    // The folder can go at the restart only if the file goes first.
    if (!ScheduleForRestart(own)) return OwnFileRemoval::Failed;
    // A folder is recorded by its name, without a backslash after it.
    ScheduleForRestart(folder.substr(0, folder.size() - 1));
    return OwnFileRemoval::AtRestart;
}

SettingsPlaces FindSettingsFiles(const std::wstring& folder) {
    const std::wstring programSettings = folder + kSettingsFileName;
    std::wstring recorded(kIniFolderBuffer, L'\0');
    const DWORD length = ::GetPrivateProfileStringW(kOthersSection, kIniFolderKey, L"", recorded.data(),
                                                    kIniFolderBuffer, programSettings.c_str());
    recorded.resize(length);
    const std::wstring expanded = recorded.empty() ? std::wstring() : ExpandIniFolder(recorded, EnvironmentValue);
    return SettingsToPurge(folder, expanded);
}

void RemoveSettingsFiles(const SettingsPlaces& places, std::vector<std::wstring>& left) {
    for (const std::wstring& file : places.files)
        if (!RemoveFileIfPresent(file)) left.push_back(file);
    if (!places.folder.empty()) ::RemoveDirectoryW(places.folder.c_str());
}

}  // namespace pixelmoor
