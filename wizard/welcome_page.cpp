// Welcome page (position 0, template 101): shortcuts, their scope, the
// target folder and the licence link.
#include "framework/product.h"
#include "resources/resource_ids.h"
#include "resources/wizard_ids.h"
#include "wizard/pages.h"
#include "wizard/wiz_property_page.h"
#include "wizard/wiz_property_sheet.h"

namespace pixelmoor {

namespace {

constexpr wchar_t kBackText[] = L"< &Zur\u00fcck";
constexpr wchar_t kNextText[] = L"&Weiter >";

// The program icon as the sheet's large window icon. LoadIconW hands out
// the module's shared copy, which nobody destroys.
void GiveSheetLargeIcon(const CWizPropertySheet& sheet) noexcept {
    const HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(res::kSetupIcon));
    ::SendMessageW(sheet.GetSafeHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

}  // namespace

void WelcomeOnSetActive(CWizPropertyPage& page) noexcept {
    CWizPropertySheet& sheet = page.Sheet();
    // There is no page before this one; every activation says so again,
    // also after Back or a failed installation.
    sheet.EnableButton(kBackButton, false);
    GiveSheetLargeIcon(sheet);
    if (page.IsFirstActivation()) {
        sheet.SetButtonText(kBackButton, kBackText);
        sheet.SetButtonText(kNextButton, kNextText);
    }
    page.ClearFirstActivation();
}

void WelcomeBindControls(CWizPropertyPage& page) noexcept {
    CHyperLink& link = page.Sheet().LicenceLink();
    page.BindControl(IDC_LICENCE_LINK, link);
    link.SetUnderlineMode(CHyperLink::kUnderlineAlways);
    // The control keeps showing "Pixelmoor EULA"; a click opens the page.
    link.SetLinkTarget(kLicenceAddress);
}

}  // namespace pixelmoor
