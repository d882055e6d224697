// Finish page (position 4, template 110): reached only after a successful
// installation. The wizard ends through the Cancel button, relabelled
// "&Fertig stellen", which first opens the FAQ page and starts the viewer as
// the two boxes say; Back and Next stay disabled.
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <optional>
#include <string>

#include "framework/product.h"
#include "framework/resource_strings.h"
#include "framework/text_rules.h"
#include "resources/resource_ids.h"
#include "resources/wizard_ids.h"
#include "wizard/page_rules.h"
#include "wizard/pages.h"
#include "wizard/wiz_property_page.h"
#include "wizard/wiz_property_sheet.h"

namespace pixelmoor {

namespace {

// The viewer's window is looked for this often, with these pauses.
constexpr DWORD kFirstLookDelayMs = 50;
constexpr DWORD kNextLookDelayMs = 500;
constexpr int kLooksForViewer = 5;

void ShowFaqPage() noexcept {
    ::ShellExecuteW(::GetDesktopWindow(), L"open", kFaqAddress, nullptr, L"", SW_SHOW);
}

// Starts the installed viewer and brings its window to the front once it
// appears; gives up silently after the last look.
void StartViewer(const CWizPropertySheet& sheet) {
    const CWizPropertyPage* welcome = sheet.GetWizPage(kWelcomePosition);
    if (welcome == nullptr) return;
    // The box read as the installation read it.
    const std::optional<std::wstring> viewer = ViewerPath(welcome->GetDlgItemText(IDC_FOLDER_EDIT, kOptionTextLimit));
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

}  // namespace

void FinishOnSetActive(CWizPropertyPage& page) noexcept {
    CWizPropertySheet& sheet = page.Sheet();
    sheet.UseTitleFont(page, IDC_FINISH_TITLE);
    page.CheckDlgButton(IDC_SHOW_FAQ, true);
    page.CheckDlgButton(IDC_START_VIEWER, true);
    sheet.SetButtonText(IDCANCEL, LoadMessageText(res::kStringFinishButton));
    sheet.EnableButton(kBackButton, false);
    sheet.EnableButton(kNextButton, false);
}

void FinishActions(CWizPropertyPage& page) noexcept {
    if (page.IsDlgButtonChecked(IDC_SHOW_FAQ)) ShowFaqPage();
    if (page.IsDlgButtonChecked(IDC_START_VIEWER)) StartViewer(page.Sheet());
}

}  // namespace pixelmoor
