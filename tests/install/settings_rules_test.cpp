#include "install/settings_rules.h"

#include <gtest/gtest.h>

#include <map>

namespace pixelmoor {
namespace {

// A fixed environment for the expansion cases.
std::optional<std::wstring> Lookup(std::wstring_view name) {
    static const std::map<std::wstring, std::wstring, std::less<>> environment = {
        {L"APPDATA", L"C:\\Users\\hanna\\AppData\\Roaming"},
        {L"DRIVE", L"E:"},
        {L"EMPTY", L""},
        {L"LONG259", std::wstring(259, L'a')},
        {L"LONG260", std::wstring(260, L'b')},
        {L"BIG", std::wstring(200, L'x')},
        {L"APP", L"C:\\Apps\\Pixelmoor64_App"},
        {std::wstring(260, L'N'), L"cut-name"},
    };
    const auto found = environment.find(name);
    if (found == environment.end()) return std::nullopt;
    return found->second;
}

TEST(ExpandIniFolder, ReplacesVariablesAndDropsUndefinedOnes) {
    const struct {
        std::wstring in, out;
    } cases[] = {
        // No percent sign: the text itself, blanks and all.
        {L" D:\\Settings ", L" D:\\Settings "},
        // The default settings folder.
        {L"%APPDATA%\\Pixelmoor", L"C:\\Users\\hanna\\AppData\\Roaming\\Pixelmoor"},
        // An undefined variable vanishes with both of its percent signs.
        {L"%PM_UNDEFINED_VAR%\\Settings", L"\\Settings"},
        // Two variables and text between them.
        {L"%DRIVE%\\x\\%DRIVE%", L"E:\\x\\E:"},
        // "%%" is an empty name and yields nothing.
        {L"C:\\a%%b", L"C:\\ab"},
        // An unclosed "%" takes the rest of the text as the name.
        {L"C:\\%APPDATA", L"C:\\C:\\Users\\hanna\\AppData\\Roaming"},
        // An unclosed "%" naming nothing known swallows the rest.
        {L"C:\\x%y\\z", L"C:\\x"},
        // A lone trailing "%" is an empty name.
        {L"C:\\x%", L"C:\\x"},
        // A variable defined as empty adds nothing.
        {L"%EMPTY%\\S", L"\\S"},
        // The whole text may expand to nothing.
        {L"%PM_UNDEFINED_VAR%", L""},
        // Names are matched as given (the lookup decides about letter case).
        {L"%appdata%", L""},
        // A value of 259 characters fits the lookup buffer.
        {L"%LONG259%", std::wstring(259, L'a')},
        // A value of 260 characters does not fit it and counts as undefined.
        {L"X%LONG260%Y", L"XY"},
        // A name is cut at 260 characters before the lookup.
        {L"%" + std::wstring(265, L'N') + L"%!", L"cut-name!"},
        // The result is cut at 519 characters.
        {L"%BIG%%BIG%%BIG%", std::wstring(519, L'x')},
        // Text after the cut is not appended either.
        {L"%BIG%%BIG%" + std::wstring(150, L'y'), std::wstring(400, L'x') + std::wstring(119, L'y')},
    };
    for (const auto& c : cases) EXPECT_EQ(ExpandIniFolder(c.in, Lookup), c.out) << c.in.size();
}

TEST(ProgramSettingsPath, TrimsCutsAndEndsInBackslash) {
    const struct {
        std::wstring folder, path;
    } cases[] = {
        // A folder without its backslash.
        {L"D:\\Tools\\Pixelmoor", L"D:\\Tools\\Pixelmoor\\p_moor64.ini"},
        // A folder with its backslash gets no second one.
        {L"D:\\Tools\\Pixelmoor\\", L"D:\\Tools\\Pixelmoor\\p_moor64.ini"},
        // Blanks on both sides are trimmed.
        {L"  D:\\Tools  ", L"D:\\Tools\\p_moor64.ini"},
        // Only the first 263 characters of the folder count.
        {L"C:\\" + std::wstring(270, L'f'), L"C:\\" + std::wstring(260, L'f') + L"\\p_moor64.ini"},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgramSettingsPath(c.folder), c.path);
}

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
