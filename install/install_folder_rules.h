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

#include "contract/registered_folder_rules.h"
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

// The program-files folder, a backslash and "Pixelmoor" (no trailing
// backslash); the fallback when the folder is missing or empty.
[[nodiscard]] std::wstring DefaultInstallFolderFrom(const std::optional<std::wstring>& programFilesDir);

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
