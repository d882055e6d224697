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

}  // namespace
}  // namespace pixelmoor
