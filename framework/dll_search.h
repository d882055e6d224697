// The DLL search path of a program that may run with raised rights.
#pragma once

namespace pixelmoor {

// Makes DLLs loaded later by name come from the system directory only, so
// that a DLL placed beside the program or in the current directory is never
// loaded. This holds for every DLL the program binds after the call: the
// setup binds nothing but kernel32 and the C runtime at start and
// delay-loads the rest, so those DLLs and all that they load themselves come
// from the system directory. On systems without SetDefaultDllDirectories the
// current directory at least leaves the search.
void HardenDllSearchPath() noexcept;

}  // namespace pixelmoor
