// A plug-in or language library of the stand-in payload. It is small but real:
// the viewer can load it, ask for its interface version and read its
// description (string 1 of its own string table), and its version record and
// resource data are what the setup and its tests look at.
#include <windows.h>

namespace {

constexpr int kDescriptionId = 1;
constexpr int kInterfaceVersion = 1;

HMODULE g_module = nullptr;

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

// The plug-in interface that this library implements.
extern "C" __declspec(dllexport) int WINAPI PlugInInterfaceVersion() { return kInterfaceVersion; }

// Copies the library's description into the caller's buffer of `capacity`
// characters (always ended) and returns its length, 0 when there is none.
extern "C" __declspec(dllexport) int WINAPI PlugInDescription(wchar_t* buffer, int capacity) {
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = L'\0';
    return ::LoadStringW(g_module, kDescriptionId, buffer, capacity);
}
