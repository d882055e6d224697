// An archive file read through a read-only view of the whole file, and
// minizip's reader over those bytes. minizip reads headers a byte at a time;
// through the view each such read is a copy from memory, not a system call.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>

#include "archive/unzip_owner.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

// The whole of a file mapped for reading. The view holds the file's mapping
// open on its own; it must go before the file is deleted.
class MappedFile {
public:
    MappedFile() noexcept = default;
    // Maps the file that `file` (opened with read access) names; empty when it
    // has no bytes or cannot be mapped.
    explicit MappedFile(HANDLE file);

    [[nodiscard]] std::span<const std::byte> bytes() const noexcept {
        return {static_cast<const std::byte*>(view_.get()), size_};
    }
    [[nodiscard]] explicit operator bool() const noexcept { return static_cast<bool>(view_); }

private:
    UniqueMappedView view_;
    std::size_t size_ = 0;
};

// minizip's unzip reader over an archive's bytes in memory. Each reader
// opened keeps a read position of its own, so several can walk the same bytes
// at once (one per thread). The bytes must outlive every reader.
class MemoryArchive {
public:
    explicit MemoryArchive(std::span<const std::byte> bytes) noexcept : bytes_(bytes) {}
    MemoryArchive(const MemoryArchive&) = delete;
    MemoryArchive& operator=(const MemoryArchive&) = delete;

    // A reader positioned on the first entry; empty when the bytes are not a
    // ZIP archive minizip can read.
    [[nodiscard]] UniqueUnzip Open() const;

private:
    std::span<const std::byte> bytes_;
};

}  // namespace pixelmoor
