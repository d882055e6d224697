#include "contract/install_log_text.h"

namespace pixelmoor {

namespace {

constexpr wchar_t kSeparatorLine[] = L"------------------------------------------------\n";  // 48 hyphens

bool IsHighSurrogate(wchar_t c) noexcept { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) noexcept { return c >= 0xDC00 && c <= 0xDFFF; }

// Appends text as the log stores it: one byte per character, "\n" as CR LF.
void AppendEncoded(std::string& out, std::wstring_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\n') {
            out += "\r\n";
        } else if (static_cast<unsigned long>(c) <= 0xFF) {
            out += static_cast<char>(static_cast<unsigned char>(c));
        } else {
            if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
            out += '?';
        }
    }
}

void AppendTwoDigits(std::wstring& out, int value) {
    out += static_cast<wchar_t>(L'0' + value / 10 % 10);
    out += static_cast<wchar_t>(L'0' + value % 10);
}

}  // namespace

std::wstring FormatLogTime(int hour, int minute, int second) {
    std::wstring time;
    AppendTwoDigits(time, hour);
    time += L':';
    AppendTwoDigits(time, minute);
    time += L':';
    AppendTwoDigits(time, second);
    return time;
}

std::string FormatLogEntry(std::wstring_view date, std::wstring_view time, std::wstring_view text) {
    std::string out;
    AppendEncoded(out, date);
    out += " - ";
    AppendEncoded(out, time);
    out += ": ";
    AppendEncoded(out, text);
    AppendEncoded(out, L"\n");
    AppendEncoded(out, kSeparatorLine);
    return out;
}

}  // namespace pixelmoor
