#include "install/install_folder_rules.h"

#include <algorithm>

#include "contract/product.h"
#include "framework/text_rules.h"

namespace pixelmoor {

std::wstring DefaultInstallFolderFrom(const std::optional<std::wstring>& programFilesDir) {
    if (!programFilesDir || programFilesDir->empty()) return kFallbackInstallFolder;
    std::wstring folder = *programFilesDir;
    if (!EndsWithBackslash(folder)) folder += L'\\';
    return folder + kProductName;
}

PathParts SplitPath(std::wstring_view path) {
    PathParts parts;
    if (path.size() >= 2 && path[1] == L':') {
        parts.drive = path.substr(0, 2);
        path.remove_prefix(2);
    }
    const std::size_t lastSeparator = path.find_last_of(L"/\\");
    if (lastSeparator != std::wstring_view::npos) {
        parts.directory = path.substr(0, lastSeparator + 1);
        path.remove_prefix(lastSeparator + 1);
    }
    const std::size_t lastDot = path.rfind(L'.');
    if (lastDot != std::wstring_view::npos) {
        parts.extension = path.substr(lastDot);
        path = path.substr(0, lastDot);
    }
    parts.name = path;
    return parts;
}

bool LiesInFolder(std::wstring_view folder, std::wstring_view defaultFolder) noexcept {
    return folder.find(defaultFolder) != std::wstring_view::npos;
}

}  // namespace pixelmoor
