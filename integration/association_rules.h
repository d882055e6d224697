// The registry writes that bind one file extension to the viewer, and the
// store-app values of the association finish.
#pragma once

#include <string>
#include <string_view>

#include "integration/registry_writes.h"

namespace pixelmoor {

// Where the capabilities list the associations; the registration creates it,
// the association pass only opens it.
inline constexpr wchar_t kFileAssociationsKey[] = L"SOFTWARE\\Pixelmoor\\Capabilities\\FileAssociations";

// "Pixelmoor.<type>", the command class that an extension is bound to.
[[nodiscard]] std::wstring ProgId(std::wstring_view type);

// "Pixelmoor <TYPE> File": the type with a to z upper-cased.
[[nodiscard]] std::wstring ClassDescription(std::wstring_view type);

// jpg, png and tif are pointed at the viewer on every installation, chosen
// or not; every other extension only when its row was chosen.
[[nodiscard]] bool PointsExtensionAtViewer(std::wstring_view extension, bool selected);

// The extension key (when it is pointed at the viewer) and the command
// class with its description, open command and icon, in that order.
[[nodiscard]] RegistryWrites ExtensionClassWrites(std::wstring_view extension, std::wstring_view type,
                                                  std::wstring_view openCommand, std::wstring_view icon, bool selected);

// The capabilities value ".<extension>" = ProgID, on the existing key only.
[[nodiscard]] RegistryWrite CapabilityAssociationWrite(std::wstring_view extension, std::wstring_view type);

// The current user's choice: the old UserChoice key deleted, a new one
// created with "Progid".
[[nodiscard]] RegistryWrites UserChoiceWrites(std::wstring_view extension, std::wstring_view type);

// "NoOpenWith" (empty text) on the five packaged-app classes that Windows 10
// would otherwise offer for pictures.
[[nodiscard]] RegistryWrites StoreAppHidingWrites();

}  // namespace pixelmoor
