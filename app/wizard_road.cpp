#include "app/wizard_road.h"

#include <windows.h>

#include "contract/exit_codes.h"
#include "framework/gdi_objects.h"
#include "framework/unique_handle.h"
#include "wizard/associations_page.h"
#include "wizard/finish_page.h"
#include "wizard/ready_page.h"
#include "wizard/welcome_page.h"
#include "wizard/whats_new_page.h"
#include "wizard/wiz_property_sheet.h"

namespace pixelmoor {

namespace {

constexpr int kTitleFontHeight = 18;  // pixels at 96 dpi (cell height)
constexpr LONG kTitleFontWeight = 700;

// Bold Arial scaled to the screen's resolution, for the pages' headlines.
UniqueFont CreateTitleFont() {
    LOGFONTW logFont{};
    logFont.lfHeight = ::MulDiv(kTitleFontHeight, WindowDpi(nullptr), kDefaultDpi);
    logFont.lfWeight = kTitleFontWeight;
    logFont.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynW(logFont.lfFaceName, L"Arial", LF_FACESIZE);
    return UniqueFont(::CreateFontIndirectW(&logFont));
}

}  // namespace

int RunWizard() {
    CWizPropertySheet sheet;
    sheet.TitleFont().Attach(CreateTitleFont());

    WelcomePage welcome(sheet);
    WhatsNewPage whatsNew(sheet);
    AssociationsPage associations(sheet);
    ReadyPage ready(sheet, welcome, associations);
    FinishPage finish(sheet, welcome);
    CPropertyPage* const pages[] = {&welcome, &whatsNew, &associations, &ready, &finish};
    for (CPropertyPage* page : pages) sheet.AddPage(*page);

    // A sheet that cannot be shown is a failure, not a user's cancel.
    if (sheet.DoModal() < 0) return kExitFailed;
    return sheet.InstallationSucceeded() ? kExitSuccess : kExitUserCancelled;
}

}  // namespace pixelmoor
