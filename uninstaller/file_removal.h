// Removing the files and folders of an installation: the payload's files
// while they are still what the setup wrote, the running uninstaller's own
// file, the folders left empty, and the settings files. Nothing is removed
// through a link, and no folder that is not the installation's own.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "uninstaller/folder_identity.h"
#include "uninstaller/uninstall_rules.h"

namespace pixelmoor {

// Removes one file; true when it is gone or was never there. A read-only
// file is made writable first. A folder of that name is not a file of ours
// and stays (true: nothing of ours is left there).
[[nodiscard]] bool RemoveFileIfPresent(const std::wstring& path);

// Removes the payload's files from the install folder (ending in a
// backslash), each only while it lies in the install folder and holds the
// bytes with its listed checksum. A file that was changed, or that leads
// elsewhere (a link), stays and is kept, as does everything below a folder
// on its way that is a link: what lies behind a link is not entered. What
// cannot be removed is left.
void RemovePayloadFiles(const std::wstring& folder, std::span<const PayloadFile> files, RemovalOutcome& outcome);

// Removes the payload's folders (relative paths, deepest first) that are
// empty now. A folder that still holds files of the user stays, a link stays
// (kept), and so does a shell folder. When the install folder is a drive's
// root or a shell folder, none goes: a "Languages" there may have been there
// before the installation.
void RemoveEmptySubfolders(const std::wstring& folder, std::span<const std::wstring> folders,
                           const ProtectedFolders& protectedFolders, RemovalOutcome& outcome);

// Removes the install folder when it is empty; a link, a drive's root or a
// shell folder stays (kept).
void RemoveInstallFolder(const std::wstring& folder, const ProtectedFolders& protectedFolders, RemovalOutcome& outcome);

// True when the folder (ending in a backslash) holds anything but entries of
// these names.
[[nodiscard]] bool FolderHoldsOthers(const std::wstring& folder, std::span<const std::wstring_view> names);

enum class OwnFileRemoval {
    Gone,       // deleted, or moved out of the install folder into the private folder
    AtRestart,  // it (and the install folder when folderMayGo) go at the next restart
    Failed,     // neither could be done
};

// Removes the uninstaller's own file from the install folder. The running
// uninstaller that waits for this copy keeps its file in use, which the
// system does not let anyone delete but does let move: it is moved into
// privateFolder (ending in a backslash), which goes after the run. When that
// lies on another drive, the file, and the install folder when folderMayGo,
// are scheduled for the next restart.
[[nodiscard]] OwnFileRemoval RemoveOwnFile(const std::wstring& folder, const std::wstring& privateFolder,
                                           bool folderMayGo);

// The settings files of the installation.
struct InstalledSettings {
    // The program folder's file and the one in the settings folder that it
    // records (its variables expanded for the running user).
    SettingsPlaces places;
    // The recorded settings folder when it cannot be told here: nothing there goes.
    std::optional<std::wstring> unknownFolder;
    // The program folder's file holds nothing but the setup's record of the settings folder.
    bool programFileIsPointer = false;
};
[[nodiscard]] InstalledSettings FindSettingsFiles(const std::wstring& folder);

// Removes the settings files (each only while it lies in its folder), then
// the settings folder when it is empty and is not protected.
void RemoveSettingsFiles(const InstalledSettings& settings, const ProtectedFolders& protectedFolders,
                         RemovalOutcome& outcome);

// Removes the program folder's settings file when it is only the setup's
// record of the settings folder: without it the user's settings are no
// fewer, and it would keep the install folder.
void RemoveSetupPointer(const std::wstring& folder, const InstalledSettings& settings, RemovalOutcome& outcome);

}  // namespace pixelmoor
