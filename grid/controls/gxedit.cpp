#include "grid/controls/gxedit.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxuattr.h"
#include "platform/base/textcase.h"
#include "platform/base/utf8.h"
#include "platform/gdi/gdi.h"
#include "platform/win/win.h"

const CGXControlClass CGXEditControl::classCGXEditControl = {"CGXEditControl", &CGXStatic::classCGXStatic};
BOOL CGXEditControl::s_bImeComposition = FALSE;

namespace {

BOOL IsKeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

// Window positions count characters; texts are UTF-8.
int CharCount(const CString& s) { return PvUtf8CharCount(s, size_t(s.GetLength())); }

int ByteOffsetOfChar(const CString& s, int nChar) { return PvUtf8ByteOffset(s, nChar); }

CString UpperOf(const CString& s) { return CString(PvUpperCase(std::string_view(s, size_t(s.GetLength()))).c_str()); }

}  // namespace

// ---- The window ----

LRESULT CGXEditWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (m_pControl && m_pControl->OnEditWindowMessage(message, wParam, lParam, result))
        return result;
    return CEdit::WindowProc(message, wParam, lParam);
}

CGXEditControl::CGXEditControl(CGXGridCore* pGrid, UINT nID) : CGXStatic(pGrid), m_nID(nID) {}

CGXEditControl::~CGXEditControl()
{
    if (HasWindow())
        m_pWnd->DestroyWindow();
}

// The library copies the system edit class as "GXEDIT" when it starts; where the standard
// controls were not registered yet then, the copy is made here on first use.
static void EnsureEditClass()
{
    WNDCLASS wc {};
    const HINSTANCE hInstance = AfxGetInstanceHandle();
    if (GetClassInfo(hInstance, GX_EDITCLASS, &wc))
        return;
    PvRegisterStandardControls();
    if (!GetClassInfo(nullptr, "edit", &wc))
        return;
    wc.style |= CS_GLOBALCLASS;
    wc.hInstance = hInstance;
    wc.lpszClassName = GX_EDITCLASS;
    RegisterClass(&wc);
}

BOOL CGXEditControl::CreateEditWindow(DWORD dwStyle, const CRect& rect)
{
    EnsureEditClass();
    CWnd* pGridWnd = GetGridWnd();
    if (!pGridWnd || !pGridWnd->GetSafeHwnd())
        return FALSE;
    if (!m_pWnd)
        m_pWnd = std::make_unique<CGXEditWnd>(this);
    const DWORD dwExStyle = m_bRTL ? WS_EX_RTLREADING : 0;
    if (!m_pWnd->CreateEx(dwExStyle, GX_EDITCLASS, "", dwStyle | WS_CHILD, rect, pGridWnd, m_nID))
        return FALSE;
    m_dwEditStyle = dwStyle | WS_CHILD;
    return TRUE;
}

// ---- Binding, activity and values ----

void CGXEditControl::InitForCell(ROWCOL nRow, ROWCOL nCol)
{
    s_bImeComposition = FALSE;
    CGXStatic::InitForCell(nRow, nCol);
    if (!HasWindow()) {
        CRect rectFormat;
        int nNeeded = 0;
        CreateEditWindow(ComputeEditStyle(rectFormat, nNeeded) & ~WS_VISIBLE, CRect(0, 0, 0, 0));
    }
    const CGXStyle& style = GetCellStyle();
    const CString sValue = m_pGrid->StoredCellValueText(nRow, nCol);
    if (style.GetIncludeAutoSize())
        m_bAutoSize = style.GetAutoSize();
    m_nMaxLength = style.GetIncludeMaxLength() ? style.GetMaxLength() : 0;
    SetCellValue(sValue);
    if (HasWindow()) {
        m_pWnd->SetSel(0, -1);
        if (m_bActive)
            m_pWnd->LineScroll(255);
    }
    SetModified(FALSE);
}

void CGXEditControl::SetActive(BOOL bActive)
{
    SetActiveWithWindow(m_bActive, bActive, HasWindow());
    if (HasWindow())
        Refloat();
}

void CGXEditControl::SetModified(BOOL bModified)
{
    if (HasWindow())
        m_pWnd->SetModify(bModified);
}

BOOL CGXEditControl::IsModified() { return HasWindow() && m_pWnd->GetModify(); }

void CGXEditControl::Refloat()
{
    if (!m_bInit)
        return;
    m_pGrid->QueueFloatCellsRange(CGXCellRange(m_nRow, m_nCol), -1);
    m_pGrid->ResolveFloatCells(CGXCellRange(m_nRow, m_nCol), TRUE, FALSE, FALSE);
}

void CGXEditControl::GetWindowTextOf(CString& sText)
{
    sText.Empty();
    if (HasWindow())
        m_pWnd->GetWindowText(sText);
}

void CGXEditControl::SetCellValue(LPCTSTR pszText)
{
    if (!HasWindow() || !m_bInit)
        return;
    CString sText;
    CGXGridParam* pParam = m_pGrid->GetParam();
    if (pParam && (pParam->m_nOption1 & 0x01))
        sText = pszText ? CString(pszText) : m_pGrid->StoredCellValueText(m_nRow, m_nCol);
    else
        GetDisplayText(sText, m_nRow, m_nCol, pszText, GetCellStyle());
    const BOOL bOldReplacing = m_bReplacing;
    m_bReplacing = TRUE;
    m_pWnd->SetWindowText(sText);
    m_bReplacing = bOldReplacing;
    if (m_bActive) {
        Refloat();
        m_pGrid->RedrawCells(m_nRow, m_nCol, m_nRow, m_nCol, GX_INVALIDATE);
    }
}

BOOL CGXEditControl::GetCellValueText(CString& sText)
{
    if (m_bActive) {
        GetWindowTextOf(sText);
        return TRUE;
    }
    if (m_bInit)
        return GetDisplayText(sText, m_nRow, m_nCol, nullptr, GetCellStyle()) || TRUE;
    sText.Empty();
    return FALSE;
}

BOOL CGXEditControl::GetEditText(CString& sText)
{
    if (m_bInit)
        GetCellValueText(sText);
    return TRUE;
}

void CGXEditControl::SetEditText(LPCTSTR pszText)
{
    if (!m_bInit || !HasWindow())
        return;
    if (!m_bActive)
        SetActive(TRUE);
    const CString sText = pszText ? pszText : "";
    if (ValidateText(sText)) {
        const BOOL bOldReplacing = m_bReplacing;
        m_bReplacing = TRUE;
        m_pWnd->SetWindowText(sText);
        m_bReplacing = bOldReplacing;
        SetModified(TRUE);
        NotifyModified();
    }
    Refloat();
}

BOOL CGXEditControl::CommitValue()
{
    return StoreEditTextAsValue();
}

BOOL CGXEditControl::EndEditing()
{
    if (!CGXStatic::EndEditing())
        return FALSE;
    if (m_bInit)
        m_pGrid->QueueFloatCellsRange(CGXCellRange(m_nRow, m_nCol), -1);
    return TRUE;
}

BOOL CGXEditControl::CanFloatCell(ROWCOL, ROWCOL, const CGXStyle& style, BOOL bFlood)
{
    const BOOL bEmpty = !style.GetIncludeValue() || style.GetValue().IsEmpty();
    return bFlood ? !bEmpty : bEmpty;
}

void CGXEditControl::Hide()
{
    if (HasWindow())
        HideCellWindow(m_pWnd.get());
}

// ---- Drawing ----

void CGXEditControl::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                          const CGXStyle* pStandardStyle)
{
    if (!IsInitializedFor(nRow, nCol) || !m_bActive || m_pGrid->IsPrinting() || !HasWindow()) {
        CGXStatic::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
        return;
    }
    if (s_bImeComposition)
        return;
    CRect rectInner = ComputeInnerRect(nRow, nCol, &rect, &style);
    if (m_bMoveOnly && m_pWnd->IsWindowVisible()) {
        m_pWnd->MoveWindow(rectInner, TRUE);
        Draw3dBackground(pDC, rect, style, TRUE);
        AddInvalidRect(rectInner);
        CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
        m_bMoveOnly = FALSE;
        return;
    }

    Hide();
    const CGXStyle* pFontStyle = &style;
    if (!style.GetIncludeFont() && pStandardStyle && pStandardStyle->GetIncludeFont())
        pFontStyle = pStandardStyle;
    m_pFont = m_pGrid->LookupFont(pFontStyle->GetFont());
    m_rgbText = style.GetTextColor();
    if (m_pFont) {
        CFont* pOld = pDC->SelectObject(m_pFont);
        TEXTMETRIC tm {};
        pDC->GetTextMetrics(&tm);
        pDC->SelectObject(pOld);
        m_nLineHeight = tm.tmHeight + tm.tmExternalLeading;
        m_nMaxCharWidth = tm.tmMaxCharWidth;
    }

    m_bWrapText = style.GetIncludeWrapText() && style.GetWrapText();
    m_bAllowEnter = style.GetIncludeAllowEnter() && style.GetAllowEnter();
    if (style.GetIncludeAutoSize())
        m_bAutoSize = style.GetAutoSize();
    m_bRTL = style.HasUserAttribute(GX_IDS_UA_RTLREADING_VALUE)
             && std::atol(style.GetUserAttribute(GX_IDS_UA_RTLREADING_VALUE).GetValueText()) != 0;
    m_nAlign = style.GetIncludeHorizontalAlignment() ? style.GetHorizontalAlignment() : 0;
    m_nMaxLength = style.GetIncludeMaxLength() ? style.GetMaxLength() : 0;

    // A single line sits where the alignment puts it.
    if (!m_bWrapText && m_nLineHeight > 0) {
        const DWORD nVert = style.GetIncludeVerticalAlignment() ? style.GetVerticalAlignment() : 0;
        if (nVert == 1 && rectInner.Height() > m_nLineHeight)
            rectInner.top += (rectInner.Height() - m_nLineHeight) / 2;
        else if (nVert == 2 && rectInner.bottom - m_nLineHeight > rectInner.top)
            rectInner.top = rectInner.bottom - m_nLineHeight;
        rectInner.bottom = std::min<int>(rectInner.bottom, rectInner.top + m_nLineHeight);
    }
    if (m_nAlign == 2)
        rectInner.right += 1;

    Draw3dBackground(pDC, rect, style, TRUE);
    if (m_pFont)
        m_pWnd->SendMessage(WM_SETFONT, WPARAM(m_pFont->GetSafeHandle()), FALSE);
    m_pWnd->MoveWindow(rectInner, FALSE);

    SetActive(TRUE);
    CWnd* pGridWnd = GetGridWnd();
    if (pGridWnd && ::GetFocus() == pGridWnd->GetSafeHwnd()) {
        const BOOL bOldLock = m_pGrid->m_bLockCurrentCell;
        m_pGrid->m_bLockCurrentCell = TRUE;
        m_pWnd->SetFocus();
        m_pGrid->m_bLockCurrentCell = bOldLock;
    }
    m_pWnd->LimitText(m_nMaxLength);
    m_pWnd->ShowWindow(SW_SHOW);
    UpdateEditStyle();
    m_pWnd->SetReadOnly(IsCellReadOnly());
    m_pWnd->UpdateWindow();
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
    AddInvalidRect(rectInner);
}

DWORD CGXEditControl::ComputeEditStyle(CRect& rectFormat, int& nNeededHeight)
{
    DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL;
    if (m_bAllowEnter)
        dwStyle |= ES_WANTRETURN;
    if (!m_pButtonOwner)
        dwStyle |= m_nAlign == 1 ? ES_CENTER : m_nAlign == 2 ? ES_RIGHT : 0;
    rectFormat.SetRectEmpty();
    if (!HasWindow())
        return dwStyle | (m_bWrapText ? 0 : ES_AUTOHSCROLL);
    CRect rectClient;
    m_pWnd->GetClientRect(&rectClient);
    rectFormat = rectClient;
    CString sText;
    GetWindowTextOf(sText);
    const int nLines = std::max(1, m_pWnd->GetLineCount());
    nNeededHeight = std::max(m_nLineHeight, 1) * (m_bWrapText ? nLines : 1);
    if (m_bWrapText && (m_bVScroll || nNeededHeight < rectClient.Height() - nNeededHeight / 3)) {
        if (m_bVScroll)
            dwStyle |= WS_VSCROLL;
    } else {
        dwStyle |= ES_AUTOHSCROLL;
    }
    rectFormat.bottom = std::max<int>(rectFormat.bottom, rectFormat.top + nNeededHeight + 1);
    return dwStyle;
}

void CGXEditControl::UpdateEditStyle()
{
    if (m_bRecreating || !HasWindow())
        return;
    CRect rectFormat;
    int nNeeded = 0;
    const DWORD dwStyle = ComputeEditStyle(rectFormat, nNeeded);
    const BOOL bRTL = (m_pWnd->GetExStyle() & WS_EX_RTLREADING) != 0;
    // Visibility is not part of the layout the window was made for.
    if ((dwStyle & ~WS_VISIBLE) != (m_dwEditStyle & ~WS_VISIBLE) || bRTL != m_bRTL) {
        m_bRecreating = TRUE;
        const BOOL bModified = IsModified();
        const BOOL bReadOnly = (m_pWnd->GetStyle() & ES_READONLY) != 0;
        int nStart = 0, nEnd = 0;
        m_pWnd->GetSel(nStart, nEnd);
        CString sText;
        GetWindowTextOf(sText);
        CRect rect;
        m_pWnd->GetWindowRect(&rect);
        GetGridWnd()->ScreenToClient(&rect);
        const BOOL bFocus = ::GetFocus() == m_pWnd->GetSafeHwnd();
        const BOOL bVisible = m_pWnd->IsWindowVisible();
        const BOOL bOldLock = m_pGrid->m_bLockCurrentCell;
        m_pGrid->m_bLockCurrentCell = TRUE;
        m_pWnd->DestroyWindow();
        CreateEditWindow(bVisible ? dwStyle : (dwStyle & ~WS_VISIBLE), rect);
        if (HasWindow()) {
            m_pWnd->SetRect(rectFormat);
            if (m_pFont)
                m_pWnd->SendMessage(WM_SETFONT, WPARAM(m_pFont->GetSafeHandle()), FALSE);
            const BOOL bOldReplacing = m_bReplacing;
            m_bReplacing = TRUE;
            m_pWnd->SetWindowText(sText);
            m_bReplacing = bOldReplacing;
            m_pWnd->SetSel(nStart, nEnd);
            m_pWnd->SetModify(bModified);
            m_pWnd->SetReadOnly(bReadOnly);
            m_pWnd->LimitText(m_nMaxLength);
            m_pWnd->Invalidate();
            if (bFocus)
                m_pWnd->SetFocus();
        }
        m_pGrid->m_bLockCurrentCell = bOldLock;
        m_bRecreating = FALSE;
    } else {
        m_pWnd->SetRectNP(rectFormat);
    }
}

// ---- Keys the grid passes before the control is active ----

void CGXEditControl::ScrollIntoViewOrRefresh()
{
    if (!m_pGrid->ScrollToCell(m_nRow, m_nCol, 2, FALSE))
        Refresh();
}

BOOL CGXEditControl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT flags)
{
    if (!HasWindow())
        return FALSE;
    if (!IsKeyDown(VK_CONTROL)) {
        switch (nChar) {
        case VK_END:
        case VK_HOME:
            if (StartEditing()) {
                SetActive(TRUE);
                const int nPos = nChar == VK_END ? CharCount([&] { CString s; GetWindowTextOf(s); return s; }()) : 0;
                m_pWnd->SetSel(nPos, nPos);
                UpdateEditStyle();
                ScrollIntoViewOrRefresh();
                return TRUE;
            }
            break;
        case VK_DELETE: {
            CGXGridParam* pParam = m_pGrid->GetParam();
            if (pParam && pParam->m_SelRects.IsEmpty() && !IsCellReadOnly() && !IsKeyDown(VK_SHIFT) && CanDeleteCell()
                && StartEditing()) {
                SetActive(TRUE);
                SetModified(TRUE);
                SetEditText("");
                UpdateEditStyle();
                ScrollIntoViewOrRefresh();
                return TRUE;
            }
            break;
        }
        default:
            break;
        }
    }
    return CGXStatic::OnKeyDown(nChar, nRepCnt, flags);
}

BOOL CGXEditControl::OnChar(UINT nChar, UINT nRepCnt, UINT flags)
{
    if (nChar < 32 || nChar == 127)
        return CGXStatic::OnChar(nChar, nRepCnt, flags);
    return OnCharText(GXCodePointToUtf8(nChar), nRepCnt, flags);
}

BOOL CGXEditControl::OnCharText(LPCTSTR pszText, UINT, UINT)
{
    if (!HasWindow() || IsCellReadOnly())
        return FALSE;
    const CString sText = pszText ? pszText : "";
    if (!m_bActive) {
        // Typing into a cell replaces its whole value.
        if ((m_nMaxLength && CharCount(sText) > m_nMaxLength) || !ValidateText(sText) || !StartEditing())
            return TRUE;
        SetActive(TRUE);
        SetEditText(sText);
        const int nPos = CharCount(sText);
        m_pWnd->SetSel(nPos, nPos);
        Refresh();
        return TRUE;
    }
    const CString sResult = TextWithSelectionReplaced(sText);
    if ((m_nMaxLength && CharCount(sResult) > m_nMaxLength) || !ValidateText(sResult))
        return TRUE;
    const BOOL bOld = m_bReplacing;
    m_bReplacing = TRUE;
    ReplaceSelection(sText);
    m_bReplacing = bOld;
    return TRUE;
}

CString CGXEditControl::TextWithSelectionReplaced(LPCTSTR pszText)
{
    CString sText;
    GetWindowTextOf(sText);
    int nStart = 0, nEnd = 0;
    if (HasWindow())
        m_pWnd->GetSel(nStart, nEnd);
    if (nEnd < nStart)
        std::swap(nStart, nEnd);
    const int a = ByteOffsetOfChar(sText, nStart), b = ByteOffsetOfChar(sText, nEnd);
    return sText.Left(a) + (pszText ? pszText : "") + sText.Mid(b);
}

void CGXEditControl::ReplaceSelection(LPCTSTR pszText)
{
    if (!m_bActive || !HasWindow()) {
        CGXStatic::ReplaceSelection(pszText);
        return;
    }
    if (IsCellReadOnly())
        return;
    SetModified(TRUE);
    m_pWnd->ReplaceSel(pszText ? pszText : "", TRUE);
}

BOOL CGXEditControl::CanPasteText(LPCTSTR pszText) { return ValidateText(TextWithSelectionReplaced(pszText)); }

BOOL CGXEditControl::GetSelectionText(CString& sText)
{
    if (!m_bActive || !HasWindow()) {
        GetCellValueText(sText);
        return FALSE;
    }
    GetWindowTextOf(sText);
    int nStart = 0, nEnd = 0;
    m_pWnd->GetSel(nStart, nEnd);
    if (nStart == nEnd)
        return FALSE;
    if (nEnd < nStart)
        std::swap(nStart, nEnd);
    const int a = ByteOffsetOfChar(sText, nStart), b = ByteOffsetOfChar(sText, nEnd);
    sText = sText.Mid(a, b - a);
    return TRUE;
}

// ---- Mouse ----

// The character under a point of the grid's client area, laid out as the cell draws its text
// (lines split at line breaks, each aligned in the inner rectangle); -1 off the text. Cells
// with soft-wrapped lines are laid out by their hard lines only.
int CGXEditControl::CharUnderPoint(ROWCOL nRow, ROWCOL nCol, CPoint point)
{
    CString sText;
    GetWindowTextOf(sText);
    if (sText.IsEmpty())
        return -1;
    const CRect rectInner = ComputeInnerRect(nRow, nCol);
    if (!rectInner.PtInRect(point))
        return -1;
    const CGXStyle& style = m_pGrid->GetCellStyleCached(nRow, nCol);
    CFont* pFont = m_pGrid->LookupFont(style.GetFont());
    CDC* pDC = m_pGrid->GetMeasureDC();
    if (!pDC)
        return -1;
    CFont* pOld = pFont ? pDC->SelectObject(pFont) : nullptr;
    TEXTMETRIC tm {};
    pDC->GetTextMetrics(&tm);
    const int nLineHeight = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
    const DWORD nAlign = style.GetIncludeHorizontalAlignment() ? style.GetHorizontalAlignment() : 0;

    const char* p = sText;
    const int nLine = (point.y - rectInner.top) / nLineHeight;
    int nChar = 0;
    for (int i = 0; i < nLine && *p; ++p) {
        if ((BYTE(*p) & 0xC0) != 0x80)
            ++nChar;
        if (*p == '\n')
            ++i;
    }
    int nHit = -1;
    if (*p || nLine == 0) {
        int nBytes = 0;
        while (p[nBytes] && p[nBytes] != '\n' && p[nBytes] != '\r')
            ++nBytes;
        const int nWidth = pDC->GetTextExtent(p, nBytes).cx;
        int x = rectInner.left;
        if (nAlign == 1)
            x += (rectInner.Width() - nWidth) / 2;
        else if (nAlign == 2)
            x = rectInner.right - nWidth;
        // The caret goes before the character whose left half holds the point.
        for (int b = 0, prev = 0; point.x >= x && b < nBytes;) {
            int next = b + 1;
            while (next < nBytes && (BYTE(p[next]) & 0xC0) == 0x80)
                ++next;
            const int right = x + pDC->GetTextExtent(p, next).cx;
            if (point.x < right) {
                nHit = nChar + (2 * point.x >= x + prev + right ? 1 : 0);  // nearer its right edge: after it
                break;
            }
            prev = right - x;
            b = next;
            ++nChar;
        }
    }
    if (pOld)
        pDC->SelectObject(pOld);
    m_pGrid->ReleaseMeasureDC();
    return nHit;
}

BOOL CGXEditControl::OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    if (HasWindow()) {
        CGXGridParam* pParam = m_pGrid->GetParam();
        const WORD w = pParam ? pParam->m_wActivateFlags : 0;
        const int nHit = (w & 0x01) ? CharUnderPoint(nRow, nCol, point) : -1;
        if ((nHit >= 0 && (w & 0x01)) || (w & 0x02) || (w & 0x04)) {
            if (m_bActive || (StartEditing() && (SetActive(TRUE), true))) {
                if (nHit >= 0)
                    m_pWnd->SetSel(nHit, nHit);
                else
                    m_pWnd->SetSel(0, -1);
            }
        }
        if (m_bActive && ::GetFocus() != m_pWnd->GetSafeHwnd())
            Refresh();
        CGXControl::OnLeftButtonUp(nRow, nCol, flags, point);
        return TRUE;
    }
    return CGXControl::OnLeftButtonUp(nRow, nCol, flags, point);
}

BOOL CGXEditControl::OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    CGXGridParam* pParam = m_pGrid->GetParam();
    if (HasWindow() && !m_bActive && pParam && (pParam->m_wActivateFlags & 0x08) && StartEditing()) {
        SetActive(TRUE);
        CString sText;
        GetWindowTextOf(sText);
        const int nPos = CharCount(sText);
        m_pWnd->SetSel(nPos, nPos);
        Refresh();
        CGXControl::OnLeftButtonDblClk(nRow, nCol, flags, point);
        return TRUE;
    }
    return CGXControl::OnLeftButtonDblClk(nRow, nCol, flags, point);
}

// ---- Text changes ----

BOOL CGXEditControl::HandleCommandMessage(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != EN_CHANGE || !HasWindow() || HWND(lParam) != m_pWnd->GetSafeHwnd() || !m_bInit)
        return CGXStatic::HandleCommandMessage(wParam, lParam);
    NotifyModified();
    m_pGrid->QueueFloatCellsRange(CGXCellRange(m_nRow, m_nCol), -1);
    if (m_pGrid->ResolveFloatCells(CGXCellRange(m_nRow, m_nCol), TRUE, FALSE, FALSE)) {
        m_bMoveOnly = TRUE;
    } else if (m_bAutoSize) {
        CGXCellRange span(m_nRow, m_nCol);
        m_pGrid->SpanOfCell(m_nRow, m_nCol, span);
        if (m_bWrapText)
            m_pGrid->ResizeRowHeightsToFit(span, GX_UPDATENOW, 0);
        else
            m_pGrid->ResizeColWidthsToFit(span, GX_UPDATENOW, 0);
        m_pWnd->LineScroll(255);
    }
    return TRUE;
}

// ---- Find and replace ----

int CGXEditControl::ReplaceAll(CString& sText, int nFrom, const CString& sFind, const CString& sReplace, BOOL bMatchCase)
{
    if (sFind.IsEmpty())
        return 0;
    // The result grows as it needs: a cell of any length is stored whole.
    const int nFindChars = CharCount(sFind);
    const std::string_view find(sFind, size_t(sFind.GetLength()));
    const char* p = sText;
    const int n = sText.GetLength();
    auto nextChar = [&](int i) {
        ++i;
        while (i < n && (BYTE(p[i]) & 0xC0) == 0x80)
            ++i;
        return i;
    };
    CString sResult = sText.Left(nFrom);
    int nCount = 0, nCopied = nFrom;
    for (int i = nFrom; i < n;) {
        int j = i;
        for (int k = 0; k < nFindChars && j < n; ++k)
            j = nextChar(j);
        const std::string_view candidate(p + i, size_t(j - i));
        const bool bMatch = bMatchCase ? candidate == find : PvCompareNoCase(candidate, find) == 0;
        if (!bMatch) {
            i = nextChar(i);
            continue;
        }
        sResult += sText.Mid(nCopied, i - nCopied);
        sResult += sReplace;
        i = nCopied = j;
        ++nCount;
    }
    if (nCount) {
        sResult += sText.Mid(nCopied);
        sText = sResult;
    }
    return nCount;
}

BOOL CGXEditControl::ReplaceInCell(const void* pFindParams, ROWCOL nRow, ROWCOL nCol)
{
    const auto* p = static_cast<const GXFindReplaceParams*>(pFindParams);
    if (!p)
        return FALSE;
    const BOOL bBoundActive = IsInitializedFor(nRow, nCol) && m_bActive && HasWindow();
    CString sText;
    int nFrom = 0;
    std::unique_ptr<CGXStyle> pComposed;
    const CGXStyle* pStyle = p->pStyle;
    if (bBoundActive) {
        GetWindowTextOf(sText);
        int nStart = 0, nEnd = 0;
        m_pWnd->GetSel(nStart, nEnd);
        nFrom = ByteOffsetOfChar(sText, std::min(nStart, nEnd));
    } else {
        if (!pStyle) {
            pComposed = std::make_unique<CGXStyle>();
            m_pGrid->ComposeCellStyle(nRow, nCol, *pComposed, TRUE);
            pStyle = pComposed.get();
        }
        GetDisplayText(sText, nRow, nCol, nullptr, *pStyle);
    }
    if (!ReplaceAll(sText, nFrom, p->strFind, p->strReplace, p->bMatchCase))
        return FALSE;
    if (bBoundActive) {
        const BOOL bOld = m_bReplacing;
        m_bReplacing = TRUE;
        m_pWnd->SetWindowText(sText);
        m_bReplacing = bOld;
        SetModified(TRUE);
        return TRUE;
    }
    // Only the value changes; the cell keeps the rest of its style.
    return m_pGrid->SetValueRange(CGXCellRange(nRow, nCol), sText, gxOverride, 0, GX_INVALIDATE);
}

BOOL CGXEditControl::FindInCell(const void* pFindParams, ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSelect)
{
    const auto* p = static_cast<const GXFindReplaceParams*>(pFindParams);
    if (!p || p->strFind.IsEmpty())
        return FALSE;
    if (IsInitializedFor(nRow, nCol) && m_bActive && HasWindow()) {
        CString sText;
        GetWindowTextOf(sText);
        if (!p->bMatchCase)
            sText = UpperOf(sText);
        int nStart = 0, nEnd = 0;
        m_pWnd->GetSel(nStart, nEnd);
        const int nFromChar = std::min(nStart, nEnd) + (bCurrentPos ? 0 : 1);
        const int j = sText.Find(p->strFind, ByteOffsetOfChar(sText, nFromChar));
        if (j < 0)
            return FALSE;
        if (bSelect) {
            m_pGrid->ScrollToCell(nRow, nCol, 2, TRUE);
            const int a = CharCount(sText.Left(j));
            m_pWnd->SetSel(a, a + CharCount(p->strFind));
        }
        return TRUE;
    }
    return FindInDisplayText(pFindParams, nRow, nCol, bSelect);
}

// ---- Messages of the edit window ----

BOOL CGXEditControl::OnEditKeyDown(UINT nChar, UINT, UINT, LRESULT& result)
{
    result = 0;
    CGXGridCore* pGrid = m_pGrid;
    const MSG* pMsg = CWnd::GetCurrentMessage();
    const LPARAM lParam = pMsg && pMsg->message == WM_KEYDOWN ? pMsg->lParam : 1;
    if (nChar == VK_SHIFT || nChar == VK_CONTROL || !m_bActive)
        return FALSE;
    if (m_bInit)
        pGrid->ScrollToCell(m_nRow, m_nCol, 2, TRUE);
    auto toGrid = [&] { return pGrid->ProcessKeyMessage(WM_KEYDOWN, nChar, lParam, GX_KEY_FROMCONTROL); };
    if (IsKeyDown(VK_CONTROL))
        return toGrid();

    CString sText;
    GetWindowTextOf(sText);
    const int nLen = CharCount(sText);
    int nStart = 0, nEnd = 0;
    m_pWnd->GetSel(nStart, nEnd);
    const BOOL bRTL = m_bRTL;
    BOOL bEdit = TRUE;
    switch (nChar) {
    case VK_TAB:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT: bEdit = FALSE; break;
    case VK_RETURN: bEdit = (m_pWnd->GetStyle() & ES_WANTRETURN) != 0; break;
    case VK_LEFT: bEdit = bRTL ? nStart < nLen : nEnd > 0; break;
    case VK_RIGHT: bEdit = bRTL ? nEnd > 0 : nStart < nLen; break;
    case VK_UP: bEdit = m_pWnd->LineFromChar(nStart) != 0; break;
    case VK_DOWN: bEdit = m_pWnd->LineFromChar(nEnd) + 1 < m_pWnd->GetLineCount(); break;
    case VK_INSERT:
        if (IsKeyDown(VK_SHIFT)) {
            PasteText();
            return TRUE;
        }
        break;
    case VK_DELETE:
        // Cutting puts text on the clipboard; CopyText empties it only when it does.
        if (IsKeyDown(VK_SHIFT) && nStart != nEnd) {
            CutText();
            return TRUE;
        }
        break;
    default:
        if (nChar >= VK_F1 && nChar <= VK_F24)
            bEdit = FALSE;
        break;
    }
    if (bEdit)
        return FALSE;
    toGrid();
    return TRUE;
}

BOOL CGXEditControl::OnEditChar(UINT nChar, UINT nRepCnt, UINT, LRESULT& result)
{
    result = 0;
    m_strPendingText.Empty();
    const BOOL bReadOnlyWnd = HasWindow() && (m_pWnd->GetStyle() & ES_READONLY);
    if (!m_bInit || !m_bActive || IsCellReadOnly() || bReadOnlyWnd || (nChar != 8 && nRepCnt == 0))
        return TRUE;  // swallowed

    if (IsKeyDown(VK_CONTROL)) {
        switch (nChar) {
        case 3: CopyText(); return TRUE;
        case 22: PasteText(); return TRUE;
        case 24: CutText(); return TRUE;
        case 13:
            if (!(m_pWnd->GetStyle() & ES_WANTRETURN))
                return TRUE;
            m_strPendingText = "\r\n";
            break;
        case 10:
            if (!m_bWrapText)
                return TRUE;
            m_strPendingText = "\r\n";
            break;
        default: return FALSE;  // passes
        }
    } else if (nChar == 13) {
        if (!(m_pWnd->GetStyle() & ES_WANTRETURN))
            return TRUE;
        m_strPendingText = "\r\n";
    } else if (nChar < 32) {
        return FALSE;  // passes
    } else if (nChar <= 0xFF && nChar >= 0x80) {
        CString sText;
        if (GXCollectCharMessage(m_strPendingLead, nChar, sText) && sText.IsEmpty())
            return TRUE;  // a lead byte waits for its trail byte
        m_strPendingText = sText.IsEmpty() ? GXCodePointToUtf8(nChar) : sText;
    } else {
        m_strPendingText = GXCodePointToUtf8(nChar);
    }

    const CString sResult = TextWithSelectionReplaced(m_strPendingText);
    const UINT nLimit = m_nMaxLength ? m_nMaxLength : m_pWnd->GetLimitText();
    if ((nLimit && UINT(CharCount(sResult)) > nLimit) || !ValidateText(sResult)) {
        SetRefusedText(m_strPendingText);
        m_strPendingText.Empty();
        return TRUE;
    }
    const BOOL bOld = m_bReplacing;
    m_bReplacing = TRUE;
    ReplaceSelection(m_strPendingText);
    m_bReplacing = bOld;
    m_strPendingText.Empty();
    return TRUE;
}

BOOL CGXEditControl::OnEditWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_GETDLGCODE:
        result = m_pWnd->DefaultProc(message, wParam, lParam) | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
        return TRUE;
    case WM_KEYDOWN: return OnEditKeyDown(UINT(wParam), LOWORD(DWORD(lParam)), HIWORD(DWORD(lParam)), result);
    case WM_CHAR:
        if (OnEditChar(UINT(wParam), LOWORD(DWORD(lParam)), HIWORD(DWORD(lParam)), result))
            return TRUE;
        // Passed: the edit's own processing, then the grid's.
        result = m_pWnd->DefaultProc(message, wParam, lParam);
        m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL);
        return TRUE;
    case WM_SHOWWINDOW:
        if (wParam)
            UpdateEditStyle();
        return FALSE;
    case WM_SETFOCUS:
        result = m_pWnd->DefaultProc(message, wParam, lParam);
        UpdateEditStyle();
        return TRUE;
    case WM_KILLFOCUS:
        result = m_pWnd->DefaultProc(message, wParam, lParam);
        NotifyGridKillFocus(CWnd::FromHandle(HWND(wParam)));
        return TRUE;
    case WM_KEYUP:
        if (m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL))
            return TRUE;
        result = m_pWnd->DefaultProc(message, wParam, lParam);
        if (wParam != VK_SHIFT && wParam != VK_END && wParam != VK_HOME && wParam != VK_UP && wParam != VK_DOWN)
            UpdateEditStyle();
        return TRUE;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
        return m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL);
    case WM_CONTEXTMENU: return TRUE;
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION: s_bImeComposition = message == WM_IME_STARTCOMPOSITION; return FALSE;
    default: return FALSE;
    }
}
