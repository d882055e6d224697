#include "install/install_folder_rules.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>

namespace pixelmoor {
namespace {

TEST(InstallFolderRules, ExistingFolderIsTheFolderOfTheQuotedViewer) {
    struct Case {
        std::wstring command;
        std::optional<std::wstring> folder;
    } cases[] = {
        {L"\"D:\\Tools\\Pixelmoor\\p_moor64.exe\" \"%1\"", L"D:\\Tools\\Pixelmoor\\"},  // as the registration writes it
        {L"\"D:\\Tools\\Pixelmoor\\P_MOOR64.EXE\" \"%1\"", std::nullopt},  // other capitals: not recognised
        {L"", std::nullopt},                                               // empty value
        {L"\"D:\\Tools\\Pixelmoor\\viewer.exe\" \"%1\"", std::nullopt},    // another program
        {L"\"C:\\Program Files\\Pixelmoor\\p_moor64.exe\"", L"C:\\Program Files\\Pixelmoor\\"},  // without argument
        {L"\"\\\\server\\share\\Pixelmoor\\p_moor64.exe\" \"%1\"", L"\\\\server\\share\\Pixelmoor\\"},  // network path
        {L"\"D:p_moor64.exe\" \"%1\"", L"D:\\"},  // drive only: the backslash is added
        // unquoted, with blanks in the path: up to the last backslash before the name
        {L"C:\\Program Files\\Pixelmoor\\p_moor64.exe %1", L"C:\\Program Files\\Pixelmoor\\"},
        // unquoted with a quoted argument: the argument's quote ends the path
        {L"C:\\Pixelmoor\\p_moor64.exe \"%1\"", L"C:\\Pixelmoor\\"},
        {L"\"p_moor64.exe\" \"%1\"", std::nullopt},  // no folder at all: nothing to update
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ExistingInstallFolderFromCommand(cases[i].command), cases[i].folder) << "case " << i;
}

TEST(InstallFolderRules, SplitPathFollowsTheRuntimeRules) {
    struct Case {
        std::wstring path;
        PathParts parts;
    } cases[] = {
        {L"C:\\a\\b.c.exe", {L"C:", L"\\a\\", L"b.c", L".exe"}},        // last dot starts the extension
        {L"name", {L"", L"", L"name", L""}},                            // name only
        {L"D:", {L"D:", L"", L"", L""}},                                // drive only
        {L"\\\\srv\\s\\f.txt", {L"", L"\\\\srv\\s\\", L"f", L".txt"}},  // network path: no drive
        {L"C:/x/y/f", {L"C:", L"/x/y/", L"f", L""}},                    // forward slashes separate too
        {L"dir.x\\file", {L"", L"dir.x\\", L"file", L""}},              // a dot in the directory is no extension
        {L".hidden", {L"", L"", L"", L".hidden"}},                      // leading dot: all extension
        {L"x:y\\f", {L"x:", L"y\\", L"f", L""}},                        // any character before the colon is a drive
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const PathParts parts = SplitPath(cases[i].path);
        EXPECT_EQ(parts.drive, cases[i].parts.drive) << "case " << i;
        EXPECT_EQ(parts.directory, cases[i].parts.directory) << "case " << i;
        EXPECT_EQ(parts.name, cases[i].parts.name) << "case " << i;
        EXPECT_EQ(parts.extension, cases[i].parts.extension) << "case " << i;
    }
}

}  // namespace
}  // namespace pixelmoor
