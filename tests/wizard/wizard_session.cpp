#include "tests/wizard/wizard_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "contract/product.h"
#include "framework/unique_handle.h"

namespace pixelmoor::test {
namespace {

constexpr int kPageOrder[] = {kWelcomePage, kWhatsNewPage, kAssociationsPage, kReadyPage, kFinishPage};
constexpr DWORD kPollMs = 50;

constexpr const wchar_t* kBrowserKeys[] = {L"SOFTWARE\\Classes\\https\\shell\\open\\command",
                                           L"SOFTWARE\\Classes\\http\\shell\\open\\command"};
constexpr wchar_t kCurrentVersionKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const wchar_t* kBuildValues[] = {L"CurrentBuild", L"CurrentBuildNumber"};
constexpr wchar_t kWindows11Build[] = L"22631";

bool WaitUntil(DWORD timeoutMs, auto&& condition) {
    for (DWORD waited = 0;; waited += kPollMs) {
        if (condition()) return true;
        if (waited >= timeoutMs) return false;
        ::Sleep(kPollMs);
    }
}

BOOL CALLBACK CollectViewer(HWND window, LPARAM parameter) {
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    if (std::wstring_view(className) == kViewerWindowClass)
        reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    return TRUE;
}

void RestoreValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::optional<std::wstring>& saved) {
    if (saved) {
        WriteRegString(root, key, name, *saved);
        return;
    }
    UniqueHkey handle;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_SET_VALUE, handle.put()) == ERROR_SUCCESS)
        ::RegDeleteValueW(handle.get(), name);
}

}  // namespace

WizardRun::WizardRun(const std::wstring& name)
    : scratch_(MakeScratchFolder(name)), setup_(L"\"" + SetupExePath() + L"\"", scratch_), driver_(setup_.id()) {}

WizardRun::~WizardRun() { RemoveTree(scratch_); }

bool NextUntil(gui::WizardDriver& wizard, int templateId) {
    const auto begin = std::begin(kPageOrder), end = std::end(kPageOrder);
    const std::optional<gui::PageState> page = wizard.ActivePage();
    if (!page || !page->templateId) return false;
    auto at = std::find(begin, end, *page->templateId);
    const auto target = std::find(begin, end, templateId);
    if (at == end || target == end || at > target) return false;
    for (; at != target; ++at)
        if (!wizard.Press(gui::kNextButton) || !wizard.WaitForPage(*(at + 1))) return false;
    return true;
}

bool Eventually(const std::function<bool()>& condition, DWORD timeoutMs) { return WaitUntil(timeoutMs, condition); }

std::wstring ControlText(const gui::WizardDriver& wizard, int id) {
    return wizard.Control(id).value_or(gui::ControlState{}).text;
}

std::optional<bool> ControlChecked(const gui::WizardDriver& wizard, int id) {
    return wizard.Control(id).value_or(gui::ControlState{}).checked;
}

std::optional<gui::MessageBoxState> WaitForWizardBox(const gui::WizardDriver& wizard) {
    std::optional<gui::MessageBoxState> box = wizard.WaitForMessageBox();
    if (box) EXPECT_EQ(box->caption, kCaption);
    return box;
}

RunningViewer::RunningViewer() : viewer_(L"\"" + EnvironmentPath(L"PIXELMOOR_VIEWER_EXE") + L"\"") {
    if (viewer_) window_ = WaitForViewerWindow(20000);
}

RunningViewer::~RunningViewer() {
    if (window_) ::PostMessageW(window_, WM_CLOSE, 0, 0);
    static_cast<void>(viewer_.WaitForExit(10000));
}

std::vector<HWND> ViewerWindows() {
    std::vector<HWND> windows;
    ::EnumWindows(CollectViewer, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND WaitForViewerWindow(DWORD timeoutMs) {
    HWND window = nullptr;
    WaitUntil(timeoutMs, [&] { return (window = ::FindWindowW(kViewerWindowClass, nullptr)) != nullptr; });
    return window;
}

std::wstring WindowProgramPath(HWND window) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return {};
    std::wstring path(MAX_PATH * 4, L'\0');
    auto size = static_cast<DWORD>(path.size());
    if (!::QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) return {};
    path.resize(size);
    return path;
}

void CloseViewers() {
    for (HWND window : ViewerWindows()) ::PostMessageW(window, WM_CLOSE, 0, 0);
    WaitUntil(10000, [] { return ViewerWindows().empty(); });
}

BrowserRecorder::BrowserRecorder() : record_(MakeScratchFolder(L"browser-recorder") + L"opened.txt") {
    const std::wstring recorder = L"C:\\windows\\system32\\cmd.exe /c echo %1>>\"" + record_ + L"\"";
    for (std::size_t i = 0; i < std::size(kBrowserKeys); ++i) {
        saved_[i] = ReadRegString(HKEY_LOCAL_MACHINE, kBrowserKeys[i], nullptr);
        WriteRegString(HKEY_LOCAL_MACHINE, kBrowserKeys[i], nullptr, recorder);
    }
}

BrowserRecorder::~BrowserRecorder() {
    for (std::size_t i = 0; i < std::size(kBrowserKeys); ++i)
        RestoreValue(HKEY_LOCAL_MACHINE, kBrowserKeys[i], nullptr, saved_[i]);
    RemoveTree(record_.substr(0, record_.rfind(L'\\')));
}

std::string BrowserRecorder::Recorded(DWORD timeoutMs) const {
    std::string lines;
    WaitUntil(timeoutMs, [&] {
        lines = ReadFileBytes(record_).value_or(std::string());
        return lines.find('\n') != std::string::npos;
    });
    return lines;
}

Windows11Prefix::Windows11Prefix() {
    for (std::size_t i = 0; i < std::size(kBuildValues); ++i) {
        saved_[i] = ReadRegString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kBuildValues[i]);
        WriteRegString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kBuildValues[i], kWindows11Build);
    }
}

Windows11Prefix::~Windows11Prefix() {
    for (std::size_t i = 0; i < std::size(kBuildValues); ++i)
        RestoreValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kBuildValues[i], saved_[i]);
}

}  // namespace pixelmoor::test
