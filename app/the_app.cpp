#include "app/the_app.h"

#include <commctrl.h>

#include "app/command_line.h"
#include "app/silent_install.h"
#include "app/wizard_road.h"
#include "framework/dll_search.h"

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
