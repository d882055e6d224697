// Taking the registration back: the registry writes of the setup, turned into
// the steps that undo them. The steps are derived from the same write lists
// that the setup applies, so that the two cannot drift apart.
//
// Two kinds of step:
// - a key that belongs to the product (its command classes, application key,
//   uninstall entry, context-menu entry) goes with everything below it;
// - a value that the setup writes into a key that others share (an
//   extension's class, a user's choice, the list of registered applications,
//   a store app's "NoOpenWith") goes only while it still holds what the setup
//   wrote; the key goes when nothing is left in it.
// The parents that the setup may have made for either kind of key (below a
// system key such as "SOFTWARE\Classes") go as well when they are left empty.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "integration/registration_rules.h"
#include "integration/registry_writes.h"

namespace pixelmoor {

struct RemoveKeyTree {
    RegistryRoot root;
    std::wstring key;
    // Parents that the setup may have made for the key (below a system key),
    // deepest first, removed when they are left empty.
    std::vector<std::wstring> emptyParents;

    bool operator==(const RemoveKeyTree&) const = default;
};

struct RemoveSharedValue {
    RegistryRoot root;
    std::wstring key;
    // Removed only while it holds this data (texts compared without regard to
    // case, as the shell compares class names); none when the setup only made
    // the key.
    std::optional<NamedValue> value;
    // Removed when they hold neither values nor sub-keys, in this order
    // (deepest first).
    std::vector<std::wstring> emptyKeys;

    bool operator==(const RemoveSharedValue&) const = default;
};

using RegistryRemoval = std::variant<RemoveKeyTree, RemoveSharedValue>;
using RegistryRemovals = std::vector<RegistryRemoval>;

// The key below which everything is the product's: the key up to and
// including its first part that names the product ("Pixelmoor",
// "Pixelmoor.jpg", the uninstall entry's name, "Durchsuchen mit &Pixelmoor") or its viewer
// ("p_moor64.exe"), compared without regard to case. Empty when no part does.
[[nodiscard]] std::optional<std::wstring> OwnedKeyRoot(std::wstring_view key);

// The keys that a write into a shared key may have made: the key and its
// parents below the system key it lies under ("SOFTWARE\Classes", the
// Explorer's "FileExts"; for HKEY_CLASSES_ROOT the root itself), deepest
// first. Only the key itself when it lies under none of them.
[[nodiscard]] std::vector<std::wstring> KeysMadeFor(RegistryRoot root, std::wstring_view key);

// The steps that undo these writes, in the order of the writes, each step
// once. Key deletions that a write makes have nothing to undo.
[[nodiscard]] RegistryRemovals RemovalStepsFor(std::span<const RegistryWrite> writes);

// Every write that the registration can make for this folder, whatever was
// chosen: the registration's own writes with the context menu, every
// extension pointed at the viewer and made the user's choice, and the
// store-app values; the uninstall entry as entry says.
[[nodiscard]] RegistryWrites EveryRegistrationWrite(const RegistrationTexts& texts, UninstallEntry entry);

// The uninstall entry's key, which an uninstaller removes last.
[[nodiscard]] RemoveKeyTree UninstallEntryRemoval();

// The steps that take back a registration into folder, the uninstall
// entry's as entry says.
[[nodiscard]] RegistryRemovals RegistrationRemovalSteps(std::wstring_view folder, UninstallEntry entry);

}  // namespace pixelmoor
