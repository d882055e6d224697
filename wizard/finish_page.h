// FinishPage (template 110): reached only after a successful installation.
// The wizard ends through the Cancel button, relabelled "&Fertig stellen",
// which first opens the FAQ page and starts the viewer as the two boxes say;
// Back and Next stay disabled. Closing the window ends it without either.
#pragma once

#include <windows.h>

#include "wizard/welcome_page.h"
#include "wizard/wiz_property_page.h"

namespace pixelmoor {

class FinishPage final : public CWizPropertyPage {
public:
    // welcome: the page that names the folder installed into; it outlives this one.
    FinishPage(CWizPropertySheet& sheet, const WelcomePage& welcome) noexcept;

    // "&Fertig stellen" (or Escape): the finish actions, then the wizard
    // closes without a question.
    BOOL OnQueryCancel() noexcept override;
    // The close box, the system menu, Alt+F4: the wizard closes without a
    // question and without the finish actions.
    BOOL OnQueryClose() noexcept override { return TRUE; }

protected:
    BOOL OnSetActive() noexcept override;

private:
    void StartViewer() const;

    const WelcomePage& welcome_;
};

}  // namespace pixelmoor
