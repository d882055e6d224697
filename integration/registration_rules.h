// The texts and registry writes of the application registration that do not
// depend on the running system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "contract/product.h"
#include "integration/format_table.h"
#include "integration/registry_writes.h"

namespace pixelmoor {

// The uninstall entry's value with the SHA-256 of the uninstaller that the
// installation carries: only administrators write the entry, so a later
// setup starts an uninstaller found in the folder only while it matches.
inline constexpr wchar_t kUninstallerDigestValue[] = L"UninstallerSHA256";
// The product's command class (HKEY_LOCAL_MACHINE); its open command,
// kOpenCommandKey, is the contract's.
inline constexpr wchar_t kCommandClassKey[] = L"SOFTWARE\\Classes\\Pixelmoor";

// The texts built from the install folder. They hold the whole folder,
// however long: a path that does not fit a system path buffer is still
// recorded as it was given, never cut.
struct RegistrationTexts {
    std::wstring folder;         // F: trimmed, ending in exactly one added backslash
    std::wstring viewer;         // E: F + "p_moor64.exe"
    std::wstring openCommand;    // C: "E" "%1"
    std::wstring viewerIcon;     // I0: E,0
    std::wstring videoIcon;      // I12: E,12
    std::wstring audioIcon;      // I11: E,11
    std::wstring thumbsCommand;  // T: "E" "%1" /thumbs
    // The uninstaller's SHA-256 in hexadecimal digits: known to the
    // payload's build, not to the folder, so the caller fills it in.
    std::wstring uninstallerSha256;
};

[[nodiscard]] RegistrationTexts BuildRegistrationTexts(std::wstring_view folder);

// The icon text that a row's classes get: "%1" for types whose files show
// their own icon, else the viewer with the row's icon index.
[[nodiscard]] std::wstring IconTextFor(IconKind kind, const RegistrationTexts& texts);

// "Durchsuchen mit &Pixelmoor" on folders and drives, which starts the viewer
// with the clicked item in thumbnails mode.
[[nodiscard]] RegistryWrites ContextMenuWrites(const RegistrationTexts& texts);

// Whether a list of writes holds those of the uninstall entry. An
// uninstaller takes everything else back first and the entry last, so that
// it can be run again when anything was left.
enum class UninstallEntry { kIncluded, kLeftOut };

// The command class, the application key, the uninstall entry (whose
// EstimatedSize is installedSizeKb, the payload's size in kilobytes), the
// capabilities and the registered application, in the order they are made.
[[nodiscard]] RegistryWrites ApplicationWrites(const RegistrationTexts& texts, std::uint32_t installedSizeKb,
                                               UninstallEntry entry = UninstallEntry::kIncluded);

// The parts of the registration that an installation must not go without:
// the next installation and the shell find the viewer through its command
// class, Programs and Features and deployment tools find the installation
// through its uninstall entry, and the system's default-programs settings
// find its file types through its capabilities (the application key with
// them). A value of these that cannot be written fails the installation;
// every other write (context menu, the file types' classes and the user's
// choices, the system's list of registered applications, which not every
// system keeps) may fail quietly.
enum class RequiredRegistration { kCommandClass, kUninstallEntry, kCapabilities };

// The part that a write belongs to, by its key; none for a write that may
// fail and for a deletion.
[[nodiscard]] std::optional<RequiredRegistration> RequiredPartOf(const RegistryWrite& write);

// How the failure log names a part that was not written: what it is and
// its key, e.g. "Deinstallationseintrag HKEY_LOCAL_MACHINE\SOFTWARE\...".
[[nodiscard]] std::wstring RequiredPartText(RequiredRegistration part);

// Every registry write of a registration, in the order they are made: the
// context menu (with the thumbnails shortcut), the application writes, for
// every extension of the format table in table order its class writes, its
// capabilities value and, when its row is chosen, the user's choice; last
// the store-app values when they are to be hidden.
[[nodiscard]] RegistryWrites RegistrationWrites(const RegistrationTexts& texts, bool contextMenu,
                                                const AssociationSelection& selection, bool hideStoreApps,
                                                std::uint32_t installedSizeKb,
                                                UninstallEntry entry = UninstallEntry::kIncluded);

}  // namespace pixelmoor
