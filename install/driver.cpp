#include "install/driver.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "archive/embedded_archive.h"
#include "archive/payload_reach.h"
#include "framework/folder_path.h"
#include "framework/resource_strings.h"
#include "framework/run_log.h"
#include "framework/text_rules.h"
#include "install/driver_rules.h"
#include "install/install_log.h"
#include "install/version_probe.h"
#include "install/viewer_settings.h"
#include "integration/registration.h"
#include "resources/resource_ids.h"

namespace pixelmoor {

namespace {

// Reports a failure that ends the installation, the message in a box in
// wizard mode and the log text in the install log in silent mode, and gives
// the driver's failure result.
int Report(const InstallOptions& options, const std::wstring& message, const std::wstring& logText) {
    LogLine({L"Abbruch: ", logText});
    if (options.silent) {
        WriteLogEntry(logText);
    } else {
        ::MessageBoxW(::GetActiveWindow(), message.c_str(), options.caption.c_str(), MB_ICONERROR);
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
    const bool confirmed = ::MessageBoxW(::GetActiveWindow(), question.c_str(), options.caption.c_str(),
                                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
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
    // Refused before anything is created: in a folder too long for the
    // payload the installation would end half done.
    const LoggedStep folderStep{L"Verzeichnis ", *work};
    if (!InstallationFitsFolder(given, LongestPayloadEntry()) || EnsureFolderPath(*work) == 0)
        return Fail(options, res::kStringCannotCreateFolder, *work, FolderPlace::kAfterMessage);
    // Nothing is written through a link inside the tree that the payload
    // fills: whoever could plant it would steer the files anywhere.
    if (LinkedPayloadFolder(*work)) return Fail(options, res::kStringInstallFailed, *work, FolderPlace::kBeforeMessage);
    folderStep.End({L"OK"});

    const LoggedStep unpackStep{L"Entpacken"};
    const int keepIconLibrary = IconLibraryRule(*work);
    // An incomplete unpacking fails as well: a viewer with files missing or
    // cut short must not be registered as installed.
    if (ExtractEmbeddedArchive(*work, keepIconLibrary) != 0)
        return Fail(options, res::kStringInstallFailed, *work, FolderPlace::kBeforeMessage);
    EndUnpacking(unpackStep, keepIconLibrary);

    // The settings and the registration name the very folder the files went to.
    const LoggedStep settingsStep{L"Einstellungen"};
    const std::wstring settings = WriteViewerSettings(*work, options.iniFolder, options.silent);
    settingsStep.End({settings});

    const std::vector<std::wstring> missing =
        RegisterApplication(*work, options.shortcuts, AssociationsToRegister(options, AssociationsConfirmed(options)));

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
    return 1;
}

}  // namespace pixelmoor
