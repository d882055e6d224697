// Fuzz target of the open-command parsing that finds an earlier
// installation: a viewer it names is an absolute path ending in
// "\p_moor64.exe" that the command starts, and its folder is a normal form;
// the command that the registration writes is always read back whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "install/install_folder_rules.h"
#include "integration/registration_rules.h"
#include "tests/support/fuzz_input.h"

namespace {

using pixelmoor::fuzz::Require;
using pixelmoor::fuzz::Decode;

using namespace pixelmoor;

constexpr std::wstring_view kViewerName = L"\\p_moor64.exe";

bool EndsWithViewerName(std::wstring_view path) {
    if (path.size() < kViewerName.size()) return false;
    const std::wstring_view tail = path.substr(path.size() - kViewerName.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        wchar_t c = tail[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != kViewerName[i]) return false;
    }
    return true;
}

void CheckCommand(std::wstring_view command) {
    const std::optional<std::wstring> viewer = ViewerPathFromOpenCommand(command);
    const std::optional<std::wstring> folder = ExistingInstallFolderFromCommand(command);
    if (!viewer) {
        Require(!folder);
        return;
    }
    // Absolute, ending in the viewer's name after its root.
    const std::optional<std::size_t> root = AbsoluteRootLength(*viewer);
    Require(root.has_value());
    Require(EndsWithViewerName(*viewer));
    Require(viewer->size() >= *root + kViewerName.size() - 1);
    // It is the program that the command starts: the quoted first token, or
    // the text up to the first blank or tab.
    if (command.starts_with(L'"')) {
        Require(command.substr(1).starts_with(*viewer));
        Require(command.size() > viewer->size() + 1 && command[viewer->size() + 1] == L'"');
        Require(viewer->find(L'"') == std::wstring::npos);
    } else {
        Require(command.starts_with(*viewer));
        Require(viewer->find_first_of(L" \t") == std::wstring::npos);
        Require(command.size() == viewer->size() || command[viewer->size()] == L' ' ||
                command[viewer->size()] == L'\t');
    }
    if (!folder) return;
    // The folder is a normal form, and the viewer lies in it once normalised.
    Require(NormaliseInstallFolder(*folder) == folder);
    Require(NormaliseInstallFolder(viewer->substr(0, viewer->size() - kViewerName.size() + 1)) == folder);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = Decode(data, size);
    CheckCommand(text);

    // Read as a folder: what the registration records for it is read back as
    // that folder's normal form, quoted and with its argument.
    const std::optional<std::wstring> normal = NormaliseInstallFolder(text);
    if (normal && normal->find(L'"') == std::wstring::npos) {
        const RegistrationTexts texts = BuildRegistrationTexts(*normal);
        CheckCommand(texts.openCommand);
        Require(ExistingInstallFolderFromCommand(texts.openCommand) == normal);
    }
    return 0;
}
