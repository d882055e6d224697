// The pages' window-free rules: the welcome page's folder check, folder
// dialog and texts, the association list's columns and quick selections, the
// what's-new text, and the install options that the ready page builds from
// the controls.
#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "wizard/page_rules.h"

namespace pixelmoor {
namespace {

TEST(WelcomePageRules, NextNeedsAFolderWithADriveThatTheInstallationFits) {
    // The payload's longest entry, Toolbars/gnome-colors-human_48.png: a
    // folder of 225 characters with its backslash leaves a path of 259.
    constexpr std::size_t kLongestEntry = 34;
    const std::wstring atLimit =
        L"D:\\" + std::wstring(100, L'a') + L"\\" + std::wstring(120, L'b');  // 224, 225 with "\\"
    constexpr FolderVerdict kAccepted = FolderVerdict::kAccepted;
    constexpr FolderVerdict kNoDrive = FolderVerdict::kNoDrive;
    constexpr FolderVerdict kTooLong = FolderVerdict::kTooLong;
    const struct {
        std::wstring text;
        FolderVerdict verdict;
    } rows[] = {
        {L"", kNoDrive},                                // nothing typed
        {L"Pixelmoor", kNoDrive},                       // a bare name
        {L"\\\\server\\share\\Pixelmoor", kNoDrive},    // a network path has no drive
        {L"\\Tools\\Pixelmoor", kNoDrive},              // rooted, but on no drive
        {L"   ", kNoDrive},                             // blanks only
        {L"D:\\Tools\\Pixelmoor", kAccepted},           // the usual case
        {L"Q:\\Missing\\Pixelmoor", kAccepted},         // a drive that may not exist: the driver finds out
        {L"D:", kAccepted},                             // a drive alone
        {L"D:Tools", kAccepted},                        // relative to the drive's folder, as the path splitting has it
        {L"  D:\\Tools\\Pixelmoor  ", kAccepted},       // blanks around it go before installing
        {atLimit, kAccepted},                           // the deepest file fills a path exactly
        {L"  " + atLimit + L"\\  ", kAccepted},         // measured as installed: trimmed, one backslash
        {atLimit + L"c", kTooLong},                     // one more character
        {L"D:\\" + std::wstring(255, L'c'), kTooLong},  // the longest folder that could still be entered
        {L"D:\\Tools\\" + std::wstring(245, L'\\') + L"Pix", kTooLong},  // short once normalised, but beyond 252
    };
    for (const auto& row : rows)
        EXPECT_EQ(JudgeTargetFolder(row.text, kLongestEntry), row.verdict) << testing::PrintToString(row.text);
}

TEST(WelcomePageRules, ChosenFolderGetsTheProductFolderUnlessItIsOne) {
    const struct {
        const wchar_t* chosen;
        const wchar_t* box;
    } rows[] = {
        {L"D:\\Tools", L"D:\\Tools\\Pixelmoor\\"},                  // a folder gets the product folder
        {L"D:\\", L"D:\\Pixelmoor\\"},                              // so does a drive root
        {L"D:\\Apps\\PIXELMOOR", L"D:\\Apps\\PIXELMOOR\\"},         // already the product folder, any capitals
        {L"D:\\Apps\\pixelmoor\\", L"D:\\Apps\\pixelmoor\\"},       // with its trailing backslash
        {L"D:\\Tools\\", L"D:\\Tools\\Pixelmoor\\"},                // a trailing backslash is not doubled
        {L"D:\\Pixelmoor", L"D:\\Pixelmoor\\"},                     // a product folder right below the root
        {L"D:\\Pixelmoor2", L"D:\\Pixelmoor2\\Pixelmoor\\"},        // only the whole component counts
        {L"D:\\Pixelmoor\\Tools", L"D:\\Pixelmoor\\Tools\\Pixelmoor\\"},  // only the last component counts
        {L"\\\\server\\share", L"\\\\server\\share\\Pixelmoor\\"},  // a network folder as any other
    };
    for (const auto& row : rows) EXPECT_EQ(ApplyProductFolderRule(row.chosen), row.box) << testing::PrintToString(std::wstring(row.chosen));
}

TEST(WelcomePageRules, FolderDialogOpensOnTheBoxFolderWithoutItsBackslash) {
    const struct {
        const wchar_t* box;
        const wchar_t* selection;
    } rows[] = {
        {L"C:\\Program Files\\Pixelmoor", L"C:\\Program Files\\Pixelmoor"},  // the default proposal, as it is
        {L"D:\\Tools\\Pixelmoor\\", L"D:\\Tools\\Pixelmoor"},               // an earlier installation's folder
        {L"D:\\", L"D:\\"},                                                 // a drive root keeps its backslash
        {L"D:\\x\\\\", L"D:\\x\\"},                                         // only one backslash goes
        {L"", L""},                                                         // nothing to select
    };
    for (const auto& row : rows) EXPECT_EQ(InitialBrowseSelection(row.box), row.selection);
}

TEST(WelcomePageRules, TemplateTextsAreFilledInTurn) {
    const std::array<std::wstring_view, 1> bits = {L"64"};
    const std::array<std::wstring_view, 2> versionAndBits = {L"4.75", L"64"};
    const struct {
        const wchar_t* format;
        std::span<const std::wstring_view> arguments;
        const wchar_t* text;
    } rows[] = {
        // the headline
        {L"Willkommen zur Pixelmoor %s Installation!", bits, L"Willkommen zur Pixelmoor 64 Installation!"},
        // the version line keeps its two blanks on each side, the second line stays
        {L"Dieses Programm wird Pixelmoor Version  %s  (%s bit) auf Ihrem PC installieren.\n(Bitte mit Admin-Rechten "
         L"ausf\u00fchren)",
         versionAndBits,
         L"Dieses Programm wird Pixelmoor Version  4.75  (64 bit) auf Ihrem PC installieren.\n(Bitte mit Admin-Rechten "
         L"ausf\u00fchren)"},
        // a placeholder without an argument stays as it is
        {L"%s und %s", bits, L"64 und %s"},
        // "%%" is one percent sign; other sequences and a trailing "%" stay
        {L"100%% %d %", bits, L"100% %d %"},
    };
    for (const auto& row : rows) EXPECT_EQ(FillPlaceholders(row.format, row.arguments), row.text);
    EXPECT_EQ(VersionText(4, 75), L"4.75");
    EXPECT_EQ(VersionText(5, 0), L"5.0");
}

TEST(AssociationsPageRules, ColumnsShareTheListWidthLeavingRoomForTheScrollBar) {
    const struct {
        int width, dpi;
        ColumnWidths widths;
    } rows[] = {
        {570, 96, {190, 355}},   // 96 dpi: 25 pixels for the scroll bar
        {855, 144, {285, 532}},  // 144 dpi: 37.5 rounds up to 38
        {100, 96, {33, 41}},     // integer divisions: 100 / 3 and 200 / 3
        {570, 120, {190, 349}},  // 120 dpi: 31.25 rounds down to 31
    };
    for (const auto& row : rows) {
        const ColumnWidths got = AssociationColumnWidths(row.width, row.dpi);
        EXPECT_EQ(got.label, row.widths.label) << row.width << " at " << row.dpi;
        EXPECT_EQ(got.description, row.widths.description) << row.width << " at " << row.dpi;
    }
    EXPECT_EQ(ScaleForDpi(18, 144), 27);  // the title font at 144 dpi
}

TEST(AssociationsPageRules, QuickSelectionsSplitAtTheLastImageRow) {
    const struct {
        QuickSelection selection;
        std::size_t item;
        int image;
    } rows[] = {
        {QuickSelection::kImagesOnly, 0, kCheckedImage},     // "ANI", the first image row
        {QuickSelection::kImagesOnly, 50, kCheckedImage},    // "XPM", the last one
        {QuickSelection::kImagesOnly, 51, kUncheckedImage},  // "SWF/FLV", the first other row
        {QuickSelection::kImagesOnly, 64, kUncheckedImage},  // "WMA", the last row
        {QuickSelection::kAll, 64, kCheckedImage},
        {QuickSelection::kNone, 0, kUncheckedImage},
    };
    for (const auto& row : rows) EXPECT_EQ(QuickSelectionImage(row.selection, row.item), row.image) << row.item;
}

// UTF-16LE bytes of a text of ASCII characters.
std::vector<unsigned char> Utf16Bytes(std::string_view text, bool withMark = true) {
    std::vector<unsigned char> bytes;
    if (withMark) bytes = {0xFF, 0xFE};
    for (const char c : text) {
        bytes.push_back(static_cast<unsigned char>(c));
        bytes.push_back(0);
    }
    return bytes;
}

TEST(WhatsNewRules, TextEndsWithTheLastLetterOrDigit) {
    const std::wstring mark(1, wchar_t{0xFEFF});
    const struct {
        std::vector<unsigned char> resource;
        std::wstring text;
    } rows[] = {
        // trailing line breaks, blanks and punctuation go; the mark stays
        {Utf16Bytes("Neu in 4.75:\r\n- Schneller.\r\n\r\n  \r\n"), mark + L"Neu in 4.75:\r\n- Schneller"},
        // a digit ends it as well as a letter
        {Utf16Bytes("Version 4.75\r\n"), mark + L"Version 4.75"},
        // nothing but punctuation: nothing is left
        {Utf16Bytes("...\r\n", false), L""},
        // the text ends at the first NUL character
        {{'A', 0, 'B', 0, 0, 0, 'C', 0}, L"AB"},
        // an odd last byte is a character of its own, as a byte copy makes it
        {{'A', 0, 'B', 0, 'C'}, L"ABC"},
        // an empty resource
        {{}, L""},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(WhatsNewText(rows[i].resource), rows[i].text) << "row " << i;
}

TEST(WhatsNewRules, LongerNotesAreCutInsideTheBuffer) {
    // Of a copy of 20479 bytes the last character would be half filled and
    // the buffer left without its terminator: the text stops before it.
    const struct {
        std::size_t bytes;
        std::size_t characters;
    } rows[] = {
        {20476, 10238},  // fits whole with room to spare
        {20478, 10239},  // the most that fits with the terminator
        {20479, 10239},  // the copy's limit: the half character is left out
        {20480, 10239},  // the buffer's size
        {40000, 10239},  // far too long
    };
    for (const auto& row : rows) {
        std::vector<unsigned char> resource(row.bytes, 0);
        for (std::size_t i = 0; i < row.bytes; i += 2) resource[i] = 'x';
        EXPECT_EQ(WhatsNewText(resource), std::wstring(row.characters, L'x')) << row.bytes << " bytes";
    }
}

TEST(ReadyPageRules, FolderLineShowsTheFolderWithoutBlanks) {
    EXPECT_EQ(ReadyFolderLine(L"Zielverzeichnis", L"  D:\\Tools\\Pixelmoor   "), L"Zielverzeichnis: D:\\Tools\\Pixelmoor");
    EXPECT_EQ(ReadyFolderLine(L"Zielverzeichnis", L"C:\\Program Files\\Pixelmoor"),
              L"Zielverzeichnis: C:\\Program Files\\Pixelmoor");
}

WizardChoices Defaults() {
    WizardChoices choices;
    choices.folderText = L"C:\\Program Files\\Pixelmoor";
    choices.shortcuts = {.startMenuGroup = 1, .desktopShortcut = 1, .thumbnailsShortcut = 1};
    choices.settingsInAppData = true;
    return choices;
}

AssociationSelection Rows(std::initializer_list<std::size_t> rows) {
    AssociationSelection selection{};
    for (const std::size_t row : rows) selection[row] = 1;
    return selection;
}

TEST(ReadyPageRules, InstallOptionsComeFromThePagesAsTheyStand) {
    struct Expected {
        std::wstring folder;
        ShortcutChoices shortcuts;
        std::wstring iniFolder;
        AssociationSelection selection;
    };
    const ShortcutChoices allThree = {.startMenuGroup = 1, .desktopShortcut = 1, .thumbnailsShortcut = 1};
    const std::wstring longFolder = L"D:\\" + std::wstring(600, L'a');
    const struct Row {
        const char* what;
        WizardChoices (*choices)();
        Expected expected;
    } rows[] = {
        {"the pages' defaults",
         [] { return Defaults(); },
         {L"C:\\Program Files\\Pixelmoor", allThree, L"%APPDATA%\\Pixelmoor", {}}},
        {"no shortcuts, all users (read while disabled), settings in the program folder",
         [] {
             WizardChoices c = Defaults();
             c.shortcuts = {.allUsers = 1};
             c.settingsInAppData = false;
             return c;
         },
         {L"C:\\Program Files\\Pixelmoor", {.allUsers = 1}, L"", {}}},
        {"blanks around the folder go",
         [] {
             WizardChoices c = Defaults();
             c.folderText = L"   D:\\Tools\\Pixelmoor  ";
             return c;
         },
         {L"D:\\Tools\\Pixelmoor", allThree, L"%APPDATA%\\Pixelmoor", {}}},
        {"a folder text longer than the options hold is cut at 519 characters",
         [] {
             WizardChoices c = Defaults();
             c.folderText = L"D:\\" + std::wstring(600, L'a');
             return c;
         },
         {longFolder.substr(0, 519), allThree, L"%APPDATA%\\Pixelmoor", {}}},
        {"an update with neither radio checked keeps the settings folder that the installation records",
         [] {
             WizardChoices c = Defaults();
             c.settingsInAppData = false;
             c.recordedSettingsFolder = L"C:\\Settings\\Pix";
             return c;
         },
         {L"C:\\Program Files\\Pixelmoor", allThree, L"C:\\Settings\\Pix", {}}},
        {"a radio that the user checks wins over the record",
         [] {
             WizardChoices c = Defaults();
             c.settingsInAppData = false;
             c.settingsInProgramFolder = true;
             c.recordedSettingsFolder = L"C:\\Settings\\Pix";
             return c;
         },
         {L"C:\\Program Files\\Pixelmoor", allThree, L"", {}}},
        {"the associations page's file types go as they are",
         [] {
             WizardChoices c = Defaults();
             c.selection = Rows({0, 25, 64});
             return c;
         },
         {L"C:\\Program Files\\Pixelmoor", allThree, L"%APPDATA%\\Pixelmoor", Rows({0, 25, 64})}},
    };
    for (const Row& row : rows) {
        const InstallOptions options = BuildInstallOptions(row.choices(), L"Pixelmoor 64-bit Setup");
        EXPECT_EQ(options.folder, row.expected.folder) << row.what;
        EXPECT_EQ(options.shortcuts, row.expected.shortcuts) << row.what;
        EXPECT_EQ(options.iniFolder, row.expected.iniFolder) << row.what;
        EXPECT_EQ(options.selection, row.expected.selection) << row.what;
        EXPECT_EQ(options.silent, 0) << row.what;
        EXPECT_EQ(options.caption, L"Pixelmoor 64-bit Setup") << row.what;
    }
}

TEST(AssociationsPageRules, ListChoosesOnlyWhileEnabledAndEveryImageButTheEmptyBox) {
    std::vector<int> none(65, kUncheckedImage);
    std::vector<int> some = none;
    some[0] = some[25] = some[64] = kCheckedImage;
    const std::vector<int> all(65, kCheckedImage);
    std::vector<int> odd(70, kUncheckedImage);
    odd[3] = 0;
    odd[4] = 3;
    odd[65] = kCheckedImage;
    odd[66] = kCheckedImage;  // beyond the selection: not read
    const struct {
        const char* what;
        bool enabled;
        const std::vector<int>* stateImages;
        AssociationSelection selection;
        int associate;
    } rows[] = {
        {"rows checked in the enabled list are chosen", true, &some, Rows({0, 25, 64}), 1},
        {"rows checked while the list is disabled count for nothing", false, &all, {}, 0},
        {"an enabled list with nothing checked chooses nothing", true, &none, {}, 0},
        {"every state image but the empty box counts as checked; no more than 66 items are read", true, &odd,
         Rows({3, 4, 65}), 1},
    };
    for (const auto& row : rows) {
        const AssociationSelection selection = SelectionFromList(row.enabled, *row.stateImages);
        EXPECT_EQ(selection, row.selection) << row.what;
        EXPECT_EQ(AssociationRequested(selection) ? 1 : 0, row.associate) << row.what;
    }
}

TEST(ReadyPageRules, UpdatePreselectsTheRadioOfTheRecordedSettingsFolder) {
    constexpr SettingsRadio kNone = SettingsRadio::kNone;
    constexpr SettingsRadio kProgram = SettingsRadio::kProgramFolder;
    constexpr SettingsRadio kAppData = SettingsRadio::kAppData;
    const struct {
        std::optional<std::wstring> recorded;
        bool beforeVista;
        SettingsRadio radio;
    } rows[] = {
        {std::nullopt, false, kAppData},               // first installation: the recommended folder
        {std::nullopt, true, kProgram},                // first installation before Vista: the program folder
        {L"", false, kProgram},                        // update that records none: its program folder
        {L"%APPDATA%\\Pixelmoor", true, kAppData},     // update into application data, also before Vista
        {L"%appdata%\\PIXELMOOR\\", false, kAppData},  // the same folder in other capitals, with a backslash
        {L"C:\\Settings\\Pix", false, kNone},          // another folder: none, and the folder is kept
        {L"%APPDATA%\\Pixelmoor\\Alt", false, kNone},  // a folder below it is another folder
    };
    for (const auto& row : rows)
        EXPECT_EQ(PreselectedSettingsRadio(row.recorded, row.beforeVista), row.radio)
            << testing::PrintToString(row.recorded.value_or(L"(none)"));
}

TEST(FinishPageRules, ViewerIsStartedFromTheInstalledFolder) {
    const struct {
        std::wstring box;
        std::optional<std::wstring> viewer;
    } rows[] = {
        // the default proposal has no trailing backslash
        {L"C:\\Program Files\\Pixelmoor", L"C:\\Program Files\\Pixelmoor\\p_moor64.exe"},
        // an earlier installation's folder has one
        {L"D:\\Tools\\Pixelmoor\\", L"D:\\Tools\\Pixelmoor\\p_moor64.exe"},
        // installed without the blanks typed around the folder
        {L"  D:\\Tools\\Pixelmoor  ", L"D:\\Tools\\Pixelmoor\\p_moor64.exe"},
        // installed into the normal form: no blank before a backslash, no doubled or forward slashes
        {L"C:\\Tools \\Pix", L"C:\\Tools\\Pix\\p_moor64.exe"},
        {L"D:/Tools//Pixelmoor/", L"D:\\Tools\\Pixelmoor\\p_moor64.exe"},
        // a text that names no folder was never installed into: nothing is started
        {L"Pixelmoor", std::nullopt},
    };
    for (const auto& row : rows) EXPECT_EQ(ViewerPath(row.box), row.viewer) << testing::PrintToString(row.box);
}

}  // namespace
}  // namespace pixelmoor
