// Fuzz target of the program-header rules: any bytes are read within their
// bounds, an extent is found only behind the two signatures, and bytes found
// in the file lie within its extent.
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
    // Bytes found in the file lie wholly in it as its extent measures it.
    if (size >= 8) {
        std::uint64_t address = 0, length = 0;
        for (int i = 0; i < 4; ++i) address |= std::uint64_t{data[i]} << (8 * i);
        for (int i = 0; i < 4; ++i) length |= std::uint64_t{data[4 + i]} << (8 * i);
        const std::optional<std::uint64_t> offset = pixelmoor::FileOffsetOfImageBytes(bytes, address, length);
        if (offset && extent) Require(*offset + length <= *extent);
    }
    return 0;
}
