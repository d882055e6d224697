// CXColorStatic: a static text that paints itself in its own colours and
// with its own font, for a large coloured message in a dialog.
#pragma once

#include <windows.h>

#include "framework/gdi_objects.h"
#include "framework/static_control.h"

namespace pixelmoor {

class CXColorStatic : public CStatic {
public:
    // Text in the button text colour on the button face, as a dialog shows it.
    CXColorStatic() noexcept;
    ~CXColorStatic() override = default;

    // Every font the control makes from now on has weight 700 (on) or 400;
    // the current font is remade with that weight at once.
    void UseBoldWeight(bool on) noexcept;
    // The font becomes Arial of this height (antialiased), weight as set.
    void UseArialFont(int height) noexcept;
    // Replaces the font by one made from `logFont` with the control's weight
    // and repaints the control at once.
    void RecreateTextFont(const LOGFONTW& logFont) noexcept;
    // Takes effect at the next paint.
    void SetTextColor(COLORREF colour) noexcept { textColour_ = colour; }

    [[nodiscard]] COLORREF TextColor() const noexcept { return textColour_; }
    [[nodiscard]] HFONT TextFont() const noexcept { return font_.GetSafeHandle(); }

protected:
    void PreSubclassWindow() noexcept override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;

private:
    void Paint(HDC dc) const noexcept;
    [[nodiscard]] HFONT DialogFont() const noexcept;

    CFont font_;
    COLORREF textColour_;
    COLORREF backgroundColour_;
    CBrush backgroundBrush_;
    bool bold_ = false;
};

}  // namespace pixelmoor
