// Removing the files and folders of an installation: the payload's files,
// the running uninstaller's own file, the folders left empty, and the
// settings files when the user asks for them to go.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "payload/uninstaller/uninstall_rules.h"

namespace pixelmoor {

// Removes one file; true when it is gone or was never there. A read-only
// file is made writable first. A folder of that name is not a file of ours
// and stays (true: nothing of ours is left there).
[[nodiscard]] bool RemoveFileIfPresent(const std::wstring& path);

// Removes the payload's files (relative paths) from the install folder
// (ending in a backslash). A file is passed over when a folder on its way
// below the install folder has been replaced by a link (a junction or a
// symbolic link): what lies behind it is not ours. What cannot be removed is
// added to left.
void RemovePayloadFiles(const std::wstring& folder, std::span<const std::wstring> files,
                        std::vector<std::wstring>& left);

// Removes the payload's folders (relative paths, deepest first) that are
// empty now, then the install folder when it is empty. A folder that still
// holds files of the user stays.
void RemoveEmptyFolders(const std::wstring& folder, std::span<const std::wstring> folders);

enum class OwnFileRemoval {
    Gone,       // deleted, or moved out of the install folder into the private folder
    AtRestart,  // it and the install folder go at the next restart
    Failed,     // neither could be done
};

// Removes the uninstaller's own file from the install folder. The running
// uninstaller that waits for this copy keeps its file in use, which the
// system does not let anyone delete but does let move: it is moved into
// privateFolder (ending in a backslash), which goes after the run. When that
// lies on another drive, the file and the install folder are scheduled for
// the next restart.
[[nodiscard]] OwnFileRemoval RemoveOwnFile(const std::wstring& folder, const std::wstring& privateFolder);

// The settings files of the installation: the program folder's file and the
// one in the settings folder that it records (its variables expanded for the
// running user).
[[nodiscard]] SettingsPlaces FindSettingsFiles(const std::wstring& folder);

// Removes the settings files, then the settings folder when it is empty.
void RemoveSettingsFiles(const SettingsPlaces& places, std::vector<std::wstring>& left);

}  // namespace pixelmoor
