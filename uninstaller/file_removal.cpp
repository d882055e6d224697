#include "uninstaller/file_removal.h"

#include <shlobj.h>
#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <optional>

#include "contract/settings_record_file.h"
#include "framework/folder_path.h"
#include "contract/product.h"
#include "framework/system_folders.h"
#include "framework/system_names.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

namespace {

// The name the uninstaller's own file takes in the private folder.
constexpr wchar_t kMovedOwnFileName[] = L"pm_uninstall.original.exe";
constexpr DWORD kReadBlockBytes = 65536;
// The variables that a settings folder is recorded with, and the shell
// folders they stand for when a bare environment lacks them.
struct VariableFolder {
    std::wstring_view name;
    int csidl;
};
constexpr VariableFolder kVariableFolders[] = {
    {L"APPDATA", CSIDL_APPDATA}, {L"LOCALAPPDATA", CSIDL_LOCAL_APPDATA}, {L"USERPROFILE", CSIDL_PROFILE}};

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// The first folder on the way from the install folder to the end of relative
// ("Plugins" of "Plugins\Raster.dll") that is a link, ending in a backslash.
std::optional<std::wstring> LinkOnTheWay(const std::wstring& folder, const std::wstring& relative) {
    for (std::size_t cut = relative.find(L'\\'); cut != std::wstring::npos; cut = relative.find(L'\\', cut + 1))
        if (IsLink(folder + relative.substr(0, cut))) return folder + relative.substr(0, cut + 1);
    return std::nullopt;
}

std::optional<std::uint32_t> ChecksumOf(HANDLE file) {
    std::vector<Bytef> block(kReadBlockBytes);
    uLong crc = ::crc32(0, nullptr, 0);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file, block.data(), kReadBlockBytes, &read, nullptr)) return std::nullopt;
        if (read == 0) return static_cast<std::uint32_t>(crc);
        crc = ::crc32(crc, block.data(), read);
    }
}

// Deleted when the handle is closed: the file that was checked is the file
// that goes, whatever its name leads to by then.
bool MarkForDeletion(HANDLE file, DWORD attributes) {
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        FILE_BASIC_INFO basic{};  // times of zero stay as they are
        basic.FileAttributes = attributes & ~FILE_ATTRIBUTE_READONLY;
        if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof(basic));
    }
    FILE_DISPOSITION_INFO disposition{TRUE};
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof(disposition)) != FALSE;
}

enum class CheckedRemoval {
    Gone,       // removed, or not there
    Changed,    // holds other bytes than the setup wrote: stays
    Elsewhere,  // leads out of its folder (a link): stays
    Failed,     // in use, or no rights
};

// Removes the file at path when it lies in the folder whose final path is
// finalFolder (the system resolves links, so a link to a file elsewhere lies
// elsewhere) and, with a checksum given, still holds bytes of that checksum.
// Under Wine a link's target would go with it, so it is never deleted.
CheckedRemoval RemoveCheckedFile(const std::wstring& path, const std::optional<std::wstring>& finalFolder,
                                 std::optional<std::uint32_t> crc) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return IsMissing(::GetLastError()) ? CheckedRemoval::Gone : CheckedRemoval::Failed;
    // A folder of that name is not a file of ours: nothing of ours is there.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return CheckedRemoval::Gone;
    // Nobody may change it between the check and the removal.
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return IsMissing(::GetLastError()) ? CheckedRemoval::Gone : CheckedRemoval::Failed;
    const std::optional<std::wstring> finalPath = FinalPathOf(file.get());
    if (!finalFolder || !finalPath || !IsInsideFolder(*finalPath, *finalFolder)) return CheckedRemoval::Elsewhere;
    if (crc) {
        const std::optional<std::uint32_t> actual = ChecksumOf(file.get());
        if (!actual) return CheckedRemoval::Failed;
        if (*actual != *crc) return CheckedRemoval::Changed;
    }
    return MarkForDeletion(file.get(), attributes) ? CheckedRemoval::Gone : CheckedRemoval::Failed;
}

// What stays of the file at path: kept when it is the user's or leads
// elsewhere, left when it could not go.
void Record(CheckedRemoval removal, const std::wstring& path, RemovalOutcome& outcome) {
    switch (removal) {
        case CheckedRemoval::Gone:
            return;
        case CheckedRemoval::Changed:
            outcome.Keep(path, KeptReason::Changed);
            return;
        case CheckedRemoval::Elsewhere:
            outcome.Keep(path, KeptReason::Link);
            return;
        case CheckedRemoval::Failed:
            outcome.left.push_back(path);
            return;
    }
}

// Removes a file of the installation outside the payload, while it lies in
// its own folder.
void RemoveFileInItsFolder(const std::wstring& path, RemovalOutcome& outcome) {
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
    Record(RemoveCheckedFile(path, FinalFolderOf(folder), std::nullopt), path, outcome);
}

bool ScheduleForRestart(const std::wstring& path) {
    return ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

// A variable's value; for a variable that the environment lacks (a
// deployment agent's bare one), the shell folder that it stands for.
std::optional<std::wstring> VariableValue(std::wstring_view name) {
    if (std::optional<std::wstring> value = EnvironmentValue(name)) return value;
    for (const VariableFolder& variable : kVariableFolders)
        if (SystemNamesEqual(name, variable.name)) return ShellFolder(variable.csidl);
    return std::nullopt;
}

}  // namespace

bool RemoveFileIfPresent(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (IsMissing(::GetLastError())) return true;
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return true;
    } else if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (::DeleteFileW(path.c_str())) return true;
    return IsMissing(::GetLastError());
}

void RemovePayloadFiles(const std::wstring& folder, std::span<const PayloadFile> files, RemovalOutcome& outcome) {
    const std::optional<std::wstring> finalFolder = FinalFolderOf(folder);
    for (const PayloadFile& file : files) {
        if (const std::optional<std::wstring> link = LinkOnTheWay(folder, file.path)) {
            outcome.Keep(*link, KeptReason::Link);
            continue;
        }
        const std::wstring path = folder + file.path;
        Record(RemoveCheckedFile(path, finalFolder, file.crc), path, outcome);
    }
}

void RemoveEmptySubfolders(const std::wstring& folder, std::span<const std::wstring> folders,
                           const ProtectedFolders& protectedFolders, RemovalOutcome& outcome) {
    // In a drive's root or a shell folder, a "Languages" or "Help" may well
    // have been there before the installation.
    if (protectedFolders.Contains(folder)) return;
    for (const std::wstring& sub : folders) {
        if (const std::optional<std::wstring> link = LinkOnTheWay(folder, sub + L'\\')) {
            outcome.Keep(*link, KeptReason::Link);
            continue;
        }
        const std::wstring path = folder + sub;
        // RemoveDirectoryW removes only an empty folder.
        if (!protectedFolders.Contains(path)) ::RemoveDirectoryW(path.c_str());
    }
}

void RemoveInstallFolder(const std::wstring& folder, const ProtectedFolders& protectedFolders,
                         RemovalOutcome& outcome) {
    // Under Wine, removing a link to a folder removes the folder it leads to.
    if (IsLink(folder)) {
        outcome.Keep(folder, KeptReason::Link);
    } else if (protectedFolders.Contains(folder)) {
        outcome.Keep(folder, KeptReason::SystemFolder);
    } else {
        ::RemoveDirectoryW(folder.c_str());
    }
}

bool FolderHoldsOthers(const std::wstring& folder, std::span<const std::wstring_view> names) {
    WIN32_FIND_DATAW found;
    const UniqueFind find(::FindFirstFileW((folder + L'*').c_str(), &found));
    if (!find) return false;
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (std::none_of(names.begin(), names.end(), [name](std::wstring_view n) { return SystemNamesEqual(name, n); }))
            return true;
    } while (::FindNextFileW(find.get(), &found));
    return false;
}

OwnFileRemoval RemoveOwnFile(const std::wstring& folder, const std::wstring& privateFolder, bool folderMayGo) {
    const std::wstring own = folder + kUninstallerExe;
    if (RemoveFileIfPresent(own)) return OwnFileRemoval::Gone;
    if (!privateFolder.empty() &&
        ::MoveFileExW(own.c_str(), (privateFolder + kMovedOwnFileName).c_str(), MOVEFILE_REPLACE_EXISTING))
        return OwnFileRemoval::Gone;
    // The folder can go at the restart only if the file goes first.
    if (!ScheduleForRestart(own)) return OwnFileRemoval::Failed;
    // A folder is recorded by its name, without a backslash after it.
    if (folderMayGo) ScheduleForRestart(WithoutTrailingBackslash(folder));
    return OwnFileRemoval::AtRestart;
}

InstalledSettings FindSettingsFiles(const std::wstring& folder) {
    const std::wstring programSettings = folder + kSettingsFileName;
    const std::wstring recorded = RecordedIniFolder(folder);
    InstalledSettings settings;
    const std::optional<std::wstring> expanded = ExpandRecordedFolder(recorded, folder, VariableValue);
    if (!expanded) settings.unknownFolder = recorded;
    settings.places = SettingsToPurge(folder, expanded.value_or(std::wstring()));
    settings.programFileIsPointer = IsSetupPointerFileAt(programSettings);
    return settings;
}

void RemoveSettingsFiles(const InstalledSettings& settings, const ProtectedFolders& protectedFolders,
                         RemovalOutcome& outcome) {
    if (settings.unknownFolder) outcome.Keep(*settings.unknownFolder, KeptReason::SettingsUnknown);
    for (const std::wstring& file : settings.places.files) RemoveFileInItsFolder(file, outcome);
    const std::wstring& folder = settings.places.folder;
    if (!folder.empty() && !IsLink(folder) && !protectedFolders.Contains(folder)) ::RemoveDirectoryW(folder.c_str());
}

void RemoveSetupPointer(const std::wstring& folder, const InstalledSettings& settings, RemovalOutcome& outcome) {
    if (settings.programFileIsPointer) RemoveFileInItsFolder(folder + kSettingsFileName, outcome);
}

}  // namespace pixelmoor
