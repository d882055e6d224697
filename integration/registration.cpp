#include "integration/registration.h"

#include "integration/associations.h"
#include "integration/registration_rules.h"
#include "integration/registry_apply.h"
#include "integration/shortcut_rules.h"
#include "integration/shortcuts.h"

namespace pixelmoor {

namespace {

void CreateDesktopLink(const LinkSpec& link, int allUsers) {
    CreateDesktopShortcut(link.target, link.fileName, link.iconFile, link.description, link.arguments, link.iconIndex,
                          allUsers);
}

// Every extension of every row, chosen or not: the row's flag decides what
// is pointed at the viewer and made the user's choice.
void AssociateFormatTable(const RegistrationTexts& texts, const AssociationSelection& selection) {
    const auto rows = FormatTable();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const std::wstring icon = IconTextFor(rows[row].icon, texts);
        for (const FormatExtension& entry : rows[row].extensions())
            AssociateExtension(entry.extension, entry.type, texts.openCommand, icon, selection[row]);
    }
}

}  // namespace

int RegisterApplication(int associate, std::wstring_view folder, int startMenuGroup, int desktopShortcut,
                        int thumbnailsShortcut, int allUsers, const AssociationSelection& selection) {
    const RegistrationTexts texts = BuildRegistrationTexts(folder);
    if (startMenuGroup) CreateStartMenuGroup(texts.folder, allUsers);
    if (desktopShortcut) CreateDesktopLink(ViewerDesktopLink(texts.viewer), allUsers);
    if (thumbnailsShortcut) {
        CreateDesktopLink(ThumbnailsDesktopLink(texts.viewer), allUsers);
        ApplyRegistryWrites(ContextMenuWrites(texts));
    }
    ApplyRegistryWrites(ApplicationWrites(texts));
    AssociateFormatTable(texts, selection);
    if (associate) FinishAssociations();
    return 1;
}

}  // namespace pixelmoor
