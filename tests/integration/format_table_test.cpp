#include "integration/format_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace pixelmoor {
namespace {

std::wstring Upper(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return upper;
}

std::size_t ExtensionCount(std::size_t firstRow, std::size_t endRow) {
    std::size_t count = 0;
    for (std::size_t row = firstRow; row < endRow; ++row) count += FormatTable()[row].extensions().size();
    return count;
}

TEST(FormatTable, HoldsSixtyFiveRowsWithNinetyFourExtensionsOfSeventySixTypes) {
    std::set<std::wstring_view> types;
    std::set<std::wstring_view> extensions;
    for (const FormatRow& row : FormatTable())
        for (const FormatExtension& entry : row.extensions()) {
            types.insert(entry.type);
            extensions.insert(entry.extension);
        }
    EXPECT_EQ(FormatTable().size(), 65u);
    EXPECT_EQ(ExtensionCount(0, kFormatRowCount), 94u);
    EXPECT_EQ(extensions.size(), 94u);  // no extension appears twice
    EXPECT_EQ(types.size(), 76u);
    EXPECT_EQ(ExtensionCount(0, kImageRowCount), 75u);                // the image rows
    EXPECT_EQ(ExtensionCount(kImageRowCount, kFormatRowCount), 19u);  // Flash, font, video, audio
}

// The rows' extensions are packed one after another: every row has 1 to
// kMaxExtensionsPerRow of them, each filled, each row's following the
// previous row's without gap or overlap.
TEST(FormatTable, EveryRowHoldsItsOwnFilledExtensions) {
    const FormatExtension* next = FormatTable()[0].extensions().data();
    for (const FormatRow& row : FormatTable()) {
        SCOPED_TRACE(std::string(row.label.begin(), row.label.end()));
        ASSERT_GE(row.extensions().size(), 1u);
        ASSERT_LE(row.extensions().size(), kMaxExtensionsPerRow);
        EXPECT_EQ(row.extensions().data(), next);
        next = row.extensions().data() + row.extensions().size();
        for (const FormatExtension& entry : row.extensions()) {
            EXPECT_FALSE(entry.extension.empty());
            EXPECT_FALSE(entry.type.empty());
        }
    }
}

TEST(FormatTable, LabelIsTheExtensionsUpperCasedAndJoinedBySlash) {
    for (const FormatRow& row : FormatTable()) {
        std::wstring joined;
        for (const FormatExtension& entry : row.extensions())
            joined += (joined.empty() ? L"" : L"/") + Upper(entry.extension);
        EXPECT_EQ(row.label, joined);
    }
}

// Rows whose description does not end in the plug-in mark " *": the types
// that the viewer reads by itself.
TEST(FormatTable, PlugInMarkIsOnEveryRowButTheBuiltInTypes) {
    const std::set<std::size_t> builtIn = {4, 7, 9, 14, 18, 21, 25, 29, 30, 31, 32, 33, 34, 35, 44, 45, 48};
    for (std::size_t row = 0; row < kFormatRowCount; ++row) {
        const std::wstring_view description = FormatTable()[row].description;
        EXPECT_EQ(description.ends_with(L" *"), !builtIn.contains(row)) << "row " << row;
    }
}

TEST(FormatTable, IconKindFollowsTheRowsType) {
    for (std::size_t row = 0; row < kFormatRowCount; ++row) {
        IconKind expected = IconKind::Viewer;
        if (row == 0 || row == 7 || row == 21) expected = IconKind::Own;  // ANI, CUR, ICO show themselves
        if (row >= 53 && row <= 57) expected = IconKind::Video;           // ASF to WMV
        if (row >= 58) expected = IconKind::Audio;                        // AIF to WMA
        EXPECT_EQ(FormatTable()[row].icon, expected) << "row " << row;
    }
}

struct SharedTypeCase {
    std::size_t row;
    std::wstring_view extension;
    std::wstring_view type;
};

TEST(FormatTable, ExtensionsAreBoundToTheirListedTypes) {
    const SharedTypeCase cases[] = {
        {4, L"dib", L"bmp"},    // shares the row's first type
        {25, L"jpeg", L"jpg"},  // all four JPEG spellings share jpg
        {25, L"jpe", L"jpg"},   //
        {28, L"jng", L"jng"},   // MNG and JNG keep their own types
        {45, L"tiff", L"tif"},  //
        {55, L"mpe", L"mpe"},   // MPE its own type, MPEG shares mpg
        {55, L"mpeg", L"mpg"},  //
        {59, L"rmi", L"rmi"},   // MID and RMI each their own
        {62, L"snd", L"au"},    //
    };
    for (const SharedTypeCase& c : cases) {
        bool found = false;
        for (const FormatExtension& entry : FormatTable()[c.row].extensions())
            if (entry.extension == c.extension) {
                found = true;
                EXPECT_EQ(entry.type, c.type) << "row " << c.row;
            }
        EXPECT_TRUE(found) << "row " << c.row;
    }
}

}  // namespace
}  // namespace pixelmoor
