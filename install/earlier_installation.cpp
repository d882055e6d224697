#include "install/earlier_installation.h"

#include <algorithm>
#include <vector>

#include "contract/exit_codes.h"
#include "contract/uninstall_command_line.h"
#include "framework/file_identity.h"
#include "contract/product.h"
#include "framework/registry_read.h"
#include "framework/run_log.h"
#include "framework/sha256.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "install/driver_rules.h"
#include "install/install_folder.h"
#include "integration/registration_rules.h"

namespace pixelmoor {

namespace {

// Processes of the uninstallation looked at: the uninstaller starts one copy.
constexpr std::size_t kJobProcessesLimit = 16;
constexpr DWORD kImageNameLimit = 32768;
// Bytes of the uninstaller read at a time while it is hashed.
constexpr DWORD kHashBlockBytes = 65536;
// How often the job is looked at while the uninstaller's file is held: it is
// let go once the uninstaller's private copy runs, which moves the file away
// at its end.
constexpr DWORD kCopyPollMs = 20;
// The recorded digest's bytes in the registry: its digits and a terminator.
constexpr std::size_t kDigestValueBytes = (kSha256TextLength + 1) * sizeof(wchar_t);
constexpr DWORD kMillisecondsPerSecond = 1000;

// Why the earlier copy stays; each goes to the full log after the folder
// and, in "Bisherige Installation in <folder> bleibt: <reason>", to the
// failure log.
constexpr wchar_t kNoUninstaller[] = L"kein pm_uninstall.exe dort";
constexpr wchar_t kNotAPlainFile[] = L"pm_uninstall.exe ist keine gew\u00f6hnliche Datei, nicht gestartet";
constexpr wchar_t kUnreadable[] = L"pm_uninstall.exe nicht lesbar, nicht gestartet";
constexpr wchar_t kNoRecordedDigest[] =
    L"keine Pr\u00fcfsumme seines pm_uninstall.exe eingetragen (Installation einer fr\u00fcheren Version), nicht "
    L"gestartet";
constexpr wchar_t kDigestDiffers[] =
    L"pm_uninstall.exe ist nicht das eingetragene Deinstallationsprogramm (SHA-256 weicht ab), nicht gestartet";
constexpr wchar_t kNested[] = L"liegt im neuen Zielverzeichnis oder enth\u00e4lt es";
constexpr wchar_t kInstalledUnknown[] = L"das neue Zielverzeichnis ist nicht zu erkennen";

// The earlier copy stays: said in the full log, and given back for the
// failure log or the wizard's message.
std::wstring Stays(const std::wstring& folder, std::wstring_view reason) {
    std::wstring text = L"Bisherige Installation in " + folder + L" bleibt: " + std::wstring(reason);
    LogLine(text);
    return text;
}

enum class Placement { kApart, kSame, kNested };

// Where the two folders (full paths) stand to each other, by what they are.
Placement PlacementOf(const std::wstring& earlierFolder, const std::wstring& targetFolder) {
    const std::wstring earlier = WithoutTrailingBackslash(earlierFolder);
    const std::wstring target = WithoutTrailingBackslash(targetFolder);
    const std::optional<FileIdentity> earlierIdentity = IdentityOf(earlier);
    if (!earlierIdentity) return Placement::kApart;
    const std::optional<FileIdentity> targetIdentity = IdentityOf(target);
    if (targetIdentity == earlierIdentity) return Placement::kSame;
    if (LiesBelow(target, *earlierIdentity)) return Placement::kNested;
    if (targetIdentity && LiesBelow(earlier, *targetIdentity)) return Placement::kNested;
    return Placement::kApart;
}

std::wstring TargetOf(std::wstring_view folder) {
    return WithTrailingBackslash(WorkingFolder(folder).value_or(std::wstring(folder)));
}

// The digest that the earlier installation's uninstall entry records; empty
// when it records none (or something else than a text).
std::wstring RecordedUninstallerDigest() {
    return TryGetString(HKEY_LOCAL_MACHINE, kUninstallEntryKey, kUninstallerDigestValue, kDigestValueBytes)
        .value_or(std::wstring());
}

std::optional<std::wstring> DigestOf(HANDLE file) {
    Sha256 hasher;
    std::vector<std::byte> block(kHashBlockBytes);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file, block.data(), kHashBlockBytes, &read, nullptr)) return std::nullopt;
        if (read == 0) return Sha256Text(hasher.Finish());
        hasher.Update({block.data(), read});
    }
}

// The earlier uninstaller, opened so that nobody can write, rename or delete
// it while it is held, and checked to be the one recorded; on failure, why.
struct CheckedUninstaller {
    UniqueFile file;
    std::wstring refusal;
};

CheckedUninstaller OpenCheckedUninstaller(const std::wstring& program, std::wstring_view recordedDigest) {
    UniqueFile file(::CreateFileW(program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        return {{}, error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? kNoUninstaller : kUnreadable};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
        return {{}, kNotAPlainFile};
    if (recordedDigest.empty()) return {{}, kNoRecordedDigest};
    const std::optional<std::wstring> digest = DigestOf(file.get());
    if (!digest) return {{}, kUnreadable};
    if (!EqualsIgnoringCase(*digest, recordedDigest)) return {{}, kDigestDiffers};
    return {std::move(file), {}};
}

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

// Milliseconds left until deadline (a tick count), none once it has passed.
std::optional<DWORD> TimeLeft(ULONGLONG deadline) {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return std::nullopt;
    return static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, INFINITE - 1));
}

// Waits until deadline for the process, handling the messages sent to this
// thread's windows meanwhile (whoever broadcasts to them must not wait for
// us). The uninstaller's file is let go once its private copy runs (or
// without a job at once). Then waits for the uninstaller's other processes
// in the job. False when the deadline passed first.
bool WaitForUninstallation(HANDLE process, HANDLE job, UniqueFile& held, ULONGLONG deadline) {
    if (job == nullptr) held.reset();
    for (;;) {
        const std::optional<DWORD> left = TimeLeft(deadline);
        if (!left) return false;
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &process, FALSE, held ? std::min(*left, kCopyPollMs) : *left,
                                                        QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0 + 1) {
            MSG message;
            // Delivers the sent messages only; input stays queued for later.
            ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else if (woken == WAIT_TIMEOUT) {
            if (held && RunningUninstallers(job).size() > 1) held.reset();
        } else {
            break;
        }
    }
    held.reset();
    if (job == nullptr) return true;
    for (std::vector<UniqueHandle> running = RunningUninstallers(job); !running.empty();
         running = RunningUninstallers(job))
        for (const UniqueHandle& other : running) {
            const std::optional<DWORD> left = TimeLeft(deadline);
            if (!left || ::WaitForSingleObject(other.get(), *left) == WAIT_TIMEOUT) return false;
        }
    return true;
}

// How a started uninstallation ended.
struct UninstallRun {
    bool started = false;
    bool ended = false;
    DWORD code = 0;  // the exit code once ended, the system's error when not started
};

// Runs the uninstaller in its folder while its file is held, and waits for
// it until deadline.
UninstallRun RunUninstaller(const std::wstring& folder, const std::wstring& program, UniqueFile held,
                            ULONGLONG deadline) {
    // "/silent" and, when this run keeps a full log, "/log=" naming it.
    UninstallOptions options;
    options.silent = true;
    options.runLogPath = RunLogPath();
    std::wstring commandLine = UninstallCommandLine(program, options);
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
        return {false, false, ::GetLastError()};
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    const bool inJob = job && ::AssignProcessToJobObject(job.get(), process.get());
    ::ResumeThread(thread.get());
    UninstallRun run{true, WaitForUninstallation(process.get(), inJob ? job.get() : nullptr, held, deadline), 0};
    if (run.ended && !::GetExitCodeProcess(process.get(), &run.code)) run.code = static_cast<DWORD>(-1);
    return run;
}

}  // namespace

std::optional<EarlierInstallation> FindEarlierInstallation() {
    std::optional<std::wstring> folder = FindExistingInstallFolder();
    if (!folder) return std::nullopt;
    return EarlierInstallation{WithTrailingBackslash(std::move(*folder)), RecordedUninstallerDigest()};
}

std::optional<std::wstring> NestedFolderRefusal(const std::optional<EarlierInstallation>& earlier,
                                                std::wstring_view targetFolder) {
    if (!earlier || PlacementOf(earlier->folder, TargetOf(targetFolder)) != Placement::kNested) return std::nullopt;
    return L"Das Zielverzeichnis liegt in der bisherigen Installation in " + earlier->folder +
           L" oder enth\u00e4lt sie!\n\nDeinstallieren Sie bitte zuerst die bisherige Installation oder w\u00e4hlen "
           L"Sie ein anderes Zielverzeichnis.";
}

std::optional<std::wstring> RemoveEarlierInstallation(const std::optional<EarlierInstallation>& earlier,
                                                      std::wstring_view installedFolder, DWORD waitMs) {
    if (!earlier) return std::nullopt;
    const std::wstring folder = WithTrailingBackslash(earlier->folder);
    const std::wstring step = L"Bisherige Installation in " + folder;
    if (!IdentityOf(WithoutTrailingBackslash(folder))) {
        LogLine({step, L": Verzeichnis nicht vorhanden, nichts zu entfernen"});
        return std::nullopt;
    }
    const std::wstring installed = TargetOf(installedFolder);
    // Just installed, it is there; when it cannot be told, nothing runs on a guess.
    if (!IdentityOf(WithoutTrailingBackslash(installed))) return Stays(folder, kInstalledUnknown);
    switch (PlacementOf(folder, installed)) {
        case Placement::kSame:
            LogLine({step, L": dasselbe Verzeichnis, bleibt"});
            return std::nullopt;
        case Placement::kNested:
            // Refused before the installation; should the folders have
            // changed since, nothing runs on a guess.
            return Stays(folder, kNested);
        case Placement::kApart:
            break;
    }
    const std::wstring program = folder + kUninstallerExe;
    CheckedUninstaller checked = OpenCheckedUninstaller(program, earlier->uninstallerSha256);
    if (!checked.file) return Stays(folder, checked.refusal);
    const LoggedStep removal{step, L" entfernen"};
    const UninstallRun run = RunUninstaller(folder, program, std::move(checked.file), ::GetTickCount64() + waitMs);
    std::wstring reason;
    if (!run.started) {
        reason = L"pm_uninstall.exe nicht gestartet (Fehler " + DecimalText(static_cast<long long>(run.code)) + L")";
    } else if (!run.ended) {
        reason = L"pm_uninstall.exe nach " + DecimalText(waitMs / kMillisecondsPerSecond) +
                 L" Sekunden nicht beendet, l\u00e4uft weiter";
    } else if (run.code != static_cast<DWORD>(kExitSuccess) && run.code != static_cast<DWORD>(kExitRestartRequired)) {
        reason = L"pm_uninstall.exe endete mit Exit-Code " + DecimalText(static_cast<long long>(run.code));
    }
    if (run.ended) {
        removal.End({L"Exit-Code ", DecimalText(static_cast<long long>(run.code))});
    } else {
        removal.End({reason});
    }
    if (reason.empty()) return std::nullopt;
    return Stays(folder, reason);
}

}  // namespace pixelmoor
