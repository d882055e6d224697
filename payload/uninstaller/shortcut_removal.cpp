#include "payload/uninstaller/shortcut_removal.h"

#include <shlobj.h>
#include <windows.h>

#include <optional>

#include "framework/product.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "integration/shortcut_rules.h"
#include "integration/version_rules.h"
#include "payload/uninstaller/file_removal.h"
#include "payload/uninstaller/uninstall_rules.h"

namespace pixelmoor {

namespace {

// Characters of a link's target as the shell hands it out.
constexpr int kLinkTargetBuffer = 32768;

// A shell folder ending in a backslash; empty when the system cannot name it.
std::wstring ShellFolder(int folderId) {
    std::wstring path(MAX_PATH, L'\0');
    if (FAILED(::SHGetFolderPathW(nullptr, folderId, nullptr, SHGFP_TYPE_CURRENT, path.data()))) return {};
    path.resize(path.find(L'\0'));
    if (!path.empty() && !EndsWithBackslash(path)) path += L'\\';
    return path;
}

// The target of a shortcut as it was written; empty when it cannot be read.
std::optional<std::wstring> LinkTarget(const std::wstring& linkPath) {
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return std::nullopt;
    const ComPtr<IPersistFile> file = link.query<IPersistFile>(IID_IPersistFile);
    if (!file || FAILED(file->Load(linkPath.c_str(), STGM_READ))) return std::nullopt;
    std::wstring target(kLinkTargetBuffer, L'\0');
    if (FAILED(link->GetPath(target.data(), kLinkTargetBuffer, nullptr, SLGP_RAWPATH))) return std::nullopt;
    target.resize(target.find(L'\0'));
    return target;
}

void RemoveLinkIfOurs(const std::wstring& linkPath, const std::wstring& folder, std::vector<std::wstring>& left) {
    if (::GetFileAttributesW(linkPath.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    const std::optional<std::wstring> target = LinkTarget(linkPath);
    if (!target || !IsInsideFolder(*target, folder)) return;
    if (!RemoveFileIfPresent(linkPath)) left.push_back(linkPath);
}

void RemoveScope(const std::wstring& folder, int programsId, int desktopId, std::vector<std::wstring>& left) {
    const std::wstring programs = ShellFolder(programsId);
    if (!programs.empty()) {
        const std::wstring group = programs + kGroupFolderName + L'\\';
        // Every shortcut of the group, the uninstaller's too (Windows 8 makes
        // none, an earlier installation may have).
        for (const LinkSpec& link : StartMenuGroupLinks(folder, kGenerationWindows10))
            RemoveLinkIfOurs(group + link.fileName, folder, left);
        ::RemoveDirectoryW(group.c_str());  // only when it is empty
    }
    const std::wstring desktop = ShellFolder(desktopId);
    if (desktop.empty()) return;
    const std::wstring viewer = folder + kViewerExe;
    for (const LinkSpec& link : {ViewerDesktopLink(viewer), ThumbnailsDesktopLink(viewer)})
        RemoveLinkIfOurs(desktop + link.fileName, folder, left);
}

}  // namespace

void RemoveShortcuts(const std::wstring& folder, std::vector<std::wstring>& left) {
    RemoveScope(folder, CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY, left);
    RemoveScope(folder, CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_DESKTOPDIRECTORY, left);
}

}  // namespace pixelmoor
