#include "install/payload_in_use.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <tlhelp32.h>

#include <vector>

#include "archive/payload_reach.h"
#include "framework/file_identity.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "install/driver_rules.h"

namespace pixelmoor {

namespace {

// Characters of a process's image path (the longest path that Windows knows).
constexpr DWORD kImagePathBuffer = kLongPathLimit + 1;

// A program of the payload that is there in the install folder.
struct InstalledProgram {
    std::wstring path;
    std::wstring_view fileName;
    FileIdentity identity;
};

std::vector<InstalledProgram> InstalledPrograms(const std::wstring& folder) {
    std::vector<InstalledProgram> installed;
    for (const std::wstring_view program : PayloadPrograms()) {
        std::wstring path = folder + std::wstring(program);
        const std::size_t slash = program.find_last_of(L'\\');
        const std::wstring_view fileName = slash == std::wstring_view::npos ? program : program.substr(slash + 1);
        if (const std::optional<FileIdentity> identity = IdentityOf(path))
            installed.push_back({std::move(path), fileName, *identity});
    }
    return installed;
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

std::optional<std::wstring> RunningPayloadProgram(std::wstring_view folderText) {
    const std::optional<std::wstring> folder = WorkingFolder(folderText);
    if (!folder || folder->empty()) return std::nullopt;
    const std::vector<InstalledProgram> installed = InstalledPrograms(*folder);
    if (installed.empty()) return std::nullopt;
    const UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return std::nullopt;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        // Only a process of a payload program's file name is asked for its image.
        for (const InstalledProgram& program : installed) {
            if (EqualsIgnoringCase(entry.szExeFile, program.fileName) &&
                ImageIdentity(entry.th32ProcessID) == program.identity)
                return program.path;
        }
    }
    return std::nullopt;
}

}  // namespace pixelmoor
