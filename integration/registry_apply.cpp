#include "integration/registry_apply.h"

#include <windows.h>

#include <cwchar>
#include <unordered_map>
#include <unordered_set>

#include "framework/unique_handle.h"
#include "integration/registry_keys.h"

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

// What a held key handle may serve for, by how it was obtained.
enum class Grant {
    SetValue,  // opened for setting values only
    Maximum,   // created or opened with what the user may do, full access having been refused
    Full,      // created or opened with full access (KEY_ALL_ACCESS)
};

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
    // are closed first. A missing key or a refusal is ignored.
    void Delete(RegistryRoot root, const std::wstring& path) {
        const std::wstring folded = FoldedKey(root, path);
        std::erase_if(held_, [&folded](const auto& entry) {
            return entry.first == folded || (entry.first.starts_with(folded) && entry.first[folded.size()] == L'\\');
        });
        const Start start = NearestHeldAncestor(root, path);
        ::RegDeleteKeyW(start.key, start.length == 0 ? path.c_str() : path.c_str() + start.length + 1);
    }

private:
    struct Held {
        UniqueHkey key;
        Grant grant;
    };
    // Where a walk down to a key begins: a held ancestor (or the root) and
    // the length of its path.
    struct Start {
        HKEY key;
        std::size_t length;
    };
    struct Obtained {
        UniqueHkey key;
        Grant grant = Grant::Full;
    };

    static Obtained CreateBelow(HKEY parent, const wchar_t* below) {
        Obtained obtained;
        LSTATUS status = ::RegCreateKeyExW(parent, below, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           obtained.key.put(), nullptr);
        if (status == ERROR_ACCESS_DENIED) {
            // What RegCreateKeyW grants: whatever the user may do with the key.
            obtained.grant = Grant::Maximum;
            status = ::RegCreateKeyW(parent, below, obtained.key.put());
        }
        if (status != ERROR_SUCCESS) obtained.key.reset();
        return obtained;
    }

    static Obtained OpenBelow(HKEY parent, const wchar_t* below, REGSAM access, Grant grant) {
        Obtained obtained;
        obtained.grant = grant;
        if (::RegOpenKeyExW(parent, below, 0, access, obtained.key.put()) != ERROR_SUCCESS) obtained.key.reset();
        return obtained;
    }

    // A shared parent key on the way down is opened (never created) for as
    // much as the user may do.
    static Obtained OpenShared(HKEY parent, const wchar_t* below) {
        Obtained obtained = OpenBelow(parent, below, KEY_ALL_ACCESS, Grant::Full);
        if (!obtained.key) obtained = OpenBelow(parent, below, MAXIMUM_ALLOWED, Grant::Maximum);
        return obtained;
    }

    Start NearestHeldAncestor(RegistryRoot root, const std::wstring& path) const {
        if (!IsPlainKeyPath(path)) return {RootKey(root), 0};
        for (std::size_t cut = path.rfind(L'\\'); cut != std::wstring::npos && cut > 0;
             cut = path.rfind(L'\\', cut - 1)) {
            const auto found = held_.find(FoldedKey(root, std::wstring_view(path).substr(0, cut)));
            if (found != held_.end() && found->second.grant != Grant::SetValue) return {found->second.key.get(), cut};
        }
        return {RootKey(root), 0};
    }

    // Walks from the nearest held ancestor down to the key: the shared
    // parent keys on the way are held as they are passed (created when the
    // key is being created, which would create them anyway; opened
    // otherwise), then the key itself is obtained by `last` and held.
    template <typename Last>
    HKEY Reach(RegistryRoot root, const std::wstring& path, const std::wstring& folded, bool creating, Last last) {
        Start at = NearestHeldAncestor(root, path);
        if (IsPlainKeyPath(path)) {
            for (std::size_t cut = path.find(L'\\', at.length + 1); cut != std::wstring::npos;
                 cut = path.find(L'\\', cut + 1)) {
                const std::wstring prefix = path.substr(0, cut);
                const std::wstring foldedPrefix = FoldedKey(root, prefix);
                if (!shared_.contains(foldedPrefix)) continue;
                const wchar_t* below = at.length == 0 ? prefix.c_str() : prefix.c_str() + at.length + 1;
                Obtained shared = creating ? CreateBelow(at.key, below) : OpenShared(at.key, below);
                if (!shared.key) break;
                const HKEY key = shared.key.get();
                held_[foldedPrefix] = Held{std::move(shared.key), shared.grant};
                at = {key, cut};
            }
        }
        Obtained obtained = last(at.key, at.length == 0 ? path.c_str() : path.c_str() + at.length + 1);
        if (!obtained.key) return nullptr;
        const HKEY key = obtained.key.get();
        held_[folded] = Held{std::move(obtained.key), obtained.grant};
        return key;
    }

    std::unordered_map<std::wstring, Held> held_;
    std::unordered_set<std::wstring> shared_;
};

// REG_SZ data are sized with their terminating NUL.
void SetValue(HKEY key, const wchar_t* name, const std::wstring& text) {
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((std::wcslen(text.c_str()) + 1) * sizeof(wchar_t)));
}

void SetValue(HKEY key, const NamedValue& value) {
    if (const auto* text = std::get_if<std::wstring>(&value.data)) {
        SetValue(key, value.name.c_str(), *text);
        return;
    }
    const DWORD number = std::get<std::uint32_t>(value.data);
    ::RegSetValueExW(key, value.name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
}

}  // namespace

void ApplyRegistryWrites(std::span<const RegistryWrite> writes) {
    HeldKeys keys(writes);
    for (const RegistryWrite& write : writes) {
        if (const auto* value = std::get_if<SetDefaultValue>(&write)) {
            // Created with its missing parents, as RegSetValueW does before it sets the unnamed value.
            if (const HKEY key = keys.Created(value->root, value->key)) SetValue(key, nullptr, value->data);
        } else if (const auto* values = std::get_if<SetNamedValues>(&write)) {
            HKEY key = nullptr;
            switch (values->opening) {
                case KeyOpening::OpenFullAccess:
                    key = keys.Opened(values->root, values->key, Grant::Full);
                    break;
                case KeyOpening::OpenSetValue:
                    key = keys.Opened(values->root, values->key, Grant::SetValue);
                    break;
                case KeyOpening::Create:
                    key = keys.Created(values->root, values->key);
                    break;
            }
            if (key == nullptr) continue;  // the values of a key that cannot be opened are skipped
            for (const NamedValue& named : values->values) SetValue(key, named);
        } else {
            const auto& deletion = std::get<DeleteKey>(write);
            keys.Delete(deletion.root, deletion.key);
        }
    }
}

}  // namespace pixelmoor
