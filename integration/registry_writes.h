// Registry changes described as data, so that each step of the registration
// can be built and checked without a registry and applied in its exact order.
//
// The two kinds of write keep the system's semantics:
// - SetDefaultValue sets the unnamed REG_SZ value of a sub-key and creates the
//   sub-key and its missing parents first;
// - SetNamedValues opens or creates one key and writes its values; when the
//   key cannot be opened (or created), its values are skipped.
// Every other failure is ignored.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace pixelmoor {

enum class RegistryRoot { LocalMachine, CurrentUser, ClassesRoot };

// How SetNamedValues gets its key.
enum class KeyOpening {
    OpenFullAccess,  // open an existing key for everything (KEY_ALL_ACCESS)
    OpenSetValue,    // open an existing key for setting values only (KEY_SET_VALUE)
    Create,          // create the key, or open it when it exists
};

struct NamedValue {
    std::wstring name;
    std::variant<std::wstring, std::uint32_t> data;  // REG_SZ or REG_DWORD

    bool operator==(const NamedValue&) const = default;
};

struct SetDefaultValue {
    RegistryRoot root;
    std::wstring key;
    std::wstring data;

    bool operator==(const SetDefaultValue&) const = default;
};

// With no values it just makes sure that the key exists (Create) and closes it.
struct SetNamedValues {
    RegistryRoot root;
    std::wstring key;
    KeyOpening opening;
    std::vector<NamedValue> values;

    bool operator==(const SetNamedValues&) const = default;
};

// Deletes a key that has no sub-keys; a missing key or a refusal is ignored.
struct DeleteKey {
    RegistryRoot root;
    std::wstring key;

    bool operator==(const DeleteKey&) const = default;
};

using RegistryWrite = std::variant<SetDefaultValue, SetNamedValues, DeleteKey>;
using RegistryWrites = std::vector<RegistryWrite>;

}  // namespace pixelmoor
