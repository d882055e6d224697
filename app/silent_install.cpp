#include "app/silent_install.h"

#include <windows.h>

#include "contract/settings_record_file.h"
#include "framework/current_directory.h"
#include "contract/exit_codes.h"
#include "contract/product.h"
#include "framework/resource_strings.h"
#include "framework/run_log.h"
#include "framework/text_rules.h"
#include "install/driver.h"
#include "install/driver_rules.h"
#include "install/earlier_installation.h"
#include "install/install_folder.h"
#include "install/install_folder_rules.h"
#include "contract/install_log.h"
#include "contract/install_log_text.h"
#include "contract/installation_lock.h"
#include "install/payload_in_use.h"
#include "install/run_log_target.h"
#include "install/viewer_settings.h"
#include "resources/resource_ids.h"

namespace pixelmoor {

namespace {

// The exit code of a silent run for the install driver's result (1 or 0).
constexpr int ExitCodeForInstallResult(int result) noexcept { return result != 0 ? kExitSuccess : kExitFailed; }

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

int RunSilentInstall(std::wstring_view commandLine, ScreenFactsAhead& screen) {
    if (ViewerIsRunning()) {
        LogLine(L"Abgelehnt: Pixelmoor l\u00e4uft");
        WriteLogEntry(LoadMessageText(res::kStringViewerRunning));
        return kExitAlreadyRunning;
    }
    // A second setup leaves the installation to the one in progress; the
    // exit code asks deployment tools to try again later.
    InstallationLock lock = TryLockInstallation();
    if (!lock) {
        LogLine(L"Abgelehnt: eine andere Installation oder Deinstallation l\u00e4uft");
        WriteLogEntry(LoadMessageText(res::kStringInstallFailed));
        return kExitAlreadyRunning;
    }
    // Read before this installation registers itself in its place.
    const std::optional<EarlierInstallation> earlier = FindEarlierInstallation();
    InstallOptions options = ParseSilentCommandLine(commandLine);
    options.screen = &screen;
    // Another program of the payload that runs from the folder keeps its
    // file in use as the viewer does: refused alike, before anything is written.
    if (const std::optional<std::wstring> running = RunningPayloadProgram(options.folder)) {
        LogLine({L"Abgelehnt: ", *running, L" l\u00e4uft"});
        WriteLogEntry(LoadMessageText(res::kStringViewerRunning));
        return kExitAlreadyRunning;
    }
    // Nested into the earlier folder or around it, one copy could not be
    // removed: refused before anything is written.
    if (const std::optional<std::wstring> refusal = NestedFolderRefusal(earlier, options.folder)) {
        const std::wstring target = WithTrailingBackslash(WorkingFolder(options.folder).value_or(options.folder));
        const std::wstring entry = FailureLogText(*refusal, target, FolderPlace::kAfterMessage);
        LogLine({L"Abbruch: ", entry});
        WriteLogEntry(entry);
        return kExitFailed;
    }
    LeaveRunLogOutOfTheTarget(options.folder);
    // Where the setup was started: a complete unpacking leaves the current
    // directory in the install folder.
    const std::wstring failureLog = WithTrailingBackslash(CurrentDirectory()) + kInstallLogName;
    const int result = RunInstallation(options);
    lock.Release();
    // An earlier copy that stays is said; the installation's own exit code stands.
    if (result != 0)
        if (const std::optional<std::wstring> stays = RemoveEarlierInstallation(earlier, options.folder))
            AppendLogEntry(failureLog, *stays);
    return ExitCodeForInstallResult(result);
}

}  // namespace pixelmoor
