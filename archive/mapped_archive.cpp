#include "archive/mapped_archive.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace pixelmoor {

namespace {

// One reader's place in the bytes; minizip owns it from open to close.
struct ReadPosition {
    std::span<const std::byte> bytes;
    std::uint64_t at = 0;
};

voidpf ZCALLBACK OpenPosition(voidpf opaque, const void* /*name*/, int mode) {
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
    return new (std::nothrow) ReadPosition{*static_cast<const std::span<const std::byte>*>(opaque)};
}

uLong ZCALLBACK ReadBytes(voidpf /*opaque*/, voidpf stream, void* buffer, uLong size) {
    auto& position = *static_cast<ReadPosition*>(stream);
    if (position.at >= position.bytes.size()) return 0;
    const std::size_t count = std::min<std::uint64_t>(size, position.bytes.size() - position.at);
    std::memcpy(buffer, position.bytes.data() + position.at, count);
    position.at += count;
    return static_cast<uLong>(count);
}

ZPOS64_T ZCALLBACK TellPosition(voidpf /*opaque*/, voidpf stream) { return static_cast<ReadPosition*>(stream)->at; }

// As a file pointer: any place from the start on, past the end too (reads
// there give nothing); a place before the start is refused.
long ZCALLBACK SeekPosition(voidpf /*opaque*/, voidpf stream, ZPOS64_T offset, int origin) {
    auto& position = *static_cast<ReadPosition*>(stream);
    std::int64_t base = 0;
    switch (origin) {
        case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
        case ZLIB_FILEFUNC_SEEK_CUR: base = static_cast<std::int64_t>(position.at); break;
        case ZLIB_FILEFUNC_SEEK_END: base = static_cast<std::int64_t>(position.bytes.size()); break;
        default: return -1;
    }
    const std::int64_t target = base + static_cast<std::int64_t>(offset);  // offsets back come as two's complement
    if (target < 0) return -1;
    position.at = static_cast<std::uint64_t>(target);
    return 0;
}

int ZCALLBACK ClosePosition(voidpf /*opaque*/, voidpf stream) {
    delete static_cast<ReadPosition*>(stream);
    return 0;
}

int ZCALLBACK NoError(voidpf /*opaque*/, voidpf /*stream*/) { return 0; }

}  // namespace

MappedFile::MappedFile(HANDLE file) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size) || size.QuadPart <= 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > SIZE_MAX)
        return;
    const UniqueHandle mapping(::CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) return;
    view_.reset(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (view_) size_ = static_cast<std::size_t>(size.QuadPart);
}

UniqueUnzip MemoryArchive::Open() const {
    zlib_filefunc64_def functions{};
    functions.zopen64_file = OpenPosition;
    functions.zread_file = ReadBytes;
    functions.ztell64_file = TellPosition;
    functions.zseek64_file = SeekPosition;
    functions.zclose_file = ClosePosition;
    functions.zerror_file = NoError;
    functions.opaque = const_cast<std::span<const std::byte>*>(&bytes_);
    // minizip hands the name to the open function only; the bytes are the file.
    return UniqueUnzip(::unzOpen2_64(L"", &functions));
}

}  // namespace pixelmoor
