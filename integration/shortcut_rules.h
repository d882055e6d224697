// The set of shell shortcuts that an installation makes: names, targets,
// arguments, icons and descriptions.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pixelmoor {

// One shortcut; a property without a value is not set on the link.
struct ShortcutLink {
    std::wstring fileName;  // the .lnk file's name in its folder
    std::wstring target;
    std::optional<std::wstring> arguments;
    std::optional<std::wstring> iconFile;
    int iconIndex = 0;
    std::optional<std::wstring> description;

    bool operator==(const ShortcutLink&) const = default;
};

// The shortcut choices of one installation, from the command line or the
// welcome page to the registration. Flags: any nonzero value means yes.
struct ShortcutChoices {
    int startMenuGroup = 0;      // the start-menu group with its shortcuts
    int desktopShortcut = 0;     // the viewer on the desktop
    int thumbnailsShortcut = 0;  // thumbnails on the desktop, and the folder and drive context menu
    int allUsers = 0;            // in the folders of all users instead of the current user's

    bool operator==(const ShortcutChoices&) const = default;
};

// The folder of the start-menu group below the programs folder.
inline constexpr wchar_t kGroupFolderName[] = L"Pixelmoor";

// The viewer shortcuts of earlier versions that the group replaces; older
// names stay.
inline constexpr std::array<std::wstring_view, 2> kReplacedGroupLinks = {L"Pixelmoor 64 4.73.lnk",
                                                                         L"Pixelmoor 64 4.72.lnk"};

// "Pixelmoor 64 <major>.<minor>.lnk", the minor number right-aligned in two places.
[[nodiscard]] std::wstring VersionedLinkName(int major, int minor);

// The shortcuts of the start-menu group for the install folder (ending in a
// backslash), in the order they are written. On Windows 8 and 8.1
// (generation 8) the group gets no uninstaller shortcut.
[[nodiscard]] std::vector<ShortcutLink> StartMenuGroupLinks(std::wstring_view installFolder, int windowsGeneration);

// The desktop shortcuts for the viewer executable.
[[nodiscard]] ShortcutLink ViewerDesktopLink(std::wstring_view viewer);
[[nodiscard]] ShortcutLink ThumbnailsDesktopLink(std::wstring_view viewer);

}  // namespace pixelmoor
