#pragma once
// Resource ids of the favorites dialogs: Select One (148), Organize Favorites (282) and Add to
// Favorites (284).

#include "platform/base/pvdefs.h"

// ---- Templates ----
#define IDD_SELECT_ONE 148
#define IDD_ORGANIZE_FAVORITES 282
#define IDD_ADD_FAVORITES 284

// ---- Select One ----
#define IDC_SELECT_DISPLAY 3
#define IDC_SELECT_RENAME 4
#define IDC_SELECT_DELETE 5
#define IDC_SELECT_LIST 1024

// ---- Organize Favorites ----
#define IDC_ORGANIZE_CLOSE 8
#define IDC_ORGANIZE_TREE 1048
#define IDC_ORGANIZE_DISPLAY 1049
#define IDC_ORGANIZE_RENAME 1050
#define IDC_ORGANIZE_DELETE 1051
#define IDC_ORGANIZE_MOVE 1052

// ---- Add to Favorites ----
#define IDC_FAVORITES_NEW_FOLDER 1004
#define IDC_FAVORITES_TREE 1053
#define IDC_FAVORITES_NAME 1054
#define IDC_FAVORITES_PROMPT 1055

// Registers the three templates; called by PvRegisterAppResources.
void PvRegisterFavoritesResources();
