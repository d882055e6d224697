// The text rules of the folder proposals: the default program folder from the
// program-files folder, the folder of an existing installation from the
// product's open command, and the test whether a folder lies in the default
// one. The registry reads themselves are in install_folder.h.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pixelmoor {

// Proposed when the program-files folder cannot be read.
inline constexpr wchar_t kFallbackInstallFolder[] = L"C:\\Pixelmoor\\";
// The settings folder of a first installation; expanded only when installing.
inline constexpr wchar_t kDefaultSettingsFolder[] = L"%APPDATA%\\Pixelmoor";
// Both registry texts are read into 260 bytes: 129 characters and the terminator.
inline constexpr std::size_t kRegistryTextBytes = 260;
inline constexpr std::size_t kRegistryTextLimit = kRegistryTextBytes / 2 - 1;

// The text of a string value as the registry returned it (UTF-16, little
// endian; the terminator may be missing): the characters up to the first NUL.
// Empty optional when they are more than limit, since they would not have
// fitted with their terminator.
[[nodiscard]] std::optional<std::wstring> RegistryTextFromBytes(std::span<const unsigned char> data, std::size_t limit);

// The program-files folder, a backslash and "Pixelmoor" (no trailing
// backslash); the fallback when the folder is missing or empty.
[[nodiscard]] std::wstring DefaultInstallFolderFrom(const std::optional<std::wstring>& programFilesDir);

// The folder of the viewer executable that the open command names, ending in
// a backslash; empty when the command does not name "p_moor64.exe" (exactly
// so written) or names it without any folder.
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
