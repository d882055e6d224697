// Moving an installation: after a successful installation into another
// folder than the one the earlier installation recorded, the earlier copy
// is removed by its own uninstaller, so that no files, shortcuts or
// settings record of it stay behind without an uninstall entry.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pixelmoor {

// The earlier installation's uninstaller, written so that the system's
// splitting gives the path back whole (install folders hold blanks), with
// "/silent" and, when this run keeps a full log, "/log=" naming it.
[[nodiscard]] std::wstring EarlierUninstallCommandLine(std::wstring_view uninstallerPath, std::wstring_view logPath);

// earlierFolder: the install folder that the registry named before this
// installation registered itself (ending in a backslash), none on a first
// installation; installedFolder: the folder just installed into.
// When the two are different folders (by what they are, not by how they
// are written), the installed one does not lie inside the earlier one (whose
// uninstaller removes the shortcuts that lead into it), and the earlier
// folder holds a file pm_uninstall.exe, runs it with "/silent" from there and
// waits for the whole uninstallation, the processes it starts included.
// Each decision and the uninstaller's exit code go to the run log; nothing
// here changes the setup's own exit code. The caller must not hold the
// installation lock: the uninstaller takes it.
void RemoveEarlierInstallation(const std::optional<std::wstring>& earlierFolder, std::wstring_view installedFolder);

}  // namespace pixelmoor
