#include "app/usage.h"

#include <windows.h>

#include <string>
#include <string_view>

#include "contract/product.h"
#include "framework/run_log_text.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

namespace {

// Blanks before a line that continues the one before it.
constexpr std::size_t kContinuationIndent = 10;

// {version} stands for the build's version, in the title and the file name.
constexpr std::wstring_view kUsageTemplate =
    L"Pixelmoor 64-bit Setup {version}\r\n"
    L"\r\n"
    L"Aufruf:\r\n"
    L"  pixelmoor-{version}-setup-x64.exe [/log=<Datei>]          Assistent\r\n"
    L"  pixelmoor-{version}-setup-x64.exe /silent [Schalter]      ohne Fenster\r\n"
    L"  pixelmoor-{version}-setup-x64.exe /? oder /help           diese Hilfe\r\n"
    L"\r\n"
    L"Schalter (ein Wert endet am n\u00e4chsten \"/\"; Anf\u00fchrungszeichen um Pfade\r\n"
    L"werden entfernt):\r\n"
    L"  /folder=<Pfad>  Zielverzeichnis (Vorgabe: das der bisherigen Installation,\r\n"
    L"                  sonst <Programme>\\Pixelmoor)\r\n"
    L"  /desktop=1      Verkn\u00fcpfung auf dem Desktop\r\n"
    L"  /thumbs=1       Miniaturansicht auf dem Desktop und im Ordner-Kontextmen\u00fc\r\n"
    L"  /group=1        Startmen\u00fcgruppe \"Pixelmoor\"\r\n"
    L"  /allusers=1     Verkn\u00fcpfungen f\u00fcr alle Benutzer\r\n"
    L"  /assoc=1 oder 2 Bilddateitypen (1) oder alle Dateitypen (2) verkn\u00fcpfen\r\n"
    L"  /ini=<Pfad>     Ordner der Einstellungsdatei (Vorgabe: %APPDATA%\\Pixelmoor,\r\n"
    L"                  bei einem Update der bisherige)\r\n"
    L"  /log=<Datei>    vollst\u00e4ndiges Protokoll in UTF-8; an ein vorhandenes\r\n"
    L"                  Protokoll angeh\u00e4ngt, fehlende Ordner werden angelegt\r\n"
    L"\r\n"
    L"Fehler ohne Fenster stehen in Pixelmoor_Install.log im aktuellen Verzeichnis.\r\n"
    L"Nach einer Installation in ein anderes Verzeichnis als das bisherige entfernt\r\n"
    L"dessen pm_uninstall.exe /silent die alte Kopie, wenn es das eingetragene ist\r\n"
    L"(h\u00f6chstens 5 Minuten); die Einstellungen bleiben.\r\n"
    L"\r\n"
    L"Exit-Codes:\r\n"
    L"  0     installiert (Assistent: nach erfolgreicher Installation beendet)\r\n"
    L"  1602  Assistent vor einer Installation beendet\r\n"
    L"  1603  Installation fehlgeschlagen (Grund im Protokoll)\r\n"
    L"  1618  abgelehnt: Pixelmoor l\u00e4uft oder eine andere Installation l\u00e4uft\r\n";

std::wstring UsageText() {
    constexpr std::wstring_view marker = L"{version}";
    const std::wstring version = VersionText(kVersionMajor, kVersionMinor);
    std::wstring text(kUsageTemplate);
    for (std::size_t at = text.find(marker); at != std::wstring::npos; at = text.find(marker, at + version.size()))
        text.replace(at, marker.size(), version);
    return text;
}

// Handed a console, the text goes to it as it is; handed a file or a pipe, as UTF-8.
bool WriteTo(HANDLE output, std::wstring_view text) {
    if (output == nullptr || output == INVALID_HANDLE_VALUE) return false;
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(output, &mode))
        return ::WriteConsoleW(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) !=
               0;
    const std::string bytes = Utf8Text(text);
    return ::WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0;
}

// The console of the process that started the setup; a program started from
// a window has none.
bool WriteToParentConsole(std::wstring_view text) {
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    const UniqueFile console(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // A line break first: the shell has already written its next prompt.
    DWORD written = 0;
    if (console) ::WriteConsoleW(console.get(), L"\r\n", 2, &written, nullptr);
    const bool shown = console && WriteTo(console.get(), text);
    ::FreeConsole();
    return shown;
}

// The console's columns for a message box, whose font is not of fixed width
// and which wraps lines itself: a line's leading blanks go, a run of blanks
// inside becomes a tab, and a line that continues the one before joins it
// (indented as a continuation, or prose after prose whose sentence goes on).
std::wstring BoxText(std::wstring_view text) {
    std::wstring box;
    bool sentenceGoesOn = false;
    while (!text.empty()) {
        const std::size_t end = text.find(L"\r\n");
        std::wstring_view line = text.substr(0, end);
        text = end == std::wstring_view::npos ? std::wstring_view() : text.substr(end + 2);
        const std::size_t first = line.find_first_not_of(L' ');
        if (first == std::wstring_view::npos) {
            box += L'\n';
            sentenceGoesOn = false;
            continue;
        }
        const bool continues = first >= kContinuationIndent || (first == 0 && sentenceGoesOn);
        if (continues && !box.empty() && box.back() == L'\n') box.back() = L' ';
        sentenceGoesOn = first == 0 && line.back() != L':' && line.back() != L'.';
        line.remove_prefix(first);
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] != L' ' || i + 1 >= line.size() || line[i + 1] != L' ') {
                box += line[i];
                continue;
            }
            box += L'\t';
            while (i + 1 < line.size() && line[i + 1] == L' ') ++i;
        }
        box += L'\n';
    }
    return box;
}

}  // namespace

void ShowUsage() {
    const std::wstring text = UsageText();
    if (WriteTo(::GetStdHandle(STD_OUTPUT_HANDLE), text) || WriteToParentConsole(text)) return;
    ::MessageBoxW(nullptr, BoxText(text).c_str(), kSetupCaption, MB_OK | MB_ICONINFORMATION);
}

}  // namespace pixelmoor
