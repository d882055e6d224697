#include "integration/registry_apply.h"

#include <windows.h>

#include "framework/unique_handle.h"

namespace pixelmoor {

namespace {

HKEY RootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegistryRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegistryRoot::LocalMachine:
            break;
    }
    return HKEY_LOCAL_MACHINE;
}

UniqueHkey OpenForValues(const SetNamedValues& write) {
    UniqueHkey key;
    const HKEY root = RootKey(write.root);
    LSTATUS status = ERROR_SUCCESS;
    switch (write.opening) {
        case KeyOpening::OpenFullAccess:
            status = ::RegOpenKeyExW(root, write.key.c_str(), 0, KEY_ALL_ACCESS, key.put());
            break;
        case KeyOpening::OpenSetValue:
            status = ::RegOpenKeyExW(root, write.key.c_str(), 0, KEY_SET_VALUE, key.put());
            break;
        case KeyOpening::Create:
            status = ::RegCreateKeyW(root, write.key.c_str(), key.put());
            break;
    }
    if (status != ERROR_SUCCESS) key.reset();
    return key;
}

// REG_SZ data are sized with their terminating NUL.
void SetValue(HKEY key, const NamedValue& value) {
    if (const auto* text = std::get_if<std::wstring>(&value.data)) {
        ::RegSetValueExW(key, value.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text->c_str()),
                         static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t)));
        return;
    }
    const DWORD number = std::get<std::uint32_t>(value.data);
    ::RegSetValueExW(key, value.name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
}

void Apply(const SetDefaultValue& write) {
    // RegSetValueW creates the sub-key and its missing parents before it sets the unnamed value.
    ::RegSetValueW(RootKey(write.root), write.key.c_str(), REG_SZ, write.data.c_str(),
                   static_cast<DWORD>(write.data.size() * sizeof(wchar_t)));
}

void Apply(const SetNamedValues& write) {
    UniqueHkey key = OpenForValues(write);
    if (!key) return;
    for (const NamedValue& value : write.values) SetValue(key.get(), value);
}

void Apply(const DeleteKey& write) { ::RegDeleteKeyW(RootKey(write.root), write.key.c_str()); }

}  // namespace

void ApplyRegistryWrites(std::span<const RegistryWrite> writes) {
    for (const RegistryWrite& write : writes) std::visit([](const auto& w) { Apply(w); }, write);
}

}  // namespace pixelmoor
