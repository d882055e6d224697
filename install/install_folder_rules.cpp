#include "install/install_folder_rules.h"

#include "framework/product.h"
#include "framework/text_rules.h"

namespace pixelmoor {

std::optional<std::wstring> RegistryTextFromBytes(std::span<const unsigned char> data, std::size_t limit) {
    std::wstring text;
    for (std::size_t at = 0; at + 1 < data.size(); at += 2) {
        const wchar_t c = static_cast<wchar_t>(data[at] | (data[at + 1] << 8));
        if (c == L'\0') break;
        if (text.size() == limit) return std::nullopt;
        text += c;
    }
    return text;
}

std::wstring DefaultInstallFolderFrom(const std::optional<std::wstring>& programFilesDir) {
    if (!programFilesDir || programFilesDir->empty()) return kFallbackInstallFolder;
    std::wstring folder = *programFilesDir;
    if (!EndsWithBackslash(folder)) folder += L'\\';
    return folder + kProductName;
}

std::optional<std::wstring> ExistingInstallFolderFromCommand(std::wstring_view openCommand) {
    if (openCommand.find(kViewerExe) == std::wstring_view::npos) return std::nullopt;
    // The executable path is the quoted start of the command; an unquoted
    // command starts with the path itself.
    std::wstring_view path = openCommand.substr(openCommand.front() == L'"' ? 1 : 0);
    path = path.substr(0, path.find(L'"'));
    const PathParts parts = SplitPath(path);
    std::wstring folder = parts.drive + parts.directory;
    // A command without any folder names no installation we could update.
    if (folder.empty()) return std::nullopt;
    if (!EndsWithBackslash(folder)) folder += L'\\';
    return folder;
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
