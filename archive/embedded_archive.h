// Takes the payload archive out of the setup's resources and unpacks it.
#pragma once

#include <windows.h>

#include <string_view>

namespace pixelmoor {

// Unpacks the embedded payload into installFolder (ending in a backslash).
// Returns 0 when the archive was unpacked whole, -1 when the resource, the
// temporary copy, the archive or the folder was not usable or a file of the
// payload was not written whole.
[[nodiscard]] int ExtractEmbeddedArchive(std::wstring_view installFolder, int keepIconLibrary);

// The same with the payload ("ZIP" 1974) taken from the given module; the
// setup uses its own.
[[nodiscard]] int ExtractEmbeddedArchive(HMODULE module, std::wstring_view installFolder, int keepIconLibrary);

}  // namespace pixelmoor
