// The setup's layer over minizip's unzip interface: unpacks every entry of a
// ZIP file below a target folder and gives the files their stored times.
#pragma once

#include <unzip.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "archive/mapped_archive.h"
#include "archive/unpack_progress.h"
#include "archive/unpacking_journal.h"

namespace pixelmoor {

// Opens archivePath read-only, makes targetFolder the current directory and
// unpacks the entries there. keepIconLibrary 1 passes over every entry whose
// lower-cased name contains "icons.dll"; names that do not fit the buffers or
// would lead out of the target are refused. Each file is written under a
// temporary name and takes its place only when it is whole and its CRC
// matches; the file it replaces is kept aside until the unpacking is
// complete (unpacking_journal.h). Returns 0 when every other file entry was
// written whole; the current directory then stays the target. Returns -1,
// with the current directory as it was, when the path is null, the archive
// cannot be opened, the folder cannot be entered, or the unpacking stopped
// at an entry that could not be read, decompressed, checked or written, or
// whose name could not be taken (a file in use, a folder in its place): the
// target is then as it was before, the files that were replaced are back
// and nothing that the unpacking wrote is left.
[[nodiscard]] int ExtractArchiveToFolder(const wchar_t* archivePath, const std::wstring& targetFolder,
                                         int keepIconLibrary);

// The same for an archive file already read into memory (a mapped view of
// it); -1 also when the bytes are not an archive.
[[nodiscard]] int ExtractArchiveBytes(std::span<const std::byte> archiveBytes, const std::wstring& targetFolder,
                                      int keepIconLibrary);
// The same into the folder of a journal already begun, which this ends:
// committed after a complete unpacking, rolled back after a failed one.
// progress, when given, hears of every piece of file data written.
[[nodiscard]] int ExtractArchiveBytes(std::span<const std::byte> archiveBytes, UnpackingJournal& journal,
                                      int keepIconLibrary, UnpackProgress* progress = nullptr);

// The entry loop over archive, a reader that source opened, relative to the
// current directory, which is the journal's folder; the files' data is
// inflated ahead on a worker thread through a reader of its own. Returns 0
// when every entry is in place, -1 at the first that is not (the journal
// then holds what undoes the loop's work).
[[nodiscard]] int ExtractAllEntries(const MemoryArchive& source, unzFile archive, int keepIconLibrary,
                                    UnpackingJournal& journal, UnpackProgress* progress = nullptr);

// Creates every level of a relative folder path ('/' or '\' between levels),
// without a journal (the unpacking makes its folders through its journal;
// the unpacking benchmark times this plain form).
// Returns 1 when done, 0 when a level's parent is missing, -104 when there is
// no memory for the copy of the path.
int MakeFolderChain(std::wstring_view relativeFolder);

// Gives a file, through the handle it was written with (after the last
// write), the DOS date (high word) and time (low word), read as local time,
// as creation and last-write time; the last-access time stays.
void ApplyEntryFileTime(HANDLE file, std::uint32_t dosDateTime);

}  // namespace pixelmoor
