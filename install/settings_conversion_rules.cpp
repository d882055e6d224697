#include "install/settings_conversion_rules.h"

#include <algorithm>

#include "install/settings_rules.h"

namespace pixelmoor {

namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

CharacterLengths SingleByteLengths() {
    CharacterLengths lengths;
    lengths.fill(1);
    return lengths;
}

CharacterLengths Utf8Lengths() {
    CharacterLengths lengths = SingleByteLengths();
    for (unsigned b = 0xC2; b <= 0xDF; ++b) lengths[b] = 2;
    for (unsigned b = 0xE0; b <= 0xEF; ++b) lengths[b] = 3;
    for (unsigned b = 0xF0; b <= 0xF4; ++b) lengths[b] = 4;
    return lengths;
}

bool IsContinuation(unsigned char byte) noexcept { return (byte & 0xC0) == 0x80; }

}  // namespace

SettingsEncoding DetectSettingsEncoding(std::string_view bytes) noexcept {
    if (bytes.starts_with(kUtf16LeMark)) return SettingsEncoding::kUtf16Le;
    if (bytes.starts_with(kUtf16BeMark)) return SettingsEncoding::kUtf16Be;
    if (bytes.starts_with(kUtf8Mark)) return SettingsEncoding::kUtf8;
    return SettingsEncoding::kAnsi;
}

CharacterLengths CharacterLengthsFrom(unsigned codePage, std::span<const std::uint8_t> leadByteRanges) {
    // The system reports no lead bytes for UTF-8, whose characters take up to
    // four bytes all the same.
    if (codePage == kUtf8CodePage) return Utf8Lengths();
    CharacterLengths lengths = SingleByteLengths();
    for (std::size_t at = 0; at + 1 < leadByteRanges.size(); at += 2) {
        const std::uint8_t first = leadByteRanges[at];
        const std::uint8_t last = leadByteRanges[at + 1];
        if (first == 0 && last == 0) break;
        for (unsigned b = first; b <= last; ++b) lengths[b] = 2;
    }
    return lengths;
}

std::vector<std::string_view> SplitIntoPieces(std::string_view bytes, const CharacterLengths& lengths) {
    std::vector<std::string_view> pieces;
    while (!bytes.empty()) {
        std::size_t end = 0;
        while (end < bytes.size()) {
            const bool feed = bytes[end] == '\n';
            std::size_t length = feed ? 1 : lengths[static_cast<unsigned char>(bytes[end])];
            if (bytes.substr(end, length).find('\n') != std::string_view::npos) length = 1;
            // A character cut by the end of the file stays one (broken) character.
            length = std::min(length, bytes.size() - end);
            if (end + length > kPieceByteLimit) break;
            end += length;
            if (feed) break;
        }
        pieces.push_back(bytes.substr(0, end));
        bytes.remove_prefix(end);
    }
    return pieces;
}

std::optional<std::wstring> DecodeUtf8(std::string_view bytes) {
    std::wstring units;
    units.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[at]);
        std::size_t length = 0;
        char32_t value = 0;
        char32_t smallest = 0;
        if (lead < 0x80) {
            length = 1;
            value = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            value = lead & 0x1F;
            smallest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            value = lead & 0x0F;
            smallest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            value = lead & 0x07;
            smallest = 0x10000;
        } else {
            return std::nullopt;  // a continuation byte, C0, C1 or F5 to FF
        }
        if (bytes.size() - at < length) return std::nullopt;
        for (std::size_t i = 1; i < length; ++i) {
            const unsigned char next = static_cast<unsigned char>(bytes[at + i]);
            if (!IsContinuation(next)) return std::nullopt;
            value = value << 6 | (next & 0x3F);
        }
        if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
        if (value >= 0x10000) {
            units += static_cast<wchar_t>(0xD800 + ((value - 0x10000) >> 10));
            units += static_cast<wchar_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
        } else {
            units += static_cast<wchar_t>(value);
        }
        at += length;
    }
    return units;
}

std::optional<std::wstring> DecodeUtf16Be(std::string_view bytes) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::wstring units;
    units.reserve(bytes.size() / 2);
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        const unsigned high = static_cast<unsigned char>(bytes[at]);
        const unsigned low = static_cast<unsigned char>(bytes[at + 1]);
        units += static_cast<wchar_t>(high << 8 | low);
    }
    return units;
}

std::optional<std::wstring> DecodeSettingsText(std::string_view bytes, SettingsEncoding encoding,
                                               const AnsiCodePage& ansi) {
    switch (encoding) {
        case SettingsEncoding::kUtf16Le:
            return std::nullopt;  // not decoded: such a file is never converted
        case SettingsEncoding::kUtf16Be:
            return DecodeUtf16Be(bytes.substr(kUtf16BeMark.size()));
        case SettingsEncoding::kUtf8:
            return DecodeUtf8(bytes.substr(kUtf8Mark.size()));
        case SettingsEncoding::kAnsi:
            break;
    }
    std::wstring text;
    text.reserve(bytes.size());
    for (const std::string_view piece : SplitIntoPieces(bytes, ansi.lengths)) {
        const std::optional<std::wstring> converted = ansi.convert(piece);
        if (!converted || converted->empty() || converted->size() > kConvertedPieceLimit) return std::nullopt;
        text += *converted;
    }
    return text;
}

std::string Utf16LeFile(std::wstring_view units) {
    std::string bytes(kUtf16LeMark);
    bytes.reserve(2 + units.size() * 2);
    for (const wchar_t unit : units) {
        bytes += static_cast<char>(static_cast<unsigned>(unit) & 0xFF);
        bytes += static_cast<char>((static_cast<unsigned>(unit) >> 8) & 0xFF);
    }
    return bytes;
}

std::optional<std::string> ConvertedSettingsFile(std::string_view bytes, const AnsiCodePage& ansi) {
    // The profile functions keep a file that starts with FF FE in UTF-16, so
    // from the second installation on there is nothing to do.
    const SettingsEncoding encoding = DetectSettingsEncoding(bytes);
    if (bytes.empty() || encoding == SettingsEncoding::kUtf16Le) return std::nullopt;
    const std::optional<std::wstring> text = DecodeSettingsText(bytes, encoding, ansi);
    if (!text) return std::nullopt;
    return Utf16LeFile(std::wstring(kUtf16Header) + *text);
}

}  // namespace pixelmoor
