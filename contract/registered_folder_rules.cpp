#include "contract/registered_folder_rules.h"

#include <algorithm>

#include "contract/product.h"
#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

constexpr wchar_t kBackslash = L'\\';

constexpr bool IsAsciiLetter(wchar_t c) noexcept { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool IsDotsOnly(std::wstring_view level) noexcept {
    return !level.empty() && level.find_first_not_of(L'.') == std::wstring_view::npos;
}

// A level without the blanks and dots at its end, which Windows drops when
// it creates the level.
std::wstring_view TrimLevelEnd(std::wstring_view level) noexcept {
    while (!level.empty() && (level.back() == L' ' || level.back() == L'.')) level.remove_suffix(1);
    return level;
}

}  // namespace

std::optional<std::size_t> AbsoluteRootLength(std::wstring_view path) noexcept {
    if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == L':' && path[2] == kBackslash) return 3;
    if (path.size() < 2 || path[0] != kBackslash || path[1] != kBackslash) return std::nullopt;
    const std::size_t serverEnd = path.find(kBackslash, 2);
    if (serverEnd == std::wstring_view::npos) return std::nullopt;
    const std::wstring_view server = path.substr(2, serverEnd - 2);
    if (server.empty() || IsDotsOnly(server) || server == L"?") return std::nullopt;
    const std::size_t shareEnd = std::min(path.find(kBackslash, serverEnd + 1), path.size());
    const std::wstring_view share = path.substr(serverEnd + 1, shareEnd - serverEnd - 1);
    if (share.empty() || IsDotsOnly(share)) return std::nullopt;
    return shareEnd;
}

std::optional<std::wstring> NormaliseInstallFolder(std::wstring_view folder) {
    if (folder.find(L'\0') != std::wstring_view::npos) return std::nullopt;
    std::wstring text(folder);
    std::replace(text.begin(), text.end(), L'/', kBackslash);
    TrimBlanks(text);
    const std::optional<std::size_t> rootLength = AbsoluteRootLength(text);
    if (!rootLength) return std::nullopt;

    std::wstring normal;
    const std::wstring_view whole(text);
    if (whole[0] == kBackslash) {
        // A network root keeps its server and share, trimmed like levels.
        const std::wstring_view root = whole.substr(2, *rootLength - 2);
        const std::size_t split = root.find(kBackslash);
        const std::wstring_view server = TrimLevelEnd(root.substr(0, split));
        const std::wstring_view share = TrimLevelEnd(root.substr(split + 1));
        // Trimmed, "?." would turn into the long-path form.
        if (server.empty() || server == L"?" || share.empty()) return std::nullopt;
        normal = std::wstring(L"\\\\") + std::wstring(server) + kBackslash + std::wstring(share) + kBackslash;
    } else {
        normal = whole.substr(0, *rootLength);
    }
    const std::size_t rootEnd = normal.size();

    std::wstring_view rest = whole.substr(*rootLength);
    while (!rest.empty()) {
        const std::size_t cut = std::min(rest.find(kBackslash), rest.size());
        std::wstring_view level = rest.substr(0, cut);
        rest.remove_prefix(std::min(cut + 1, rest.size()));
        while (!level.empty() && level.back() == L' ') level.remove_suffix(1);
        if (level.empty() || level == L".") continue;
        if (level == L"..") {
            // The parent of the root is the root itself, as Windows resolves it.
            if (normal.size() > rootEnd) normal.erase(normal.find_last_of(kBackslash, normal.size() - 2) + 1);
            continue;
        }
        level = TrimLevelEnd(level);
        if (level.empty()) return std::nullopt;
        normal += level;
        normal += kBackslash;
    }
    return normal;
}

std::optional<std::wstring> ViewerPathFromOpenCommand(std::wstring_view openCommand) {
    std::wstring_view program;
    if (!openCommand.empty() && openCommand.front() == L'"') {
        const std::size_t close = openCommand.find(L'"', 1);
        if (close == std::wstring_view::npos) return std::nullopt;
        program = openCommand.substr(1, close - 1);
    } else {
        program = openCommand.substr(0, openCommand.find_first_of(L" \t"));
    }
    const std::wstring_view viewerName = kViewerExe;
    const std::optional<std::size_t> rootLength = AbsoluteRootLength(program);
    if (!rootLength || program.find(L'\0') != std::wstring_view::npos) return std::nullopt;
    // The viewer's name stands after the root, behind a backslash of its own
    // or the root's.
    if (program.size() < *rootLength + viewerName.size()) return std::nullopt;
    const std::wstring_view name = program.substr(program.size() - viewerName.size());
    if (program[program.size() - viewerName.size() - 1] != kBackslash || !EqualsIgnoringCase(name, viewerName))
        return std::nullopt;
    return std::wstring(program);
}

std::optional<std::wstring> ExistingInstallFolderFromCommand(std::wstring_view openCommand) {
    const std::optional<std::wstring> viewer = ViewerPathFromOpenCommand(openCommand);
    if (!viewer) return std::nullopt;
    return NormaliseInstallFolder(
        std::wstring_view(*viewer).substr(0, viewer->size() - std::wstring_view(kViewerExe).size()));
}

}  // namespace pixelmoor
