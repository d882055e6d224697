// The uninstaller runs its work from a copy of itself: a running program's
// file cannot be deleted, and the uninstaller's file is part of what it
// removes. The program that the user or a deployment tool started waits for
// the copy, so that it ends only when the uninstallation is complete.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "uninstaller/uninstall_rules.h"

namespace pixelmoor {

// The running program's own file.
[[nodiscard]] std::wstring OwnProgramPath();

// The folder of the running program, ending in a backslash.
[[nodiscard]] std::wstring OwnProgramFolder();

// What the copy did: its exit code and its report of what stays and why
// (empty when nothing stays).
struct WorkerResult {
    std::uint32_t code = 0;
    std::wstring report;
};

// Copies this program into a private folder newly made under the temporary
// folder (accessible to the user, the administrators and the system only;
// never a folder or file that someone placed there beforehand, nor a link),
// runs the copy with options as its worker (proven by a private channel, see
// worker_channel.h), waits for it while keeping this thread's messages
// flowing, and then removes the copy and the folder; what the system keeps in
// use goes at the next restart. nullopt when the copy could not be made or
// started.
[[nodiscard]] std::optional<WorkerResult> RunFromPrivateCopy(const UninstallOptions& options);

}  // namespace pixelmoor
