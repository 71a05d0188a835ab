// Resource ids of the editor: tool cursors, the "Enter text" dialog and
// the icons of its buttons. Shared by editor/res/editor.rc and the code.
#pragma once

#define IDD_ENTER_TEXT 129
#define IDI_SELECT_FONT 130
#define IDI_CANCEL 131
#define IDI_OK 132
#define IDC_CURSOR_FILL 133
#define IDC_CURSOR_PICK 134
#define IDC_CURSOR_PEN 135
#define IDC_CURSOR_ELLIPSE 136
#define IDC_CURSOR_RECT 137
#define IDC_CURSOR_LINE 138

#define IDC_SELECT_FONT 1009
#define IDC_TEXT 1010
