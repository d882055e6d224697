#include "integration/registration_rules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>

#include "integration/association_rules.h"
#include "integration/shortcut_rules.h"

namespace pixelmoor {
namespace {

using Root = RegistryRoot;

struct FolderCase {
    std::wstring folder;
    std::wstring expected;  // F
};

TEST(RegistrationTexts, InstallFolderIsTrimmedAndEndsInOneBackslash) {
    const std::wstring deep = L"D:\\" + std::wstring(300, L'x');  // beyond a system path
    const FolderCase cases[] = {
        {L"D:\\Tools\\Pixelmoor", L"D:\\Tools\\Pixelmoor\\"},         // backslash added
        {L"D:\\Tools\\Pixelmoor\\", L"D:\\Tools\\Pixelmoor\\"},       // no second backslash
        {L"D:\\Tools\\Pixelmoor   ", L"D:\\Tools\\Pixelmoor\\"},      // trailing blanks go
        {L"  D:\\Tools\\Pixelmoor", L"D:\\Tools\\Pixelmoor\\"},       // leading blanks go from short texts
        {L"D:\\Tools\\Pixel moor \\ ", L"D:\\Tools\\Pixel moor \\"},  // blanks inside stay
        {deep, deep + L"\\"},                                         // a long folder is kept whole
        {L" " + deep, L" " + deep + L"\\"},                           // long texts keep leading blanks
    };
    for (const FolderCase& c : cases) EXPECT_EQ(BuildRegistrationTexts(c.folder).folder, c.expected);
}

TEST(RegistrationTexts, CommandsAndIconsNameTheViewer) {
    const RegistrationTexts texts = BuildRegistrationTexts(L"D:\\Tools\\Pixelmoor");
    EXPECT_EQ(texts.viewer, L"D:\\Tools\\Pixelmoor\\p_moor64.exe");
    EXPECT_EQ(texts.openCommand, L"\"D:\\Tools\\Pixelmoor\\p_moor64.exe\" \"%1\"");
    EXPECT_EQ(texts.thumbsCommand, L"\"D:\\Tools\\Pixelmoor\\p_moor64.exe\" \"%1\" /thumbs");
    EXPECT_EQ(IconTextFor(IconKind::Own, texts), L"%1");
    EXPECT_EQ(IconTextFor(IconKind::Viewer, texts), L"D:\\Tools\\Pixelmoor\\p_moor64.exe,0");
    EXPECT_EQ(IconTextFor(IconKind::Video, texts), L"D:\\Tools\\Pixelmoor\\p_moor64.exe,12");
    EXPECT_EQ(IconTextFor(IconKind::Audio, texts), L"D:\\Tools\\Pixelmoor\\p_moor64.exe,11");
}

struct ExtensionCase {
    std::wstring_view extension, type;
    bool selected;
    bool pointed;  // the extension key is written
};

TEST(AssociationWrites, ExtensionKeyOnlyForChosenRowsAndJpgPngTif) {
    const ExtensionCase cases[] = {
        {L"jpg", L"jpg", false, true},    // always pointed
        {L"png", L"png", false, true},    //
        {L"tif", L"tif", false, true},    //
        {L"TIF", L"tif", false, true},    // compared without regard to case
        {L"jpeg", L"jpg", false, false},  // shares jpg's class, but is not pointed unchosen
        {L"tiff", L"tif", false, false},  //
        {L"jpeg", L"jpg", true, true},    // chosen
        {L"dib", L"bmp", true, true},     // chosen, to the shared class
        {L"mp3", L"mp3", false, false},   //
    };
    for (const ExtensionCase& c : cases) {
        const std::wstring classKey = L"SOFTWARE\\Classes\\Pixelmoor." + std::wstring(c.type);
        RegistryWrites expected;
        if (c.pointed)
            expected.push_back(SetDefaultValue{Root::LocalMachine, L"SOFTWARE\\Classes\\." + std::wstring(c.extension),
                                               L"Pixelmoor." + std::wstring(c.type)});
        expected.push_back(SetDefaultValue{Root::LocalMachine, classKey, ClassDescription(c.type)});
        expected.push_back(SetDefaultValue{Root::LocalMachine, classKey + L"\\shell\\open\\command", L"cmd"});
        expected.push_back(SetDefaultValue{Root::LocalMachine, classKey + L"\\DefaultIcon", L"icon"});
        EXPECT_EQ(ExtensionClassWrites(c.extension, c.type, L"cmd", L"icon", c.selected), expected)
            << std::string(c.extension.begin(), c.extension.end()) << " selected " << c.selected;
    }
}

TEST(AssociationWrites, ClassDescriptionUpperCasesTheType) {
    EXPECT_EQ(ClassDescription(L"jpg"), L"Pixelmoor JPG File");
    EXPECT_EQ(ClassDescription(L"cr2"), L"Pixelmoor CR2 File");  // digits stay
    EXPECT_EQ(ProgId(L"djvu"), L"Pixelmoor.djvu");
}

TEST(AssociationWrites, UserChoiceIsReplacedAndCapabilityOnlyOpened) {
    const std::wstring choice = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.jpe\\UserChoice";
    const RegistryWrites expected = {
        DeleteKey{Root::CurrentUser, choice},
        SetNamedValues{Root::CurrentUser, choice, KeyOpening::Create, {{L"Progid", L"Pixelmoor.jpg"}}},
    };
    EXPECT_EQ(UserChoiceWrites(L"jpe", L"jpg"), expected);
    EXPECT_EQ(CapabilityAssociationWrite(L"jpe", L"jpg"),
              RegistryWrite(SetNamedValues{Root::LocalMachine,
                                           L"SOFTWARE\\Pixelmoor\\Capabilities\\FileAssociations",
                                           KeyOpening::OpenSetValue,
                                           {{L".jpe", L"Pixelmoor.jpg"}}}));
}

TEST(RequiredRegistration, OnlyTheCommandClassUninstallEntryAndCapabilitiesAreRequired) {
    using Part = RequiredRegistration;
    const NamedValue any{L"X", std::wstring(L"y")};
    struct Row {
        RegistryWrite write;
        std::optional<Part> part;
    };
    const Row rows[] = {
        // the command class and its open command, which the next setup reads
        {SetDefaultValue{Root::LocalMachine, L"SOFTWARE\\Classes\\Pixelmoor", L"Pixelmoor"}, Part::kCommandClass},
        {SetDefaultValue{Root::LocalMachine, L"SOFTWARE\\Classes\\Pixelmoor\\shell\\open\\command", L"c"},
         Part::kCommandClass},
        // keys compare without regard to capitals, as the registry does
        {SetDefaultValue{Root::LocalMachine, L"software\\CLASSES\\pixelmoor\\Shell", L"c"}, Part::kCommandClass},
        // a file type's class only starts with the same name
        {SetDefaultValue{Root::LocalMachine, L"SOFTWARE\\Classes\\Pixelmoor.jpg", L"d"}, std::nullopt},
        // the uninstall entry, its key and its values
        {SetDefaultValue{Root::LocalMachine, kUninstallEntryKey, L""}, Part::kUninstallEntry},
        {SetNamedValues{Root::LocalMachine, kUninstallEntryKey, KeyOpening::OpenFullAccess, {any}},
         Part::kUninstallEntry},
        // the application key, its command, the capabilities and their file associations
        {SetNamedValues{Root::LocalMachine, L"SOFTWARE\\Pixelmoor", KeyOpening::Create, {}}, Part::kCapabilities},
        {SetDefaultValue{Root::LocalMachine, L"SOFTWARE\\Pixelmoor\\shell\\open\\command", L"c"}, Part::kCapabilities},
        {CapabilityAssociationWrite(L"jpg", L"jpg"), Part::kCapabilities},
        // the system's list of registered applications, which not every system keeps
        {SetNamedValues{Root::LocalMachine, L"SOFTWARE\\RegisteredApplications", KeyOpening::OpenSetValue, {any}},
         std::nullopt},
        // the viewer's entry for "Open with"
        {SetDefaultValue{Root::ClassesRoot, L"Applications\\p_moor64.exe\\shell\\open\\command", L"c"}, std::nullopt},
        // the same path in the user's hive is none of the machine's registration
        {SetDefaultValue{Root::CurrentUser, L"SOFTWARE\\Classes\\Pixelmoor", L"Pixelmoor"}, std::nullopt},
        // the context menu and a user's choice
        {SetDefaultValue{Root::LocalMachine, L"SOFTWARE\\Classes\\Directory\\shell\\Durchsuchen mit &Pixelmoor", L"m"},
         std::nullopt},
        {UserChoiceWrites(L"jpg", L"jpg").back(), std::nullopt},
        // a deletion writes nothing
        {DeleteKey{Root::LocalMachine, L"SOFTWARE\\Classes\\Pixelmoor\\DefaultIcon"}, std::nullopt},
    };
    for (const Row& row : rows) {
        const std::wstring key = std::visit([](const auto& w) { return w.key; }, row.write);
        EXPECT_EQ(RequiredPartOf(row.write), row.part) << std::string(key.begin(), key.end());
    }
    EXPECT_EQ(RequiredPartText(Part::kUninstallEntry),
              L"Deinstallationseintrag "
              L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor64");
    EXPECT_EQ(RequiredPartText(Part::kCommandClass), L"Befehlsklasse HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Pixelmoor");
    EXPECT_EQ(RequiredPartText(Part::kCapabilities),
              L"Anwendungsregistrierung (Capabilities) HKEY_LOCAL_MACHINE\\SOFTWARE\\Pixelmoor");
}

TEST(ShortcutSet, VersionedNameRightAlignsTheMinorNumber) {
    EXPECT_EQ(VersionedLinkName(4, 75), L"Pixelmoor 64 4.75.lnk");
    EXPECT_EQ(VersionedLinkName(5, 1), L"Pixelmoor 64 5. 1.lnk");  // field width 2
    EXPECT_EQ(VersionedLinkName(4, 123), L"Pixelmoor 64 4.123.lnk");
}

}  // namespace
}  // namespace pixelmoor
