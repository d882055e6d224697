#include "install/version_probe_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace pixelmoor {
namespace {

TEST(VersionProbeRules, VersionTextJoinsMinorAndBuildWithoutSeparator) {
    EXPECT_EQ(FormatVersionText(4, 3, 0), L"4.30");    // the payload's icon library
    EXPECT_EQ(FormatVersionText(4, 3, 1), L"4.31");    // third file number appended
    EXPECT_EQ(FormatVersionText(4, 10, 0), L"4.100");  // minor 10
    EXPECT_EQ(FormatVersionText(5, 0, 0), L"5.00");
    EXPECT_EQ(FormatVersionText(65535, 65535, 65535), L"65535.6553565535");  // longest text, 16 characters
}

TEST(VersionProbeRules, ComparisonValueIsSinglePrecisionTimesThousandTruncated) {
    struct Row {
        const wchar_t* text;
        int value;
    };
    const Row rows[] = {
        {L"4.30", 4300},   // 4.3f * 1000.0f rounds up to exactly 4300
        {L"4.29", 4290},   // 4.29f is below 4.29; the float product still lands on 4290
        {L"4.100", 4100},  // minor 10 reads as 4.1
        {L"4.31", 4310},  {L"5.00", 5000}, {L"0.00", 0}, {L"4.2999", 4299},  // truncated, not rounded
        {L"4.30x", 4300},                                                    // reading stops at the first non-digit
        {L"none", 0},                                                        // no number
        {L"1e30", 0},                                                        // out of range is no version
    };
    for (const Row& row : rows) EXPECT_EQ(VersionComparisonValue(row.text), row.value) << row.text;
}

TEST(VersionProbeRules, CompanyNameIsCutAt259AndAtItsTerminator) {
    const std::wstring name300(300, L'k');
    EXPECT_EQ(CutCompanyName(name300), std::wstring(259, L'k'));             // cut at 259
    EXPECT_EQ(CutCompanyName(std::wstring(L"Keldaris\0", 9)), L"Keldaris");  // reported length counts the NUL
    EXPECT_EQ(CutCompanyName(std::wstring(L"Kel\0daris", 9)), L"Kel");       // ends at the first NUL
    EXPECT_EQ(CutCompanyName(L""), L"");
}

TEST(VersionProbeRules, InstalledLibraryStaysUnlessThePublishersOlderOrReplaceableFile) {
    using enum InstalledIconLibrary;
    struct Row {
        InstalledIconLibrary order;
        const wchar_t* company;
        std::optional<std::uint64_t> size;
        int keep;
    };
    const Row rows[] = {
        {kOlder, L"Keldaris", std::nullopt, 0},       // publisher's older file: replaced
        {kOlder, L"kElDaRiS", std::nullopt, 0},       // in any letter case of A to Z
        {kOlder, L"KELDAR\u0130S", std::nullopt, 1},  // dotted capital I is not folded
        {kOlder, L"Keldaris ", std::nullopt, 1},      // the whole name, untrimmed
        {kOlder, L"Iconworks", std::nullopt, 1},      // somebody else's file stays
        {kOlder, L"", std::nullopt, 1},               // no company (other language block) stays
        {kSame, L"Keldaris", 226816, 0},              // the publisher's replaceable 4.30 build
        {kSame, L"keldaris", 226816, 0},
        {kSame, L"Keldaris", 370176, 1},         // the payload's own file stays
        {kSame, L"Keldaris", 226817, 1},         // any other size stays
        {kSame, L"Iconworks", 226816, 1},        // right size, other company
        {kSame, L"Keldaris", std::nullopt, 1},   // could not be opened for the size
        {kNewer, L"Keldaris", std::nullopt, 1},  // newer stays whatever the company
        {kNewer, L"Iconworks", 226816, 1},
    };
    for (const Row& row : rows)
        EXPECT_EQ(KeepIconLibraryFlag(row.order, row.company, row.size), row.keep)
            << static_cast<int>(row.order) << ' ' << row.size.value_or(0);
}

}  // namespace
}  // namespace pixelmoor
