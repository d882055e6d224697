// Finish page (position 4, template 110): reached only after a successful
// installation. The wizard ends through the Cancel button, relabelled
// "&Fertig stellen"; Back and Next stay disabled.
#include "resources/resource_ids.h"
#include "wizard/pages.h"
#include "wizard/wiz_property_page.h"
#include "wizard/wiz_property_sheet.h"

namespace pixelmoor {

void FinishOnSetActive(CWizPropertyPage& page) noexcept {
    CWizPropertySheet& sheet = page.Sheet();
    sheet.SetButtonText(IDCANCEL, WizardString(res::kStringFinishButton));
    sheet.EnableButton(kBackButton, false);
    sheet.EnableButton(kNextButton, false);
}

// The FAQ page and the viewer's start, as chosen on this page, come here.
void FinishActions(CWizPropertyPage&) noexcept {}

}  // namespace pixelmoor
