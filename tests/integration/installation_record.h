// What an installation leaves on the machine, as one text: every key and
// value that it adds, changes or removes anywhere in HKLM and HKCU, and every
// file below the install folder, the settings folder and the start-menu
// group, and the desktop links, byte for byte (shell links without the times
// that the shell records in them). Two equal records are two equal
// installations, whichever road made them.
#pragma once

#include <functional>
#include <map>
#include <string>

namespace pixelmoor::test {

using RegistryValues = std::map<std::wstring, std::wstring>;      // value name -> type and data
using RegistrySnapshot = std::map<std::wstring, RegistryValues>;  // key path -> its values

// The whole registry of the machine and of the user, in the 64-bit view,
// without the keys where Wine keeps state of its own that changes on every
// process start.
RegistrySnapshot TakeRegistrySnapshot();

// Every difference, one line each, in key order: "+" added, "-" removed,
// "~" changed (with the new data).
std::wstring RegistryDifference(const RegistrySnapshot& before, const RegistrySnapshot& after);

// The settings folder of a first installation, %APPDATA%\Pixelmoor.
std::wstring AppDataSettingsFolder();

// Everything of an installation goes: registration, shortcuts of both
// scopes, the install folder and the settings folder.
void ResetInstallation(const std::wstring& installFolder);

// The files that an installation into installFolder left, as text: the
// install and settings folders, the start-menu group and the desktop links
// of the scope (all users or the current user).
std::wstring InstalledFilesRecord(const std::wstring& installFolder, bool allUsers);

// What `change` (an installation, or an installation and what follows it)
// does on a machine from which every installation has been removed: the
// registry's difference, then the files.
std::wstring ChangeRecord(const std::function<void()>& change, const std::wstring& installFolder, bool allUsers);

// The lines that only one side has, the first twenty of each, for a failure
// message.
std::string RecordDifferences(const std::string& reference, const std::string& actual);

std::string Utf8(const std::wstring& text);

}  // namespace pixelmoor::test
