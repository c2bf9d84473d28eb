#include "grid/features/gxfill.h"

#include <algorithm>
#include <memory>

#include "grid/core/gxgrid.h"
#include "grid/core/gxstate.h"
#include "grid/features/gxselect.h"
#include "platform/gdi/dc.h"
#include "platform/win/win.h"

namespace {

enum Direction { kInside, kUp, kDown, kLeft, kRight };
constexpr int kBeyond = 8;  // an edge that continues in another pane lies this far outside the clip

BOOL CanDrawNow(CGXGridCore* pGrid)
{
    CWnd* pWnd = pGrid->GetGridWnd();
    CGXGridParam* pParam = pGrid->GetParam();
    return pWnd && pWnd->GetSafeHwnd() && pWnd->IsWindowVisible() && pParam && !pParam->m_bLockRedraw
           && !pGrid->IsPrinting();
}

CGXCellRange Normalized(const CGXCellRange& r)
{
    CGXCellRange n = r;
    if (n.top > n.bottom)
        std::swap(n.top, n.bottom);
    if (n.left > n.right)
        std::swap(n.left, n.right);
    return n;
}

}  // namespace

// ---- The frame ----

int CGXGridExcelLikeFrameImpl::HandleCode(const CGXCellRange& range)
{
    if (range.IsRows())
        return 2;
    if (range.IsCols())
        return 7;
    return 0;
}

std::vector<CRect> CGXGridExcelLikeFrameImpl::FramePieceRects(const CRect& f, BOOL bTopEdge, BOOL bLeftEdge, int nHandle,
                                                              BOOL bHandleOnly)
{
    const int L = f.left, T = f.top, R = f.right, B = f.bottom;
    std::vector<CRect> v;
    if (!bHandleOnly) {
        if (bTopEdge) {
            v.emplace_back(L - 1, T - 1, R + 2, T);
            v.emplace_back(L + 2, T + 2, R - 2, T + 3);
        }
        if (bLeftEdge) {
            v.emplace_back(L - 1, T, L, B + 2);
            v.emplace_back(L + 2, T + 3, L + 3, B - 2);
        }
        if (bTopEdge && !bLeftEdge) {
            v.emplace_back(L, B - 2, L + 2, B - 1);
            v.emplace_back(L, T + 2, L + 2, T + 3);
        }
        if (bLeftEdge && !bTopEdge && T < B) {
            v.emplace_back(L + 2, T, L + 3, T + 3);
            v.emplace_back(R - 2, T, R - 1, T + 1);
        }
        v.emplace_back(L, B, R, B + 2);
        v.emplace_back(R, T, R + 2, B + 2);
        v.emplace_back(L + 2, B - 2, R - 2, B - 1);
        v.emplace_back(R - 2, bTopEdge ? T + 2 : T + 1, R - 1, B - 1);
    }
    switch (nHandle) {
    case 0:
        v.emplace_back(R - 1, B - 2, R + 2, B + 3);
        v.emplace_back(R - 2, B - 1, R + 3, B + 2);
        v.emplace_back(R + 2, B + 2, R + 3, B + 3);
        break;
    case 2:
        v.emplace_back(L + 2, B - 1, L + 7, B + 2);
        v.emplace_back(L + 3, B - 3, L + 7, B - 2);
        v.emplace_back(L + 1, B - 2, L + 6, B + 3);
        v.emplace_back(L + 1, B + 2, L + 2, B + 3);
        break;
    case 7:
        v.emplace_back(R - 1, T + 2, R + 2, T + 7);
        v.emplace_back(R - 3, T + 3, R - 2, T + 7);
        v.emplace_back(R - 2, T + 1, R + 3, T + 6);
        v.emplace_back(R + 2, T + 1, R + 3, T + 2);
        break;
    default: break;
    }
    return v;
}

void CGXGridExcelLikeFrameImpl::DrawFramePiece(CGXGridCore*, CDC* pDC, const CRect& rectClip, const CRect& rectFrame,
                                               BOOL bTopEdge, BOOL bLeftEdge, int nHandle, BOOL bHandleOnly)
{
    for (CRect r : FramePieceRects(rectFrame, bTopEdge, bLeftEdge, nHandle, bHandleOnly)) {
        if (r.left >= r.right || r.top >= r.bottom)
            continue;
        CRect c;
        if (c.IntersectRect(&r, &rectClip))
            pDC->InvertRect(&c);
    }
}

void CGXGridExcelLikeFrameImpl::DrawFrameForRange(CGXGridCore* pGrid, CDC* pDC, const CGXCellRange& range, int nHandle,
                                                  BOOL bHandleOnly)
{
    if (!pDC || !range.IsValid())
        return;
    const CRect area = pGrid->GetDrawingArea();
    const ROWCOL nTop = pGrid->GetTopRow(), nLeft = pGrid->GetLeftCol();
    const ROWCOL nFrozenRows = pGrid->FrozenRows(), nFrozenCols = pGrid->FrozenCols();
    const ROWCOL nLastRow = std::min(pGrid->LastVisibleRow(), pGrid->RowCount());
    const ROWCOL nLastCol = std::min(pGrid->LastVisibleCol(), pGrid->ColCount());
    const int yScroll = std::clamp(pGrid->RowTopY(nTop), int(area.top), int(area.bottom));
    const int xScroll = std::clamp(pGrid->ColLeftX(nLeft), int(area.left), int(area.right));
    struct Pane {
        ROWCOL a, b;
        int from, to;
    };
    const Pane rowPanes[2] = {{1, nFrozenRows, int(area.top), yScroll}, {std::max(nTop, nFrozenRows + 1), nLastRow, yScroll, int(area.bottom)}};
    const Pane colPanes[2] = {{1, nFrozenCols, int(area.left), xScroll}, {std::max(nLeft, nFrozenCols + 1), nLastCol, xScroll, int(area.right)}};
    for (const Pane& rp : rowPanes) {
        const ROWCOL pa = std::max(range.top, rp.a), pb = std::min(range.bottom, rp.b);
        if (rp.a > rp.b || pa > pb || rp.from >= rp.to)
            continue;
        for (const Pane& cp : colPanes) {
            const ROWCOL pc = std::max(range.left, cp.a), pd = std::min(range.right, cp.b);
            if (cp.a > cp.b || pc > pd || cp.from >= cp.to)
                continue;
            const CRect cells = pGrid->RangeToRect(CGXCellRange(pa, pc, pb, pd));
            if (cells.IsRectEmpty())
                continue;
            const CRect clip(cp.from, rp.from, cp.to, rp.to);
            CRect f(cells.left, cells.top, cells.right - 1, cells.bottom - 1);
            if (range.top < pa)
                f.top = clip.top - kBeyond;
            if (range.bottom > pb)
                f.bottom = clip.bottom + kBeyond;
            if (range.left < pc)
                f.left = clip.left - kBeyond;
            if (range.right > pd)
                f.right = clip.right + kBeyond;
            DrawFramePiece(pGrid, pDC, clip, f, range.top == pa, range.left == pc, nHandle, bHandleOnly);
        }
    }
}

void CGXGridExcelLikeFrameImpl::UpdateFrameOn(CGXGridCore* pGrid, CDC* pDC, BOOL bEraseOld, const CGXCellRange* pRange)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || !pParam->m_bExcelLikeFrame || m_bHidden)
        return;
    if (bEraseOld && m_bHasFrame) {
        DrawFrameForRange(pGrid, pDC, m_range, m_nHandle);
        m_bHasFrame = FALSE;
    }
    if (!pRange)
        return;
    if (!pRange->IsValid()) {
        m_range = CGXCellRange();
        return;
    }
    CGXCellRange r = Normalized(*pRange);
    m_nHandle = HandleCode(r);
    r.ExpandToCells(pGrid->HeaderRows() + 1, pGrid->HeaderCols() + 1, pGrid->RowCount(), pGrid->ColCount());
    r.top = std::max(r.top, pGrid->HeaderRows() + 1);
    r.left = std::max(r.left, pGrid->HeaderCols() + 1);
    if (r.top > r.bottom || r.left > r.right) {
        m_range = CGXCellRange();
        return;
    }
    m_range = r;
    DrawFrameForRange(pGrid, pDC, m_range, m_nHandle);
    m_bHasFrame = TRUE;
}

void CGXGridExcelLikeFrameImpl::UpdateFrame(CGXGridCore* pGrid, const CGXCellRange& range, UINT)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || !pParam->m_bExcelLikeFrame || m_bHidden)
        return;
    if (!CanDrawNow(pGrid)) {
        // Nothing on the screen changes now: the next paint draws the frame where it is then.
        m_bHasFrame = FALSE;
        UpdateFrameOn(pGrid, nullptr, FALSE, &range);
        return;
    }
    CWnd* pWnd = pGrid->GetGridWnd();
    pWnd->UpdateWindow();  // what is waiting to be painted gets the frame drawn now first
    CClientDC dc(pWnd);
    pGrid->OnGridPrepareDC(&dc);
    UpdateFrameOn(pGrid, &dc, TRUE, &range);
}

void CGXGridExcelLikeFrameImpl::DrawFrame(CGXGridCore* pGrid, CDC* pDC)
{
    if (pGrid->IsPrinting() || m_bHidden || !m_range.IsValid())
        return;
    DrawFrameForRange(pGrid, pDC, m_range, m_nHandle);
    m_bHasFrame = TRUE;
}

void CGXGridExcelLikeFrameImpl::RedrawFrame(CGXGridCore* pGrid)
{
    if (m_bHidden || !m_range.IsValid() || !CanDrawNow(pGrid))
        return;
    CClientDC dc(pGrid->GetGridWnd());
    pGrid->OnGridPrepareDC(&dc);
    DrawFrameForRange(pGrid, &dc, m_range, m_nHandle);
    m_bHasFrame = !m_bHasFrame;
}

BOOL CGXGridExcelLikeFrameImpl::ShowFrame(CGXGridCore* pGrid, BOOL bHide, BOOL)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || !pParam->m_bExcelLikeFrame)
        return FALSE;
    const BOOL bOld = m_bHidden;
    if ((bHide != FALSE) == (bOld != FALSE))
        return bOld;
    std::unique_ptr<CClientDC> dc;
    if (CanDrawNow(pGrid)) {
        pGrid->GetGridWnd()->UpdateWindow();
        dc = std::make_unique<CClientDC>(pGrid->GetGridWnd());
        pGrid->OnGridPrepareDC(dc.get());
    }
    m_bHidden = FALSE;
    if (bHide) {
        if (dc && m_bHasFrame)
            DrawFrameForRange(pGrid, dc.get(), m_range, m_nHandle);
        m_bHasFrame = FALSE;
    } else if (!pParam->m_SelRects.IsEmpty()) {
        const CGXCellRange first = *pParam->m_SelRects.GetRange(pParam->m_SelRects.GetHeadPosition());
        m_bHasFrame = FALSE;
        UpdateFrameOn(pGrid, dc.get(), FALSE, &first);
        if (!dc)
            m_bHasFrame = FALSE;
    }
    m_bHidden = bHide;
    return bOld;
}

// ---- The fill handle ----

BOOL CGXGridExcelLikeFillImpl::StartFill(CGXGridCore* pGrid, UINT, CPoint, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || !pParam->m_nFillFlags || !pParam->m_bExcelLikeFrame)
        return FALSE;
    if (nRow < pGrid->GetTopRow() || nCol < pGrid->GetLeftCol() || pGrid->IsInFrozenRows(nRow) || pGrid->IsInFrozenCols(nCol))
        return FALSE;
    CGXCellRange range;
    if (POSITION pos = pParam->m_SelRects.FindRangeContaining(nRow, nCol)) {
        range = *pParam->m_SelRects.GetRange(pos);
    } else {
        ROWCOL r = 0, c = 0;
        if (!pParam->m_SelRects.IsEmpty() || !pGrid->QueryCurrentCell(r, c))
            return FALSE;
        range = CGXCellRange(r, c);
        CGXCellRange covered;
        if (pGrid->GetCoveredCellsRowCol(r, c, covered))
            range = covered;
        if (!range.IsCellInRange(nRow, nCol))
            return FALSE;
    }
    if (!range.IsCells() || !pGrid->CanStartFill(range))
        return FALSE;
    pGrid->StoreCurrentCellEdit(TRUE);
    pGrid->m_wStateFlags |= kGXFillDragging;
    m_source = Normalized(range);
    m_rectFrame.SetRectEmpty();
    m_target = CGXCellRange();
    return TRUE;
}

CGXCellRange CGXGridExcelLikeFillImpl::TargetFor(CGXGridCore* pGrid, CPoint pt, ROWCOL nRow, ROWCOL nCol)
{
    const CGXCellRange& S = m_source;
    CRect rect = pGrid->RangeToRect(S);
    const ROWCOL nTop = pGrid->GetTopRow(), nLeft = pGrid->GetLeftCol();
    if (S.top < nTop && S.top > pGrid->FrozenRows())
        rect.top -= pGrid->SumRowHeights(S.top, std::min(S.bottom, nTop - 1));
    if (S.left < nLeft && S.left > pGrid->FrozenCols())
        rect.left -= pGrid->SumColWidths(S.left, std::min(S.right, nLeft - 1));
    const int cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
    Direction dir = kInside;
    if (pt.y < rect.top) {
        if (pt.x > cx)
            dir = pt.x - rect.right < rect.top - pt.y ? kUp : kRight;
        else
            dir = rect.left - pt.x >= rect.top - pt.y ? kLeft : kUp;
    }
    if (pt.y > rect.bottom) {
        const int dx = pt.x > cx ? pt.x - rect.right : rect.left - pt.x;
        dir = dx < pt.y - rect.bottom ? kDown : (pt.x > cx ? kRight : kLeft);
    }
    if (pt.x > rect.right) {
        if (pt.y > cy)
            dir = pt.y - rect.bottom < pt.x - rect.right ? kRight : kDown;
        else
            dir = rect.top - pt.y < pt.x - rect.right ? kRight : kUp;
    }
    if (pt.x < rect.left) {
        if (pt.y > cy)
            dir = pt.y - rect.bottom < rect.left - pt.x ? kLeft : kDown;
        else
            dir = rect.top - pt.y < rect.left - pt.x ? kLeft : kUp;
    }
    const CRect cell = pGrid->CellToRect(nRow, nCol);
    const bool bLowerHalf = pt.y >= (cell.top + cell.bottom) / 2;
    const bool bRightHalf = pt.x >= (cell.left + cell.right) / 2;
    CGXCellRange T = S;
    switch (dir) {
    case kUp: T.top = std::min(S.top, bLowerHalf ? nRow + 1 : nRow); break;
    case kLeft: T.left = std::min(S.left, bRightHalf ? nCol + 1 : nCol); break;
    case kDown: T.bottom = std::max(S.bottom, bLowerHalf ? nRow : nRow - 1); break;
    case kRight: T.right = std::max(S.right, bRightHalf ? nCol : nCol - 1); break;
    case kInside:
        // The side the pointer moved farther in from gives up its rows (or columns): a pointer
        // nearer the right edge than the bottom edge shrinks the rows.
        if (nRow >= S.top && nCol >= S.left) {
            if (S.right - nCol < S.bottom - nRow)
                T.bottom = std::max(S.top, nRow);
            else
                T.right = std::max(S.left, nCol);
        }
        break;
    }
    return T;
}

BOOL CGXGridExcelLikeFillImpl::MoveFill(CGXGridCore* pGrid, CPoint point, ROWCOL nRow, ROWCOL nCol)
{
    if (!(pGrid->m_wStateFlags & kGXFillDragging))
        return FALSE;
    DrawFillTarget(pGrid, TargetFor(pGrid, point, nRow, nCol), TRUE, TRUE);
    return TRUE;
}

void CGXGridExcelLikeFillImpl::DrawFillTarget(CGXGridCore* pGrid, const CGXCellRange& range, BOOL bErase, BOOL bDraw)
{
    if (bErase && bDraw && range == m_target && m_target.IsValid())
        return;
    if (bDraw && (!range.IsValid() || !pGrid->CanFillRange(m_source, range)))
        bDraw = FALSE;
    CWnd* pWnd = pGrid->GetGridWnd();
    std::unique_ptr<CClientDC> dc;
    if (CanDrawNow(pGrid)) {
        dc = std::make_unique<CClientDC>(pWnd);
        pGrid->OnGridPrepareDC(dc.get());
        const CRect area = pGrid->GetDrawingArea();
        dc->IntersectClipRect(&area);
    }
    if (bErase) {
        if (dc && !m_rectFrame.IsRectEmpty()) {
            CRect inner = m_rectFrame;
            dc->DrawFocusRect(&m_rectFrame);
            inner.DeflateRect(1, 1);
            dc->DrawFocusRect(&inner);
        }
        m_rectFrame.SetRectEmpty();
        m_target = CGXCellRange();
    }
    if (!bDraw)
        return;
    m_target = range;
    CGXCellRange visible = range;
    visible.top = std::max(visible.top, std::min(pGrid->GetTopRow(), visible.bottom));
    visible.left = std::max(visible.left, std::min(pGrid->GetLeftCol(), visible.right));
    visible.bottom = std::min(visible.bottom, std::max(pGrid->LastVisibleRow(), visible.top));
    visible.right = std::min(visible.right, std::max(pGrid->LastVisibleCol(), visible.left));
    CRect rect = pGrid->RangeToRect(visible);
    if (rect.IsRectEmpty())
        return;
    // Off the grid lines, which lie on the far side of each boundary.
    rect.left += 1;
    rect.top += 1;
    m_rectFrame = rect;
    if (dc) {
        CRect inner = rect;
        dc->DrawFocusRect(&rect);
        inner.DeflateRect(1, 1);
        dc->DrawFocusRect(&inner);
    }
}

BOOL CGXGridExcelLikeFillImpl::EndFill(CGXGridCore* pGrid)
{
    if (!(pGrid->m_wStateFlags & kGXFillDragging))
        return FALSE;
    const CGXCellRange target = m_target;
    DrawFillTarget(pGrid, CGXCellRange(), TRUE, FALSE);
    pGrid->m_wStateFlags &= WORD(~kGXFillDragging);
    if (target.IsValid()) {
        pGrid->SetSelection(nullptr, GX_INVALIDATE);
        pGrid->FillRange(target, m_source);
        pGrid->SelectFillTarget(target);
    }
    return TRUE;
}

void CGXGridExcelLikeFillImpl::CancelFill(CGXGridCore* pGrid, CDC*)
{
    DrawFillTarget(pGrid, CGXCellRange(), TRUE, FALSE);
    pGrid->m_wStateFlags &= WORD(~kGXFillDragging);
}

void CGXGridExcelLikeFillImpl::HideFillHandle(CGXGridCore* pGrid)
{
    if (pGrid->m_wStateFlags & kGXFillDragging)
        DrawFillTarget(pGrid, CGXCellRange(), TRUE, FALSE);
}

BOOL CGXGridExcelLikeFillImpl::DoFill(CGXGridCore* pGrid, const CGXCellRange& sourceIn, const CGXCellRange& targetIn)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam)
        return FALSE;
    const CGXCellRange S = Normalized(sourceIn), T = Normalized(targetIn);
    const BOOL bValues = (pParam->m_nFillFlags & 0x1) != 0, bStyles = (pParam->m_nFillFlags & 0x2) != 0;
    if (T == S || (!bValues && !bStyles) || pGrid->IsReadOnly())
        return FALSE;
    const BOOL bUndo = pGrid->m_pUndoImp && pParam->IsEnableUndo();
    if (bUndo)
        pGrid->BeginTransaction("Fill");
    BOOL bResult = TRUE;
    const ROWCOL nSrcRows = S.bottom - S.top + 1, nSrcCols = S.right - S.left + 1;
    if (T.bottom - T.top + 1 < nSrcRows || T.right - T.left + 1 < nSrcCols) {
        CGXRangeList list;
        if (T.bottom - T.top + 1 < nSrcRows)
            list.AddRange(CGXCellRange(T.bottom + 1, T.left, S.bottom, T.right));
        else
            list.AddRange(CGXCellRange(T.top, T.right + 1, S.bottom, S.right));
        bResult = pGrid->ClearCells(list, bStyles);
    } else {
        const DWORD bOldLock = pParam->m_bLockRedraw;
        pParam->m_bLockRedraw = TRUE;
        ++pGrid->m_nNoFeedback;
        const BOOL bVertical = T.left == S.left && T.right == S.right;
        auto fillCell = [&](ROWCOL r, ROWCOL c, ROWCOL sr, ROWCOL sc) {
            if (bStyles) {
                CGXStyle* pScratch = pGrid->NewScratchStyle();
                pGrid->ComposeCellStyle(sr, sc, *pScratch, FALSE);
                pGrid->ApplyStyleToRange(CGXCellRange(r, c), pScratch, gxOverride, 0, nullptr, GX_NOREDRAW, gxDo);
                pGrid->RecycleStyle(pScratch);
            } else {
                pGrid->SetValueRange(CGXCellRange(r, c), pGrid->GetCopyTextRowCol(sr, sc), gxOverride, 0, GX_NOREDRAW);
            }
        };
        if (bVertical) {
            const bool bDown = T.bottom > S.bottom;
            const ROWCOL nFirst = bDown ? S.bottom + 1 : T.top, nLast = bDown ? T.bottom : S.top - 1;
            ROWCOL sr = S.top;
            for (unsigned long long r = nFirst; r <= nLast; ++r) {
                for (ROWCOL c = S.left; c <= S.right; ++c)
                    fillCell(ROWCOL(r), c, sr, c);
                sr = sr == S.bottom ? S.top : sr + 1;
            }
        } else {
            const bool bRight = T.right > S.right;
            const ROWCOL nFirst = bRight ? S.right + 1 : T.left, nLast = bRight ? T.right : S.left - 1;
            ROWCOL sc = S.left;
            for (unsigned long long c = nFirst; c <= nLast; ++c) {
                for (ROWCOL r = S.top; r <= S.bottom; ++r)
                    fillCell(r, ROWCOL(c), r, sc);
                sc = sc == S.right ? S.left : sc + 1;
            }
        }
        --pGrid->m_nNoFeedback;
        pParam->m_bLockRedraw = bOldLock;
        pGrid->FreeGdiCache();
        pGrid->ResetCurrentCellStyle();
        pGrid->Redraw(GX_INVALIDATE);
    }
    if (bUndo)
        pGrid->CommitTransaction();
    return bResult;
}

void CGXGridExcelLikeFillImpl::SelectFillTarget(CGXGridCore* pGrid, const CGXCellRange& range)
{
    pGrid->SetSelection(&range, GX_INVALIDATE);
}

// ---- Installers ----

void CGXGridCore::InstallExcelLikeFillImp()
{
    if (!m_pExcelLikeFillImp) {
        // The delete list owns it: the grid's destructor does not delete an owned fill object.
        auto* p = new CGXGridExcelLikeFillImpl;
        SetExcelLikeFillImp(p, FALSE);
        AddImpToDeleteList(p);
    }
    InstallExcelLikeFrameImp();
}

void CGXGridCore::InstallExcelLikeFrameImp()
{
    if (!m_pExcelLikeFrameImp) {
        auto* p = new CGXGridExcelLikeFrameImpl;
        m_pExcelLikeFrameImp = p;
        AddImpToDeleteList(p);
    }
    InstallUserSelectRangeImp();
}
