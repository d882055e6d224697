// Reading one value of the registry, in the 64-bit view that the process
// sees by default. "Not found" is a value here: a read that finds nothing,
// or more than the caller takes, gives an empty optional.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <vector>

namespace pixelmoor {

// A value as the registry holds it: its type (REG_SZ, REG_DWORD, ...) and
// its bytes, a text's terminator included when it was stored with one.
struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<unsigned char> bytes;
};

// The value `name` (null: the default value) of an open key. Empty when it is
// missing or holds more than byteLimit bytes: a larger value is never taken
// cut, and nothing beyond the bytes read is ever looked at.
[[nodiscard]] std::optional<RegistryValue> TryGetValue(HKEY key, const wchar_t* name, std::size_t byteLimit);

// The same for a key below root, opened for this read only; empty also when
// the key cannot be opened.
[[nodiscard]] std::optional<RegistryValue> TryGetValue(HKEY root, const wchar_t* subKey, const wchar_t* name,
                                                       std::size_t byteLimit);

}  // namespace pixelmoor
