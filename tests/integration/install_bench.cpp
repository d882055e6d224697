// Times complete silent installations, each from a clean state: first the
// setup program end to end, then the same installation step by step in this
// process, so that unpacking, settings and registration can be told apart.
//   install_bench.exe <setup.exe> [runs]
// Not a test: tools/bench-install.sh runs it in a fresh Wine prefix.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/embedded_archive.h"
#include "archive/folder_path.h"
#include "framework/unique_handle.h"
#include "install/install_folder_rules.h"
#include "install/version_probe.h"
#include "install/viewer_settings.h"
#include "integration/format_table.h"
#include "integration/registration.h"
#include "tests/integration/registration_checks.h"
#include "tests/support/win_test_support.h"

namespace {

using namespace pixelmoor;

constexpr wchar_t kFolder[] = L"D:\\Bench\\Pixelmoor";
constexpr wchar_t kSwitches[] = L" /silent /folder=D:\\Bench\\Pixelmoor /group=1 /assoc=1";

class Stopwatch {
public:
    Stopwatch() { ::QueryPerformanceCounter(&start_); }
    // Milliseconds since the start or the previous lap.
    double Lap() {
        LARGE_INTEGER now, frequency;
        ::QueryPerformanceCounter(&now);
        ::QueryPerformanceFrequency(&frequency);
        const double ms = 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) / frequency.QuadPart;
        start_ = now;
        return ms;
    }

private:
    LARGE_INTEGER start_;
};

// Everything an installation leaves: folder, settings folder, shortcuts, registry.
void ResetMachine(const std::wstring& neutralFolder) {
    ::SetCurrentDirectoryW(neutralFolder.c_str());  // the unpacking leaves the install folder current
    test::ResetRegistrationFootprint();
    test::ResetShortcuts();
    test::RemoveTree(kFolder);
    test::RemoveTree(ExpandIniFolder(kDefaultSettingsFolder));
}

struct Figures {
    double setup = 0;  // the setup program, start to end
    double prepare = 0, unpack = 0, settings = 0, registration = 0;
};

// The steps of RunInstallation for the typical silent command line.
Figures TimeSteps(HMODULE setupModule) {
    Figures f;
    Stopwatch watch;
    std::wstring folder = kFolder;
    [[maybe_unused]] const int ready = EnsureFolderPath(folder);
    const int keepIconLibrary = IconLibraryRule(folder);
    f.prepare = watch.Lap();
    if (ExtractEmbeddedArchive(setupModule, folder, keepIconLibrary) != 0) std::fputs("unpacking failed\n", stderr);
    f.unpack = watch.Lap();
    std::wstring iniFolder = kDefaultSettingsFolder;
    const std::wstring settings = WriteViewerSettings(kFolder, iniFolder, 1);
    f.settings = watch.Lap();
    const AssocSwitchChoice images = SelectionForAssocValue(1);
    RegisterApplication(images.associate, kFolder, 1, 0, 0, 0, images.selection);
    f.registration = watch.Lap();
    if (UniqueFile file = OpenForReading(settings)) ConvertSettingsToUtf16(settings, std::move(file));
    f.settings += watch.Lap();
    return f;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: install_bench.exe <setup.exe> [runs]\n", stderr);
        return 2;
    }
    const std::wstring setup = argv[1];
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;
    UniqueModule setupModule(
        ::LoadLibraryExW(setup.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!setupModule) {
        std::fprintf(stderr, "cannot load %ls\n", setup.c_str());
        return 2;
    }
    const std::wstring neutral = test::MakeScratchFolder(L"bench");

    std::vector<Figures> all;
    std::printf("run   setup.exe |  prepare   unpack  settings  registration  (ms)\n");
    for (int run = 1; run <= runs; ++run) {
        ResetMachine(neutral);
        Figures f;
        Stopwatch watch;
        const auto code = test::RunProgram(L"\"" + setup + L"\"" + kSwitches, neutral);
        f.setup = watch.Lap();
        if (code != 0u) std::fprintf(stderr, "the setup ended with %lu\n", code ? *code : 9999ul);
        ResetMachine(neutral);
        const Figures steps = TimeSteps(setupModule.get());
        f.prepare = steps.prepare;
        f.unpack = steps.unpack;
        f.settings = steps.settings;
        f.registration = steps.registration;
        all.push_back(f);
        std::printf("%3d %11.1f | %8.1f %8.1f %9.1f %13.1f\n", run, f.setup, f.prepare, f.unpack, f.settings,
                    f.registration);
    }
    const auto median = [&all](double Figures::*field) {
        std::vector<double> values;
        for (const Figures& f : all) values.push_back(f.*field);
        return Median(values);
    };
    const double setupMs = median(&Figures::setup);
    const double steps = median(&Figures::prepare) + median(&Figures::unpack) + median(&Figures::settings) +
                         median(&Figures::registration);
    std::printf("median %7.1f | %8.1f %8.1f %9.1f %13.1f\n", setupMs, median(&Figures::prepare),
                median(&Figures::unpack), median(&Figures::settings), median(&Figures::registration));
    std::printf("setup program start, command line and end (setup.exe less the steps): %.1f ms\n", setupMs - steps);
    ResetMachine(neutral);
    ::SetCurrentDirectoryW(L"C:\\");
    test::RemoveTree(neutral);
    return 0;
}
