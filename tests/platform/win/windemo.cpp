// A small program for the end-to-end tests of the window system: a main window with a button
// that shows a message box, and a line that shows what was typed. Driven by PV_SCRIPT.

#include "platform/win/win.h"

namespace {

const UINT kButtonId = 100;

// A push button drawn here, as the controls library is not part of the window system.
class DemoButton : public CWnd {
public:
    BOOL Create(LPCTSTR text, const RECT& r, CWnd* parent, UINT id)
    {
        LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
        return CWnd::Create(cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP, r, parent, id);
    }

protected:
    bool m_pressed = false;

    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        CRect r;
        GetClientRect(&r);
        dc.FillSolidRect(&r, GetSysColor(COLOR_BTNFACE));
        dc.DrawEdge(&r, m_pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        CString text;
        GetWindowText(text);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
        dc.DrawText(text, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (::GetFocus() == m_hWnd) {
            r.DeflateRect(4, 4);
            dc.DrawFocusRect(&r);
        }
    }
    afx_msg void OnLButtonDown(UINT, CPoint)
    {
        m_pressed = true;
        SetCapture();
        SetFocus();
        Invalidate();
    }
    afx_msg void OnLButtonUp(UINT, CPoint pt)
    {
        if (!m_pressed) return;
        m_pressed = false;
        ReleaseCapture();
        Invalidate();
        CRect r;
        GetClientRect(&r);
        if (r.PtInRect(pt))
            GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
    }
    afx_msg void OnSetFocus(CWnd*) { Invalidate(); }
    afx_msg void OnKillFocus(CWnd*) { Invalidate(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DemoButton, CWnd)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

class DemoWindow : public CWnd {
public:
    BOOL CreateMain()
    {
        LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                          reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1)));
        return CreateEx(0, cls, "Window Test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 420, 240, nullptr, nullptr);
    }

protected:
    DemoButton m_button;
    CString m_typed;
    int m_presses = 0;

    afx_msg int OnCreate(LPCREATESTRUCT cs)
    {
        if (CWnd::OnCreate(cs) == -1) return -1;
        if (!m_button.Create("Press me", CRect(20, 20, 140, 50), this, kButtonId)) return -1;
        return 0;
    }
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        CString line;
        line.Format("Typed: %s", static_cast<LPCTSTR>(m_typed));
        dc.TextOut(20, 80, line);
        line.Format("Presses: %d", m_presses);
        dc.TextOut(20, 110, line);
    }
    afx_msg void OnChar(UINT ch, UINT, UINT)
    {
        if (ch < 32 || ch > 126) return;
        m_typed += char(ch);
        Invalidate();
    }
    afx_msg void OnPressed()
    {
        ++m_presses;
        Invalidate();
        AfxMessageBox("The button was pressed.", MB_OK | MB_ICONINFORMATION);
        SetFocus(); // typing goes to the window again
    }
    afx_msg void OnDestroy()
    {
        CWnd::OnDestroy();
        ::PostQuitMessage(0);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DemoWindow, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_CHAR()
    ON_WM_DESTROY()
    ON_BN_CLICKED(kButtonId, OnPressed)
END_MESSAGE_MAP()

} // namespace

int main()
{
    PvSetMessageBoxCaption("Window Test");
    DemoWindow w;
    if (!w.CreateMain()) return 1;
    PvSetMainWindow(w.m_hWnd);
    w.SetFocus();
    while (AfxPumpMessage()) {
    }
    return 0;
}
