// Each page of the built setup's wizard as a user meets it, operated from
// this process through the GUI driver: what the page shows on arrival, what
// its controls do, and what it refuses. Cases that install remove the
// installation again.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <shlobj.h>

#include <iterator>
#include <optional>
#include <string>

#include "framework/unique_handle.h"
#include "tests/integration/installation_record.h"
#include "tests/integration/registration_checks.h"
#include "tests/support/gui_driver.h"
#include "tests/support/win_test_support.h"
#include "tests/wizard/wizard_session.h"

namespace pixelmoor {
namespace {

namespace gui = test::gui;
using test::ControlChecked;
using test::ControlText;
using test::NextUntil;
using test::WizardRun;

constexpr wchar_t kToolsFolder[] = L"D:\\Tools\\Pixelmoor";
constexpr wchar_t kOpenCommandKey[] = L"SOFTWARE\\Classes\\Pixelmoor\\shell\\open\\command";
constexpr COLORREF kSilver = 0xC0C0C0;
constexpr COLORREF kOrange = 0x0080FF;

std::wstring DefaultFolder() { return test::ShellFolderPath(CSIDL_PROGRAM_FILES) + L"\\Pixelmoor"; }

// A box with this text is open; it is answered with OK.
void ExpectBoxAndConfirm(const gui::WizardDriver& wizard, const wchar_t* text, gui::BoxIcon icon) {
    const std::optional<gui::MessageBoxState> box = test::WaitForWizardBox(wizard);
    ASSERT_TRUE(box) << "no box with " << test::Narrow(text) << "\n" << test::Narrow(wizard.Dump());
    EXPECT_EQ(box->text, text);
    EXPECT_TRUE(box->icon == icon || box->icon == gui::BoxIcon::kUnknown)
        << test::Narrow(std::wstring(gui::BoxIconName(box->icon)));
    ASSERT_EQ(box->buttons.size(), 1u);
    EXPECT_TRUE(wizard.Answer(*box, IDOK));
}

// Each case starts and ends on a machine without an installation in the
// folders the cases use, and with no viewer running.
class WizardPagesE2E : public testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override {
        test::CloseViewers();
        Reset();
    }
    static void Reset() {
        for (const std::wstring& folder : {std::wstring(kToolsFolder), DefaultFolder()})
            test::ResetInstallation(folder);
    }
};

// ---- Welcome page ----

TEST_F(WizardPagesE2E, WelcomeDefaultsOnAFreshMachineAndAfterAnEarlierInstallation) {
    const struct {
        const wchar_t* openCommand;  // an earlier installation's registration; null: none
        std::wstring folder;
    } rows[] = {
        // fresh: the program-files folder and "\Pixelmoor", no trailing backslash
        {nullptr, DefaultFolder()},
        // the earlier installation's folder, with the backslash
        {L"\"D:\\Earlier\\Pixelmoor\\p_moor64.exe\" \"%1\"", L"D:\\Earlier\\Pixelmoor\\"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(test::Narrow(row.folder));
        test::ResetProductRegistration();
        if (row.openCommand) test::WriteRegString(HKEY_LOCAL_MACHINE, kOpenCommandKey, nullptr, row.openCommand);
        WizardRun run(L"welcome-defaults");
        gui::WizardDriver& wizard = run.driver();
        ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage)) << test::Narrow(wizard.Dump());

        EXPECT_EQ(ControlText(wizard, 1000), row.folder);
        EXPECT_EQ(ControlText(wizard, 1013), L"Willkommen zur Pixelmoor 64 Installation!");
        EXPECT_EQ(ControlText(wizard, 1056),
                  L"Dieses Programm wird Pixelmoor Version  4.75  (64 bit) auf Ihrem PC installieren.\n(Bitte mit "
                  L"Admin-Rechten ausf\u00fchren)");
        for (const int box : {1011, 1021, 1012, 1016})
            EXPECT_EQ(ControlChecked(wizard, box), std::optional(true)) << box;
        EXPECT_EQ(ControlChecked(wizard, 1017), std::optional(false));
        EXPECT_FALSE(wizard.SheetButton(gui::kBackButton).value_or(gui::ControlState{}).enabled);

        ASSERT_TRUE(wizard.Press(gui::kCancelButton));
        const auto box = wizard.WaitForMessageBox();
        ASSERT_TRUE(box && wizard.Answer(*box, IDYES));
        EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(test::kExitUserCancelled));
    }
    test::ResetProductRegistration();
}

TEST_F(WizardPagesE2E, WelcomeRefusesAFolderWithoutADriveOrTooLongAndKeepsBackDisabled) {
    WizardRun run(L"welcome-invalid");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    test::RemoveTree(L"D:\\Long");
    const struct {
        std::wstring folder;
        const wchar_t* message;
    } rows[] = {
        {L"Pixelmoor", test::kInvalidFolderText},                     // a bare name
        {L"\\\\server\\share\\Pixelmoor", test::kInvalidFolderText},  // a network path
        {L"", test::kInvalidFolderText},                              // nothing
        // a folder of 258 characters, below which the payload's deepest
        // files would not fit a path: refused before anything is written
        {L"D:\\Long\\" + std::wstring(100, L'l') + L"\\" + std::wstring(149, L'l'), test::kCannotCreateFolderText},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(test::Narrow(row.folder));
        ASSERT_TRUE(wizard.SetText(1000, row.folder));
        ASSERT_TRUE(wizard.Press(gui::kNextButton));
        ExpectBoxAndConfirm(wizard, row.message, gui::BoxIcon::kError);
        ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
        EXPECT_EQ(ControlText(wizard, 1000), row.folder);
        EXPECT_FALSE(wizard.SheetButton(gui::kBackButton).value_or(gui::ControlState{}).enabled);
    }
    EXPECT_FALSE(test::FolderExists(L"D:\\Long"));
    // blanks around a folder with a drive do not stop it
    ASSERT_TRUE(wizard.SetText(1000, L"  D:\\Tools\\Pixelmoor "));
    ASSERT_TRUE(wizard.Press(gui::kNextButton));
    EXPECT_TRUE(wizard.WaitForPage(test::kWhatsNewPage)) << test::Narrow(wizard.Dump());
}

TEST_F(WizardPagesE2E, WelcomeRefusesAFolderInsideTheEarlierInstallationOrAroundIt) {
    // An earlier installation registered in D:\Earlier\Pixelmoor, which is there.
    test::ResetProductRegistration();
    test::RemoveTree(L"D:\\Earlier");
    ASSERT_TRUE(::CreateDirectoryW(L"D:\\Earlier", nullptr));
    ASSERT_TRUE(::CreateDirectoryW(L"D:\\Earlier\\Pixelmoor", nullptr));
    test::WriteRegString(HKEY_LOCAL_MACHINE, kOpenCommandKey, nullptr,
                         L"\"D:\\Earlier\\Pixelmoor\\p_moor64.exe\" \"%1\"");
    const std::wstring refusal =
        L"Das Zielverzeichnis liegt in der bisherigen Installation in D:\\Earlier\\Pixelmoor\\ oder enth\u00e4lt "
        L"sie!\n\nDeinstallieren Sie bitte zuerst die bisherige Installation oder w\u00e4hlen Sie ein anderes "
        L"Zielverzeichnis.";
    WizardRun run(L"welcome-nested");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    // a folder inside the earlier one, and one around it in other capitals
    for (const wchar_t* folder : {L"D:\\Earlier\\Pixelmoor\\Neu", L"d:\\earlier"}) {
        SCOPED_TRACE(test::Narrow(folder));
        ASSERT_TRUE(wizard.SetText(1000, folder));
        ASSERT_TRUE(wizard.Press(gui::kNextButton));
        ExpectBoxAndConfirm(wizard, refusal.c_str(), gui::BoxIcon::kError);
        ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
        EXPECT_FALSE(wizard.SheetButton(gui::kBackButton).value_or(gui::ControlState{}).enabled);
    }
    EXPECT_EQ(test::ListFolder(L"D:\\Earlier\\Pixelmoor"), std::vector<std::wstring>{});
    // the earlier folder itself (an update) and one beside it are taken
    for (const wchar_t* folder : {L"D:\\Earlier\\Pixelmoor", L"D:\\Earlier\\Pixelmoor Neu"}) {
        ASSERT_TRUE(wizard.SetText(1000, folder));
        ASSERT_TRUE(wizard.Press(gui::kNextButton));
        ASSERT_TRUE(wizard.WaitForPage(test::kWhatsNewPage)) << test::Narrow(wizard.Dump());
        ASSERT_TRUE(wizard.Press(gui::kBackButton));
        ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    }
    ASSERT_TRUE(wizard.Press(gui::kCancelButton));
    const auto box = wizard.WaitForMessageBox();
    ASSERT_TRUE(box && wizard.Answer(*box, IDYES));
    EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(test::kExitUserCancelled));
    test::ResetProductRegistration();
    test::RemoveTree(L"D:\\Earlier");
}

TEST_F(WizardPagesE2E, ReadySaysThatAnEarlierCopyStaysWhenItsUninstallerIsNotOurs) {
    // An earlier installation whose uninstaller someone replaced (here by the viewer, whose window would show).
    ASSERT_EQ(test::RunProgram(L"\"" + test::SetupExePath() + L"\" /silent /folder=" + kToolsFolder), 0u);
    const std::wstring planted = std::wstring(kToolsFolder) + L"\\pm_uninstall.exe";
    ASSERT_TRUE(::CopyFileW(test::EnvironmentPath(L"PIXELMOOR_VIEWER_EXE").c_str(), planted.c_str(), FALSE));
    WizardRun run(L"ready-earlier-stays");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    ASSERT_TRUE(wizard.SetText(1000, DefaultFolder()));
    ASSERT_TRUE(NextUntil(wizard, test::kReadyPage));
    ASSERT_TRUE(wizard.Press(gui::kNextButton));
    // Installed; the planted program was not started, and the user is told.
    ExpectBoxAndConfirm(wizard,
                        L"Bisherige Installation in D:\\Tools\\Pixelmoor\\ bleibt: pm_uninstall.exe ist nicht das "
                        L"eingetragene Deinstallationsprogramm (SHA-256 weicht ab), nicht gestartet",
                        gui::BoxIcon::kWarning);
    ASSERT_TRUE(wizard.WaitForPage(test::kFinishPage)) << test::Narrow(wizard.Dump());
    EXPECT_TRUE(test::ViewerWindows().empty());
    EXPECT_TRUE(test::FileExists(std::wstring(kToolsFolder) + L"\\p_moor64.exe"));
    ASSERT_TRUE(wizard.Click(1022));  // no FAQ page
    ASSERT_TRUE(wizard.Click(1020));  // no viewer
    ASSERT_TRUE(wizard.Press(gui::kCancelButton));
    EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(test::kExitSuccess));
}

TEST_F(WizardPagesE2E, WelcomeFolderOnAMissingDriveFailsInTheDriverAndComesBackWithEveryChoice) {
    constexpr wchar_t kMissing[] = L"Q:\\Missing\\Pixelmoor";
    ASSERT_EQ(::GetDriveTypeW(L"Q:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR)) << "the test needs no drive Q:";
    const std::wstring registryBefore = test::DumpRegistrationFootprint();
    WizardRun run(L"welcome-missing-drive");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    ASSERT_TRUE(wizard.SetText(1000, kMissing));
    ASSERT_TRUE(wizard.Click(1011));  // no desktop shortcut
    ASSERT_TRUE(wizard.Click(1017));  // for all users
    ASSERT_TRUE(NextUntil(wizard, test::kReadyPage));
    ASSERT_TRUE(wizard.Click(1038));  // settings in the program folder
    ASSERT_TRUE(wizard.Press(gui::kNextButton));
    // while the driver's box is open the installation runs: the status text
    // is shown and the sheet's buttons are disabled
    ASSERT_TRUE(wizard.WaitForMessageBox());
    EXPECT_TRUE(wizard.Control(1044).value_or(gui::ControlState{}).visible);
    for (const int button : {gui::kBackButton, gui::kNextButton, gui::kCancelButton})
        EXPECT_FALSE(wizard.SheetButton(button).value_or(gui::ControlState{}).enabled) << button;
    ExpectBoxAndConfirm(wizard, test::kCannotCreateFolderText, gui::BoxIcon::kError);

    // back on the welcome page, as the user left it, with Back disabled
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage)) << test::Narrow(wizard.Dump());
    EXPECT_EQ(ControlText(wizard, 1000), kMissing);
    EXPECT_EQ(ControlChecked(wizard, 1011), std::optional(false));
    EXPECT_EQ(ControlChecked(wizard, 1021), std::optional(true));
    EXPECT_EQ(ControlChecked(wizard, 1012), std::optional(true));
    EXPECT_EQ(ControlChecked(wizard, 1017), std::optional(true));
    EXPECT_FALSE(wizard.SheetButton(gui::kBackButton).value_or(gui::ControlState{}).enabled);
    // the ready page no longer says that it installs
    ASSERT_TRUE(NextUntil(wizard, test::kReadyPage));
    EXPECT_FALSE(wizard.Control(1044).value_or(gui::ControlState{}).visible);
    EXPECT_TRUE(wizard.SheetButton(gui::kNextButton).value_or(gui::ControlState{}).enabled);

    // nothing was registered, and ending now is ending before an installation
    EXPECT_EQ(test::DumpRegistrationFootprint(), registryBefore);
    ASSERT_TRUE(wizard.Press(gui::kCancelButton));
    const auto box = wizard.WaitForMessageBox();
    ASSERT_TRUE(box && wizard.Answer(*box, IDYES));
    EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(test::kExitUserCancelled));
}

TEST_F(WizardPagesE2E, WelcomeWarnsOnEveryActivationWhileTheViewerRuns) {
    const test::RunningViewer viewer;
    ASSERT_TRUE(viewer) << "the stand-in viewer did not start";
    WizardRun run(L"welcome-viewer");
    gui::WizardDriver& wizard = run.driver();
    // on the first activation, before the page can be used
    ExpectBoxAndConfirm(wizard, test::kViewerRunningText, gui::BoxIcon::kWarning);
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    // only a warning: the page lets the user go on
    ASSERT_TRUE(NextUntil(wizard, test::kWhatsNewPage));
    EXPECT_TRUE(wizard.MessageBoxes().empty());
    // and again on coming back
    ASSERT_TRUE(wizard.Press(gui::kBackButton));
    ExpectBoxAndConfirm(wizard, test::kViewerRunningText, gui::BoxIcon::kWarning);
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    EXPECT_EQ(ControlText(wizard, 1000), DefaultFolder()) << "the defaults are not applied again";
}

TEST_F(WizardPagesE2E, WelcomeNoShortcutsGreysTheScopeUntilAShortcutIsChosenAgain) {
    WizardRun run(L"welcome-keine");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    ASSERT_TRUE(wizard.Click(1017));
    ASSERT_TRUE(test::Eventually([&] { return ControlChecked(wizard, 1017) == std::optional(true); }));
    const struct {
        int click;
        bool desktop, thumbs, group;  // the three boxes afterwards
        bool scopeEnabled;
    } rows[] = {
        {1019, false, false, false, false},  // "&Keine": all three off, the scope greyed out
        {1021, false, true, false, true},    // one box on: the scope is available again
        {1021, false, false, false, false},  // off again: greyed out again
        {1012, false, false, true, true},    // any of the three counts
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(wizard.Click(row.click)) << row.click;
        EXPECT_TRUE(test::Eventually([&] {
            return wizard.Control(1016).value_or(gui::ControlState{}).enabled == row.scopeEnabled &&
                   ControlChecked(wizard, 1012) == std::optional(row.group);
        })) << row.click;
        EXPECT_EQ(ControlChecked(wizard, 1011), std::optional(row.desktop)) << row.click;
        EXPECT_EQ(ControlChecked(wizard, 1021), std::optional(row.thumbs)) << row.click;
        EXPECT_EQ(ControlChecked(wizard, 1012), std::optional(row.group)) << row.click;
        for (const int radio : {1016, 1017})
            EXPECT_EQ(wizard.Control(radio).value_or(gui::ControlState{}).enabled, row.scopeEnabled) << row.click;
        // the choice between the two stays as it was
        EXPECT_EQ(ControlChecked(wizard, 1017), std::optional(true)) << row.click;
    }
}

TEST_F(WizardPagesE2E, WelcomeFolderDialogOpensOnTheBoxFolderAndAddsTheProductFolder) {
    for (const wchar_t* folder : {L"D:\\Apps", L"D:\\Apps\\Viewer", L"D:\\Apps\\PIXELMOOR"})
        ::CreateDirectoryW(folder, nullptr);
    WizardRun run(L"welcome-browse");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    ASSERT_TRUE(wizard.SetText(1000, L"D:\\Apps\\Viewer\\"));
    enum Action { kTakeAsOpened, kChoose, kCancel };
    const struct {
        Action action;
        const wchar_t* chosen;
        const wchar_t* box;
    } rows[] = {
        // a cancelled dialog changes nothing (and the first dialog in a fresh
        // Wine prefix, which Wine's shell does not yet take a selection in,
        // is over)
        {kCancel, nullptr, L"D:\\Apps\\Viewer\\"},
        // opened on the box's folder (its backslash removed), taken as it is
        {kTakeAsOpened, nullptr, L"D:\\Apps\\Viewer\\Pixelmoor\\"},
        // a product folder is not doubled
        {kChoose, L"D:\\Apps\\PIXELMOOR", L"D:\\Apps\\PIXELMOOR\\"},
        // a drive root gets the product folder
        {kChoose, L"D:\\", L"D:\\Pixelmoor\\"},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(wizard.Click(1009));
        switch (row.action) {
            case kTakeAsOpened:
                ASSERT_TRUE(wizard.ChooseInFolderDialog());
                break;
            case kChoose:
                ASSERT_TRUE(wizard.ChooseInFolderDialog(row.chosen));
                break;
            case kCancel:
                ASSERT_TRUE(wizard.CancelFolderDialog());
                break;
        }
        EXPECT_TRUE(test::Eventually([&] { return ControlText(wizard, 1000) == row.box; }))
            << test::Narrow(ControlText(wizard, 1000));
    }
    test::RemoveTree(L"D:\\Apps");
}

// ---- What's-new page ----

TEST_F(WizardPagesE2E, WhatsNewShowsTheNotesUpToTheirLastLetter) {
    const std::optional<std::string> bytes = test::ReadFileBytes(test::EnvironmentPath(L"PIXELMOOR_WHATS_NEW"));
    ASSERT_TRUE(bytes && bytes->size() % 2 == 0);
    const std::wstring notes(reinterpret_cast<const wchar_t*>(bytes->data()), bytes->size() / 2);
    // the notes end with an exclamation mark and a line break, which go
    ASSERT_TRUE(notes.ends_with(L"Pixelmoor!\r\n"));
    WizardRun run(L"whats-new");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    ASSERT_TRUE(NextUntil(wizard, test::kWhatsNewPage));
    EXPECT_EQ(ControlText(wizard, 1000), notes.substr(0, notes.size() - 3));
}

// ---- Associations page ----

TEST_F(WizardPagesE2E, AssociationsOnWindows10TheBoxOpensTheListInItsOwnColours) {
    WizardRun run(L"associations-10");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    ASSERT_TRUE(NextUntil(wizard, test::kAssociationsPage));
    const gui::ListView list = wizard.List(1579);
    ASSERT_TRUE(list);

    // on arrival: the box unticked, the list filled but greyed out in silver and orange
    EXPECT_EQ(ControlChecked(wizard, 3311), std::optional(false));
    EXPECT_TRUE(wizard.Control(3311).value_or(gui::ControlState{}).enabled);
    EXPECT_FALSE(wizard.Control(1037).value_or(gui::ControlState{}).visible);
    EXPECT_EQ(list.Count(), std::optional(65));
    EXPECT_EQ(list.Text(0), std::optional<std::wstring>(L"ANI"));
    EXPECT_EQ(list.Text(25, 1), std::optional<std::wstring>(L"JPEG Format"));
    EXPECT_EQ(list.Text(64), std::optional<std::wstring>(L"WMA"));
    const auto expectList = [&](bool enabled, COLORREF background, COLORREF text, const char* when) {
        EXPECT_EQ(list.Enabled(), enabled) << when;
        EXPECT_EQ(list.BackgroundColor(), std::optional(background)) << when;
        EXPECT_EQ(list.TextColor(), std::optional(text)) << when;
        for (const int button : {1091, 1080, 1081})
            EXPECT_EQ(wizard.Control(button).value_or(gui::ControlState{}).enabled, enabled) << when << " " << button;
    };
    expectList(false, kSilver, kOrange, "on arrival");
    // ticked: the list's own colours come back (the window colour, and the
    // list's default text colour)
    ASSERT_TRUE(wizard.Click(3311));
    ASSERT_TRUE(test::Eventually([&] { return list.Enabled(); }));
    expectList(true, ::GetSysColor(COLOR_WINDOW), CLR_DEFAULT, "ticked");

    // the three buttons
    const struct {
        int button;
        int firstChecked, lastChecked;  // checked items; the others unchecked
    } rows[] = {
        {1091, 0, 50},  // "Nur Bilder": ANI to XPM
        {1080, 0, 64},  // "Alle markieren"
        {1081, 0, -1},  // "Keine markieren"
        {1091, 0, 50},  // and the images again, to carry through Back and Next
    };
    const auto expectMarks = [&](int first, int last, const std::string& when) {
        for (int item = 0; item < 65; ++item)
            EXPECT_EQ(list.Checked(item), std::optional(item >= first && item <= last)) << when << " item " << item;
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(wizard.Click(row.button));
        EXPECT_TRUE(test::Eventually([&] {
            return list.Checked(0) == std::optional(row.lastChecked >= 0) &&
                   list.Checked(64) == std::optional(row.lastChecked == 64);
        })) << row.button;
        expectMarks(row.firstChecked, row.lastChecked, "button " + std::to_string(row.button));
    }
    // Back and Next keep the marks and the box
    ASSERT_TRUE(wizard.Press(gui::kBackButton));
    ASSERT_TRUE(wizard.WaitForPage(test::kWhatsNewPage));
    ASSERT_TRUE(NextUntil(wizard, test::kAssociationsPage));
    EXPECT_EQ(ControlChecked(wizard, 3311), std::optional(true));
    expectMarks(0, 50, "after Back and Next");
    // unticked: greyed out again, the marks still shown
    ASSERT_TRUE(wizard.Click(3311));
    ASSERT_TRUE(test::Eventually([&] { return !list.Enabled(); }));
    expectList(false, kSilver, kOrange, "unticked");
    expectMarks(0, 50, "unticked");
}

TEST_F(WizardPagesE2E, AssociationsOnWindows11TheBoxCannotBeTickedAndNothingIsAssociated) {
    const test::Windows11Prefix windows11;
    WizardRun run(L"associations-11");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    ASSERT_TRUE(wizard.SetText(1000, kToolsFolder));
    ASSERT_TRUE(NextUntil(wizard, test::kAssociationsPage));
    const gui::ListView list = wizard.List(1579);
    EXPECT_EQ(ControlChecked(wizard, 3311), std::optional(false));
    EXPECT_FALSE(wizard.Control(3311).value_or(gui::ControlState{}).enabled);
    EXPECT_FALSE(wizard.Click(3311)) << "a greyed-out box cannot be clicked";
    EXPECT_FALSE(list.Enabled());
    EXPECT_EQ(list.BackgroundColor(), std::optional(kSilver));
    EXPECT_EQ(list.TextColor(), std::optional(kOrange));
    for (const int button : {1091, 1080, 1081})
        EXPECT_FALSE(wizard.Control(button).value_or(gui::ControlState{}).enabled) << button;
    // rows marked anyway (as a user cannot) are not chosen: no question, no association
    ASSERT_TRUE(list.SetChecked(25, true));
    ASSERT_TRUE(NextUntil(wizard, test::kFinishPage)) << test::Narrow(wizard.Dump());
    ASSERT_TRUE(wizard.PostSysClose());
    EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(test::kExitSuccess));
    test::ExpectAssociations(std::wstring(kToolsFolder) + L"\\", AssociationSelection{});
}

// ---- Ready page ----

TEST_F(WizardPagesE2E, ReadyShowsTheTrimmedFolderAndOffersTheRecommendedSettingsFolderEachTime) {
    WizardRun run(L"ready-page");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    ASSERT_TRUE(wizard.SetText(1000, L"  D:\\Tools\\Pixelmoor   "));
    ASSERT_TRUE(NextUntil(wizard, test::kReadyPage));
    EXPECT_EQ(ControlText(wizard, 1010), L"Zielverzeichnis: D:\\Tools\\Pixelmoor");
    EXPECT_FALSE(wizard.Control(1044).value_or(gui::ControlState{}).visible);
    const struct {
        const char* when;
        bool clickProgramFolder;  // choose 1038 before going Back and Next
    } rows[] = {
        {"on arrival", true},
        {"after choosing the program folder, Back and Next", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ControlChecked(wizard, 1039), std::optional(true)) << row.when;
        EXPECT_EQ(ControlChecked(wizard, 1038), std::optional(false)) << row.when;
        if (!row.clickProgramFolder) continue;
        ASSERT_TRUE(wizard.Click(1038));
        EXPECT_TRUE(test::Eventually([&] { return ControlChecked(wizard, 1038) == std::optional(true); }));
        ASSERT_TRUE(wizard.Press(gui::kBackButton));
        ASSERT_TRUE(wizard.WaitForPage(test::kAssociationsPage));
        ASSERT_TRUE(NextUntil(wizard, test::kReadyPage));
    }
}

TEST_F(WizardPagesE2E, ReadyInstallsNothingWhileTheViewerOrAPluginProgramRunsOrAnotherSetupInstalls) {
    enum class Blocker { kViewer, kPluginProgram, kOtherSetup };
    const struct {
        const char* what;
        Blocker blocker;
        const wchar_t* text;
        gui::BoxIcon icon;
    } rows[] = {
        // files of a running viewer cannot be replaced: a warning
        {"the viewer runs", Blocker::kViewer, test::kViewerRunningText, gui::BoxIcon::kWarning},
        // nor those of another program of the installation in the folder: the same warning
        {"the slide show runs", Blocker::kPluginProgram, test::kViewerRunningText, gui::BoxIcon::kWarning},
        // two setups at once would mix their files and keys: an error
        {"another setup installs", Blocker::kOtherSetup, test::kInstallFailedText, gui::BoxIcon::kError},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Reset();
        // The slide show runs from an earlier installation in the folder.
        if (row.blocker == Blocker::kPluginProgram) {
            ASSERT_EQ(test::RunProgram(L"\"" + test::SetupExePath() + L"\" /silent /folder=" + kToolsFolder),
                      std::optional<DWORD>(test::kExitSuccess));
        }
        const std::wstring registryBefore = test::DumpRegistrationFootprint();
        const std::wstring filesBefore = test::InstalledFilesRecord(kToolsFolder, false);
        std::optional<test::RunningViewer> viewer;
        std::optional<test::StartedProgram> program;
        UniqueOwnedMutex otherSetup;
        switch (row.blocker) {
            case Blocker::kViewer:
                viewer.emplace();
                ASSERT_TRUE(*viewer);
                break;
            case Blocker::kPluginProgram:
                program.emplace(L"\"" + std::wstring(kToolsFolder) + L"\\Plugins\\Diashow.exe\"");
                ASSERT_TRUE(test::WaitForWindowOf(program->id()));
                break;
            case Blocker::kOtherSetup:
                otherSetup.reset(::CreateMutexW(nullptr, TRUE, L"Global\\Pixelmoor64SetupInstallation"));
                ASSERT_TRUE(otherSetup);
                break;
        }
        WizardRun run(L"ready-blocked");
        gui::WizardDriver& wizard = run.driver();
        if (row.blocker != Blocker::kOtherSetup) ExpectBoxAndConfirm(wizard, row.text, row.icon);
        ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
        ASSERT_TRUE(wizard.SetText(1000, kToolsFolder));
        ASSERT_TRUE(NextUntil(wizard, test::kReadyPage));
        for (int attempt = 0; attempt < 2; ++attempt) {
            ASSERT_TRUE(wizard.Press(gui::kNextButton));
            ExpectBoxAndConfirm(wizard, row.text, row.icon);
            ASSERT_TRUE(wizard.WaitForPage(test::kReadyPage));
            EXPECT_FALSE(wizard.Control(1044).value_or(gui::ControlState{}).visible) << attempt;
            for (const int button : {gui::kBackButton, gui::kNextButton, gui::kCancelButton})
                EXPECT_TRUE(wizard.SheetButton(button).value_or(gui::ControlState{}).enabled) << attempt;
            EXPECT_EQ(test::DumpRegistrationFootprint(), registryBefore) << attempt;
            EXPECT_EQ(test::InstalledFilesRecord(kToolsFolder, false), filesBefore) << attempt;
        }
        // once the other program has ended, Next installs
        viewer.reset();
        program.reset();
        otherSetup.reset();
        ASSERT_TRUE(wizard.Press(gui::kNextButton));
        ASSERT_TRUE(wizard.WaitForPage(test::kFinishPage)) << test::Narrow(wizard.Dump());
        EXPECT_TRUE(test::FileExists(std::wstring(kToolsFolder) + L"\\p_moor64.exe"));
        ASSERT_TRUE(wizard.PostSysClose());
        EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(test::kExitSuccess));
    }
}

TEST_F(WizardPagesE2E, ReadyNamesTheShortcutsItCouldNotSaveAndGoesBackToTheWelcomePage) {
    // A file where the start-menu group's folder belongs: none of its nine shortcuts can be saved.
    const std::wstring group = test::GroupFolder(false);
    const std::wstring groupFolder = group.substr(0, group.size() - 1);
    ASSERT_TRUE(test::WriteFileBytes(groupFolder, "in the way\n"));
    std::wstring expected = L"Die Installation ist unvollst\u00e4ndig. Folgendes konnte nicht geschrieben werden:\n";
    for (const wchar_t* name :
         {L"Pixelmoor 64 4.75.lnk", L"Pixelmoor - Thumbnails.lnk", L"Pixelmoor deinstallieren.lnk",
          L"\u00dcber Pixelmoor.lnk", L"Was ist neu.lnk", L"Kommandozeilen-Optionen.lnk",
          L"Verf\u00fcgbare PlugIns.lnk", L"Verf\u00fcgbare Sprachen.lnk", L"Pixelmoor Hilfe.lnk"})
        expected += L"\nVerkn\u00fcpfung " + group + name;

    WizardRun run(L"ready-unwritten");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    ASSERT_TRUE(wizard.SetText(1000, kToolsFolder));
    ASSERT_TRUE(NextUntil(wizard, test::kReadyPage));
    ASSERT_TRUE(wizard.Press(gui::kNextButton));
    // as after any failed installation: the error, then the welcome page
    ExpectBoxAndConfirm(wizard, expected.c_str(), gui::BoxIcon::kError);
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage)) << test::Narrow(wizard.Dump());
    // the files stay installed, the desktop shortcuts were saved
    EXPECT_TRUE(test::FileExists(std::wstring(kToolsFolder) + L"\\p_moor64.exe"));
    EXPECT_TRUE(test::FileExists(test::DesktopFolder(false) + L"Pixelmoor 64.lnk"));

    // with the way cleared, the same choices install completely
    test::RemoveTree(groupFolder);
    ASSERT_TRUE(NextUntil(wizard, test::kReadyPage));
    ASSERT_TRUE(wizard.Press(gui::kNextButton));
    ASSERT_TRUE(wizard.WaitForPage(test::kFinishPage)) << test::Narrow(wizard.Dump());
    test::ExpectLinks(group, test::ExpectedGroupLinks(std::wstring(kToolsFolder) + L"\\", true));
    ASSERT_TRUE(wizard.PostSysClose());
    EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(test::kExitSuccess));
}

// An update through the wizard that fails (a plug-in of the earlier
// installation is in use) goes back to the welcome page, as a failed
// installation does, with the earlier installation as it was; once the
// plug-in is free, the same wizard installs.
TEST_F(WizardPagesE2E, ReadyAfterAFailedUpdateReturnsToTheWelcomePageWithTheEarlierInstallationAsItWas) {
    const std::wstring folder = std::wstring(kToolsFolder) + L"\\";
    ASSERT_EQ(test::RunProgram(L"\"" + test::SetupExePath() + L"\" /silent /group=1 /folder=" + kToolsFolder,
                               test::MakeScratchFolder(L"ready-failed-update")),
              std::optional<DWORD>(test::kExitSuccess));
    // The earlier version's viewer and a date of its own on a plug-in before the one in use.
    ASSERT_TRUE(test::WriteFileBytes(folder + L"p_moor64.exe", "earlier viewer\n"));
    {
        const UniqueFile file(::CreateFileW((folder + L"Plugins\\Camera.dll").c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
        const FILETIME earlier{0x12345600, 0x01d4d2a0};
        ASSERT_TRUE(::SetFileTime(file.get(), &earlier, nullptr, &earlier));
    }
    const test::TreeSnapshot filesBefore = test::SnapshotTree(folder);
    const std::wstring registryBefore = test::DumpRegistrationFootprint();
    UniqueFile inUse(::CreateFileW((folder + L"Plugins\\Sketch.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   0, nullptr));
    ASSERT_TRUE(inUse);

    WizardRun run(L"ready-failed-update");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    EXPECT_EQ(ControlText(wizard, 1000), folder);  // the earlier installation's folder
    ASSERT_TRUE(NextUntil(wizard, test::kReadyPage));
    ASSERT_TRUE(wizard.Press(gui::kNextButton));
    ExpectBoxAndConfirm(wizard, test::kInstallFailedText, gui::BoxIcon::kError);
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
    EXPECT_EQ(ControlText(wizard, 1000), folder);
    inUse.reset();
    EXPECT_EQ(test::TreeDifferences(filesBefore, test::SnapshotTree(folder)), "");
    EXPECT_EQ(test::DumpRegistrationFootprint(), registryBefore);

    ASSERT_TRUE(NextUntil(wizard, test::kFinishPage)) << test::Narrow(wizard.Dump());
    EXPECT_NE(test::ReadFileBytes(folder + L"p_moor64.exe"), std::optional<std::string>("earlier viewer\n"));
    ASSERT_TRUE(wizard.PostSysClose());
    EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(test::kExitSuccess));
}

// ---- Finish page ----

TEST_F(WizardPagesE2E, FinishOpensTheFaqPageAndStartsTheInstalledViewerAsChosen) {
    const struct {
        bool faq, viewer;      // the boxes when "&Fertig stellen" is pressed
        const wchar_t* typed;  // into the welcome page; installed into kToolsFolder
    } rows[] = {
        {true, true, kToolsFolder},               // as the page offers them, without a trailing backslash
        {false, false, kToolsFolder},             // both unticked: the wizard just closes
        {false, true, L"D:\\Tools \\Pixelmoor"},  // only the viewer, from the folder installed into
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string("FAQ ") + (row.faq ? "on" : "off") + ", viewer " + (row.viewer ? "on" : "off"));
        Reset();
        const test::BrowserRecorder browser;
        WizardRun run(L"finish-page");
        gui::WizardDriver& wizard = run.driver();
        ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage));
        ASSERT_TRUE(wizard.SetText(1000, row.typed));
        ASSERT_TRUE(NextUntil(wizard, test::kFinishPage)) << test::Narrow(wizard.Dump());
        EXPECT_EQ(ControlChecked(wizard, 1022), std::optional(true));
        EXPECT_EQ(ControlChecked(wizard, 1020), std::optional(true));
        EXPECT_EQ(wizard.SheetButton(gui::kCancelButton).value_or(gui::ControlState{}).text, L"&Fertig stellen");
        if (!row.faq) ASSERT_TRUE(wizard.Click(1022));
        if (!row.viewer) ASSERT_TRUE(wizard.Click(1020));
        ASSERT_TRUE(wizard.Press(gui::kCancelButton));
        EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(test::kExitSuccess));

        // the setup waits for the viewer's window before it ends
        const std::vector<HWND> viewers = test::ViewerWindows();
        if (row.viewer) {
            ASSERT_EQ(viewers.size(), 1u);
            EXPECT_EQ(test::WindowProgramPath(viewers.front()), std::wstring(kToolsFolder) + L"\\p_moor64.exe");
        } else {
            EXPECT_TRUE(viewers.empty());
        }
        EXPECT_EQ(browser.Recorded(row.faq ? 20000 : 1000), row.faq ? "https://www.pixelmoor.org/faq.html\r\n" : "");
        test::CloseViewers();
    }
}

}  // namespace
}  // namespace pixelmoor
