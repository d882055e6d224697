#include "wizard/wiz_property_page.h"

#include <vector>

#include "wizard/navigation_rules.h"

namespace pixelmoor {

LRESULT CWizPropertyPage::GetAdjacentPageId(bool forward) const noexcept {
    std::vector<int> templateIds;
    for (int i = 0; i < sheet_.GetPageCount(); ++i) templateIds.push_back(sheet_.GetPage(i)->TemplateId());
    return AdjacentPageId(templateIds, sheet_.GetActiveIndex(), forward);
}

BOOL CWizPropertyPage::OnQueryCancel() noexcept { return sheet_.UserConfirmsCancel() ? TRUE : FALSE; }

BOOL CWizPropertyPage::OnQueryClose() noexcept { return sheet_.UserConfirmsCancel() ? TRUE : FALSE; }

LRESULT CWizPropertyPage::OnWizardBack() noexcept { return GetAdjacentPageId(false); }

LRESULT CWizPropertyPage::OnWizardNext() noexcept {
    sheet_.EnableButton(kBackButton, true);
    return NextPressed();
}

LRESULT CWizPropertyPage::NextPressed() noexcept { return GetAdjacentPageId(true); }

}  // namespace pixelmoor
