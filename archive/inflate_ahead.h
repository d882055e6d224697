// The data of an archive's file entries, inflated on a worker thread while
// the unpacking loop creates and writes the files of the entries before
// them. The worker walks the archive with a reader of its own, decides about
// each entry exactly as the loop does (entry_plan.h) and hands out each file
// entry's data in archive order, in pieces of up to kWriteBlockBytes, through
// a fixed number of buffers, so that memory stays the same whatever the size
// of the archive. Nothing is written here: the loop alone decides what is
// written, and once it stops, nothing after that entry is.
#pragma once

#include <unzip.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "archive/mapped_archive.h"
#include "archive/unzip_owner.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

// Reads of an entry ended before its declared size (minizip checks the CRC
// only once that size was reached).
inline constexpr int kEntryCutShort = -1;

// One piece of a file entry's data, in the order the reads gave it.
struct InflatedPiece {
    std::span<const char> bytes;
    bool last = false;  // the entry's data ends with this piece
    // With the last piece: UNZ_OK when every declared byte came, minizip's
    // code of a failed read or inflate (the bytes before it are in the
    // pieces), or kEntryCutShort.
    int readStatus = UNZ_OK;
    // With the last piece and readStatus UNZ_OK: minizip's verdict on closing
    // the entry, UNZ_CRCERROR when the data does not match its CRC.
    int closeStatus = UNZ_OK;
};

// Where the pieces are inflated: on a worker thread, or on the caller's
// thread as Next asks for them (when no worker can be started; the pieces
// are the same).
enum class InflateOn { kWorkerThread, kCallersThread };

class InflateAhead {
public:
    // Starts inflating the file entries of source, which must outlive this
    // object.
    InflateAhead(const MemoryArchive& source, int keepIconLibrary, InflateOn where = InflateOn::kWorkerThread);
    InflateAhead(const InflateAhead&) = delete;
    InflateAhead& operator=(const InflateAhead&) = delete;
    // Stops the worker where it is and waits for it.
    ~InflateAhead();

    // False when the buffers or the reader could not be made.
    [[nodiscard]] explicit operator bool() const noexcept { return ready_; }

    // The next piece of the entry with this index (0 for the archive's first
    // entry), waiting for it; pieces of earlier entries that the caller left
    // are dropped. The piece stays valid until the next call. Empty when no
    // piece of that entry will come: the worker found the archive unreadable
    // before it, or could not open the entry's data.
    [[nodiscard]] std::optional<InflatedPiece> Next(std::uint64_t entryIndex);

private:
    struct Slot {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
        std::uint64_t entryIndex = 0;
        InflatedPiece piece;
    };

    static DWORD WINAPI Worker(void* self) noexcept;
    // Fills and hands out one piece; false when no more will come.
    bool InflateOnePiece();
    // The reader on the next entry (the first at the start); false at the end
    // or when minizip cannot move on.
    bool MoveToNextEntry();
    // The next file entry with readable data opened as current_; false when
    // there is none or its data cannot be opened.
    bool OpenNextFileEntry();
    Slot* WaitForFreeSlot();
    void HandOut(Slot& slot, bool last, int readStatus, int closeStatus);
    void EndPieces();
    // With the lock held: the first filled slot is free again.
    void DropFirst();

    int keepIconLibrary_;
    UniqueUnzip reader_;
    std::uint64_t entryCount_ = 0;
    bool ready_ = false;

    // The worker's place: the entry its reader is on, and the open data of
    // the file entry being inflated.
    std::uint64_t readerIndex_ = 0;
    bool readerStarted_ = false;
    std::optional<OpenCurrentEntry> current_;
    std::uint64_t currentIndex_ = 0;
    std::uint64_t currentDeclared_ = 0;
    std::uint64_t currentCopied_ = 0;

    // The ring of pieces: count_ filled slots from first_ on, guarded by lock_.
    std::vector<Slot> slots_;
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    bool handedOut_ = false;  // the first slot is with the caller
    bool ended_ = false;
    std::atomic<bool> stopped_{false};
    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE pieceReady_ = CONDITION_VARIABLE_INIT;
    CONDITION_VARIABLE slotFree_ = CONDITION_VARIABLE_INIT;
    UniqueHandle worker_;
};

}  // namespace pixelmoor
