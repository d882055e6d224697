#include "install/driver.h"

namespace pixelmoor {

int RunInstallation(InstallOptions&) { return 1; }  // placeholder until the driver lands

}  // namespace pixelmoor
