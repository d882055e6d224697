// The association finish: what the shell is told once file types have been
// bound to the viewer (the bindings themselves are registry writes of the
// registration, see association_rules.h).
#pragma once

namespace pixelmoor {

// Whether the registration hides the store apps from the Open-with choice on
// this system: on Windows 10 only.
[[nodiscard]] bool HidesStoreApps();

// The notices of the association finish: icons and associations changed.
void NotifyAssociationsChanged();

}  // namespace pixelmoor
