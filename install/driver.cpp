#include "install/driver.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_rules.h"
#include "archive/embedded_archive.h"
#include "archive/payload_reach.h"
#include "archive/unpacking_journal.h"
#include "framework/folder_path.h"
#include "framework/resource_strings.h"
#include "framework/run_log.h"
#include "framework/text_rules.h"
#include "install/driver_rules.h"
#include "install/install_folder.h"
#include "contract/install_log.h"
#include "install/installation_view.h"
#include "install/progress_rules.h"
#include "install/version_probe.h"
#include "install/viewer_settings.h"
#include "integration/registration.h"
#include "resources/resource_ids.h"

namespace pixelmoor {

namespace {

// A message box with the installation's caption: the wizard's own when it
// lends one, else owned by the active window.
int ShowBox(const InstallOptions& options, const std::wstring& text, UINT flags) {
    if (options.view != nullptr) return options.view->ShowMessage(text, options.caption, flags);
    return ::MessageBoxW(::GetActiveWindow(), text.c_str(), options.caption.c_str(), flags);
}

void ShowProgress(const InstallOptions& options, int position) noexcept {
    if (options.view != nullptr) options.view->ShowProgress(position);
}

// The unpacking's bytes written, shown as the bar's position whenever that changes.
class UnpackingShown final : public UnpackProgress {
public:
    UnpackingShown(InstallationView& view, std::uint64_t total) noexcept : view_(view), total_(total) {}
    void Written(std::uint64_t bytes) noexcept override {
        written_ += bytes;
        const int position = UnpackingPosition(written_, total_);
        if (position == shown_) return;
        shown_ = position;
        view_.ShowProgress(position);
    }

private:
    InstallationView& view_;
    std::uint64_t total_;
    std::uint64_t written_ = 0;
    int shown_ = 0;
};

// The bytes of file data in the setup's payload, as its directory tells.
std::uint64_t PayloadFileBytes() {
    const std::optional<std::span<const std::byte>> payload = PayloadBytes(::GetModuleHandleW(nullptr));
    if (!payload) return 0;
    return CountArchiveFiles(*payload).value_or(ArchiveTotals{}).bytes;
}

// Reports a failure that ends the installation, the message in a box in
// wizard mode and the log text in the install log in silent mode, and gives
// the driver's failure result.
int Report(const InstallOptions& options, const std::wstring& message, const std::wstring& logText) {
    LogLine({L"Abbruch: ", logText});
    if (options.silent) {
        WriteLogEntry(logText);
    } else {
        ShowBox(options, message, MB_ICONERROR);
    }
    return 0;
}

int Fail(const InstallOptions& options, int messageId, std::wstring_view folder, FolderPlace place) {
    const std::wstring message = LoadMessageText(messageId);
    return Report(options, message, FailureLogText(message, folder, place));
}

// What the registration was asked for and could not write: message 13, an
// empty line, then one line each, alike in the box and the log. The files
// stay installed.
int FailIncomplete(const InstallOptions& options, const std::vector<std::wstring>& missing) {
    std::wstring text = LoadMessageText(res::kStringNotWritten) + L'\n';
    for (const std::wstring& line : missing) text += L'\n' + line;
    return Report(options, text, text);
}

// The question before the user's file associations are changed; true when the
// user agrees or is not asked.
bool AssociationsConfirmed(const InstallOptions& options) {
    if (!AsksBeforeAssociating(options)) return true;
    const std::wstring question = LoadMessageText(res::kStringAssociationQuestion);
    const bool confirmed = ShowBox(options, question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
    LogLine(confirmed ? L"Frage nach den Dateitypen: Ja" : L"Frage nach den Dateitypen: Nein");
    return confirmed;
}

// Ends the unpacking's step with what it put into the folder, as the payload's own directory tells.
void EndUnpacking(const LoggedStep& step, int keepIconLibrary) {
    const std::optional<std::span<const std::byte>> payload = PayloadBytes(::GetModuleHandleW(nullptr));
    const ArchiveTotals totals = payload ? CountArchiveFiles(*payload).value_or(ArchiveTotals{}) : ArchiveTotals{};
    step.End({L"OK, ", DecimalText(static_cast<long long>(totals.files)), L" Dateien, ",
              DecimalText(static_cast<long long>(totals.bytes)), L" Bytes",
              keepIconLibrary ? L", vorhandene Plugins\\Icons.dll behalten" : L""});
}

}  // namespace

int RunInstallation(InstallOptions& options) {
    const std::wstring& given = options.folder;
    LogLine({L"Zielverzeichnis: ", given});
    std::optional<std::wstring> work = WorkingFolder(given);
    if (!work) return Fail(options, res::kStringInvalidFolder, given, FolderPlace::kAfterMessage);
    // What a run killed while unpacking left in the registered installation
    // is put back before anything is written, and so is what it left in the
    // folder that this installation goes to, once that is known to exist
    // (the preparation below makes only what is missing).
    if (const std::optional<std::wstring> registered = FindExistingInstallFolder())
        static_cast<void>(RepairUnfinishedUnpacking(WithTrailingBackslash(*registered)));
    // Refused before anything is created: in a folder too long for the
    // payload the installation would end half done.
    const LoggedStep folderStep{L"Verzeichnis ", *work};
    std::uint32_t createdLevels = 0;
    if (!InstallationFitsFolder(given, LongestUnpackingPath()) || EnsureFolderPath(*work, createdLevels) == 0) {
        RemoveCreatedLevels(*work, createdLevels);
        return Fail(options, res::kStringCannotCreateFolder, *work, FolderPlace::kAfterMessage);
    }
    if (createdLevels == 0) static_cast<void>(RepairUnfinishedUnpacking(*work));
    // Nothing is written through a link inside the tree that the payload
    // fills: whoever could plant it would steer the files anywhere.
    if (LinkedPayloadFolder(*work)) {
        RemoveCreatedLevels(*work, createdLevels);
        return Fail(options, res::kStringInstallFailed, *work, FolderPlace::kBeforeMessage);
    }
    folderStep.End({L"OK"});

    const LoggedStep unpackStep{L"Entpacken"};
    // From here on every change to the folder is recorded first, the
    // Plugins folder that the icon library rule looks into included, so
    // that a failure, or the next run after a kill, puts the folder back as
    // it was: the files replaced are back, the files and folders made gone.
    std::optional<UnpackingJournal> journal = UnpackingJournal::Begin(*work, createdLevels);
    const bool begun = journal && journal->MakeFolder(L"Plugins");
    if (journal && !begun) journal->RollBack();
    if (!begun) return Fail(options, res::kStringInstallFailed, *work, FolderPlace::kBeforeMessage);
    const int keepIconLibrary = IconLibraryRule(*work);
    // An incomplete unpacking fails as well: a viewer with files missing or
    // cut short must not be registered as installed.
    std::optional<UnpackingShown> shown;
    if (options.view != nullptr) shown.emplace(*options.view, PayloadFileBytes());
    if (ExtractEmbeddedArchive(*journal, keepIconLibrary, shown ? &*shown : nullptr) != 0)
        return Fail(options, res::kStringInstallFailed, *work, FolderPlace::kBeforeMessage);
    EndUnpacking(unpackStep, keepIconLibrary);
    ShowProgress(options, kUnpackedPosition);

    // The settings and the registration name the very folder the files went to.
    const LoggedStep settingsStep{L"Einstellungen"};
    const std::wstring settings = WriteViewerSettings(*work, options.iniFolder, options.silent, options.screen);
    settingsStep.End({settings});
    ShowProgress(options, kSettingsWrittenPosition);

    const std::vector<std::wstring> missing =
        RegisterApplication(*work, options.shortcuts, AssociationsToRegister(options, AssociationsConfirmed(options)));
    ShowProgress(options, kRegisteredPosition);

    const LoggedStep conversionStep{L"Einstellungen nach UTF-16"};
    UniqueFile file = OpenForReading(settings);
    const bool readable = static_cast<bool>(file);
    if (readable) ConvertSettingsToUtf16(settings, std::move(file));
    conversionStep.End({readable ? L"OK" : L"Datei nicht lesbar"});
    // A shortcut or a required registration value that was asked for and not
    // written fails the installation: deployment tools and the user must not
    // take it for complete. The files and what was written stay.
    if (!missing.empty()) return FailIncomplete(options, missing);
    LogLine(L"Installation abgeschlossen");
    ShowProgress(options, kProgressEnd);
    return 1;
}

}  // namespace pixelmoor
