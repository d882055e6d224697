// The install log file shared with other programs. Its bytes are checked by
// the start-up end-to-end test and the native entry test.
#include "contract/install_log.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "framework/unique_handle.h"
#include "tests/install/log_entry_check.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using test::kLogSeparator;
using test::SecondOfDayNow;
using test::TakeLogEntry;

class InstallLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = test::MakeScratchFolder(L"install-log");
        wchar_t previous[MAX_PATH + 1];
        previous_.assign(previous, ::GetCurrentDirectoryW(MAX_PATH + 1, previous));
        ASSERT_TRUE(::SetCurrentDirectoryW(folder_.c_str()));
    }
    void TearDown() override {
        ::SetCurrentDirectoryW(previous_.c_str());
        test::RemoveTree(folder_);
    }
    std::wstring LogPath() const { return folder_ + L"Pixelmoor_Install.log"; }

    std::wstring folder_;
    std::wstring previous_;
};

TEST_F(InstallLogTest, AnotherReaderAndWriterDoNotStopTheEntry) {
    // another program has the log open for reading and writing, sharing both
    UniqueFile other(::CreateFileW(LogPath().c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(other);
    const int before = SecondOfDayNow();
    WriteLogEntry(L"x");
    const int after = SecondOfDayNow();
    other.reset();
    std::string log = test::ReadFileBytes(LogPath()).value_or("(no log)");
    TakeLogEntry(log, "x\r\n" + kLogSeparator, before, after);
    EXPECT_EQ(log, "");
}

TEST_F(InstallLogTest, ALockedLogLosesTheEntryQuietly) {
    ASSERT_TRUE(test::WriteFileBytes(LogPath(), "kept\r\n"));
    {
        // held open without any sharing: the entry cannot be written
        UniqueFile locked(::CreateFileW(LogPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locked);
        WriteLogEntry(L"lost");
    }
    EXPECT_EQ(test::ReadFileBytes(LogPath()), "kept\r\n");
}

}  // namespace
}  // namespace pixelmoor
