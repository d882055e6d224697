#include "install/install_folder.h"

#include "framework/registry_read.h"
#include "framework/unique_handle.h"
#include "install/install_folder_rules.h"
#include "integration/registration_rules.h"

namespace pixelmoor {

namespace {

// A short text value of an open key, read into the 260 bytes that the
// proposals allow. Empty when it is missing, not plain text, or does not fit.
std::optional<std::wstring> ReadShortText(HKEY key, const wchar_t* name) {
    std::optional<std::wstring> text = TryGetString(key, name, kRegistryTextBytes);
    // More would not have fitted with its terminator.
    if (!text || text->size() > kRegistryTextLimit) return std::nullopt;
    return text;
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

UniqueHkey OpenForQuery(HKEY root, const wchar_t* keyPath) {
    UniqueHkey key;
    if (::RegOpenKeyExW(root, keyPath, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) key.reset();
    return key;
}

}  // namespace

std::optional<std::wstring> ReadRegistryText(HKEY root, const wchar_t* keyPath, const wchar_t* name,
                                             std::size_t limit) {
    std::optional<RegistryString> value = TryGetStringOrExpandable(root, keyPath, name, (limit + 1) * sizeof(wchar_t));
    // More would not have fitted with its terminator.
    if (!value || value->text.size() > limit) return std::nullopt;
    if (!value->expandable) return std::move(value->text);
    return ExpandVariables(value->text, limit);
}

std::wstring GetDefaultInstallFolderFrom(HKEY root, const wchar_t* keyPath) {
    const UniqueHkey key = OpenForQuery(root, keyPath);
    if (!key) return kFallbackInstallFolder;
    return DefaultInstallFolderFrom(ReadShortText(key.get(), kProgramFilesDirValue));
}

std::optional<std::wstring> FindExistingInstallFolderFrom(HKEY root, const wchar_t* keyPath) {
    const std::optional<std::wstring> command = ReadRegistryText(root, keyPath, nullptr, kOpenCommandLimit);
    if (!command) return std::nullopt;
    return ExistingInstallFolderFromCommand(*command);
}

std::wstring GetDefaultInstallFolder() { return GetDefaultInstallFolderFrom(HKEY_LOCAL_MACHINE, kCurrentVersionKey); }

std::optional<std::wstring> FindExistingInstallFolder() {
    return FindExistingInstallFolderFrom(HKEY_LOCAL_MACHINE, kOpenCommandKey);
}

bool LiesInDefaultFolder(std::wstring_view folder) { return LiesInFolder(folder, GetDefaultInstallFolder()); }

}  // namespace pixelmoor
