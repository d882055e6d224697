// The behaviour of each wizard page, one file per page. CWizPropertyPage
// calls these by the page's position; each takes the page it serves.
#pragma once

#include <windows.h>

namespace pixelmoor {

class CWizPropertyPage;

// welcome_page.cpp (position 0)
void WelcomeOnSetActive(CWizPropertyPage& page) noexcept;
void WelcomeBindControls(CWizPropertyPage& page) noexcept;

// whats_new_page.cpp (position 1)
void WhatsNewOnSetActive(CWizPropertyPage& page) noexcept;

// associations_page.cpp (position 2)
void AssociationsOnSetActive(CWizPropertyPage& page) noexcept;

// ready_page.cpp (position 3)
void ReadyBindControls(CWizPropertyPage& page) noexcept;
// Next on the ready page: where to go (the Back/Next result contract).
[[nodiscard]] LRESULT ReadyOnWizardNext(CWizPropertyPage& page) noexcept;

// finish_page.cpp (position 4)
void FinishOnSetActive(CWizPropertyPage& page) noexcept;
// Run before the wizard closes through "&Fertig stellen" (or Escape), never
// when the window is closed.
void FinishActions(CWizPropertyPage& page) noexcept;

}  // namespace pixelmoor
