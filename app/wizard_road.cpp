#include "app/wizard_road.h"

#include <windows.h>

#include "framework/exit_codes.h"
#include "framework/gdi_objects.h"
#include "framework/unique_handle.h"
#include "resources/wizard_ids.h"
#include "wizard/wiz_property_page.h"
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
    sheet.SetAssociationList(nullptr);

    CWizPropertyPage welcome(IDD_WELCOME);
    CWizPropertyPage whatsNew(IDD_WHATS_NEW);
    CWizPropertyPage associations(IDD_ASSOCIATIONS);
    CWizPropertyPage ready(IDD_READY);
    CWizPropertyPage finish(IDD_FINISH);
    for (CWizPropertyPage* page : {&welcome, &whatsNew, &associations, &ready, &finish}) sheet.AddPage(*page);

    // A sheet that cannot be shown is a failure, not a user's cancel.
    if (sheet.DoModal() < 0) return kExitFailed;
    return sheet.InstallationSucceeded() ? kExitSuccess : kExitUserCancelled;
}

}  // namespace pixelmoor
