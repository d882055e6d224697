#include "framework/registry_read.h"

#include "framework/registry_text_rules.h"
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

std::optional<std::wstring> TryGetString(HKEY key, const wchar_t* name, std::size_t byteLimit) {
    const std::optional<RegistryValue> value = TryGetValue(key, name, byteLimit);
    if (!value || value->type != REG_SZ) return std::nullopt;
    return TextBeforeTerminator(value->bytes);
}

std::optional<std::wstring> TryGetString(HKEY root, const wchar_t* subKey, const wchar_t* name, std::size_t byteLimit) {
    const std::optional<RegistryValue> value = TryGetValue(root, subKey, name, byteLimit);
    if (!value || value->type != REG_SZ) return std::nullopt;
    return TextBeforeTerminator(value->bytes);
}

std::optional<std::wstring> TryGetTerminatedString(HKEY root, const wchar_t* subKey, const wchar_t* name,
                                                   std::size_t byteLimit) {
    const std::optional<RegistryValue> value = TryGetValue(root, subKey, name, byteLimit);
    if (!value || value->type != REG_SZ) return std::nullopt;
    return TerminatedText(value->bytes);
}

std::optional<RegistryString> TryGetStringOrExpandable(HKEY root, const wchar_t* subKey, const wchar_t* name,
                                                       std::size_t byteLimit) {
    const std::optional<RegistryValue> value = TryGetValue(root, subKey, name, byteLimit);
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return std::nullopt;
    return RegistryString{TextBeforeTerminator(value->bytes), value->type == REG_EXPAND_SZ};
}

namespace {

// %NAME% variables of an expandable text replaced from the environment, at
// whatever length that gives; empty when the result would exceed limit.
std::optional<std::wstring> ExpandVariables(const std::wstring& text, std::size_t limit) {
    for (;;) {
        const DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
        if (needed == 0 || needed - 1 > limit) return std::nullopt;
        std::wstring expanded(needed, L'\0');
        const DWORD written = ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed);
        if (written == 0) return std::nullopt;
        // The environment may have changed in between; then measure again.
        if (written > needed) continue;
        expanded.resize(written - 1);
        return expanded;
    }
}

}  // namespace

std::optional<std::wstring> ReadRegistryText(HKEY root, const wchar_t* keyPath, const wchar_t* name,
                                             std::size_t limit) {
    std::optional<RegistryString> value = TryGetStringOrExpandable(root, keyPath, name, (limit + 1) * sizeof(wchar_t));
    // More would not have fitted with its terminator.
    if (!value || value->text.size() > limit) return std::nullopt;
    if (!value->expandable) return std::move(value->text);
    return ExpandVariables(value->text, limit);
}

}  // namespace pixelmoor
