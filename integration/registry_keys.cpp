#include "integration/registry_keys.h"

#include <unordered_map>

#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

std::wstring_view KeyOf(const RegistryWrite& write) {
    return std::visit([](const auto& w) -> std::wstring_view { return w.key; }, write);
}

RegistryRoot RootOf(const RegistryWrite& write) {
    return std::visit([](const auto& w) { return w.root; }, write);
}

// What is known about one proper ancestor: the first level below it that a
// key of the list goes on to, and whether another key goes on to another.
struct Branching {
    std::wstring firstLevel;  // folded
    bool parts = false;
    bool listed = false;
};

}  // namespace

bool IsPlainKeyPath(std::wstring_view path) {
    if (path.empty() || path.front() == L'\\' || path.back() == L'\\') return false;
    return path.find(L"\\\\") == std::wstring_view::npos;
}

bool SameKeyPath(std::wstring_view a, std::wstring_view b) { return EqualsIgnoringCase(a, b); }

std::wstring FoldedKey(RegistryRoot root, std::wstring_view path) {
    std::wstring folded;
    folded.reserve(path.size() + 2);
    folded += static_cast<wchar_t>(L'0' + static_cast<int>(root));
    folded += L'|';
    for (const wchar_t c : path) folded += FoldCase(c);
    return folded;
}

std::vector<KeyPath> SharedParentKeys(std::span<const RegistryWrite> writes) {
    std::unordered_map<std::wstring, Branching> ancestors;
    for (const RegistryWrite& write : writes) {
        const std::wstring_view key = KeyOf(write);
        if (!IsPlainKeyPath(key)) continue;
        const std::wstring folded = FoldedKey(RootOf(write), key);
        // Every backslash ends a proper ancestor; the level after it is where this key goes on.
        for (std::size_t cut = folded.find(L'\\'); cut != std::wstring::npos; cut = folded.find(L'\\', cut + 1)) {
            const std::size_t next = folded.find(L'\\', cut + 1);
            const std::wstring level = folded.substr(cut + 1, next == std::wstring::npos ? next : next - cut - 1);
            Branching& branching = ancestors[folded.substr(0, cut)];
            if (branching.firstLevel.empty()) {
                branching.firstLevel = level;
            } else if (branching.firstLevel != level) {
                branching.parts = true;
            }
        }
    }
    std::vector<KeyPath> shared;
    for (const RegistryWrite& write : writes) {
        const std::wstring_view key = KeyOf(write);
        if (!IsPlainKeyPath(key)) continue;
        const RegistryRoot root = RootOf(write);
        for (std::size_t cut = key.find(L'\\'); cut != std::wstring_view::npos; cut = key.find(L'\\', cut + 1)) {
            Branching& branching = ancestors[FoldedKey(root, key.substr(0, cut))];
            if (!branching.parts || branching.listed) continue;
            branching.listed = true;
            shared.push_back({root, std::wstring(key.substr(0, cut))});
        }
    }
    return shared;
}

}  // namespace pixelmoor
