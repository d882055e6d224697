// Small text rules shared by every layer. The fixed buffer sizes of the
// setup's texts are behaviour (a value is cut at its limit), so they are
// written here as named limits and applied with these helpers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pixelmoor {

// Characters of a path read from the system or built by the registration
// (a buffer of 260 characters less its terminator).
inline constexpr std::size_t kSystemPathLimit = 259;
// Characters of the folders of the install options and of the copy of the
// command line (a buffer of 520 characters less its terminator).
inline constexpr std::size_t kOptionTextLimit = 519;

// Removes all trailing blanks (U+0020); then, when the text starts with a blank
// and is shorter than 260 characters, all leading blanks. Only the space
// character counts as a blank.
void TrimBlanks(std::wstring& text);

// The first `limit` characters of text.
[[nodiscard]] std::wstring CutAt(std::wstring_view text, std::size_t limit);

[[nodiscard]] bool EndsWithBackslash(std::wstring_view text) noexcept;

// A number in decimal digits, with a minus sign when negative (what
// std::to_wstring gives, without the runtime's printf machinery).
[[nodiscard]] std::wstring DecimalText(long long value);

}  // namespace pixelmoor
