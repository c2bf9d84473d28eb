#pragma once
// Resource and command ids of the directory pane and its small dialogs.

#include "platform/base/pvdefs.h"

// ---- Templates and pictures ----
#define IDD_SAVE_RESULTS 134
#define IDB_PLEASE_WAIT 157
#define IDD_PLEASE_WAIT 158
#define IDD_HINTS 168
#define IDB_HINTS 278
#define IDD_SEARCH_DIRECTORY 201

// ---- Controls ----
#define IDC_SAVE_NAME 1007
#define IDC_SAVE_PROMPT 1018
#define IDC_HINTS_CHECK 1029
#define IDC_PLEASE_WAIT_PICTURE 1030
// The Search Directory dialog; the prompt, value edit or lookup list and "&Enter" exist only
// while a value is being entered.
#define IDC_SEARCH_CRITERIA 1005
#define IDC_SEARCH_CONDITIONS 1006
#define IDC_SEARCH_HINT 1032
#define IDC_SEARCH_ADD 1076
#define IDC_SEARCH_REMOVE 1077
#define IDC_SEARCH_REMOVE_ALL 1081
#define IDC_SEARCH_PROMPT 1082
#define IDC_SEARCH_EDIT 1083
#define IDC_SEARCH_COMBO 1084
#define IDC_SEARCH_FIND_NOW 1085
#define IDC_SEARCH_ENTER 1087

// ---- Commands ----
#define ID_NO_ENTRIES_MESSAGE 32815
// The column menu: one id per column that can be hidden, in column order.
#define ID_COLUMN_MENU_FIRST 300
#define ID_COLUMN_MENU_LAST 350

// Registers the directory pane's dialogs; called by PvRegisterAppResources.
void PvRegisterDirectoryResources();

// The pane's pictures for the bitmap loader: size and painter of picture id; false when the id is
// not one of them.
class CDC;
bool PvDirectoryPicture(UINT nID, int& cx, int& cy, void (*&pfnPaint)(CDC&));
