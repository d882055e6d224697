// Associations page (position 2, template 104): the file types to associate
// with the viewer. The list's handle is kept by the sheet, for the ready page.
// The list can be used only while 3311 is ticked, which on Windows 11 it
// cannot be.
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

#include "framework/gdi_objects.h"
#include "integration/format_table.h"
#include "integration/windows_version.h"
#include "resources/wizard_ids.h"
#include "wizard/page_rules.h"
#include "wizard/pages.h"
#include "wizard/wiz_property_page.h"
#include "wizard/wiz_property_sheet.h"

namespace pixelmoor {

namespace {

// The list while it cannot be used: silver with orange text.
constexpr COLORREF kDisabledBackground = RGB(192, 192, 192);
constexpr COLORREF kDisabledText = RGB(255, 128, 0);
constexpr DWORD kListExtendedStyle = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
constexpr std::array kSelectionButtons = {IDC_SELECT_IMAGES, IDC_SELECT_ALL, IDC_SELECT_NONE};

// Enables or disables the list with its three buttons and gives it these
// colours; nothing before the list is set up.
void EnableList(const CWizPropertyPage& page, bool enable, COLORREF background, COLORREF text) noexcept {
    const HWND list = page.Sheet().AssociationList();
    if (list == nullptr) return;
    ::EnableWindow(list, enable ? TRUE : FALSE);
    ::SendMessageW(list, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(background));
    ::SendMessageW(list, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
    for (const int button : kSelectionButtons) page.EnableDlgItem(button, enable);
}

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

// The first activation: the list is set up and filled once per run, so its
// check marks survive Back and Next.
void SetUpList(CWizPropertyPage& page, HWND list) {
    page.Sheet().SetAssociationList(list);
    if (IsWindowsVersionAtLeast(6, 0, 0)) page.CheckDlgButton(IDC_WRITE_ASSOCIATIONS, false);
    // Windows 11 takes file types from the user's own choice only.
    if (CurrentWindowsGeneration() == kGenerationWindows11) page.EnableDlgItem(IDC_WRITE_ASSOCIATIONS, false);
    if (!page.HasSavedListColours()) {
        page.SaveListColours(static_cast<COLORREF>(::SendMessageW(list, LVM_GETBKCOLOR, 0, 0)),
                             static_cast<COLORREF>(::SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)));
    }
    // A mask of 0 replaces every extended style bit.
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kListExtendedStyle);
    InsertColumns(list);
    InsertFormatRows(list);
}

void OnWriteAssociationsClicked(const CWizPropertyPage& page) noexcept {
    if (page.IsDlgButtonChecked(IDC_WRITE_ASSOCIATIONS)) {
        EnableList(page, true, page.SavedListBackground(), page.SavedListText());
    } else {
        EnableList(page, false, kDisabledBackground, kDisabledText);
    }
}

void ApplyQuickSelection(const CWizPropertyPage& page, QuickSelection selection) noexcept {
    const HWND list = page.Sheet().AssociationList();
    if (list == nullptr) return;
    const auto count = static_cast<std::size_t>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (std::size_t i = 0; i < count; ++i) {
        LVITEMW state{};
        state.stateMask = LVIS_STATEIMAGEMASK;
        state.state = INDEXTOSTATEIMAGEMASK(static_cast<UINT>(QuickSelectionImage(selection, i)));
        ::SendMessageW(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&state));
    }
}

}  // namespace

void AssociationsOnSetActive(CWizPropertyPage& page) noexcept {
    // An option for systems long gone; never shown, never read.
    ::ShowWindow(page.GetDlgItem(IDC_XP_ALL_USERS), SW_HIDE);
    if (page.Sheet().AssociationList() == nullptr) SetUpList(page, page.GetDlgItem(IDC_ASSOCIATION_LIST));
    if (!page.IsDlgButtonChecked(IDC_WRITE_ASSOCIATIONS)) EnableList(page, false, kDisabledBackground, kDisabledText);
}

bool AssociationsOnCommand(CWizPropertyPage& page, int id, int code) noexcept {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_WRITE_ASSOCIATIONS:
        OnWriteAssociationsClicked(page);
        return true;
    case IDC_SELECT_IMAGES:
        ApplyQuickSelection(page, QuickSelection::kImagesOnly);
        return true;
    case IDC_SELECT_ALL:
        ApplyQuickSelection(page, QuickSelection::kAll);
        return true;
    case IDC_SELECT_NONE:
        ApplyQuickSelection(page, QuickSelection::kNone);
        return true;
    default:
        return false;
    }
}

AssociationSelection ReadAssociationSelection(const CWizPropertySheet& sheet) {
    const HWND list = sheet.AssociationList();
    const bool enabled = list != nullptr && ::IsWindowEnabled(list);
    std::vector<int> stateImages;
    const auto count = enabled ? static_cast<std::size_t>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
    for (std::size_t i = 0; i < count && i < kSelectionSize; ++i) {
        const auto state = static_cast<UINT>(::SendMessageW(list, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK));
        stateImages.push_back(static_cast<int>(state >> 12));
    }
    return SelectionFromList(enabled, stateImages);
}

}  // namespace pixelmoor
