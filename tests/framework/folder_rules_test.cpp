#include "framework/folder_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pixelmoor {
namespace {

TEST(FolderRules, FolderTextIsTrimmedAndEndsInABackslash) {
    struct Row {
        std::wstring in;
        bool usable;
        std::wstring out;
    };
    const std::wstring f258(258, L'f');
    const Row rows[] = {
        {L"C:\\Tools\\New Folder ", true, L"C:\\Tools\\New Folder\\"},  // trailing blank goes, backslash comes
        {L"  C:\\Tools", true, L"C:\\Tools\\"},                         // leading blanks go
        {L"C:\\Tools\\", true, L"C:\\Tools\\"},                         // backslash not doubled
        {L"C:\\Tools\\  ", true, L"C:\\Tools\\"},                       // blanks after the backslash
        {L"   ", false, L""},                                           // blanks only
        {L"", false, L""},                                              // nothing
        {L"\tC:\\x", true, L"\tC:\\x\\"},                               // only U+0020 is a blank
        {f258, true, f258 + L"\\"},                                     // longest folder, 259 with backslash
        {f258 + L"\\", true, f258 + L"\\"},                             // same, given with its backslash
        {f258 + L"f", false, f258 + L"f"},                              // one over: refused, left trimmed
        {f258 + L"f\\", false, f258 + L"f\\"},                          // one over with a backslash
    };
    for (const Row& row : rows) {
        std::wstring text = row.in;
        EXPECT_EQ(PrepareFolderText(text), row.usable) << row.in.size();
        EXPECT_EQ(text, row.out) << row.in.size();
    }
}

TEST(FolderRules, LevelsAreCreatedOutermostFirstAndTrimmed) {
    struct Row {
        std::wstring path;
        std::vector<std::wstring> levels;
        std::wstring rebuilt;
    };
    const Row rows[] = {
        // drive, then every folder level
        {L"C:\\Tools\\New Folder\\", {L"C:", L"C:\\Tools", L"C:\\Tools\\New Folder"}, L"C:\\Tools\\New Folder\\"},
        // a blank before a backslash leaves the level's name and the text
        {L"C:\\A \\B\\", {L"C:", L"C:\\A", L"C:\\A\\B"}, L"C:\\A\\B\\"},
        // network path: the two backslashes stay, server and share are tried
        {L"\\\\srv\\share\\dir\\", {L"\\\\srv", L"\\\\srv\\share", L"\\\\srv\\share\\dir"}, L"\\\\srv\\share\\dir\\"},
        // a single leading backslash: the empty level is not tried
        {L"\\top\\sub\\", {L"\\top", L"\\top\\sub"}, L"\\top\\sub\\"},
        // drive root only
        {L"D:\\", {L"D:"}, L"D:\\"},
    };
    for (const Row& row : rows) {
        const FolderWalk walk = PlanFolderLevels(row.path);
        EXPECT_EQ(walk.levels, row.levels) << row.path.size();
        EXPECT_EQ(walk.path, row.rebuilt) << row.path.size();
    }
}

}  // namespace
}  // namespace pixelmoor
