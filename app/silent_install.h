// The unattended road of start-up.
#pragma once

#include <string_view>

#include "app/command_line.h"
#include "install/screen_facts.h"

namespace pixelmoor {

// The folders of a silent run when the command line names none: the folder
// of an existing installation with the settings folder that it records (none
// when it records none), else the default program folder with the settings
// folder "%APPDATA%\Pixelmoor".
[[nodiscard]] SilentDefaults ProposeSilentDefaults();

// The install options of a silent run from the whole command line.
[[nodiscard]] InstallOptions ParseSilentCommandLine(std::wstring_view commandLine);

// One unattended installation, refused while the viewer runs; the settings
// take the screen's measures from `screen`. Returns the process exit code.
[[nodiscard]] int RunSilentInstall(std::wstring_view commandLine, ScreenFactsAhead& screen);

}  // namespace pixelmoor
