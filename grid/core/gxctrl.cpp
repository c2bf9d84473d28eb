#include "grid/core/gxctrl.h"

#include <cstdlib>
#include <cstring>

#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstymap.h"
#include "platform/base/textcase.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/globalmem.h"
#include "platform/win/win.h"

const CGXControlClass CGXControl::classCGXControl = {"CGXControl", nullptr};

// ---- Children ----

BOOL CGXChild::IsCapturedChild() const { return m_pOwner && m_pOwner->GetCapturedChild() == this; }

void CGXChild::Refresh()
{
    CWnd* pWnd = m_pOwner ? m_pOwner->GetGridWnd() : nullptr;
    if (pWnd && pWnd->GetSafeHwnd())
        pWnd->InvalidateRect(&m_rect, TRUE);
}

namespace {

// The key dispatch shared by controls and their children.
template <class T>
BOOL DispatchKey(T& target, CString& strPending, UINT message, WPARAM wParam, LPARAM lParam, UINT flags)
{
    const UINT n = UINT(wParam), rep = UINT(lParam);
    switch (message) {
    case WM_KEYDOWN: return target.OnKeyDown(n, rep, flags);
    case WM_KEYUP: return target.OnKeyUp(n, rep, flags);
    case WM_DEADCHAR: return target.OnDeadChar(n, rep, flags);
    case WM_SYSKEYDOWN: return target.OnSysKeyDown(n, rep, flags);
    case WM_SYSKEYUP: return target.OnSysKeyUp(n, rep, flags);
    case WM_SYSCHAR: return target.OnSysChar(n, rep, flags);
    case WM_SYSDEADCHAR: return target.OnSysDeadChar(n, rep, flags);
    case WM_CHAR: {
        CString strText;
        if (GXCollectCharMessage(strPending, n, strText))
            return strText.IsEmpty() ? TRUE : target.OnCharText(strText, rep, flags);
        return target.OnChar(n, rep, flags);
    }
    default: return FALSE;
    }
}

// Characters, not bytes, of a UTF-8 text.
int PvTextCharCount(const CString& s)
{
    int n = 0;
    for (const char* p = s; *p; ++p)
        n += (BYTE(*p) & 0xC0) != 0x80;
    return n;
}

CString PvTextLeftChars(const CString& s, int nChars)
{
    const char* p = s;
    int i = 0;
    for (int n = 0; p[i]; ++i) {
        if ((BYTE(p[i]) & 0xC0) != 0x80 && n++ == nChars)
            break;
    }
    return CString(p, i);
}

}  // namespace

int GXCollectCharMessage(CString& strPending, UINT nChar, CString& strText)
{
    (void)strPending;
    if (nChar > 0xFF) {
        strText.Empty();
        return 0;
    }
    return ComposeDbcsChar(BYTE(nChar), strText);
}

BOOL CGXChild::HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags)
{
    return DispatchKey(*this, m_strPendingChar, message, wParam, lParam, flags);
}

// ---- Construction and class records ----

CGXControl::CGXControl(CGXGridCore* pGrid) : m_pGrid(pGrid) {}

CGXControl::~CGXControl() = default;

BOOL CGXControl::IsControlKindOf(const CGXControlClass* pClass) const
{
    if (!pClass)
        return FALSE;
    for (const CGXControlClass* p = GetControlClass(); p; p = p->m_pBase)
        if (p == pClass || std::strcmp(p->m_pszName, pClass->m_pszName) == 0)
            return TRUE;
    return FALSE;
}

BOOL CGXControl::IsWindowKindOf(CRuntimeClass* pClass)
{
    CWnd* pWnd = GetWindow();
    return pWnd && pClass && pWnd->IsKindOf(pClass);
}

CWnd* CGXControl::GetGridWnd() const { return m_pGrid ? m_pGrid->GetGridWnd() : nullptr; }

const CGXStyle& CGXControl::GetCellStyle()
{
    if (!m_pStyle)
        m_pStyle.reset(m_pGrid->GetCellStyleCached(m_nRow, m_nCol).Clone());
    return *m_pStyle;
}

void CGXControl::ResetCellStyle(BOOL bResetGrid)
{
    m_pStyle.reset();
    if (bResetGrid && m_pGrid)
        m_pGrid->ResetCurrentCellStyle();
}

CFont* CGXControl::SelectCellFont(CDC* pDC, const CGXStyle& style, const CGXStyle* pStandardStyle)
{
    return m_pGrid ? m_pGrid->SelectStyleFont(pDC, style, pStandardStyle) : nullptr;
}

void CGXControl::NotifyGridKillFocus(CWnd* pNewWnd)
{
    CWnd* pGridWnd = GetGridWnd();
    if (pGridWnd && pNewWnd != pGridWnd && !m_pGrid->IsChangingCurrentCell())
        pGridWnd->SendMessage(WM_KILLFOCUS, WPARAM(pNewWnd ? pNewWnd->GetSafeHwnd() : nullptr), 0);
}

void CGXControl::AddInvalidRect(const CRect& rect)
{
    if (CWnd* pWnd = GetGridWnd(); pWnd && pWnd->GetSafeHwnd())
        pWnd->InvalidateRect(&rect, FALSE);
}

// ---- Binding ----

void CGXControl::LayoutChildrenForCell(ROWCOL nRow, ROWCOL nCol)
{
    if (!m_children.empty())
        LayoutChildren(nullptr, CGXControl::ComputeInnerRect(nRow, nCol));
}

void CGXControl::InitForCell(ROWCOL nRow, ROWCOL nCol)
{
    m_nRow = nRow;
    m_nCol = nCol;
    m_bInit = TRUE;
    SetActive(FALSE);
    SetModified(FALSE);
    m_pStyle.reset();
    m_pCapturedChild = nullptr;
    LayoutChildrenForCell(nRow, nCol);
    m_pGrid->OnControlInitialized(nRow, nCol);
    CGXGridParam* pParam = m_pGrid->GetParam();
    if (pParam && pParam->m_wActivateFlags == 4 && StartEditing())
        SetActive(TRUE);
}

void CGXControl::ReleaseCell()
{
    if (IsModified() || IsActive())
        m_pGrid->QueueFloatCellsRange(CGXCellRange(m_nRow, m_nCol), -1);
    Hide();
    SetModified(FALSE);
    SetActive(FALSE);
    ResetCellStyle(TRUE);
    m_bInit = FALSE;
}

BOOL CGXControl::Validate()
{
    if (IsActive() && IsModified()) {
        CString sText;
        GetCellValueText(sText);
        if (!sText.IsEmpty()) {
            const CGXStyle& style = m_pGrid->GetCellStyleCached(m_nRow, m_nCol);
            // A bound set only accepts a text that is wholly a number; an empty bound is no bound.
            auto outside = [&](WORD nAttr, bool bMin) {
                const CString sBound = style.GetUserAttribute(nAttr).GetValueText();
                if (sBound.IsEmpty())
                    return false;
                const char* p = sText;
                char* end = nullptr;
                const double value = std::strtod(p, &end);
                while (end && *end == ' ')
                    ++end;
                if (end == p || (end && *end))
                    return true;
                const double bound = std::atof(sBound);
                return bMin ? value < bound : value > bound;
            };
            if (outside(GX_IDS_UA_VALID_MIN, true) || outside(GX_IDS_UA_VALID_MAX, false)) {
                m_pGrid->SetWarningText(style.GetUserAttribute(GX_IDS_UA_VALID_MSG).GetValueText());
                return FALSE;
            }
        }
        if (!ValidateText(sText))
            return FALSE;
    }
    return m_pGrid->OnValidateCell(m_nRow, m_nCol);
}

BOOL CGXControl::StartEditing()
{
    if (!m_bInit || !m_pGrid->OnStartEditing(m_nRow, m_nCol))
        return FALSE;
    m_pGrid->ScrollToCell(m_nRow, m_nCol, 2, TRUE);
    return TRUE;
}

BOOL CGXControl::NotifyModified() { return IsModified() ? m_pGrid->OnModifyCell(m_nRow, m_nCol) : FALSE; }

BOOL CGXControl::CancelEditing()
{
    if (!m_pGrid->OnCancelEditing(m_nRow, m_nCol))
        return FALSE;
    m_pGrid->QueueFloatCellsRange(CGXCellRange(m_nRow, m_nCol), -1);
    return TRUE;
}

BOOL CGXControl::AfterCancelEditing()
{
    m_pGrid->OnCanceledEditing(m_nRow, m_nCol);
    return m_pGrid->ResolveFloatCells(CGXCellRange(m_nRow, m_nCol), TRUE, FALSE, FALSE);
}

BOOL CGXControl::EndEditing() { return m_pGrid->OnEndEditing(m_nRow, m_nCol); }

BOOL CGXControl::LeaveCell(ROWCOL nNewRow, ROWCOL nNewCol) { return m_pGrid->OnLeftCell(m_nRow, m_nCol, nNewRow, nNewCol); }

BOOL CGXControl::CanDeleteCell() { return m_pGrid->OnDeleteCell(m_nRow, m_nCol); }

// ---- Geometry and drawing ----

CRect CGXControl::ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect, const CGXStyle* pStyle)
{
    CRect rect = pRect ? *pRect : m_pGrid->CellToRect(nRow, nCol);
    if (!pStyle)
        pStyle = &m_pGrid->GetCellStyleCached(nRow, nCol);
    rect = m_pGrid->CellInnerRect(rect, *pStyle, TRUE);
    CGXProperties* pProps = m_pGrid->GetProperties();
    if (pProps) {
        const BOOL bPrinting = m_pGrid->IsPrinting();
        const BOOL bHorz = bPrinting ? pProps->m_bPrintHorzLines : pProps->GetDisplayHorzLines();
        const BOOL bVert = bPrinting ? pProps->m_bPrintVertLines : pProps->GetDisplayVertLines();
        const ROWCOL nFrozenCols = m_pGrid->FrozenCols(), nFrozenRows = m_pGrid->FrozenRows();
        if (bHorz && nCol == nFrozenCols && nCol > m_pGrid->HeaderCols() && !pStyle->GetIncludeBorders(gxBorderRight))
            rect.right -= 1;
        if (bVert && nRow == nFrozenRows && nRow > m_pGrid->HeaderRows() && !pStyle->GetIncludeBorders(gxBorderBottom))
            rect.bottom -= 1;
    }
    return rect;
}

CSize CGXControl::AddBorderToSize(CSize size, ROWCOL, ROWCOL, const CGXStyle& style)
{
    return m_pGrid->AddBorderSize(size, style);
}

CSize CGXControl::ComputeContentSize(CDC*, ROWCOL, ROWCOL, const CGXStyle&, BOOL) { return CSize(0, 0); }

BOOL CGXControl::CanFloatCell(ROWCOL, ROWCOL, const CGXStyle&, BOOL) { return FALSE; }

BOOL CGXControl::CanMergeCell(ROWCOL, ROWCOL, const CGXStyle&) { return TRUE; }

BOOL CGXControl::IsEqualCellValue(ROWCOL, ROWCOL, const CGXStyle& style, const CGXStyle& other)
{
    return style.GetValue() == other.GetValue();
}

void CGXControl::PrepareForCell(ROWCOL, ROWCOL, const CGXStyle&) {}

CRect CGXControl::GetCellTextRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect, const CGXStyle* pStyle)
{
    return ComputeInnerRect(nRow, nCol, pRect, pStyle);
}

BOOL CGXControl::HasValueText(const CGXStyle& style) { return !style.GetValue().IsEmpty(); }

void CGXControl::DrawSelectionMarks(CDC* pDC, const CRect& rect)
{
    CGXGridParam* pParam = m_pGrid->GetParam();
    CGXProperties* pProps = m_pGrid->GetProperties();
    if (!pDC || !pParam || !pProps)
        return;
    if (pParam->m_wActivateFlags == 4 && GetWindow())
        return;
    const CString sMode = pProps->GetUserPropertyStyle(GX_IDS_UP_CURRENTCELL).GetValue();
    CString sText;
    auto is = [&](UINT nId) { return sText.LoadString(nId) && sMode == sText; };
    if (is(GX_IDS_CURRENTCELL_NOBORDER))
        return;
    const int nWidth = is(GX_IDS_CURRENTCELL_INVERTTHICK) || is(GX_IDS_CURRENTCELL_THICKBORDER) ? 2 : 1;
    if (is(GX_IDS_CURRENTCELL_THINBORDER) || is(GX_IDS_CURRENTCELL_THICKBORDER)) {
        const CGXPackedPen pen(PS_SOLID, nWidth, RGB(0, 0, 0));
        for (int nBorder : {gxBorderTop, gxBorderBottom, gxBorderLeft, gxBorderRight})
            m_pGrid->DrawBorderLine(pDC, rect, nBorder, pen);
        return;
    }
    const CRect r = rect;
    InvertRectClipped(pDC, CRect(r.left, r.top, r.left + nWidth, r.bottom), r);
    InvertRectClipped(pDC, CRect(r.right - nWidth, r.top, r.right, r.bottom), r);
    InvertRectClipped(pDC, CRect(r.left + nWidth, r.top, r.right - nWidth, r.top + nWidth), r);
    InvertRectClipped(pDC, CRect(r.left + nWidth, r.bottom - nWidth, r.right - nWidth, r.bottom), r);
}

void CGXControl::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle*)
{
    if (m_children.empty())
        return;
    // Children lie in the cell less its borders, whatever room a control leaves its text.
    const CRect inner = CGXControl::ComputeInnerRect(nRow, nCol, &rect, &style);
    LayoutChildren(pDC, inner, &style);
    CWnd* pWnd = GetGridWnd();
    const BOOL bFocus = pWnd && pWnd->GetSafeHwnd() && ::GetFocus() == pWnd->GetSafeHwnd();
    const BOOL bActive = bFocus && !m_pGrid->IsPrinting() && m_pGrid->IsCurrentCellAt(nRow, nCol);
    for (auto& p : m_children)
        p->Draw(pDC, bActive, &style);
}

// ---- Values and texts ----

BOOL CGXControl::GetCellValueText(CString& sText)
{
    if (m_pStyle && m_pStyle->GetIncludeValue()) {
        sText = m_pStyle->GetValue();
        return TRUE;
    }
    if (m_bInit)
        return GetDisplayText(sText, m_nRow, m_nCol, nullptr, GetCellStyle());
    sText.Empty();
    return FALSE;
}

void CGXControl::SetEditText(LPCTSTR pszText)
{
    if (m_bInit)
        m_pGrid->SetValueRange(CGXCellRange(m_nRow, m_nCol), pszText, gxCopy, 0, GX_UPDATENOW);
}

BOOL CGXControl::GetEditText(CString& sText)
{
    if (!m_bInit)
        return FALSE;
    const CGXStyle& style = GetCellStyle();
    if (!style.GetIncludeValue())
        return FALSE;
    sText = style.GetValue();
    return TRUE;
}

void CGXControl::SetCellValue(LPCTSTR pszText)
{
    if (!m_bInit)
        return;
    GetCellStyle();
    m_pStyle->SetValue(pszText);
    m_pGrid->QueueFloatCellsRange(CGXCellRange(m_nRow, m_nCol), -1);
    m_pGrid->ResolveFloatCells(CGXCellRange(m_nRow, m_nCol), TRUE, FALSE, FALSE);
}

BOOL CGXControl::GetDisplayText(CString& sResult, ROWCOL, ROWCOL, LPCTSTR pszValue, const CGXStyle& style)
{
    if (!pszValue && !style.GetIncludeValue())
        return FALSE;
    const LPCTSTR pszText = pszValue ? pszValue : LPCTSTR(style.GetValue());
    if (style.GetIncludeFormat() && style.GetFormat() != 0)
        FormatValueForDisplay(sResult, style, pszText);
    else
        sResult = pszText;
    return TRUE;
}

BOOL CGXControl::StoreDisplayText(ROWCOL nRow, ROWCOL nCol, LPCTSTR pszText, UINT flags, const CGXStyle* pStyle)
{
    CGXStyle* pScratch = nullptr;
    if (!pStyle) {
        pScratch = m_pGrid->NewScratchStyle();
        m_pGrid->ComposeCellStyle(nRow, nCol, *pScratch, TRUE);
        pStyle = pScratch;
    }
    BOOL bResult = FALSE;
    m_pGrid->m_pOldStyleOverride = pStyle;
    CString sText = pszText ? pszText : "";
    CGXGridParam* pParam = m_pGrid->GetParam();
    if (ConvertDisplayText(sText, nRow, nCol, *pStyle)
        && !(pParam && pParam->m_bEnforceReadOnly && (m_pGrid->IsReadOnly() || pStyle->GetReadOnly()))) {
        if (pStyle->GetIncludeMaxLength() && pStyle->GetMaxLength() != 0)
            sText = PvTextLeftChars(sText, int(pStyle->GetMaxLength()));
        bResult = m_pGrid->SetRangeValueText(CGXCellRange(nRow, nCol), sText, gxOverride, m_pGrid->m_nStyleStoreType, flags);
    }
    m_pGrid->m_pOldStyleOverride = nullptr;
    m_pGrid->RecycleStyle(pScratch);
    return bResult;
}

BOOL CGXControl::ConvertDisplayText(CString&, ROWCOL, ROWCOL, const CGXStyle&) { return TRUE; }

BOOL CGXControl::StoreStyleRange(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType, const CGXStyle* pOldStyle)
{
    CGXGridParam* pParam = m_pGrid->GetParam();
    if (pParam && pParam->m_bEnforceReadOnly
        && (m_pGrid->IsReadOnly() || (pOldStyle && pOldStyle->GetReadOnly())))
        return FALSE;
    if (!m_pGrid->StoreCellStyle(nRow, nCol, pStyle, mt, nType))
        return FALSE;
    if (m_pGrid->IsCurrentCellAt(nRow, nCol)) {
        if (IsInitializedFor(nRow, nCol) && mt != gxRemove) {
            const BOOL bModified = IsModified();
            ResetCellStyle(TRUE);
            if (pStyle && pStyle->GetIncludeControl())
                m_pGrid->ResetCurrentCellStyle(TRUE);
            else if (pStyle && pStyle->GetIncludeValue())
                SetCellValue(pStyle->GetValue());
            Refresh();
            SetModified(mt == gxCopy ? FALSE : bModified);
        } else if (!IsInitializedFor(nRow, nCol)) {
            InitForCell(nRow, nCol);
        }
    }
    return TRUE;
}

BOOL CGXControl::GetCurrentText(ROWCOL nRow, ROWCOL nCol, CString& sText)
{
    if (m_bInit && m_pGrid->IsCurrentCellAt(nRow, nCol))
        GetEditText(sText);
    return FALSE;
}

BOOL CGXControl::GetChoiceListItem(CString& sResult, LPCTSTR pszChoiceList, int nIndex)
{
    sResult.Empty();
    if (nIndex < 0 || !pszChoiceList)
        return FALSE;
    CString sList = pszChoiceList, sLine;
    // PopFirstLine answers -1 for the last line.
    for (int i = 0, more = 1; more; ++i) {
        more = PopFirstLine(sList, sLine) >= 0;
        if (i == nIndex) {
            sResult = sLine;
            return TRUE;
        }
    }
    return FALSE;
}

int CGXControl::FindChoiceListItem(CString& sResult, LPCTSTR pszSearch, LPCTSTR pszChoiceList, BOOL bExact)
{
    if (!pszSearch || !*pszSearch || !pszChoiceList) {
        sResult.Empty();
        return -1;
    }
    const CString sSearch = pszSearch;
    const int nSearchChars = PvTextCharCount(sSearch);
    CGXChoiceListReader lines(pszChoiceList);
    CString sLine, sPrefixEntry;
    int nPrefix = -1;
    for (int i = 0; lines.Next(sLine); ++i) {
        if (PvCompareNoCase(LPCTSTR(sLine), LPCTSTR(sSearch)) == 0) {
            sResult = sLine;
            return i;
        }
        if (!bExact && nPrefix < 0 && PvCompareNoCase(LPCTSTR(PvTextLeftChars(sLine, nSearchChars)), LPCTSTR(sSearch)) == 0) {
            nPrefix = i;
            sPrefixEntry = sLine;
        }
    }
    if (bExact) {
        sResult.Empty();
        return -1;
    }
    sResult = sPrefixEntry;
    return nPrefix;
}

void CGXControl::Refresh()
{
    if (!m_bInit)
        return;
    if (IsModified() || IsActive())
        m_pGrid->QueueFloatCellsRange(CGXCellRange(m_nRow, m_nCol), -1);
    Hide();
    CWnd* pWnd = GetGridWnd();
    if (!pWnd || !pWnd->GetSafeHwnd())
        return;
    const CRect rect = IsActive() ? m_pGrid->CellToRect(m_nRow, m_nCol) : m_pGrid->SpannedCellToRect(m_nRow, m_nCol);
    pWnd->InvalidateRect(&rect, TRUE);
}

// ---- Mouse ----

template <class Fn>
BOOL CGXControl::RouteToChildUnder(CPoint point, BOOL bCapture, Fn fn)
{
    for (auto& p : m_children)
        if (p->HitTest(point)) {
            if (bCapture)
                m_pCapturedChild = p.get();
            if (fn(*p))
                return TRUE;
        }
    return FALSE;
}

BOOL CGXControl::OnMouseMove(UINT flags, CPoint point)
{
    if (!m_pCapturedChild)
        return FALSE;
    LayoutChildrenForCell(m_nRow, m_nCol);
    return m_pCapturedChild->OnMouseMove(flags, point);
}

BOOL CGXControl::OnMouseButtonHit(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    LayoutChildrenForCell(nRow, nCol);
    return RouteToChildUnder(point, FALSE, [&](CGXChild& c) { return c.OnCellButtonHit(nRow, nCol, flags, point); });
}

namespace {
// The first child under the point takes the press.
template <class Fn>
BOOL PressChild(std::vector<std::unique_ptr<CGXChild>>& children, CGXChild*& pCaptured, CPoint point, Fn fn)
{
    for (auto& p : children)
        if (p->HitTest(point)) {
            pCaptured = p.get();
            return fn(*p);
        }
    return FALSE;
}
}  // namespace

BOOL CGXControl::OnLeftButtonDown(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    LayoutChildrenForCell(nRow, nCol);
    return PressChild(m_children, m_pCapturedChild, point, [&](CGXChild& c) { return c.OnLButtonDown(flags, point); });
}

BOOL CGXControl::OnMiddleButtonDown(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    LayoutChildrenForCell(nRow, nCol);
    return PressChild(m_children, m_pCapturedChild, point, [&](CGXChild& c) { return c.OnMButtonDown(flags, point); });
}

BOOL CGXControl::OnRightButtonDown(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    LayoutChildrenForCell(nRow, nCol);
    return PressChild(m_children, m_pCapturedChild, point, [&](CGXChild& c) { return c.OnRButtonDown(flags, point); });
}

BOOL CGXControl::OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    LayoutChildrenForCell(nRow, nCol);
    BOOL b = m_pCapturedChild ? m_pCapturedChild->OnLButtonUp(flags, point) : FALSE;
    if (ComputeInnerRect(nRow, nCol).PtInRect(point))
        b |= m_pGrid->OnLeftCellClick(nRow, nCol, flags);
    return b;
}

BOOL CGXControl::OnMiddleButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    LayoutChildrenForCell(nRow, nCol);
    BOOL b = m_pCapturedChild ? m_pCapturedChild->OnMButtonUp(flags, point) : FALSE;
    if (ComputeInnerRect(nRow, nCol).PtInRect(point))
        b |= m_pGrid->OnMiddleCellClick(nRow, nCol, flags);
    return b;
}

BOOL CGXControl::OnRightButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    LayoutChildrenForCell(nRow, nCol);
    BOOL b = m_pCapturedChild ? m_pCapturedChild->OnRButtonUp(flags, point) : FALSE;
    if (ComputeInnerRect(nRow, nCol).PtInRect(point))
        b |= m_pGrid->OnRightCellClick(nRow, nCol, flags);
    return b;
}

BOOL CGXControl::OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    LayoutChildrenForCell(nRow, nCol);
    const BOOL b = RouteToChildUnder(point, TRUE, [&](CGXChild& c) { return c.OnLButtonDblClk(flags, point); });
    return b | m_pGrid->OnLeftCellDoubleClick(nRow, nCol, flags);
}

BOOL CGXControl::OnMiddleButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    LayoutChildrenForCell(nRow, nCol);
    const BOOL b = RouteToChildUnder(point, TRUE, [&](CGXChild& c) { return c.OnMButtonDblClk(flags, point); });
    return b | m_pGrid->OnMiddleCellDoubleClick(nRow, nCol, flags);
}

BOOL CGXControl::OnRightButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    LayoutChildrenForCell(nRow, nCol);
    const BOOL b = RouteToChildUnder(point, TRUE, [&](CGXChild& c) { return c.OnRButtonDblClk(flags, point); });
    return b | m_pGrid->OnRightCellDoubleClick(nRow, nCol, flags);
}

BOOL CGXControl::OnMouseActivate(CWnd*, UINT, UINT, int&) { return FALSE; }

// ---- Keys ----

BOOL CGXControl::HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags)
{
    if (m_pCapturedChild && m_pCapturedChild->HandleKeyMessage(message, wParam, lParam, flags))
        return TRUE;
    return DispatchKey(*this, m_strPendingChar, message, wParam, lParam, flags);
}

// ---- Clipboard ----

BOOL CGXControl::CopyText()
{
    if (IsActive()) {
        CString sText;
        GetSelectionText(sText);
        CWnd* pWnd = GetGridWnd();
        if (!pWnd || !::OpenClipboard(pWnd->GetSafeHwnd()))
            return FALSE;
        const size_t nBytes = size_t(sText.GetLength()) + 1;
        HGLOBAL h = GlobalAlloc(GMEM_DDESHARE | GMEM_MOVEABLE, nBytes);
        BOOL bOk = FALSE;
        if (h) {
            if (void* p = GlobalLock(h)) {
                std::memcpy(p, LPCTSTR(sText), nBytes);
                GlobalUnlock(h);
                EmptyClipboard();
                bOk = SetClipboardData(CF_TEXT, h) != nullptr;
            }
            if (!bOk)
                GlobalFree(h);
        }
        CloseClipboard();
        return bOk;
    }
    if (m_bInit && m_pGrid->IsCurrentCellAt(m_nRow, m_nCol))
        return m_pGrid->CopyRange(CGXCellRange(m_nRow, m_nCol));
    return FALSE;
}

void CGXControl::SetActiveWithWindow(BOOL& bActiveFlag, BOOL bActive, BOOL bHasWindow)
{
    if (bActive && !bActiveFlag && bHasWindow) {
        ResetCellStyle();
        GetCellStyle();
    }
    bActiveFlag = bActive && bHasWindow;
}

BOOL CGXControl::FindInDisplayText(const void* pFindParams, ROWCOL nRow, ROWCOL nCol, BOOL bSelect)
{
    const auto* p = static_cast<const GXFindReplaceParams*>(pFindParams);
    if (!p)
        return FALSE;
    std::unique_ptr<CGXStyle> pComposed;
    const CGXStyle* pStyle = p->pStyle;
    if (!pStyle) {
        pComposed = std::make_unique<CGXStyle>();
        m_pGrid->ComposeCellStyle(nRow, nCol, *pComposed, TRUE);
        pStyle = pComposed.get();
    }
    CString sText;
    GetDisplayText(sText, nRow, nCol, nullptr, *pStyle);
    if (!p->bMatchCase)
        sText = CString(PvUpperCase(std::string_view(sText, size_t(sText.GetLength()))).c_str());
    if (sText.Find(p->strFind) < 0)
        return FALSE;
    if (bSelect) {
        m_pGrid->ScrollToCell(nRow, nCol, 2, TRUE);
        if (m_pGrid->PlaceCurrentCell(nRow, nCol, 0x24) || m_pGrid->IsCurrentCellAt(nRow, nCol)) {
            SetActive(TRUE);
            FindInCell(pFindParams, nRow, nCol, TRUE, TRUE);
            Refresh();
        }
    }
    return TRUE;
}

BOOL CGXControl::StoreEditTextAsValue(int nType)
{
    CString sText;
    if (!m_pStyle || !IsModified() || !GetEditText(sText))
        return TRUE;
    SetActive(FALSE);
    ResetCellStyle();
    return m_pGrid->SetRangeValueText(CGXCellRange(m_nRow, m_nCol), sText, gxOverride, nType, GX_INVALIDATE);
}

BOOL CGXControl::CutText()
{
    if (IsActive()) {
        if (!CopyText())
            return FALSE;
        ReplaceSelection("");
        return TRUE;
    }
    if (m_bInit && m_pGrid->IsCurrentCellAt(m_nRow, m_nCol))
        return m_pGrid->CutRange(CGXCellRange(m_nRow, m_nCol), (m_pGrid->m_nClipboardFlags & 0x10) != 0);
    return FALSE;
}

BOOL CGXControl::CanCut() { return m_bInit && !GetCellStyle().GetReadOnly(); }

BOOL CGXControl::CanPaste()
{
    CGXGridParam* pParam = m_pGrid->GetParam();
    const UINT nStylesFormat = GXGetLibraryState().m_nStylesClipboardFormat;
    if (nStylesFormat && IsClipboardFormatAvailable(nStylesFormat) && pParam && !pParam->m_SelRects.IsEmpty())
        return FALSE;
    if (!m_bInit || !IsActive() || GetCellStyle().GetReadOnly())
        return FALSE;
    return IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_OEMTEXT);
}

BOOL CGXControl::PasteText()
{
    if (!CanPaste())
        return FALSE;
    CWnd* pWnd = GetGridWnd();
    const BOOL bOpened = !GetOpenClipboardWindow() && ::OpenClipboard(pWnd ? pWnd->GetSafeHwnd() : nullptr);
    BOOL bFound = FALSE;
    HGLOBAL h = GetClipboardData(CF_TEXT);
    if (!h)
        h = GetClipboardData(CF_OEMTEXT);
    if (h) {
        if (const char* p = static_cast<const char*>(GlobalLock(h))) {
            const size_t nMax = GlobalSize(h);
            const CString sText(p, int(strnlen(p, nMax)));
            GlobalUnlock(h);
            bFound = TRUE;
            if (CanPasteText(sText))
                ReplaceSelection(sText);
        }
    }
    if (bOpened)
        CloseClipboard();
    return bFound;
}

BOOL CGXControl::GetStyleValueText(ROWCOL, ROWCOL, const CGXStyle& style, CString& sText)
{
    sText = style.GetValue();
    return TRUE;
}

BOOL CGXControl::FindInCell(const void* pParams, ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSelect)
{
    CGXAbstractGridFindReplaceImp* p = m_pGrid->m_pFindReplaceImp;
    return p && pParams ? p->FindInCellText(this, *static_cast<const GXFindReplaceParams*>(pParams), nRow, nCol,
                                            bCurrentPos, bSelect)
                        : FALSE;
}

void CGXControl::ReplaceSelection(LPCTSTR pszText)
{
    if (m_bInit && m_pGrid->IsCurrentCellAt(m_nRow, m_nCol))
        m_pGrid->SetValueRange(CGXCellRange(m_nRow, m_nCol), pszText, gxCopy, 0, GX_UPDATENOW);
}

BOOL CGXControl::ReplaceInCell(const void* pParams, ROWCOL nRow, ROWCOL nCol)
{
    CGXAbstractGridFindReplaceImp* p = m_pGrid->m_pFindReplaceImp;
    return p && pParams ? p->ReplaceInCellText(this, *static_cast<const GXFindReplaceParams*>(pParams), nRow, nCol)
                        : FALSE;
}

BOOL CGXControl::GetSelectionText(CString& sText)
{
    GetCellValueText(sText);
    return FALSE;
}

// ---- Messages passed on ----

void CGXControl::OnChildButtonClicked(CGXChild*) { m_pGrid->OnCellButtonClicked(m_nRow, m_nCol); }

void CGXControl::HandleScrollMessage(UINT message)
{
    if ((message != WM_HSCROLL && message != WM_VSCROLL) || !IsActive())
        return;
    CGXCellRange span;
    if (!m_pGrid->SpanOfCell(m_nRow, m_nCol, span))
        return;
    const ROWCOL nFrozenCols = m_pGrid->FrozenCols(), nFrozenRows = m_pGrid->FrozenRows();
    // Scrolling would split a span that straddles the frozen boundary.
    const bool bSplitCols = span.left <= nFrozenCols && span.right > nFrozenCols;
    const bool bSplitRows = span.top <= nFrozenRows && span.bottom > nFrozenRows;
    if (bSplitCols || bSplitRows) {
        if (IsModified())
            CommitValue();
        SetActive(FALSE);
        Refresh();
    }
}

void CGXControl::OnWinIniChange(LPCTSTR pszSection)
{
    for (auto& p : m_children)
        p->OnWinIniChange(pszSection);
}

void CGXControl::OnSysColorChange()
{
    for (auto& p : m_children)
        p->OnSysColorChange();
}

void CGXControl::OnCancelMode()
{
    for (auto& p : m_children)
        p->OnCancelMode();
}

BOOL CGXControl::IsCellReadOnly()
{
    const CGXStyle& style = GetCellStyle();
    CGXGridParam* pParam = m_pGrid->GetParam();
    if (!pParam || !pParam->m_bEnforceReadOnly)
        return FALSE;
    return m_pGrid->IsReadOnly() || style.GetReadOnly();
}

// ---- Cell tips ----

BOOL CGXControl::NeedsCellTip(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    return m_pTip ? m_pTip->NeedsCellTip(nRow, nCol, style) : FALSE;
}

int CGXControl::GetCellTipKind(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    return m_pTip ? m_pTip->GetCellTipKind(nRow, nCol, style) : GX_NO_CELLTIP;
}

void CGXControl::ShowCellTip(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CWnd* pTipWnd)
{
    if (m_pTip)
        m_pTip->ShowCellTip(nRow, nCol, style, pTipWnd);
}

// ---- Children ----

void CGXControl::AddChildObject(CGXChild* pChild)
{
    if (pChild)
        m_children.emplace_back(pChild);
}

void CGXControl::RemoveChildObject(CGXChild* pChild)
{
    for (auto it = m_children.begin(); it != m_children.end(); ++it)
        if (it->get() == pChild) {
            (void)it->release();  // removing does not delete the child
            m_children.erase(it);
            if (m_pCapturedChild == pChild)
                m_pCapturedChild = nullptr;
            return;
        }
}

CGXChild* CGXControl::GetChildObject(int nIndex) const
{
    return nIndex >= 0 && nIndex < int(m_children.size()) ? m_children[size_t(nIndex)].get() : nullptr;
}

// ---- 3D look ----

void CGXControl::Draw3dBackground(CDC* pDC, const CRect& rect, const CGXStyle& style, BOOL bForce)
{
    CGXProperties* pProps = m_pGrid->GetProperties();
    if (!pDC || (m_pGrid->IsPrinting() && pProps && pProps->m_bBlackWhite))
        return;
    if (bForce || m_pGrid->IsPaintingBackground()) {
        const CGXPackedBrush& brush = style.GetInterior();
        // A solid interior fills with its colour directly; anything else goes through the grid's brushes.
        if (brush.GetStyle() == GX_BS_SOLID)
            FillSolidRect(pDC, rect, brush.GetColor());
        else
            m_pGrid->DrawBrushRect(pDC, rect, brush);
    }
    Draw3dBorder(pDC, rect, style);
}

void CGXControl::Draw3dBorder(CDC* pDC, const CRect& rect, const CGXStyle& style)
{
    CGXProperties* pProps = m_pGrid->GetProperties();
    if (!pDC || (m_pGrid->IsPrinting() && pProps && pProps->m_bBlackWhite))
        return;
    CRect r = m_pGrid->CellInnerRect(rect, style, FALSE);
    const DWORD nFrame = style.GetIncludeDraw3dFrame() ? style.GetDraw3dFrame() : 0;
    if (nFrame != gxFrameRaised && nFrame != gxFrameInset)
        return;
    r.left -= 1;
    r.top -= 1;
    const COLORREF highlight = GXGetAppData()->m_sysColors.LookupColor(COLOR_BTNHIGHLIGHT);
    const COLORREF black = RGB(0, 0, 0);
    const bool bRaised = nFrame == gxFrameRaised;
    GetDrawingAndFormatting()->Draw3dFrame(pDC, r.left, r.top, r.right, r.bottom, 1, bRaised ? highlight : black,
                                           bRaised ? black : highlight);
}

void CGXControl::HideCellWindow(CWnd* pWnd)
{
    if (!pWnd || !pWnd->GetSafeHwnd() || !pWnd->IsWindowVisible())
        return;
    ::HideCaret(pWnd->GetSafeHwnd());
    const BOOL bOldLock = m_pGrid->m_bLockCurrentCell;
    m_pGrid->m_bLockCurrentCell = TRUE;
    pWnd->MoveWindow(0, 0, 0, 0, FALSE);
    pWnd->ShowWindow(SW_HIDE);
    m_pGrid->m_bLockCurrentCell = bOldLock;
}

BOOL CGXControl::IsHeaderMarked(ROWCOL nRow, ROWCOL nCol, const CGXStyle&)
{
    CGXAbstractGridMarkEditHeaderImp* p = m_pGrid->m_pMarkEditHeaderImp;
    return p ? p->IsHeaderMarked(m_pGrid, nRow, nCol) : FALSE;
}

void CGXControl::AddValidationAttributes(CGXStylesMap* pStylesMap)
{
    if (!pStylesMap)
        return;
    CGXStyle warningStyle;
    pStylesMap->AddUserAttribute(GX_IDS_UA_VALID_MSG, &warningStyle);
    CGXStyle rangeStyle;
    rangeStyle.SetControl(WORD(GX_IDS_CTRL_SPINEDIT)).SetWrapText(FALSE);
    pStylesMap->AddUserAttribute(GX_IDS_UA_VALID_MAX, &rangeStyle);
    pStylesMap->AddUserAttribute(GX_IDS_UA_VALID_MIN, &rangeStyle);
    CGXStyle rtlStyle;
    rtlStyle.SetControl(WORD(GX_IDS_CTRL_CHECKBOX3D));
    pStylesMap->AddUserAttribute(GX_IDS_UA_RTLREADING_VALUE, &rtlStyle);
}
