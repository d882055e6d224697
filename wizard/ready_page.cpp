// Ready page (position 3, template 109): the settings folder; Next installs,
// with the status text 1044 shown in bold red Arial meanwhile.
#include "framework/unique_handle.h"
#include "resources/wizard_ids.h"
#include "wizard/pages.h"
#include "wizard/wiz_property_page.h"
#include "wizard/wiz_property_sheet.h"

namespace pixelmoor {

namespace {

constexpr int kDefaultDpi = 96;
constexpr int kStatusTextPoints = 18;  // height at 96 dpi, in pixels
constexpr COLORREF kStatusTextColour = RGB(255, 0, 0);

int SheetDpi(const CWizPropertySheet& sheet) noexcept {
    const ScreenDc dc(sheet.GetSafeHwnd());
    return dc ? ::GetDeviceCaps(dc.get(), LOGPIXELSX) : kDefaultDpi;
}

}  // namespace

void ReadyBindControls(CWizPropertyPage& page) noexcept {
    CWizPropertySheet& sheet = page.Sheet();
    CXColorStatic& status = sheet.StatusText();
    page.BindControl(IDC_STATUS_TEXT, status);
    status.SetTextColor(kStatusTextColour);
    status.UseBoldWeight(true);
    status.UseArialFont(::MulDiv(kStatusTextPoints, SheetDpi(sheet), kDefaultDpi));
}

LRESULT ReadyOnWizardNext(CWizPropertyPage& page) noexcept {
    // Stand-in for the installation: until Next runs it from the pages'
    // choices, the press counts as a successful installation, so that the
    // wizard goes on to the finish page and ends with the exit code of one.
    page.Sheet().RecordInstallationSucceeded();
    return page.GetAdjacentPageId(true);
}

}  // namespace pixelmoor
