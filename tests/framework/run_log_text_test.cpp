#include "framework/run_log_text.h"

#include <gtest/gtest.h>

namespace pixelmoor {
namespace {

TEST(RunLogText, LinesAreUtf8WithTheirTimeAndCrLf) {
    const LogClock clock{2026, 12, 8, 7, 5, 9, 42};
    struct Case {
        std::wstring_view text;
        std::string line;
    } cases[] = {
        // plain ASCII, every field of the time with its leading zeros
        {L"Entpacken: OK", "2026-12-08 07:05:09.042 Entpacken: OK\r\n"},
        // umlauts take two bytes, the euro sign three
        {L"\u00dcber \u20ac",
         "2026-12-08 07:05:09.042 \xc3\x9c"
         "ber \xe2\x82\xac\r\n"},
        // a surrogate pair is one character of four bytes
        {L"\xd83d\xdcf7", "2026-12-08 07:05:09.042 \xf0\x9f\x93\xb7\r\n"},
        // a lone surrogate (a folder name can hold one) becomes U+FFFD
        {L"a\xdc00z\xd800", "2026-12-08 07:05:09.042 a\xef\xbf\xbdz\xef\xbf\xbd\r\n"},
        // more lines: each ends in CR LF, the later ones indented under the text
        {L"Nicht entfernt:\nC:\\x\r\nC:\\y",
         "2026-12-08 07:05:09.042 Nicht entfernt:\r\n                        C:\\x\r\n"
         "                        C:\\y\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatRunLogLine(clock, c.text), c.line);
    EXPECT_EQ(StepLogText(L"Registrierung", L"OK", 176), L"Registrierung: OK (176 ms)");
}

TEST(RunLogText, OnlyAnEmptyFileOrOneThatBeginsAsAFullLogIsAppendedTo) {
    const std::string mark = "\xEF\xBB\xBF";
    const struct {
        std::string head;
        bool appendable;
    } cases[] = {
        {"", true},                                   // an empty file
        {mark, true},                                 // a log cut after its mark
        {mark + "2026-12-08 07:05:09.042 ", true},    // a whole log line's beginning
        {mark + "2026-12-0", true},                   // a beginning cut short
        {mark.substr(0, 2), true},                    // the mark cut short
        {"Liebe Frau Maier,", false},                 // a user's letter
        {std::string("MZ\x90\x00", 4), false},        // a program
        {"07.12.2026 - 08:15:42: Warnung", false},    // the failure log
        {"2026-12-08 07:05:09.042 ", false},          // no byte-order mark
        {mark + "2026-12-08T07:05:09", false},        // another clock
        {mark + "Brief", false},                      // UTF-8 text of someone else's
        {std::string("\xFF\xFE\x32\x00", 4), false},  // UTF-16
    };
    for (const auto& c : cases) EXPECT_EQ(IsRunLogBeginning(c.head), c.appendable) << c.head;
}

}  // namespace
}  // namespace pixelmoor
