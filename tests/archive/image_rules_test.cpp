#include "archive/image_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace pixelmoor {
namespace {

// Program headers as a linker writes them, with the fields the rule reads.
struct Layout {
    std::uint16_t magic = 0x20B;  // 64-bit
    std::uint32_t headersSize = 0x400;
    std::uint32_t directories = 16;
    std::uint32_t certificateOffset = 0;
    std::uint32_t certificateSize = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> sections;  // raw offset, raw size
    std::vector<std::uint32_t> addresses;                           // where each section lies in memory
};

constexpr std::size_t kNewHeader = 0x80;

void Put(std::vector<std::byte>& bytes, std::size_t at, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<std::byte>(value >> (8 * i));
}

std::vector<std::byte> Headers(const Layout& layout) {
    std::vector<std::byte> bytes(0x1000);
    Put(bytes, 0, 0x5A4D, 2);
    Put(bytes, 0x3C, kNewHeader, 4);
    Put(bytes, kNewHeader, 0x4550, 4);
    const bool wide = layout.magic == 0x20B;
    const std::size_t optionalSize = wide ? 240 : 224;
    Put(bytes, kNewHeader + 6, static_cast<std::uint32_t>(layout.sections.size()), 2);
    Put(bytes, kNewHeader + 20, static_cast<std::uint32_t>(optionalSize), 2);
    const std::size_t optional = kNewHeader + 24;
    Put(bytes, optional, layout.magic, 2);
    Put(bytes, optional + 60, layout.headersSize, 4);
    const std::size_t count = optional + (wide ? 108 : 92);
    Put(bytes, count, layout.directories, 4);
    Put(bytes, count + 4 + 4 * 8, layout.certificateOffset, 4);
    Put(bytes, count + 4 + 4 * 8 + 4, layout.certificateSize, 4);
    std::size_t header = optional + optionalSize;
    for (std::size_t i = 0; i < layout.sections.size(); ++i) {
        if (i < layout.addresses.size()) Put(bytes, header + 12, layout.addresses[i], 4);
        Put(bytes, header + 16, layout.sections[i].second, 4);
        Put(bytes, header + 20, layout.sections[i].first, 4);
        header += 40;
    }
    return bytes;
}

TEST(ImageRules, TheFileMustHoldHeadersSectionsAndSignature) {
    // The setup's own layout: code and data, memory without raw data, the
    // payload's section on a whole page, the relocations last.
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> setup = {
        {0x400, 0x21E00}, {0x22200, 0x200}, {0, 0}, {0x33000, 0x40FA00}, {0x442A00, 0x600}};
    struct Row {
        const char* what;
        Layout layout;
        std::optional<std::uint64_t> extent;
    };
    const Row rows[] = {
        // the end of the last section's raw data
        {"unsigned", {.sections = setup}, 0x443000},
        // the section without raw data (zero-filled memory) lies nowhere in the file
        {"uninitialised data", {.sections = {{0x400, 0x200}, {0x7FFFF000, 0}}}, 0x600},
        // a signature's table after the sections, by file offset
        {"signed", {.certificateOffset = 0x443000, .certificateSize = 0x2A18, .sections = setup}, 0x445A18},
        // an empty security directory names no table
        {"empty security directory", {.certificateOffset = 0x500000, .sections = setup}, 0x443000},
        // with fewer than five directories there is none
        {"four directories",
         {.directories = 4, .certificateOffset = 0x443000, .certificateSize = 0x100, .sections = setup},
         0x443000},
        // a 32-bit program keeps its directories 16 bytes earlier
        {"32-bit",
         {.magic = 0x10B, .certificateOffset = 0x1000, .certificateSize = 0x800, .sections = {{0x400, 0x400}}},
         0x1800},
        // headers without sections: the headers alone
        {"no sections", {.headersSize = 0x400}, 0x400},
        // sections in any order: the furthest end counts
        {"unordered", {.sections = {{0x9000, 0x1000}, {0x400, 0x200}}}, 0xA000},
        // raw ends beyond 4 GB do not wrap
        {"beyond 4 GB", {.sections = {{0xFFFFFE00, 0x400}}}, 0x100000200},
    };
    for (const Row& row : rows) EXPECT_EQ(ImageFileExtent(Headers(row.layout)), row.extent) << row.what;
}

TEST(ImageRules, ImageBytesAreFoundInTheirSectionsRawData) {
    // The setup's sections: code, data, memory without raw data, the
    // payload's section, the relocations.
    const Layout setup = {
        .sections = {{0x400, 0x21E00}, {0x22200, 0x200}, {0, 0}, {0x33000, 0x40FA00}, {0x442A00, 0x600}},
        .addresses = {0x1000, 0x23000, 0x33000, 0x3F000, 0x44F000}};
    const std::vector<std::byte> headers = Headers(setup);
    struct Row {
        const char* what;
        std::uint64_t address, size;
        std::optional<std::uint64_t> offset;
    };
    const Row rows[] = {
        // the payload inside the resource section: its file offset
        {"payload", 0x3F040, 0x406BED, 0x33040},
        // the whole of a section's raw data
        {"whole section", 0x3F000, 0x40FA00, 0x33000},
        // one byte past its raw data
        {"past the raw data", 0x3F000, 0x40FA01, std::nullopt},
        // an empty run at its very end still lies in it
        {"empty at the end", 0x3F000 + 0x40FA00, 0, 0x33000 + 0x40FA00},
        // memory that no raw data fills
        {"zero-filled memory", 0x33000, 0x10, std::nullopt},
        // before the first section: the headers are no section's
        {"headers", 0x100, 0x10, std::nullopt},
        // beyond the last section
        {"beyond the image", 0x500000, 0x10, std::nullopt},
        // a size that would wrap around is refused, not wrapped
        {"huge size", 0x3F040, ~std::uint64_t{0}, std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FileOffsetOfImageBytes(headers, row.address, row.size), row.offset) << row.what;
    EXPECT_EQ(FileOffsetOfImageBytes(std::vector<std::byte>(64), 0x3F040, 1), std::nullopt) << "no program";
}

TEST(ImageRules, WhatIsNoProgramHeaderHasNoExtent) {
    const std::vector<std::byte> good = Headers({.sections = {{0x400, 0x200}}});
    ASSERT_EQ(ImageFileExtent(good), 0x600u);
    struct Row {
        const char* what;
        std::size_t at;  // a byte changed
        std::byte value;
        std::size_t keep;  // of the bytes, only this many
    };
    const Row rows[] = {
        {"no MZ", 0, std::byte{'X'}, good.size()},                            // not an executable
        {"no PE signature", kNewHeader + 1, std::byte{'X'}, good.size()},     // an old DOS program
        {"ROM image", kNewHeader + 24, std::byte{0x07}, good.size()},         // magic 0x107
        {"new header far away", 0x3E, std::byte{0x10}, good.size()},          // e_lfanew beyond the bytes
        {"too many sections", kNewHeader + 7, std::byte{0x40}, good.size()},  // table runs out of the bytes
        {"cut in the headers", 0, std::byte{'M'}, kNewHeader + 100},          // the optional header is missing
        {"empty", 0, std::byte{'M'}, 0},                                      // nothing at all
    };
    for (const Row& row : rows) {
        std::vector<std::byte> bytes = good;
        if (row.at < bytes.size()) bytes[row.at] = row.value;
        bytes.resize(row.keep);
        EXPECT_EQ(ImageFileExtent(bytes), std::nullopt) << row.what;
    }
}

}  // namespace
}  // namespace pixelmoor
