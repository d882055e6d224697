// The uninstaller's command line, written by whoever starts it (the setup
// starting an earlier installation's uninstaller, the uninstaller starting
// its private copy) and read by the uninstaller: one builder and one parser,
// so that both sides speak the same grammar. Switches are whole arguments,
// as the system splits a command line, with their names in any case.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace pixelmoor {

struct UninstallOptions {
    bool silent = false;  // "/silent": no window at all
    bool purge = false;   // "/purge": the settings files go too
    // Set only on the command line of the private copy that does the work:
    std::wstring workerProof;  // "/worker=": the proof that the starter made it its worker
    std::wstring folder;       // "/folder=": the install folder, ending in a backslash
    std::wstring logPath;      // "/failurelog=": where what was left or kept is recorded
    // Any start:
    std::wstring runLogPath;  // "/log=": the full log, as the setup keeps it (the copy gets it made absolute)

    bool operator==(const UninstallOptions&) const = default;
};

// The options from the arguments after the program's name, as the system
// splits a command line. Switch names are compared without regard to case;
// anything else is passed over.
[[nodiscard]] UninstallOptions ParseUninstallArguments(std::span<const std::wstring> arguments);

// The argument written so that the system's splitting gives it back exactly:
// in double quotes when it is empty or holds blanks, tabs or quotes, with the
// backslashes before a quote (and before the closing quote) doubled.
[[nodiscard]] std::wstring QuoteArgument(std::wstring_view argument);

// The command line that starts the uninstaller at program with options:
// each switch that is set, in the order "/worker=", "/silent", "/purge",
// "/failurelog=", "/log=", "/folder=", quoted by QuoteArgument, so that
// ParseUninstallArguments gives the options back.
[[nodiscard]] std::wstring UninstallCommandLine(std::wstring_view program, const UninstallOptions& options);

}  // namespace pixelmoor
