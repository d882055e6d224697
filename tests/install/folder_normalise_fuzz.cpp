// Fuzz target of the install folder's normal form: whatever the input, a
// normal form is absolute, has no level that Windows would read differently,
// is its own normal form, agrees with the folder preparation's level walk,
// and grows by exactly one level when a plain level is appended.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "framework/folder_rules.h"
#include "install/driver_rules.h"
#include "install/install_folder_rules.h"
#include "tests/support/fuzz_input.h"

namespace {

using pixelmoor::fuzz::Require;
using pixelmoor::fuzz::Decode;

using namespace pixelmoor;

// Every level after the root: not empty, not "." or "..", no blank or dot
// at its end, no slash.
void CheckLevels(const std::wstring& normal) {
    const std::optional<std::size_t> root = AbsoluteRootLength(normal);
    Require(root.has_value());
    Require(normal.back() == L'\\');
    Require(normal.find(L'/') == std::wstring::npos && normal.find(L'\0') == std::wstring::npos);
    std::size_t start = *root + (normal[0] == L'\\' ? 1 : 0);
    if (normal[0] == L'\\') {
        // The server and the share end without blanks or dots as well.
        Require(normal[*root - 1] != L' ' && normal[*root - 1] != L'.');
        const std::size_t serverEnd = normal.find(L'\\', 2);
        Require(normal[serverEnd - 1] != L' ' && normal[serverEnd - 1] != L'.');
    }
    while (start < normal.size()) {
        const std::size_t end = normal.find(L'\\', start);
        Require(end != std::wstring::npos && end > start);
        const std::wstring level = normal.substr(start, end - start);
        Require(level.back() != L' ' && level.back() != L'.');
        start = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring folder = Decode(data, size);
    const std::optional<std::wstring> normal = NormaliseInstallFolder(folder);

    // The driver's working folder is the normal form, or empty for blanks only.
    const std::optional<std::wstring> work = WorkingFolder(folder);
    if (!folder.empty() && folder.find_first_not_of(L' ') == std::wstring::npos) {
        Require(work == std::wstring());
    } else {
        Require(work == normal);
    }
    if (!normal) return 0;

    CheckLevels(*normal);
    // A fixed point: normalising again changes nothing.
    Require(NormaliseInstallFolder(*normal) == normal);
    // Never longer than the input with one backslash added.
    Require(normal->size() <= folder.size() + 1);
    // The folder preparation's walk rebuilds exactly this text, so the
    // folders it creates are the ones every later step names.
    if (normal->size() <= kBackslashLimit + 1) {
        std::wstring prepared = *normal;
        Require(PrepareFolderText(prepared));
        Require(prepared == *normal);
        Require(PlanFolderLevels(prepared).path == *normal);
    }
    // A plain level appended (as the Plugins folder is) is one level deeper.
    Require(NormaliseInstallFolder(*normal + L"Plugins") == *normal + L"Plugins\\");
    // An open command that names this folder is read back as this folder.
    if (normal->find(L'"') == std::wstring::npos)
        Require(ExistingInstallFolderFromCommand(L"\"" + *normal + L"p_moor64.exe\" \"%1\"") == normal);
    return 0;
}
