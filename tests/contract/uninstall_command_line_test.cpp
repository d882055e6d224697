#include "contract/uninstall_command_line.h"

#include <gtest/gtest.h>

namespace pixelmoor {
namespace {

std::string Narrow(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

struct ArgumentsCase {
    std::vector<std::wstring> arguments;
    UninstallOptions expected;
};

TEST(UninstallCommandLine, SwitchesAreWholeArgumentsInAnyCase) {
    const ArgumentsCase cases[] = {
        // No switch: the interactive uninstaller, settings kept.
        {{}, {}},
        // What the uninstall entry's quiet command runs.
        {{L"/silent"}, {true, false, L"", L"", L"", L""}},
        // Deployment tools may write switches in capitals.
        {{L"/SILENT", L"/Purge"}, {true, true, L"", L"", L"", L""}},
        // A switch is a whole argument, not a part of one.
        {{L"/silently", L"x/purge"}, {}},
        // Unknown arguments are passed over, the bare "/worker" of earlier versions too.
        {{L"/norestart", L"/worker", L"/silent"}, {true, false, L"", L"", L"", L""}},
        // The private copy's arguments; the folder gets its backslash.
        {{L"/worker=8:ab", L"/failurelog=C:\\Users\\Ida\\Pixelmoor_Uninstall.log",
          L"/folder=C:\\Program Files\\Pixelmoor"},
         {false, false, L"8:ab", L"C:\\Program Files\\Pixelmoor\\", L"C:\\Users\\Ida\\Pixelmoor_Uninstall.log", L""}},
        // The full log that anyone may ask for, as the setup's switch.
        {{L"/silent", L"/Log=D:\\Logs\\uninstall.log"}, {true, false, L"", L"", L"", L"D:\\Logs\\uninstall.log"}},
        // A folder that ends in a backslash keeps exactly one; blanks around it go.
        {{L"/FOLDER=D:\\Tools\\Pixel moor\\ "}, {false, false, L"", L"D:\\Tools\\Pixel moor\\", L"", L""}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ParseUninstallArguments(cases[i].arguments), cases[i].expected) << "case " << i;
}

TEST(UninstallCommandLine, ArgumentsAreQuotedForTheSystemsSplitting) {
    const struct {
        std::wstring_view argument, quoted;
    } cases[] = {
        {L"/silent", L"/silent"},                                        // nothing to quote
        {L"", L"\"\""},                                                  // an empty argument stays one
        {L"C:\\Program Files\\x.exe", L"\"C:\\Program Files\\x.exe\""},  // a blank
        {L"/folder=C:\\Pro gram\\", L"\"/folder=C:\\Pro gram\\\\\""},    // backslash before the closing quote
        {L"a\"b", L"\"a\\\"b\""},                                        // a quote inside
        {L"a\\\\\"b c", L"\"a\\\\\\\\\\\"b c\""},                        // backslashes before a quote
        {L"D:\\Tools\\Pixelmoor\\", L"D:\\Tools\\Pixelmoor\\"},          // backslashes elsewhere stay
        {L"tab\there", L"\"tab\there\""},                                // a tab
    };
    for (const auto& c : cases) EXPECT_EQ(QuoteArgument(c.argument), c.quoted) << Narrow(c.argument);

    UninstallOptions options;
    options.silent = true;
    options.purge = true;
    options.folder = L"C:\\Program Files\\Pixelmoor\\";
    options.logPath = L"D:\\Logs\\Pixelmoor_Uninstall.log";
    options.runLogPath = L"D:\\Logs\\full log.txt";
    options.workerProof = L"124:0f";
    EXPECT_EQ(UninstallCommandLine(L"C:\\Temp\\pm_uninstall-1\\pm_uninstall.exe", options),
              L"C:\\Temp\\pm_uninstall-1\\pm_uninstall.exe /worker=124:0f /silent /purge "
              L"/failurelog=D:\\Logs\\Pixelmoor_Uninstall.log \"/log=D:\\Logs\\full log.txt\" "
              L"\"/folder=C:\\Program Files\\Pixelmoor\\\\\"");
    // The setup starting an earlier installation's uninstaller with its full log.
    UninstallOptions earlier;
    earlier.silent = true;
    earlier.runLogPath = L"C:\\Users\\Ida Maier\\setup.log";
    EXPECT_EQ(UninstallCommandLine(L"D:\\Pix Alt\\pm_uninstall.exe", earlier),
              L"\"D:\\Pix Alt\\pm_uninstall.exe\" /silent \"/log=C:\\Users\\Ida Maier\\setup.log\"");
}

}  // namespace
}  // namespace pixelmoor
