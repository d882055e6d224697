// Moving an installation, below the setup: which earlier uninstaller is
// started, and how long it is waited for, with a stand-in program planted
// under the uninstaller's name and a wait of two seconds.
#include "install/earlier_installation.h"

#include <gtest/gtest.h>

#include <future>
#include <string>

#include "framework/sha256.h"
#include "framework/unique_handle.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using test::FileExists;

constexpr DWORD kShortWaitMs = 2000;

std::wstring DigestOfFile(const std::wstring& path) {
    const std::optional<std::string> bytes = test::ReadFileBytes(path);
    Sha256 hasher;
    if (bytes) hasher.Update(std::as_bytes(std::span(bytes->data(), bytes->size())));
    return Sha256Text(hasher.Finish());
}

// Ends the planted program that left its process id in the mark.
void EndPlantedProgram(const std::wstring& mark) {
    const std::optional<std::string> id = test::ReadFileBytes(mark);
    if (!id || id->empty()) return;
    const UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, std::stoul(*id)));
    if (!process) return;
    ::TerminateProcess(process.get(), 1);
    ::WaitForSingleObject(process.get(), 10000);
}

TEST(EarlierInstallation, OnlyTheRecordedUninstallerStartsAndIsWaitedForABoundedTime) {
    const std::wstring scratch = test::MakeScratchFolder(L"earlier-installation");
    const std::wstring earlier = scratch + L"Alt\\";
    const std::wstring installed = scratch + L"Neu\\";
    const std::wstring program = earlier + L"pm_uninstall.exe";
    const std::wstring mark = earlier + L"fake-ran.txt";
    const std::wstring fake = test::EnvironmentPath(L"PIXELMOOR_FAKE_UNINSTALLER_EXE");
    ASSERT_TRUE(::CreateDirectoryW(installed.c_str(), nullptr));
    const std::wstring stays = L"Bisherige Installation in " + earlier + L" bleibt: ";
    const std::wstring fakeDigest = DigestOfFile(fake);
    const struct {
        const char* what;
        bool planted;            // the stand-in lies in the earlier folder as pm_uninstall.exe
        std::wstring recorded;   // the digest that the uninstall entry records
        std::wstring installed;  // the folder just installed into
        std::optional<std::wstring> report;
        bool ran;
    } rows[] = {
        // a stranger's program: its digest is not the one recorded
        {"not the recorded one", true, std::wstring(64, L'0'), installed,
         stays + L"pm_uninstall.exe ist nicht das eingetragene Deinstallationsprogramm (SHA-256 weicht ab), nicht "
                 L"gestartet",
         false},
        // an installation of a release that recorded no digest: nothing is started on trust
        {"nothing recorded", true, L"", installed,
         stays + L"keine Pr\u00fcfsumme seines pm_uninstall.exe eingetragen (Installation einer fr\u00fcheren "
                 L"Version), nicht gestartet",
         false},
        // no uninstaller there: the copy stays, and that is said
        {"no uninstaller", false, fakeDigest, installed, stays + L"kein pm_uninstall.exe dort", false},
        // the same folder, written in other capitals: an update in place, nothing to remove
        {"same folder", true, fakeDigest, scratch + L"ALT", std::nullopt, false},
        // the recorded one that never ends: left running after the wait, and said
        {"never ends", true, fakeDigest, installed,
         stays + L"pm_uninstall.exe nach 2 Sekunden nicht beendet, l\u00e4uft weiter", true},
    };
    ::SetEnvironmentVariableW(L"PIXELMOOR_FAKE_HANGS", L"1");
    for (const auto& row : rows) {
        test::RemoveTree(earlier);
        ASSERT_TRUE(::CreateDirectoryW(earlier.c_str(), nullptr)) << row.what;
        if (row.planted) {
            ASSERT_TRUE(::CopyFileW(fake.c_str(), program.c_str(), FALSE)) << row.what;
        }
        const EarlierInstallation recorded{earlier, row.recorded};
        std::future<std::optional<std::wstring>> removal = std::async(
            std::launch::async, [&] { return RemoveEarlierInstallation(recorded, row.installed, kShortWaitMs); });
        // While the uninstaller that was checked runs, nobody puts another in its place.
        bool swapRefused = true;
        for (int waited = 0; row.ran && waited < 10000 && !FileExists(mark); waited += 20) ::Sleep(20);
        if (row.ran) swapRefused = !::MoveFileExW(program.c_str(), (earlier + L"weg.exe").c_str(), 0);
        EXPECT_EQ(removal.get(), row.report) << row.what;
        EXPECT_EQ(FileExists(mark), row.ran) << row.what;
        EXPECT_TRUE(swapRefused) << row.what;
        EndPlantedProgram(mark);
    }
    ::SetEnvironmentVariableW(L"PIXELMOOR_FAKE_HANGS", nullptr);
    test::RemoveTree(scratch);
}

}  // namespace
}  // namespace pixelmoor
