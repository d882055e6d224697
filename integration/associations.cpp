#include "integration/associations.h"

#include <shlobj.h>
#include <windows.h>

#include "integration/association_rules.h"
#include "integration/registry_apply.h"
#include "integration/windows_version.h"

namespace pixelmoor {

void AssociateExtension(std::wstring_view extension, std::wstring_view type, std::wstring_view openCommand,
                        std::wstring_view icon, std::int32_t selected) {
    ApplyRegistryWrites(ExtensionClassWrites(extension, type, openCommand, icon, selected != 0));
    AddCapabilityAssociation(extension, type);
    if (selected == 0) return;
    ApplyRegistryWrites(UserChoiceWrites(extension, type));
}

void AddCapabilityAssociation(std::wstring_view extension, std::wstring_view type) {
    const RegistryWrite write = CapabilityAssociationWrite(extension, type);
    ApplyRegistryWrites({&write, 1});
}

void HideStoreAppsFromOpenWith() { ApplyRegistryWrites(StoreAppHidingWrites()); }

// Windows 11 ignores these values, and older systems have no such apps.
bool HidesStoreApps() { return CurrentWindowsGeneration() == kGenerationWindows10; }

void FinishAssociations() {
    if (HidesStoreApps()) HideStoreAppsFromOpenWith();
    NotifyAssociationsChanged();
}

void NotifyAssociationsChanged() {
    ::SystemParametersInfoW(SPI_SETICONS, 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSHNOWAIT, nullptr, nullptr);
}

}  // namespace pixelmoor
