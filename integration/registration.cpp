#include "integration/registration.h"

#include <vector>

#include "framework/unique_handle.h"
#include "integration/associations.h"
#include "integration/registration_rules.h"
#include "integration/registry_apply.h"
#include "integration/shortcut_rules.h"
#include "integration/shortcuts.h"

namespace pixelmoor {

namespace {

// The chosen shortcuts, all in one COM apartment: the shortcuts' own
// initialisations then only count, and the shell's objects stay loaded
// from one link to the next.
void CreateShortcuts(const RegistrationTexts& texts, int startMenuGroup, int desktopShortcut, int thumbnailsShortcut,
                     int allUsers) {
    const ComScope com;
    if (startMenuGroup) CreateStartMenuGroup(texts.folder, allUsers);
    std::vector<LinkSpec> desktop;
    if (desktopShortcut) desktop.push_back(ViewerDesktopLink(texts.viewer));
    if (thumbnailsShortcut) desktop.push_back(ThumbnailsDesktopLink(texts.viewer));
    if (!desktop.empty()) CreateDesktopShortcuts(desktop, allUsers);
}

}  // namespace

int RegisterApplication(int associate, std::wstring_view folder, int startMenuGroup, int desktopShortcut,
                        int thumbnailsShortcut, int allUsers, const AssociationSelection& selection) {
    const RegistrationTexts texts = BuildRegistrationTexts(folder);
    CreateShortcuts(texts, startMenuGroup, desktopShortcut, thumbnailsShortcut, allUsers);
    // Every registry write in one list, so that each key is opened once for all of them; the association
    // finish's store-app values are its last writes, its notices follow.
    ApplyRegistryWrites(
        RegistrationWrites(texts, thumbnailsShortcut != 0, selection, associate != 0 && HidesStoreApps()));
    if (associate) NotifyAssociationsChanged();
    return 1;
}

}  // namespace pixelmoor
