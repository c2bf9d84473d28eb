#pragma once
// CStaticLink: a static text control shown and used as a web link.

#include "platform/base/CString.h"
#include "platform/controls/ctlwnd.h"
#include "platform/gdi/gdi.h"

class CStaticLink : public CStatic {
    DECLARE_DYNAMIC(CStaticLink)
public:
    CStaticLink() = default;
    ~CStaticLink() override = default;

    COLORREF m_colorUnvisited = RGB(0, 0, 255);
    COLORREF m_colorVisited = RGB(128, 0, 128);
    BOOL m_bVisited = FALSE;
    CString m_link;   // the address or file the link opens
    CFont m_font;     // the control's font, underlined; made on first use

    // The messages of a failed open.
    static CString NoProgramMessage();
    static CString OpenFailedMessage(const CString& link);

protected:
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg void OnClicked();
    DECLARE_MESSAGE_MAP()
};
