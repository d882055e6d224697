#include "framework/registry_text_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pixelmoor {
namespace {

// UTF-16LE bytes of an ASCII text, with `terminators` zero units after it.
std::vector<unsigned char> Utf16(const std::string& text, std::size_t terminators) {
    std::vector<unsigned char> bytes;
    for (const char c : text) {
        bytes.push_back(static_cast<unsigned char>(c));
        bytes.push_back(0);
    }
    bytes.insert(bytes.end(), terminators * 2, 0);
    return bytes;
}

// The ".htm" handler's reader: a value counts only with its terminator (the
// reader itself refuses more bytes than its 260-byte buffer).
TEST(RegistryText, TerminatedTextCountsOnlyWhenTerminated) {
    const std::string longest(129, 'a');  // 129 characters and the terminator fill 260 bytes
    const struct {
        std::vector<unsigned char> data;
        std::optional<std::wstring> text;
    } rows[] = {
        {Utf16("htmlfile", 1), L"htmlfile"},           // an ordinary terminated value
        {Utf16("htmlfile", 2), L"htmlfile"},           // a second terminator changes nothing
        {Utf16("htmlfile", 0), std::nullopt},          // not terminated: missing
        {Utf16("", 1), L""},                           // an empty value
        {{}, std::nullopt},                            // no bytes at all
        {Utf16(longest, 1), std::wstring(129, L'a')},  // exactly the buffer
        {Utf16(longest + "a", 0), std::nullopt},       // 260 bytes without a terminator
        {{'a', 0, 0}, std::nullopt},                   // an odd number of bytes
        {{0, 'a', 0, 0}, L"\u6100"},                   // U+6100: a zero low byte alone is no terminator
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(TerminatedText(rows[i].data), rows[i].text) << "row " << i;
}

// The other two rules on the same bytes: the folder proposals' (a terminator
// may be missing) and the registration removal's (zeros inside kept).
TEST(RegistryText, TextBeforeTerminatorAndWithoutTrailingZeros) {
    const struct {
        std::vector<unsigned char> data;
        std::wstring beforeTerminator, withoutTrailingZeros;
    } rows[] = {
        {Utf16("C:\\Apps", 1), L"C:\\Apps", L"C:\\Apps"},       // terminated
        {Utf16("C:\\Apps", 0), L"C:\\Apps", L"C:\\Apps"},       // stored without a terminator: taken whole
        {{'a', 0, 0, 0, 'b', 0, 0, 0}, L"a", {L'a', 0, L'b'}},  // a zero inside
        {{'a', 0, 'b'}, L"a", L"a"},                            // an odd last byte passed over
        {{}, L"", L""},                                         // no bytes at all
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(TextBeforeTerminator(rows[i].data), rows[i].beforeTerminator) << "row " << i;
        EXPECT_EQ(TextWithoutTrailingZeros(rows[i].data), rows[i].withoutTrailingZeros) << "row " << i;
    }
}

}  // namespace
}  // namespace pixelmoor
