#include "install/version_probe_rules.h"

#include <algorithm>
#include <cstdint>

#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

wchar_t FoldAsciiLetter(wchar_t c) noexcept {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Significant digits that a 64-bit mantissa takes whole.
constexpr int kDecimalMantissaDigits = 19;
constexpr int kHexMantissaDigits = 16;
// Largest mantissa that a double holds exactly.
constexpr std::uint64_t kExactMantissaLimit = std::uint64_t{1} << 53;
// The powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLargestExactPower = 22;
// An exponent beyond this gives zero or infinity anyway; the clamp keeps the sums small.
constexpr int kExponentClamp = 100000;

bool IsBlank(wchar_t c) noexcept { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
int DigitValue(wchar_t c, int base) noexcept {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (base == 16 && c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (base == 16 && c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// A number's digits as read: the leading significant digits as an integer,
// the power of the base that scales it, and whether digits were dropped.
struct Mantissa {
    std::uint64_t digits = 0;
    int exponent = 0;  // in digits of the base
    bool inexact = false;
    bool any = false;  // at least one digit was read
};

// Reads digits with an optional point from text at pos.
Mantissa ReadMantissa(std::wstring_view text, std::size_t& pos, int base, int mantissaDigits) {
    Mantissa m;
    int kept = 0;
    bool afterPoint = false;
    for (; pos < text.size(); ++pos) {
        if (text[pos] == L'.' && !afterPoint) {
            afterPoint = true;
            continue;
        }
        const int digit = DigitValue(text[pos], base);
        if (digit < 0) break;
        m.any = true;
        if (kept < mantissaDigits && (kept > 0 || digit != 0)) {
            m.digits = m.digits * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
            ++kept;
            if (afterPoint) --m.exponent;
        } else if (kept == mantissaDigits) {
            if (digit != 0) m.inexact = true;
            if (!afterPoint) ++m.exponent;
        } else if (afterPoint) {
            --m.exponent;  // a leading zero after the point
        }
    }
    return m;
}

// Reads an exponent ("e-3", "p+4") at pos; without digits after the letter
// (and sign) nothing is read and pos stays.
int ReadExponent(std::wstring_view text, std::size_t& pos, wchar_t letter) {
    if (pos >= text.size() || (text[pos] | 0x20) != letter) return 0;
    std::size_t at = pos + 1;
    bool negative = false;
    if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) negative = text[at++] == L'-';
    if (at >= text.size() || DigitValue(text[at], 10) < 0) return 0;
    int value = 0;
    for (; at < text.size() && DigitValue(text[at], 10) >= 0; ++at)
        value = std::min(value * 10 + DigitValue(text[at], 10), kExponentClamp);
    pos = at;
    return negative ? -value : value;
}

double ScaleByTen(std::uint64_t digits, int exponent, bool inexact) {
    if (!inexact && digits <= kExactMantissaLimit && exponent >= -kLargestExactPower &&
        exponent <= kLargestExactPower) {
        // Both operands exact: the one rounding of the product or quotient is the correct one.
        const double mantissa = static_cast<double>(digits);
        return exponent >= 0 ? mantissa * kExactPowersOfTen[exponent] : mantissa / kExactPowersOfTen[-exponent];
    }
    // More than 15 significant digits, or a scale far from one: in extended
    // precision, to within a unit of the double's last place.
    long double value = static_cast<long double>(digits);
    for (; exponent > 0 && value < 1e300L; --exponent) value *= 10.0L;
    for (; exponent < 0 && value > 1e-300L; ++exponent) value /= 10.0L;
    return exponent > 0 ? value * 1e300L : exponent < 0 ? 0.0 : static_cast<double>(value);
}

double ScaleByTwo(std::uint64_t digits, int exponent) {
    double value = static_cast<double>(digits);
    for (; exponent > 0 && value < 1e300; --exponent) value *= 2.0;
    for (; exponent < 0 && value != 0.0; ++exponent) value *= 0.5;
    return exponent > 0 ? value * 1e300 : value;
}

// The number at the start of text as the C runtime's wcstod reads it:
// blanks, a sign, then decimal digits with a point and an exponent, or "0x"
// and hexadecimal digits with a binary exponent. Infinity and NaN, which no
// version comparison accepts, read as zero, as does text that is no number.
double LeadingNumber(std::wstring_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) negative = text[pos++] == L'-';
    double value = 0.0;
    std::size_t hexPos = pos + 2;
    const bool hexPrefix =
        pos + 1 < text.size() && text[pos] == L'0' && (text[pos + 1] | 0x20) == L'x';
    const Mantissa hex = hexPrefix ? ReadMantissa(text, hexPos, 16, kHexMantissaDigits) : Mantissa{};
    if (hex.any) {
        const int binary = 4 * hex.exponent;  // stays small: the digits of a text
        value = ScaleByTwo(hex.digits, binary + ReadExponent(text, hexPos, L'p'));
    } else {
        const Mantissa decimal = ReadMantissa(text, pos, 10, kDecimalMantissaDigits);
        if (!decimal.any) return 0.0;
        value = ScaleByTen(decimal.digits, decimal.exponent + ReadExponent(text, pos, L'e'), decimal.inexact);
    }
    return negative ? -value : value;
}

}  // namespace

std::wstring FormatVersionText(std::uint16_t productMajor, std::uint16_t productMinor, std::uint16_t fileBuild) {
    return DecimalText(productMajor) + L'.' + DecimalText(productMinor) + DecimalText(fileBuild);
}

int VersionComparisonValue(std::wstring_view versionText) {
    const float value = static_cast<float>(LeadingNumber(versionText));
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
