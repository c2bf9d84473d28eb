#include "grid/controls/gxlistbox.h"

#include <algorithm>

#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxparam.h"
#include "platform/gdi/dcguard.h"

LRESULT CGXListBoxWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (m_pControl && m_pControl->OnWindowMessage(message, wParam, lParam, result))
        return result;
    return CListBox::WindowProc(message, wParam, lParam);
}

int GXListBoxFirstDrawnLine(int nMarked, int nVisible)
{
    if (nMarked < 0 || nVisible <= 0 || nMarked < nVisible)
        return 0;
    return nMarked - nVisible + 1;
}

CGXListBox::CGXListBox(CGXGridCore* pGrid, UINT nID) : CGXControl(pGrid), m_nID(nID) {}

CGXListBox::~CGXListBox()
{
    if (HasWindow())
        m_pWnd->DestroyWindow();
}

BOOL CGXListBox::CreateControl()
{
    WNDCLASS wc {};
    const HINSTANCE hInstance = AfxGetInstanceHandle();
    if (!GetClassInfo(hInstance, GX_LISTBOXCLASS, &wc)) {
        PvRegisterStandardControls();
        if (GetClassInfo(nullptr, "listbox", &wc)) {
            wc.style |= CS_GLOBALCLASS;
            wc.hInstance = hInstance;
            wc.lpszClassName = GX_LISTBOXCLASS;
            RegisterClass(&wc);
        }
    }
    CWnd* pGridWnd = GetGridWnd();
    if (!pGridWnd || !pGridWnd->GetSafeHwnd())
        return FALSE;
    if (!m_pWnd)
        m_pWnd = std::make_unique<CGXListBoxWnd>(this);
    return m_pWnd->CreateEx(0, GX_LISTBOXCLASS, "", WS_CHILD | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY,
                            CRect(0, 0, 0, 0), pGridWnd, m_nID);
}

void CGXListBox::SetActive(BOOL bActive)
{
    SetActiveWithWindow(m_bActive, bActive, HasWindow());
}

void CGXListBox::InitForCell(ROWCOL nRow, ROWCOL nCol)
{
    CGXControl::InitForCell(nRow, nCol);
    if (!HasWindow())
        CreateControl();
    ResetCellStyle();
    SetActive(FALSE);
    // The list is filled at once, so that the value's entry is known before the cell is drawn.
    FillListBox();
    SetModified(FALSE);
}

void CGXListBox::FillListBox()
{
    if (!HasWindow())
        return;
    m_pWnd->ResetContent();
    CGXChoiceListReader lines(GetCellStyle().GetChoiceList());
    CString sLine;
    while (lines.Next(sLine))
        m_pWnd->AddString(sLine);
    CString sText;
    CGXControl::GetCellValueText(sText);
    if (!sText.IsEmpty())
        m_pWnd->SetCurSel(m_pWnd->FindString(-1, sText));
}

BOOL CGXListBox::CommitValue()
{
    if (m_bInit && IsCellReadOnly()) {
        InitForCell(m_nRow, m_nCol);
        SetModified(FALSE);
        Refresh();
    }
    CString sText;
    const BOOL bModified = IsModified() && m_pStyle && GetEditText(sText);
    SetActive(FALSE);
    if (!bModified)
        return TRUE;
    SetModified(FALSE);
    ResetCellStyle();
    return m_pGrid->SetRangeValueText(CGXCellRange(m_nRow, m_nCol), sText, gxOverride, 0, GX_INVALIDATE);
}

BOOL CGXListBox::GetEditText(CString& sText)
{
    if (!m_bActive || !HasWindow())
        return CGXControl::GetCellValueText(sText);
    const int nSel = m_pWnd->GetCurSel();
    sText.Empty();
    if (nSel >= 0)
        m_pWnd->GetText(nSel, sText);
    return TRUE;
}

void CGXListBox::SetEditText(LPCTSTR pszText)
{
    if (!m_bInit || !HasWindow())
        return;
    SetActive(TRUE);
    const CString sText = pszText ? pszText : "";
    if (!ValidateText(sText))
        return;
    // The window's text is its selected entry: the one the text names, exactly or as a prefix.
    int i = sText.IsEmpty() ? -1 : m_pWnd->FindStringExact(-1, sText);
    if (i < 0 && !sText.IsEmpty())
        i = m_pWnd->FindString(-1, sText);
    m_pWnd->SetCurSel(i);
    SetModified(TRUE);
    NotifyModified();
}

CSize CGXListBox::AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    size.cx += 3 * CGXStatic::TextMargin() / 2;
    return CGXControl::AddBorderToSize(size, nRow, nCol, style);
}

CSize CGXListBox::ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL)
{
    CSize size(0, 0);
    if (pDC && style.GetIncludeChoiceList()) {
        CDCStateGuard guard(pDC);
        guard.SelectFont(m_pGrid->LookupFont(style.GetFont()));
        TEXTMETRIC tm {};
        pDC->GetTextMetrics(&tm);
        const int nLine = tm.tmHeight + tm.tmExternalLeading;
        CGXChoiceListReader lines(style.GetChoiceList());
        const char* p = nullptr;
        int nWidest = 0;
        for (int n = 0; lines.Next(p, n);) {
            nWidest = std::max<int>(nWidest, pDC->GetTextExtent(p, n).cx);
            size.cy += nLine;
        }
        size.cx = nWidest + 4;
    }
    return AddBorderToSize(size, nRow, nCol, style);
}

BOOL CGXListBox::ActivateAndClick(ROWCOL nRow, ROWCOL nCol, CPoint point)
{
    if (!m_bActive) {
        if (!StartEditing())
            return FALSE;
        SetActive(TRUE);
    }
    Refresh();
    // The window is laid over the cell before the click reaches it.
    if (CWnd* pGridWnd = GetGridWnd())
        pGridWnd->UpdateWindow();
    const CRect inner = ComputeInnerRect(nRow, nCol);
    const CPoint pt(point.x - inner.left, point.y - inner.top);
    const HWND h = m_pWnd->GetSafeHwnd();
    ::PostMessage(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    ::PostMessage(h, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    return TRUE;
}

BOOL CGXListBox::OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    CGXGridParam* pParam = m_pGrid->GetParam();
    const WORD w = pParam ? pParam->m_wActivateFlags : 0;
    if (HasWindow() && IsInitializedFor(nRow, nCol) && (w & 0x07) && GetKeyState(VK_RBUTTON) >= 0) {
        if (!ActivateAndClick(nRow, nCol, point))
            return FALSE;
        CGXControl::OnLeftButtonUp(nRow, nCol, flags, point);
        return TRUE;
    }
    return CGXControl::OnLeftButtonUp(nRow, nCol, flags, point);
}

BOOL CGXListBox::OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    CGXGridParam* pParam = m_pGrid->GetParam();
    if (HasWindow() && IsInitializedFor(nRow, nCol) && !m_bActive && pParam && (pParam->m_wActivateFlags & 0x08)) {
        if (!ActivateAndClick(nRow, nCol, point))
            return FALSE;
        CGXControl::OnLeftButtonDblClk(nRow, nCol, flags, point);
        return TRUE;
    }
    return CGXControl::OnLeftButtonDblClk(nRow, nCol, flags, point);
}

BOOL CGXListBox::HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags)
{
    if (message != WM_KEYDOWN || !HasWindow() || !m_bInit)
        return CGXControl::HandleKeyMessage(message, wParam, lParam, flags);
    if (!m_bActive) {
        if (!StartEditing())
            return FALSE;
        SetActive(TRUE);
    }
    // The list box takes the key as if it had the focus (it sends the grid's keys on).
    m_pWnd->SendMessage(WM_KEYDOWN, wParam, lParam);
    if (m_bInit && !m_pGrid->ScrollToCell(m_nRow, m_nCol, 2, FALSE))
        Refresh();
    return TRUE;
}

void CGXListBox::Hide()
{
    if (HasWindow())
        HideCellWindow(m_pWnd.get());
}

void CGXListBox::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                      const CGXStyle* pStandardStyle)
{
    CRect inner = ComputeInnerRect(nRow, nCol, &rect, &style);
    CFont* pFont = m_pGrid->LookupFont(style.GetFont());
    if (IsInitializedFor(nRow, nCol) && HasWindow() && !m_pGrid->IsPrinting()
        && m_pGrid->IsCurrentCellAt(nRow, nCol)) {
        // A visit alone stores nothing: only a change of the selection marks the cell modified.
        Hide();
        Draw3dBackground(pDC, rect, style, TRUE);
        if (style.GetIncludeHorizontalAlignment() && style.GetHorizontalAlignment() == 2)
            inner.right += 1;
        m_pWnd->MoveWindow(inner, FALSE);
        if (pFont)
            m_pWnd->SendMessage(WM_SETFONT, WPARAM(pFont->GetSafeHandle()), FALSE);
        SetActive(TRUE);
        // A repaint keeps the entry the user picked.
        if (!IsModified())
            FillListBox();
        m_pWnd->MoveWindow(inner, FALSE);
        m_pWnd->ShowWindow(SW_SHOW);
        CWnd* pGridWnd = GetGridWnd();
        if (pGridWnd && ::GetFocus() == pGridWnd->GetSafeHwnd()) {
            const BOOL bOldLock = m_pGrid->m_bLockCurrentCell;
            m_pGrid->m_bLockCurrentCell = TRUE;
            m_pWnd->SetFocus();
            m_pGrid->m_bLockCurrentCell = bOldLock;
        }
        m_pWnd->UpdateWindow();
        CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
        AddInvalidRect(inner);
        return;
    }
    if (rect.Width() <= 1 || rect.Height() <= 1)
        return;
    CFont* pOldFont = pFont ? pDC->SelectObject(pFont) : nullptr;
    Draw3dBackground(pDC, rect, style, TRUE);
    pDC->SetTextColor(style.GetTextColor());
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    inner.OffsetRect(2, 0);
    TEXTMETRIC tm {};
    pDC->GetTextMetrics(&tm);
    const int nLine = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);

    const CString sValue = style.GetIncludeValue() ? style.GetValue() : CString();
    CGXChoiceListReader reader(style.GetChoiceList());
    CString sLine;
    std::vector<CString> lines;
    int nMarked = -1;
    while (reader.Next(sLine)) {
        if (nMarked < 0 && sLine == sValue)
            nMarked = int(lines.size());
        lines.push_back(sLine);
    }
    // Only whole lines count as visible: the marked line is never cut at the bottom.
    const int nVisible = std::max(1, inner.Height() / nLine);
    UINT nFormat = DT_SINGLELINE | DT_NOPREFIX;
    if (style.GetIncludeHorizontalAlignment())
        nFormat |= style.GetHorizontalAlignment() == 1 ? DT_CENTER : style.GetHorizontalAlignment() == 2 ? DT_RIGHT : 0;
    CGXDrawingAndFormatting* pDraw = GetDrawingAndFormatting();
    int y = inner.top;
    for (int i = GXListBoxFirstDrawnLine(nMarked, nVisible); i < int(lines.size()); ++i) {
        CRect r(inner.left, y, inner.right, std::min<int>(y + nLine, inner.bottom));
        pDraw->DrawTextLines(pDC, lines[size_t(i)], -1, r, nFormat, &inner);
        if (i == nMarked)
            pDC->InvertRect(&r);
        y += nLine;
        if (y >= inner.bottom)
            break;
    }
    pDC->SetBkMode(nOldMode);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

BOOL CGXListBox::HandleCommandMessage(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == m_nID && HIWORD(wParam) == LBN_SELCHANGE && !IsCellReadOnly()) {
        SetModified(TRUE);
        NotifyModified();
    }
    return CGXControl::HandleCommandMessage(wParam, lParam);
}

BOOL CGXListBox::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_GETDLGCODE:
        result = m_pWnd->DefWindowProc(message, wParam, lParam) | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
        return TRUE;
    case WM_KEYDOWN: {
        const BOOL bCtrl = GetKeyState(VK_CONTROL) < 0;
        const BOOL bGrid = bCtrl || wParam == VK_TAB || wParam == VK_RETURN || wParam == VK_ESCAPE || wParam == VK_LEFT
            || wParam == VK_RIGHT || wParam == VK_DELETE || (wParam >= VK_F1 && wParam <= VK_F24);
        if (bGrid) {
            m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL);
            return TRUE;
        }
        return FALSE;
    }
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
        if (m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL))
            return TRUE;
        return FALSE;
    case WM_KILLFOCUS:
        result = m_pWnd->DefWindowProc(message, wParam, lParam);
        NotifyGridKillFocus(CWnd::FromHandle(HWND(wParam)));
        return TRUE;
    default:
        return FALSE;
    }
}
