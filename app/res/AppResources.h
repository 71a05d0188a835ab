// Resource ids of the program: its icon, the main window's template and
// controls, the context menu and the about box.
#pragma once

#define IDI_PROGRAM 128
#define IDD_MAIN 102
#define IDD_ABOUT 104
#define IDR_CONTEXT_MENU 141
// The about command of the context menu (the id applications commonly use).
#define ID_APP_ABOUT 0xE140

#define IDC_CANVAS 1000
#define IDC_PREVIEW 1001
#define IDC_BRUSH_WELL 1002
#define IDC_TRANSP_WELL 1003
#define IDC_MAIL_LINK 1029
#define IDC_SITE_LINK 1030
