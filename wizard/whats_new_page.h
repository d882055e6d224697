// WhatsNewPage (template 108): the release notes that the program carries.
// Back is enabled by the Next press that leads here; the page sets no
// button itself.
#pragma once

#include <windows.h>

#include "wizard/wiz_property_page.h"

namespace pixelmoor {

class WhatsNewPage final : public CWizPropertyPage {
public:
    explicit WhatsNewPage(CWizPropertySheet& sheet) noexcept;

protected:
    BOOL OnSetActive() noexcept override;
};

}  // namespace pixelmoor
