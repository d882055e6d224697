#include "framework/property_sheet.h"

#include <algorithm>

#include "framework/dialog_result.h"
#include "framework/static_control.h"

namespace pixelmoor {

namespace {

constexpr UINT_PTR kSheetSubclassId = 0x504D5053;  // "PMPS"

// The sheet whose PropertySheetW call runs. comctl32's sheet callback
// carries no context of its own, and a modal sheet runs to its end before
// another one can start. Sheets are made on the setup's one window thread
// only; a thread_local here would bring the runtime's emulated thread
// storage and its thread library (some 25 KB) into the executable.
CPropertySheet* sheetBeingCreated = nullptr;

bool IsSheetNotification(UINT code) noexcept {
    return code <= static_cast<UINT>(PSN_FIRST) && code >= static_cast<UINT>(PSN_LAST);
}

}  // namespace

// ---- CPropertyPage ----

void CPropertyPage::BindControl(int id, CStatic& control) noexcept {
    if (control.GetSafeHwnd() == nullptr) control.SubclassDlgItem(id, hwnd_);
}

BOOL CPropertyPage::OnInitDialog() noexcept {
    DoDataExchange();
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() noexcept {
    DoDataExchange();
    return FALSE;
}

bool CPropertyPage::OnCommand(int, int, HWND) noexcept { return false; }

std::wstring CPropertyPage::GetDlgItemText(int id, std::size_t limit) const {
    const HWND control = GetDlgItem(id);
    if (control == nullptr) return {};
    const auto length = static_cast<std::size_t>(std::max(::GetWindowTextLengthW(control), 0));
    std::wstring text(std::min(length, limit) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max(::GetWindowTextW(control, text.data(), static_cast<int>(text.size())), 0)));
    return text;
}

void CPropertyPage::SetDlgItemText(int id, const std::wstring& text) const noexcept {
    ::SetDlgItemTextW(hwnd_, id, text.c_str());
}

bool CPropertyPage::IsDlgButtonChecked(int id) const noexcept {
    return ::IsDlgButtonChecked(hwnd_, id) == BST_CHECKED;
}

void CPropertyPage::CheckDlgButton(int id, bool checked) const noexcept {
    ::SendMessageW(GetDlgItem(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CPropertyPage::EnableDlgItem(int id, bool enable) const noexcept {
    ::EnableWindow(GetDlgItem(id), enable ? TRUE : FALSE);
}

PROPSHEETPAGEW CPropertyPage::Description() noexcept {
    PROPSHEETPAGEW description{};
    description.dwSize = sizeof(description);
    description.dwFlags = PSP_DEFAULT;
    description.hInstance = ::GetModuleHandleW(nullptr);
    description.pszTemplate = MAKEINTRESOURCEW(templateId_);
    description.pfnDlgProc = DialogThunk;
    description.lParam = reinterpret_cast<LPARAM>(this);
    if (!caption_.empty()) {
        description.dwFlags |= PSP_USETITLE;
        description.pszTitle = caption_.c_str();
    }
    return description;
}

INT_PTR CALLBACK CPropertyPage::DialogThunk(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_INITDIALOG) {
        // comctl32 hands over its copy of the page description, whose lParam
        // is the page object.
        const auto* description = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        auto* page = reinterpret_cast<CPropertyPage*>(description->lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
        page->hwnd_ = dialog;
    }
    auto* page = reinterpret_cast<CPropertyPage*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (page == nullptr) return FALSE;
    const std::optional<LRESULT> result = page->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(dialog, DWLP_USER, 0);
        page->hwnd_ = nullptr;
    }
    return result ? DialogProcResult(dialog, message, *result) : FALSE;
}

std::optional<LRESULT> CPropertyPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (const std::optional<LRESULT> reflected = ReflectControlMessage(message, wParam, lParam)) return reflected;
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header != nullptr && IsSheetNotification(header->code)) return HandleSheetNotification(*header);
        return std::nullopt;
    }
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

std::optional<LRESULT> CPropertyPage::HandleSheetNotification(const NMHDR& header) noexcept {
    switch (header.code) {
    case PSN_SETACTIVE:
        return OnSetActive() ? 0 : -1;
    case PSN_KILLACTIVE:
        return OnKillActive();
    case PSN_WIZBACK:
        return OnWizardBack();
    case PSN_WIZNEXT:
        return OnWizardNext();
    default:
        return std::nullopt;
    }
}

// ---- CPropertySheet ----

CPropertySheet::CPropertySheet(std::wstring caption, HWND parent, int startPage)
    : caption_(std::move(caption)), parent_(parent), startPage_(startPage) {}

CPropertySheet::~CPropertySheet() {
    if (hwnd_ != nullptr) ::RemoveWindowSubclass(hwnd_, Thunk, kSheetSubclassId);
}

void CPropertySheet::AddPage(CPropertyPage& page) { pages_.push_back(&page); }

INT_PTR CPropertySheet::DoModal() {
    std::vector<PROPSHEETPAGEW> descriptions;
    descriptions.reserve(pages_.size());
    for (CPropertyPage* page : pages_) descriptions.push_back(page->Description());

    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = headerFlags_;
    header.hwndParent = parent_;
    header.hInstance = ::GetModuleHandleW(nullptr);
    header.pszCaption = caption_.c_str();
    header.nPages = static_cast<UINT>(descriptions.size());
    header.nStartPage = static_cast<UINT>(startPage_);
    header.ppsp = descriptions.data();
    header.pfnCallback = SheetCallback;

    windowMade_ = false;
    sheetBeingCreated = this;
    const INT_PTR result = ::PropertySheetW(&header);
    sheetBeingCreated = nullptr;
    return windowMade_ ? result : -1;
}

CPropertyPage* CPropertySheet::GetPage(int index) const noexcept {
    if (index < 0 || index >= GetPageCount()) return nullptr;
    return pages_[static_cast<std::size_t>(index)];
}

int CPropertySheet::GetPageIndex(const CPropertyPage& page) const noexcept {
    for (int i = 0; i < GetPageCount(); ++i) {
        if (pages_[static_cast<std::size_t>(i)] == &page) return i;
    }
    return -1;
}

int CPropertySheet::GetActiveIndex() const noexcept {
    if (hwnd_ == nullptr) return -1;
    const auto active = reinterpret_cast<HWND>(::SendMessageW(hwnd_, PSM_GETCURRENTPAGEHWND, 0, 0));
    if (active == nullptr) return -1;
    return static_cast<int>(::SendMessageW(hwnd_, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(active), 0));
}

bool CPropertySheet::OnCommand(WPARAM, LPARAM) noexcept { return false; }

bool CPropertySheet::OnSysCommand(WPARAM, LPARAM) noexcept { return false; }

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(wParam, lParam)) return 0;
        break;
    case WM_SYSCOMMAND:
        if (OnSysCommand(wParam, lParam)) return 0;
        break;
    default:
        break;
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CPropertySheet::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return ::DefSubclassProc(hwnd_, message, wParam, lParam);
}

void CPropertySheet::Attach(HWND sheet) noexcept {
    if (!::SetWindowSubclass(sheet, Thunk, kSheetSubclassId, reinterpret_cast<DWORD_PTR>(this))) return;
    hwnd_ = sheet;
    OnInitDialog();
}

int CALLBACK CPropertySheet::SheetCallback(HWND sheet, UINT message, LPARAM) noexcept {
    // Called once the sheet's window, its buttons and its pages' list exist,
    // before the start page is shown.
    if (message != PSCB_INITIALIZED || sheetBeingCreated == nullptr) return 0;
    sheetBeingCreated->windowMade_ = true;
    sheetBeingCreated->Attach(sheet);
    return 0;
}

LRESULT CALLBACK CPropertySheet::Thunk(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) noexcept {
    auto* object = reinterpret_cast<CPropertySheet*>(self);
    const LRESULT result = object->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(sheet, Thunk, kSheetSubclassId);
        object->hwnd_ = nullptr;
    }
    return result;
}

}  // namespace pixelmoor
