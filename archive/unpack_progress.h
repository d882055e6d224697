// What the unpacking loop tells about its way through the payload: the bytes
// of file data it has written. Whoever shows progress implements it; the
// loop calls it on its own thread.
#pragma once

#include <cstdint>

namespace pixelmoor {

class UnpackProgress {
public:
    // `bytes` more bytes of file data have just been written to their file.
    virtual void Written(std::uint64_t bytes) noexcept = 0;

protected:
    UnpackProgress() = default;
    UnpackProgress(const UnpackProgress&) = default;
    UnpackProgress& operator=(const UnpackProgress&) = default;
    ~UnpackProgress() = default;
};

}  // namespace pixelmoor
