// ANSI code pages imitated without the system, for the native tests and the
// fuzz target of the settings conversion. Their lead bytes are the real ones;
// 1252 converts as the system does, the others give a stand-in code unit per
// character, which is enough to see whether a character was split.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "install/settings_conversion_rules.h"

namespace pixelmoor::test {

// The lead bytes that the system reports for its double-byte ANSI code pages,
// as pairs of first and last byte.
struct KnownCodePage {
    unsigned codePage;
    std::vector<std::uint8_t> leadByteRanges;
};
inline const KnownCodePage kDoubleByteCodePages[] = {
    {932, {0x81, 0x9F, 0xE0, 0xFC}},  // Japanese (Shift-JIS)
    {936, {0x81, 0xFE}},              // Simplified Chinese (GBK)
    {949, {0x81, 0xFE}},              // Korean
    {950, {0x81, 0xFE}},              // Traditional Chinese (Big5)
};

// The lengths of the ANSI code pages that are known without the system: the
// double-byte code pages 932, 936, 949 and 950, and UTF-8; every other code
// page counts as single-byte.
inline CharacterLengths KnownCharacterLengths(unsigned codePage) {
    for (const KnownCodePage& known : kDoubleByteCodePages)
        if (known.codePage == codePage) return CharacterLengthsFrom(codePage, known.leadByteRanges);
    return CharacterLengthsFrom(codePage, {});
}

// Code page 1252 from 0x80 to 0x9F; the rest of it is Latin-1.
inline constexpr std::array<char16_t, 32> k1252Upper = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// One code unit per character: a single byte as itself (1252: its character),
// a longer character as a private-use unit made from all its bytes. A
// character's bytes end early at a line feed or at the end of the text, as
// they do for the conversion's cut.
inline std::wstring ConvertEmulated(unsigned codePage, const CharacterLengths& lengths, std::string_view bytes) {
    std::wstring units;
    units.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t length = lengths[static_cast<unsigned char>(bytes[at])];
        const std::size_t feed = bytes.substr(at, length).find('\n');
        if (feed != std::string_view::npos && feed > 0) length = 1;
        length = std::min(length, bytes.size() - at);
        if (length == 1) {
            const unsigned char byte = static_cast<unsigned char>(bytes[at]);
            const bool upper1252 = codePage == 1252 && byte >= 0x80 && byte < 0xA0;
            units += static_cast<wchar_t>(upper1252 ? k1252Upper[byte - 0x80] : byte);
        } else {
            unsigned mixed = 0;
            for (std::size_t i = 0; i < length; ++i) mixed = mixed * 263 + static_cast<unsigned char>(bytes[at + i]);
            units += static_cast<wchar_t>(0xE000 + mixed % 0x1900);
        }
        at += length;
    }
    return units;
}

inline AnsiCodePage EmulatedCodePage(unsigned codePage) {
    AnsiCodePage ansi;
    ansi.lengths = KnownCharacterLengths(codePage);
    ansi.convert = [codePage, lengths = ansi.lengths](std::string_view piece) -> std::optional<std::wstring> {
        return ConvertEmulated(codePage, lengths, piece);
    };
    return ansi;
}

}  // namespace pixelmoor::test
