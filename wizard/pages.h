// The behaviour of each wizard page, one file per page. CWizPropertyPage
// calls these by the page's position; each takes the page it serves.
// Handlers of Back and Next return where to go (see CPropertyPage); command
// handlers return true for a command they handled.
#pragma once

#include <windows.h>

#include "integration/format_table.h"

namespace pixelmoor {

class CWizPropertyPage;
class CWizPropertySheet;

// welcome_page.cpp (position 0)
void WelcomeOnSetActive(CWizPropertyPage& page) noexcept;
void WelcomeBindControls(CWizPropertyPage& page) noexcept;
[[nodiscard]] LRESULT WelcomeOnWizardNext(CWizPropertyPage& page) noexcept;
bool WelcomeOnCommand(CWizPropertyPage& page, int id, int code) noexcept;

// whats_new_page.cpp (position 1)
void WhatsNewOnSetActive(CWizPropertyPage& page) noexcept;

// associations_page.cpp (position 2)
void AssociationsOnSetActive(CWizPropertyPage& page) noexcept;
bool AssociationsOnCommand(CWizPropertyPage& page, int id, int code) noexcept;
// The file types chosen in the list (none while it is disabled).
[[nodiscard]] AssociationSelection ReadAssociationSelection(const CWizPropertySheet& sheet);

// ready_page.cpp (position 3)
void ReadyOnSetActive(CWizPropertyPage& page) noexcept;
void ReadyBindControls(CWizPropertyPage& page) noexcept;
// Next on the ready page runs the installation.
[[nodiscard]] LRESULT ReadyOnWizardNext(CWizPropertyPage& page) noexcept;

// finish_page.cpp (position 4)
void FinishOnSetActive(CWizPropertyPage& page) noexcept;
// Run before the wizard closes through "&Fertig stellen" (or Escape), never
// when the window is closed.
void FinishActions(CWizPropertyPage& page) noexcept;

}  // namespace pixelmoor
