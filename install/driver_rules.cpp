#include "install/driver_rules.h"

#include <algorithm>

#include "framework/text_rules.h"
#include "install/install_folder_rules.h"
#include "install/settings_rules.h"

namespace pixelmoor {

std::optional<std::wstring> WorkingFolder(std::wstring_view folder) {
    if (folder.empty()) return std::nullopt;
    if (folder.find_first_not_of(L' ') == std::wstring_view::npos) return std::wstring();
    return NormaliseInstallFolder(folder);
}

bool InstallationFitsFolder(std::wstring_view folder, std::size_t longestEntry) {
    if (folder.size() > kFolderTextLimit) return false;
    const std::optional<std::wstring> work = WorkingFolder(folder);
    if (!work) return true;
    const std::size_t deepest = std::max(longestEntry, std::wstring_view(kSettingsTempFileName).size());
    return work->size() + deepest <= kSystemPathLimit;
}

std::wstring FailureLogText(std::wstring_view message, std::wstring_view folder, FolderPlace place) {
    const bool folderFirst = place == FolderPlace::kBeforeMessage;
    std::wstring text(folderFirst ? folder : message);
    text += L": ";
    text += folderFirst ? message : folder;
    return text;
}

bool AsksBeforeAssociating(const InstallOptions& options) noexcept {
    return AssociationRequested(options.selection) && !options.silent;
}

AssociationSelection AssociationsToRegister(const InstallOptions& options, bool confirmed) {
    if (!confirmed) return {};
    return options.selection;
}

namespace {

constexpr std::uint32_t kEndRecordSignature = 0x06054B50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014B50;
constexpr std::size_t kEndRecordBytes = 22;
constexpr std::size_t kLongestArchiveComment = 0xFFFF;
constexpr std::size_t kCentralHeaderBytes = 46;

// The little-endian number of width bytes at offset; the caller has checked the bounds.
std::uint32_t ReadNumber(std::span<const std::byte> bytes, std::size_t offset, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = (value << 8) | std::to_integer<std::uint32_t>(bytes[offset + i]);
    return value;
}

}  // namespace

std::optional<ArchiveTotals> CountArchiveFiles(std::span<const std::byte> zip) {
    if (zip.size() < kEndRecordBytes) return std::nullopt;
    // The end record is last, followed only by the archive's comment.
    const std::size_t lowest = zip.size() - kEndRecordBytes > kLongestArchiveComment
                                   ? zip.size() - kEndRecordBytes - kLongestArchiveComment
                                   : 0;
    std::size_t end = zip.size() - kEndRecordBytes;
    while (ReadNumber(zip, end, 4) != kEndRecordSignature) {
        if (end == lowest) return std::nullopt;
        --end;
    }
    const std::size_t entries = ReadNumber(zip, end + 10, 2);
    std::size_t at = ReadNumber(zip, end + 16, 4);
    ArchiveTotals totals;
    for (std::size_t entry = 0; entry < entries; ++entry) {
        if (at > end || end - at < kCentralHeaderBytes || ReadNumber(zip, at, 4) != kCentralHeaderSignature)
            return std::nullopt;
        const std::size_t nameLength = ReadNumber(zip, at + 28, 2);
        const std::size_t rest = nameLength + ReadNumber(zip, at + 30, 2) + ReadNumber(zip, at + 32, 2);
        if (end - at - kCentralHeaderBytes < rest) return std::nullopt;
        const bool folder = nameLength > 0 && zip[at + kCentralHeaderBytes + nameLength - 1] == std::byte{'/'};
        if (!folder) {
            ++totals.files;
            totals.bytes += ReadNumber(zip, at + 24, 4);
        }
        at += kCentralHeaderBytes + rest;
    }
    return totals;
}

}  // namespace pixelmoor
