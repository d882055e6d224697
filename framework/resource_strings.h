// Texts of the running program's string table.
#pragma once

#include <cstddef>
#include <string>

namespace pixelmoor {

// String `id` of the string table of the running executable, cut after
// `limit` characters; empty when there is no such string.
[[nodiscard]] std::wstring LoadResourceString(int id, std::size_t limit);

// Characters kept of a message or button text of the string table; the
// longest message has about 250.
inline constexpr std::size_t kMessageTextLimit = 1023;

// A message or button text: string `id`, within kMessageTextLimit.
[[nodiscard]] std::wstring LoadMessageText(int id);

}  // namespace pixelmoor
