// How far the embedded payload reaches below an install folder, as the
// payload's build measured it from the archive's entry list: the checks that
// an installation makes before it writes anything.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pixelmoor {

// Characters of the payload's longest entry name: the deepest path that the
// payload fills is the install folder followed by it.
[[nodiscard]] std::size_t LongestPayloadEntry() noexcept;

// The programs that the payload carries (p_moor64.exe, Plugins\Diashow.exe,
// ...), as paths below an install folder: while one of them runs from
// there, its file is in use and an update would stop half way.
[[nodiscard]] std::span<const std::wstring_view> PayloadPrograms() noexcept;

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
