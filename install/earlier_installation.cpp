#include "install/earlier_installation.h"

#include <windows.h>

#include <vector>

#include "framework/file_identity.h"
#include "framework/product.h"
#include "framework/run_log.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "install/driver_rules.h"

namespace pixelmoor {

namespace {

constexpr wchar_t kUninstallSilentSwitch[] = L" /silent";
constexpr wchar_t kUninstallLogSwitch[] = L"/log=";
// Processes of the uninstallation looked at: the uninstaller starts one copy.
constexpr std::size_t kJobProcessesLimit = 16;
constexpr DWORD kImageNameLimit = 32768;

// True when the folder at path or one above it is the earlier one: the
// installation just made is then its own or inside it. Unknown counts as
// inside, so that nothing runs on a guess.
bool LiesInEarlierFolder(std::wstring path, const FileIdentity& earlier) {
    path = WithoutTrailingBackslash(std::move(path));
    const std::optional<FileIdentity> installed = IdentityOf(path);
    if (!installed) return true;
    for (;;) {
        if (IdentityOf(path) == earlier) return true;
        const std::size_t cut = path.find_last_of(L'\\');
        if (cut == std::wstring::npos || cut == 0) return false;
        path.resize(cut);
    }
}

bool IsPlainFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

// Paths on Windows hold no double quotes, so quoting them is enough; a
// backslash is never last (the path names a file).
std::wstring Quoted(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }

// The uninstaller's processes in the job that are still running: the
// uninstaller and the copies of itself that it starts. Whatever else they
// started (the system may start a helper of its own) is not waited for.
std::vector<UniqueHandle> RunningUninstallers(HANDLE job) {
    std::vector<UniqueHandle> running;
    struct {
        JOBOBJECT_BASIC_PROCESS_ID_LIST list;
        ULONG_PTR more[kJobProcessesLimit];
    } ids{};
    ids.list.NumberOfAssignedProcesses = kJobProcessesLimit + 1;
    if (!::QueryInformationJobObject(job, JobObjectBasicProcessIdList, &ids, sizeof(ids), nullptr)) return running;
    for (DWORD i = 0; i < ids.list.NumberOfProcessIdsInList && i <= kJobProcessesLimit; ++i) {
        UniqueHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                           static_cast<DWORD>(ids.list.ProcessIdList[i])));
        std::wstring image(kImageNameLimit, L'\0');
        DWORD length = kImageNameLimit;
        if (!process || !::QueryFullProcessImageNameW(process.get(), 0, image.data(), &length)) continue;
        image.resize(length);
        const std::size_t name = image.find_last_of(L'\\');
        if (EqualsIgnoringCase(std::wstring_view(image).substr(name == std::wstring::npos ? 0 : name + 1),
                               kUninstallerExe))
            running.push_back(std::move(process));
    }
    return running;
}

// Waits for the process, handling the messages sent to this thread's
// windows meanwhile (whoever broadcasts to them must not wait for us), and
// then for the uninstaller's other processes in the job. Returns the exit
// code of the process.
DWORD WaitForUninstallation(HANDLE process, HANDLE job) {
    while (::MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        // Delivers the sent messages only; input stays queued for later.
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (job != nullptr)
        for (std::vector<UniqueHandle> running = RunningUninstallers(job); !running.empty();
             running = RunningUninstallers(job))
            for (const UniqueHandle& other : running) ::WaitForSingleObject(other.get(), INFINITE);
    DWORD code = 0;
    if (!::GetExitCodeProcess(process, &code)) code = static_cast<DWORD>(-1);
    return code;
}

// Runs the uninstaller in its folder and gives its exit code; none when it
// could not be started.
std::optional<DWORD> RunUninstaller(const std::wstring& folder, const std::wstring& program) {
    std::wstring commandLine = EarlierUninstallCommandLine(program, RunLogPath());
    LogLine({L"Starte ", commandLine});
    // In a job of its own, so that the processes it starts are waited for
    // too; a setup that runs in a job where that is not allowed waits for
    // the uninstaller alone, which itself waits for its worker.
    const UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          folder.c_str(), &startup, &info))
        return std::nullopt;
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    const bool inJob = job && ::AssignProcessToJobObject(job.get(), process.get());
    ::ResumeThread(thread.get());
    return WaitForUninstallation(process.get(), inJob ? job.get() : nullptr);
}

}  // namespace

std::wstring EarlierUninstallCommandLine(std::wstring_view uninstallerPath, std::wstring_view logPath) {
    std::wstring line = Quoted(uninstallerPath) + kUninstallSilentSwitch;
    if (!logPath.empty()) line += L" " + Quoted(std::wstring(kUninstallLogSwitch) + std::wstring(logPath));
    return line;
}

void RemoveEarlierInstallation(const std::optional<std::wstring>& earlierFolder, std::wstring_view installedFolder) {
    if (!earlierFolder) return;
    const std::wstring earlier = WithTrailingBackslash(*earlierFolder);
    const std::wstring step = L"Bisherige Installation in " + earlier;
    const std::optional<FileIdentity> earlierIdentity = IdentityOf(WithoutTrailingBackslash(earlier));
    if (!earlierIdentity) return LogLine({step, L": Verzeichnis nicht vorhanden, nichts zu entfernen"});
    if (LiesInEarlierFolder(WorkingFolder(installedFolder).value_or(std::wstring(installedFolder)), *earlierIdentity))
        return LogLine({step, L": dasselbe Verzeichnis oder eines darin, bleibt"});
    const std::wstring program = earlier + kUninstallerExe;
    if (!IsPlainFile(program)) return LogLine({step, L": kein ", kUninstallerExe, L" dort, bleibt"});
    const LoggedStep removal{step, L" entfernen"};
    const std::optional<DWORD> code = RunUninstaller(earlier, program);
    removal.End({code ? L"Exit-Code " : L"nicht gestartet", code ? DecimalText(static_cast<long long>(*code)) : L""});
}

}  // namespace pixelmoor
