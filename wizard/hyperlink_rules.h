// The hyperlink control's rules that need no window: how it fits its
// rectangle to its text, how the fallback opener builds its command line,
// and which registry texts it accepts. Compiled natively for tests.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "wizard/static_styles.h"

namespace pixelmoor {

// A rectangle in the parent's client coordinates.
struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const Box&, const Box&) = default;
};

struct Extent {
    int width = 0;
    int height = 0;
};

// Where a control of window rectangle `window` goes when it is fitted to a
// text of size `text`: the wanted size is the text's plus the control's
// frame (window size less client size). Vertically, with SS_CENTERIMAGE the
// rectangle shrinks or grows by half the difference at top and at bottom
// (rounded towards zero), else the top stays. Horizontally, SS_CENTER works
// the same way, SS_RIGHT keeps the right edge, anything else the left edge.
[[nodiscard]] Box FitBoxToText(Box window, Extent client, Extent text, unsigned style) noexcept;

// The command line of the fallback opener: the ".htm" handler's command cut
// at its placeholder ("%1" in double quotes, else %1; without either the
// whole command stays), then a blank and the target.
[[nodiscard]] std::wstring FallbackCommandLine(std::wstring_view command, std::wstring_view target);

// Bytes that a registry read may hand back for the ".htm" handler's values.
inline constexpr std::size_t kHandlerValueBytes = 260;

}  // namespace pixelmoor
