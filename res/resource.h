#pragma once
// Resource ids shared by the resource script and the code. The values are fixed: tests and the
// UI automation find dialogs and controls by them.

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_FONTLIST_DIALOG 102
#define IDD_SUCCESS_DIALOG 129
#define IDD_ERROR_DIALOG 130
#define IDD_PROCESS_DIALOG 140
#define IDD_CONFIRM_DIALOG 141

// Icons and bitmap.
#define IDR_MAINFRAME 128
#define IDI_ABOUT 132
#define IDB_PANEL 138
#define IDB_PANEL_200 139  // the same picture at 200% display scale

// Controls.
#define IDC_RESULT_TEXT 1001
#define IDC_ERROR_MESSAGE 1002
#define IDC_STATUS_LINE1 1003
#define IDC_STATUS_LINE2 1004
#define IDC_PROGRESS 1032

// String table.
#define IDS_ABOUTBOX 101
#define IDS_UNEXPECTED_ERROR 1001
#define IDS_PLATFORM_REFUSED 1002
#define IDS_NOT_ADMINISTRATOR 1003
#define IDS_OUT_OF_MEMORY 1009
#define IDS_STATUS_PREPARING 2000
#define IDS_STATUS_SEARCHING 2001
#define IDS_APPS_STILL_OPEN 2002
#define IDS_FONTS_NOT_REMOVED 2003
#define IDS_FONTS_REMOVED_AT_RESTART 2004
#define IDS_BAD_COMMAND_LINE 2005
#define IDS_PROGRAM_TITLE 2006
// The fleet report (/report:).
#define IDS_REPORT_WRITTEN 2020
#define IDS_REPORT_FOLDER_UNREADABLE 2021
#define IDS_REPORT_UNWRITABLE 2022

// System menu command of the About item; the low four bits of a system command are the system's.
#define IDM_ABOUTBOX 0x0010
