#include "payload/uninstaller/uninstaller.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "framework/product.h"
#include "framework/resource_strings.h"
#include "framework/unique_handle.h"
#include "install/install_folder.h"
#include "install/install_folder_rules.h"
#include "install/install_log.h"
#include "integration/registration_removal.h"
#include "integration/registry_removal_apply.h"
#include "payload/uninstaller/file_removal.h"
#include "payload/uninstaller/private_copy.h"
#include "payload/uninstaller/shortcut_removal.h"
#include "payload/uninstaller/uninstall_ids.h"

namespace pixelmoor {

namespace {

constexpr std::size_t kMessageTextLimit = 1023;

std::optional<std::wstring> ReadString(HKEY root, const wchar_t* key, const wchar_t* name) {
    DWORD bytes = 0;
    if (::RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS) return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (::RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, text.data(), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(text.find(L'\0'));
    return text;
}

bool RegistrationBelongsTo(const std::wstring& folder) {
    const std::optional<std::wstring> command = ReadString(HKEY_LOCAL_MACHINE, kOpenCommandKey, nullptr);
    return RegistrationIsOurs(ReadString(HKEY_LOCAL_MACHINE, kUninstallEntryKey, L"InstallLocation"),
                              command ? ExistingInstallFolderFromCommand(*command) : std::nullopt, folder);
}

// Every step of the registration but the uninstall entry, which goes last.
void RemoveRegistration(const std::wstring& folder, std::vector<std::wstring>& left) {
    RegistryRemovals steps = RegistrationRemovalSteps(folder);
    std::erase(steps, RegistryRemoval(UninstallEntryRemoval()));
    const std::vector<std::wstring> kept = ApplyRegistryRemovals(steps);
    left.insert(left.end(), kept.begin(), kept.end());
    // Explorer forgets the viewer's file types and icons.
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

}  // namespace

int RemoveInstallation(const UninstallOptions& options, std::span<const std::wstring_view> payloadEntries) {
    const std::wstring& folder = options.folder;
    if (folder.empty()) return kExitIncomplete;  // nothing to go by
    std::vector<std::wstring> left;
    // Read before the program folder's settings file may go.
    const SettingsPlaces settings = FindSettingsFiles(folder);
    {
        const ComScope com;
        RemoveShortcuts(folder, left);
    }
    const bool registrationIsOurs = RegistrationBelongsTo(folder);
    if (registrationIsOurs) RemoveRegistration(folder, left);
    const PayloadRemovalPlan plan = PlanPayloadRemoval(payloadEntries);
    RemovePayloadFiles(folder, plan.files, left);
    if (options.purge) RemoveSettingsFiles(settings, left);

    // The uninstall entry and the uninstaller go only when nothing else is
    // left, so that the uninstallation can be run again to complete it.
    if (left.empty() && registrationIsOurs) {
        const RegistryRemoval entry = UninstallEntryRemoval();
        const std::vector<std::wstring> kept = ApplyRegistryRemovals({&entry, 1});
        left.insert(left.end(), kept.begin(), kept.end());
    }
    int code = kExitRemoved;
    if (left.empty()) {
        switch (RemoveOwnFile(folder, OwnProgramFolder())) {
            case OwnFileRemoval::Gone:
                break;
            case OwnFileRemoval::AtRestart:
                code = kExitRestartCompletes;
                break;
            case OwnFileRemoval::Failed:
                left.push_back(folder + kUninstallerExe);
                break;
        }
    }
    RemoveEmptyFolders(folder, plan.folders);
    if (left.empty()) return code;
    AppendLogEntry(options.logPath.empty() ? std::wstring(kUninstallLogName) : options.logPath,
                   IncompleteRemovalText(LoadResourceString(res::kStringLogIncomplete, kMessageTextLimit), left));
    return kExitIncomplete;
}

}  // namespace pixelmoor
