#include "contract/installation_lock.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <tlhelp32.h>

#include <vector>

#include "contract/product.h"
#include "framework/file_identity.h"
#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

// Characters of a process's image path (the longest path that Windows knows).
constexpr DWORD kImagePathBuffer = kLongPathLimit + 1;

// A program that is there in the folder.
struct PresentProgram {
    std::wstring path;
    std::wstring_view fileName;
    FileIdentity identity;
};

std::vector<PresentProgram> PresentPrograms(const std::wstring& folder, std::span<const std::wstring_view> programs) {
    std::vector<PresentProgram> present;
    for (const std::wstring_view program : programs) {
        std::wstring path = folder + std::wstring(program);
        const std::size_t slash = program.find_last_of(L'\\');
        const std::wstring_view fileName = slash == std::wstring_view::npos ? program : program.substr(slash + 1);
        if (const std::optional<FileIdentity> identity = IdentityOf(path))
            present.push_back({std::move(path), fileName, *identity});
    }
    return present;
}

// The identity of the file that a process runs; none when the process
// cannot be asked (it ended, or it belongs to a user whose processes this
// one may not look at).
std::optional<FileIdentity> ImageIdentity(DWORD processId) {
    const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return std::nullopt;
    std::wstring image(kImagePathBuffer, L'\0');
    DWORD length = kImagePathBuffer;
    if (!::QueryFullProcessImageNameW(process.get(), 0, image.data(), &length)) return std::nullopt;
    image.resize(length);
    return IdentityOf(image);
}

}  // namespace

bool ViewerIsRunning() noexcept { return ::FindWindowW(kViewerWindowClass, nullptr) != nullptr; }

InstallationLock TryLockInstallation() {
    UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, kInstallationMutexName));
    if (!mutex) return {};
    const DWORD waited = ::WaitForSingleObject(mutex.get(), 0);
    // A mutex whose owner ended without releasing it is abandoned: ours now.
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return {};
    return InstallationLock(UniqueOwnedMutex(mutex.release()));
}

std::optional<std::wstring> RunningProgramIn(const std::wstring& folder, std::span<const std::wstring_view> programs) {
    const std::vector<PresentProgram> present = PresentPrograms(folder, programs);
    if (present.empty()) return std::nullopt;
    const UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return std::nullopt;
    const DWORD self = ::GetCurrentProcessId();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == self) continue;
        // Only a process of a program's file name is asked for its image.
        for (const PresentProgram& program : present) {
            if (EqualsIgnoringCase(entry.szExeFile, program.fileName) &&
                ImageIdentity(entry.th32ProcessID) == program.identity)
                return program.path;
        }
    }
    return std::nullopt;
}

}  // namespace pixelmoor
