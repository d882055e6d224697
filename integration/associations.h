// Binds file extensions to the viewer's command classes, records them among
// the application's capabilities and, for the chosen types, makes the viewer
// the current user's choice.
#pragma once

#include <cstdint>
#include <string_view>

namespace pixelmoor {

// One extension of the format table with its ProgID type (lower case, no
// dot), the open command, the icon text and whether its row was chosen.
void AssociateExtension(std::wstring_view extension, std::wstring_view type, std::wstring_view openCommand,
                        std::wstring_view icon, std::int32_t selected);

// Lists the extension under the capabilities' FileAssociations key, which
// must exist already.
void AddCapabilityAssociation(std::wstring_view extension, std::wstring_view type);

// Keeps the packaged picture apps of Windows 10 out of the Open-with choice.
void HideStoreAppsFromOpenWith();

// After the last extension of an association run: the store-app values on
// Windows 10 only, then the notices that icons and associations changed.
void FinishAssociations();

// Whether the association finish hides the store apps on this system.
[[nodiscard]] bool HidesStoreApps();

// The notices of the association finish: icons and associations changed.
void NotifyAssociationsChanged();

}  // namespace pixelmoor
