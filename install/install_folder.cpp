#include "install/install_folder.h"

#include "framework/registry_read.h"
#include "framework/unique_handle.h"
#include "install/install_folder_rules.h"

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

std::wstring GetDefaultInstallFolder() { return GetDefaultInstallFolderFrom(HKEY_LOCAL_MACHINE, kCurrentVersionKey); }

bool LiesInDefaultFolder(std::wstring_view folder) { return LiesInFolder(folder, GetDefaultInstallFolder()); }

}  // namespace pixelmoor
