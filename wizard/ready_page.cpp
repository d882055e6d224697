// Ready page (position 3, template 109): the settings folder; Next installs,
// with the status text 1044 shown in bold red Arial meanwhile.
#include <windows.h>

#include <optional>
#include <string>

#include "framework/gdi_objects.h"
#include "framework/resource_strings.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "install/driver.h"
#include "install/install_folder.h"
#include "install/installation_lock.h"
#include "install/viewer_settings.h"
#include "integration/windows_version.h"
#include "resources/resource_ids.h"
#include "resources/wizard_ids.h"
#include "wizard/page_rules.h"
#include "wizard/pages.h"
#include "wizard/wiz_property_page.h"
#include "wizard/wiz_property_sheet.h"

namespace pixelmoor {

namespace {

constexpr int kStatusTextPoints = 18;  // height at 96 dpi, in pixels
constexpr COLORREF kStatusTextColour = RGB(255, 0, 0);

// The welcome page's folder box: the pages before this one have been shown,
// so their windows exist.
std::wstring WelcomeFolderText(const CWizPropertySheet& sheet) {
    const CWizPropertyPage* welcome = sheet.GetWizPage(kWelcomePosition);
    return welcome != nullptr ? welcome->GetDlgItemText(IDC_FOLDER_EDIT, kFolderBoxLimit) : std::wstring();
}

// On an update, the settings folder that the earlier installation records
// (empty: its program folder), which the update keeps unless the user
// chooses another; empty optional on a first installation.
std::optional<std::wstring> RecordedSettingsFolder() {
    const std::optional<std::wstring> earlier = FindExistingInstallFolder();
    if (!earlier) return std::nullopt;
    return RecordedIniFolder(*earlier);
}

// The choices of every page, as their controls hold them now.
WizardChoices ReadChoices(const CWizPropertyPage& page) {
    const CWizPropertySheet& sheet = page.Sheet();
    WizardChoices choices;
    if (const CWizPropertyPage* welcome = sheet.GetWizPage(kWelcomePosition)) {
        // The folder as the options hold it: up to 519 characters.
        choices.folderText = welcome->GetDlgItemText(IDC_FOLDER_EDIT, kOptionTextLimit);
        choices.shortcuts.startMenuGroup = welcome->IsDlgButtonChecked(IDC_START_MENU_GROUP);
        choices.shortcuts.desktopShortcut = welcome->IsDlgButtonChecked(IDC_DESKTOP_SHORTCUT);
        choices.shortcuts.thumbnailsShortcut = welcome->IsDlgButtonChecked(IDC_THUMBNAILS_SHORTCUT);
        choices.shortcuts.allUsers = welcome->IsDlgButtonChecked(IDC_ALL_USERS);
    }
    choices.settingsInAppData = page.IsDlgButtonChecked(IDC_INI_APPDATA);
    choices.settingsInProgramFolder = page.IsDlgButtonChecked(IDC_INI_PROGRAM_FOLDER);
    choices.recordedSettingsFolder = RecordedSettingsFolder().value_or(std::wstring());
    choices.selection = ReadAssociationSelection(sheet);
    return choices;
}

}  // namespace

void ReadyOnSetActive(CWizPropertyPage& page) noexcept {
    CWizPropertySheet& sheet = page.Sheet();
    sheet.UseTitleFont(page, IDC_READY_TITLE);
    const std::wstring label = LoadResourceString(res::kStringTargetFolder, kFolderLabelLimit);
    page.SetDlgItemText(IDC_READY_FOLDER, ReadyFolderLine(label, WelcomeFolderText(sheet)));
    // On every activation: on an update the place that the installation
    // records, else the recommended one (systems before Vista had no
    // per-user application data to speak of).
    const SettingsRadio radio = PreselectedSettingsRadio(RecordedSettingsFolder(), !IsWindowsVersionAtLeast(6, 0, 0));
    page.CheckDlgButton(IDC_INI_PROGRAM_FOLDER, radio == SettingsRadio::kProgramFolder);
    page.CheckDlgButton(IDC_INI_APPDATA, radio == SettingsRadio::kAppData);
}

void ReadyBindControls(CWizPropertyPage& page) noexcept {
    CWizPropertySheet& sheet = page.Sheet();
    CXColorStatic& status = sheet.StatusText();
    page.BindControl(IDC_STATUS_TEXT, status);
    status.SetTextColor(kStatusTextColour);
    status.UseBoldWeight(true);
    status.UseArialFont(::MulDiv(kStatusTextPoints, WindowDpi(sheet.GetSafeHwnd()), kDefaultDpi));
}

LRESULT ReadyOnWizardNext(CWizPropertyPage& page) noexcept {
    CWizPropertySheet& sheet = page.Sheet();
    // Files of a running viewer cannot be replaced; nothing is installed.
    if (sheet.WarnIfViewerRuns()) return -1;

    // One installation at a time on the machine: while another setup
    // installs, this one says so and stays here, so that the user can try
    // again once it has ended.
    const InstallationLock lock = TryLockInstallation();
    if (!lock) {
        sheet.ShowMessage(res::kStringInstallFailed, MB_ICONERROR);
        return -1;
    }

    InstallOptions options = BuildInstallOptions(ReadChoices(page), sheet.TitleText());
    // Painted now: no message is handled while the installation runs.
    const HWND status = page.GetDlgItem(IDC_STATUS_TEXT);
    ::ShowWindow(status, SW_SHOW);
    ::UpdateWindow(status);
    int installed = 0;
    {
        const InstallationInProgress installing(sheet);
        installed = RunInstallation(options);
    }
    // Whatever comes next, nothing is being installed any more.
    ::ShowWindow(status, SW_HIDE);

    // After a failure the user may change the choices and try again.
    if (installed == 0) return res::kWelcomePage;
    sheet.RecordInstallationSucceeded();
    return page.GetAdjacentPageId(true);
}

}  // namespace pixelmoor
