#pragma once
// Resource and command ids of the main frame, its bars, the splash screen and the About dialog.

#include "platform/base/pvdefs.h"

#ifndef IDR_MAINFRAME
#define IDR_MAINFRAME 128
#endif
#ifndef ID_WEB_LINK
#define ID_WEB_LINK 32838
#endif

// ---- Templates and layouts ----
#define IDD_ABOUTBOX 100
#define IDB_SPLASH 102
#define IDD_LETTERBAR 133
#define IDD_HTML_PAGE 897   // the HTML link dialog
#define IDC_BROWSER 1000     // its browser control
#define IDD_DETAILS_POPUP 249  // a person's details page beside the main window
#define IDC_DETAILS_NOTES 1004
#define IDC_DETAILS_FAVORITES 6
#define IDC_DETAILS_PRINT 3
#define IDC_DETAILS_SPARE 1043  // in the template, unused by the pop-up
#define ID_LAYOUT_HOME 131
#define ID_LAYOUT_DIRECTORY 132

// ---- Pictures, icons and cursors ----
#define IDB_ABOUT_LOGO 165
#define IDB_ABOUT_SEAL 242
#define IDB_ABOUT_BANNER 893
#define IDC_LINK_HAND 236
#define IDI_NOTES 247
// Toolbar icons: normal and disabled forms.
#define IDI_TB_HOME 204
#define IDI_TB_SEARCH 277
#define IDI_TB_BACK 221
#define IDI_TB_BACK_D 222
#define IDI_TB_FORWARD 225
#define IDI_TB_FORWARD_D 226
#define IDI_TB_SHOWALL 213
#define IDI_TB_SHOWALL_D 214
#define IDI_TB_SAVELIST 276
#define IDI_TB_SAVELIST_D 275
#define IDI_TB_PRINT 211
#define IDI_TB_PRINT_D 212
#define IDI_TB_PRINTMEDIA 215
#define IDI_TB_PRINTMEDIA_D 216
#define IDI_TB_ADDFAV 203
#define IDI_TB_ADDFAV_D 235
#define IDI_TB_ORGFAV 208
#define IDI_TB_ORGFAV_D 209
#define IDI_TB_NOTES IDI_NOTES
#define IDI_TB_NOTES_D 819
#define IDI_TB_CLOSEALL 205
#define IDI_TB_CLOSEALL_D 206
#define IDI_TB_CASCADE 210
#define IDI_TB_CASCADE_D 233
#define IDI_TB_PREVIEW 219
#define IDI_TB_PREVIEW_D 220
#define IDI_TB_HELP 207

// ---- Controls ----
#define IDC_SCROLL_TO 1002
#define IDC_SCROLL_COMBO 1023
#define IDC_ABOUT_LINK 1012
#define IDC_ABOUT_VERSION 1020
#define IDC_ABOUT_LOGO 1013
#define IDC_ABOUT_SEAL 1014
#define IDC_ABOUT_BANNER 1015

// ---- Status-bar panes ----
#define ID_INDICATOR_COLUMN 1090
#define ID_INDICATOR_RECORDS 1089
#define ID_INDICATOR_NOTES 1092

// ---- Commands ----
#define ID_TOGGLE_VIEW 32771
#define ID_ORGANIZE_FAVORITES 32772
#define ID_SAVE_LIST 32776
#define ID_SEARCH_DIRECTORY 32778
#define ID_SHOW_ALL 32779
#define ID_LETTER_A 32789
#define ID_LETTER_B 32790
#define ID_LETTER_C 32791
#define ID_LETTER_D 32792
#define ID_LETTER_E 32793
#define ID_LETTER_F 32794
#define ID_LETTER_G 32795
#define ID_LETTER_H 32796
#define ID_LETTER_I 32799
#define ID_LETTER_J 32798
#define ID_LETTER_K 32803
#define ID_LETTER_L 32800
#define ID_LETTER_M 32801
#define ID_LETTER_N 32802
#define ID_LETTER_O 32809
#define ID_LETTER_P 32804
#define ID_LETTER_Q 32805
#define ID_LETTER_R 32806
#define ID_LETTER_S 32807
#define ID_LETTER_T 32808
#define ID_LETTER_U 32814
#define ID_LETTER_V 32810
#define ID_LETTER_W 32811
#define ID_LETTER_X 32812
#define ID_LETTER_Y 32813
#define ID_LETTER_Z 32819
#define ID_HOME 32820
#define ID_GO_FORWARD 32823
#define ID_GO_BACK 32824
#define ID_HELP_TOPICS 32825
#define ID_ZOOM_ENLARGE 32833
#define ID_ZOOM_REDUCE 32834
#define ID_ZOOM_100 32835
#define ID_DIRECTORY_LISTS 32840
#define ID_COPYRIGHT_INFO 32842
#define ID_PRINT_DETAILS 32844
#define ID_KEY_DOWN 32854
#define ID_KEY_UP 32855
#define ID_KEY_END 32856
#define ID_KEY_HOME 32857
#define ID_ADD_FAVORITES 32858
#define ID_NORMAL_VIEW 32860
#define ID_ADD_NOTES 32864
#define ID_SHOW_DETAILS 32865
#define ID_CLOSE_ALL 32868
#define ID_CONTINUE_SEARCH 32872
#define ID_PRINT_PREVIEW_PAGE 32881
#define ID_PRINT_MEDIA 32894
#define ID_KEY_PAGEUP 32897
#define ID_KEY_PAGEDOWN 32898
#define ID_KEY_LEFT 32899
#define ID_KEY_RIGHT 32901
#define ID_KEY_COPY 32902
#define ID_KEY_COPY_INSERT 32909
#define ID_KEY_SELECT_ALL 32910
#define ID_NOTES_PANE 247

// ---- Strings ----
#define IDS_PRODUCT_PAGE 61206

// The letters' command ids in alphabetical order.
extern const UINT g_nLetterCommandIds[26];

// Registers the frame's menus, accelerators, toolbar, dialogs, pictures, icons, cursors and
// strings; the program calls it once at start-up, after PvRegisterAppResources.
void PvRegisterFrameResources();
