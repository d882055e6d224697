// Removing the shortcuts of an installation: the start-menu group "Pixelmoor"
// and the two desktop shortcuts, for the current user and for all users.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "uninstaller/folder_identity.h"

namespace pixelmoor {

// Removes every shortcut that the setup makes, in both scopes, when it points
// into one of the installation's folders (the install folder, and the folder
// that its registration names when that is another name for it or is gone);
// a shortcut of the same name that points elsewhere belongs to another
// installation and stays. The group folder goes when it is empty. COM must be
// initialised on the calling thread. What cannot be removed is added to left.
void RemoveShortcuts(std::span<const FolderId> folders, std::vector<std::wstring>& left);

}  // namespace pixelmoor
