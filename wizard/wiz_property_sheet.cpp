#include "wizard/wiz_property_sheet.h"

#include "contract/product.h"
#include "framework/resource_strings.h"
#include "framework/text_rules.h"
#include "contract/installation_lock.h"
#include "install/payload_in_use.h"
#include "resources/resource_ids.h"

namespace pixelmoor {

namespace {

constexpr wchar_t kSheetCaption[] = L"Pixelmoor Setup";
constexpr UINT kCancelQuestionFlags = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
constexpr int kSheetButtons[] = {kBackButton, kNextButton, IDCANCEL};
// The sheet's buttons whose commands move or close the wizard.
constexpr int kCommandButtons[] = {kBackButton, kNextButton, kFinishButton, IDCANCEL};

bool IsCommandButton(int id) noexcept {
    for (const int button : kCommandButtons)
        if (button == id) return true;
    return false;
}

// Removes the messages of one range waiting for `window` (null: any window
// of this thread).
void DropWaiting(HWND window, UINT first, UINT last) noexcept {
    MSG message{};
    while (::PeekMessageW(&message, window, first, last, PM_REMOVE)) {
    }
}

}  // namespace

InstallationInProgress::InstallationInProgress(CWizPropertySheet& sheet) noexcept : sheet_(sheet) {
    for (const int button : kSheetButtons) sheet_.EnableButton(button, false);
    sheet_.installing_ = true;
}

InstallationInProgress::~InstallationInProgress() {
    sheet_.installing_ = false;
    for (const int button : kSheetButtons) sheet_.EnableButton(button, true);
    // Keys (Escape, Enter, Alt+F4), clicks, and close commands posted to the
    // sheet (the taskbar's close), as the wizard did not take them in time.
    DropWaiting(nullptr, WM_KEYFIRST, WM_KEYLAST);
    DropWaiting(nullptr, WM_MOUSEFIRST, WM_MOUSELAST);
    DropWaiting(nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK);
    DropWaiting(sheet_.GetSafeHwnd(), WM_SYSCOMMAND, WM_SYSCOMMAND);
}

bool InstallationInProgress::Dispatched(const MSG& message) noexcept {
    const UINT id = message.message;
    return !(id >= WM_KEYFIRST && id <= WM_KEYLAST) && !(id >= WM_MOUSEFIRST && id <= WM_MOUSELAST);
}

CWizPropertySheet::CWizPropertySheet() : CPropertySheet(kSheetCaption, nullptr, 0), titleText_(kSetupCaption) {
    AddHeaderFlags(PSH_WIZARD);
}

void CWizPropertySheet::AddPage(CPropertyPage& page) {
    page.SetCaption(titleText_);
    CPropertySheet::AddPage(page);
}

int CWizPropertySheet::ShowMessage(int stringId, UINT flags) const noexcept {
    return ShowMessage(LoadMessageText(stringId), flags);
}

int CWizPropertySheet::ShowMessage(const std::wstring& text, UINT flags) const noexcept {
    return ::MessageBoxW(GetSafeHwnd(), text.c_str(), titleText_.c_str(), flags);
}

bool CWizPropertySheet::WarnIfViewerRuns(std::wstring_view folderText) const noexcept {
    if (!ViewerIsRunning() && !RunningPayloadProgram(folderText)) return false;
    ShowMessage(res::kStringViewerRunning, MB_ICONWARNING);
    return true;
}

void CWizPropertySheet::UseTitleFont(const CPropertyPage& page, int id) const noexcept {
    ::SendMessageW(page.GetDlgItem(id), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.GetSafeHandle()), TRUE);
}

void CWizPropertySheet::SetButtonText(int button, const std::wstring& text) const noexcept {
    ::SetWindowTextW(GetDlgItem(button), text.c_str());
}

void CWizPropertySheet::EnableButton(int button, bool enable) const noexcept {
    ::EnableWindow(GetDlgItem(button), enable ? TRUE : FALSE);
}

void CWizPropertySheet::OnInitDialog() noexcept {
    closing_ = false;
    titleText_ = kSetupCaption;
    SetButtonText(IDCANCEL, LoadMessageText(res::kStringCancelButton));
    ::SetWindowTextW(GetSafeHwnd(), titleText_.c_str());
}

bool CWizPropertySheet::UserConfirmsCancel() const noexcept {
    return ShowMessage(res::kStringCancelQuestion, kCancelQuestionFlags) == IDYES;
}

bool CWizPropertySheet::OnCommand(WPARAM wParam, LPARAM) noexcept {
    // While installing, no button's command reaches comctl32: the page
    // must not change under the installation.
    if (installing_ && IsCommandButton(LOWORD(wParam))) return true;
    // The Cancel button and Escape, with any notification code.
    if (LOWORD(wParam) != IDCANCEL || closing_) return false;
    CPropertyPage* page = GetActivePage();
    if (!(page != nullptr ? page->OnQueryCancel() : UserConfirmsCancel())) return true;
    closing_ = true;
    return false;
}

LRESULT CWizPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    // comctl32 would cancel the sheet on WM_CLOSE (a task manager's "end
    // task") without asking, and the others change the page.
    const bool closesOrMoves =
        message == WM_CLOSE || message == PSM_PRESSBUTTON || message == PSM_SETCURSEL || message == PSM_SETCURSELID;
    if (installing_ && closesOrMoves) return 0;
    return CPropertySheet::WindowProc(message, wParam, lParam);
}

bool CWizPropertySheet::OnSysCommand(WPARAM wParam, LPARAM) noexcept {
    if ((wParam & 0xFFF0) != SC_CLOSE || closing_) return false;
    if (installing_) return true;
    CPropertyPage* page = GetActivePage();
    if (!(page != nullptr ? page->OnQueryClose() : UserConfirmsCancel())) return true;
    closing_ = true;
    return false;
}

}  // namespace pixelmoor
