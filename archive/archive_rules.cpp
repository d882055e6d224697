#include "archive/archive_rules.h"

#include <algorithm>

#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

constexpr bool IsSeparator(wchar_t c) noexcept { return c == L'/' || c == L'\\'; }

char FoldAsciiLetter(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A part such as "..", "..." or ".. ": Windows resolves it to the parent or
// trims it to "..", so it can lead out of the target folder.
bool IsParentLikePart(std::wstring_view part) noexcept {
    if (part.find_first_not_of(L". ") != std::wstring_view::npos) return false;
    return std::count(part.begin(), part.end(), L'.') >= 2;
}

}  // namespace

bool IsIconLibraryEntry(std::string_view name) {
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldAsciiLetter);
    return folded.find("icons.dll") != std::string::npos;
}

bool PassOverForIconLibrary(std::string_view name, int keepIconLibrary) {
    return keepIconLibrary == 1 && IsIconLibraryEntry(name);
}

bool IsFolderEntry(std::string_view name) noexcept {
    return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

bool StaysInsideTarget(std::wstring_view name) noexcept {
    if (name.empty() || IsSeparator(name.front())) return false;
    if (name.find(L'\0') != std::wstring_view::npos || name.find(L':') != std::wstring_view::npos) return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = NextChainCut(name, start);
        if (IsParentLikePart(name.substr(start, end - start))) return false;
        start = end + 1;
    }
    return true;
}

std::size_t NextChainCut(std::wstring_view path, std::size_t from) noexcept {
    const auto it =
        std::find_if(path.begin() + static_cast<std::ptrdiff_t>(std::min(from, path.size())), path.end(), IsSeparator);
    return static_cast<std::size_t>(it - path.begin());
}

bool IsPartialCopyName(std::wstring_view name) noexcept {
    const std::wstring_view copy = kTemporaryArchiveName;
    if (!name.starts_with(copy) || name.size() <= copy.size() || name[copy.size()] != L'~') return false;
    name.remove_prefix(copy.size() + 1);
    const std::size_t dash = name.find(L'-');
    if (dash == std::wstring_view::npos) return false;
    const auto digits = [](std::wstring_view part) {
        return !part.empty() && std::all_of(part.begin(), part.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    };
    return digits(name.substr(0, dash)) && digits(name.substr(dash + 1));
}

std::optional<std::wstring> TemporaryArchivePath(std::wstring_view tempFolder) {
    if (tempFolder.empty()) return std::nullopt;
    std::wstring path(tempFolder);
    if (!EndsWithBackslash(path)) path += L'\\';
    path += kTemporaryArchiveName;
    if (path.size() > kTempPathLimit) return std::nullopt;
    return path;
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
