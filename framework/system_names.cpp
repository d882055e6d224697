#include "framework/system_names.h"

#include <windows.h>

namespace pixelmoor {

bool SystemNamesEqual(std::wstring_view a, std::wstring_view b) noexcept {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

}  // namespace pixelmoor
