#include "framework/run_log_text.h"

#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
// "YYYY-MM-DD HH:MM:SS.mmm ": what a continuation line is indented by.
constexpr std::size_t kClockWidth = 24;

bool IsHighSurrogate(wchar_t c) noexcept { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) noexcept { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendCodePoint(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendDigits(std::string& out, int value, int digits) {
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0 && value > 0; --i, value /= 10) text[static_cast<std::size_t>(i)] += value % 10;
    out += text;
}

}  // namespace

std::string Utf8Text(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendCodePoint(out, 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) +
                                     (static_cast<char32_t>(text[++i]) - 0xDC00));
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            AppendCodePoint(out, kReplacementCharacter);
        } else {
            AppendCodePoint(out, static_cast<char32_t>(c));
        }
    }
    return out;
}

std::string FormatRunLogLine(const LogClock& clock, std::wstring_view text) {
    std::string line;
    AppendDigits(line, clock.year, 4);
    line += '-';
    AppendDigits(line, clock.month, 2);
    line += '-';
    AppendDigits(line, clock.day, 2);
    line += ' ';
    AppendDigits(line, clock.hour, 2);
    line += ':';
    AppendDigits(line, clock.minute, 2);
    line += ':';
    AppendDigits(line, clock.second, 2);
    line += '.';
    AppendDigits(line, clock.millisecond, 3);
    line += ' ';
    // Every line of the text on a line of its own, so that each line ends in CR LF.
    for (;;) {
        const std::size_t end = text.find(L'\n');
        std::wstring_view part = text.substr(0, end);
        if (!part.empty() && part.back() == L'\r') part.remove_suffix(1);
        line += Utf8Text(part);
        line += "\r\n";
        if (end == std::wstring_view::npos) return line;
        text = text.substr(end + 1);
        line.append(kClockWidth, ' ');
    }
}

bool IsRunLogBeginning(std::string_view head) noexcept {
    // "d" stands for a digit; every other character is itself.
    constexpr std::string_view kClockPattern = "dddd-dd-dd dd:dd:dd.ddd ";
    constexpr std::string_view kByteOrderMark = kUtf8ByteOrderMark;
    for (std::size_t i = 0; i < head.size() && i < kRunLogHeadBytes; ++i) {
        const char c = head[i];
        if (i < kByteOrderMark.size()) {
            if (c != kByteOrderMark[i]) return false;
            continue;
        }
        const char expected = kClockPattern[i - kByteOrderMark.size()];
        if (expected == 'd' ? (c < '0' || c > '9') : c != expected) return false;
    }
    return true;
}

std::wstring StepLogText(std::wstring_view step, std::wstring_view result, unsigned long milliseconds) {
    std::wstring text(step);
    text += L": ";
    text += result;
    text += L" (" + DecimalText(static_cast<long long>(milliseconds)) + L" ms)";
    return text;
}

}  // namespace pixelmoor
