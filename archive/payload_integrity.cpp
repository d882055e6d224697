#include "archive/payload_integrity.h"

#include <zlib.h>

#include <optional>
#include <string>

#include "archive/embedded_archive.h"
#include "archive/image_rules.h"
#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

// The headers lie in the image's first page, which the loader always maps.
constexpr std::size_t kImageHeaderBytes = 0x1000;

// The size of the module's file as it lies on the disk now.
std::optional<std::uint64_t> ModuleFileSize(HMODULE module) {
    std::wstring path(kLongPathLimit + 1, L'\0');
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return std::nullopt;
    path.resize(length);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

}  // namespace

bool PayloadMatches(std::span<const std::byte> payload, const PayloadDigest& expected) {
    if (payload.size() != expected.bytes) return false;
    const auto* bytes = reinterpret_cast<const Bytef*>(payload.data());
    return ::crc32_z(0, bytes, payload.size()) == expected.crc;
}

bool SetupFileIsWhole(HMODULE module, const PayloadDigest& expected) {
    const std::span<const std::byte> headers(reinterpret_cast<const std::byte*>(module), kImageHeaderBytes);
    const std::optional<std::uint64_t> needed = ImageFileExtent(headers);
    const std::optional<std::uint64_t> size = ModuleFileSize(module);
    if (!needed || !size || *size < *needed) return false;
    const std::optional<std::span<const std::byte>> payload = PayloadBytes(module);
    return payload && PayloadMatches(*payload, expected);
}

}  // namespace pixelmoor
