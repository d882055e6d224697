// The interactive road of start-up: the setup wizard.
#pragma once

namespace pixelmoor {

// Runs the wizard modally and returns the process exit code:
// kExitUserCancelled when the user cancelled before an installation
// succeeded, else kExitSuccess.
[[nodiscard]] int RunWizard();

}  // namespace pixelmoor
