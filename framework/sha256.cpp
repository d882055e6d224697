#include "framework/sha256.h"

namespace pixelmoor {

namespace {

constexpr std::array<std::uint32_t, 64> kRoundConstants = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

constexpr std::array<std::uint32_t, 8> kInitialState = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

constexpr std::size_t kBlockBytes = 64;
// Where the message's length in bits goes in the last block.
constexpr std::size_t kLengthOffset = 56;

constexpr std::uint32_t RotateRight(std::uint32_t value, int bits) noexcept {
    return (value >> bits) | (value << (32 - bits));
}

}  // namespace

void Sha256::Reset() noexcept {
    state_ = kInitialState;
    filled_ = 0;
    length_ = 0;
}

void Sha256::Compress(const std::uint8_t* block) noexcept {
    std::array<std::uint32_t, 64> w{};
    for (std::size_t i = 0; i < 16; ++i)
        w[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 |
               std::uint32_t{block[4 * i + 2]} << 8 | std::uint32_t{block[4 * i + 3]};
    for (std::size_t i = 16; i < 64; ++i) {
        const std::uint32_t s0 = RotateRight(w[i - 15], 7) ^ RotateRight(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = RotateRight(w[i - 2], 17) ^ RotateRight(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::array<std::uint32_t, 8> v = state_;
    for (std::size_t i = 0; i < 64; ++i) {
        const std::uint32_t s1 = RotateRight(v[4], 6) ^ RotateRight(v[4], 11) ^ RotateRight(v[4], 25);
        const std::uint32_t choice = (v[4] & v[5]) ^ (~v[4] & v[6]);
        const std::uint32_t t1 = v[7] + s1 + choice + kRoundConstants[i] + w[i];
        const std::uint32_t s0 = RotateRight(v[0], 2) ^ RotateRight(v[0], 13) ^ RotateRight(v[0], 22);
        const std::uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
        const std::uint32_t t2 = s0 + majority;
        v = {t1 + t2, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
    }
    for (std::size_t i = 0; i < 8; ++i) state_[i] += v[i];
}

void Sha256::Update(std::span<const std::byte> bytes) noexcept {
    length_ += bytes.size();
    for (const std::byte b : bytes) {
        block_[filled_++] = static_cast<std::uint8_t>(b);
        if (filled_ == kBlockBytes) {
            Compress(block_.data());
            filled_ = 0;
        }
    }
}

Sha256::Digest Sha256::Finish() noexcept {
    const std::uint64_t bits = length_ * 8;
    // A one bit, zeros up to the length's place (in the next block when
    // this one has no room for it), then the length, high byte first.
    block_[filled_++] = 0x80;
    if (filled_ > kLengthOffset) {
        while (filled_ < kBlockBytes) block_[filled_++] = 0;
        Compress(block_.data());
        filled_ = 0;
    }
    while (filled_ < kLengthOffset) block_[filled_++] = 0;
    for (int i = 7; i >= 0; --i) block_[filled_++] = static_cast<std::uint8_t>(bits >> (8 * i));
    Compress(block_.data());
    Digest digest{};
    for (std::size_t i = 0; i < 8; ++i)
        for (std::size_t b = 0; b < 4; ++b) digest[4 * i + b] = static_cast<std::uint8_t>(state_[i] >> (24 - 8 * b));
    Reset();
    return digest;
}

std::wstring Sha256Text(const Sha256::Digest& digest) {
    constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    text.reserve(kSha256TextLength);
    for (const std::uint8_t b : digest) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0xF];
    }
    return text;
}

}  // namespace pixelmoor
