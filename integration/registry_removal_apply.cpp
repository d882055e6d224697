#include "integration/registry_removal_apply.h"

#include <windows.h>

#include <cstring>
#include <optional>

#include "framework/registry_read.h"
#include "framework/registry_text_rules.h"
#include "framework/system_names.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "integration/registry_root_key.h"

namespace pixelmoor {

namespace {

std::wstring RootName(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::CurrentUser:
            return L"HKEY_CURRENT_USER";
        case RegistryRoot::ClassesRoot:
            return L"HKEY_CLASSES_ROOT";
        case RegistryRoot::LocalMachine:
            break;
    }
    return L"HKEY_LOCAL_MACHINE";
}

std::wstring KeyText(RegistryRoot root, const std::wstring& key) { return RootName(root) + L'\\' + key; }

bool Gone(LSTATUS status) { return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND; }

UniqueHkey OpenKey(RegistryRoot root, const std::wstring& key, REGSAM access) {
    UniqueHkey handle;
    if (::RegOpenKeyExW(RootKey(root), key.c_str(), 0, access, handle.put()) != ERROR_SUCCESS) handle.reset();
    return handle;
}

// Bytes of the longest value that the setup writes: a text of the longest
// path. A larger value cannot hold what the setup wrote.
constexpr std::size_t kWrittenValueBytesLimit = (kLongPathLimit + 1) * sizeof(wchar_t);

// The data of a value as the setup writes it; nullopt when it is missing or
// of another kind.
std::optional<NamedValue> ReadValue(HKEY key, const std::wstring& name) {
    const std::optional<RegistryValue> value = TryGetValue(key, name.c_str(), kWrittenValueBytesLimit);
    if (!value) return std::nullopt;
    if (value->type == REG_DWORD && value->bytes.size() == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, value->bytes.data(), sizeof(number));
        return NamedValue{name, std::uint32_t{number}};
    }
    if (value->type != REG_SZ && value->type != REG_EXPAND_SZ) return std::nullopt;
    return NamedValue{name, TextWithoutTrailingZeros(value->bytes)};
}

// Class names are compared as the shell compares them: without regard to case.
bool StillHolds(const NamedValue& found, const NamedValue& written) {
    const auto* foundText = std::get_if<std::wstring>(&found.data);
    const auto* writtenText = std::get_if<std::wstring>(&written.data);
    if (foundText && writtenText) return SystemNamesEqual(*foundText, *writtenText);
    return found.data == written.data;
}

bool IsEmptyKey(HKEY key) {
    DWORD subKeys = 0, values = 0;
    return ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
                              nullptr, nullptr) == ERROR_SUCCESS &&
           subKeys == 0 && values == 0;
}

// Removes the keys that are empty, deepest first; a key that is not empty
// keeps its parents too.
void RemoveEmptyKeys(RegistryRoot root, std::span<const std::wstring> keys, std::vector<std::wstring>& left) {
    for (const std::wstring& made : keys) {
        const UniqueHkey key = OpenKey(root, made, KEY_QUERY_VALUE);
        if (!key) continue;
        if (!IsEmptyKey(key.get())) return;
        if (!Gone(::RegDeleteKeyW(RootKey(root), made.c_str()))) {
            left.push_back(KeyText(root, made));
            return;
        }
    }
}

void Remove(const RemoveKeyTree& step, std::vector<std::wstring>& left) {
    const HKEY root = RootKey(step.root);
    // RegDeleteTreeW empties the key; the key itself goes with RegDeleteKeyW.
    if (!Gone(::RegDeleteTreeW(root, step.key.c_str())) || !Gone(::RegDeleteKeyW(root, step.key.c_str()))) {
        left.push_back(KeyText(step.root, step.key));
        return;
    }
    RemoveEmptyKeys(step.root, step.emptyParents, left);
}

void Remove(const RemoveSharedValue& step, std::vector<std::wstring>& left) {
    if (step.value) {
        const UniqueHkey key = OpenKey(step.root, step.key, KEY_QUERY_VALUE);
        if (!key) return;  // nothing of the setup's is there any more
        const std::optional<NamedValue> found = ReadValue(key.get(), step.value->name);
        if (!found || !StillHolds(*found, *step.value)) return;  // changed by the user or another program: theirs
        const UniqueHkey writable = OpenKey(step.root, step.key, KEY_SET_VALUE);
        if (!writable || !Gone(::RegDeleteValueW(writable.get(), step.value->name.c_str()))) {
            // The default value is shown as the registry editor shows it.
            left.push_back(KeyText(step.root, step.key) + L": " +
                           (step.value->name.empty() ? L"(Standard)" : step.value->name));
            return;
        }
    }
    RemoveEmptyKeys(step.root, step.emptyKeys, left);
}

}  // namespace

std::vector<std::wstring> ApplyRegistryRemovals(std::span<const RegistryRemoval> removals) {
    std::vector<std::wstring> left;
    for (const RegistryRemoval& step : removals) std::visit([&left](const auto& s) { Remove(s, left); }, step);
    return left;
}

}  // namespace pixelmoor
