// Records the viewer in the system outside its install folder: shortcuts,
// context menu, command class, application key, uninstall entry,
// capabilities and file associations.
#pragma once

#include <string_view>

#include "integration/format_table.h"
#include "integration/shortcut_rules.h"

namespace pixelmoor {

// Registers the viewer installed into folder with the shortcuts chosen and
// the file types of selection; the association finish runs when any is
// chosen. Always returns 1: no single step's failure is reported.
int RegisterApplication(std::wstring_view folder, const ShortcutChoices& shortcuts,
                        const AssociationSelection& selection);

}  // namespace pixelmoor
