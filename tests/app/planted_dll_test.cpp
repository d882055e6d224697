// The setup started from a folder where DLLs lie under the name of every DLL
// its process loads (beside it, as in a downloads folder, and in the current
// folder): none of them is loaded, and the installation is whole. The names
// come from a loader trace of the same installation (planted_dlls.sh); each
// planted DLL leaves a marker file when any process loads it.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using test::EnvironmentPath;

constexpr wchar_t kFolder[] = L"D:\\Planted\\";
constexpr wchar_t kCommandKey[] = L"SOFTWARE\\Classes\\Pixelmoor\\shell\\open\\command";

std::vector<std::wstring> LoadedDllNames() {
    std::vector<std::wstring> names;
    const std::optional<std::string> list = test::ReadFileBytes(EnvironmentPath(L"PIXELMOOR_LOADED_DLLS"));
    if (!list) return names;
    std::wstring name;
    for (const char c : *list) {
        if (c != '\n') {
            name += static_cast<wchar_t>(c);
        } else if (!name.empty()) {
            names.push_back(std::exchange(name, {}));
        }
    }
    return names;
}

std::vector<std::wstring> Markers(const std::wstring& folder) {
    std::vector<std::wstring> markers;
    for (const std::wstring& name : test::ListFolder(folder))
        if (name.ends_with(L".marker")) markers.push_back(folder + name);
    return markers;
}

void Plant(const std::wstring& folder, const std::vector<std::wstring>& names) {
    const std::wstring marker = EnvironmentPath(L"PIXELMOOR_PLANT_MARKER");
    for (const std::wstring& name : names)
        ASSERT_TRUE(::CopyFileW(marker.c_str(), (folder + name).c_str(), FALSE)) << test::Narrow(name);
}

TEST(PlantedDlls, NoneIsLoadedAndTheInstallationIsWhole) {
    const std::vector<std::wstring> names = LoadedDllNames();
    // The trace was read: the setup needs at least these, and shcore.dll is
    // the one Wine would take from beside the program first.
    for (const wchar_t* needed :
         {L"kernel32.dll", L"user32.dll", L"advapi32.dll", L"shell32.dll", L"ole32.dll", L"shcore.dll"})
        ASSERT_NE(std::find(names.begin(), names.end(), needed), names.end()) << test::Narrow(needed);

    const std::wstring desktopLink = test::ShellFolderPath(CSIDL_DESKTOPDIRECTORY) + L"\\Pixelmoor 64.lnk";
    const struct {
        const char* what;
        bool besideTheSetup;
    } cases[] = {
        // Beside the setup, as in a downloads folder, and in the current folder.
        {"beside the setup and in the current folder", true},
        // Only in the current folder, which Windows searches last.
        {"in the current folder only", false},
    };
    for (const auto& c : cases) {
        const std::wstring scratch = test::MakeScratchFolder(L"planted-dlls");
        const std::wstring downloads = scratch + L"Downloads\\";
        const std::wstring current = scratch + L"Current\\";
        ASSERT_TRUE(::CreateDirectoryW(downloads.c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW(current.c_str(), nullptr));
        const std::wstring setup = downloads + L"pixelmoor-4.75-setup-x64.exe";
        ASSERT_TRUE(::CopyFileW(test::SetupExePath().c_str(), setup.c_str(), FALSE));
        if (c.besideTheSetup) Plant(downloads, names);
        Plant(current, names);
        test::ResetRegistrationFootprint();
        test::RemoveTree(kFolder);
        test::RemoveTree(desktopLink);

        EXPECT_EQ(test::RunProgram(L"\"" + setup +
                                       L"\" /silent /folder=D:\\Planted /group=1 /desktop=1 /thumbs=1 "
                                       L"/assoc=1",
                                   current),
                  0u)
            << c.what;
        EXPECT_EQ(Markers(downloads), std::vector<std::wstring>{}) << c.what;
        EXPECT_EQ(Markers(current), std::vector<std::wstring>{}) << c.what;
        // A whole installation: files, registration, shortcuts.
        EXPECT_EQ(test::EntriesNotWhole(kFolder, EnvironmentPath(L"PIXELMOOR_PAYLOAD_ZIP")), std::vector<std::string>{})
            << c.what;
        EXPECT_EQ(test::ReadRegString(HKEY_LOCAL_MACHINE, kCommandKey, nullptr),
                  L"\"D:\\Planted\\p_moor64.exe\" \"%1\"")
            << c.what;
        const std::optional<test::ShellLinkInfo> link = test::ReadShellLink(desktopLink);
        ASSERT_TRUE(link) << c.what;
        EXPECT_EQ(link->target, L"D:\\Planted\\p_moor64.exe") << c.what;
        test::RemoveTree(scratch);
    }
    test::ResetRegistrationFootprint();
    test::RemoveTree(kFolder);
    test::RemoveTree(desktopLink);
}

}  // namespace
}  // namespace pixelmoor
