#include "wizard/finish_page.h"

// After windows.h, which it builds on.
#include <shellapi.h>

#include <optional>
#include <string>

#include "contract/product.h"
#include "framework/resource_strings.h"
#include "framework/text_rules.h"
#include "resources/resource_ids.h"
#include "resources/wizard_ids.h"
#include "wizard/page_rules.h"

namespace pixelmoor {

namespace {

// The viewer's window is looked for this often, with these pauses.
constexpr DWORD kFirstLookDelayMs = 50;
constexpr DWORD kNextLookDelayMs = 500;
constexpr int kLooksForViewer = 5;

void ShowFaqPage() noexcept {
    ::ShellExecuteW(::GetDesktopWindow(), L"open", kFaqAddress, nullptr, L"", SW_SHOW);
}

}  // namespace

FinishPage::FinishPage(CWizPropertySheet& sheet, const WelcomePage& welcome) noexcept
    : CWizPropertyPage(IDD_FINISH, sheet), welcome_(welcome) {}

// Starts the installed viewer and brings its window to the front once it
// appears; gives up silently after the last look.
void FinishPage::StartViewer() const {
    // The box read as the installation read it.
    const std::optional<std::wstring> viewer = ViewerPath(welcome_.FolderText());
    if (!viewer) return;
    ::ShellExecuteW(::GetActiveWindow(), L"open", viewer->c_str(), L"", nullptr, SW_SHOW);
    ::Sleep(kFirstLookDelayMs);
    for (int look = 0; look < kLooksForViewer; ++look) {
        if (const HWND window = ::FindWindowExW(nullptr, nullptr, kViewerWindowClass, nullptr)) {
            ::SetForegroundWindow(window);
            return;
        }
        ::Sleep(kNextLookDelayMs);
    }
}

BOOL FinishPage::OnSetActive() noexcept {
    CWizPropertySheet& sheet = Sheet();
    sheet.UseTitleFont(*this, IDC_FINISH_TITLE);
    CheckDlgButton(IDC_SHOW_FAQ, true);
    CheckDlgButton(IDC_START_VIEWER, true);
    sheet.SetButtonText(IDCANCEL, LoadMessageText(res::kStringFinishButton));
    sheet.EnableButton(kBackButton, false);
    sheet.EnableButton(kNextButton, false);
    return CWizPropertyPage::OnSetActive();
}

BOOL FinishPage::OnQueryCancel() noexcept {
    if (IsDlgButtonChecked(IDC_SHOW_FAQ)) ShowFaqPage();
    if (IsDlgButtonChecked(IDC_START_VIEWER)) StartViewer();
    return TRUE;
}

}  // namespace pixelmoor
