// One complete installation from an InstallOptions record.
#pragma once

#include "install/install_options.h"

namespace pixelmoor {

// Returns 1 when the installation ran to its end, 0 when it stopped at one of
// its failures (no folder or one without a drive or network root, folder
// cannot be created, payload not unpacked whole) or ran to its end without
// writing a shortcut or a required registration value that was asked for,
// which it has then reported. May set an empty iniFolder.
[[nodiscard]] int RunInstallation(InstallOptions& options);

}  // namespace pixelmoor
