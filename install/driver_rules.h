// The decisions of the install driver that need no system: what a failure
// writes to the install log, and which file types the registration gets after
// the confirmation question.
#pragma once

#include <string>
#include <string_view>

#include "install/install_options.h"

namespace pixelmoor {

// Where the folder stands in the log entry of a failure: after the message
// when the folder itself is at fault, before it when the unpacking failed.
enum class FolderPlace { kAfterMessage, kBeforeMessage };

// The log text of a failure: message and folder joined by ": ".
[[nodiscard]] std::wstring FailureLogText(std::wstring_view message, std::wstring_view folder, FolderPlace place);

// Only the wizard asks before associating, and only when file types were chosen.
[[nodiscard]] bool AsksBeforeAssociating(const InstallOptions& options) noexcept;

struct AssociationRequest {
    int associate = 0;
    AssociationSelection selection{};
};

// The file types handed to the registration. Declining keeps the user's
// associations: the registration then runs as if no file type were chosen.
[[nodiscard]] AssociationRequest AssociationsToRegister(const InstallOptions& options, bool confirmed);

}  // namespace pixelmoor
