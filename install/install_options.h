// The record of choices for one installation. Built from the command line in
// silent mode and from the wizard's pages otherwise; consumed by
// RunInstallation, which hands its shortcut choices and its selection on to
// the registration as they are.
#pragma once

#include <string>

#include "contract/product.h"
#include "integration/format_table.h"
#include "integration/shortcut_rules.h"

namespace pixelmoor {

class InstallationView;
class ScreenFactsAhead;

struct InstallOptions {
    std::wstring folder;  // target folder as given (too long a text is refused, never cut); may lack the backslash
    ShortcutChoices shortcuts;  // startMenuGroup, desktopShortcut, thumbnailsShortcut, allUsers
    std::wstring iniFolder;     // settings folder, %NAME% variables unexpanded; empty: the program folder
    // The file types chosen; "associate", whether an association run is
    // asked for, is AssociationRequested(selection).
    AssociationSelection selection{};
    int silent = 1;  // 1: no window, failures go to the install log
    std::wstring caption = kSetupCaption;
    // The wizard's boxes and progress bar (install/installation_view.h);
    // null on the silent road, and then a box would have the active window.
    InstallationView* view = nullptr;
    // The screen's measures, read ahead on the silent road; null: read when needed.
    ScreenFactsAhead* screen = nullptr;
};

}  // namespace pixelmoor
