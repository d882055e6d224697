#include "contract/registered_folder.h"

#include "contract/product.h"
#include "framework/registry_read.h"

namespace pixelmoor {

std::optional<std::wstring> FindExistingInstallFolderFrom(HKEY root, const wchar_t* keyPath) {
    const std::optional<std::wstring> command = ReadRegistryText(root, keyPath, nullptr, kOpenCommandLimit);
    if (!command) return std::nullopt;
    return ExistingInstallFolderFromCommand(*command);
}

std::optional<std::wstring> FindExistingInstallFolder() {
    return FindExistingInstallFolderFrom(HKEY_LOCAL_MACHINE, kOpenCommandKey);
}

}  // namespace pixelmoor
