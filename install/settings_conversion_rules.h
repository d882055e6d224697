// How the bytes of a settings file become its UTF-16 form: the encoding its
// first bytes announce, the pieces in which an ANSI file is converted (never
// splitting a character), the decoding of UTF-8 and big-endian UTF-16, and
// the bytes of the converted file. No system calls: the ANSI code page is
// handed in, so that these rules run and are fuzzed natively.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pixelmoor {

enum class SettingsEncoding {
    kUtf16Le,  // starts with FF FE: converted already
    kUtf16Be,  // starts with FE FF
    kUtf8,     // starts with EF BB BF
    kAnsi,     // anything else: the system's ANSI code page
};

[[nodiscard]] SettingsEncoding DetectSettingsEncoding(std::string_view bytes) noexcept;

// For each first byte of a character in a code page, how many bytes the
// character takes (1 for single-byte code pages, 2 for the lead bytes of
// double-byte ones, 1 to 4 for UTF-8).
using CharacterLengths = std::array<std::uint8_t, 256>;

inline constexpr unsigned kUtf8CodePage = 65001;

// The lengths of a code page from what the system reports about it: its
// number and its lead-byte ranges (pairs of first and last byte, ended by a
// zero pair or the end of the span, as CPINFO gives them).
[[nodiscard]] CharacterLengths CharacterLengthsFrom(unsigned codePage, std::span<const std::uint8_t> leadByteRanges);

// The pieces in which an ANSI settings file is converted: each ends after a
// line feed or, in an overlong line, before the character that would pass
// kPieceByteLimit bytes, so that no character is split between two pieces. A
// character whose bytes would contain a line feed counts as its first byte
// alone, so that lines stay lines.
[[nodiscard]] std::vector<std::string_view> SplitIntoPieces(std::string_view bytes, const CharacterLengths& lengths);

// Strict UTF-8 to UTF-16 code units (characters beyond U+FFFF as surrogate
// pairs, also where wchar_t is wider). Nothing for an overlong form, a
// surrogate, a value beyond U+10FFFF or a cut sequence.
[[nodiscard]] std::optional<std::wstring> DecodeUtf8(std::string_view bytes);

// Big-endian UTF-16 to code units; nothing for an odd number of bytes.
[[nodiscard]] std::optional<std::wstring> DecodeUtf16Be(std::string_view bytes);

// The system's ANSI code page as the conversion uses it: the lengths of its
// characters and the conversion of one piece of whole characters into at most
// kConvertedPieceLimit code units (nothing when it fails).
struct AnsiCodePage {
    CharacterLengths lengths{};
    std::function<std::optional<std::wstring>(std::string_view piece)> convert;
};

// The text of a settings file (without its byte-order mark) as UTF-16 code
// units; nothing when it cannot be decoded whole. An ANSI file is converted
// piece by piece.
[[nodiscard]] std::optional<std::wstring> DecodeSettingsText(std::string_view bytes, SettingsEncoding encoding,
                                                             const AnsiCodePage& ansi);

// The mark FF FE, then each code unit low byte first.
[[nodiscard]] std::string Utf16LeFile(std::wstring_view units);

// The bytes of the converted settings file: FF FE, the header, then the text
// of the file. Nothing when the file is to stay as it is: it is empty, it is
// converted already, or it cannot be decoded whole (no text is ever lost).
[[nodiscard]] std::optional<std::string> ConvertedSettingsFile(std::string_view bytes, const AnsiCodePage& ansi);

}  // namespace pixelmoor
