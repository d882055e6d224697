#include "framework/folder_rules.h"

#include <algorithm>

#include "framework/text_rules.h"

namespace pixelmoor {

void AppendBackslashWithinLimit(std::wstring& path) {
    if (path.size() <= kBackslashLimit && !EndsWithBackslash(path)) path += L'\\';
}

bool PrepareFolderText(std::wstring& path) {
    TrimBlanks(path);
    if (path.empty()) return false;
    const std::size_t folderLength = EndsWithBackslash(path) ? path.size() - 1 : path.size();
    if (folderLength > kBackslashLimit) return false;
    AppendBackslashWithinLimit(path);
    return true;
}

FolderWalk PlanFolderLevels(std::wstring_view path) {
    FolderWalk walk;
    std::wstring buffer;
    std::size_t i = 0;
    if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        buffer = L"\\\\";
        i = 2;
    }
    const std::size_t end = std::min(path.size(), kFolderWalkLimit);
    for (; i < end; ++i) {
        if (path[i] != L'\\') {
            if (buffer.size() < kFolderBufferLimit) buffer += path[i];
            continue;
        }
        TrimBlanks(buffer);
        if (!buffer.empty()) walk.levels.push_back(buffer);
        AppendBackslashWithinLimit(buffer);
    }
    AppendBackslashWithinLimit(buffer);
    walk.path = std::move(buffer);
    return walk;
}

}  // namespace pixelmoor
