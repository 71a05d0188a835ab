// Resource ids shared by the widget tests and their dialog templates.
#pragma once

#define IDD_IMAGE_BUTTONS 100
#define IDC_EDIT 1001
#define IDC_ICON_ONLY 1002
#define IDC_WITH_CAPTION 1003
#define IDC_DISABLED 1004
#define IDC_LEFT_ALIGNED 1005

#define IDD_LINKS 101
#define IDC_LINK_LEFT 2001
#define IDC_LINK_RIGHT 2002
#define IDC_LINK_CENTRE 2003
#define IDC_LINK_EMPTY 2004
#define IDC_LINK_EDIT 2005
