#include "archive/embedded_archive.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/archive_rules.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

namespace {

constexpr wchar_t kPayloadType[] = L"ZIP";
constexpr WORD kPayloadId = 1974;
// Characters of the buffer that GetTempPathW fills (kTempPathLimit of them allowed).
constexpr std::size_t kTempPathBufferChars = 520;
constexpr DWORD kCompareBlockBytes = 65536;

}  // namespace

std::optional<std::span<const std::byte>> PayloadBytes(HMODULE module) {
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(kPayloadId), kPayloadType);
    if (found == nullptr) return std::nullopt;
    HGLOBAL loaded = ::LoadResource(module, found);  // resource memory lives as long as the module
    if (loaded == nullptr) return std::nullopt;
    const void* data = ::LockResource(loaded);
    const DWORD size = ::SizeofResource(module, found);
    if (data == nullptr || size == 0) return std::nullopt;
    return std::span<const std::byte>(static_cast<const std::byte*>(data), size);
}

std::optional<std::wstring> TemporaryArchive() {
    std::wstring folder(kTempPathBufferChars, L'\0');
    const DWORD length = ::GetTempPathW(static_cast<DWORD>(kTempPathLimit), folder.data());
    if (length == 0 || length >= kTempPathLimit) return std::nullopt;
    folder.resize(length);
    return TemporaryArchivePath(folder);
}

namespace {

// Clears the copy's name. A file, or a link to a file, is deleted; a folder
// or a junction is removed as a link (an empty folder goes, a junction's
// target is never touched). What cannot be removed makes the new file fail.
void RemovePlanted(const std::wstring& path) {
    if (::DeleteFileW(path.c_str())) return;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        ::RemoveDirectoryW(path.c_str());
}

bool WriteAll(HANDLE file, std::span<const std::byte> bytes) {
    while (!bytes.empty()) {
        const DWORD block = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), block, &written, nullptr) || written == 0) return false;
        bytes = bytes.subspan(written);
    }
    return true;
}

bool HoldsExactly(HANDLE file, std::span<const std::byte> bytes) {
    std::vector<std::byte> block(kCompareBlockBytes);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file, block.data(), kCompareBlockBytes, &read, nullptr)) return false;
        if (read == 0) return bytes.empty();
        if (read > bytes.size() || !std::equal(block.begin(), block.begin() + read, bytes.begin())) return false;
        bytes = bytes.subspan(read);
    }
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

UniqueFile WriteTemporaryCopy(const std::wstring& path, std::span<const std::byte> payload) {
    RemovePlanted(path);
    BY_HANDLE_FILE_INFORMATION written{};
    {
        const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file || !WriteAll(file.get(), payload) || !::GetFileInformationByHandle(file.get(), &written)) return {};
    }
    UniqueFile held(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION opened{};
    if (!held || !::GetFileInformationByHandle(held.get(), &opened) || !SameFile(written, opened) ||
        !HoldsExactly(held.get(), payload))
        return {};
    return held;
}

int ExtractEmbeddedArchive(std::wstring_view installFolder, int keepIconLibrary) {
    return ExtractEmbeddedArchive(::GetModuleHandleW(nullptr), installFolder, keepIconLibrary);
}

int ExtractEmbeddedArchive(HMODULE module, std::wstring_view installFolder, int keepIconLibrary) {
    const std::optional<std::span<const std::byte>> payload = PayloadBytes(module);
    if (!payload) return -1;
    const std::optional<std::wstring> copy = TemporaryArchive();
    if (!copy) return -1;
    int result = -1;
    {
        const UniqueFile held = WriteTemporaryCopy(*copy, *payload);
        if (held) result = ExtractArchiveToFolder(copy->c_str(), std::wstring(installFolder), keepIconLibrary);
    }
    // Whatever happened; a copy that cannot be deleted is left behind.
    ::DeleteFileW(copy->c_str());
    return result;
}

}  // namespace pixelmoor
