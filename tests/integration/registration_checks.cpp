#include "tests/integration/registration_checks.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <set>

#include "archive/payload_files.h"
#include "framework/unique_handle.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor::test {

namespace {

constexpr wchar_t kClasses[] = L"SOFTWARE\\Classes\\";
constexpr wchar_t kFileExts[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.";
constexpr wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor64";
constexpr wchar_t kMenu[] = L"Durchsuchen mit &Pixelmoor";

std::wstring Upper(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return upper;
}

std::wstring IconFor(IconKind kind, const std::wstring& viewer) {
    switch (kind) {
        case IconKind::Own:
            return L"%1";
        case IconKind::Video:
            return viewer + L",12";
        case IconKind::Audio:
            return viewer + L",11";
        case IconKind::Viewer:
            break;
    }
    return viewer + L",0";
}

}  // namespace

DWORD RegValueSize(HKEY root, const std::wstring& key, const wchar_t* name) {
    UniqueHkey handle;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, handle.put()) != ERROR_SUCCESS) return 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(handle.get(), name, nullptr, nullptr, nullptr, &bytes) != ERROR_SUCCESS) return 0;
    return bytes;
}

void ExpectApplicationKeys(const std::wstring& folder) {
    const std::wstring viewer = folder + L"p_moor64.exe";
    const std::wstring command = L"\"" + viewer + L"\" \"%1\"";
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pixelmoor", L""), L"Pixelmoor");
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pixelmoor\\shell\\open\\command", L""), command);
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pixelmoor\\DefaultIcon"));
    EXPECT_EQ(ReadRegString(HKEY_CLASSES_ROOT, L"Applications\\p_moor64.exe\\shell\\open\\command", L""), command);
    EXPECT_EQ(ReadRegString(HKEY_CLASSES_ROOT, L"Applications\\p_moor64.exe", L"FriendlyAppName"), L"Pixelmoor 64-bit");

    struct UninstallValue {
        const wchar_t* name;
        DWORD type;
        std::wstring text;  // REG_SZ data
        DWORD number;       // REG_DWORD data
    };
    const UninstallValue values[] = {
        {L"", REG_SZ, L"", 0},                                                                 // made to create the key
        {L"DisplayName", REG_SZ, L"Pixelmoor 4.75 (64-bit)", 0},                               //
        {L"UninstallString", REG_SZ, L"\"" + folder + L"pm_uninstall.exe\"", 0},               // quoted
        {L"Publisher", REG_SZ, L"Keldaris", 0},                                                //
        {L"InstallLocation", REG_SZ, folder, 0},                                               // with its backslash
        {L"DisplayVersion", REG_SZ, L"4.75", 0},                                               //
        {L"DisplayIcon", REG_SZ, viewer + L",0", 0},                                           //
        {L"VersionMajor", REG_DWORD, L"", 4},                                                  //
        {L"VersionMinor", REG_DWORD, L"", 75},                                                 //
        {L"EstimatedSize", REG_DWORD, L"", 8192},                                              // kilobytes
        {L"QuietUninstallString", REG_SZ, L"\"" + folder + L"pm_uninstall.exe\" /silent", 0},  // for deployment tools
        {L"NoModify", REG_DWORD, L"", 1},                                                      // nothing to change
        {L"NoRepair", REG_DWORD, L"", 1},                                                      // nor to repair
        {L"UninstallerSHA256", REG_SZ, std::wstring(PayloadUninstallerSha256()), 0},           // what moving checks
    };
    std::vector<std::wstring> names;
    for (const UninstallValue& v : values) {
        names.emplace_back(v.name);
        EXPECT_EQ(ReadRegType(HKEY_LOCAL_MACHINE, kUninstall, v.name), v.type) << Narrow(v.name);
        if (v.type == REG_SZ) {
            EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kUninstall, v.name), v.text) << Narrow(v.name);
            // REG_SZ data are stored with their terminating NUL.
            EXPECT_EQ(RegValueSize(HKEY_LOCAL_MACHINE, kUninstall, v.name), (v.text.size() + 1) * 2) << Narrow(v.name);
        } else {
            EXPECT_EQ(ReadRegDword(HKEY_LOCAL_MACHINE, kUninstall, v.name), v.number) << Narrow(v.name);
        }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(RegValueNames(HKEY_LOCAL_MACHINE, kUninstall), names);

    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pixelmoor"));
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pixelmoor\\shell\\open\\command", L""),
              L"\"" + viewer + L"\"");
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pixelmoor\\Capabilities", L"ApplicationDescription"),
              L"Picture viewer, editor and converter - one of the most popular viewers worldwide");
}

int ExpectAssociations(const std::wstring& folder, const AssociationSelection& selection) {
    const std::wstring viewer = folder + L"p_moor64.exe";
    const std::wstring command = L"\"" + viewer + L"\" \"%1\"";
    std::set<std::wstring> types;
    std::vector<std::wstring> capabilityNames;
    int pointed = 0;
    const auto rows = FormatTable();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (const FormatExtension& entry : rows[row].extensions()) {
            const std::wstring extension(entry.extension);
            const std::wstring progId = L"Pixelmoor." + std::wstring(entry.type);
            const std::wstring classKey = kClasses + progId;
            SCOPED_TRACE(Narrow(extension));
            types.insert(progId);
            capabilityNames.push_back(L"." + extension);

            EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, classKey, L""), L"Pixelmoor " + Upper(entry.type) + L" File");
            EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, classKey + L"\\shell\\open\\command", L""), command);
            EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, classKey + L"\\DefaultIcon", L""),
                      IconFor(rows[row].icon, viewer));
            EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pixelmoor\\Capabilities\\FileAssociations",
                                    (L"." + extension).c_str()),
                      progId);

            const bool chosen = selection[row] != 0;
            const bool alwaysPointed = extension == L"jpg" || extension == L"png" || extension == L"tif";
            const auto extensionClass = ReadRegString(HKEY_LOCAL_MACHINE, kClasses + (L"." + extension), L"");
            if (chosen || alwaysPointed) {
                ++pointed;
                EXPECT_EQ(extensionClass, progId);
            } else {
                EXPECT_FALSE(extensionClass.has_value());
            }
            const auto choice = ReadRegString(HKEY_CURRENT_USER, kFileExts + extension + L"\\UserChoice", L"Progid");
            if (chosen)
                EXPECT_EQ(choice, progId);
            else
                EXPECT_FALSE(choice.has_value());
        }
    }

    std::sort(capabilityNames.begin(), capabilityNames.end());
    EXPECT_EQ(capabilityNames.size(), 94u);
    EXPECT_EQ(RegValueNames(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pixelmoor\\Capabilities\\FileAssociations"),
              capabilityNames);
    EXPECT_EQ(types.size(), 76u);
    std::size_t classes = 0;
    for (const std::wstring& name : RegSubKeyNames(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes"))
        if (name.starts_with(L"Pixelmoor.")) ++classes;
    EXPECT_EQ(classes, 76u);
    return pointed;
}

int CountHiddenStoreApps() {
    const wchar_t* keys[] = {L"SOFTWARE\\Classes\\AppXvhc4p7vz4b485xfp46hhk3fq3grkdgjg",
                             L"SOFTWARE\\Classes\\AppXk0g4vb8gvt7b93tg50ybcy892pge6jmt",
                             L"SOFTWARE\\Classes\\AppX43hnxtbyyps62jhe9sqpdzxn1790zetc",
                             L"SOFTWARE\\Classes\\AppX9rkaq77s0jzh1tyccadx9ghba15r6t3h",
                             L"SOFTWARE\\Classes\\AppX6eg8h5sxqq90pv53845wmnbewywdqq5h"};
    int count = 0;
    for (const wchar_t* key : keys)
        if (ReadRegType(HKEY_CURRENT_USER, key, L"NoOpenWith") == REG_SZ &&
            ReadRegString(HKEY_CURRENT_USER, key, L"NoOpenWith") == L"" &&
            RegValueSize(HKEY_CURRENT_USER, key, L"NoOpenWith") == 2)
            ++count;
    return count;
}

bool HasContextMenuEntries(const std::wstring& folder) {
    const std::wstring thumbs = L"\"" + folder + L"p_moor64.exe\" \"%1\" /thumbs";
    bool all = true;
    for (const std::wstring owner : {L"Directory", L"Drive"}) {
        const std::wstring key = kClasses + owner + L"\\shell\\" + kMenu;
        all = all && ReadRegString(HKEY_LOCAL_MACHINE, key, L"") == kMenu &&
              ReadRegString(HKEY_LOCAL_MACHINE, key + L"\\command", L"") == thumbs;
    }
    return all;
}

std::wstring GroupFolder(bool allUsers) {
    return ShellFolderPath(allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS) + L"\\Pixelmoor\\";
}

std::wstring DesktopFolder(bool allUsers) {
    return ShellFolderPath(allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY) + L"\\";
}

void ResetShortcuts() {
    for (bool allUsers : {false, true}) {
        RemoveTree(GroupFolder(allUsers));
        RemoveTree(DesktopFolder(allUsers) + L"Pixelmoor 64.lnk");
        RemoveTree(DesktopFolder(allUsers) + L"Pixelmoor 64 Thumbnails.lnk");
    }
}

void ExpectLink(const std::wstring& folder, const ExpectedLink& link) {
    SCOPED_TRACE(Narrow(link.fileName));
    const auto info = ReadShellLink(folder + link.fileName);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->target, link.target);
    EXPECT_EQ(info->arguments, link.arguments);
    EXPECT_EQ(info->iconFile, link.iconFile);
    EXPECT_EQ(info->iconIndex, link.iconIndex);
    EXPECT_EQ(info->description, link.description);
}

void ExpectLinks(const std::wstring& folder, const std::vector<ExpectedLink>& links) {
    std::vector<std::wstring> names;
    for (const ExpectedLink& link : links) {
        names.push_back(link.fileName);
        ExpectLink(folder, link);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(ListFolder(folder), names);
}

std::vector<ExpectedLink> ExpectedGroupLinks(const std::wstring& f, bool withUninstaller) {
    const std::wstring e = f + L"p_moor64.exe";
    std::vector<ExpectedLink> links = {
        {L"Pixelmoor 64 4.75.lnk", e, L"", L"", 0, L""},
        {L"Pixelmoor - Thumbnails.lnk", e, L"/thumbs", e, 7, L""},
        {L"\u00dcber Pixelmoor.lnk", f + L"p_about.txt", L"", L"", 0, L""},
        {L"Was ist neu.lnk", f + L"p_changes.txt", L"", L"", 0, L""},
        {L"Kommandozeilen-Optionen.lnk", f + L"p_options.txt", L"", L"", 0, L""},
        {L"Verf\u00fcgbare PlugIns.lnk", f + L"p_plugins.txt", L"", L"", 0, L""},
        {L"Verf\u00fcgbare Sprachen.lnk", f + L"p_languages.txt", L"", L"", 0, L""},
        {L"Pixelmoor Hilfe.lnk", f + L"help\\p_moor32_deutsch.chm", L"", L"", 0, L""},
    };
    if (withUninstaller) links.push_back({L"Pixelmoor deinstallieren.lnk", f + L"pm_uninstall.exe", L"", L"", 0, L""});
    return links;
}

}  // namespace pixelmoor::test
