// Owners for minizip's archive handle and for the archive's open current
// entry, so that neither is left open on any path.
#pragma once

#include <unzip.h>

#include <utility>

#include "framework/unique_handle.h"

namespace pixelmoor {

struct UnzipTraits {
    using Handle = unzFile;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::unzClose(h); }
};
using UniqueUnzip = UniqueResource<UnzipTraits>;

// The data of the archive's current entry, opened without a password for as
// long as this object lives. close() ends it early and hands back minizip's
// verdict (a CRC mismatch shows up there).
class OpenCurrentEntry {
public:
    explicit OpenCurrentEntry(unzFile archive) noexcept : status_(::unzOpenCurrentFilePassword(archive, nullptr)) {
        if (status_ == UNZ_OK) archive_ = archive;
    }
    OpenCurrentEntry(const OpenCurrentEntry&) = delete;
    OpenCurrentEntry& operator=(const OpenCurrentEntry&) = delete;
    ~OpenCurrentEntry() { static_cast<void>(close()); }

    // UNZ_OK when the data is open, otherwise minizip's reason.
    [[nodiscard]] int openStatus() const noexcept { return status_; }
    [[nodiscard]] int read(void* buffer, unsigned bytes) noexcept {
        return ::unzReadCurrentFile(archive_, buffer, bytes);
    }
    // UNZ_OK when there was nothing open.
    [[nodiscard]] int close() noexcept {
        if (archive_ == nullptr) return UNZ_OK;
        return ::unzCloseCurrentFile(std::exchange(archive_, nullptr));
    }

private:
    int status_;
    unzFile archive_ = nullptr;
};

}  // namespace pixelmoor
