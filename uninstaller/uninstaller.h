// The work of the uninstaller's private copy: removing one installation.
#pragma once

#include <span>
#include <string>

#include "uninstaller/uninstall_rules.h"

namespace pixelmoor {

// Removes the installation in options.folder: its shortcuts, the payload's
// files (payloadEntries, as the payload's build lists them) that are still
// what the setup wrote, its registration (when the registry names this
// folder, under whatever name, or a folder that no longer holds the viewer),
// the settings files when options.purge (else only the setup's own record of
// them), then the uninstaller's own file, the empty folders and, last, the
// uninstall entry. When anything could not be removed, the uninstaller's
// file and the uninstall entry stay, so that the user can run it again, and
// an entry naming what was left goes to options.logPath; so does an entry
// naming what stays on purpose (a changed file, a link, a system folder).
// report receives what stays and why, for the final message: empty when
// nothing of the installation stays. Returns the exit code: kExitSuccess,
// kExitRestartRequired or kExitFailed.
[[nodiscard]] int RemoveInstallation(const UninstallOptions& options, std::span<const PayloadEntry> payloadEntries,
                                     std::wstring& report);

}  // namespace pixelmoor
