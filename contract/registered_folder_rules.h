// The folder of the installed viewer as the setup registers it and the
// setup and the uninstaller read it back: the product's open command names
// the viewer, whose folder in its one normal form is the installation's.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "framework/text_rules.h"

namespace pixelmoor {

// The open command is read whole, up to the longest path Windows knows; a
// longer text names no installation.
inline constexpr std::size_t kOpenCommandLimit = kLongPathLimit;

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

}  // namespace pixelmoor
