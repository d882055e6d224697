// The work of the uninstaller's private copy: removing one installation.
#pragma once

#include <span>
#include <string_view>

#include "payload/uninstaller/uninstall_rules.h"

namespace pixelmoor {

// Removes the installation in options.folder: its shortcuts, its
// registration (when the registry still names this folder), the payload's
// files (payloadEntries, the names in the archive), the settings files when
// options.purge, then the uninstaller's own file, the empty folders and, last,
// the uninstall entry. When anything could not be removed, the uninstaller's
// file and the uninstall entry stay, so that the user can run it again, and
// an entry naming what was left goes to options.logPath. Returns the exit
// code: kExitRemoved, kExitRestartCompletes or kExitIncomplete.
[[nodiscard]] int RemoveInstallation(const UninstallOptions& options,
                                     std::span<const std::wstring_view> payloadEntries);

}  // namespace pixelmoor
