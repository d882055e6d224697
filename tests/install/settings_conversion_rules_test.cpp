#include "install/settings_conversion_rules.h"

#include <gtest/gtest.h>

#include "tests/install/emulated_code_pages.h"
#include "tests/install/settings_bytes.h"

namespace pixelmoor {
namespace {

using test::ConvertedSettings;
using test::EmulatedCodePage;

std::vector<std::string> Pieces(const std::string& bytes, unsigned codePage) {
    const std::vector<std::string_view> pieces = SplitIntoPieces(bytes, test::KnownCharacterLengths(codePage));
    return {pieces.begin(), pieces.end()};
}

TEST(SplitIntoPieces, LinesAndOverlongLinesLikeALineReader) {
    const std::string full(2047, 'a');
    const struct {
        std::string bytes;
        std::vector<std::string> pieces;
    } cases[] = {
        // Nothing read from an empty file.
        {"", {}},
        // Each piece ends after its line feed, CR LF kept.
        {"[Language]\r\nDLL=x\r\n", {"[Language]\r\n", "DLL=x\r\n"}},
        // A last line without a line feed is a piece of its own.
        {"a\nb", {"a\n", "b"}},
        // Empty lines are pieces.
        {"\n\n", {"\n", "\n"}},
        // A line of exactly 2047 bytes without its feed fills one piece.
        {full, {full}},
        // 2047 bytes and the line feed: the feed arrives as a piece of its own.
        {full + "\n", {full, "\n"}},
        // 2046 bytes and CR LF: the CR fills the piece, the LF comes alone.
        {full.substr(1) + "\r\nz", {full.substr(1) + "\r", "\n", "z"}},
        // 2046 bytes and LF fit one piece.
        {full.substr(1) + "\nz", {full.substr(1) + "\n", "z"}},
        // A line of 5000 bytes comes in 2047, 2047 and 906 bytes.
        {std::string(5000, 'q') + "\n", {std::string(2047, 'q'), std::string(2047, 'q'), std::string(906, 'q') + "\n"}},
        // Bytes that are lead bytes elsewhere are single characters in 1252.
        {full.substr(1) + "\x82\xA0\n", {full.substr(1) + "\x82", "\xA0\n"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Pieces(c.bytes, 1252), c.pieces) << c.bytes.size();
}

TEST(SplitIntoPieces, NeverSplitsACharacterOfAMultiByteCodePage) {
    const std::string a2044(2044, 'a');
    const std::string hiragana = "\x82\xA0";  // one character in code page 932
    const struct {
        unsigned codePage;
        std::string bytes;
        std::vector<std::string> pieces;
    } cases[] = {
        // The character would take bytes 2047 and 2048: it opens the next piece.
        {932, a2044 + "aa" + hiragana + "\n", {a2044 + "aa", hiragana + "\n"}},
        // Taking bytes 2046 and 2047 it still fits.
        {932, a2044 + "a" + hiragana + "b\n", {a2044 + "a" + hiragana, "b\n"}},
        // 0x82 as a trail byte is no lead byte: only a walk from the line's start tells.
        {932, a2044 + "\x82\x82" + hiragana, {a2044 + "\x82\x82", hiragana}},
        // Half-width katakana (0xA1 to 0xDF) take one byte.
        {932, a2044 + "aa\xB1\xB2", {a2044 + "aa\xB1", "\xB2"}},
        // A lead byte before a line feed is a character of its own: lines stay lines.
        {932, "a\x82\nb", {"a\x82\n", "b"}},
        // A lead byte at the very end of the file.
        {932, "ab\x82", {"ab\x82"}},
        // A line of 2500 double-byte characters.
        {932,
         std::string(5000, '\x88'),
         {std::string(2046, '\x88'), std::string(2046, '\x88'), std::string(908, '\x88')}},
        // GBK lead bytes reach up to 0xFE.
        {936, a2044 + "aa\xFE\xA1", {a2044 + "aa", "\xFE\xA1"}},
        // UTF-8 as the ANSI code page: a three-byte character is not split.
        {65001, a2044 + "a\xE2\x82\xAC", {a2044 + "a", "\xE2\x82\xAC"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Pieces(c.bytes, c.codePage), c.pieces) << c.codePage << " " << c.bytes.size();
}

TEST(ConvertedSettingsFile, KeepsWhatCannotBeDecodedWhole) {
    // (The decoded texts themselves are compared byte for byte end to end and
    // against a reference decoder in the fuzz target.)
    const AnsiCodePage failing{test::KnownCharacterLengths(1252),
                               [](std::string_view) -> std::optional<std::wstring> { return std::nullopt; }};
    const struct {
        const char* what;
        std::string bytes;
        bool converted;
        bool failingAnsi = false;
    } cases[] = {
        // A mark alone still gets the header.
        {"utf-8 mark only", "\xEF\xBB\xBF", true},
        // Nothing to convert: empty, or little-endian UTF-16 already.
        {"empty", "", false},
        {"utf-16le", std::string("\xFF\xFE[\x00", 4), false},
        // Broken text after a mark is kept rather than garbled.
        {"broken utf-8", "\xEF\xBB\xBFName=\xC3(\r\n", false},
        {"odd utf-16be", std::string("\xFE\xFF\x00[\x00", 5), false},
        // An ANSI piece that the system cannot convert.
        {"ansi failure", "a=1\r\n", false, true},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> file =
            ConvertedSettingsFile(c.bytes, c.failingAnsi ? failing : EmulatedCodePage(1252));
        ASSERT_EQ(file.has_value(), c.converted) << c.what;
        if (file) EXPECT_EQ(*file, ConvertedSettings(u"")) << c.what;
    }
}

}  // namespace
}  // namespace pixelmoor
