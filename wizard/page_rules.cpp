#include "wizard/page_rules.h"

#include <algorithm>
#include <cstdint>
#include <cwctype>

#include "framework/dpi.h"
#include "contract/product.h"
#include "framework/text_rules.h"
#include "install/driver_rules.h"
#include "install/install_folder_rules.h"

namespace pixelmoor {

namespace {

constexpr int kScrollBarRoom = 25;  // pixels at 96 dpi
constexpr std::size_t kDriveRootLength = 3;  // a drive, a colon and a backslash

// The last component of a path that ends in a backslash, with the
// backslashes on both sides; the whole path when there is no earlier one.
std::wstring_view LastComponent(std::wstring_view path) noexcept {
    if (path.size() < 2) return path;
    const std::size_t previous = path.rfind(L'\\', path.size() - 2);
    return previous == std::wstring_view::npos ? path : path.substr(previous);
}

// The settings folder of the checked radio button; with none checked, the
// one that the earlier installation records.
std::wstring ChosenSettingsFolder(const WizardChoices& choices) {
    if (choices.settingsInAppData) return kAppDataSettingsFolder;
    if (choices.settingsInProgramFolder) return std::wstring();
    return choices.recordedSettingsFolder;
}

// Not empty and with a drive; blanks around the text do not count, as they
// are trimmed before installing.
bool HasDrive(std::wstring_view folderText) {
    std::wstring folder(folderText);
    TrimBlanks(folder);
    return !folder.empty() && !SplitPath(folder).drive.empty();
}

}  // namespace

std::wstring InstallFolderText(std::wstring_view folderText) {
    std::wstring folder = CutAt(folderText, kOptionTextLimit);
    TrimBlanks(folder);
    return folder;
}

FolderVerdict JudgeTargetFolder(std::wstring_view folderText, std::size_t longestEntry) {
    if (!HasDrive(CutAt(folderText, kFolderBoxLimit))) return FolderVerdict::kNoDrive;
    return InstallationFitsFolder(InstallFolderText(folderText), longestEntry) ? FolderVerdict::kAccepted
                                                                               : FolderVerdict::kTooLong;
}

std::wstring InitialBrowseSelection(std::wstring_view folderText) {
    std::wstring selection(folderText);
    if (selection.size() > kDriveRootLength && EndsWithBackslash(selection)) selection.pop_back();
    return selection;
}

std::wstring ApplyProductFolderRule(std::wstring_view chosenPath) {
    std::wstring path(chosenPath);
    if (!EndsWithBackslash(path)) path += L'\\';
    const std::wstring productComponent = L"\\" + std::wstring(kProductName) + L"\\";
    if (path.size() == kDriveRootLength || !EqualsIgnoringCase(LastComponent(path), productComponent))
        path += std::wstring(kProductName) + L"\\";
    return path;
}

std::wstring FillPlaceholders(std::wstring_view format, std::span<const std::wstring_view> arguments) {
    std::wstring text;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const wchar_t c = format[i];
        const wchar_t following = i + 1 < format.size() ? format[i + 1] : L'\0';
        if (c == L'%' && following == L'%') {
            text += L'%';
            ++i;
        } else if (c == L'%' && following == L's' && next < arguments.size()) {
            text += arguments[next++];
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

int ScaleForDpi(int value, int dpi) noexcept {
    const long long product = static_cast<long long>(value) * dpi;
    return static_cast<int>((product + kDefaultDpi / 2) / kDefaultDpi);
}

ColumnWidths AssociationColumnWidths(int listWidth, int dpi) noexcept {
    return {listWidth / 3, 2 * listWidth / 3 - ScaleForDpi(kScrollBarRoom, dpi)};
}

int QuickSelectionImage(QuickSelection selection, std::size_t item) noexcept {
    switch (selection) {
    case QuickSelection::kImagesOnly:
        return item < kImageRowCount ? kCheckedImage : kUncheckedImage;
    case QuickSelection::kAll:
        return kCheckedImage;
    case QuickSelection::kNone:
        break;
    }
    return kUncheckedImage;
}

std::wstring WhatsNewText(std::span<const unsigned char> resource) {
    // The zeroed buffer, filled byte by byte as a copy of the resource's
    // bytes would fill it (little-endian UTF-16).
    std::vector<std::uint16_t> buffer(kWhatsNewBufferChars, 0);
    const std::size_t bytes = std::min(resource.size(), kWhatsNewCopyLimitBytes);
    for (std::size_t i = 0; i < bytes; ++i)
        buffer[i / 2] = static_cast<std::uint16_t>(buffer[i / 2] | resource[i] << (i % 2 * 8));
    // A copy of the whole limit leaves the last character half filled; the
    // text ends before it, so that it is terminated inside the buffer.
    buffer.back() = 0;

    std::wstring text;
    for (const std::uint16_t unit : buffer) {
        if (unit == 0) break;
        text += static_cast<wchar_t>(unit);
    }
    while (!text.empty() && !std::iswalnum(static_cast<std::wint_t>(text.back()))) text.pop_back();
    return text;
}

std::wstring ReadyFolderLine(std::wstring_view label, std::wstring_view folderText) {
    std::wstring folder(folderText);
    TrimBlanks(folder);
    return std::wstring(label) + L": " + folder;
}

SettingsRadio PreselectedSettingsRadio(const std::optional<std::wstring>& recordedSettingsFolder, bool beforeVista) {
    if (!recordedSettingsFolder) return beforeVista ? SettingsRadio::kProgramFolder : SettingsRadio::kAppData;
    std::wstring_view recorded = *recordedSettingsFolder;
    if (recorded.empty()) return SettingsRadio::kProgramFolder;
    if (EndsWithBackslash(recorded)) recorded.remove_suffix(1);
    return EqualsIgnoringCase(recorded, kAppDataSettingsFolder) ? SettingsRadio::kAppData : SettingsRadio::kNone;
}

AssociationSelection SelectionFromList(bool listEnabled, std::span<const int> stateImages) {
    AssociationSelection selection{};
    if (!listEnabled) return selection;
    const std::size_t items = std::min(stateImages.size(), kSelectionSize);
    // Anything but the empty box counts as checked.
    for (std::size_t i = 0; i < items; ++i) selection[i] = stateImages[i] == kUncheckedImage ? 0 : 1;
    return selection;
}

InstallOptions BuildInstallOptions(const WizardChoices& choices, std::wstring_view caption) {
    InstallOptions options;
    options.folder = InstallFolderText(choices.folderText);
    options.shortcuts = choices.shortcuts;
    options.iniFolder = ChosenSettingsFolder(choices);
    options.selection = choices.selection;
    options.silent = 0;
    options.caption = caption;
    return options;
}

std::optional<std::wstring> ViewerPath(std::wstring_view folderText) {
    // The installation went to the normal form of the folder, which may
    // differ from the text (a blank before a backslash, doubled backslashes).
    const std::optional<std::wstring> folder = WorkingFolder(InstallFolderText(folderText));
    if (!folder || folder->empty()) return std::nullopt;
    return *folder + kViewerExe;
}

}  // namespace pixelmoor
