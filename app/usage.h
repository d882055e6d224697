// The setup's usage, shown for "/?" and "/help" instead of the wizard.
#pragma once

namespace pixelmoor {

// Writes the usage to the console of the process that started the setup
// (or to the output it was handed, a file or a pipe); without either, shows
// it in a message box. Installs nothing.
void ShowUsage();

}  // namespace pixelmoor
