// The install log of silent mode: refusals and failures only. The uninstaller
// keeps its own log by the same rules.
#pragma once

#include <string>
#include <string_view>

namespace pixelmoor {

// Appends one entry (date, time, text, separator line) to
// "Pixelmoor_Install.log" in the current directory, or in the folder that
// KeepInstallLogHere fixed; an unopenable log loses the entry without notice.
void WriteLogEntry(std::wstring_view text);

// Fixes the failure log to the folder that is current now, where the setup
// was started: a complete unpacking leaves the install folder current, and
// a failure reported after it still belongs where deployment tools collect
// the logs. Nothing changes when the current directory cannot be read.
void KeepInstallLogHere();

// Appends one entry in the same form to the log file at logPath.
void AppendLogEntry(const std::wstring& logPath, std::wstring_view text);

}  // namespace pixelmoor
