#include "install/version_probe_rules.h"

#include <algorithm>
#include <cwchar>

#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

wchar_t FoldAsciiLetter(wchar_t c) noexcept {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

}  // namespace

std::wstring FormatVersionText(std::uint16_t productMajor, std::uint16_t productMinor, std::uint16_t fileBuild) {
    return DecimalText(productMajor) + L'.' + DecimalText(productMinor) + DecimalText(fileBuild);
}

int VersionComparisonValue(std::wstring_view versionText) {
    const std::wstring text(versionText);  // wcstod needs the terminator
    const float value = static_cast<float>(std::wcstod(text.c_str(), nullptr));
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
    const std::wstring_view publisher = kIconLibraryPublisher;
    return companyName.size() == publisher.size() &&
           std::equal(companyName.begin(), companyName.end(), publisher.begin(),
                      [](wchar_t a, wchar_t b) { return FoldAsciiLetter(a) == FoldAsciiLetter(b); });
}

InstalledIconLibrary CompareWithPayload(std::wstring_view versionText) {
    const int installed = VersionComparisonValue(versionText);
    const int payload = VersionComparisonValue(kPayloadIconLibraryVersion);
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
