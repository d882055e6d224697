#include "app/command_line.h"

#include <climits>

#include "framework/text_rules.h"
#include "install/driver_rules.h"
#include "integration/format_table.h"

namespace pixelmoor {

namespace {

// The installation's limit of a folder text is the switch's.
static_assert(SwitchValueLimit(kFolderSwitch) == kFolderTextLimit);

bool IsWhiteSpace(wchar_t c) noexcept { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

void RemoveTrailingBlanks(std::wstring& text) {
    const std::size_t last = text.find_last_not_of(L' ');
    text.erase(last == std::wstring::npos ? 0 : last + 1);
}

// The text after the first occurrence of switchName up to the next "/" or
// the end, uncut; empty optional when the switch does not occur. A double
// quote after a blank right before the next switch opens that switch's
// argument ("/folder=C:\a b" "/log=C:\x.log", as tools quote each argument),
// so it is not part of this value.
std::optional<std::wstring_view> WholeSwitchValue(std::wstring_view arguments, std::wstring_view switchName) {
    const std::size_t at = arguments.find(switchName);
    if (at == std::wstring_view::npos) return std::nullopt;
    const std::wstring_view rest = arguments.substr(at + switchName.size());
    const std::size_t next = rest.find(L'/');
    std::wstring_view value = rest.substr(0, next);
    if (next != std::wstring_view::npos && value.size() >= 2 && value.back() == L'"' &&
        (value[value.size() - 2] == L' ' || value[value.size() - 2] == L'\t'))
        value.remove_suffix(1);
    return value;
}

// A path switch replaces its field even with an empty value; only a
// non-empty value is unquoted.
void SetPathField(std::wstring value, std::wstring& field) {
    field = std::move(value);
    if (!field.empty()) UnquotePath(field);
}

void ReadPathSwitch(std::wstring_view arguments, std::wstring_view name, std::wstring& field) {
    if (std::optional<std::wstring> value = ReadSwitchValue(arguments, name)) SetPathField(std::move(*value), field);
}

// The folder is taken whole: cut at its limit it could name a parent of the
// folder meant, so the installation refuses one that is too long instead.
void ReadFolderSwitch(std::wstring_view arguments, std::wstring& field) {
    if (std::optional<std::wstring_view> value = WholeSwitchValue(arguments, kFolderSwitch))
        SetPathField(std::wstring(*value), field);
}

void ReadNumberSwitch(std::wstring_view arguments, std::wstring_view name, int& field) {
    if (std::optional<std::wstring> value = ReadSwitchValue(arguments, name)) field = ReadSwitchNumber(*value);
}

}  // namespace

std::wstring_view CommandLineArguments(std::wstring_view commandLine) noexcept {
    if (!commandLine.empty() && commandLine.front() == L'"') {
        const std::size_t close = commandLine.find(L'"', 1);
        return close == std::wstring_view::npos ? std::wstring_view() : commandLine.substr(close + 1);
    }
    const std::size_t blank = commandLine.find_first_of(L" \t");
    return blank == std::wstring_view::npos ? std::wstring_view() : commandLine.substr(blank);
}

bool HasSilentSwitch(std::wstring_view commandLine) noexcept {
    return CommandLineArguments(commandLine).find(kSilentSwitch) != std::wstring_view::npos;
}

std::optional<std::wstring> ReadLogSwitch(std::wstring_view commandLine) {
    // Taken whole, as the folder is: cut, it could name another file.
    const std::optional<std::wstring_view> whole =
        WholeSwitchValue(CommandLineArguments(commandLine.substr(0, commandLine.find(L'\0'))), kLogSwitch);
    if (!whole) return std::nullopt;
    std::wstring value(*whole);
    if (!value.empty()) UnquotePath(value);
    return value;
}

bool IsHelpRequest(std::wstring_view commandLine) noexcept {
    std::wstring_view arguments = CommandLineArguments(commandLine);
    const std::size_t first = arguments.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return false;
    arguments = arguments.substr(first);
    const std::wstring_view argument = arguments.substr(0, arguments.find_first_of(L" \t"));
    for (const std::wstring_view help : kHelpSwitches)
        if (EqualsIgnoringCase(argument, help)) return true;
    return false;
}

std::optional<std::wstring> ReadSwitchValue(std::wstring_view arguments, std::wstring_view switchName) {
    const std::optional<std::wstring_view> value = WholeSwitchValue(arguments, switchName);
    if (!value) return std::nullopt;
    return CutAt(*value, SwitchValueLimit(switchName));
}

void UnquotePath(std::wstring& path) {
    RemoveTrailingBlanks(path);
    if (path.empty()) return;
    if (path.back() == L'"') path.pop_back();
    if (!path.empty() && path.front() == L'"') path.erase(0, 1);
    RemoveTrailingBlanks(path);
}

AssociationSelection AssocSwitchSelection(int value) {
    switch (value) {
        case kAssocImages:
            return ImageRowSelection();
        case kAssocEverything:
            return FullSelection();
        default:
            return {};
    }
}

int ReadSwitchNumber(std::wstring_view text) noexcept {
    std::size_t at = 0;
    while (at < text.size() && IsWhiteSpace(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) negative = text[at++] == L'-';
    // Accumulated as a magnitude that stops growing one past INT_MAX, which
    // is enough to tell both ends of the range apart.
    constexpr long long kCeiling = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        magnitude = magnitude * 10 + (text[at] - L'0');
        if (magnitude > kCeiling) magnitude = kCeiling;
    }
    if (negative) return magnitude >= kCeiling ? INT_MIN : static_cast<int>(-magnitude);
    return magnitude >= kCeiling ? INT_MAX : static_cast<int>(magnitude);
}

InstallOptions ParseSilentCommandLine(std::wstring_view commandLine, const SilentDefaults& defaults) {
    InstallOptions options;
    options.folder = CutAt(defaults.folder, kOptionTextLimit);
    options.iniFolder = CutAt(defaults.iniFolder, kOptionTextLimit);
    options.silent = 1;
    options.caption = kSetupCaption;

    // The switches are read from the whole line, each value within its own
    // limit; a command line ends at its terminator, so a stray NUL ends it.
    const std::wstring_view arguments = CommandLineArguments(commandLine.substr(0, commandLine.find(L'\0')));

    ReadFolderSwitch(arguments, options.folder);
    ReadNumberSwitch(arguments, kDesktopSwitch, options.shortcuts.desktopShortcut);
    ReadNumberSwitch(arguments, kThumbsSwitch, options.shortcuts.thumbnailsShortcut);
    ReadNumberSwitch(arguments, kGroupSwitch, options.shortcuts.startMenuGroup);
    ReadNumberSwitch(arguments, kAllUsersSwitch, options.shortcuts.allUsers);
    int assoc = 0;
    ReadNumberSwitch(arguments, kAssocSwitch, assoc);
    options.selection = AssocSwitchSelection(assoc);
    ReadPathSwitch(arguments, kIniSwitch, options.iniFolder);
    // "/assocallusers" needs no reading: it is accepted and changes nothing.
    return options;
}

}  // namespace pixelmoor
