#include "tests/resources/pe_imports.h"

#include <utility>

namespace pixelmoor::test {
namespace {

constexpr std::size_t kPeOffsetField = 0x3C;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kImportDescriptorSize = 20;
constexpr std::size_t kDelayDescriptorSize = 32;
constexpr std::size_t kImportDirectory = 1;
constexpr std::size_t kDelayImportDirectory = 13;
constexpr std::size_t kDescriptorLimit = 4096;  // far more DLLs than any program imports
constexpr std::size_t kNameLimit = 512;

class Bytes {
public:
    explicit Bytes(std::span<const std::uint8_t> data) : data_(data) {}

    [[nodiscard]] std::optional<std::uint32_t> U16(std::size_t at) const { return Little(at, 2); }
    [[nodiscard]] std::optional<std::uint32_t> U32(std::size_t at) const { return Little(at, 4); }

    // A NUL-terminated name that lies wholly inside the data.
    [[nodiscard]] std::optional<std::string> Name(std::size_t at) const {
        std::string name;
        for (std::size_t i = at; i < data_.size() && name.size() < kNameLimit; ++i) {
            if (data_[i] == 0) return name;
            name.push_back(static_cast<char>(data_[i]));
        }
        return std::nullopt;
    }

private:
    [[nodiscard]] std::optional<std::uint32_t> Little(std::size_t at, std::size_t width) const {
        if (at > data_.size() || data_.size() - at < width) return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = width; i-- > 0;) value = (value << 8) | data_[at + i];
        return value;
    }

    std::span<const std::uint8_t> data_;
};

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t virtualSize;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

class Image {
public:
    Image(Bytes bytes, std::vector<Section> sections) : bytes_(bytes), sections_(std::move(sections)) {}

    // File offset of a relative virtual address that lies in a section's raw data.
    [[nodiscard]] std::optional<std::size_t> Offset(std::uint32_t rva) const {
        for (const Section& s : sections_) {
            if (rva >= s.virtualAddress && rva - s.virtualAddress < s.rawSize) {
                return std::size_t{s.rawOffset} + (rva - s.virtualAddress);
            }
        }
        return std::nullopt;
    }

    // The DLL names of a descriptor table: one name RVA at nameField in each
    // descriptor of the given size, up to the first descriptor that is all zero.
    [[nodiscard]] std::optional<std::vector<std::string>> Names(std::uint32_t tableRva, std::size_t descriptorSize,
                                                                std::size_t nameField) const {
        std::vector<std::string> names;
        if (tableRva == 0) return names;
        const auto table = Offset(tableRva);
        if (!table) return std::nullopt;
        for (std::size_t index = 0; index < kDescriptorLimit; ++index) {
            const std::size_t at = *table + index * descriptorSize;
            bool allZero = true;
            for (std::size_t field = 0; field < descriptorSize; field += 4) {
                const auto value = bytes_.U32(at + field);
                if (!value) return std::nullopt;
                allZero = allZero && *value == 0;
            }
            if (allZero) return names;
            const auto nameOffset = Offset(*bytes_.U32(at + nameField));
            if (!nameOffset) return std::nullopt;
            auto name = bytes_.Name(*nameOffset);
            if (!name) return std::nullopt;
            names.push_back(std::move(*name));
        }
        return std::nullopt;
    }

private:
    Bytes bytes_;
    std::vector<Section> sections_;
};

}  // namespace

std::optional<PeImports> ReadPeImports(std::span<const std::uint8_t> file) {
    const Bytes bytes(file);
    if (bytes.U16(0) != 0x5A4D) return std::nullopt;  // "MZ"
    const auto peOffset = bytes.U32(kPeOffsetField);
    if (!peOffset || bytes.U32(*peOffset) != 0x00004550) return std::nullopt;  // "PE\0\0"
    const std::size_t fileHeader = std::size_t{*peOffset} + 4;
    const auto sectionCount = bytes.U16(fileHeader + 2);
    const auto optionalSize = bytes.U16(fileHeader + 16);
    const std::size_t optionalHeader = fileHeader + kFileHeaderSize;
    const auto magic = bytes.U16(optionalHeader);
    if (!sectionCount || !optionalSize || !magic) return std::nullopt;

    // The data directories follow the PE32 (0x10B) or PE32+ (0x20B) fields.
    std::size_t directoryCountField = 0;
    if (*magic == 0x10B) {
        directoryCountField = 92;
    } else if (*magic == 0x20B) {
        directoryCountField = 108;
    } else {
        return std::nullopt;
    }
    const auto directoryCount = bytes.U32(optionalHeader + directoryCountField);
    if (!directoryCount || directoryCountField + 4 + std::size_t{*directoryCount} * 8 > *optionalSize) {
        return std::nullopt;
    }
    const auto directoryRva = [&](std::size_t index) -> std::optional<std::uint32_t> {
        if (index >= *directoryCount) return 0;
        return bytes.U32(optionalHeader + directoryCountField + 4 + index * 8);
    };

    std::vector<Section> sections;
    const std::size_t sectionTable = optionalHeader + *optionalSize;
    for (std::size_t i = 0; i < *sectionCount; ++i) {
        const std::size_t at = sectionTable + i * kSectionHeaderSize;
        const auto virtualSize = bytes.U32(at + 8);
        const auto virtualAddress = bytes.U32(at + 12);
        const auto rawSize = bytes.U32(at + 16);
        const auto rawOffset = bytes.U32(at + 20);
        if (!virtualSize || !virtualAddress || !rawSize || !rawOffset) return std::nullopt;
        sections.push_back({*virtualAddress, *virtualSize, *rawSize, *rawOffset});
    }
    const Image image(bytes, std::move(sections));

    const auto importRva = directoryRva(kImportDirectory);
    const auto delayRva = directoryRva(kDelayImportDirectory);
    if (!importRva || !delayRva) return std::nullopt;
    auto dlls = image.Names(*importRva, kImportDescriptorSize, 12);
    auto delayed = image.Names(*delayRva, kDelayDescriptorSize, 4);
    if (!dlls || !delayed) return std::nullopt;
    return PeImports{std::move(*dlls), std::move(*delayed)};
}

}  // namespace pixelmoor::test
