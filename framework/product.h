// Names and numbers of the product that the setup installs.
#pragma once

namespace pixelmoor {

inline constexpr wchar_t kProductName[] = L"Pixelmoor";
inline constexpr wchar_t kViewerWindowClass[] = L"Pixelmoor";  // top-level window of a running viewer
inline constexpr wchar_t kViewerExe[] = L"p_moor64.exe";
inline constexpr wchar_t kUninstallerExe[] = L"pm_uninstall.exe";
inline constexpr wchar_t kSetupCaption[] = L"Pixelmoor 64-bit Setup";
// The version of the product, given once to the build: every program is
// linked with the definition that its build makes from that number
// (framework/product_version.cpp), so that a setup of another version is
// only linked anew, not compiled anew.
extern const int kVersionMajor;
extern const int kVersionMinor;

// Web pages of the product that the wizard opens: the licence agreement
// (welcome page link) and the frequently asked questions (finish page).
inline constexpr wchar_t kLicenceAddress[] = L"https://www.pixelmoor.org/eula.html";
inline constexpr wchar_t kFaqAddress[] = L"https://www.pixelmoor.org/faq.html";

}  // namespace pixelmoor
