// The built setup started under Wine with exact command lines: the choice of
// road, the refusal while the viewer runs, and the exit codes.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tests/install/log_entry_check.h"
#include "tests/support/gui_driver.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using test::kLogSeparator;

constexpr wchar_t kLogName[] = L"Pixelmoor_Install.log";
const std::string kRefusal =
    "Warnung: Pixelmoor l\xe4uft!\r\nBeenden Sie bitte Pixelmoor bevor Sie mit der Installation fortsetzen!\r\n";

// The stand-in viewer of the payload, running: its top-level window of the
// class "Pixelmoor" is what the setup looks for. Closed again at the end.
class RunningViewer {
public:
    RunningViewer() : viewer_(L"\"" + test::EnvironmentPath(L"PIXELMOOR_VIEWER_EXE") + L"\"") {
        for (int waited = 0; viewer_ && waited < 20000 && !window_; waited += 100) {
            ::Sleep(100);
            window_ = ::FindWindowW(L"Pixelmoor", nullptr);
        }
    }
    RunningViewer(const RunningViewer&) = delete;
    RunningViewer& operator=(const RunningViewer&) = delete;
    ~RunningViewer() {
        if (window_) ::PostMessageW(window_, WM_CLOSE, 0, 0);
        static_cast<void>(viewer_.WaitForExit(10000));
    }
    explicit operator bool() const noexcept { return window_ != nullptr; }

private:
    test::StartedProgram viewer_;
    HWND window_ = nullptr;
};

// How a run of the setup ended. The wizard road either ends at once (exit
// code 0) or shows a window, after which the test ends the process.
struct RunResult {
    enum Ending { Exited, ShowedWindow, DidNotEnd } ending;
    DWORD exitCode = 0;
};

struct WindowSearch {
    DWORD processId;
    bool found;
};

BOOL CALLBACK FindVisibleWindowOf(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ::IsWindowVisible(window)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

// Starts a program with exactly this command line.
RunResult RunLine(const std::wstring& commandLine, const std::wstring& currentDirectory) {
    const test::StartedProgram setup(commandLine, currentDirectory);
    if (!setup) return {RunResult::DidNotEnd};
    for (int waited = 0; waited < 60000; waited += 100) {
        if (const std::optional<DWORD> code = setup.WaitForExit(100)) return {RunResult::Exited, *code};
        WindowSearch search{setup.id(), false};
        ::EnumWindows(FindVisibleWindowOf, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            setup.Terminate();
            return {RunResult::ShowedWindow};
        }
    }
    return {RunResult::DidNotEnd};
}

RunResult RunSetup(const std::wstring& arguments, const std::wstring& currentDirectory) {
    return RunLine(L"\"" + test::SetupExePath() + L"\" " + arguments, currentDirectory);
}

bool TookTheWizardRoad(const RunResult& result) {
    return result.ending == RunResult::ShowedWindow || (result.ending == RunResult::Exited && result.exitCode == 0);
}

TEST(Startup, SilentRunRefusesWhileTheViewerRunsAndLogsTheWarning) {
    test::ResetRegistrationFootprint();
    const std::wstring registryBefore = test::DumpRegistrationFootprint();
    const std::wstring scratch = test::MakeScratchFolder(L"startup-refusal");
    const std::wstring target = scratch + L"target";
    RunningViewer viewer;
    ASSERT_TRUE(viewer);

    const int before = test::SecondOfDayNow();
    const RunResult first = RunSetup(L"/silent /folder=" + target + L" /desktop=1 /group=1 /assoc=2", scratch);
    const RunResult second = RunSetup(L"/silent", scratch);
    const int after = test::SecondOfDayNow();

    // both runs refused, with the code for "the viewer is running", no window shown
    EXPECT_EQ(first.ending, RunResult::Exited);
    EXPECT_EQ(first.exitCode, 1618u);
    EXPECT_EQ(second.ending, RunResult::Exited);
    EXPECT_EQ(second.exitCode, 1618u);
    // the log in the current directory gained one three-line entry per run
    std::string log = test::ReadFileBytes(scratch + kLogName).value_or("(no log)");
    test::TakeLogEntry(log, kRefusal + kLogSeparator, before, after);
    test::TakeLogEntry(log, kRefusal + kLogSeparator, before, after);
    EXPECT_EQ(log, "");
    // nothing else changed: no target folder, no registry entry
    EXPECT_EQ(test::ListFolder(scratch), std::vector<std::wstring>{kLogName});
    EXPECT_FALSE(test::FolderExists(target));
    EXPECT_EQ(test::DumpRegistrationFootprint(), registryBefore);
    test::RemoveTree(scratch);
}

// The visible top-level windows of a process.
std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    struct Search {
        DWORD id;
        std::vector<HWND> found;
    } search{processId, {}};
    ::EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == s->id && ::IsWindowVisible(window)) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(Startup, DamagedSetupSaysSoBeforeTheWizardsFirstPageAndEndsWith1603) {
    test::ResetRegistrationFootprint();
    const std::wstring registryBefore = test::DumpRegistrationFootprint();
    const std::wstring scratch = test::MakeScratchFolder(L"startup-damaged");
    // the setup with one byte in the middle of its payload changed, as a bad download has it
    std::string setup = test::ReadFileBytes(test::SetupExePath()).value_or("");
    const std::string zip = test::ReadFileBytes(test::EnvironmentPath(L"PIXELMOOR_PAYLOAD_ZIP")).value_or("");
    const std::size_t payload = setup.find(zip.substr(0, 256));
    ASSERT_TRUE(!zip.empty() && payload != std::string::npos);
    setup[payload + zip.size() / 2] ^= 0x20;
    const std::wstring damaged = scratch + L"damaged.exe";
    ASSERT_TRUE(test::WriteFileBytes(damaged, setup));

    const test::StartedProgram run(L"\"" + damaged + L"\"", scratch);
    const test::gui::WizardDriver wizard(run.id());
    const std::optional<test::gui::MessageBoxState> box = wizard.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, L"Pixelmoor 64-bit Setup");
    EXPECT_EQ(box->text,
              L"Die Setup-Datei ist besch\u00e4digt oder unvollst\u00e4ndig. Bitte laden Sie sie erneut herunter.");
    EXPECT_TRUE(box->icon == test::gui::BoxIcon::kError || box->icon == test::gui::BoxIcon::kUnknown);
    ASSERT_EQ(box->buttons.size(), 1u);
    // the box is all the setup shows: no wizard behind it
    EXPECT_EQ(VisibleWindowsOf(run.id()), std::vector<HWND>{box->window});
    ASSERT_TRUE(wizard.Answer(*box, IDOK));
    // and after it none: the setup ends, as failed
    EXPECT_EQ(wizard.WaitForExit(10000), std::optional<DWORD>(1603u));
    // nothing written: no log (the wizard keeps none), no registration
    EXPECT_EQ(test::ListFolder(scratch), std::vector<std::wstring>{L"damaged.exe"});
    EXPECT_EQ(test::DumpRegistrationFootprint(), registryBefore);
    test::RemoveTree(scratch);
}

TEST(Startup, OnlyTheExactLowerCaseSwitchChoosesSilentMode) {
    struct Case {
        std::wstring arguments;
        bool silent;
    } cases[] = {
        {L"/SILENT", false},              // capitals: the wizard road
        {L"/Silent", false},              // capital initial: the wizard road
        {L"/silently", true},             // contains "/silent"
        {L"/folder=C:\\x/silent", true},  // no blank needed before it
    };
    // The viewer stand-in runs, so a silent run ends with the refusal and
    // installs nothing; the wizard road neither logs nor installs.
    RunningViewer viewer;
    ASSERT_TRUE(viewer);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        test::ResetRegistrationFootprint();
        const std::wstring scratch = test::MakeScratchFolder(L"startup-mode");
        const std::wstring target = scratch + L"target";
        const RunResult result = RunSetup(cases[i].arguments + L" /folder=" + target, scratch);
        if (cases[i].silent) {
            EXPECT_EQ(result.ending, RunResult::Exited) << "case " << i;
            EXPECT_EQ(result.exitCode, 1618u) << "case " << i;
            EXPECT_TRUE(test::FileExists(scratch + kLogName)) << "case " << i;
        } else {
            EXPECT_TRUE(TookTheWizardRoad(result)) << "case " << i;
            EXPECT_FALSE(test::FileExists(scratch + kLogName)) << "case " << i;
        }
        EXPECT_FALSE(test::FolderExists(target)) << "case " << i;
        EXPECT_FALSE(test::RegKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pixelmoor")) << "case " << i;
        test::RemoveTree(scratch);
    }
}

TEST(Startup, SilentInTheProgramsOwnPathIsNoSwitch) {
    // A copy of the setup kept where its path holds "/silent" once written
    // with forward slashes; the viewer stand-in runs, so a silent run would
    // end at once with 1618 and a log.
    const std::wstring scratch = test::MakeScratchFolder(L"startup-program-path");
    const std::wstring folder = scratch + L"silent-installers";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring copy = folder + L"\\setup.exe";
    ASSERT_TRUE(::CopyFileW(test::SetupExePath().c_str(), copy.c_str(), FALSE));
    std::wstring slashed = copy;
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    RunningViewer viewer;
    ASSERT_TRUE(viewer);
    struct Case {
        std::wstring line;
        bool silent;
    } cases[] = {
        {L"\"" + slashed + L"\"", false},                // quoted, no switches: the wizard
        {L"\"" + slashed + L"\" /folder=X:\\y", false},  // no "/silent" among the arguments
        {L"\"" + slashed + L"\" /silent", true},         // the switch itself still counts
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const RunResult result = RunLine(cases[i].line, scratch);
        if (cases[i].silent) {
            EXPECT_EQ(result.ending, RunResult::Exited) << "case " << i;
            EXPECT_EQ(result.exitCode, 1618u) << "case " << i;
            EXPECT_TRUE(test::FileExists(scratch + kLogName)) << "case " << i;
        } else {
            EXPECT_TRUE(TookTheWizardRoad(result)) << "case " << i;
            EXPECT_FALSE(test::FileExists(scratch + kLogName)) << "case " << i;
        }
    }
    test::RemoveTree(scratch);
}

TEST(Startup, SilentExitCodeTellsWhetherTheInstallationRanToItsEnd) {
    test::ResetRegistrationFootprint();
    const std::wstring scratch = test::MakeScratchFolder(L"startup-exit");
    const std::wstring target = scratch + L"target";

    // an empty folder value: the driver stops with message 5 in the log
    const int before = test::SecondOfDayNow();
    const RunResult failed = RunSetup(L"/silent /folder=", scratch);
    const int after = test::SecondOfDayNow();
    EXPECT_EQ(failed.ending, RunResult::Exited);
    EXPECT_EQ(failed.exitCode, 1603u);
    std::string log = test::ReadFileBytes(scratch + kLogName).value_or("(no log)");
    test::TakeLogEntry(log, "Ung\xfcltiges Zielverzeichnis!: \r\n" + kLogSeparator, before, after);
    EXPECT_EQ(log, "");

    // a folder that can be made: the installation runs to its end and logs nothing
    ASSERT_TRUE(::DeleteFileW((scratch + kLogName).c_str()));
    const RunResult installed = RunSetup(L"/silent /folder=" + target, scratch);
    EXPECT_EQ(installed.ending, RunResult::Exited);
    EXPECT_EQ(installed.exitCode, 0u);
    EXPECT_TRUE(test::FolderExists(target));
    EXPECT_FALSE(test::FileExists(scratch + kLogName));

    test::ResetRegistrationFootprint();
    test::RemoveTree(scratch);
}

// The full log read back: the UTF-8 byte-order mark once at the start, then
// lines that are each valid UTF-8, end in CR LF and begin with the local date
// and time (YYYY-MM-DD HH:MM:SS.mmm); given without that time, and with each
// step's duration written " (ms)". Empty with a failure when it is not so.
std::vector<std::wstring> RunLogLines(const std::wstring& path) {
    const std::string bytes = test::ReadFileBytes(path).value_or("");
    EXPECT_TRUE(bytes.starts_with("\xEF\xBB\xBF")) << "no byte-order mark";
    std::vector<std::wstring> lines;
    std::size_t at = 3;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            ADD_FAILURE() << "a line without its CR LF at the end: " << bytes.substr(at);
            return {};
        }
        const std::string line = bytes.substr(at, end - at);
        at = end + 2;
        std::wstring text(line.size(), L'\0');
        text.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, line.data(),
                                                                   static_cast<int>(line.size()), text.data(),
                                                                   static_cast<int>(text.size()))));
        if (text.empty() || text.size() < 24 || text[4] != L'-' || text[10] != L' ' || text[19] != L'.') {
            ADD_FAILURE() << "not a UTF-8 log line with its time: " << line;
            return {};
        }
        text.erase(0, 24);
        // "(176 ms)" -> "(ms)": durations vary.
        if (const std::size_t open = text.rfind(L" ("); open != std::wstring::npos && text.ends_with(L" ms)"))
            text = text.substr(0, open) + L" (ms)";
        lines.push_back(text);
    }
    return lines;
}

// Whether text matches a pattern in which each "*" stands for any run of characters.
bool Matches(std::wstring_view text, std::wstring_view pattern) {
    const std::size_t star = pattern.find(L'*');
    if (star == std::wstring_view::npos) return text == pattern;
    if (!text.starts_with(pattern.substr(0, star))) return false;
    for (std::size_t from = star; from <= text.size(); ++from)
        if (Matches(text.substr(from), pattern.substr(star + 1))) return true;
    return false;
}

// The log's lines against the patterns, one for one.
void ExpectLines(const std::vector<std::wstring>& lines, const std::vector<std::wstring>& patterns) {
    for (std::size_t i = 0; i < std::max(lines.size(), patterns.size()); ++i) {
        const std::wstring line = i < lines.size() ? lines[i] : L"(missing)";
        const std::wstring pattern = i < patterns.size() ? patterns[i] : L"(none)";
        EXPECT_TRUE(Matches(line, pattern))
            << "line " << i << ": " << test::Narrow(line) << "\n expected " << test::Narrow(pattern);
    }
}

// The payload's files and their unpacked bytes, as the log counts them.
std::wstring PayloadTotalsText() {
    std::size_t files = 0;
    unsigned long long bytes = 0;
    for (const test::ZipEntry& entry : test::ReadZipEntries(test::EnvironmentPath(L"PIXELMOOR_PAYLOAD_ZIP"))) {
        if (entry.name.ends_with('/')) continue;
        ++files;
        bytes += entry.size;
    }
    return std::to_wstring(files) + L" Dateien, " + std::to_wstring(bytes) + L" Bytes";
}

std::vector<std::wstring> HeaderPatterns(const std::wstring& commandLine, const wchar_t* road) {
    return {L"Pixelmoor 64-bit Setup 4.75", L"Befehlszeile: " + commandLine, L"Windows *.*.*", road,
            L"Setup-Datei: unversehrt (ms)"};
}

TEST(Startup, FullLogRecordsEveryStepOfASuccessfulAndAFailingRunAndAppends) {
    test::ResetRegistrationFootprint();
    const std::wstring scratch = test::MakeScratchFolder(L"startup-full-log");
    const std::wstring target = scratch + L"Ziel \u00d6rdner";
    // In a folder that does not exist yet, with a blank in its name.
    const std::wstring log = scratch + L"Logs neu\\setup.log";
    const std::wstring setup = L"\"" + test::SetupExePath() + L"\"";

    const std::wstring installLine =
        setup + L" /silent \"/folder=" + target + L"\" /group=1 /desktop=1 /assoc=1 \"/log=" + log + L"\"";
    EXPECT_EQ(RunLine(installLine, scratch).exitCode, 0u);
    std::vector<std::wstring> expected = HeaderPatterns(installLine, L"Unbeaufsichtigte Installation");
    const std::vector<std::wstring> steps = {
        L"Zielverzeichnis: " + target,
        L"Verzeichnis " + target + L"\\: OK (ms)",
        L"Entpacken: OK, " + PayloadTotalsText() + L" (ms)",
        L"Einstellungen: " + test::EnvironmentValue(L"APPDATA") + L"\\Pixelmoor\\p_moor64.ini (ms)",
        L"Registrierung: * Werte geschrieben, 0 nicht geschrieben (ms)",
        L"Dateitypen: 51 gew\u00e4hlt, Shell benachrichtigt",
    };
    expected.insert(expected.end(), steps.begin(), steps.end());
    // The start-menu group's nine shortcuts, then the desktop's.
    for (int i = 0; i < 9; ++i) expected.push_back(L"Verkn\u00fcpfung *\\Pixelmoor\\*.lnk: OK");
    const std::vector<std::wstring> end = {
        L"Verkn\u00fcpfung *\\Desktop\\Pixelmoor 64.lnk: OK",
        L"Verkn\u00fcpfungen: 10 Verkn\u00fcpfungen (ms)",
        L"Einstellungen nach UTF-16: OK (ms)",
        L"Installation abgeschlossen",
        L"Setup beendet, Exit-Code 0",
    };
    expected.insert(expected.end(), end.begin(), end.end());
    ExpectLines(RunLogLines(log), expected);
    // The failure log stays as it was: a successful run writes none.
    EXPECT_FALSE(test::FileExists(scratch + kLogName));

    // A failing run adds its lines to the same log; the failure log gets its
    // entry exactly as without the full log.
    const std::wstring failLine = setup + L" /silent /folder=relativ\\x \"/log=" + log + L"\"";
    const int before = test::SecondOfDayNow();
    EXPECT_EQ(RunLine(failLine, scratch).exitCode, 1603u);
    const int after = test::SecondOfDayNow();
    const std::vector<std::wstring> failed = {
        L"Zielverzeichnis: relativ\\x",
        L"Abbruch: Ung\u00fcltiges Zielverzeichnis!: relativ\\x",
        L"Setup beendet, Exit-Code 1603",
    };
    std::vector<std::wstring> failedRun = HeaderPatterns(failLine, L"Unbeaufsichtigte Installation");
    failedRun.insert(failedRun.end(), failed.begin(), failed.end());
    expected.insert(expected.end(), failedRun.begin(), failedRun.end());
    ExpectLines(RunLogLines(log), expected);
    std::string failureLog = test::ReadFileBytes(scratch + kLogName).value_or("(no log)");
    test::TakeLogEntry(failureLog, "Ung\xfcltiges Zielverzeichnis!: relativ\\x\r\n" + kLogSeparator, before, after);
    EXPECT_EQ(failureLog, "");

    // A log that cannot be made (its folder would have to be inside a file)
    // stops nothing; the failure log says so.
    ASSERT_TRUE(::DeleteFileW((scratch + kLogName).c_str()));
    ASSERT_TRUE(test::WriteFileBytes(scratch + L"eine Datei", "x"));
    const std::wstring unwritable = scratch + L"eine Datei\\setup.log";
    EXPECT_EQ(RunLine(setup + L" /silent \"/folder=" + target + L"\" \"/log=" + unwritable + L"\"", scratch).exitCode,
              0u);
    failureLog = test::ReadFileBytes(scratch + kLogName).value_or("(no log)");
    // Its entry is all that the failure log gains.
    test::TakeLogEntry(failureLog,
                       "Protokolldatei kann nicht geschrieben werden: " + test::Narrow(unwritable) + "\r\n" +
                           kLogSeparator,
                       before, test::SecondOfDayNow());
    EXPECT_EQ(failureLog, "");
    EXPECT_EQ(test::EntriesNotWhole(target + L"\\", test::EnvironmentPath(L"PIXELMOOR_PAYLOAD_ZIP")),
              std::vector<std::string>{});

    test::ResetRegistrationFootprint();
    test::RemoveTree(scratch);
}

TEST(Startup, FullLogOfARunEndedFromOutsideHoldsEveryLineUpToThen) {
    test::ResetRegistrationFootprint();
    const std::wstring scratch = test::MakeScratchFolder(L"startup-killed-log");
    const std::wstring log = scratch + L"setup.log";
    const std::wstring setup = L"\"" + test::SetupExePath() + L"\"";

    // Killed while it unpacks: the lines written so far are whole.
    const std::wstring line = setup + L" /silent /folder=" + scratch + L"ziel /log=" + log;
    {
        const test::StartedProgram run(line, scratch);
        ASSERT_TRUE(run);
        for (int waited = 0; waited < 30000; waited += 2) {
            if (test::ReadFileBytes(log).value_or("").find("Zielverzeichnis") != std::string::npos) break;
            ::Sleep(2);
        }
        run.Terminate();
        ASSERT_TRUE(run.WaitForExit(10000).has_value());
    }
    std::vector<std::wstring> lines = RunLogLines(log);
    ASSERT_GE(lines.size(), 6u);
    ExpectLines({lines.begin(), lines.begin() + 6},
                {L"Pixelmoor 64-bit Setup 4.75", L"Befehlszeile: " + line, L"Windows *.*.*",
                 L"Unbeaufsichtigte Installation", L"Setup-Datei: unversehrt (ms)",
                 L"Zielverzeichnis: " + scratch + L"ziel"});
    EXPECT_TRUE(std::none_of(lines.begin(), lines.end(),
                             [](const std::wstring& l) { return l.starts_with(L"Setup beendet"); }));

    // The wizard honours the switch: closed from outside, its log names the road.
    ASSERT_TRUE(::DeleteFileW(log.c_str()));
    const std::wstring wizardLine = setup + L" /log=" + log;
    EXPECT_EQ(RunLine(wizardLine, scratch).ending, RunResult::ShowedWindow);
    ExpectLines(RunLogLines(log), HeaderPatterns(wizardLine, L"Assistent"));

    test::ResetRegistrationFootprint();
    test::RemoveTree(scratch);
}

// The Windows path by which drive Z: (the host's root) reaches a folder
// that exists: another drive letter for the same folder.
std::wstring ThroughDriveZ(const std::wstring& folder) {
    const std::string host = test::HostPath(folder);
    std::wstring path = L"Z:";
    for (const char c : host) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

TEST(Startup, FullLogIsNeverAFileOfTheInstallationAFailureLogOrSomeoneElsesFile) {
    const std::wstring scratch = test::MakeScratchFolder(L"startup-log-paths");
    const std::wstring target = scratch + L"Ziel";
    const std::wstring payload = test::EnvironmentPath(L"PIXELMOOR_PAYLOAD_ZIP");
    const std::string ourLog =
        "\xEF\xBB\xBF"
        "2026-12-08 07:05:09.042 Pixelmoor 64-bit Setup 4.75\r\n";
    // 255 characters that name one of our logs; a longer value begins with them.
    const std::wstring earlierLog = scratch + std::wstring(255 - scratch.size() - 4, L'l') + L".log";
    const struct {
        const char* what;
        std::wstring log;                     // the /log= value
        std::wstring watched;                 // a file whose bytes are looked at
        std::optional<std::string> before;    // its bytes before the run (none: absent)
        std::optional<std::string> after;     // afterwards (none: absent); "" stands for a new full log
        std::optional<std::wstring> refused;  // the failure log's entry names this path
    } rows[] = {
        // the viewer of the folder being installed: the log would be appended to it (and the update fail)
        {"a payload file", target + L"\\p_moor64.exe", scratch + L"unused", std::nullopt, std::nullopt,
         target + L"\\p_moor64.exe"},
        // the same file through another drive letter and other capitals
        {"a payload file elsewhere written", ThroughDriveZ(scratch) + L"ZIEL\\PLUGINS\\RASTER.DLL", scratch + L"unused",
         std::nullopt, std::nullopt, ThroughDriveZ(scratch) + L"ZIEL\\PLUGINS\\RASTER.DLL"},
        // the failure log itself (which would hold UTF-8 and Latin-1 lines): it gets its entry alone
        {"the failure log", L"Pixelmoor_Install.log", scratch + L"unused", std::nullopt, std::nullopt,
         L"Pixelmoor_Install.log"},
        // the uninstaller's failure log, in any folder and capitals: not even its folder is made
        {"the uninstaller's log", scratch + L"Logs\\PIXELMOOR_UNINSTALL.LOG", scratch + L"Logs", std::nullopt,
         std::nullopt, scratch + L"Logs\\PIXELMOOR_UNINSTALL.LOG"},
        // a value over 255 characters is not cut into the log that its first 255 name
        {"a long value", earlierLog + L"\\weiter.log", earlierLog, ourLog, ourLog, earlierLog + L"\\weiter.log"},
        // a user's own file stays as it is
        {"a user's file", scratch + L"Brief.txt", scratch + L"Brief.txt", "Liebe Frau Maier,\r\n",
         "Liebe Frau Maier,\r\n", scratch + L"Brief.txt"},
        // an empty file becomes the log
        {"an empty file", scratch + L"leer.log", scratch + L"leer.log", "", "", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        test::ResetRegistrationFootprint();
        test::RemoveTree(target);
        test::RemoveTree(scratch + L"Pixelmoor_Install.log");
        if (row.before) {
            ASSERT_TRUE(test::WriteFileBytes(row.watched, *row.before));
        }
        const int before = test::SecondOfDayNow();
        const RunResult run = RunSetup(L"/silent \"/folder=" + target + L"\" \"/log=" + row.log + L"\"", scratch);
        EXPECT_EQ(run.ending, RunResult::Exited);
        EXPECT_EQ(run.exitCode, 0u);
        // Installed whole, whatever the log.
        EXPECT_EQ(test::EntriesNotWhole(target + L"\\", payload), std::vector<std::string>{});
        std::string failureLog = test::ReadFileBytes(scratch + kLogName).value_or("");
        if (row.refused) {
            test::TakeLogEntry(
                failureLog,
                "Protokolldatei kann nicht geschrieben werden: " + test::Narrow(*row.refused) + "\r\n" + kLogSeparator,
                before, test::SecondOfDayNow());
        }
        EXPECT_EQ(failureLog, "");
        const std::optional<std::string> watched = test::ReadFileBytes(row.watched);
        if (row.after && row.after->empty()) {
            ASSERT_TRUE(watched);
            EXPECT_TRUE(watched->starts_with("\xEF\xBB\xBF")) << *watched;
            EXPECT_NE(watched->find("Setup beendet, Exit-Code 0"), std::string::npos) << *watched;
        } else {
            EXPECT_EQ(watched, row.after);
            EXPECT_FALSE(test::FolderExists(row.watched));
        }
        test::RemoveTree(row.watched);
    }
    test::ResetRegistrationFootprint();
    test::RemoveTree(scratch);
}

TEST(Startup, HelpShowsTheUsageOnTheConsoleOfItsStarterAndInstallsNothing) {
    test::ResetRegistrationFootprint();
    const std::wstring registryBefore = test::DumpRegistrationFootprint();
    const std::wstring scratch = test::MakeScratchFolder(L"startup-help");
    const std::wstring console = scratch + L"console.txt";
    // As typed into a console window: the launcher makes a console of its
    // own, starts the setup from it and writes out what it shows afterwards.
    for (const wchar_t* arguments : {L"/?", L"/help", L"/HELP /silent /folder=C:\\x"}) {
        SCOPED_TRACE(test::Narrow(arguments));
        EXPECT_EQ(test::RunProgram(L"\"" + test::EnvironmentPath(L"PIXELMOOR_LAUNCH_EXE") + L"\" --console-to \"" +
                                       console + L"\" \"" + test::SetupExePath() + L"\" " + arguments,
                                   scratch, 60000),
                  0u);
        const std::string shown = test::ReadFileBytes(console).value_or("(nothing)");
        EXPECT_TRUE(shown.starts_with("Pixelmoor 64-bit Setup 4.75\n\nAufruf:\n")) << shown;
        for (const char* part : {"/silent [Schalter]", "/log=<Datei>", "vollst\xc3\xa4ndiges Protokoll",
                                 "Pixelmoor_Install.log", "Exit-Codes:", "  1603  ", "  1618  "})
            EXPECT_NE(shown.find(part), std::string::npos) << part;
        // Nothing installed, nothing logged.
        EXPECT_EQ(test::ListFolder(scratch), std::vector<std::wstring>{L"console.txt"});
        EXPECT_FALSE(test::FolderExists(L"C:\\x"));
        EXPECT_EQ(test::DumpRegistrationFootprint(), registryBefore);
        ASSERT_TRUE(::DeleteFileW(console.c_str()));
    }
    test::RemoveTree(scratch);
}

}  // namespace
}  // namespace pixelmoor
