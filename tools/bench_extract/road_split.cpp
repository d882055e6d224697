#include "tools/bench_extract/road_split.h"

// unzip.h brings zlib's declarations that iowin32.h builds on.
#include <unzip.h>
//
#include <iowin32.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/archive_rules.h"
#include "archive/embedded_archive.h"
#include "archive/unzip_owner.h"
#include "framework/unique_handle.h"

namespace pixelmoor::bench {

namespace {

constexpr unsigned kTransferBytes = 32768;
constexpr std::size_t kNameBytes = 520;

double Now() {
    LARGE_INTEGER counter{}, frequency{};
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds per part, and counters, of one run.
struct Parts {
    std::map<std::string, double> ms;
    std::map<std::string, long long> count;
};

// Times what runs in its scope into one part.
class Timed {
public:
    Timed(Parts& parts, const char* part) : parts_(parts), part_(part), start_(Now()) {}
    Timed(const Timed&) = delete;
    Timed& operator=(const Timed&) = delete;
    ~Timed() { parts_.ms[part_] += Now() - start_; }

private:
    Parts& parts_;
    const char* part_;
    double start_;
};

// minizip's Win32 file table with its reads and seeks counted and timed.
struct CountingTable {
    zlib_filefunc64_def inner{};
    Parts* parts = nullptr;
    bool dataRead = false;  // reads inside unzReadCurrentFile count as data reads
};

const char* ReadSizeClass(uLong size) {
    if (size == 1) return "reads of 1 byte";
    if (size < 64) return "reads of 2-63 bytes";
    if (size < 4096) return "reads of 64-4095 bytes";
    if (size < 16384) return "reads of 4096-16383 bytes";
    if (size == 16384) return "reads of 16384 bytes";
    return "reads above 16384 bytes";
}

uLong ZCALLBACK CountedRead(voidpf opaque, voidpf stream, void* buffer, uLong size) {
    auto& table = *static_cast<CountingTable*>(opaque);
    const double start = Now();
    const uLong read = table.inner.zread_file(table.inner.opaque, stream, buffer, size);
    const char* part = table.dataRead ? "data file reads" : "header file reads";
    table.parts->ms[part] += Now() - start;
    table.parts->count[part] += 1;
    table.parts->count[ReadSizeClass(size)] += 1;
    return read;
}

long ZCALLBACK CountedSeek(voidpf opaque, voidpf stream, ZPOS64_T offset, int origin) {
    auto& table = *static_cast<CountingTable*>(opaque);
    const double start = Now();
    const long result = table.inner.zseek64_file(table.inner.opaque, stream, offset, origin);
    table.parts->ms["header file reads"] += Now() - start;
    table.parts->count["seeks"] += 1;
    return result;
}

voidpf ZCALLBACK Open(voidpf opaque, const void* name, int mode) {
    auto& table = *static_cast<CountingTable*>(opaque);
    return table.inner.zopen64_file(table.inner.opaque, name, mode);
}
ZPOS64_T ZCALLBACK Tell(voidpf opaque, voidpf stream) {
    auto& table = *static_cast<CountingTable*>(opaque);
    return table.inner.ztell64_file(table.inner.opaque, stream);
}
int ZCALLBACK Close(voidpf opaque, voidpf stream) {
    auto& table = *static_cast<CountingTable*>(opaque);
    return table.inner.zclose_file(table.inner.opaque, stream);
}
int ZCALLBACK Error(voidpf opaque, voidpf stream) {
    auto& table = *static_cast<CountingTable*>(opaque);
    return table.inner.zerror_file(table.inner.opaque, stream);
}

zlib_filefunc64_def CountingFunctions(CountingTable& table) {
    ::fill_win32_filefunc64W(&table.inner);
    zlib_filefunc64_def io{};
    io.zopen64_file = Open;
    io.zread_file = CountedRead;
    io.ztell64_file = Tell;
    io.zseek64_file = CountedSeek;
    io.zclose_file = Close;
    io.zerror_file = Error;
    io.opaque = &table;
    return io;
}

std::wstring Wide(std::string_view name) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wide.data(), length);
    return wide;
}

UniqueFile CreateWritable(const std::wstring& path) {
    return UniqueFile(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The file opened a second time for its times, as the plain road does it.
void ReopenForTimes(const std::wstring& path, uLong dosDateTime) {
    const UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME created{}, accessed{}, written{};
    if (!file || !::GetFileTime(file.get(), &created, &accessed, &written)) return;
    FILETIME local{}, entryTime{};
    if (!::DosDateTimeToFileTime(HIWORD(dosDateTime), LOWORD(dosDateTime), &local)) return;
    if (!::LocalFileTimeToFileTime(&local, &entryTime)) return;
    ::SetFileTime(file.get(), &entryTime, &accessed, &entryTime);
}

// Opens the entry's data and creates its file (its folders on a retry),
// timed as both roads take them; empty when either fails.
UniqueFile OpenEntryAndCreate(unzFile archive, Parts& parts, const std::wstring& name) {
    {
        const Timed timed(parts, "headers");
        if (::unzOpenCurrentFilePassword(archive, nullptr) != UNZ_OK) return {};
    }
    const Timed timed(parts, "create");
    UniqueFile file = CreateWritable(name);
    if (!file) {
        const Timed chain(parts, "of which folder chains");
        parts.count["folder chains"] += 1;
        static_cast<void>(MakeFolderChain(std::wstring_view(name).substr(0, name.find_last_of(L"/\\"))));
        file = CreateWritable(name);
    }
    if (file) parts.count["files"] += 1;
    return file;
}

// One file entry the way the plain road takes it: open the data, create the
// file (its folders on a retry), copy in 32 KB reads, close, reopen for times.
bool FileEntry(unzFile archive, CountingTable& table, Parts& parts, const std::wstring& name, uLong dosDate,
               char* transfer) {
    UniqueFile file = OpenEntryAndCreate(archive, parts, name);
    if (!file) return false;
    for (;;) {
        int count = 0;
        {
            table.dataRead = true;
            const Timed timed(parts, "read and inflate");
            count = ::unzReadCurrentFile(archive, transfer, kTransferBytes);
            table.dataRead = false;
        }
        if (count < 0) return false;
        if (count == 0) break;
        const Timed timed(parts, "write");
        DWORD written = 0;
        parts.count["writes"] += 1;
        if (!::WriteFile(file.get(), transfer, static_cast<DWORD>(count), &written, nullptr)) return false;
    }
    {
        const Timed timed(parts, "close");
        file.reset();
    }
    {
        const Timed timed(parts, "times");
        ReopenForTimes(name, dosDate);
    }
    const Timed timed(parts, "headers");
    return ::unzCloseCurrentFile(archive) == UNZ_OK;
}

// One file entry with the levers of the setup's road, on one thread: the
// data read from the view, inflated into a block of kWriteBlockBytes, written
// a block at a time, the times set through the handle it was written with.
bool LeverFileEntry(unzFile archive, Parts& parts, const std::wstring& name, uLong dosDate, char* block) {
    UniqueFile file = OpenEntryAndCreate(archive, parts, name);
    if (!file) return false;
    for (bool more = true; more;) {
        std::size_t filled = 0;
        {
            const Timed timed(parts, "inflate");
            while (kWriteBlockBytes - filled >= kTransferBufferBytes) {
                const int count =
                    ::unzReadCurrentFile(archive, block + filled, static_cast<unsigned>(kTransferBufferBytes));
                if (count < 0) return false;
                if (count == 0) {
                    more = false;
                    break;
                }
                filled += static_cast<std::size_t>(count);
            }
        }
        if (filled == 0) break;
        const Timed timed(parts, "write");
        DWORD written = 0;
        parts.count["writes"] += 1;
        if (!::WriteFile(file.get(), block, static_cast<DWORD>(filled), &written, nullptr)) return false;
    }
    {
        const Timed timed(parts, "times");
        ApplyEntryFileTime(file.get(), static_cast<std::uint32_t>(dosDate));
    }
    {
        const Timed timed(parts, "close");
        file.reset();
    }
    const Timed timed(parts, "headers");
    return ::unzCloseCurrentFile(archive) == UNZ_OK;
}

Parts OneRun(const std::wstring& zip, std::span<const std::byte> bytes, const std::wstring& target, Road road) {
    Parts parts;
    const double start = Now();
    const std::wstring copyPath = *TemporaryArchive();
    TemporaryCopy held;
    {
        const Timed timed(parts, "temporary copy");
        held = WriteTemporaryCopy(copyPath, bytes);
    }
    CountingTable table;
    table.parts = &parts;
    zlib_filefunc64_def io = CountingFunctions(table);
    const MemoryArchive view(held ? held.view.bytes() : std::span<const std::byte>());
    UniqueUnzip archive;
    {
        const Timed timed(parts, "headers");
        archive = road == Road::kLevers ? view.Open() : UniqueUnzip(::unzOpen2_64(copyPath.c_str(), &io));
    }
    if (!held || !archive || !::SetCurrentDirectoryW(target.c_str())) {
        std::fprintf(stderr, "cannot open %ls\n", zip.c_str());
        return parts;
    }
    std::vector<char> transfer(road == Road::kLevers ? kWriteBlockBytes : kTransferBytes);
    unz_global_info64 global{};
    static_cast<void>(::unzGetGlobalInfo64(archive.get(), &global));
    for (ZPOS64_T i = 0; i < global.number_entry; ++i) {
        std::array<char, kNameBytes> name{};
        unz_file_info64 info{};
        {
            const Timed timed(parts, "headers");
            if (i > 0 && ::unzGoToNextFile(archive.get()) != UNZ_OK) break;
            if (::unzGetCurrentFileInfo64(archive.get(), &info, name.data(), name.size(), nullptr, 0, nullptr, 0) !=
                UNZ_OK)
                break;
        }
        const std::wstring wide = Wide(std::string_view(name.data(), info.size_filename));
        if (!wide.empty() && (wide.back() == L'/' || wide.back() == L'\\')) {
            const Timed timed(parts, "folders");
            ::CreateDirectoryW(wide.c_str(), nullptr);
            continue;
        }
        const bool written = road == Road::kLevers
                                 ? LeverFileEntry(archive.get(), parts, wide, info.dosDate, transfer.data())
                                 : FileEntry(archive.get(), table, parts, wide, info.dosDate, transfer.data());
        if (!written) {
            std::fprintf(stderr, "entry %llu failed\n", static_cast<unsigned long long>(i));
            break;
        }
    }
    archive.reset();
    {
        const Timed timed(parts, "temporary copy");
        held = {};
    }
    parts.ms["whole"] = Now() - start;
    if (road == Road::kPlain) parts.ms["inflate"] = parts.ms["read and inflate"] - parts.ms["data file reads"];
    return parts;
}

std::vector<std::byte> ReadWhole(const std::wstring& path) {
    const UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size)) return {};
    std::vector<std::byte> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return {};
    bytes.resize(read);
    return bytes;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int SplitRoad(const std::wstring& zip, const std::wstring& target, int runs, Road road,
              void (*emptyFolder)(const std::wstring&)) {
    const std::vector<std::byte> bytes = ReadWhole(zip);
    if (bytes.empty()) return 1;
    std::wstring home(::GetCurrentDirectoryW(0, nullptr), L'\0');
    home.resize(::GetCurrentDirectoryW(static_cast<DWORD>(home.size()), home.data()));
    // Each run into a folder of its own, all removed at the end: files
    // created right after many were deleted take far longer on some file
    // systems, which would be timed as the road's.
    emptyFolder(target);
    std::vector<Parts> all;
    for (int run = 0; run < runs; ++run) {
        const std::wstring folder = target + L"\\" + std::to_wstring(run);
        ::SetCurrentDirectoryW(home.c_str());
        ::CreateDirectoryW(folder.c_str(), nullptr);
        all.push_back(OneRun(zip, bytes, folder, road));
    }
    ::SetCurrentDirectoryW(home.c_str());
    emptyFolder(target);
    std::printf("median of %d runs, milliseconds\n", runs);
    for (const auto& [part, unused] : all.front().ms) {
        std::vector<double> values;
        for (const Parts& p : all) values.push_back(p.ms.count(part) ? p.ms.at(part) : 0.0);
        std::printf("  %-28s %9.1f\n", part.c_str(), Median(values));
    }
    std::printf("counts of one run\n");
    for (const auto& [name, value] : all.front().count) std::printf("  %-28s %9lld\n", name.c_str(), value);
    return 0;
}

}  // namespace pixelmoor::bench
