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
        {L"reader_crc.zip", L"bad.txt", true, -1},           // CRC mismatch: fully written, times set, a failure
        {L"reader_shortfall.zip", L"short.txt", false, -1},  // data ended early: treated as a read error
    };
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const ULONGLONG started = Ticks(now) - 20000000;  // two seconds of file-system rounding
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.file));
        const std::wstring target = MakeScratchFolder(L"reader-times");
        ASSERT_EQ(ExtractArchiveToFolder(TestArchive(row.archive).c_str(), target, 0), row.result);
        const WIN32_FILE_ATTRIBUTE_DATA times = TimesOf(target + row.file);
        if (row.timed) {
            EXPECT_EQ(LocalText(times.ftCreationTime), "2021-06-15 13:45:58");
            EXPECT_EQ(LocalText(times.ftLastWriteTime), "2021-06-15 13:45:58");
        } else {
            EXPECT_GE(Ticks(times.ftLastWriteTime), started);
        }
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

TEST_F(ArchiveReader, DamagedEntryStopsTheLoopKeepsWhatCameBeforeAndFails) {
    struct Row {
        const wchar_t* archive;
        Files files;
        std::vector<std::wstring> absent;
    };
    const Row rows[] = {
        // CRC mismatch: the file is written in full, the next entry is not touched
        {L"reader_crc.zip", {{L"first.txt", "first\n"}, {L"bad.txt", "bad crc\n"}}, {L"after.txt"}},
        // declared size larger than the data: what arrived stays, the loop stops
        {L"reader_shortfall.zip", {{L"short.txt", "short data\n"}}, {L"after.txt"}},
        // method 12 (bzip2, not built in): not opened, so not written raw
        {L"reader_bzip2.zip", {{L"first.txt", "first\n"}}, {L"bz.bin", L"after.txt"}},
        // encrypted entry: no decryption, so not written
        {L"reader_encrypted.zip", {{L"first.txt", "first\n"}}, {L"secret.txt", L"after.txt"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.archive));
        const std::wstring target = MakeScratchFolder(L"reader-damaged");
        EXPECT_EQ(ExtractArchiveToFolder(TestArchive(row.archive).c_str(), target, 0), -1);
        // A failed unpacking leaves the current directory where it was.
        EXPECT_EQ(CurrentDirectory(), start_);
        ExpectFiles(target, row.files, row.absent);
    }
}

// The files' data is inflated on a worker thread several entries ahead of the
// loop that writes them; what is written must still be decided entry by entry
// in archive order.
TEST_F(ArchiveReader, DataInflatedAheadIsWrittenInOrderAndNothingAfterTheFirstFailure) {
    struct Row {
        const wchar_t* archive;
        int held;        // entry whose file is held open without sharing, or -1
        int damaged;     // entry that fails to inflate midway, or -1
        int result;
    };
    const Row rows[] = {
        {L"reader_midway.zip", -1, -1, 0},          // every entry whole, each with its own data
        {L"reader_midway.zip", 5, -1, -1},          // 05.bin passed over; its inflated data goes nowhere
        {L"reader_midway_damaged.zip", -1, 12, -1}, // 12.bin fails in its second read; 13.bin on never appear
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.archive) + " held " + std::to_string(row.held));
        const std::wstring target = MakeScratchFolder(L"reader-midway");
        const std::wstring heldPath = target + MidwayName(row.held);
        if (row.held >= 0) {
            ASSERT_TRUE(WriteFileBytes(heldPath, "old\n"));
        }
        {
            const UniqueFile held(row.held < 0 ? INVALID_HANDLE_VALUE
                                               : ::CreateFileW(heldPath.c_str(), GENERIC_READ, 0, nullptr,
                                                               OPEN_EXISTING, 0, nullptr));
            EXPECT_EQ(ExtractArchiveToFolder(TestArchive(row.archive).c_str(), target, 0), row.result);
        }
        for (int n = 0; n < 24; ++n) {
            const std::optional<std::string> bytes = ReadFileBytes(target + MidwayName(n));
            if (n == row.held) {
                EXPECT_EQ(bytes, "old\n");
            } else if (n == row.damaged) {
                EXPECT_EQ(bytes, MidwayBytes(n).substr(0, 32768));  // what the one good read gave
            } else if (row.damaged >= 0 && n > row.damaged) {
                EXPECT_FALSE(bytes) << n;
            } else {
                EXPECT_EQ(bytes, MidwayBytes(n)) << n;
            }
        }
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

TEST_F(ArchiveReader, FileThatCannotBeWrittenIsPassedOverTheRestExtractedAndTheUnpackingFails) {
    const std::wstring target = MakeScratchFolder(L"reader-locked");
    ASSERT_TRUE(WriteFileBytes(target + L"held.txt", "old\n"));
    {
        const UniqueFile held(
            ::CreateFileW((target + L"held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.valid());
        EXPECT_EQ(ExtractArchiveToFolder(TestArchive(L"reader_locked.zip").c_str(), target, 0), -1);
        EXPECT_EQ(CurrentDirectory(), start_);
    }
    ExpectFiles(target, {{L"one.txt", "one\n"}, {L"held.txt", "old\n"}, {L"three.txt", "three\n"}}, {});
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
