#include "archive/current_directory.h"

#include <windows.h>

namespace pixelmoor {

CurrentDirectoryScope::CurrentDirectoryScope() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return;
    saved_.resize(size);
    const DWORD length = ::GetCurrentDirectoryW(size, saved_.data());
    saved_.resize(length < size ? length : 0);
}

CurrentDirectoryScope::~CurrentDirectoryScope() {
    if (!saved_.empty()) ::SetCurrentDirectoryW(saved_.c_str());
}

}  // namespace pixelmoor
