#include "app/the_app.h"

#include <commctrl.h>

#include <string>

#include "app/command_line.h"
#include "app/silent_install.h"
#include "app/wizard_road.h"

namespace pixelmoor {

namespace {

// Characters of the system directory (a buffer of 260 characters).
constexpr UINT kSystemDirectoryBuffer = 260;
constexpr DWORD kLoadLibrarySearchSystem32 = 0x800;
// List view, tree view, bar, tab, up-down, progress, hot-key and animate.
constexpr DWORD kCommonControlClasses = 0xFF;

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// Makes DLLs loaded later by name come from the system directory only. The
// function is looked up in kernel32 by its full path, so that not even this
// look-up can be redirected; on systems without it nothing changes.
void HardenDllSearchPath() noexcept {
    std::wstring path(kSystemDirectoryBuffer, L'\0');
    const UINT length = ::GetSystemDirectoryW(path.data(), kSystemDirectoryBuffer);
    if (length == 0 || length >= kSystemDirectoryBuffer) return;
    path.resize(length);
    if (path.back() != L'\\') path += L'\\';
    path += L"kernel32.dll";
    // Not owned: GetModuleHandleW takes no reference on the loaded module.
    const HMODULE kernel = ::GetModuleHandleW(path.c_str());
    if (kernel == nullptr) return;
    const FARPROC found = ::GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (found == nullptr) return;
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(found));
    setDefaultDllDirectories(kLoadLibrarySearchSystem32);
}

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
