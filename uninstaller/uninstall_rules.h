// The uninstaller's rules that need no system: the proof it hands its
// private copy (its command line is contract/uninstall_command_line.h), the
// order in which the payload's files and folders go, which paths lie in the install folder, which folder the
// registration names, the settings files that a purge removes, and the text
// of its log entries.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "contract/exit_codes.h"
#include "contract/uninstall_command_line.h"
// The uninstaller's log, kUninstallLogName.
#include "contract/install_log_text.h"

namespace pixelmoor {

// The exit codes (contract/exit_codes.h) mean here: kExitSuccess removed;
// kExitUserCancelled the user answered No (interactive only), nothing
// removed; kExitFailed something could not be removed, the log says what;
// kExitAlreadyRunning the viewer runs or a setup installs, nothing removed;
// kExitRestartRequired removed, but the uninstaller's own file and the
// install folder can only go at the next restart (the install folder lies on
// another drive than the temporary folder, so the running uninstaller could
// not be moved out of it).

// What makes the private copy the worker: a handle of the channel that the
// program which started it made and let it inherit, and the random token that
// this program wrote into the channel. Anyone can write "/worker" on a command
// line; only the starter holds a channel with the token in it.
struct WorkerProof {
    std::uintptr_t channel = 0;  // the inherited handle's value
    std::wstring token;          // kWorkerTokenDigits lower-case hex digits

    bool operator==(const WorkerProof&) const = default;
};
inline constexpr std::size_t kWorkerTokenDigits = 32;  // 128 random bits

// "<handle in decimal>:<token>", the value of "/worker=".
[[nodiscard]] std::wstring WorkerProofText(const WorkerProof& proof);

// The proof in a "/worker=" value written as WorkerProofText writes it;
// nullopt for anything else.
[[nodiscard]] std::optional<WorkerProof> ParseWorkerProof(std::wstring_view text);

// One entry of the payload archive, as the payload's build lists it.
struct PayloadEntry {
    std::wstring_view name;  // "/" separators; a folder ends in "/"
    // The CRC-32 of a file's bytes as the setup writes them; none for folders
    // and for the uninstaller's own file, which cannot carry its own checksum.
    std::optional<std::uint32_t> crc;
};

// A file of the payload that the uninstaller removes while it still holds
// the bytes with this checksum.
struct PayloadFile {
    std::wstring path;  // relative to the install folder
    std::uint32_t crc = 0;

    bool operator==(const PayloadFile&) const = default;
};

// The files and folders of the payload, relative to the install folder and
// written with backslashes.
struct PayloadRemovalPlan {
    // In archive order; without the uninstaller itself and without any file
    // that has no checksum to compare (what cannot be checked stays).
    std::vector<PayloadFile> files;
    std::vector<std::wstring> folders;  // every folder, listed or implied, deepest first
    // The programs among the files: while one of them runs from the install
    // folder, its file is in use and nothing is removed.
    std::vector<std::wstring> programs;
};

[[nodiscard]] PayloadRemovalPlan PlanPayloadRemoval(std::span<const PayloadEntry> entries);

// True when path names something inside folder (which ends in a backslash):
// it starts with the folder, compared without regard to case (ASCII and
// Latin-1 letters), has a name after it, and no part of that rest is "." or
// "..".
[[nodiscard]] bool IsInsideFolder(std::wstring_view path, std::wstring_view folder);

// True when two folder texts name the same folder: compared as IsInsideFolder
// compares, with blanks trimmed and a trailing backslash added to both. The
// system can tell more (another drive letter for the same disk, capitals in
// other scripts); this is what the text alone tells.
[[nodiscard]] bool IsSameFolder(std::wstring_view a, std::wstring_view b);

// The folder that the registration in the registry names: the uninstall
// entry's install location, or else (without that value, or with one that is
// empty or blank) the folder of the product's open command; none when neither
// names one. When it names another installation, which may have registered
// itself since, that registration stays.
[[nodiscard]] std::optional<std::wstring> RegisteredFolder(const std::optional<std::wstring>& installLocation,
                                                           const std::optional<std::wstring>& commandFolder);

// The recorded settings folder with its variables expanded through lookup,
// as the setup expands it, and a folder without a drive ("\Pixelmoor") on
// the install folder's drive, where the setup put it. Empty when none is
// recorded. Nothing when the folder cannot be told: a variable in it is
// undefined here (or its value too long to use), so that the expansion would
// name another folder than the setup's, or it is a relative path.
[[nodiscard]] std::optional<std::wstring> ExpandRecordedFolder(
    std::wstring_view recorded, std::wstring_view installFolder,
    const std::function<std::optional<std::wstring>(std::wstring_view)>& lookup);

// What a purge removes: the settings file (and the setup's conversion
// leftover) in the install folder and in the recorded settings folder
// (expanded; empty when none is recorded), and that folder when it is left
// empty: only a folder of the product's own name "Pixelmoor", never the
// install folder or one that the user named otherwise (a Desktop, a Documents).
struct SettingsPlaces {
    std::vector<std::wstring> files;
    std::wstring folder;  // empty: no folder of its own to remove

    bool operator==(const SettingsPlaces&) const = default;
};
[[nodiscard]] SettingsPlaces SettingsToPurge(std::wstring_view installFolder, std::wstring_view expandedIniFolder);

// Why something of the installation stays after an uninstallation that is
// not a failure.
enum class KeptReason {
    Changed,          // a file of the payload that no longer holds what the setup wrote
    Link,             // a link to another place: neither followed nor removed
    SystemFolder,     // a drive or a shell folder (profile, Documents, Program Files...): never removed
    NotEmpty,         // the install folder, which holds files that are not the installation's
    SettingsUnknown,  // the recorded settings folder, whose variable is undefined: nothing there removed
};

struct KeptItem {
    std::wstring path;
    KeptReason reason = KeptReason::Changed;

    bool operator==(const KeptItem&) const = default;
};

// What an uninstallation leaves: what could not be removed (a failure) and
// what stays on purpose.
struct RemovalOutcome {
    std::vector<std::wstring> left;
    std::vector<KeptItem> kept;

    // Adds an item once, however often it is met.
    void Keep(std::wstring path, KeptReason reason);
};

// A log entry or a message part: the introduction, then one line per item.
[[nodiscard]] std::wstring ListText(std::wstring_view introduction, std::span<const std::wstring> lines);

// The uninstaller's exit code for the exit code of its private copy: the
// copy's own codes pass through, anything else (the copy was ended from
// outside) counts as an incomplete removal.
[[nodiscard]] int LauncherExitCode(std::uint32_t workerCode) noexcept;

}  // namespace pixelmoor
