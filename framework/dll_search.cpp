#include "framework/dll_search.h"

#include <windows.h>

#include <string>

namespace pixelmoor {

namespace {

// Characters of the system directory (a buffer of 260 characters).
constexpr UINT kSystemDirectoryBuffer = 260;
constexpr DWORD kLoadLibrarySearchSystem32 = 0x800;

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

}  // namespace

void HardenDllSearchPath() noexcept {
    std::wstring path(kSystemDirectoryBuffer, L'\0');
    const UINT length = ::GetSystemDirectoryW(path.data(), kSystemDirectoryBuffer);
    if (length == 0 || length >= kSystemDirectoryBuffer) return;
    path.resize(length);
    if (path.back() != L'\\') path += L'\\';
    path += L"kernel32.dll";
    // Not owned: GetModuleHandleW takes no reference on the loaded module.
    const HMODULE kernel = ::GetModuleHandleW(path.c_str());
    if (kernel == nullptr) return;
    const FARPROC found = ::GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (found == nullptr) return;
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(found));
    setDefaultDllDirectories(kLoadLibrarySearchSystem32);
}

}  // namespace pixelmoor
