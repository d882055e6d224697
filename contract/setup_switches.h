// The setup's command line as callers may rely on it: its switches and its
// exit codes, each with the explanation that the usage shows. The command
// line is read by app/command_line.cpp, the usage is laid out from these
// tables by app/usage_rules.cpp, and the release's package manifests
// (tools/release/winget_manifests.py) read the switches' names here and the
// codes in exit_codes.h, so each name is a plain literal on one line.
#pragma once

#include <string_view>

#include "contract/exit_codes.h"

namespace pixelmoor {

inline constexpr wchar_t kSilentSwitch[] = L"/silent";
inline constexpr wchar_t kFolderSwitch[] = L"/folder=";
inline constexpr wchar_t kDesktopSwitch[] = L"/desktop=";
inline constexpr wchar_t kThumbsSwitch[] = L"/thumbs=";
inline constexpr wchar_t kGroupSwitch[] = L"/group=";
inline constexpr wchar_t kAllUsersSwitch[] = L"/allusers=";
inline constexpr wchar_t kAssocSwitch[] = L"/assoc=";
inline constexpr wchar_t kIniSwitch[] = L"/ini=";
inline constexpr wchar_t kLogSwitch[] = L"/log=";
inline constexpr std::wstring_view kHelpSwitches[] = {L"/?", L"/help"};

// A switch with a value: its name, the value as the usage shows it, and what
// it does. A line break in the explanation is where the console's usage
// continues on the next line (a message box wraps lines itself).
struct SwitchMeaning {
    std::wstring_view name;
    std::wstring_view value;
    std::wstring_view meaning;
};

// The switches of an unattended installation, in the usage's order.
inline constexpr SwitchMeaning kSwitchMeanings[] = {
    {kFolderSwitch, L"<Pfad>",
     L"Zielverzeichnis (Vorgabe: das der bisherigen Installation,\nsonst <Programme>\\Pixelmoor)"},
    {kDesktopSwitch, L"1", L"Verkn\u00fcpfung auf dem Desktop"},
    {kThumbsSwitch, L"1", L"Miniaturansicht auf dem Desktop und im Ordner-Kontextmen\u00fc"},
    {kGroupSwitch, L"1", L"Startmen\u00fcgruppe \"Pixelmoor\""},
    {kAllUsersSwitch, L"1", L"Verkn\u00fcpfungen f\u00fcr alle Benutzer"},
    {kAssocSwitch, L"1 oder 2", L"Bilddateitypen (1) oder alle Dateitypen (2) verkn\u00fcpfen"},
    {kIniSwitch, L"<Pfad>", L"Ordner der Einstellungsdatei (Vorgabe: %APPDATA%\\Pixelmoor,\nbei einem Update der bisherige)"},
    {kLogSwitch, L"<Datei>",
     L"vollst\u00e4ndiges Protokoll in UTF-8; an ein vorhandenes\nProtokoll angeh\u00e4ngt, fehlende Ordner werden angelegt"},
};

// An exit code of the setup and what it tells its caller.
struct ExitCodeMeaning {
    int code;
    std::wstring_view meaning;
};

// The setup's exit codes, in the usage's order. kExitRestartRequired is the
// uninstaller's only.
inline constexpr ExitCodeMeaning kSetupExitCodes[] = {
    {kExitSuccess, L"installiert (Assistent: nach erfolgreicher Installation beendet)"},
    {kExitUserCancelled, L"Assistent vor einer Installation beendet"},
    {kExitFailed, L"Installation fehlgeschlagen (Grund im Protokoll)"},
    {kExitAlreadyRunning, L"abgelehnt: Pixelmoor l\u00e4uft oder eine andere Installation l\u00e4uft"},
};

}  // namespace pixelmoor
