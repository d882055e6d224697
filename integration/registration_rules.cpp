#include "integration/registration_rules.h"

#include <iterator>
#include <utility>

#include "contract/product.h"
#include "framework/text_rules.h"
#include "integration/association_rules.h"

namespace pixelmoor {

namespace {

constexpr wchar_t kMenuText[] = L"Durchsuchen mit &Pixelmoor";
constexpr wchar_t kApplicationKey[] = L"SOFTWARE\\Pixelmoor";
constexpr wchar_t kCapabilitiesKey[] = L"SOFTWARE\\Pixelmoor\\Capabilities";
constexpr wchar_t kFriendlyAppName[] = L"Pixelmoor 64-bit";
constexpr wchar_t kApplicationDescription[] =
    L"Picture viewer, editor and converter - one of the most popular viewers worldwide";

std::wstring Quoted(std::wstring_view text) { return L'"' + std::wstring(text) + L'"'; }

void Append(RegistryWrites& writes, RegistryWrites more) {
    writes.insert(writes.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

// The command class with the open command, and the application key of the
// viewer's file.
RegistryWrites CommandClassWrites(const RegistrationTexts& texts) {
    using Root = RegistryRoot;
    return {
        SetDefaultValue{Root::LocalMachine, kCommandClassKey, std::wstring(kProductName)},
        // The next installation reads this command back to find the install folder.
        SetDefaultValue{Root::LocalMachine, kOpenCommandKey, texts.openCommand},
        // The command class keeps no icon of its own.
        DeleteKey{Root::LocalMachine, L"SOFTWARE\\Classes\\Pixelmoor\\DefaultIcon"},
        SetDefaultValue{Root::ClassesRoot, L"Applications\\p_moor64.exe\\shell\\open\\command", texts.openCommand},
        SetNamedValues{Root::ClassesRoot,
                       L"Applications\\p_moor64.exe",
                       KeyOpening::OpenFullAccess,
                       {{L"FriendlyAppName", std::wstring(kFriendlyAppName)}}},
    };
}

RegistryWrites UninstallEntryWrites(const RegistrationTexts& texts, std::uint32_t installedSizeKb) {
    const std::wstring version = VersionText(kVersionMajor, kVersionMinor);
    const std::wstring uninstaller = Quoted(texts.folder + kUninstallerExe);
    return {
        // The empty default value creates the uninstall entry's key.
        SetDefaultValue{RegistryRoot::LocalMachine, kUninstallEntryKey, L""},
        SetNamedValues{RegistryRoot::LocalMachine,
                       kUninstallEntryKey,
                       KeyOpening::OpenFullAccess,
                       {
                           {L"DisplayName", std::wstring(kProductName) + L' ' + version + L" (64-bit)"},
                           {L"UninstallString", uninstaller},
                           {L"Publisher", std::wstring(kPublisher)},
                           {L"InstallLocation", texts.folder},
                           {L"DisplayVersion", version},
                           {L"DisplayIcon", texts.viewerIcon},
                           {L"VersionMajor", static_cast<std::uint32_t>(kVersionMajor)},
                           {L"VersionMinor", static_cast<std::uint32_t>(kVersionMinor)},
                           {L"EstimatedSize", installedSizeKb},
                           // What package managers and deployment tools run, and no
                           // change or repair offered for an installation that has none.
                           {L"QuietUninstallString", uninstaller + L" /silent"},
                           {L"NoModify", std::uint32_t{1}},
                           {L"NoRepair", std::uint32_t{1}},
                           {kUninstallerDigestValue, texts.uninstallerSha256},
                       }},
    };
}

// The application key with its command, the capabilities and the
// registered application.
RegistryWrites CapabilitiesWrites(const RegistrationTexts& texts) {
    using Root = RegistryRoot;
    return {
        SetNamedValues{Root::LocalMachine, kApplicationKey, KeyOpening::Create, {}},
        SetDefaultValue{Root::LocalMachine, L"SOFTWARE\\Pixelmoor\\shell\\open\\command", Quoted(texts.viewer)},
        SetNamedValues{Root::LocalMachine,
                       kCapabilitiesKey,
                       KeyOpening::Create,
                       {{L"ApplicationDescription", std::wstring(kApplicationDescription)}}},
        // The association pass only opens this key; it must exist before the first extension.
        SetNamedValues{Root::LocalMachine, kFileAssociationsKey, KeyOpening::Create, {}},
        // Listed only where the system keeps such a list: the key is not created.
        SetNamedValues{Root::LocalMachine,
                       L"SOFTWARE\\RegisteredApplications",
                       KeyOpening::OpenSetValue,
                       {{std::wstring(kProductName), std::wstring(kCapabilitiesKey)}}},
    };
}

// Where each required part lies below HKEY_LOCAL_MACHINE, and how the
// failure log calls it.
struct RequiredKey {
    RequiredRegistration part;
    const wchar_t* key;
    const wchar_t* name;
};
constexpr RequiredKey kRequiredKeys[] = {
    {RequiredRegistration::kCommandClass, kCommandClassKey, L"Befehlsklasse"},
    {RequiredRegistration::kUninstallEntry, kUninstallEntryKey, L"Deinstallationseintrag"},
    {RequiredRegistration::kCapabilities, kApplicationKey, L"Anwendungsregistrierung (Capabilities)"},
};

// The key itself or one below it.
bool AtOrBelow(std::wstring_view key, std::wstring_view top) {
    return StartsWithIgnoringCase(key, top) && (key.size() == top.size() || key[top.size()] == L'\\');
}

}  // namespace

std::optional<RequiredRegistration> RequiredPartOf(const RegistryWrite& write) {
    if (std::holds_alternative<DeleteKey>(write)) return std::nullopt;
    const auto [root, key] =
        std::visit([](const auto& w) { return std::pair(w.root, std::wstring_view(w.key)); }, write);
    if (root != RegistryRoot::LocalMachine) return std::nullopt;
    for (const RequiredKey& required : kRequiredKeys)
        if (AtOrBelow(key, required.key)) return required.part;
    return std::nullopt;
}

std::wstring RequiredPartText(RequiredRegistration part) {
    for (const RequiredKey& required : kRequiredKeys)
        if (required.part == part) return std::wstring(required.name) + L" HKEY_LOCAL_MACHINE\\" + required.key;
    return {};
}

RegistrationTexts BuildRegistrationTexts(std::wstring_view folder) {
    RegistrationTexts texts;
    texts.folder = folder;
    TrimBlanks(texts.folder);
    if (!EndsWithBackslash(texts.folder)) texts.folder += L'\\';
    texts.viewer = texts.folder + kViewerExe;
    texts.openCommand = Quoted(texts.viewer) + L" \"%1\"";
    texts.viewerIcon = texts.viewer + L",0";
    texts.videoIcon = texts.viewer + L",12";
    texts.audioIcon = texts.viewer + L",11";
    texts.thumbsCommand = texts.openCommand + L" /thumbs";
    return texts;
}

std::wstring IconTextFor(IconKind kind, const RegistrationTexts& texts) {
    switch (kind) {
        case IconKind::Own:
            return L"%1";
        case IconKind::Video:
            return texts.videoIcon;
        case IconKind::Audio:
            return texts.audioIcon;
        case IconKind::Viewer:
            break;
    }
    return texts.viewerIcon;
}

RegistryWrites ContextMenuWrites(const RegistrationTexts& texts) {
    RegistryWrites writes;
    for (const wchar_t* owner : {L"SOFTWARE\\Classes\\Directory\\shell\\", L"SOFTWARE\\Classes\\Drive\\shell\\"}) {
        const std::wstring key = owner + std::wstring(kMenuText);
        writes.push_back(SetDefaultValue{RegistryRoot::LocalMachine, key, kMenuText});
        writes.push_back(SetDefaultValue{RegistryRoot::LocalMachine, key + L"\\command", texts.thumbsCommand});
    }
    return writes;
}

RegistryWrites ApplicationWrites(const RegistrationTexts& texts, std::uint32_t installedSizeKb, UninstallEntry entry) {
    RegistryWrites writes = CommandClassWrites(texts);
    if (entry == UninstallEntry::kIncluded) Append(writes, UninstallEntryWrites(texts, installedSizeKb));
    Append(writes, CapabilitiesWrites(texts));
    return writes;
}

RegistryWrites RegistrationWrites(const RegistrationTexts& texts, bool contextMenu,
                                  const AssociationSelection& selection, bool hideStoreApps,
                                  std::uint32_t installedSizeKb, UninstallEntry entry) {
    RegistryWrites writes;
    if (contextMenu) Append(writes, ContextMenuWrites(texts));
    Append(writes, ApplicationWrites(texts, installedSizeKb, entry));
    const auto rows = FormatTable();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const std::wstring icon = IconTextFor(rows[row].icon, texts);
        const bool selected = selection[row] != 0;
        for (const FormatExtension& extension : rows[row].extensions()) {
            Append(writes,
                   ExtensionClassWrites(extension.extension, extension.type, texts.openCommand, icon, selected));
            writes.push_back(CapabilityAssociationWrite(extension.extension, extension.type));
            if (selected) Append(writes, UserChoiceWrites(extension.extension, extension.type));
        }
    }
    if (hideStoreApps) Append(writes, StoreAppHidingWrites());
    return writes;
}

}  // namespace pixelmoor
