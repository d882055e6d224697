// Stand-in for the Pixelmoor uninstaller that the setup registers and links in
// the start menu. It removes nothing: it says so in a message box, or, started
// with /silent, ends at once without a window.
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <string>

namespace {

constexpr wchar_t kCaption[] = L"Pixelmoor deinstallieren";
constexpr wchar_t kText[] =
    L"Dies ist ein Platzhalter f\u00fcr das Deinstallationsprogramm von Pixelmoor.\n\n"
    L"Es wurde nichts entfernt: Programmdateien, Verkn\u00fcpfungen und Registrierungseintr\u00e4ge bleiben "
    L"erhalten.";

[[nodiscard]] bool HasSilentSwitch(std::wstring commandLine) {
    std::transform(commandLine.begin(), commandLine.end(), commandLine.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return commandLine.find(L"/silent") != std::wstring::npos;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (HasSilentSwitch(::GetCommandLineW())) return 0;
    ::MessageBoxW(nullptr, kText, kCaption, MB_OK | MB_ICONINFORMATION);
    return 0;
}
