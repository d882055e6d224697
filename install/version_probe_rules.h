// The icon library rule without the file system: the version text of a
// version record, its comparison value, the publisher test and the decision
// whether an installed icon library stays in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "contract/product.h"

namespace pixelmoor {

// The size of the publisher's earlier 4.30 build, which the payload's copy replaces.
inline constexpr std::uint64_t kReplaceableIconLibrarySize = 226816;
// Characters of a company name that the probe keeps (260 less the terminator).
inline constexpr std::size_t kCompanyNameLimit = 259;

// "%d.%d%d" of the product version's major and minor number and the file
// version's third number: 4, 3, 0 give "4.30"; 4, 10, 0 give "4.100".
[[nodiscard]] std::wstring FormatVersionText(std::uint16_t productMajor, std::uint16_t productMinor,
                                             std::uint16_t fileBuild);

// The text read as a decimal number, converted to single precision,
// multiplied by 1000 in single precision and truncated: "4.30" gives 4300,
// "4.29" 4290, "4.100" 4100. Text that is no number gives 0.
[[nodiscard]] int VersionComparisonValue(std::wstring_view versionText);

// The company name as the probe keeps it: at most kCompanyNameLimit of the
// reported characters, ended at the first NUL among them.
[[nodiscard]] std::wstring CutCompanyName(std::wstring_view reported);

// The product's publisher (kPublisher), ignoring the case of the letters A to Z only.
[[nodiscard]] bool IsIconLibraryPublisher(std::wstring_view companyName);

enum class InstalledIconLibrary { kOlder, kSame, kNewer };

// How the installed version text compares with the payload's (the version
// text of the icon library that the payload carries, 4.30 for the stand-in).
[[nodiscard]] InstalledIconLibrary CompareWithPayload(std::wstring_view versionText,
                                                      std::wstring_view payloadVersionText);

// The keepIconLibrary flag for a probed installed library: 1 keeps it, 0
// writes the payload's copy. installedSize is only looked at for the same
// version; empty there means the file could not be opened, which keeps it.
[[nodiscard]] int KeepIconLibraryFlag(InstalledIconLibrary order, std::wstring_view companyName,
                                      std::optional<std::uint64_t> installedSize);

}  // namespace pixelmoor
