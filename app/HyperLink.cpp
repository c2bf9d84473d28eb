// The link draws itself blue (purple once opened) and underlined, through the colour message
// that the static control sends its parent and that comes back here reflected.

#include "app/HyperLink.h"

#include "platform/sys/shell.h"

IMPLEMENT_DYNAMIC(CStaticLink, CStatic)

BEGIN_MESSAGE_MAP(CStaticLink, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

CString CStaticLink::NoProgramMessage()
{
    return "Web Page or E-mail links can only be accessed if you have allready installed a web browser or internet "
           "e-mail program.  If you have installed such a program and this link does not work, please call the "
           "manufacturer of that program and ask how to make it the default web browser or email program for your "
           "operating system.";
}

CString CStaticLink::OpenFailedMessage(const CString& link)
{
    return "Paravel was unable to open the link " + link + ".  Please close all other programs and try again." +
           "\nIf the problem persists, see Help for information on technical support";
}

HBRUSH CStaticLink::CtlColor(CDC* pDC, UINT)
{
    DWORD dwStyle = GetStyle();
    if (!(dwStyle & SS_NOTIFY)) ModifyStyle(0, SS_NOTIFY);  // so that clicks reach the control
    if ((dwStyle & SS_TYPEMASK) > SS_RIGHT) return nullptr;  // not a text static
    if (!m_font.GetSafeHandle()) {
        LOGFONT lf {};
        CFont* pFont = GetFont();
        if (pFont && pFont->GetSafeHandle()) pFont->GetLogFont(&lf);
        else CFont::FromHandle(reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)))->GetLogFont(&lf);
        lf.lfUnderline = TRUE;
        m_font.CreateFontIndirect(&lf);
        // The control draws its text with its own font: give it the underlined one.
        SetFont(&m_font, FALSE);
    }
    pDC->SelectObject(&m_font);
    pDC->SetTextColor(m_bVisited ? m_colorVisited : m_colorUnvisited);
    pDC->SetBkMode(TRANSPARENT);
    // Our controls are not see-through: lay the dialog's face under the hollow brush.
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CStaticLink::OnClicked()
{
    if (m_link.IsEmpty()) return;
    auto result = reinterpret_cast<INT_PTR>(ShellExecute(nullptr, "open", m_link, nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) {
        m_bVisited = TRUE;
        Invalidate();
    } else if (result == SE_ERR_NOASSOC) {
        AfxMessageBox(NoProgramMessage(), MB_ICONINFORMATION);
    } else {
        AfxMessageBox(OpenFailedMessage(m_link), MB_ICONINFORMATION);
    }
}
