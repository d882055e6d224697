// Times complete installations and their silent uninstallations, each pair
// from a clean state:
//   uninstall_bench.exe <setup.exe> [runs]
// The installation makes every choice (shortcuts everywhere, every file type),
// the uninstallation removes everything, settings included. Not a test:
// tools/bench-uninstall.sh runs it in a fresh Wine prefix.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/integration/registration_checks.h"
#include "tests/support/win_test_support.h"

namespace {

using namespace pixelmoor;

constexpr wchar_t kFolder[] = L"C:\\Program Files\\Pixelmoor\\";
constexpr wchar_t kInstall[] =
    L" /silent /folder=C:\\Program Files\\Pixelmoor /group=1 /desktop=1 /thumbs=1 /allusers=1 /assoc=2";
constexpr wchar_t kUninstall[] = L" /silent /purge";

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring TempFolder() {
    std::wstring path(MAX_PATH + 1, L'\0');
    path.resize(::GetTempPathW(MAX_PATH + 1, path.data()));
    return path;
}

void ResetMachine() {
    test::ResetRegistrationFootprint();
    test::ResetShortcuts();
    test::RemoveTree(kFolder);
    test::RemoveTree(test::EnvironmentValue(L"APPDATA") + L"\\Pixelmoor");
    // The uninstallers' own files left for the next restart.
    for (const std::wstring& name : test::ListFolder(TempFolder()))
        if (name.starts_with(L"pm_uninstall")) test::RemoveTree(TempFolder() + name);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: uninstall_bench.exe <setup.exe> [runs]\n", stderr);
        return 2;
    }
    const std::wstring setup = argv[1];
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 7;
    const std::wstring neutral = test::MakeScratchFolder(L"uninstall-bench");
    const std::wstring uninstaller = std::wstring(L"\"") + kFolder + L"pm_uninstall.exe\"";

    std::vector<double> installs, uninstalls;
    std::printf("run   install  uninstall  (ms)\n");
    for (int run = 1; run <= runs; ++run) {
        ResetMachine();
        LARGE_INTEGER start, installed, removed;
        ::QueryPerformanceCounter(&start);
        const auto installCode = test::RunProgram(L"\"" + setup + L"\"" + kInstall, neutral);
        ::QueryPerformanceCounter(&installed);
        const auto uninstallCode = test::RunProgram(uninstaller + kUninstall, neutral);
        ::QueryPerformanceCounter(&removed);
        if (installCode != 0u || uninstallCode != 0u || test::FileExists(std::wstring(kFolder) + L"p_moor64.exe")) {
            std::fprintf(stderr, "run %d: setup ended with %lu, uninstaller with %lu\n", run,
                         installCode.value_or(9999ul), uninstallCode.value_or(9999ul));
            return 1;
        }
        installs.push_back(Milliseconds(start, installed));
        uninstalls.push_back(Milliseconds(installed, removed));
        std::printf("%3d %9.1f %10.1f\n", run, installs.back(), uninstalls.back());
    }
    std::printf("median %6.1f %10.1f\n", Median(installs), Median(uninstalls));
    ResetMachine();
    ::SetCurrentDirectoryW(L"C:\\");
    test::RemoveTree(neutral);
    return 0;
}
