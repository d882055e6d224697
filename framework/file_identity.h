// Telling files and folders apart by what they are rather than by how their
// names are written: another drive letter for the same disk, other capitals,
// short names, slashes or a link on the way all lead to the same file, which
// the system knows by its volume and file index.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "framework/unique_handle.h"

namespace pixelmoor {

struct FileIdentity {
    std::uint32_t volume = 0;  // the volume's serial number
    std::uint64_t index = 0;   // the file's index on that volume

    bool operator==(const FileIdentity&) const = default;
};

// A file or folder opened for its identity and name only: no access rights,
// nothing locked for others (a program that runs, a file in use).
[[nodiscard]] UniqueFile OpenForIdentity(const std::wstring& path);

// The identity of an open file or folder; none when the system cannot tell.
[[nodiscard]] std::optional<FileIdentity> IdentityOfHandle(HANDLE file);

// The identity of the file or folder at path (links followed); none when it
// cannot be opened.
[[nodiscard]] std::optional<FileIdentity> IdentityOf(const std::wstring& path);

}  // namespace pixelmoor
