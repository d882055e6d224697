// The built setup's wizard, started without arguments and operated from
// this process as a user would: the pages in order with their buttons, the
// cancel question by every road that leads to it, and the exit codes. Next
// on the ready page installs; the tests that go that far remove the
// installation again.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <iterator>
#include <optional>
#include <string>

#include "tests/integration/installation_record.h"
#include "tests/support/gui_driver.h"
#include "tests/support/win_test_support.h"
#include "tests/wizard/wizard_session.h"

namespace pixelmoor {
namespace {

namespace gui = test::gui;

using test::WizardRun;

constexpr int kWelcome = test::kWelcomePage;
constexpr int kWhatsNew = test::kWhatsNewPage;
constexpr int kAssociations = test::kAssociationsPage;
constexpr int kReady = test::kReadyPage;
constexpr int kFinish = test::kFinishPage;

constexpr DWORD kExitSuccess = test::kExitSuccess;
constexpr DWORD kExitUserCancelled = test::kExitUserCancelled;

struct Button {
    const wchar_t* text;
    bool enabled;
};

// The sheet's buttons as a page shows them.
struct PageButtons {
    int templateId;
    Button back, next, cancel;
};

const Button kBackOff{L"< &Zur\u00fcck", false};
const Button kBackOn{L"< &Zur\u00fcck", true};
const Button kNextOn{L"&Weiter >", true};
const Button kNextOff{L"&Weiter >", false};
const Button kQuit{L"&Beenden", true};
const Button kDone{L"&Fertig stellen", true};

const PageButtons kTable[] = {
    {kWelcome, kBackOff, kNextOn, kQuit},      // welcome: Back disabled on every activation
    {kWhatsNew, kBackOn, kNextOn, kQuit},      // what's new: Back enabled by the Next press
    {kAssociations, kBackOn, kNextOn, kQuit},  // associations
    {kReady, kBackOn, kNextOn, kQuit},         // ready
    {kFinish, kBackOff, kNextOff, kDone},      // finish: only "&Fertig stellen"
};

std::wstring SheetTitle(HWND sheet) {
    wchar_t title[128] = {};
    ::GetWindowTextW(sheet, title, 128);
    return title;
}

// The active page is `page`, under the wizard's title, with its buttons as
// the table gives them.
void ExpectPage(gui::WizardDriver& wizard, const PageButtons& page) {
    ASSERT_TRUE(wizard.WaitForPage(page.templateId)) << "page " << page.templateId << "\n" << test::Narrow(wizard.Dump());
    EXPECT_EQ(SheetTitle(wizard.sheet()), L"Pixelmoor 64-bit Setup") << page.templateId;
    const struct {
        int id;
        const Button& want;
    } buttons[] = {{gui::kBackButton, page.back}, {gui::kNextButton, page.next}, {gui::kCancelButton, page.cancel}};
    for (const auto& button : buttons) {
        const std::optional<gui::ControlState> got = wizard.SheetButton(button.id);
        ASSERT_TRUE(got) << "page " << page.templateId << " button " << button.id;
        EXPECT_EQ(got->text, button.want.text) << "page " << page.templateId << " button " << button.id;
        EXPECT_EQ(got->enabled, button.want.enabled) << "page " << page.templateId << " button " << button.id;
        EXPECT_TRUE(got->visible) << "page " << page.templateId << " button " << button.id;
    }
}

// The cancel question is open: its caption, text, icon and buttons, No
// being the one that Enter presses.
std::optional<gui::MessageBoxState> ExpectCancelQuestion(const gui::WizardDriver& wizard) {
    std::optional<gui::MessageBoxState> box = wizard.WaitForMessageBox();
    EXPECT_TRUE(box) << "no question";
    if (!box) return box;
    EXPECT_EQ(box->caption, L"Pixelmoor 64-bit Setup");
    EXPECT_EQ(box->text, L"Installation beenden?");
    // an icon is shown; which one cannot always be told from another process under Wine
    EXPECT_TRUE(box->icon == gui::BoxIcon::kQuestion || box->icon == gui::BoxIcon::kUnknown)
        << test::Narrow(std::wstring(gui::BoxIconName(box->icon)));
    EXPECT_EQ(box->buttons.size(), 2u);
    EXPECT_EQ(box->defaultButton, IDNO);
    return box;
}

// Each case starts and ends on a machine without an installation of the
// viewer in the folders that the cases install into.
class WizardE2E : public testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        for (const std::wstring& folder : {std::wstring(kTypedFolder), test::ShellFolderPath(CSIDL_PROGRAM_FILES) + L"\\Pixelmoor"})
            test::ResetInstallation(folder);
    }
    static constexpr wchar_t kTypedFolder[] = L"D:\\Typed\\Pixelmoor";
};

TEST_F(WizardE2E, PagesFollowEachOtherWithTheButtonsOfTheTable) {
    WizardRun run(L"wizard-pages");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard) << "cannot operate the setup";
    ExpectPage(wizard, kTable[0]);

    // Back on the welcome page (which a user cannot press) changes nothing:
    // the close command posted after it still finds the welcome page.
    ASSERT_TRUE(wizard.PostCommand(gui::kBackButton));
    ASSERT_TRUE(wizard.PostSysClose());
    const auto box = ExpectCancelQuestion(wizard);
    ExpectPage(wizard, kTable[0]);
    ASSERT_TRUE(box && wizard.Answer(*box, IDNO));

    // forward to the ready page, back to the welcome page, forward to the end;
    // the welcome page keeps its window and what was typed into it meanwhile
    const std::wstring typed = kTypedFolder;
    ASSERT_TRUE(wizard.SetText(1000, typed));
    const int route[] = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 4};
    for (std::size_t step = 0; step < std::size(route); ++step) {
        const PageButtons& page = kTable[route[step]];
        ExpectPage(wizard, page);
        if (route[step] == 0) {
            EXPECT_EQ(wizard.Control(1000).value_or(gui::ControlState{}).text, typed) << "step " << step;
        }
        if (step + 1 == std::size(route)) break;
        const bool forward = route[step + 1] > route[step];
        ASSERT_TRUE(wizard.Press(forward ? gui::kNextButton : gui::kBackButton)) << "step " << step;
    }

    // Next on the finish page changes nothing either: "&Fertig stellen"
    // pressed after it ends the wizard at once, without a question, as after
    // a completed installation (with nothing to open or start).
    ASSERT_TRUE(wizard.Click(1022));
    ASSERT_TRUE(wizard.Click(1020));
    ASSERT_TRUE(wizard.PostCommand(gui::kNextButton));
    ASSERT_TRUE(wizard.Press(gui::kCancelButton));
    EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(kExitSuccess)) << test::Narrow(wizard.Dump());
}

TEST_F(WizardE2E, NoKeepsThePageAndItsEntriesAndYesEndsWithoutInstalling) {
    test::ResetRegistrationFootprint();
    const std::wstring registryBefore = test::DumpRegistrationFootprint();
    const std::wstring defaultFolder = test::ShellFolderPath(CSIDL_PROGRAM_FILES) + L"\\Pixelmoor";
    const bool folderBefore = test::FolderExists(defaultFolder);

    WizardRun run(L"wizard-cancel");
    gui::WizardDriver& wizard = run.driver();
    ExpectPage(wizard, kTable[0]);
    // entries that the answer No must keep
    const std::wstring folder = L"D:\\Kept\\Pixelmoor";
    ASSERT_TRUE(wizard.SetText(1000, folder));
    const bool desktopBefore = wizard.Control(1011).value_or(gui::ControlState{}).checked.value_or(false);
    ASSERT_TRUE(wizard.Click(1011));

    // Each way of asking, answered No, leaves everything as it was.
    enum Ask { CancelButton, EscapeKey, CloseBox };
    enum Answer { NoButton, EnterKey };
    const struct {
        Ask ask;
        Answer answer;
    } rows[] = {
        {CancelButton, NoButton},  // the Cancel button, No clicked
        {CancelButton, EnterKey},  // Enter presses the default button, No
        {EscapeKey, NoButton},     // Escape is the Cancel command
        {EscapeKey, EnterKey},
        {CloseBox, EnterKey},      // the close box asks the same
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        switch (rows[i].ask) {
        case CancelButton: ASSERT_TRUE(wizard.Press(gui::kCancelButton)); break;
        case EscapeKey: ASSERT_TRUE(wizard.PostKey(VK_ESCAPE)); break;
        case CloseBox: ASSERT_TRUE(wizard.PostSysClose()); break;
        }
        const auto box = ExpectCancelQuestion(wizard);
        ASSERT_TRUE(box) << "row " << i;
        if (rows[i].answer == NoButton) {
            ASSERT_TRUE(wizard.Answer(*box, IDNO)) << "row " << i;
        } else {
            ASSERT_TRUE(wizard.PostKey(VK_RETURN)) << "row " << i;
            ASSERT_TRUE(wizard.WaitUntilNoMessageBox()) << "row " << i;
        }
        ExpectPage(wizard, kTable[0]);
        EXPECT_EQ(wizard.Control(1000).value_or(gui::ControlState{}).text, folder) << "row " << i;
        EXPECT_EQ(wizard.Control(1011).value_or(gui::ControlState{}).checked, std::optional<bool>(!desktopBefore))
            << "row " << i;
    }

    // Yes ends the process with "cancelled", and nothing is installed
    ASSERT_TRUE(wizard.Press(gui::kCancelButton));
    const auto box = ExpectCancelQuestion(wizard);
    ASSERT_TRUE(box && wizard.Answer(*box, IDYES));
    EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(kExitUserCancelled));
    EXPECT_EQ(test::DumpRegistrationFootprint(), registryBefore);
    EXPECT_EQ(test::FolderExists(defaultFolder), folderBefore);
    EXPECT_FALSE(test::FolderExists(folder));
    EXPECT_TRUE(test::ListFolder(run.scratch()).empty()) << "no install log";
}

TEST_F(WizardE2E, CloseBoxAsksOnPagesBeforeTheFinishPage) {
    WizardRun run(L"wizard-close");
    gui::WizardDriver& wizard = run.driver();
    for (int position = 0; position <= 3; ++position) {
        ExpectPage(wizard, kTable[position]);
        ASSERT_TRUE(wizard.PostSysClose());
        const auto box = ExpectCancelQuestion(wizard);
        ASSERT_TRUE(box && wizard.Answer(*box, IDNO)) << "page " << position;
        ExpectPage(wizard, kTable[position]);
        if (position < 3) {
            ASSERT_TRUE(wizard.Press(gui::kNextButton));
        }
    }
    // Yes on the ready page: closed before any installation
    ASSERT_TRUE(wizard.PostSysClose());
    const auto box = ExpectCancelQuestion(wizard);
    ASSERT_TRUE(box && wizard.Answer(*box, IDYES));
    EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(kExitUserCancelled));
}

TEST_F(WizardE2E, CloseBoxEscapeAndAltF4DoNothingWhileTheInstallationRuns) {
    enum Input { kClose, kEscape };
    const struct {
        const char* what;
        Input input;
        bool duringQuestion;  // sent while the installation asks about the file types; else behind the Next click
    } rows[] = {
        // the close box (Alt+F4 gives the same command): waiting behind the
        // Next click, it would close the finish page as soon as it appeared
        {"close box behind Next", kClose, false},
        // Escape waiting behind the click would run the finish actions and end the wizard
        {"Escape behind Next", kEscape, false},
        // the installation's question lets commands reach the sheet: no cancel question
        {"close box during the question", kClose, true},
    };
    const test::BrowserRecorder browser;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Reset();
        WizardRun run(L"wizard-installing");
        gui::WizardDriver& wizard = run.driver();
        ASSERT_TRUE(wizard.WaitForPage(kWelcome));
        ASSERT_TRUE(wizard.SetText(1000, kTypedFolder));
        ASSERT_TRUE(test::NextUntil(wizard, kAssociations));
        if (row.duringQuestion) {
            ASSERT_TRUE(wizard.Click(3311));
            ASSERT_TRUE(test::Eventually([&] { return wizard.Control(1091).value_or(gui::ControlState{}).enabled; }));
            ASSERT_TRUE(wizard.Click(1091));
        }
        ASSERT_TRUE(test::NextUntil(wizard, kReady));
        ASSERT_TRUE(wizard.Press(gui::kNextButton));
        std::optional<gui::MessageBoxState> question;
        if (row.duringQuestion) {
            question = test::WaitForWizardBox(wizard);
            ASSERT_TRUE(question && question->text == test::kAssociationQuestionText) << test::Narrow(wizard.Dump());
        }
        ASSERT_TRUE(row.input == kClose ? wizard.PostSysClose() : wizard.PostKey(VK_ESCAPE));
        if (question) {
            ::Sleep(1000);  // time for a cancel question to appear
            EXPECT_EQ(wizard.MessageBoxes().size(), 1u) << test::Narrow(wizard.Dump());
            ASSERT_TRUE(wizard.Answer(*question, IDYES));
        }
        // The installation ends on the finish page, which stays.
        ASSERT_TRUE(wizard.WaitForPage(kFinish, 60000)) << test::Narrow(wizard.Dump());
        EXPECT_EQ(wizard.WaitForExit(1000), std::nullopt) << "the wizard ended";
        ExpectPage(wizard, kTable[4]);
        EXPECT_TRUE(wizard.MessageBoxes().empty());
        EXPECT_TRUE(test::FileExists(std::wstring(kTypedFolder) + L"\\p_moor64.exe"));
        ASSERT_TRUE(wizard.PostSysClose());
        EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(kExitSuccess));
        test::CloseViewers();
    }
    EXPECT_EQ(browser.Recorded(1000), "") << "the FAQ page was opened";
}

TEST_F(WizardE2E, CloseBoxOnTheFinishPageAsksNothingStartsNothingAndEndsAfterTheInstallation) {
    const test::BrowserRecorder browser;
    WizardRun run(L"wizard-finish-close");
    gui::WizardDriver& wizard = run.driver();
    for (int position = 0; position < 4; ++position) {
        ExpectPage(wizard, kTable[position]);
        ASSERT_TRUE(wizard.Press(gui::kNextButton));
    }
    ExpectPage(wizard, kTable[4]);
    // both follow-up actions are chosen, but the close box runs neither
    EXPECT_EQ(wizard.Control(1022).value_or(gui::ControlState{}).checked, std::optional<bool>(true));
    EXPECT_EQ(wizard.Control(1020).value_or(gui::ControlState{}).checked, std::optional<bool>(true));
    ASSERT_TRUE(wizard.PostSysClose());
    // no question: the process ends by itself, with the code of a completed installation
    EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(kExitSuccess)) << test::Narrow(wizard.Dump());
    EXPECT_EQ(browser.Recorded(1000), "") << "the FAQ page was opened";
    EXPECT_TRUE(test::ViewerWindows().empty()) << "the viewer was started";
    test::CloseViewers();
}

}  // namespace
}  // namespace pixelmoor
