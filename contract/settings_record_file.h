// The program folder's settings record through the system: the setup writes
// it with the profile functions, the setup and the uninstaller read it back
// the same way, and the uninstaller tells a file that holds nothing but it.
#pragma once

#include <string>
#include <string_view>

namespace pixelmoor {

// Writes "INI_Folder" of "Others" into settingsFile (the setup's copy of the
// program folder's file), or removes it when iniFolder is null. False when
// the system refuses the write.
[[nodiscard]] bool WriteSettingsFolderRecord(const std::wstring& settingsFile, const std::wstring* iniFolder);

// The settings folder that the installation in folder records in its program
// folder's file, unexpanded; empty when it records none or one too long for a
// settings folder.
[[nodiscard]] std::wstring RecordedIniFolder(std::wstring_view folder);

// True when the settings file at path holds nothing but the record (at most
// kPointerFileLimit bytes, UTF-16 with its mark or ANSI).
[[nodiscard]] bool IsSetupPointerFileAt(const std::wstring& path);

}  // namespace pixelmoor
