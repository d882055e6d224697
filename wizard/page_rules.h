// The rules of the wizard's pages that need no window: the welcome page's
// folder check, folder dialog and formatted texts, the association list's
// columns and quick selections, the what's-new text, the ready page's folder
// line and its InstallOptions, and the viewer's path on the finish page.
// Compiled natively for tests.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/text_rules.h"
#include "install/install_options.h"

namespace pixelmoor {

// ---- Welcome page ----

// Characters read from the folder box (a buffer of 260 characters).
inline constexpr std::size_t kFolderBoxLimit = 259;
// Characters of string 6 "Zielverzeichnis" (a buffer of 50 characters).
inline constexpr std::size_t kFolderLabelLimit = 49;

// The folder that an installation from the wizard gets for the folder box's
// text: cut at 519 characters, without the blanks around it.
[[nodiscard]] std::wstring InstallFolderText(std::wstring_view folderText);

// What Next on the welcome page makes of the folder box's text (read up to
// 519 characters): a folder to go on with; one without a drive ("X:"), so a
// bare name or a network path, looking at 259 characters without the blanks
// around them (message 5); or one that the installation does not fit, given
// the longest name that the unpacking writes (message 11), which is so refused before
// anything is written.
enum class FolderVerdict { kAccepted, kNoDrive, kTooLong };
[[nodiscard]] FolderVerdict JudgeTargetFolder(std::wstring_view folderText, std::size_t longestEntry);

// The folder that the folder dialog selects when it opens: the box's text
// without one trailing backslash, except for a drive root such as D:\.
[[nodiscard]] std::wstring InitialBrowseSelection(std::wstring_view folderText);

// The folder box's text for a folder chosen in the folder dialog: the path
// with a trailing backslash and, unless its last component already is
// "Pixelmoor" (any capitals), "Pixelmoor\" below it; a drive root always
// gets it. D:\Tools gives D:\Tools\Pixelmoor\, D:\Apps\PIXELMOOR gives
// D:\Apps\PIXELMOOR\.
[[nodiscard]] std::wstring ApplyProductFolderRule(std::wstring_view chosenPath);

// A page text used as a format: each "%s" takes the next argument in turn,
// "%%" is one percent sign, anything else stays as it is (also a "%s" for
// which no argument is left).
[[nodiscard]] std::wstring FillPlaceholders(std::wstring_view format, std::span<const std::wstring_view> arguments);

// ---- Associations page ----

// MulDiv(value, dpi, 96) for the non-negative values the pages scale:
// rounded to the nearest whole number, halves up.
[[nodiscard]] int ScaleForDpi(int value, int dpi) noexcept;

// The widths of the list's two columns for a list window `listWidth` pixels
// wide: a third for the labels, two thirds less room for the vertical
// scroll bar (25 pixels at 96 dpi) for the descriptions.
struct ColumnWidths {
    int label = 0;
    int description = 0;
};
[[nodiscard]] ColumnWidths AssociationColumnWidths(int listWidth, int dpi) noexcept;

// The list's state images: 1 the empty box, 2 the checked box.
inline constexpr int kUncheckedImage = 1;
inline constexpr int kCheckedImage = 2;

// The quick selections of the page's buttons: the state image that item
// `item` gets from "Nur Bilder" (image rows checked, the others unchecked),
// "Alle markieren" and "Keine markieren".
enum class QuickSelection { kImagesOnly, kAll, kNone };
[[nodiscard]] int QuickSelectionImage(QuickSelection selection, std::size_t item) noexcept;

// The file types that the list chooses: nothing while it is disabled;
// otherwise each of its first 66 items (their state images in item order)
// counts as chosen unless its state image is the empty box.
[[nodiscard]] AssociationSelection SelectionFromList(bool listEnabled, std::span<const int> stateImages);

// ---- What's-new page ----

// The release notes' buffer: 10240 UTF-16 characters, of which the resource
// fills at most 20479 bytes.
inline constexpr std::size_t kWhatsNewBufferChars = 10240;
inline constexpr std::size_t kWhatsNewCopyLimitBytes = 20479;

// The text the page shows for the bytes of the "TXT" resource (UTF-16LE,
// byte-order mark kept): copied into the zeroed buffer, cut where the buffer
// ends (its last character always stays the terminator, so a cut never
// leaves half a character behind), then every trailing character that is no
// letter or digit removed.
[[nodiscard]] std::wstring WhatsNewText(std::span<const unsigned char> resource);

// ---- Ready page ----

// "Zielverzeichnis: C:\Program Files\Pixelmoor": the label (string 6), a
// colon and a blank, and the folder box's text with its blanks trimmed.
[[nodiscard]] std::wstring ReadyFolderLine(std::wstring_view label, std::wstring_view folderText);

// What Next on the ready page gathers from the pages.
struct WizardChoices {
    std::wstring folderText;               // the welcome page's folder box 1000
    ShortcutChoices shortcuts;             // its boxes 1012, 1011, 1021 and radio button 1017 (also while disabled)
    bool settingsInAppData = false;        // radio button 1039 of the ready page checked
    bool settingsInProgramFolder = false;  // radio button 1038 checked
    std::wstring recordedSettingsFolder;   // what an update keeps while neither is checked (empty: the program folder)
    AssociationSelection selection{};      // the associations page's file types (SelectionFromList)
};

// The settings folder that 1039 chooses.
inline constexpr wchar_t kAppDataSettingsFolder[] = L"%APPDATA%\\Pixelmoor";

// The radio button that the ready page checks on each activation. On a first
// installation (nothing recorded) the recommended one: 1039, or 1038 on
// systems before Vista. On an update the one that names the settings folder
// that the installation records (1038 for none, its program folder; 1039 for
// "%APPDATA%\Pixelmoor" in any capitals, with or without a closing
// backslash), and none for another folder, which the update then keeps as
// the silent road does.
enum class SettingsRadio { kNone, kProgramFolder, kAppData };
[[nodiscard]] SettingsRadio PreselectedSettingsRadio(const std::optional<std::wstring>& recordedSettingsFolder,
                                                     bool beforeVista);

// The record of one installation from the wizard: the folder cut at 519
// characters and trimmed; the shortcut choices and the selection as the
// pages give them; the settings folder (that of the checked radio button,
// else the recorded one); not silent; `caption` for the driver's boxes.
[[nodiscard]] InstallOptions BuildInstallOptions(const WizardChoices& choices, std::wstring_view caption);

// ---- Finish page ----

// The viewer executable in the folder that the installation went to: the
// normal form of the folder box's folder (InstallFolderText, then
// WorkingFolder), followed by "p_moor64.exe". Empty when the text names no
// folder that could have been installed into.
[[nodiscard]] std::optional<std::wstring> ViewerPath(std::wstring_view folderText);

}  // namespace pixelmoor
