// Names compared as the system compares them: file and folder names, and
// the class names that the shell looks up.
#pragma once

#include <string_view>

namespace pixelmoor {

// True when the two names are equal without regard to capitals of any
// script (ordinal comparison with the system's case table), as the file
// system and the registry's class lookups treat them.
[[nodiscard]] bool SystemNamesEqual(std::wstring_view a, std::wstring_view b) noexcept;

}  // namespace pixelmoor
