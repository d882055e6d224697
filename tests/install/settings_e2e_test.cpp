// The viewer's settings files through the built setup under Wine: a silent
// update keeps the settings folder that the installation records, files with
// a byte-order mark or in code page 932 keep every character, and links
// planted at the temporary file's name are replaced, never written through.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "tests/install/settings_bytes.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using test::ConvertedSettings;
using test::FileExists;
using test::FolderExists;
using test::ReadFileBytes;
using test::HostPath;
using test::RemoveTree;
using test::WriteFileBytes;

constexpr wchar_t kInstallFolder[] = L"D:\\Tools\\Pixelmoor\\";
constexpr wchar_t kProgramSettings[] = L"D:\\Tools\\Pixelmoor\\p_moor64.ini";
constexpr wchar_t kProgramFilesFolder[] = L"C:\\Program Files\\Pixelmoor\\";
constexpr wchar_t kVictim[] = L"D:\\victim.ini";
constexpr wchar_t kInstallWithAppData[] = L"/silent /folder=D:\\Tools\\Pixelmoor /ini=%APPDATA%\\Pixelmoor";
constexpr int kExitSuccess = 0;

// The presets of a first installation on Wine's screen (24-pixel toolbar).
constexpr std::u16string_view kPresetSettings =
    u"[Language]\r\nDLL=DEUTSCH.DLL\r\nLang=Deutsch\r\n[Toolbar]\r\nSkin=Quillon_24.png\r\nSize=24\r\n";
constexpr std::u16string_view kLanguageKeys = u"[Language]\r\nDLL=DEUTSCH.DLL\r\nLang=Deutsch\r\n";

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

class SettingsInstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(test::SetupExePath().empty());
        settingsFolder_ = test::EnvironmentValue(L"APPDATA") + L"\\Pixelmoor\\";
        test::ResetProductRegistration();
        for (const std::wstring& folder : {std::wstring(kInstallFolder), std::wstring(kProgramFilesFolder),
                                           settingsFolder_, std::wstring(L"D:\\Settings"), std::wstring(kVictim)})
            RemoveTree(folder);
        scratch_ = test::MakeScratchFolder(L"settings-e2e");
    }

    std::optional<DWORD> RunSetup(const std::wstring& switches) {
        return test::RunProgram(L"\"" + test::SetupExePath() + L"\" " + switches, scratch_);
    }

    bool RunHostScript(const std::string& script) { return test::RunHostScript(script, scratch_); }

    std::wstring settingsFolder_, scratch_;
};

TEST_F(SettingsInstallTest, SilentUpdateKeepsTheSettingsFolderThatTheInstallationRecords) {
    const struct {
        std::wstring firstRun;
        std::wstring programFolder;
        std::wstring settingsFile;
        std::string record;
    } cases[] = {
        // A settings folder that /ini= put outside the program-files tree.
        {L"/silent /folder=D:\\Tools\\Pixelmoor /ini=D:\\Settings", kInstallFolder, L"D:\\Settings\\p_moor64.ini",
         "D:\\Settings"},
        // A first plain /silent: the default program folder records the application data.
        {L"/silent", kProgramFilesFolder, settingsFolder_ + L"p_moor64.ini", "%APPDATA%\\Pixelmoor"},
    };
    for (const auto& c : cases) {
        const std::string what = test::Narrow(c.firstRun);
        SetUp();
        const std::wstring programSettings = c.programFolder + L"p_moor64.ini";
        const std::string record = "[Others]\r\nINI_Folder=" + c.record + "\r\n";
        ASSERT_EQ(RunSetup(c.firstRun), kExitSuccess) << what;
        ASSERT_EQ(ReadFileBytes(programSettings), record) << what;
        // The user chooses a toolbar and a zoom of their own.
        ASSERT_TRUE(::WritePrivateProfileStringW(L"Toolbar", L"Skin", L"Mine_20.png", c.settingsFile.c_str()));
        ASSERT_TRUE(::WritePrivateProfileStringW(L"View", L"Zoom", L"200", c.settingsFile.c_str()));
        const std::optional<std::string> chosen = ReadFileBytes(c.settingsFile);
        ASSERT_TRUE(chosen && chosen->starts_with(test::Utf16File(u"; UNICODE FILE")));

        // The update finds the installation and keeps both files as they are.
        ASSERT_EQ(RunSetup(L"/silent"), kExitSuccess) << what;
        EXPECT_EQ(ReadFileBytes(programSettings), record) << what;
        EXPECT_EQ(ReadFileBytes(c.settingsFile), chosen) << what;
        if (c.settingsFile.starts_with(L"D:")) {
            EXPECT_FALSE(FolderExists(settingsFolder_)) << what;
        }
    }
}

TEST_F(SettingsInstallTest, SettingsFilesWithAByteOrderMarkKeepEveryKeyAndCharacter) {
    const std::u16string text =
        u"[View]\r\nTitle=Gr\u00FC\u00DFe \u20AC \U0001F600\r\n[Toolbar]\r\nSkin=Mine_20.png\r\n";
    std::string bigEndian = "\xFE\xFF";
    for (const char16_t c : text) bigEndian += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        // UTF-8 with its mark, its first line a section.
        {"utf-8",
         "\xEF\xBB\xBF[View]\r\nTitle=Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC \xF0\x9F\x98\x80\r\n"
         "[Toolbar]\r\nSkin=Mine_20.png\r\n"},
        // Big-endian UTF-16 with its mark.
        {"utf-16be", bigEndian},
    };
    for (const auto& c : cases) {
        SetUp();
        ASSERT_TRUE(::CreateDirectoryW(settingsFolder_.c_str(), nullptr)) << c.what;
        ASSERT_TRUE(WriteFileBytes(settingsFolder_ + L"p_moor64.ini", c.bytes)) << c.what;
        ASSERT_EQ(RunSetup(kInstallWithAppData), kExitSuccess) << c.what;
        // Every key and character, and the language behind them; the user's toolbar stays.
        EXPECT_EQ(ReadFileBytes(settingsFolder_ + L"p_moor64.ini"),
                  ConvertedSettings(text + std::u16string(kLanguageKeys)))
            << c.what;
        EXPECT_EQ(test::ListFolder(settingsFolder_), std::vector<std::wstring>{L"p_moor64.ini"}) << c.what;
    }
}

TEST_F(SettingsInstallTest, LinksAtTheTemporaryNameAreReplacedNotFollowed) {
    const struct {
        const char* what;
        std::optional<std::string> victim;  // none: the link leads nowhere
    } cases[] = {
        // A link to a file that must keep its content.
        {"file", "victim\r\n"},
        // A link to nothing, where following it would create a file.
        {"dangling", std::nullopt},
    };
    for (const auto& c : cases) {
        SetUp();
        ASSERT_TRUE(::CreateDirectoryW(L"D:\\Tools", nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
        for (const std::wstring& folder : {std::wstring(kInstallFolder), settingsFolder_})
            ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
        if (c.victim) {
            ASSERT_TRUE(WriteFileBytes(kVictim, *c.victim));
        }
        // Both files' temporary names lead to the victim, planted from the host.
        std::string script = "set -e\n";
        for (const std::wstring& folder : {std::wstring(kInstallFolder), settingsFolder_}) {
            const std::string link = Quoted(HostPath(folder + L"p_moor64.ini_temp"));
            script += "rm -f " + link + "\nln -s " + Quoted(HostPath(kVictim)) + " " + link + "\n";
        }
        script += "echo planted > " + Quoted(HostPath(scratch_ + L"planted")) + "\n";
        ASSERT_TRUE(RunHostScript(script)) << c.what;
        ASSERT_EQ(ReadFileBytes(scratch_ + L"planted"), "planted\n") << c.what;

        ASSERT_EQ(RunSetup(kInstallWithAppData), kExitSuccess) << c.what;
        EXPECT_EQ(ReadFileBytes(kVictim), c.victim) << c.what;
        EXPECT_EQ(ReadFileBytes(kProgramSettings), "[Others]\r\nINI_Folder=%APPDATA%\\Pixelmoor\r\n") << c.what;
        EXPECT_EQ(ReadFileBytes(settingsFolder_ + L"p_moor64.ini"), ConvertedSettings(kPresetSettings)) << c.what;
        // The links are gone with the temporary files that replaced them.
        EXPECT_EQ(test::ListFolder(settingsFolder_), std::vector<std::wstring>{L"p_moor64.ini"}) << c.what;
        EXPECT_FALSE(FileExists(std::wstring(kInstallFolder) + L"p_moor64.ini_temp")) << c.what;
    }
}

TEST_F(SettingsInstallTest, LongLinesInCodePage932KeepEveryCharacter) {
    // Wine takes its ANSI code page from the host's locale, so the setup runs
    // once with LC_ALL=ja_JP.UTF-8; the locale itself is made into the build
    // folder with localedef (no system change) for Wines that need it present.
    const std::string locales = test::Narrow(test::EnvironmentValue(L"PIXELMOOR_LOCALE_DIR"));
    ASSERT_FALSE(locales.empty());
    const std::string japanese = "export LOCPATH=" + Quoted(locales) +
                                 " LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all "
                                 "WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'\n";
    const std::wstring acp = scratch_ + L"acp.txt";
    ASSERT_TRUE(RunHostScript("[ -f " + Quoted(locales + "/ja_JP.UTF-8/LC_CTYPE") + " ] || { mkdir -p " +
                              Quoted(locales) + "; localedef -i ja_JP -f UTF-8 " + Quoted(locales + "/ja_JP.UTF-8") +
                              " >/dev/null 2>&1; }\n" + japanese + "wine " +
                              Quoted(HostPath(test::EnvironmentPath(L"PIXELMOOR_ACP_PROBE"))) + " > " +
                              Quoted(HostPath(acp)) + " 2>/dev/null"));
    if (ReadFileBytes(acp) != "932\r\n") {
        GTEST_SKIP() << "Wine cannot be switched to code page 932 here (under LC_ALL=ja_JP.UTF-8 it still reports "
                        "another one; the ja_JP source of the locales package may be missing); code page 932 is "
                        "covered by the native rules and by MultiByteToWideChar(932) in "
                        "install_settings_conversion_windows";
    }

    // "あい" begins at byte 2046 of its line, where the line is cut into pieces.
    ASSERT_TRUE(::CreateDirectoryW(settingsFolder_.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(WriteFileBytes(
        settingsFolder_ + L"p_moor64.ini",
        "[Files]\r\nRecent=" + std::string(2039, 'x') + "\x82\xA0\x82\xA2\r\n[Toolbar]\r\nSkin=Mine_20.png\r\n"));
    const std::wstring status = scratch_ + L"status.txt";
    ASSERT_TRUE(RunHostScript(japanese + "cd " + Quoted(HostPath(scratch_)) + "\nwine " +
                              Quoted(HostPath(test::SetupExePath())) + " /silent " +
                              Quoted("/folder=D:\\Tools\\Pixelmoor") + " " + Quoted("/ini=%APPDATA%\\Pixelmoor") +
                              "\necho $? > " + Quoted(HostPath(status))));
    ASSERT_EQ(ReadFileBytes(status), "0\n");
    EXPECT_EQ(ReadFileBytes(settingsFolder_ + L"p_moor64.ini"),
              ConvertedSettings(u"[Files]\r\nRecent=" + std::u16string(2039, u'x') +
                                u"\u3042\u3044\r\n[Toolbar]\r\nSkin=Mine_20.png\r\n" + std::u16string(kLanguageKeys)));
}

}  // namespace
}  // namespace pixelmoor
