#include "framework/folder_path.h"

#include <windows.h>

#include "framework/current_directory.h"
#include "framework/folder_rules.h"
#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

// A folder that can be made the current directory exists and can be entered.
bool CanEnter(const std::wstring& folder) { return ::SetCurrentDirectoryW(folder.c_str()) != FALSE; }

}  // namespace

int EnsureFolderPath(std::wstring& path) {
    std::uint32_t createdLevels = 0;
    return EnsureFolderPath(path, createdLevels);
}

int EnsureFolderPath(std::wstring& path, std::uint32_t& createdLevels) {
    createdLevels = 0;
    if (!PrepareFolderText(path)) return 0;
    const CurrentDirectoryScope restore;
    if (CanEnter(path)) return 1;
    FolderWalk walk = PlanFolderLevels(path);
    // Levels that exist already (and a network path's server and share) fail
    // here without harm.
    for (const std::wstring& level : walk.levels)
        if (::CreateDirectoryW(level.c_str(), nullptr)) ++createdLevels;
    path = std::move(walk.path);
    return CanEnter(path) ? 1 : 0;
}

bool IsLink(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(WithoutTrailingBackslash(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace pixelmoor
