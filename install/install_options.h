// The record of choices for one installation. Built from the command line in
// silent mode and from the wizard's controls otherwise; consumed by
// RunInstallation.
#pragma once

#include <string>

#include "framework/product.h"
#include "integration/format_table.h"

namespace pixelmoor {

struct InstallOptions {
    std::wstring folder;     // target folder as given (too long a text is refused, never cut); may lack the backslash
    int startMenuGroup = 0;  // flags: any nonzero value means yes
    int desktopShortcut = 0;
    int thumbnailsShortcut = 0;
    int allUsers = 0;        // shortcuts for all users instead of the current user
    std::wstring iniFolder;  // settings folder, %NAME% variables unexpanded; empty: the program folder
    int associate = 0;       // at least one file type was chosen
    AssociationSelection selection{};
    int silent = 1;  // 1: no window, failures go to the install log
    std::wstring caption = kSetupCaption;
};

}  // namespace pixelmoor
