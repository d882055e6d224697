#include "install/install_log.h"

namespace pixelmoor {

void WriteLogEntry(std::wstring_view) {}  // placeholder

}  // namespace pixelmoor
