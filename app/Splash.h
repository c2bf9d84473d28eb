#pragma once
// CSplashWindow: the start-up picture, shown over the main window until the first key, click or
// its timer.

#include "platform/gdi/gdi.h"
#include "platform/win/cwnd.h"

class CSplashWindow : public CWnd {
public:
    CSplashWindow() = default;
    ~CSplashWindow() override;

    static void EnableSplash(BOOL bEnable = TRUE);
    static void ShowSplash(CWnd* pParentWnd = nullptr);
    // TRUE when the message was a key press or button press that closed the splash.
    static BOOL FilterAppMessage(MSG* pMsg);
    // The splash window now shown, or null.
    static CSplashWindow* GetSplash() { return c_pSplashWnd; }

    CBitmap m_bitmap;

protected:
    BOOL CreateSplash(CWnd* pParentWnd);
    void HideSplashScreen();
    void PostNcDestroy() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

    static BOOL c_bShowSplashWnd;
    static CSplashWindow* c_pSplashWnd;
};
