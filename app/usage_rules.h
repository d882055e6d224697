// The setup's usage, laid out from the switch and exit-code tables of
// contract/setup_switches.h: for a console (fixed-width columns) and for a
// message box (whose font is not of fixed width and which wraps lines
// itself). Pure text rules.
#pragma once

#include <string>
#include <string_view>

namespace pixelmoor {

// The usage for a console: lines ended by CR LF, terms in columns of blanks,
// long explanations continued on indented lines.
[[nodiscard]] std::wstring UsageConsoleText(std::wstring_view version);

// The same usage for a message box: lines ended by LF, a tab between a term
// and its explanation, and each explanation or paragraph on one line.
[[nodiscard]] std::wstring UsageBoxText(std::wstring_view version);

}  // namespace pixelmoor
