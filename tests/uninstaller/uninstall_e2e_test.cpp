// The uninstaller as users and deployment tools meet it: installed by the
// built setup with exact command lines, started from the install folder, and
// the machine looked at afterwards through Wine's registry, file system and
// windows.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which they build on.
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "contract/installation_lock.h"
#include "framework/unique_handle.h"
#include "tests/install/log_entry_check.h"
#include "tests/integration/registration_checks.h"
#include "tests/support/win_test_support.h"
#include "uninstaller/uninstall_rules.h"

namespace pixelmoor {
namespace {

using test::FileExists;
using test::RemoveTree;

const std::wstring kFolder = L"C:\\Program Files\\Pixelmoor\\";
const std::wstring kUninstaller = kFolder + L"pm_uninstall.exe";
// Every choice of the setup: shortcuts everywhere, every file type.
const std::wstring kInstall = L"/silent /folder=C:\\Program Files\\Pixelmoor /group=1 /desktop=1 /thumbs=1 /assoc=2 ";
constexpr wchar_t kRegisteredApplications[] = L"SOFTWARE\\RegisteredApplications";
constexpr wchar_t kUninstallEntry[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor64";
constexpr wchar_t kGifChoice[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.gif";
constexpr wchar_t kLogName[] = L"Pixelmoor_Uninstall.log";
constexpr int kMessageBoxTextId = 0xFFFF;

std::wstring TempFolder() {
    std::wstring path(MAX_PATH + 1, L'\0');
    path.resize(::GetTempPathW(MAX_PATH + 1, path.data()));
    return path;
}

std::wstring SettingsFolder() { return test::EnvironmentValue(L"APPDATA") + L"\\Pixelmoor\\"; }

// Everything below root, relative to it, folders ending in a backslash.
void ListTree(const std::wstring& root, const std::wstring& prefix, std::vector<std::wstring>& out) {
    for (const std::wstring& name : test::ListFolder(root + prefix)) {
        const std::wstring path = prefix + name;
        if (test::FolderExists(root + path)) {
            out.push_back(path + L'\\');
            ListTree(root, path + L'\\', out);
        } else {
            out.push_back(path);
        }
    }
}

std::vector<std::wstring> Tree(const std::wstring& root) {
    std::vector<std::wstring> out;
    ListTree(root, L"", out);
    return out;
}

// What an installation can leave on the machine, as text.
struct MachineState {
    std::wstring registry;
    std::vector<std::wstring> files;  // install folder, settings folder, start menu, desktops
    std::vector<std::wstring> temp;   // the uninstaller's folders in the temporary folder

    bool operator==(const MachineState&) const = default;
};

MachineState Snapshot() {
    MachineState state;
    state.registry = test::DumpRegistrationFootprint();
    for (const std::wstring& root : {kFolder, SettingsFolder(), test::GroupFolder(false), test::GroupFolder(true)})
        for (const std::wstring& path : Tree(root)) state.files.push_back(root + path);
    for (const bool allUsers : {false, true})
        for (const wchar_t* link : {L"Pixelmoor 64.lnk", L"Pixelmoor 64 Thumbnails.lnk"})
            if (FileExists(test::DesktopFolder(allUsers) + link))
                state.files.push_back(test::DesktopFolder(allUsers) + link);
    for (const std::wstring& name : test::ListFolder(TempFolder()))
        if (name.starts_with(L"pm_uninstall")) state.temp.push_back(name);
    return state;
}

// The registry dump without the uninstall entry's block.
std::wstring WithoutUninstallEntry(std::wstring dump) {
    const std::wstring header = L"[HKLM\\" + std::wstring(kUninstallEntry) + L"]\n";
    const std::size_t at = dump.find(header);
    if (at == std::wstring::npos) return dump;
    std::size_t end = at + header.size();
    while (end < dump.size() && dump.compare(end, 2, L"  ") == 0) end = dump.find(L'\n', end) + 1;
    return dump.erase(at, end - at);
}

bool UninstallerRuns() {
    const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry))
        if (::lstrcmpiW(entry.szExeFile, L"pm_uninstall.exe") == 0) return true;
    return false;
}

// Wine carries out the renames and deletions that were left for the next
// start of the system.
void RestartWine() { EXPECT_EQ(test::RunProgram(L"C:\\windows\\system32\\wineboot.exe --restart"), 0u); }

struct WindowSearch {
    DWORD processId;
    HWND except;
    HWND found;
};

BOOL CALLBACK FindDialogOf(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (owner != search->processId || window == search->except || !::IsWindowVisible(window) ||
        std::wstring(className) != L"#32770")
        return TRUE;
    search->found = window;
    return FALSE;
}

// A dialog or message box of the process (other than `except`), once it shows.
HWND WaitForDialog(DWORD processId, HWND except = nullptr) {
    for (int waited = 0; waited < 30000; waited += 100) {
        WindowSearch search{processId, except, nullptr};
        ::EnumWindows(FindDialogOf, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        ::Sleep(100);
    }
    return nullptr;
}

// A control's text, asked of the process that owns it.
std::wstring TextOf(HWND window) {
    std::wstring text(4096, L'\0');
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                               5000, &length))
        return L"(no answer)";
    text.resize(length);
    return text;
}

// A click, as the button gets it from the mouse.
void Click(HWND button) {
    DWORD_PTR result = 0;
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(::SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result));
}

// An environment variable of the programs started from here, for a scope;
// a null value removes it.
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const wchar_t* value) : name_(name), saved_(test::EnvironmentValue(name)) {
        ::SetEnvironmentVariableW(name, value);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;
    ~ScopedVariable() { ::SetEnvironmentVariableW(name_, saved_.empty() ? nullptr : saved_.c_str()); }

private:
    const wchar_t* name_;
    std::wstring saved_;
};

// Each case starts as on a machine where the viewer was never installed, on
// a Windows 10 that keeps a list of registered applications.
class UninstallTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(test::SetupExePath().empty());
        Reset();
        test::WriteRegString(HKEY_LOCAL_MACHINE, kRegisteredApplications, L"Other", L"SOFTWARE\\Other");
        scratch_ = test::MakeScratchFolder(L"uninstall");
        before_ = Snapshot();
    }
    void TearDown() override {
        Reset();
        test::DeleteRegTree(HKEY_LOCAL_MACHINE, kRegisteredApplications);
        RemoveTree(scratch_);
    }
    static void Reset() {
        test::ResetRegistrationFootprint();
        test::ResetShortcuts();
        RemoveTree(kFolder);
        RemoveTree(SettingsFolder());
        for (const std::wstring& name : test::ListFolder(TempFolder()))
            if (name.starts_with(L"pm_uninstall")) RemoveTree(TempFolder() + name);
    }

    void Install(const std::wstring& scope) {
        ASSERT_EQ(test::RunProgram(L"\"" + test::SetupExePath() + L"\" " + kInstall + scope, scratch_), 0u);
        ASSERT_TRUE(FileExists(kUninstaller));
    }
    // The uninstaller with these arguments, started in the scratch folder as
    // a deployment tool starts it; its exit code.
    std::optional<DWORD> Uninstall(const std::wstring& arguments) {
        return test::RunProgram(L"\"" + kUninstaller + L"\" " + arguments, scratch_);
    }
    std::string Log() { return test::ReadFileBytes(scratch_ + kLogName).value_or("(no log)"); }

    std::wstring scratch_;
    MachineState before_;
};

TEST_F(UninstallTest, SilentUninstallReturnsTheMachineToItsStateBeforeTheInstallation) {
    const struct {
        const wchar_t* scope;
        const wchar_t* arguments;
        bool settingsStay;
    } cases[] = {
        // The current user's shortcuts; the settings files are the user's and stay.
        {L"/allusers=0", L"/silent", true},
        // All users' shortcuts; the purge takes the settings files too.
        {L"/allusers=1", L"/silent /purge", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(test::Narrow(c.scope));
        Reset();
        Install(c.scope);
        ASSERT_NE(Snapshot().files, before_.files);

        EXPECT_EQ(Uninstall(c.arguments), 0u);
        // When it has ended, it is done: no copy of it runs on.
        EXPECT_FALSE(UninstallerRuns());
        MachineState after = Snapshot();
        if (c.settingsStay) {
            // The program folder's file only recorded where the settings are: it goes.
            EXPECT_FALSE(test::FolderExists(kFolder));
            EXPECT_EQ(Tree(SettingsFolder()), std::vector<std::wstring>{L"p_moor64.ini"});
            RemoveTree(SettingsFolder());
            after = Snapshot();
        }
        EXPECT_EQ(after.registry, before_.registry);
        EXPECT_EQ(after.files, before_.files);
        EXPECT_FALSE(FileExists(scratch_ + kLogName));
        // The uninstaller's own file is gone from the temporary folder at the
        // next start at the latest.
        RestartWine();
        EXPECT_EQ(Snapshot(), before_);
    }
}

TEST_F(UninstallTest, WhatIsNotOursSurvives) {
    Install(L"/allusers=0");
    // The user's files: a folder of their own and a file in a folder of the payload.
    ASSERT_TRUE(::CreateDirectoryW((kFolder + L"Eigene Vorlagen").c_str(), nullptr));
    ASSERT_TRUE(test::WriteFileBytes(kFolder + L"Eigene Vorlagen\\Meine.htm", "<p>meine</p>"));
    ASSERT_TRUE(test::WriteFileBytes(kFolder + L"Html\\Entwurf.htm", "<p>Entwurf</p>"));
    // Another program took over PNG files; the user chose another one for GIF files.
    test::WriteRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\.png", nullptr, L"OtherViewer.png");
    test::DeleteRegTree(HKEY_CURRENT_USER, std::wstring(kGifChoice) + L"\\UserChoice");
    test::WriteRegString(HKEY_CURRENT_USER, std::wstring(kGifChoice) + L"\\UserChoice", L"Progid", L"OtherViewer.gif");

    EXPECT_EQ(Uninstall(L"/silent"), 0u);
    EXPECT_EQ(Tree(kFolder), (std::vector<std::wstring>{L"Eigene Vorlagen\\", L"Eigene Vorlagen\\Meine.htm", L"Html\\",
                                                        L"Html\\Entwurf.htm"}));
    EXPECT_EQ(Tree(SettingsFolder()), std::vector<std::wstring>{L"p_moor64.ini"});
    EXPECT_EQ(test::ReadRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\.png", L""), L"OtherViewer.png");
    EXPECT_EQ(test::ReadRegString(HKEY_CURRENT_USER, std::wstring(kGifChoice) + L"\\UserChoice", L"Progid"),
              L"OtherViewer.gif");

    // Without them, nothing of the installation is left.
    test::DeleteRegTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\.png");
    test::DeleteRegTree(HKEY_CURRENT_USER, kGifChoice);
    RemoveTree(kFolder);
    RemoveTree(SettingsFolder());
    RestartWine();
    EXPECT_EQ(Snapshot(), before_);
}

TEST_F(UninstallTest, RegistrationOfALaterInstallationElsewhereStays) {
    Install(L"/allusers=0");
    // Installed again into another folder: the registration and the
    // shortcuts now name that one. The setup removes an earlier copy only
    // through its own uninstaller, so without it there the copy stays.
    const std::wstring aside = scratch_ + L"pm_uninstall.exe";
    ASSERT_TRUE(::MoveFileW(kUninstaller.c_str(), aside.c_str()));
    const std::wstring other = L"D:\\Tools\\Pixelmoor\\";
    ASSERT_EQ(test::RunProgram(L"\"" + test::SetupExePath() +
                                   L"\" /silent /folder=D:\\Tools\\Pixelmoor /group=1 /desktop=1 /thumbs=1 /assoc=2",
                               scratch_),
              0u);
    const std::wstring registry = test::DumpRegistrationFootprint();
    ASSERT_TRUE(test::FolderExists(kFolder));
    ASSERT_TRUE(::MoveFileW(aside.c_str(), kUninstaller.c_str()));

    // The first installation's uninstaller takes its files and nothing else.
    EXPECT_EQ(Uninstall(L"/silent"), 0u);
    EXPECT_FALSE(test::FolderExists(kFolder));
    EXPECT_EQ(test::DumpRegistrationFootprint(), registry);
    test::ExpectLinks(test::GroupFolder(false), test::ExpectedGroupLinks(other, true));
    EXPECT_TRUE(FileExists(test::DesktopFolder(false) + L"Pixelmoor 64.lnk"));
    EXPECT_TRUE(FileExists(other + L"pm_uninstall.exe"));
    RemoveTree(other);
}

// The viewer, told by its window, and another program of the installation,
// told by its file, keep the uninstaller from removing anything.
TEST_F(UninstallTest, RunningProgramOfTheInstallationBlocksTheUninstallation) {
    Install(L"/allusers=0");
    const MachineState installed = Snapshot();
    for (const wchar_t* program : {L"p_moor64.exe", L"Plugins\\Diashow.exe"}) {
        SCOPED_TRACE(test::Narrow(program));
        // The stand-in viewer shows its window, the other stand-in programs a box.
        test::StartedProgram running(L"\"" + kFolder + program + L"\"");
        ASSERT_TRUE(test::WaitForWindowOf(running.id()));

        const int earliest = test::SecondOfDayNow();
        EXPECT_EQ(Uninstall(L"/silent /purge"), 1618u);
        const int latest = test::SecondOfDayNow();
        if (const HWND viewer = ::FindWindowW(L"Pixelmoor", nullptr)) {
            ::PostMessageW(viewer, WM_CLOSE, 0, 0);
            EXPECT_EQ(running.WaitForExit(10000), std::optional<DWORD>(0));
        }
        running.Terminate();
        ASSERT_TRUE(running.WaitForExit(10000));

        // Nothing removed, not even a private folder made.
        EXPECT_EQ(Snapshot(), installed);
        std::string log = Log();
        test::TakeLogEntry(log,
                           "Warnung: Pixelmoor l\xe4uft!\r\nBeenden Sie bitte Pixelmoor bevor Sie mit der "
                           "Deinstallation fortsetzen!\r\n" +
                               test::kLogSeparator,
                           earliest, latest);
        EXPECT_EQ(log, "");
        ::DeleteFileW((scratch_ + kLogName).c_str());
    }
}

TEST_F(UninstallTest, FileInUseIsLoggedEverythingElseGoesAndASecondRunCompletes) {
    Install(L"/allusers=0");
    const std::wstring held = kFolder + L"Plugins\\Raster.dll";
    {
        const UniqueFile file(::CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        const int earliest = test::SecondOfDayNow();
        EXPECT_EQ(Uninstall(L"/silent /purge"), 1603u);
        const int latest = test::SecondOfDayNow();

        std::string log = Log();
        test::TakeLogEntry(log,
                           "Pixelmoor konnte nicht vollst\xe4ndig entfernt werden. Nicht entfernt:\r\n" +
                               test::Narrow(held) + "\r\n" + test::kLogSeparator,
                           earliest, latest);
        EXPECT_EQ(log, "");
        // Everything else went, but the uninstaller and its entry, so that it
        // can be run again.
        EXPECT_EQ(Tree(kFolder),
                  (std::vector<std::wstring>{L"Plugins\\", L"Plugins\\Raster.dll", L"pm_uninstall.exe"}));
        const MachineState left = Snapshot();
        EXPECT_TRUE(test::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
        EXPECT_EQ(WithoutUninstallEntry(left.registry), before_.registry);
        EXPECT_EQ(left.temp, before_.temp);
    }
    EXPECT_EQ(Uninstall(L"/silent /purge"), 0u);
    RestartWine();
    EXPECT_EQ(Snapshot(), before_);
}

TEST_F(UninstallTest, InteractiveConfirmationDecidesAndReportsInGerman) {
    Install(L"/allusers=0");
    const MachineState installed = Snapshot();
    {
        // No: nothing happens.
        test::StartedProgram uninstaller(L"\"" + kUninstaller + L"\"", scratch_);
        const HWND dialog = WaitForDialog(uninstaller.id());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(TextOf(dialog), L"Pixelmoor 64-bit Deinstallation");
        EXPECT_EQ(TextOf(::GetDlgItem(dialog, 201)),
                  L"M\u00f6chten Sie Pixelmoor 4.75 (64-bit) von diesem Computer entfernen? Programmdateien, "
                  L"Verkn\u00fcpfungen und Registrierungseintr\u00e4ge werden gel\u00f6scht; Dateien, die Sie selbst "
                  L"im Programmordner abgelegt haben, bleiben erhalten.");
        EXPECT_EQ(TextOf(::GetDlgItem(dialog, 202)), kFolder);
        EXPECT_EQ(TextOf(::GetDlgItem(dialog, 203)), L"Auch meine &Einstellungen (p_moor64.ini) l\u00f6schen");
        Click(::GetDlgItem(dialog, IDNO));
        EXPECT_EQ(uninstaller.WaitForExit(30000), std::optional<DWORD>(1602));
    }
    EXPECT_EQ(Snapshot(), installed);
    {
        // Yes, with the settings: everything goes, then the result is shown.
        test::StartedProgram uninstaller(L"\"" + kUninstaller + L"\"", scratch_);
        const HWND dialog = WaitForDialog(uninstaller.id());
        ASSERT_NE(dialog, nullptr);
        Click(::GetDlgItem(dialog, 203));
        Click(::GetDlgItem(dialog, IDYES));
        const HWND box = WaitForDialog(uninstaller.id(), dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(TextOf(box), L"Pixelmoor 64-bit Deinstallation");
        EXPECT_EQ(TextOf(::GetDlgItem(box, kMessageBoxTextId)),
                  L"Pixelmoor wurde vollst\u00e4ndig von diesem Computer entfernt.");
        // The result comes when the work is done.
        const MachineState shown = Snapshot();
        EXPECT_EQ(shown.registry, before_.registry);
        EXPECT_EQ(shown.files, before_.files);
        Click(::GetDlgItem(box, IDOK));
        EXPECT_EQ(uninstaller.WaitForExit(30000), std::optional<DWORD>(0));
    }
    EXPECT_FALSE(FileExists(scratch_ + kLogName));
    RestartWine();
    EXPECT_EQ(Snapshot(), before_);
}

TEST_F(UninstallTest, InstallFolderOnAnotherDriveThanTheTemporaryFolderGoesAtTheNextRestart) {
    // A temporary folder on another file system (Wine's Z: drive is the
    // Unix root, and /dev/shm a memory file system).
    const std::wstring otherTemp = L"Z:\\dev\\shm\\pm-test-uninstall-temp\\";
    RemoveTree(otherTemp);
    if (!::CreateDirectoryW(otherTemp.c_str(), nullptr)) GTEST_SKIP() << "no memory file system at /dev/shm";
    Install(L"/allusers=0");
    const std::wstring probe = kFolder + L"probe.txt";
    ASSERT_TRUE(test::WriteFileBytes(probe, "x"));
    const bool sameDevice = ::MoveFileExW(probe.c_str(), (otherTemp + L"probe.txt").c_str(), 0) != FALSE;
    RemoveTree(probe);
    RemoveTree(otherTemp + L"probe.txt");
    if (sameDevice) GTEST_SKIP() << "/dev/shm is on the same file system as the install folder";

    {
        const ScopedVariable tmp(L"TMP", otherTemp.c_str());
        const ScopedVariable temp(L"TEMP", otherTemp.c_str());
        EXPECT_EQ(Uninstall(L"/silent /purge"), 3010u);
    }
    // Only the uninstaller's own file is left, for the next restart; its
    // copy and private folder went at once.
    EXPECT_EQ(Tree(kFolder), std::vector<std::wstring>{L"pm_uninstall.exe"});
    EXPECT_EQ(test::ListFolder(otherTemp), std::vector<std::wstring>{});
    EXPECT_EQ(Snapshot().registry, before_.registry);
    EXPECT_FALSE(FileExists(scratch_ + kLogName));
    RestartWine();
    EXPECT_EQ(Snapshot(), before_);
    RemoveTree(otherTemp);
}

TEST_F(UninstallTest, RoundTripLeavesExactlyTheUsersChangesAndSaysWhatStays) {
    Install(L"/allusers=0");
    // The payload's own Vorlagen.txt invites editing the templates.
    const std::wstring changed = kFolder + L"Html\\Galerie.htm";
    ASSERT_TRUE(test::WriteFileBytes(changed, "<p>meine Galerie</p>"));
    ASSERT_TRUE(test::WriteFileBytes(kFolder + L"Plugins\\Eigenes.dll", "eigenes"));

    test::StartedProgram uninstaller(L"\"" + kUninstaller + L"\"", scratch_);
    const HWND dialog = WaitForDialog(uninstaller.id());
    ASSERT_NE(dialog, nullptr);
    const int earliest = test::SecondOfDayNow();
    Click(::GetDlgItem(dialog, IDYES));
    const HWND box = WaitForDialog(uninstaller.id(), dialog);
    ASSERT_NE(box, nullptr);
    const int latest = test::SecondOfDayNow();
    // Not "vollständig": what stays, and why.
    EXPECT_EQ(TextOf(::GetDlgItem(box, kMessageBoxTextId)),
              L"Pixelmoor wurde von diesem Computer entfernt.\n\nErhalten geblieben ist:\n" + changed +
                  L" (seit der Installation ver\u00e4ndert)\n" + kFolder +
                  L" (enth\u00e4lt noch weitere Dateien)\n\nIhre Einstellungen (p_moor64.ini) wurden nicht "
                  L"gel\u00f6scht.");
    Click(::GetDlgItem(box, IDOK));
    EXPECT_EQ(uninstaller.WaitForExit(30000), std::optional<DWORD>(0));

    EXPECT_EQ(Tree(kFolder),
              (std::vector<std::wstring>{L"Html\\", L"Html\\Galerie.htm", L"Plugins\\", L"Plugins\\Eigenes.dll"}));
    EXPECT_EQ(test::ReadFileBytes(changed), "<p>meine Galerie</p>");
    std::string log = Log();
    test::TakeLogEntry(log,
                       "Bei der Deinstallation von Pixelmoor ist erhalten geblieben:\r\n" + test::Narrow(changed) +
                           " (seit der Installation ver\xe4ndert)\r\n" + test::Narrow(kFolder) +
                           " (enth\xe4lt noch weitere Dateien)\r\n" + test::kLogSeparator,
                       earliest, latest);
    EXPECT_EQ(log, "");
    // Nothing else of the installation is left.
    RemoveTree(kFolder);
    RemoveTree(SettingsFolder());
    RestartWine();
    EXPECT_EQ(Snapshot(), before_);
}

TEST_F(UninstallTest, UninstallationRemovesOnlyWhatIsTheInstallations) {
    const std::wstring cyrillic = L"C:\\\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u044b\\";
    const std::wstring chinese = L"C:\\\u56fe\u7247\\";
    const std::wstring documents = test::ShellFolderPath(CSIDL_COMMON_DOCUMENTS) + L"\\";
    const std::wstring desktop = test::ShellFolderPath(CSIDL_DESKTOPDIRECTORY) + L"\\";
    const std::wstring moved = L"C:\\Program Files\\Pixelmoor verschoben\\";
    const std::wstring foreign = L"C:\\Pixelmoor\\p_moor64.ini";
    const std::wstring unknownSettings = L"C:\\Einstellungen\\Pixelmoor\\";
    const std::wstring sameDisk = L"X:\\Program Files\\Pixelmoor\\";
    const std::string driveX = test::HostPath(L"C:\\") + "/../dosdevices/x:";
    const std::vector<std::wstring> payloadFolders = {
        L"Help\\", L"Html\\", L"Languages\\", L"Plugins\\", L"Plugins\\Plugins32\\", L"Toolbars\\"};
    const ScopedVariable settingsVariable(L"PM_TEST_SETTINGS", L"C:\\Einstellungen");
    const auto setInstallLocation = [](const wchar_t* value) {
        return [value] { test::WriteRegString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"InstallLocation", value); };
    };
    const struct {
        const char* what;
        std::wstring folder;          // the install folder
        std::wstring ini;             // the settings folder's switch
        std::function<void()> plant;  // after the installation
        std::wstring uninstaller;     // what is started, with /silent /purge
        const wchar_t* missing;       // a variable that the uninstaller's environment lacks
        std::function<void()> check;  // beyond: exit code 0, registration and shortcuts gone
    } cases[] = {
        // A shell folder as the install folder: it stays, with the folders
        // that may have been there before (a "Help" of the user's).
        {"public documents", documents, L"", [] {}, documents + L"pm_uninstall.exe", nullptr,
         [&] {
             EXPECT_EQ(Tree(documents), payloadFolders);
             for (const std::wstring& sub : payloadFolders) RemoveTree(documents + sub);
         }},
        // A drive's root: an empty C:\Languages may have been there before.
        {"drive root", L"C:\\", L"", [] {}, L"C:\\pm_uninstall.exe", nullptr,
         [&] {
             EXPECT_FALSE(FileExists(L"C:\\p_moor64.exe"));
             EXPECT_FALSE(FileExists(L"C:\\p_moor64.ini"));
             EXPECT_EQ(Tree(L"C:\\Languages\\"), std::vector<std::wstring>{});
             for (const std::wstring& sub : payloadFolders)
                 EXPECT_TRUE(test::FolderExists(L"C:\\" + sub)) << test::Narrow(sub);
             for (const std::wstring& sub : payloadFolders) RemoveTree(L"C:\\" + sub);
         }},
        // Started through another drive letter for the same disk.
        {"second drive letter", kFolder, L"",
         [&] { ASSERT_TRUE(test::RunHostScript("ln -sfn ../drive_c '" + driveX + "'", scratch_)); },
         sameDisk + L"pm_uninstall.exe", nullptr,
         [&] {
             EXPECT_FALSE(test::FolderExists(kFolder));
             ASSERT_TRUE(test::RunHostScript("rm -f '" + driveX + "'", scratch_));
         }},
        // Started with other capitals in Cyrillic letters; the shortcuts lead into Cyrillic folders.
        {"cyrillic capitals", cyrillic + L"\u041f\u0438\u043a\u0441\u0435\u043b\u044c\\", L"", [] {},
         L"C:\\\u043f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u044b\\\u043f\u0438\u043a\u0441\u0435\u043b\u044c\\pm_"
         L"uninstall.exe",
         nullptr,
         [&] {
             EXPECT_EQ(Tree(cyrillic), std::vector<std::wstring>{});
             RemoveTree(cyrillic);
         }},
        // Shortcuts into Chinese folders.
        {"chinese folder", chinese + L"\u67e5\u770b\u5668\\", L"", [] {},
         chinese + L"\u67e5\u770b\u5668\\pm_uninstall.exe", nullptr,
         [&] {
             EXPECT_EQ(Tree(chinese), std::vector<std::wstring>{});
             RemoveTree(chinese);
         }},
        // An install location that names nothing, or the same folder in slashes.
        {"empty install location", kFolder, L"", setInstallLocation(L""), kUninstaller, nullptr, [] {}},
        {"slashes", kFolder, L"", setInstallLocation(L"C:/Program Files/Pixelmoor"), kUninstaller, nullptr, [] {}},
        // The folder moved by hand: the registration points at nothing and goes.
        {"moved by hand", kFolder, L"",
         [&] { ASSERT_TRUE(::MoveFileW(L"C:\\Program Files\\Pixelmoor", moved.substr(0, moved.size() - 1).c_str())); },
         moved + L"pm_uninstall.exe", nullptr, [&] { EXPECT_FALSE(test::FolderExists(moved)); }},
        // A bare environment without APPDATA: the known folder, never "\Pixelmoor" on drive C:.
        {"no APPDATA", kFolder, L"",
         [&] {
             ASSERT_TRUE(::CreateDirectoryW(L"C:\\Pixelmoor", nullptr));
             ASSERT_TRUE(test::WriteFileBytes(foreign, "fremd"));
         },
         kUninstaller, L"APPDATA",
         [&] {
             EXPECT_EQ(test::ReadFileBytes(foreign), "fremd");
             RemoveTree(L"C:\\Pixelmoor");
         }},
        // A variable that only the setup knew: nothing goes there, and the log says why.
        {"unknown variable", kFolder, L"/ini=%PM_TEST_SETTINGS%\\Pixelmoor", [] {}, kUninstaller, L"PM_TEST_SETTINGS",
         [&] {
             EXPECT_TRUE(FileExists(unknownSettings + L"p_moor64.ini"));
             EXPECT_NE(Log().find("\r\n%PM_TEST_SETTINGS%\\Pixelmoor (Einstellungsordner nicht eindeutig bestimmbar "
                                  "(fehlende Umgebungsvariable oder relativer Pfad), dort wurde nichts gel\xf6scht)"
                                  "\r\n"),
                       std::string::npos)
                 << Log();
             RemoveTree(L"C:\\Einstellungen");
         }},
        // The Desktop as the settings folder: its settings file goes, the Desktop never (under
        // Wine a link to the home folder, which removing it would remove: the last row).
        {"desktop settings", kFolder, L"/ini=%USERPROFILE%\\Desktop", [] {}, kUninstaller, nullptr,
         [&] {
             EXPECT_TRUE(test::FolderExists(desktop));
             EXPECT_FALSE(FileExists(desktop + L"p_moor64.ini"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Reset();
        // The switch's value ends at the next "/"; a drive's root keeps its backslash.
        const std::wstring folder = c.folder.size() > 3 ? c.folder.substr(0, c.folder.size() - 1) : c.folder;
        ASSERT_EQ(test::RunProgram(L"\"" + test::SetupExePath() + L"\" /silent /folder=" + folder +
                                       L" /group=1 /desktop=1 /thumbs=1 /assoc=2 " + c.ini,
                                   scratch_),
                  0u);
        c.plant();
        {
            const ScopedVariable missing(c.missing ? c.missing : L"PM_TEST_NONE", nullptr);
            EXPECT_EQ(test::RunProgram(L"\"" + c.uninstaller + L"\" /silent /purge", scratch_), 0u);
        }
        c.check();
        const MachineState after = Snapshot();
        EXPECT_EQ(after.registry, before_.registry);
        EXPECT_EQ(after.files, before_.files);
        RemoveTree(scratch_ + kLogName);
    }
}

TEST_F(UninstallTest, LinksAreNeitherFollowedNorRemoved) {
    Install(L"/allusers=0");
    const std::wstring elsewhere = scratch_ + L"Fremd\\";
    ASSERT_TRUE(::CreateDirectoryW(elsewhere.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((elsewhere + L"Leer").c_str(), nullptr));
    // What a link leads to: what the payload holds there, moved out of the install folder.
    ASSERT_TRUE(::MoveFileW((kFolder + L"Plugins").c_str(), (elsewhere + L"Plugins").c_str()));
    ASSERT_TRUE(::MoveFileW((kFolder + L"Html\\Index.htm").c_str(), (elsewhere + L"Index.htm").c_str()));
    ASSERT_TRUE(test::WriteFileBytes(elsewhere + L"Galerie.htm", "fremd"));
    RemoveTree(kFolder + L"Toolbars");
    const std::vector<std::wstring> plugins = Tree(elsewhere + L"Plugins");
    const std::optional<std::string> index = test::ReadFileBytes(elsewhere + L"Index.htm");
    const struct {
        std::wstring link, target;
    } links[] = {
        {kFolder + L"Plugins", elsewhere + L"Plugins"},                // a folder of payload files
        {kFolder + L"Toolbars", elsewhere + L"Leer"},                  // an empty folder
        {kFolder + L"Html\\Galerie.htm", elsewhere + L"Galerie.htm"},  // a file of other content
        {kFolder + L"Html\\Index.htm", elsewhere + L"Index.htm"},      // the payload's own file
    };
    std::string plant;
    for (const auto& l : links)
        plant += "ln -sfn '" + test::HostPath(l.target) + "' '" + test::HostPath(l.link) + "'\n";
    ASSERT_TRUE(test::RunHostScript(plant, scratch_));

    EXPECT_EQ(Uninstall(L"/silent"), 0u);
    EXPECT_EQ(Tree(elsewhere + L"Plugins"), plugins);
    EXPECT_TRUE(test::FolderExists(elsewhere + L"Leer"));
    EXPECT_EQ(test::ReadFileBytes(elsewhere + L"Galerie.htm"), "fremd");
    EXPECT_EQ(test::ReadFileBytes(elsewhere + L"Index.htm"), index);
    const std::string log = Log();
    for (const auto& l : links) {
        const std::wstring shown = test::FolderExists(l.link) ? l.link + L"\\" : l.link;
        EXPECT_NE(::GetFileAttributesW(l.link.c_str()), INVALID_FILE_ATTRIBUTES) << test::Narrow(l.link);
        EXPECT_NE(log.find("\r\n" + test::Narrow(shown) + " (Link auf einen anderen Ort, nicht verfolgt)\r\n"),
                  std::string::npos)
            << log;
    }
    std::string unplant;
    for (const auto& l : links) unplant += "rm '" + test::HostPath(l.link) + "'\n";
    ASSERT_TRUE(test::RunHostScript(unplant, scratch_));
}

TEST_F(UninstallTest, ForgedWorkerStartAsksAsEveryStartDoes) {
    Install(L"/allusers=0");
    const MachineState installed = Snapshot();
    const wchar_t* forged[] = {
        L"/worker \"/folder=C:\\Program Files\\Pixelmoor\"",  // the switch of earlier versions
        L"/worker=1232:0123456789abcdef0123456789abcdef",     // a proof without the channel behind it
    };
    for (const wchar_t* arguments : forged) {
        SCOPED_TRACE(test::Narrow(arguments));
        test::StartedProgram uninstaller(L"\"" + kUninstaller + L"\" " + arguments, scratch_);
        const HWND dialog = WaitForDialog(uninstaller.id());
        ASSERT_NE(dialog, nullptr);
        Click(::GetDlgItem(dialog, IDNO));
        EXPECT_EQ(uninstaller.WaitForExit(30000), std::optional<DWORD>(1602));
        EXPECT_EQ(Snapshot(), installed);
    }
}

TEST_F(UninstallTest, UninstallerAndSetupNeverRunAtTheSameTime) {
    Install(L"/allusers=0");
    const MachineState installed = Snapshot();
    const std::wstring refusal =
        L"Pixelmoor wird gerade installiert.\nWarten Sie bitte, bis die Installation beendet ist, und starten Sie die "
        L"Deinstallation dann erneut.";
    {
        // A setup that installs holds the installation lock.
        const UniqueOwnedMutex setup(::CreateMutexW(nullptr, TRUE, kInstallationMutexName));
        ASSERT_TRUE(setup);
        const int earliest = test::SecondOfDayNow();
        EXPECT_EQ(Uninstall(L"/silent /purge"), 1618u);
        std::string log = Log();
        std::string expected = test::Narrow(refusal);
        expected.replace(expected.find('\n'), 1, "\r\n");
        test::TakeLogEntry(log, expected + "\r\n" + test::kLogSeparator, earliest, test::SecondOfDayNow());
        EXPECT_EQ(log, "");

        test::StartedProgram uninstaller(L"\"" + kUninstaller + L"\"", scratch_);
        const HWND box = WaitForDialog(uninstaller.id());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(TextOf(::GetDlgItem(box, kMessageBoxTextId)), refusal);
        Click(::GetDlgItem(box, IDOK));
        EXPECT_EQ(uninstaller.WaitForExit(30000), std::optional<DWORD>(1618));
        EXPECT_EQ(Snapshot(), installed);
    }
    // An uninstaller, here at its question, holds it: a setup started now installs nothing.
    test::StartedProgram uninstaller(L"\"" + kUninstaller + L"\"", scratch_);
    const HWND dialog = WaitForDialog(uninstaller.id());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(test::RunProgram(L"\"" + test::SetupExePath() + L"\" " + kInstall + L"/allusers=0", scratch_), 1618u);
    Click(::GetDlgItem(dialog, IDNO));
    EXPECT_EQ(uninstaller.WaitForExit(30000), std::optional<DWORD>(1602));
    EXPECT_EQ(Snapshot(), installed);
}

// The shortcuts of the current user's start-menu group and desktop, each
// with the target it leads to.
std::vector<std::wstring> Shortcuts() {
    std::vector<std::wstring> links;
    for (const std::wstring& folder : {test::GroupFolder(false), test::DesktopFolder(false)})
        for (const std::wstring& name : test::ListFolder(folder))
            if (name.ends_with(L".lnk"))
                links.push_back(folder + name + L" -> " +
                                test::ReadShellLink(folder + name).value_or(test::ShellLinkInfo{}).target);
    return links;
}

// An update into another folder: the earlier copy is removed by its own
// uninstaller, and what stays is exactly a first installation into the new
// folder, with the user's settings kept.
TEST_F(UninstallTest, UpdateIntoAnotherFolderLeavesOnlyTheNewInstallation) {
    const std::wstring moved = L"C:\\Pixel Neu\\";
    const std::wstring choices = L" /group=1 /desktop=1 /thumbs=1 /assoc=2 /allusers=0";
    RemoveTree(moved);
    Install(L"/allusers=0");
    const std::wstring settings = SettingsFolder() + L"p_moor64.ini";
    ASSERT_TRUE(::WritePrivateProfileStringW(L"Others", L"Marke", L"bleibt", settings.c_str()));

    const std::wstring log = scratch_ + L"umzug.log";
    EXPECT_EQ(test::RunProgram(L"\"" + test::SetupExePath() + L"\" /silent \"/folder=" + moved + L"\"" + choices +
                                   L" \"/log=" + log + L"\"",
                               scratch_),
              0u);
    // The earlier folder is gone, with every shortcut that led into it; the
    // uninstallation is over when the setup ends.
    EXPECT_FALSE(test::FolderExists(kFolder));
    EXPECT_FALSE(UninstallerRuns());
    EXPECT_FALSE(FileExists(scratch_ + kLogName));
    const std::string text = test::ReadFileBytes(log).value_or("");
    for (const std::string line : {"Bisherige Installation in C:\\Program Files\\Pixelmoor\\ entfernen: Exit-Code 0",
                                   "Registrierung entfernen: geh\xc3\xb6rt der Installation in C:\\Pixel Neu\\, bleibt",
                                   "Deinstallation beendet, Exit-Code 0", "Setup beendet, Exit-Code 0"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    wchar_t mark[16] = {};
    ::GetPrivateProfileStringW(L"Others", L"Marke", L"", mark, 16, settings.c_str());
    EXPECT_EQ(std::wstring(mark), L"bleibt");
    const std::wstring registry = test::DumpRegistrationFootprint();
    const std::vector<std::wstring> files = Tree(moved);
    const std::vector<std::wstring> links = Shortcuts();
    EXPECT_EQ(test::ReadRegString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"InstallLocation"), moved);

    // The same choices installed into the new folder on a clean machine.
    Reset();
    RemoveTree(moved);
    ASSERT_EQ(
        test::RunProgram(L"\"" + test::SetupExePath() + L"\" /silent \"/folder=" + moved + L"\"" + choices, scratch_),
        0u);
    EXPECT_EQ(registry, test::DumpRegistrationFootprint());
    EXPECT_EQ(files, Tree(moved));
    EXPECT_EQ(links, Shortcuts());
    RemoveTree(moved);
}

// The uninstaller's full log follows the setup's rules: never a file of the
// installation it removes, never a failure log, never someone else's file.
TEST_F(UninstallTest, FullLogIsNeverAFileOfTheInstallationAFailureLogOrSomeoneElsesFile) {
    const struct {
        const char* what;
        std::wstring log;                   // the /log= value
        std::optional<std::string> before;  // a file there before (none: absent)
    } rows[] = {
        // the viewer that the user deleted: the log would be created in its place and kept as the user's
        {"a payload file", kFolder + L"p_moor64.exe", std::nullopt},
        // the uninstaller's own failure log, in the current directory
        {"the failure log", kLogName, std::nullopt},
        // the setup's, in other capitals
        {"the setup's failure log", scratch_ + L"pixelmoor_install.LOG", std::nullopt},
        // the setup's, there already and named by its short name
        {"the setup's failure log by its short name", scratch_ + L"Pixelmoor_Install.log",
         "07.12.2026 - 08:15:42: Warnung\r\n"},
        // a user's letter
        {"a user's file", scratch_ + L"Brief.txt", "Liebe Frau Maier,\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Install(L"/allusers=0");
        ASSERT_TRUE(::DeleteFileW((kFolder + L"p_moor64.exe").c_str()));
        const std::wstring logPath = row.log.find(L'\\') == std::wstring::npos ? scratch_ + row.log : row.log;
        if (row.before) {
            ASSERT_TRUE(test::WriteFileBytes(logPath, *row.before));
        }
        // An existing file is named by its short name, as the system gives it.
        std::wstring given = row.log;
        if (row.before) {
            given.resize(MAX_PATH);
            given.resize(::GetShortPathNameW(logPath.c_str(), given.data(), MAX_PATH));
            ASSERT_FALSE(given.empty());
        }
        const int earliest = test::SecondOfDayNow();
        EXPECT_EQ(Uninstall(L"/silent \"/log=" + given + L"\""), 0u);
        // Removed whole; the failure log names the log that could not be written, and nothing else.
        EXPECT_FALSE(test::FolderExists(kFolder));
        std::string log = Log();
        test::TakeLogEntry(
            log, "Protokolldatei kann nicht geschrieben werden: " + test::Narrow(given) + "\r\n" + test::kLogSeparator,
            earliest, test::SecondOfDayNow());
        EXPECT_EQ(log, "");
        if (row.log != kLogName) {
            EXPECT_EQ(test::ReadFileBytes(logPath), row.before);
        }
        RemoveTree(scratch_ + kLogName);
        RemoveTree(logPath);
    }
}

// The private copy gets the folder and the log exactly, however they are
// written, through the system's own splitting of its command line.
TEST(UninstallWorkerCommandLine, SystemSplittingGivesTheOptionsBack) {
    const std::wstring folders[] = {
        L"C:\\Program Files\\Pixelmoor\\",  // a blank and the trailing backslash
        L"D:\\Tools\\Pixelmoor\\",          // nothing to quote
        L"D:\\\"Bilder\" & Co\\",           // quotes and an ampersand
        L"C:\\",                            // a drive's root
    };
    for (const std::wstring& folder : folders) {
        UninstallOptions options;
        options.silent = true;
        options.workerProof = L"1232:0123456789abcdef0123456789abcdef";
        options.folder = folder;
        options.logPath = L"C:\\Users\\Ida Maier\\Pixelmoor_Uninstall.log";
        options.runLogPath = L"C:\\Logs\\Pixelmoor full.log";
        int count = 0;
        const UniqueLocalMemory<LPWSTR*> split(
            ::CommandLineToArgvW(UninstallCommandLine(L"C:\\Temp\\pm u\\pm_uninstall.exe", options).c_str(), &count));
        ASSERT_TRUE(split);
        ASSERT_GE(count, 1);
        EXPECT_EQ(std::wstring(split.get()[0]), L"C:\\Temp\\pm u\\pm_uninstall.exe");
        const std::vector<std::wstring> arguments(split.get() + 1, split.get() + count);
        EXPECT_EQ(ParseUninstallArguments(arguments), options) << test::Narrow(folder);
    }
}

}  // namespace
}  // namespace pixelmoor
