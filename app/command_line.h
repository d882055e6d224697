// The unattended install's command line: the "/silent" switch that chooses the
// mode, and the switches that fill the install options. Pure text rules,
// without any system call, so the defaults that come from the registry are
// handed in.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "contract/setup_switches.h"
#include "install/install_options.h"
#include "integration/format_table.h"

namespace pixelmoor {

// A switch name and its value share 260 characters, so a value keeps at most
// 260 less the length of the name.
inline constexpr std::size_t kSwitchTextLimit = 260;

// The folders that apply when the command line names none: the folder of an
// existing installation with the settings folder its program-folder settings
// file records (empty when it records none), or else the default program
// folder with the settings folder "%APPDATA%\Pixelmoor".
struct SilentDefaults {
    std::wstring folder;
    std::wstring iniFolder;
};

// The arguments of a command line: what follows the program's own path. The
// path is split off as Windows does it: a path that starts with a double
// quote runs to the next one, any other up to the first blank or tab.
[[nodiscard]] std::wstring_view CommandLineArguments(std::wstring_view commandLine) noexcept;

// True when "/silent" occurs anywhere in the arguments, written exactly so
// (no other capitals, no word boundary needed). The program's own path does
// not count: a setup kept in a folder called silent-installers is no switch.
[[nodiscard]] bool HasSilentSwitch(std::wstring_view commandLine) noexcept;

// The install options of a silent run: the defaults, then the switches read
// from the arguments, however long the command line is (it ends at a NUL).
// The "/folder=" value is taken whole, however long: the installation refuses
// a folder beyond its limit rather than install into a cut one. Never fails.
[[nodiscard]] InstallOptions ParseSilentCommandLine(std::wstring_view commandLine, const SilentDefaults& defaults);

// The raw value of the first occurrence of switchName (which ends in "=") in
// the arguments: the text after it up to the next "/" or the end, blanks and
// quotes included, cut to 260 less the name's length. Empty optional when the
// switch does not occur.
[[nodiscard]] std::optional<std::wstring> ReadSwitchValue(std::wstring_view arguments, std::wstring_view switchName);

// The most characters a value of switchName keeps.
[[nodiscard]] constexpr std::size_t SwitchValueLimit(std::wstring_view switchName) noexcept {
    return switchName.size() < kSwitchTextLimit ? kSwitchTextLimit - switchName.size() : 0;
}

// The "/log=" value, unquoted as the other paths are: the file that gets the
// full log, taken whole however long (a path that the system cannot open is
// a log that cannot be written). Empty optional when the switch does not
// occur; an empty value asks for no log.
[[nodiscard]] std::optional<std::wstring> ReadLogSwitch(std::wstring_view commandLine);

// True when the first argument is "/?" or "/help" (in any capitals): the
// setup then shows its usage and installs nothing. Anywhere else they are
// no switches.
[[nodiscard]] bool IsHelpRequest(std::wstring_view commandLine) noexcept;

// Cleans a path value in place: trailing blanks go, then one closing and one
// opening double quote, then trailing blanks again. Leading blanks and
// backslashes stay as they are.
void UnquotePath(std::wstring& path);

// The values of "/assoc=": the image rows, or every row.
inline constexpr int kAssocImages = 1;
inline constexpr int kAssocEverything = 2;

// The file types that the "/assoc=" value chooses: kAssocImages the image
// rows, kAssocEverything every flag, anything else nothing.
[[nodiscard]] AssociationSelection AssocSwitchSelection(int value);

// Reads a number like wcstol in base 10: leading white space, an optional
// sign, digits up to the first non-digit; no digits give 0. A number beyond
// the range of a 32-bit int is clamped to its nearest end, as wcstol does
// with a 32-bit long, so that a huge value still means "yes".
[[nodiscard]] int ReadSwitchNumber(std::wstring_view text) noexcept;

}  // namespace pixelmoor
