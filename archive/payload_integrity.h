// Whether the setup's own file is whole: a download that was cut short or
// damaged on its way is told before anything is written. The build records
// the payload archive's size and CRC-32 outside the archive (a generated
// source of each build, payload_digest.cpp), and the setup compares the
// payload that its file holds with them.
#pragma once

#include <windows.h>

#include <cstdint>

namespace pixelmoor {

// The size and CRC-32 of a payload archive.
struct PayloadDigest {
    std::uint64_t bytes = 0;
    std::uint32_t crc = 0;
};

// The digest that the build recorded for the archive it embedded.
[[nodiscard]] PayloadDigest EmbeddedPayloadDigest() noexcept;

// Whether the module's file holds all that its image needs (headers,
// sections, signature) and its payload ("ZIP" 1974) matches the digest.
// The payload is read from the file block by block, where the loader's copy
// of it comes from: the image's pages of it are not touched (those of a cut
// file are not there to read), and the check costs a read of the file, not
// a fault for every page of the image.
[[nodiscard]] bool SetupFileIsWhole(HMODULE module, const PayloadDigest& expected);

}  // namespace pixelmoor
