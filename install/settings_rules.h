// The rules of the viewer's settings file that need no system: where the
// files lie, how the settings folder's variables are expanded and which
// toolbar fits the screen. The conversion's rules are in
// settings_conversion_rules.h.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "contract/product.h"

namespace pixelmoor {

// The record, in the program folder's settings file, of the folder where the
// settings live when they live elsewhere: key "INI_Folder" of section "Others".
inline constexpr wchar_t kOthersSection[] = L"Others";
inline constexpr wchar_t kIniFolderKey[] = L"INI_Folder";
// The first line of a converted settings file, followed by an empty line.
inline constexpr wchar_t kUtf16Header[] = L"; UNICODE FILE - edit with care ;-)\r\n\r\n";

// Characters of the folder that the program folder's settings path is built
// from (a buffer of 264 characters less its terminator).
inline constexpr std::size_t kProgramFolderLimit = 263;
// Characters of a variable name and of an environment value in the settings
// folder, and of the expanded folder.
inline constexpr std::size_t kVariableNameLimit = 260;
inline constexpr std::size_t kVariableValueLimit = 259;
inline constexpr std::size_t kExpandedFolderLimit = 519;
// Bytes of one piece read from the ANSI settings file (a line buffer of 2048
// bytes less its terminator), and characters one piece may convert to.
inline constexpr std::size_t kPieceByteLimit = 2047;
inline constexpr std::size_t kConvertedPieceLimit = 2047;
// Characters of the "Skin" value read back from the settings file.
inline constexpr std::size_t kSkinReadLimit = 259;

// The program folder's settings file P0: the folder cut to its limit, trimmed,
// a backslash, then the file name.
[[nodiscard]] std::wstring ProgramSettingsPath(std::wstring_view folder);

// The value of an environment variable; nullopt when it is not defined.
using EnvironmentLookup = std::function<std::optional<std::wstring>(std::wstring_view name)>;

// Replaces each %NAME% of the settings folder with the variable's value, or
// with nothing when it is undefined. "%%" is an empty name and yields nothing;
// a "%" without its closing partner takes the rest of the text as the name.
// A value longer than kVariableValueLimit does not fit the system's lookup
// buffer and counts as undefined. A text without "%" comes back unchanged.
[[nodiscard]] std::wstring ExpandIniFolder(std::wstring_view iniFolder, const EnvironmentLookup& lookup);

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
