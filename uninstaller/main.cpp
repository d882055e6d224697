// Pixelmoor's uninstaller, pm_uninstall.exe: removes what the setup
// installed. The payload's entry names come from the payload's build.
#include <windows.h>

#include "payload_entries.h"
#include "uninstaller/uninstall_app.h"

// The one application object, constructed before wWinMain runs.
pixelmoor::UninstallApp theApp(pixelmoor::kPayloadEntries);

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return pixelmoor::RunWinApp(instance); }
