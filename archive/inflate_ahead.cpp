#include "archive/inflate_ahead.h"

#include <new>
#include <utility>

#include "archive/archive_rules.h"
#include "archive/entry_plan.h"

namespace pixelmoor {

namespace {

// Pieces in flight: the worker runs up to this many pieces ahead of the
// writing loop, in this many buffers of kWriteBlockBytes, whatever the size
// of the archive.
constexpr std::size_t kPiecesInFlight = 8;
// Stack reserved for the worker: minizip and zlib need little.
constexpr SIZE_T kWorkerStackBytes = 256 * 1024;

class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) noexcept : lock_(lock) { ::AcquireSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;
    ~ExclusiveLock() { ::ReleaseSRWLockExclusive(&lock_); }

private:
    SRWLOCK& lock_;
};

}  // namespace

InflateAhead::InflateAhead(const MemoryArchive& source, int keepIconLibrary, InflateOn where)
    : keepIconLibrary_(keepIconLibrary), reader_(source.Open()) {
    unz_global_info64 global{};
    if (!reader_ || ::unzGetGlobalInfo64(reader_.get(), &global) != UNZ_OK) return;
    entryCount_ = global.number_entry;
    slots_.resize(kPiecesInFlight);
    for (Slot& slot : slots_) {
        slot.bytes.reset(new (std::nothrow) char[kWriteBlockBytes]);
        if (!slot.bytes) return;
    }
    ready_ = true;
    // Without a worker, Next inflates each piece when it is asked for.
    if (where == InflateOn::kWorkerThread)
        worker_.reset(
            ::CreateThread(nullptr, kWorkerStackBytes, Worker, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
}

InflateAhead::~InflateAhead() {
    {
        const ExclusiveLock lock(lock_);
        stopped_ = true;
        ::WakeAllConditionVariable(&slotFree_);
    }
    if (worker_) ::WaitForSingleObject(worker_.get(), INFINITE);
}

DWORD WINAPI InflateAhead::Worker(void* self) noexcept {
    auto& ahead = *static_cast<InflateAhead*>(self);
    while (ahead.InflateOnePiece()) {
    }
    return 0;
}

bool InflateAhead::MoveToNextEntry() {
    if (!std::exchange(readerStarted_, true)) return entryCount_ > 0;  // the reader opens on the first entry
    return ++readerIndex_ < entryCount_ && ::unzGoToNextFile(reader_.get()) == UNZ_OK;
}

bool InflateAhead::OpenNextFileEntry() {
    while (MoveToNextEntry()) {
        const std::optional<EntryPlan> plan = PlanCurrentEntry(reader_.get(), keepIconLibrary_);
        if (!plan) return false;
        if (plan->kind != EntryPlan::Kind::kFile || !HasReadableData(plan->info)) continue;
        current_.emplace(reader_.get());
        // The loop cannot open it either and stops there.
        if (current_->openStatus() != UNZ_OK) return false;
        currentIndex_ = readerIndex_;
        currentDeclared_ = plan->info.uncompressed_size;
        currentCopied_ = 0;
        return true;
    }
    return false;
}

bool InflateAhead::InflateOnePiece() {
    if (!current_ && !OpenNextFileEntry()) {
        current_.reset();
        EndPieces();
        return false;
    }
    Slot* slot = WaitForFreeSlot();
    if (slot == nullptr) return false;
    slot->entryIndex = currentIndex_;
    slot->size = 0;
    // Reads of kTransferBufferBytes, as many as the buffer takes whole.
    while (kWriteBlockBytes - slot->size >= kTransferBufferBytes) {
        if (stopped_.load(std::memory_order_relaxed)) return false;
        const int count = current_->read(slot->bytes.get() + slot->size, static_cast<unsigned>(kTransferBufferBytes));
        if (count == 0) {
            const int readStatus = currentCopied_ == currentDeclared_ ? UNZ_OK : kEntryCutShort;
            const int closeStatus = readStatus == UNZ_OK ? current_->close() : UNZ_OK;
            current_.reset();
            HandOut(*slot, true, readStatus, closeStatus);
            return true;
        }
        if (count < 0) {
            // The loop stops at this entry: nothing after it is needed.
            current_.reset();
            HandOut(*slot, true, count, UNZ_OK);
            EndPieces();
            return false;
        }
        slot->size += static_cast<std::size_t>(count);
        currentCopied_ += static_cast<std::uint64_t>(count);
    }
    HandOut(*slot, false, UNZ_OK, UNZ_OK);
    return true;
}

InflateAhead::Slot* InflateAhead::WaitForFreeSlot() {
    const ExclusiveLock lock(lock_);
    while (count_ == slots_.size() && !stopped_) ::SleepConditionVariableSRW(&slotFree_, &lock_, INFINITE, 0);
    if (stopped_) return nullptr;
    return &slots_[(first_ + count_) % slots_.size()];
}

void InflateAhead::HandOut(Slot& slot, bool last, int readStatus, int closeStatus) {
    slot.piece = InflatedPiece{{slot.bytes.get(), slot.size}, last, readStatus, closeStatus};
    const ExclusiveLock lock(lock_);
    ++count_;
    ::WakeConditionVariable(&pieceReady_);
}

void InflateAhead::EndPieces() {
    const ExclusiveLock lock(lock_);
    ended_ = true;
    ::WakeConditionVariable(&pieceReady_);
}

void InflateAhead::DropFirst() {
    first_ = (first_ + 1) % slots_.size();
    --count_;
    ::WakeConditionVariable(&slotFree_);
}

std::optional<InflatedPiece> InflateAhead::Next(std::uint64_t entryIndex) {
    bool dropFirst = std::exchange(handedOut_, false);  // the piece handed out last is written
    for (;;) {
        {
            const ExclusiveLock lock(lock_);
            if (dropFirst) DropFirst();
            dropFirst = false;
            while (count_ == 0 && !ended_ && worker_) ::SleepConditionVariableSRW(&pieceReady_, &lock_, INFINITE, 0);
            if (count_ > 0) {
                const Slot& slot = slots_[first_];
                if (slot.entryIndex == entryIndex) {
                    handedOut_ = true;
                    return slot.piece;
                }
                if (slot.entryIndex > entryIndex) return std::nullopt;
                dropFirst = true;  // a piece of an entry that the loop passed over
                continue;
            }
            if (ended_) return std::nullopt;
        }
        // No worker: the caller's thread inflates the next piece itself.
        InflateOnePiece();
    }
}

}  // namespace pixelmoor
