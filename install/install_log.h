// The install log of silent mode: refusals and failures only. The uninstaller
// keeps its own log by the same rules.
#pragma once

#include <string>
#include <string_view>

namespace pixelmoor {

// Appends one entry (date, time, text, separator line) to
// "Pixelmoor_Install.log" in the current directory; an unopenable log loses
// the entry without notice.
void WriteLogEntry(std::wstring_view text);

// Appends one entry in the same form to the log file at logPath.
void AppendLogEntry(const std::wstring& logPath, std::wstring_view text);

}  // namespace pixelmoor
