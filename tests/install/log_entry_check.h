// Reading install log entries back in the Windows tests: today's date, a
// local time within the run, then the exact bytes of the rest.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/win_test_support.h"

namespace pixelmoor::test {

inline const std::string kLogSeparator = std::string(48, '-') + "\r\n";

// The user's short date as the log writes it (ASCII in the test prefix).
inline std::string TodayForLog() {
    wchar_t date[256];
    const int length = ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 256);
    return Narrow(std::wstring(date, length > 0 ? length - 1 : 0));
}

inline int SecondOfDayNow() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return now.wHour * 3600 + now.wMinute * 60 + now.wSecond;
}

// Takes one entry "<date> - HH:MM:SS: <rest>" off the front of log and checks
// it: today's date, a local time within [earliest, latest] (seconds of the
// day), then exactly `rest`: the entry text and the separator line.
inline void TakeLogEntry(std::string& log, const std::string& rest, int earliest, int latest) {
    const std::string head = TodayForLog() + " - ";
    ASSERT_EQ(log.substr(0, head.size()), head);
    const std::string time = log.substr(head.size(), 8);
    ASSERT_EQ(time.size(), 8u);
    for (std::size_t i : {0, 1, 3, 4, 6, 7}) ASSERT_TRUE(time[i] >= '0' && time[i] <= '9') << time;
    ASSERT_EQ(time[2], ':');
    ASSERT_EQ(time[5], ':');
    const int second =
        std::stoi(time.substr(0, 2)) * 3600 + std::stoi(time.substr(3, 2)) * 60 + std::stoi(time.substr(6, 2));
    if (earliest <= latest) {  // a run across midnight is not checked
        EXPECT_GE(second, earliest);
        EXPECT_LE(second, latest);
    }
    ASSERT_EQ(log.substr(head.size() + 8, 2), ": ");
    const std::size_t restAt = head.size() + 10;
    ASSERT_EQ(log.substr(restAt, rest.size()), rest);
    log.erase(0, restAt + rest.size());
}

}  // namespace pixelmoor::test
