// Reads a dialog template resource (RT_DIALOG) back into plain values: the
// extended form (DLGTEMPLATEEX, from DIALOGEX) and the classic form
// (DLGTEMPLATE, from DIALOG). No system calls, so it runs anywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pixelmoor::test {

struct DialogItem {
    std::uint32_t id = 0;  // 0xFFFFFFFF (extended) or 0xFFFF (classic) for -1
    std::wstring className;  // ordinal classes by name: Button, Edit, Static, ListBox, ScrollBar, ComboBox
    std::wstring text;       // an ordinal text (a picture's resource id) as "#113"
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
    bool extended = false;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu;
    std::wstring className;
    std::wstring title;
    // Present with DS_SETFONT; weight, italic and character set only in the extended form.
    int pointSize = 0;
    int weight = 0;
    int italic = 0;
    int charset = 0;
    std::wstring face;
    std::vector<DialogItem> items;
};

// Empty when the bytes end before the template does.
[[nodiscard]] std::optional<DialogTemplate> ParseDialogTemplate(std::span<const unsigned char> bytes);

}  // namespace pixelmoor::test
