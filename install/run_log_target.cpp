#include "install/run_log_target.h"

#include <string>
#include <vector>

#include "archive/payload_files.h"
#include "framework/run_log.h"
#include "framework/text_rules.h"
#include "install/driver_rules.h"
#include "contract/install_log.h"

namespace pixelmoor {

void LeaveRunLogOutOfTheTarget(std::wstring_view folder) {
    if (RunLogPath().empty()) return;
    const std::optional<std::wstring> work = WorkingFolder(folder);
    if (!work || work->empty()) return;
    const std::wstring target = WithTrailingBackslash(*work);
    std::vector<std::wstring> files;
    for (const std::wstring_view name : PayloadFileNames()) files.push_back(target + std::wstring(name));
    if (!RunLogIsOneOf(files)) return;
    const std::wstring path = RunLogPath();
    AbandonRunLog();
    WriteLogEntry(kRunLogUnwritableEntry + path);
}

}  // namespace pixelmoor
