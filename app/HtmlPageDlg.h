#pragma once
// CHtmlPageDlg: the HTML link dialog, one page by address in a browser control; the HTML pane
// opens it for "ext://" links.

#include "app/WebBrowser2.h"
#include "platform/ui/dialog.h"

class CHtmlPageDlg : public CDialog {
public:
    explicit CHtmlPageDlg(CWnd* pParent = nullptr);
    CString m_strAddress;      // set before DoModal
    CWebBrowser2 m_browser;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
};
