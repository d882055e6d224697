// SHA-256 of a file's bytes (FIPS 180-4), as the setup records it for the
// uninstaller it installs and compares before it starts one: a small own
// implementation, so that the setup loads no further system library for it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pixelmoor {

// Characters of a digest written as hexadecimal digits.
inline constexpr std::size_t kSha256TextLength = 64;

// Takes the bytes in pieces of any size; Finish gives the digest of all of
// them, after which the hasher starts anew.
class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256() noexcept { Reset(); }
    void Update(std::span<const std::byte> bytes) noexcept;
    [[nodiscard]] Digest Finish() noexcept;

private:
    void Reset() noexcept;
    void Compress(const std::uint8_t* block) noexcept;

    std::array<std::uint32_t, 8> state_{};
    std::array<std::uint8_t, 64> block_{};
    std::size_t filled_ = 0;    // bytes waiting in block_
    std::uint64_t length_ = 0;  // bytes taken so far
};

// The digest as 64 small hexadecimal digits.
[[nodiscard]] std::wstring Sha256Text(const Sha256::Digest& digest);

}  // namespace pixelmoor
