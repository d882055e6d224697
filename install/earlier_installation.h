// Moving an installation: after a successful installation into another
// folder than the one the earlier installation recorded, the earlier copy
// is removed by its own uninstaller, so that no files, shortcuts or
// settings record of it stay behind without an uninstall entry. Only the
// product's own uninstaller is started, and it is waited for a bounded time.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace pixelmoor {

// How long the setup waits for the earlier uninstallation (the uninstaller
// and its private copy) to end: an old uninstaller that asks despite
// "/silent", or one stuck on a network folder, must not keep an unattended
// setup running after it has installed.
inline constexpr DWORD kEarlierUninstallWaitMs = 5 * 60 * 1000;

// The earlier installation as the registry names it before this installation
// registers itself in its place.
struct EarlierInstallation {
    std::wstring folder;  // its install folder, ending in a backslash
    // The SHA-256 of the uninstaller it installed, as its uninstall entry
    // records it (which only administrators can write); empty when the entry
    // records none, as those of releases before the record do.
    std::wstring uninstallerSha256;
};

// None on a first installation. Read before the installation.
[[nodiscard]] std::optional<EarlierInstallation> FindEarlierInstallation();

// When the target folder (as given) lies inside the earlier installation's
// folder, or holds it, by what the folders are rather than how they are
// written: the text that refuses the target before anything is written
// (silent: the failure log's entry, whose folder is the target's; wizard:
// the message). Neither uninstaller could then remove its copy without
// touching the other's files or shortcuts, so one would be left that nothing
// uninstalls. None otherwise, also when the earlier folder is gone.
[[nodiscard]] std::optional<std::wstring> NestedFolderRefusal(const std::optional<EarlierInstallation>& earlier,
                                                              std::wstring_view targetFolder);

// installedFolder: the folder just installed into. When the earlier
// installation's folder is another one, its pm_uninstall.exe is started from
// there with "/silent" only when it is provably the product's own: a plain
// file whose SHA-256 is the one its uninstall entry records. The file is held
// open without sharing writing or deleting from the check until the
// uninstaller has made its private copy, so what starts is what was checked.
// The whole uninstallation, the processes it starts included, is waited for
// at most waitMs. Each decision and the uninstaller's exit code go to the
// run log; nothing here changes the setup's own exit code. Returns the
// failure log's entry (for the wizard: its message) when the earlier copy
// stays: no uninstaller or not ours (not started), not started, ended with a
// failure, or not ended in time (left running); none when it was removed or
// there was nothing to remove. The caller must not hold the installation
// lock: the uninstaller takes it.
[[nodiscard]] std::optional<std::wstring> RemoveEarlierInstallation(const std::optional<EarlierInstallation>& earlier,
                                                                    std::wstring_view installedFolder,
                                                                    DWORD waitMs = kEarlierUninstallWaitMs);

}  // namespace pixelmoor
