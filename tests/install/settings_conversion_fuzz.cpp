// Fuzz target of the settings conversion: arbitrary bytes in, UTF-16 out.
// The first byte picks the ANSI code page (imitated), the rest is the file.
// Whatever the input, a converted file starts with FF FE and the header and
// holds whole code units; for valid input the text is exactly the decoded
// one, and no ANSI character is split between two pieces.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "install/settings_conversion_rules.h"
#include "install/settings_rules.h"
#include "tests/install/emulated_code_pages.h"
#include "tests/support/fuzz_input.h"

namespace {

using pixelmoor::fuzz::Require;

using namespace pixelmoor;

constexpr unsigned kCodePages[] = {1252, 932, 936, 65001};
// Bytes of the input that the valid text is made from (three per character).
constexpr std::size_t kValidTextBytes = 1200;

// UTF-8 well-formedness by the table of the Unicode standard (Table 3-7),
// written apart from the decoder under test.
bool IsWellFormedUtf8(std::string_view bytes) {
    struct Row {
        unsigned char first, last;  // range of the first byte
        unsigned char secondLo, secondHi;
        int continuations;  // bytes after the first
    };
    static constexpr Row kRows[] = {
        {0x00, 0x7F, 0, 0, 0},       {0xC2, 0xDF, 0x80, 0xBF, 1}, {0xE0, 0xE0, 0xA0, 0xBF, 2},
        {0xE1, 0xEC, 0x80, 0xBF, 2}, {0xED, 0xED, 0x80, 0x9F, 2}, {0xEE, 0xEF, 0x80, 0xBF, 2},
        {0xF0, 0xF0, 0x90, 0xBF, 3}, {0xF1, 0xF3, 0x80, 0xBF, 3}, {0xF4, 0xF4, 0x80, 0x8F, 3},
    };
    std::size_t at = 0;
    while (at < bytes.size()) {
        const unsigned char b = static_cast<unsigned char>(bytes[at]);
        const Row* row = nullptr;
        for (const Row& r : kRows) {
            if (b >= r.first && b <= r.last) {
                row = &r;
                break;
            }
        }
        if (!row) return false;
        if (bytes.size() - at < 1 + static_cast<std::size_t>(row->continuations)) return false;
        for (int i = 1; i <= row->continuations; ++i) {
            const unsigned char next = static_cast<unsigned char>(bytes[at + i]);
            const unsigned char lo = i == 1 ? row->secondLo : 0x80;
            const unsigned char hi = i == 1 ? row->secondHi : 0xBF;
            if (next < lo || next > hi) return false;
        }
        at += 1 + row->continuations;
    }
    return true;
}

std::string EncodeUtf8(const std::u32string& points) {
    std::string bytes;
    for (const char32_t p : points) {
        if (p < 0x80) {
            bytes += static_cast<char>(p);
        } else if (p < 0x800) {
            bytes += static_cast<char>(0xC0 | p >> 6);
            bytes += static_cast<char>(0x80 | (p & 0x3F));
        } else if (p < 0x10000) {
            bytes += static_cast<char>(0xE0 | p >> 12);
            bytes += static_cast<char>(0x80 | (p >> 6 & 0x3F));
            bytes += static_cast<char>(0x80 | (p & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | p >> 18);
            bytes += static_cast<char>(0x80 | (p >> 12 & 0x3F));
            bytes += static_cast<char>(0x80 | (p >> 6 & 0x3F));
            bytes += static_cast<char>(0x80 | (p & 0x3F));
        }
    }
    return bytes;
}

std::u32string PointsOfUnits(std::wstring_view units) {
    std::u32string points;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t u = static_cast<char32_t>(units[i]);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            points += 0x10000 + ((u - 0xD800) << 10) + (static_cast<char32_t>(units[++i]) - 0xDC00);
        } else {
            points += u;
        }
    }
    return points;
}

std::wstring UnitsOfPoints(const std::u32string& points) {
    std::wstring units;
    for (const char32_t p : points) {
        if (p >= 0x10000) {
            units += static_cast<wchar_t>(0xD800 + ((p - 0x10000) >> 10));
            units += static_cast<wchar_t>(0xDC00 + ((p - 0x10000) & 0x3FF));
        } else {
            units += static_cast<wchar_t>(p);
        }
    }
    return units;
}

std::string Utf16BeFile(std::wstring_view units) {
    std::string bytes = "\xFE\xFF";
    for (const wchar_t u : units) {
        bytes += static_cast<char>(static_cast<unsigned>(u) >> 8 & 0xFF);
        bytes += static_cast<char>(static_cast<unsigned>(u) & 0xFF);
    }
    return bytes;
}

std::string Expected(std::wstring_view text) { return Utf16LeFile(std::wstring(kUtf16Header) + std::wstring(text)); }

// The converted file of whatever came in: its shape, and its text against
// the decoding that the mark announces.
void CheckArbitraryFile(std::string_view file, const AnsiCodePage& ansi, unsigned codePage) {
    const std::optional<std::string> converted = ConvertedSettingsFile(file, ansi);
    if (converted) {
        Require(converted->size() % 2 == 0);
        Require(converted->starts_with(Utf16LeFile(kUtf16Header)));
    }
    switch (DetectSettingsEncoding(file)) {
        case SettingsEncoding::kUtf16Le:
            Require(!converted);
            return;
        case SettingsEncoding::kUtf16Be: {
            const std::string_view body = file.substr(2);
            Require(converted.has_value() == (body.size() % 2 == 0));
            if (!converted) return;
            // Swapping each pair of bytes gives the converted file's text.
            std::string swapped;
            swapped.reserve(body.size());
            for (std::size_t i = 0; i < body.size(); i += 2) swapped += {body[i + 1], body[i]};
            Require(converted->substr(Utf16LeFile(kUtf16Header).size()) == swapped);
            return;
        }
        case SettingsEncoding::kUtf8: {
            const std::string_view body = file.substr(3);
            Require(converted.has_value() == IsWellFormedUtf8(body));
            if (!converted) return;
            const std::optional<std::wstring> text = DecodeUtf8(body);
            Require(text && *converted == Expected(*text));
            // Never cut mid-character: the text encodes back to the very bytes.
            Require(EncodeUtf8(PointsOfUnits(*text)) == body);
            return;
        }
        case SettingsEncoding::kAnsi:
            break;
    }
    Require(converted.has_value() == !file.empty());
    if (!converted) return;
    // Converted piece by piece it is the text converted at once: no
    // character was split.
    Require(*converted == Expected(test::ConvertEmulated(codePage, ansi.lengths, file)));
    std::size_t joined = 0;
    for (const std::string_view piece : SplitIntoPieces(file, ansi.lengths)) {
        Require(!piece.empty() && piece.size() <= kPieceByteLimit);
        Require(piece.data() == file.data() + joined);
        Require(piece.find('\n') == std::string_view::npos || piece.find('\n') == piece.size() - 1);
        joined += piece.size();
    }
    Require(joined == file.size());
}

// Valid text made from the input: as UTF-8 with its mark and as big-endian
// UTF-16, it converts to exactly that text.
void CheckValidText(std::string_view data, const AnsiCodePage& ansi) {
    // The decoders read whole files, so a short text covers them as well.
    data = data.substr(0, kValidTextBytes);
    std::u32string points;
    for (std::size_t i = 0; i + 2 < data.size(); i += 3) {
        char32_t p = (static_cast<unsigned char>(data[i]) << 16 | static_cast<unsigned char>(data[i + 1]) << 8 |
                      static_cast<unsigned char>(data[i + 2])) %
                     0x110000;
        if (p >= 0xD800 && p <= 0xDFFF) p -= 0x800;
        points += p;
    }
    const std::wstring units = UnitsOfPoints(points);
    const std::string expected = Expected(units);
    Require(ConvertedSettingsFile("\xEF\xBB\xBF" + EncodeUtf8(points), ansi) == expected);
    Require(ConvertedSettingsFile(Utf16BeFile(units), ansi) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned codePage = kCodePages[data[0] % std::size(kCodePages)];
    static const AnsiCodePage kEmulated[] = {test::EmulatedCodePage(1252), test::EmulatedCodePage(932),
                                             test::EmulatedCodePage(936), test::EmulatedCodePage(65001)};
    const AnsiCodePage& ansi = kEmulated[data[0] % std::size(kCodePages)];
    const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
    CheckArbitraryFile(file, ansi, codePage);
    CheckValidText(file, ansi);
    return 0;
}
