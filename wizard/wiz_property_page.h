// CWizPropertyPage: the one page class of the wizard. Every handler decides
// from the page's position in the sheet what to do; the rules of each page
// live in their own file (welcome_page.cpp, whats_new_page.cpp,
// associations_page.cpp, ready_page.cpp, finish_page.cpp).
#pragma once

#include <windows.h>

#include "framework/property_sheet.h"

namespace pixelmoor {

class CWizPropertySheet;

class CWizPropertyPage : public CPropertyPage {
public:
    explicit CWizPropertyPage(int templateId) noexcept : CPropertyPage(templateId) {}

    // The template id of the nearest page after (forward) or before the
    // active page that is in sequence; -1 when there is none, which keeps
    // the active page when returned from Back or Next.
    [[nodiscard]] virtual LRESULT GetAdjacentPageId(bool forward) const noexcept;

    [[nodiscard]] CWizPropertySheet& Sheet() const noexcept { return *sheet_; }
    // This page's position in the sheet.
    [[nodiscard]] int Position() const noexcept;

    [[nodiscard]] bool IsFirstActivation() const noexcept { return firstActivation_ != 0; }
    void ClearFirstActivation() noexcept { firstActivation_ = 0; }
    [[nodiscard]] bool InSequence() const noexcept { return inSequence_ != 0; }

    // The association list's own colours, taken once before the page
    // changes them.
    [[nodiscard]] bool HasSavedListColours() const noexcept { return savedListText_ != kColoursNotSaved; }
    void SaveListColours(COLORREF background, COLORREF text) noexcept {
        savedListBackground_ = background;
        savedListText_ = text;
    }
    [[nodiscard]] COLORREF SavedListBackground() const noexcept { return savedListBackground_; }
    [[nodiscard]] COLORREF SavedListText() const noexcept { return savedListText_; }

    // The finish page's actions, run when "&Fertig stellen" closes the wizard.
    void RunFinishActions() noexcept;

protected:
    void DoDataExchange() noexcept override;
    BOOL OnSetActive() noexcept override;
    LRESULT OnWizardBack() noexcept override;
    LRESULT OnWizardNext() noexcept override;
    bool OnCommand(int id, int code, HWND control) noexcept override;

private:
    friend class CWizPropertySheet;
    static constexpr COLORREF kColoursNotSaved = 0xFFFFFFFF;

    int firstActivation_ = 1;
    COLORREF savedListBackground_ = 0;
    COLORREF savedListText_ = kColoursNotSaved;
    int inSequence_ = 1;
    CWizPropertySheet* sheet_ = nullptr;
};

}  // namespace pixelmoor
