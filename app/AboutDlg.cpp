// The About box.

#include "app/AboutDlg.h"

#include "platform/base/stringtable.h"
#include "platform/ui/winapp.h"
#include "resources/frame_ids.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

BOOL CAboutDlg::OnInitDialog()
{
    m_wndLink1.SubclassDlgItem(IDC_ABOUT_LINK, this);
    m_wndLink1.m_link.LoadString(IDS_PRODUCT_PAGE);
    // The template's pictures.
    const struct {
        UINT nCtl, nBitmap;
        CBitmap* pBitmap;
    } pictures[] = {{IDC_ABOUT_BANNER, IDB_ABOUT_BANNER, &m_bmBanner},
                    {IDC_ABOUT_LOGO, IDB_ABOUT_LOGO, &m_bmLogo},
                    {IDC_ABOUT_SEAL, IDB_ABOUT_SEAL, &m_bmSeal}};
    for (const auto& p : pictures)
        if (HWND h = ::GetDlgItem(m_hWnd, int(p.nCtl)); h && p.pBitmap->LoadBitmap(p.nBitmap))
            ::SendMessage(h, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(HBITMAP(*p.pBitmap)));
    return CDialog::OnInitDialog();
}

BOOL CAboutDlg::OnSetCursor(CWnd* pWnd, UINT, UINT)
{
    CStaticLink* const links[] = {&m_wndLink1, &m_wndLink4, &m_wndLink2, &m_wndLink3};
    for (CStaticLink* pLink : links) {
        if (pLink->m_hWnd && pWnd && pWnd->m_hWnd == pLink->m_hWnd && !pLink->m_link.IsEmpty()) {
            ::SetCursor(::LoadCursor(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDC_LINK_HAND)));
            return TRUE;
        }
    }
    return BOOL(Default());
}
