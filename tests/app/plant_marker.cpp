// A DLL that stands in for one planted beside the setup: when any process
// loads it, it leaves "<its own path>.marker" beside itself and refuses to
// load. Built without the C runtime so that it imports kernel32 only and can
// take the name of any DLL, the C runtime's included.
#include <windows.h>

#include "framework/unique_handle.h"

namespace {

// Characters of the DLL's path, and of the marker's name after it.
constexpr DWORD kPathLimit = 1024;
constexpr wchar_t kMarkerSuffix[] = L".marker";
constexpr DWORD kSuffixLength = sizeof(kMarkerSuffix) / sizeof(wchar_t) - 1;

void LeaveMarker(HINSTANCE self) noexcept {
    wchar_t path[kPathLimit + kSuffixLength + 1];
    const DWORD length = ::GetModuleFileNameW(self, path, kPathLimit);
    if (length == 0 || length >= kPathLimit) return;
    ::lstrcpynW(path + length, kMarkerSuffix, static_cast<int>(kSuffixLength + 1));
    const pixelmoor::UniqueFile marker(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    LeaveMarker(self);
    return FALSE;
}
