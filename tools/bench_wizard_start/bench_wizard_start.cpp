// Times the wizard's start for tools/bench-wizard-start.sh; not a test.
// Each run measures, with QueryPerformanceCounter, from just before the
// setup's process is created to the first look that finds the welcome page
// shown: the sheet found by its title and visible, the page of template 101
// active and visible, with its headline and folder box created and visible.
// One run before the measured ones warms up the Wine server and the caches.
//   bench_wizard_start.exe <setup path> [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/gui_driver.h"
#include "tests/support/win_test_support.h"

namespace {

namespace gui = pixelmoor::test::gui;
using pixelmoor::test::StartedProgram;

constexpr int kWelcomePage = 101;
constexpr int kWelcomeControls[] = {1013, 1000};  // headline, folder box
constexpr double kGiveUpMs = 30000;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

bool WelcomePageShown(gui::WizardDriver& wizard) {
    if (!wizard.sheet() && !wizard.WaitForSheet(0)) return false;
    if (!::IsWindowVisible(wizard.sheet())) return false;
    const std::optional<gui::PageState> page = wizard.ActivePage();
    if (!page || page->templateId != kWelcomePage || !::IsWindowVisible(page->window)) return false;
    for (int id : kWelcomeControls) {
        const HWND control = ::GetDlgItem(page->window, id);
        if (!control || !::IsWindowVisible(control)) return false;
    }
    return true;
}

// One start of the setup; the time to its welcome page, or nullopt when it
// did not show within kGiveUpMs.
std::optional<double> TimeOneStart(const std::wstring& commandLine) {
    LARGE_INTEGER start, now;
    ::QueryPerformanceCounter(&start);
    StartedProgram setup(commandLine);
    if (!setup) return std::nullopt;
    gui::WizardDriver wizard(setup.id());
    for (;;) {
        const bool shown = WelcomePageShown(wizard);
        ::QueryPerformanceCounter(&now);
        if (shown) break;
        if (Milliseconds(start, now) > kGiveUpMs || wizard.WaitForExit(0)) return std::nullopt;
        ::Sleep(1);
    }
    setup.Terminate();
    return Milliseconds(start, now);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: bench_wizard_start.exe <setup path> [runs]\n", stderr);
        return 2;
    }
    const std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
    const int runs = argc > 2 ? std::max(1, static_cast<int>(std::wcstol(argv[2], nullptr, 10))) : 7;

    if (!TimeOneStart(commandLine)) {
        std::fputs("the welcome page did not show\n", stderr);
        return 1;
    }
    std::vector<double> times;
    for (int run = 1; run <= runs; ++run) {
        const std::optional<double> ms = TimeOneStart(commandLine);
        if (!ms) {
            std::fprintf(stderr, "run %d: the welcome page did not show\n", run);
            return 1;
        }
        std::printf("run %d %.1f ms\n", run, *ms);
        std::fflush(stdout);
        times.push_back(*ms);
    }
    std::sort(times.begin(), times.end());
    const size_t middle = times.size() / 2;
    const double median = times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
    std::printf("median %.1f ms of %d runs (min %.1f, max %.1f)\n", median, runs, times.front(), times.back());
    return 0;
}
