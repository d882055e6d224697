#include "integration/registry_apply.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "framework/unique_handle.h"
#include "integration/registry_keys.h"
#include "integration/registry_root_key.h"

namespace pixelmoor {

namespace {

// What a held key handle may serve for, by how it was obtained.
enum class Grant {
    SetValue,  // opened for setting values only
    Maximum,   // created or opened with what the user may do, full access having been refused
    Full,      // created or opened with full access (KEY_ALL_ACCESS)
};

struct Obtained {
    UniqueHkey key;
    Grant grant = Grant::Full;
    bool createdNew = false;  // the key did not exist before: nothing is below it
};

Obtained CreateBelow(HKEY parent, const wchar_t* below) {
    Obtained obtained;
    DWORD disposition = 0;
    LSTATUS status =
        ::RegCreateKeyExW(parent, below, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, obtained.key.put(), &disposition);
    if (status == ERROR_ACCESS_DENIED) {
        // What RegCreateKeyW grants: whatever the user may do with the key.
        obtained.grant = Grant::Maximum;
        status =
            ::RegCreateKeyExW(parent, below, 0, nullptr, 0, MAXIMUM_ALLOWED, nullptr, obtained.key.put(), &disposition);
    }
    if (status != ERROR_SUCCESS) obtained.key.reset();
    obtained.createdNew = disposition == REG_CREATED_NEW_KEY;
    return obtained;
}

Obtained OpenBelow(HKEY parent, const wchar_t* below, REGSAM access, Grant grant) {
    Obtained obtained;
    obtained.grant = grant;
    if (::RegOpenKeyExW(parent, below, 0, access, obtained.key.put()) != ERROR_SUCCESS) obtained.key.reset();
    return obtained;
}

// A shared parent key on the way to a key that is only opened is opened too
// (never created), for as much as the user may do.
Obtained OpenShared(HKEY parent, const wchar_t* below) {
    Obtained obtained = OpenBelow(parent, below, KEY_ALL_ACCESS, Grant::Full);
    if (!obtained.key) obtained = OpenBelow(parent, below, MAXIMUM_ALLOWED, Grant::Maximum);
    return obtained;
}

// The keys that one list of writes reaches, each opened or created once and
// held until the list is done, so that every later write to the key, and
// every key below it, starts from the held handle instead of the hive's
// root. A held handle serves a later write only where a fresh opening would
// have granted the same: the effects are those of opening every key anew.
class HeldKeys {
public:
    explicit HeldKeys(std::span<const RegistryWrite> writes) {
        for (const KeyPath& key : SharedParentKeys(writes)) shared_.insert(FoldedKey(key.root, key.path));
    }

    // The key, created with its missing parents when it does not exist (as
    // RegCreateKeyW makes it); null when that fails.
    HKEY Created(RegistryRoot root, const std::wstring& path) {
        const std::wstring folded = FoldedKey(root, path);
        if (const auto found = held_.find(folded); found != held_.end() && found->second.grant != Grant::SetValue)
            return found->second.key.get();
        return Reach(root, path, folded, true,
                     [](HKEY parent, const wchar_t* below) { return CreateBelow(parent, below); });
    }

    // The existing key, opened for full access or for setting values;
    // nothing is created. Null when it cannot be opened so.
    HKEY Opened(RegistryRoot root, const std::wstring& path, Grant wanted) {
        const std::wstring folded = FoldedKey(root, path);
        if (const auto found = held_.find(folded);
            found != held_.end() && (wanted == Grant::SetValue || found->second.grant == Grant::Full))
            return found->second.key.get();
        return Reach(root, path, folded, false, [wanted](HKEY parent, const wchar_t* below) {
            return OpenBelow(parent, below, wanted == Grant::Full ? KEY_ALL_ACCESS : KEY_SET_VALUE, wanted);
        });
    }

    // Deletes a key that has no sub-keys; the handles held on it and below it
    // are closed first, and what was written there is forgotten. A missing
    // key or a refusal is ignored.
    void Delete(RegistryRoot root, const std::wstring& path) {
        const std::wstring folded = FoldedKey(root, path);
        const auto atOrBelow = [&folded](const auto& entry) {
            return entry.first.starts_with(folded) &&
                   (entry.first.size() == folded.size() || entry.first[folded.size()] == L'\\' ||
                    entry.first[folded.size()] == L'\n');
        };
        std::erase_if(held_, atOrBelow);
        std::erase_if(written_, atOrBelow);
        const Start start = NearestHeldAncestor(root, path);
        const LSTATUS status =
            ::RegDeleteKeyW(start.key, start.length == 0 ? path.c_str() : path.c_str() + start.length + 1);
        if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) missing_.insert(folded);
    }

    // Sets one value of a key obtained above; a value that this list has
    // already set to the same data is left as it is. Counts the value as
    // written or failed, and tells which.
    bool SetValue(RegistryRoot root, const std::wstring& path, HKEY key, const wchar_t* name, DWORD type,
                  const void* data, DWORD size) {
        std::wstring slot = FoldedKey(root, path);
        slot += L'\n';
        if (name != nullptr) slot += name;
        std::string bytes(static_cast<const char*>(data), size);
        bytes += static_cast<char>(type);
        if (const auto found = written_.find(slot); found != written_.end() && found->second == bytes) {
            ++outcome.written;
            return true;
        }
        if (::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS) {
            ++outcome.failed;
            return false;
        }
        written_[std::move(slot)] = std::move(bytes);
        ++outcome.written;
        return true;
    }

    RegistryWriteOutcome outcome;

private:
    struct Held {
        UniqueHkey key;
        Grant grant;
        bool createdNew;
    };
    // Where a walk down to a key begins: a held ancestor (or the root), the
    // length of its path, and whether it was made by this list.
    struct Start {
        HKEY key;
        std::size_t length;
        bool createdNew;
    };

    Start NearestHeldAncestor(RegistryRoot root, const std::wstring& path) const {
        if (!IsPlainKeyPath(path)) return {RootKey(root), 0, false};
        for (std::size_t cut = path.rfind(L'\\'); cut != std::wstring::npos && cut > 0;
             cut = path.rfind(L'\\', cut - 1)) {
            const auto found = held_.find(FoldedKey(root, std::wstring_view(path).substr(0, cut)));
            if (found != held_.end() && found->second.grant != Grant::SetValue)
                return {found->second.key.get(), cut, found->second.createdNew};
        }
        return {RootKey(root), 0, false};
    }

    HKEY Hold(const std::wstring& folded, Obtained obtained) {
        const HKEY key = obtained.key.get();
        missing_.erase(folded);
        held_[folded] = Held{std::move(obtained.key), obtained.grant, obtained.createdNew};
        return key;
    }

    // Walks from the nearest held ancestor down to the key: the shared
    // parent keys on the way are held as they are passed (created when the
    // key is being created, which would create them anyway; opened
    // otherwise), then the key itself is obtained by `last` and held. A key
    // known to be missing (below a key this list made, or one it deleted) is
    // created level by level, which spares the system's own first try at
    // the whole path.
    template <typename Last>
    HKEY Reach(RegistryRoot root, const std::wstring& path, const std::wstring& folded, bool creating, Last last) {
        Start at = NearestHeldAncestor(root, path);
        if (!IsPlainKeyPath(path)) {
            Obtained obtained = last(at.key, path.c_str());
            return obtained.key ? Hold(folded, std::move(obtained)) : nullptr;
        }
        const bool knownMissing = at.createdNew || missing_.contains(folded);
        for (std::size_t cut = path.find(L'\\', at.length + 1); cut != std::wstring::npos;
             cut = path.find(L'\\', cut + 1)) {
            const std::wstring prefix = path.substr(0, cut);
            const std::wstring foldedPrefix = FoldedKey(root, prefix);
            if (!(creating && knownMissing) && !shared_.contains(foldedPrefix)) continue;
            const wchar_t* below = at.length == 0 ? prefix.c_str() : prefix.c_str() + at.length + 1;
            Obtained level = creating ? CreateBelow(at.key, below) : OpenShared(at.key, below);
            if (!level.key) {
                if (creating) return nullptr;  // a level that cannot be made fails the whole key, as it would
                break;
            }
            const bool createdNew = level.createdNew;
            at = {Hold(foldedPrefix, std::move(level)), cut, createdNew};
        }
        Obtained obtained = last(at.key, at.length == 0 ? path.c_str() : path.c_str() + at.length + 1);
        return obtained.key ? Hold(folded, std::move(obtained)) : nullptr;
    }

    std::unordered_map<std::wstring, Held> held_;
    std::unordered_set<std::wstring> shared_;
    std::unordered_set<std::wstring> missing_;               // keys this list deleted or found missing
    std::unordered_map<std::wstring, std::string> written_;  // key and value name -> type and data
};

// REG_SZ data are sized with their terminating NUL.
bool SetText(HeldKeys& keys, RegistryRoot root, const std::wstring& path, HKEY key, const wchar_t* name,
             const std::wstring& text) {
    return keys.SetValue(root, path, key, name, REG_SZ, text.c_str(),
                         static_cast<DWORD>((std::wcslen(text.c_str()) + 1) * sizeof(wchar_t)));
}

// Each Apply makes one write and tells whether it set every value it holds.
bool Apply(HeldKeys& keys, const SetDefaultValue& write) {
    // Created with its missing parents, as RegSetValueW does before it sets the unnamed value.
    if (const HKEY key = keys.Created(write.root, write.key))
        return SetText(keys, write.root, write.key, key, nullptr, write.data);
    ++keys.outcome.failed;
    return false;
}

bool Apply(HeldKeys& keys, const SetNamedValues& write) {
    HKEY key = nullptr;
    switch (write.opening) {
        case KeyOpening::OpenFullAccess:
            key = keys.Opened(write.root, write.key, Grant::Full);
            break;
        case KeyOpening::OpenSetValue:
            key = keys.Opened(write.root, write.key, Grant::SetValue);
            break;
        case KeyOpening::Create:
            key = keys.Created(write.root, write.key);
            break;
    }
    if (key == nullptr) {
        // The values of a key that cannot be opened are skipped; one that cannot be made fails them.
        if (write.opening == KeyOpening::Create) keys.outcome.failed += write.values.size();
        return false;
    }
    bool whole = true;
    for (const NamedValue& value : write.values) {
        if (const auto* text = std::get_if<std::wstring>(&value.data)) {
            whole = SetText(keys, write.root, write.key, key, value.name.c_str(), *text) && whole;
        } else if (const auto* number = std::get_if<std::uint32_t>(&value.data)) {
            const DWORD data = *number;
            whole =
                keys.SetValue(write.root, write.key, key, value.name.c_str(), REG_DWORD, &data, sizeof(data)) && whole;
        }
    }
    return whole;
}

// A deletion sets nothing; what it cannot delete stays unreported.
bool Apply(HeldKeys& keys, const DeleteKey& write) {
    keys.Delete(write.root, write.key);
    return true;
}

}  // namespace

RegistryWriteOutcome ApplyRegistryWrites(std::span<const RegistryWrite> writes) {
    HeldKeys keys(writes);
    for (std::size_t i = 0; i < writes.size(); ++i)
        if (!std::visit([&keys](const auto& w) { return Apply(keys, w); }, writes[i]))
            keys.outcome.incomplete.push_back(i);
    return keys.outcome;
}

}  // namespace pixelmoor
