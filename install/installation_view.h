// What a wizard lends the installation that it runs: message boxes modal to
// its window and a progress bar. The silent road has none (InstallOptions'
// view is null): failures go to the install log, and nothing is asked.
#pragma once

#include <windows.h>

#include <string>

namespace pixelmoor {

class InstallationView {
public:
    // Shows a message box with this text, caption and MessageBoxW flags to
    // the user and returns the button pressed. Called on the installation's
    // thread; the box belongs to the wizard.
    virtual int ShowMessage(const std::wstring& text, const std::wstring& caption, UINT flags) = 0;
    // The installation has come this far, 0 to kProgressEnd
    // (install/progress_rules.h); positions only rise.
    virtual void ShowProgress(int position) noexcept = 0;

protected:
    InstallationView() = default;
    InstallationView(const InstallationView&) = default;
    InstallationView& operator=(const InstallationView&) = default;
    ~InstallationView() = default;
};

}  // namespace pixelmoor
