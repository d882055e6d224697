#include "tests/support/gui_driver.h"

#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <utility>

namespace pixelmoor::test::gui {
namespace {

// How long one sent message may take before the setup counts as not answering.
constexpr UINT kSendTimeoutMs = 5000;
// Pause between two looks while waiting for a window or a state.
constexpr DWORD kPollMs = 10;
// Longest item text read from a list view, in characters.
constexpr int kListTextLimit = 1024;
// Longest window class name and top-level window title read.
constexpr int kClassNameLimit = 256;
constexpr int kTitleLimit = 512;

constexpr wchar_t kDialogClass[] = L"#32770";

// Memory allocated in another process, freed with its owner. A list view
// answers only through pointers into its own process.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, size_t size) noexcept
        : process_(process),
          address_(process ? ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
                           : nullptr),
          size_(size) {}
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory() {
        if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }

    explicit operator bool() const noexcept { return address_ != nullptr; }
    // The address at this offset, as the other process sees it.
    [[nodiscard]] void* At(size_t offset) const noexcept {
        return address_ ? static_cast<char*>(address_) + offset : nullptr;
    }

    bool Write(size_t offset, const void* data, size_t bytes) const noexcept {
        SIZE_T written = 0;
        return address_ && offset + bytes <= size_ &&
               ::WriteProcessMemory(process_, At(offset), data, bytes, &written) && written == bytes;
    }
    bool Read(size_t offset, void* data, size_t bytes) const noexcept {
        SIZE_T read = 0;
        return address_ && offset + bytes <= size_ &&
               ::ReadProcessMemory(process_, At(offset), data, bytes, &read) && read == bytes;
    }

private:
    HANDLE process_;
    void* address_;
    size_t size_;
};

std::wstring ClassName(HWND window) {
    std::wstring name(kClassNameLimit, L'\0');
    const int length = ::GetClassNameW(window, name.data(), kClassNameLimit);
    name.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return name;
}

// The title of a top-level window, read without sending it a message, so
// that looking does not slow down a setup that is still starting.
std::wstring FrameText(HWND window) {
    std::wstring text(kTitleLimit, L'\0');
    const int length = ::InternalGetWindowText(window, text.data(), kTitleLimit);
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

DWORD WindowProcessId(HWND window) {
    DWORD id = 0;
    ::GetWindowThreadProcessId(window, &id);
    return id;
}

bool SameClassName(const std::wstring& a, const wchar_t* b) { return ::lstrcmpiW(a.c_str(), b) == 0; }

bool IsCheckable(const std::wstring& className, DWORD style) {
    if (className != L"Button") return false;
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return true;
    default:
        return false;
    }
}

// Direct child windows, in z-order (for dialog controls: creation order).
std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

struct TopLevelSearch {
    DWORD processId;  // 0: any process
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<TopLevelSearch*>(parameter);
    if ((search->processId == 0 || WindowProcessId(window) == search->processId) && ::IsWindowVisible(window) &&
        ClassName(window) == kDialogClass)
        search->windows.push_back(window);
    return TRUE;
}

// The visible dialog windows at the top level, of one process or of all.
std::vector<HWND> TopLevelDialogs(DWORD processId) {
    TopLevelSearch search{processId, {}};
    ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

BOOL CALLBACK FindTreeView(HWND window, LPARAM parameter) {
    if (ClassName(window) != WC_TREEVIEWW) return TRUE;
    *reinterpret_cast<bool*>(parameter) = true;
    return FALSE;
}

// The shell's folder dialog holds a tree of folders.
bool IsFolderDialog(HWND dialog) {
    bool found = false;
    ::EnumChildWindows(dialog, FindTreeView, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A message box is a dialog made only of static texts, an icon and buttons.
bool IsMessageBox(HWND dialog) {
    bool hasButton = false;
    for (HWND child : ChildWindows(dialog)) {
        const std::wstring name = ClassName(child);
        if (name == L"Button")
            hasButton = true;
        else if (name != L"Static")
            return false;
    }
    return hasButton;
}

BoxIcon IconKind(HICON icon) {
    if (!icon) return BoxIcon::kNone;
    const std::array<std::pair<const wchar_t*, BoxIcon>, 4> known = {{{IDI_HAND, BoxIcon::kError},
                                                                      {IDI_QUESTION, BoxIcon::kQuestion},
                                                                      {IDI_EXCLAMATION, BoxIcon::kWarning},
                                                                      {IDI_ASTERISK, BoxIcon::kInformation}}};
    for (const auto& [name, kind] : known)
        if (::LoadIconW(nullptr, name) == icon) return kind;
    return BoxIcon::kUnknown;
}

bool WaitUntil(DWORD timeoutMs, auto&& condition) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() >= end) return false;
        ::Sleep(kPollMs);
    }
}

std::wstring Hex(unsigned long long value, int digits) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text(static_cast<size_t>(digits), L'0');
    for (int i = digits - 1; i >= 0 && value; --i, value >>= 4) text[static_cast<size_t>(i)] = kDigits[value & 15];
    return L"0x" + text;
}

std::wstring Quoted(const std::wstring& text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        if (c == L'\n')
            out += L"\\n";
        else if (c == L'\r')
            out += L"\\r";
        else if (c == L'\t')
            out += L"\\t";
        else
            out += c;
    }
    return out + L"\"";
}

std::wstring PadRight(std::wstring text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), L' ');
    return text;
}

void PostClick(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

// A user can click a control that is shown and enabled in a window that is
// enabled too: a sheet under a modal box is disabled, and so are its buttons.
bool Clickable(HWND window) {
    if (!window || !::IsWindowVisible(window)) return false;
    for (HWND w = window; w; w = ::GetAncestor(w, GA_PARENT)) {
        if (w == ::GetDesktopWindow()) break;
        if (!::IsWindowEnabled(w)) return false;
    }
    return true;
}

}  // namespace

// --- ListView ------------------------------------------------------------

std::optional<int> ListView::Count() const {
    if (!window_) return std::nullopt;
    const std::optional<LRESULT> count = driver_->Send(window_, LVM_GETITEMCOUNT, 0, 0);
    if (!count) return std::nullopt;
    return static_cast<int>(*count);
}

std::optional<std::wstring> ListView::Text(int item, int subItem) const {
    const std::optional<int> count = Count();
    if (!count || item < 0 || item >= *count) return std::nullopt;
    const RemoteMemory memory(driver_->process_.get(), sizeof(LVITEMW) + kListTextLimit * sizeof(wchar_t));
    LVITEMW request{};
    request.iSubItem = subItem;
    request.cchTextMax = kListTextLimit;
    request.pszText = static_cast<wchar_t*>(memory.At(sizeof(LVITEMW)));
    if (!memory.Write(0, &request, sizeof(request))) return std::nullopt;
    const std::optional<LRESULT> length =
        driver_->Send(window_, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(memory.At(0)));
    if (!length) return std::nullopt;
    std::wstring text(static_cast<size_t>(std::clamp<LRESULT>(*length, 0, kListTextLimit - 1)), L'\0');
    if (!memory.Read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t))) return std::nullopt;
    return text;
}

std::optional<bool> ListView::Checked(int item) const {
    const std::optional<int> count = Count();
    if (!count || item < 0 || item >= *count) return std::nullopt;
    const std::optional<LRESULT> state =
        driver_->Send(window_, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK);
    if (!state) return std::nullopt;
    switch ((*state & LVIS_STATEIMAGEMASK) >> 12) {
    case 1:
        return false;
    case 2:
        return true;
    default:
        return std::nullopt;  // no check box image
    }
}

std::optional<COLORREF> ListView::BackgroundColor() const {
    if (!window_) return std::nullopt;
    const std::optional<LRESULT> color = driver_->Send(window_, LVM_GETBKCOLOR, 0, 0);
    if (!color) return std::nullopt;
    return static_cast<COLORREF>(*color);
}

std::optional<COLORREF> ListView::TextColor() const {
    if (!window_) return std::nullopt;
    const std::optional<LRESULT> color = driver_->Send(window_, LVM_GETTEXTCOLOR, 0, 0);
    if (!color) return std::nullopt;
    return static_cast<COLORREF>(*color);
}

bool ListView::Enabled() const { return window_ && ::IsWindowEnabled(window_); }

bool ListView::SetChecked(int item, bool checked) const {
    const std::optional<int> count = Count();
    if (!count || item < 0 || item >= *count) return false;
    const RemoteMemory memory(driver_->process_.get(), sizeof(LVITEMW));
    LVITEMW change{};
    change.stateMask = LVIS_STATEIMAGEMASK;
    change.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    if (!memory.Write(0, &change, sizeof(change))) return false;
    const std::optional<LRESULT> done =
        driver_->Send(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(memory.At(0)));
    return done && *done;
}

// --- WizardDriver --------------------------------------------------------

WizardDriver::WizardDriver(DWORD processId)
    : process_(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_OPERATION |
                                 PROCESS_VM_READ | PROCESS_VM_WRITE,
                             FALSE, processId)),
      processId_(processId) {}

std::optional<WizardDriver> WizardDriver::AttachByTitle(std::wstring_view title, DWORD timeoutMs) {
    DWORD processId = 0;
    WaitUntil(timeoutMs, [&] {
        for (HWND dialog : TopLevelDialogs(0))
            if (FrameText(dialog) == title && !IsMessageBox(dialog) && !IsFolderDialog(dialog)) {
                processId = WindowProcessId(dialog);
                return true;
            }
        return false;
    });
    if (processId == 0) return std::nullopt;
    WizardDriver driver(processId);
    if (!driver || !driver.WaitForSheet(timeoutMs, title)) return std::nullopt;
    return driver;
}

std::optional<LRESULT> WizardDriver::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR result = 0;
    if (!window || !::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

bool WizardDriver::WaitForSheet(DWORD timeoutMs, std::wstring_view title) {
    bool found = false;
    WaitUntil(timeoutMs, [&] {
        // A process that has ended will show nothing any more.
        if (WaitForExit(0)) return true;
        for (HWND dialog : TopLevelDialogs(processId_))
            // A message box with the same caption holds no pages.
            if (FrameText(dialog) == title && !IsMessageBox(dialog) && !IsFolderDialog(dialog)) {
                sheet_ = dialog;
                found = true;
                return true;
            }
        return false;
    });
    return found;
}

std::optional<RECT> WizardDriver::SheetRect() const {
    RECT rect{};
    if (!sheet_ || !::GetWindowRect(sheet_, &rect)) return std::nullopt;
    return rect;
}

std::optional<ControlState> WizardDriver::ReadControl(HWND window) const {
    if (!window || !::IsWindow(window)) return std::nullopt;
    ControlState state;
    state.window = window;
    state.id = ::GetDlgCtrlID(window);
    state.className = ClassName(window);
    state.style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    state.enabled = ::IsWindowEnabled(window);
    state.visible = ::IsWindowVisible(window);
    if (const std::optional<LRESULT> length = Send(window, WM_GETTEXTLENGTH, 0, 0); length && *length > 0) {
        std::wstring text(static_cast<size_t>(*length) + 1, L'\0');
        const std::optional<LRESULT> got =
            Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        text.resize(got ? std::min(static_cast<size_t>(std::max<LRESULT>(*got, 0)), text.size() - 1) : 0);
        state.text = std::move(text);
    }
    // A picture control holds its resource as an ordinal: 0xFFFF, then the id.
    if (state.text.size() == 2 && state.text[0] == L'\xFFFF') state.text = L"#" + std::to_wstring(state.text[1]);
    if (IsCheckable(state.className, state.style))
        if (const std::optional<LRESULT> check = Send(window, BM_GETCHECK, 0, 0))
            state.checked = *check == BST_CHECKED;
    if (SameClassName(state.className, PROGRESS_CLASSW)) {
        const std::optional<LRESULT> low = Send(window, PBM_GETRANGE, TRUE, 0);
        const std::optional<LRESULT> high = Send(window, PBM_GETRANGE, FALSE, 0);
        const std::optional<LRESULT> position = Send(window, PBM_GETPOS, 0, 0);
        if (low && high && position)
            state.progress = ProgressState{static_cast<int>(*low), static_cast<int>(*high), static_cast<int>(*position)};
    }
    return state;
}

std::vector<ControlState> WizardDriver::SheetButtons() const {
    std::vector<ControlState> buttons;
    if (!sheet_) return buttons;
    for (HWND child : ChildWindows(sheet_))
        if (ClassName(child) == L"Button")
            if (std::optional<ControlState> state = ReadControl(child)) buttons.push_back(std::move(*state));
    return buttons;
}

std::optional<ControlState> WizardDriver::SheetButton(int id) const {
    if (!sheet_) return std::nullopt;
    return ReadControl(::GetDlgItem(sheet_, id));
}

HWND WizardDriver::ActivePageWindow() const {
    const std::optional<LRESULT> page = Send(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0);
    return page ? reinterpret_cast<HWND>(*page) : nullptr;
}

HWND WizardDriver::PageWindow(int pageIndex) const {
    const std::optional<LRESULT> page = Send(sheet_, PSM_INDEXTOHWND, static_cast<WPARAM>(pageIndex), 0);
    return page ? reinterpret_cast<HWND>(*page) : nullptr;
}

std::optional<PageState> WizardDriver::ActivePage() const {
    PageState page;
    page.window = ActivePageWindow();
    if (!page.window) return std::nullopt;
    const std::optional<LRESULT> index = Send(sheet_, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page.window), 0);
    if (!index || *index < 0) return std::nullopt;
    page.index = static_cast<int>(*index);
    // The sheet gives the template as it was handed over: a resource id, or a
    // pointer when the page was built from a template in memory.
    if (const std::optional<LRESULT> id = Send(sheet_, PSM_INDEXTOID, static_cast<WPARAM>(*index), 0);
        id && *id > 0 && IS_INTRESOURCE(*id))
        page.templateId = static_cast<int>(*id);
    return page;
}

bool WizardDriver::WaitForPage(int templateId, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    if (!sheet_ && !WaitForSheet(timeoutMs)) return false;
    const ULONGLONG now = ::GetTickCount64();
    bool shown = false;
    WaitUntil(static_cast<DWORD>(end > now ? end - now : 0), [&] {
        const std::optional<PageState> page = ActivePage();
        shown = page && page->templateId == templateId && ::IsWindowVisible(page->window) &&
                ::GetWindow(page->window, GW_CHILD) != nullptr;
        return shown || WaitForExit(0).has_value();
    });
    return shown;
}

std::vector<ControlState> WizardDriver::PageControls() const {
    std::vector<ControlState> controls;
    const HWND page = ActivePageWindow();
    if (!page) return controls;
    for (HWND child : ChildWindows(page))
        if (std::optional<ControlState> state = ReadControl(child)) controls.push_back(std::move(*state));
    return controls;
}

std::optional<ControlState> WizardDriver::Control(int id) const {
    const HWND page = ActivePageWindow();
    if (!page) return std::nullopt;
    return ReadControl(::GetDlgItem(page, id));
}

std::optional<ControlState> WizardDriver::PageControl(int pageIndex, int id) const {
    const HWND page = PageWindow(pageIndex);
    if (!page) return std::nullopt;
    return ReadControl(::GetDlgItem(page, id));
}

ListView WizardDriver::List(int id) const {
    const HWND page = ActivePageWindow();
    const HWND list = page ? ::GetDlgItem(page, id) : nullptr;
    return ListView(this, list && ClassName(list) == WC_LISTVIEWW ? list : nullptr);
}

ListView WizardDriver::PageList(int pageIndex, int id) const {
    const HWND page = PageWindow(pageIndex);
    const HWND list = page ? ::GetDlgItem(page, id) : nullptr;
    return ListView(this, list && ClassName(list) == WC_LISTVIEWW ? list : nullptr);
}

bool WizardDriver::WaitForProgress(int id, int atLeast, DWORD timeoutMs) {
    return WaitUntil(timeoutMs, [&] {
        const std::optional<ControlState> bar = Control(id);
        return bar && bar->visible && bar->progress && bar->progress->position >= atLeast;
    });
}

bool WizardDriver::Answers(DWORD withinMs) const {
    DWORD_PTR result = 0;
    return sheet_ && ::SendMessageTimeoutW(sheet_, WM_NULL, 0, 0, SMTO_NORMAL, withinMs, &result) != 0;
}

bool WizardDriver::Press(int buttonId) {
    const HWND button = sheet_ ? ::GetDlgItem(sheet_, buttonId) : nullptr;
    if (!Clickable(button)) return false;
    PostClick(button);
    return true;
}

bool WizardDriver::Click(int controlId) {
    const HWND page = ActivePageWindow();
    const HWND control = page ? ::GetDlgItem(page, controlId) : nullptr;
    if (!Clickable(control)) return false;
    PostClick(control);
    return true;
}

bool WizardDriver::PostCommand(int commandId) {
    if (!sheet_) return false;
    const HWND button = ::GetDlgItem(sheet_, commandId);
    return ::PostMessageW(sheet_, WM_COMMAND, MAKEWPARAM(commandId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

bool WizardDriver::SetText(int controlId, std::wstring_view text) {
    const HWND page = ActivePageWindow();
    const HWND control = page ? ::GetDlgItem(page, controlId) : nullptr;
    if (!control) return false;
    const std::wstring terminated(text);
    const std::optional<LRESULT> done = Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(terminated.c_str()));
    return done && *done;
}

bool WizardDriver::PostKey(UINT virtualKey) {
    HWND anyWindow = sheet_;
    if (!anyWindow) {
        const std::vector<HWND> dialogs = TopLevelDialogs(processId_);
        if (dialogs.empty()) return false;
        anyWindow = dialogs.front();
    }
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    HWND target = nullptr;
    if (::GetGUIThreadInfo(::GetWindowThreadProcessId(anyWindow, nullptr), &info))
        target = info.hwndFocus ? info.hwndFocus : info.hwndActive;
    if (!target) {
        // No focus known: the key goes to the window in front, an open box first.
        const std::vector<MessageBoxState> boxes = MessageBoxes();
        target = boxes.empty() ? anyWindow : boxes.front().window;
    }
    const LPARAM scanCode = static_cast<LPARAM>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    return ::PostMessageW(target, WM_KEYDOWN, virtualKey, 1 | scanCode) &&
           ::PostMessageW(target, WM_KEYUP, virtualKey, 1 | scanCode | (LPARAM{3} << 30));
}

bool WizardDriver::PostSysClose() { return sheet_ && ::PostMessageW(sheet_, WM_SYSCOMMAND, SC_CLOSE, 0); }

std::vector<MessageBoxState> WizardDriver::MessageBoxes() const {
    std::vector<MessageBoxState> boxes;
    for (HWND dialog : TopLevelDialogs(processId_)) {
        if (dialog == sheet_ || !IsMessageBox(dialog)) continue;
        MessageBoxState box;
        box.window = dialog;
        if (std::optional<ControlState> frame = ReadControl(dialog)) box.caption = std::move(frame->text);
        for (HWND child : ChildWindows(dialog)) {
            std::optional<ControlState> control = ReadControl(child);
            if (!control || !control->visible) continue;
            if (control->className == L"Button") {
                if ((control->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) box.defaultButton = control->id;
                box.buttons.push_back(std::move(*control));
            } else if ((control->style & SS_TYPEMASK) == SS_ICON) {
                const std::optional<LRESULT> icon = Send(child, STM_GETICON, 0, 0);
                box.icon = IconKind(icon ? reinterpret_cast<HICON>(*icon) : nullptr);
            } else if (box.text.empty()) {
                box.text = std::move(control->text);
            }
        }
        // A box marks its default button by style and gives it the focus, so
        // Enter presses it; the dialog's default id counts only without one
        // (a message box under Wine always answers DM_GETDEFID with IDOK).
        if (box.defaultButton == 0)
            if (const std::optional<LRESULT> id = Send(dialog, DM_GETDEFID, 0, 0);
                id && HIWORD(*id) == DC_HASDEFID && ::GetDlgItem(dialog, LOWORD(*id)))
                box.defaultButton = LOWORD(*id);
        boxes.push_back(std::move(box));
    }
    return boxes;
}

std::optional<MessageBoxState> WizardDriver::WaitForMessageBox(DWORD timeoutMs) const {
    std::optional<MessageBoxState> found;
    WaitUntil(timeoutMs, [&] {
        std::vector<MessageBoxState> boxes = MessageBoxes();
        if (boxes.empty()) return WaitForExit(0).has_value();
        found = std::move(boxes.front());
        return true;
    });
    return found;
}

bool WizardDriver::Answer(const MessageBoxState& box, int buttonId, DWORD timeoutMs) const {
    const HWND button = ::GetDlgItem(box.window, buttonId);
    if (!Clickable(button)) return false;
    PostClick(button);
    return WaitUntil(timeoutMs, [&] { return !::IsWindow(box.window) || !::IsWindowVisible(box.window); });
}

bool WizardDriver::WaitUntilNoMessageBox(DWORD timeoutMs) const {
    return WaitUntil(timeoutMs, [&] { return MessageBoxes().empty(); });
}

HWND WizardDriver::FolderDialog() const {
    for (HWND dialog : TopLevelDialogs(processId_))
        if (IsFolderDialog(dialog)) return dialog;
    return nullptr;
}

bool WizardDriver::CancelFolderDialog(DWORD timeoutMs) const {
    HWND dialog = nullptr;
    if (!WaitUntil(timeoutMs, [&] { return (dialog = FolderDialog()) != nullptr || WaitForExit(0).has_value(); }) ||
        !dialog)
        return false;
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return WaitUntil(timeoutMs, [&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); });
}

bool WizardDriver::ChooseInFolderDialog(std::wstring_view folder, DWORD timeoutMs) const {
    HWND dialog = nullptr;
    if (!WaitUntil(timeoutMs, [&] { return (dialog = FolderDialog()) != nullptr || WaitForExit(0).has_value(); }) ||
        !dialog)
        return false;
    if (!folder.empty()) {
        // The path goes over as a pointer into the setup's own memory.
        const std::wstring terminated(folder);
        const size_t bytes = (terminated.size() + 1) * sizeof(wchar_t);
        const RemoteMemory remote(process_.get(), bytes);
        if (!remote.Write(0, terminated.c_str(), bytes)) return false;
        if (!Send(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote.At(0)))) return false;
    }
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return WaitUntil(timeoutMs, [&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); });
}

std::optional<DWORD> WizardDriver::WaitForExit(DWORD timeoutMs) const {
    if (!process_ || ::WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    if (!::GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
    return code;
}

// --- Text ----------------------------------------------------------------

std::wstring_view BoxIconName(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::kNone:
        return L"none";
    case BoxIcon::kError:
        return L"error";
    case BoxIcon::kQuestion:
        return L"question";
    case BoxIcon::kWarning:
        return L"warning";
    case BoxIcon::kInformation:
        return L"information";
    case BoxIcon::kUnknown:
        break;
    }
    return L"shown (kind unknown)";
}

std::wstring DescribeControl(const ControlState& control) {
    // The sheet's own buttons are known by their hexadecimal ids (0x3023 ...).
    const std::wstring id = control.id >= 0x3000 ? Hex(static_cast<unsigned>(control.id), 4) : std::to_wstring(control.id);
    std::wstring line = PadRight(id, 7) + PadRight(control.className, 15) +
                        PadRight(Quoted(control.text), 34) + L" style " + Hex(control.style, 8) +
                        (control.enabled ? L" enabled" : L" disabled") + (control.visible ? L" visible" : L" hidden");
    if (control.checked) line += *control.checked ? L" checked" : L" unchecked";
    if (control.progress)
        line += L" position " + std::to_wstring(control.progress->position) + L" of " +
                std::to_wstring(control.progress->low) + L".." + std::to_wstring(control.progress->high);
    return line;
}

std::wstring DescribeList(const ListView& list) {
    const std::optional<int> count = list.Count();
    if (!count) return L"list: not found or not answering\n";
    std::wstring out = L"list " + std::to_wstring(::GetDlgCtrlID(list.window())) + L": " + std::to_wstring(*count) +
                       L" items, " + (list.Enabled() ? L"enabled" : L"disabled");
    if (const auto background = list.BackgroundColor()) out += L", background " + Hex(*background, 6);
    if (const auto text = list.TextColor()) out += L", text " + Hex(*text, 6);
    out += L"\n";
    for (int i = 0; i < *count; ++i) {
        const std::optional<bool> checked = list.Checked(i);
        out += L"  " + PadRight(std::to_wstring(i), 4) + (checked ? (*checked ? L"[x] " : L"[ ] ") : L"    ") +
               PadRight(list.Text(i, 0).value_or(L"?"), 12) + L" " + list.Text(i, 1).value_or(L"?") + L"\n";
    }
    return out;
}

std::wstring WizardDriver::Dump() const {
    std::wstring out = L"process " + std::to_wstring(processId_);
    if (const std::optional<DWORD> code = WaitForExit(0)) return out + L" has ended with exit code " +
                                                                 std::to_wstring(*code) + L"\n";
    out += L"\n";
    if (const std::optional<ControlState> sheet = ReadControl(sheet_)) {
        out += L"sheet " + Quoted(sheet->text) + (sheet->visible ? L" visible" : L" hidden");
        if (const std::optional<RECT> rect = SheetRect())
            out += L" at " + std::to_wstring(rect->left) + L"," + std::to_wstring(rect->top) + L" size " +
                   std::to_wstring(rect->right - rect->left) + L"x" + std::to_wstring(rect->bottom - rect->top);
        out += L"\nbuttons:\n";
        for (const ControlState& button : SheetButtons()) out += L"  " + DescribeControl(button) + L"\n";
        if (const std::optional<PageState> page = ActivePage()) {
            out += L"page " + std::to_wstring(page->index) + L", template " +
                   (page->templateId ? std::to_wstring(*page->templateId) : std::wstring(L"unknown")) + L":\n";
            for (const ControlState& control : PageControls()) out += L"  " + DescribeControl(control) + L"\n";
            for (const ControlState& control : PageControls())
                if (control.className == WC_LISTVIEWW) out += DescribeList(List(control.id));
        } else {
            out += L"no active page\n";
        }
    } else {
        out += L"no sheet\n";
    }
    for (const MessageBoxState& box : MessageBoxes()) {
        out += L"message box " + Quoted(box.caption) + L": " + Quoted(box.text) + L", icon " +
               std::wstring(BoxIconName(box.icon)) + L", buttons";
        for (const ControlState& button : box.buttons)
            out += L" " + std::to_wstring(button.id) + L" " + Quoted(button.text);
        out += L", default " + std::to_wstring(box.defaultButton) + L"\n";
    }
    if (FolderDialog()) out += L"folder dialog open\n";
    return out;
}

}  // namespace pixelmoor::test::gui
