// The decisions of the install driver that need no system: the folder that
// every step uses, what a failure writes to the install log, and which file
// types the registration gets after the confirmation question.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "install/install_options.h"

namespace pixelmoor {

// The working folder of an installation: the normal form of the caller's
// folder (NormaliseInstallFolder), which the files, the settings, the
// shortcuts and the registry all receive, so that they name one folder.
// Blanks only give an empty text, which the folder preparation refuses as a
// folder that cannot be created. Empty optional when the folder is invalid:
// empty, or without a drive or network root (a relative path, "..\x",
// "%ProgramFiles%\x"), which would land below whatever folder is current.
[[nodiscard]] std::optional<std::wstring> WorkingFolder(std::wstring_view folder);

// The longest folder text that an installation takes: the limit of the
// "/folder=" switch's value. A longer text is refused as a whole; cut, it
// would name another folder, a parent of the one meant.
inline constexpr std::size_t kFolderTextLimit = 252;

// Whether the installation fits the folder: the text within kFolderTextLimit,
// and every path that it writes below the working folder (the longest name
// that the unpacking writes, of longestEntry characters: the payload's
// longest entry or a temporary name on the way; or the settings file's
// temporary copy) within the 259 characters of a Windows path. A folder that
// does not fit would be half installed: files missing, a settings record
// that cannot be written, an uninstaller that cannot be started. Folders
// that WorkingFolder refuses are not judged here.
[[nodiscard]] bool InstallationFitsFolder(std::wstring_view folder, std::size_t longestEntry);

// Where the folder stands in the log entry of a failure: after the message
// when the folder itself is at fault, before it when the unpacking failed.
enum class FolderPlace { kAfterMessage, kBeforeMessage };

// The log text of a failure: message and folder joined by ": ".
[[nodiscard]] std::wstring FailureLogText(std::wstring_view message, std::wstring_view folder, FolderPlace place);

// Only the wizard asks before associating, and only when file types were chosen.
[[nodiscard]] bool AsksBeforeAssociating(const InstallOptions& options) noexcept;

// The file types handed to the registration. Declining keeps the user's
// associations: the registration then runs as if no file type were chosen.
[[nodiscard]] AssociationSelection AssociationsToRegister(const InstallOptions& options, bool confirmed);
}  // namespace pixelmoor
