#include "app/HtmlPageDlg.h"

#include "resources/frame_ids.h"

CHtmlPageDlg::CHtmlPageDlg(CWnd* pParent) : CDialog(IDD_HTML_PAGE, pParent) { PvRegisterBrowserControl(); }

void CHtmlPageDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BROWSER, m_browser);
}

BOOL CHtmlPageDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_browser.Navigate(m_strAddress, nullptr, nullptr, nullptr, nullptr);
    return TRUE;
}
