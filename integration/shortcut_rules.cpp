#include "integration/shortcut_rules.h"

#include "contract/product.h"
#include "framework/text_rules.h"
#include "integration/version_rules.h"

namespace pixelmoor {

namespace {

constexpr wchar_t kThumbsArgument[] = L"/thumbs";
constexpr int kThumbsIconIndex = 7;

ShortcutLink Plain(std::wstring fileName, std::wstring target) {
    return {std::move(fileName), std::move(target), std::nullopt, std::nullopt, 0, std::nullopt};
}

}  // namespace

std::wstring VersionedLinkName(int major, int minor) {
    std::wstring minorText = DecimalText(minor);
    if (minorText.size() < 2) minorText.insert(0, 2 - minorText.size(), L' ');
    return L"Pixelmoor 64 " + DecimalText(major) + L'.' + minorText + L".lnk";
}

std::vector<ShortcutLink> StartMenuGroupLinks(std::wstring_view installFolder, int windowsGeneration) {
    const std::wstring folder(installFolder);
    const std::wstring viewer = folder + kViewerExe;
    std::vector<ShortcutLink> links;
    links.push_back(Plain(VersionedLinkName(kVersionMajor, kVersionMinor), viewer));
    links.push_back({L"Pixelmoor - Thumbnails.lnk", viewer, kThumbsArgument, viewer, kThumbsIconIndex, std::nullopt});
    if (windowsGeneration != kGenerationWindows8)
        links.push_back(Plain(L"Pixelmoor deinstallieren.lnk", folder + kUninstallerExe));
    links.push_back(Plain(L"\u00dcber Pixelmoor.lnk", folder + L"p_about.txt"));
    links.push_back(Plain(L"Was ist neu.lnk", folder + L"p_changes.txt"));
    links.push_back(Plain(L"Kommandozeilen-Optionen.lnk", folder + L"p_options.txt"));
    links.push_back(Plain(L"Verf\u00fcgbare PlugIns.lnk", folder + L"p_plugins.txt"));
    links.push_back(Plain(L"Verf\u00fcgbare Sprachen.lnk", folder + L"p_languages.txt"));
    // The payload's folder is "Help"; the file system ignores the case.
    links.push_back(Plain(L"Pixelmoor Hilfe.lnk", folder + L"help\\p_moor32_deutsch.chm"));
    return links;
}

ShortcutLink ViewerDesktopLink(std::wstring_view viewer) {
    ShortcutLink link = Plain(L"Pixelmoor 64.lnk", std::wstring(viewer));
    link.description = L"Pixelmoor 64 - Bildbetrachter";
    return link;
}

ShortcutLink ThumbnailsDesktopLink(std::wstring_view viewer) {
    return {L"Pixelmoor 64 Thumbnails.lnk", std::wstring(viewer), kThumbsArgument,
            std::wstring(viewer),           kThumbsIconIndex,     L"Pixelmoor - Thumbnails"};
}

}  // namespace pixelmoor
