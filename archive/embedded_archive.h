// Takes the payload archive out of the setup's resources and unpacks it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "archive/mapped_archive.h"
#include "archive/unpack_progress.h"
#include "framework/own_file.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

// Unpacks the embedded payload into installFolder (ending in a backslash).
// Returns 0 when the archive was unpacked whole, -1 when the resource, the
// temporary copy, the archive or the folder was not usable or a file of the
// payload was not written whole. progress, when given, hears of every piece
// of file data written.
[[nodiscard]] int ExtractEmbeddedArchive(std::wstring_view installFolder, int keepIconLibrary,
                                         UnpackProgress* progress = nullptr);

// The same with the payload ("ZIP" 1974) taken from the given module; the
// setup uses its own.
[[nodiscard]] int ExtractEmbeddedArchive(HMODULE module, std::wstring_view installFolder, int keepIconLibrary,
                                         UnpackProgress* progress = nullptr);

// The steps of the unpacking before the archive reader, one by one (the
// install benchmark times them apart).
// The payload's bytes in the module; empty when it has none.
[[nodiscard]] std::optional<std::span<const std::byte>> PayloadBytes(HMODULE module);
// The temporary copy's path; empty when the temporary folder is unusable.
[[nodiscard]] std::optional<std::wstring> TemporaryArchive();
// The payload's copy under its temporary name, held open for reading only:
// while it is held, nobody can write, rename or delete it, so the reader reads
// exactly the bytes of the resource, through a view of the whole file. The
// file is deleted when the copy goes (after the view is unmapped and the
// handle closed: members go in reverse order).
struct TemporaryCopy {
    OwnFile file;
    UniqueFile held;
    MappedFile view;
    [[nodiscard]] explicit operator bool() const noexcept { return static_cast<bool>(view); }
};
// Writes the payload to a new file beside path and renames it onto path, so
// that whatever was planted there (a file, a link, an empty folder) is
// replaced and never written through, then maps the file under that name and
// checks its bytes.
// Empty when any of that fails; nothing is left behind then.
[[nodiscard]] TemporaryCopy WriteTemporaryCopy(const std::wstring& path, std::span<const std::byte> payload);

}  // namespace pixelmoor
