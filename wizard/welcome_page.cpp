#include "wizard/welcome_page.h"

// After windows.h, which it builds on.
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "archive/payload_reach.h"
#include "contract/product.h"
#include "framework/resource_strings.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "install/earlier_installation.h"
#include "install/install_folder.h"
#include "resources/resource_ids.h"
#include "resources/wizard_ids.h"
#include "wizard/page_rules.h"

namespace pixelmoor {

namespace {

constexpr wchar_t kBackText[] = L"< &Zur\u00fcck";
constexpr wchar_t kNextText[] = L"&Weiter >";
constexpr wchar_t kBitWidth[] = L"64";
// Characters of the folder dialog's title (string 8, a buffer of 50).
constexpr std::size_t kFolderDialogTitleLimit = 49;
// The three shortcut boxes; the scope buttons serve them.
constexpr std::array kShortcutBoxes = {IDC_DESKTOP_SHORTCUT, IDC_THUMBNAILS_SHORTCUT, IDC_START_MENU_GROUP};

// The program icon as the sheet's large window icon. LoadIconW hands out
// the module's shared copy, which nobody destroys.
void GiveSheetLargeIcon(const CWizPropertySheet& sheet) noexcept {
    const HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(res::kSetupIcon));
    ::SendMessageW(sheet.GetSafeHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

// The template's text of control `id`, used as a format for `arguments`.
void FillTemplateText(const CPropertyPage& page, int id, std::span<const std::wstring_view> arguments) {
    const HWND control = page.GetDlgItem(id);
    const auto length = static_cast<std::size_t>(std::max(::GetWindowTextLengthW(control), 0));
    page.SetDlgItemText(id, FillPlaceholders(page.GetDlgItemText(id, length), arguments));
}

// The proposal: an earlier installation's folder, else the default one.
std::wstring ProposedInstallFolder() {
    std::wstring folder = CutAt(GetDefaultInstallFolder(), kFolderBoxLimit);
    if (std::optional<std::wstring> existing = FindExistingInstallFolder()) folder = CutAt(*existing, kFolderBoxLimit);
    return folder;
}

// Selects the folder box's folder once the dialog is ready; lParam of the
// dialog is that text.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) noexcept {
    if (message != BFFM_INITIALIZED || data == 0) return 0;
    const std::wstring selection = InitialBrowseSelection(reinterpret_cast<const wchar_t*>(data));
    ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(selection.c_str()));
    return 0;
}

// The shell's folder dialog, opened on `current`; the chosen folder's path,
// empty when the dialog was cancelled or the choice has no file-system path.
std::optional<std::wstring> BrowseForFolder(const std::wstring& current) {
    const std::wstring title = LoadResourceString(res::kStringFolderDialogTitle, kFolderDialogTitleLimit);
    std::wstring displayName(MAX_PATH, L'\0');
    BROWSEINFOW browse{};
    browse.hwndOwner = ::GetActiveWindow();
    browse.pidlRoot = nullptr;
    browse.pszDisplayName = displayName.data();
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    browse.lpfn = BrowseCallback;
    browse.lParam = reinterpret_cast<LPARAM>(current.c_str());

    // The dialog's folder tree is made of shell objects.
    const ComScope com;
    const UniqueCoTaskMem<ITEMIDLIST> chosen(::SHBrowseForFolderW(&browse));
    if (!chosen) return std::nullopt;
    std::wstring path(MAX_PATH, L'\0');
    if (!::SHGetPathFromIDListW(chosen.get(), path.data())) return std::nullopt;
    path.resize(path.find(L'\0'));
    return path;
}

}  // namespace

WelcomePage::WelcomePage(CWizPropertySheet& sheet) noexcept : CWizPropertyPage(IDD_WELCOME, sheet) {}

std::wstring WelcomePage::FolderText() const { return GetDlgItemText(IDC_FOLDER_EDIT, kOptionTextLimit); }

ShortcutChoices WelcomePage::Shortcuts() const noexcept {
    return {.startMenuGroup = IsDlgButtonChecked(IDC_START_MENU_GROUP),
            .desktopShortcut = IsDlgButtonChecked(IDC_DESKTOP_SHORTCUT),
            .thumbnailsShortcut = IsDlgButtonChecked(IDC_THUMBNAILS_SHORTCUT),
            .allUsers = IsDlgButtonChecked(IDC_ALL_USERS)};
}

void WelcomePage::ApplyFirstActivationDefaults() {
    CWizPropertySheet& sheet = Sheet();
    sheet.SetButtonText(kBackButton, kBackText);
    sheet.SetButtonText(kNextButton, kNextText);
    sheet.UseTitleFont(*this, IDC_WELCOME_TITLE);
    const std::wstring version = VersionText(kVersionMajor, kVersionMinor);
    const std::array<std::wstring_view, 1> titleArguments = {kBitWidth};
    FillTemplateText(*this, IDC_WELCOME_TITLE, titleArguments);
    const std::array<std::wstring_view, 2> versionArguments = {version, kBitWidth};
    FillTemplateText(*this, IDC_WELCOME_VERSION, versionArguments);
    for (const int box : kShortcutBoxes) CheckDlgButton(box, true);
    CheckDlgButton(IDC_CURRENT_USER, true);
    SetDlgItemText(IDC_FOLDER_EDIT, ProposedInstallFolder());
}

// The scope applies to shortcuts only; without any it cannot be chosen.
void WelcomePage::EnableScope(bool enable) const noexcept {
    EnableDlgItem(IDC_CURRENT_USER, enable);
    EnableDlgItem(IDC_ALL_USERS, enable);
}

void WelcomePage::OnNoShortcuts() const noexcept {
    for (const int box : kShortcutBoxes) CheckDlgButton(box, false);
    EnableScope(false);
}

void WelcomePage::OnShortcutBoxClicked() const noexcept {
    bool any = false;
    for (const int box : kShortcutBoxes) any = any || IsDlgButtonChecked(box);
    EnableScope(any);
}

void WelcomePage::OnBrowse() const {
    const std::optional<std::wstring> chosen = BrowseForFolder(GetDlgItemText(IDC_FOLDER_EDIT, kFolderBoxLimit));
    if (!chosen) return;
    SetDlgItemText(IDC_FOLDER_EDIT, ApplyProductFolderRule(*chosen));
}

BOOL WelcomePage::OnSetActive() noexcept {
    CWizPropertySheet& sheet = Sheet();
    // There is no page before this one; every activation says so again,
    // also after Back or a failed installation.
    sheet.EnableButton(kBackButton, false);
    GiveSheetLargeIcon(sheet);
    if (firstActivation_) ApplyFirstActivationDefaults();
    // Only a warning: the ready page refuses to install while the viewer runs.
    sheet.WarnIfViewerRuns(FolderText());
    firstActivation_ = false;
    return CWizPropertyPage::OnSetActive();
}

void WelcomePage::DoDataExchange() noexcept {
    BindControl(IDC_LICENCE_LINK, licenceLink_);
    licenceLink_.SetUnderlineMode(CHyperLink::kUnderlineAlways);
    // The control keeps showing "Pixelmoor EULA"; a click opens the page.
    licenceLink_.SetLinkTarget(kLicenceAddress);
}

LRESULT WelcomePage::NextPressed() noexcept {
    CWizPropertySheet& sheet = Sheet();
    const FolderVerdict verdict = JudgeTargetFolder(FolderText(), LongestUnpackingPath());
    if (verdict != FolderVerdict::kAccepted) {
        // A folder that the payload does not fit is refused here, before
        // anything is written, as the installation would refuse it.
        sheet.ShowMessage(
            verdict == FolderVerdict::kTooLong ? res::kStringCannotCreateFolder : res::kStringInvalidFolder,
            MB_ICONERROR);
    } else if (const std::optional<std::wstring> nested =
                   NestedFolderRefusal(FindEarlierInstallation(), FolderText())) {
        // So is one inside the earlier installation's folder or around it, as
        // the silent road refuses it: one of the two copies could not be removed.
        sheet.ShowMessage(*nested, MB_ICONERROR);
    } else {
        return GetAdjacentPageId(true);
    }
    // The page stays, and with it the first page's disabled Back.
    sheet.EnableButton(kBackButton, false);
    return -1;
}

bool WelcomePage::OnCommand(int id, int code, HWND) noexcept {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_NO_SHORTCUTS:
        OnNoShortcuts();
        return true;
    case IDC_DESKTOP_SHORTCUT:
    case IDC_THUMBNAILS_SHORTCUT:
    case IDC_START_MENU_GROUP:
        OnShortcutBoxClicked();
        return true;
    case IDC_BROWSE_FOLDER:
        OnBrowse();
        return true;
    default:
        return false;
    }
}

}  // namespace pixelmoor
