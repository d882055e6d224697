// Font and brush objects of the window classes: each owns at most one GDI
// object, deletes it when replaced or destroyed, and hands out the handle
// for drawing calls.
#pragma once

#include <windows.h>

#include <optional>

#include "framework/dpi.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

// The horizontal resolution of a window's device context (null: the
// screen's); kDefaultDpi when none is obtained.
[[nodiscard]] inline int WindowDpi(HWND window) noexcept {
    const ScreenDc dc(window);
    return dc ? ::GetDeviceCaps(dc.get(), LOGPIXELSX) : kDefaultDpi;
}

class CFont {
public:
    CFont() noexcept = default;

    // Replaces the held font by one made from the description; false (and
    // no font) when GDI cannot make it.
    bool CreateFontIndirect(const LOGFONTW& logFont) noexcept {
        font_.reset(::CreateFontIndirectW(&logFont));
        return font_.valid();
    }
    // Takes over a font made elsewhere.
    void Attach(UniqueFont font) noexcept { font_ = std::move(font); }
    void DeleteObject() noexcept { font_.reset(); }

    [[nodiscard]] HFONT GetSafeHandle() const noexcept { return font_.get(); }
    explicit operator bool() const noexcept { return font_.valid(); }

    // The description of the held font; empty when there is none.
    [[nodiscard]] std::optional<LOGFONTW> GetLogFont() const noexcept { return LogFontOf(font_.get()); }

    // The description of any font handle; empty for a null or foreign handle.
    [[nodiscard]] static std::optional<LOGFONTW> LogFontOf(HFONT font) noexcept {
        LOGFONTW logFont{};
        if (font == nullptr || ::GetObjectW(font, sizeof(logFont), &logFont) != sizeof(logFont)) return std::nullopt;
        return logFont;
    }

private:
    UniqueFont font_;
};

class CBrush {
public:
    CBrush() noexcept = default;

    bool CreateSolidBrush(COLORREF colour) noexcept {
        brush_.reset(::CreateSolidBrush(colour));
        return brush_.valid();
    }
    void DeleteObject() noexcept { brush_.reset(); }

    [[nodiscard]] HBRUSH GetSafeHandle() const noexcept { return brush_.get(); }
    explicit operator bool() const noexcept { return brush_.valid(); }

private:
    UniqueBrush brush_;
};

}  // namespace pixelmoor
