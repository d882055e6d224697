// Applies registry removal steps to the registry of the running system, in
// the 64-bit view that the process sees by default.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "integration/registration_removal.h"

namespace pixelmoor {

// Takes every step in order; a step whose key or value is gone already has
// nothing to do. Returns what could not be removed (for instance without the
// rights for HKEY_LOCAL_MACHINE), each as a full key path with the value name
// after a colon, in the order of the steps.
[[nodiscard]] std::vector<std::wstring> ApplyRegistryRemovals(std::span<const RegistryRemoval> removals);

}  // namespace pixelmoor
