#include "install/payload_in_use.h"

#include "archive/payload_reach.h"
#include "contract/installation_lock.h"
#include "install/driver_rules.h"

namespace pixelmoor {

std::optional<std::wstring> RunningPayloadProgram(std::wstring_view folderText) {
    const std::optional<std::wstring> folder = WorkingFolder(folderText);
    if (!folder || folder->empty()) return std::nullopt;
    return RunningProgramIn(*folder, PayloadPrograms());
}

}  // namespace pixelmoor
