// CPropertySheet and CPropertyPage: a modal property sheet over comctl32's
// PropertySheetW, whose pages are program objects made from dialog
// templates of the program's resources.
//
// comctl32 creates a page's window when the page is first shown and keeps
// it, hidden, while other pages are shown, until the sheet closes; so a
// page's controls hold the user's entries for the whole run.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <optional>
#include <string>
#include <vector>

namespace pixelmoor {

class CStatic;

class CPropertyPage {
public:
    // A page made from dialog template `templateId` of the running program.
    explicit CPropertyPage(int templateId) noexcept : templateId_(templateId) {}
    virtual ~CPropertyPage() = default;
    CPropertyPage(const CPropertyPage&) = delete;
    CPropertyPage& operator=(const CPropertyPage&) = delete;

    [[nodiscard]] int TemplateId() const noexcept { return templateId_; }
    // The page's window; null until the page is first shown, and again
    // after the sheet has closed.
    [[nodiscard]] HWND GetSafeHwnd() const noexcept { return hwnd_; }
    [[nodiscard]] HWND GetDlgItem(int id) const noexcept { return ::GetDlgItem(hwnd_, id); }

    // The text of control `id`, at most `limit` characters of it (what a
    // buffer of limit + 1 characters takes); empty without such a control.
    [[nodiscard]] std::wstring GetDlgItemText(int id, std::size_t limit) const;
    void SetDlgItemText(int id, const std::wstring& text) const noexcept;
    // Check boxes and radio buttons.
    [[nodiscard]] bool IsDlgButtonChecked(int id) const noexcept;
    void CheckDlgButton(int id, bool checked) const noexcept;
    void EnableDlgItem(int id, bool enable) const noexcept;

    // The page's caption; in a wizard it is the window title while the page
    // is shown. Empty: the template's own caption.
    void SetCaption(std::wstring caption) { caption_ = std::move(caption); }

    // Binds control `id` of this page to `control` unless that object is
    // bound already (then nothing happens).
    void BindControl(int id, CStatic& control) noexcept;

    // The sheet is about to close while this page is shown, through Cancel
    // (or Escape), or through its window's close command (the close box, the
    // system menu, Alt+F4): TRUE lets it close, FALSE keeps it open.
    virtual BOOL OnQueryCancel() noexcept { return TRUE; }
    virtual BOOL OnQueryClose() noexcept { return TRUE; }

protected:
    // The page's window exists; the default binds the controls.
    virtual BOOL OnInitDialog() noexcept;
    // Control binding: run when the page is created and again whenever the
    // page is left (its data are collected).
    virtual void DoDataExchange() noexcept {}
    // The page is about to be shown; TRUE lets it be shown.
    virtual BOOL OnSetActive() noexcept { return TRUE; }
    // The page is about to be left. The result means what it means to the
    // system's property sheets: FALSE lets the page go, TRUE keeps it. The
    // default runs the control binding.
    virtual BOOL OnKillActive() noexcept;

    // Back and Next in a wizard. The result says where to go:
    //   0            the page before (Back) or after (Next) this one,
    //   -1           stay on this page,
    //   a template   the page made from that dialog template id.
    virtual LRESULT OnWizardBack() noexcept { return 0; }
    virtual LRESULT OnWizardNext() noexcept { return 0; }

    // WM_COMMAND of the page's controls; true when handled.
    virtual bool OnCommand(int id, int code, HWND control) noexcept;

private:
    friend class CPropertySheet;
    [[nodiscard]] PROPSHEETPAGEW Description() noexcept;
    static INT_PTR CALLBACK DialogThunk(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    [[nodiscard]] std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    [[nodiscard]] std::optional<LRESULT> HandleSheetNotification(const NMHDR& header) noexcept;

    int templateId_;
    std::wstring caption_;
    HWND hwnd_ = nullptr;
};

class CPropertySheet {
public:
    // A sheet with this caption, owned by `parent`, that opens on page
    // `startPage`.
    explicit CPropertySheet(std::wstring caption, HWND parent = nullptr, int startPage = 0);
    virtual ~CPropertySheet();
    CPropertySheet(const CPropertySheet&) = delete;
    CPropertySheet& operator=(const CPropertySheet&) = delete;

    // Adds a page behind the others; the page must outlive the sheet's run.
    void AddPage(CPropertyPage& page);

    // Shows the sheet and returns when it has closed: IDOK or 0 (closed as
    // a cancel) as comctl32 reports it, -1 when the sheet could not be made
    // (comctl32 reports 0 also when its window could not be created, as
    // without a display).
    INT_PTR DoModal();

    [[nodiscard]] HWND GetSafeHwnd() const noexcept { return hwnd_; }
    [[nodiscard]] HWND GetDlgItem(int id) const noexcept { return ::GetDlgItem(hwnd_, id); }
    [[nodiscard]] int GetPageCount() const noexcept { return static_cast<int>(pages_.size()); }
    // The page at `index`; null outside the range.
    [[nodiscard]] CPropertyPage* GetPage(int index) const noexcept;
    // The position of `page` among the sheet's pages, -1 when it is not one.
    [[nodiscard]] int GetPageIndex(const CPropertyPage& page) const noexcept;
    // The position of the page shown now, -1 when there is none.
    [[nodiscard]] int GetActiveIndex() const noexcept;
    // The page shown now; null when there is none.
    [[nodiscard]] CPropertyPage* GetActivePage() const noexcept { return GetPage(GetActiveIndex()); }

protected:
    // Header flags of PropertySheetW (PSH_WIZARD for a wizard).
    void AddHeaderFlags(DWORD flags) noexcept { headerFlags_ |= flags; }

    // comctl32 has created the sheet's window, its buttons and the start page.
    virtual void OnInitDialog() noexcept {}
    // WM_COMMAND and WM_SYSCOMMAND of the sheet's window: true when handled
    // here, false to let comctl32 handle them.
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam) noexcept;
    virtual bool OnSysCommand(WPARAM wParam, LPARAM lParam) noexcept;
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    // comctl32's own handling of a message of the sheet's window.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

private:
    static int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM lParam) noexcept;
    static LRESULT CALLBACK Thunk(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                  DWORD_PTR self) noexcept;
    void Attach(HWND sheet) noexcept;

    std::wstring caption_;
    HWND parent_;
    int startPage_;
    DWORD headerFlags_ = PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    std::vector<CPropertyPage*> pages_;
    HWND hwnd_ = nullptr;
    // The sheet's window came into being during DoModal.
    bool windowMade_ = false;
};

}  // namespace pixelmoor
