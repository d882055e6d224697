// The exit codes of the setup and of the uninstaller, so that a caller (a
// deployment tool, a script) can tell the outcome. The numbers are the ones
// that Windows installers use, which deployment tools know.
#pragma once

namespace pixelmoor {

// The work ran to its end (for the wizard: it ended after a successful
// installation).
inline constexpr int kExitSuccess = 0;
// The user ended the program before anything was done: the wizard cancelled
// before an installation succeeded, the uninstaller's question answered No.
inline constexpr int kExitUserCancelled = 1602;
// The work stopped at a failure, which a message box or the program's log
// records (for the wizard also: its window could not be created).
inline constexpr int kExitFailed = 1603;
// Nothing was done because the viewer is running, or another setup or the
// uninstaller is at work: "another installation is in progress", which
// deployment tools retry later.
inline constexpr int kExitAlreadyRunning = 1618;
// The work is done but for what goes at the next restart.
inline constexpr int kExitRestartRequired = 3010;

}  // namespace pixelmoor
