// Installations through the wizard, driven as a user would, compared as a
// whole with silent installations of the same choices: the registry's every
// change in HKLM and HKCU, the files, the settings files and the shortcuts
// must be the same, byte for byte. So must what the uninstaller leaves
// after either.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <shlobj.h>

#include <functional>
#include <optional>
#include <string>

#include "tests/integration/installation_record.h"
#include "tests/support/gui_driver.h"
#include "tests/support/win_test_support.h"
#include "tests/wizard/wizard_session.h"

namespace pixelmoor {
namespace {

namespace gui = test::gui;
using test::NextUntil;
using test::WizardRun;

constexpr wchar_t kToolsFolder[] = L"D:\\Tools\\Pixelmoor";

std::wstring DefaultFolder() { return test::ShellFolderPath(CSIDL_PROGRAM_FILES) + L"\\Pixelmoor"; }

// The choices made on the pages, each a step of the walk.
struct PageChoices {
    const wchar_t* folder = nullptr;       // typed into the welcome page; null: the proposal
    bool allUsersThenNoShortcuts = false;  // "Für &alle Benutzer", then "&Keine"
    bool programFolderSettings = false;    // the ready page's 1038
    enum Associations { kNone, kImagesAnswerYes, kImagesAnswerNo, kAllAnswerYes, kAllThenUntick } associations = kNone;
};

// One installation through the wizard, ended on the finish page with the
// close box (so that nothing is opened or started).
void InstallThroughWizard(const PageChoices& choices) {
    WizardRun run(L"wizard-install");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage)) << test::Narrow(wizard.Dump());
    if (choices.folder) ASSERT_TRUE(wizard.SetText(1000, choices.folder));
    if (choices.allUsersThenNoShortcuts) {
        ASSERT_TRUE(wizard.Click(1017));
        ASSERT_TRUE(wizard.Click(1019));
    }
    ASSERT_TRUE(NextUntil(wizard, test::kAssociationsPage));
    // The box is ticked when the setup has handled the click: the buttons
    // come alive with the list.
    const auto tickListBox = [&] {
        ASSERT_TRUE(wizard.Click(3311));
        ASSERT_TRUE(test::Eventually([&] { return wizard.Control(1091).value_or(gui::ControlState{}).enabled; }));
    };
    switch (choices.associations) {
        case PageChoices::kNone:
            break;
        case PageChoices::kImagesAnswerYes:
        case PageChoices::kImagesAnswerNo:
            tickListBox();
            ASSERT_TRUE(wizard.Click(1091));
            break;
        case PageChoices::kAllAnswerYes:
            tickListBox();
            ASSERT_TRUE(wizard.Click(1080));
            break;
        case PageChoices::kAllThenUntick:
            tickListBox();
            ASSERT_TRUE(wizard.Click(1080));
            ASSERT_TRUE(wizard.Click(3311));
            break;
    }
    ASSERT_TRUE(NextUntil(wizard, test::kReadyPage));
    if (choices.programFolderSettings) ASSERT_TRUE(wizard.Click(1038));
    ASSERT_TRUE(wizard.Press(gui::kNextButton));
    const bool asked =
        choices.associations != PageChoices::kNone && choices.associations != PageChoices::kAllThenUntick;
    if (asked) {
        const std::optional<gui::MessageBoxState> box = test::WaitForWizardBox(wizard);
        ASSERT_TRUE(box) << test::Narrow(wizard.Dump());
        EXPECT_EQ(box->text, test::kAssociationQuestionText);
        EXPECT_EQ(box->defaultButton, IDNO);
        ASSERT_TRUE(wizard.Answer(*box, choices.associations == PageChoices::kImagesAnswerNo ? IDNO : IDYES));
    }
    ASSERT_TRUE(wizard.WaitForPage(test::kFinishPage)) << test::Narrow(wizard.Dump());
    ASSERT_TRUE(wizard.PostSysClose());
    EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(test::kExitSuccess));
}

// An update through the wizard with the pages' defaults, into the folder that
// the welcome page proposes (the earlier installation's), checking on the
// ready page which settings folder is preselected.
void UpdateThroughWizard(std::optional<int> preselected) {
    WizardRun run(L"wizard-update");
    gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage)) << test::Narrow(wizard.Dump());
    EXPECT_EQ(test::ControlText(wizard, 1000), std::wstring(kToolsFolder) + L"\\");
    ASSERT_TRUE(NextUntil(wizard, test::kReadyPage));
    for (const int radio : {1038, 1039})
        EXPECT_EQ(test::ControlChecked(wizard, radio), std::optional<bool>(preselected == radio)) << radio;
    ASSERT_TRUE(wizard.Press(gui::kNextButton));
    ASSERT_TRUE(wizard.WaitForPage(test::kFinishPage)) << test::Narrow(wizard.Dump());
    ASSERT_TRUE(wizard.PostSysClose());
    EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(test::kExitSuccess));
}

class WizardInstallE2E : public testing::Test {
protected:
    void SetUp() override {
        runFolder_ = test::MakeScratchFolder(L"wizard-install-silent");
        Reset();
    }
    void TearDown() override {
        Reset();
        test::RemoveTree(runFolder_);
    }
    static void Reset() {
        for (const std::wstring& folder : {std::wstring(kToolsFolder), DefaultFolder()})
            test::ResetInstallation(folder);
    }
    void InstallSilently(const std::wstring& switches) {
        ASSERT_EQ(test::RunProgram(L"\"" + test::SetupExePath() + L"\" " + switches, runFolder_), 0u)
            << test::Narrow(switches);
    }
    static void Uninstall(const std::wstring& folder) {
        EXPECT_EQ(test::RunProgram(L"\"" + folder + L"\\pm_uninstall.exe\" /silent"), 0u);
    }

    std::wstring runFolder_;
};

TEST_F(WizardInstallE2E, WizardInstallsExactlyWhatTheSilentSwitchesOfTheSameChoicesInstall) {
    const struct {
        const char* what;
        PageChoices choices;
        const wchar_t* switches;
        std::wstring folder;
        bool allUsers;
    } rows[] = {
        {"the pages' defaults", {}, L"/silent /group=1 /desktop=1 /thumbs=1", DefaultFolder(), false},
        {"no shortcuts, all users, settings in the program folder",
         {kToolsFolder, true, true, PageChoices::kNone},
         L"/silent /folder=D:\\Tools\\Pixelmoor /allusers=1 /ini=",
         kToolsFolder,
         true},
        {"the image types, the question answered Yes",
         {nullptr, false, false, PageChoices::kImagesAnswerYes},
         L"/silent /group=1 /desktop=1 /thumbs=1 /assoc=1",
         DefaultFolder(),
         false},
        {"the image types, the question answered No: the user's associations stay",
         {nullptr, false, false, PageChoices::kImagesAnswerNo},
         L"/silent /group=1 /desktop=1 /thumbs=1",
         DefaultFolder(),
         false},
        {"every type, the question answered Yes",
         {nullptr, false, false, PageChoices::kAllAnswerYes},
         L"/silent /group=1 /desktop=1 /thumbs=1 /assoc=2",
         DefaultFolder(),
         false},
        {"every type checked, then the list switched off: nothing asked, nothing associated",
         {nullptr, false, false, PageChoices::kAllThenUntick},
         L"/silent /group=1 /desktop=1 /thumbs=1",
         DefaultFolder(),
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        // Parent keys that an installation creates and a reset keeps (the
        // user's classes, the per-user file types) exist for both records.
        InstallSilently(row.switches);
        const std::wstring wizard =
            test::ChangeRecord([&] { InstallThroughWizard(row.choices); }, row.folder, row.allUsers);
        const std::wstring silent =
            test::ChangeRecord([&] { InstallSilently(row.switches); }, row.folder, row.allUsers);
        const std::string wizardText = test::Utf8(wizard), silentText = test::Utf8(silent);
        EXPECT_TRUE(wizardText == silentText) << test::RecordDifferences(silentText, wizardText);
        // a comparison of two empty records would prove nothing
        EXPECT_NE(silentText.find("p_moor64.exe"), std::string::npos);
    }
}

TEST_F(WizardInstallE2E, WizardUpdateKeepsTheSettingsFolderAsTheSilentUpdateDoes) {
    const struct {
        const char* what;
        const wchar_t* earlier;          // the earlier installation's settings switch
        std::optional<int> preselected;  // the ready page's radio button
        const char* record;              // what the program folder's file records afterwards (null: nothing)
    } rows[] = {
        // another folder: no radio is checked and the folder stays the settings folder
        {"another folder", L"/ini=D:\\Settings\\Pix", std::nullopt, "INI_Folder=D:\\Settings\\Pix"},
        // the application data: "Anwendungsdaten"
        {"application data", L"/ini=%APPDATA%\\Pixelmoor", 1039, "INI_Folder=%APPDATA%\\Pixelmoor"},
        // none recorded, the program folder: "Pixelmoor-Verzeichnis"
        {"the program folder", L"/ini=", 1038, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::wstring earlier = L"/silent /folder=D:\\Tools\\Pixelmoor " + std::wstring(row.earlier);
        const std::wstring wizard = test::ChangeRecord(
            [&] {
                test::RemoveTree(L"D:\\Settings");
                InstallSilently(earlier);
                UpdateThroughWizard(row.preselected);
            },
            kToolsFolder, false);
        const std::optional<std::string> program = test::ReadFileBytes(std::wstring(kToolsFolder) + L"\\p_moor64.ini");
        if (row.record) {
            EXPECT_NE(program.value_or("").find(row.record), std::string::npos) << program.value_or("");
        }
        const std::wstring silent = test::ChangeRecord(
            [&] {
                test::RemoveTree(L"D:\\Settings");
                InstallSilently(earlier);
                InstallSilently(L"/silent /group=1 /desktop=1 /thumbs=1");
            },
            kToolsFolder, false);
        const std::string wizardText = test::Utf8(wizard), silentText = test::Utf8(silent);
        EXPECT_TRUE(wizardText == silentText) << test::RecordDifferences(silentText, wizardText);
    }
    test::RemoveTree(L"D:\\Settings");
}

TEST_F(WizardInstallE2E, UninstallAfterAWizardInstallationLeavesWhatItLeavesAfterASilentOne) {
    const std::wstring folder = DefaultFolder();
    const PageChoices images{nullptr, false, false, PageChoices::kImagesAnswerYes};
    const std::wstring wizard = test::ChangeRecord(
        [&] {
            InstallThroughWizard(images);
            Uninstall(folder);
        },
        folder, false);
    const std::wstring silent = test::ChangeRecord(
        [&] {
            InstallSilently(L"/silent /group=1 /desktop=1 /thumbs=1 /assoc=1");
            Uninstall(folder);
        },
        folder, false);
    const std::string wizardText = test::Utf8(wizard), silentText = test::Utf8(silent);
    EXPECT_TRUE(wizardText == silentText) << test::RecordDifferences(silentText, wizardText);
}

}  // namespace
}  // namespace pixelmoor
