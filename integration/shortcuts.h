// The shell shortcuts of an installation: the start-menu group and the
// desktop shortcuts, written through the shell's link object.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "integration/shortcut_rules.h"

namespace pixelmoor {

// Creates the group "Pixelmoor" in the programs folder of the start menu (the
// current user's, or all users' when allUsers is nonzero) with its shortcuts
// to the install folder (ending in a backslash), and removes the viewer
// shortcuts of the two previous versions. Returns 1 when the last shortcut
// (the help file) was saved, else 0.
int CreateStartMenuGroup(std::wstring_view installFolder, int allUsers);

// Writes one shortcut onto the desktop (the current user's, or all users').
// Returns 1 when it was saved, else 0.
int CreateDesktopShortcut(std::wstring_view target, std::wstring_view linkFileName,
                          std::optional<std::wstring_view> iconFile, std::optional<std::wstring_view> description,
                          std::optional<std::wstring_view> arguments, int iconIndex, int allUsers);

// Writes the shortcuts onto the desktop (the current user's, or all
// users'), which is looked up once for all of them. Returns 1 when the last
// one was saved, else 0.
int CreateDesktopShortcuts(std::span<const LinkSpec> links, int allUsers);

// Writes one shortcut, without a description, into a folder that ends in a
// backslash. Returns 1 when it was saved, else 0.
int CreateFolderShortcut(std::wstring_view folder, std::wstring_view linkFileName, std::wstring_view target,
                         std::optional<std::wstring_view> arguments, std::optional<std::wstring_view> iconFile,
                         int iconIndex);

}  // namespace pixelmoor
