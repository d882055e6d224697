#include "payload/uninstaller/uninstall_rules.h"

#include <algorithm>

#include "framework/product.h"
#include "framework/text_rules.h"
#include "install/settings_rules.h"

namespace pixelmoor {

namespace {

constexpr std::wstring_view kSilentSwitch = L"/silent";
constexpr std::wstring_view kPurgeSwitch = L"/purge";
constexpr std::wstring_view kWorkerSwitch = L"/worker";
constexpr std::wstring_view kFolderSwitch = L"/folder=";
constexpr std::wstring_view kLogSwitch = L"/log=";

// Upper case for ASCII and the Latin-1 letters (umlauts included); the
// system folds more, but install folders with other letters compare exactly.
wchar_t FoldCase(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
    return c;
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return FoldCase(x) == FoldCase(y); });
}

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view start) {
    return text.size() >= start.size() && EqualsIgnoringCase(text.substr(0, start.size()), start);
}

std::wstring WithBackslashes(std::wstring_view entry) {
    std::wstring path(entry);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::size_t Depth(std::wstring_view path) {
    return static_cast<std::size_t>(std::count(path.begin(), path.end(), L'\\'));
}

void AddFolderAndParents(std::vector<std::wstring>& folders, std::wstring_view folder) {
    while (!folder.empty()) {
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.emplace_back(folder);
        const std::size_t cut = folder.find_last_of(L'\\');
        folder = cut == std::wstring_view::npos ? std::wstring_view() : folder.substr(0, cut);
    }
}

std::wstring AsFolder(std::wstring_view text) {
    std::wstring folder(text);
    TrimBlanks(folder);
    if (!folder.empty() && !EndsWithBackslash(folder)) folder += L'\\';
    return folder;
}

}  // namespace

UninstallOptions ParseUninstallArguments(std::span<const std::wstring> arguments) {
    UninstallOptions options;
    for (const std::wstring& argument : arguments) {
        if (EqualsIgnoringCase(argument, kSilentSwitch)) {
            options.silent = true;
        } else if (EqualsIgnoringCase(argument, kPurgeSwitch)) {
            options.purge = true;
        } else if (EqualsIgnoringCase(argument, kWorkerSwitch)) {
            options.worker = true;
        } else if (StartsWithIgnoringCase(argument, kFolderSwitch)) {
            options.folder = AsFolder(std::wstring_view(argument).substr(kFolderSwitch.size()));
        } else if (StartsWithIgnoringCase(argument, kLogSwitch)) {
            options.logPath = argument.substr(kLogSwitch.size());
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

std::wstring WorkerCommandLine(std::wstring_view copyPath, const UninstallOptions& options) {
    std::wstring line = QuoteArgument(copyPath);
    line += L' ';
    line += kWorkerSwitch;
    if (options.silent) (line += L' ') += kSilentSwitch;
    if (options.purge) (line += L' ') += kPurgeSwitch;
    line += L' ' + QuoteArgument(std::wstring(kLogSwitch) + options.logPath);
    line += L' ' + QuoteArgument(std::wstring(kFolderSwitch) + options.folder);
    return line;
}

PayloadRemovalPlan PlanPayloadRemoval(std::span<const std::wstring_view> entries) {
    PayloadRemovalPlan plan;
    for (const std::wstring_view entry : entries) {
        const std::wstring path = WithBackslashes(entry);
        if (EndsWithBackslash(path)) {
            AddFolderAndParents(plan.folders, std::wstring_view(path).substr(0, path.size() - 1));
            continue;
        }
        const std::size_t cut = path.find_last_of(L'\\');
        if (cut != std::wstring::npos) AddFolderAndParents(plan.folders, std::wstring_view(path).substr(0, cut));
        // The running uninstaller is removed last, and only when everything else went.
        if (!EqualsIgnoringCase(path, kUninstallerExe)) plan.files.push_back(path);
    }
    // A folder can only go after the folders inside it.
    std::stable_sort(plan.folders.begin(), plan.folders.end(),
                     [](const std::wstring& a, const std::wstring& b) { return Depth(a) > Depth(b); });
    return plan;
}

bool IsInsideFolder(std::wstring_view path, std::wstring_view folder) {
    if (folder.empty() || !EndsWithBackslash(folder) || path.size() <= folder.size() ||
        !StartsWithIgnoringCase(path, folder))
        return false;
    std::wstring_view rest = path.substr(folder.size());
    while (!rest.empty()) {
        const std::size_t cut = rest.find(L'\\');
        const std::wstring_view part = rest.substr(0, cut);
        if (part == L"." || part == L"..") return false;
        if (cut == std::wstring_view::npos) break;
        rest = rest.substr(cut + 1);
    }
    return true;
}

bool IsSameFolder(std::wstring_view a, std::wstring_view b) { return EqualsIgnoringCase(AsFolder(a), AsFolder(b)); }

bool RegistrationIsOurs(const std::optional<std::wstring>& installLocation,
                        const std::optional<std::wstring>& commandFolder, std::wstring_view folder) {
    if (installLocation) return IsSameFolder(*installLocation, folder);
    return !commandFolder || IsSameFolder(*commandFolder, folder);
}

SettingsPlaces SettingsToPurge(std::wstring_view installFolder, std::wstring_view expandedIniFolder) {
    SettingsPlaces places;
    const std::wstring program = AsFolder(installFolder);
    places.files = {program + kSettingsFileName, program + kSettingsTempFileName};
    const std::wstring settings = AsFolder(expandedIniFolder);
    if (settings.empty() || IsSameFolder(settings, program)) return places;
    places.files.push_back(settings + kSettingsFileName);
    places.files.push_back(settings + kSettingsTempFileName);
    places.folder = settings;
    return places;
}

std::wstring IncompleteRemovalText(std::wstring_view introduction, std::span<const std::wstring> leftovers) {
    std::wstring text(introduction);
    for (const std::wstring& leftover : leftovers) (text += L'\n') += leftover;
    return text;
}

int LauncherExitCode(std::uint32_t workerCode) noexcept {
    switch (workerCode) {
        case kExitRemoved:
        case kExitIncomplete:
        case kExitRestartCompletes:
            return static_cast<int>(workerCode);
        default:
            return kExitIncomplete;
    }
}

}  // namespace pixelmoor
