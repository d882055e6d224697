#include "wizard/wiz_property_page.h"

#include <vector>

#include "wizard/navigation_rules.h"
#include "wizard/pages.h"
#include "wizard/wiz_property_sheet.h"

namespace pixelmoor {

int CWizPropertyPage::Position() const noexcept { return sheet_ != nullptr ? sheet_->GetPageIndex(*this) : -1; }

LRESULT CWizPropertyPage::GetAdjacentPageId(bool forward) const noexcept {
    std::vector<PageInSequence> pages;
    for (int i = 0; i < sheet_->GetPageCount(); ++i) {
        const CWizPropertyPage* page = sheet_->GetWizPage(i);
        pages.push_back({page->TemplateId(), page->InSequence()});
    }
    return AdjacentPageId(pages, sheet_->GetActiveIndex(), forward);
}

void CWizPropertyPage::DoDataExchange() noexcept {
    switch (Position()) {
    case kWelcomePosition:
        WelcomeBindControls(*this);
        break;
    case kReadyPosition:
        ReadyBindControls(*this);
        break;
    default:
        break;
    }
}

BOOL CWizPropertyPage::OnSetActive() noexcept {
    switch (Position()) {
    case kWelcomePosition:
        WelcomeOnSetActive(*this);
        break;
    case kWhatsNewPosition:
        WhatsNewOnSetActive(*this);
        break;
    case kAssociationsPosition:
        AssociationsOnSetActive(*this);
        break;
    case kReadyPosition:
        ReadyOnSetActive(*this);
        break;
    case kFinishPosition:
        FinishOnSetActive(*this);
        break;
    default:
        break;
    }
    return CPropertyPage::OnSetActive();
}

LRESULT CWizPropertyPage::OnWizardBack() noexcept { return GetAdjacentPageId(false); }

LRESULT CWizPropertyPage::OnWizardNext() noexcept {
    // Back is disabled while the welcome page is shown; any page after it has it.
    sheet_->EnableButton(kBackButton, true);
    switch (Position()) {
    case kWelcomePosition:
        return WelcomeOnWizardNext(*this);
    case kReadyPosition:
        return ReadyOnWizardNext(*this);
    default:
        return GetAdjacentPageId(true);
    }
}

bool CWizPropertyPage::OnCommand(int id, int code, HWND) noexcept {
    switch (Position()) {
    case kWelcomePosition:
        return WelcomeOnCommand(*this, id, code);
    case kAssociationsPosition:
        return AssociationsOnCommand(*this, id, code);
    default:
        return false;
    }
}

void CWizPropertyPage::RunFinishActions() noexcept {
    if (Position() == kFinishPosition) FinishActions(*this);
}

}  // namespace pixelmoor
