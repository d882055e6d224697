#include "app/the_app.h"

#include <commctrl.h>

#include "app/command_line.h"
#include "app/silent_install.h"
#include "app/usage.h"
#include "app/wizard_road.h"
#include "archive/payload_integrity.h"
#include "framework/dll_search.h"
#include "contract/exit_codes.h"
#include "contract/product.h"
#include "framework/resource_strings.h"
#include "framework/run_log.h"
#include "framework/text_rules.h"
#include "contract/install_log.h"
#include "contract/install_log_text.h"
#include "integration/windows_version.h"
#include "resources/resource_ids.h"

namespace pixelmoor {

namespace {

constexpr DWORD kCommonControlClasses = ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                                        ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS | ICC_HOTKEY_CLASS |
                                        ICC_ANIMATE_CLASS;

void InitCommonControlClasses() noexcept {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof(init);
    init.dwICC = kCommonControlClasses;
    ::InitCommonControlsEx(&init);
}

std::wstring WindowsVersionText() {
    const std::optional<WindowsVersion> version = TrueWindowsVersion();
    if (!version) return L"unbekannt";
    return DecimalText(version->major) + L'.' + DecimalText(version->minor) + L'.' + DecimalText(version->build);
}

// Opens the full log that "/log=" asks for and writes what this run is.
void StartRunLog(std::wstring_view commandLine) {
    const std::optional<std::wstring> path = ReadLogSwitch(commandLine);
    if (!path || path->empty()) return;
    if (!OpenRunLog(*path, kFailureLogNames)) {
        WriteLogEntry(kRunLogUnwritableEntry + *path);
        return;
    }
    LogLine({kSetupCaption, L" ", VersionText(kVersionMajor, kVersionMinor)});
    LogLine({L"Befehlszeile: ", commandLine});
    LogLine({L"Windows ", WindowsVersionText()});
}

// A setup file that was cut short or damaged on its way (a download) is
// refused on either road before anything is written: unpacked, it would
// leave a torn viewer. Silent, the failure log says so; the wizard says it
// in a box before its first page.
int RefuseDamagedSetup(bool silent) {
    const std::wstring message = LoadMessageText(res::kStringSetupDamaged);
    LogLine({L"Abbruch: ", message});
    if (silent) {
        WriteLogEntry(message);
    } else {
        ::MessageBoxW(nullptr, message.c_str(), kSetupCaption, MB_ICONERROR);
    }
    return kExitFailed;
}

// Whether the setup's file holds its payload whole, as the build recorded it.
bool SetupFileChecked() {
    const LoggedStep check{L"Setup-Datei"};
    const bool whole = SetupFileIsWhole(::GetModuleHandleW(nullptr), EmbeddedPayloadDigest());
    check.End({whole ? L"unversehrt" : L"besch\u00e4digt oder unvollst\u00e4ndig"});
    return whole;
}

int RunSilentRoad(std::wstring_view commandLine) {
    // Read while the file is checked and unpacked (install/screen_facts.h).
    ScreenFactsAhead screen;
    if (!SetupFileChecked()) return RefuseDamagedSetup(true);
    return RunSilentInstall(commandLine, screen);
}

int RunRoad(std::wstring_view commandLine) {
    const bool silent = HasSilentSwitch(commandLine);
    LogLine(silent ? L"Unbeaufsichtigte Installation" : L"Assistent");
    if (silent) return RunSilentRoad(commandLine);
    if (!SetupFileChecked()) return RefuseDamagedSetup(false);
    // The control classes serve the wizard's pages alone; a silent run shows no window.
    InitCommonControlClasses();
    return RunWizard();
}

}  // namespace

BOOL TheApp::InitInstance() {
    HardenDllSearchPath();
    const std::wstring_view commandLine = ::GetCommandLineW();
    // Asked for help, the setup answers and does nothing else; an
    // unattended job that tries "/?" must not be left waiting on a wizard.
    if (IsHelpRequest(commandLine)) {
        ShowUsage();
        SetExitCode(kExitSuccess);
        return FALSE;
    }
    KeepInstallLogHere();
    StartRunLog(commandLine);
    const int code = RunRoad(commandLine);
    LogLine({L"Setup beendet, Exit-Code ", DecimalText(code)});
    SetExitCode(code);
    return FALSE;
}

}  // namespace pixelmoor
