#include "uninstaller/uninstall_app.h"

#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "framework/dll_search.h"
#include "framework/product.h"
#include "framework/resource_strings.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "install/install_log.h"
#include "install/installation_lock.h"
#include "uninstaller/confirm_dialog.h"
#include "uninstaller/private_copy.h"
#include "uninstaller/uninstall_ids.h"
#include "uninstaller/uninstaller.h"

namespace pixelmoor {

namespace {

constexpr std::size_t kMessageTextLimit = 1023;

std::wstring Text(int id) { return LoadResourceString(id, kMessageTextLimit); }

// The arguments after the program's name, as the system splits them.
std::vector<std::wstring> CommandLineArguments() {
    int count = 0;
    const UniqueLocalMemory<LPWSTR*> arguments(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::wstring> list;
    for (int i = 1; arguments && i < count; ++i) list.emplace_back(arguments.get()[i]);
    return list;
}

bool ViewerIsRunning() noexcept { return ::FindWindowW(kViewerWindowClass, nullptr) != nullptr; }

std::wstring CurrentDirectory() {
    std::wstring folder(::GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    if (!EndsWithBackslash(folder)) folder += L'\\';
    return folder;
}

// A process's current directory cannot be removed while the process runs,
// and it may well be the install folder.
void LeaveCurrentDirectory() {
    std::wstring system(MAX_PATH, L'\0');
    const UINT length = ::GetSystemDirectoryW(system.data(), MAX_PATH);
    if (length > 0 && length < MAX_PATH) ::SetCurrentDirectoryW(system.c_str());
}

void ShowMessage(const std::wstring& text, UINT icon) {
    ::MessageBoxW(nullptr, text.c_str(), Text(res::kStringUninstallCaption).c_str(), MB_OK | icon);
}

// Nothing is removed while the viewer runs (its files are in use) or while
// a setup installs (it would put files back, or register what is gone).
int Refuse(int warningId, bool silent) {
    const std::wstring warning = Text(warningId);
    if (silent) {
        AppendLogEntry(kUninstallLogName, warning);
    } else {
        ShowMessage(warning, MB_ICONWARNING);
    }
    return kExitViewerRunning;
}

// "vollständig entfernt" only when nothing stays; else what stays and why.
void ShowResult(int code, const UninstallOptions& options, const std::wstring& report) {
    std::wstring text;
    switch (code) {
        case kExitRemoved:
        case kExitRestartCompletes:
            text = Text(code == kExitRestartCompletes ? res::kStringRemovedAtRestart
                        : report.empty()              ? res::kStringRemoved
                                                      : res::kStringRemovedPartly);
            if (!report.empty()) text += L"\n\n" + report;
            ShowMessage(text, MB_ICONINFORMATION);
            return;
        default:
            text = Text(res::kStringIncomplete);
            if (const std::size_t at = text.find(L"%s"); at != std::wstring::npos) text.replace(at, 2, options.logPath);
            ShowMessage(text, MB_ICONWARNING);
            return;
    }
}

}  // namespace

BOOL UninstallApp::InitInstance() {
    HardenDllSearchPath();
    const UninstallOptions options = ParseUninstallArguments(CommandLineArguments());
    std::optional<WorkerChannel> channel = WorkerChannel::Open(options.workerProof);
    SetExitCode(channel ? RunWorker(options, *channel) : RunUninstaller(options));
    return FALSE;
}

int UninstallApp::RunWorker(const UninstallOptions& options, WorkerChannel& channel) {
    std::wstring report;
    const int code = RemoveInstallation(options, payloadEntries_, report);
    channel.WriteReport(report);
    return code;
}

int UninstallApp::RunUninstaller(UninstallOptions options) {
    // Whatever the command line says, this program removes the installation it lies in.
    options.folder = OwnProgramFolder();
    if (ViewerIsRunning()) return Refuse(res::kStringUninstallViewerRunning, options.silent);
    // Held until the work is done, so that no setup installs meanwhile.
    const InstallationLock lock = TryLockInstallation();
    if (!lock) return Refuse(res::kStringSetupRunning, options.silent);
    if (!options.silent) {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
        const std::optional<Confirmation> answer = AskToUninstall(InstanceHandle(), options.folder, options.purge);
        if (!answer) return kExitDeclined;
        options.purge = answer->purge;
        // The user may have started the viewer while the question was open.
        if (ViewerIsRunning()) return Refuse(res::kStringUninstallViewerRunning, false);
    }
    options.logPath = CurrentDirectory() + kUninstallLogName;
    LeaveCurrentDirectory();

    const std::optional<WorkerResult> worker = RunFromPrivateCopy(options);
    const int code = worker ? LauncherExitCode(worker->code) : kExitIncomplete;
    if (!worker) {
        AppendLogEntry(options.logPath, Text(res::kStringLogNoCopy));
    } else if (static_cast<std::uint32_t>(code) != worker->code) {
        AppendLogEntry(options.logPath, Text(res::kStringLogCopyEnded));
    }
    if (!options.silent) ShowResult(code, options, worker ? worker->report : std::wstring());
    return code;
}

}  // namespace pixelmoor
