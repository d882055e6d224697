#include "integration/registration.h"

#include <vector>

#include "integration/associations.h"
#include "integration/registration_rules.h"
#include "integration/registry_apply.h"
#include "integration/shortcut_rules.h"
#include "integration/shortcuts.h"

namespace pixelmoor {

namespace {

// The chosen shortcuts: the start-menu group's (its folder made ready) and the desktop's.
std::vector<ShortcutJob> ShortcutJobs(const RegistrationTexts& texts, int startMenuGroup, int desktopShortcut,
                                      int thumbnailsShortcut, int allUsers) {
    std::vector<ShortcutJob> jobs;
    if (startMenuGroup) jobs = StartMenuGroupJobs(texts.folder, allUsers);
    std::vector<ShortcutLink> desktop;
    if (desktopShortcut) desktop.push_back(ViewerDesktopLink(texts.viewer));
    if (thumbnailsShortcut) desktop.push_back(ThumbnailsDesktopLink(texts.viewer));
    if (!desktop.empty())
        for (ShortcutJob& job : DesktopJobs(desktop, allUsers)) jobs.push_back(std::move(job));
    return jobs;
}

}  // namespace

int RegisterApplication(int associate, std::wstring_view folder, int startMenuGroup, int desktopShortcut,
                        int thumbnailsShortcut, int allUsers, const AssociationSelection& selection) {
    const RegistrationTexts texts = BuildRegistrationTexts(folder);
    // The shortcuts are saved while the registry is written and the shell
    // hears of the new associations; the two touch nothing of each other.
    ShortcutWriter shortcuts(ShortcutJobs(texts, startMenuGroup, desktopShortcut, thumbnailsShortcut, allUsers));
    // Every registry write in one list, so that each key is opened once for all of them; the association
    // finish's store-app values are its last writes, its notices follow.
    ApplyRegistryWrites(
        RegistrationWrites(texts, thumbnailsShortcut != 0, selection, associate != 0 && HidesStoreApps()));
    if (associate) NotifyAssociationsChanged();
    (void)shortcuts.Wait();
    return 1;
}

}  // namespace pixelmoor
