#pragma once
// CAboutDlg: the About box with the version, the maker's lines and the web-site link.

#include "app/HyperLink.h"
#include "platform/ui/dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override = default;

    // Only the first link is attached to a control (the web-site line).
    CStaticLink m_wndLink1;
    CStaticLink m_wndLink2;
    CStaticLink m_wndLink3;
    CStaticLink m_wndLink4;

    BOOL OnInitDialog() override;

protected:
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    CBitmap m_bmBanner, m_bmLogo, m_bmSeal;
};
