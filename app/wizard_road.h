// The interactive road of start-up: the setup wizard.
#pragma once

namespace pixelmoor {

// Runs the wizard modally and returns the process exit code: kExitSuccess
// when it ended after a successful installation, kExitUserCancelled when it
// ended before one, kExitFailed when it could not be shown.
[[nodiscard]] int RunWizard();

}  // namespace pixelmoor
