// What a program file must hold for its image to be whole, read from the
// headers that the loader mapped: no file system needed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace pixelmoor {

// The bytes of a program file that its image needs: the end of its headers,
// of every section's raw data and of its certificate table (a signature,
// addressed by file offset), whichever lies furthest. A file shorter than
// that was cut; bytes after it (as signing appends them to an unsigned
// file) belong to nothing. `headers` holds the file's first bytes, at least
// up to the end of its section table. None when they are no PE headers of a
// 32- or 64-bit program or a table lies outside them.
[[nodiscard]] std::optional<std::uint64_t> ImageFileExtent(std::span<const std::byte> headers);

// Where in the file the `size` bytes at the image address `address` (an
// offset from the image's start, as the loader maps it) lie: within one
// section's raw data. None when they lie elsewhere (in memory that the file
// does not fill, or across a section's end) or the headers are no program's.
[[nodiscard]] std::optional<std::uint64_t> FileOffsetOfImageBytes(std::span<const std::byte> headers,
                                                                   std::uint64_t address, std::uint64_t size);

}  // namespace pixelmoor
