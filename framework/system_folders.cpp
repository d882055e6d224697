#include "framework/system_folders.h"

#include "framework/text_rules.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

namespace {

// Characters of the buffer that the temporary folder is read into.
constexpr DWORD kTempPathBuffer = 520;

// A folder as a system call wrote it into buffer: length characters, within
// limit; empty when the call failed or the folder did not fit.
std::optional<std::wstring> Written(std::wstring buffer, std::size_t length, std::size_t limit) {
    if (length == 0 || length > limit) return std::nullopt;
    buffer.resize(length);
    return buffer;
}

}  // namespace

std::optional<std::wstring> ShellFolder(int csidl) {
    std::wstring path(MAX_PATH, L'\0');  // the size the shell writes a path into
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path.data()))) return std::nullopt;
    path.resize(path.find(L'\0'));
    if (path.empty()) return std::nullopt;
    return WithoutTrailingBackslash(std::move(path));
}

std::optional<std::wstring> KnownFolder(const KNOWNFOLDERID& id) {
    UniqueCoTaskMem<wchar_t> path;
    if (FAILED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, path.put())) || !path) return std::nullopt;
    std::wstring folder = path.get();
    if (folder.empty()) return std::nullopt;
    return WithoutTrailingBackslash(std::move(folder));
}

std::optional<std::wstring> WindowsFolder() {
    std::wstring folder(kSystemPathLimit + 1, L'\0');
    const UINT length = ::GetWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    return Written(std::move(folder), length, kSystemPathLimit);
}

std::optional<std::wstring> SystemFolder() {
    std::wstring folder(kSystemPathLimit + 1, L'\0');
    const UINT length = ::GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    return Written(std::move(folder), length, kSystemPathLimit);
}

std::optional<std::wstring> TemporaryFolder() {
    std::wstring folder(kTempPathBuffer, L'\0');
    const DWORD length = ::GetTempPathW(kTempPathBuffer - 1, folder.data());
    std::optional<std::wstring> written = Written(std::move(folder), length, kTempPathBuffer - 2);
    if (!written) return std::nullopt;
    return WithTrailingBackslash(std::move(*written));
}

std::optional<std::wstring> EnvironmentValue(std::wstring_view name) {
    const std::wstring key(name);
    // Asked for the length first, so that a long value arrives whole.
    DWORD size = ::GetEnvironmentVariableW(key.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    size = ::GetEnvironmentVariableW(key.c_str(), value.data(), size);
    if (size >= value.size()) return std::nullopt;  // changed between the two calls
    value.resize(size);
    return value;
}

}  // namespace pixelmoor
