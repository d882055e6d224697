// The install log of silent mode: refusals and failures only.
#pragma once

#include <string_view>

namespace pixelmoor {

// Appends one entry (date, time, text, separator line) to
// "Pixelmoor_Install.log" in the current directory; an unopenable log loses
// the entry without notice.
void WriteLogEntry(std::wstring_view text);

}  // namespace pixelmoor
