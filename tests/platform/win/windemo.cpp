// A small program for the end-to-end tests of the window system: a main window with a button
// that shows a message box, and a line that shows what was typed. Driven by PV_SCRIPT.

#include "platform/win/win.h"

#include <algorithm>
#include <cstdlib>

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

// A panel of numbered lines with both scroll bars and a sunken edge; it scrolls its pixels.
class DemoList : public CWnd {
public:
    BOOL Create(const RECT& r, CWnd* parent, UINT id)
    {
        LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                          reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1)));
        if (!CWnd::CreateEx(WS_EX_CLIENTEDGE, cls, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, r, parent, id))
            return FALSE;
        SCROLLINFO si {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, kLines - 1, UINT(visibleLines()), 0, 0};
        SetScrollInfo(SB_VERT, &si);
        SCROLLINFO sh {sizeof sh, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 50, 0, 0};
        SetScrollInfo(SB_HORZ, &sh);
        return TRUE;
    }

protected:
    static const int kLines = 40;
    static const int kLineHeight = 16;
    int m_top = 0;

    int visibleLines()
    {
        CRect r;
        GetClientRect(&r);
        return std::max(1, int(r.Height() / kLineHeight));
    }
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        dc.SetBkMode(TRANSPARENT);
        for (int i = 0; i < kLines; ++i) {
            CString s;
            s.Format("Line %d", i + 1);
            dc.TextOut(4, (i - m_top) * kLineHeight, s);
        }
    }
    afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar*)
    {
        int page = visibleLines();
        int top = m_top;
        switch (code) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= page; break;
        case SB_PAGEDOWN: top += page; break;
        case SB_THUMBTRACK: case SB_THUMBPOSITION: top = int(pos); break;
        default: return;
        }
        top = std::clamp(top, 0, std::max(0, kLines - page));
        if (top == m_top) return;
        ScrollWindow(0, (m_top - top) * kLineHeight);
        m_top = top;
        SetScrollPos(SB_VERT, m_top);
        UpdateWindow();
    }
    afx_msg BOOL OnMouseWheel(UINT, short delta, CPoint)
    {
        for (int n = std::abs(delta) / WHEEL_DELTA * 3; n > 0; --n) OnVScroll(delta < 0 ? SB_LINEDOWN : SB_LINEUP, 0, nullptr);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DemoList, CWnd)
    ON_WM_PAINT()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
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
    DemoList m_list;
    CString m_typed;
    int m_presses = 0;

    afx_msg int OnCreate(LPCREATESTRUCT cs)
    {
        if (CWnd::OnCreate(cs) == -1) return -1;
        if (!m_button.Create("Press me", CRect(20, 20, 140, 50), this, kButtonId)) return -1;
        if (!m_list.Create(CRect(220, 20, 390, 170), this, kButtonId + 1)) return -1;
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
    // F9 asks until the user gives up, like a program waiting for a file or a database.
    afx_msg void OnKeyDown(UINT vk, UINT, UINT)
    {
        if (vk != VK_F9) return;
        while (AfxMessageBox("The file is not there yet.", MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY) {
        }
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
    ON_WM_KEYDOWN()
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
