// Times complete silent installations, each from a clean state: the setup
// program end to end, the setup program refusing at once (its start and end
// without the installation) next to a program that does nothing, and the same
// installation step by step in this process, so that every step can be told
// apart.
//   install_bench.exe <setup.exe> <nothing.exe> [runs] [--marks]
// With --marks each step is announced on stderr ("@@ <step>" before it runs,
// "@@ -" after it), so that a Wine trace can be cut into steps
// (tools/bench-install.sh --calls).
// Not a test: tools/bench-install.sh runs it in a fresh Wine prefix.
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/embedded_archive.h"
#include "archive/payload_facts.h"
#include "framework/folder_path.h"
#include "framework/unique_handle.h"
#include "install/install_folder_rules.h"
#include "install/version_probe.h"
#include "install/viewer_settings.h"
#include "integration/associations.h"
#include "integration/format_table.h"
#include "integration/registration_rules.h"
#include "integration/registry_apply.h"
#include "integration/shortcut_rules.h"
#include "integration/shortcuts.h"
#include "integration/windows_version.h"
#include "tests/integration/registration_checks.h"
#include "tests/support/win_test_support.h"

namespace {

using namespace pixelmoor;

constexpr wchar_t kFolder[] = L"D:\\Bench\\Pixelmoor";
constexpr wchar_t kSwitches[] = L" /silent /folder=D:\\Bench\\Pixelmoor /group=1 /desktop=1 /thumbs=1 /assoc=1";

bool marks = false;

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The figures of one run, by step name, in the order the steps ran.
struct Figures {
    std::vector<std::pair<std::string, double>> steps;

    // Runs one step and records its time.
    void Time(const char* name, const std::function<void()>& step) {
        if (marks) {
            std::fprintf(stderr, "@@ %s\n", name);
            std::fflush(stderr);
        }
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        step();
        ::QueryPerformanceCounter(&end);
        steps.emplace_back(name, Milliseconds(start, end));
        if (marks) {
            std::fputs("@@ -\n", stderr);
            std::fflush(stderr);
        }
    }
};

// Everything an installation leaves: folder, settings folder, shortcuts, registry.
void ResetMachine(const std::wstring& neutralFolder) {
    ::SetCurrentDirectoryW(neutralFolder.c_str());  // the unpacking leaves the install folder current
    test::ResetRegistrationFootprint();
    test::ResetShortcuts();
    test::RemoveTree(kFolder);
    test::RemoveTree(ExpandIniFolder(kDefaultSettingsFolder));
}

// A window of the viewer's class, so that the setup refuses to install.
class ViewerStandIn {
public:
    ViewerStandIn() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"Pixelmoor";
        ::RegisterClassW(&windowClass);
        window_ = ::CreateWindowW(L"Pixelmoor", L"", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    }
    ViewerStandIn(const ViewerStandIn&) = delete;
    ViewerStandIn& operator=(const ViewerStandIn&) = delete;
    ~ViewerStandIn() {
        if (window_) ::DestroyWindow(window_);
    }

private:
    HWND window_ = nullptr;
};

// The steps of RunInstallation and RegisterApplication for the benchmark's
// command line, each made through the same calls as the setup makes them.
Figures TimeSteps(HMODULE setupModule) {
    Figures f;
    std::wstring folder = kFolder;
    int keepIconLibrary = 0;
    f.Time("prepare folder", [&] {
        [[maybe_unused]] const int ready = EnsureFolderPath(folder);
        keepIconLibrary = IconLibraryRule(folder);
    });
    std::wstring copy;
    TemporaryCopy held;
    f.Time("temporary copy", [&] {
        const auto payload = PayloadBytes(setupModule);
        const auto path = TemporaryArchive();
        if (!payload || !path) return;
        copy = *path;
        held = WriteTemporaryCopy(copy, *payload);
    });
    f.Time("unpack", [&] {
        if (!held || ExtractArchiveBytes(held.view.bytes(), folder, keepIconLibrary) != 0)
            std::fputs("unpacking failed\n", stderr);
        held = {};
    });
    std::wstring settings;
    f.Time("settings", [&] {
        std::wstring iniFolder = kDefaultSettingsFolder;
        settings = WriteViewerSettings(kFolder, iniFolder, 1);
    });

    const AssociationSelection images = ImageRowSelection();
    const RegistrationTexts texts = BuildRegistrationTexts(kFolder);
    // The shortcuts are saved on worker threads while the registry is
    // written and the shell is notified, as the registration does it: the
    // start (folders looked up, the group made), the registry writes and the
    // notices with the saves beside them, and what is left to wait for.
    std::optional<ShortcutWriter> shortcuts;
    f.Time("shortcuts started", [&] {
        std::vector<ShortcutJob> jobs = StartMenuGroupJobs(texts.folder, 0);
        const ShortcutLink links[] = {ViewerDesktopLink(texts.viewer), ThumbnailsDesktopLink(texts.viewer)};
        for (ShortcutJob& job : DesktopJobs(links, 0)) jobs.push_back(std::move(job));
        shortcuts.emplace(std::move(jobs));
    });
    f.Time("registry writes, shortcuts beside",
           [&] { ApplyRegistryWrites(RegistrationWrites(texts, true, images, HidesStoreApps(), PayloadInstalledSizeKb())); });
    f.Time("icon notice",
           [&] { ::SystemParametersInfoW(SPI_SETICONS, 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE); });
    f.Time("association notice", [&] { ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSHNOWAIT, nullptr, nullptr); });
    f.Time("shortcuts left to wait for", [&] { (void)shortcuts->Wait(); });
    f.Time("settings conversion", [&] {
        if (UniqueFile file = OpenForReading(settings)) ConvertSettingsToUtf16(settings, std::move(file));
    });
    return f;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The time of one program run from the neutral folder, start to end.
double TimeProgram(const std::wstring& commandLine, const std::wstring& neutral, DWORD expectedCode) {
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    const auto code = test::RunProgram(commandLine, neutral);
    ::QueryPerformanceCounter(&end);
    if (code != expectedCode) std::fprintf(stderr, "%ls ended with %lu\n", commandLine.c_str(), code ? *code : 9999ul);
    return Milliseconds(start, end);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fputs("usage: install_bench.exe <setup.exe> <nothing.exe> [runs] [--marks]\n", stderr);
        return 2;
    }
    const std::wstring setup = argv[1];
    const std::wstring nothing = argv[2];
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
    marks = argc > 4 && std::wstring(argv[4]) == L"--marks";
    UniqueModule setupModule(
        ::LoadLibraryExW(setup.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!setupModule) {
        std::fprintf(stderr, "cannot load %ls\n", setup.c_str());
        return 2;
    }
    const std::wstring neutral = test::MakeScratchFolder(L"bench");

    std::vector<Figures> all;
    for (int run = 1; run <= runs; ++run) {
        Figures f;
        ResetMachine(neutral);
        f.Time("setup.exe, whole installation", [&] { TimeProgram(L"\"" + setup + L"\"" + kSwitches, neutral, 0); });
        {
            const ViewerStandIn viewer;
            f.Time("setup.exe, refusing at once",
                   [&] { TimeProgram(L"\"" + setup + L"\"" + kSwitches, neutral, 1618); });
        }
        ::DeleteFileW((neutral + L"Pixelmoor_Install.log").c_str());
        f.Time("nothing.exe (process floor)", [&] { TimeProgram(L"\"" + nothing + L"\"", neutral, 0); });
        ResetMachine(neutral);
        const Figures steps = TimeSteps(setupModule.get());
        f.steps.insert(f.steps.end(), steps.steps.begin(), steps.steps.end());
        all.push_back(f);
    }

    std::printf("median of %d runs, milliseconds\n", runs);
    double inProcess = 0;
    for (std::size_t i = 0; i < all.front().steps.size(); ++i) {
        std::vector<double> values;
        for (const Figures& f : all) values.push_back(f.steps[i].second);
        const double median = Median(values);
        if (i >= 3) inProcess += median;
        std::printf("  %-34s %8.1f\n", all.front().steps[i].first.c_str(), median);
    }
    std::printf("  %-34s %8.1f\n", "sum of the in-process steps", inProcess);
    ResetMachine(neutral);
    ::SetCurrentDirectoryW(L"C:\\");
    test::RemoveTree(neutral);
    return 0;
}
