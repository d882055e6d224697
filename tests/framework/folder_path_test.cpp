#include "framework/folder_path.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/current_directory.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using namespace test;

// A folder text of exactly `length` characters below base, in levels of at
// most 200 characters (a limit of the host's file names).
std::wstring FolderOfLength(const std::wstring& base, std::size_t length) {
    std::wstring path = base;
    while (path.size() < length) {
        const std::size_t level = std::min<std::size_t>(200, length - path.size());
        path += std::wstring(level, L'l');
        if (path.size() < length) path += L'\\';
    }
    return path;
}

TEST(EnsureFolderPath, CreatesMissingLevelsAndLeavesTheTextEndingInABackslash) {
    const std::wstring base = MakeScratchFolder(L"folder-path");
    const std::wstring existing = base.substr(0, base.size() - 1);
    const std::wstring longest = FolderOfLength(base, 258);
    const std::wstring tooLong = FolderOfLength(base, 259);
    struct Row {
        std::wstring in;
        int result;
        std::wstring out;
        std::wstring exists;  // a folder that must exist afterwards, if any
    };
    const Row rows[] = {
        // three missing levels ending in a blank
        {base + L"One\\Two\\New Folder ", 1, base + L"One\\Two\\New Folder\\", base + L"One\\Two\\New Folder"},
        // an existing folder only gets its backslash
        {existing, 1, base, existing},
        // a blank before a backslash is dropped from the level
        {base + L"A \\B", 1, base + L"A\\B\\", base + L"A\\B"},
        // blanks only
        {L"   ", 0, L"", L""},
        // a drive that does not exist
        {L"Q:\\x", 0, L"Q:\\x\\", L""},
        // 258 characters, the longest folder: made, 259 with the backslash
        {longest, 1, longest + L"\\", longest},
        // 259 characters: refused as a whole, nothing made
        {tooLong, 0, tooLong, L""},
        // the same with its backslash, which a 260-character walk would have made
        {tooLong + L"\\", 0, tooLong + L"\\", L""},
    };
    const std::wstring start = CurrentDirectory();
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.in));
        std::wstring path = row.in;
        EXPECT_EQ(EnsureFolderPath(path), row.result);
        EXPECT_EQ(path, row.out);
        if (!row.exists.empty()) {
            EXPECT_TRUE(FolderExists(row.exists));
        }
        EXPECT_EQ(CurrentDirectory(), start);  // restored whatever the result
    }
    const std::vector<std::wstring> made = ListFolder(base);
    EXPECT_EQ(std::count(made.begin(), made.end(), L"A"), 1);  // the level lost its blank
    EXPECT_EQ(std::count(made.begin(), made.end(), L"A "), 0);
    EXPECT_FALSE(FolderExists(tooLong));
}

}  // namespace
}  // namespace pixelmoor
