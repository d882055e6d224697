// ReadyPage (template 109): the target folder, the settings folder; Next
// installs what the pages before it hold, with its status text 1044 shown
// in bold red Arial meanwhile. After a failure the wizard goes back to the
// welcome page, after a success on to the finish page.
#pragma once

#include <windows.h>

#include "wizard/associations_page.h"
#include "wizard/color_static.h"
#include "wizard/page_rules.h"
#include "wizard/welcome_page.h"
#include "wizard/wiz_property_page.h"

namespace pixelmoor {

class ReadyPage final : public CWizPropertyPage {
public:
    // The pages whose choices the installation takes; they outlive this one.
    ReadyPage(CWizPropertySheet& sheet, const WelcomePage& welcome, const AssociationsPage& associations) noexcept;

protected:
    void DoDataExchange() noexcept override;
    BOOL OnSetActive() noexcept override;
    [[nodiscard]] LRESULT NextPressed() noexcept override;

private:
    // The choices of every page, as they stand now.
    [[nodiscard]] WizardChoices ReadChoices() const;

    const WelcomePage& welcome_;
    const AssociationsPage& associations_;
    CXColorStatic statusText_;
};

}  // namespace pixelmoor
