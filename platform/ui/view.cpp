// CView: document connection, painting, activation, pane commands, printing and print preview.

#include "platform/ui/view.h"

#include "platform/base/exceptions.h"
#include "platform/ui/cmdui.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/frame.h"
#include "platform/ui/splitter.h"
#include "platform/ui/winapp.h"

#include <algorithm>
#include <cstdint>

// ---- CPrintInfo ----
CPrintInfo::CPrintInfo() : m_pPD(new CPrintDialog(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOSELECTION))
{
    SetMinPage(1);
    SetMaxPage(0xFFFF);
    m_pPD->m_pd.nFromPage = 1;
    m_pPD->m_pd.nToPage = 0xFFFF;
}

CPrintInfo::~CPrintInfo()
{
    if (m_pPD && m_pPD->m_pd.hDC) {
        ::DeleteDC(m_pPD->m_pd.hDC);
        m_pPD->m_pd.hDC = nullptr;
    }
    delete m_pPD;
}

void CPrintInfo::SetMinPage(UINT n) { m_pPD->m_pd.nMinPage = WORD(n); }
void CPrintInfo::SetMaxPage(UINT n) { m_pPD->m_pd.nMaxPage = WORD(std::min<UINT>(n, 0xFFFF)); }
UINT CPrintInfo::GetMinPage() const { return m_pPD->m_pd.nMinPage; }
UINT CPrintInfo::GetMaxPage() const { return m_pPD->m_pd.nMaxPage; }
UINT CPrintInfo::GetFromPage() const { return m_pPD->m_pd.nFromPage; }
UINT CPrintInfo::GetToPage() const { return m_pPD->m_pd.nToPage; }

// ---- CView ----
IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_MOUSEACTIVATE()
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMsg)
    ON_COMMAND_EX(ID_NEXT_PANE, OnNextPaneCmd)
    ON_UPDATE_COMMAND_UI(ID_NEXT_PANE, OnUpdateNextPaneMenu)
    ON_COMMAND_EX(ID_PREV_PANE, OnNextPaneCmd)
    ON_UPDATE_COMMAND_UI(ID_PREV_PANE, OnUpdateNextPaneMenu)
END_MESSAGE_MAP()

CView::~CView()
{
    if (m_pDocument) m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass) {
        static LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                                 reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1)));
        cs.lpszClass = cls;
    }
    // A border on a view is drawn as a sunken client edge.
    if (cs.style & WS_BORDER) {
        cs.style &= ~WS_BORDER;
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
    }
    cs.style |= WS_CLIPSIBLINGS;
    return TRUE;
}

int CView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1) return -1;
    CCreateContext* ctx = lpcs ? static_cast<CCreateContext*>(lpcs->lpCreateParams) : nullptr;
    if (ctx && ctx->m_pCurrentDoc) ctx->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    CFrameWnd* f = GetParentFrame();
    if (f && f->GetActiveView() == this) f->SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

void CView::PostNcDestroy() { delete this; }

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    int r = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (r == MA_NOACTIVATE || r == MA_NOACTIVATEANDEAT) return r;
    if (CFrameWnd* f = GetParentFrame()) {
        if (f->GetActiveView() != this) f->SetActiveView(this);
        else {
            // A click in one of the view's own children (an in-place editor) leaves the focus there.
            HWND focus = ::GetFocus();
            if (focus != m_hWnd && !::IsChild(m_hWnd, focus)) SetFocus();
        }
    }
    return r;
}

LRESULT CView::OnInitialUpdateMsg(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
void CView::OnUpdate(CView* pSender, LPARAM, CObject*)
{
    if (pSender != this && m_hWnd) Invalidate(TRUE);
}
void CView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    // Printing stops after the last page when the page count is known.
    if (pInfo && pDC && pDC->IsPrinting() && pInfo->GetMaxPage() == 0xFFFF) pInfo->m_bContinuePrinting = pInfo->m_nCurPage == 1;
}

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView*)
{
    if (bActivate && pActivateView == this && m_hWnd) {
        CFrameWnd* f = GetParentFrame();
        HWND active = ::GetActiveWindow();
        // Take the focus only in the active top-level window: no stealing from dialogs.
        if (!f || !active || active == f->GetTopLevelParent()->m_hWnd) SetFocus();
    }
}

void CView::OnActivateFrame(UINT, CFrameWnd*) {}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

CSplitterWnd* CView::GetParentSplitter(const CWnd* pWnd, BOOL bAnyState)
{
    if (!pWnd || !pWnd->m_hWnd) return nullptr;
    CWnd* p = CWnd::FromHandlePermanent(::GetParent(pWnd->m_hWnd));
    if (!p || !p->IsKindOf(RUNTIME_CLASS(CSplitterWnd))) return nullptr;
    (void)bAnyState;
    return static_cast<CSplitterWnd*>(p);
}

BOOL CView::OnNextPaneCmd(UINT nID)
{
    CSplitterWnd* s = GetParentSplitter(this, FALSE);
    if (!s || !s->CanActivateNext(nID == ID_PREV_PANE)) return FALSE;
    s->ActivateNext(nID == ID_PREV_PANE);
    return TRUE;
}

void CView::OnUpdateNextPaneMenu(CCmdUI* pCmdUI)
{
    CSplitterWnd* s = GetParentSplitter(this, FALSE);
    pCmdUI->Enable(s && s->CanActivateNext(pCmdUI->m_nID == ID_PREV_PANE));
}

// ---- Printing ----
BOOL CView::OnPreparePrinting(CPrintInfo* pInfo) { return DoPreparePrinting(pInfo); }

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo)
{
    if (!pInfo) return FALSE;
    CPrintDialog* pd = pInfo->m_pPD;
    pd->m_pParentWnd = GetTopLevelParent();
    if (pInfo->m_bPreview || pInfo->m_bDirect) {
        if (!pd->GetDefaults()) return FALSE;
    } else if (pd->DoModal() != IDOK) {
        return FALSE;
    }
    if (pd->PrintAll()) {
        pd->m_pd.nFromPage = WORD(pInfo->GetMinPage());
        pd->m_pd.nToPage = WORD(pInfo->GetMaxPage());
    }
    if (!pd->m_pd.hDC) pd->m_pd.hDC = pd->CreatePrinterDC();
    return pd->m_pd.hDC != nullptr;
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CView::OnPrint(CDC* pDC, CPrintInfo*) { OnDraw(pDC); }
void CView::OnEndPrinting(CDC*, CPrintInfo*) {}
void CView::OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT, CView*) { OnEndPrinting(pDC, pInfo); }

void CView::OnFilePrint()
{
    CPrintInfo info;
    const MSG* cur = GetCurrentMessage();
    if (cur && cur->message == WM_COMMAND && LOWORD(cur->wParam) == ID_FILE_PRINT_DIRECT) info.m_bDirect = TRUE;
    if (!OnPreparePrinting(&info) || !info.m_pPD->m_pd.hDC) return;
    CDC dc;
    dc.Attach(info.m_pPD->m_pd.hDC);
    CString title = m_pDocument ? m_pDocument->GetTitle() : CString(AfxGetAppName());
    OnBeginPrinting(&dc, &info);
    bool ok = dc.StartDoc(title) > 0;
    UINT from = std::max<UINT>(info.GetFromPage(), info.GetMinPage());
    // A view may learn its page count only while it prints: the last page is read each time.
    auto lastPage = [&info] { return std::min<UINT>(info.GetToPage(), info.GetMaxPage()); };
    for (info.m_nCurPage = from; ok && info.m_nCurPage <= lastPage(); ++info.m_nCurPage) {
        OnPrepareDC(&dc, &info);
        if (!info.m_bContinuePrinting) break;
        info.m_rectDraw.SetRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
        if (dc.StartPage() <= 0) { ok = false; break; }
        int saved = dc.SaveDC();
        OnPrint(&dc, &info);
        dc.RestoreDC(saved);
        if (dc.EndPage() <= 0) ok = false;
        if (!info.m_bContinuePrinting) break;
    }
    if (ok) dc.EndDoc();
    else dc.AbortDoc();
    OnEndPrinting(&dc, &info);
    dc.Detach();
    if (!ok) AfxMessageBox("Failed to print the document.", MB_ICONEXCLAMATION);
}

// ---- Print preview ----
namespace {
// A top-level window that shows one page at a time, drawn by the view's printing code into a
// page-sized image, with buttons to page, print and close.
class CPreviewWnd : public CWnd {
public:
    CView* m_pView = nullptr;
    CPrintInfo m_info;
    CDC m_dcPrinter;
    UINT m_nPage = 1;
    CSize m_sizePrinter;
    CRect m_rcButtons[4];
    HWND m_hOldMain = nullptr;

    void Layout()
    {
        const char* labels[4] = {"&Print...", "&Next Page", "Pre&v Page", "&Close"};
        (void)labels;
        for (int i = 0; i < 4; ++i) m_rcButtons[i] = CRect(6 + i * 86, 4, 6 + i * 86 + 80, 26);
    }
    UINT LastPage() const { return std::max<UINT>(m_info.GetMinPage(), std::min<UINT>(m_info.GetMaxPage(), 9999)); }

    void DrawPage(CDC* pDC, const CRect& area)
    {
        if (m_sizePrinter.cx <= 0 || m_sizePrinter.cy <= 0) return;
        // The page fits the area, keeping its proportions.
        double sx = double(area.Width() - 20) / m_sizePrinter.cx, sy = double(area.Height() - 20) / m_sizePrinter.cy;
        double s = std::max(0.01, std::min(sx, sy));
        int w = int(m_sizePrinter.cx * s), h = int(m_sizePrinter.cy * s);
        CRect page(area.left + (area.Width() - w) / 2, area.top + (area.Height() - h) / 2, 0, 0);
        page.right = page.left + w;
        page.bottom = page.top + h;
        pDC->FillSolidRect(page.left + 3, page.top + 3, w, h, RGB(64, 64, 64));
        pDC->FillSolidRect(&page, RGB(255, 255, 255));
        pDC->FrameRect(&page, CBrush::FromHandle(reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
        int saved = pDC->SaveDC();
        pDC->IntersectClipRect(&page);
        m_info.m_nCurPage = m_nPage;
        m_info.m_bContinuePrinting = TRUE;
        m_info.m_rectDraw.SetRect(0, 0, m_sizePrinter.cx, m_sizePrinter.cy);
        // Draws on the screen but answers device questions as the printer does, so that a
        // view that scales to the printer's resolution scales the same here.
        CDC dc;
        dc.m_hDC = pDC->m_hDC;
        dc.m_hAttribDC = m_dcPrinter.m_hDC;
        dc.m_bPrinting = TRUE;
        const int savedPrinter = m_dcPrinter.SaveDC();
        m_pView->OnPrepareDC(&dc, &m_info);
        const int mode = dc.GetMapMode();
        if (mode == MM_ANISOTROPIC || mode == MM_ISOTROPIC) {
            // The view's mapping reaches printer pixels; the page shows them at w / width.
            const CSize we = dc.GetWindowExt(), ve = dc.GetViewportExt();
            const CPoint vo = dc.GetViewportOrg();
            dc.SetMapMode(MM_ANISOTROPIC);
            dc.SetWindowExt(we.cx * m_sizePrinter.cx, we.cy * m_sizePrinter.cy);
            dc.SetViewportExt(ve.cx * w, ve.cy * h);
            dc.SetViewportOrg(page.left + MulDiv(vo.x, w, m_sizePrinter.cx), page.top + MulDiv(vo.y, h, m_sizePrinter.cy));
        } else {
            dc.SetMapMode(MM_ANISOTROPIC);
            dc.SetWindowOrg(0, 0);
            dc.SetWindowExt(m_sizePrinter.cx, m_sizePrinter.cy);
            dc.SetViewportOrg(page.left, page.top);
            dc.SetViewportExt(w, h);
        }
        if (m_info.m_bContinuePrinting) m_pView->OnPrint(&dc, &m_info);
        dc.m_hDC = nullptr;
        dc.m_hAttribDC = nullptr;
        m_dcPrinter.RestoreDC(savedPrinter);
        pDC->RestoreDC(saved);
    }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        switch (msg) {
        case WM_PAINT: {
            CPaintDC dc(this);
            CRect rc;
            GetClientRect(&rc);
            dc.FillSolidRect(&rc, GetSysColor(COLOR_APPWORKSPACE));
            dc.FillSolidRect(0, 0, rc.Width(), 30, GetSysColor(COLOR_BTNFACE));
            HGDIOBJ of = dc.SelectObject(GetStockObject(DEFAULT_GUI_FONT));
            dc.SetBkMode(TRANSPARENT);
            const char* labels[4] = {"&Print...", "&Next Page", "Pre&v Page", "&Close"};
            for (int i = 0; i < 4; ++i) {
                bool enabled = !((i == 1 && m_nPage >= LastPage()) || (i == 2 && m_nPage <= m_info.GetMinPage()));
                dc.Draw3dRect(&m_rcButtons[i], GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
                dc.SetTextColor(GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
                dc.DrawText(labels[i], -1, &m_rcButtons[i], DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            }
            CString page;
            page.Format("Page %u", m_nPage);
            CRect tr(6 + 4 * 86, 4, rc.right - 6, 26);
            dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
            dc.DrawText(page, &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            dc.SelectObject(of);
            DrawPage(&dc, CRect(0, 30, rc.right, rc.bottom));
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_LBUTTONDOWN: {
            CPoint pt(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            for (int i = 0; i < 4; ++i)
                if (m_rcButtons[i].PtInRect(pt)) Command(i);
            return 0;
        }
        case WM_KEYDOWN:
            if (wp == VK_NEXT || wp == VK_RIGHT) Command(1);
            else if (wp == VK_PRIOR || wp == VK_LEFT) Command(2);
            else if (wp == VK_ESCAPE) Command(3);
            return 0;
        case WM_CHAR: {
            int c = std::tolower(int(wp));
            if (c == 'p') Command(0);
            else if (c == 'n') Command(1);
            else if (c == 'v') Command(2);
            else if (c == 'c') Command(3);
            return 0;
        }
        case WM_CLOSE: Command(3); return 0;
        default: return CWnd::WindowProc(msg, wp, lp);
        }
    }

    void Command(int i)
    {
        switch (i) {
        case 0: {
            CView* v = m_pView;
            DestroyWindow();
            if (v && v->m_hWnd) v->OnFilePrint();
            return;
        }
        case 1: if (m_nPage < LastPage()) { ++m_nPage; Invalidate(); } return;
        case 2: if (m_nPage > m_info.GetMinPage()) { --m_nPage; Invalidate(); } return;
        default: DestroyWindow(); return;
        }
    }

    void PostNcDestroy() override
    {
        if (m_pView && m_pView->m_hWnd) m_pView->OnEndPrintPreview(&m_dcPrinter, &m_info, CPoint(0, 0), m_pView);
        if (m_dcPrinter.m_hDC) {
            m_dcPrinter.Detach();
            m_info.m_pPD->m_pd.hDC = m_info.m_pPD->m_pd.hDC; // CPrintInfo deletes it
        }
        if (CWnd* top = m_pView && m_pView->m_hWnd ? m_pView->GetTopLevelParent() : nullptr) {
            top->EnableWindow(TRUE);
            top->SetActiveWindow();
        }
        delete this;
    }
};
} // namespace

void CView::OnFilePrintPreview()
{
    auto* w = new CPreviewWnd;
    w->m_pView = this;
    w->m_info.m_bPreview = TRUE;
    if (!OnPreparePrinting(&w->m_info) || !w->m_info.m_pPD->m_pd.hDC) {
        delete w;
        return;
    }
    w->m_dcPrinter.Attach(w->m_info.m_pPD->m_pd.hDC);
    w->m_sizePrinter = CSize(w->m_dcPrinter.GetDeviceCaps(HORZRES), w->m_dcPrinter.GetDeviceCaps(VERTRES));
    OnBeginPrinting(&w->m_dcPrinter, &w->m_info);
    // The view may have chosen the first page to show.
    w->m_nPage = std::max<UINT>({1, w->m_info.GetMinPage(), std::min<UINT>(w->m_info.m_nCurPage, w->LastPage())});
    w->Layout();
    CWnd* top = GetTopLevelParent();
    CRect rc;
    if (top) top->GetWindowRect(&rc);
    else rc.SetRect(0, 0, 800, 600);
    static LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), nullptr);
    CString title = CString(AfxGetAppName()) + " - Print Preview";
    if (!w->CreateEx(0, cls, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, rc.left, rc.top, rc.Width(), rc.Height(),
                     top ? top->m_hWnd : nullptr, nullptr)) {
        w->m_dcPrinter.Detach();
        delete w;
        return;
    }
    if (top) top->EnableWindow(FALSE);
    w->SetActiveWindow();
}
