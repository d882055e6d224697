// Records the viewer in the system outside its install folder: shortcuts,
// context menu, command class, application key, uninstall entry,
// capabilities and file associations.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "integration/format_table.h"
#include "integration/shortcut_rules.h"

namespace pixelmoor {

// Registers the viewer installed into folder with the shortcuts chosen and
// the file types of selection; the association finish runs when any is
// chosen. Every step runs whatever an earlier one did. Returns what was
// asked for and not written, one line each for the failure log: every
// shortcut chosen that could not be saved ("Verkn\u00fcpfung <path>"), then
// each required part of the registration (RequiredPartOf) with a value that
// could not be written; empty when all of that was written. Other registry
// values that fail (file types, context menu) only go to the full log's count.
[[nodiscard]] std::vector<std::wstring> RegisterApplication(std::wstring_view folder, const ShortcutChoices& shortcuts,
                                                            const AssociationSelection& selection);

}  // namespace pixelmoor
