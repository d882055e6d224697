/* Ids of the wizard's page templates and of their controls. Included by the
   resource script (plain #defines only there) and by C++ code. Controls
   without an id of their own carry -1. */
#ifndef PIXELMOOR_RESOURCES_WIZARD_IDS_H
#define PIXELMOOR_RESOURCES_WIZARD_IDS_H

/* Page templates, in the order of the wizard: 101, 108, 104, 109, 110. */
#define IDD_WELCOME 101
#define IDD_ASSOCIATIONS 104
#define IDD_WHATS_NEW 108
#define IDD_READY 109
#define IDD_FINISH 110

/* Welcome page (101). */
#define IDC_FOLDER_EDIT 1000
#define IDC_BROWSE_FOLDER 1009
#define IDC_DESKTOP_SHORTCUT 1011
#define IDC_START_MENU_GROUP 1012
#define IDC_WELCOME_TITLE 1013
#define IDC_CURRENT_USER 1016
#define IDC_ALL_USERS 1017
#define IDC_NO_SHORTCUTS 1019
#define IDC_THUMBNAILS_SHORTCUT 1021
#define IDC_LICENCE_LINK 1045
#define IDC_WELCOME_VERSION 1056

/* What's-new page (108). */
#define IDC_WHATS_NEW_TEXT 1000

/* Associations page (104). */
#define IDC_XP_ALL_USERS 1037
#define IDC_SELECT_ALL 1080
#define IDC_SELECT_NONE 1081
#define IDC_SELECT_IMAGES 1091
#define IDC_ASSOCIATION_LIST 1579
#define IDC_WRITE_ASSOCIATIONS 3311

/* Ready page (109). */
#define IDC_READY_FOLDER 1010
#define IDC_READY_TITLE 1014
#define IDC_INI_PROGRAM_FOLDER 1038
#define IDC_INI_APPDATA 1039
#define IDC_STATUS_TEXT 1044
#define IDC_INSTALL_PROGRESS 1046

/* Finish page (110). */
#define IDC_FINISH_TITLE 1015
#define IDC_START_VIEWER 1020
#define IDC_SHOW_FAQ 1022

#ifndef RC_INVOKED

namespace pixelmoor::res {

inline constexpr int kWelcomePage = IDD_WELCOME;
inline constexpr int kWhatsNewPage = IDD_WHATS_NEW;
inline constexpr int kAssociationsPage = IDD_ASSOCIATIONS;
inline constexpr int kReadyPage = IDD_READY;
inline constexpr int kFinishPage = IDD_FINISH;

inline constexpr int kLicenceLink = IDC_LICENCE_LINK;
inline constexpr int kStatusText = IDC_STATUS_TEXT;
inline constexpr int kInstallProgress = IDC_INSTALL_PROGRESS;

}  // namespace pixelmoor::res

#endif /* RC_INVOKED */

#endif /* PIXELMOOR_RESOURCES_WIZARD_IDS_H */
