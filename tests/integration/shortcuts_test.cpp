#include "integration/shortcuts.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>

#include "integration/windows_version.h"
#include "tests/integration/registration_checks.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using test::ExpectedGroupLinks;
using test::ExpectLinks;
using test::GroupFolder;

const std::wstring kInstallFolder = L"D:\\Tools\\Pixelmoor\\";

// Saves the shortcuts as an installation does; true when every one was saved.
bool Save(std::vector<ShortcutJob> jobs) {
    ShortcutWriter writer(std::move(jobs));
    const std::vector<int>& results = writer.Wait();
    return !results.empty() && std::all_of(results.begin(), results.end(), [](int saved) { return saved == 1; });
}

// A plain shortcut of an earlier installation, planted in folder.
bool Plant(const std::wstring& folder, const std::wstring& fileName, const std::wstring& target) {
    return Save({{folder, {fileName, target, std::nullopt, std::nullopt, 0, std::nullopt}}});
}

class ShortcutsTest : public testing::Test {
protected:
    void SetUp() override { test::ResetShortcuts(); }
    void TearDown() override {
        WindowsGeneration = kGenerationUnknown;
        test::ResetShortcuts();
    }
};

TEST_F(ShortcutsTest, GroupHoldsNineShortcutsOnWindows10) {
    WindowsGeneration = 10;
    EXPECT_TRUE(Save(StartMenuGroupJobs(kInstallFolder, 0)));
    ExpectLinks(GroupFolder(false), ExpectedGroupLinks(kInstallFolder, true));
    EXPECT_FALSE(test::FolderExists(GroupFolder(true)));
}

TEST_F(ShortcutsTest, GroupHasNoUninstallerOnWindows8ButKeepsAnEarlierOne) {
    WindowsGeneration = 8;
    EXPECT_TRUE(Save(StartMenuGroupJobs(kInstallFolder, 0)));
    ExpectLinks(GroupFolder(false), ExpectedGroupLinks(kInstallFolder, false));

    // A shortcut left by an earlier installation is neither replaced nor removed.
    ASSERT_TRUE(Plant(GroupFolder(false), L"Pixelmoor deinstallieren.lnk", L"C:\\Old\\pm_uninstall.exe"));
    EXPECT_TRUE(Save(StartMenuGroupJobs(kInstallFolder, 0)));
    std::vector<test::ExpectedLink> links = ExpectedGroupLinks(kInstallFolder, false);
    links.push_back({L"Pixelmoor deinstallieren.lnk", L"C:\\Old\\pm_uninstall.exe", L"", L"", 0, L""});
    ExpectLinks(GroupFolder(false), links);
}

TEST_F(ShortcutsTest, ExistingGroupIsReusedAndOnlyTheTwoPreviousViewerLinksGo) {
    WindowsGeneration = 10;
    const std::wstring group = GroupFolder(false);
    ASSERT_TRUE(::SHCreateDirectoryExW(nullptr, group.c_str(), nullptr) == ERROR_SUCCESS);
    const std::wstring earlier[] = {
        L"Pixelmoor 64 4.73.lnk",  // replaced: removed
        L"Pixelmoor 64 4.72.lnk",  // replaced: removed
        L"Pixelmoor 64 4.74.lnk",  // not one of the two: stays
        L"Pixelmoor 64 4.71.lnk",  // older: stays
        L"Was ist neu.lnk",        // one of the group's own: overwritten
    };
    for (const std::wstring& name : earlier)
        ASSERT_TRUE(Plant(group, name, L"C:\\Old\\p_moor64.exe"));

    EXPECT_TRUE(Save(StartMenuGroupJobs(kInstallFolder, 0)));
    std::vector<test::ExpectedLink> links = ExpectedGroupLinks(kInstallFolder, true);
    links.push_back({L"Pixelmoor 64 4.74.lnk", L"C:\\Old\\p_moor64.exe", L"", L"", 0, L""});
    links.push_back({L"Pixelmoor 64 4.71.lnk", L"C:\\Old\\p_moor64.exe", L"", L"", 0, L""});
    ExpectLinks(group, links);
}

TEST_F(ShortcutsTest, AllUsersGroupGoesToTheCommonStartMenu) {
    WindowsGeneration = 11;
    EXPECT_TRUE(Save(StartMenuGroupJobs(kInstallFolder, 1)));
    ExpectLinks(GroupFolder(true), ExpectedGroupLinks(kInstallFolder, true));
    EXPECT_FALSE(test::FolderExists(GroupFolder(false)));
}

struct DesktopCase {
    int allUsers;
    ShortcutLink link;
    test::ExpectedLink expected;
};

TEST_F(ShortcutsTest, DesktopShortcutSetsOnlyWhatIsGiven) {
    const std::wstring viewer = kInstallFolder + L"p_moor64.exe";
    const DesktopCase cases[] = {
        // the viewer: a description and nothing else
        {0,
         ViewerDesktopLink(viewer),
         {L"Pixelmoor 64.lnk", viewer, L"", L"", 0, L"Pixelmoor 64 - Bildbetrachter"}},
        // thumbnails on the common desktop: icon 7 and "/thumbs"
        {1,
         ThumbnailsDesktopLink(viewer),
         {L"Pixelmoor 64 Thumbnails.lnk", viewer, L"/thumbs", viewer, 7, L"Pixelmoor - Thumbnails"}},
    };
    for (const DesktopCase& c : cases) {
        EXPECT_TRUE(Save(DesktopJobs({&c.link, 1}, c.allUsers)));
        test::ExpectLink(test::DesktopFolder(c.allUsers != 0), c.expected);
        // not in the other scope
        EXPECT_FALSE(test::FileExists(test::DesktopFolder(c.allUsers == 0) + c.link.fileName));
        test::ResetShortcuts();
    }
}

TEST_F(ShortcutsTest, WriterGivesEachJobsResultInJobOrder) {
    const std::wstring folder = test::MakeScratchFolder(L"shortcut-writer");
    const std::wstring missing = folder + L"missing\\";  // never made: its saves fail
    const std::wstring target = kInstallFolder + L"p_moor64.exe";
    const auto name = [](int i) { return L"link " + std::to_wstring(i) + L".lnk"; };
    // More jobs than worker threads, failures among them, so that a result
    // written to the wrong slot or lost shows.
    std::vector<ShortcutJob> jobs;
    std::vector<int> expected;
    for (int i = 0; i < 12; ++i) {
        const bool fails = i % 3 == 1;
        jobs.push_back({fails ? missing : folder, {name(i), target, std::nullopt, std::nullopt, 0, std::nullopt}});
        expected.push_back(fails ? 0 : 1);
    }
    ShortcutWriter writer(std::move(jobs));
    EXPECT_EQ(writer.Wait(), expected);
    EXPECT_EQ(writer.Wait(), expected);  // a second wait gives the same
    for (int i = 0; i < 12; ++i) {
        if (i % 3 == 1) {
            EXPECT_FALSE(test::FileExists(missing + name(i))) << i;
        } else {
            test::ExpectLink(folder, {name(i), target, L"", L"", 0, L""});
        }
    }
}

TEST_F(ShortcutsTest, WriterWithoutJobsHasNothingToWaitFor) {
    ShortcutWriter writer({});
    EXPECT_TRUE(writer.Wait().empty());
}

}  // namespace
}  // namespace pixelmoor
