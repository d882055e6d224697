// The bytes of one install log entry. The log is a plain 8-bit text file:
// each character one byte (ISO 8859-1), line feeds written as CR LF, no
// byte-order mark.
#pragma once

#include <string>
#include <string_view>

#include "contract/product.h"

namespace pixelmoor {

// The setup's log and the uninstaller's by the same rules (their names are
// the contract's). Both: a full log (UTF-8) is never one of them.
inline constexpr std::wstring_view kFailureLogNames[] = {kInstallLogName, kUninstallLogName};
// Characters of the date text (a buffer of 256 characters less its terminator).
inline constexpr std::size_t kLogDateLimit = 255;

// The time of an entry: HH:MM:SS, 24-hour clock, two digits each.
[[nodiscard]] std::wstring FormatLogTime(int hour, int minute, int second);

// "<date> - <time>: <text>" and the line of 48 hyphens, encoded for the file.
// Characters above U+00FF have no byte in the log's encoding and become "?"
// (a surrogate pair counts as one character).
[[nodiscard]] std::string FormatLogEntry(std::wstring_view date, std::wstring_view time, std::wstring_view text);

}  // namespace pixelmoor
