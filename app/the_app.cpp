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
    InitCommonControlClasses();
    const std::wstring_view commandLine = ::GetCommandLineW();
    SetExitCode(HasSilentSwitch(commandLine) ? RunSilentInstall(commandLine) : RunWizard());
    return FALSE;
}

}  // namespace pixelmoor
