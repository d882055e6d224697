#include "contract/install_log_text.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace pixelmoor {
namespace {

const std::string kSeparator = std::string(48, '-') + "\r\n";

TEST(InstallLogText, EntryBytesAreLatin1WithCrLfAndSeparator) {
    struct Case {
        std::wstring date;
        std::wstring text;
        std::string bytes;
    } cases[] = {
        // an empty target folder on a German system: the text ends after ": "
        {L"07.12.2026", L"Ung\u00fcltiges Zielverzeichnis!: ",
         "07.12.2026 - 08:15:42: Ung\xfcltiges Zielverzeichnis!: \r\n" + kSeparator},
        // the refusal while the viewer runs spans two lines, then the separator
        {L"07.12.2026",
         L"Warnung: Pixelmoor l\u00e4uft!\nBeenden Sie bitte Pixelmoor bevor Sie mit der Installation fortsetzen!",
         "07.12.2026 - 08:15:42: Warnung: Pixelmoor l\xe4uft!\r\n"
         "Beenden Sie bitte Pixelmoor bevor Sie mit der Installation fortsetzen!\r\n" +
             kSeparator},
        // a date of another locale is written as the system gives it
        {L"12/7/2026", L"x", "12/7/2026 - 08:15:42: x\r\n" + kSeparator},
        // an empty date (the system gave none) keeps the rest of the line
        {L"", L"x", " - 08:15:42: x\r\n" + kSeparator},
        // U+00FF is the last character with a byte of its own; U+0100 becomes "?"
        {L"d", L"\u00ff\u0100", "d - 08:15:42: \xff?\r\n" + kSeparator},
        // a folder with Greek and CJK letters: one "?" per character
        {L"d", L"D:\\\u03a9\u4e2d\\", "d - 08:15:42: D:\\??\\\r\n" + kSeparator},
        // a surrogate pair is one character and so one "?"
        {L"d", std::wstring{L'a', static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00), L'b'},
         "d - 08:15:42: a?b\r\n" + kSeparator},
        // a lone surrogate becomes "?" and does not swallow what follows
        {L"d", std::wstring{static_cast<wchar_t>(0xD83D), L'b'}, "d - 08:15:42: ?b\r\n" + kSeparator},
        // two line feeds in the message make an empty line
        {L"d", L"a\n\nb", "d - 08:15:42: a\r\n\r\nb\r\n" + kSeparator},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(FormatLogEntry(cases[i].date, L"08:15:42", cases[i].text), cases[i].bytes) << "case " << i;
}

TEST(InstallLogText, TimeIsTwoDigitsEach) {
    struct Case {
        int hour, minute, second;
        std::wstring time;
    } cases[] = {
        {8, 5, 3, L"08:05:03"},     // leading zeros
        {0, 0, 0, L"00:00:00"},     // midnight
        {23, 59, 59, L"23:59:59"},  // last second of the day: 24-hour clock
        {12, 30, 0, L"12:30:00"},   // noon is not 00
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(FormatLogTime(cases[i].hour, cases[i].minute, cases[i].second), cases[i].time) << "case " << i;
}

}  // namespace
}  // namespace pixelmoor
