#include "archive/unpacking_journal_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pixelmoor {
namespace {

using Kind = JournalRecord::Kind;
using Step = UndoStep::Kind;

std::wstring Journal(std::initializer_list<std::wstring_view> lines) {
    std::wstring text = std::wstring(kJournalHeader) + L"\r\n";
    for (const std::wstring_view line : lines) text += std::wstring(line) + L"\r\n";
    return text;
}

TEST(UnpackingJournalRules, RecordsAreReadBackAsTheyWereWritten) {
    const std::vector<JournalRecord> records = {
        {Kind::kCreatedLevels, 2, L""},                      // the install folder and its parent were made
        {Kind::kCreatedFolder, 0, L"Plugins"},               // a folder of the payload
        {Kind::kNewFile, 0, L"p_moor64.exe"},                // a new name
        {Kind::kReplacedFile, 4294967295u, L"Plugins\\Vector Plugin.dll"},  // the largest number, a blank in the name
        {Kind::kNewFile, 0, L"Html\\Vorlage f\u00fcr \u00c4nderungen.htm"},   // characters beyond ASCII
    };
    std::wstring text = JournalHeaderLine();
    for (const JournalRecord& record : records) text += JournalRecordLine(record);
    EXPECT_EQ(text, Journal({L"U 2", L"D Plugins", L"N p_moor64.exe", L"K 4294967295 Plugins\\Vector Plugin.dll",
                             L"N Html\\Vorlage f\u00fcr \u00c4nderungen.htm"}));
    EXPECT_EQ(ParseJournal(text), records);
}

TEST(UnpackingJournalRules, AnythingButAWholeJournalOfThisFormatIsNotActedOn) {
    struct Row {
        const char* what;
        std::wstring text;
        std::optional<std::vector<JournalRecord>> records;
    };
    const std::vector<JournalRecord> one = {{Kind::kNewFile, 0, L"a.txt"}};
    const Row rows[] = {
        {"a header only: the run was killed before its first change", Journal({}), std::vector<JournalRecord>{}},
        {"a last line cut by the kill is left out", Journal({L"N a.txt"}) + L"K 2 b.t", one},
        {"another format", L"Pixelmoor unpacking journal 2\r\nN a.txt\r\n", std::nullopt},
        {"no header at all", L"N a.txt\r\n", std::nullopt},
        {"an empty file", L"", std::nullopt},
        {"an unknown record", Journal({L"N a.txt", L"X a.txt"}), std::nullopt},
        {"no blank after the tag", Journal({L"Na.txt"}), std::nullopt},
        {"a kept file without a number", Journal({L"K a.txt"}), std::nullopt},
        {"a number with a leading zero", Journal({L"K 07 a.txt"}), std::nullopt},
        {"the number zero", Journal({L"U 0"}), std::nullopt},
        {"a number beyond 32 bits", Journal({L"K 4294967296 a.txt"}), std::nullopt},
        {"levels with a name", Journal({L"U 1 x"}), std::nullopt},
        {"a name leading out", Journal({L"N ..\\..\\Windows\\win.ini"}), std::nullopt},
        {"a name with a drive", Journal({L"N C:\\Windows\\win.ini"}), std::nullopt},
        {"a name from the root", Journal({L"D \\Windows"}), std::nullopt},
        {"a name with a slash", Journal({L"N Plugins/a.dll"}), std::nullopt},
        {"a name with a control character", Journal({L"N a\tb.txt"}), std::nullopt},
        {"the journal itself", Journal({L"N ~PM_UNPACK.JOURNAL"}), std::nullopt},
        {"a kept file", Journal({L"N ~pm_unpack.kept\\1"}), std::nullopt},
        {"a temporary name", Journal({L"N Plugins\\~pm_unpack.new"}), std::nullopt},
        {"a folder ending in a backslash", Journal({L"D Plugins\\"}), std::nullopt},
    };
    for (const Row& row : rows) EXPECT_EQ(ParseJournal(row.text), row.records) << row.what;
}

TEST(UnpackingJournalRules, UndoingGoesBackFromTheLastChangeAndEndsWithTheJournalAndTheFoldersMade) {
    const std::vector<JournalRecord> records = {
        {Kind::kCreatedLevels, 1, L""},
        {Kind::kReplacedFile, 1, L"p_moor64.exe"},
        {Kind::kCreatedFolder, 0, L"Plugins"},
        {Kind::kNewFile, 0, L"Plugins\\A.dll"},
        {Kind::kCreatedFolder, 0, L"Plugins\\Plugins32"},
        {Kind::kReplacedFile, 2, L"Plugins\\Plugins32\\B.dll"},
    };
    const std::vector<UndoStep> steps = {
        {Step::kRemoveNewFile, 0, L"Plugins\\Plugins32\\B.dll"},  // the last file: its data not yet in place
        {Step::kPutBack, 2, L"Plugins\\Plugins32\\B.dll"},        // and its earlier file back
        {Step::kRemoveNewFile, 0, L"Plugins\\A.dll"},
        {Step::kRemoveFile, 0, L"Plugins\\A.dll"},                  // a new file goes
        {Step::kRemoveNewFile, 0, L"p_moor64.exe"},
        {Step::kPutBack, 1, L"p_moor64.exe"},
        {Step::kRemoveEmptyFolder, 0, L"Plugins\\Plugins32"},            // folders made, deepest first
        {Step::kRemoveEmptyFolder, 0, L"Plugins"},
        {Step::kRemoveKeptFolder, 0, L"~pm_unpack.kept"},
        {Step::kRemoveJournal, 0, L"~pm_unpack.journal"},                // then the folder is as it was
        {Step::kRemoveCreatedLevels, 1, L""},                            // the install folder itself last
    };
    EXPECT_EQ(PlanUndo(records), steps);
    // A journal cut before its first change removes only itself.
    EXPECT_EQ(PlanUndo({}), (std::vector<UndoStep>{{Step::kRemoveKeptFolder, 0, L"~pm_unpack.kept"},
                                                    {Step::kRemoveJournal, 0, L"~pm_unpack.journal"}}));
}

TEST(UnpackingJournalRules, TheLongestNameWrittenCountsTheNamesUsedOnTheWay) {
    struct Row {
        const char* what;
        std::size_t longestEntry;
        std::vector<std::wstring_view> folders;
        std::size_t longest;
    };
    const Row rows[] = {
        // the stand-in: Toolbars\gnome-colors-human_48.png is longer than anything on the way
        {"a long entry", 34, {L"Help", L"Plugins", L"Plugins\\Plugins32"}, 34},
        // a deep folder with short names: its temporary name is the longest
        {"a deep folder", 26, {L"Plugins", L"Plugins\\Plugins32\\Filters"}, 26 + 14},
        // short names everywhere: a kept file of ten digits
        {"short names", 5, {}, 26},
    };
    for (const Row& row : rows) EXPECT_EQ(LongestUnpackingName(row.longestEntry, row.folders), row.longest) << row.what;
    EXPECT_EQ(NewFileNameFor(L"Plugins\\Plugins32\\B.dll"), L"Plugins\\Plugins32\\~pm_unpack.new");
    EXPECT_EQ(KeptFileName(17), L"~pm_unpack.kept\\17");
}

}  // namespace
}  // namespace pixelmoor
