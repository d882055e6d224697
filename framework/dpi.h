// The screen resolution at which the program's pixel sizes are given; a
// device that reports no resolution counts as this one.
#pragma once

namespace pixelmoor {

inline constexpr int kDefaultDpi = 96;

}  // namespace pixelmoor
