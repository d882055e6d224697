// Removing the shortcuts of an installation: the start-menu group "Pixelmoor"
// and the two desktop shortcuts, for the current user and for all users.
#pragma once

#include <string>
#include <vector>

namespace pixelmoor {

// Removes every shortcut that the setup makes, in both scopes, when it points
// into the install folder (ending in a backslash); a shortcut of the same
// name that points elsewhere belongs to another installation and stays. The
// group folder goes when it is empty. COM must be initialised on the calling
// thread. What cannot be removed is added to left.
void RemoveShortcuts(const std::wstring& folder, std::vector<std::wstring>& left);

}  // namespace pixelmoor
