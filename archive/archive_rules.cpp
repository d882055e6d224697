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

}  // namespace pixelmoor
