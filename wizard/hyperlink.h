// CHyperLink: turns a static text of a dialog into a web link. It draws the
// text in link colours, underlines it always or while the mouse is over it,
// shows a hand cursor, opens its target when clicked and remembers whether
// that worked (visited).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "framework/gdi_objects.h"
#include "framework/static_control.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

class CHyperLink : public CStatic {
public:
    // Underline modes.
    static constexpr int kUnderlineOnHover = -1;
    static constexpr int kUnderlineAlways = 1;
    static constexpr int kUnderlineNever = 0;

    CHyperLink() noexcept = default;
    ~CHyperLink() override = default;

    // Stores the address a click opens; fits the control to its text.
    void SetLinkTarget(std::wstring_view target);
    // -1: underlined while the mouse is over it, 1: always, other: never.
    void SetUnderlineMode(int mode) noexcept;
    // Resizes the control to its text (while the fit flag is set).
    void FitToText() noexcept;
    // Loads the hand cursor once.
    void LoadLinkCursor() noexcept;
    // Opens an address in the browser; the shell's result code (above 32
    // means success).
    [[nodiscard]] static INT_PTR OpenLinkTarget(const std::wstring& target) noexcept;

    [[nodiscard]] const std::wstring& LinkTarget() const noexcept { return target_; }
    [[nodiscard]] HCURSOR LinkCursor() const noexcept { return linkCursor_.get(); }

protected:
    void PreSubclassWindow() noexcept override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;
    std::optional<LRESULT> OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;

private:
    [[nodiscard]] HBRUSH OnCtlColor(HDC dc) const noexcept;
    void OnClicked() noexcept;
    void OnMouseMove() noexcept;
    void OnHoverTimer() noexcept;
    void ShowFont(const CFont& font) const noexcept;
    void CreateFonts() noexcept;

    COLORREF linkColour_ = RGB(0, 0, 238);
    COLORREF visitedColour_ = RGB(85, 26, 139);
    COLORREF hoverColour_ = RGB(255, 0, 0);
    bool over_ = false;
    bool visited_ = false;
    int underlineMode_ = kUnderlineOnHover;
    bool fitToText_ = true;
    std::wstring target_;
    CFont underlinedFont_;
    CFont standardFont_;
    UniqueCursor linkCursor_;
    UINT_PTR timerId_ = 100;
};

}  // namespace pixelmoor
