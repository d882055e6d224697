// The conversion of the viewer's settings file to UTF-16 and the one-step
// replacement of settings files, on real files under Wine, whose ANSI code
// page is 1252.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "install/settings_file.h"
#include "install/viewer_settings.h"
#include "tests/install/emulated_code_pages.h"
#include "tests/install/settings_bytes.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using test::ConvertedSettings;
using test::FileExists;
using test::ReadFileBytes;
using test::WriteFileBytes;

class ConvertSettingsToUtf16Test : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = test::MakeScratchFolder(L"conversion");
        settings_ = folder_ + L"p_moor64.ini";
        temp_ = folder_ + L"p_moor64.ini_temp";
    }
    int Convert() { return ConvertSettingsToUtf16(settings_, OpenForReading(settings_)); }

    std::wstring folder_, settings_, temp_;
};

TEST_F(ConvertSettingsToUtf16Test, RewritesAnsiTextAsUtf16BehindTheHeader) {
    ASSERT_EQ(::GetACP(), 1252u) << "the rows below are written for code page 1252";
    const std::string longLine = "Recent=" + std::string(4990, 'x') + "\\end";
    const struct {
        const char* what;
        std::string ansi;
        std::u16string text;
    } cases[] = {
        // The file as the profile functions write it: CR LF kept.
        {"sections", "[Language]\r\nDLL=DEUTSCH.DLL\r\nLang=Deutsch\r\n",
         u"[Language]\r\nDLL=DEUTSCH.DLL\r\nLang=Deutsch\r\n"},
        // Umlauts and sharp s of the ANSI code page.
        {"umlauts", "Folder=C:\\Gr\xFC\xDF\xE9 \xC4\xD6\xDC\r\n",
         u"Folder=C:\\Gr\u00FC\u00DF\u00E9 \u00C4\u00D6\u00DC\r\n"},
        // 0x80 is the euro sign in code page 1252, not a Latin-1 control.
        {"euro", "Price=\x80\r\n", u"Price=\u20AC\r\n"},
        // A line of 5001 bytes is converted in pieces and arrives whole.
        {"long line", "[Files]\r\n" + longLine + "\r\nNext=1\r\n",
         u"[Files]\r\nRecent=" + std::u16string(4990, u'x') + u"\\end\r\nNext=1\r\n"},
        // A last line without its line feed, and a lone LF.
        {"no final feed", "a=1\nb=2", u"a=1\nb=2"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFileBytes(settings_, c.ansi));
        EXPECT_EQ(Convert(), 1) << c.what;
        EXPECT_EQ(ReadFileBytes(settings_), ConvertedSettings(c.text)) << c.what;
        EXPECT_FALSE(FileExists(temp_)) << c.what;
    }
}

TEST_F(ConvertSettingsToUtf16Test, LeavesFilesThatNeedNoConversion) {
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        // Already UTF-16 (the second installation): not headed again.
        {"utf-16", ConvertedSettings(u"[Toolbar]\r\nSkin=mine.png\r\n")},
        // Only the mark counts, whatever follows it.
        {"mark only", "\xFF\xFE"},
        // An empty file stays empty.
        {"empty", ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFileBytes(settings_, c.bytes));
        // A temporary file left from an earlier run does not survive either.
        ASSERT_TRUE(WriteFileBytes(temp_, "stale"));
        EXPECT_EQ(Convert(), 1) << c.what;
        EXPECT_EQ(ReadFileBytes(settings_), c.bytes) << c.what;
        if (c.bytes.empty()) {
            EXPECT_FALSE(FileExists(temp_)) << c.what;
        }
    }
}

TEST(SystemCodePage, DoubleByteCharactersOfLongLinesStayWhole) {
    // Code page 932 as the system converts it, whatever this process's own
    // ANSI code page is: "あい" begins at byte 2046 of its line, where the
    // line is cut into pieces.
    const std::string line = "Recent=" + std::string(2039, 'x') + "\x82\xA0\x82\xA2";
    const std::optional<std::string> converted =
        ConvertedSettingsFile("[Files]\r\n" + line + "\r\nNext=\x83\x7E\r\n", SystemCodePage(932));
    ASSERT_TRUE(converted);
    EXPECT_EQ(*converted, ConvertedSettings(u"[Files]\r\nRecent=" + std::u16string(2039, u'x') +
                                            u"\u3042\u3044\r\nNext=\u30DF\r\n"));

    // The lead bytes that the system reports are those the native rules know.
    for (const unsigned codePage : {932u, 936u, 949u, 950u, 1252u, 1250u, 65001u}) {
        EXPECT_EQ(SystemCodePage(codePage).lengths, test::KnownCharacterLengths(codePage)) << codePage;
    }
}

TEST_F(ConvertSettingsToUtf16Test, KeepsTheAnsiFileWhenTheTemporaryFileCannotBeMade) {
    // A folder with content in the temporary file's place cannot be replaced.
    const std::string ansi = "[Language]\r\nDLL=DEUTSCH.DLL\r\n";
    ASSERT_TRUE(WriteFileBytes(settings_, ansi));
    ASSERT_TRUE(::CreateDirectoryW(temp_.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(temp_ + L"\\inside", "x"));
    EXPECT_EQ(Convert(), 1);
    EXPECT_EQ(ReadFileBytes(settings_), ansi);
    // Nothing else is left behind beside the two.
    EXPECT_EQ(test::ListFolder(folder_), (std::vector<std::wstring>{L"p_moor64.ini", L"p_moor64.ini_temp"}));

    // An empty folder there is removed and the conversion goes ahead.
    test::RemoveTree(temp_);
    ASSERT_TRUE(::CreateDirectoryW(temp_.c_str(), nullptr));
    EXPECT_EQ(Convert(), 1);
    EXPECT_EQ(ReadFileBytes(settings_), ConvertedSettings(u"[Language]\r\nDLL=DEUTSCH.DLL\r\n"));
    EXPECT_EQ(test::ListFolder(folder_), std::vector<std::wstring>{L"p_moor64.ini"});
}

// Every change replaces the settings file in one rename: another program
// holds it open for reading with no write sharing until that very moment, so
// the file cannot have been opened for writing before; at that moment the
// file still holds the old bytes and the copy all the new ones, which is what
// a setup killed then leaves behind.
TEST_F(ConvertSettingsToUtf16Test, ReplacesTheFileInOneRenameAndNeverOpensItForWriting) {
    const struct {
        const char* what;
        std::string before;
        std::function<void()> step;
        std::string after;
    } cases[] = {
        // The conversion to UTF-16.
        {"conversion", "[Language]\r\nDLL=DEUTSCH.DLL\r\n", [this] { EXPECT_EQ(Convert(), 1); },
         ConvertedSettings(u"[Language]\r\nDLL=DEUTSCH.DLL\r\n")},
        // The profile writes of an installation: the record goes, the language comes.
        {"profile writes", "[Others]\r\nINI_Folder=E:\\Old\r\nKeep=1\r\n[Toolbar]\r\nSkin=Mine_20.png\r\n",
         [this] {
             std::wstring iniFolder;
             EXPECT_EQ(WriteViewerSettings(folder_, iniFolder, 0), settings_);
         },
         "[Others]\r\nKeep=1\r\n[Toolbar]\r\nSkin=Mine_20.png\r\n[Language]\r\nDLL=DEUTSCH.DLL\r\nLang=Deutsch\r\n"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFileBytes(settings_, c.before));
        UniqueFile holder(
            ::CreateFileW(settings_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        std::vector<std::pair<std::optional<std::string>, std::optional<std::string>>> seen;  // file, copy
        SetSettingsReplaceObserver([&](const std::wstring& copy, const std::wstring& target) {
            seen.emplace_back(ReadFileBytes(target), ReadFileBytes(copy));
            EXPECT_EQ(copy, temp_);
            holder.reset();
        });
        c.step();
        SetSettingsReplaceObserver(nullptr);
        ASSERT_EQ(seen.size(), 1u) << c.what;
        EXPECT_EQ(seen[0].first, c.before) << c.what;
        EXPECT_EQ(seen[0].second, c.after) << c.what;
        EXPECT_EQ(ReadFileBytes(settings_), c.after) << c.what;
        EXPECT_EQ(test::ListFolder(folder_), std::vector<std::wstring>{L"p_moor64.ini"}) << c.what;
    }
}

TEST_F(ConvertSettingsToUtf16Test, ReportsAFailedReplacementAndLeavesNoTemporaryFile) {
    // Another program holds the settings file open without letting it be
    // replaced.
    ASSERT_TRUE(WriteFileBytes(settings_, "[Language]\r\nDLL=DEUTSCH.DLL\r\n"));
    const UniqueFile holder(::CreateFileW(settings_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_EQ(Convert(), 0);
    EXPECT_EQ(ReadFileBytes(settings_), "[Language]\r\nDLL=DEUTSCH.DLL\r\n");
    EXPECT_FALSE(FileExists(temp_));
}

}  // namespace
}  // namespace pixelmoor
