// Fuzz target of the silent command line: whatever the input, the options
// stay within their limits, the switch reading agrees with wcstol, and
// nothing in the program's own path counts as a switch.
#include <cerrno>
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "app/command_line.h"
#include "framework/text_rules.h"
#include "tests/support/fuzz_input.h"

namespace {

using pixelmoor::fuzz::Require;
using pixelmoor::fuzz::Decode;

using namespace pixelmoor;

// Each switch with the most characters its value may keep.
struct SwitchLimit {
    const wchar_t* name;
    std::size_t limit;
};
constexpr SwitchLimit kSwitches[] = {{L"/folder=", 252},   {L"/desktop=", 251}, {L"/thumbs=", 252}, {L"/group=", 253},
                                     {L"/allusers=", 250}, {L"/assoc=", 253},   {L"/ini=", 255}};
constexpr std::size_t kIniValueLimit = 255;

// The reference reading: wcstol in base 10, clamped to a 32-bit int.
int ReferenceNumber(const std::wstring& value) {
    errno = 0;
    const long number = std::wcstol(value.c_str(), nullptr, 10);
    if (number > INT_MAX) return INT_MAX;
    if (number < INT_MIN) return INT_MIN;
    return static_cast<int>(number);
}

bool IsAscii(const std::wstring& text) {
    for (wchar_t c : text)
        if (c == 0 || c > 0x7F) return false;
    return true;
}

void CheckSwitchValues(const std::wstring& copy) {
    for (const SwitchLimit& entry : kSwitches) {
        const std::optional<std::wstring> value = ReadSwitchValue(copy, entry.name);
        if (!value) continue;
        Require(value->size() <= entry.limit);
        Require(value->find(L'/') == std::wstring::npos);
        if (IsAscii(*value)) Require(ReadSwitchNumber(*value) == ReferenceNumber(*value));
    }
}

void CheckPath(const std::wstring& copy, const wchar_t* name, std::size_t limit, const std::wstring& field,
               const std::wstring& fallback) {
    Require(field.size() <= kOptionTextLimit);
    if (copy.find(name) == std::wstring::npos) {
        Require(field == CutAt(fallback, kOptionTextLimit));
        return;
    }
    Require(field.size() <= limit);
    Require(field.empty() || field.back() != L' ');
}

// The folder is never cut: it is its whole value, unquoted, so that the
// installation can refuse one beyond its limit.
void CheckFolder(const std::wstring& copy, const std::wstring& field, const std::wstring& fallback) {
    const std::size_t at = copy.find(L"/folder=");
    if (at == std::wstring::npos) {
        Require(field == CutAt(fallback, kOptionTextLimit));
        return;
    }
    std::wstring value = copy.substr(at + std::wstring_view(L"/folder=").size());
    value.resize(std::min(value.size(), value.find(L'/')));
    if (!value.empty()) UnquotePath(value);
    Require(field == value);
}

void CheckOptions(const std::wstring& line, const SilentDefaults& defaults) {
    const InstallOptions options = ParseSilentCommandLine(line, defaults);
    const std::wstring copy(CommandLineArguments(std::wstring_view(line).substr(0, line.find(L'\0'))));
    CheckFolder(copy, options.folder, defaults.folder);
    CheckPath(copy, L"/ini=", kIniValueLimit, options.iniFolder, defaults.iniFolder);
    Require(options.silent == 1);
    Require(options.caption == L"Pixelmoor 64-bit Setup");
    int selected = 0;
    for (std::int32_t flag : options.selection) selected += flag;
    Require((!AssociationRequested(options.selection) && selected == 0) ||
            (AssociationRequested(options.selection) && (selected == 51 || selected == 66)));
}

// The arguments are the tail of the line after the program's path, and that
// path holds no switch of its own.
void CheckProgramPath(const std::wstring& line) {
    const std::wstring_view arguments = CommandLineArguments(line);
    Require(std::wstring_view(line).ends_with(arguments));
    const std::wstring_view program = std::wstring_view(line).substr(0, line.size() - arguments.size());
    if (!program.starts_with(L'"')) Require(program.find_first_of(L" \t") == std::wstring_view::npos);
    Require(HasSilentSwitch(line) == (arguments.find(L"/silent") != std::wstring_view::npos));
    // The same arguments behind another program path give the same options.
    const std::wstring other = L"\"C:\\/silent/folder=X:\\/desktop=9\"" + std::wstring(arguments);
    const SilentDefaults defaults{L"C:\\Pixelmoor", L""};
    const InstallOptions a = ParseSilentCommandLine(line, defaults);
    const InstallOptions b = ParseSilentCommandLine(other, defaults);
    if (line.find(L'\0') == std::wstring::npos) {
        Require(a.folder == b.folder && a.iniFolder == b.iniFolder && a.shortcuts == b.shortcuts);
        Require(a.selection == b.selection);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring line = Decode(data, size);
    CheckProgramPath(line);
    CheckSwitchValues(line);
    CheckOptions(line, {L"C:\\Program Files\\Pixelmoor", L"%APPDATA%\\Pixelmoor"});
    CheckOptions(line, {std::wstring(600, L'a'), std::wstring()});
    return 0;
}
