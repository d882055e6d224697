// The DLL search path of a program that may run with raised rights.
#pragma once

namespace pixelmoor {

// Makes DLLs loaded later by name come from the system directory only, so
// that a DLL placed beside the program or in the current directory is never
// loaded. The function is looked up in kernel32 by its full path, so that not
// even this look-up can be redirected; on systems without it nothing changes.
void HardenDllSearchPath() noexcept;

}  // namespace pixelmoor
