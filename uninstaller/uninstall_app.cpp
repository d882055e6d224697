#include "uninstaller/uninstall_app.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "contract/install_log.h"
#include "contract/installation_lock.h"
#include "contract/product.h"
#include "framework/current_directory.h"
#include "framework/dll_search.h"
#include "framework/resource_strings.h"
#include "framework/run_log.h"
#include "framework/system_folders.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "uninstaller/confirm_dialog.h"
#include "uninstaller/private_copy.h"
#include "uninstaller/uninstall_ids.h"
#include "uninstaller/uninstaller.h"

namespace pixelmoor {

namespace {

// The arguments after the program's name, as the system splits them.
std::vector<std::wstring> CommandLineArguments() {
    int count = 0;
    const UniqueLocalMemory<LPWSTR*> arguments(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::wstring> list;
    for (int i = 1; arguments && i < count; ++i) list.emplace_back(arguments.get()[i]);
    return list;
}

// A process's current directory cannot be removed while the process runs,
// and it may well be the install folder.
void LeaveCurrentDirectory() {
    if (const std::optional<std::wstring> system = SystemFolder()) ::SetCurrentDirectoryW(system->c_str());
}

void ShowMessage(const std::wstring& text, UINT icon) {
    ::MessageBoxW(nullptr, text.c_str(), LoadMessageText(res::kStringUninstallCaption).c_str(), MB_OK | icon);
}

// The viewer, or another program of the installation, runs from the folder:
// its files are in use, and a removal would stop half way.
bool InstallationRuns(const std::wstring& folder, std::span<const PayloadEntry> entries) {
    if (ViewerIsRunning()) return true;
    const PayloadRemovalPlan plan = PlanPayloadRemoval(entries);
    const std::vector<std::wstring_view> programs(plan.programs.begin(), plan.programs.end());
    return RunningProgramIn(folder, programs).has_value();
}

// Nothing is removed while the installation runs (its files are in use) or while
// a setup installs (it would put files back, or register what is gone).
int Refuse(int warningId, bool silent) {
    const std::wstring warning = LoadMessageText(warningId);
    LogLine({L"Abgelehnt: ", warning});
    if (silent) {
        AppendLogEntry(kUninstallLogName, warning);
    } else {
        ShowMessage(warning, MB_ICONWARNING);
    }
    return kExitAlreadyRunning;
}

// "vollständig entfernt" only when nothing stays; else what stays and why.
void ShowResult(int code, const UninstallOptions& options, const std::wstring& report) {
    std::wstring text;
    switch (code) {
        case kExitSuccess:
        case kExitRestartRequired:
            text = LoadMessageText(code == kExitRestartRequired ? res::kStringRemovedAtRestart
                                   : report.empty()             ? res::kStringRemoved
                                                                : res::kStringRemovedPartly);
            if (!report.empty()) text += L"\n\n" + report;
            ShowMessage(text, MB_ICONINFORMATION);
            return;
        default:
            text = LoadMessageText(res::kStringIncomplete);
            if (const std::size_t at = text.find(L"%s"); at != std::wstring::npos) text.replace(at, 2, options.logPath);
            ShowMessage(text, MB_ICONWARNING);
            return;
    }
}

}  // namespace

BOOL UninstallApp::InitInstance() {
    HardenDllSearchPath();
    UninstallOptions options = ParseUninstallArguments(CommandLineArguments());
    std::optional<WorkerChannel> channel = WorkerChannel::Open(options.workerProof);
    if (channel) {
        SetExitCode(RunWorker(options, *channel));
        return FALSE;
    }
    StartRunLog(options);
    const int code = RunUninstaller(options);
    LogLine({L"Deinstallation beendet, Exit-Code ", DecimalText(code)});
    SetExitCode(code);
    return FALSE;
}

void UninstallApp::StartRunLog(UninstallOptions& options) const {
    if (options.runLogPath.empty()) return;
    // Never one of the files that this uninstallation removes or keeps as changed.
    std::vector<std::wstring> payloadFiles;
    for (const PayloadEntry& entry : payloadEntries_) {
        if (entry.name.ends_with(L'/')) continue;
        std::wstring path = OwnProgramFolder() + std::wstring(entry.name);
        std::replace(path.begin(), path.end(), L'/', L'\\');
        payloadFiles.push_back(std::move(path));
    }
    const bool open = OpenRunLog(options.runLogPath, kFailureLogNames);
    if (open && RunLogIsOneOf(payloadFiles)) AbandonRunLog();
    if (!open || RunLogPath().empty()) {
        AppendLogEntry(kUninstallLogName, kRunLogUnwritableEntry + options.runLogPath);
        options.runLogPath.clear();
        return;
    }
    // The copy starts in another folder: it gets the log's full path.
    options.runLogPath = RunLogPath();
    LogLine({kProductName, L" 64-bit Deinstallation ", VersionText(kVersionMajor, kVersionMinor)});
    LogLine({L"Befehlszeile: ", ::GetCommandLineW()});
}

int UninstallApp::RunWorker(const UninstallOptions& options, WorkerChannel& channel) {
    // The program that started this copy has reported a log that cannot be written.
    if (!options.runLogPath.empty()) static_cast<void>(OpenRunLog(options.runLogPath));
    std::wstring report;
    const int code = RemoveInstallation(options, payloadEntries_, report);
    channel.WriteReport(report);
    return code;
}

int UninstallApp::RunUninstaller(UninstallOptions options) {
    // Whatever the command line says, this program removes the installation it lies in.
    options.folder = OwnProgramFolder();
    if (InstallationRuns(options.folder, payloadEntries_))
        return Refuse(res::kStringUninstallViewerRunning, options.silent);
    // Held until the work is done, so that no setup installs meanwhile.
    const InstallationLock lock = TryLockInstallation();
    if (!lock) return Refuse(res::kStringSetupRunning, options.silent);
    if (!options.silent) {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
        const std::optional<Confirmation> answer = AskToUninstall(InstanceHandle(), options.folder, options.purge);
        if (!answer) {
            LogLine(L"Frage mit Nein beantwortet");
            return kExitUserCancelled;
        }
        options.purge = answer->purge;
        // The user may have started one of its programs while the question was open.
        if (InstallationRuns(options.folder, payloadEntries_)) return Refuse(res::kStringUninstallViewerRunning, false);
    }
    options.logPath = WithTrailingBackslash(CurrentDirectory()) + kUninstallLogName;
    LeaveCurrentDirectory();

    const std::optional<WorkerResult> worker = RunFromPrivateCopy(options);
    const int code = worker ? LauncherExitCode(worker->code) : kExitFailed;
    if (!worker) {
        AppendLogEntry(options.logPath, LoadMessageText(res::kStringLogNoCopy));
    } else if (static_cast<std::uint32_t>(code) != worker->code) {
        AppendLogEntry(options.logPath, LoadMessageText(res::kStringLogCopyEnded));
    }
    if (!options.silent) ShowResult(code, options, worker ? worker->report : std::wstring());
    return code;
}

}  // namespace pixelmoor
