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
// Characters of the longest path that Windows knows (a buffer of 32768
// characters less its terminator).
inline constexpr std::size_t kLongPathLimit = 32767;

// Removes all trailing blanks (U+0020); then, when the text starts with a blank
// and is shorter than 260 characters, all leading blanks. Only the space
// character counts as a blank.
void TrimBlanks(std::wstring& text);

// The first `limit` characters of text.
[[nodiscard]] std::wstring CutAt(std::wstring_view text, std::size_t limit);

[[nodiscard]] bool EndsWithBackslash(std::wstring_view text) noexcept;

// A folder text with one backslash at its end (an empty text stays empty).
[[nodiscard]] std::wstring WithTrailingBackslash(std::wstring folder);

// A folder text without the backslash at its end, as the system names a
// folder; a drive's root ("C:\") keeps it, as it needs it.
[[nodiscard]] std::wstring WithoutTrailingBackslash(std::wstring folder);

// A number in decimal digits, with a minus sign when negative (what
// std::to_wstring gives, without the runtime's printf machinery).
[[nodiscard]] std::wstring DecimalText(long long value);

// A version as the product shows it: "4.75".
[[nodiscard]] std::wstring VersionText(int major, int minor);

// How capitals are told apart from small letters when texts are compared.
enum class CaseFolding {
    kAscii,   // A to Z only: registry keys, switch names, file types, product names
    kLatin1,  // also the Latin-1 letters (umlauts): the uninstaller's folder texts
};

// c as a small letter, by that folding; every other character as it is.
[[nodiscard]] constexpr wchar_t FoldCase(wchar_t c, CaseFolding folding = CaseFolding::kAscii) noexcept {
    if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c - L'A' + L'a');
    // U+00C0 to U+00DE but the multiplication sign U+00D7.
    if (folding == CaseFolding::kLatin1 && c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<wchar_t>(c + 0x20);
    return c;
}

// The text with a to z as A to Z.
[[nodiscard]] std::wstring AsciiUpper(std::wstring_view text);

[[nodiscard]] bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b,
                                      CaseFolding folding = CaseFolding::kAscii) noexcept;
[[nodiscard]] bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view start,
                                          CaseFolding folding = CaseFolding::kAscii) noexcept;
[[nodiscard]] bool ContainsIgnoringCase(std::wstring_view text, std::wstring_view part,
                                        CaseFolding folding = CaseFolding::kAscii) noexcept;

}  // namespace pixelmoor
