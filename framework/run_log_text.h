// The lines of the full log that "/log=<file>" asks for: UTF-8, one event a
// line, each led by the local date and time to the millisecond.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pixelmoor {

// Where one line of the log was written.
struct LogClock {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

// text as UTF-8; a lone surrogate, which has no UTF-8 form, becomes U+FFFD.
[[nodiscard]] std::string Utf8Text(std::wstring_view text);

// "YYYY-MM-DD HH:MM:SS.mmm <text>" and CR LF, in UTF-8. A text of several
// lines keeps them, each further one indented under the first one's text.
[[nodiscard]] std::string FormatRunLogLine(const LogClock& clock, std::wstring_view text);

// The bytes that every full log begins with: the UTF-8 byte-order mark, then
// the first line's "YYYY-MM-DD HH:MM:SS.mmm ".
inline constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";
inline constexpr std::size_t kRunLogHeadBytes = 3 + 24;

// True when head, the first bytes of a file (up to kRunLogHeadBytes), is
// empty or begins as a full log begins, as far as it goes: the file is one
// that a full log may be appended to.
[[nodiscard]] bool IsRunLogBeginning(std::string_view head) noexcept;

// "<step>: <result> (<milliseconds> ms)", the line of a finished step.
[[nodiscard]] std::wstring StepLogText(std::wstring_view step, std::wstring_view result, unsigned long milliseconds);

}  // namespace pixelmoor
