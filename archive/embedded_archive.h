// Takes the payload archive out of the setup's resources and unpacks it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "framework/unique_handle.h"

namespace pixelmoor {

// Unpacks the embedded payload into installFolder (ending in a backslash).
// Returns 0 when the archive was unpacked whole, -1 when the resource, the
// temporary copy, the archive or the folder was not usable or a file of the
// payload was not written whole.
[[nodiscard]] int ExtractEmbeddedArchive(std::wstring_view installFolder, int keepIconLibrary);

// The same with the payload ("ZIP" 1974) taken from the given module; the
// setup uses its own.
[[nodiscard]] int ExtractEmbeddedArchive(HMODULE module, std::wstring_view installFolder, int keepIconLibrary);

// The steps of the unpacking before the archive reader, one by one (the
// install benchmark times them apart).
// The payload's bytes in the module; empty when it has none.
[[nodiscard]] std::optional<std::span<const std::byte>> PayloadBytes(HMODULE module);
// The temporary copy's path; empty when the temporary folder is unusable.
[[nodiscard]] std::optional<std::wstring> TemporaryArchive();
// Clears the copy's name, writes the payload to a new file there (never
// through a link planted there) and returns a handle that keeps it open for
// reading only: while it is held, nobody can write, rename or delete the
// copy, so the reader opens exactly the bytes of the resource. Invalid when
// any of that fails; the caller deletes the file in any case.
[[nodiscard]] UniqueFile WriteTemporaryCopy(const std::wstring& path, std::span<const std::byte> payload);

}  // namespace pixelmoor
