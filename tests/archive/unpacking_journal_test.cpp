// The repair of what an unpacking killed at some moment left: its leftovers
// are laid out here by hand, as the unpacking leaves them, and repaired.
#include "archive/unpacking_journal.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using namespace test;

// Writes a file with 2019-03-04 05:06:08 UTC as its creation and last-write time.
void WriteDated(const std::wstring& path, const std::string& bytes) {
    ASSERT_TRUE(WriteFileBytes(path, bytes)) << Narrow(path);
    FILETIME earlier{};
    const SYSTEMTIME time{2019, 3, 1, 4, 5, 6, 8, 0};
    ::SystemTimeToFileTime(&time, &earlier);
    const UniqueFile file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(::SetFileTime(file.get(), &earlier, nullptr, &earlier)) << Narrow(path);
}

// The journal as the unpacking writes it: UTF-16, its header, one line a record.
void WriteJournal(const std::wstring& folder, std::initializer_list<std::wstring_view> lines,
                  std::wstring_view header = L"Pixelmoor unpacking journal 1") {
    std::wstring text = std::wstring(header) + L"\r\n";
    for (const std::wstring_view line : lines) text += std::wstring(line) + L"\r\n";
    ASSERT_TRUE(WriteFileBytes(folder + L"~pm_unpack.journal",
                               std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t))));
}

void Keep(const std::wstring& folder, const std::wstring& name, int number) {
    ::CreateDirectoryW((folder + L"~pm_unpack.kept").c_str(), nullptr);
    ASSERT_TRUE(::MoveFileW((folder + name).c_str(), (folder + L"~pm_unpack.kept\\" + std::to_wstring(number)).c_str()));
}

class UnpackingRepair : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = MakeScratchFolder(L"unpack-repair");
        folder_ = parent_ + L"Pixelmoor\\";
        ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr));
        // The earlier installation: two files, a folder with one, a file of the user's.
        WriteDated(folder_ + L"a.txt", "earlier a\n");
        WriteDated(folder_ + L"b.txt", "earlier b\n");
        ASSERT_TRUE(::CreateDirectoryW((folder_ + L"Plugins").c_str(), nullptr));
        WriteDated(folder_ + L"Plugins\\c.dll", "earlier c\n");
        WriteDated(folder_ + L"mine.txt", "the user's\n");
        earlier_ = SnapshotTree(parent_);
    }
    std::wstring parent_, folder_;
    TreeSnapshot earlier_;
};

// Each row lays out what a run killed at one moment left over the earlier
// installation; the repair brings the earlier installation back exactly.
TEST_F(UnpackingRepair, WhatAKilledRunLeftGoesAndTheEarlierFilesComeBack) {
    const std::wstring f = folder_;
    const struct {
        const char* what;
        std::function<void()> leave;
    } rows[] = {
        {"killed before its first change", [&] { WriteJournal(f, {}); }},
        {"killed while the first file was written",
         [&] {
             WriteJournal(f, {L"K 1 a.txt"});
             ASSERT_TRUE(WriteFileBytes(f + L"~pm_unpack.new", "new a, half"));
         }},
        {"killed between the two renames",
         [&] {
             WriteJournal(f, {L"K 1 a.txt"});
             ::CreateDirectoryW((f + L"~pm_unpack.kept").c_str(), nullptr);
             ASSERT_TRUE(WriteFileBytes(f + L"~pm_unpack.new", "new a\n"));
             Keep(f, L"a.txt", 1);
         }},
        {"killed after two files were replaced and a new folder was filled",
         [&] {
             WriteJournal(f, {L"K 1 a.txt", L"K 2 b.txt", L"D New", L"D New\\Deep", L"N New\\Deep\\x.dll", L"N y.txt",
                              L"K 3 Plugins\\c.dll"});
             Keep(f, L"a.txt", 1);
             ASSERT_TRUE(WriteFileBytes(f + L"a.txt", "new a\n"));
             Keep(f, L"b.txt", 2);
             ASSERT_TRUE(WriteFileBytes(f + L"b.txt", "new b\n"));
             ASSERT_TRUE(::CreateDirectoryW((f + L"New").c_str(), nullptr));
             ASSERT_TRUE(::CreateDirectoryW((f + L"New\\Deep").c_str(), nullptr));
             ASSERT_TRUE(WriteFileBytes(f + L"New\\Deep\\x.dll", "new x\n"));
             ASSERT_TRUE(WriteFileBytes(f + L"y.txt", "new y\n"));
             ASSERT_TRUE(WriteFileBytes(f + L"Plugins\\~pm_unpack.new", "new c, half"));
         }},
        {"killed while a repair was putting files back: again from where it was",
         [&] {
             WriteJournal(f, {L"K 1 a.txt", L"K 2 b.txt", L"N y.txt"});
             Keep(f, L"b.txt", 2);
             ASSERT_TRUE(WriteFileBytes(f + L"b.txt", "new b\n"));
         }},
        {"killed while a complete run removed its kept files: they go",
         [&] {
             ::CreateDirectoryW((f + L"~pm_unpack.kept").c_str(), nullptr);
             ASSERT_TRUE(WriteFileBytes(f + L"~pm_unpack.kept\\2", "a replaced file\n"));
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        row.leave();
        EXPECT_EQ(RepairUnfinishedUnpacking(folder_), Repair::kRepaired);
        EXPECT_EQ(TreeDifferences(earlier_, SnapshotTree(parent_)), "");
        // Repaired once, nothing is left to find.
        EXPECT_EQ(RepairUnfinishedUnpacking(folder_), Repair::kNothingFound);
    }
}

TEST_F(UnpackingRepair, AFirstInstallationKilledMidwayGoesWithTheFoldersItMade) {
    const std::wstring made = parent_ + L"Made\\Pixelmoor\\";
    ASSERT_TRUE(::CreateDirectoryW((parent_ + L"Made").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(made.c_str(), nullptr));
    WriteJournal(made, {L"U 2", L"N p_moor64.exe", L"D Plugins", L"N Plugins\\c.dll"});
    ASSERT_TRUE(WriteFileBytes(made + L"p_moor64.exe", "new viewer\n"));
    ASSERT_TRUE(::CreateDirectoryW((made + L"Plugins").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(made + L"Plugins\\~pm_unpack.new", "new c, half"));
    EXPECT_EQ(RepairUnfinishedUnpacking(made), Repair::kRepaired);
    EXPECT_EQ(TreeDifferences(earlier_, SnapshotTree(parent_)), "");
}

TEST_F(UnpackingRepair, WhatCannotBeTrustedIsLeftAsItIs) {
    const std::wstring f = folder_;
    const std::wstring outside = parent_ + L"Outside\\";
    const std::wstring host = MakeScratchFolder(L"unpack-repair-host");
    const struct {
        const char* what;
        std::function<void()> leave;
        std::vector<std::wstring_view> inUse;
        Repair result;
        std::vector<std::wstring> left;  // what stays of the run besides the earlier installation
    } rows[] = {
        // a journal of another format: nothing is touched, the journal stays
        {"another format",
         [&] {
             WriteJournal(f, {L"N a.txt"}, L"Pixelmoor unpacking journal 9");
         },
         {}, Repair::kIncomplete, {L"Pixelmoor\\~pm_unpack.journal"}},
        // a folder on the way that is a link: nothing is removed through it
        {"a link on the way",
         [&] {
             ASSERT_TRUE(::CreateDirectoryW(outside.c_str(), nullptr));
             ASSERT_TRUE(WriteFileBytes(outside + L"victim.dll", "not ours\n"));
             ASSERT_TRUE(RunHostScript("ln -s '" + HostPath(outside) + "' '" + HostPath(f) + "Linked'", host));
             WriteJournal(f, {L"N Linked\\victim.dll"});
         },
         {}, Repair::kIncomplete,
         {L"Outside", L"Outside\\victim.dll", L"Pixelmoor\\Linked", L"Pixelmoor\\Linked\\victim.dll",
          L"Pixelmoor\\~pm_unpack.journal"}},
        // a file in use by the caller stays the new one; its kept copy goes
        {"a file in use",
         [&] {
             WriteJournal(f, {L"K 1 a.txt", L"K 2 b.txt"});
             Keep(f, L"a.txt", 1);
             ASSERT_TRUE(WriteFileBytes(f + L"a.txt", "new a\n"));
             Keep(f, L"b.txt", 2);
             ASSERT_TRUE(WriteFileBytes(f + L"b.txt", "new b\n"));
         },
         {L"b.txt"}, Repair::kRepaired, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        SetUp();
        row.leave();
        EXPECT_EQ(RepairUnfinishedUnpacking(folder_, row.inUse), row.result);
        TreeSnapshot expected = earlier_;
        for (const std::wstring& path : row.left) expected[path] = SnapshotTree(parent_)[path];
        if (!row.inUse.empty()) expected[L"Pixelmoor\\b.txt"] = SnapshotTree(parent_)[L"Pixelmoor\\b.txt"];
        EXPECT_EQ(TreeDifferences(expected, SnapshotTree(parent_)), "");
        EXPECT_EQ(ReadFileBytes(folder_ + L"b.txt"), row.inUse.empty() ? "earlier b\n" : "new b\n");
        // Removed on the host: under Wine removing a link removes what it leads to.
        ASSERT_TRUE(RunHostScript("rm -rf '" + HostPath(parent_) + "'", host));
    }
}

}  // namespace
}  // namespace pixelmoor
