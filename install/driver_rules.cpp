#include "install/driver_rules.h"

#include <algorithm>

#include "framework/text_rules.h"
#include "install/install_folder_rules.h"
#include "install/settings_rules.h"

namespace pixelmoor {

std::optional<std::wstring> WorkingFolder(std::wstring_view folder) {
    if (folder.empty()) return std::nullopt;
    if (folder.find_first_not_of(L' ') == std::wstring_view::npos) return std::wstring();
    return NormaliseInstallFolder(folder);
}

bool InstallationFitsFolder(std::wstring_view folder, std::size_t longestEntry) {
    if (folder.size() > kFolderTextLimit) return false;
    const std::optional<std::wstring> work = WorkingFolder(folder);
    if (!work) return true;
    const std::size_t deepest = std::max(longestEntry, std::wstring_view(kSettingsTempFileName).size());
    return work->size() + deepest <= kSystemPathLimit;
}

std::wstring FailureLogText(std::wstring_view message, std::wstring_view folder, FolderPlace place) {
    const bool folderFirst = place == FolderPlace::kBeforeMessage;
    std::wstring text(folderFirst ? folder : message);
    text += L": ";
    text += folderFirst ? message : folder;
    return text;
}

bool AsksBeforeAssociating(const InstallOptions& options) noexcept {
    return AssociationRequested(options.selection) && !options.silent;
}

AssociationSelection AssociationsToRegister(const InstallOptions& options, bool confirmed) {
    if (!confirmed) return {};
    return options.selection;
}

}  // namespace pixelmoor
