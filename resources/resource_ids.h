/* Ids of the setup's resources: string table entries, dialog templates,
   icons and the embedded payloads. Shared by the .rc files and the code. */
#pragma once

#define IDS_CAPTION 108
#define IDS_RESTART_QUESTION 110
#define IDS_SETUP_FAILED 111
#define IDS_DIRECTX_QUESTION 112
#define IDS_NO_TEMP_SPACE 113
#define IDS_DIRECTX_MISSING 116
#define IDS_SETUP_COMPLETE 117
#define IDS_PRODUCT_RUNNING 118
#define IDS_SETUP_ABORTED 120
#define IDS_INVALID_FOLDER 121
#define IDS_NO_DEST_SPACE 122
#define IDS_NOT_ADMINISTRATOR 123

#define IDD_WAIT 110
#define IDD_FOLDER 113

/* Controls of the destination folder dialog. */
#define IDC_FOLDER_EDIT 1005
#define IDC_FOLDER_BROWSE 1006

#define IDI_SETUP 101

/* The program's version, as its version block gives it. */
#define BCSETUP_VERSION_TEXT "1.0.2.1"

#define RT_PAYLOAD 1001
/* The SHA-256 of each payload, under the payload's id. */
#define RT_PAYLOAD_DIGEST 1002
#define IDR_PAYLOAD_WMF 203
#define IDR_PAYLOAD_DIVX 205
#define IDR_PAYLOAD_MAIN 207
