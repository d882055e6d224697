// The text side of the folder preparation: trimming, the trailing backslash
// and the levels that are created one after another.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pixelmoor {

// The longest folder text that still gets a trailing backslash: with it the
// text fills a buffer of 260 characters.
inline constexpr std::size_t kBackslashLimit = 258;
// Characters of the path that the level-by-level walk looks at.
inline constexpr std::size_t kFolderWalkLimit = 260;
// Characters of the walk's buffer (260 less its terminator).
inline constexpr std::size_t kFolderBufferLimit = 259;

// Appends a backslash when the text has at most kBackslashLimit characters
// and does not end in one.
void AppendBackslashWithinLimit(std::wstring& path);

// Trims the blanks (TrimBlanks) and adds the trailing backslash. False when
// nothing is left, or when the folder (without a trailing backslash) is longer
// than kBackslashLimit: such a folder could not take a backslash and a file
// name, so it is refused as a whole instead of being half created.
[[nodiscard]] bool PrepareFolderText(std::wstring& path);

struct FolderWalk {
    std::vector<std::wstring> levels;  // folders to create, outermost first
    std::wstring path;                 // the folder text rebuilt from the trimmed levels
};

// Splits a prepared folder text into its levels. A network path keeps its two
// leading backslashes; every level is trimmed of its blanks, so a blank before
// a backslash disappears from the level and from the rebuilt text.
[[nodiscard]] FolderWalk PlanFolderLevels(std::wstring_view path);

}  // namespace pixelmoor
