// Reading one value of the registry, in the 64-bit view that the process
// sees by default. "Not found" is a value here: a read that finds nothing,
// or more than the caller takes, gives an empty optional.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
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

// A string value's text: a REG_SZ value of at most byteLimit bytes, the
// characters before its first terminator (a value stored without one taken
// whole). Empty when it is missing, larger or of another type.
[[nodiscard]] std::optional<std::wstring> TryGetString(HKEY key, const wchar_t* name, std::size_t byteLimit);
[[nodiscard]] std::optional<std::wstring> TryGetString(HKEY root, const wchar_t* subKey, const wchar_t* name,
                                                       std::size_t byteLimit);

// The same, for readers whose value counts only with its terminator: a
// value without one, or of an odd number of bytes, is missing.
[[nodiscard]] std::optional<std::wstring> TryGetTerminatedString(HKEY root, const wchar_t* subKey, const wchar_t* name,
                                                                 std::size_t byteLimit);

// The same as TryGetString, for readers that take REG_EXPAND_SZ too; its
// variables are left for the reader to expand.
struct RegistryString {
    std::wstring text;
    bool expandable = false;  // REG_EXPAND_SZ
};
[[nodiscard]] std::optional<RegistryString> TryGetStringOrExpandable(HKEY root, const wchar_t* subKey,
                                                                     const wchar_t* name, std::size_t byteLimit);

// A text value (REG_SZ, or REG_EXPAND_SZ with its variables expanded) of a
// key below root, whole up to limit characters: the characters before its
// first NUL. Empty when the key or the value is missing, is no text, or is
// longer.
[[nodiscard]] std::optional<std::wstring> ReadRegistryText(HKEY root, const wchar_t* keyPath, const wchar_t* name,
                                                           std::size_t limit);

}  // namespace pixelmoor
