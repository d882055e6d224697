#include "install/driver.h"

#include <windows.h>

#include <optional>
#include <string>

#include "archive/embedded_archive.h"
#include "archive/payload_reach.h"
#include "framework/folder_path.h"
#include "framework/resource_strings.h"
#include "install/driver_rules.h"
#include "install/install_log.h"
#include "install/version_probe.h"
#include "install/viewer_settings.h"
#include "integration/registration.h"
#include "resources/resource_ids.h"

namespace pixelmoor {

namespace {

// Reports a failure that ends the installation, in a box in wizard mode and in
// the install log in silent mode, and gives the driver's failure result.
int Fail(const InstallOptions& options, int messageId, std::wstring_view folder, FolderPlace place) {
    const std::wstring message = LoadMessageText(messageId);
    if (options.silent) {
        WriteLogEntry(FailureLogText(message, folder, place));
    } else {
        ::MessageBoxW(::GetActiveWindow(), message.c_str(), options.caption.c_str(), MB_ICONERROR);
    }
    return 0;
}

// The question before the user's file associations are changed; true when the
// user agrees or is not asked.
bool AssociationsConfirmed(const InstallOptions& options) {
    if (!AsksBeforeAssociating(options)) return true;
    const std::wstring question = LoadMessageText(res::kStringAssociationQuestion);
    return ::MessageBoxW(::GetActiveWindow(), question.c_str(), options.caption.c_str(),
                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

}  // namespace

int RunInstallation(InstallOptions& options) {
    const std::wstring& given = options.folder;
    std::optional<std::wstring> work = WorkingFolder(given);
    if (!work) return Fail(options, res::kStringInvalidFolder, given, FolderPlace::kAfterMessage);
    // Refused before anything is created: in a folder too long for the
    // payload the installation would end half done.
    if (!InstallationFitsFolder(given, LongestPayloadEntry()) || EnsureFolderPath(*work) == 0)
        return Fail(options, res::kStringCannotCreateFolder, *work, FolderPlace::kAfterMessage);
    // Nothing is written through a link inside the tree that the payload
    // fills: whoever could plant it would steer the files anywhere.
    if (LinkedPayloadFolder(*work)) return Fail(options, res::kStringInstallFailed, *work, FolderPlace::kBeforeMessage);

    const int keepIconLibrary = IconLibraryRule(*work);
    // An incomplete unpacking fails as well: a viewer with files missing or
    // cut short must not be registered as installed.
    if (ExtractEmbeddedArchive(*work, keepIconLibrary) != 0)
        return Fail(options, res::kStringInstallFailed, *work, FolderPlace::kBeforeMessage);

    // The settings and the registration name the very folder the files went to.
    const std::wstring settings = WriteViewerSettings(*work, options.iniFolder, options.silent);

    RegisterApplication(*work, options.shortcuts, AssociationsToRegister(options, AssociationsConfirmed(options)));

    if (UniqueFile file = OpenForReading(settings)) ConvertSettingsToUtf16(settings, std::move(file));
    return 1;
}

}  // namespace pixelmoor
