#include "install/version_probe.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using namespace test;

std::wstring Fixture(const wchar_t* name) {
    return EnvironmentPath(L"PIXELMOOR_ICON_FIXTURES") + L"\\" + name + L".dll";
}

TEST(ProbeFileVersion, ReadsVersionTextAndUsEnglishCompanyName) {
    struct Row {
        std::wstring path;
        int result;
        std::wstring version;
        std::wstring company;
    };
    const std::wstring missing = MakeScratchFolder(L"probe") + L"missing.dll";
    const std::wstring noRecord = MakeScratchFolder(L"probe") + L"plain.txt";
    ASSERT_TRUE(WriteFileBytes(noRecord, "no version record"));
    const Row rows[] = {
        {Fixture(L"icons_420_keldaris"), 1, L"4.20", L"Keldaris"},
        {Fixture(L"icons_431_keldaris"), 1, L"4.31", L"Keldaris"},    // file version's third number
        {Fixture(L"icons_4100_keldaris"), 1, L"4.100", L"Keldaris"},  // minor 10
        {Fixture(L"icons_500_other"), 1, L"5.00", L"Iconworks"},
        {Fixture(L"icons_420_german"), 1, L"4.20", L""},  // strings only under 040704B0
        {Fixture(L"icons_420_long_company"), 1, L"4.20", L"Keldaris" + std::wstring(251, L'k')},  // cut at 259
        {missing, 0, L"untouched", L"untouched"},                                                 // no file
        {noRecord, 0, L"untouched", L"untouched"},                                                // no version record
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.path));
        std::wstring version = L"untouched";
        std::wstring company = L"untouched";
        EXPECT_EQ(ProbeFileVersion(row.path, version, &company), row.result);
        EXPECT_EQ(version, row.version);
        EXPECT_EQ(company, row.company);
    }
    std::wstring version;
    EXPECT_EQ(ProbeFileVersion(Fixture(L"icons_420_keldaris"), version, nullptr), 1);  // no company wanted
    EXPECT_EQ(version, L"4.20");
}

TEST(IconLibraryRule, InstalledLibraryIsReplacedOnlyWhenOlderOrTheReplaceableBuild) {
    struct Row {
        const wchar_t* installed;  // fixture copied to Plugins\Icons.dll; nullptr: none
        int keep;
    };
    const Row rows[] = {
        {nullptr, 0},                             // nothing installed: the payload's copy is written
        {L"icons_420_keldaris", 0},               // publisher's older file: replaced
        {L"icons_420_other", 1},                  // somebody else's older file stays
        {L"icons_420_german", 1},                 // no US-English company name: stays
        {L"icons_430_keldaris_upper_226816", 0},  // publisher's 4.30 of 226816 bytes, any letter case
        {L"icons_430_keldaris_370176", 1},        // 4.30 of another size, the payload's own: stays
        {L"icons_430_other_226816", 1},           // right size, other company: stays
        {L"icons_431_keldaris", 1},               // newer stays
        {L"icons_4100_keldaris", 0},              // 4.10.0 reads as 4.100 = 4100: older
        {L"icons_500_other", 1},                  // newer stays whatever the company
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.installed ? Narrow(row.installed) : "none");
        const std::wstring folder = MakeScratchFolder(L"icon-rule");
        if (row.installed) {
            ASSERT_TRUE(::CreateDirectoryW((folder + L"Plugins").c_str(), nullptr));
            ASSERT_TRUE(::CopyFileW(Fixture(row.installed).c_str(), (folder + L"Plugins\\Icons.dll").c_str(), FALSE));
        }
        EXPECT_EQ(IconLibraryRule(folder), row.keep);
        EXPECT_TRUE(FolderExists(folder + L"Plugins"));  // prepared for the extraction
    }
}

}  // namespace
}  // namespace pixelmoor
