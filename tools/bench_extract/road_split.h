// The unpacking road cut into its parts, for tools/bench-extract.sh --split.
#pragma once

#include <string>

namespace pixelmoor::bench {

enum class Road {
    kPlain,   // the archive read through minizip's Win32 file table, 32 KB transfers, files reopened for times
    kLevers,  // the setup's levers on one thread: the copy's view, blocks of kWriteBlockBytes, times on the handle
};

// Unpacks zip into an empty folder runs times, the way a plain
// reader over minizip does it (the archive read through minizip's Win32 file
// table, 32 KB transfers, each file opened again for its times) or with the
// setup's levers on one thread (kLevers: nothing overlapped, so that each
// part shows what it costs), with every call timed, and prints the median of
// each part:
//   temporary copy   writing the copy, renaming it, reading it back
//   headers          minizip's entry information, opening and moving on
//   data reads       minizip's reads of compressed data
//   inflate          unzReadCurrentFile less its data reads (inflate, CRC)
//   create           CreateFileW of each file, with the folder chain on retry
//   folders          folder entries' CreateDirectoryW
//   write            WriteFile
//   close            closing the written file
//   times            reopening the file for its times (kLevers: setting them
//                    through the write handle)
// with the number and sizes of the reads that minizip asked for.
// Each run unpacks into a new subfolder of target; emptyFolder empties (or
// makes) the target before the first run and after the last, untimed.
int SplitRoad(const std::wstring& zip, const std::wstring& target, int runs, Road road,
              void (*emptyFolder)(const std::wstring&));

}  // namespace pixelmoor::bench
