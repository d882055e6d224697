// CWizPropertySheet: the setup wizard's sheet. It owns the wizard's window,
// title, title font, and the two custom controls that pages borrow; it asks
// before the wizard is cancelled, and closes through the relabelled Cancel
// button on the finish page.
#pragma once

#include <windows.h>

#include <string>

#include "framework/gdi_objects.h"
#include "framework/property_sheet.h"
#include "wizard/color_static.h"
#include "wizard/hyperlink.h"

namespace pixelmoor {

class CWizPropertyPage;
class CWizPropertySheet;

// Positions of the pages in the sheet.
enum PagePosition : int {
    kWelcomePosition = 0,
    kWhatsNewPosition = 1,
    kAssociationsPosition = 2,
    kReadyPosition = 3,
    kFinishPosition = 4,
};

// The sheet's wizard buttons.
inline constexpr int kBackButton = 0x3023;
inline constexpr int kNextButton = 0x3024;

// An installation that runs on the wizard's thread, from the making of this
// object to its end. Meanwhile the sheet's Back, Next and Cancel are disabled
// and the close box, Escape and Alt+F4 do nothing (a modal box that the
// installation shows still lets them reach the sheet). At the end the
// buttons come back, and the keys, clicks and close commands that waited for
// the installation are dropped: they were meant for no page, and would
// otherwise act on the one that follows it.
class InstallationInProgress {
public:
    explicit InstallationInProgress(CWizPropertySheet& sheet) noexcept;
    ~InstallationInProgress();
    InstallationInProgress(const InstallationInProgress&) = delete;
    InstallationInProgress& operator=(const InstallationInProgress&) = delete;

private:
    CWizPropertySheet& sheet_;
};

class CWizPropertySheet : public CPropertySheet {
public:
    // "Pixelmoor Setup", no owner, opening on the first page, wizard style.
    CWizPropertySheet();

    // Adds a wizard page behind the others and gives it this sheet.
    void AddPage(CWizPropertyPage& page);
    [[nodiscard]] CWizPropertyPage* GetWizPage(int index) const noexcept;

    // The bold title font that pages give their headlines.
    [[nodiscard]] CFont& TitleFont() noexcept { return titleFont_; }
    // The association list of the associations page; null until that page
    // has been shown.
    [[nodiscard]] HWND AssociationList() const noexcept { return associationList_; }
    void SetAssociationList(HWND list) noexcept { associationList_ = list; }
    [[nodiscard]] CHyperLink& LicenceLink() noexcept { return licenceLink_; }
    [[nodiscard]] CXColorStatic& StatusText() noexcept { return statusText_; }
    // "Pixelmoor 64-bit Setup": the window title and every message box's caption.
    [[nodiscard]] const std::wstring& TitleText() const noexcept { return titleText_; }

    // The installation has run to its end (the finish page can be reached).
    void RecordInstallationSucceeded() noexcept { installationSucceeded_ = true; }
    [[nodiscard]] bool InstallationSucceeded() const noexcept { return installationSucceeded_; }

    // Shows a message box owned by the sheet with the title text as caption.
    int ShowMessage(int stringId, UINT flags) const noexcept;
    // While the viewer runs (a window of its class exists), shows the
    // warning (string 10) and returns true.
    bool WarnIfViewerRuns() const noexcept;
    // Gives control `id` of `page` the title font and redraws it.
    void UseTitleFont(const CPropertyPage& page, int id) const noexcept;
    void SetButtonText(int button, const std::wstring& text) const noexcept;
    void EnableButton(int button, bool enable) const noexcept;

protected:
    void OnInitDialog() noexcept override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) noexcept override;
    bool OnSysCommand(WPARAM wParam, LPARAM lParam) noexcept override;

private:
    friend class InstallationInProgress;

    // The cancel question; true when the user answered Yes.
    [[nodiscard]] bool UserConfirmsCancel() const noexcept;

    CFont titleFont_;
    HWND associationList_ = nullptr;
    CHyperLink licenceLink_;
    CXColorStatic statusText_;
    std::wstring titleText_;
    bool installationSucceeded_ = false;
    // An InstallationInProgress lives: cancelling and closing do nothing.
    bool installing_ = false;
    // The close has been decided (question answered Yes, or the finish page
    // closes): a Cancel command that comctl32 sends or posts on its way out
    // passes without a second question or a second finish action.
    bool closing_ = false;
};

}  // namespace pixelmoor
