// The predefined registry key behind each root that the registration
// writes and removes under.
#pragma once

#include <windows.h>

#include "integration/registry_writes.h"

namespace pixelmoor {

inline HKEY RootKey(RegistryRoot root) noexcept {
    switch (root) {
        case RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegistryRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegistryRoot::LocalMachine:
            break;
    }
    return HKEY_LOCAL_MACHINE;
}

}  // namespace pixelmoor
