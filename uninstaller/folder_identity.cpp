#include "uninstaller/folder_identity.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>

#include "framework/system_folders.h"
#include "framework/system_names.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "uninstaller/uninstall_rules.h"

namespace pixelmoor {

namespace {

// Characters of the buffer for a path that the system resolves (the longest it hands out).
constexpr DWORD kLongPathBuffer = kLongPathLimit + 1;

// The shell folders that are never removed, by their CSIDL.
constexpr int kShellFolders[] = {
    CSIDL_PROFILE,
    CSIDL_DESKTOPDIRECTORY,
    CSIDL_COMMON_DESKTOPDIRECTORY,
    CSIDL_PERSONAL,
    CSIDL_COMMON_DOCUMENTS,
    CSIDL_MYMUSIC,
    CSIDL_COMMON_MUSIC,
    CSIDL_MYPICTURES,
    CSIDL_COMMON_PICTURES,
    CSIDL_MYVIDEO,
    CSIDL_COMMON_VIDEO,
    CSIDL_APPDATA,
    CSIDL_LOCAL_APPDATA,
    CSIDL_COMMON_APPDATA,
    CSIDL_PROGRAM_FILES,
    CSIDL_PROGRAM_FILESX86,
    CSIDL_PROGRAM_FILES_COMMON,
    CSIDL_PROGRAM_FILES_COMMONX86,
    CSIDL_WINDOWS,
    CSIDL_SYSTEM,
    CSIDL_SYSTEMX86,
    CSIDL_STARTMENU,
    CSIDL_COMMON_STARTMENU,
    CSIDL_PROGRAMS,
    CSIDL_COMMON_PROGRAMS,
    CSIDL_STARTUP,
    CSIDL_COMMON_STARTUP,
    CSIDL_FAVORITES,
    CSIDL_COMMON_FAVORITES,
    CSIDL_TEMPLATES,
    CSIDL_COMMON_TEMPLATES,
    CSIDL_FONTS,
    CSIDL_SENDTO,
    CSIDL_RECENT,
    CSIDL_NETHOOD,
    CSIDL_PRINTHOOD,
    CSIDL_INTERNET_CACHE,
    CSIDL_COOKIES,
    CSIDL_HISTORY,
    CSIDL_ADMINTOOLS,
    CSIDL_COMMON_ADMINTOOLS,
    CSIDL_CDBURN_AREA,
    CSIDL_RESOURCES,
};

// The downloads folders have no CSIDL; their known-folder ids, named here
// rather than taken from the system's GUID library.
constexpr KNOWNFOLDERID kDownloadFolders[] = {
    {0x374DE290, 0x123F, 0x4565, {0x91, 0x64, 0x39, 0xC4, 0x92, 0x5E, 0x46, 0x7B}},  // the user's
    {0x3D644C9B, 0x1FB8, 0x4F30, {0x9B, 0x45, 0xF6, 0x70, 0x23, 0x5F, 0x79, 0xC0}},  // the public one
};

}  // namespace

std::optional<std::wstring> FinalFolderOf(const std::wstring& folder) {
    std::optional<std::wstring> final = FinalPathOf(folder);
    if (final && !EndsWithBackslash(*final)) *final += L'\\';
    return final;
}

FolderId::FolderId(std::wstring folder) : path_(std::move(folder)), identity_(IdentityOf(path_)) {}

bool FolderId::IsSame(const std::wstring& other) const {
    if (identity_) {
        if (const std::optional<FileIdentity> identity = IdentityOf(other)) return *identity == *identity_;
    }
    return SystemNamesEqual(WithoutTrailingBackslash(FullPathOf(path_).value_or(path_)),
                            WithoutTrailingBackslash(FullPathOf(other).value_or(other)));
}

bool FolderId::Holds(const std::wstring& path) const {
    const std::wstring full = WithoutTrailingBackslash(FullPathOf(path).value_or(path));
    return IsInsideFolder(full, path_) || (identity_ && LiesBelow(full, *identity_));
}

ProtectedFolders::ProtectedFolders() {
    std::vector<std::optional<std::wstring>> known;
    for (const int csidl : kShellFolders) known.push_back(ShellFolder(csidl | CSIDL_FLAG_DONT_VERIFY));
    for (const KNOWNFOLDERID& id : kDownloadFolders) known.push_back(KnownFolder(id));
    known.push_back(TemporaryFolder());
    for (const std::optional<std::wstring>& path : known) {
        const UniqueFile folder = path ? OpenForIdentity(*path) : UniqueFile();
        if (!folder) continue;
        const std::optional<FileIdentity> identity = IdentityOf(folder.get());
        std::optional<std::wstring> final = FinalPathOf(folder.get());
        if (identity) identities_.push_back(*identity);
        if (final) finalPaths_.push_back(std::move(*final));
    }
}

bool ProtectedFolders::Contains(const std::wstring& folder) const {
    const UniqueFile file = OpenForIdentity(folder);
    if (!file) return false;  // nothing there to remove
    const std::optional<FileIdentity> identity = IdentityOf(file.get());
    std::optional<std::wstring> final = FinalPathOf(file.get());
    if (!identity || !final) return true;  // cannot tell: keep it
    if (std::find(identities_.begin(), identities_.end(), *identity) != identities_.end()) return true;
    // A folder above one of them (the profile's "AppData", "C:\Users").
    if (!EndsWithBackslash(*final)) *final += L'\\';
    const auto below = [&final](const std::wstring& known) { return IsInsideFolder(known, *final); };
    if (std::any_of(finalPaths_.begin(), finalPaths_.end(), below)) return true;
    std::wstring root(kLongPathBuffer, L'\0');
    if (!::GetVolumePathNameW(folder.c_str(), root.data(), kLongPathBuffer)) return true;
    root.resize(root.find(L'\0'));
    return IdentityOf(root) == identity;
}

}  // namespace pixelmoor
