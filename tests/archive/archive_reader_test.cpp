#include "archive/archive_reader.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/unique_handle.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using namespace test;

std::wstring TestArchive(const wchar_t* name) { return EnvironmentPath(L"PIXELMOOR_TEST_ARCHIVES") + L"\\" + name; }

std::wstring CurrentDirectory() {
    std::wstring folder(::GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

std::wstring WithoutBackslash(std::wstring folder) {
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return folder;
}

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// The archive script's contents: byte i is i*7 mod 251, and 0 to 255.
std::string BigBytes() {
    std::string bytes(100000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7) % 251);
    return bytes;
}
std::string AllByteValues() {
    std::string bytes(256, '\0');
    for (int i = 0; i < 256; ++i) bytes[i] = static_cast<char>(i);
    return bytes;
}

// Entry n of the midway archives, as the archive script makes it.
std::string MidwayBytes(int n) {
    std::string bytes(100000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(n) * 13 + (i >> 9)) % 251);
    return bytes;
}
std::wstring MidwayName(int n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n) + L".bin"; }

using Files = std::vector<std::pair<std::wstring, std::string>>;

void ExpectFiles(const std::wstring& folder, const Files& files, const std::vector<std::wstring>& absent) {
    for (const auto& [name, bytes] : files) EXPECT_EQ(ReadFileBytes(folder + name), bytes) << Narrow(name);
    for (const std::wstring& name : absent)
        EXPECT_FALSE(FileExists(folder + name) || FolderExists(folder + name)) << Narrow(name);
}

WIN32_FILE_ATTRIBUTE_DATA TimesOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) << Narrow(path);
    return data;
}
// A file time shown as local time, "2021-06-15 13:45:58".
std::string LocalText(const FILETIME& time) {
    FILETIME local{};
    SYSTEMTIME s{};
    ::FileTimeToLocalFileTime(&time, &local);
    ::FileTimeToSystemTime(&local, &s);
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", s.wYear, s.wMonth, s.wDay, s.wHour, s.wMinute,
             s.wSecond);
    return text;
}
ULONGLONG Ticks(const FILETIME& time) { return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime; }

// Files of an earlier installation: each with its bytes and, as creation
// and last-write time, 2019-03-04 05:06:08 UTC, so that a file put back
// shows by its time as well as by its bytes.
void WriteEarlierFiles(const std::wstring& folder, const Files& files) {
    FILETIME earlier{};
    const SYSTEMTIME time{2019, 3, 1, 4, 5, 6, 8, 0};
    ASSERT_TRUE(::SystemTimeToFileTime(&time, &earlier));
    for (const auto& [name, bytes] : files) {
        ASSERT_TRUE(WriteFileBytes(folder + name, bytes)) << Narrow(name);
        const UniqueFile file(::CreateFileW((folder + name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                            0, nullptr));
        ASSERT_TRUE(::SetFileTime(file.get(), &earlier, nullptr, &earlier)) << Narrow(name);
    }
}

// Nothing that the unpacking uses on the way is left: no temporary name, no
// kept file, no journal.
void ExpectNoUnpackingNames(const std::wstring& folder) {
    for (const auto& [path, item] : SnapshotTree(folder))
        EXPECT_EQ(path.find(L"~pm_unpack"), std::wstring::npos) << Narrow(path);
}

// Extraction leaves the current directory at the target; every case starts
// from and returns to the test program's own.
class ArchiveReader : public ::testing::Test {
protected:
    void SetUp() override { start_ = CurrentDirectory(); }
    void TearDown() override { ::SetCurrentDirectoryW(start_.c_str()); }
    std::wstring start_;
};

TEST_F(ArchiveReader, UnpacksBelowTheTargetAndPassesOverTheIconLibraryOnRequest) {
    const Files always = {
        {L"late\\a.txt", Repeat("alpha\n", 10)},            // listed before its folder entry
        {L"deep\\inner\\b.bin", AllByteValues()},           // folder entry's parent was missing
        {L"empty.txt", ""},                                 // zero-length entry
        {L"big.bin", BigBytes()},                           // several transfer blocks
        {L"Plugins\\Plugins32\\Effects.dll", "effects\n"},  // folder never listed before it
        {L"tail.txt", "tail\n"},                            // the loop reached the last entry
    };
    struct Row {
        int keep;
        Files files;
        std::vector<std::wstring> absent;
    };
    const Row rows[] = {
        // flag 0: the installed icon library is overwritten through PLUGINS/ICONS.DLL
        {0, {{L"Plugins\\Icons.dll", "payload icons\n"}, {L"x\\myicons.dll", "my icons\n"}}, {L"lonely"}},
        // flag 1: the installed copy stays and x/myicons.dll is passed over too
        {1, {{L"Plugins\\Icons.dll", "installed\n"}}, {L"lonely", L"x"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keep);
        const std::wstring target = MakeScratchFolder(L"reader-main");
        ::CreateDirectoryW((target + L"Plugins").c_str(), nullptr);
        ASSERT_TRUE(WriteFileBytes(target + L"Plugins\\Icons.dll", "installed\n"));
        EXPECT_EQ(ExtractArchiveToFolder(TestArchive(L"reader_main.zip").c_str(), target, row.keep), 0);
        EXPECT_EQ(CurrentDirectory(), WithoutBackslash(target));
        ExpectFiles(target, always, {});
        ExpectFiles(target, row.files, row.absent);
        ExpectNoUnpackingNames(target);
    }
}

TEST_F(ArchiveReader, FilesTakeTheEntryTimeAsCreationAndLastWriteTime) {
    struct Row {
        const wchar_t* archive;
        const wchar_t* file;
        bool timed;
        int result;
    };
    const Row rows[] = {
        {L"reader_main.zip", L"late\\a.txt", true, 0},       // deflated file
        {L"reader_main.zip", L"empty.txt", true, 0},         // zero-length file
        {L"reader_main.zip", L"big.bin", true, 0},           // several blocks
        {L"reader_crc.zip", L"bad.txt", false, -1},          // CRC mismatch: a failure, the file never takes its name
        {L"reader_shortfall.zip", L"short.txt", false, -1},  // data ended early: the same
    };
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const ULONGLONG started = Ticks(now) - 20000000;  // two seconds of file-system rounding
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.file));
        const std::wstring target = MakeScratchFolder(L"reader-times");
        ASSERT_EQ(ExtractArchiveToFolder(TestArchive(row.archive).c_str(), target, 0), row.result);
        if (!row.timed) {
            EXPECT_FALSE(FileExists(target + row.file));
            continue;
        }
        const WIN32_FILE_ATTRIBUTE_DATA times = TimesOf(target + row.file);
        EXPECT_EQ(LocalText(times.ftCreationTime), "2021-06-15 13:45:58");
        EXPECT_EQ(LocalText(times.ftLastWriteTime), "2021-06-15 13:45:58");
        EXPECT_GE(Ticks(times.ftLastAccessTime), started);  // what the file system set, not the entry's time
    }
}

TEST_F(ArchiveReader, UnusableArchiveOrTargetChangesNothing) {
    const std::wstring target = MakeScratchFolder(L"reader-unusable");
    const std::wstring good = TestArchive(L"reader_main.zip");
    const std::wstring notZip = TestArchive(L"reader_notzip.zip");
    const std::wstring truncated = TestArchive(L"reader_truncated.zip");
    const std::wstring missing = TestArchive(L"missing.zip");
    struct Row {
        const wchar_t* archive;
        std::wstring folder;
    };
    const Row rows[] = {
        {nullptr, target},                      // no archive path
        {notZip.c_str(), target},               // a text file
        {truncated.c_str(), target},            // cut in half: no central directory
        {missing.c_str(), target},              // no such file
        {good.c_str(), target + L"missing\\"},  // target folder cannot be entered
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.archive ? Narrow(row.archive) : "null");
        EXPECT_EQ(ExtractArchiveToFolder(row.archive, row.folder, 0), -1);
        EXPECT_EQ(CurrentDirectory(), start_);
        EXPECT_EQ(ListFolder(target), std::vector<std::wstring>{});
    }
}

// A damaged entry fails the unpacking, and the target is then as it was:
// the files of the earlier installation that came before the damage were
// replaced and are back, with their bytes and times; nothing new is left.
TEST_F(ArchiveReader, DamagedEntryFailsAndLeavesTheTargetAsItWas) {
    const Files earlier = {{L"first.txt", "earlier first\n"}, {L"after.txt", "earlier after\n"}, {L"mine.txt", "own\n"}};
    const std::vector<const wchar_t*> archives = {
        L"reader_crc.zip",        // CRC mismatch in the second entry: the first was replaced already
        L"reader_shortfall.zip",  // declared size larger than the data
        L"reader_bzip2.zip",      // method 12 (bzip2, not built in): never written raw
        L"reader_encrypted.zip",  // encrypted entry: no decryption
        L"reader_late_damage.zip",  // files in an existing folder and in new ones, then a CRC mismatch
    };
    for (const wchar_t* archive : archives) {
        SCOPED_TRACE(Narrow(archive));
        const std::wstring target = MakeScratchFolder(L"reader-damaged");
        ASSERT_TRUE(::CreateDirectoryW((target + L"keep").c_str(), nullptr));
        WriteEarlierFiles(target, earlier);
        WriteEarlierFiles(target, {{L"keep\\a.txt", "earlier a\n"}});
        const TreeSnapshot before = SnapshotTree(target);
        EXPECT_EQ(ExtractArchiveToFolder(TestArchive(archive).c_str(), target, 0), -1);
        // A failed unpacking leaves the current directory where it was.
        EXPECT_EQ(CurrentDirectory(), start_);
        EXPECT_EQ(TreeDifferences(before, SnapshotTree(target)), "");
    }
}

// A first unpacking that fails leaves nothing: the folders it made go, the
// ones that were there stay.
TEST_F(ArchiveReader, FailedFirstUnpackingLeavesNothingOfItself) {
    const std::wstring target = MakeScratchFolder(L"reader-first");
    ASSERT_TRUE(::CreateDirectoryW((target + L"keep").c_str(), nullptr));
    EXPECT_EQ(ExtractArchiveToFolder(TestArchive(L"reader_late_damage.zip").c_str(), target, 0), -1);
    EXPECT_EQ(ListFolder(target), std::vector<std::wstring>{L"keep"});
    EXPECT_EQ(ListFolder(target + L"keep"), std::vector<std::wstring>{});
}

// The files' data is inflated on a worker thread several entries ahead of the
// loop that writes them; what is written must still be decided entry by entry
// in archive order.
TEST_F(ArchiveReader, DataInflatedAheadIsWrittenInOrderAndAFailureUndoesWhatCameBefore) {
    struct Row {
        const wchar_t* archive;
        int held;      // entry whose file is held open without sharing, or -1
        bool earlier;  // the target holds an earlier version of every entry
        int result;
    };
    const Row rows[] = {
        {L"reader_midway.zip", -1, false, 0},          // every entry whole, each with its own data
        {L"reader_midway.zip", 5, true, -1},           // 05.bin in use: 00.bin to 04.bin, replaced, go back
        {L"reader_midway_damaged.zip", -1, true, -1},  // 12.bin fails in its second read: 00 to 11 go back
        {L"reader_midway_damaged.zip", -1, false, -1}, // the same into an empty folder: nothing stays
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.archive) + " held " + std::to_string(row.held));
        const std::wstring target = MakeScratchFolder(L"reader-midway");
        Files earlier;
        for (int n = 0; row.earlier && n < 24; ++n) earlier.push_back({MidwayName(n), "earlier " + std::to_string(n)});
        WriteEarlierFiles(target, earlier);
        const TreeSnapshot before = SnapshotTree(target);
        {
            const std::wstring held = target + MidwayName(row.held);
            const UniqueFile file(row.held < 0 ? INVALID_HANDLE_VALUE
                                               : ::CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                               0, nullptr));
            EXPECT_EQ(ExtractArchiveToFolder(TestArchive(row.archive).c_str(), target, 0), row.result);
        }
        if (row.result != 0) {
            EXPECT_EQ(TreeDifferences(before, SnapshotTree(target)), "");
            continue;
        }
        for (int n = 0; n < 24; ++n) EXPECT_EQ(ReadFileBytes(target + MidwayName(n)), MidwayBytes(n)) << n;
        ExpectNoUnpackingNames(target);
    }
}

// Refused names are passed over on purpose: the unpacking still succeeds.
TEST_F(ArchiveReader, NamesLeadingOutOfTheTargetArePassedOver) {
    const std::wstring parent = MakeScratchFolder(L"reader-slip");
    const std::wstring target = parent + L"target\\";
    ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
    const std::wstring root = target.substr(0, 3);  // the target's drive
    const std::vector<std::wstring> outside = {
        parent + L"evil_parent.txt",  // ../
        parent + L"evil_back.txt",    // parent written with a backslash
        parent + L"evil_nested.txt",  // a/../../
        parent + L"evil_dir",         // folder entry ../evil_dir/
        root + L"evil_root.txt",      // leading /
        root + L"evil_root2.txt",     // leading backslash
        L"C:\\evil_drive.txt",        // drive letter
    };
    for (const std::wstring& path : outside) RemoveTree(path);
    EXPECT_EQ(ExtractArchiveToFolder(TestArchive(L"reader_slip.zip").c_str(), target, 0), 0);
    for (const std::wstring& path : outside) EXPECT_FALSE(FileExists(path) || FolderExists(path)) << Narrow(path);
    EXPECT_EQ(ListFolder(target), std::vector<std::wstring>{L"inside.txt"});  // the loop went on
}

// A name that cannot be taken stops the unpacking at once, and what came
// before it goes back.
TEST_F(ArchiveReader, NameThatCannotBeTakenFailsAndPutsBackWhatCameBefore) {
    struct Row {
        const char* what;
        const wchar_t* obstacle;  // held open without sharing, or a folder in the file's place
        bool folder;
    };
    const Row rows[] = {
        {"a file in use", L"held.txt", false},       // held.txt, second of three
        {"a folder in its place", L"held.txt", true},  // a folder of that name
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::wstring target = MakeScratchFolder(L"reader-locked");
        WriteEarlierFiles(target, {{L"one.txt", "earlier one\n"}});
        if (row.folder) {
            ASSERT_TRUE(::CreateDirectoryW((target + row.obstacle).c_str(), nullptr));
        } else {
            WriteEarlierFiles(target, {{row.obstacle, "old\n"}});
        }
        const TreeSnapshot before = SnapshotTree(target);
        {
            const UniqueFile held(row.folder ? INVALID_HANDLE_VALUE
                                             : ::CreateFileW((target + row.obstacle).c_str(), GENERIC_READ, 0, nullptr,
                                                             OPEN_EXISTING, 0, nullptr));
            EXPECT_EQ(ExtractArchiveToFolder(TestArchive(L"reader_locked.zip").c_str(), target, 0), -1);
            EXPECT_EQ(CurrentDirectory(), start_);
        }
        EXPECT_EQ(TreeDifferences(before, SnapshotTree(target)), "");
    }
}

TEST_F(ArchiveReader, NamesTooLongForTheBuffersArePassedOver) {
    const std::wstring target = MakeScratchFolder(L"reader-names");
    const std::wstring folder(200, L'd');
    EXPECT_EQ(ExtractArchiveToFolder(TestArchive(L"reader_names.zip").c_str(), target, 0), 0);
    // 323 characters fit; 324, and 520 stored bytes, do not
    EXPECT_EQ(ListFolder(target), (std::vector<std::wstring>{L"after.txt", folder}));
    EXPECT_EQ(ListFolder(target + folder), std::vector<std::wstring>{std::wstring(118, L'k') + L".txt"});
}

}  // namespace
}  // namespace pixelmoor
