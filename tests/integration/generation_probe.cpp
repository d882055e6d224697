// Ends with the Windows generation that it determines, so that a test can
// run it under a Windows version set for this program alone.
#include "integration/windows_version.h"

int wmain() { return pixelmoor::GetWindowsGeneration(); }
