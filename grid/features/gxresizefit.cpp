#include "grid/features/gxresizefit.h"

#include <algorithm>
#include <vector>

#include "grid/core/gxctrl.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxstate.h"
#include "platform/gdi/dc.h"

namespace {

// Where nothing bounds a size: no drawing area and no window around it.
constexpr int kUnboundedArea = 32767;

// The two axes share one walk; "line" is a row when sizing heights, a column for widths.
struct FitAxis {
    int (CGXGridCore::*size)(ROWCOL);
    int (CGXGridCore::*sumSizes)(ROWCOL, ROWCOL, int);
    int (CGXGridCore::*otherSize)(ROWCOL);
    ROWCOL (CGXGridCore::*frozen)();
    BOOL (CGXGridCore::*setSizes)(ROWCOL, ROWCOL, int, const int*, UINT, int);
    int nText;
    bool bRows;
};
const FitAxis kRowAxis {&CGXGridCore::RowHeight, &CGXGridCore::SumRowHeights, &CGXGridCore::ColWidth,
                        &CGXGridCore::FrozenRows, &CGXGridCore::SetRowHeights, gxTextResizeRows, true};
const FitAxis kColAxis {&CGXGridCore::ColWidth, &CGXGridCore::SumColWidths, &CGXGridCore::RowHeight,
                        &CGXGridCore::FrozenCols, &CGXGridCore::SetColWidths, gxTextResizeCols, false};

CRect LimitArea(CGXGridCore& grid)
{
    CRect area = grid.GetDrawingArea();
    if (!area.IsRectEmpty())
        return area;
    if (CWnd* pWnd = grid.GetGridWnd()) {
        CWnd* pOther = pWnd->GetParent() ? pWnd->GetParent() : pWnd->GetTopWindow();
        if (pOther && pOther->GetSafeHwnd()) {
            pOther->GetClientRect(&area);
            if (!area.IsRectEmpty())
                return area;
        }
    }
    return CRect(0, 0, kUnboundedArea, kUnboundedArea);
}

// The most a line may get: what the area leaves below (right of) the frozen lines, or of the
// lines before a frozen one, less one pixel.
int MostSize(CGXGridCore& grid, const FitAxis& axis, ROWCOL n, int nArea)
{
    if (n == 0)
        return std::max(nArea - 1, 0);
    const ROWCOL nFrozen = (grid.*axis.frozen)();
    const int nBefore = n > nFrozen ? (grid.*axis.sumSizes)(0, nFrozen, 0) : (grid.*axis.sumSizes)(0, n - 1, 0);
    return std::max(nArea - nBefore - 1, 0);
}

// Redraws once, at the end, however many lines change.
class RedrawLock {
public:
    explicit RedrawLock(CGXGridParam* p) : m_p(p), m_bOld(p ? p->m_bLockRedraw : FALSE)
    {
        if (m_p)
            m_p->m_bLockRedraw = TRUE;
    }
    ~RedrawLock()
    {
        if (m_p)
            m_p->m_bLockRedraw = m_bOld;
    }
    RedrawLock(const RedrawLock&) = delete;
    RedrawLock& operator=(const RedrawLock&) = delete;

private:
    CGXGridParam* m_p;
    BOOL m_bOld;
};

BOOL FitToContents(CGXGridCore& grid, const FitAxis& axis, const CGXCellRange& range, UINT flags)
{
    CGXGridParam* pParam = grid.GetParam();
    if (!pParam)
        return FALSE;
    CGXCellRange cells(range);
    cells.ExpandToCells(0, 0, grid.RowCount(), grid.ColCount());
    cells.bottom = std::min(cells.bottom, grid.RowCount());
    cells.right = std::min(cells.right, grid.ColCount());
    if (!cells.IsValid() || cells.top > cells.bottom || cells.left > cells.right)
        return FALSE;
    if (grid.GetFloatCellsMode())
        grid.ResolveFloatCells(cells);
    if (grid.GetMergeCellsMode())
        grid.ResolveMergeCells(cells);

    CDC* pDC = grid.GetMeasureDC();
    const CString& text = GXGetLibraryState().m_astrTexts[axis.nText];
    CGXLongOperation theOp;
    theOp.SetStatusText(text);
    grid.BeginTransaction(text);
    const CRect area = LimitArea(grid);
    const int nArea = axis.bRows ? area.Height() : area.Width();
    const ROWCOL nFirst = axis.bRows ? cells.top : cells.left, nLast = axis.bRows ? cells.bottom : cells.right;
    const ROWCOL nOtherFirst = axis.bRows ? cells.left : cells.top, nOtherLast = axis.bRows ? cells.right : cells.bottom;
    BOOL bCanceled = FALSE;
    BOOL bChanged = FALSE;
    // The other views hear of the whole range once, at the end, with the former sizes.
    std::vector<int> formers;
    const BOOL bHints = grid.IsUpdateHintsEnabled();
    grid.EnableUpdateHints(FALSE);
    {
        RedrawLock lock(pParam);
        for (ROWCOL n = nFirst; n <= nLast && !bCanceled; ++n) {
            int nNeeded = 0;
            for (ROWCOL m = nOtherFirst; m <= nOtherLast && !bCanceled; ++m) {
                const ROWCOL nRow = axis.bRows ? n : m, nCol = axis.bRows ? m : n;
                CGXCellRange block;
                const BOOL bCovered = grid.GetCoveredCellsRowCol(nRow, nCol, block);
                // A covered block counts once: on its last line, at its first cell across, and
                // only when it lies inside the range.
                ROWCOL nSkipTo = m;
                bool bCounts;
                ROWCOL nStyleRow = nRow, nStyleCol = nCol;
                int nAbove = 0;
                if (bCovered) {
                    const ROWCOL nBlockLast = axis.bRows ? block.bottom : block.right;
                    const ROWCOL nBlockFirst = axis.bRows ? block.top : block.left;
                    const ROWCOL nAcrossFirst = axis.bRows ? block.left : block.top;
                    const ROWCOL nAcrossLast = axis.bRows ? block.right : block.bottom;
                    bCounts = n == nBlockLast && m == nAcrossFirst && nBlockFirst >= nFirst && nAcrossLast <= nOtherLast;
                    nStyleRow = block.top;
                    nStyleCol = block.left;
                    if (bCounts && nBlockFirst < n)
                        nAbove = (grid.*axis.sumSizes)(nBlockFirst, n - 1, 0);
                    nSkipTo = std::max(m, nAcrossLast);
                } else {
                    bCounts = (grid.*axis.otherSize)(m) > 0;
                }
                if (bCounts) {
                    CGXStyle style;
                    grid.ComposeCellStyle(nStyleRow, nStyleCol, style);
                    CGXControl* pControl =
                        grid.GetRegisteredControl(style.GetIncludeControl() ? style.GetControl() : WORD(0));
                    if (pControl) {
                        const CSize size = pControl->ComputeContentSize(pDC, nStyleRow, nStyleCol, style, axis.bRows);
                        nNeeded = std::max(nNeeded, (axis.bRows ? size.cy : size.cx) - nAbove);
                    }
                }
                BOOL bAbort = FALSE;
                if (theOp.ProcessMessagesQueryAbort(bAbort) && bAbort)
                    bCanceled = TRUE;
                m = nSkipTo;
                if (m == nOtherLast)
                    break;
            }
            if (bCanceled)
                break;
            const int nNew = std::min(nNeeded, MostSize(grid, axis, n, nArea));
            const int nOld = (grid.*axis.size)(n);
            formers.push_back(nOld);
            const bool bSet = (flags & GX_NOSHRINKSIZE) ? nNew > nOld : (nNew != nOld && nNew > 0);
            if (bSet && (grid.*axis.setSizes)(n, n, nNew, nullptr, GX_NOREDRAW, gxDo))
                bChanged = TRUE;
            if (n == nLast)
                break;
        }
    }
    grid.ReleaseMeasureDC();
    if (bCanceled) {
        grid.Rollback();
        grid.EnableUpdateHints(bHints);
        return FALSE;
    }
    grid.CommitTransaction();
    grid.EnableUpdateHints(bHints);
    if (bChanged && !pParam->m_bLockRedraw) {
        grid.ResetSizeCaches();
        if (grid.IsInitialized())
            grid.UpdateScrollBars();
        grid.Redraw(flags & ~GX_NOSHRINKSIZE);
    }
    if (bChanged && bHints && grid.m_pUpdateHintImp)
        grid.m_pUpdateHintImp->SendHint(&grid, axis.bRows ? gxHintRowHeights : gxHintColWidths, formers.data(), nullptr,
                                        nFirst, nLast, flags & ~GX_NOSHRINKSIZE);
    return TRUE;
}

}  // namespace

BOOL CGXGridResizeToFitImp::ResizeRowHeightsToFit(CGXGridCore* pGrid, const CGXCellRange& range, UINT, UINT flags)
{
    return FitToContents(*pGrid, kRowAxis, range, flags);
}

BOOL CGXGridResizeToFitImp::ResizeColWidthsToFit(CGXGridCore* pGrid, const CGXCellRange& range, UINT, UINT flags)
{
    return FitToContents(*pGrid, kColAxis, range, flags);
}

void CGXGridCore::InstallResizeToFitImp()
{
    if (m_pResizeToFitImp)
        return;
    auto* p = new CGXGridResizeToFitImp;
    m_pResizeToFitImp = p;
    AddImpToDeleteList(p);
    InstallCalcSizeImp();
}
