#include "integration/shortcuts.h"

#include <shlobj.h>
#include <windows.h>

#include <string>

#include "archive/folder_path.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "integration/shortcut_rules.h"
#include "integration/windows_version.h"

namespace pixelmoor {

namespace {

using UniqueItemIdList = UniqueCoTaskMem<ITEMIDLIST>;

// The shell link object and its two interfaces, named here rather than taken
// from the system's GUID library, which would bring thousands of others along.
constexpr CLSID kShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kShellLinkInterface = {0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kPersistFileInterface = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::optional<std::wstring> ToText(std::optional<std::wstring_view> text) {
    if (!text) return std::nullopt;
    return std::wstring(*text);
}

std::wstring WindowsFolder() {
    std::wstring folder(kSystemPathLimit + 1, L'\0');
    const UINT length = ::GetWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    folder.resize(length <= kSystemPathLimit ? length : 0);
    return folder;
}

// A shell folder, ending in a backslash. When the shell cannot name it, the
// Windows folder stands in (where writing usually fails for lack of rights).
std::wstring ShellFolder(int folderId) {
    std::wstring folder;
    UniqueItemIdList idList;
    if (SUCCEEDED(::SHGetSpecialFolderLocation(::GetActiveWindow(), folderId, idList.put()))) {
        std::wstring path(kSystemPathLimit + 1, L'\0');  // the size the shell writes a path into
        if (::SHGetPathFromIDListW(idList.get(), path.data())) folder = path.c_str();
    }
    if (folder.empty()) folder = WindowsFolder();
    if (!EndsWithBackslash(folder)) folder += L'\\';
    return folder;
}

// Writes one .lnk file through the shell's link object, with COM initialised
// for it (which only counts when the caller has initialised it already).
// Properties are set in the order icon, target, arguments, description, each
// only when given; an existing file is replaced.
int WriteShortcut(std::wstring_view folder, const LinkSpec& link) {
    ComScope com;
    ComPtr<IShellLinkW> shellLink;
    if (FAILED(::CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkInterface,
                                  shellLink.put_void())))
        return 0;
    // Released before the link object, as it was obtained after it.
    ComPtr<IPersistFile> file = shellLink.query<IPersistFile>(kPersistFileInterface);
    if (!file) return 0;
    const std::wstring path = std::wstring(folder) + link.fileName;
    if (link.iconFile) shellLink->SetIconLocation(link.iconFile->c_str(), link.iconIndex);
    shellLink->SetPath(link.target.c_str());
    if (link.arguments) shellLink->SetArguments(link.arguments->c_str());
    if (link.description) shellLink->SetDescription(link.description->c_str());
    return SUCCEEDED(file->Save(path.c_str(), TRUE)) ? 1 : 0;
}

}  // namespace

int CreateStartMenuGroup(std::wstring_view installFolder, int allUsers) {
    std::wstring group = ShellFolder(allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS) + kGroupFolderName;
    // The shortcuts are tried even when the folder cannot be made; each one then simply fails.
    [[maybe_unused]] const int groupReady = EnsureFolderPath(group);
    // File names are appended directly, also to a folder text too long to get its backslash there.
    if (!EndsWithBackslash(group)) group += L'\\';

    const std::vector<LinkSpec> links = StartMenuGroupLinks(installFolder, CurrentWindowsGeneration());
    int result = WriteShortcut(group, links.front());
    for (std::wstring_view replaced : kReplacedGroupLinks) ::DeleteFileW((group + std::wstring(replaced)).c_str());
    for (std::size_t i = 1; i < links.size(); ++i) result = WriteShortcut(group, links[i]);
    return result;
}

int CreateDesktopShortcut(std::wstring_view target, std::wstring_view linkFileName,
                          std::optional<std::wstring_view> iconFile, std::optional<std::wstring_view> description,
                          std::optional<std::wstring_view> arguments, int iconIndex, int allUsers) {
    const LinkSpec link{
        std::wstring(linkFileName), std::wstring(target), ToText(arguments), ToText(iconFile), iconIndex,
        ToText(description)};
    return WriteShortcut(ShellFolder(allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOP), link);
}

int CreateDesktopShortcuts(std::span<const LinkSpec> links, int allUsers) {
    const std::wstring desktop = ShellFolder(allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOP);
    int result = 0;
    for (const LinkSpec& link : links) result = WriteShortcut(desktop, link);
    return result;
}

int CreateFolderShortcut(std::wstring_view folder, std::wstring_view linkFileName, std::wstring_view target,
                         std::optional<std::wstring_view> arguments, std::optional<std::wstring_view> iconFile,
                         int iconIndex) {
    const LinkSpec link{
        std::wstring(linkFileName), std::wstring(target), ToText(arguments), ToText(iconFile), iconIndex, std::nullopt};
    return WriteShortcut(folder, link);
}

}  // namespace pixelmoor
