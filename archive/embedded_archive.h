// Takes the payload archive out of the setup's resources and unpacks it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "archive/mapped_archive.h"
#include "archive/unpack_progress.h"
#include "archive/unpacking_journal.h"
#include "framework/own_file.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

// Unpacks the embedded payload into installFolder (ending in a backslash).
// Returns 0 when the archive was unpacked whole, -1 when the resource, the
// temporary copy, the archive or the folder was not usable or a file of the
// payload was not written whole. After -1 the folder is as it was before
// the call: the files that were replaced are back, nothing written is left,
// and the createdLevels levels of the folder's path that the caller has just
// made (the folder itself and those above it) are gone when empty.
[[nodiscard]] int ExtractEmbeddedArchive(std::wstring_view installFolder, int keepIconLibrary,
                                         std::uint32_t createdLevels = 0);

// The same with the payload ("ZIP" 1974) taken from the given module; the
// setup uses its own.
[[nodiscard]] int ExtractEmbeddedArchive(HMODULE module, std::wstring_view installFolder, int keepIconLibrary,
                                         std::uint32_t createdLevels = 0);

// The same into the folder of a journal that the caller began (and through
// which it made what it made there before): the journal ends here,
// committed or rolled back.
[[nodiscard]] int ExtractEmbeddedArchive(UnpackingJournal& journal, int keepIconLibrary,
                                         UnpackProgress* progress = nullptr);

// The steps of the unpacking before the archive reader, one by one (the
// install benchmark times them apart).
// The payload's bytes in the module; empty when it has none.
[[nodiscard]] std::optional<std::span<const std::byte>> PayloadBytes(HMODULE module);
// The temporary copy's path; empty when the temporary folder is unusable.
[[nodiscard]] std::optional<std::wstring> TemporaryArchive();
// Removes the partial copies beside path ("<path>~<process id>-<n>") that a
// setup killed while writing its copy left: files only, each through a handle
// to itself, never what a link leads to.
void RemoveStaleTemporaryCopies(const std::wstring& path);
// The payload's copy under its temporary name, held open through the handle
// that wrote it, shared for reading only: while it is held, nobody else can
// write, rename or delete it, so the reader reads exactly the bytes of the
// resource, through a view of the whole file. The system deletes the file
// when the handle goes (after the view is unmapped: members go in reverse
// order), and so also when the setup is killed.
struct TemporaryCopy {
    UniqueFile held;
    MappedFile view;
    [[nodiscard]] explicit operator bool() const noexcept { return static_cast<bool>(view); }
};
// Writes the payload to a new file beside path and renames it onto path, so
// that whatever was planted there (a file, a link, an empty folder) is
// replaced and never written through, then maps it. Empty when any of that
// fails; nothing is left behind then.
[[nodiscard]] TemporaryCopy WriteTemporaryCopy(const std::wstring& path, std::span<const std::byte> payload);

}  // namespace pixelmoor
