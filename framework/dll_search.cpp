#include "framework/dll_search.h"

#include <windows.h>

#include <optional>
#include <string>

#include "framework/system_folders.h"
#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

constexpr DWORD kLoadLibrarySearchSystem32 = 0x800;

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// kernel32 as the process has it loaded; never loads anything. It is looked
// for by its full path in the system directory first. Wine names a kernel32
// that a planted file's name led it to by that file's path, although it runs
// its own, so the full path may miss it; the base name still finds the one
// kernel32 that every process has from its first instruction on.
HMODULE LoadedKernel32() noexcept {
    if (const std::optional<std::wstring> system = SystemFolder()) {
        const std::wstring path = WithTrailingBackslash(*system) + L"kernel32.dll";
        // Not owned: GetModuleHandleW takes no reference on the loaded module.
        if (const HMODULE kernel = ::GetModuleHandleW(path.c_str())) return kernel;
    }
    return ::GetModuleHandleW(L"kernel32.dll");
}

}  // namespace

void HardenDllSearchPath() noexcept {
    const HMODULE kernel = LoadedKernel32();
    if (kernel == nullptr) return;
    const FARPROC found = ::GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (found == nullptr) {
        ::SetDllDirectoryW(L"");
        return;
    }
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(found));
    setDefaultDllDirectories(kLoadLibrarySearchSystem32);
}

}  // namespace pixelmoor
