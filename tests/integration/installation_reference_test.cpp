// Silent installations compared as a whole with stored references: every key
// and value that the installation adds, changes or removes anywhere in HKLM
// and HKCU, and every file, settings file and shortcut it leaves, byte for
// byte. A change in how the installation does its work must leave the
// references exactly as they are.
//
// After an intended change of what is installed, the references are written
// anew (instead of compared) with
//   PIXELMOOR_UPDATE_REFERENCE=1 ctest --test-dir build -R integration_reference_e2e
// and the difference is reviewed before it is committed.
#include <gtest/gtest.h>

#include <string>

#include "tests/integration/installation_record.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

constexpr wchar_t kInstallFolder[] = L"D:\\Tools\\Pixelmoor";

class InstallationReferenceTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(test::SetupExePath().empty());
        referenceFolder_ = test::EnvironmentPath(L"PIXELMOOR_REFERENCE_DIR");
        ASSERT_FALSE(referenceFolder_.empty());
        runFolder_ = test::MakeScratchFolder(L"installation-reference");
        test::ResetInstallation(kInstallFolder);
    }
    void TearDown() override {
        test::ResetInstallation(kInstallFolder);
        test::RemoveTree(runFolder_);
    }
    void RunSetup(const std::wstring& switches) {
        ASSERT_EQ(test::RunProgram(L"\"" + test::SetupExePath() + L"\" " + switches, runFolder_), 0u);
    }

    // What one installation with these switches does. A first installation
    // settles what Wine and the shell record once per prefix (folders,
    // metrics); the second one, on a machine from which the first has been
    // removed, is the one recorded.
    std::wstring InstallationRecord(const std::wstring& switches, bool allUsers) {
        RunSetup(switches);
        return L"switches: " + switches + L"\n\n" +
               test::ChangeRecord([&] { RunSetup(switches); }, kInstallFolder, allUsers);
    }

    // Compares with the stored reference, or stores it when asked to.
    void ExpectReference(const std::wstring& fileName, const std::wstring& record) {
        const std::wstring path = referenceFolder_ + L"\\" + fileName;
        const std::string bytes = test::Utf8(record);
        if (!test::EnvironmentValue(L"PIXELMOOR_UPDATE_REFERENCE").empty()) {
            ASSERT_TRUE(test::WriteFileBytes(path, bytes)) << test::Narrow(path);
            return;
        }
        const std::optional<std::string> reference = test::ReadFileBytes(path);
        ASSERT_TRUE(reference) << "no reference " << test::Narrow(path);
        EXPECT_TRUE(bytes == *reference) << test::RecordDifferences(*reference, bytes);
    }

    std::wstring referenceFolder_, runFolder_;
};

TEST_F(InstallationReferenceTest, TypicalInstallationForTheUserLeavesExactlyTheReference) {
    const std::wstring switches = L"/silent /folder=D:\\Tools\\Pixelmoor /group=1 /desktop=1 /thumbs=1 /assoc=1";
    ExpectReference(L"typical-user.txt", InstallationRecord(switches, false));
}

TEST_F(InstallationReferenceTest, InstallationForAllUsersWithEveryTypeLeavesExactlyTheReference) {
    const std::wstring switches =
        L"/silent /folder=D:\\Tools\\Pixelmoor /group=1 /desktop=1 /thumbs=1 /allusers=1 /assoc=2";
    ExpectReference(L"all-users-every-type.txt", InstallationRecord(switches, true));
}

}  // namespace
}  // namespace pixelmoor
