// How far an installation is, as its wizard's progress bar shows it: the
// unpacking moves the bar by the bytes of file data written, and the steps
// after it take the last few positions.
#pragma once

#include <cstdint>

namespace pixelmoor {

// The bar's range is 0 to kProgressEnd.
inline constexpr int kProgressEnd = 100;
// Where the unpacking leaves the bar: every file written.
inline constexpr int kUnpackedPosition = 96;
// After the settings file, after the registration (shortcuts and
// associations), and at the end.
inline constexpr int kSettingsWrittenPosition = 97;
inline constexpr int kRegisteredPosition = 99;

// The bar's position after `written` of the payload's `total` bytes of file
// data: from 0 up to kUnpackedPosition, never beyond it (a payload whose
// directory counts fewer bytes than it holds, or none).
[[nodiscard]] int UnpackingPosition(std::uint64_t written, std::uint64_t total) noexcept;

}  // namespace pixelmoor
