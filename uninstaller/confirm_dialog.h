// The interactive uninstaller's question: remove Pixelmoor from this folder,
// and the settings files too?
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace pixelmoor {

struct Confirmation {
    bool purge = false;  // the check box: the settings files go too
};

// Shows the confirmation modally for the install folder, the check box set
// as purge says. Empty when the user answered No or closed the dialog.
[[nodiscard]] std::optional<Confirmation> AskToUninstall(HINSTANCE instance, const std::wstring& folder, bool purge);

}  // namespace pixelmoor
