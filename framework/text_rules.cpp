#include "framework/text_rules.h"

#include <algorithm>

namespace pixelmoor {

void TrimBlanks(std::wstring& text) {
    const std::size_t last = text.find_last_not_of(L' ');
    text.erase(last == std::wstring::npos ? 0 : last + 1);
    // Leading blanks go only from texts shorter than a system path, as the
    // folder texts of the wizard have always been treated.
    if (!text.empty() && text.front() == L' ' && text.size() < 260) text.erase(0, text.find_first_not_of(L' '));
}

std::wstring CutAt(std::wstring_view text, std::size_t limit) { return std::wstring(text.substr(0, limit)); }

bool EndsWithBackslash(std::wstring_view text) noexcept { return !text.empty() && text.back() == L'\\'; }

std::wstring WithTrailingBackslash(std::wstring folder) {
    if (!folder.empty() && !EndsWithBackslash(folder)) folder += L'\\';
    return folder;
}

std::wstring WithoutTrailingBackslash(std::wstring folder) {
    constexpr std::size_t kDriveRootLength = 3;  // "C:\"
    if (folder.size() > kDriveRootLength && EndsWithBackslash(folder)) folder.pop_back();
    return folder;
}

std::wstring DecimalText(long long value) {
    // Counted as a negative magnitude, so that the smallest value needs no special case.
    long long rest = value < 0 ? value : -value;
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' - rest % 10));
        rest /= 10;
    } while (rest != 0);
    if (value < 0) digits.insert(digits.begin(), L'-');
    return digits;
}

std::wstring VersionText(int major, int minor) { return DecimalText(major) + L'.' + DecimalText(minor); }

std::wstring AsciiUpper(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return upper;
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b, CaseFolding folding) noexcept {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [folding](wchar_t x, wchar_t y) { return FoldCase(x, folding) == FoldCase(y, folding); });
}

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view start, CaseFolding folding) noexcept {
    return text.size() >= start.size() && EqualsIgnoringCase(text.substr(0, start.size()), start, folding);
}

bool ContainsIgnoringCase(std::wstring_view text, std::wstring_view part, CaseFolding folding) noexcept {
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at)
        if (EqualsIgnoringCase(text.substr(at, part.size()), part, folding)) return true;
    return false;
}

}  // namespace pixelmoor
