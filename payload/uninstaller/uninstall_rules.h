// The uninstaller's rules that need no system: its command line and the one
// it hands its private copy, the order in which the payload's files and
// folders go, which paths lie in the install folder, the settings files that
// a purge removes, and the text of its log entry.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pixelmoor {

// Beside the setup's own log, in the current directory of the program that
// the user or a deployment tool started.
inline constexpr wchar_t kUninstallLogName[] = L"Pixelmoor_Uninstall.log";

// Exit codes: the ones the setup uses, which deployment tools know from
// Windows installers.
inline constexpr int kExitRemoved = 0;
inline constexpr int kExitDeclined = 1602;       // the user answered No (interactive only); nothing removed
inline constexpr int kExitIncomplete = 1603;     // something could not be removed; the log says what
inline constexpr int kExitViewerRunning = 1618;  // the viewer runs; nothing removed
// Removed, but the uninstaller's own file and the install folder can only go
// at the next restart (the install folder lies on another drive than the
// temporary folder, so the running uninstaller could not be moved out of it).
inline constexpr int kExitRestartCompletes = 3010;

struct UninstallOptions {
    bool silent = false;  // "/silent": no window at all
    bool purge = false;   // "/purge": the settings files go too
    // Set only on the command line of the private copy that does the work:
    bool worker = false;   // "/worker"
    std::wstring folder;   // "/folder=": the install folder, ending in a backslash
    std::wstring logPath;  // "/log=": where an incomplete removal is recorded

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

// The command line that starts the private copy at copyPath with options.
[[nodiscard]] std::wstring WorkerCommandLine(std::wstring_view copyPath, const UninstallOptions& options);

// The files and folders of the payload, relative to the install folder and
// written with backslashes.
struct PayloadRemovalPlan {
    std::vector<std::wstring> files;    // in archive order, without the uninstaller itself
    std::vector<std::wstring> folders;  // every folder, listed or implied, deepest first
};

// The plan for the payload's entry names ("/" separators, folders ending in "/").
[[nodiscard]] PayloadRemovalPlan PlanPayloadRemoval(std::span<const std::wstring_view> entries);

// True when path names something inside folder (which ends in a backslash):
// it starts with the folder, compared without regard to case (ASCII and
// Latin-1 letters), has a name after it, and no part of that rest is "." or
// "..".
[[nodiscard]] bool IsInsideFolder(std::wstring_view path, std::wstring_view folder);

// True when two folder texts name the same folder: compared as IsInsideFolder
// compares, with blanks trimmed and a trailing backslash added to both.
[[nodiscard]] bool IsSameFolder(std::wstring_view a, std::wstring_view b);

// Whether the registration in the registry is this installation's: it is not
// when the uninstall entry's install location, or else (without that value)
// the folder of the product's open command, names another folder. Another
// installation may have registered itself since; its registration stays.
[[nodiscard]] bool RegistrationIsOurs(const std::optional<std::wstring>& installLocation,
                                      const std::optional<std::wstring>& commandFolder, std::wstring_view folder);

// What a purge removes: the settings file (and the setup's conversion
// leftover) in the install folder and in the recorded settings folder
// (expanded; empty when none is recorded), and that folder when it is left
// empty (none when it is the install folder).
struct SettingsPlaces {
    std::vector<std::wstring> files;
    std::wstring folder;  // empty: no folder of its own

    bool operator==(const SettingsPlaces&) const = default;
};
[[nodiscard]] SettingsPlaces SettingsToPurge(std::wstring_view installFolder, std::wstring_view expandedIniFolder);

// The log entry of an incomplete removal: the introduction, then one line
// per thing left behind.
[[nodiscard]] std::wstring IncompleteRemovalText(std::wstring_view introduction,
                                                 std::span<const std::wstring> leftovers);

// The uninstaller's exit code for the exit code of its private copy: the
// copy's own codes pass through, anything else (the copy was ended from
// outside) counts as an incomplete removal.
[[nodiscard]] int LauncherExitCode(std::uint32_t workerCode) noexcept;

}  // namespace pixelmoor
