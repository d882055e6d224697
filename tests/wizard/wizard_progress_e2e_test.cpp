// The wizard while it installs a grown payload (the stand-in viewer with
// some 300 MB of plug-in-like files, made into a setup by the release road;
// make_grown_setup.sh): the sheet answers throughout, the ready page's
// progress bar rises to its end, the association question comes where it
// always came, and the installation is the silent road's. After a failed
// attempt the bar is gone again.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "integration/registration_rules.h"
#include "tests/integration/installation_record.h"
#include "tests/support/gui_driver.h"
#include "tests/support/win_test_support.h"
#include "tests/wizard/wizard_session.h"

namespace pixelmoor {
namespace {

namespace gui = test::gui;
using test::NextUntil;
using test::WizardRun;

constexpr int kStatusText = 1044;
constexpr int kProgressBar = 1046;
constexpr int kBarEnd = 100;
// Where the bar stands once every file is written, and once the settings
// file is written too (before the registration); an unpacking that passed
// over a file of less than a 96th of the payload leaves it one short.
constexpr int kUnpackedPosition = 96;
constexpr int kSettingsWrittenPosition = 97;
// Windows greys out a window that takes no message for five seconds; the
// wizard is to answer far sooner.
constexpr DWORD kAnswerLimitMs = 200;
constexpr DWORD kInstallationLimitMs = 180000;
constexpr DWORD kPollMs = 20;
// The last plug-in that make_grown_setup.sh grows (2000 of them, 25 a folder).
constexpr wchar_t kLastPlugin[] = L"\\Plugins\\Extra\\Set079\\Module1999.dll";
constexpr wchar_t kSilentSwitches[] = L"/silent /group=1 /desktop=1 /thumbs=1 /assoc=1";

std::wstring DefaultFolder() { return test::ShellFolderPath(CSIDL_PROGRAM_FILES) + L"\\Pixelmoor"; }

// What the watch over one installation saw, from the Next click to the page after it.
struct Watch {
    int probes = 0;          // WM_NULL sent to the sheet
    int unanswered = 0;      // of them not answered within kAnswerLimitMs
    std::vector<int> shown;  // the bar's positions, each change once, in order
    bool fell = false;       // a position below the one before it
    bool hiddenBar = false;  // bar or status text hidden between two looks that saw them
    // At the association question:
    std::optional<int> positionAtQuestion;
    bool filesAtQuestion = false;       // the payload's last file is there
    bool viewerAtQuestion = false;      // the viewer's program is there
    bool settingsAtQuestion = false;    // the settings file is there
    bool registeredAtQuestion = false;  // the uninstall entry is there already
    bool boxOwnedBySheet = false;       // the question's owner is the sheet, disabled meanwhile
};

// Follows the installation that the Next click started until the page
// `until` shows: sends WM_NULL on every round, reads the bar while the ready
// page is shown and answers the one box that comes with `answer`, noting
// first what the installation had done by then.
Watch WatchInstallation(gui::WizardDriver& wizard, int until, int answer, const std::wstring& folder) {
    Watch watch;
    bool boxSeen = false;
    // Before the click is handled and once the installation has ended, the
    // page shows neither.
    bool hiddenSinceShown = false;
    const ULONGLONG end = ::GetTickCount64() + kInstallationLimitMs;
    while (::GetTickCount64() < end && !wizard.WaitForExit(0)) {
        ++watch.probes;
        if (!wizard.Answers(kAnswerLimitMs)) ++watch.unanswered;
        const std::optional<gui::PageState> page = wizard.ActivePage();
        if (page && page->templateId == until) break;
        if (page && page->templateId == test::kReadyPage) {
            const std::optional<gui::ControlState> bar = wizard.Control(kProgressBar);
            const std::optional<gui::ControlState> status = wizard.Control(kStatusText);
            if (!bar || !bar->visible || !bar->progress || !status || !status->visible) {
                hiddenSinceShown = !watch.shown.empty();
            } else {
                if (hiddenSinceShown) watch.hiddenBar = true;
                const int position = bar->progress->position;
                if (!watch.shown.empty() && position < watch.shown.back()) watch.fell = true;
                if (watch.shown.empty() || position != watch.shown.back()) watch.shown.push_back(position);
            }
        }
        const std::vector<gui::MessageBoxState> boxes = wizard.MessageBoxes();
        if (!boxSeen && !boxes.empty()) {
            boxSeen = true;
            const gui::MessageBoxState& box = boxes.front();
            watch.positionAtQuestion = wizard.Control(kProgressBar)
                                           .value_or(gui::ControlState{})
                                           .progress.value_or(gui::ProgressState{-1, -1, -1})
                                           .position;
            watch.filesAtQuestion = test::FileExists(folder + kLastPlugin);
            watch.viewerAtQuestion = test::FileExists(folder + L"\\p_moor64.exe");
            watch.settingsAtQuestion = test::FileExists(test::AppDataSettingsFolder() + L"\\p_moor64.ini");
            watch.registeredAtQuestion = test::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey);
            watch.boxOwnedBySheet =
                ::GetWindow(box.window, GW_OWNER) == wizard.sheet() && !::IsWindowEnabled(wizard.sheet());
            // the box's own loop answers as well
            for (int i = 0; i < 5; ++i, ++watch.probes)
                if (!wizard.Answers(kAnswerLimitMs)) ++watch.unanswered;
            EXPECT_TRUE(wizard.Answer(box, answer)) << test::Narrow(wizard.Dump());
        }
        ::Sleep(kPollMs);
    }
    return watch;
}

class WizardProgressE2E : public testing::Test {
protected:
    void SetUp() override {
        runFolder_ = test::MakeScratchFolder(L"wizard-progress-silent");
        test::ResetInstallation(DefaultFolder());
    }
    void TearDown() override {
        test::ResetInstallation(DefaultFolder());
        test::RemoveTree(runFolder_);
    }
    void InstallSilently() {
        ASSERT_EQ(test::RunProgram(L"\"" + test::SetupExePath() + L"\" " + kSilentSwitches, runFolder_), 0u);
    }

    std::wstring runFolder_;
};

TEST_F(WizardProgressE2E, SheetAnswersAndBarRisesWhileTheGrownPayloadInstallsAsTheSilentRoadDoes) {
    const std::wstring folder = DefaultFolder();
    // Parent keys that an installation creates and a reset keeps exist for both records.
    InstallSilently();
    Watch watch;
    const std::wstring wizardRecord = test::ChangeRecord(
        [&] {
            WizardRun run(L"wizard-progress");
            gui::WizardDriver& wizard = run.driver();
            ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage)) << test::Narrow(wizard.Dump());
            ASSERT_TRUE(NextUntil(wizard, test::kAssociationsPage));
            ASSERT_TRUE(wizard.Click(3311));
            ASSERT_TRUE(test::Eventually([&] { return wizard.Control(1091).value_or(gui::ControlState{}).enabled; }));
            ASSERT_TRUE(wizard.Click(1091));
            ASSERT_TRUE(NextUntil(wizard, test::kReadyPage));
            const int readyIndex = wizard.ActivePage().value_or(gui::PageState{}).index;
            EXPECT_FALSE(wizard.Control(kProgressBar).value_or(gui::ControlState{}).visible) << "before Next";
            ASSERT_TRUE(wizard.Press(gui::kNextButton));
            watch = WatchInstallation(wizard, test::kFinishPage, IDYES, folder);
            ASSERT_TRUE(wizard.WaitForPage(test::kFinishPage)) << test::Narrow(wizard.Dump());
            // the bar, hidden with its page, stands at its end
            const std::optional<gui::ControlState> bar = wizard.PageControl(readyIndex, kProgressBar);
            ASSERT_TRUE(bar && bar->progress) << test::Narrow(wizard.Dump());
            EXPECT_FALSE(bar->visible);
            EXPECT_EQ(bar->progress->low, 0);
            EXPECT_EQ(bar->progress->high, kBarEnd);
            EXPECT_EQ(bar->progress->position, kBarEnd);
            ASSERT_TRUE(wizard.PostSysClose());
            EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(test::kExitSuccess));
        },
        folder, false);

    // Answering throughout, over an installation long enough to tell.
    EXPECT_EQ(watch.unanswered, 0) << "of " << watch.probes << " probes";
    EXPECT_GE(watch.probes, 20);
    // Rising from the start, step by step, never back.
    std::string positions;
    for (const int position : watch.shown) positions += std::to_string(position) + " ";
    EXPECT_FALSE(watch.fell) << positions;
    EXPECT_FALSE(watch.hiddenBar) << "the ready page showed no bar or no status text while installing";
    ASSERT_FALSE(watch.shown.empty());
    EXPECT_LT(watch.shown.front(), kUnpackedPosition / 2) << positions;
    EXPECT_GE(watch.shown.size(), 10u) << positions;
    // The question after every file and before the registration, modal to the sheet.
    EXPECT_EQ(watch.positionAtQuestion, std::optional<int>(kSettingsWrittenPosition)) << positions;
    EXPECT_TRUE(watch.filesAtQuestion);
    EXPECT_TRUE(watch.settingsAtQuestion);
    EXPECT_FALSE(watch.registeredAtQuestion);
    EXPECT_TRUE(watch.boxOwnedBySheet);

    const std::wstring silentRecord = test::ChangeRecord([&] { InstallSilently(); }, folder, false);
    const std::string wizardText = test::Utf8(wizardRecord), silentText = test::Utf8(silentRecord);
    EXPECT_TRUE(wizardText == silentText) << test::RecordDifferences(silentText, wizardText);
    EXPECT_NE(silentText.find("Module1999.dll"), std::string::npos);
}

TEST_F(WizardProgressE2E, AfterAFailedAttemptTheReadyPageShowsNoBarAgain) {
    // A folder where the payload's last file goes: the unpacking stops there,
    // at its end, and takes back what it wrote.
    const std::wstring folder = DefaultFolder();
    ASSERT_EQ(::SHCreateDirectoryExW(nullptr, (folder + kLastPlugin).c_str(), nullptr), ERROR_SUCCESS);
    WizardRun run(L"wizard-progress-failure");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage)) << test::Narrow(wizard.Dump());
    ASSERT_TRUE(NextUntil(wizard, test::kReadyPage));
    ASSERT_TRUE(wizard.Press(gui::kNextButton));
    // Neither the buttons' commands nor a close (the close box's command, or
    // a task manager's WM_CLOSE) reach the wizard while it installs.
    ASSERT_TRUE(wizard.WaitForProgress(kProgressBar, 1, kInstallationLimitMs)) << test::Narrow(wizard.Dump());
    ASSERT_TRUE(wizard.PostCommand(gui::kBackButton));
    ASSERT_TRUE(wizard.PostCommand(gui::kNextButton));
    ASSERT_TRUE(wizard.PostCommand(gui::kCancelButton));
    ASSERT_TRUE(wizard.PostSysClose());
    ASSERT_TRUE(::PostMessageW(wizard.sheet(), WM_CLOSE, 0, 0));
    const Watch watch = WatchInstallation(wizard, test::kWelcomePage, IDOK, folder);
    EXPECT_EQ(watch.unanswered, 0) << "of " << watch.probes << " probes";
    EXPECT_FALSE(watch.fell);
    EXPECT_FALSE(watch.hiddenBar);
    // the failure box came with the bar where the unpacking left it: every
    // file but the last plug-in written, and by then taken back again
    EXPECT_EQ(watch.positionAtQuestion, std::optional<int>(kUnpackedPosition - 1));
    EXPECT_FALSE(watch.viewerAtQuestion);
    EXPECT_TRUE(watch.boxOwnedBySheet);
    EXPECT_FALSE(watch.registeredAtQuestion);
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage)) << test::Narrow(wizard.Dump());

    // Back on the ready page, it is as before the attempt.
    ASSERT_TRUE(NextUntil(wizard, test::kReadyPage));
    for (const int id : {kStatusText, kProgressBar})
        EXPECT_FALSE(wizard.Control(id).value_or(gui::ControlState{}).visible) << id;
    for (const int button : {gui::kBackButton, gui::kNextButton, gui::kCancelButton})
        EXPECT_TRUE(wizard.SheetButton(button).value_or(gui::ControlState{}).enabled) << button;
    ASSERT_TRUE(wizard.PostSysClose());
    const std::optional<gui::MessageBoxState> question = test::WaitForWizardBox(wizard);
    ASSERT_TRUE(question && wizard.Answer(*question, IDYES)) << test::Narrow(wizard.Dump());
    EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(test::kExitUserCancelled));
}

}  // namespace
}  // namespace pixelmoor
