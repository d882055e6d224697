// The bytes of settings files as the tests expect them.
#pragma once

#include <string>
#include <string_view>

namespace pixelmoor::test {

// The header line and empty line that a converted settings file starts with.
inline constexpr std::u16string_view kSettingsHeader = u"; UNICODE FILE - edit with care ;-)\r\n\r\n";

// A UTF-16 file: the mark FF FE, then each character low byte first.
inline std::string Utf16File(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// A converted settings file with this text after its header.
inline std::string ConvertedSettings(std::u16string_view text) {
    return Utf16File(std::u16string(kSettingsHeader) + std::u16string(text));
}

}  // namespace pixelmoor::test
