#include "archive/image_rules.h"

#include <algorithm>

namespace pixelmoor {

namespace {

// Where the fields lie (the PE format's layout).
constexpr std::size_t kNewHeaderOffsetAt = 0x3C;   // in the DOS header
constexpr std::size_t kFileHeaderBytes = 24;       // "PE\0\0" and the file header
constexpr std::size_t kSectionCountAt = 6;         // from "PE\0\0"
constexpr std::size_t kOptionalHeaderSizeAt = 20;  // from "PE\0\0"
constexpr std::size_t kHeadersSizeAt = 60;         // in the optional header, both kinds
constexpr std::uint16_t kMagic32 = 0x10B;
constexpr std::uint16_t kMagic64 = 0x20B;
constexpr std::size_t kDirectoryCountAt32 = 92;  // in the optional header
constexpr std::size_t kDirectoryCountAt64 = 108;
constexpr std::size_t kCertificateDirectory = 4;  // its offset is a file offset, not an address
constexpr std::size_t kDirectoryBytes = 8;
constexpr std::size_t kSectionHeaderBytes = 40;
constexpr std::size_t kRawSizeAt = 16;  // in a section header
constexpr std::size_t kRawOffsetAt = 20;

// The little-endian number of `width` bytes at offset; none past the end.
std::optional<std::uint32_t> Number(std::span<const std::byte> bytes, std::size_t offset, std::size_t width) {
    if (offset > bytes.size() || bytes.size() - offset < width) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = (value << 8) | std::to_integer<std::uint32_t>(bytes[offset + i]);
    return value;
}

}  // namespace

std::optional<std::uint64_t> ImageFileExtent(std::span<const std::byte> headers) {
    if (Number(headers, 0, 2) != 0x5A4Du) return std::nullopt;  // "MZ"
    const std::optional<std::uint32_t> pe = Number(headers, kNewHeaderOffsetAt, 4);
    if (!pe || Number(headers, *pe, 4) != 0x4550u) return std::nullopt;  // "PE\0\0"
    const std::optional<std::uint32_t> sections = Number(headers, std::size_t{*pe} + kSectionCountAt, 2);
    const std::optional<std::uint32_t> optionalSize = Number(headers, std::size_t{*pe} + kOptionalHeaderSizeAt, 2);
    if (!sections || !optionalSize) return std::nullopt;
    const std::size_t optional = std::size_t{*pe} + kFileHeaderBytes;
    const std::optional<std::uint32_t> magic = Number(headers, optional, 2);
    if (magic != kMagic32 && magic != kMagic64) return std::nullopt;
    const std::size_t countAt = optional + (magic == kMagic64 ? kDirectoryCountAt64 : kDirectoryCountAt32);
    const std::optional<std::uint32_t> directories = Number(headers, countAt, 4);
    const std::optional<std::uint32_t> headersSize = Number(headers, optional + kHeadersSizeAt, 4);
    if (!directories || !headersSize) return std::nullopt;

    std::uint64_t extent = *headersSize;
    if (*directories > kCertificateDirectory) {
        const std::size_t entry = countAt + 4 + kCertificateDirectory * kDirectoryBytes;
        const std::optional<std::uint32_t> offset = Number(headers, entry, 4);
        const std::optional<std::uint32_t> size = Number(headers, entry + 4, 4);
        if (!offset || !size) return std::nullopt;
        if (*size != 0) extent = std::max(extent, std::uint64_t{*offset} + *size);
    }
    const std::size_t table = optional + *optionalSize;
    for (std::size_t i = 0; i < *sections; ++i) {
        const std::size_t header = table + i * kSectionHeaderBytes;
        const std::optional<std::uint32_t> rawSize = Number(headers, header + kRawSizeAt, 4);
        const std::optional<std::uint32_t> rawOffset = Number(headers, header + kRawOffsetAt, 4);
        if (!rawSize || !rawOffset) return std::nullopt;
        // A section without raw data (zero-filled memory) needs nothing of the file.
        if (*rawSize != 0) extent = std::max(extent, std::uint64_t{*rawOffset} + *rawSize);
    }
    return extent;
}

}  // namespace pixelmoor
