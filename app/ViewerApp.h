#pragma once
// The viewer's application object: start-up in its fixed order, the splash screen's first look at
// every message, and the two Help-menu commands it routes itself.

#include "platform/ui/ui.h"

class CViewerApp : public CWinApp {
public:
    CViewerApp() = default;

    BOOL InitInstance() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    int ExitInstance() override;

    afx_msg void OnAppAbout();
    afx_msg void OnWebLink();
    DECLARE_MESSAGE_MAP()
};
