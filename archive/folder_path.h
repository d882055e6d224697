// Folder preparation shared by the installation steps that write into a
// folder.
#pragma once

#include <string>

namespace pixelmoor {

// Trims the folder text, gives it a trailing backslash, creates every missing
// level and tells whether the folder can be entered: 1 yes, 0 no. The text is
// changed in place. The process's current directory is left as it was.
// Blanks only, and folders longer than 258 characters (which could not take
// the backslash), give 0 without creating anything.
[[nodiscard]] int EnsureFolderPath(std::wstring& path);

}  // namespace pixelmoor
