#include "contract/uninstall_command_line.h"

#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

constexpr std::wstring_view kSilentSwitch = L"/silent";
constexpr std::wstring_view kPurgeSwitch = L"/purge";
constexpr std::wstring_view kWorkerSwitch = L"/worker=";
constexpr std::wstring_view kFolderSwitch = L"/folder=";
constexpr std::wstring_view kFailureLogSwitch = L"/failurelog=";
constexpr std::wstring_view kLogSwitch = L"/log=";

// The uninstaller's texts fold ASCII and the Latin-1 letters (umlauts
// included).
constexpr CaseFolding kFolding = CaseFolding::kLatin1;

std::wstring AsFolder(std::wstring_view text) {
    std::wstring folder(text);
    TrimBlanks(folder);
    if (!folder.empty() && !EndsWithBackslash(folder)) folder += L'\\';
    return folder;
}

// " <switch><value>" quoted, when the value is set.
void AppendValueSwitch(std::wstring& line, std::wstring_view name, std::wstring_view value) {
    if (!value.empty()) line += L' ' + QuoteArgument(std::wstring(name) + std::wstring(value));
}

}  // namespace

UninstallOptions ParseUninstallArguments(std::span<const std::wstring> arguments) {
    UninstallOptions options;
    for (const std::wstring& argument : arguments) {
        if (EqualsIgnoringCase(argument, kSilentSwitch, kFolding)) {
            options.silent = true;
        } else if (EqualsIgnoringCase(argument, kPurgeSwitch, kFolding)) {
            options.purge = true;
        } else if (StartsWithIgnoringCase(argument, kWorkerSwitch, kFolding)) {
            options.workerProof = argument.substr(kWorkerSwitch.size());
        } else if (StartsWithIgnoringCase(argument, kFolderSwitch, kFolding)) {
            options.folder = AsFolder(std::wstring_view(argument).substr(kFolderSwitch.size()));
        } else if (StartsWithIgnoringCase(argument, kFailureLogSwitch, kFolding)) {
            options.logPath = argument.substr(kFailureLogSwitch.size());
        } else if (StartsWithIgnoringCase(argument, kLogSwitch, kFolding)) {
            options.runLogPath = argument.substr(kLogSwitch.size());
        }
    }
    return options;
}

std::wstring QuoteArgument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos)
        return std::wstring(argument);
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only before a quote.
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    quoted += L'"';
    return quoted;
}

std::wstring UninstallCommandLine(std::wstring_view program, const UninstallOptions& options) {
    std::wstring line = QuoteArgument(program);
    AppendValueSwitch(line, kWorkerSwitch, options.workerProof);
    if (options.silent) (line += L' ') += kSilentSwitch;
    if (options.purge) (line += L' ') += kPurgeSwitch;
    AppendValueSwitch(line, kFailureLogSwitch, options.logPath);
    AppendValueSwitch(line, kLogSwitch, options.runLogPath);
    AppendValueSwitch(line, kFolderSwitch, options.folder);
    return line;
}

}  // namespace pixelmoor
