// Silent installations through the built setup, with an exact command line,
// looked at through Wine's file system and registry afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/unique_handle.h"
#include "tests/install/settings_bytes.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using test::ConvertedSettings;
using test::EnvironmentValue;
using test::FileExists;
using test::FolderExists;
using test::ReadFileBytes;
using test::RemoveTree;

constexpr wchar_t kInstallFolder[] = L"D:\\Tools\\Pixelmoor\\";
constexpr wchar_t kProgramSettings[] = L"D:\\Tools\\Pixelmoor\\p_moor64.ini";
constexpr wchar_t kCommandKey[] = L"SOFTWARE\\Classes\\Pixelmoor\\shell\\open\\command";
constexpr int kExitSuccess = 0;
constexpr int kExitInstallFailed = 1603;

// The settings that a first installation presets on Wine's screen: a
// full-screen height of 779 pixels at 96 DPI takes the 24-pixel toolbar.
constexpr std::u16string_view kPresetSettings =
    u"[Language]\r\nDLL=DEUTSCH.DLL\r\nLang=Deutsch\r\n[Toolbar]\r\nSkin=Quillon_24.png\r\nSize=24\r\n";

std::wstring TempFolder() {
    std::wstring path(MAX_PATH + 1, L'\0');
    path.resize(::GetTempPathW(MAX_PATH + 1, path.data()));
    return path;
}

// One entry of the payload archive, from its central directory.
struct ArchiveEntry {
    std::string name;
    std::uint32_t crc = 0;
    std::uint32_t size = 0;
};

std::uint32_t ReadLe(const std::string& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

std::vector<ArchiveEntry> ReadArchiveEntries(const std::wstring& zipPath) {
    std::vector<ArchiveEntry> entries;
    const std::optional<std::string> zip = ReadFileBytes(zipPath);
    if (!zip) return entries;
    const std::size_t end = zip->rfind(std::string("PK\x05\x06", 4));
    if (end == std::string::npos) return entries;
    std::size_t at = ReadLe(*zip, end + 16, 4);
    for (std::uint32_t i = 0, count = ReadLe(*zip, end + 10, 2); i < count; ++i) {
        const std::size_t nameLength = ReadLe(*zip, at + 28, 2);
        entries.push_back({zip->substr(at + 46, nameLength), ReadLe(*zip, at + 16, 4), ReadLe(*zip, at + 24, 4)});
        at += 46 + nameLength + ReadLe(*zip, at + 30, 2) + ReadLe(*zip, at + 32, 2);
    }
    return entries;
}

std::uint32_t Crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (const char byte : bytes) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// A text of the log as the setup writes it: one byte per character, line
// feeds as CR LF.
std::string LogBytes(std::wstring_view text) {
    std::string bytes;
    for (const wchar_t c : text) {
        if (c == L'\n') bytes += '\r';
        bytes += static_cast<char>(c);
    }
    return bytes;
}

std::wstring ShortDateToday() {
    std::wstring date(256, L'\0');
    const int length = ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date.data(), 256);
    date.resize(length > 0 ? length - 1 : 0);
    return date;
}

// HH:MM:SS with digits in their places.
bool IsLogTime(std::string_view time) {
    if (time.size() != 8 || time[2] != ':' || time[5] != ':') return false;
    for (const std::size_t i : {0, 1, 3, 4, 6, 7})
        if (time[i] < '0' || time[i] > '9') return false;
    return true;
}

// The display density that Wine reports to programs started after it is set;
// the former state comes back at the end of the scope.
class ScopedLogPixels {
public:
    explicit ScopedLogPixels(DWORD dpi) {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          key_.put(), nullptr);
        DWORD size = sizeof(former_);
        hadValue_ = ::RegQueryValueExW(key_.get(), L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&former_),
                                       &size) == ERROR_SUCCESS;
        ::RegSetValueExW(key_.get(), L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
    }
    ~ScopedLogPixels() {
        if (hadValue_) {
            ::RegSetValueExW(key_.get(), L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&former_),
                             sizeof(former_));
        } else {
            ::RegDeleteValueW(key_.get(), L"LogPixels");
        }
    }

private:
    UniqueHkey key_;
    DWORD former_ = 0;
    bool hadValue_ = false;
};

class SilentInstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(test::SetupExePath().empty());
        settingsFolder_ = EnvironmentValue(L"APPDATA") + L"\\Pixelmoor\\";
        tempCopy_ = TempFolder() + L"pmoorg_x64.zip";
        test::ResetProductRegistration();
        for (const std::wstring& folder : {std::wstring(kInstallFolder), settingsFolder_, std::wstring(L"D:\\Settings"),
                                           std::wstring(L"D:\\Pixelmoor64_App")})
            RemoveTree(folder);
        RemoveTree(tempCopy_);
        scratch_ = test::MakeScratchFolder(L"install-e2e");
        log_ = scratch_ + L"Pixelmoor_Install.log";
    }

    // Runs the setup with these switches from the scratch folder, where its
    // log goes.
    std::optional<DWORD> RunSetup(const std::wstring& switches) {
        return test::RunProgram(L"\"" + test::SetupExePath() + L"\" " + switches, scratch_);
    }

    // Nothing of an installation is there: no settings, no registration, no
    // temporary copy.
    void ExpectNothingInstalled(const std::string& what) {
        EXPECT_FALSE(FileExists(std::wstring(kInstallFolder) + L"p_moor64.exe")) << what;
        EXPECT_FALSE(FileExists(kProgramSettings)) << what;
        EXPECT_FALSE(FolderExists(settingsFolder_)) << what;
        EXPECT_FALSE(test::RegKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pixelmoor")) << what;
        EXPECT_FALSE(FileExists(tempCopy_)) << what;
    }

    // The whole log is one entry of today with this text.
    void ExpectLogEntry(const std::wstring& text, const std::string& what) {
        const std::optional<std::string> log = ReadFileBytes(log_);
        ASSERT_TRUE(log) << what;
        const std::string date = LogBytes(ShortDateToday());
        const std::string time = log->substr(std::min(log->size(), date.size() + 3), 8);
        EXPECT_TRUE(IsLogTime(time)) << what << ": " << *log;
        EXPECT_EQ(*log, date + " - " + time + ": " + LogBytes(text) + "\r\n" + std::string(48, '-') + "\r\n") << what;
    }

    std::wstring settingsFolder_, tempCopy_, scratch_, log_;
};

const std::wstring kInvalidFolder = L"Ung\u00fcltiges Zielverzeichnis!";
const std::wstring kCannotCreateFolder =
    L"Kann Zielverzeichnis nicht erstellen!\n\nBitte \u00fcberpr\u00fcfen Sie Ihre Schreibrechte und "
    L"System-Policies!\n\nVersuchen Sie das Zielverzeichnis zuerst h\u00e4ndisch zu erstellen.";
const std::wstring kInstallFailed =
    L"Fehler beim Installieren!\n\n\u00dcberpr\u00fcfen Sie bitte ob Pixelmoor l\u00e4uft, das Zielverzeichnis voll "
    L"ist oder keine Schreibrechte vorhanden sind!\n\n(Der Installer sollte im ADMIN-Modus gestartet werden, z.B. "
    L"den Installer mit der rechten Maustaste anklicken)";

TEST_F(SilentInstallTest, TypicalInstallationUnpacksRegistersAndWritesBothSettingsFiles) {
    ASSERT_EQ(RunSetup(L"/silent /folder=D:\\Tools\\Pixelmoor /group=1 /assoc=1"), kExitSuccess);

    // Every file of the archive, whole; its six folder entries as folders.
    const std::vector<ArchiveEntry> entries = ReadArchiveEntries(test::EnvironmentPath(L"PIXELMOOR_PAYLOAD_ZIP"));
    ASSERT_EQ(entries.size(), 43u);
    int files = 0;
    for (const ArchiveEntry& entry : entries) {
        std::wstring path = kInstallFolder;
        for (const char c : entry.name) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
        if (entry.name.ends_with('/')) {
            EXPECT_TRUE(FolderExists(path)) << entry.name;
            continue;
        }
        ++files;
        const std::optional<std::string> bytes = ReadFileBytes(path);
        ASSERT_TRUE(bytes) << entry.name;
        EXPECT_EQ(bytes->size(), entry.size) << entry.name;
        EXPECT_EQ(Crc32(*bytes), entry.crc) << entry.name;
    }
    EXPECT_EQ(files, 37);
    EXPECT_FALSE(FileExists(tempCopy_));

    // The program folder's file names the settings folder, unexpanded, and
    // stays ANSI.
    EXPECT_EQ(ReadFileBytes(kProgramSettings), "[Others]\r\nINI_Folder=%APPDATA%\\Pixelmoor\r\n");
    // The settings folder's file holds the presets and is UTF-16.
    EXPECT_EQ(ReadFileBytes(settingsFolder_ + L"p_moor64.ini"), ConvertedSettings(kPresetSettings));
    EXPECT_FALSE(FileExists(settingsFolder_ + L"p_moor64.ini_temp"));
    EXPECT_TRUE(test::RegKeyExists(HKEY_LOCAL_MACHINE, kCommandKey));
    EXPECT_FALSE(FileExists(log_));
}

TEST_F(SilentInstallTest, FolderFailuresAreLoggedAndInstallNothing) {
    const struct {
        std::wstring switches;
        std::wstring logText;
    } cases[] = {
        // An empty folder: message 5 and the empty folder.
        {L"/silent /folder=", kInvalidFolder + L": "},
        // Blanks only are cleaned away by the command line: the folder is empty.
        {L"/silent /folder=    /group=1", kInvalidFolder + L": "},
        // A drive that does not exist: message 11 and the folder with its backslash.
        {L"/silent /folder=Q:\\Pixelmoor /group=1", kCannotCreateFolder + L": Q:\\Pixelmoor\\"},
        // A folder below a file cannot be created either.
        {L"/silent /folder=C:\\windows\\win.ini\\Pixelmoor",
         kCannotCreateFolder + L": C:\\windows\\win.ini\\Pixelmoor\\"},
    };
    for (const auto& c : cases) {
        const std::string what = test::Narrow(c.switches);
        RemoveTree(log_);
        EXPECT_EQ(RunSetup(c.switches), kExitInstallFailed) << what;
        ExpectLogEntry(c.logText, what);
        ExpectNothingInstalled(what);
    }
}

TEST_F(SilentInstallTest, UnpackingFailureLogsTheFolderFirstAndStopsBeforeTheSettings) {
    // The temporary copy of the archive is held open without sharing, so the
    // setup cannot write it.
    UniqueFile blocker(::CreateFileW(tempCopy_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(blocker);
    EXPECT_EQ(RunSetup(L"/silent /folder=D:\\Tools\\Pixelmoor /group=1 /assoc=1"), kExitInstallFailed);
    blocker.reset();
    RemoveTree(tempCopy_);

    ExpectLogEntry(std::wstring(kInstallFolder) + L": " + kInstallFailed, "unpacking");
    ExpectNothingInstalled("unpacking");
    // The folder and its Plugins folder were made before the unpacking.
    EXPECT_TRUE(FolderExists(std::wstring(kInstallFolder) + L"Plugins"));
}

TEST_F(SilentInstallTest, SecondInstallationKeepsTheUsersToolbarAndTheUtf16File) {
    const std::wstring switches = L"/silent /folder=D:\\Tools\\Pixelmoor /ini=%APPDATA%\\Pixelmoor";
    const std::wstring settings = settingsFolder_ + L"p_moor64.ini";
    ASSERT_EQ(RunSetup(switches), kExitSuccess);
    // The user picks another toolbar; the profile functions keep the file
    // UTF-16 (Wine's drop the empty line after the header as they rewrite it).
    ASSERT_TRUE(::WritePrivateProfileStringW(L"Toolbar", L"Skin", L"Mine_20.png", settings.c_str()));
    ASSERT_TRUE(::WritePrivateProfileStringW(L"Toolbar", L"Size", L"20", settings.c_str()));
    const std::optional<std::string> chosen = ReadFileBytes(settings);
    ASSERT_TRUE(chosen);
    ASSERT_TRUE(chosen->starts_with(test::Utf16File(u"; UNICODE FILE - edit with care ;-)\r\n")));
    ASSERT_TRUE(chosen->ends_with(test::Utf16File(u"[Toolbar]\r\nSkin=Mine_20.png\r\nSize=20\r\n").substr(2)));

    ASSERT_EQ(RunSetup(switches), kExitSuccess);
    // Neither a toolbar preset nor a second header.
    EXPECT_EQ(ReadFileBytes(settings), chosen);
    EXPECT_EQ(ReadFileBytes(kProgramSettings), "[Others]\r\nINI_Folder=%APPDATA%\\Pixelmoor\r\n");
}

TEST_F(SilentInstallTest, PortableSettingsFolderIsMirroredInTheProgramFolder) {
    ASSERT_EQ(RunSetup(L"/silent /folder=D:\\Tools\\Pixelmoor /ini=D:\\Pixelmoor64_App\\Data"), kExitSuccess);
    EXPECT_EQ(ReadFileBytes(L"D:\\Pixelmoor64_App\\Data\\p_moor64.ini"), ConvertedSettings(kPresetSettings));
    EXPECT_EQ(ReadFileBytes(kProgramSettings),
              "[Others]\r\nINI_Folder=D:\\Pixelmoor64_App\\Data\r\n"
              "[Language]\r\nDefaultLang=DEUTSCH.DLL\r\nLang=Deutsch\r\n"
              "[Toolbar]\r\nSkin=Quillon_24.png\r\nSize=24\r\n");
}

TEST_F(SilentInstallTest, ToolbarFollowsTheDisplayScale) {
    const struct {
        DWORD dpi;
        std::wstring iniFolder;
        std::u16string toolbar;
        std::string mirror;
    } cases[] = {
        // 150 %: the 32-pixel skin; the mirror always gets the 24-pixel one.
        {144, L"D:\\Pixelmoor64_App\\Data", u"Skin=gnome-colors-wise_32.png\r\nSize=32\r\n",
         "[Toolbar]\r\nSkin=Quillon_24.png\r\nSize=24\r\n"},
        // 175 %: the 48-pixel skin.
        {168, L"%APPDATA%\\Pixelmoor", u"Skin=gnome-colors-human_48.png\r\nSize=48\r\n", ""},
    };
    for (const auto& c : cases) {
        SetUp();
        const ScopedLogPixels density(c.dpi);
        ASSERT_EQ(RunSetup(L"/silent /folder=D:\\Tools\\Pixelmoor /ini=" + c.iniFolder), kExitSuccess) << c.dpi;
        const std::wstring settings =
            c.mirror.empty() ? settingsFolder_ + L"p_moor64.ini" : L"D:\\Pixelmoor64_App\\Data\\p_moor64.ini";
        EXPECT_EQ(ReadFileBytes(settings),
                  ConvertedSettings(u"[Language]\r\nDLL=DEUTSCH.DLL\r\nLang=Deutsch\r\n[Toolbar]\r\n" + c.toolbar))
            << c.dpi;
        if (!c.mirror.empty()) {
            const std::optional<std::string> program = ReadFileBytes(kProgramSettings);
            ASSERT_TRUE(program) << c.dpi;
            EXPECT_TRUE(program->ends_with(c.mirror)) << *program;
        }
    }
}

TEST_F(SilentInstallTest, UndefinedVariableLeavesTheFolderOnTheInstallDrive) {
    ASSERT_EQ(RunSetup(L"/silent /folder=D:\\Tools\\Pixelmoor /ini=%PM_UNDEFINED_VAR%\\Settings"), kExitSuccess);
    // \Settings\ is taken on the current drive, which is the install folder's.
    EXPECT_EQ(ReadFileBytes(L"D:\\Settings\\p_moor64.ini"), ConvertedSettings(kPresetSettings));
    EXPECT_EQ(ReadFileBytes(kProgramSettings), "[Others]\r\nINI_Folder=%PM_UNDEFINED_VAR%\\Settings\r\n");
}

TEST_F(SilentInstallTest, SettingsFolderThatExpandsToNothingMeansTheProgramFolder) {
    // An earlier installation recorded another settings folder.
    ASSERT_TRUE(::CreateDirectoryW(L"D:\\Tools", nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(::CreateDirectoryW(kInstallFolder, nullptr));
    ASSERT_TRUE(test::WriteFileBytes(kProgramSettings, "[Others]\r\nINI_Folder=E:\\Old\r\nKeep=1\r\n"));
    std::wstring windowsSettings(MAX_PATH + 1, L'\0');
    windowsSettings.resize(::GetWindowsDirectoryW(windowsSettings.data(), MAX_PATH + 1));
    windowsSettings += L"\\p_moor64.ini";
    RemoveTree(windowsSettings);

    ASSERT_EQ(RunSetup(L"/silent /folder=D:\\Tools\\Pixelmoor /ini=%PM_UNDEFINED_VAR%"), kExitSuccess);
    // The record is removed and the presets go to the program folder's file.
    EXPECT_EQ(ReadFileBytes(kProgramSettings),
              ConvertedSettings(u"[Others]\r\nKeep=1\r\n" + std::u16string(kPresetSettings)));
    // Nothing lands in the Windows folder or in the drive's root.
    EXPECT_FALSE(FileExists(windowsSettings));
    EXPECT_FALSE(FileExists(L"D:\\p_moor64.ini_temp"));
    EXPECT_FALSE(FolderExists(settingsFolder_));
}

TEST_F(SilentInstallTest, SilentUpdateWithoutRecordKeepsSettingsBesideTheProgramUnlessInProgramFiles) {
    const struct {
        std::wstring folder;
        bool movedToAppData;
    } cases[] = {
        // Installed elsewhere: the record goes and the settings stay in the program folder.
        {L"D:\\Tools\\Pixelmoor\\", false},
        // Installed below the program-files folder: the settings move to application data.
        {L"C:\\Program Files\\Pixelmoor\\", true},
    };
    for (const auto& c : cases) {
        SetUp();
        RemoveTree(c.folder);
        const std::wstring programSettings = c.folder + L"p_moor64.ini";
        // The earlier installation: its open command and a settings file that
        // records no settings folder (a recorded one is kept: settings_e2e_test).
        test::WriteRegString(HKEY_LOCAL_MACHINE, kCommandKey, nullptr, L"\"" + c.folder + L"p_moor64.exe\" \"%1\"");
        ASSERT_TRUE(::CreateDirectoryW(c.folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
        ASSERT_TRUE(test::WriteFileBytes(programSettings, "[Others]\r\nKeep=1\r\n"));

        ASSERT_EQ(RunSetup(L"/silent"), kExitSuccess) << test::Narrow(c.folder);
        if (c.movedToAppData) {
            EXPECT_EQ(ReadFileBytes(programSettings), "[Others]\r\nKeep=1\r\nINI_Folder=%APPDATA%\\Pixelmoor\r\n");
            EXPECT_EQ(ReadFileBytes(settingsFolder_ + L"p_moor64.ini"), ConvertedSettings(kPresetSettings));
        } else {
            EXPECT_EQ(ReadFileBytes(programSettings),
                      ConvertedSettings(u"[Others]\r\nKeep=1\r\n" + std::u16string(kPresetSettings)));
            EXPECT_FALSE(FolderExists(settingsFolder_));
        }
        RemoveTree(c.folder);
    }
}

}  // namespace
}  // namespace pixelmoor
