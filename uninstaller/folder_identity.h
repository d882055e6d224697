// Folders told apart by what they are (framework/file_identity.h), and the
// folders that an uninstallation never removes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "framework/file_identity.h"

namespace pixelmoor {

// The final path of a folder, ending in a backslash.
[[nodiscard]] std::optional<std::wstring> FinalFolderOf(const std::wstring& folder);

// A folder known by its name (ending in a backslash) and, while it exists,
// by its identity.
class FolderId {
public:
    explicit FolderId(std::wstring folder);

    [[nodiscard]] const std::wstring& path() const noexcept { return path_; }

    // True when other names this folder: by identity when both can be
    // opened, else by their full names, compared as the system compares
    // names (capitals of every script alike).
    [[nodiscard]] bool IsSame(const std::wstring& other) const;

    // True when path names something below this folder, by its name or by
    // the identity of one of the folders on its way.
    [[nodiscard]] bool Holds(const std::wstring& path) const;

private:
    std::wstring path_;
    std::optional<FileIdentity> identity_;
};

// Folders that an uninstallation never removes: every drive's root, the
// shell's folders of the user and of the machine (profile, Desktop,
// Documents, the public folders, Program Files, Windows, application data,
// the start menu...), the temporary folder, and each folder above one of
// them.
class ProtectedFolders {
public:
    ProtectedFolders();

    [[nodiscard]] bool Contains(const std::wstring& folder) const;

private:
    std::vector<FileIdentity> identities_;
    std::vector<std::wstring> finalPaths_;  // as the system resolves them
};

}  // namespace pixelmoor
