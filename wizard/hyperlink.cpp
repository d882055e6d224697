#include "wizard/hyperlink.h"

#include <shellapi.h>
#include <windowsx.h>

#include <cstring>

#include "framework/registry_read.h"
#include "framework/system_folders.h"
#include "wizard/hyperlink_rules.h"

namespace pixelmoor {

namespace {

static_assert(kStaticCenter == SS_CENTER && kStaticRight == SS_RIGHT && kStaticCenterImage == SS_CENTERIMAGE &&
              kStaticTypeMask == SS_TYPEMASK);

// The hand cursor among the resources of the Windows help program.
constexpr int kHelpHandCursor = 106;
constexpr UINT kHoverTimerMs = 100;
// Pixels below the control that are repainted when the mouse has left it.
constexpr int kLeaveRepaintBelow = 10;

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The default value of a key of HKEY_CLASSES_ROOT, read into a buffer of
// kHandlerValueBytes. A value that does not fit, is not a string or is not
// terminated counts as missing.
std::optional<std::wstring> ReadClassesText(const std::wstring& subKey) {
    return TryGetTerminatedString(HKEY_CLASSES_ROOT, subKey.c_str(), nullptr, kHandlerValueBytes);
}

std::string ToThreadCodePage(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string converted(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), -1, converted.data(), size, nullptr, nullptr);
    converted.resize(static_cast<std::size_t>(size) - 1);
    return converted;
}

// A private copy of the cursor resource 106 of the Windows help program.
// The program file is mapped as resource data only, never as an executable
// image: the setup runs elevated, and borrowing a cursor needs none of its code.
UniqueCursor LoadHelpHandCursor() {
    const std::optional<std::wstring> windows = WindowsFolder();
    if (!windows) return {};
    const std::wstring path = *windows + L"\\winhlp32.exe";
    const UniqueModule help(
        ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!help) return {};
    const HCURSOR shared = ::LoadCursorW(help.get(), MAKEINTRESOURCEW(kHelpHandCursor));
    return UniqueCursor(shared != nullptr ? ::CopyIcon(shared) : nullptr);
}

UniqueCursor LoadSystemHandCursor() {
    const HCURSOR shared = ::LoadCursorW(nullptr, IDC_HAND);
    return UniqueCursor(shared != nullptr ? ::CopyIcon(shared) : nullptr);
}

}  // namespace

void CHyperLink::SetLinkTarget(std::wstring_view target) {
    target_ = target;
    if (GetSafeHwnd() != nullptr) FitToText();
}

void CHyperLink::SetUnderlineMode(int mode) noexcept {
    if (mode == underlineMode_) return;
    if (GetSafeHwnd() != nullptr) {
        ShowFont(mode == kUnderlineAlways ? underlinedFont_ : standardFont_);
        ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
    }
    underlineMode_ = mode;
}

void CHyperLink::FitToText() noexcept {
    const HWND control = GetSafeHwnd();
    if (control == nullptr || !fitToText_) return;

    RECT window{};
    RECT client{};
    ::GetWindowRect(control, &window);
    ::GetClientRect(control, &client);
    if (const HWND parent = ::GetParent(control)) {
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
    }

    const std::wstring text = WindowText(control);
    SIZE size{};
    {
        const ScreenDc dc(control);
        if (!dc) return;
        const HGDIOBJ previous = ::SelectObject(dc.get(), underlinedFont_.GetSafeHandle());
        ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        if (previous != nullptr) ::SelectObject(dc.get(), previous);
    }

    const auto style = static_cast<unsigned>(::GetWindowLongW(control, GWL_STYLE));
    const Box fitted = FitBoxToText({window.left, window.top, window.right, window.bottom},
                                    {client.right - client.left, client.bottom - client.top}, {size.cx, size.cy},
                                    style);
    ::SetWindowPos(control, nullptr, fitted.left, fitted.top, fitted.right - fitted.left, fitted.bottom - fitted.top,
                   SWP_NOZORDER);
}

void CHyperLink::LoadLinkCursor() noexcept {
    if (linkCursor_) return;
    linkCursor_ = LoadHelpHandCursor();
    // Current systems ship a help program without that cursor; the
    // system's own hand says the same.
    if (!linkCursor_) linkCursor_ = LoadSystemHandCursor();
}

INT_PTR CHyperLink::OpenLinkTarget(const std::wstring& target) noexcept {
    const auto opened = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(::GetDesktopWindow(), L"open", target.c_str(), nullptr, nullptr, SW_SHOW));
    if (opened > 32) return opened;

    // The shell could not open it: start the program that opens ".htm" files.
    const std::optional<std::wstring> htmlClass = ReadClassesText(L".htm");
    if (!htmlClass) return opened;
    const std::optional<std::wstring> command = ReadClassesText(*htmlClass + L"\\shell\\open\\command");
    if (!command) return opened;
    const std::string line = ToThreadCodePage(FallbackCommandLine(*command, target));
    return static_cast<INT_PTR>(::WinExec(line.c_str(), SW_SHOW));
}

void CHyperLink::PreSubclassWindow() noexcept {
    const HWND control = GetSafeHwnd();
    // Clicks are reported only by a static control with SS_NOTIFY.
    ::SetWindowLongW(control, GWL_STYLE, ::GetWindowLongW(control, GWL_STYLE) | SS_NOTIFY);

    const std::wstring text = WindowText(control);
    if (target_.empty()) target_ = text;
    if (text.empty()) ::SetWindowTextW(control, target_.c_str());

    CreateFonts();
    FitToText();
    LoadLinkCursor();
    SetUnderlineMode(kUnderlineOnHover);
}

void CHyperLink::CreateFonts() noexcept {
    auto font = reinterpret_cast<HFONT>(::SendMessageW(GetSafeHwnd(), WM_GETFONT, 0, 0));
    if (font == nullptr) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (font == nullptr) font = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
    std::optional<LOGFONTW> logFont = CFont::LogFontOf(font);
    if (!logFont) return;
    standardFont_.CreateFontIndirect(*logFont);
    logFont->lfUnderline = TRUE;
    underlinedFont_.CreateFontIndirect(*logFont);
}

void CHyperLink::ShowFont(const CFont& font) const noexcept {
    ::SendMessageW(GetSafeHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), TRUE);
}

LRESULT CHyperLink::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client{};
        ::GetClientRect(GetSafeHwnd(), &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_SETCURSOR:
        if (linkCursor_) {
            ::SetCursor(linkCursor_.get());
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        OnMouseMove();
        break;
    case WM_TIMER:
        if (wParam == timerId_) OnHoverTimer();
        break;
    case WM_DESTROY:
        ::KillTimer(GetSafeHwnd(), timerId_);
        break;
    default:
        break;
    }
    return DefWindowProc(message, wParam, lParam);
}

std::optional<LRESULT> CHyperLink::OnChildNotify(UINT message, WPARAM wParam, LPARAM) noexcept {
    if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam)));
    if (message == WM_COMMAND) {
        OnClicked();
        return 0;
    }
    return std::nullopt;
}

HBRUSH CHyperLink::OnCtlColor(HDC dc) const noexcept {
    ::SetTextColor(dc, over_ ? hoverColour_ : visited_ ? visitedColour_ : linkColour_);
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CHyperLink::OnClicked() noexcept {
    over_ = false;
    const INT_PTR result = OpenLinkTarget(target_);
    visited_ = result > 32;
    if (!visited_) ::MessageBeep(MB_ICONEXCLAMATION);
    // Repainted either way, so that the colour shows the outcome: visited,
    // or back to the link colour after a failure cleared an earlier visit.
    ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
}

void CHyperLink::OnMouseMove() noexcept {
    if (over_) return;
    over_ = true;
    if (underlineMode_ == kUnderlineOnHover) ShowFont(underlinedFont_);
    ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
    ::SetTimer(GetSafeHwnd(), timerId_, kHoverTimerMs, nullptr);
}

void CHyperLink::OnHoverTimer() noexcept {
    const HWND control = GetSafeHwnd();
    const DWORD position = ::GetMessagePos();
    POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ::ScreenToClient(control, &point);
    RECT client{};
    ::GetClientRect(control, &client);
    if (::PtInRect(&client, point)) return;

    over_ = false;
    ::KillTimer(control, timerId_);
    if (underlineMode_ != kUnderlineAlways) ShowFont(standardFont_);
    client.bottom += kLeaveRepaintBelow;
    ::InvalidateRect(control, &client, TRUE);
}

}  // namespace pixelmoor
