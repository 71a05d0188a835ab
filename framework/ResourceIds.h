// The numbering of every resource in the program, in one place: the
// program's script includes the editor's and the browser's scripts as text,
// so their numbers share one space. Icons and cursors also keep clear of
// each other because each compiled script numbers its images from 1.
// Shared by the resource scripts and the code.
#pragma once

// Dialog templates.
#define IDD_MAIN 102
#define IDD_CHOOSE_ICON 103
#define IDD_ABOUT 104
#define IDD_ENTER_TEXT 129
// The save dialog's own part, below the platform's controls.
#define IDD_SAVE_OPTIONS 143

// Icons. The OK and cancel icons serve the editor's, the about box's and
// the browser's buttons alike.
#define IDI_PROGRAM 128
#define IDI_SELECT_FONT 130
#define IDI_CANCEL 131
#define IDI_OK 132
#define IDI_SCAN 142

// Tool cursors.
#define IDC_CURSOR_FILL 133
#define IDC_CURSOR_PICK 134
#define IDC_CURSOR_PEN 135
#define IDC_CURSOR_ELLIPSE 136
#define IDC_CURSOR_RECT 137
#define IDC_CURSOR_LINE 138

// Menus and their commands.
#define IDR_CONTEXT_MENU 141
// The about command of the context menu (the id applications commonly use).
#define ID_APP_ABOUT 0xE140

// Controls of the main window.
#define IDC_CANVAS 1000
#define IDC_PREVIEW 1001
#define IDC_SIZE_STRIP 1005
#define IDC_BRUSH_WELL 1002
#define IDC_TRANSP_WELL 1003
// Controls of the "Choose Icon" dialog.
#define IDC_FOLDER_TREE 1004
#define IDC_FILE_LIST 1006
#define IDC_SCAN_SUBFOLDERS 1007
#define IDC_ICONS_LABEL 1008
#define IDC_ICON_LIST 1047
// Controls of the "Enter text" dialog.
#define IDC_SELECT_FONT 1009
#define IDC_TEXT 1010
// Controls of the save dialog's options for a whole icon.
#define IDC_ICON_BITS_LABEL 1011
#define IDC_ICON_BITS 1012
#define IDC_PNG_FROM_LABEL 1013
#define IDC_PNG_FROM 1014
// Controls of the about box.
#define IDC_MAIL_LINK 1029
#define IDC_SITE_LINK 1030
