#pragma once
// Resource ids of the notes window.

#include "platform/base/pvdefs.h"

#define IDD_ORGANIZE_NOTES 244
#define IDC_NOTES_EDIT 1040
#define IDC_NOTES_CLOSE 1091
#define IDC_NOTES_CLEAR 1081

// Registers the notes window's template; called by PvRegisterAppResources.
void PvRegisterNotesResources();
