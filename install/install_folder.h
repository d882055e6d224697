// The folder proposals: where to install and whether a folder lies in the
// default program folder. Read from the registry of the running system.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pixelmoor {

inline constexpr wchar_t kCurrentVersionKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion";
inline constexpr wchar_t kProgramFilesDirValue[] = L"ProgramFilesDir";

// The program-files folder followed by "\Pixelmoor", e.g.
// C:\Program Files\Pixelmoor; "C:\Pixelmoor\" when the program-files folder
// cannot be read.
[[nodiscard]] std::wstring GetDefaultInstallFolder();

// The folder of the installed viewer named by the product's open command,
// ending in a backslash; empty when no installation is registered.
[[nodiscard]] std::optional<std::wstring> FindExistingInstallFolder();

// True when the text of GetDefaultInstallFolder occurs in folder (exactly so
// written), so C:\Program Files\Pixelmoor2 counts as well.
[[nodiscard]] bool LiesInDefaultFolder(std::wstring_view folder);

// A text value (REG_SZ, or REG_EXPAND_SZ with its variables expanded) of a
// key below root, whole up to limit characters: the characters before its
// first NUL. Empty when the key or the value is missing, is no text, or is
// longer.
[[nodiscard]] std::optional<std::wstring> ReadRegistryText(HKEY root, const wchar_t* keyPath, const wchar_t* name,
                                                           std::size_t limit);

// The same reads from another key (root and path), so that they can be tried
// without touching the system's own keys.
[[nodiscard]] std::wstring GetDefaultInstallFolderFrom(HKEY root, const wchar_t* keyPath);
[[nodiscard]] std::optional<std::wstring> FindExistingInstallFolderFrom(HKEY root, const wchar_t* keyPath);

}  // namespace pixelmoor
