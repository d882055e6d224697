#include "archive/archive_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace pixelmoor {
namespace {

// For messages: the characters of an ASCII text as bytes.
std::string Ascii(std::wstring_view text) {
    std::string bytes;
    for (const wchar_t c : text) bytes += static_cast<char>(c);
    return bytes;
}

TEST(ArchiveRules, IconLibraryIsASubstringOfTheLowerCasedFullName) {
    struct Row {
        const char* name;
        int keep;
        bool passedOver;
    };
    const Row rows[] = {
        {"Plugins/Icons.dll", 1, true},         // the payload's own entry
        {"PLUGINS/ICONS.DLL", 1, true},         // letters folded A to Z
        {"x/myicons.dll", 1, true},             // substring, not a whole file name
        {"icons.dll.bak/readme.txt", 1, true},  // folder part counts as well
        {"Plugins/Icons.dll", 0, false},        // flag 0 extracts everything
        {"Plugins/Icons.dll", 2, false},        // only the value 1 keeps
        {"Plugins/Icons.dl", 1, false},         // no full match
        {"Plugins/Icons_dll", 1, false},        // the dot is literal
    };
    for (const Row& row : rows)
        EXPECT_EQ(PassOverForIconLibrary(row.name, row.keep), row.passedOver) << row.name << " keep " << row.keep;
}

TEST(ArchiveRules, NamesThatWouldLeaveTheTargetAreRefused) {
    struct Row {
        std::wstring name;
        bool inside;
    };
    const Row rows[] = {
        {L"p_moor64.exe", true},                   // plain file
        {L"Plugins/Plugins32/Effects.dll", true},  // nested
        {L"Plugins/", true},                       // folder entry
        {L"./a.txt", true},                        // a single dot stays here
        {L"a..b/c...txt", true},                   // dots inside a name are fine
        {L"../evil.txt", false},                   // parent
        {L"..\\evil.txt", false},                  // parent with a backslash
        {L"a/../../evil.txt", false},              // parent further in
        {L"a/..", false},                          // parent as the last part
        {L"a/.../b", false},                       // dots only: Windows trims it to ".."
        {L"a/.. /b", false},                       // dots and a trailing blank
        {L"/evil.txt", false},                     // root of the current drive
        {L"\\evil.txt", false},                    // same with a backslash
        {L"C:/evil.txt", false},                   // drive letter
        {L"C:evil.txt", false},                    // drive-relative
        {L"a.txt:stream", false},                  // alternate data stream
        {std::wstring(L"a\0b", 3), false},         // embedded NUL
        {L"", false},                              // no name at all
    };
    for (const Row& row : rows) EXPECT_EQ(StaysInsideTarget(row.name), row.inside) << row.name.size();
}

TEST(ArchiveRules, TemporaryCopyPathFitsFiveHundredNineteenCharacters) {
    EXPECT_EQ(TemporaryArchivePath(L"C:\\Temp\\"), L"C:\\Temp\\pmoorg_x64.zip");  // as GetTempPathW gives it
    EXPECT_EQ(TemporaryArchivePath(L"C:\\Temp"), L"C:\\Temp\\pmoorg_x64.zip");    // backslash added
    EXPECT_EQ(TemporaryArchivePath(L""), std::nullopt);                           // no temporary folder
    const std::wstring name = L"\\pmoorg_x64.zip";
    const std::wstring fits(kTempPathLimit - name.size(), L't');
    EXPECT_EQ(TemporaryArchivePath(fits)->size(), 519u);         // exactly the limit
    EXPECT_EQ(TemporaryArchivePath(fits + L't'), std::nullopt);  // one over
}

TEST(ArchiveRules, PartialCopiesOfKilledSetupsAreToldByTheirWholeName) {
    struct Row {
        std::wstring name;
        bool partial;
    };
    const Row rows[] = {
        {L"pmoorg_x64.zip~1234-0", true},      // as a setup names its copy while writing it
        {L"pmoorg_x64.zip~7-15", true},        // the last of the attempts
        {L"pmoorg_x64.zip", false},            // the copy itself (replaced by the next copy)
        {L"pmoorg_x64.zip~1234", false},       // no attempt number
        {L"pmoorg_x64.zip~-0", false},         // no process id
        {L"pmoorg_x64.zip~12a4-0", false},     // not a number
        {L"pmoorg_x64.zip~1234-0.bak", false}, // someone else's name
        {L"xpmoorg_x64.zip~1-0", false},       // another file
    };
    for (const Row& row : rows) EXPECT_EQ(IsPartialCopyName(row.name), row.partial) << Ascii(row.name);
}

}  // namespace
}  // namespace pixelmoor
