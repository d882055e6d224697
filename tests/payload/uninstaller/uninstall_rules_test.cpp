#include "payload/uninstaller/uninstall_rules.h"

#include <gtest/gtest.h>

namespace pixelmoor {
namespace {

std::string Narrow(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

struct ArgumentsCase {
    std::vector<std::wstring> arguments;
    UninstallOptions expected;
};

TEST(UninstallCommandLine, SwitchesAreWholeArgumentsInAnyCase) {
    const ArgumentsCase cases[] = {
        // No switch: the interactive uninstaller, settings kept.
        {{}, {}},
        // What the uninstall entry's quiet command runs.
        {{L"/silent"}, {true, false, false, L"", L""}},
        // Deployment tools may write switches in capitals.
        {{L"/SILENT", L"/Purge"}, {true, true, false, L"", L""}},
        // A switch is a whole argument, not a part of one.
        {{L"/silently", L"x/purge"}, {}},
        // Unknown arguments are passed over.
        {{L"/norestart", L"/silent"}, {true, false, false, L"", L""}},
        // The private copy's arguments; the folder gets its backslash.
        {{L"/worker", L"/log=C:\\Users\\Ida\\Pixelmoor_Uninstall.log", L"/folder=C:\\Program Files\\Pixelmoor"},
         {false, false, true, L"C:\\Program Files\\Pixelmoor\\", L"C:\\Users\\Ida\\Pixelmoor_Uninstall.log"}},
        // A folder that ends in a backslash keeps exactly one; blanks around it go.
        {{L"/FOLDER=D:\\Tools\\Pixel moor\\ "}, {false, false, false, L"D:\\Tools\\Pixel moor\\", L""}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ParseUninstallArguments(cases[i].arguments), cases[i].expected) << "case " << i;
}

TEST(UninstallCommandLine, ArgumentsAreQuotedForTheSystemsSplitting) {
    const struct {
        std::wstring_view argument, quoted;
    } cases[] = {
        {L"/silent", L"/silent"},                                        // nothing to quote
        {L"", L"\"\""},                                                  // an empty argument stays one
        {L"C:\\Program Files\\x.exe", L"\"C:\\Program Files\\x.exe\""},  // a blank
        {L"/folder=C:\\Pro gram\\", L"\"/folder=C:\\Pro gram\\\\\""},    // backslash before the closing quote
        {L"a\"b", L"\"a\\\"b\""},                                        // a quote inside
        {L"a\\\\\"b c", L"\"a\\\\\\\\\\\"b c\""},                        // backslashes before a quote
        {L"D:\\Tools\\Pixelmoor\\", L"D:\\Tools\\Pixelmoor\\"},          // backslashes elsewhere stay
        {L"tab\there", L"\"tab\there\""},                                // a tab
    };
    for (const auto& c : cases) EXPECT_EQ(QuoteArgument(c.argument), c.quoted) << Narrow(c.argument);

    UninstallOptions options;
    options.silent = true;
    options.purge = true;
    options.folder = L"C:\\Program Files\\Pixelmoor\\";
    options.logPath = L"D:\\Logs\\Pixelmoor_Uninstall.log";
    EXPECT_EQ(WorkerCommandLine(L"C:\\Temp\\pm_uninstall-1\\pm_uninstall.exe", options),
              L"C:\\Temp\\pm_uninstall-1\\pm_uninstall.exe /worker /silent /purge "
              L"/log=D:\\Logs\\Pixelmoor_Uninstall.log \"/folder=C:\\Program Files\\Pixelmoor\\\\\"");
}

TEST(PayloadRemoval, FilesInArchiveOrderFoldersDeepestFirstUninstallerLeftOut) {
    const std::wstring_view entries[] = {L"p_moor64.exe", L"pm_uninstall.exe", L"Help/", L"Help/p_moor32_deutsch.chm",
                                         L"Plugins/",
                                         // a file before its folder entry, and a folder known only from its file
                                         L"Plugins/Plugins32/Bridge.dll", L"Plugins/Plugins32/", L"Plugins/Camera.dll",
                                         L"Extra/Deep/x.txt", L"Toolbars/"};
    const PayloadRemovalPlan plan = PlanPayloadRemoval(entries);
    EXPECT_EQ(plan.files, (std::vector<std::wstring>{L"p_moor64.exe", L"Help\\p_moor32_deutsch.chm",
                                                     L"Plugins\\Plugins32\\Bridge.dll", L"Plugins\\Camera.dll",
                                                     L"Extra\\Deep\\x.txt"}));
    EXPECT_EQ(plan.folders, (std::vector<std::wstring>{L"Plugins\\Plugins32", L"Extra\\Deep", L"Help", L"Plugins",
                                                       L"Extra", L"Toolbars"}));
}

TEST(PayloadRemoval, OnlyPathsBelowTheInstallFolderAreInside) {
    const std::wstring folder = L"C:\\Program Files\\Pixelmoor\\";
    const struct {
        std::wstring_view path;
        bool inside;
    } cases[] = {
        {L"C:\\Program Files\\Pixelmoor\\p_moor64.exe", true},                // the viewer
        {L"c:\\program files\\PIXELMOOR\\help\\p_moor32_deutsch.chm", true},  // other capitals
        {L"C:\\Program Files\\Pixelmoor", false},                             // the folder itself
        {L"C:\\Program Files\\Pixelmoor\\", false},                           // nothing after it
        {L"C:\\Program Files\\Pixelmoor2\\p_moor64.exe", false},              // a folder that only starts alike
        {L"C:\\Program Files\\Pixelmoor\\..\\Other\\p_moor64.exe", false},    // climbs out again
        {L"C:\\Program Files\\Pixelmoor\\.\\p_moor64.exe", false},            // not as the setup writes it
        {L"D:\\Pixelmoor\\p_moor64.exe", false},                              // elsewhere
    };
    for (const auto& c : cases) EXPECT_EQ(IsInsideFolder(c.path, folder), c.inside) << Narrow(c.path);
    // Umlauts compare without regard to case as well.
    EXPECT_TRUE(IsInsideFolder(L"D:\\\u00dcBUNG\\a.exe", L"D:\\\u00fcbung\\"));
    EXPECT_FALSE(IsInsideFolder(L"D:\\x\\a.exe", L"D:\\x"));  // the folder must end in a backslash
}

TEST(PayloadRemoval, RegistrationOfAnotherFolderIsNotOurs) {
    const std::wstring folder = L"C:\\Program Files\\Pixelmoor\\";
    const struct {
        std::optional<std::wstring> installLocation, commandFolder;
        bool ours;
    } cases[] = {
        {L"C:\\Program Files\\Pixelmoor\\", std::nullopt, true},                // the uninstall entry names it
        {L"c:\\program files\\pixelmoor", L"D:\\Other\\", true},                // other capitals; the entry decides
        {L"D:\\Tools\\Pixelmoor\\", L"C:\\Program Files\\Pixelmoor\\", false},  // installed again elsewhere
        {std::nullopt, L"D:\\Tools\\Pixelmoor\\", false},                       // no entry: the open command decides
        {std::nullopt, L"C:\\Program Files\\Pixelmoor\\", true},                //
        {std::nullopt, std::nullopt, true},                                     // nothing left: remove what is there
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(RegistrationIsOurs(cases[i].installLocation, cases[i].commandFolder, folder), cases[i].ours)
            << "case " << i;
}

TEST(PayloadRemoval, PurgeTakesBothSettingsFilesAndTheSettingsFolder) {
    const struct {
        std::wstring_view expanded;
        SettingsPlaces places;
    } cases[] = {
        // No folder recorded: the program folder's file only.
        {L"", {{L"C:\\P\\p_moor64.ini", L"C:\\P\\p_moor64.ini_temp"}, L""}},
        // The default folder in the user's application data.
        {L"C:\\Users\\Ida\\AppData\\Roaming\\Pixelmoor",
         {{L"C:\\P\\p_moor64.ini", L"C:\\P\\p_moor64.ini_temp",
           L"C:\\Users\\Ida\\AppData\\Roaming\\Pixelmoor\\p_moor64.ini",
           L"C:\\Users\\Ida\\AppData\\Roaming\\Pixelmoor\\p_moor64.ini_temp"},
          L"C:\\Users\\Ida\\AppData\\Roaming\\Pixelmoor\\"}},
        // The program folder recorded as the settings folder: no folder of its own.
        {L"c:\\p\\ ", {{L"C:\\P\\p_moor64.ini", L"C:\\P\\p_moor64.ini_temp"}, L""}},
    };
    for (const auto& c : cases) EXPECT_EQ(SettingsToPurge(L"C:\\P", c.expanded), c.places) << Narrow(c.expanded);
}

TEST(UninstallLog, EntryNamesEverythingLeftOneLineEach) {
    const std::vector<std::wstring> left = {L"C:\\P\\Plugins\\Raster.dll", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Pixelmoor"};
    EXPECT_EQ(IncompleteRemovalText(L"Nicht entfernt:", left),
              L"Nicht entfernt:\nC:\\P\\Plugins\\Raster.dll\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Pixelmoor");
}

TEST(UninstallLog, LauncherPassesTheCopysCodesOnAndCountsAnythingElseAsIncomplete) {
    const struct {
        std::uint32_t worker;
        int launcher;
    } cases[] = {
        {0, kExitRemoved},              //
        {1603, kExitIncomplete},        //
        {3010, kExitRestartCompletes},  //
        {1, kExitIncomplete},           // ended from outside
        {0xC0000005, kExitIncomplete},  // crashed
        {1618, kExitIncomplete},        // not a code of the copy
    };
    for (const auto& c : cases) EXPECT_EQ(LauncherExitCode(c.worker), c.launcher) << c.worker;
}

}  // namespace
}  // namespace pixelmoor
