/* Ids of the resources compiled into the setup executable. Included by the
   resource script (plain #defines only there) and by C++ code, on Windows and
   natively. */
#ifndef PIXELMOOR_RESOURCES_RESOURCE_IDS_H
#define PIXELMOOR_RESOURCES_RESOURCE_IDS_H

/* String table: the program's messages. Id 4 is not used. */
#define IDS_CANCEL_BUTTON 1         /* "&Beenden" */
#define IDS_FINISH_BUTTON 2         /* "&Fertig stellen" */
#define IDS_CANCEL_QUESTION 3       /* "Installation beenden?" */
#define IDS_INVALID_FOLDER 5        /* "Ungültiges Zielverzeichnis!" */
#define IDS_TARGET_FOLDER 6         /* "Zielverzeichnis" */
#define IDS_INSTALL_FAILED 7        /* "Fehler beim Installieren! ..." */
#define IDS_FOLDER_DIALOG_TITLE 8   /* "Zielverzeichnis:" */
#define IDS_ASSOCIATION_QUESTION 9  /* "Sie möchten die aktuellen Verknüpfungen ändern ..." */
#define IDS_VIEWER_RUNNING 10       /* "Warnung: Pixelmoor läuft! ..." */
#define IDS_CANNOT_CREATE_FOLDER 11 /* "Kann Zielverzeichnis nicht erstellen! ..." */
#define IDS_SETUP_DAMAGED 12        /* "Die Setup-Datei ist beschädigt oder unvollständig. ..." */
#define IDS_NOT_WRITTEN 13          /* "Die Installation ist unvollständig. Folgendes konnte ..." */

/* The setup's program icon (16, 24, 32, 48, 256 pixels) and the 88 x 31 logo. */
#define IDI_SETUP 111
#define IDB_LOGO 113

/* Release notes: type "TXT", UTF-16LE with byte-order mark and CR LF. */
#define IDR_WHATS_NEW 217
/* The viewer's files: type "ZIP". */
#define IDR_PAYLOAD_ZIP 1974

#ifndef RC_INVOKED

namespace pixelmoor::res {

inline constexpr int kStringCancelButton = IDS_CANCEL_BUTTON;
inline constexpr int kStringFinishButton = IDS_FINISH_BUTTON;
inline constexpr int kStringCancelQuestion = IDS_CANCEL_QUESTION;
inline constexpr int kStringInvalidFolder = IDS_INVALID_FOLDER;
inline constexpr int kStringTargetFolder = IDS_TARGET_FOLDER;
inline constexpr int kStringInstallFailed = IDS_INSTALL_FAILED;
inline constexpr int kStringFolderDialogTitle = IDS_FOLDER_DIALOG_TITLE;
inline constexpr int kStringAssociationQuestion = IDS_ASSOCIATION_QUESTION;
inline constexpr int kStringViewerRunning = IDS_VIEWER_RUNNING;
inline constexpr int kStringCannotCreateFolder = IDS_CANNOT_CREATE_FOLDER;
inline constexpr int kStringSetupDamaged = IDS_SETUP_DAMAGED;
inline constexpr int kStringNotWritten = IDS_NOT_WRITTEN;

inline constexpr int kSetupIcon = IDI_SETUP;
inline constexpr int kLogoBitmap = IDB_LOGO;

inline constexpr int kWhatsNewId = IDR_WHATS_NEW;
inline constexpr wchar_t kWhatsNewType[] = L"TXT";
inline constexpr int kPayloadId = IDR_PAYLOAD_ZIP;
inline constexpr wchar_t kPayloadType[] = L"ZIP";

}  // namespace pixelmoor::res

#endif /* RC_INVOKED */

#endif /* PIXELMOOR_RESOURCES_RESOURCE_IDS_H */
