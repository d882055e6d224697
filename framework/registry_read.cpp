#include "framework/registry_read.h"

#include "framework/unique_handle.h"

namespace pixelmoor {

std::optional<RegistryValue> TryGetValue(HKEY key, const wchar_t* name, std::size_t byteLimit) {
    RegistryValue value;
    for (;;) {
        DWORD size = static_cast<DWORD>(value.bytes.size());
        const LSTATUS status = ::RegQueryValueExW(key, name, nullptr, &value.type,
                                                  value.bytes.empty() ? nullptr : value.bytes.data(), &size);
        if (status == ERROR_SUCCESS && size <= value.bytes.size()) {
            value.bytes.resize(size);
            return value;
        }
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return std::nullopt;
        if (size > byteLimit) return std::nullopt;
        // Asked for its size first, and again when it grew in between.
        value.bytes.resize(size);
    }
}

std::optional<RegistryValue> TryGetValue(HKEY root, const wchar_t* subKey, const wchar_t* name, std::size_t byteLimit) {
    UniqueHkey key;
    if (::RegOpenKeyExW(root, subKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return std::nullopt;
    return TryGetValue(key.get(), name, byteLimit);
}

}  // namespace pixelmoor
