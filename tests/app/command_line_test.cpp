#include "app/command_line.h"

#include <gtest/gtest.h>

#include <climits>
#include <iterator>
#include <optional>
#include <string>

namespace pixelmoor {
namespace {

const SilentDefaults kFirstInstall{L"C:\\Program Files\\Pixelmoor", L"%APPDATA%\\Pixelmoor"};
const SilentDefaults kExistingInstall{L"D:\\Tools\\Pixelmoor\\", L""};

AssociationSelection Rows(std::size_t count) {
    AssociationSelection selection{};
    for (std::size_t row = 0; row < count; ++row) selection[row] = 1;
    return selection;
}

TEST(CommandLine, SilentModeNeedsTheExactLowerCaseSwitchAnywhere) {
    const std::wstring beyondTheCopy = L"setup.exe " + std::wstring(600, L'x') + L" /silent";
    struct Case {
        std::wstring line;
        bool silent;
    } cases[] = {
        {L"setup.exe /silent", true},               // the plain switch
        {L"setup.exe /SILENT", false},              // capitals: the wizard starts
        {L"setup.exe /Silent", false},              // capital initial: the wizard starts
        {L"setup.exe /silently", true},             // no word boundary needed
        {L"setup.exe /folder=C:\\x/silent", true},  // no blank needed before it
        {L"\"C:\\Downloads\\setup.exe\"", false},   // no switch at all
        {L"\"C:\\silent\\setup.exe\"", false},      // "\silent" is not "/silent"
        {beyondTheCopy, true},                      // the mode search covers the whole line, not the 519-character copy
        // the program's own path is no argument, quoted or not
        {L"\"C:/Deploy/silent-installers/setup.exe\"", false},
        {L"C:/Deploy/silent-installers/setup.exe", false},
        {L"C:/Deploy/silent/setup.exe /folder=D:\\x", false},
        {L"\"C:/a b/silent/setup.exe\" /folder=D:\\x", false},
        {L"\"C:/silent/setup.exe\" /silent", true},  // the switch after it counts
        {L"\"C:/silent/setup.exe\"/silent", true},   // also without a blank after the closing quote
        {L"C:/silent/setup.exe\t/silent", true},     // a tab ends an unquoted path
        {L"\"C:/silent/setup.exe /silent", false},   // a quote that is never closed takes the whole line
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(HasSilentSwitch(cases[i].line), cases[i].silent) << "case " << i;
}

TEST(CommandLine, ArgumentsFollowTheProgramPathAsWindowsSplitsIt) {
    struct Case {
        std::wstring line;
        std::wstring arguments;
    } cases[] = {
        {L"setup.exe /silent", L" /silent"},                    // unquoted: up to the first blank
        {L"\"C:\\My Setup\\setup.exe\" /silent", L" /silent"},  // quoted: blanks inside belong to it
        {L"\"C:\\x\\setup.exe\"/silent", L"/silent"},           // the closing quote ends it
        {L"setup.exe", L""},                                    // no arguments
        {L"\"setup.exe", L""},                                  // never closed: no arguments
        {L"", L""},                                             // nothing at all
        {L"C:\\x\\setup.exe\t/a", L"\t/a"},                     // a tab ends it too
        {L"C:\\x\\se\"tup.exe\" /a", L" /a"},                   // a quote inside is part of it
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(CommandLineArguments(cases[i].line), cases[i].arguments) << "case " << i;
}

TEST(CommandLine, ReadSwitchValueTakesTheFirstOccurrenceUpToTheNextSlash) {
    struct Case {
        std::wstring copy;
        std::wstring name;
        std::optional<std::wstring> value;
    } cases[] = {
        {L"s /folder=D:\\Tools/desktop=1", L"/folder=",
         L"D:\\Tools"},  // the next switch ends the value without a blank
        {L"s /folder=\"C:\\My Tools\" /desktop=1", L"/folder=",
         L"\"C:\\My Tools\" "},                             // quotes and the blank belong to it
        {L"s /desktop=1 /desktop=0", L"/desktop=", L"1 "},  // the first occurrence wins
        {L"s /desktop=", L"/desktop=", L""},                // empty value at the end of the line
        {L"s /thumbs=1", L"/desktop=", std::nullopt},       // absent switch
        {L"s x/group=2", L"/group=", L"2"},                 // no word boundary before the name
        {L"s /assocallusers /assoc=2", L"/assoc=", L"2"},   // "/assocallusers" is not "/assoc="
        {L"s /Folder=D:\\x", L"/folder=", std::nullopt},    // names are case-sensitive
        {L"s /folder=" + std::wstring(300, L'f'), L"/folder=", std::wstring(252, L'f')},      // 260 - 8
        {L"s /desktop=" + std::wstring(300, L'1'), L"/desktop=", std::wstring(251, L'1')},    // 260 - 9
        {L"s /thumbs=" + std::wstring(300, L'1'), L"/thumbs=", std::wstring(252, L'1')},      // 260 - 8
        {L"s /group=" + std::wstring(300, L'1'), L"/group=", std::wstring(253, L'1')},        // 260 - 7
        {L"s /allusers=" + std::wstring(300, L'1'), L"/allusers=", std::wstring(250, L'1')},  // 260 - 10
        {L"s /assoc=" + std::wstring(300, L'1'), L"/assoc=", std::wstring(253, L'1')},        // 260 - 7
        {L"s /ini=" + std::wstring(300, L'i'), L"/ini=", std::wstring(255, L'i')},            // 260 - 5
        {L"s /ini=" + std::wstring(255, L'i') + L"/x", L"/ini=", std::wstring(255, L'i')},    // exactly at the limit
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ReadSwitchValue(cases[i].copy, cases[i].name), cases[i].value) << "case " << i;
}

TEST(CommandLine, UnquotePathRemovesOneQuotePairAndTrailingBlanks) {
    struct Case {
        std::wstring raw;
        std::wstring clean;
    } cases[] = {
        {L"\"C:\\Program Files\\Pixelmoor\" ",
         L"C:\\Program Files\\Pixelmoor"},  // quoted, blank before the next switch
        {L"D:\\Tools", L"D:\\Tools"},       // nothing to do
        {L"   ", L""},                      // blanks only
        {L"\"", L""},                       // a lone quote
        {L"\"\"", L""},                     // an empty quoted value
        {L"  C:\\x\\  ", L"  C:\\x\\"},     // leading blanks and the backslash stay
        {L"\"C:\\a", L"C:\\a"},             // opening quote only
        {L"C:\\a\"", L"C:\\a"},             // closing quote only
        {L"\"C:\\a \" ", L"C:\\a"},         // blanks inside the quotes go in the last step
        {L"C:\\a\"\"", L"C:\\a\""},         // only one closing quote is removed
        {L" \"C:\\a\"", L" \"C:\\a"},       // a quote after a leading blank is not the first character
        {L"C:\\a\t", L"C:\\a\t"},           // only the space counts as a blank
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        std::wstring path = cases[i].raw;
        UnquotePath(path);
        EXPECT_EQ(path, cases[i].clean) << "case " << i;
    }
}

TEST(CommandLine, ReadSwitchNumberReadsLikeWcstolClampedTo32Bits) {
    struct Case {
        std::wstring text;
        int number;
    } cases[] = {
        {L"1", 1},                              // plain digit
        {L" 1", 1},                             // a leading blank is skipped
        {L"\t\n\v\f\r 7", 7},                   // all white space is skipped
        {L"yes", 0},                            // no digits
        {L"", 0},                               // empty value
        {L"-3", -3},                            // sign
        {L"+2", 2},                             // plus sign
        {L"12abc", 12},                         // digits up to the first non-digit
        {L"1 ", 1},                             // trailing blank before the next switch
        {L"- 1", 0},                            // nothing may stand between sign and digits
        {L"0x10", 0},                           // base 10 only
        {L"007", 7},                            // leading zeros
        {L"2147483647", INT_MAX},               // largest int
        {L"2147483648", INT_MAX},               // one more is clamped
        {L"4294967297", INT_MAX},               // would be 1 if cut to 32 bits
        {L"99999999999999999999999", INT_MAX},  // far beyond any integer type
        {L"-2147483648", INT_MIN},              // smallest int
        {L"-99999999999", INT_MIN},             // clamped at the bottom
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ReadSwitchNumber(cases[i].text), cases[i].number) << "case " << i;
}

TEST(CommandLine, ParseSilentCommandLineFillsTheOptions) {
    struct Expected {
        std::wstring folder;
        std::wstring iniFolder;
        int desktop = 0;
        int thumbs = 0;
        int group = 0;
        int allUsers = 0;
        int associate = 0;
        AssociationSelection selection{};
    };
    const std::wstring pf = L"C:\\Program Files\\Pixelmoor";
    const std::wstring appData = L"%APPDATA%\\Pixelmoor";
    const std::wstring pad = L"setup.exe /silent ";
    const std::wstring fill509 = pad + std::wstring(509 - pad.size(), L'x');  // "/desktop=1" then ends at 519
    struct Case {
        std::wstring line;
        SilentDefaults defaults;
        Expected expected;
    } cases[] = {
        // only "/silent", first installation: the default folder and settings folder
        {L"setup.exe /silent", kFirstInstall, {pf, appData}},
        // only "/silent", earlier installation: its folder, settings folder empty
        {L"setup.exe /silent", kExistingInstall, {L"D:\\Tools\\Pixelmoor\\", L""}},
        // quoted folder, a blank, then the next switch
        {L"setup.exe /silent /folder=\"C:\\My Tools\\Pixelmoor\" /desktop=1",
         kFirstInstall,
         {L"C:\\My Tools\\Pixelmoor", appData, 1}},
        // switches without a blank between them
        {L"setup.exe /silent /folder=D:\\Tools/desktop=1", kFirstInstall, {L"D:\\Tools", appData, 1}},
        // every argument quoted on its own: the next argument's opening quote stays out of the folder
        {L"setup.exe /silent \"/folder=C:\\My Tools\\Pixelmoor\" \"/ini=D:\\Pm Settings\" /desktop=1",
         kFirstInstall,
         {L"C:\\My Tools\\Pixelmoor", L"D:\\Pm Settings", 1}},
        // a number that cannot be read is 0
        {L"setup.exe /silent /desktop=yes", kFirstInstall, {pf, appData, 0}},
        // blanks before the digits are skipped
        {L"setup.exe /silent /desktop= 1", kFirstInstall, {pf, appData, 1}},
        // an empty folder value replaces the default (the driver rejects it)
        {L"setup.exe /silent /folder=", kExistingInstall, {L"", L""}},
        // an empty folder value followed by a blank is emptied by the unquoting
        {L"setup.exe /silent /folder= /ini=", kFirstInstall, {L"", L""}},
        // the settings folder, quoted
        {L"setup.exe /silent /ini=\"%APPDATA%\\Pm Settings\"",
         kExistingInstall,
         {L"D:\\Tools\\Pixelmoor\\", L"%APPDATA%\\Pm Settings"}},
        // "/assoc=" 0, 1, 2, 3 and nothing
        {L"setup.exe /silent /assoc=0", kFirstInstall, {pf, appData}},
        {L"setup.exe /silent /assoc=1", kFirstInstall, {pf, appData, 0, 0, 0, 0, 1, Rows(51)}},
        {L"setup.exe /silent /assoc=2", kFirstInstall, {pf, appData, 0, 0, 0, 0, 1, Rows(66)}},
        {L"setup.exe /silent /assoc=3", kFirstInstall, {pf, appData}},
        {L"setup.exe /silent /assoc=", kFirstInstall, {pf, appData}},
        // a value beyond 32 bits clamps and so selects nothing instead of wrapping to 1
        {L"setup.exe /silent /assoc=4294967297", kFirstInstall, {pf, appData}},
        // "/assocallusers" changes nothing, also next to "/assoc="
        {L"setup.exe /silent /assocallusers", kFirstInstall, {pf, appData}},
        {L"setup.exe /silent /assocallusers /assoc=2", kFirstInstall, {pf, appData, 0, 0, 0, 0, 1, Rows(66)}},
        // a switch given twice: the first counts
        {L"setup.exe /silent /group=1 /group=0 /folder=A /folder=B", kFirstInstall, {L"A", appData, 0, 0, 1}},
        // every number switch; any nonzero value is kept as it is
        {L"setup.exe /silent /desktop=1 /thumbs=5 /group=2 /allusers=-1", kFirstInstall, {pf, appData, 1, 5, 2, -1}},
        // switch names in capitals are not recognised
        {L"setup.exe /silent /FOLDER=D:\\x /Desktop=1", kFirstInstall, {pf, appData}},
        // a folder value longer than 252 characters is kept whole, so that the installation refuses it
        {L"setup.exe /silent /folder=" + std::wstring(300, L'f'), kFirstInstall, {std::wstring(300, L'f'), appData}},
        // a switch that ends with character 519 is seen
        {fill509 + L"/desktop=1", kFirstInstall, {pf, appData, 1}},
        // and so are the switches beyond it: the whole line is read
        {fill509 + L"x/desktop=1", kFirstInstall, {pf, appData, 1}},
        {fill509 + L"xxxxxxxxxx/desktop=1 /folder=D:\\x", kFirstInstall, {L"D:\\x", appData, 1}},
        // far beyond, the settings folder still keeps its own limit (the folder is never cut)
        {pad + std::wstring(30000, L'x') + L" /folder=" + std::wstring(300, L'f') + L" /ini=" + std::wstring(300, L'i'),
         kFirstInstall,
         {std::wstring(300, L'f'), std::wstring(255, L'i')}},
        // the program's own path holds no switches
        {L"C:/folder=D:/desktop=1/setup.exe /silent", kFirstInstall, {pf, appData}},
        // over-long defaults are held in 519 characters
        {L"setup.exe /silent",
         {std::wstring(600, L'a'), std::wstring(600, L'b')},
         {std::wstring(519, L'a'), std::wstring(519, L'b')}},
        // a command line ends at a NUL
        {std::wstring(L"setup.exe /silent\0/desktop=1", 28), kFirstInstall, {pf, appData}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const InstallOptions options = ParseSilentCommandLine(c.line, c.defaults);
        const std::string where = "case " + std::to_string(i);
        EXPECT_EQ(options.folder, c.expected.folder) << where;
        EXPECT_EQ(options.iniFolder, c.expected.iniFolder) << where;
        EXPECT_EQ(options.shortcuts.desktopShortcut, c.expected.desktop) << where;
        EXPECT_EQ(options.shortcuts.thumbnailsShortcut, c.expected.thumbs) << where;
        EXPECT_EQ(options.shortcuts.startMenuGroup, c.expected.group) << where;
        EXPECT_EQ(options.shortcuts.allUsers, c.expected.allUsers) << where;
        EXPECT_EQ(AssociationRequested(options.selection) ? 1 : 0, c.expected.associate) << where;
        EXPECT_EQ(options.selection, c.expected.selection) << where;
        EXPECT_EQ(options.silent, 1) << where;
        EXPECT_EQ(options.caption, L"Pixelmoor 64-bit Setup") << where;
    }
}

struct AssocCase {
    int value;
    int associate;
    std::size_t firstUnselected;  // flags before it are 1, from it on 0
};

TEST(CommandLine, AssocSwitchValueSelectsRows) {
    const AssocCase cases[] = {
        {1, 1, kImageRowCount},  // the 51 image rows "ANI" to "XPM"
        {2, 1, kSelectionSize},  // every flag, the spare one included
        {0, 0, 0},               // nothing
        {3, 0, 0},               // an unknown value selects nothing
        {-1, 0, 0},              //
    };
    for (const AssocCase& c : cases) {
        const AssociationSelection selection = AssocSwitchSelection(c.value);
        EXPECT_EQ(AssociationRequested(selection) ? 1 : 0, c.associate) << c.value;
        for (std::size_t i = 0; i < kSelectionSize; ++i)
            EXPECT_EQ(selection[i], i < c.firstUnselected ? 1 : 0) << "value " << c.value << " flag " << i;
    }
}

TEST(CommandLine, HelpIsTheFirstArgumentOnly) {
    struct Case {
        std::wstring_view line;
        bool help;
    } cases[] = {
        {L"setup.exe /?", true},                  // the usual question
        {L"\"C:\\a b\\setup.exe\" /help", true},  // after a quoted path
        {L"setup.exe   /HELP /silent", true},     // any capitals; what follows is not looked at
        {L"setup.exe\t/?", true},                 // a tab before it
        {L"setup.exe /silent /?", false},         // not first: read as today (a silent run)
        {L"setup.exe /helpme", false},            // a longer word is no help switch
        {L"setup.exe /?x", false},                // nor is "/?" with more attached
        {L"C:/help/setup.exe", false},            // the program's own path is no argument
        {L"setup.exe", false},                    // no arguments: the wizard
    };
    for (const Case& c : cases) EXPECT_EQ(IsHelpRequest(c.line), c.help) << "case " << (&c - cases);
}

TEST(CommandLine, LogSwitchIsAPathValue) {
    struct Case {
        std::wstring line;
        std::optional<std::wstring> log;
    } cases[] = {
        {L"setup.exe /silent", std::nullopt},                                             // no log asked for
        {L"setup.exe /silent /log=C:\\Logs\\pm.log /group=1", L"C:\\Logs\\pm.log"},       // ends at the next switch
        {L"setup.exe \"/log=C:\\Log Files\\pm.log\" /silent", L"C:\\Log Files\\pm.log"},  // quoted as Windows quotes
        {L"setup.exe /log=\"D:\\a b.log\"  /silent", L"D:\\a b.log"},                     // quotes around the value go
        {L"setup.exe /log= /silent", L""},                                                // empty: no log
        // each argument quoted, as deployment tools write them: the next one's opening quote is not part of it
        {L"setup.exe /silent \"/log=C:\\Log Files\\pm.log\" \"/folder=C:\\a b\"", L"C:\\Log Files\\pm.log"},
        {L"C:/log=x/setup.exe /silent", std::nullopt},  // not in the program's path
        // taken whole however long: cut at 255 characters it would name another file
        {L"setup.exe /silent /log=D:\\" + std::wstring(300, L'l') + L".log",
         L"D:\\" + std::wstring(300, L'l') + L".log"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadLogSwitch(c.line), c.log) << "case " << (&c - cases);
}

}  // namespace
}  // namespace pixelmoor
