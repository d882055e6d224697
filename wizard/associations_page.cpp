#include "wizard/associations_page.h"

#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

#include "framework/gdi_objects.h"
#include "integration/windows_version.h"
#include "resources/wizard_ids.h"
#include "wizard/page_rules.h"

namespace pixelmoor {

namespace {

constexpr DWORD kListExtendedStyle = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
constexpr std::array kSelectionButtons = {IDC_SELECT_IMAGES, IDC_SELECT_ALL, IDC_SELECT_NONE};

void InsertColumns(HWND list) noexcept {
    RECT rect{};
    ::GetWindowRect(list, &rect);
    const ColumnWidths widths = AssociationColumnWidths(rect.right - rect.left, WindowDpi(list));
    wchar_t noHeader[] = L"";
    for (const int column : {0, 1}) {
        LVCOLUMNW description{};
        description.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        description.fmt = LVCFMT_LEFT;
        description.cx = column == 0 ? widths.label : widths.description;
        description.pszText = noHeader;
        description.iSubItem = column;
        ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&description));
    }
}

// One item per row of the format table, in row order, each unchecked.
void InsertFormatRows(HWND list) {
    int index = 0;
    for (const FormatRow& row : FormatTable()) {
        std::wstring label(row.label);
        std::wstring description(row.description);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = label.data();
        ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        LVITEMW subItem{};
        subItem.iSubItem = 1;
        subItem.pszText = description.data();
        ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&subItem));
        ++index;
    }
}

std::size_t ItemCount(HWND list) noexcept {
    return static_cast<std::size_t>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

void ApplyQuickSelection(HWND list, QuickSelection selection) noexcept {
    if (list == nullptr) return;
    const std::size_t count = ItemCount(list);
    for (std::size_t i = 0; i < count; ++i) {
        LVITEMW state{};
        state.stateMask = LVIS_STATEIMAGEMASK;
        state.state = INDEXTOSTATEIMAGEMASK(static_cast<UINT>(QuickSelectionImage(selection, i)));
        ::SendMessageW(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&state));
    }
}

}  // namespace

AssociationsPage::AssociationsPage(CWizPropertySheet& sheet) noexcept : CWizPropertyPage(IDD_ASSOCIATIONS, sheet) {}

AssociationSelection AssociationsPage::Selection() const {
    const bool enabled = list_ != nullptr && ::IsWindowEnabled(list_);
    std::vector<int> stateImages;
    const std::size_t count = enabled ? ItemCount(list_) : 0;
    for (std::size_t i = 0; i < count && i < kSelectionSize; ++i) {
        const auto state = static_cast<UINT>(::SendMessageW(list_, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK));
        stateImages.push_back(static_cast<int>(state >> 12));
    }
    return SelectionFromList(enabled, stateImages);
}

// The first activation: the list is set up and filled once per run, so its
// check marks survive Back and Next.
void AssociationsPage::SetUpList(HWND list) {
    list_ = list;
    if (IsWindowsVersionAtLeast(6, 0, 0)) CheckDlgButton(IDC_WRITE_ASSOCIATIONS, false);
    // Windows 11 takes file types from the user's own choice only.
    if (CurrentWindowsGeneration() == kGenerationWindows11) EnableDlgItem(IDC_WRITE_ASSOCIATIONS, false);
    if (!savedColours_) {
        savedColours_ = ListColours{static_cast<COLORREF>(::SendMessageW(list, LVM_GETBKCOLOR, 0, 0)),
                                    static_cast<COLORREF>(::SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0))};
    }
    // A mask of 0 replaces every extended style bit.
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kListExtendedStyle);
    InsertColumns(list);
    InsertFormatRows(list);
}

// Enables or disables the list with its three buttons and gives it these
// colours; nothing before the list is set up.
void AssociationsPage::EnableList(bool enable, const ListColours& colours) const noexcept {
    if (list_ == nullptr) return;
    ::EnableWindow(list_, enable ? TRUE : FALSE);
    ::SendMessageW(list_, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(colours.background));
    ::SendMessageW(list_, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(colours.text));
    for (const int button : kSelectionButtons) EnableDlgItem(button, enable);
}

void AssociationsPage::OnWriteAssociationsClicked() const noexcept {
    if (!IsDlgButtonChecked(IDC_WRITE_ASSOCIATIONS)) {
        EnableList(false, kDisabledColours);
    } else if (savedColours_) {
        EnableList(true, *savedColours_);
    }
}

BOOL AssociationsPage::OnSetActive() noexcept {
    // An option for systems long gone; never shown, never read.
    ::ShowWindow(GetDlgItem(IDC_XP_ALL_USERS), SW_HIDE);
    if (list_ == nullptr) SetUpList(GetDlgItem(IDC_ASSOCIATION_LIST));
    if (!IsDlgButtonChecked(IDC_WRITE_ASSOCIATIONS)) EnableList(false, kDisabledColours);
    return CWizPropertyPage::OnSetActive();
}

bool AssociationsPage::OnCommand(int id, int code, HWND) noexcept {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_WRITE_ASSOCIATIONS:
        OnWriteAssociationsClicked();
        return true;
    case IDC_SELECT_IMAGES:
        ApplyQuickSelection(list_, QuickSelection::kImagesOnly);
        return true;
    case IDC_SELECT_ALL:
        ApplyQuickSelection(list_, QuickSelection::kAll);
        return true;
    case IDC_SELECT_NONE:
        ApplyQuickSelection(list_, QuickSelection::kNone);
        return true;
    default:
        return false;
    }
}

}  // namespace pixelmoor
