#include "framework/current_directory.h"

#include <windows.h>

namespace pixelmoor {

std::wstring CurrentDirectory() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return {};
    std::wstring folder(size, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(size, folder.data());
    // Changed in between (longer now): taken as unreadable.
    folder.resize(length < size ? length : 0);
    return folder;
}

CurrentDirectoryScope::CurrentDirectoryScope() : saved_(CurrentDirectory()) {}

CurrentDirectoryScope::~CurrentDirectoryScope() {
    if (!saved_.empty()) ::SetCurrentDirectoryW(saved_.c_str());
}

}  // namespace pixelmoor
