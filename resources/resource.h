#pragma once
// Resource ids of the viewer.

#define IDR_MAINFRAME 128
#define ID_APP_ABOUT 57664
#define ID_WEB_LINK 32838
#define AFX_IDS_APP_TITLE 57344
#define IDS_WEB_ADDRESS 61204

// Registers every resource table of the viewer; the program calls it once at start-up.
void PvRegisterAppResources();
