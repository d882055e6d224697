// Checks of what a registration left in Wine's registry and start menu,
// shared by the in-process tests and the tests through the setup program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "integration/format_table.h"

namespace pixelmoor::test {

// The command class, application key, uninstall entry, application key and
// capabilities of an installation into folder (ending in a backslash).
void ExpectApplicationKeys(const std::wstring& folder);

// All 76 classes with their descriptions, commands and icons, the 94
// capabilities values, the extension keys pointed at the viewer (chosen rows
// and jpg, png, tif) and the user choices of the chosen rows, nothing else.
// Returns how many extension keys point at the viewer.
int ExpectAssociations(const std::wstring& folder, const AssociationSelection& selection);

// How many of the five store-app classes carry "NoOpenWith" as an empty
// REG_SZ of 2 bytes.
int CountHiddenStoreApps();

// The context-menu entry "Durchsuchen mit &Pixelmoor" on folders and drives.
bool HasContextMenuEntries(const std::wstring& folder);

// The size in bytes of a value's data; 0 when it is missing.
DWORD RegValueSize(HKEY root, const std::wstring& key, const wchar_t* name);

// Shortcut places of both scopes: the group folder and the desktop links.
std::wstring GroupFolder(bool allUsers);
std::wstring DesktopFolder(bool allUsers);
// Removes the group folders and the two desktop links of both scopes.
void ResetShortcuts();

// A shortcut as it is expected to read back.
struct ExpectedLink {
    std::wstring fileName;
    std::wstring target;
    std::wstring arguments;
    std::wstring iconFile;
    int iconIndex;
    std::wstring description;
};
// The shortcut reads back as expected.
void ExpectLink(const std::wstring& folder, const ExpectedLink& link);
// The folder holds exactly these shortcuts, each as expected.
void ExpectLinks(const std::wstring& folder, const std::vector<ExpectedLink>& links);
// The nine (eight without the uninstaller) shortcuts of the group for the install folder.
std::vector<ExpectedLink> ExpectedGroupLinks(const std::wstring& installFolder, bool withUninstaller);

}  // namespace pixelmoor::test
