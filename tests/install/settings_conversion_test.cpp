// The conversion of the viewer's settings file to UTF-16, on real files under
// Wine, whose ANSI code page is 1252.
#include <gtest/gtest.h>

#include "install/viewer_settings.h"
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

TEST_F(ConvertSettingsToUtf16Test, KeepsTheAnsiFileWhenTheTemporaryFileCannotBeMade) {
    // A folder in the temporary file's place cannot be opened as a file.
    ASSERT_TRUE(WriteFileBytes(settings_, "[Language]\r\nDLL=DEUTSCH.DLL\r\n"));
    ASSERT_TRUE(::CreateDirectoryW(temp_.c_str(), nullptr));
    EXPECT_EQ(Convert(), 1);
    EXPECT_EQ(ReadFileBytes(settings_), "[Language]\r\nDLL=DEUTSCH.DLL\r\n");
    EXPECT_TRUE(test::FolderExists(temp_));
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
