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
std::vector<ShortcutJob> ShortcutJobs(const RegistrationTexts& texts, const ShortcutChoices& shortcuts) {
    std::vector<ShortcutJob> jobs;
    if (shortcuts.startMenuGroup) jobs = StartMenuGroupJobs(texts.folder, shortcuts.allUsers);
    std::vector<ShortcutLink> desktop;
    if (shortcuts.desktopShortcut) desktop.push_back(ViewerDesktopLink(texts.viewer));
    if (shortcuts.thumbnailsShortcut) desktop.push_back(ThumbnailsDesktopLink(texts.viewer));
    if (!desktop.empty())
        for (ShortcutJob& job : DesktopJobs(desktop, shortcuts.allUsers)) jobs.push_back(std::move(job));
    return jobs;
}

}  // namespace

int RegisterApplication(std::wstring_view folder, const ShortcutChoices& shortcuts,
                        const AssociationSelection& selection) {
    const RegistrationTexts texts = BuildRegistrationTexts(folder);
    const bool associate = AssociationRequested(selection);
    // The shortcuts are saved while the registry is written and the shell
    // hears of the new associations; the two touch nothing of each other.
    ShortcutWriter writer(ShortcutJobs(texts, shortcuts));
    // Every registry write in one list, so that each key is opened once for all of them; the association
    // finish's store-app values are its last writes, its notices follow.
    ApplyRegistryWrites(
        RegistrationWrites(texts, shortcuts.thumbnailsShortcut != 0, selection, associate && HidesStoreApps()));
    if (associate) NotifyAssociationsChanged();
    (void)writer.Wait();
    return 1;
}

}  // namespace pixelmoor
