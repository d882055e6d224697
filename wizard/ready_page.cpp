#include "wizard/ready_page.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "contract/settings_record_file.h"
#include "framework/gdi_objects.h"
#include "framework/resource_strings.h"
#include "framework/text_rules.h"
#include "framework/worker_job.h"
#include "install/driver.h"
#include "install/earlier_installation.h"
#include "install/install_folder.h"
#include "contract/installation_lock.h"
#include "install/installation_view.h"
#include "install/progress_rules.h"
#include "install/run_log_target.h"
#include "install/viewer_settings.h"
#include "integration/windows_version.h"
#include "resources/resource_ids.h"
#include "resources/wizard_ids.h"

namespace pixelmoor {

namespace {

constexpr int kStatusTextPoints = 18;  // height at 96 dpi, in pixels
constexpr COLORREF kStatusTextColour = RGB(255, 0, 0);

// On an update, the settings folder that the earlier installation records
// (empty: its program folder), which the update keeps unless the user
// chooses another; empty optional on a first installation.
std::optional<std::wstring> RecordedSettingsFolder() {
    const std::optional<std::wstring> earlier = FindExistingInstallFolder();
    if (!earlier) return std::nullopt;
    return RecordedIniFolder(*earlier);
}

// The wizard's side of an installation that runs on a worker thread: its
// message boxes are shown on the wizard's thread, owned by the sheet (which
// they disable meanwhile), and its progress is posted to the bar.
class SheetInstallationView final : public InstallationView {
public:
    SheetInstallationView(HWND sheet, HWND bar, WindowThreadCalls& calls) noexcept
        : sheet_(sheet), bar_(bar), calls_(calls) {}

    int ShowMessage(const std::wstring& text, const std::wstring& caption, UINT flags) override {
        return calls_.Call([&] { return ::MessageBoxW(sheet_, text.c_str(), caption.c_str(), flags); });
    }
    void ShowProgress(int position) noexcept override {
        ::PostMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }

private:
    HWND sheet_;
    HWND bar_;
    WindowThreadCalls& calls_;
};

}  // namespace

ReadyPage::ReadyPage(CWizPropertySheet& sheet, const WelcomePage& welcome,
                     const AssociationsPage& associations) noexcept
    : CWizPropertyPage(IDD_READY, sheet), welcome_(welcome), associations_(associations) {}

WizardChoices ReadyPage::ReadChoices() const {
    WizardChoices choices;
    choices.folderText = welcome_.FolderText();
    choices.shortcuts = welcome_.Shortcuts();
    choices.settingsInAppData = IsDlgButtonChecked(IDC_INI_APPDATA);
    choices.settingsInProgramFolder = IsDlgButtonChecked(IDC_INI_PROGRAM_FOLDER);
    choices.recordedSettingsFolder = RecordedSettingsFolder().value_or(std::wstring());
    choices.selection = associations_.Selection();
    return choices;
}

BOOL ReadyPage::OnSetActive() noexcept {
    Sheet().UseTitleFont(*this, IDC_READY_TITLE);
    const std::wstring label = LoadResourceString(res::kStringTargetFolder, kFolderLabelLimit);
    // The folder as a buffer of 260 characters takes it.
    SetDlgItemText(IDC_READY_FOLDER, ReadyFolderLine(label, CutAt(welcome_.FolderText(), kFolderBoxLimit)));
    // On every activation: on an update the place that the installation
    // records, else the recommended one (systems before Vista had no
    // per-user application data to speak of).
    const SettingsRadio radio = PreselectedSettingsRadio(RecordedSettingsFolder(), !IsWindowsVersionAtLeast(6, 0, 0));
    CheckDlgButton(IDC_INI_PROGRAM_FOLDER, radio == SettingsRadio::kProgramFolder);
    CheckDlgButton(IDC_INI_APPDATA, radio == SettingsRadio::kAppData);
    return CWizPropertyPage::OnSetActive();
}

void ReadyPage::DoDataExchange() noexcept {
    BindControl(IDC_STATUS_TEXT, statusText_);
    statusText_.SetTextColor(kStatusTextColour);
    statusText_.UseBoldWeight(true);
    statusText_.UseArialFont(::MulDiv(kStatusTextPoints, WindowDpi(Sheet().GetSafeHwnd()), kDefaultDpi));
}

void ReadyPage::ShowInstalling(bool installing) const noexcept {
    const HWND bar = GetDlgItem(IDC_INSTALL_PROGRESS);
    if (installing) {
        ::SendMessageW(bar, PBM_SETRANGE32, 0, kProgressEnd);
        ::SendMessageW(bar, PBM_SETPOS, 0, 0);
    }
    const int show = installing ? SW_SHOW : SW_HIDE;
    ::ShowWindow(GetDlgItem(IDC_STATUS_TEXT), show);
    ::ShowWindow(bar, show);
}

LRESULT ReadyPage::NextPressed() noexcept {
    CWizPropertySheet& sheet = Sheet();
    // Files of a running viewer, or of another program of the payload that
    // runs from the folder, cannot be replaced; nothing is installed.
    if (sheet.WarnIfViewerRuns(welcome_.FolderText())) return -1;

    // One installation at a time on the machine: while another setup
    // installs, this one says so and stays here, so that the user can try
    // again once it has ended.
    InstallationLock lock = TryLockInstallation();
    if (!lock) {
        sheet.ShowMessage(res::kStringInstallFailed, MB_ICONERROR);
        return -1;
    }

    InstallOptions options = BuildInstallOptions(ReadChoices(), sheet.TitleText());
    // Read before this installation registers itself in its place.
    const std::optional<EarlierInstallation> earlier = FindEarlierInstallation();
    LeaveRunLogOutOfTheTarget(options.folder);
    ShowInstalling(true);
    int installed = 0;
    std::optional<std::wstring> earlierStays;
    {
        const InstallationInProgress installing(sheet);
        const HWND bar = GetDlgItem(IDC_INSTALL_PROGRESS);
        installed = RunOffWindowThread(
            [&](WindowThreadCalls& calls) {
                SheetInstallationView view(sheet.GetSafeHwnd(), bar, calls);
                options.view = &view;
                const int result = RunInstallation(options);
                options.view = nullptr;
                return result;
            },
            InstallationInProgress::Dispatched);
        // Let go on this thread, which took it; the earlier installation's
        // uninstaller takes it in turn.
        lock.Release();
        if (installed != 0)
            static_cast<void>(RunOffWindowThread(
                [&](WindowThreadCalls&) {
                    earlierStays = RemoveEarlierInstallation(earlier, options.folder);
                    return 0;
                },
                InstallationInProgress::Dispatched));
    }
    // Whatever comes next, nothing is being installed any more.
    ShowInstalling(false);
    // The installation stands; the user learns that an earlier copy stays.
    if (earlierStays) sheet.ShowMessage(*earlierStays, MB_ICONWARNING);

    // After a failure the user may change the choices and try again.
    if (installed == 0) return welcome_.TemplateId();
    sheet.RecordInstallationSucceeded();
    return GetAdjacentPageId(true);
}

}  // namespace pixelmoor
