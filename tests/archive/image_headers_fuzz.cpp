// Fuzz target of the program-header rule: any bytes are read within their
// bounds, and an extent is found only behind the two signatures.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "archive/image_rules.h"
#include "tests/support/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using pixelmoor::fuzz::Require;
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    const std::optional<std::uint64_t> extent = pixelmoor::ImageFileExtent(bytes);
    if (extent) Require(size >= 2 && data[0] == 'M' && data[1] == 'Z');
    return 0;
}
