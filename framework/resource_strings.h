// Texts of the running program's string table.
#pragma once

#include <cstddef>
#include <string>

namespace pixelmoor {

// String `id` of the string table of the running executable, cut after
// `limit` characters; empty when there is no such string.
[[nodiscard]] std::wstring LoadResourceString(int id, std::size_t limit);

}  // namespace pixelmoor
