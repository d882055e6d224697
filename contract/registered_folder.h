// The folder of the installed viewer, read back from the product's open
// command, which the setup registers: the setup proposes it and replaces it,
// the uninstaller checks it against its own folder.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "contract/registered_folder_rules.h"

namespace pixelmoor {

// The folder of the installed viewer named by the product's open command,
// ending in a backslash; empty when no installation is registered.
[[nodiscard]] std::optional<std::wstring> FindExistingInstallFolder();

// The same read from another key (root and path), so that it can be tried
// without touching the system's own keys.
[[nodiscard]] std::optional<std::wstring> FindExistingInstallFolderFrom(HKEY root, const wchar_t* keyPath);

}  // namespace pixelmoor
