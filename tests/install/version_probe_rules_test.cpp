#include "install/version_probe_rules.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <random>
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
        {L"99999999999", 0},                                                 // out of range is no version
    };
    for (const Row& row : rows) EXPECT_EQ(VersionComparisonValue(row.text), row.value) << row.text;
}

// The value as the runtime's wcstod gives it, which the rule read before it
// had its own reading: the reference for texts that no version record makes.
int RuntimeComparisonValue(const std::wstring& text) {
    const float scaled = static_cast<float>(std::wcstod(text.c_str(), nullptr)) * 1000.0f;
    if (!(scaled > -2.0e9f && scaled < 2.0e9f)) return 0;
    return static_cast<int>(scaled);
}

TEST(VersionProbeRules, ComparisonValueReadsDigitsAndAPointLikeTheRuntime) {
    struct Row {
        const wchar_t* text;
        int value;
    };
    const Row rows[] = {
        {L".5", 500},                    // no integer digits
        {L"4.", 4000},                   // point without fraction digits
        {L".", 0},                       // a point alone is no number
        {L"0.004", 4},                   // zeros after the point scale the digits
        {L"00004.3", 4300},              // leading zeros count for nothing
        {L"4.3e", 4300},                 // reading stops at a letter
        {L"12345678901234567890.5", 0},  // 20 digits: beyond int
        {L"4.2999999999999999999999", 4300},  // more digits than a version text has, as the double rounds them
        {L"1999.9999", 1999999},              // the float product truncated
    };
    for (const Row& row : rows) {
        EXPECT_EQ(VersionComparisonValue(row.text), row.value) << row.text;
        EXPECT_EQ(RuntimeComparisonValue(row.text), row.value) << row.text;
    }
}

TEST(VersionProbeRules, ComparisonValueOfTextsThatAreNoVersionTextsEndsWhereTheDigitsEnd) {
    // A version text is digits, a point and digits; the runtime's reading of
    // numbers goes further (blanks, signs, exponents, hexadecimal digits,
    // infinity), which no version record ever needs. These texts are read
    // only as far as they are a version text.
    struct Row {
        const wchar_t* text;
        int value;
        int runtimeValue;  // what the runtime's wcstod reading would give
    };
    const Row rows[] = {
        {L"  \t4.30", 0, 4300},     // leading blanks: no digit first
        {L"+4.30", 0, 4300},        // a sign is no digit
        {L"-4.30", 0, -4300},       // nor is a minus: never a negative version
        {L"-", 0, 0},               // a sign alone
        {L"4.3e2", 4300, 430000},   // an exponent ends the reading
        {L"43E-1", 43000, 4300},    // in capitals too
        {L"4.3e+", 4300, 4300},     // the same without exponent digits
        {L"5.e3", 5000, 5000000},   // point, then an exponent
        {L"1e-400", 1000, 0},       // far too small for the runtime
        {L"1e400", 1000, 0},        // far too large for the runtime
        {L"0x1.8", 0, 1500},        // hexadecimal: "0", then a letter
        {L"0X10p-2", 0, 4000},      // with a binary exponent
        {L"0x", 0, 0},              // "0x" without digits
        {L"0xg", 0, 0},             // likewise
        {L"inf", 0, 0},             // infinity is no version
        {L"nan", 0, 0},             // nor is NaN
    };
    for (const Row& row : rows) {
        EXPECT_EQ(VersionComparisonValue(row.text), row.value) << row.text;
        EXPECT_EQ(RuntimeComparisonValue(row.text), row.runtimeValue) << row.text;
    }
}

TEST(VersionProbeRules, ComparisonValueOfEveryVersionTextShapeMatchesTheRuntime) {
    // Version texts of all lengths (1 to 5 digits in each number), and
    // decimal texts of up to 15 significant digits around the float's
    // rounding boundaries.
    std::mt19937 random(13);
    const std::uint16_t numbers[] = {0, 1, 3, 9, 10, 29, 30, 99, 100, 999, 1000, 9999, 10000, 65535};
    for (std::uint16_t major : numbers)
        for (std::uint16_t minor : numbers)
            for (std::uint16_t build : numbers) {
                const std::wstring text = FormatVersionText(major, minor, build);
                ASSERT_EQ(VersionComparisonValue(text), RuntimeComparisonValue(text)) << text;
            }
    for (int i = 0; i < 200000; ++i) {
        const auto field = [&](unsigned limit) { return static_cast<std::uint16_t>(random() % limit); };
        const std::wstring text = FormatVersionText(field(i % 2 ? 65536 : 10), field(65536), field(65536));
        ASSERT_EQ(VersionComparisonValue(text), RuntimeComparisonValue(text)) << text;
    }
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

// The installed library is compared with the version of the payload's own,
// whatever that is: the stand-in's 4.30 or a release's newer one.
TEST(VersionProbeRules, InstalledLibraryIsComparedWithThePayloads) {
    using enum InstalledIconLibrary;
    struct Row {
        const wchar_t* installed;
        const wchar_t* payload;
        InstalledIconLibrary order;
    };
    const Row rows[] = {
        {L"4.40", L"4.30", kNewer},   // the stand-in's payload keeps a 4.40 library
        {L"4.40", L"4.50", kOlder},   // a payload with 4.50 replaces it
        {L"4.50", L"4.50", kSame},    // its own version: the size decides
        {L"4.100", L"4.50", kOlder},  // 4.10.0 reads 4.100, which is 4100
        {L"4.51", L"4.50", kNewer},   // a newer installed one stays
    };
    for (const Row& row : rows)
        EXPECT_EQ(CompareWithPayload(row.installed, row.payload), row.order)
            << row.installed << " / " << row.payload;
}

}  // namespace
}  // namespace pixelmoor
