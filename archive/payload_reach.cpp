#include "archive/payload_reach.h"

#include "archive/unpacking_journal_rules.h"
#include "framework/folder_path.h"
// Made by the payload's build from the archive's entry list.
#include "payload_extent.h"

namespace pixelmoor {

std::size_t LongestPayloadEntry() noexcept { return kLongestPayloadEntry; }

std::span<const std::wstring_view> PayloadPrograms() noexcept { return kPayloadPrograms; }

std::size_t LongestUnpackingPath() { return LongestUnpackingName(kLongestPayloadEntry, kPayloadFolders); }

std::optional<std::wstring> LinkedPayloadFolder(std::wstring_view installFolder) {
    // Outermost first, so that a link is found before anything below it is
    // looked at through it.
    for (const std::wstring_view folder : kPayloadFolders) {
        std::wstring path(installFolder);
        path += folder;
        if (IsLink(path)) return path;
    }
    return std::nullopt;
}

}  // namespace pixelmoor
