// A small wizard for the GUI driver's own test: a sheet with a check box,
// radio buttons, an edit box and two push buttons (one opens the shell's
// folder dialog) on its first page and a check-box list on its second. Cancel asks a question in a modal message box
// from inside the page's handler, as the setup does. The exit code tells what
// the wizard saw: 1602 when the question was answered Yes, otherwise 100 plus
// one bit per checked list row, taken when Finish is pressed.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <array>

#include "framework/unique_handle.h"

namespace {

constexpr wchar_t kTitle[] = L"Pr\u00fcf-Assistent";
constexpr int kList = 1579;
constexpr DWORD kCancelledExitCode = 1602;
constexpr DWORD kFinishedExitCode = 100;

struct Row {
    const wchar_t* label;
    const wchar_t* description;
    bool checked;
};
constexpr std::array<Row, 3> kRows = {{{L"\u00c4PFEL", L"Apfel-Bilder", false},
                                       {L"\u00d6L", L"\u00d6lgem\u00e4lde *", true},
                                       {L"\u00dcBUNG", L"\u00dcbungsbl\u00e4tter", false}}};

DWORD exitCode = kCancelledExitCode;

void SetResult(HWND page, LONG_PTR result) { ::SetWindowLongPtrW(page, DWLP_MSGRESULT, result); }

// Cancel asks first; No keeps the wizard open.
void QueryCancel(HWND page) {
    const int answer = ::MessageBoxW(::GetParent(page), L"Assistent beenden?", kTitle,
                                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    SetResult(page, answer == IDYES ? FALSE : TRUE);
}

void FillList(HWND page) {
    const HWND list = ::GetDlgItem(page, kList);
    ListView_SetExtendedListViewStyleEx(list, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 120;
    ListView_InsertColumn(list, 0, &column);
    ListView_InsertColumn(list, 1, &column);
    for (int i = 0; i < static_cast<int>(kRows.size()); ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(kRows[i].label);
        ListView_InsertItem(list, &item);
        ListView_SetItemText(list, i, 1, const_cast<wchar_t*>(kRows[i].description));
        ListView_SetCheckState(list, i, kRows[i].checked);
    }
    ListView_SetBkColor(list, RGB(192, 192, 192));
    ListView_SetTextColor(list, RGB(255, 128, 0));
}

DWORD CheckedRows(HWND page) {
    const HWND list = ::GetDlgItem(page, kList);
    DWORD bits = 0;
    for (int i = 0; i < ListView_GetItemCount(list); ++i)
        if (ListView_GetCheckState(list, i)) bits |= 1u << i;
    return bits;
}

INT_PTR CALLBACK FirstPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_INITDIALOG) {
        ::CheckDlgButton(page, 1011, BST_CHECKED);
        ::CheckRadioButton(page, 1016, 1017, 1016);
        ::SetDlgItemTextW(page, 1000, L"C:\\Program Files\\Pixelmoor");
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == 1019 && HIWORD(wParam) == BN_CLICKED) {
        ::CheckDlgButton(page, 1011, BST_UNCHECKED);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == 1009 && HIWORD(wParam) == BN_CLICKED) {
        BROWSEINFOW browse{};
        browse.hwndOwner = ::GetParent(page);
        browse.lpszTitle = L"Zielverzeichnis:";
        browse.ulFlags = BIF_RETURNONLYFSDIRS;
        const pixelmoor::UniqueCoTaskMem<ITEMIDLIST> chosen(::SHBrowseForFolderW(&browse));
        if (wchar_t path[MAX_PATH]; chosen && ::SHGetPathFromIDListW(chosen.get(), path))
            ::SetDlgItemTextW(page, 1000, path);
        return TRUE;
    }
    if (message != WM_NOTIFY) return FALSE;
    switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
    case PSN_SETACTIVE:
        PropSheet_SetWizButtons(::GetParent(page), PSWIZB_NEXT);
        SetResult(page, 0);
        return TRUE;
    case PSN_QUERYCANCEL:
        QueryCancel(page);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK ListPage(HWND page, UINT message, WPARAM, LPARAM lParam) noexcept {
    if (message == WM_INITDIALOG) {
        FillList(page);
        return TRUE;
    }
    if (message != WM_NOTIFY) return FALSE;
    switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
    case PSN_SETACTIVE:
        PropSheet_SetWizButtons(::GetParent(page), PSWIZB_BACK | PSWIZB_FINISH);
        SetResult(page, 0);
        return TRUE;
    case PSN_WIZFINISH:
        exitCode = kFinishedExitCode + CheckedRows(page);
        SetResult(page, 0);
        return TRUE;
    case PSN_QUERYCANCEL:
        QueryCancel(page);
        return TRUE;
    }
    return FALSE;
}

// The sheet carries the title from its start, as the setup's sheet does.
int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM) noexcept {
    if (message == PSCB_INITIALIZED) ::SetWindowTextW(sheet, kTitle);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const pixelmoor::ComScope com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    std::array<PROPSHEETPAGEW, 2> pages{};
    const std::array<std::pair<int, DLGPROC>, 2> templates = {{{101, FirstPage}, {104, ListPage}}};
    for (size_t i = 0; i < pages.size(); ++i) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEW);
        pages[i].hInstance = instance;
        pages[i].pszTemplate = MAKEINTRESOURCEW(templates[i].first);
        pages[i].pfnDlgProc = templates[i].second;
    }
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    header.pfnCallback = SheetCallback;
    header.hInstance = instance;
    header.pszCaption = kTitle;
    header.nPages = static_cast<UINT>(pages.size());
    header.ppsp = pages.data();
    ::PropertySheetW(&header);
    return static_cast<int>(exitCode);
}
