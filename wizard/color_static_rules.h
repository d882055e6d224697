// The colour static's choice of drawing flags from its control style.
// Compiled natively for tests.
#pragma once

namespace pixelmoor {

// DrawTextW flags (values of winuser.h).
inline constexpr unsigned kDrawLeft = 0x0;        // DT_LEFT
inline constexpr unsigned kDrawCenter = 0x1;      // DT_CENTER
inline constexpr unsigned kDrawRight = 0x2;       // DT_RIGHT
inline constexpr unsigned kDrawVCenter = 0x4;     // DT_VCENTER
inline constexpr unsigned kDrawWordBreak = 0x10;  // DT_WORDBREAK
inline constexpr unsigned kDrawSingleLine = 0x20; // DT_SINGLELINE

// SS_CENTER centres, else SS_RIGHT aligns right, else left. SS_CENTERIMAGE
// draws one line centred vertically; without it the text wraps at words.
[[nodiscard]] unsigned ColorStaticDrawFlags(unsigned style) noexcept;

}  // namespace pixelmoor
