#include "framework/resource_strings.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace pixelmoor {
namespace {

// The 300 letters of string 20: a to z, over and over.
std::wstring Alphabet(std::size_t count) {
    std::wstring text;
    for (std::size_t i = 0; i < count; ++i) text += static_cast<wchar_t>(L'a' + i % 26);
    return text;
}

TEST(ResourceStrings, LoadsTheStringCutAtTheLimit) {
    const std::wstring viewerRunning =
        L"Warnung: Pixelmoor l\u00e4uft!\nBeenden Sie bitte Pixelmoor bevor Sie mit der Installation fortsetzen!";
    struct Case {
        int id;
        std::size_t limit;
        std::wstring text;
    } cases[] = {
        {10, 259, viewerRunning},    // whole, with its umlaut and line feed
        {10, 8, L"Warnung:"},        // cut at the limit
        {20, 259, Alphabet(259)},    // longer than 259: cut, no overflow
        {20, 1023, Alphabet(300)},   // a larger limit gives all of it
        {21, 259, L"\u4e2d\u00fc"},  // characters outside Latin-1 pass unchanged
        {30, 259, L""},              // no such string
        {10, 0, L""},                // a limit of 0
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(LoadResourceString(cases[i].id, cases[i].limit), cases[i].text) << "case " << i;
}

}  // namespace
}  // namespace pixelmoor
