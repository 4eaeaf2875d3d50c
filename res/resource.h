// Resource identifiers of the program.
#pragma once

#define IDD_ABOUT 100
#define IDS_ABOUT_ITEM 101
#define IDD_LETTERING 102
#define IDI_MAIN 128

#define IDC_ZOOM_IN 1002
#define IDC_BALLOON 1003
#define IDC_FRAME 1004
#define IDC_SAVE 1005
#define IDC_TEMP_SAVE 1006
#define IDC_TEMP_VIEW 1007
#define IDC_ZOOM_OUT 1008
#define IDC_TEXT 1009
#define IDC_TOP 1010
#define IDC_LEFT 1011
#define IDC_FONT_SIZE 1012

#define IDM_ABOUT 0x0010
