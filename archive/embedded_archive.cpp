#include "archive/embedded_archive.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>

#include "archive/archive_reader.h"
#include "archive/archive_rules.h"
#include "archive/unpacking_journal.h"
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

void RemoveStaleTemporaryCopies(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    const UniqueFind find(::FindFirstFileW((path + L"~*").c_str(), &found));
    const std::size_t cut = path.find_last_of(L'\\') + 1;
    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileW(find.get(), &found)) {
        const DWORD kinds = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        if ((found.dwFileAttributes & kinds) != 0 || !IsPartialCopyName(found.cFileName)) continue;
        const UniqueFile stale(::CreateFileW((path.substr(0, cut) + found.cFileName).c_str(), DELETE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        FILE_DISPOSITION_INFO disposition{TRUE};
        if (stale) ::SetFileInformationByHandle(stale.get(), FileDispositionInfo, &disposition, sizeof(disposition));
    }
}

TemporaryCopy WriteTemporaryCopy(const std::wstring& path, std::span<const std::byte> payload) {
    TemporaryCopy copy;
    copy.held = CreateTransientFileBeside(path);
    if (!copy.held || !WriteAll(copy.held.get(), payload) || !MoveOpenFileToName(copy.held.get(), path)) return {};
    copy.view = MappedFile(copy.held.get());
    if (!copy.view || copy.view.bytes().size() != payload.size()) return {};
    return copy;
}

int ExtractEmbeddedArchive(std::wstring_view installFolder, int keepIconLibrary, std::uint32_t createdLevels) {
    return ExtractEmbeddedArchive(::GetModuleHandleW(nullptr), installFolder, keepIconLibrary, createdLevels);
}

namespace {

// The payload through its temporary copy into the journal's folder; the
// journal is ended either way.
int ExtractPayload(HMODULE module, UnpackingJournal& journal, int keepIconLibrary, UnpackProgress* progress) {
    const std::optional<std::span<const std::byte>> payload = PayloadBytes(module);
    const std::optional<std::wstring> copy = payload ? TemporaryArchive() : std::nullopt;
    if (copy) RemoveStaleTemporaryCopies(*copy);
    // The copy goes with its owner, whatever happened.
    const TemporaryCopy held = copy ? WriteTemporaryCopy(*copy, *payload) : TemporaryCopy{};
    if (!held) {
        journal.RollBack();
        return -1;
    }
    return ExtractArchiveBytes(held.view.bytes(), journal, keepIconLibrary, progress);
}

}  // namespace

int ExtractEmbeddedArchive(HMODULE module, std::wstring_view installFolder, int keepIconLibrary,
                           std::uint32_t createdLevels) {
    // Begun before anything else is written, so that a failure anywhere
    // below leaves the folder as it was.
    std::optional<UnpackingJournal> journal = UnpackingJournal::Begin(std::wstring(installFolder), createdLevels);
    if (!journal) return -1;
    return ExtractPayload(module, *journal, keepIconLibrary, nullptr);
}

int ExtractEmbeddedArchive(UnpackingJournal& journal, int keepIconLibrary, UnpackProgress* progress) {
    return ExtractPayload(::GetModuleHandleW(nullptr), journal, keepIconLibrary, progress);
}

}  // namespace pixelmoor
