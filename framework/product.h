// Names and numbers of the product that the setup installs.
#pragma once

namespace pixelmoor {

inline constexpr wchar_t kProductName[] = L"Pixelmoor";
inline constexpr wchar_t kViewerWindowClass[] = L"Pixelmoor";  // top-level window of a running viewer
inline constexpr wchar_t kViewerExe[] = L"p_moor64.exe";
inline constexpr wchar_t kUninstallerExe[] = L"pm_uninstall.exe";
inline constexpr wchar_t kSetupCaption[] = L"Pixelmoor 64-bit Setup";
inline constexpr int kVersionMajor = 4;
inline constexpr int kVersionMinor = 75;

// Web pages of the product that the wizard opens: the licence agreement
// (welcome page link) and the frequently asked questions (finish page).
inline constexpr wchar_t kLicenceAddress[] = L"https://www.pixelmoor.org/eula.html";
inline constexpr wchar_t kFaqAddress[] = L"https://www.pixelmoor.org/faq.html";

}  // namespace pixelmoor
