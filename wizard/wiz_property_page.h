// CWizPropertyPage: the base of the wizard's five pages (WelcomePage,
// WhatsNewPage, AssociationsPage, ReadyPage, FinishPage), each a class of
// its own in a file of its own that owns its controls and its state. The
// base holds what they share: the sheet, Back and Next in page order, and
// the cancel question.
//
// Where Back and Next go (see CPropertyPage): 0 the neighbouring page, -1
// stay on this page, a dialog template id the page made from it.
#pragma once

#include <windows.h>

#include "framework/property_sheet.h"
#include "wizard/wiz_property_sheet.h"

namespace pixelmoor {

class CWizPropertyPage : public CPropertyPage {
public:
    // A page of `sheet` made from dialog template `templateId`; the sheet
    // outlives it.
    CWizPropertyPage(int templateId, CWizPropertySheet& sheet) noexcept : CPropertyPage(templateId), sheet_(sheet) {}

    // The template id of the page after (forward) or before the active page;
    // -1 when there is none, which keeps the active page when returned from
    // Back or Next.
    [[nodiscard]] LRESULT GetAdjacentPageId(bool forward) const noexcept;

    [[nodiscard]] CWizPropertySheet& Sheet() const noexcept { return sheet_; }

    // Cancel, Escape and the close box ask the cancel question; Yes closes
    // the wizard without installing.
    BOOL OnQueryCancel() noexcept override;
    BOOL OnQueryClose() noexcept override;

protected:
    LRESULT OnWizardBack() noexcept override;
    // Enables Back (only the first page has none), then lets the page decide
    // where Next goes.
    LRESULT OnWizardNext() noexcept final;
    // Where Next goes from this page; by default the page after it.
    [[nodiscard]] virtual LRESULT NextPressed() noexcept;

private:
    CWizPropertySheet& sheet_;
};

}  // namespace pixelmoor
