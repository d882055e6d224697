// How the bytes of a registry string value (UTF-16, low byte first, as the
// registry hands them out) become its text. The registry keeps what was
// written, a terminator or none and zeros inside, so each reader that must
// keep an exact rule names the one it keeps.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace pixelmoor {

// The characters before the first terminator; a value stored without one is
// taken whole (an odd last byte passed over).
[[nodiscard]] std::wstring TextBeforeTerminator(std::span<const unsigned char> bytes);

// The characters before the first terminator, only when the value holds one
// and an even number of bytes; none otherwise, so that nothing past the
// bytes read is ever taken for text.
[[nodiscard]] std::optional<std::wstring> TerminatedText(std::span<const unsigned char> bytes);

// Every character, zeros inside kept; only the zeros at its end dropped (an
// odd last byte passed over).
[[nodiscard]] std::wstring TextWithoutTrailingZeros(std::span<const unsigned char> bytes);

}  // namespace pixelmoor
