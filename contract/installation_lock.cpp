#include "contract/installation_lock.h"

#include "contract/product.h"

namespace pixelmoor {

bool ViewerIsRunning() noexcept { return ::FindWindowW(kViewerWindowClass, nullptr) != nullptr; }

InstallationLock TryLockInstallation() {
    UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, kInstallationMutexName));
    if (!mutex) return {};
    const DWORD waited = ::WaitForSingleObject(mutex.get(), 0);
    // A mutex whose owner ended without releasing it is abandoned: ours now.
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return {};
    return InstallationLock(UniqueOwnedMutex(mutex.release()));
}

}  // namespace pixelmoor
