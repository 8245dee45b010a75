// Numbers of the resources and controls, shared by vandrel.rc and the window code.
#pragma once

#define IDI_VANDREL 128
#define IDB_LOGO 154
#define IDB_QUIT 271
#define IDB_HELP_ENGLISH 272
#define IDB_SEND 273
#define IDB_OPEN 275
#define IDB_BACKGROUND_ENGLISH 277
#define IDB_BACKGROUND_FRENCH 280
#define IDB_HELP_FRENCH 281
#define IDR_MAIN_MENU 266

#define IDD_MAIN_WINDOW 102
#define IDC_OBJECT_TYPE_LABEL 1003
#define IDC_FILE_LABEL 1004
#define IDC_FORMAT_LABEL 1005
#define IDC_OBJECT_TYPE 1008
#define IDC_FILE 1009
#define IDC_FORMAT 1011
#define IDC_SEND_BUTTON 1032
#define IDC_OPEN_BUTTON 57601
#define IDC_QUIT_BUTTON 57665
#define IDC_HELP_BUTTON 57670

#define IDD_ABOUT 147
#define IDC_ABOUT_TITLE 1072
#define IDC_ABOUT_NOTICE 1073
#define IDC_ABOUT_LOGO 1074
#define IDC_LICENCE 1083

#define IDD_SEARCH 150
#define IDC_SEARCH_PORT 1090

#define IDD_PROGRESS 148
#define IDC_PROGRESS_BAR 1076
#define IDC_PROGRESS_LINE 1077
#define IDC_PROGRESS_PHASE 1078

#define ID_MENU_OPEN 32778
#define ID_MENU_SEND 32779
#define ID_MENU_ABOUT 32781
#define ID_MENU_HELP 32785
#define ID_MENU_ENGLISH 32790
#define ID_MENU_FRENCH 32791
#define ID_MENU_AUTO 32792
// The Port submenu's items, by position 1 to 8.
#define ID_MENU_PORT_1 32786
#define ID_MENU_PORT_2 32787
#define ID_MENU_PORT_3 32788
#define ID_MENU_PORT_4 32789
#define ID_MENU_PORT_5 104
#define ID_MENU_PORT_6 105
#define ID_MENU_PORT_7 106
#define ID_MENU_PORT_8 107
// The "fit to handset" submenu's items, by stored value (never, ask, always).
#define ID_MENU_FIT_NEVER 32800
#define ID_MENU_FIT_ASK 32801
#define ID_MENU_FIT_ALWAYS 32802
// The picture size submenu's items, by stored value: "as it is", then the handset screens from
// the first, whose commands follow one another.
#define ID_MENU_PICTURE_AS_IT_IS 32810
#define ID_MENU_PICTURE_SIZE_1 32811
#define ID_MENU_PATIENT 32830
