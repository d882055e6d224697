// What the wizard's end-to-end tests share: a run of the built setup with
// the GUI driver on it, the walk through the pages, the stand-in viewer
// running beside it, and a browser stand-in that records the addresses the
// setup opens, so that no test depends on (or starts) a real browser.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/gui_driver.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor::test {

// The pages' templates, in the wizard's order.
inline constexpr int kWelcomePage = 101;
inline constexpr int kWhatsNewPage = 108;
inline constexpr int kAssociationsPage = 104;
inline constexpr int kReadyPage = 109;
inline constexpr int kFinishPage = 110;

inline constexpr DWORD kExitSuccess = 0;
inline constexpr DWORD kExitUserCancelled = 1602;

inline constexpr wchar_t kCaption[] = L"Pixelmoor 64-bit Setup";

// One run of the setup's wizard, in its own scratch folder as the current
// directory, ended by force if a check fails before it has exited.
class WizardRun {
public:
    explicit WizardRun(const std::wstring& name);
    WizardRun(const WizardRun&) = delete;
    WizardRun& operator=(const WizardRun&) = delete;
    ~WizardRun();

    gui::WizardDriver& driver() { return driver_; }
    [[nodiscard]] const std::wstring& scratch() const { return scratch_; }
    [[nodiscard]] std::optional<DWORD> WaitForExit() const { return setup_.WaitForExit(30000); }

private:
    std::wstring scratch_;
    StartedProgram setup_;
    gui::WizardDriver driver_;
};

// Presses Next until the page of `templateId` is shown; false when a page
// did not follow (the driver's dump says where it stopped). Next on the
// ready page installs, so a walk to the finish page is an installation.
bool NextUntil(gui::WizardDriver& wizard, int templateId);

// Waits until `condition` holds, up to timeoutMs. A click is posted to the
// setup and handled when its turn comes; what it changes is looked for
// this way.
bool Eventually(const std::function<bool()>& condition, DWORD timeoutMs = gui::kDefaultWaitMs);

// A control's text or check state on the active page, empty when it is missing.
std::wstring ControlText(const gui::WizardDriver& wizard, int id);
std::optional<bool> ControlChecked(const gui::WizardDriver& wizard, int id);

// The message box that the setup shows next: its text, after checking that
// its caption is the wizard's title; empty when none appears.
std::optional<gui::MessageBoxState> WaitForWizardBox(const gui::WizardDriver& wizard);

// The setup's messages as the boxes show them.
inline constexpr wchar_t kInvalidFolderText[] = L"Ung\u00fcltiges Zielverzeichnis!";
inline constexpr wchar_t kViewerRunningText[] =
    L"Warnung: Pixelmoor l\u00e4uft!\nBeenden Sie bitte Pixelmoor bevor Sie mit der Installation fortsetzen!";
inline constexpr wchar_t kCannotCreateFolderText[] =
    L"Kann Zielverzeichnis nicht erstellen!\n\nBitte \u00fcberpr\u00fcfen Sie Ihre Schreibrechte und "
    L"System-Policies!\n\nVersuchen Sie das Zielverzeichnis zuerst h\u00e4ndisch zu erstellen.";
inline constexpr wchar_t kInstallFailedText[] =
    L"Fehler beim Installieren!\n\n\u00dcberpr\u00fcfen Sie bitte ob Pixelmoor l\u00e4uft, das Zielverzeichnis voll "
    L"ist oder keine Schreibrechte vorhanden sind!\n\n(Der Installer sollte im ADMIN-Modus gestartet werden, z.B. den "
    L"Installer mit der rechten Maustaste anklicken)";
inline constexpr wchar_t kAssociationQuestionText[] =
    L"Sie m\u00f6chten die aktuellen Verkn\u00fcpfungen \u00e4ndern und einen oder mehrere Dateitypen mit "
    L"Pixelmoor verkn\u00fcpfen!\n\nSind Sie sicher!?";

// The stand-in viewer of the build running, as a user's viewer would: a
// top-level window of the class "Pixelmoor". Closed again at the end.
class RunningViewer {
public:
    RunningViewer();
    RunningViewer(const RunningViewer&) = delete;
    RunningViewer& operator=(const RunningViewer&) = delete;
    ~RunningViewer();
    explicit operator bool() const noexcept { return window_ != nullptr; }

private:
    StartedProgram viewer_;
    HWND window_ = nullptr;
};

// The top-level windows of the class "Pixelmoor" (viewers running).
std::vector<HWND> ViewerWindows();
// Waits up to timeoutMs for a viewer window; null when none appeared.
HWND WaitForViewerWindow(DWORD timeoutMs);
// The executable of the process that owns a window.
std::wstring WindowProgramPath(HWND window);
// Closes every viewer window and waits until they are gone.
void CloseViewers();

// The prefix's browser for http and https addresses, replaced for the
// lifetime of this object by a recorder that appends each address it is
// given as a line to a file.
class BrowserRecorder {
public:
    BrowserRecorder();
    BrowserRecorder(const BrowserRecorder&) = delete;
    BrowserRecorder& operator=(const BrowserRecorder&) = delete;
    ~BrowserRecorder();

    // The recorded lines, waiting up to timeoutMs for the first one.
    [[nodiscard]] std::string Recorded(DWORD timeoutMs) const;

private:
    std::wstring record_;
    std::optional<std::wstring> saved_[2];
};

// The Windows build that the prefix reports: Windows 11 (build 22631) for
// the lifetime of this object, for programs started meanwhile. Wine reads it
// from the registry's current version when a process starts.
class Windows11Prefix {
public:
    Windows11Prefix();
    Windows11Prefix(const Windows11Prefix&) = delete;
    Windows11Prefix& operator=(const Windows11Prefix&) = delete;
    ~Windows11Prefix();

private:
    std::optional<std::wstring> saved_[2];
};

}  // namespace pixelmoor::test
