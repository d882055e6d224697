#include "integration/registration_removal.h"

#include <algorithm>
#include <array>

#include "contract/product.h"
#include "framework/text_rules.h"
#include "integration/association_rules.h"
#include "integration/format_table.h"

namespace pixelmoor {

namespace {

// System keys under which the setup's shared keys lie; they are never removed.
constexpr std::array<std::wstring_view, 2> kSystemKeys = {
    L"SOFTWARE\\Classes",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts",
};

bool NamesTheProduct(std::wstring_view part) {
    return ContainsIgnoringCase(part, kProductName) || EqualsIgnoringCase(part, kViewerExe);
}

// The length of the system key that key lies strictly below; nullopt when none.
std::optional<std::size_t> SystemKeyLength(RegistryRoot root, std::wstring_view key) {
    if (root == RegistryRoot::ClassesRoot) return 0;
    for (std::wstring_view system : kSystemKeys)
        if (key.size() > system.size() + 1 && key[system.size()] == L'\\' &&
            EqualsIgnoringCase(key.substr(0, system.size()), system))
            return system.size();
    return std::nullopt;
}

void AddOnce(RegistryRemovals& steps, RegistryRemoval step) {
    if (std::find(steps.begin(), steps.end(), step) == steps.end()) steps.push_back(std::move(step));
}

void AddRemoval(RegistryRemovals& steps, RegistryRoot root, const std::wstring& key, std::optional<NamedValue> value,
                bool mayHaveMadeKey) {
    if (std::optional<std::wstring> owned = OwnedKeyRoot(key)) {
        std::vector<std::wstring> parents = KeysMadeFor(root, *owned);
        parents.erase(parents.begin());  // the key itself goes whole
        AddOnce(steps, RemoveKeyTree{root, std::move(*owned), std::move(parents)});
        return;
    }
    AddOnce(steps, RemoveSharedValue{root, key, std::move(value),
                                     mayHaveMadeKey ? KeysMadeFor(root, key) : std::vector<std::wstring>{}});
}

void Undo(RegistryRemovals& steps, const SetDefaultValue& write) {
    AddRemoval(steps, write.root, write.key, NamedValue{L"", write.data}, true);
}

void Undo(RegistryRemovals& steps, const SetNamedValues& write) {
    // Only a key that the write may create can be one that the setup made.
    const bool mayHaveMadeKey = write.opening == KeyOpening::Create;
    if (write.values.empty()) AddRemoval(steps, write.root, write.key, std::nullopt, mayHaveMadeKey);
    for (const NamedValue& value : write.values) AddRemoval(steps, write.root, write.key, value, mayHaveMadeKey);
}

void Undo(RegistryRemovals&, const DeleteKey&) {}

}  // namespace

std::optional<std::wstring> OwnedKeyRoot(std::wstring_view key) {
    std::size_t start = 0;
    while (start <= key.size()) {
        std::size_t end = key.find(L'\\', start);
        if (end == std::wstring_view::npos) end = key.size();
        if (NamesTheProduct(key.substr(start, end - start))) return std::wstring(key.substr(0, end));
        start = end + 1;
    }
    return std::nullopt;
}

std::vector<std::wstring> KeysMadeFor(RegistryRoot root, std::wstring_view key) {
    const std::optional<std::size_t> system = SystemKeyLength(root, key);
    if (!system) return {std::wstring(key)};
    std::vector<std::wstring> keys;
    for (std::wstring_view rest = key; rest.size() > *system;) {
        keys.emplace_back(rest);
        const std::size_t cut = rest.find_last_of(L'\\');
        if (cut == std::wstring_view::npos) break;
        rest = rest.substr(0, cut);
    }
    return keys;
}

RegistryRemovals RemovalStepsFor(std::span<const RegistryWrite> writes) {
    RegistryRemovals steps;
    for (const RegistryWrite& write : writes) std::visit([&steps](const auto& w) { Undo(steps, w); }, write);
    return steps;
}

RegistryWrites EveryRegistrationWrite(const RegistrationTexts& texts, UninstallEntry entry) {
    AssociationSelection everyRow;
    everyRow.fill(1);
    // The uninstall entry goes as a whole key: its size is never looked at.
    constexpr std::uint32_t kAnySize = 0;
    return RegistrationWrites(texts, true, everyRow, true, kAnySize, entry);
}

RemoveKeyTree UninstallEntryRemoval() { return {RegistryRoot::LocalMachine, kUninstallEntryKey, {}}; }

RegistryRemovals RegistrationRemovalSteps(std::wstring_view folder, UninstallEntry entry) {
    return RemovalStepsFor(EveryRegistrationWrite(BuildRegistrationTexts(folder), entry));
}

}  // namespace pixelmoor
