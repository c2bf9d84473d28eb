#pragma once
// Resource ids of the viewer.

#define IDR_MAINFRAME 128
#include "platform/ui/afxres.h" // AFX_IDS_APP_TITLE (57344)
#define IDS_WEB_ADDRESS 61204

// Registers every resource table of the viewer; the program calls it once at start-up.
void PvRegisterAppResources();
