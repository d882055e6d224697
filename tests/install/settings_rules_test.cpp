#include "install/settings_rules.h"

#include <gtest/gtest.h>

namespace pixelmoor {
namespace {

TEST(ChooseToolbar, FirstMatchingRowOfTheScreenTable) {
    const ToolbarChoice k48{L"gnome-colors-human_48.png", L"48"};
    const ToolbarChoice k32{L"gnome-colors-wise_32.png", L"32"};
    const ToolbarChoice k24{L"Quillon_24.png", L"24"};
    const ToolbarChoice k16{L"Basalt_16.png", L"16"};
    const struct {
        int height, dpi;
        ToolbarChoice choice;
    } cases[] = {
        {1600, 96, k48},   // height 1600 itself is large
        {1599, 96, k32},   // just below it: more than 1200
        {1201, 96, k32},   // the smallest height above 1200
        {1200, 96, k24},   // 1200 itself does not count as more than 1200
        {768, 96, k24},    // 768 is not less than 768
        {767, 96, k16},    // small screen
        {1000, 120, k24},  // 125 % changes nothing
        {1000, 144, k32},  // 150 % at a normal height
        {700, 144, k32},   // 150 % wins over a small screen
        {1000, 163, k32},  // 169 %: still below 170
        {1000, 164, k48},  // 170 %
        {1000, 168, k48},  // 175 %
        {700, 192, k48},   // 200 % on a small screen
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseToolbar([&] { return c.height; }, ScaleFromDpi(c.dpi)), c.choice) << c.height << " " << c.dpi;
    }
}

TEST(SettingsTempPath, BesideTheSettingsFile) {
    const struct {
        std::wstring settings, temp;
    } cases[] = {
        // The usual settings folder.
        {L"C:\\Users\\h\\AppData\\Roaming\\Pixelmoor\\p_moor64.ini",
         L"C:\\Users\\h\\AppData\\Roaming\\Pixelmoor\\p_moor64.ini_temp"},
        // A forward slash also separates folders.
        {L"D:/Tools/p_moor64.ini", L"D:/Tools/p_moor64.ini_temp"},
        // A file in the root of the current drive.
        {L"\\p_moor64.ini", L"\\p_moor64.ini_temp"},
        // A file relative to a drive's current folder stays there, not in its root.
        {L"C:p_moor64.ini", L"C:p_moor64.ini_temp"},
        // A bare name stays in the current folder, not in the root.
        {L"p_moor64.ini", L"p_moor64.ini_temp"},
    };
    for (const auto& c : cases) EXPECT_EQ(SettingsTempPath(c.settings), c.temp);
}

}  // namespace
}  // namespace pixelmoor
