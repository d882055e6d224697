// Records the viewer in the system outside its install folder: shortcuts,
// context menu, command class, application key, uninstall entry,
// capabilities and file associations.
#pragma once

#include <string_view>

#include "integration/format_table.h"

namespace pixelmoor {

// Always returns 1: no single step's failure is reported.
int RegisterApplication(int associate, std::wstring_view folder, int startMenuGroup, int desktopShortcut,
                        int thumbnailsShortcut, int allUsers, const AssociationSelection& selection);

}  // namespace pixelmoor
