/* Ids of the uninstaller's resources. Included by its resource script
   (plain #defines only there) and by its C++ code. */
#ifndef PIXELMOOR_UNINSTALL_UNINSTALL_IDS_H
#define PIXELMOOR_UNINSTALL_UNINSTALL_IDS_H

#define IDI_UNINSTALL 1 /* the program icon */

#define IDS_UNINSTALL_CAPTION 101     /* "Pixelmoor 64-bit Deinstallation" */
#define IDS_VIEWER_RUNNING 102        /* "Warnung: Pixelmoor läuft! ..." */
#define IDS_REMOVED 103               /* "Pixelmoor wurde vollständig ... entfernt." */
#define IDS_SETTINGS_KEPT 104         /* "Ihre Einstellungen ... wurden nicht gelöscht." */
#define IDS_REMOVED_AT_RESTART 105    /* "... beim nächsten Neustart ..." */
#define IDS_INCOMPLETE 106            /* "... nicht vollständig entfernt ... %s ..." */
#define IDS_LOG_INCOMPLETE 107        /* log: "... Nicht entfernt:" */
#define IDS_LOG_NO_COPY 108           /* log: the working copy could not be made or started */
#define IDS_LOG_COPY_ENDED 109        /* log: the working copy was ended before it finished */
#define IDS_SETUP_RUNNING 110         /* "Pixelmoor wird gerade installiert. ..." */
#define IDS_REMOVED_PARTLY 111        /* "Pixelmoor wurde von diesem Computer entfernt." */
#define IDS_KEPT_HEADING 112          /* "Erhalten geblieben ist:" */
#define IDS_LOG_KEPT 113              /* log: what stays on purpose */
#define IDS_KEPT_CHANGED 114          /* why it stays: changed since the installation */
#define IDS_KEPT_LINK 115             /* a link to another place */
#define IDS_KEPT_SYSTEM_FOLDER 116    /* a drive or a shell folder */
#define IDS_KEPT_NOT_EMPTY 117        /* the install folder holds other files */
#define IDS_KEPT_SETTINGS_UNKNOWN 118 /* the settings folder cannot be told */

#define IDD_CONFIRM 200 /* the confirmation with the purge check box */
#define IDC_QUESTION 201
#define IDC_FOLDER 202
#define IDC_PURGE 203
#define IDC_QUESTION_ICON 204 /* the system's question icon, set when the dialog opens */

#ifndef RC_INVOKED

namespace pixelmoor::res {

inline constexpr int kUninstallIcon = IDI_UNINSTALL;
inline constexpr int kStringUninstallCaption = IDS_UNINSTALL_CAPTION;
inline constexpr int kStringUninstallViewerRunning = IDS_VIEWER_RUNNING;
inline constexpr int kStringRemoved = IDS_REMOVED;
inline constexpr int kStringSettingsKept = IDS_SETTINGS_KEPT;
inline constexpr int kStringRemovedAtRestart = IDS_REMOVED_AT_RESTART;
inline constexpr int kStringIncomplete = IDS_INCOMPLETE;
inline constexpr int kStringLogIncomplete = IDS_LOG_INCOMPLETE;
inline constexpr int kStringLogNoCopy = IDS_LOG_NO_COPY;
inline constexpr int kStringLogCopyEnded = IDS_LOG_COPY_ENDED;
inline constexpr int kStringSetupRunning = IDS_SETUP_RUNNING;
inline constexpr int kStringRemovedPartly = IDS_REMOVED_PARTLY;
inline constexpr int kStringKeptHeading = IDS_KEPT_HEADING;
inline constexpr int kStringLogKept = IDS_LOG_KEPT;
inline constexpr int kStringKeptChanged = IDS_KEPT_CHANGED;
inline constexpr int kStringKeptLink = IDS_KEPT_LINK;
inline constexpr int kStringKeptSystemFolder = IDS_KEPT_SYSTEM_FOLDER;
inline constexpr int kStringKeptNotEmpty = IDS_KEPT_NOT_EMPTY;
inline constexpr int kStringKeptSettingsUnknown = IDS_KEPT_SETTINGS_UNKNOWN;

inline constexpr int kConfirmDialog = IDD_CONFIRM;
inline constexpr int kConfirmQuestion = IDC_QUESTION;
inline constexpr int kConfirmFolder = IDC_FOLDER;
inline constexpr int kConfirmPurge = IDC_PURGE;
inline constexpr int kConfirmQuestionIcon = IDC_QUESTION_ICON;

}  // namespace pixelmoor::res

#endif /* RC_INVOKED */

#endif /* PIXELMOOR_UNINSTALL_UNINSTALL_IDS_H */
