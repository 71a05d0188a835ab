// Resource ids of the icon browser ("Choose Icon" dialog and its button icons).
#pragma once

#define IDD_CHOOSE_ICON 103
#define IDI_BUTTON_CANCEL 131
#define IDI_BUTTON_OK 132
#define IDI_BUTTON_SCAN 142

#define IDC_FOLDER_TREE 1004
#define IDC_FILE_LIST 1006
#define IDC_SCAN_SUBFOLDERS 1007
#define IDC_ICONS_LABEL 1008
#define IDC_ICON_LIST 1047
