#pragma once
// Resource and command ids of the outline pane and its context menus.

#include "platform/base/pvdefs.h"

// ---- Context menus ----
#define IDR_DIRECTORY_LIST_MENU 135
#define IDR_FAVORITE_MENU 139

// ---- Commands ----
#define ID_RENAME_DIRECTORY_LIST 32831
#define ID_DELETE_DIRECTORY_LIST 32832
#define ID_RENAME_FAVORITE 32836
#define ID_DELETE_FAVORITE 32837
#define ID_FAVORITE_NOTES 32873

// Registers the outline's menus; called by PvRegisterAppResources.
void PvRegisterOutlineResources();
