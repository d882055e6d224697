#include "integration/windows_version.h"

#include <optional>

namespace pixelmoor {

int WindowsGeneration = kGenerationUnknown;

namespace {

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);

}  // namespace

// ntdll is always loaded, so nothing is loaded here.
std::optional<WindowsVersion> TrueWindowsVersion() {
    HMODULE ntdll = ::GetModuleHandleA("ntdll");
    if (!ntdll) return std::nullopt;
    FARPROC address = ::GetProcAddress(ntdll, "RtlGetVersion");
    if (!address) return std::nullopt;
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void*>(address));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    rtlGetVersion(&info);
    return WindowsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, 0};
}

bool IsWindowsVersionAtLeast(WORD major, WORD minor, WORD servicePackMajor) {
    OSVERSIONINFOEXW wanted{};
    wanted.dwOSVersionInfoSize = sizeof(wanted);
    wanted.dwMajorVersion = major;
    wanted.dwMinorVersion = minor;
    wanted.wServicePackMajor = servicePackMajor;
    DWORDLONG conditions = 0;
    conditions = ::VerSetConditionMask(conditions, VER_MAJORVERSION, VER_GREATER_EQUAL);
    conditions = ::VerSetConditionMask(conditions, VER_MINORVERSION, VER_GREATER_EQUAL);
    conditions = ::VerSetConditionMask(conditions, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return ::VerifyVersionInfoW(&wanted, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, conditions) != 0;
}

int GetWindowsGeneration() {
    return ClassifyWindowsGeneration(TrueWindowsVersion(), [](WORD major, WORD minor, WORD servicePackMajor) {
        return IsWindowsVersionAtLeast(major, minor, servicePackMajor);
    });
}

int CurrentWindowsGeneration() {
    if (WindowsGeneration == kGenerationUnknown) WindowsGeneration = GetWindowsGeneration();
    return WindowsGeneration;
}

}  // namespace pixelmoor
