#include "framework/text_rules.h"

#include <gtest/gtest.h>

#include <iterator>

namespace pixelmoor {
namespace {

TEST(TextRules, CaseIsFoldedAsEachVariantSays) {
    const struct {
        std::wstring_view a, b;
        CaseFolding folding;
        bool equal;
    } rows[] = {
        {L"Pixelmoor.JPG", L"pixelmoor.jpg", CaseFolding::kAscii, true},  // A to Z
        {L"[", L"{", CaseFolding::kAscii, false},                         // no other ASCII character
        {L"\u00dcber", L"\u00fcber", CaseFolding::kAscii, false},         // umlauts only in the Latin-1 variant
        {L"\u00dcber", L"\u00fcber", CaseFolding::kLatin1, true},         // ...where they fold
        {L"\u00d7", L"\u00f7", CaseFolding::kLatin1, false},              // multiplication and division signs differ
        {L"\u00df", L"\u00ff", CaseFolding::kLatin1, false},  // sharp s and y with diaeresis have no capital here
        {L"\u0130", L"i", CaseFolding::kLatin1, false},       // nothing beyond Latin-1
        {L"abc", L"ab", CaseFolding::kAscii, false},          // the whole text
    };
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(EqualsIgnoringCase(rows[i].a, rows[i].b, rows[i].folding), rows[i].equal) << "row " << i;

    EXPECT_TRUE(StartsWithIgnoringCase(L"/SILENT /purge", L"/silent"));
    EXPECT_FALSE(StartsWithIgnoringCase(L"/sil", L"/silent"));  // shorter than the start
    EXPECT_TRUE(ContainsIgnoringCase(L"Durchsuchen mit &PIXELMOOR", L"Pixelmoor"));
    EXPECT_FALSE(ContainsIgnoringCase(L"Pixel", L"Pixelmoor"));
    EXPECT_EQ(AsciiUpper(L"jpg\u00e4"), L"JPG\u00e4");  // a to z only
}

TEST(TextRules, FolderTextsGainOrLoseTheirClosingBackslash) {
    EXPECT_EQ(WithTrailingBackslash(L"C:\\Tools"), L"C:\\Tools\\");
    EXPECT_EQ(WithTrailingBackslash(L"C:\\Tools\\"), L"C:\\Tools\\");  // not a second one
    EXPECT_EQ(WithTrailingBackslash(L""), L"");                        // no folder: no root of the current drive
    EXPECT_EQ(WithoutTrailingBackslash(L"C:\\Tools\\"), L"C:\\Tools");
    EXPECT_EQ(WithoutTrailingBackslash(L"C:\\"), L"C:\\");  // a drive's root needs it
    EXPECT_EQ(VersionText(4, 75), L"4.75");
}

}  // namespace
}  // namespace pixelmoor
