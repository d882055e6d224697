#include "archive/entry_plan.h"

#include <windows.h>

#include <array>
#include <string_view>

#include "archive/archive_rules.h"

namespace pixelmoor {

namespace {

// The entry name in the system ANSI code page, as wide characters; empty
// when it cannot be converted or does not fit the wide name buffer.
std::optional<std::wstring> WideEntryName(std::string_view name) {
    const int stored = static_cast<int>(name.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, name.data(), stored, nullptr, 0);
    if (length <= 0 || !WideNameFits(static_cast<std::size_t>(length))) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (::MultiByteToWideChar(CP_ACP, 0, name.data(), stored, wide.data(), length) != length) return std::nullopt;
    return wide;
}

}  // namespace

std::optional<EntryPlan> PlanCurrentEntry(unzFile archive, int keepIconLibrary) {
    std::array<char, kEntryNameBufferBytes> nameBuffer{};
    EntryPlan plan;
    if (::unzGetCurrentFileInfo64(archive, &plan.info, nameBuffer.data(), static_cast<uLong>(nameBuffer.size()),
                                  nullptr, 0, nullptr, 0) != UNZ_OK)
        return std::nullopt;
    // minizip does not end a name that fills the buffer, so its length is
    // taken from the entry; a name that does not fit is refused.
    if (!EntryNameFits(plan.info.size_filename)) return plan;
    const std::string_view name(nameBuffer.data(), plan.info.size_filename);
    if (PassOverForIconLibrary(name, keepIconLibrary)) return plan;
    // Names are resolved against the current directory, the target folder;
    // one that would land outside it is refused.
    std::optional<std::wstring> wideName = WideEntryName(name);
    if (!wideName || !StaysInsideTarget(*wideName)) return plan;
    plan.wideName = std::move(*wideName);
    plan.kind = IsFolderEntry(name) ? EntryPlan::Kind::kFolder : EntryPlan::Kind::kFile;
    return plan;
}

bool HasReadableData(const unz_file_info64& info) noexcept {
    const bool encrypted = (info.flag & 1u) != 0;
    return !encrypted && (info.compression_method == 0 || info.compression_method == Z_DEFLATED);
}

}  // namespace pixelmoor
