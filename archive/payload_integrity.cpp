#include "archive/payload_integrity.h"

#include <zlib.h>

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "archive/embedded_archive.h"
#include "archive/image_rules.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

namespace {

// The headers lie in the image's first page, which the loader always maps.
constexpr std::size_t kImageHeaderBytes = 0x1000;
// Bytes read from the setup's file at a time while its payload is checked.
constexpr std::size_t kCheckBlockBytes = 1 << 20;

// The module's own file, open for reading while the loader holds it too.
UniqueFile OpenModuleFile(HMODULE module) {
    std::wstring path(kLongPathLimit + 1, L'\0');
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return {};
    path.resize(length);
    return UniqueFile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// The CRC-32 of `size` bytes of the file from `offset`; none when the file
// cannot be read that far.
std::optional<std::uint32_t> FileCrc(HANDLE file, std::uint64_t offset, std::uint64_t size) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) return std::nullopt;
    std::vector<Bytef> block(kCheckBlockBytes);
    uLong crc = ::crc32_z(0, nullptr, 0);
    for (std::uint64_t left = size; left > 0;) {
        const auto wanted = static_cast<DWORD>(std::min<std::uint64_t>(left, block.size()));
        DWORD read = 0;
        if (!::ReadFile(file, block.data(), wanted, &read, nullptr) || read != wanted) return std::nullopt;
        crc = ::crc32_z(crc, block.data(), read);
        left -= read;
    }
    return static_cast<std::uint32_t>(crc);
}

}  // namespace

bool SetupFileIsWhole(HMODULE module, const PayloadDigest& expected) {
    const auto* base = reinterpret_cast<const std::byte*>(module);
    const std::span<const std::byte> headers(base, kImageHeaderBytes);
    const UniqueFile file = OpenModuleFile(module);
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size)) return false;
    const std::optional<std::uint64_t> needed = ImageFileExtent(headers);
    if (!needed || static_cast<std::uint64_t>(size.QuadPart) < *needed) return false;
    // Where the loader mapped the payload tells where the file holds it; its
    // bytes in the image are not read.
    const std::optional<std::span<const std::byte>> payload = PayloadBytes(module);
    if (!payload || payload->size() != expected.bytes) return false;
    const auto address = static_cast<std::uint64_t>(payload->data() - base);
    const std::optional<std::uint64_t> offset = FileOffsetOfImageBytes(headers, address, payload->size());
    return offset && FileCrc(file.get(), *offset, payload->size()) == expected.crc;
}

}  // namespace pixelmoor
