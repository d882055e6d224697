// WelcomePage (template 101): the shortcuts, their scope, the target folder
// and the licence link. Its controls are the wizard's record of these
// choices; the ready and finish pages ask it for them.
#pragma once

#include <windows.h>

#include <string>

#include "integration/shortcut_rules.h"
#include "wizard/hyperlink.h"
#include "wizard/wiz_property_page.h"

namespace pixelmoor {

class WelcomePage final : public CWizPropertyPage {
public:
    explicit WelcomePage(CWizPropertySheet& sheet) noexcept;

    // The target folder box's text as an installation reads it (up to 519
    // characters).
    [[nodiscard]] std::wstring FolderText() const;
    // The three shortcut boxes and the scope (all users is read also while
    // the scope is disabled).
    [[nodiscard]] ShortcutChoices Shortcuts() const noexcept;

protected:
    void DoDataExchange() noexcept override;
    BOOL OnSetActive() noexcept override;
    [[nodiscard]] LRESULT NextPressed() noexcept override;
    bool OnCommand(int id, int code, HWND control) noexcept override;

private:
    void ApplyFirstActivationDefaults();
    void EnableScope(bool enable) const noexcept;
    void OnNoShortcuts() const noexcept;
    void OnShortcutBoxClicked() const noexcept;
    void OnBrowse() const;

    CHyperLink licenceLink_;
    // The defaults are applied once: later activations keep the user's entries.
    bool firstActivation_ = true;
};

}  // namespace pixelmoor
