// Key-path rules for applying a list of registry writes with few key
// openings: which keys are the same, which lie below which, and the parent
// keys that several written keys share, so that those can be held open and
// their sub-keys reached from there instead of from the hive's root.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "integration/registry_writes.h"

namespace pixelmoor {

struct KeyPath {
    RegistryRoot root;
    std::wstring path;

    bool operator==(const KeyPath&) const = default;
};

// A path the applier can walk level by level: not empty, no empty level
// (no leading, trailing or doubled backslash). Others are applied as given.
[[nodiscard]] bool IsPlainKeyPath(std::wstring_view path);

// The same key: the registry ignores case; only a to z are folded here, so
// that two spellings are never taken for one key when they are not.
[[nodiscard]] bool SameKeyPath(std::wstring_view a, std::wstring_view b);

// The keys below which two or more different keys of the list part (the
// classes root, the application key), each once, in the order the list first
// reaches them, a key before the keys below it. Keys that are not plain are
// left out.
[[nodiscard]] std::vector<KeyPath> SharedParentKeys(std::span<const RegistryWrite> writes);

// A key and its root as one text, case folded as SameKeyPath compares, for
// looking keys up.
[[nodiscard]] std::wstring FoldedKey(RegistryRoot root, std::wstring_view path);

}  // namespace pixelmoor
