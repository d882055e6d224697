// Shared pieces of the fuzz programs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace pixelmoor::fuzz {

// A broken invariant ends the run, so that the fuzzer keeps the input.
inline void Require(bool condition) {
    if (!condition) std::abort();
}

// Each byte is one character (0 to 255), so text seeds stay readable and the
// separators, dots, blanks and switch names that matter are easy to reach.
inline std::wstring Decode(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i) text += static_cast<wchar_t>(data[i]);
    return text;
}

}  // namespace pixelmoor::fuzz
