// The wizard's five page templates, read back from the built setup as
// Windows finds them, compared control by control with the pages' tables:
// id, kind, the style bits that matter, text (umlauts included) and
// rectangle, and the page's own size, style and font.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "resources/wizard_ids.h"
#include "tests/resources/dialog_template.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor::test {
namespace {

// The kind of a control: its class and the style bits that must be set
// (value) among those looked at (mask). Every kind but the status text and
// the progress bar is visible.
struct Kind {
    const wchar_t* className;
    DWORD mask;
    DWORD value;
};

constexpr DWORD kShown = WS_VISIBLE;
const Kind kText{L"Static", SS_TYPEMASK | SS_CENTERIMAGE | kShown, SS_LEFT | kShown};
const Kind kPicture{L"Static", SS_TYPEMASK | kShown, SS_BITMAP | kShown};
const Kind kStatus{L"Static", SS_TYPEMASK | SS_CENTERIMAGE | kShown, SS_CENTER | SS_CENTERIMAGE};
const Kind kProgressBar{L"msctls_progress32", PBS_VERTICAL | kShown, 0};
const Kind kGroupBox{L"Button", BS_TYPEMASK | kShown, BS_GROUPBOX | kShown};
const Kind kCheckBox{L"Button", BS_TYPEMASK | WS_TABSTOP | kShown, BS_AUTOCHECKBOX | WS_TABSTOP | kShown};
const Kind kCheckBoxTwoLines{L"Button", BS_TYPEMASK | BS_MULTILINE | WS_TABSTOP | kShown,
                             BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP | kShown};
const Kind kFirstRadio{L"Button", BS_TYPEMASK | WS_GROUP | WS_TABSTOP | kShown,
                       BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP | kShown};
const Kind kFirstRadioTwoLines{L"Button", BS_TYPEMASK | BS_MULTILINE | WS_GROUP | WS_TABSTOP | kShown,
                               BS_AUTORADIOBUTTON | BS_MULTILINE | WS_GROUP | WS_TABSTOP | kShown};
const Kind kRadio{L"Button", BS_TYPEMASK | WS_GROUP | kShown, BS_AUTORADIOBUTTON | kShown};
const Kind kButton{L"Button", BS_TYPEMASK | WS_TABSTOP | kShown, BS_PUSHBUTTON | WS_TABSTOP | kShown};
const Kind kFolderEdit{L"Edit", ES_MULTILINE | ES_AUTOHSCROLL | ES_READONLY | WS_BORDER | WS_TABSTOP | kShown,
                       ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | kShown};
constexpr DWORD kNotesStyle =
    ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_BORDER | kShown;
const Kind kNotesEdit{L"Edit", kNotesStyle, kNotesStyle};
constexpr DWORD kListStyle = LVS_REPORT | LVS_SINGLESEL | LVS_AUTOARRANGE | LVS_NOSORTHEADER | WS_BORDER |
                             WS_TABSTOP | kShown;
const Kind kList{L"SysListView32", LVS_TYPEMASK | kListStyle, kListStyle};

struct Control {
    int id;  // -1: no id of its own
    const Kind* kind;
    const wchar_t* text;  // a picture names its bitmap as "#113"
    int x, y, cx, cy;
};

const Control kWelcome[] = {
    {-1, &kPicture, L"#113", 9, 7, 59, 19},
    {1013, &kText, L"Willkommen zur Pixelmoor %s Installation!", 71, 10, 228, 32},
    {1056, &kText,
     L"Dieses Programm wird Pixelmoor Version  %s  (%s bit) auf Ihrem PC installieren.\n"
     L"(Bitte mit Admin-Rechten ausf\u00fchren)",
     9, 48, 287, 21},
    {-1, &kGroupBox, L"Verkn\u00fcpfungen erzeugen:", 9, 72, 281, 79},
    {1011, &kCheckBox, L"Pixelmoor-Verkn\u00fcpfung auf dem &Desktop", 17, 86, 182, 9},
    {1021, &kCheckBox, L"Thu&mbnails-Verkn\u00fcpfung auf dem &Desktop", 17, 98, 192, 9},
    {1012, &kCheckBox, L"Pixelmoor-Verkn\u00fcpfung im Start-Men\u00fc -> &Programme", 17, 110, 199, 9},
    {1019, &kButton, L"&Keine", 234, 95, 50, 15},
    {1016, &kFirstRadio, L"Nur f\u00fcr den aktuellen &Benutzer", 17, 125, 134, 9},
    {1017, &kRadio, L"F\u00fcr &alle Benutzer", 17, 136, 139, 9},
    {-1, &kGroupBox, L"Zielverzeichnis:", 9, 165, 281, 33},
    {1000, &kFolderEdit, L"", 17, 177, 212, 12},
    {1009, &kButton, L"D&urchsuchen", 234, 176, 50, 15},
    {1045, &kText, L"Pixelmoor EULA", 9, 207, 54, 10},
    // room for the link, which fits itself to its text
    {-1, &kText, L"(End User License Agreement) lesen.", 66, 207, 157, 10},
};

const Control kWhatsNew[] = {
    {-1, &kText, L"Was ist neu in dieser Version?", 0, 0, 113, 9},
    {1000, &kNotesEdit, L"", 0, 11, 299, 211},
};

const Control kAssociations[] = {
    {-1, &kGroupBox, L"M\u00f6chten Sie Dateien mit Pixelmoor verkn\u00fcpfen? (OPTIONAL !)", 0, 0, 299, 204},
    {-1, &kText, L"INFO: in Win10/11 muss man verwenden: System-Einstellungen, Apps, Standard-Apps !", 7, 13, 289,
     8},
    // room for a second line, should the text not fit into one
    {3311, &kCheckBoxTwoLines,
     L"Schreibe Verkn\u00fcpfungen in System-&Registry (f\u00fcr XP, Win7, Win8; NICHT f\u00fcr Win10/11)", 7, 22,
     290, 16},
    {1579, &kList, L"", 7, 39, 285, 143},
    {-1, &kText,
     L"INFO: wenn Sie ein Update durchf\u00fchren, k\u00f6nnen Sie diesen Schritt \u00fcberspringen", 7, 188, 285,
     8},
    {-1, &kText, L"* - PlugIns", 0, 209, 40, 10},
    {1091, &kButton, L"Nur Bilder", 45, 207, 56, 15},
    {1080, &kButton, L"Alle markieren", 106, 207, 56, 15},
    {1081, &kButton, L"Keine markieren", 167, 207, 56, 15},
    {1037, &kCheckBox, L"F\u00fcr alle User (XP)", 231, 209, 68, 10},
};

const Control kReady[] = {
    {1014, &kText, L"Bereit zum Installieren!", 9, 11, 179, 11},
    {-1, &kPicture, L"#113", 227, 8, 59, 19},
    {1010, &kText, L"Zielverzeichnis:", 9, 53, 260, 10},
    {-1, &kGroupBox, L"INI-Verzeichnis \u00e4ndern (optional):", 9, 83, 281, 45},
    // two lines: the text is wider than its group box
    {1038, &kFirstRadioTwoLines,
     L"&Pixelmoor-Verzeichnis (f\u00fcr Fortgeschrittene: ben\u00f6tigt Admin-Rechte f\u00fcrs Schreiben)", 17, 95,
     270, 18},
    {1039, &kRadio, L"\"&Anwendungsdaten\"-Verzeichnis (empfohlen)", 17, 115, 266, 10},
    {1044, &kStatus, L"Installiere ... bitte warten ...", 19, 161, 260, 15},
    // hidden, shown with the status text while installing: between it and the last line
    {1046, &kProgressBar, L"", 19, 177, 260, 8},
    {-1, &kText, L"Dr\u00fccken Sie den \"Weiter\" Knopf um die Installation zu starten ...", 9, 189, 235, 12},
};

const Control kFinish[] = {
    {1015, &kText, L"Einrichtung abgeschlossen!", 5, 11, 186, 18},
    {-1, &kPicture, L"#113", 235, 8, 59, 19},
    {-1, &kText, L"Die Installation dieses Programms auf Ihrem Computer ist abgeschlossen.", 5, 35, 270, 8},
    {-1, &kText, L"Anschlie\u00dfend ...", 5, 136, 265, 9},
    {1022, &kCheckBox, L"Pixelmoor &FAQs (H\u00e4ufig gestellte Fragen) Webseite anzeigen", 5, 151, 265, 10},
    {1020, &kCheckBox, L"Pixelmoor &starten", 5, 165, 265, 10},
    {-1, &kText, L"________________________________________________________________________", 5, 176, 288, 8},
    {-1, &kText,
     L"Pixelmoor deinstallieren?\n\nGehen Sie zu \"Start->Programme->Pixelmoor\" und starten Sie "
     L"\"Pixelmoor deinstallieren\".",
     5, 187, 265, 35},  // four lines: the last sentence wraps
};

struct Page {
    int templateId;
    std::span<const Control> controls;
};

const Page kPages[] = {
    {IDD_WELCOME, kWelcome},    {IDD_WHATS_NEW, kWhatsNew}, {IDD_ASSOCIATIONS, kAssociations},
    {IDD_READY, kReady},        {IDD_FINISH, kFinish},
};

std::optional<std::span<const unsigned char>> ResourceBytes(HMODULE module, int id) {
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    if (!found) return std::nullopt;
    const HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return std::span(static_cast<const unsigned char*>(data), ::SizeofResource(module, found));
}

bool SameClass(const std::wstring& a, const wchar_t* b) { return ::lstrcmpiW(a.c_str(), b) == 0; }

void ExpectPage(const DialogTemplate& dialog, const Page& page) {
    const std::string where = "template " + std::to_string(page.templateId);
    // a child dialog of 300 x 222 dialog units in 8-point Microsoft Sans Serif
    EXPECT_TRUE(dialog.extended) << where;
    EXPECT_EQ(dialog.style & (WS_CHILD | WS_POPUP | WS_VISIBLE | DS_SETFONT), DWORD{WS_CHILD | DS_SETFONT}) << where;
    EXPECT_EQ(dialog.cx, 300) << where;
    EXPECT_EQ(dialog.cy, 222) << where;
    EXPECT_EQ(dialog.title, L"") << where;
    EXPECT_EQ(dialog.pointSize, 8) << where;
    EXPECT_EQ(dialog.face, L"Microsoft Sans Serif") << where;

    // every control of the table, in this order (also the tab order), and no other
    ASSERT_EQ(dialog.items.size(), page.controls.size()) << where;
    for (std::size_t i = 0; i < page.controls.size(); ++i) {
        const Control& want = page.controls[i];
        const DialogItem& got = dialog.items[i];
        const std::string at = where + " control " + std::to_string(i) + " (" + std::to_string(want.id) + ")";
        EXPECT_EQ(got.id, static_cast<std::uint32_t>(want.id)) << at;
        EXPECT_TRUE(SameClass(got.className, want.kind->className)) << at << ": " << Narrow(got.className);
        EXPECT_EQ(got.style & want.kind->mask, want.kind->value) << at << std::hex << " style " << got.style;
        EXPECT_EQ(got.text, want.text) << at;
        EXPECT_EQ(got.x, want.x) << at;
        EXPECT_EQ(got.y, want.y) << at;
        EXPECT_EQ(got.cx, want.cx) << at;
        EXPECT_EQ(got.cy, want.cy) << at;
    }
}

TEST(DialogTemplates, PagesOfTheBuiltSetupMatchTheirTables) {
    const UniqueModule setup(::LoadLibraryExW(SetupExePath().c_str(), nullptr,
                                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(setup) << "cannot load " << Narrow(SetupExePath());
    for (const Page& page : kPages) {
        const auto bytes = ResourceBytes(setup.get(), page.templateId);
        ASSERT_TRUE(bytes) << "no dialog " << page.templateId;
        const std::optional<DialogTemplate> dialog = ParseDialogTemplate(*bytes);
        ASSERT_TRUE(dialog) << "dialog " << page.templateId << " ends early";
        ExpectPage(*dialog, page);
    }
}

TEST(DialogTemplates, ClassicTemplatesAreReadToo) {
    // The test program's own DIALOG (not DIALOGEX) resource: the classic layout
    // with 16-bit ids and no font weight.
    const auto bytes = ResourceBytes(::GetModuleHandleW(nullptr), 900);
    ASSERT_TRUE(bytes);
    const std::optional<DialogTemplate> dialog = ParseDialogTemplate(*bytes);
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->extended);
    EXPECT_EQ(dialog->style & (WS_POPUP | DS_SETFONT), DWORD{WS_POPUP | DS_SETFONT});
    EXPECT_EQ(dialog->title, L"Pr\u00fcfung");
    EXPECT_EQ(dialog->pointSize, 8);
    EXPECT_EQ(dialog->face, L"Tahoma");
    ASSERT_EQ(dialog->items.size(), 2u);
    EXPECT_EQ(dialog->items[0].id, 0xFFFFu);  // -1 in 16 bits
    EXPECT_TRUE(SameClass(dialog->items[0].className, L"Static"));
    EXPECT_EQ(dialog->items[0].text, L"#113");
    EXPECT_EQ(dialog->items[1].id, 7u);
    EXPECT_TRUE(SameClass(dialog->items[1].className, L"Button"));
    EXPECT_EQ(dialog->items[1].text, L"&Gr\u00f6\u00dfe");
    EXPECT_EQ(dialog->items[1].x, 3);
    EXPECT_EQ(dialog->items[1].cy, 14);
}

}  // namespace
}  // namespace pixelmoor::test
