// The wizard's window-free rules: fitting the link to its text, the fallback
// opener's command line and registry texts, the colour static's drawing
// flags, and the page order of Back and Next.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "wizard/color_static_rules.h"
#include "wizard/hyperlink_rules.h"
#include "wizard/navigation_rules.h"

namespace pixelmoor {

// For failure messages (found by argument-dependent lookup).
void PrintTo(const Box& box, std::ostream* out) {
    *out << "{" << box.left << ", " << box.top << ", " << box.right << ", " << box.bottom << "}";
}

namespace {

TEST(HyperlinkFit, KeepsTheEdgeOrCentreThatTheAlignmentNames) {
    // A control at x 10..110, y 20..40 without a frame (client 100 x 20),
    // unless a row says otherwise.
    const struct {
        Box window;
        Extent client;
        Extent text;
        unsigned style;
        Box fitted;
    } rows[] = {
        // left aligned: left and top stay, right and bottom follow the text
        {{10, 20, 110, 40}, {100, 20}, {60, 13}, 0x0, {10, 20, 70, 33}},
        // SS_CENTER: 40 narrower, 20 off each side
        {{10, 20, 110, 40}, {100, 20}, {60, 13}, 0x1, {30, 20, 90, 33}},
        // SS_CENTER with an odd difference (41): 20 off each side, one pixel wider than the text
        {{10, 20, 110, 40}, {100, 20}, {59, 13}, 0x1, {30, 20, 90, 33}},
        // SS_CENTER growing: a wider text moves both edges out
        {{10, 20, 110, 40}, {100, 20}, {140, 13}, 0x1, {-10, 20, 130, 33}},
        // SS_RIGHT: the right edge stays
        {{10, 20, 110, 40}, {100, 20}, {60, 13}, 0x2, {50, 20, 110, 33}},
        // SS_CENTERIMAGE: 7 taller than the text, 3 off top and bottom (rounded towards zero)
        {{10, 20, 110, 40}, {100, 20}, {60, 13}, 0x200, {10, 23, 70, 37}},
        // SS_CENTER | SS_CENTERIMAGE: centred both ways
        {{10, 20, 110, 40}, {100, 20}, {60, 14}, 0x201, {30, 23, 90, 37}},
        // a frame of 2 pixels on each side is kept around the text
        {{10, 20, 110, 40}, {96, 16}, {60, 13}, 0x0, {10, 20, 74, 37}},
        // SS_RIGHT | SS_CENTERIMAGE growing taller: 5 more at top and bottom
        {{10, 20, 110, 40}, {100, 20}, {60, 30}, 0x202, {50, 15, 110, 45}},
        // other style bits (SS_NOTIFY, WS_VISIBLE) do not change the alignment
        {{10, 20, 110, 40}, {100, 20}, {60, 13}, 0x10000100, {10, 20, 70, 33}},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const auto& row = rows[i];
        EXPECT_EQ(FitBoxToText(row.window, row.client, row.text, row.style), row.fitted) << "row " << i;
    }
}

TEST(HyperlinkFallback, CommandLineIsCutAtThePlaceholderAndGetsTheTarget) {
    const std::wstring target = L"https://www.pixelmoor.org/eula.html";
    const struct {
        const wchar_t* command;
        const wchar_t* line;
    } rows[] = {
        // quoted placeholder: cut before its opening quote
        {L"\"C:\\Browser\\browse.exe\" \"%1\"", L"\"C:\\Browser\\browse.exe\"  https://www.pixelmoor.org/eula.html"},
        // bare placeholder
        {L"C:\\Browser\\browse.exe -nohome %1", L"C:\\Browser\\browse.exe -nohome  https://www.pixelmoor.org/eula.html"},
        // the quoted form wins even when a bare %1 comes first
        {L"b.exe %1 -x \"%1\"", L"b.exe %1 -x  https://www.pixelmoor.org/eula.html"},
        // no placeholder: the whole command, then the target
        {L"C:\\Browser\\browse.exe", L"C:\\Browser\\browse.exe https://www.pixelmoor.org/eula.html"},
        // placeholder first: only the target remains
        {L"%1", L" https://www.pixelmoor.org/eula.html"},
        // an empty command
        {L"", L" https://www.pixelmoor.org/eula.html"},
        // text after the placeholder is dropped
        {L"open.exe \"%1\" --new-window", L"open.exe  https://www.pixelmoor.org/eula.html"},
    };
    for (const auto& row : rows) EXPECT_EQ(FallbackCommandLine(row.command, target), row.line) << row.line;
}

TEST(ColorStaticDrawing, FlagsFollowAlignmentAndCentreImage) {
    const struct {
        unsigned style;
        unsigned flags;
    } rows[] = {
        {0x000, 0x10},  // left: DT_LEFT | DT_WORDBREAK
        {0x001, 0x11},  // SS_CENTER: DT_CENTER | DT_WORDBREAK
        {0x002, 0x12},  // SS_RIGHT: DT_RIGHT | DT_WORDBREAK
        {0x200, 0x24},  // SS_CENTERIMAGE: DT_LEFT | DT_VCENTER | DT_SINGLELINE
        {0x201, 0x25},  // the status text 1044: centred both ways on one line
        {0x202, 0x26},  // SS_RIGHT | SS_CENTERIMAGE
        {0x10000301, 0x25},  // WS_VISIBLE and SS_NOTIFY change nothing
    };
    for (const auto& row : rows) EXPECT_EQ(ColorStaticDrawFlags(row.style), row.flags) << std::hex << row.style;
}

TEST(WizardNavigation, BackAndNextGoToTheNeighbouringPage) {
    const std::vector<int> wizard = {101, 108, 104, 109, 110};
    const std::vector<int> single = {101};
    const struct {
        const std::vector<int>* pages;
        int active;
        bool forward;
        int result;
    } rows[] = {
        {&wizard, 0, true, 108},                             // welcome: Next to what's new
        {&wizard, 1, true, 104},                             // what's new: Next to associations
        {&wizard, 3, true, 110},                             // ready: Next to finish
        {&wizard, 4, true, -1},                              // finish: no page after it, stay
        {&wizard, 0, false, -1},                             // welcome: no page before it, stay
        {&wizard, 1, false, 101},                            // what's new: Back to welcome
        {&wizard, 4, false, 109},                            // finish: Back to ready
        {&single, 0, true, -1},                              // a single page has no neighbour either way
        {&single, 0, false, -1},  {&wizard, -1, true, 101},  // no active page: Next finds the first
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(AdjacentPageId(*rows[i].pages, rows[i].active, rows[i].forward), rows[i].result) << "row " << i;
    }
}

}  // namespace
}  // namespace pixelmoor
