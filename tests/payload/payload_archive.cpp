#include "tests/payload/payload_archive.h"

#include "archive/unzip_owner.h"
#include "tests/support/win_test_support.h"

// minizip's Win32 file functions need the declarations of unzip.h first.
#include <iowin32.h>

namespace pixelmoor::test {

namespace {

UniqueUnzip OpenPayload() {
    zlib_filefunc64_def functions{};
    fill_win32_filefunc64W(&functions);
    const std::wstring path = PayloadZipPath();
    return UniqueUnzip(::unzOpen2_64(path.c_str(), &functions));
}

std::optional<PayloadEntry> CurrentEntry(unzFile archive) {
    unz_file_info64 info{};
    char name[512] = {};
    if (::unzGetCurrentFileInfo64(archive, &info, name, sizeof(name) - 1, nullptr, 0, nullptr, 0) != UNZ_OK)
        return std::nullopt;
    PayloadEntry entry;
    entry.name = name;
    entry.method = static_cast<int>(info.compression_method);
    entry.size = info.uncompressed_size;
    entry.packedSize = info.compressed_size;
    entry.flags = info.flag;
    entry.externalAttributes = info.external_fa;
    entry.year = static_cast<int>(info.tmu_date.tm_year);
    entry.month = static_cast<int>(info.tmu_date.tm_mon) + 1;
    entry.day = static_cast<int>(info.tmu_date.tm_mday);
    entry.hour = static_cast<int>(info.tmu_date.tm_hour);
    entry.minute = static_cast<int>(info.tmu_date.tm_min);
    entry.second = static_cast<int>(info.tmu_date.tm_sec);
    return entry;
}

}  // namespace

std::wstring PayloadZipPath() { return EnvironmentPath(L"PIXELMOOR_PAYLOAD_ZIP"); }

std::optional<PayloadDirectory> ReadPayloadDirectory() {
    UniqueUnzip archive = OpenPayload();
    if (!archive) return std::nullopt;
    unz_global_info64 global{};
    if (::unzGetGlobalInfo64(archive.get(), &global) != UNZ_OK) return std::nullopt;
    PayloadDirectory directory;
    directory.commentLength = global.size_comment;
    for (int status = ::unzGoToFirstFile(archive.get()); status == UNZ_OK; status = ::unzGoToNextFile(archive.get())) {
        std::optional<PayloadEntry> entry = CurrentEntry(archive.get());
        if (!entry) return std::nullopt;
        directory.entries.push_back(*entry);
    }
    if (directory.entries.size() != global.number_entry) return std::nullopt;
    return directory;
}

std::optional<std::string> ReadPayloadEntry(const std::string& name) {
    UniqueUnzip archive = OpenPayload();
    if (!archive || ::unzLocateFile(archive.get(), name.c_str(), 1) != UNZ_OK) return std::nullopt;
    std::optional<PayloadEntry> entry = CurrentEntry(archive.get());
    OpenCurrentEntry data(archive.get());
    if (!entry || data.openStatus() != UNZ_OK) return std::nullopt;
    std::string bytes(entry->size, '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const int got = data.read(bytes.data() + done, static_cast<unsigned>(bytes.size() - done));
        if (got <= 0) return std::nullopt;
        done += static_cast<std::size_t>(got);
    }
    if (data.close() != UNZ_OK) return std::nullopt;  // a CRC mismatch shows here
    return bytes;
}

std::wstring UnpackPayloadEntry(const std::string& name, const std::wstring& folder) {
    std::optional<std::string> bytes = ReadPayloadEntry(name);
    if (!bytes) return {};
    const std::string fileName = name.substr(name.find_last_of('/') + 1);
    const std::wstring path = folder + std::wstring(fileName.begin(), fileName.end());
    return WriteFileBytes(path, *bytes) ? path : std::wstring();
}

}  // namespace pixelmoor::test
