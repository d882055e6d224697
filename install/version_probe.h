// Looks at the icon library plug-in that an earlier installation left in the
// install folder and decides whether it stays in place.
#pragma once

#include <string>
#include <string_view>

namespace pixelmoor {

// Reads the version record of a file: the version text "%d.%d%d" and, when
// companyName is given, the US-English (040904E4) company name, cut at 259
// characters (empty when the record has none in that block). Returns 1 when
// the fixed version information was read, 0 otherwise (outputs untouched).
// The system's version.dll is loaded by its full path and freed again.
[[nodiscard]] int ProbeFileVersion(const std::wstring& path, std::wstring& versionText, std::wstring* companyName);

// The keepIconLibrary flag for the install folder (trimmed, ending in a
// backslash): prepares its Plugins folder and probes Plugins\Icons.dll,
// comparing it with the icon library that the payload carries. 1 keeps the
// installed library, 0 lets the payload's copy be written; a payload without
// an icon library gives 0 and leaves the folder alone.
[[nodiscard]] int IconLibraryRule(std::wstring_view installFolder);

}  // namespace pixelmoor
