// The GUI test driver: sees and operates the setup's wizard from another
// process in the same Wine prefix, as a user at the screen would.
//
// Everything that could block is bounded. Reads are sent with a time limit
// (a setup thread that shows a modal message box still answers them, because
// the box's own message loop dispatches sent messages). Presses, clicks, keys
// and the close command are posted and return at once: their handlers may
// open a modal box, which the caller then finds with WaitForMessageBox and
// answers with Answer.
//
//   test::StartedProgram setup(L"\"" + test::SetupExePath() + L"\"");
//   gui::WizardDriver wizard(setup.id());
//   ASSERT_TRUE(wizard.WaitForPage(101));
//   ASSERT_TRUE(wizard.Press(gui::kCancelButton));
//   const auto box = wizard.WaitForMessageBox();
//   ASSERT_TRUE(box && wizard.Answer(*box, IDYES));
//   EXPECT_EQ(wizard.WaitForExit(10000), 1602u);
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contract/product.h"
#include "framework/unique_handle.h"

namespace pixelmoor::test::gui {

// Command ids of the property sheet's own buttons.
inline constexpr int kBackButton = 0x3023;
inline constexpr int kNextButton = 0x3024;
inline constexpr int kFinishButton = 0x3025;
inline constexpr int kCancelButton = IDCANCEL;

// How long the waiting calls wait unless told otherwise.
inline constexpr DWORD kDefaultWaitMs = 10000;

// A progress bar's range and position.
struct ProgressState {
    int low = 0;
    int high = 0;
    int position = 0;
};

// One window as the user sees it.
struct ControlState {
    HWND window = nullptr;
    int id = 0;
    std::wstring className;  // "Button", "Static", "Edit", "SysListView32", ...
    std::wstring text;       // WM_GETTEXT, so an edit box gives what was typed
    DWORD style = 0;
    bool enabled = false;
    bool visible = false;                   // shown on screen: its own WS_VISIBLE and every parent's
    std::optional<bool> checked;            // check boxes and radio buttons only
    std::optional<ProgressState> progress;  // progress bars only
};

// The active page of the sheet.
struct PageState {
    HWND window = nullptr;
    int index = -1;                 // position in the sheet
    std::optional<int> templateId;  // dialog template id, when the page came from a resource id
};

enum class BoxIcon { kNone, kError, kQuestion, kWarning, kInformation, kUnknown };

// An open message box.
struct MessageBoxState {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    // kUnknown when a box shows an icon whose kind cannot be told from here
    // (an icon handle of another process cannot be compared under Wine).
    BoxIcon icon = BoxIcon::kNone;
    std::vector<ControlState> buttons;  // in the box's order, e.g. IDYES then IDNO
    int defaultButton = 0;              // the id Enter presses; 0 when there is none
};

class WizardDriver;

// A list view of the setup, read and changed across the process boundary.
// Every read gives nullopt when the list is gone or does not answer in time.
// A view refers to its driver and is used while that driver lives.
class ListView {
public:
    [[nodiscard]] HWND window() const noexcept { return window_; }
    explicit operator bool() const noexcept { return window_ != nullptr; }

    [[nodiscard]] std::optional<int> Count() const;
    [[nodiscard]] std::optional<std::wstring> Text(int item, int subItem = 0) const;
    // The check mark of a list with LVS_EX_CHECKBOXES (state image 2 checked, 1 empty).
    [[nodiscard]] std::optional<bool> Checked(int item) const;
    [[nodiscard]] std::optional<COLORREF> BackgroundColor() const;
    [[nodiscard]] std::optional<COLORREF> TextColor() const;
    [[nodiscard]] bool Enabled() const;
    // Sets or clears the check mark as a click on the box would, through
    // LVM_SETITEMSTATE (the list notifies its page as usual).
    bool SetChecked(int item, bool checked) const;

private:
    friend class WizardDriver;
    ListView(const WizardDriver* driver, HWND window) noexcept : driver_(driver), window_(window) {}
    const WizardDriver* driver_;
    HWND window_;
};

// Drives the wizard of one process. Movable, not copyable.
class WizardDriver {
public:
    // Works on the process with this id (opened for waiting and for reading
    // and writing its memory; see operator bool).
    explicit WizardDriver(DWORD processId);
    // Works on the process that shows a top-level window with this title,
    // waiting for one up to timeoutMs; nullopt when none appeared.
    static std::optional<WizardDriver> AttachByTitle(std::wstring_view title = kSetupCaption,
                                                     DWORD timeoutMs = kDefaultWaitMs);

    explicit operator bool() const noexcept { return static_cast<bool>(process_); }
    [[nodiscard]] DWORD processId() const noexcept { return processId_; }

    // --- The sheet -------------------------------------------------------
    // Waits until the process shows a visible dialog window with this title
    // and keeps it as the sheet that the other calls work on.
    bool WaitForSheet(DWORD timeoutMs = kDefaultWaitMs, std::wstring_view title = kSetupCaption);
    [[nodiscard]] HWND sheet() const noexcept { return sheet_; }
    // The screen rectangle of the sheet's window (frame included).
    [[nodiscard]] std::optional<RECT> SheetRect() const;
    // The sheet's buttons (Back, Next, Finish, Cancel, Help, ...): every
    // button that is a direct child of the sheet, hidden ones included.
    [[nodiscard]] std::vector<ControlState> SheetButtons() const;
    [[nodiscard]] std::optional<ControlState> SheetButton(int id) const;

    // --- Pages -----------------------------------------------------------
    [[nodiscard]] std::optional<PageState> ActivePage() const;
    // Waits for the sheet (finding it by the setup's title first if needed)
    // and then until the page of this template is the active page, visible
    // and with its controls created.
    bool WaitForPage(int templateId, DWORD timeoutMs = kDefaultWaitMs);
    // The direct child windows of the active page, in tab (creation) order.
    [[nodiscard]] std::vector<ControlState> PageControls() const;
    // One control of the active page.
    [[nodiscard]] std::optional<ControlState> Control(int id) const;
    // One control of the page at this position, also while another page is
    // shown; nullopt when that page has not been created yet.
    [[nodiscard]] std::optional<ControlState> PageControl(int pageIndex, int id) const;
    // A list view of the active page (empty when there is none with this id),
    // or of the page at a position.
    [[nodiscard]] ListView List(int id) const;
    [[nodiscard]] ListView PageList(int pageIndex, int id) const;

    // Waits until the active page's progress bar `id` is shown with its
    // position at atLeast or beyond; false when it did not get there in time.
    bool WaitForProgress(int id, int atLeast, DWORD timeoutMs = kDefaultWaitMs);
    // Whether the sheet's thread takes a message (WM_NULL, sent) within
    // withinMs, as Windows asks before it greys a window out as not answering.
    [[nodiscard]] bool Answers(DWORD withinMs) const;

    // --- Operating (posted; the calls return at once) --------------------
    // A click on a sheet button. False, and nothing is posted, when the
    // button does not exist or is hidden or disabled, or the sheet is
    // disabled under a modal box: a user could not click it.
    bool Press(int buttonId);
    // A click on a control of the active page (a push button, check box or
    // radio button); automatic check boxes and radio buttons change their
    // state as under the mouse. Same refusal as Press.
    bool Click(int controlId);
    // The command of a sheet button sent as WM_COMMAND whatever the button's
    // state, to prove that a handler ignores what a user cannot press.
    bool PostCommand(int commandId);
    // Replaces the text of an edit box of the active page (WM_SETTEXT, sent
    // with a time limit; the box notifies its page with EN_CHANGE).
    bool SetText(int controlId, std::wstring_view text);
    // A key press (WM_KEYDOWN, WM_KEYUP) posted to the setup's focus window,
    // where the dialog manager of the sheet or of an open box sees it:
    // VK_RETURN presses the default button, VK_ESCAPE is Cancel.
    bool PostKey(UINT virtualKey);
    // The close box, the system menu's close item or Alt+F4: WM_SYSCOMMAND
    // with SC_CLOSE posted to the sheet.
    bool PostSysClose();

    // --- Message boxes and the folder dialog -----------------------------
    // The message boxes that the process shows now (visible dialogs other
    // than the sheet and the folder dialog).
    [[nodiscard]] std::vector<MessageBoxState> MessageBoxes() const;
    // Waits until the process shows a message box and returns the first.
    [[nodiscard]] std::optional<MessageBoxState> WaitForMessageBox(DWORD timeoutMs = kDefaultWaitMs) const;
    // Clicks the box's button with this id (IDYES, IDNO, IDOK, ...) and waits
    // until the box has closed. False when it has no such enabled button or
    // did not close in time.
    bool Answer(const MessageBoxState& box, int buttonId, DWORD timeoutMs = kDefaultWaitMs) const;
    // Waits until no message box of the process is open any more (after a
    // key press answered one).
    bool WaitUntilNoMessageBox(DWORD timeoutMs = kDefaultWaitMs) const;
    // The shell's folder dialog (SHBrowseForFolderW) when one is open, else null.
    [[nodiscard]] HWND FolderDialog() const;
    // Cancels the folder dialog (waiting for one to open first) and waits
    // until it has closed; false when none opened or it stayed open.
    bool CancelFolderDialog(DWORD timeoutMs = kDefaultWaitMs) const;
    // Presses OK in the folder dialog (waiting for one to open first) and
    // waits until it has closed. With a folder given, the dialog selects it
    // first (BFFM_SETSELECTIONW), as a user's click in its tree would;
    // without one, the dialog's own selection is taken.
    bool ChooseInFolderDialog(std::wstring_view folder = {}, DWORD timeoutMs = kDefaultWaitMs) const;

    // --- The process -----------------------------------------------------
    // The exit code once the process has ended within timeoutMs.
    [[nodiscard]] std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;

    // Everything above as readable text: sheet, buttons, active page, its
    // controls, list views, open boxes and the folder dialog.
    [[nodiscard]] std::wstring Dump() const;

private:
    friend class ListView;
    [[nodiscard]] std::optional<LRESULT> Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
    [[nodiscard]] std::optional<ControlState> ReadControl(HWND window) const;
    [[nodiscard]] HWND PageWindow(int pageIndex) const;
    [[nodiscard]] HWND ActivePageWindow() const;

    UniqueHandle process_;
    DWORD processId_ = 0;
    HWND sheet_ = nullptr;
};

// Names for dumps and messages.
std::wstring_view BoxIconName(BoxIcon icon);
std::wstring DescribeControl(const ControlState& control);
// Count, state, colours and every row of a list view (check mark and the
// texts of the first two columns).
std::wstring DescribeList(const ListView& list);

}  // namespace pixelmoor::test::gui
