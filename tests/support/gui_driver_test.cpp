// The GUI driver against its own small wizard: the paths across the process
// boundary that could break without anyone noticing (list texts and check
// marks, a modal box opened inside a handler, the exit code).
#include "tests/support/gui_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/win_test_support.h"

namespace pixelmoor::test {
namespace {

constexpr wchar_t kFixtureTitle[] = L"Pr\u00fcf-Assistent";
constexpr DWORD kCancelledExitCode = 1602;
constexpr DWORD kFinishedExitCode = 100;  // plus one bit per checked row

std::wstring FixtureCommandLine() { return L"\"" + EnvironmentPath(L"PIXELMOOR_GUI_FIXTURE") + L"\""; }

struct Row {
    std::wstring label;
    std::wstring description;
    bool checked;
    bool operator==(const Row&) const = default;
};

std::vector<Row> ReadRows(const gui::ListView& list) {
    std::vector<Row> rows;
    for (int i = 0; i < list.Count().value_or(0); ++i)
        rows.push_back({list.Text(i, 0).value_or(L"?"), list.Text(i, 1).value_or(L"?"), list.Checked(i).value_or(false)});
    return rows;
}

TEST(GuiDriver, ListRowsAndCheckMarksCrossTheProcessBoundary) {
    StartedProgram fixture(FixtureCommandLine());
    gui::WizardDriver wizard(fixture.id());
    ASSERT_TRUE(wizard.WaitForSheet(gui::kDefaultWaitMs, kFixtureTitle));
    ASSERT_TRUE(wizard.WaitForPage(101)) << Narrow(wizard.Dump());
    ASSERT_TRUE(wizard.Press(gui::kNextButton));
    ASSERT_TRUE(wizard.WaitForPage(104)) << Narrow(wizard.Dump());

    const gui::ListView list = wizard.List(1579);
    ASSERT_TRUE(list);
    // Texts with umlauts read from the other process's memory, and the check
    // marks as the fixture set them.
    EXPECT_EQ(ReadRows(list), (std::vector<Row>{{L"\u00c4PFEL", L"Apfel-Bilder", false},
                                                {L"\u00d6L", L"\u00d6lgem\u00e4lde *", true},
                                                {L"\u00dcBUNG", L"\u00dcbungsbl\u00e4tter", false}}));
    EXPECT_EQ(list.BackgroundColor(), RGB(192, 192, 192));
    EXPECT_EQ(list.TextColor(), RGB(255, 128, 0));
    EXPECT_TRUE(list.Enabled());
    EXPECT_EQ(list.Text(3), std::nullopt);  // past the last row

    // Check marks set from here are the ones the wizard itself counts: its
    // exit code carries one bit per checked row.
    ASSERT_TRUE(list.SetChecked(0, true));
    ASSERT_TRUE(list.SetChecked(1, false));
    ASSERT_TRUE(list.SetChecked(2, true));
    EXPECT_EQ(list.Checked(0), true);
    EXPECT_EQ(list.Checked(1), false);
    ASSERT_TRUE(wizard.Press(gui::kFinishButton));
    EXPECT_EQ(wizard.WaitForExit(gui::kDefaultWaitMs), kFinishedExitCode + 0b101);
}

TEST(GuiDriver, ModalBoxOpenedInsideAHandlerIsReadAndAnswered) {
    StartedProgram fixture(FixtureCommandLine());
    gui::WizardDriver wizard(fixture.id());
    ASSERT_TRUE(wizard.WaitForSheet(gui::kDefaultWaitMs, kFixtureTitle));
    ASSERT_TRUE(wizard.WaitForPage(101)) << Narrow(wizard.Dump());
    ASSERT_TRUE(wizard.Click(1011));
    ASSERT_TRUE(wizard.Click(1017));
    ASSERT_TRUE(wizard.SetText(1000, L"D:\\\u00c4pfel"));

    // The shell's folder dialog, opened by a page button, is found and
    // cancelled; the folder box keeps its text.
    ASSERT_TRUE(wizard.Click(1009));
    ASSERT_TRUE(wizard.CancelFolderDialog()) << Narrow(wizard.Dump());
    EXPECT_EQ(wizard.FolderDialog(), nullptr);

    // Cancel: the fixture's handler blocks in its question until answered.
    ASSERT_TRUE(wizard.Press(gui::kCancelButton));
    std::optional<gui::MessageBoxState> box = wizard.WaitForMessageBox();
    ASSERT_TRUE(box) << Narrow(wizard.Dump());
    EXPECT_EQ(box->caption, kFixtureTitle);
    EXPECT_EQ(box->text, L"Assistent beenden?");
    ASSERT_EQ(box->buttons.size(), 2u);
    EXPECT_EQ(box->buttons[0].id, IDYES);
    EXPECT_EQ(box->buttons[1].id, IDNO);
    EXPECT_EQ(box->defaultButton, IDNO);
    EXPECT_FALSE(wizard.Press(gui::kNextButton));  // the sheet is disabled under the box
    ASSERT_TRUE(wizard.Answer(*box, IDNO));

    // No keeps the page with everything entered.
    EXPECT_EQ(wizard.Control(1011)->checked, false);
    EXPECT_EQ(wizard.Control(1016)->checked, false);
    EXPECT_EQ(wizard.Control(1017)->checked, true);
    EXPECT_EQ(wizard.Control(1000)->text, L"D:\\\u00c4pfel");
    EXPECT_EQ(wizard.ActivePage()->templateId, 101);

    // Escape asks again through the dialog manager; Enter gives the default
    // answer (No); the close box asks once more, and Yes ends the wizard.
    ASSERT_TRUE(wizard.PostKey(VK_ESCAPE));
    box = wizard.WaitForMessageBox();
    ASSERT_TRUE(box);
    ASSERT_TRUE(wizard.PostKey(VK_RETURN));
    ASSERT_TRUE(wizard.WaitUntilNoMessageBox());
    ASSERT_TRUE(wizard.PostSysClose());
    box = wizard.WaitForMessageBox();
    ASSERT_TRUE(box);
    ASSERT_TRUE(wizard.Answer(*box, IDYES));
    EXPECT_EQ(wizard.WaitForExit(gui::kDefaultWaitMs), kCancelledExitCode);
}

}  // namespace
}  // namespace pixelmoor::test
