// Telling files and folders apart by what they are rather than by how their
// names are written: another drive letter for the same disk, short names,
// other capitals in any script, slashes or a link on the way all lead to the
// same file, which the system knows by its volume and file index.
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

// The file or folder at path opened for its identity and name only: no
// access rights, nothing locked for others, links followed.
[[nodiscard]] UniqueFile OpenForIdentity(const std::wstring& path);

// The identity of an open file or folder, or of the one at path; none when
// it cannot be told (or opened).
[[nodiscard]] std::optional<FileIdentity> IdentityOf(HANDLE file);
[[nodiscard]] std::optional<FileIdentity> IdentityOf(const std::wstring& path);

// The path of an open file or folder, or of the one at path, as the system
// resolves it (links followed, the volume's own drive letter, the names' own
// capitals, long names); none when it cannot be told (or opened).
[[nodiscard]] std::optional<std::wstring> FinalPathOf(HANDLE file);
[[nodiscard]] std::optional<std::wstring> FinalPathOf(const std::wstring& path);

// The path made whole as the system makes it (relative parts, "." and ".."
// resolved, slashes made backslashes), however long; none when the system
// cannot.
[[nodiscard]] std::optional<std::wstring> FullPathOf(const std::wstring& path);

// The folder above a full path without a trailing backslash ("C:\x" has
// "C:\"); empty above a drive's root and above a network server.
[[nodiscard]] std::wstring ParentFolderOf(const std::wstring& path);

// True when a folder above path (a full path without a trailing backslash),
// not path itself, is the folder known by that identity; the folders on the
// way need not exist.
[[nodiscard]] bool LiesBelow(const std::wstring& path, const FileIdentity& folder);

}  // namespace pixelmoor
