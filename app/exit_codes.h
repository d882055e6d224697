// The exit codes of the setup process, so that a caller of a silent run (a
// deployment script) can tell the outcome. The numbers are the ones that
// Windows installers commonly use.
#pragma once

namespace pixelmoor {

// The installation ran to its end, or the wizard closed without a cancel.
inline constexpr int kExitSuccess = 0;
// The user cancelled the wizard before an installation succeeded.
inline constexpr int kExitUserCancelled = 1602;
// The installation stopped at one of its failures, which the install log or
// a message box has recorded.
inline constexpr int kExitInstallFailed = 1603;
// A silent run refused to install because the viewer is running, or because
// another setup is installing: "another installation is in progress", which
// deployment tools retry.
inline constexpr int kExitViewerRunning = 1618;
inline constexpr int kExitInstallInProgress = 1618;

// The exit code of a silent run for the install driver's result (1 or 0).
[[nodiscard]] constexpr int ExitCodeForInstallResult(int result) noexcept {
    return result != 0 ? kExitSuccess : kExitInstallFailed;
}

}  // namespace pixelmoor
