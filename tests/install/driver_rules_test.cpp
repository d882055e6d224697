#include "install/driver_rules.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>

namespace pixelmoor {
namespace {

TEST(DriverRules, WorkingFolderIsTheNormalFormOrARefusal) {
    struct Case {
        std::wstring folder;
        std::optional<std::wstring> work;
    } cases[] = {
        {L"D:\\Tools\\Pixelmoor", L"D:\\Tools\\Pixelmoor\\"},    // the usual folder gets its backslash
        {L"C:\\Tools \\Pixelmoor ", L"C:\\Tools\\Pixelmoor\\"},  // the same text for every later step
        {L"", std::nullopt},                                     // message 5
        {L"Tools\\Rel", std::nullopt},                           // message 5: no root
        {L"..\\Up", std::nullopt},                               // message 5: no root
        {L"%ProgramFiles%\\Pix", std::nullopt},                  // message 5: no root
        {L"   ", L""},  // blanks only go on and fail to be created (message 11), as before
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(WorkingFolder(cases[i].folder), cases[i].work) << "case " << i;
}

}  // namespace
}  // namespace pixelmoor
