#include "install/install_folder_rules.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>

namespace pixelmoor {
namespace {

TEST(InstallFolderRules, EarlierInstallationIsOnlyAnAbsoluteViewerThatTheCommandStarts) {
    const std::wstring deep = L"D:\\" + std::wstring(120, L'd') + L"\\";
    struct Case {
        std::wstring command;
        std::optional<std::wstring> folder;
    } cases[] = {
        {L"\"D:\\Tools\\Pixelmoor\\p_moor64.exe\" \"%1\"", L"D:\\Tools\\Pixelmoor\\"},  // as the registration writes it
        {L"\"D:\\Tools\\Pixelmoor\\P_MOOR64.EXE\" \"%1\"", L"D:\\Tools\\Pixelmoor\\"},  // Windows ignores the capitals
        {L"", std::nullopt},                                                            // empty value
        {L"\"D:\\Tools\\Pixelmoor\\viewer.exe\" \"%1\"", std::nullopt},                 // another program
        {L"\"C:\\Program Files\\Pixelmoor\\p_moor64.exe\"", L"C:\\Program Files\\Pixelmoor\\"},  // without argument
        {L"\"\\\\server\\share\\Pixelmoor\\p_moor64.exe\" \"%1\"", L"\\\\server\\share\\Pixelmoor\\"},  // network path
        {L"\"" + deep + L"p_moor64.exe\" \"%1\"", deep},  // a long folder is read whole
        // another program that merely mentions the viewer among its arguments
        {L"\"C:\\windows\\system32\\cmd.exe\" /c start \"\" \"D:\\Tools\\p_moor64.exe\" \"%1\"", std::nullopt},
        {L"C:\\windows\\system32\\cmd.exe /c D:\\Tools\\p_moor64.exe %1", std::nullopt},  // the same unquoted
        {L"\"D:p_moor64.exe\" \"%1\"", std::nullopt},                 // relative to the drive's current folder
        {L"\"p_moor64.exe\" \"%1\"", std::nullopt},                   // no folder at all
        {L"\"Tools\\p_moor64.exe\" \"%1\"", std::nullopt},            // relative folder
        {L"\"\\Tools\\p_moor64.exe\" \"%1\"", std::nullopt},          // on whatever drive is current
        {L"\"D:\\Tools\\my_p_moor64.exe\" \"%1\"", std::nullopt},     // the name must be the whole file name
        {L"\"D:\\Tools\\p_moor64.exe.bak\" \"%1\"", std::nullopt},    // nor may anything follow it
        {L"\"D:\\Tools\\p_moor64.exe", std::nullopt},                 // the quote is never closed
        {L"\"\\\\server\\p_moor64.exe\"", std::nullopt},              // a share is no file
        {L"\"\\\\?\\D:\\Tools\\p_moor64.exe\"", std::nullopt},        // the long-path form is not ours
        {L"C:\\Pixelmoor\\p_moor64.exe \"%1\"", L"C:\\Pixelmoor\\"},  // unquoted: up to the first blank
        {L"C:\\Pixelmoor\\p_moor64.exe\t%1", L"C:\\Pixelmoor\\"},     // a tab ends it as well
        // unquoted with blanks in the path: Windows would start C:\Program
        {L"C:\\Program Files\\Pixelmoor\\p_moor64.exe %1", std::nullopt},
        {L" \"D:\\Tools\\p_moor64.exe\" \"%1\"", std::nullopt},  // a blank before the program
        // the folder in its normal form: one text for every later step
        {L"\"D:\\Tools \\.\\Old\\..\\Pixelmoor\\p_moor64.exe\" \"%1\"", L"D:\\Tools\\Pixelmoor\\"},
        {L"\"D:\\...\\p_moor64.exe\" \"%1\"", std::nullopt},  // a level of dots names no folder
        {L"\"C:\\p_moor64.exe\" \"%1\"", L"C:\\"},            // a drive's root
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ExistingInstallFolderFromCommand(cases[i].command), cases[i].folder) << "case " << i;
}

TEST(InstallFolderRules, NormalFormOfAnInstallFolder) {
    struct Case {
        std::wstring folder;
        std::optional<std::wstring> normal;
    } cases[] = {
        {L"D:\\Tools\\Pixelmoor", L"D:\\Tools\\Pixelmoor\\"},        // one trailing backslash
        {L"D:\\Tools\\Pixelmoor\\", L"D:\\Tools\\Pixelmoor\\"},      // already so
        {L"C:\\Tools \\Pixelmoor", L"C:\\Tools\\Pixelmoor\\"},       // blanks at the end of an inner level
        {L"  C:\\Tools\\Pixelmoor  ", L"C:\\Tools\\Pixelmoor\\"},    // blanks around the whole text
        {L"C:\\Tools.\\Pix. .", L"C:\\Tools\\Pix\\"},                // trailing dots go as Windows drops them
        {L"C:\\ Tools\\Pixelmoor", L"C:\\ Tools\\Pixelmoor\\"},      // a leading blank of a level is part of its name
        {L"C:/Tools/Pixelmoor", L"C:\\Tools\\Pixelmoor\\"},          // slashes (the wizard's text may have them)
        {L"C:\\\\Tools\\\\\\Pixelmoor", L"C:\\Tools\\Pixelmoor\\"},  // runs of backslashes
        {L"C:\\Tools\\.\\Pixelmoor", L"C:\\Tools\\Pixelmoor\\"},     // "." stays where it is
        {L"C:\\Tools\\Old\\..\\Pixelmoor", L"C:\\Tools\\Pixelmoor\\"},           // ".." goes up one level
        {L"C:\\..\\..\\Pixelmoor", L"C:\\Pixelmoor\\"},                          // never above the root
        {L"C:\\Tools\\.. \\Pixelmoor", L"C:\\Pixelmoor\\"},                      // ".." with a trailing blank
        {L"C:\\", L"C:\\"},                                                      // a drive's root
        {L"c:\\x", L"c:\\x\\"},                                                  // the drive letter keeps its case
        {L"\\\\server\\share\\Pixelmoor", L"\\\\server\\share\\Pixelmoor\\"},    // network path
        {L"\\\\server \\share.\\Pixelmoor", L"\\\\server\\share\\Pixelmoor\\"},  // server and share trimmed too
        {L"\\\\server\\share\\..\\x", L"\\\\server\\share\\x\\"},                // ".." stops at the share
        {L"", std::nullopt},                                                     // nothing
        {L"   ", std::nullopt},                                                  // blanks only
        {L"Tools\\Rel", std::nullopt},                                           // relative to the current folder
        {L"..\\Up", std::nullopt},                                               // relative to its parent
        {L"%ProgramFiles%\\Pix", std::nullopt},                                  // a variable that nobody expands
        {L"\\Tools\\Pix", std::nullopt},                                         // on whatever drive is current
        {L"C:Tools", std::nullopt},                                              // relative to C:'s current folder
        {L"C:", std::nullopt},                                                   // the current folder of C:
        {L"1:\\x", std::nullopt},                                                // no drive letter
        {L"\\\\server", std::nullopt},                                           // a server without a share
        {L"\\\\server\\", std::nullopt},                                         // an empty share
        {L"\\\\\\share\\x", std::nullopt},                                       // an empty server
        {L"\\\\?\\C:\\x", std::nullopt},                                         // the long-path form
        {L"\\\\?.\\C:\\x", std::nullopt},                                        // nor may trimming lead to it
        {L"\\\\.\\C:\\x", std::nullopt},                                         // the device form
        {L"\\\\server\\ . \\x", std::nullopt},                                   // a share of dots and blanks
        {L"C:\\Tools\\...\\x", std::nullopt},                                    // a level of dots only
        {std::wstring(L"C:\\a\0b", 6), std::nullopt},  // a NUL would cut the text for the system
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(NormaliseInstallFolder(cases[i].folder), cases[i].normal) << "case " << i;
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
