#include "uninstaller/uninstall_rules.h"

#include <gtest/gtest.h>

namespace pixelmoor {
namespace {

std::string Narrow(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

TEST(PayloadRemoval, FilesInArchiveOrderFoldersDeepestFirstUninstallerLeftOut) {
    const PayloadEntry entries[] = {{L"p_moor64.exe", 1},
                                    {L"pm_uninstall.exe", 2},
                                    {L"Help/", {}},
                                    {L"Help/p_moor32_deutsch.chm", 3},
                                    {L"Plugins/", {}},
                                    // a file before its folder entry, and a folder known only from its file
                                    {L"Plugins/Plugins32/Bridge.dll", 4},
                                    {L"Plugins/Plugins32/", {}},
                                    {L"Plugins/Camera.dll", 5},
                                    {L"Extra/Deep/x.txt", 0},
                                    // a file without a checksum cannot be checked: it stays
                                    {L"Plugins/Unchecked.dll", {}},
                                    {L"Toolbars/", {}}};
    const PayloadRemovalPlan plan = PlanPayloadRemoval(entries);
    EXPECT_EQ(plan.files, (std::vector<PayloadFile>{{L"p_moor64.exe", 1},
                                                    {L"Help\\p_moor32_deutsch.chm", 3},
                                                    {L"Plugins\\Plugins32\\Bridge.dll", 4},
                                                    {L"Plugins\\Camera.dll", 5},
                                                    {L"Extra\\Deep\\x.txt", 0}}));
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

TEST(PayloadRemoval, RegistrationNamesTheEntrysFolderElseTheOpenCommands) {
    const std::optional<std::wstring> none;
    const struct {
        std::optional<std::wstring> installLocation, commandFolder, registered;
    } cases[] = {
        {L"C:\\Program Files\\Pixelmoor\\", none, L"C:\\Program Files\\Pixelmoor\\"},  // the uninstall entry names it
        {L"c:\\program files\\pixelmoor", L"D:\\Other\\", L"c:\\program files\\pixelmoor"},  // the entry decides
        {none, L"D:\\Tools\\Pixelmoor\\", L"D:\\Tools\\Pixelmoor\\"},  // no entry: the open command decides
        {L"", L"D:\\Tools\\Pixelmoor\\", L"D:\\Tools\\Pixelmoor\\"},   // an empty entry names nothing
        {L"   ", none, none},                                          // nor does a blank one
        {none, none, none},                                            // nothing left: remove what is there
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(RegisteredFolder(cases[i].installLocation, cases[i].commandFolder), cases[i].registered)
            << "case " << i;
    // The text alone tells only capitals of the Latin letters apart; the system tells the rest.
    EXPECT_TRUE(IsSameFolder(L"c:\\program files\\pixelmoor", L"C:\\Program Files\\Pixelmoor\\"));
    EXPECT_FALSE(IsSameFolder(L"D:\\Tools\\Pixelmoor\\", L"C:\\Program Files\\Pixelmoor\\"));
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
        // A folder of the user's (/ini=%USERPROFILE%\Desktop): its files go, the folder never.
        {L"C:\\Users\\Ida\\Desktop",
         {{L"C:\\P\\p_moor64.ini", L"C:\\P\\p_moor64.ini_temp", L"C:\\Users\\Ida\\Desktop\\p_moor64.ini",
           L"C:\\Users\\Ida\\Desktop\\p_moor64.ini_temp"},
          L""}},
        // The product's name in other capitals is still its folder.
        {L"D:\\pixelmoor\\",
         {{L"C:\\P\\p_moor64.ini", L"C:\\P\\p_moor64.ini_temp", L"D:\\pixelmoor\\p_moor64.ini",
           L"D:\\pixelmoor\\p_moor64.ini_temp"},
          L"D:\\pixelmoor\\"}},
        // Only the last level counts.
        {L"D:\\Pixelmoor\\Daten",
         {{L"C:\\P\\p_moor64.ini", L"C:\\P\\p_moor64.ini_temp", L"D:\\Pixelmoor\\Daten\\p_moor64.ini",
           L"D:\\Pixelmoor\\Daten\\p_moor64.ini_temp"},
          L""}},
    };
    for (const auto& c : cases) EXPECT_EQ(SettingsToPurge(L"C:\\P", c.expanded), c.places) << Narrow(c.expanded);
}

TEST(UninstallLog, EntryNamesEverythingLeftOneLineEach) {
    const std::vector<std::wstring> left = {L"C:\\P\\Plugins\\Raster.dll", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Pixelmoor"};
    EXPECT_EQ(ListText(L"Nicht entfernt:", left),
              L"Nicht entfernt:\nC:\\P\\Plugins\\Raster.dll\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Pixelmoor");
}

TEST(UninstallLog, LauncherPassesTheCopysCodesOnAndCountsAnythingElseAsIncomplete) {
    const struct {
        std::uint32_t worker;
        int launcher;
    } cases[] = {
        {0, kExitSuccess},             //
        {1603, kExitFailed},           //
        {3010, kExitRestartRequired},  //
        {1, kExitFailed},              // ended from outside
        {0xC0000005, kExitFailed},     // crashed
        {1618, kExitFailed},           // not a code of the copy
    };
    for (const auto& c : cases) EXPECT_EQ(LauncherExitCode(c.worker), c.launcher) << c.worker;
}

TEST(UninstallCommandLine, OnlyAWellFormedProofMakesTheWorker) {
    const std::wstring token = L"0123456789abcdef0123456789abcdef";
    const struct {
        std::wstring text;
        std::optional<WorkerProof> proof;
    } cases[] = {
        {L"1232:" + token, WorkerProof{1232, token}},              // as the starter writes it
        {L"", std::nullopt},                                       // "/worker=" and nothing
        {L"1232", std::nullopt},                                   // no token
        {L"1232:" + token.substr(1), std::nullopt},                // a digit short
        {L"1232:" + token + L"0", std::nullopt},                   // a digit more
        {L"1232:0123456789ABCDEF0123456789ABCDEF", std::nullopt},  // not as written
        {L"1232:0123456789abcdef0123456789abcdeg", std::nullopt},  // not hex
        {L":" + token, std::nullopt},                              // no handle
        {L"0:" + token, std::nullopt},                             // never a handle
        {L"1233:" + token, std::nullopt},                          // not a multiple of four
        {L"-4:" + token, std::nullopt},                            // a sign
        {L" 1232:" + token, std::nullopt},                         // a blank
        {L"99999999999999999996:" + token, std::nullopt},          // more digits than a handle has
    };
    for (const auto& c : cases) EXPECT_EQ(ParseWorkerProof(c.text), c.proof) << Narrow(c.text);
    const WorkerProof largest{UINTPTR_MAX >> 1 & ~std::uintptr_t{3}, token};
    EXPECT_EQ(ParseWorkerProof(WorkerProofText(largest)), largest);
}

TEST(PayloadRemoval, SettingsFolderWithAnUndefinedVariableCannotBeTold) {
    const auto lookup = [](std::wstring_view name) -> std::optional<std::wstring> {
        if (name == L"APPDATA") return L"C:\\Users\\Ida\\AppData\\Roaming";
        if (name == L"LONG") return std::wstring(260, L'x');
        return std::nullopt;
    };
    const std::optional<std::wstring> cannotBeTold;
    const struct {
        std::wstring_view recorded, installFolder;
        std::optional<std::wstring> expanded;
    } cases[] = {
        // The default.
        {L"%APPDATA%\\Pixelmoor", L"C:\\P\\", L"C:\\Users\\Ida\\AppData\\Roaming\\Pixelmoor"},
        {L"D:\\Einstellungen", L"C:\\P\\", L"D:\\Einstellungen"},  // no variable
        {L"", L"C:\\P\\", L""},                                    // nothing recorded
        // Never "\Pixelmoor" on some drive, nor "...\Roaming\Pixelmoor".
        {L"%GONE%\\Pixelmoor", L"C:\\P\\", cannotBeTold},
        {L"%APPDATA%\\%GONE%\\Pixelmoor", L"C:\\P\\", cannotBeTold},
        {L"%LONG%\\Pixelmoor", L"C:\\P\\", cannotBeTold},  // the setup could not use it either
        // An empty name is no variable: the setup put the folder on the install folder's drive.
        {L"%%\\Pixelmoor", L"D:\\Tools\\P\\", L"D:\\Pixelmoor"},
        {L"\\Pixelmoor", L"\\\\server\\share\\P\\", L"\\\\server\\share\\Pixelmoor"},    // or its share
        {L"\\\\server\\share\\Pixelmoor", L"C:\\P\\", L"\\\\server\\share\\Pixelmoor"},  // a network folder
        {L"Pixelmoor", L"C:\\P\\", cannotBeTold},    // relative to what the setup's current folder was
        {L"D:Pixelmoor", L"C:\\P\\", cannotBeTold},  // the same on drive D:
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandRecordedFolder(c.recorded, c.installFolder, lookup), c.expanded) << Narrow(c.recorded);
}

}  // namespace
}  // namespace pixelmoor
