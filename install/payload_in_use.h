// Programs of the payload that run from an install folder. Their files are
// in use, so an update would stop half way at the first of them; it is
// refused before anything is written instead, as while the viewer runs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pixelmoor {

// The path of a program of the payload that runs from the folder that
// folderText names, as the installation would take it (WorkingFolder): a
// process whose image is that very file, told by its identity, not by how
// its path is written. Empty when none runs, and for a text that names no
// valid folder.
[[nodiscard]] std::optional<std::wstring> RunningPayloadProgram(std::wstring_view folderText);

}  // namespace pixelmoor
