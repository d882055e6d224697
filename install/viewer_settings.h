// The viewer's settings file "p_moor64.ini": where it lies, the keys that an
// installation presets in it, and its conversion to UTF-16.
#pragma once

#include <string>
#include <string_view>

#include "framework/unique_handle.h"
#include "install/screen_facts.h"
#include "install/settings_conversion_rules.h"

namespace pixelmoor {

// Decides the settings folder (in silent mode an empty iniFolder may become
// "%APPDATA%\Pixelmoor"), records it in the program folder's file and presets
// language and toolbar. Each file is changed through a copy that replaces it
// in one rename. Returns the path of the settings file. Never fails: writes
// that the system refuses are lost, and the file they were meant for stays
// as it was.
// The screen's measures come from `screen` when the caller read them ahead.
[[nodiscard]] std::wstring WriteViewerSettings(std::wstring_view folder, std::wstring& iniFolder, int silent,
                                               ScreenFactsAhead* screen = nullptr);

// The settings folder with its %NAME% variables replaced from the process's
// environment.
[[nodiscard]] std::wstring ExpandIniFolder(std::wstring_view iniFolder);

// Rewrites the settings file as UTF-16 with a header line: an ANSI file in
// the system's ANSI code page, a file with a UTF-8 or big-endian UTF-16 mark
// as what it announces. A file that is UTF-16 already, or that cannot be
// decoded whole, stays as it is. Takes the file opened for reading and closes
// it. Returns 0 only when the converted file could not replace the old one,
// 1 otherwise; the old file stays whole whenever it is not replaced.
int ConvertSettingsToUtf16(const std::wstring& settingsPath, UniqueFile settingsFile);

// Opens a file for reading as ConvertSettingsToUtf16 takes it; invalid when
// it cannot be opened.
[[nodiscard]] UniqueFile OpenForReading(const std::wstring& path);

// A code page of the system as the conversion uses it (CP_ACP: the ANSI code
// page): its lead bytes from the system and MultiByteToWideChar.
[[nodiscard]] AnsiCodePage SystemCodePage(unsigned codePage);

}  // namespace pixelmoor
