#pragma once
// The framework's message box: a modal window with an icon, the text and the buttons, drawn by
// us. The SDL back end shows it for every MessageBox; headless runs answer without a window.

#include "platform/base/pvdefs.h"

int PvUiMessageBox(HWND hOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType);
// Routes the window system's message boxes through PvUiMessageBox (CWinApp does it).
void PvInstallUiMessageBox();
