// Where the system keeps things: the shell's folders, the Windows, system
// and temporary folders, and the process's environment. Each read that finds
// nothing (or more than fits) gives an empty optional; what a caller then
// does (a stand-in folder, nothing at all) is the caller's decision.
#pragma once

#include <windows.h>
// After windows.h, which it builds on.
#include <shlobj.h>

#include <optional>
#include <string>
#include <string_view>

namespace pixelmoor {

// A shell folder by its CSIDL (flags such as CSIDL_FLAG_DONT_VERIFY
// allowed), without a trailing backslash (a drive's root keeps its own).
[[nodiscard]] std::optional<std::wstring> ShellFolder(int csidl);

// A known folder that has no CSIDL, written the same way, whether it exists
// or not.
[[nodiscard]] std::optional<std::wstring> KnownFolder(const KNOWNFOLDERID& id);

// The Windows folder and the system folder, each within kSystemPathLimit
// characters (a buffer of 260), without a trailing backslash.
[[nodiscard]] std::optional<std::wstring> WindowsFolder();
[[nodiscard]] std::optional<std::wstring> SystemFolder();

// The user's temporary folder, ending in a backslash, within a buffer of 520
// characters.
[[nodiscard]] std::optional<std::wstring> TemporaryFolder();

// The value of an environment variable of this process, whole at any length;
// empty when it is not defined.
[[nodiscard]] std::optional<std::wstring> EnvironmentValue(std::wstring_view name);

}  // namespace pixelmoor
