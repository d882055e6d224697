#include "app/usage_rules.h"

#include <vector>

#include "contract/product.h"
#include "contract/setup_switches.h"
#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

// {version} stands for the build's version, in the title and the file name.
// The columns are laid out with it in place, as the usage always was.
constexpr std::wstring_view kVersionMarker = L"{version}";
constexpr wchar_t kSetupFileName[] = L"pixelmoor-{version}-setup-x64.exe";

// A term (a call, a switch with its value, an exit code) and its
// explanation; a line break in either continues it on the next console line.
struct UsageRow {
    std::wstring term;
    std::wstring_view meaning;
};

// Paragraphs of prose, each of one or more console lines, then rows whose
// explanations start termWidth columns after the indent.
struct UsageBlock {
    std::vector<std::wstring> paragraphs;
    std::size_t termWidth = 0;
    std::vector<UsageRow> rows;
};

constexpr std::size_t kRowIndent = 2;

std::vector<UsageBlock> UsageBlocks() {
    const std::wstring setup = std::wstring(kSetupFileName) + L' ';
    UsageBlock calls{{L"Aufruf:"}, 58, {}};
    calls.rows.push_back({setup + L"[" + kLogSwitch + L"<Datei>]", L"Assistent"});
    calls.rows.push_back({setup + kSilentSwitch + L" [Schalter]", L"ohne Fenster"});
    calls.rows.push_back(
        {setup + std::wstring(kHelpSwitches[0]) + L" oder " + std::wstring(kHelpSwitches[1]), L"diese Hilfe"});

    UsageBlock switches{{L"Schalter (ein Wert endet am n\u00e4chsten \"/\"; Anf\u00fchrungszeichen um Pfade\n"
                         L"werden entfernt):"},
                        16,
                        {}};
    for (const SwitchMeaning& row : kSwitchMeanings)
        switches.rows.push_back({std::wstring(row.name) + std::wstring(row.value), row.meaning});

    UsageBlock notes{{std::wstring(L"Fehler ohne Fenster stehen in ") + kInstallLogName + L" im aktuellen Verzeichnis.",
                      std::wstring(L"Nach einer Installation in ein anderes Verzeichnis als das bisherige entfernt\n"
                                   L"dessen ") +
                          kUninstallerExe + L" " + kSilentSwitch +
                          L" die alte Kopie, wenn es das eingetragene ist\n"
                          L"(h\u00f6chstens 5 Minuten); die Einstellungen bleiben."},
                     0,
                     {}};

    UsageBlock codes{{L"Exit-Codes:"}, 6, {}};
    for (const ExitCodeMeaning& row : kSetupExitCodes) codes.rows.push_back({DecimalText(row.code), row.meaning});

    return {UsageBlock{{std::wstring(kSetupCaption) + L" " + std::wstring(kVersionMarker)}, 0, {}}, std::move(calls),
            std::move(switches), std::move(notes), std::move(codes)};
}

// Each line break of the text replaced by the given one.
std::wstring WithBreaks(std::wstring_view text, std::wstring_view lineBreak) {
    std::wstring out;
    for (const wchar_t c : text) {
        if (c == L'\n')
            out += lineBreak;
        else
            out += c;
    }
    return out;
}

std::wstring WithVersion(std::wstring text, std::wstring_view version) {
    for (std::size_t at = text.find(kVersionMarker); at != std::wstring::npos;
         at = text.find(kVersionMarker, at + version.size()))
        text.replace(at, kVersionMarker.size(), version);
    return text;
}

std::wstring ConsoleText(const std::vector<UsageBlock>& blocks) {
    std::wstring text;
    for (const UsageBlock& block : blocks) {
        if (!text.empty()) text += L"\r\n";
        for (const std::wstring& paragraph : block.paragraphs) (text += WithBreaks(paragraph, L"\r\n")) += L"\r\n";
        const std::wstring continuation = L"\r\n" + std::wstring(kRowIndent + block.termWidth, L' ');
        for (const UsageRow& row : block.rows) {
            text += std::wstring(kRowIndent, L' ') + row.term;
            text += std::wstring(row.term.size() < block.termWidth ? block.termWidth - row.term.size() : 1, L' ');
            (text += WithBreaks(row.meaning, continuation)) += L"\r\n";
        }
    }
    return text;
}

std::wstring BoxText(const std::vector<UsageBlock>& blocks) {
    std::wstring text;
    for (const UsageBlock& block : blocks) {
        if (!text.empty()) text += L'\n';
        for (const std::wstring& paragraph : block.paragraphs) (text += WithBreaks(paragraph, L" ")) += L'\n';
        for (const UsageRow& row : block.rows) (text += row.term + L'\t' + WithBreaks(row.meaning, L" ")) += L'\n';
    }
    return text;
}

}  // namespace

std::wstring UsageConsoleText(std::wstring_view version) { return WithVersion(ConsoleText(UsageBlocks()), version); }

std::wstring UsageBoxText(std::wstring_view version) { return WithVersion(BoxText(UsageBlocks()), version); }

}  // namespace pixelmoor
