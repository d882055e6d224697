#include "integration/registration.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "integration/windows_version.h"
#include "tests/integration/registration_checks.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using test::ReadRegString;

const std::wstring kFolder = L"D:\\Tools\\Pixelmoor";
const std::wstring kInstallFolder = L"D:\\Tools\\Pixelmoor\\";
constexpr wchar_t kRegisteredApplications[] = L"SOFTWARE\\RegisteredApplications";
// Nothing that was asked for is missing.
const std::vector<std::wstring> kAllWritten;

// Each case starts as on a machine where the viewer was never installed, on
// a system that keeps a list of registered applications.
class RegistrationTest : public testing::Test {
protected:
    void SetUp() override {
        test::ResetRegistrationFootprint();
        test::ResetShortcuts();
        test::WriteRegString(HKEY_LOCAL_MACHINE, kRegisteredApplications, L"Other", L"SOFTWARE\\Other");
        WindowsGeneration = kGenerationWindows10;
    }
    void TearDown() override {
        WindowsGeneration = kGenerationUnknown;
        test::ResetRegistrationFootprint();
        test::ResetShortcuts();
        test::DeleteRegTree(HKEY_LOCAL_MACHINE, kRegisteredApplications);
    }
};

TEST_F(RegistrationTest, TypicalRunRegistersViewerAndImageTypes) {
    // An icon of the command class left from before is removed.
    test::WriteRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pixelmoor\\DefaultIcon", nullptr, L"old.ico,0");
    const AssociationSelection images = ImageRowSelection();
    EXPECT_EQ(RegisterApplication(kFolder, {.startMenuGroup = 1}, images), kAllWritten);

    test::ExpectApplicationKeys(kInstallFolder);
    EXPECT_EQ(test::ExpectAssociations(kInstallFolder, images), 75);  // the image rows
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kRegisteredApplications, L"Pixelmoor"),
              L"SOFTWARE\\Pixelmoor\\Capabilities");
    EXPECT_EQ(test::CountHiddenStoreApps(), 5);
    EXPECT_FALSE(test::HasContextMenuEntries(kInstallFolder));
    test::ExpectLinks(test::GroupFolder(false), test::ExpectedGroupLinks(kInstallFolder, true));
    EXPECT_FALSE(test::FileExists(test::DesktopFolder(false) + L"Pixelmoor 64.lnk"));
}

TEST_F(RegistrationTest, RunWithoutChosenTypesPointsOnlyJpgPngTifAndLeavesTheUserAlone) {
    // A context-menu entry of an earlier installation stays when thumbnails are not chosen.
    test::WriteRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Directory\\shell\\Durchsuchen mit &Pixelmoor",
                         nullptr, L"Durchsuchen mit &Pixelmoor");
    const AssociationSelection none{};
    EXPECT_EQ(RegisterApplication(kFolder, {}, none), kAllWritten);

    test::ExpectApplicationKeys(kInstallFolder);
    EXPECT_EQ(test::ExpectAssociations(kInstallFolder, none), 3);  // jpg, png, tif; all classes and capabilities
    EXPECT_EQ(test::CountHiddenStoreApps(), 0);
    EXPECT_TRUE(
        test::RegKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Directory\\shell\\Durchsuchen mit &Pixelmoor"));
    EXPECT_FALSE(test::FolderExists(test::GroupFolder(false)));
}

TEST_F(RegistrationTest, ThumbnailsChoiceMakesOneDesktopShortcutAndTheContextMenu) {
    const std::wstring viewer = kInstallFolder + L"p_moor64.exe";
    EXPECT_EQ(RegisterApplication(L"D:\\Tools\\Pixelmoor  ", {.thumbnailsShortcut = 1}, AssociationSelection{}),
              kAllWritten);

    EXPECT_TRUE(test::HasContextMenuEntries(kInstallFolder));
    test::ExpectLink(test::DesktopFolder(false),
                     {L"Pixelmoor 64 Thumbnails.lnk", viewer, L"/thumbs", viewer, 7, L"Pixelmoor - Thumbnails"});
    EXPECT_FALSE(test::FileExists(test::DesktopFolder(false) + L"Pixelmoor 64.lnk"));
    EXPECT_FALSE(test::FolderExists(test::GroupFolder(false)));
    // The trailing blanks of the folder are gone everywhere.
    test::ExpectApplicationKeys(kInstallFolder);
}

TEST_F(RegistrationTest, LongFolderIsRecordedWhole) {
    const std::wstring folder = L"D:\\" + std::wstring(280, L'p') + L"\\";
    EXPECT_EQ(RegisterApplication(folder, {}, AssociationSelection{}), kAllWritten);
    test::ExpectApplicationKeys(folder);
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pixelmoor.jpg\\shell\\open\\command", L""),
              L"\"" + folder + L"p_moor64.exe\" \"%1\"");
}

TEST_F(RegistrationTest, WithoutRegisteredApplicationsListTheCapabilitiesStillExist) {
    test::DeleteRegTree(HKEY_LOCAL_MACHINE, kRegisteredApplications);
    // A system without that list misses nothing the installation needs.
    EXPECT_EQ(RegisterApplication(kFolder, {}, AssociationSelection{}), kAllWritten);
    EXPECT_FALSE(test::RegKeyExists(HKEY_LOCAL_MACHINE, kRegisteredApplications));
    test::ExpectApplicationKeys(kInstallFolder);
}

struct FinishCase {
    int generation;
    int hiddenStoreApps;
};

TEST_F(RegistrationTest, StoreAppsAreHiddenOnWindows10Only) {
    const FinishCase cases[] = {
        {kGenerationWindows10, 5},  // the five packaged picture apps
        {kGenerationWindows11, 0},  // Windows 11 ignores the values
        {kGenerationWindows8, 0},   //
        {kGenerationWindows7, 0},   // no store apps
    };
    for (const FinishCase& c : cases) {
        test::ResetRegistrationFootprint();
        WindowsGeneration = c.generation;
        EXPECT_EQ(RegisterApplication(kFolder, {}, ImageRowSelection()), kAllWritten);
        EXPECT_EQ(test::CountHiddenStoreApps(), c.hiddenStoreApps) << "generation " << c.generation;
    }
}

}  // namespace
}  // namespace pixelmoor
