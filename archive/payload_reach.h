// How far the embedded payload reaches below an install folder, as the
// payload's build measured it from the archive's entry list: the checks that
// an installation makes before it writes anything.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pixelmoor {

// Characters of the payload's longest entry name: the deepest path that the
// payload fills is the install folder followed by it.
[[nodiscard]] std::size_t LongestPayloadEntry() noexcept;

// Characters of the longest name that unpacking the payload writes below
// the install folder: its longest entry, or one of the names that the
// unpacking uses on the way (a file's temporary name in the deepest of the
// payload's folders, the journal, a kept file; unpacking_journal_rules.h).
[[nodiscard]] std::size_t LongestUnpackingPath();

// The first folder that the payload fills below installFolder (which ends in
// a backslash) that is a link: a junction or a symbolic link, which Windows
// (and Wine, for a host link to a folder) reports as a reparse point. The
// payload's files would land wherever it leads, so nothing may be written
// into it. Empty when there is none. The install folder itself and the
// folders above it are not looked at: they may be links (a redirected drive
// or profile).
[[nodiscard]] std::optional<std::wstring> LinkedPayloadFolder(std::wstring_view installFolder);

}  // namespace pixelmoor
