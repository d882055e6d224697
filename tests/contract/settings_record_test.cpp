#include "contract/settings_record.h"

#include <gtest/gtest.h>

#include <map>

namespace pixelmoor {
namespace {

std::string Narrow(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// A fixed environment for the expansion cases.
std::optional<std::wstring> Lookup(std::wstring_view name) {
    static const std::map<std::wstring, std::wstring, std::less<>> environment = {
        {L"APPDATA", L"C:\\Users\\hanna\\AppData\\Roaming"},
        {L"DRIVE", L"E:"},
        {L"EMPTY", L""},
        {L"LONG259", std::wstring(259, L'a')},
        {L"LONG260", std::wstring(260, L'b')},
        {L"BIG", std::wstring(200, L'x')},
        {L"APP", L"C:\\Apps\\Pixelmoor64_App"},
        {std::wstring(260, L'N'), L"cut-name"},
    };
    const auto found = environment.find(name);
    if (found == environment.end()) return std::nullopt;
    return found->second;
}

TEST(SettingsRecord, ExpandIniFolderReplacesVariablesAndDropsUndefinedOnes) {
    const struct {
        std::wstring in, out;
    } cases[] = {
        // No percent sign: the text itself, blanks and all.
        {L" D:\\Settings ", L" D:\\Settings "},
        // The default settings folder.
        {L"%APPDATA%\\Pixelmoor", L"C:\\Users\\hanna\\AppData\\Roaming\\Pixelmoor"},
        // An undefined variable vanishes with both of its percent signs.
        {L"%PM_UNDEFINED_VAR%\\Settings", L"\\Settings"},
        // Two variables and text between them.
        {L"%DRIVE%\\x\\%DRIVE%", L"E:\\x\\E:"},
        // "%%" is an empty name and yields nothing.
        {L"C:\\a%%b", L"C:\\ab"},
        // An unclosed "%" takes the rest of the text as the name.
        {L"C:\\%APPDATA", L"C:\\C:\\Users\\hanna\\AppData\\Roaming"},
        // An unclosed "%" naming nothing known swallows the rest.
        {L"C:\\x%y\\z", L"C:\\x"},
        // A lone trailing "%" is an empty name.
        {L"C:\\x%", L"C:\\x"},
        // A variable defined as empty adds nothing.
        {L"%EMPTY%\\S", L"\\S"},
        // The whole text may expand to nothing.
        {L"%PM_UNDEFINED_VAR%", L""},
        // Names are matched as given (the lookup decides about letter case).
        {L"%appdata%", L""},
        // A value of 259 characters fits the lookup buffer.
        {L"%LONG259%", std::wstring(259, L'a')},
        // A value of 260 characters does not fit it and counts as undefined.
        {L"X%LONG260%Y", L"XY"},
        // A name is cut at 260 characters before the lookup.
        {L"%" + std::wstring(265, L'N') + L"%!", L"cut-name!"},
        // The result is cut at 519 characters.
        {L"%BIG%%BIG%%BIG%", std::wstring(519, L'x')},
        // Text after the cut is not appended either.
        {L"%BIG%%BIG%" + std::wstring(150, L'y'), std::wstring(400, L'x') + std::wstring(119, L'y')},
    };
    for (const auto& c : cases) EXPECT_EQ(ExpandIniFolder(c.in, Lookup), c.out) << c.in.size();
}

TEST(SettingsRecord, ProgramSettingsPathTrimsCutsAndEndsInBackslash) {
    const struct {
        std::wstring folder, path;
    } cases[] = {
        // A folder without its backslash.
        {L"D:\\Tools\\Pixelmoor", L"D:\\Tools\\Pixelmoor\\p_moor64.ini"},
        // A folder with its backslash gets no second one.
        {L"D:\\Tools\\Pixelmoor\\", L"D:\\Tools\\Pixelmoor\\p_moor64.ini"},
        // Blanks on both sides are trimmed.
        {L"  D:\\Tools  ", L"D:\\Tools\\p_moor64.ini"},
        // Only the first 263 characters of the folder count.
        {L"C:\\" + std::wstring(270, L'f'), L"C:\\" + std::wstring(260, L'f') + L"\\p_moor64.ini"},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgramSettingsPath(c.folder), c.path);
}

TEST(SettingsRecord, OnlyTheSetupsPointerFileIsTheSetups) {
    const struct {
        std::wstring_view text;
        bool pointer;
    } cases[] = {
        {L"[Others]\r\nINI_Folder=%APPDATA%\\Pixelmoor\r\n", true},                 // what the setup writes
        {L"\r\n[others]\r\n ini_folder = D:\\Einstellungen \r\n\r\n", true},        // as the profile functions read it
        {L"", false},                                                               // an empty file records nothing
        {L"[Others]\r\nINI_Folder=\r\n", false},                                    // nor does an empty record
        {L"[Others]\r\nINI_Folder=X\r\nLastDir=C:\\Bilder\r\n", false},             // a key of the viewer's
        {L"[Others]\r\nINI_Folder=X\r\n[Language]\r\nDLL=DEUTSCH.DLL\r\n", false},  // a section more
        {L"INI_Folder=X\r\n[Others]\r\nINI_Folder=X\r\n", false},                   // a key outside any section
        {L"; eigene Notiz\r\n[Others]\r\nINI_Folder=X\r\n", false},                 // the user's comment
    };
    for (const auto& c : cases) EXPECT_EQ(IsSetupPointerFile(c.text), c.pointer) << Narrow(c.text);
}

// The pointer file's bytes as the uninstaller reads them: UTF-16 after its
// mark, anything else through the ANSI code page (here: Latin-1 widened).
TEST(SettingsRecord, PointerFileTextIsUtf16AfterTheMarkElseAnsi) {
    const auto latin1 = [](std::string_view bytes) {
        std::wstring text;
        for (const char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
        return text;
    };
    const struct {
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {std::string("\xFF\xFE[\0\xE4\0\0\x01", 8), L"[\u00e4\u0100"},  // UTF-16 after the mark, low byte first
        {std::string("\xFF\xFEx\0y", 5), L"x"},                          // an odd last byte is passed over
        {"\xFE\xFF" "a", L"\u00fe\u00ffa"},                               // big-endian mark: ANSI
        {"[Others]", L"[Others]"},                                          // ANSI
    };
    for (const auto& c : cases) EXPECT_EQ(PointerFileText(c.bytes, latin1), c.text);
}

}  // namespace
}  // namespace pixelmoor
