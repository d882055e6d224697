#include "integration/registration.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "archive/payload_files.h"
#include "archive/payload_facts.h"
#include "framework/run_log.h"
#include "framework/text_rules.h"
#include "integration/associations.h"
#include "integration/registration_rules.h"
#include "integration/registry_apply.h"
#include "integration/shortcut_rules.h"
#include "integration/shortcuts.h"

namespace pixelmoor {

namespace {

// The chosen shortcuts: the start-menu group's (its folder made ready) and the desktop's.
std::vector<ShortcutJob> ShortcutJobs(const RegistrationTexts& texts, const ShortcutChoices& shortcuts) {
    std::vector<ShortcutJob> jobs;
    if (shortcuts.startMenuGroup) jobs = StartMenuGroupJobs(texts.folder, shortcuts.allUsers);
    std::vector<ShortcutLink> desktop;
    if (shortcuts.desktopShortcut) desktop.push_back(ViewerDesktopLink(texts.viewer));
    if (shortcuts.thumbnailsShortcut) desktop.push_back(ThumbnailsDesktopLink(texts.viewer));
    if (!desktop.empty())
        for (ShortcutJob& job : DesktopJobs(desktop, shortcuts.allUsers)) jobs.push_back(std::move(job));
    return jobs;
}

std::wstring CountText(std::size_t count) { return DecimalText(static_cast<long long>(count)); }

constexpr wchar_t kShortcutName[] = L"Verkn\u00fcpfung ";

// The required parts of the registration that a write of theirs left
// incomplete, each once, in the order of the writes.
std::vector<RequiredRegistration> MissingParts(const RegistryWrites& writes, const RegistryWriteOutcome& outcome) {
    std::vector<RequiredRegistration> missing;
    for (const std::size_t index : outcome.incomplete) {
        const std::optional<RequiredRegistration> part = RequiredPartOf(writes[index]);
        if (part && std::find(missing.begin(), missing.end(), *part) == missing.end()) missing.push_back(*part);
    }
    return missing;
}

std::size_t ChosenRows(const AssociationSelection& selection) {
    std::size_t rows = 0;
    for (std::size_t row = 0; row < kFormatRowCount; ++row) rows += selection[row] ? 1 : 0;
    return rows;
}

}  // namespace

std::vector<std::wstring> RegisterApplication(std::wstring_view folder, const ShortcutChoices& shortcuts,
                                              const AssociationSelection& selection) {
    RegistrationTexts texts = BuildRegistrationTexts(folder);
    texts.uninstallerSha256 = PayloadUninstallerSha256();
    const bool associate = AssociationRequested(selection);
    // The shortcuts are saved while the registry is written and the shell
    // hears of the new associations; the two touch nothing of each other.
    const LoggedStep shortcutStep{L"Verkn\u00fcpfungen"};
    std::vector<ShortcutJob> jobs = ShortcutJobs(texts, shortcuts);
    std::vector<std::wstring> paths;
    for (const ShortcutJob& job : jobs) paths.push_back(job.folder + job.link.fileName);
    ShortcutWriter writer(std::move(jobs));
    // Every registry write in one list, so that each key is opened once for all of them; the association
    // finish's store-app values are its last writes, its notices follow.
    const LoggedStep registryStep{L"Registrierung"};
    const RegistryWrites writes =
        RegistrationWrites(texts, shortcuts.thumbnailsShortcut != 0, selection, associate && HidesStoreApps(),
                           PayloadInstalledSizeKb());
    const RegistryWriteOutcome outcome = ApplyRegistryWrites(writes);
    registryStep.End(
        {CountText(outcome.written), L" Werte geschrieben, ", CountText(outcome.failed), L" nicht geschrieben"});
    if (associate) NotifyAssociationsChanged();
    if (associate) {
        LogLine({L"Dateitypen: ", CountText(ChosenRows(selection)), L" gew\u00e4hlt, Shell benachrichtigt"});
    } else {
        LogLine(L"Dateitypen: keine gew\u00e4hlt");
    }
    const std::vector<int>& saved = writer.Wait();
    std::vector<std::wstring> missing;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        LogLine({kShortcutName, paths[i], saved[i] ? L": OK" : L": nicht geschrieben"});
        if (!saved[i]) missing.push_back(kShortcutName + paths[i]);
    }
    shortcutStep.End({CountText(paths.size()), L" Verkn\u00fcpfungen"});
    for (const RequiredRegistration part : MissingParts(writes, outcome)) missing.push_back(RequiredPartText(part));
    return missing;
}

}  // namespace pixelmoor
