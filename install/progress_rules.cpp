#include "install/progress_rules.h"

namespace pixelmoor {

int UnpackingPosition(std::uint64_t written, std::uint64_t total) noexcept {
    if (written >= total) return kUnpackedPosition;
    // written < total, which the archive's 16-bit entry count and 32-bit
    // sizes keep far below 2^58: the product does not overflow.
    return static_cast<int>(written * kUnpackedPosition / total);
}

}  // namespace pixelmoor
