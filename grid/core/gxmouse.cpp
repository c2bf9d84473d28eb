// Mouse handling, cell clicks, cursors, activation and focus.

#include <algorithm>

#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxstate.h"
#include "platform/gdi/gdiobj.h"
#include "platform/win/win.h"

#include "grid/core/gxctrl.h"

namespace {

// Cell-handler flags of the button operations (low byte; the high byte holds the key flags).
enum : UINT {
    kCellDown = 0x04,
    kCellMove = 0x08,
    kCellUp = 0x10,
    kLeftStart = 0x20,  // not on the start cell, but was there at the previous message
    kOnStart = 0x40,
    kCtrlAtStart = 0x80,
};

// Which button a tracking or a cell operation is about.
enum Button { kLeft, kMiddle, kRight };

UINT KeyFlagsHigh(UINT nKeyFlags) { return (nKeyFlags & 0xFF) << 8; }

}  // namespace

// ---- Capture and tracking ----

CWnd* CGXGridCore::CaptureMouse()
{
    if (!m_pGridWnd || !m_pGridWnd->GetSafeHwnd())
        return nullptr;
    return m_pGridWnd->SetCapture();
}

BOOL CGXGridCore::HasMouseCapture() const
{
    return m_pGridWnd && m_pGridWnd->GetSafeHwnd() && ::GetCapture() == m_pGridWnd->GetSafeHwnd();
}

void CGXGridCore::CancelModeToSelf()
{
    if (m_pGridWnd && m_pGridWnd->GetSafeHwnd())
        m_pGridWnd->SendMessage(WM_CANCELMODE);
    else
        OnGridCancelMode();
}

void CGXGridCore::StartCellTracking(ROWCOL nRow, ROWCOL nCol, UINT nButtonFlags)
{
    m_nMouseTracking = nButtonFlags ? nButtonFlags : MK_LBUTTON;
    m_nTrackStartRow = m_nTrackLastRow = nRow;
    m_nTrackStartCol = m_nTrackLastCol = nCol;
    m_nMouseTrackMode = 0;
    if (nButtonFlags & MK_CONTROL)
        m_nMouseTrackMode |= 0x01;
    CGXControl* pControl = IsCurrentCellAt(nRow, nCol) ? CurrentCellControl() : nullptr;
    if (pControl && pControl->IsInitialized())
        m_nMouseTrackMode |= 0x02;
    m_bTrackMoved = FALSE;
}

// Auto-scrolling follows the pointer where the cell lies outside the frozen part.
void CGXGridCore::PrepareTrackingCapture(ROWCOL nRow, ROWCOL nCol)
{
    if (HasMouseCapture())
        return;
    if (m_bAutoScroll) {
        m_bAutoScrollVert = nRow > FrozenRows();
        m_bAutoScrollHorz = nCol > FrozenCols();
    }
    CaptureMouse();
}

// ---- Cell notifications ----

BOOL CGXGridCore::OnLeftCellClick(ROWCOL nRow, ROWCOL nCol, UINT flags)
{
    return m_pUserSelectRangeImp ? m_pUserSelectRangeImp->OnLeftCellClick(this, nRow, nCol, flags) : FALSE;
}
BOOL CGXGridCore::OnMiddleCellClick(ROWCOL, ROWCOL, UINT) { return FALSE; }
BOOL CGXGridCore::OnRightCellClick(ROWCOL, ROWCOL, UINT) { return FALSE; }
BOOL CGXGridCore::OnLeftCellDoubleClick(ROWCOL nRow, ROWCOL nCol, UINT)
{
    return m_pSortImp ? m_pSortImp->SortOnHeaderClick(this, nRow, nCol) : FALSE;
}
BOOL CGXGridCore::OnMiddleCellDoubleClick(ROWCOL, ROWCOL, UINT) { return FALSE; }
BOOL CGXGridCore::OnRightCellDoubleClick(ROWCOL, ROWCOL, UINT) { return FALSE; }
BOOL CGXGridCore::OnCellButtonClicked(ROWCOL, ROWCOL) { return FALSE; }

void CGXGridCore::MouseOverCell(ROWCOL nRow, ROWCOL nCol)
{
    NotifyGridListeners();
    if (nRow != m_nMouseOverRow || nCol != m_nMouseOverCol)
        OnMouseEnterCell(nRow, nCol);
    m_nMouseOverRow = nRow;
    m_nMouseOverCol = nCol;
}

void CGXGridCore::OnMouseEnterCell(ROWCOL, ROWCOL) {}

// ---- The button operations on cells ----

// One body for the three buttons: they differ in the control operations and the click
// notification they call.
BOOL CGXGridCore::OnCellMouse(int nButton, ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    CGXControl* pControl = nullptr;
    auto boundControl = [&]() -> CGXControl* {
        pControl = IsCurrentCellAt(nRow, nCol) ? CurrentCellControl() : nullptr;
        return pControl && pControl->IsInitialized() ? pControl : nullptr;
    };

    if (flags & kCellDown) {
        m_bWarningShown = FALSE;
        const BOOL bPlaced = PlaceCurrentCell(nRow, nCol, 0x04 | ((flags & kCtrlAtStart) ? 0x80 : 0));
        if (m_bWarningShown || nRow > RowCount() || nCol > ColCount())
            return FALSE;
        if (!bPlaced && !IsCurrentCellAt(nRow, nCol))
            return FALSE;  // a disabled cell: the old one stays, nothing is tracked
        if (CGXControl* p = boundControl()) {
            switch (nButton) {
            case kLeft: p->OnLeftButtonDown(nRow, nCol, flags, point); break;
            case kMiddle: p->OnMiddleButtonDown(nRow, nCol, flags, point); break;
            default: p->OnRightButtonDown(nRow, nCol, flags, point); break;
            }
        }
        return TRUE;
    }

    if (flags & kCellUp) {
        if (CGXControl* p = boundControl()) {
            switch (nButton) {
            case kLeft: p->OnLeftButtonUp(nRow, nCol, flags, point); break;
            case kMiddle: p->OnMiddleButtonUp(nRow, nCol, flags, point); break;
            default: p->OnRightButtonUp(nRow, nCol, flags, point); break;
            }
        } else {
            switch (nButton) {
            case kLeft: OnLeftCellClick(nRow, nCol, flags); break;
            case kMiddle: OnMiddleCellClick(nRow, nCol, flags); break;
            default: OnRightCellClick(nRow, nCol, flags); break;
            }
        }
        if (!m_bTrackMoved && IsCurrentCellAt(nRow, nCol)) {
            if (ScrollToCell(nRow, nCol, 2, TRUE))
                if (CGXControl* p = CurrentCellControl())
                    p->Refresh();
        } else if (m_pParam && m_pParam->TestActivateCellFlags(0x01 | 0x02)) {
            if (!PlaceCurrentCell(m_nTrackStartRow, m_nTrackStartCol, 0x04))
                return FALSE;
        }
        return TRUE;
    }

    if (flags & kCellMove) {
        if (CGXControl* p = boundControl())
            p->OnMouseMove(flags, point);
        if (nRow != m_nTrackStartRow || nCol != m_nTrackStartCol)
            m_bTrackMoved = TRUE;
        return TRUE;
    }
    return TRUE;
}

BOOL CGXGridCore::OnLeftCellMouse(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    return OnCellMouse(kLeft, nRow, nCol, flags, point);
}
BOOL CGXGridCore::OnMiddleCellMouse(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    return OnCellMouse(kMiddle, nRow, nCol, flags, point);
}
BOOL CGXGridCore::OnRightCellMouse(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    return OnCellMouse(kRight, nRow, nCol, flags, point);
}

// ---- Window messages of the mouse ----

// The prologue of every button down: answers whether the press goes on to the hit test.
BOOL CGXGridCore::ButtonDownPrologue(UINT nFlags, UINT nOtherButtons)
{
    if (!m_bInitDone)
        return FALSE;
    m_bFocusFromGrid = TRUE;
    m_nLastKeyFlags = nFlags;
    if (HasMouseCapture() || (nFlags & nOtherButtons)) {
        CancelModeToSelf();
        return FALSE;
    }
    if (m_pGridWnd && m_pGridWnd->GetSafeHwnd())
        m_pGridWnd->UpdateWindow();
    return TRUE;
}

CPoint CGXGridCore::ClampToDrawingArea(CPoint point)
{
    CRect rect = GetDrawingArea();
    rect.DeflateRect(0, 0, m_cyFrame, m_cyFrame);
    point.x = std::clamp<int>(point.x, rect.left, std::max<int>(rect.left, rect.right));
    point.y = std::clamp<int>(point.y, rect.top, std::max<int>(rect.top, rect.bottom));
    return point;
}

void CGXGridCore::TopLeftOfCovered(ROWCOL& nRow, ROWCOL& nCol)
{
    CGXCellRange covered;
    if (GetCoveredCellsRowCol(nRow, nCol, covered)) {
        nRow = covered.top;
        nCol = covered.left;
    }
}

BOOL CGXGridCore::OnGridLButtonDown(UINT nFlags, CPoint point)
{
    if (!ButtonDownPrologue(nFlags, MK_MBUTTON | MK_RBUTTON))
        return TRUE;
    try {
        ROWCOL nRow = 0, nCol = 0;
        int nHit = HitTest(point, &nRow, &nCol);
        if (nHit == GX_SELEDGEHIT)
            nHit = GX_CELLHIT;
        switch (nHit) {
        case GX_FILLHANDLEHIT:
            StartCellTracking(nRow, nCol, nFlags);
            if (m_pParam && m_pParam->m_nFillFlags && m_pExcelLikeFillImp)
                m_pExcelLikeFillImp->StartFill(this, nFlags, point, nRow, nCol);
            PrepareTrackingCapture(nRow, nCol);
            return TRUE;
        case GX_CELLHIT:
        case GX_HEADERHIT: {
            const BOOL bCorner = nRow == 0 && nCol == 0;
            if (!bCorner && m_pUserDragSelectRangeImp
                && m_pUserDragSelectRangeImp->OnDragMouseDown(this, nFlags, point, nRow, nCol))
                return TRUE;
            if (!bCorner)
                TopLeftOfCovered(nRow, nCol);
            StartCellTracking(nRow, nCol, nFlags);
            if (m_pUserSelectRangeImp)
                m_pUserSelectRangeImp->OnStartSelection(this, nRow, nCol, nFlags, point);
            const UINT flags = kCellDown | kOnStart | ((nFlags & MK_CONTROL) ? UINT(kCtrlAtStart) : 0u) | KeyFlagsHigh(nFlags);
            if (OnLeftCellMouse(nRow, nCol, flags, point))
                PrepareTrackingCapture(nRow, nCol);
            else
                CancelModeToSelf();
            return TRUE;
        }
        case GX_VERTLINE:
        case GX_HORZLINE:
        case GX_VERTHIDDEN:
        case GX_HORZHIDDEN:
            return m_pUserResizeCellsImp ? m_pUserResizeCellsImp->OnResizeMouseDown(this, nFlags, point, nHit, nRow, nCol) : FALSE;
        default:
            return TRUE;
        }
    } catch (...) {
        CancelModeToSelf();
    }
    return TRUE;
}

BOOL CGXGridCore::OnOtherButtonDown(int nButton, UINT nFlags, CPoint point)
{
    const UINT nOthers = nButton == kMiddle ? (MK_LBUTTON | MK_RBUTTON) : (MK_LBUTTON | MK_MBUTTON);
    if (!ButtonDownPrologue(nFlags, nOthers))
        return TRUE;
    try {
        ROWCOL nRow = 0, nCol = 0;
        const int nHit = HitTest(point, &nRow, &nCol);
        if (nHit != GX_CELLHIT && nHit != GX_HEADERHIT)
            return TRUE;
        StartCellTracking(nRow, nCol, nFlags);
        const UINT flags = kCellDown | kOnStart | KeyFlagsHigh(nFlags);
        const BOOL b = nButton == kMiddle ? OnMiddleCellMouse(nRow, nCol, flags, point)
                                          : OnRightCellMouse(nRow, nCol, flags, point);
        if (b)
            CaptureMouse();
        else
            CancelModeToSelf();
    } catch (...) {
        CancelModeToSelf();
    }
    return TRUE;
}

BOOL CGXGridCore::OnGridMButtonDown(UINT nFlags, CPoint point) { return OnOtherButtonDown(kMiddle, nFlags, point); }
BOOL CGXGridCore::OnGridRButtonDown(UINT nFlags, CPoint point) { return OnOtherButtonDown(kRight, nFlags, point); }

// Flags of a tracked move or release from where the pointer is now and was before.
UINT CGXGridCore::TrackPositionFlags(ROWCOL nRow, ROWCOL nCol) const
{
    if (nRow == m_nTrackStartRow && nCol == m_nTrackStartCol)
        return kOnStart;
    if (m_nTrackLastRow == m_nTrackStartRow && m_nTrackLastCol == m_nTrackStartCol)
        return kLeftStart;
    return 0;
}

void CGXGridCore::ClampTrackedCell(ROWCOL& nRow, ROWCOL& nCol)
{
    nRow = std::clamp<ROWCOL>(nRow, std::min<ROWCOL>(HeaderRows() + 1, RowCount()), RowCount());
    nCol = std::clamp<ROWCOL>(nCol, std::min<ROWCOL>(HeaderCols() + 1, ColCount()), ColCount());
}

BOOL CGXGridCore::OnGridMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bInitDone)
        return FALSE;
    try {
        point = ClampToDrawingArea(point);
        if (m_pUserDragSelectRangeImp && m_pUserDragSelectRangeImp->OnDragMouseMove(this, point))
            return TRUE;
        if (m_nMouseTracking) {
            if (!HasMouseCapture())
                return TRUE;
            ROWCOL nRow = 0, nCol = 0;
            HitTest(point, &nRow, &nCol);
            ClampTrackedCell(nRow, nCol);
            const UINT flags = kCellMove | TrackPositionFlags(nRow, nCol) | KeyFlagsHigh(nFlags);
            if (m_nMouseTracking & MK_LBUTTON)
                OnLeftCellMouse(nRow, nCol, flags, point);
            else if (m_nMouseTracking & MK_MBUTTON)
                OnMiddleCellMouse(nRow, nCol, flags, point);
            else
                OnRightCellMouse(nRow, nCol, flags, point);
            if (m_nMouseTracking & MK_LBUTTON) {
                const BOOL bFill = m_pParam && m_pParam->m_nFillFlags && m_pExcelLikeFillImp
                                   && m_pExcelLikeFillImp->MoveFill(this, point, nRow, nCol);
                if (!bFill && m_pUserSelectRangeImp)
                    m_pUserSelectRangeImp->OnMoveSelection(this, nRow, nCol, nFlags, point);
            }
            m_nTrackLastRow = nRow;
            m_nTrackLastCol = nCol;
            return TRUE;
        }
        if (m_pUserResizeCellsImp && m_pUserResizeCellsImp->OnResizeMouseMove(this, point))
            return TRUE;
        ROWCOL nRow = 0, nCol = 0;
        const int nHit = HitTest(point, &nRow, &nCol);
        if (nHit == GX_NOHIT || m_nForcedCursorId) {
            SetGridCursor(CursorForPoint(point));
            return TRUE;
        }
        if (nHit == GX_CELLHIT || nHit == GX_HEADERHIT) {
            MouseOverCell(nRow, nCol);
            TopLeftOfCovered(nRow, nCol);
            CGXControl* pControl = ControlOfCell(nRow, nCol);
            if (pControl && pControl->OnMouseMove(nFlags, point))
                return TRUE;
        }
        SetGridCursor(CursorForPoint(point));
    } catch (...) {
        CancelModeToSelf();
    }
    return TRUE;
}

BOOL CGXGridCore::OnButtonUp(int nButton, UINT nFlags, CPoint point)
{
    if (!HasMouseCapture())
        return FALSE;
    try {
        point = ClampToDrawingArea(point);
        if (nButton == kLeft && m_pUserDragSelectRangeImp && m_pUserDragSelectRangeImp->OnDragMouseUp(this, point))
            return TRUE;
        if (m_nMouseTracking) {
            ::ReleaseCapture();
            ROWCOL nRow = 0, nCol = 0;
            HitTest(point, &nRow, &nCol);
            ClampTrackedCell(nRow, nCol);
            const BOOL bFill = nButton == kLeft && m_pExcelLikeFillImp && m_pExcelLikeFillImp->EndFill(this);
            if (!bFill && nButton == kLeft && m_pUserSelectRangeImp)
                m_pUserSelectRangeImp->OnEndSelection(this, nRow, nCol, nFlags, point);
            const UINT flags = kCellUp | TrackPositionFlags(nRow, nCol) | KeyFlagsHigh(nFlags)
                               | ((m_nMouseTrackMode & 0x01) ? UINT(kCtrlAtStart) : 0u);
            m_nMouseTracking = 0;
            switch (nButton) {
            case kLeft: OnLeftCellMouse(nRow, nCol, flags, point); break;
            case kMiddle: OnMiddleCellMouse(nRow, nCol, flags, point); break;
            default: OnRightCellMouse(nRow, nCol, flags, point); break;
            }
            return TRUE;
        }
        if (nButton == kLeft && m_pUserResizeCellsImp)
            return m_pUserResizeCellsImp->OnResizeMouseUp(this, point);
    } catch (...) {
        CancelModeToSelf();
    }
    return TRUE;
}

BOOL CGXGridCore::OnGridLButtonUp(UINT nFlags, CPoint point) { return OnButtonUp(kLeft, nFlags, point); }
BOOL CGXGridCore::OnGridMButtonUp(UINT nFlags, CPoint point) { return OnButtonUp(kMiddle, nFlags, point); }
BOOL CGXGridCore::OnGridRButtonUp(UINT nFlags, CPoint point) { return OnButtonUp(kRight, nFlags, point); }

BOOL CGXGridCore::OnButtonDblClk(int nButton, UINT nFlags, CPoint point)
{
    const UINT nOthers = nButton == kLeft ? (MK_MBUTTON | MK_RBUTTON)
                         : nButton == kMiddle ? (MK_LBUTTON | MK_RBUTTON) : (MK_LBUTTON | MK_MBUTTON);
    if (!ButtonDownPrologue(nFlags, nOthers))
        return TRUE;
    try {
        ROWCOL nRow = 0, nCol = 0;
        const int nHit = HitTest(point, &nRow, &nCol);
        if (nHit == GX_CELLHIT || nHit == GX_HEADERHIT) {
            TopLeftOfCovered(nRow, nCol);
            CGXControl* pControl = IsCurrentCellAt(nRow, nCol) ? CurrentCellControl() : nullptr;
            if (nButton != kLeft || !(pControl && pControl->IsInitialized()))
                PlaceCurrentCell(nRow, nCol, 0x0A);
            pControl = IsCurrentCellAt(nRow, nCol) ? CurrentCellControl() : nullptr;
            BOOL bHandled;
            if (pControl && pControl->IsInitialized()) {
                bHandled = nButton == kLeft     ? pControl->OnLeftButtonDblClk(nRow, nCol, nFlags, point)
                           : nButton == kMiddle ? pControl->OnMiddleButtonDblClk(nRow, nCol, nFlags, point)
                                                : pControl->OnRightButtonDblClk(nRow, nCol, nFlags, point);
            } else {
                bHandled = nButton == kLeft     ? OnLeftCellDoubleClick(nRow, nCol, nFlags)
                           : nButton == kMiddle ? OnMiddleCellDoubleClick(nRow, nCol, nFlags)
                                                : OnRightCellDoubleClick(nRow, nCol, nFlags);
            }
            if (!bHandled) {
                switch (nButton) {
                case kLeft: return OnGridLButtonDown(nFlags, point);
                case kMiddle: return OnGridMButtonDown(nFlags, point);
                default: return OnGridRButtonDown(nFlags, point);
                }
            }
            return TRUE;
        }
        if (nButton == kLeft && nHit != GX_NOHIT && m_pUserResizeCellsImp)
            return m_pUserResizeCellsImp->OnResizeDoubleClick(this, nFlags, point, nHit, nRow, nCol);
    } catch (...) {
        CancelModeToSelf();
    }
    return TRUE;
}

BOOL CGXGridCore::OnGridLButtonDblClk(UINT nFlags, CPoint point) { return OnButtonDblClk(kLeft, nFlags, point); }
BOOL CGXGridCore::OnGridMButtonDblClk(UINT nFlags, CPoint point) { return OnButtonDblClk(kMiddle, nFlags, point); }
BOOL CGXGridCore::OnGridRButtonDblClk(UINT nFlags, CPoint point) { return OnButtonDblClk(kRight, nFlags, point); }

void CGXGridCore::OnGridCancelMode()
{
    if (!m_bInitDone)
        return;
    if (m_bUserResizing && m_pUserResizeCellsImp) {
        m_pUserResizeCellsImp->CancelResize(this);
        m_bUserResizing = FALSE;
    } else if (m_nMouseTracking) {
        if (m_pExcelLikeFillImp)
            m_pExcelLikeFillImp->CancelFill(this, nullptr);
        SetSelection(nullptr, GX_INVALIDATE);
        if (m_pParam && m_pParam->TestActivateCellFlags(0x01 | 0x02))
            PlaceCurrentCell(GX_INVALID, GX_INVALID, 0x0A);
        m_nMouseTracking = 0;
    } else if (m_pUserDragSelectRangeImp) {
        m_pUserDragSelectRangeImp->CancelDragSelect(this);
    }
    ClearCutPending();
    if (m_nForcedCursorId)
        ForceCursor(0);
    if (HasMouseCapture())
        ::ReleaseCapture();
    if (CGXControl* pControl = m_bHasCurrentCell ? CurrentCellControl() : nullptr)
        pControl->OnCancelMode();
}

int CGXGridCore::OnGridMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    CWnd* pGrid = m_pGridWnd;
    if (m_bIsViewContext && m_bActiveViewOption && nHitTest == HTCLIENT && pGrid && pGrid->GetSafeHwnd()) {
        HWND hFocus = ::GetFocus();
        const HWND hGrid = pGrid->GetSafeHwnd();
        const BOOL bOwns = hFocus && (hFocus == hGrid || ::IsChild(hGrid, hFocus));
        CWnd* pFocus = CWnd::GetFocus();
        const BOOL bOtherFrame = pFocus && pFocus->GetParentFrame() != pGrid->GetParentFrame();
        if (!bOwns || bOtherFrame) {
            const BOOL bOld = m_bTakingFocus;
            m_bTakingFocus = TRUE;
            pGrid->SetFocus();
            m_bTakingFocus = bOld;
            return MA_ACTIVATEANDEAT;
        }
    }
    int nResult = MA_ACTIVATE;
    if (CGXControl* pControl = m_bHasCurrentCell ? CurrentCellControl() : nullptr)
        pControl->OnMouseActivate(pDesktopWnd, nHitTest, message, nResult);
    return nResult;
}

// ---- Cursors ----

UINT CGXGridCore::CursorForPoint(CPoint point)
{
    if (m_nForcedCursorId)
        return m_nForcedCursorId;
    ROWCOL nRow = 0, nCol = 0;
    switch (HitTest(point, &nRow, &nCol)) {
    case GX_VERTLINE: return GX_IDC_HEIGHT_COL;
    case GX_HORZLINE: return GX_IDC_HEIGHT_ROW;
    case GX_SELEDGEHIT: return GX_IDC_SELDRAG;
    case GX_FILLHANDLEHIT: return GX_IDC_FILLHANDLE;
    case GX_VERTHIDDEN: return GX_IDC_HIDDEN_COL;
    case GX_HORZHIDDEN: return GX_IDC_HIDDEN_ROW;
    case GX_HEADERHIT:
        if (nCol == 0 && nRow > 0) {
            if (m_pParam && m_pParam->m_SelRects.IntersectsRow(nRow) && m_pParam->IsDragRowsAllowed())
                return 0;
            if (m_pParam && m_pParam->TestSelectionFlags(0x02))
                return GX_IDC_SELROW;
        } else if (nRow == 0 && nCol > 0) {
            if (m_pParam && m_pParam->m_SelRects.IntersectsCol(nCol) && m_pParam->IsDragColsAllowed())
                return 0;
            if (m_pParam && m_pParam->TestSelectionFlags(0x04))
                return GX_IDC_SELCOL;
        }
        return 0;
    default: return 0;
    }
}

void CGXGridCore::SetGridCursor(UINT nIDCursor)
{
    if (nIDCursor == 0) {
        m_nCursorId = 0;
        ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
        return;
    }
    if (nIDCursor != m_nCursorId || !m_hGridCursor) {
        HCURSOR h = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDCursor));
        if (!h) {
            // Missing cursor resources fall back to the system's.
            LPCTSTR pszSystem = IDC_ARROW;
            switch (nIDCursor) {
            case GX_IDC_HEIGHT_COL: pszSystem = IDC_SIZEWE; break;
            case GX_IDC_HEIGHT_ROW: pszSystem = IDC_SIZENS; break;
            default: break;
            }
            h = ::LoadCursor(nullptr, pszSystem);
        }
        m_hGridCursor = h;
        m_nCursorId = nIDCursor;
    }
    ::SetCursor(m_hGridCursor);
}

void CGXGridCore::ForceCursor(UINT nIDCursor)
{
    m_nForcedCursorId = nIDCursor;
    SetGridCursor(nIDCursor);
}

BOOL CGXGridCore::OnGridSetCursor(CWnd* pWnd, UINT nHitTest, UINT)
{
    if (nHitTest != HTCLIENT || !m_pGridWnd || pWnd != m_pGridWnd)
        return FALSE;
    POINT pt;
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_pGridWnd->GetSafeHwnd(), &pt);
    SetGridCursor(CursorForPoint(CPoint(pt.x, pt.y)));
    return TRUE;
}

// ---- Activation and focus ----

void CGXGridCore::Activate(BOOL bActivate)
{
    m_bLastActivateResult = FALSE;
    if (!bActivate && m_bLockCurrentCell)
        return;  // the current cell is being left; deactivating now would re-enter it
    if (m_pGridWnd && m_pGridWnd->GetSafeHwnd())
        m_pGridWnd->SendMessage(WM_CANCELMODE);
    if (!m_bInitDone || !m_pParam || m_pParam->m_bLockRedraw)
        return;
    BOOL bResult = TRUE;
    if (m_bHasCurrentCell && !GXGetLibraryState().m_bPopupActive) {
        CGXControl* pControl = CurrentCellControl();
        if (bActivate) {
            if (pControl) {
                if (m_pParam->m_wActivateFlags & 0x04)
                    pControl->SetActive(TRUE);
                pControl->Refresh();
            }
        } else if (pControl && pControl->IsInitialized()) {
            if (!ValidateCellChange(m_nCurrentRow, m_nCurrentCol, GX_VALIDATE_LEAVE)) {
                bResult = FALSE;
            } else {
                const BOOL bModified = pControl->IsModified();
                BOOL bEnded = !bModified || (pControl->CommitValue() & 1);
                if (bEnded)
                    bEnded = pControl->EndEditing();
                if (bEnded) {
                    pControl->SetActive(FALSE);
                    pControl->SetModified(FALSE);
                    pControl->Refresh();
                    if (bModified)
                        RecalcAndRefresh(FALSE, nullptr, TRUE);
                }
                bResult = bEnded;
            }
        } else {
            RedrawCurrentCell(GX_INVALIDATE);
        }
    }
    if (bActivate) {
        FreeGdiCache();
        UpdateScrollBars(TRUE, FALSE);
        if (bResult)
            NotifyGridListeners();
    }
    m_bLastActivateResult = bResult;
}

void CGXGridCore::OnGridSetFocus(CWnd* pOldWnd)
{
    if (m_bTakingFocus)
        return;
    HWND hGrid = m_pGridWnd ? m_pGridWnd->GetSafeHwnd() : nullptr;
    HWND hOld = pOldWnd ? pOldWnd->GetSafeHwnd() : nullptr;
    if (!hOld || !hGrid || (hOld != hGrid && !::IsChild(hGrid, hOld)))
        Activate(TRUE);
    m_hLastFocusWnd = hOld;
    if (m_bWarningShown)
        if (CGXControl* pControl = m_bHasCurrentCell ? CurrentCellControl() : nullptr)
            pControl->Refresh();
}

void CGXGridCore::OnGridKillFocus(CWnd* pNewWnd)
{
    m_bFocusFromGrid = FALSE;
    if (m_bTakingFocus)
        return;
    HWND hGrid = m_pGridWnd ? m_pGridWnd->GetSafeHwnd() : nullptr;
    HWND hNew = pNewWnd ? pNewWnd->GetSafeHwnd() : nullptr;
    if (!hNew || !hGrid || (hNew != hGrid && !::IsChild(hGrid, hNew)))
        Activate(FALSE);
}
