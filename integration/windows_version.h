// The Windows version questions of the setup: a minimum-version test and the
// generation of the running system, cached for the process.
#pragma once

#include <windows.h>

#include <optional>

#include "integration/version_rules.h"

namespace pixelmoor {

// The cached generation code of the running system; 0 until it is known.
// Callers read it and compute it with GetWindowsGeneration when it is 0.
extern int WindowsGeneration;

// True when the system is at least major.minor with the given service pack.
[[nodiscard]] bool IsWindowsVersionAtLeast(WORD major, WORD minor, WORD servicePackMajor);

// The true version of the running system, unaffected by the program's
// manifest; empty when the system has no RtlGetVersion.
[[nodiscard]] std::optional<WindowsVersion> TrueWindowsVersion();

// The generation of the running system, asked anew on every call.
[[nodiscard]] int GetWindowsGeneration();

// WindowsGeneration, computed and stored on first use.
[[nodiscard]] int CurrentWindowsGeneration();

}  // namespace pixelmoor
