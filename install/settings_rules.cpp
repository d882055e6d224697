#include "install/settings_rules.h"

#include "framework/dpi.h"
#include "framework/text_rules.h"

namespace pixelmoor {

bool NeedsMirror(std::wstring_view settingsPath) {
    return settingsPath.find(kPortableFolder32) != std::wstring_view::npos ||
           settingsPath.find(kPortableFolder64) != std::wstring_view::npos;
}

int ScaleFromDpi(int dpi) noexcept { return dpi * 100 / kDefaultDpi; }

ToolbarChoice ChooseToolbar(const std::function<int()>& screenHeight, int scale) {
    if (screenHeight() >= 1600 || scale >= 170) return {L"gnome-colors-human_48.png", L"48"};
    if (screenHeight() > 1200 || scale >= 150) return {L"gnome-colors-wise_32.png", L"32"};
    if (screenHeight() < 768) return {L"Basalt_16.png", L"16"};
    return {L"Quillon_24.png", L"24"};
}

std::wstring SettingsTempPath(std::wstring_view settingsPath) {
    // Drive and directory of the settings file; the temporary file must lie in
    // that same folder so that the final move replaces the file in place.
    std::size_t folderEnd = settingsPath.find_last_of(L"\\/");
    if (folderEnd != std::wstring_view::npos) {
        ++folderEnd;
    } else {
        folderEnd = settingsPath.size() >= 2 && settingsPath[1] == L':' ? 2 : 0;
    }
    return std::wstring(settingsPath.substr(0, folderEnd)) + kSettingsTempFileName;
}

}  // namespace pixelmoor
