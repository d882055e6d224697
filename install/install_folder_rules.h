// The text rules of the folder proposals: the default program folder from the
// program-files folder, the folder of an existing installation from the
// product's open command, the test whether a folder lies in the default one,
// and the one normal form of an install folder that every step of an
// installation uses. The registry reads themselves are in install_folder.h.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "framework/text_rules.h"

namespace pixelmoor {

// Proposed when the program-files folder cannot be read.
inline constexpr wchar_t kFallbackInstallFolder[] = L"C:\\Pixelmoor\\";
// The settings folder of a first installation; expanded only when installing.
inline constexpr wchar_t kDefaultSettingsFolder[] = L"%APPDATA%\\Pixelmoor";
// The program-files folder is read into 260 bytes: 129 characters and the
// terminator.
inline constexpr std::size_t kRegistryTextBytes = 260;
inline constexpr std::size_t kRegistryTextLimit = kRegistryTextBytes / 2 - 1;
// The open command is read whole, up to the longest path Windows knows; a
// longer text names no installation.
inline constexpr std::size_t kOpenCommandLimit = kLongPathLimit;

// The program-files folder, a backslash and "Pixelmoor" (no trailing
// backslash); the fallback when the folder is missing or empty.
[[nodiscard]] std::wstring DefaultInstallFolderFrom(const std::optional<std::wstring>& programFilesDir);

// The length of the root of an absolute path: 3 for a drive ("C:\"), the
// length of "\\server\share" for a network path. Empty for anything else: a
// relative path, a path on the current drive ("\x"), one relative to a
// drive's current folder ("C:x"), and the device and long-path forms
// ("\\.\", "\\?\"). Only backslashes separate here.
[[nodiscard]] std::optional<std::size_t> AbsoluteRootLength(std::wstring_view path) noexcept;

// The one text of an install folder that the files, the settings, the
// shortcuts and the registry all use. Slashes become backslashes; the blanks
// around the whole text go (TrimBlanks); every level loses its trailing
// blanks and dots, as Windows drops them when it creates a level; empty and
// "." levels vanish and ".." takes away the level before it (never the root);
// the text ends in one backslash. Empty when the folder has no absolute root,
// holds a NUL, or has a level of dots only other than "." and "..": such a
// text names no folder that the installation could report.
[[nodiscard]] std::optional<std::wstring> NormaliseInstallFolder(std::wstring_view folder);

// The viewer that the product's open command starts: its program, which is
// the text inside the leading pair of double quotes, or else the text up to
// the first blank or tab. Empty unless that program is an absolute path that
// ends in "\p_moor64.exe" (in any capitals); anything else is not ours.
[[nodiscard]] std::optional<std::wstring> ViewerPathFromOpenCommand(std::wstring_view openCommand);

// The normalised folder of that viewer, ending in a backslash; empty when
// the command names no viewer of ours or its folder has no normal form.
[[nodiscard]] std::optional<std::wstring> ExistingInstallFolderFromCommand(std::wstring_view openCommand);

// A path split as the C runtime's path splitting does: the drive ("X:" when
// the second character is a colon), the directory up to and including the last
// slash or backslash, the file name, and the extension from its last dot.
struct PathParts {
    std::wstring drive;
    std::wstring directory;
    std::wstring name;
    std::wstring extension;
};
[[nodiscard]] PathParts SplitPath(std::wstring_view path);

// True when defaultFolder occurs in folder, exactly so written.
[[nodiscard]] bool LiesInFolder(std::wstring_view folder, std::wstring_view defaultFolder) noexcept;

}  // namespace pixelmoor
