#include "app/silent_install.h"

#include <windows.h>

#include "app/exit_codes.h"
#include "framework/product.h"
#include "framework/resource_strings.h"
#include "framework/text_rules.h"
#include "install/driver.h"
#include "install/install_folder.h"
#include "install/install_folder_rules.h"
#include "install/install_log.h"
#include "install/installation_lock.h"
#include "install/viewer_settings.h"
#include "resources/resource_ids.h"

namespace pixelmoor {

namespace {

// Characters of the message text logged when another setup is installing.
constexpr std::size_t kMessageTextLimit = 1023;

bool ViewerIsRunning() noexcept { return ::FindWindowW(kViewerWindowClass, nullptr) != nullptr; }

}  // namespace

SilentDefaults ProposeSilentDefaults() {
    if (std::optional<std::wstring> existing = FindExistingInstallFolder()) {
        // An update keeps the settings where the installation keeps them.
        std::wstring iniFolder = RecordedIniFolder(*existing);
        return {std::move(*existing), std::move(iniFolder)};
    }
    return {GetDefaultInstallFolder(), kDefaultSettingsFolder};
}

InstallOptions ParseSilentCommandLine(std::wstring_view commandLine) {
    return ParseSilentCommandLine(commandLine, ProposeSilentDefaults());
}

int RunSilentInstall(std::wstring_view commandLine) {
    if (ViewerIsRunning()) {
        WriteLogEntry(LoadResourceString(res::kStringViewerRunning, kSystemPathLimit));
        return kExitViewerRunning;
    }
    // A second setup leaves the installation to the one in progress; the
    // exit code asks deployment tools to try again later.
    const InstallationLock lock = TryLockInstallation();
    if (!lock) {
        WriteLogEntry(LoadResourceString(res::kStringInstallFailed, kMessageTextLimit));
        return kExitInstallInProgress;
    }
    InstallOptions options = ParseSilentCommandLine(commandLine);
    return ExitCodeForInstallResult(RunInstallation(options));
}

}  // namespace pixelmoor
