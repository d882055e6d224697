// The product's names and numbers: what the setup writes, the uninstaller
// reads back and a release promises. Every program and script takes them
// from here; scripts read this file (contract/product_names.py), so each name
// is a plain wide string literal on one line.
#pragma once

#include <string_view>

namespace pixelmoor {

inline constexpr wchar_t kProductName[] = L"Pixelmoor";
inline constexpr wchar_t kPublisher[] = L"Keldaris";
inline constexpr wchar_t kViewerWindowClass[] = L"Pixelmoor";  // top-level window of a running viewer
inline constexpr wchar_t kViewerExe[] = L"p_moor64.exe";
inline constexpr wchar_t kUninstallerExe[] = L"pm_uninstall.exe";
inline constexpr wchar_t kSetupCaption[] = L"Pixelmoor 64-bit Setup";
// The version of the product, given once to the build: every program is
// linked with the definition that its build makes from that number
// (contract/product_version.cpp), so that a setup of another version is
// only linked anew, not compiled anew.
extern const int kVersionMajor;
extern const int kVersionMinor;

// Web pages of the product that the wizard opens: the licence agreement
// (welcome page link) and the frequently asked questions (finish page).
inline constexpr wchar_t kLicenceAddress[] = L"https://www.pixelmoor.org/eula.html";
inline constexpr wchar_t kFaqAddress[] = L"https://www.pixelmoor.org/faq.html";

// The uninstall entry that Programs and Features and package managers read
// (HKEY_LOCAL_MACHINE); its key name is the package managers' product code.
inline constexpr wchar_t kUninstallEntryName[] = L"Pixelmoor64";
inline constexpr wchar_t kUninstallEntryKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor64";
static_assert(std::wstring_view(kUninstallEntryKey).substr(std::wstring_view(kUninstallEntryKey).rfind(L'\\') + 1) ==
              kUninstallEntryName);

// The lock that only one installation or uninstallation holds at a time on
// a machine (contract/installation_lock.h).
inline constexpr wchar_t kInstallationMutexName[] = L"Global\\Pixelmoor64SetupInstallation";

// The viewer's settings file, in the program folder or the settings folder,
// and the temporary file that the viewer writes it through.
inline constexpr wchar_t kSettingsFileName[] = L"p_moor64.ini";
inline constexpr wchar_t kSettingsTempFileName[] = L"p_moor64.ini_temp";
// Folders of the portable editions: a settings path through one of them is
// mirrored beside the program folder's settings file.
inline constexpr wchar_t kPortableFolder32[] = L"Pixelmoor32_App";
inline constexpr wchar_t kPortableFolder64[] = L"Pixelmoor64_App";

// The failure logs of the setup and of the uninstaller, in the current
// directory of the program that the user or a deployment tool started.
inline constexpr wchar_t kInstallLogName[] = L"Pixelmoor_Install.log";
inline constexpr wchar_t kUninstallLogName[] = L"Pixelmoor_Uninstall.log";

// Where the icon library lies below an install folder: Plugins\Icons.dll.
inline constexpr wchar_t kIconLibraryFolder[] = L"Plugins";
inline constexpr wchar_t kIconLibraryFile[] = L"Icons.dll";

// The product's open command (HKEY_LOCAL_MACHINE), from which the next
// installation and the uninstaller read back the install folder.
inline constexpr wchar_t kOpenCommandKey[] = L"SOFTWARE\\Classes\\Pixelmoor\\shell\\open\\command";

}  // namespace pixelmoor
