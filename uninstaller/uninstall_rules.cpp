#include "uninstaller/uninstall_rules.h"

#include <algorithm>
#include <cstdint>

#include "contract/product.h"
#include "contract/settings_record.h"
#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

// Digits of a handle's value, and the largest value it may have.
constexpr std::size_t kHandleDigitsLimit = 19;
constexpr std::uint64_t kHandleValueLimit = UINTPTR_MAX >> 1;

// Texts of the uninstaller fold ASCII and the Latin-1 letters (umlauts
// included); the system folds more, but install folders with other letters
// compare exactly.
constexpr CaseFolding kFolding = CaseFolding::kLatin1;

// A program's file, as the payload's build tells one: its name ends in ".exe".
bool IsProgramName(std::wstring_view path) {
    constexpr std::wstring_view kProgramSuffix = L".exe";
    return path.size() > kProgramSuffix.size() &&
           EqualsIgnoringCase(path.substr(path.size() - kProgramSuffix.size()), kProgramSuffix);
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

// The last part of a folder that ends in a backslash.
std::wstring_view LastLevel(std::wstring_view folder) {
    folder.remove_suffix(1);
    const std::size_t cut = folder.find_last_of(L'\\');
    return cut == std::wstring_view::npos ? folder : folder.substr(cut + 1);
}

// "X:\..." or "\\server\...".
bool IsAbsolute(std::wstring_view path) {
    if (path.starts_with(L"\\\\")) return true;
    return path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
}

// "X:" of "X:\...", or "\\server\share" of a network path; empty for anything else.
std::wstring_view RootOf(std::wstring_view path) {
    if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);
    if (!path.starts_with(L"\\\\")) return {};
    const std::size_t server = path.find(L'\\', 2);
    const std::size_t share = server == std::wstring_view::npos ? server : path.find(L'\\', server + 1);
    return path.substr(0, share);
}

std::wstring AsFolder(std::wstring_view text) {
    std::wstring folder(text);
    TrimBlanks(folder);
    if (!folder.empty() && !EndsWithBackslash(folder)) folder += L'\\';
    return folder;
}

}  // namespace

std::wstring WorkerProofText(const WorkerProof& proof) {
    return DecimalText(static_cast<long long>(proof.channel)) + L':' + proof.token;
}

std::optional<WorkerProof> ParseWorkerProof(std::wstring_view text) {
    const std::size_t colon = text.find(L':');
    if (colon == std::wstring_view::npos || colon == 0 || colon > kHandleDigitsLimit) return std::nullopt;
    std::uint64_t value = 0;  // 19 digits cannot overflow it
    for (const wchar_t c : text.substr(0, colon)) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    // A handle is a multiple of four and never 0.
    if (value == 0 || value % 4 != 0 || value > kHandleValueLimit) return std::nullopt;
    WorkerProof proof;
    proof.channel = static_cast<std::uintptr_t>(value);
    proof.token = text.substr(colon + 1);
    if (proof.token.size() != kWorkerTokenDigits || !std::all_of(proof.token.begin(), proof.token.end(), [](wchar_t c) {
            return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f');
        }))
        return std::nullopt;
    return proof;
}

PayloadRemovalPlan PlanPayloadRemoval(std::span<const PayloadEntry> entries) {
    PayloadRemovalPlan plan;
    for (const PayloadEntry& entry : entries) {
        const std::wstring path = WithBackslashes(entry.name);
        if (EndsWithBackslash(path)) {
            AddFolderAndParents(plan.folders, std::wstring_view(path).substr(0, path.size() - 1));
            continue;
        }
        const std::size_t cut = path.find_last_of(L'\\');
        if (cut != std::wstring::npos) AddFolderAndParents(plan.folders, std::wstring_view(path).substr(0, cut));
        // The running uninstaller is removed last, and only when everything else went.
        if (entry.crc && !EqualsIgnoringCase(path, kUninstallerExe, kFolding)) {
            plan.files.push_back({path, *entry.crc});
            if (IsProgramName(path)) plan.programs.push_back(path);
        }
    }
    // A folder can only go after the folders inside it.
    std::stable_sort(plan.folders.begin(), plan.folders.end(),
                     [](const std::wstring& a, const std::wstring& b) { return Depth(a) > Depth(b); });
    return plan;
}

bool IsInsideFolder(std::wstring_view path, std::wstring_view folder) {
    if (folder.empty() || !EndsWithBackslash(folder) || path.size() <= folder.size() ||
        !StartsWithIgnoringCase(path, folder, kFolding))
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

bool IsSameFolder(std::wstring_view a, std::wstring_view b) {
    return EqualsIgnoringCase(AsFolder(a), AsFolder(b), kFolding);
}

std::optional<std::wstring> RegisteredFolder(const std::optional<std::wstring>& installLocation,
                                             const std::optional<std::wstring>& commandFolder) {
    if (installLocation && !AsFolder(*installLocation).empty()) return installLocation;
    return commandFolder;
}

std::optional<std::wstring> ExpandRecordedFolder(
    std::wstring_view recorded, std::wstring_view installFolder,
    const std::function<std::optional<std::wstring>(std::wstring_view)>& lookup) {
    bool unknown = false;
    // The setup's own expansion, told of the names it could not use.
    std::wstring folder = ExpandIniFolder(recorded, [&](std::wstring_view name) {
        std::optional<std::wstring> value = lookup(name);
        if (!value || value->size() > kVariableValueLimit) unknown = true;
        return value;
    });
    if (unknown) return std::nullopt;
    if (folder.empty() || IsAbsolute(folder)) return folder;
    if (folder.front() != L'\\') return std::nullopt;
    return std::wstring(RootOf(installFolder)) + folder;
}

SettingsPlaces SettingsToPurge(std::wstring_view installFolder, std::wstring_view expandedIniFolder) {
    SettingsPlaces places;
    const std::wstring program = AsFolder(installFolder);
    places.files = {program + kSettingsFileName, program + kSettingsTempFileName};
    const std::wstring settings = AsFolder(expandedIniFolder);
    if (settings.empty() || IsSameFolder(settings, program)) return places;
    places.files.push_back(settings + kSettingsFileName);
    places.files.push_back(settings + kSettingsTempFileName);
    if (EqualsIgnoringCase(LastLevel(settings), kProductName, kFolding)) places.folder = settings;
    return places;
}

void RemovalOutcome::Keep(std::wstring path, KeptReason reason) {
    const auto same = [&path](const KeptItem& item) { return item.path == path; };
    if (std::none_of(kept.begin(), kept.end(), same)) kept.push_back({std::move(path), reason});
}

std::wstring ListText(std::wstring_view introduction, std::span<const std::wstring> lines) {
    std::wstring text(introduction);
    for (const std::wstring& line : lines) (text += L'\n') += line;
    return text;
}

int LauncherExitCode(std::uint32_t workerCode) noexcept {
    switch (workerCode) {
        case kExitSuccess:
        case kExitFailed:
        case kExitRestartRequired:
            return static_cast<int>(workerCode);
        default:
            return kExitFailed;
    }
}

}  // namespace pixelmoor
