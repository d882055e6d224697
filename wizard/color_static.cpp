#include "wizard/color_static.h"

#include <cwchar>
#include <string>

#include "wizard/color_static_rules.h"

namespace pixelmoor {

namespace {

static_assert(kDrawLeft == DT_LEFT && kDrawCenter == DT_CENTER && kDrawRight == DT_RIGHT &&
              kDrawVCenter == DT_VCENTER && kDrawWordBreak == DT_WORDBREAK && kDrawSingleLine == DT_SINGLELINE);

constexpr LONG kBoldWeight = 700;
constexpr LONG kNormalWeight = 400;
constexpr wchar_t kArial[] = L"Arial";

}  // namespace

CXColorStatic::CXColorStatic() noexcept
    : textColour_(::GetSysColor(COLOR_BTNTEXT)), backgroundColour_(::GetSysColor(COLOR_BTNFACE)) {
    backgroundBrush_.CreateSolidBrush(backgroundColour_);
}

HFONT CXColorStatic::DialogFont() const noexcept {
    auto font = reinterpret_cast<HFONT>(::SendMessageW(GetSafeHwnd(), WM_GETFONT, 0, 0));
    if (font == nullptr) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (font == nullptr) font = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
    return font;
}

void CXColorStatic::PreSubclassWindow() noexcept {
    if (const std::optional<LOGFONTW> logFont = CFont::LogFontOf(DialogFont())) font_.CreateFontIndirect(*logFont);
}

void CXColorStatic::UseBoldWeight(bool on) noexcept {
    bold_ = on;
    // The control's own font, so that a face and height set before keep;
    // the window's font only while the control has none of its own.
    std::optional<LOGFONTW> logFont = font_.GetLogFont();
    if (!logFont) logFont = CFont::LogFontOf(DialogFont());
    if (logFont) RecreateTextFont(*logFont);
}

void CXColorStatic::UseArialFont(int height) noexcept {
    LOGFONTW logFont{};
    std::wcsncpy(logFont.lfFaceName, kArial, LF_FACESIZE - 1);
    logFont.lfHeight = height;
    logFont.lfQuality = ANTIALIASED_QUALITY;
    RecreateTextFont(logFont);
}

void CXColorStatic::RecreateTextFont(const LOGFONTW& logFont) noexcept {
    font_.DeleteObject();
    LOGFONTW weighted = logFont;
    weighted.lfWeight = bold_ ? kBoldWeight : kNormalWeight;
    font_.CreateFontIndirect(weighted);
    // Painted now: the caller may keep the thread busy without painting.
    if (GetSafeHwnd() != nullptr) {
        ::RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

LRESULT CXColorStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client{};
        ::GetClientRect(GetSafeHwnd(), &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, backgroundBrush_.GetSafeHandle());
        return TRUE;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        const HDC dc = ::BeginPaint(GetSafeHwnd(), &paint);
        if (dc != nullptr) Paint(dc);
        ::EndPaint(GetSafeHwnd(), &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        // Drawn the same way into a caller's context (PrintWindow, animations).
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        return DefWindowProc(message, wParam, lParam);
    }
}

void CXColorStatic::Paint(HDC dc) const noexcept {
    const int saved = ::SaveDC(dc);
    ::SetTextColor(dc, textColour_);
    ::SetBkColor(dc, backgroundColour_);
    ::SetBkMode(dc, OPAQUE);
    ::SelectObject(dc, backgroundBrush_.GetSafeHandle());
    if (font_) ::SelectObject(dc, font_.GetSafeHandle());

    const HWND control = GetSafeHwnd();
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    const auto style = static_cast<unsigned>(::GetWindowLongW(control, GWL_STYLE));
    RECT client{};
    ::GetClientRect(control, &client);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, ColorStaticDrawFlags(style));
    ::RestoreDC(dc, saved);
}

}  // namespace pixelmoor
