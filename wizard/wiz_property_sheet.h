// CWizPropertySheet: the setup wizard's sheet. It owns the wizard's window,
// title and title font; it asks the page shown whether the wizard may close
// (Cancel, Escape, the close box), and nothing reacts while an installation
// runs. It knows its pages only as the framework's pages: what each page
// shows and does is the page's own class.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "framework/gdi_objects.h"
#include "framework/property_sheet.h"

namespace pixelmoor {

class CWizPropertySheet;

// The sheet's wizard buttons.
inline constexpr int kBackButton = 0x3023;
inline constexpr int kNextButton = 0x3024;
inline constexpr int kFinishButton = 0x3025;

// An installation runs, from the making of this object to its end, on a
// worker thread while the wizard's thread keeps the sheet alive (repainted,
// movable, answering). Meanwhile the sheet's Back, Next and Cancel are
// disabled; their commands, the close box, Alt+F4, WM_CLOSE and the sheet's
// page messages (PSM_PRESSBUTTON, PSM_SETCURSEL) do nothing; and the keys
// and clicks that reach the wizard's windows are dropped: they were meant
// for no page, and would otherwise act on the ready page or on the one that
// follows it. At the end the buttons come back, and what still waits of
// such input is dropped too.
class InstallationInProgress {
public:
    explicit InstallationInProgress(CWizPropertySheet& sheet) noexcept;
    ~InstallationInProgress();
    InstallationInProgress(const InstallationInProgress&) = delete;
    InstallationInProgress& operator=(const InstallationInProgress&) = delete;

    // Which of the wizard's messages are dispatched while the installation
    // runs (the filter for RunOffWindowThread): everything but the keys and
    // the mouse input of windows' client areas. The frame's own mouse input
    // still moves and minimises the sheet.
    static bool Dispatched(const MSG& message) noexcept;

private:
    CWizPropertySheet& sheet_;
};

class CWizPropertySheet : public CPropertySheet {
public:
    // "Pixelmoor Setup", no owner, opening on the first page, wizard style.
    CWizPropertySheet();

    // Adds a page behind the others. A wizard shows the active page's
    // caption as its window title, so every page carries the title text.
    void AddPage(CPropertyPage& page);

    // The bold title font that pages give their headlines.
    [[nodiscard]] CFont& TitleFont() noexcept { return titleFont_; }
    // "Pixelmoor 64-bit Setup": the window title and every message box's caption.
    [[nodiscard]] const std::wstring& TitleText() const noexcept { return titleText_; }

    // The installation has run to its end (the finish page can be reached).
    void RecordInstallationSucceeded() noexcept { installationSucceeded_ = true; }
    [[nodiscard]] bool InstallationSucceeded() const noexcept { return installationSucceeded_; }

    // Shows a message box owned by the sheet with the title text as caption:
    // string stringId, or the text given.
    int ShowMessage(int stringId, UINT flags) const noexcept;
    int ShowMessage(const std::wstring& text, UINT flags) const noexcept;
    // The cancel question; true when the user answered Yes.
    [[nodiscard]] bool UserConfirmsCancel() const noexcept;
    // While the viewer runs (a window of its class exists) or another
    // program of the payload runs from the folder that folderText names,
    // shows the warning (string 10) and returns true.
    bool WarnIfViewerRuns(std::wstring_view folderText) const noexcept;
    // Gives control `id` of `page` the title font and redraws it.
    void UseTitleFont(const CPropertyPage& page, int id) const noexcept;
    void SetButtonText(int button, const std::wstring& text) const noexcept;
    void EnableButton(int button, bool enable) const noexcept;

protected:
    void OnInitDialog() noexcept override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) noexcept override;
    bool OnSysCommand(WPARAM wParam, LPARAM lParam) noexcept override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;

private:
    friend class InstallationInProgress;

    CFont titleFont_;
    std::wstring titleText_;
    bool installationSucceeded_ = false;
    // An InstallationInProgress lives: the buttons' commands, cancelling and
    // closing do nothing.
    bool installing_ = false;
    // The close has been decided (the page shown let it close): a Cancel
    // command that comctl32 sends or posts on its way out passes without a
    // second question or a second finish action.
    bool closing_ = false;
};

}  // namespace pixelmoor
