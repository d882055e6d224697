#include "framework/text_rules.h"

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

}  // namespace pixelmoor
