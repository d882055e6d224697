// Sees and operates the setup's wizard from the command line, for people
// and scripts: run it in the setup's Wine prefix. Commands run in order.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/gui_driver.h"
#include "tests/support/win_test_support.h"

namespace {

using pixelmoor::test::StartedProgram;
namespace gui = pixelmoor::test::gui;

constexpr char kUsage[] =
    "usage: guidriver [--start <command line> | --pid <id>] [--title <text>] [--timeout <ms>]\n"
    "                 [--list <id>] [command ...]\n"
    "Without --start or --pid it attaches to the process that shows the sheet.\n"
    "Commands (default: dump):\n"
    "  dump                       sheet, buttons, active page, its controls, open boxes\n"
    "  page                       index and template of the active page\n"
    "  wait-page <template>       wait until that page is shown\n"
    "  wait-progress <id> <pos>   wait until that progress bar is shown at <pos> or beyond\n"
    "  press back|next|finish|cancel|<id>   click a sheet button\n"
    "  command back|next|finish|cancel|<id> post the button's command even if disabled\n"
    "  click <id>                 click a control of the active page\n"
    "  settext <id> <text>        replace the text of an edit box\n"
    "  key enter|escape           a key press where the dialog manager sees it\n"
    "  close                      the close box (WM_SYSCOMMAND, SC_CLOSE)\n"
    "  box                        wait for a message box and show it\n"
    "  answer yes|no|ok|cancel|<id>  wait for a message box and click that button\n"
    "  folder-cancel              cancel the open folder dialog\n"
    "  folder-ok                  press OK in the open folder dialog\n"
    "  folder-choose <path>       select that folder in the open folder dialog and press OK\n"
    "  list                       rows, check marks and colours of the list view\n"
    "  check <item> on|off        set or clear a row's check mark in the list view\n"
    "  rect                       screen rectangle of the sheet and open boxes (or the box alone), as WxH+X+Y\n"
    "  front                      ready for a screenshot: sheet centred and active, focus on its\n"
    "                             default button, mouse pointer in a corner\n"
    "  sleep <ms>                 pause\n"
    "  stopwatch                  print the milliseconds since the previous stopwatch (or the start)\n"
    "  wait-exit                  wait for the setup to end and print its exit code\n"
    "  pid                        print the process id, for --pid in later calls\n";

// Output as UTF-8, so that umlauts survive pipes into the Unix side.
void Print(std::wstring_view text) {
    if (text.empty()) return;
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes, nullptr, nullptr);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
}

void Fail(std::wstring_view text) {
    std::fflush(stdout);
    Print(L"guidriver: ");
    Print(text);
    Print(L"\n");
}

std::optional<long> Number(const std::wstring& text) {
    if (text.empty()) return std::nullopt;
    wchar_t* end = nullptr;
    const long value = std::wcstol(text.c_str(), &end, 0);
    if (*end != L'\0') return std::nullopt;
    return value;
}

std::optional<int> ButtonId(const std::wstring& name) {
    if (name == L"back") return gui::kBackButton;
    if (name == L"next") return gui::kNextButton;
    if (name == L"finish") return gui::kFinishButton;
    if (name == L"cancel") return gui::kCancelButton;
    if (const auto id = Number(name)) return static_cast<int>(*id);
    return std::nullopt;
}

std::optional<int> AnswerId(const std::wstring& name) {
    if (name == L"yes") return IDYES;
    if (name == L"no") return IDNO;
    if (name == L"ok") return IDOK;
    if (name == L"cancel") return IDCANCEL;
    if (const auto id = Number(name)) return static_cast<int>(*id);
    return std::nullopt;
}

struct Options {
    std::wstring start;
    DWORD pid = 0;
    std::wstring title = pixelmoor::kSetupCaption;
    DWORD timeoutMs = gui::kDefaultWaitMs;
    int listId = 1579;
    std::vector<std::wstring> commands;
};

std::optional<Options> ParseOptions(int argc, wchar_t** argv) {
    Options options;
    int i = 1;
    for (; i < argc && std::wstring_view(argv[i]).starts_with(L"--"); ++i) {
        const std::wstring_view name = argv[i];
        if (i + 1 >= argc) return std::nullopt;
        const std::wstring value = argv[++i];
        if (name == L"--start") {
            options.start = value;
        } else if (name == L"--title") {
            options.title = value;
        } else if (name == L"--pid" || name == L"--timeout" || name == L"--list") {
            const std::optional<long> number = Number(value);
            if (!number || *number < 0) return std::nullopt;
            if (name == L"--pid") options.pid = static_cast<DWORD>(*number);
            if (name == L"--timeout") options.timeoutMs = static_cast<DWORD>(*number);
            if (name == L"--list") options.listId = static_cast<int>(*number);
        } else {
            return std::nullopt;
        }
    }
    for (; i < argc; ++i) options.commands.emplace_back(argv[i]);
    if (options.commands.empty()) options.commands.emplace_back(L"dump");
    return options;
}

// Runs the commands in order and stops at the first that fails.
class Session {
public:
    Session(gui::WizardDriver& driver, const Options& options) : driver_(driver), options_(options) {}

    bool Run() {
        const std::vector<std::wstring>& words = options_.commands;
        for (size_t i = 0; i < words.size();) {
            const std::wstring& command = words[i++];
            const size_t needed = ArgumentCount(command);
            if (needed == kUnknown) return Fail(L"unknown command: " + command), false;
            if (i + needed > words.size()) return Fail(command + L": missing argument"), false;
            const std::vector<std::wstring> args(words.begin() + static_cast<long>(i),
                                                 words.begin() + static_cast<long>(i + needed));
            i += needed;
            if (!Execute(command, args)) return false;
        }
        return true;
    }

private:
    static constexpr size_t kUnknown = ~size_t{0};

    static size_t ArgumentCount(const std::wstring& command) {
        for (const wchar_t* none : {L"dump", L"page", L"close", L"box", L"folder-cancel", L"folder-ok", L"list", L"rect", L"front",
                                    L"wait-exit", L"stopwatch", L"pid"})
            if (command == none) return 0;
        for (const wchar_t* one : {L"wait-page", L"press", L"command", L"click", L"key", L"answer", L"sleep",
                                   L"folder-choose"})
            if (command == one) return 1;
        if (command == L"settext" || command == L"check" || command == L"wait-progress") return 2;
        return kUnknown;
    }

    bool Execute(const std::wstring& command, const std::vector<std::wstring>& args) {
        if (command == L"dump") return Print(driver_.Dump()), true;
        if (command == L"page") {
            const auto page = driver_.ActivePage();
            if (!page) return Fail(L"no active page"), false;
            Print(L"page " + std::to_wstring(page->index) + L" template " +
                  (page->templateId ? std::to_wstring(*page->templateId) : L"unknown") + L"\n");
            return true;
        }
        if (command == L"wait-page") {
            const auto id = Number(args[0]);
            if (!id || !driver_.WaitForPage(static_cast<int>(*id), options_.timeoutMs))
                return Fail(L"page " + args[0] + L" did not show"), false;
            return true;
        }
        if (command == L"wait-progress") {
            const auto id = Number(args[0]);
            const auto position = Number(args[1]);
            if (!id || !position ||
                !driver_.WaitForProgress(static_cast<int>(*id), static_cast<int>(*position), options_.timeoutMs))
                return Fail(L"progress bar " + args[0] + L" did not reach " + args[1]), false;
            return true;
        }
        if (command == L"press" || command == L"command") {
            const auto id = ButtonId(args[0]);
            if (!id) return Fail(L"no such button: " + args[0]), false;
            const bool done = command == L"press" ? driver_.Press(*id) : driver_.PostCommand(*id);
            if (!done) return Fail(L"button " + args[0] + L" is missing, hidden or disabled"), false;
            return true;
        }
        if (command == L"click") {
            const auto id = Number(args[0]);
            if (!id || !driver_.Click(static_cast<int>(*id)))
                return Fail(L"control " + args[0] + L" is missing, hidden or disabled"), false;
            return true;
        }
        if (command == L"settext") {
            const auto id = Number(args[0]);
            if (!id || !driver_.SetText(static_cast<int>(*id), args[1]))
                return Fail(L"cannot set the text of " + args[0]), false;
            return true;
        }
        if (command == L"key") {
            const UINT key = args[0] == L"enter" ? VK_RETURN : args[0] == L"escape" ? VK_ESCAPE : 0;
            if (!key || !driver_.PostKey(key)) return Fail(L"cannot post key " + args[0]), false;
            return true;
        }
        if (command == L"close") return driver_.PostSysClose() || (Fail(L"no sheet to close"), false);
        if (command == L"box" || command == L"answer") return Box(command, args);
        if (command == L"folder-cancel")
            return driver_.CancelFolderDialog(options_.timeoutMs) || (Fail(L"no folder dialog open"), false);
        if (command == L"folder-ok" || command == L"folder-choose") {
            const std::wstring folder = command == L"folder-ok" ? std::wstring() : args[0];
            return driver_.ChooseInFolderDialog(folder, options_.timeoutMs) || (Fail(L"no folder dialog open"), false);
        }
        if (command == L"list") {
            const gui::ListView list = driver_.List(options_.listId);
            if (!list) return Fail(L"no list view " + std::to_wstring(options_.listId) + L" on this page"), false;
            return Print(gui::DescribeList(list)), true;
        }
        if (command == L"check") {
            const auto item = Number(args[0]);
            const bool on = args[1] == L"on";
            if (!item || (!on && args[1] != L"off")) return Fail(L"usage: check <item> on|off"), false;
            if (!driver_.List(options_.listId).SetChecked(static_cast<int>(*item), on))
                return Fail(L"cannot change item " + args[0]), false;
            return true;
        }
        if (command == L"rect") {
            // A box shown before the sheet exists (a refused start) stands alone.
            std::optional<RECT> rect = driver_.SheetRect();
            for (const auto& box : driver_.MessageBoxes()) {
                RECT boxRect{};
                if (!::GetWindowRect(box.window, &boxRect)) continue;
                if (rect) ::UnionRect(&*rect, &*rect, &boxRect);
                else rect = boxRect;
            }
            if (!rect) return Fail(L"no sheet and no box"), false;
            Print(std::to_wstring(rect->right - rect->left) + L"x" + std::to_wstring(rect->bottom - rect->top) + L"+" +
                  std::to_wstring(rect->left) + L"+" + std::to_wstring(rect->top) + L"\n");
            return true;
        }
        if (command == L"front") return Front(), true;
        if (command == L"stopwatch") return Stopwatch(), true;
        if (command == L"pid") return Print(std::to_wstring(driver_.processId()) + L"\n"), true;
        if (command == L"sleep") {
            const auto ms = Number(args[0]);
            if (!ms || *ms < 0) return Fail(L"usage: sleep <ms>"), false;
            ::Sleep(static_cast<DWORD>(*ms));
            return true;
        }
        // wait-exit
        const auto code = driver_.WaitForExit(options_.timeoutMs);
        if (!code) return Fail(L"the setup did not end in time"), false;
        Print(L"exit code " + std::to_wstring(*code) + L"\n");
        return true;
    }

    // Readies the screen for a screenshot: the sheet centred on the screen
    // and active (or its open box), the keyboard focus on the sheet's
    // default button (no blinking caret in an edit box), and the mouse
    // pointer in a corner (no hover effect).
    void Front() {
        const HWND sheet = driver_.sheet();
        const auto boxes = driver_.MessageBoxes();
        if (boxes.empty()) {
            RECT rect{};
            if (::GetWindowRect(sheet, &rect)) {
                const int width = rect.right - rect.left, height = rect.bottom - rect.top;
                ::SetWindowPos(sheet, nullptr, std::max(0, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2),
                               std::max(0, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2), 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            const auto next = driver_.SheetButton(gui::kNextButton);
            const auto focus = next && next->enabled && next->visible ? next : driver_.SheetButton(gui::kCancelButton);
            if (focus) ::PostMessageW(sheet, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus->window), TRUE);
        }
        const HWND front = boxes.empty() ? sheet : boxes.front().window;
        ::SetForegroundWindow(front);
        // Wine leaves the caption of a window that was activated before it
        // was shown painted as inactive; the frame is told again that it is active.
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(front, WM_NCACTIVATE, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    }

    bool Box(const std::wstring& command, const std::vector<std::wstring>& args) {
        const auto box = driver_.WaitForMessageBox(options_.timeoutMs);
        if (!box) return Fail(L"no message box"), false;
        if (command == L"box") {
            std::wstring text = L"message box \"" + box->caption + L"\"\n" + box->text + L"\nicon " +
                                std::wstring(gui::BoxIconName(box->icon)) + L"\nbuttons:";
            for (const auto& button : box->buttons) text += L" " + std::to_wstring(button.id) + L" \"" + button.text + L"\"";
            Print(text + L"\ndefault " + std::to_wstring(box->defaultButton) + L"\n");
            return true;
        }
        const auto id = AnswerId(args[0]);
        if (!id || !driver_.Answer(*box, *id, options_.timeoutMs))
            return Fail(L"cannot answer the box with " + args[0]), false;
        return true;
    }

    // For timing a stretch of a walk: "stopwatch press next wait-page 110
    // stopwatch" times an installation from the press to the finish page.
    void Stopwatch() {
        LARGE_INTEGER now{}, frequency{};
        ::QueryPerformanceCounter(&now);
        ::QueryPerformanceFrequency(&frequency);
        if (lap_.QuadPart != 0)
            Print(std::to_wstring((now.QuadPart - lap_.QuadPart) * 1000 / frequency.QuadPart) + L" ms\n");
        lap_ = now;
    }

    gui::WizardDriver& driver_;
    const Options& options_;
    LARGE_INTEGER lap_{};
};

// Starts the program with its standard handles on the null device. Under
// Wine a started program otherwise inherits this tool's output, and a pipe
// such as `guidriver --start ... | less` would stay open as long as the
// setup runs.
std::unique_ptr<StartedProgram> StartDetachedFromOutput(const std::wstring& commandLine) {
    const pixelmoor::UniqueFile nul(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                                  nullptr));
    constexpr DWORD kStandardHandles[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    HANDLE saved[3] = {};
    for (int i = 0; i < 3; ++i) {
        saved[i] = ::GetStdHandle(kStandardHandles[i]);
        if (nul) ::SetStdHandle(kStandardHandles[i], nul.get());
    }
    auto program = std::make_unique<StartedProgram>(commandLine);
    for (int i = 0; i < 3; ++i) ::SetStdHandle(kStandardHandles[i], saved[i]);
    return program;
}

// Waits until the process shows its sheet or a message box, or has ended.
bool SheetOrBoxShown(gui::WizardDriver& driver, const Options& options) {
    constexpr DWORD kLookEveryMs = 100;
    const ULONGLONG end = ::GetTickCount64() + options.timeoutMs;
    do {
        if (driver.WaitForSheet(kLookEveryMs, options.title) || driver.WaitForExit(0) || !driver.MessageBoxes().empty())
            return true;
    } while (::GetTickCount64() < end);
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::unique_ptr<StartedProgram> started;
    std::optional<gui::WizardDriver> driver;
    if (!options->start.empty()) {
        started = StartDetachedFromOutput(options->start);
        if (!*started) return Fail(L"cannot start: " + options->start), 1;
        driver.emplace(started->id());
    } else if (options->pid != 0) {
        driver.emplace(options->pid);
    } else {
        driver = gui::WizardDriver::AttachByTitle(options->title, options->timeoutMs);
        if (!driver) return Fail(L"no window titled \"" + options->title + L"\""), 1;
    }
    if (!*driver) return Fail(L"cannot open process " + std::to_wstring(driver->processId())), 1;
    // Without a sheet only a process that shows a box instead (a refused
    // start) or has already ended (its exit code) is worth going on with; a
    // started setup that shows nothing is ended.
    if (!driver->sheet() && !SheetOrBoxShown(*driver, *options))
        return Fail(L"no sheet titled \"" + options->title + L"\""), 1;
    const bool ok = Session(*driver, *options).Run();
    if (started) started->Detach();
    return ok ? 0 : 1;
}
