#include "archive/embedded_archive.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>

#include "archive/archive_reader.h"
#include "archive/archive_rules.h"
#include "framework/own_file.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

namespace {

constexpr wchar_t kPayloadType[] = L"ZIP";
constexpr WORD kPayloadId = 1974;
// Characters of the buffer that GetTempPathW fills (kTempPathLimit of them allowed).
constexpr std::size_t kTempPathBufferChars = 520;

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

TemporaryCopy WriteTemporaryCopy(const std::wstring& path, std::span<const std::byte> payload) {
    TemporaryCopy copy;
    copy.file = WriteNewFileBeside(path, payload);
    if (!copy.file || !MoveToName(copy.file, path)) return {};
    copy.held = copy.file.Open(GENERIC_READ);
    if (!copy.held) return {};
    copy.view = MappedFile(copy.held.get());
    const std::span<const std::byte> held = copy.view.bytes();
    if (!copy.view || !std::equal(held.begin(), held.end(), payload.begin(), payload.end())) return {};
    return copy;
}

int ExtractEmbeddedArchive(std::wstring_view installFolder, int keepIconLibrary, UnpackProgress* progress) {
    return ExtractEmbeddedArchive(::GetModuleHandleW(nullptr), installFolder, keepIconLibrary, progress);
}

int ExtractEmbeddedArchive(HMODULE module, std::wstring_view installFolder, int keepIconLibrary,
                           UnpackProgress* progress) {
    const std::optional<std::span<const std::byte>> payload = PayloadBytes(module);
    if (!payload) return -1;
    const std::optional<std::wstring> copy = TemporaryArchive();
    if (!copy) return -1;
    // The copy goes with its owner, whatever happened; one that cannot be
    // deleted is left behind.
    const TemporaryCopy held = WriteTemporaryCopy(*copy, *payload);
    if (!held) return -1;
    return ExtractArchiveBytes(held.view.bytes(), std::wstring(installFolder), keepIconLibrary, progress);
}

}  // namespace pixelmoor
