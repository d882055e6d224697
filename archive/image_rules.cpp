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
// In a section header: where it lies in memory, and its raw data's size and file offset.
constexpr std::size_t kAddressAt = 12;
constexpr std::size_t kRawSizeAt = 16;
constexpr std::size_t kRawOffsetAt = 20;

// The little-endian number of `width` bytes at offset; none past the end.
std::optional<std::uint32_t> Number(std::span<const std::byte> bytes, std::size_t offset, std::size_t width) {
    if (offset > bytes.size() || bytes.size() - offset < width) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = (value << 8) | std::to_integer<std::uint32_t>(bytes[offset + i]);
    return value;
}

// Where the optional header and the section table lie, read from the
// file's first bytes; none when they are no PE headers of a 32- or 64-bit
// program.
struct HeaderPlaces {
    std::size_t optional;  // the optional header
    std::size_t countAt;   // its count of data directories, which they follow
    std::size_t table;     // the section table
    std::size_t sections;
};

std::optional<HeaderPlaces> FindHeaders(std::span<const std::byte> headers) {
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
    return HeaderPlaces{optional, countAt, optional + *optionalSize, *sections};
}

// One section's place in memory and in the file.
struct Section {
    std::uint32_t address;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

std::optional<Section> SectionAt(std::span<const std::byte> headers, const HeaderPlaces& places, std::size_t i) {
    const std::size_t header = places.table + i * kSectionHeaderBytes;
    const std::optional<std::uint32_t> address = Number(headers, header + kAddressAt, 4);
    const std::optional<std::uint32_t> rawSize = Number(headers, header + kRawSizeAt, 4);
    const std::optional<std::uint32_t> rawOffset = Number(headers, header + kRawOffsetAt, 4);
    if (!address || !rawSize || !rawOffset) return std::nullopt;
    return Section{*address, *rawSize, *rawOffset};
}

}  // namespace

std::optional<std::uint64_t> ImageFileExtent(std::span<const std::byte> headers) {
    const std::optional<HeaderPlaces> places = FindHeaders(headers);
    if (!places) return std::nullopt;
    const std::optional<std::uint32_t> directories = Number(headers, places->countAt, 4);
    const std::optional<std::uint32_t> headersSize = Number(headers, places->optional + kHeadersSizeAt, 4);
    if (!directories || !headersSize) return std::nullopt;

    std::uint64_t extent = *headersSize;
    if (*directories > kCertificateDirectory) {
        const std::size_t entry = places->countAt + 4 + kCertificateDirectory * kDirectoryBytes;
        const std::optional<std::uint32_t> offset = Number(headers, entry, 4);
        const std::optional<std::uint32_t> size = Number(headers, entry + 4, 4);
        if (!offset || !size) return std::nullopt;
        if (*size != 0) extent = std::max(extent, std::uint64_t{*offset} + *size);
    }
    for (std::size_t i = 0; i < places->sections; ++i) {
        const std::optional<Section> section = SectionAt(headers, *places, i);
        if (!section) return std::nullopt;
        // A section without raw data (zero-filled memory) needs nothing of the file.
        if (section->rawSize != 0) extent = std::max(extent, std::uint64_t{section->rawOffset} + section->rawSize);
    }
    return extent;
}

std::optional<std::uint64_t> FileOffsetOfImageBytes(std::span<const std::byte> headers, std::uint64_t address,
                                                    std::uint64_t size) {
    const std::optional<HeaderPlaces> places = FindHeaders(headers);
    if (!places) return std::nullopt;
    for (std::size_t i = 0; i < places->sections; ++i) {
        const std::optional<Section> section = SectionAt(headers, *places, i);
        if (!section) return std::nullopt;
        if (section->rawSize == 0 || address < section->address) continue;
        const std::uint64_t into = address - section->address;
        if (into <= section->rawSize && size <= section->rawSize - into) return section->rawOffset + into;
    }
    return std::nullopt;
}

}  // namespace pixelmoor
