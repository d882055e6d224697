// What must not run while an installation or an uninstallation works: the
// viewer, the other programs of an installation, and another setup. Only one
// installation of the viewer runs at a time on a machine: two setups writing
// the same files, settings and registry keys at once would leave a mix of
// both. The lock is a named mutex in the global namespace, so setups of
// other sessions (a deployment service, another user) see it too.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "contract/product.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

// Holds the installation lock for as long as it lives (on the thread that
// took it, which is the one that installs). Empty when another setup held it.
class InstallationLock {
public:
    InstallationLock() noexcept = default;
    explicit InstallationLock(UniqueOwnedMutex mutex) noexcept : mutex_(std::move(mutex)) {}

    explicit operator bool() const noexcept { return static_cast<bool>(mutex_); }

    // Lets the lock go before the holder ends, so that the uninstaller of an
    // earlier installation, which takes it, can run.
    void Release() noexcept { mutex_.reset(); }

private:
    UniqueOwnedMutex mutex_;
};

// Takes the lock without waiting. A lock that a killed setup left behind is
// taken over. An empty result means another installation is in progress:
// the caller installs nothing and reports string 7. Silent start-up logs it
// and ends with exit code 1618, which deployment tools retry; the wizard
// takes the lock in the ready page's Next handler around RunInstallation and,
// when it is held, shows string 7 in an error box and stays on the page.
[[nodiscard]] InstallationLock TryLockInstallation();

// The viewer runs: a top-level window of its class exists. Its files are in
// use then, so that nothing of it is installed or removed meanwhile.
[[nodiscard]] bool ViewerIsRunning() noexcept;

// The path of one of the programs (paths below folder, which ends in a
// backslash) that runs from folder: a process whose image is that very file,
// told by its identity, not by how its path is written. Its file is in use,
// so an update or a removal would stop half way. The calling process never
// counts: the uninstaller runs from the folder it removes. Empty when none
// runs.
[[nodiscard]] std::optional<std::wstring> RunningProgramIn(const std::wstring& folder,
                                                           std::span<const std::wstring_view> programs);

}  // namespace pixelmoor
