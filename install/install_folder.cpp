#include "install/install_folder.h"

#include <array>
#include <vector>

#include "framework/unique_handle.h"
#include "install/install_folder_rules.h"

namespace pixelmoor {

namespace {

// A short text value of an open key, read into the 260 bytes that the
// proposals allow. Empty when it is missing, not plain text, or does not fit.
std::optional<std::wstring> ReadShortText(HKEY key, const wchar_t* name) {
    std::array<unsigned char, kRegistryTextBytes> buffer{};
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buffer.size());
    if (::RegQueryValueExW(key, name, nullptr, &type, buffer.data(), &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ || size > buffer.size()) return std::nullopt;
    return RegistryTextFromBytes(std::span(buffer.data(), size), kRegistryTextLimit);
}

// %NAME% variables of an expandable text replaced from the environment, at
// whatever length that gives; empty when the result would exceed limit.
std::optional<std::wstring> ExpandVariables(const std::wstring& text, std::size_t limit) {
    for (;;) {
        const DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
        if (needed == 0 || needed - 1 > limit) return std::nullopt;
        std::wstring expanded(needed, L'\0');
        const DWORD written = ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed);
        if (written == 0) return std::nullopt;
        // The environment may have changed in between; then measure again.
        if (written > needed) continue;
        expanded.resize(written - 1);
        return expanded;
    }
}

// A text value of an open key at its full length, up to limit characters,
// with an expandable text expanded. Empty when it is missing, not text, or
// longer than limit.
std::optional<std::wstring> ReadWholeText(HKEY key, const wchar_t* name, std::size_t limit) {
    std::vector<unsigned char> buffer;
    DWORD type = 0;
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        const LSTATUS status = ::RegQueryValueExW(key, name, nullptr, &type, buffer.data(), &size);
        if (status == ERROR_SUCCESS && size <= buffer.size()) {
            buffer.resize(size);
            break;
        }
        // Asked for its size first (and again when it grew meanwhile).
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return std::nullopt;
        if (size > (limit + 1) * sizeof(wchar_t)) return std::nullopt;
        buffer.resize(size);
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::optional<std::wstring> text = RegistryTextFromBytes(buffer, limit);
    if (!text || type == REG_SZ) return text;
    return ExpandVariables(*text, limit);
}

UniqueHkey OpenForQuery(HKEY root, const wchar_t* keyPath) {
    UniqueHkey key;
    if (::RegOpenKeyExW(root, keyPath, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) key.reset();
    return key;
}

}  // namespace

std::wstring GetDefaultInstallFolderFrom(HKEY root, const wchar_t* keyPath) {
    const UniqueHkey key = OpenForQuery(root, keyPath);
    if (!key) return kFallbackInstallFolder;
    return DefaultInstallFolderFrom(ReadShortText(key.get(), kProgramFilesDirValue));
}

std::optional<std::wstring> FindExistingInstallFolderFrom(HKEY root, const wchar_t* keyPath) {
    const UniqueHkey key = OpenForQuery(root, keyPath);
    if (!key) return std::nullopt;
    const std::optional<std::wstring> command = ReadWholeText(key.get(), nullptr, kOpenCommandLimit);
    if (!command) return std::nullopt;
    return ExistingInstallFolderFromCommand(*command);
}

std::wstring GetDefaultInstallFolder() { return GetDefaultInstallFolderFrom(HKEY_LOCAL_MACHINE, kCurrentVersionKey); }

std::optional<std::wstring> FindExistingInstallFolder() {
    return FindExistingInstallFolderFrom(HKEY_LOCAL_MACHINE, kOpenCommandKey);
}

bool LiesInDefaultFolder(std::wstring_view folder) { return LiesInFolder(folder, GetDefaultInstallFolder()); }

}  // namespace pixelmoor
