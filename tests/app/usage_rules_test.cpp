#include "app/usage_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace pixelmoor {
namespace {

// The usage as the console shows it, byte for byte: callers and
// documentation quote it, so the tables it is made from must give exactly
// this layout.
constexpr wchar_t kConsoleUsage[] =
    L"Pixelmoor 64-bit Setup 4.75\r\n"
    L"\r\n"
    L"Aufruf:\r\n"
    L"  pixelmoor-4.75-setup-x64.exe [/log=<Datei>]          Assistent\r\n"
    L"  pixelmoor-4.75-setup-x64.exe /silent [Schalter]      ohne Fenster\r\n"
    L"  pixelmoor-4.75-setup-x64.exe /? oder /help           diese Hilfe\r\n"
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

// The same usage in a message box: a tab between each term and its
// explanation (also after "/assoc=1 oder 2", whose value has blanks in it),
// each explanation and paragraph on one line.
constexpr wchar_t kBoxUsage[] =
    L"Pixelmoor 64-bit Setup 4.75\n"
    L"\n"
    L"Aufruf:\n"
    L"pixelmoor-4.75-setup-x64.exe [/log=<Datei>]\tAssistent\n"
    L"pixelmoor-4.75-setup-x64.exe /silent [Schalter]\tohne Fenster\n"
    L"pixelmoor-4.75-setup-x64.exe /? oder /help\tdiese Hilfe\n"
    L"\n"
    L"Schalter (ein Wert endet am n\u00e4chsten \"/\"; Anf\u00fchrungszeichen um Pfade werden entfernt):\n"
    L"/folder=<Pfad>\tZielverzeichnis (Vorgabe: das der bisherigen Installation, sonst <Programme>\\Pixelmoor)\n"
    L"/desktop=1\tVerkn\u00fcpfung auf dem Desktop\n"
    L"/thumbs=1\tMiniaturansicht auf dem Desktop und im Ordner-Kontextmen\u00fc\n"
    L"/group=1\tStartmen\u00fcgruppe \"Pixelmoor\"\n"
    L"/allusers=1\tVerkn\u00fcpfungen f\u00fcr alle Benutzer\n"
    L"/assoc=1 oder 2\tBilddateitypen (1) oder alle Dateitypen (2) verkn\u00fcpfen\n"
    L"/ini=<Pfad>\tOrdner der Einstellungsdatei (Vorgabe: %APPDATA%\\Pixelmoor, bei einem Update der bisherige)\n"
    L"/log=<Datei>\tvollst\u00e4ndiges Protokoll in UTF-8; an ein vorhandenes Protokoll angeh\u00e4ngt, fehlende Ordner werden angelegt\n"
    L"\n"
    L"Fehler ohne Fenster stehen in Pixelmoor_Install.log im aktuellen Verzeichnis.\n"
    L"Nach einer Installation in ein anderes Verzeichnis als das bisherige entfernt dessen pm_uninstall.exe /silent die alte Kopie, wenn es das eingetragene ist (h\u00f6chstens 5 Minuten); die Einstellungen bleiben.\n"
    L"\n"
    L"Exit-Codes:\n"
    L"0\tinstalliert (Assistent: nach erfolgreicher Installation beendet)\n"
    L"1602\tAssistent vor einer Installation beendet\n"
    L"1603\tInstallation fehlgeschlagen (Grund im Protokoll)\n"
    L"1618\tabgelehnt: Pixelmoor l\u00e4uft oder eine andere Installation l\u00e4uft\n";

TEST(Usage, ConsoleTextIsLaidOutFromTheSwitchAndExitCodeTables) {
    EXPECT_EQ(UsageConsoleText(L"4.75"), kConsoleUsage);
}

TEST(Usage, BoxTextHasATabAfterEachTermAndOneLinePerExplanation) {
    EXPECT_EQ(UsageBoxText(L"4.75"), kBoxUsage);
}

TEST(Usage, ColumnsAreLaidOutBeforeTheVersionIsPutIn) {
    // As the usage always was: the blanks after a file name do not depend
    // on the version's length.
    const std::wstring text = UsageConsoleText(L"10.100");
    EXPECT_TRUE(text.starts_with(L"Pixelmoor 64-bit Setup 10.100\r\n\r\nAufruf:\r\n"
                                 L"  pixelmoor-10.100-setup-x64.exe [/log=<Datei>]          Assistent\r\n"))
        << text.substr(0, 200);
}

}  // namespace
}  // namespace pixelmoor
