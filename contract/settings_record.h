// The record that the setup keeps in the program folder's settings file when
// the viewer's settings live in another folder (key "INI_Folder" of section
// "Others"), as the setup writes it and the setup and the uninstaller read it
// back: where the file lies, how the recorded folder's variables expand, and
// when the file holds nothing but the record (a pointer file, the setup's own,
// which the uninstaller removes). The reading and writing through the system
// is in settings_record_file.h.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pixelmoor {

inline constexpr wchar_t kOthersSection[] = L"Others";
inline constexpr wchar_t kIniFolderKey[] = L"INI_Folder";

// Characters of the folder that the program folder's settings path is built
// from (a buffer of 264 characters less its terminator).
inline constexpr std::size_t kProgramFolderLimit = 263;
// Characters of a variable name and of an environment value in the settings
// folder, and of the expanded folder.
inline constexpr std::size_t kVariableNameLimit = 260;
inline constexpr std::size_t kVariableValueLimit = 259;
inline constexpr std::size_t kExpandedFolderLimit = 519;
// Bytes of a program folder's settings file that can still be the record
// alone; a larger file is the user's.
inline constexpr std::size_t kPointerFileLimit = 4096;

// The program folder's settings file P0: the folder cut to its limit, trimmed,
// a backslash, then the file name.
[[nodiscard]] std::wstring ProgramSettingsPath(std::wstring_view folder);

// The value of an environment variable; nullopt when it is not defined.
using EnvironmentLookup = std::function<std::optional<std::wstring>(std::wstring_view name)>;

// Replaces each %NAME% of the settings folder with the variable's value, or
// with nothing when it is undefined. "%%" is an empty name and yields nothing;
// a "%" without its closing partner takes the rest of the text as the name.
// A value longer than kVariableValueLimit does not fit the system's lookup
// buffer and counts as undefined. A text without "%" comes back unchanged.
[[nodiscard]] std::wstring ExpandIniFolder(std::wstring_view iniFolder, const EnvironmentLookup& lookup);

// The text of a small settings file's bytes: UTF-16 after its mark FF FE,
// anything else through ansi (the system's ANSI code page).
[[nodiscard]] std::wstring PointerFileText(std::string_view bytes,
                                           const std::function<std::wstring(std::string_view)>& ansi);

// True when the program folder's settings file (its text) holds nothing but
// the record: section "Others" with a non-empty "INI_Folder", blank lines
// aside (names compared without regard to case). Such a file is the setup's,
// not the user's.
[[nodiscard]] bool IsSetupPointerFile(std::wstring_view text);

}  // namespace pixelmoor
