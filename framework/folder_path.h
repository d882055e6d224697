// Folders on disk: their preparation, shared by every step that writes into
// a folder (the unpacking, the settings, the shortcuts), and what a folder
// is.
#pragma once

#include <cstdint>
#include <string>

namespace pixelmoor {

// Trims the folder text, gives it a trailing backslash, creates every missing
// level and tells whether the folder can be entered: 1 yes, 0 no. The text is
// changed in place. The process's current directory is left as it was.
// Blanks only, and folders longer than 258 characters (which could not take
// the backslash), give 0 without creating anything.
[[nodiscard]] int EnsureFolderPath(std::wstring& path);
// The same, telling in createdLevels how many levels it made: the folder
// itself and the missing ones above it, which can go again when what
// follows fails.
[[nodiscard]] int EnsureFolderPath(std::wstring& path, std::uint32_t& createdLevels);

// True when path names a file or folder that is a link: a junction or a
// symbolic link, which Windows (and Wine, for a host link to a folder, not
// to a file) reports as a reparse point. A backslash at the end of a folder
// does not count.
[[nodiscard]] bool IsLink(const std::wstring& path);

}  // namespace pixelmoor
