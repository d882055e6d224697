#include "install/install_folder.h"

#include <array>

#include "framework/unique_handle.h"
#include "install/install_folder_rules.h"

namespace pixelmoor {

namespace {

enum class TextKinds { PlainOnly, PlainOrExpandable };

// A short text value of an open key, read into the 260 bytes that the
// proposals allow. Empty when it is missing, not text, or does not fit.
std::optional<std::wstring> ReadShortText(HKEY key, const wchar_t* name, TextKinds kinds) {
    std::array<unsigned char, kRegistryTextBytes> buffer{};
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buffer.size());
    if (::RegQueryValueExW(key, name, nullptr, &type, buffer.data(), &size) != ERROR_SUCCESS) return std::nullopt;
    const bool isText = type == REG_SZ || (kinds == TextKinds::PlainOrExpandable && type == REG_EXPAND_SZ);
    if (!isText || size > buffer.size()) return std::nullopt;
    return RegistryTextFromBytes(std::span(buffer.data(), size), kRegistryTextLimit);
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
    return DefaultInstallFolderFrom(ReadShortText(key.get(), kProgramFilesDirValue, TextKinds::PlainOnly));
}

std::optional<std::wstring> FindExistingInstallFolderFrom(HKEY root, const wchar_t* keyPath) {
    const UniqueHkey key = OpenForQuery(root, keyPath);
    if (!key) return std::nullopt;
    const std::optional<std::wstring> command = ReadShortText(key.get(), nullptr, TextKinds::PlainOrExpandable);
    if (!command) return std::nullopt;
    return ExistingInstallFolderFromCommand(*command);
}

std::wstring GetDefaultInstallFolder() { return GetDefaultInstallFolderFrom(HKEY_LOCAL_MACHINE, kCurrentVersionKey); }

std::optional<std::wstring> FindExistingInstallFolder() {
    return FindExistingInstallFolderFrom(HKEY_LOCAL_MACHINE, kOpenCommandKey);
}

bool LiesInDefaultFolder(std::wstring_view folder) { return LiesInFolder(folder, GetDefaultInstallFolder()); }

}  // namespace pixelmoor
