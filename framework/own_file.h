// Files that this process creates under a fixed name without ever following
// a link planted there: the bytes go into a new file of a name of its own,
// which is then renamed onto the fixed name. The rename replaces whatever has
// that name, a link included, where deleting through the name first could
// reach the link's target.
#pragma once

#include <span>
#include <string>
#include <utility>

#include "framework/unique_handle.h"

namespace pixelmoor {

// A file that this process created, removed when its owner goes unless
// released. It is removed only while its name still leads to that very file,
// never through a link put in its place.
class OwnFile {
public:
    OwnFile() noexcept = default;
    OwnFile(std::wstring path, const BY_HANDLE_FILE_INFORMATION& identity)
        : path_(std::move(path)), identity_(identity) {}
    OwnFile(const OwnFile&) = delete;
    OwnFile& operator=(const OwnFile&) = delete;
    OwnFile(OwnFile&& other) noexcept : path_(std::exchange(other.path_, {})), identity_(other.identity_) {}
    OwnFile& operator=(OwnFile&& other) noexcept;
    ~OwnFile() { reset(); }

    [[nodiscard]] const std::wstring& path() const noexcept { return path_; }
    [[nodiscard]] explicit operator bool() const noexcept { return !path_.empty(); }
    // The file opened without following a link, sharing reading only;
    // invalid when the name no longer leads to the file created.
    [[nodiscard]] UniqueFile Open(DWORD access) const;
    // After a rename: the same file under its new name.
    void Renamed(std::wstring path) { path_ = std::move(path); }
    // It is someone else's now (it replaced another file).
    void release() noexcept { path_.clear(); }
    void reset() noexcept;

private:
    std::wstring path_;
    BY_HANDLE_FILE_INFORMATION identity_{};
};

[[nodiscard]] bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) noexcept;

// Writes all bytes, in blocks that WriteFile takes; false on any short write.
[[nodiscard]] bool WriteAll(HANDLE file, std::span<const std::byte> bytes);

// A new file beside name ("<name>~<process id>-<n>") holding bytes, created
// only where nothing has that name yet (a link included), not shared while
// written. Empty when that fails; nothing is left behind then.
[[nodiscard]] OwnFile WriteNewFileBeside(const std::wstring& name, std::span<const std::byte> bytes);

// Renames the file to name, replacing what has that name: a file or a link
// (the link itself, never its target). An empty folder of that name is
// removed first; a link to a folder, or a folder with content, makes it fail.
[[nodiscard]] bool MoveToName(OwnFile& file, const std::wstring& name);

// A new file beside name ("<name>~<process id>-<n>"), created as
// WriteNewFileBeside creates it but held open, for reading, writing and
// renaming, shared for reading only, and removed by the system when its last
// handle is closed: when this process ends, killed too, nothing of it stays.
// Invalid when it cannot be made.
[[nodiscard]] UniqueFile CreateTransientFileBeside(const std::wstring& name);

// Renames an open file (opened with DELETE access) through its handle to
// path, a full path; with replace, what has that name (a file, or a link
// itself) is replaced.
[[nodiscard]] bool RenameOpenFile(HANDLE file, const std::wstring& path, bool replace);

// MoveToName for a file held open with DELETE access, renamed through its handle.
[[nodiscard]] bool MoveOpenFileToName(HANDLE file, const std::wstring& name);

}  // namespace pixelmoor
