// The rules of the viewer's settings file that need no system: its names,
// the mirror and which toolbar fits the screen. Where the program folder's
// file lies and the settings folder recorded there are the contract with the
// uninstaller (contract/settings_record.h); the conversion's rules are in
// settings_conversion_rules.h.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "contract/product.h"

namespace pixelmoor {

// The first line of a converted settings file, followed by an empty line.
inline constexpr wchar_t kUtf16Header[] = L"; UNICODE FILE - edit with care ;-)\r\n\r\n";

// Bytes of one piece read from the ANSI settings file (a line buffer of 2048
// bytes less its terminator), and characters one piece may convert to.
inline constexpr std::size_t kPieceByteLimit = 2047;
inline constexpr std::size_t kConvertedPieceLimit = 2047;
// Characters of the "Skin" value read back from the settings file.
inline constexpr std::size_t kSkinReadLimit = 259;

// The program folder's file mirrors language and toolbar when the settings file
// lies in a portable-application folder.
[[nodiscard]] bool NeedsMirror(std::wstring_view settingsPath);

struct ToolbarChoice {
    std::wstring_view skin;
    std::wstring_view size;
    bool operator==(const ToolbarChoice&) const = default;
};

// The toolbar that the mirror file always receives.
inline constexpr ToolbarChoice kMirrorToolbar{L"Quillon_24.png", L"24"};

// The display scale in percent of 96 DPI, truncated.
[[nodiscard]] int ScaleFromDpi(int dpi) noexcept;

// The toolbar preset for the screen: the first row of the table whose test
// holds. screenHeight is asked anew for each row, as the screen is measured
// then.
[[nodiscard]] ToolbarChoice ChooseToolbar(const std::function<int()>& screenHeight, int scale);

// The temporary file of the conversion, in the settings file's own folder.
[[nodiscard]] std::wstring SettingsTempPath(std::wstring_view settingsPath);

}  // namespace pixelmoor
