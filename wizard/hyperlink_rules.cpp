#include "wizard/hyperlink_rules.h"

namespace pixelmoor {

namespace {

// Moves both ends of [low, high] towards (or away from) each other so that
// the span approaches `wanted`, by half the difference at each end.
void CentreSpan(int& low, int& high, int wanted) noexcept {
    const int half = ((high - low) - wanted) / 2;
    low += half;
    high -= half;
}

}  // namespace

Box FitBoxToText(Box window, Extent client, Extent text, unsigned style) noexcept {
    const int wantedWidth = text.width + ((window.right - window.left) - client.width);
    const int wantedHeight = text.height + ((window.bottom - window.top) - client.height);

    if ((style & kStaticCenterImage) != 0) {
        CentreSpan(window.top, window.bottom, wantedHeight);
    } else {
        window.bottom = window.top + wantedHeight;
    }

    const unsigned alignment = style & kStaticTypeMask;
    if (alignment == kStaticCenter) {
        CentreSpan(window.left, window.right, wantedWidth);
    } else if (alignment == kStaticRight) {
        window.left = window.right - wantedWidth;
    } else {
        window.right = window.left + wantedWidth;
    }
    return window;
}

std::wstring FallbackCommandLine(std::wstring_view command, std::wstring_view target) {
    std::size_t placeholder = command.find(L"\"%1\"");
    if (placeholder == std::wstring_view::npos) placeholder = command.find(L"%1");
    std::wstring line(command.substr(0, placeholder));
    line += L' ';
    line += target;
    return line;
}

}  // namespace pixelmoor
