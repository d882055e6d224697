// Whether the setup's own file is whole: a download that was cut short or
// damaged on its way is told before anything is written. The build records
// the payload archive's size and CRC-32 outside the archive (a generated
// source of each build, payload_digest.cpp), and the setup compares the
// payload that it carries with them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace pixelmoor {

// The size and CRC-32 of a payload archive.
struct PayloadDigest {
    std::uint64_t bytes = 0;
    std::uint32_t crc = 0;
};

// The digest that the build recorded for the archive it embedded.
[[nodiscard]] PayloadDigest EmbeddedPayloadDigest() noexcept;

// Whether the bytes are those of the digest: the same size and CRC-32.
[[nodiscard]] bool PayloadMatches(std::span<const std::byte> payload, const PayloadDigest& expected);

// Whether the module's file holds all that its image needs (headers,
// sections, signature) and its payload ("ZIP" 1974) matches the digest. The
// file's size is looked at first: the pages of a payload that lies beyond
// the end of a cut file are never read.
[[nodiscard]] bool SetupFileIsWhole(HMODULE module, const PayloadDigest& expected);

}  // namespace pixelmoor
