#include "uninstaller/uninstaller.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "archive/unpacking_journal.h"
#include "framework/folder_path.h"
#include "contract/product.h"
#include "framework/resource_strings.h"
#include "framework/run_log.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "contract/registered_folder.h"
#include "framework/registry_read.h"
#include "contract/install_log.h"
#include "integration/registration_removal.h"
#include "integration/registry_removal_apply.h"
#include "uninstaller/file_removal.h"
#include "uninstaller/folder_identity.h"
#include "uninstaller/private_copy.h"
#include "uninstaller/shortcut_removal.h"
#include "uninstaller/uninstall_ids.h"

namespace pixelmoor {

namespace {

// The text that says why something stays, by KeptReason.
constexpr int kKeptReasonTexts[] = {res::kStringKeptChanged, res::kStringKeptLink, res::kStringKeptSystemFolder,
                                    res::kStringKeptNotEmpty, res::kStringKeptSettingsUnknown};

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The install folder that the registration names, ending in a backslash.
std::optional<std::wstring> ReadRegisteredFolder() {
    const std::optional<std::wstring> folder =
        RegisteredFolder(ReadRegistryText(HKEY_LOCAL_MACHINE, kUninstallEntryKey, L"InstallLocation", kLongPathLimit),
                         FindExistingInstallFolder());
    if (!folder) return std::nullopt;
    return WithTrailingBackslash(*folder);
}

// Every step of the registration but the uninstall entry, which goes last;
// folder as the registration writes it.
void RemoveRegistration(const std::wstring& folder, std::vector<std::wstring>& left) {
    const std::vector<std::wstring> kept =
        ApplyRegistryRemovals(RegistrationRemovalSteps(folder, UninstallEntry::kLeftOut));
    left.insert(left.end(), kept.begin(), kept.end());
    // Explorer forgets the viewer's file types and icons.
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

// The registration is this installation's when it names this folder under
// whatever name, or a folder without the viewer (moved by hand, or gone):
// kept, it would point at nothing. Another installation's stays.
bool RegistrationIsOurs(const FolderId& install, const std::optional<std::wstring>& registered) {
    return !registered || install.IsSame(*registered) || !Exists(*registered + kViewerExe);
}

void RemoveUninstallEntry(std::vector<std::wstring>& left) {
    const RegistryRemoval entry = UninstallEntryRemoval();
    const std::vector<std::wstring> kept = ApplyRegistryRemovals({&entry, 1});
    left.insert(left.end(), kept.begin(), kept.end());
}

// The uninstaller's own file, when nothing else is left, then the install
// folder; the exit code.
int RemoveOwnFileAndFolder(const std::wstring& folder, const ProtectedFolders& protectedFolders,
                           RemovalOutcome& outcome) {
    int code = kExitSuccess;
    if (outcome.left.empty()) {
        const std::wstring_view own[] = {kUninstallerExe};
        const bool folderMayGo =
            !IsLink(folder) && !protectedFolders.Contains(folder) && !FolderHoldsOthers(folder, own);
        switch (RemoveOwnFile(folder, OwnProgramFolder(), folderMayGo)) {
            case OwnFileRemoval::Gone:
                break;
            case OwnFileRemoval::AtRestart:
                code = kExitRestartRequired;
                break;
            case OwnFileRemoval::Failed:
                outcome.left.push_back(folder + kUninstallerExe);
                break;
        }
    }
    RemoveInstallFolder(folder, protectedFolders, outcome);
    // The settings file that stays is told of separately, and the
    // uninstaller's own file waiting for the restart goes then.
    const std::wstring_view accounted[] = {kUninstallerExe, kSettingsFileName};
    if (outcome.left.empty() && FolderHoldsOthers(folder, accounted)) outcome.Keep(folder, KeptReason::NotEmpty);
    return code;
}

bool SettingsKept(const UninstallOptions& options, const InstalledSettings& settings) {
    const std::vector<std::wstring>& files = settings.places.files;
    return !options.purge && (settings.unknownFolder || std::any_of(files.begin(), files.end(), Exists));
}

std::vector<std::wstring> KeptLines(const std::vector<KeptItem>& kept) {
    std::vector<std::wstring> lines;
    for (const KeptItem& item : kept)
        lines.push_back(item.path + L" (" + LoadMessageText(kKeptReasonTexts[static_cast<int>(item.reason)]) + L")");
    return lines;
}

// What stays and why, for the final message.
std::wstring ReportText(const std::vector<KeptItem>& kept, bool settingsKept) {
    std::wstring report =
        kept.empty() ? std::wstring() : ListText(LoadMessageText(res::kStringKeptHeading), KeptLines(kept));
    if (settingsKept) report += (report.empty() ? L"" : L"\n\n") + LoadMessageText(res::kStringSettingsKept);
    return report;
}

void WriteLog(const UninstallOptions& options, const RemovalOutcome& outcome) {
    const std::wstring log = options.logPath.empty() ? std::wstring(kUninstallLogName) : options.logPath;
    if (!outcome.left.empty()) AppendLogEntry(log, ListText(LoadMessageText(res::kStringLogIncomplete), outcome.left));
    if (!outcome.kept.empty())
        AppendLogEntry(log, ListText(LoadMessageText(res::kStringLogKept), KeptLines(outcome.kept)));
}

// The end of a step in the full log: what of it could not be removed.
void EndStep(const LoggedStep& step, const RemovalOutcome& outcome, std::size_t leftBefore) {
    const std::size_t left = outcome.left.size() - leftBefore;
    if (left == 0) return step.End({L"OK"});
    step.End({DecimalText(static_cast<long long>(left)), L" nicht entfernt"});
}

}  // namespace

int RemoveInstallation(const UninstallOptions& options, std::span<const PayloadEntry> payloadEntries,
                       std::wstring& report) {
    const std::wstring& folder = options.folder;
    if (folder.empty()) return kExitFailed;  // nothing to go by
    LogLine({L"Installationsverzeichnis: ", folder});
    // What a setup killed while unpacking left is put back first. The
    // uninstaller's own file stays as it is: the program that started this
    // copy runs from it, and it goes with the installation anyway.
    const std::wstring_view inUse[] = {kUninstallerExe};
    static_cast<void>(RepairUnfinishedUnpacking(folder, inUse));
    RemovalOutcome outcome;
    const ProtectedFolders protectedFolders;
    const FolderId install(folder);
    // Read before the program folder's settings file may go.
    const InstalledSettings settings = FindSettingsFiles(folder);
    const std::optional<std::wstring> registered = ReadRegisteredFolder();
    bool registrationIsOurs = RegistrationIsOurs(install, registered);
    {
        const LoggedStep step{L"Verkn\u00fcpfungen entfernen"};
        const ComScope com;
        std::vector<FolderId> folders{install};
        if (registered && registrationIsOurs) folders.emplace_back(*registered);
        RemoveShortcuts(folders, outcome.left);
        EndStep(step, outcome, 0);
    }
    const PayloadRemovalPlan plan = PlanPayloadRemoval(payloadEntries);
    std::size_t leftBefore = outcome.left.size();
    const LoggedStep filesStep{L"Dateien entfernen (", DecimalText(static_cast<long long>(plan.files.size())), L")"};
    RemovePayloadFiles(folder, plan.files, outcome);
    EndStep(filesStep, outcome, leftBefore);
    // A name of this folder that could not be told as such: its viewer went with these files.
    registrationIsOurs = registrationIsOurs || RegistrationIsOurs(install, registered);
    leftBefore = outcome.left.size();
    const LoggedStep registrationStep{L"Registrierung entfernen"};
    if (registrationIsOurs) RemoveRegistration(registered.value_or(folder), outcome.left);
    if (registrationIsOurs) {
        EndStep(registrationStep, outcome, leftBefore);
    } else {
        registrationStep.End({L"geh\u00f6rt der Installation in ", registered.value_or(std::wstring()), L", bleibt"});
    }
    leftBefore = outcome.left.size();
    const LoggedStep settingsStep{options.purge ? L"Einstellungen entfernen" : L"Einstellungen bleiben"};
    if (options.purge) {
        RemoveSettingsFiles(settings, protectedFolders, outcome);
    } else {
        RemoveSetupPointer(folder, settings, outcome);
    }
    RemoveEmptySubfolders(folder, plan.folders, protectedFolders, outcome);
    EndStep(settingsStep, outcome, leftBefore);
    // The uninstall entry and the uninstaller go only when nothing else is
    // left, so that the uninstallation can be run again to complete it.
    if (outcome.left.empty() && registrationIsOurs) RemoveUninstallEntry(outcome.left);
    const int code = RemoveOwnFileAndFolder(folder, protectedFolders, outcome);
    for (const std::wstring& left : outcome.left) LogLine({L"Nicht entfernt: ", left});
    for (const std::wstring& kept : KeptLines(outcome.kept)) LogLine({L"Bleibt: ", kept});

    WriteLog(options, outcome);
    report = ReportText(outcome.kept, SettingsKept(options, settings));
    return outcome.left.empty() ? code : kExitFailed;
}

}  // namespace pixelmoor
