// The folder proposals: where to install and whether a folder lies in the
// default program folder. Read from the registry of the running system.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "contract/registered_folder.h"

namespace pixelmoor {

inline constexpr wchar_t kCurrentVersionKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion";
inline constexpr wchar_t kProgramFilesDirValue[] = L"ProgramFilesDir";

// The program-files folder followed by "\Pixelmoor", e.g.
// C:\Program Files\Pixelmoor; "C:\Pixelmoor\" when the program-files folder
// cannot be read.
[[nodiscard]] std::wstring GetDefaultInstallFolder();

// True when the text of GetDefaultInstallFolder occurs in folder (exactly so
// written), so C:\Program Files\Pixelmoor2 counts as well.
[[nodiscard]] bool LiesInDefaultFolder(std::wstring_view folder);

// The same read from another key (root and path), so that it can be tried
// without touching the system's own keys.
[[nodiscard]] std::wstring GetDefaultInstallFolderFrom(HKEY root, const wchar_t* keyPath);

}  // namespace pixelmoor
