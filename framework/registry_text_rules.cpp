#include "framework/registry_text_rules.h"

#include <algorithm>

namespace pixelmoor {

namespace {

// Every whole character of the bytes.
std::wstring AllUnits(std::span<const unsigned char> bytes) {
    std::wstring text(bytes.size() / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return text;
}

}  // namespace

std::wstring TextBeforeTerminator(std::span<const unsigned char> bytes) {
    std::wstring text = AllUnits(bytes);
    text.resize(std::min(text.size(), text.find(L'\0')));
    return text;
}

std::optional<std::wstring> TerminatedText(std::span<const unsigned char> bytes) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::wstring text = AllUnits(bytes);
    const std::size_t end = text.find(L'\0');
    if (end == std::wstring::npos) return std::nullopt;
    text.resize(end);
    return text;
}

std::wstring TextWithoutTrailingZeros(std::span<const unsigned char> bytes) {
    std::wstring text = AllUnits(bytes);
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

}  // namespace pixelmoor
