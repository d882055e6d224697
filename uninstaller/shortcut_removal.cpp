#include "uninstaller/shortcut_removal.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <optional>

#include "framework/folder_path.h"
#include "contract/product.h"
#include "framework/system_folders.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "integration/shortcut_rules.h"
#include "integration/version_rules.h"
#include "uninstaller/file_removal.h"
#include "uninstaller/uninstall_rules.h"

namespace pixelmoor {

namespace {

// Characters of a link's target as the shell hands it out.
constexpr int kLinkTargetBuffer = kLongPathLimit + 1;

// The target of a shortcut; empty when it cannot be read. Read from the
// link's item list, which holds every name in Unicode: the path that the link
// object hands out may have come through the ANSI code page, which turns
// Cyrillic or Chinese folder names into question marks.
std::optional<std::wstring> LinkTarget(const std::wstring& linkPath) {
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return std::nullopt;
    const ComPtr<IPersistFile> file = link.query<IPersistFile>(IID_IPersistFile);
    if (!file || FAILED(file->Load(linkPath.c_str(), STGM_READ))) return std::nullopt;
    std::wstring target(kLinkTargetBuffer, L'\0');
    UniqueCoTaskMem<ITEMIDLIST> items;
    if (FAILED(link->GetIDList(items.put())) || !items ||
        !::SHGetPathFromIDListEx(items.get(), target.data(), kLinkTargetBuffer, GPFIDL_DEFAULT)) {
        if (FAILED(link->GetPath(target.data(), kLinkTargetBuffer, nullptr, 0))) return std::nullopt;
    }
    target.resize(target.find(L'\0'));
    return target;
}

void RemoveLinkIfOurs(const std::wstring& linkPath, std::span<const FolderId> folders,
                      std::vector<std::wstring>& left) {
    if (::GetFileAttributesW(linkPath.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    const std::optional<std::wstring> target = LinkTarget(linkPath);
    if (!target ||
        std::none_of(folders.begin(), folders.end(), [&](const FolderId& folder) { return folder.Holds(*target); }))
        return;
    if (!RemoveFileIfPresent(linkPath)) left.push_back(linkPath);
}

void RemoveScope(std::span<const FolderId> folders, int programsId, int desktopId, std::vector<std::wstring>& left) {
    const std::wstring& folder = folders.front().path();
    if (const std::optional<std::wstring> programs = ShellFolder(programsId)) {
        const std::wstring group = WithTrailingBackslash(*programs) + kGroupFolderName + L'\\';
        // Every shortcut of the group, the uninstaller's too (Windows 8 makes
        // none, an earlier installation may have).
        for (const ShortcutLink& link : StartMenuGroupLinks(folder, kGenerationWindows10))
            RemoveLinkIfOurs(group + link.fileName, folders, left);
        // Only when it is empty, and never a link: under Wine that would remove what it leads to.
        if (!IsLink(group)) ::RemoveDirectoryW(group.c_str());
    }
    const std::optional<std::wstring> desktop = ShellFolder(desktopId);
    if (!desktop) return;
    const std::wstring viewer = folder + kViewerExe;
    for (const ShortcutLink& link : {ViewerDesktopLink(viewer), ThumbnailsDesktopLink(viewer)})
        RemoveLinkIfOurs(WithTrailingBackslash(*desktop) + link.fileName, folders, left);
}

}  // namespace

void RemoveShortcuts(std::span<const FolderId> folders, std::vector<std::wstring>& left) {
    RemoveScope(folders, CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY, left);
    RemoveScope(folders, CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_DESKTOPDIRECTORY, left);
}

}  // namespace pixelmoor
