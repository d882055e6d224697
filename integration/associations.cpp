#include "integration/associations.h"

#include <shlobj.h>
#include <windows.h>

#include "integration/windows_version.h"

namespace pixelmoor {

// Windows 11 ignores these values, and older systems have no such apps.
bool HidesStoreApps() { return CurrentWindowsGeneration() == kGenerationWindows10; }

void NotifyAssociationsChanged() {
    ::SystemParametersInfoW(SPI_SETICONS, 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSHNOWAIT, nullptr, nullptr);
}

}  // namespace pixelmoor
