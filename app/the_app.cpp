#include "app/the_app.h"

#include <commctrl.h>

#include "app/command_line.h"
#include "app/silent_install.h"
#include "app/wizard_road.h"
#include "framework/dll_search.h"

namespace pixelmoor {

namespace {

// List view, tree view, bar, tab, up-down, progress, hot-key and animate.
constexpr DWORD kCommonControlClasses = 0xFF;

void InitCommonControlClasses() noexcept {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = 8;  // the size of the structure
    init.dwICC = kCommonControlClasses;
    ::InitCommonControlsEx(&init);
}

}  // namespace

BOOL TheApp::InitInstance() {
    HardenDllSearchPath();
    const std::wstring_view commandLine = ::GetCommandLineW();
    if (HasSilentSwitch(commandLine)) {
        SetExitCode(RunSilentInstall(commandLine));
        return FALSE;
    }
    // The control classes serve the wizard's pages alone; a silent run shows no window.
    InitCommonControlClasses();
    SetExitCode(RunWizard());
    return FALSE;
}

}  // namespace pixelmoor
