// The registration as the setup program makes it: silent installations with
// exact command lines, read back through Wine's registry and shell links.
#include <gtest/gtest.h>

#include "tests/integration/registration_checks.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

const std::wstring kInstallFolder = L"D:\\Tools\\Pixelmoor\\";
constexpr wchar_t kRegisteredApplications[] = L"SOFTWARE\\RegisteredApplications";
constexpr wchar_t kSetupDefaults[] = L"Software\\Wine\\AppDefaults\\pixelmoor-4.75-setup-x64.exe";

class SetupRegistrationTest : public testing::Test {
protected:
    void SetUp() override {
        Reset();
        test::WriteRegString(HKEY_LOCAL_MACHINE, kRegisteredApplications, L"Other", L"SOFTWARE\\Other");
        runFolder_ = test::MakeScratchFolder(L"integration-setup");
    }
    void TearDown() override {
        Reset();
        test::DeleteRegTree(HKEY_LOCAL_MACHINE, kRegisteredApplications);
        test::RemoveTree(runFolder_);
    }
    static void Reset() {
        test::ResetRegistrationFootprint();
        test::ResetShortcuts();
        test::RemoveTree(L"D:\\Tools\\Pixelmoor");
        test::DeleteRegTree(HKEY_CURRENT_USER, kSetupDefaults);
    }
    // The Windows version that Wine reports to the setup program.
    static void ReportWindowsVersion(const wchar_t* wineVersion) {
        test::WriteRegString(HKEY_CURRENT_USER, kSetupDefaults, L"Version", wineVersion);
    }
    // Runs the setup with these switches; it must end with success and log nothing.
    void RunSetup(const std::wstring& switches) {
        EXPECT_EQ(test::RunProgram(L"\"" + test::SetupExePath() + L"\" " + switches, runFolder_), 0u);
        EXPECT_FALSE(test::FileExists(runFolder_ + L"Pixelmoor_Install.log"));
    }

    std::wstring runFolder_;
};

TEST_F(SetupRegistrationTest, TypicalSilentRunOnWindows10) {
    RunSetup(L"/silent /folder=D:\\Tools\\Pixelmoor /group=1 /assoc=1");
    test::ExpectApplicationKeys(kInstallFolder);
    EXPECT_EQ(test::ExpectAssociations(kInstallFolder, ImageRowSelection()), 75);
    EXPECT_EQ(test::ReadRegString(HKEY_LOCAL_MACHINE, kRegisteredApplications, L"Pixelmoor"),
              L"SOFTWARE\\Pixelmoor\\Capabilities");
    EXPECT_EQ(test::CountHiddenStoreApps(), 5);
    EXPECT_FALSE(test::HasContextMenuEntries(kInstallFolder));
    test::ExpectLinks(test::GroupFolder(false), test::ExpectedGroupLinks(kInstallFolder, true));
    EXPECT_FALSE(test::FolderExists(test::GroupFolder(true)));
}

struct VersionCase {
    const wchar_t* wineVersion;
    int hiddenStoreApps;   // only Windows 10 hides them
    bool withUninstaller;  // Windows 8 and 8.1 get no uninstaller shortcut
};

TEST_F(SetupRegistrationTest, WindowsVersionDecidesStoreAppsAndUninstallerShortcut) {
    const VersionCase cases[] = {
        {L"win7", 0, true},    //
        {L"win81", 0, false},  //
        {L"win10", 5, true},   //
    };
    for (const VersionCase& c : cases) {
        SCOPED_TRACE(test::Narrow(c.wineVersion));
        Reset();
        ReportWindowsVersion(c.wineVersion);
        RunSetup(L"/silent /folder=D:\\Tools\\Pixelmoor /group=1 /assoc=1");
        EXPECT_EQ(test::CountHiddenStoreApps(), c.hiddenStoreApps);
        test::ExpectLinks(test::GroupFolder(false), test::ExpectedGroupLinks(kInstallFolder, c.withUninstaller));
        EXPECT_EQ(test::ExpectAssociations(kInstallFolder, ImageRowSelection()), 75);
    }
}

TEST_F(SetupRegistrationTest, RunWithoutAssocSwitchPointsOnlyJpgPngTif) {
    RunSetup(L"/silent /folder=D:\\Tools\\Pixelmoor");
    test::ExpectApplicationKeys(kInstallFolder);
    EXPECT_EQ(test::ExpectAssociations(kInstallFolder, AssociationSelection{}), 3);
    EXPECT_EQ(test::CountHiddenStoreApps(), 0);
    EXPECT_FALSE(test::FolderExists(test::GroupFolder(false)));
}

TEST_F(SetupRegistrationTest, AllUsersWithDesktopAndThumbnails) {
    const std::wstring viewer = kInstallFolder + L"p_moor64.exe";
    RunSetup(L"/silent /folder=D:\\Tools\\Pixelmoor /group=1 /desktop=1 /thumbs=1 /allusers=1 /assoc=2");
    test::ExpectLinks(test::GroupFolder(true), test::ExpectedGroupLinks(kInstallFolder, true));
    test::ExpectLink(test::DesktopFolder(true),
                     {L"Pixelmoor 64.lnk", viewer, L"", L"", 0, L"Pixelmoor 64 - Bildbetrachter"});
    test::ExpectLink(test::DesktopFolder(true),
                     {L"Pixelmoor 64 Thumbnails.lnk", viewer, L"/thumbs", viewer, 7, L"Pixelmoor - Thumbnails"});
    EXPECT_FALSE(test::FolderExists(test::GroupFolder(false)));
    EXPECT_FALSE(test::FileExists(test::DesktopFolder(false) + L"Pixelmoor 64.lnk"));
    EXPECT_TRUE(test::HasContextMenuEntries(kInstallFolder));
    EXPECT_EQ(test::ExpectAssociations(kInstallFolder, FullSelection()), 94);
}

TEST_F(SetupRegistrationTest, SecondInstallationLeavesTheSameRegistry) {
    const std::wstring switches = L"/silent /folder=D:\\Tools\\Pixelmoor /group=1 /thumbs=1 /assoc=1";
    RunSetup(switches);
    const std::wstring first = test::DumpRegistrationFootprint();
    RunSetup(switches);
    EXPECT_EQ(test::DumpRegistrationFootprint(), first);
}

}  // namespace
}  // namespace pixelmoor
