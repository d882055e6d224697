#include "install/version_probe_rules.h"

#include <algorithm>
#include <cstdint>

#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

// Significant digits of the longest version text ("65535.6553565535"): a
// double holds them exactly.
constexpr int kVersionDigits = 15;
// The powers of ten that a double holds exactly.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLargestExactPower = 22;

bool IsDigit(wchar_t c) noexcept { return c >= L'0' && c <= L'9'; }

// The number that a version text starts with: digits, a point, digits, read
// up to the first character that does not belong to it. Its digits make an
// exact integer and the power of ten an exact double, so that the one
// division rounds as a correct reading of the decimal text does. Without a
// digit, or with more significant digits before the point than a version
// text has, it is no version: zero. Further digits after the point are
// dropped, and a number so small that the comparison truncates it to zero
// anyway gives zero.
double LeadingVersionNumber(std::wstring_view text) noexcept {
    std::uint64_t digits = 0;
    int significant = 0;
    int fractionDigits = 0;
    bool any = false;
    bool afterPoint = false;
    for (const wchar_t c : text) {
        if (c == L'.' && !afterPoint) {
            afterPoint = true;
            continue;
        }
        if (!IsDigit(c)) break;
        any = true;
        // Leading zeros count for nothing; digits beyond what a version text
        // holds are dropped after the point and make no version before it.
        if (significant == 0 && c == L'0' && !afterPoint) continue;
        if (significant == kVersionDigits) {
            if (!afterPoint) return 0.0;
            continue;
        }
        if (significant > 0 || c != L'0') ++significant;
        digits = digits * 10 + static_cast<std::uint64_t>(c - L'0');
        if (afterPoint) ++fractionDigits;
    }
    if (!any || fractionDigits > kLargestExactPower) return 0.0;
    return static_cast<double>(digits) / kPowersOfTen[fractionDigits];
}

}  // namespace

std::wstring FormatVersionText(std::uint16_t productMajor, std::uint16_t productMinor, std::uint16_t fileBuild) {
    return DecimalText(productMajor) + L'.' + DecimalText(productMinor) + DecimalText(fileBuild);
}

int VersionComparisonValue(std::wstring_view versionText) {
    const float value = static_cast<float>(LeadingVersionNumber(versionText));
    const float scaled = value * 1000.0f;
    // The texts of a version record stay far inside int; anything else is no version.
    if (!(scaled > -2.0e9f && scaled < 2.0e9f)) return 0;
    return static_cast<int>(scaled);
}

std::wstring CutCompanyName(std::wstring_view reported) {
    const std::wstring_view kept = reported.substr(0, kCompanyNameLimit);
    return std::wstring(kept.substr(0, kept.find(L'\0')));
}

bool IsIconLibraryPublisher(std::wstring_view companyName) {
    return EqualsIgnoringCase(companyName, kPublisher);
}

InstalledIconLibrary CompareWithPayload(std::wstring_view versionText, std::wstring_view payloadVersionText) {
    const int installed = VersionComparisonValue(versionText);
    const int payload = VersionComparisonValue(payloadVersionText);
    if (installed > payload) return InstalledIconLibrary::kNewer;
    return installed == payload ? InstalledIconLibrary::kSame : InstalledIconLibrary::kOlder;
}

int KeepIconLibraryFlag(InstalledIconLibrary order, std::wstring_view companyName,
                        std::optional<std::uint64_t> installedSize) {
    const int keepUnlessPublisher = IsIconLibraryPublisher(companyName) ? 0 : 1;
    switch (order) {
        case InstalledIconLibrary::kNewer:
            return 1;
        case InstalledIconLibrary::kOlder:
            return keepUnlessPublisher;
        case InstalledIconLibrary::kSame:
            break;
    }
    if (!installedSize || *installedSize != kReplaceableIconLibrarySize) return 1;
    return keepUnlessPublisher;
}

}  // namespace pixelmoor
