#include "uninstaller/private_copy.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <sddl.h>

#include <vector>

#include "contract/product.h"
#include "framework/system_folders.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "uninstaller/worker_channel.h"

namespace pixelmoor {

namespace {

// Names tried before giving up: each one taken already means someone else's.
constexpr int kFolderAttempts = 16;
constexpr wchar_t kPrivateFolderPrefix[] = L"pm_uninstall-";
constexpr std::size_t kPrivateFolderDigits = 16;
constexpr DWORD kCopyBlockBytes = 65536;
// A finished program's file can be held by the system for a moment.
constexpr int kDeleteAttempts = 20;
constexpr DWORD kDeletePauseMs = 50;

std::optional<std::wstring> CurrentUserSid() {
    UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return std::nullopt;
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return std::nullopt;
    UniqueLocalMemory<LPWSTR> text;
    if (!::ConvertSidToStringSidW(reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid, text.put()))
        return std::nullopt;
    return std::wstring(text.get());
}

// Full control for the user, the administrators and the system, nothing for
// anyone else, inherited by the copy; without it the folder inherits from the
// temporary folder, which the system's own one shares with every user.
UniqueLocalMemory<PSECURITY_DESCRIPTOR> PrivateSecurity() {
    UniqueLocalMemory<PSECURITY_DESCRIPTOR> descriptor;
    const std::optional<std::wstring> user = CurrentUserSid();
    if (!user) return descriptor;
    const std::wstring sddl = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + *user + L")";
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, descriptor.put(),
                                                                nullptr))
        descriptor.reset();
    return descriptor;
}

std::wstring RandomName() {
    const std::optional<std::wstring> digits = RandomHexDigits(kPrivateFolderDigits);
    return kPrivateFolderPrefix +
           (digits ? *digits : DecimalText(static_cast<long long>(::GetTickCount() ^ (::GetCurrentProcessId() << 16))));
}

// A new folder that nobody could have prepared: CreateDirectoryW fails on
// every name that exists (a link included), and the result is checked to be
// a plain folder. Ends in a backslash.
std::optional<std::wstring> CreatePrivateFolder() {
    const std::optional<std::wstring> temp = TemporaryFolder();
    if (!temp) return std::nullopt;
    const UniqueLocalMemory<PSECURITY_DESCRIPTOR> descriptor = PrivateSecurity();
    SECURITY_ATTRIBUTES security{sizeof(security), descriptor.get(), FALSE};
    for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
        const std::wstring folder = *temp + RandomName();
        if (!::CreateDirectoryW(folder.c_str(), descriptor ? &security : nullptr)) {
            if (::GetLastError() == ERROR_ALREADY_EXISTS) continue;
            return std::nullopt;
        }
        const DWORD attributes = ::GetFileAttributesW(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
            return std::nullopt;
        return folder + L'\\';
    }
    return std::nullopt;
}

// Copies this program's file to a new file at path (never through a link).
bool CopyOwnProgram(const std::wstring& path) {
    const UniqueFile source(::CreateFileW(OwnProgramPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!source) return false;
    const UniqueFile target(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!target) return false;
    std::vector<char> block(kCopyBlockBytes);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(source.get(), block.data(), kCopyBlockBytes, &read, nullptr)) return false;
        if (read == 0) return true;
        DWORD written = 0;
        if (!::WriteFile(target.get(), block.data(), read, &written, nullptr) || written != read) return false;
    }
}

// Waits for the process; messages sent to this thread's windows meanwhile
// are handled, so that nobody who broadcasts to them waits for this thread.
DWORD WaitForExitCode(HANDLE process) {
    for (;;) {
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1) break;
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    }
    DWORD code = static_cast<DWORD>(kExitFailed);
    ::GetExitCodeProcess(process, &code);
    return code;
}

std::optional<WorkerResult> RunWorker(const std::wstring& copy, UninstallOptions options) {
    std::optional<WorkerChannel> channel = WorkerChannel::Create();
    if (!channel) return std::nullopt;
    options.workerProof = channel->ProofText();
    std::wstring commandLine = UninstallCommandLine(copy, options);
    const std::optional<std::wstring> system = SystemFolder();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // Started in the system folder, so that it holds no folder that it removes;
    // it inherits the channel's section, this program's only inheritable handle.
    if (!::CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                          system ? system->c_str() : nullptr, &startup, &info))
        return std::nullopt;
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    const DWORD code = WaitForExitCode(process.get());
    return WorkerResult{code, channel->ReadReport()};
}

void RemoveNowOrAtRestart(const std::wstring& path, bool isFolder, int attempts) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0) ::Sleep(kDeletePauseMs);
        if (isFolder ? ::RemoveDirectoryW(path.c_str()) : ::DeleteFileW(path.c_str())) return;
        if (::GetLastError() == ERROR_FILE_NOT_FOUND) return;
    }
    ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// The copy, this program's own file if the copy moved it here, and the
// folder; files before the folder, also at a restart.
void RemovePrivateFolder(const std::wstring& folder, const std::wstring& copy) {
    // The copy has just ended; the system may hold its file a moment longer.
    RemoveNowOrAtRestart(copy, false, kDeleteAttempts);
    WIN32_FIND_DATAW found;
    std::vector<std::wstring> files;
    if (const UniqueFind find(::FindFirstFileW((folder + L'*').c_str(), &found)); find) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) files.push_back(folder + found.cFileName);
        } while (::FindNextFileW(find.get(), &found));
    }
    // What else is here is in use by this program until it ends.
    for (const std::wstring& file : files) RemoveNowOrAtRestart(file, false, 1);
    // A folder is recorded for the restart by its name, without a backslash after it.
    RemoveNowOrAtRestart(WithoutTrailingBackslash(folder), true, 1);
}

}  // namespace

std::wstring OwnProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring OwnProgramFolder() {
    std::wstring path = OwnProgramPath();
    path.resize(path.find_last_of(L'\\') + 1);
    return path;
}

std::optional<WorkerResult> RunFromPrivateCopy(const UninstallOptions& options) {
    const std::optional<std::wstring> folder = CreatePrivateFolder();
    if (!folder) return std::nullopt;
    const std::wstring copy = *folder + kUninstallerExe;
    std::optional<WorkerResult> result;
    if (CopyOwnProgram(copy)) result = RunWorker(copy, options);
    RemovePrivateFolder(*folder, copy);
    return result;
}

}  // namespace pixelmoor
