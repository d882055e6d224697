// ReadyPage (template 109): the target folder, the settings folder; Next
// installs what the pages before it hold, on a worker thread, with its
// status text 1044 shown in bold red Arial and its progress bar 1046
// meanwhile. After a failure the wizard goes back to the welcome page, after
// a success on to the finish page.
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
    // Shows the status text and the progress bar, the bar at its start, or
    // hides both (the bar keeps its position until the next installation).
    void ShowInstalling(bool installing) const noexcept;

    const WelcomePage& welcome_;
    const AssociationsPage& associations_;
    CXColorStatic statusText_;
};

}  // namespace pixelmoor
