// Silent installations through the built setup, with an exact command line,
// looked at through Wine's file system and registry afterwards.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <thread>
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
        desktopLink_ = test::ShellFolderPath(CSIDL_DESKTOPDIRECTORY) + L"\\Pixelmoor 64.lnk";
        RemoveTree(desktopLink_);
        payload_ = test::EnvironmentPath(L"PIXELMOOR_PAYLOAD_ZIP");
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

    // No step after the unpacking ran: no settings file, no shortcut, no
    // registration; and the temporary copy is gone.
    void ExpectNoStepAfterUnpacking(const std::wstring& folder, const std::string& what) {
        EXPECT_FALSE(FileExists(folder + L"p_moor64.ini")) << what;
        EXPECT_FALSE(FolderExists(settingsFolder_)) << what;
        EXPECT_FALSE(FileExists(desktopLink_)) << what;
        EXPECT_FALSE(test::RegKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pixelmoor")) << what;
        EXPECT_FALSE(FileExists(tempCopy_)) << what;
    }

    std::wstring settingsFolder_, tempCopy_, scratch_, log_, desktopLink_, payload_;
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
    const std::wstring payload = test::EnvironmentPath(L"PIXELMOOR_PAYLOAD_ZIP");
    ASSERT_EQ(test::ReadZipEntries(payload).size(), 43u);
    EXPECT_EQ(test::EntriesNotWhole(kInstallFolder, payload), std::vector<std::string>{});
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
        // Without a drive or network root the folder would lie below the
        // current one: message 5 and the folder as given.
        {L"/silent /folder=Tools\\Rel /group=1", kInvalidFolder + L": Tools\\Rel"},
        {L"/silent /folder=..\\Up", kInvalidFolder + L": ..\\Up"},
        {L"/silent /folder=%ProgramFiles%\\Pix", kInvalidFolder + L": %ProgramFiles%\\Pix"},
    };
    for (const auto& c : cases) {
        const std::string what = test::Narrow(c.switches);
        RemoveTree(log_);
        EXPECT_EQ(RunSetup(c.switches), kExitInstallFailed) << what;
        ExpectLogEntry(c.logText, what);
        ExpectNothingInstalled(what);
        // Nothing landed below the folder the setup was started in.
        EXPECT_EQ(test::ListFolder(scratch_), std::vector<std::wstring>{L"Pixelmoor_Install.log"}) << what;
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
    // The folder and its Plugins folder, made before the unpacking, went again.
    EXPECT_FALSE(FolderExists(kInstallFolder));
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

// Holds a file open without sharing, as a read-only file or a running
// program keeps the setup from writing it. Invalid when it cannot be opened.
UniqueFile HoldOpen(const std::wstring& path) {
    return UniqueFile(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

void MakeFolder(const std::wstring& path) {
    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS)
        << test::Narrow(path);
}

// A folder below D:\Long of `length` characters with its closing backslash,
// in levels of at most 100 characters.
std::wstring FolderOfLength(std::size_t length) {
    std::wstring folder = L"D:\\Long\\";
    while (folder.size() < length) {
        const std::size_t room = length - folder.size();  // with the level's backslash
        // No level is left with no character before its backslash.
        const std::size_t level = room <= 101 ? room - 1 : (room == 102 ? 99 : 100);
        folder += std::wstring(level, L'l') + L"\\";
    }
    return folder;
}

TEST_F(SilentInstallTest, FoldersThatTheInstallationDoesNotFitAreRefusedBeforeAnythingIsWritten) {
    // The deepest path is the install folder followed by the longest entry.
    std::size_t longest = 0;
    for (const test::ZipEntry& entry : test::ReadZipEntries(payload_)) longest = std::max(longest, entry.name.size());
    ASSERT_GT(longest, 0u);
    const std::size_t limit = MAX_PATH - 1 - longest;  // characters of the folder with its backslash
    const struct {
        const char* what;
        std::wstring value;   // of /folder=
        std::wstring folder;  // installed into, or named in the log
        bool installed;
    } rows[] = {
        // the deepest file fills a path exactly: installed whole
        {"at the limit", FolderOfLength(limit), FolderOfLength(limit), true},
        // one character more: files, the settings record or the uninstaller would not fit
        {"one beyond", FolderOfLength(limit + 1), FolderOfLength(limit + 1), false},
        // the uninstaller, named by the registration, could not be started
        {"243 characters", FolderOfLength(244).substr(0, 243), FolderOfLength(244), false},
        // the longest folder that can still be created and entered
        {"258 characters", FolderOfLength(259).substr(0, 258), FolderOfLength(259), false},
        // a value beyond the switch's 252 characters is refused, not cut: cut,
        // this one would name D:\Shared itself and overwrite the file there
        {"a value beyond 252", L"D:\\Shared" + std::wstring(243, L'\\') + L"Pixelmoor", L"D:\\Shared\\Pixelmoor\\",
         false},
    };
    for (const auto& row : rows) {
        SetUp();
        RemoveTree(L"D:\\Long");
        RemoveTree(L"D:\\Shared");
        MakeFolder(L"D:\\Shared");
        ASSERT_TRUE(test::WriteFileBytes(L"D:\\Shared\\p_about.txt", "the user's\n"));
        const std::optional<DWORD> exit = RunSetup(L"/silent /folder=" + row.value);
        if (row.installed) {
            EXPECT_EQ(exit, kExitSuccess) << row.what;
            EXPECT_EQ(test::EntriesNotWhole(row.folder, payload_), std::vector<std::string>{}) << row.what;
            EXPECT_EQ(ReadFileBytes(row.folder + L"p_moor64.ini"), "[Others]\r\nINI_Folder=%APPDATA%\\Pixelmoor\r\n")
                << row.what;
            EXPECT_FALSE(FileExists(log_)) << row.what;
        } else {
            EXPECT_EQ(exit, kExitInstallFailed) << row.what;
            ExpectLogEntry(kCannotCreateFolder + L": " + row.folder, row.what);
            // Nothing written: no folder, no file overwritten, no settings, no registration.
            EXPECT_FALSE(FolderExists(L"D:\\Long")) << row.what;
            EXPECT_EQ(test::ListFolder(L"D:\\Shared"), std::vector<std::wstring>{L"p_about.txt"}) << row.what;
            EXPECT_EQ(ReadFileBytes(L"D:\\Shared\\p_about.txt"), "the user's\n") << row.what;
            EXPECT_FALSE(FolderExists(settingsFolder_)) << row.what;
            EXPECT_FALSE(test::RegKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pixelmoor")) << row.what;
        }
        test::ResetProductRegistration();
    }
    RemoveTree(L"D:\\Long");
    RemoveTree(L"D:\\Shared");
}

TEST_F(SilentInstallTest, LinksInsideTheTreeThatThePayloadFillsAreRefusedBeforeAnythingIsWritten) {
    const std::wstring folder = kInstallFolder;
    const std::string tools = "'" + test::HostPath(L"D:\\Tools") + "'";
    const std::string elsewhere = "'" + test::HostPath(L"D:\\Elsewhere") + "'";
    const std::string pixelmoor = tools + "/Pixelmoor";
    const struct {
        const char* what;
        std::string plant;   // a host script: D:\Tools and D:\Elsewhere made anew
        bool installed;      // or refused
        std::wstring files;  // where the payload lands when installed
    } rows[] = {
        // a payload folder that leads elsewhere: the plug-ins would go there
        {"Plugins a link", "mkdir -p " + pixelmoor + "\nln -s " + elsewhere + " " + pixelmoor + "/Plugins", false, L""},
        // and one further down
        {"Plugins\\Plugins32 a link",
         "mkdir -p " + pixelmoor + "/Plugins\nln -s " + elsewhere + " " + pixelmoor + "/Plugins/Plugins32", false, L""},
        // the install folder itself may be a link (a redirected folder)
        {"the install folder a link", "ln -s " + elsewhere + " " + pixelmoor, true, L"D:\\Elsewhere\\"},
        // and so may a folder above it
        {"a parent a link", "rmdir " + tools + "\nln -s " + elsewhere + " " + tools, true,
         L"D:\\Elsewhere\\Pixelmoor\\"},
        // a link of the user's own that no payload folder goes through stays as it is
        {"another folder a link", "mkdir -p " + pixelmoor + "\nln -s " + elsewhere + " " + pixelmoor + "/Bilder", true,
         folder},
    };
    const std::string clear = "rm -rf " + tools + " " + elsewhere + "\nmkdir -p " + tools + " " + elsewhere;
    for (const auto& row : rows) {
        SetUp();
        ASSERT_TRUE(test::RunHostScript(clear + "\necho mine > " + elsewhere + "/mine.txt\n" + row.plant, scratch_))
            << row.what;
        const std::optional<DWORD> exit = RunSetup(L"/silent /folder=D:\\Tools\\Pixelmoor");
        if (row.installed) {
            EXPECT_EQ(exit, kExitSuccess) << row.what;
            EXPECT_EQ(test::EntriesNotWhole(row.files, payload_), std::vector<std::string>{}) << row.what;
        } else {
            EXPECT_EQ(exit, kExitInstallFailed) << row.what;
            // Message 7 in its usual form, the folder first.
            ExpectLogEntry(folder + L": " + kInstallFailed, row.what);
            EXPECT_FALSE(FileExists(folder + L"p_moor64.exe")) << row.what;
            ExpectNoStepAfterUnpacking(folder, row.what);
        }
        // Nothing went through a link that the payload was not meant to fill.
        if (!row.files.starts_with(L"D:\\Elsewhere")) {
            EXPECT_EQ(test::ListFolder(L"D:\\Elsewhere"), std::vector<std::wstring>{L"mine.txt"}) << row.what;
        }
        test::ResetProductRegistration();
        // Removed on the host: Wine would remove a link's target with it.
        ASSERT_TRUE(test::RunHostScript("rm -rf " + tools + " " + elsewhere, scratch_)) << row.what;
    }
}

TEST_F(SilentInstallTest, PayloadNotWrittenWholeFailsTheInstallationAndLeavesOnlyWhatWasThere) {
    const std::wstring folder = kInstallFolder;
    const struct {
        const char* what;
        std::function<void()> plant;  // what is in the folder before
        std::wstring obstacle;        // its name: all that is left there afterwards
        bool held;                    // it is held open without sharing during the run
    } cases[] = {
        // A file held open without sharing stands in for a file in use.
        {"a file held open", [&] { EXPECT_TRUE(test::WriteFileBytes(folder + L"p_about.txt", "old\n")); },
         L"p_about.txt", true},
        // A folder where the viewer belongs.
        {"a folder named p_moor64.exe", [&] { MakeFolder(folder + L"p_moor64.exe"); }, L"p_moor64.exe", false},
        // A file where the plug-in folder belongs.
        {"a file named Plugins", [&] { EXPECT_TRUE(test::WriteFileBytes(folder + L"Plugins", "in the way\n")); },
         L"Plugins", false},
    };
    for (const auto& c : cases) {
        SetUp();
        MakeFolder(L"D:\\Tools");
        MakeFolder(folder);
        c.plant();
        const test::TreeSnapshot before = test::SnapshotTree(folder);
        UniqueFile held = c.held ? HoldOpen(folder + c.obstacle) : UniqueFile();
        EXPECT_EQ(RunSetup(L"/silent /folder=D:\\Tools\\Pixelmoor /group=1 /desktop=1 /assoc=1"), kExitInstallFailed)
            << c.what;
        held.reset();
        // Message 7 in its usual form, the folder first.
        ExpectLogEntry(folder + L": " + kInstallFailed, c.what);
        // Nothing of the payload stays: the files written before the failure went again.
        EXPECT_EQ(test::ListFolder(folder), std::vector<std::wstring>{c.obstacle}) << c.what;
        EXPECT_EQ(test::TreeDifferences(before, test::SnapshotTree(folder)), "") << c.what;
        ExpectNoStepAfterUnpacking(folder, c.what);
    }
}

TEST_F(SilentInstallTest, UpdateWhileTheViewerIsInUseFailsAndKeepsTheOldViewer) {
    const std::wstring folder = kInstallFolder;
    const std::wstring viewer = folder + L"p_moor64.exe";
    ASSERT_EQ(RunSetup(L"/silent /folder=D:\\Tools\\Pixelmoor"), kExitSuccess);
    ASSERT_TRUE(test::WriteFileBytes(viewer, "old viewer\n"));
    const std::optional<std::string> settingsBefore = ReadFileBytes(settingsFolder_ + L"p_moor64.ini");
    ASSERT_TRUE(settingsBefore);
    {
        const UniqueFile running = HoldOpen(viewer);
        ASSERT_TRUE(running);
        // The earlier installation is found and updated in place.
        EXPECT_EQ(RunSetup(L"/silent /desktop=1"), kExitInstallFailed);
    }
    ExpectLogEntry(folder + L": " + kInstallFailed, "update");
    EXPECT_EQ(ReadFileBytes(viewer), "old viewer\n");
    EXPECT_EQ(test::EntriesNotWhole(folder, payload_), std::vector<std::string>{"p_moor64.exe"});
    // No later step: no new shortcut, the settings as they were.
    EXPECT_FALSE(FileExists(desktopLink_));
    EXPECT_EQ(ReadFileBytes(settingsFolder_ + L"p_moor64.ini"), settingsBefore);
    EXPECT_FALSE(FileExists(tempCopy_));
}

// Runs only in install_small_drive_e2e, whose script mounts a 2 MB tmpfs as
// drive R: where that is allowed and says so when it is not.
TEST_F(SilentInstallTest, FullDriveFailsTheInstallation) {
    const std::wstring drive = EnvironmentValue(L"PIXELMOOR_SMALL_DRIVE");
    if (drive.empty()) GTEST_SKIP() << "no small drive (install_small_drive_e2e provides one)";
    const std::wstring folder = drive + L"\\Pixelmoor\\";
    const struct {
        const char* what;
        bool earlier;  // a small earlier installation is registered there
    } rows[] = {
        // a first installation: nothing of it stays, not even its folder
        {"first installation", false},
        // an update: the earlier files come back, byte for byte with their times
        {"update", true},
    };
    for (const auto& row : rows) {
        SetUp();
        RemoveTree(folder);
        if (row.earlier) {
            MakeFolder(folder);
            MakeFolder(folder + L"Plugins");
            for (const wchar_t* name : {L"p_moor64.exe", L"p_about.txt", L"Plugins\\Camera.dll", L"p_moor64.ini"}) {
                ASSERT_TRUE(test::WriteFileBytes(folder + name, "earlier " + test::Narrow(name)));
                const UniqueFile file(::CreateFileW((folder + name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                                    OPEN_EXISTING, 0, nullptr));
                const FILETIME earlier{0x12345600, 0x01d4d2a0};  // March 2019
                ASSERT_TRUE(::SetFileTime(file.get(), &earlier, nullptr, &earlier));
            }
            test::WriteRegString(HKEY_LOCAL_MACHINE, kCommandKey, nullptr, L"\"" + folder + L"p_moor64.exe\" \"%1\"");
        }
        const test::TreeSnapshot before = test::SnapshotTree(drive + L"\\");
        const std::wstring switches = row.earlier ? L"/silent /desktop=1" : L"/silent /folder=" + drive + L"\\Pixelmoor /desktop=1";
        EXPECT_EQ(RunSetup(switches + L" /group=1 /assoc=1"), kExitInstallFailed) << row.what;
        ExpectLogEntry(folder + L": " + kInstallFailed, row.what);
        // The drive holds what it held before, and no more.
        EXPECT_EQ(test::TreeDifferences(before, test::SnapshotTree(drive + L"\\")), "") << row.what;
        EXPECT_FALSE(FileExists(desktopLink_)) << row.what;
        EXPECT_FALSE(FolderExists(settingsFolder_)) << row.what;
        EXPECT_FALSE(FileExists(tempCopy_)) << row.what;
        RemoveTree(folder);
        test::ResetProductRegistration();
    }
}

TEST_F(SilentInstallTest, BlanksBeforeBackslashesLeaveOneFolderForFilesSettingsShortcutsAndRegistry) {
    RemoveTree(L"D:\\Tools");
    ASSERT_EQ(RunSetup(L"/silent /folder=D:\\Tools \\Pixelmoor /desktop=1 /group=1"), kExitSuccess);
    const std::wstring folder = kInstallFolder;
    EXPECT_EQ(test::ListFolder(L"D:\\Tools"), std::vector<std::wstring>{L"Pixelmoor"});
    EXPECT_EQ(test::EntriesNotWhole(folder, payload_), std::vector<std::string>{});
    EXPECT_EQ(ReadFileBytes(kProgramSettings), "[Others]\r\nINI_Folder=%APPDATA%\\Pixelmoor\r\n");
    EXPECT_EQ(test::ReadRegString(HKEY_LOCAL_MACHINE, kCommandKey, nullptr),
              L"\"D:\\Tools\\Pixelmoor\\p_moor64.exe\" \"%1\"");
    EXPECT_EQ(
        test::ReadRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor64",
                            L"InstallLocation"),
        folder);
    const std::optional<test::ShellLinkInfo> desktop = test::ReadShellLink(desktopLink_);
    ASSERT_TRUE(desktop);
    EXPECT_EQ(desktop->target, folder + L"p_moor64.exe");
    const std::optional<test::ShellLinkInfo> group =
        test::ReadShellLink(test::ShellFolderPath(CSIDL_PROGRAMS) + L"\\Pixelmoor\\Pixelmoor - Thumbnails.lnk");
    ASSERT_TRUE(group);
    EXPECT_EQ(group->target, folder + L"p_moor64.exe");
    RemoveTree(desktopLink_);
}

TEST_F(SilentInstallTest, SwitchesFarIntoALongCommandLineCount) {
    ASSERT_EQ(RunSetup(L"/silent /folder=D:\\Tools\\Pixelmoor /" + std::wstring(600, L'x') + L" /desktop=1"),
              kExitSuccess);
    const std::optional<test::ShellLinkInfo> desktop = test::ReadShellLink(desktopLink_);
    ASSERT_TRUE(desktop);
    EXPECT_EQ(desktop->target, std::wstring(kInstallFolder) + L"p_moor64.exe");
    RemoveTree(desktopLink_);
}

void SetOpenCommand(const std::wstring& command, DWORD type) {
    UniqueHkey key;
    ASSERT_EQ(
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kCommandKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr),
        ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(command.c_str()),
                               static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

TEST_F(SilentInstallTest, EarlierInstallationIsOursOnlyWhenItsCommandStartsOurViewer) {
    const std::wstring longFolder = L"D:\\" + std::wstring(120, L'l') + L"\\";
    const std::wstring programFiles = L"C:\\Program Files\\Pixelmoor\\";
    ::SetEnvironmentVariableW(L"PM_EARLIER_ROOT", L"D:\\Expanded");
    const struct {
        const char* what;
        std::wstring command;
        DWORD type;
        std::wstring folder;  // where the update goes
    } cases[] = {
        // A folder of 120 characters is read whole; the update stays there.
        {"long folder", L"\"" + longFolder + L"p_moor64.exe\" \"%1\"", REG_SZ, longFolder},
        // An expandable command is expanded first.
        {"expandable", L"\"%PM_EARLIER_ROOT%\\Pixelmoor\\p_moor64.exe\" \"%1\"", REG_EXPAND_SZ,
         L"D:\\Expanded\\Pixelmoor\\"},
        // Another program that merely mentions the viewer: no earlier
        // installation, so nothing goes to the system folder.
        {"foreign program", L"\"C:\\windows\\system32\\cmd.exe\" /c start \"\" \"D:\\Tools\\p_moor64.exe\" \"%1\"",
         REG_SZ, programFiles},
    };
    for (const auto& c : cases) {
        SetUp();
        RemoveTree(c.folder);
        SetOpenCommand(c.command, c.type);
        EXPECT_EQ(RunSetup(L"/silent"), kExitSuccess) << c.what;
        EXPECT_EQ(test::EntriesNotWhole(c.folder, payload_), std::vector<std::string>{}) << c.what;
        EXPECT_EQ(test::ReadRegString(HKEY_LOCAL_MACHINE, kCommandKey, nullptr),
                  L"\"" + c.folder + L"p_moor64.exe\" \"%1\"")
            << c.what;
        RemoveTree(c.folder);
    }
    EXPECT_FALSE(FileExists(L"C:\\windows\\system32\\p_moor64.exe"));
    ::SetEnvironmentVariableW(L"PM_EARLIER_ROOT", nullptr);
    RemoveTree(L"D:\\Expanded");
}

// The name is how setups of any session and version find each other.
constexpr wchar_t kInstallationMutex[] = L"Global\\Pixelmoor64SetupInstallation";

TEST_F(SilentInstallTest, SecondSetupLeavesTheInstallationToTheOneInProgress) {
    const std::wstring switches = L"/silent /folder=D:\\Tools\\Pixelmoor /group=1";
    {
        // Another installation in progress: the lock is held (here by the test).
        const UniqueOwnedMutex held(::CreateMutexW(nullptr, TRUE, kInstallationMutex));
        ASSERT_TRUE(held);
        EXPECT_EQ(RunSetup(switches), 1618u);
    }
    ExpectLogEntry(kInstallFailed, "lock held");
    ExpectNothingInstalled("lock held");

    // A lock whose owner ended without releasing it is taken over.
    SetUp();
    UniqueHandle abandoned;
    std::thread([&abandoned] { abandoned.reset(::CreateMutexW(nullptr, TRUE, kInstallationMutex)); }).join();
    ASSERT_TRUE(abandoned);
    EXPECT_EQ(RunSetup(switches), kExitSuccess);
    abandoned.reset();
    EXPECT_EQ(test::EntriesNotWhole(kInstallFolder, payload_), std::vector<std::string>{});

    // Two setups started together into one folder: whichever is second (if
    // they meet at all) leaves it to the first, and the folder ends up whole.
    SetUp();
    const std::wstring line = L"\"" + test::SetupExePath() + L"\" " + switches;
    const test::StartedProgram first(line, scratch_);
    const test::StartedProgram second(line, scratch_);
    const std::optional<DWORD> a = first.WaitForExit(120000);
    const std::optional<DWORD> b = second.WaitForExit(120000);
    ASSERT_TRUE(a && b);
    EXPECT_TRUE((*a == 0 && (*b == 0 || *b == 1618)) || (*a == 1618 && *b == 0)) << *a << " " << *b;
    EXPECT_EQ(test::EntriesNotWhole(kInstallFolder, payload_), std::vector<std::string>{});
    EXPECT_TRUE(test::RegKeyExists(HKEY_LOCAL_MACHINE, kCommandKey));
}

}  // namespace
}  // namespace pixelmoor
