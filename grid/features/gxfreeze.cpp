// Freezing rows and columns, and marked headers.

#include "grid/features/gxfreeze.h"

#include <algorithm>

#include "grid/core/gxgrid.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstate.h"
#include "platform/ui/winapp.h"

// One table for the two directions.
struct CGXGridFreezeMenuHelperImp::Axis {
    BOOL bRows;
    ROWCOL (CGXGridCore::*frozen)();
    ROWCOL (CGXGridCore::*headers)();
    ROWCOL (CGXGridCore::*count)();
    BOOL (CGXGridCore::*intervals)(CDWordArray&, CDWordArray&, BOOL, BOOL);
    BOOL (CGXGridCore::*move)(ROWCOL, ROWCOL, ROWCOL, UINT, int);
    BOOL (CGXGridCore::*setFrozen)(ROWCOL, ROWCOL, UINT, int);
    DWORD CGXGridParam::*start;
    DWORD CGXGridParam::*size;
    DWORD CGXGridParam::*from;
    int nText;
};

namespace {

const CGXGridFreezeMenuHelperImp::Axis kRows = {
    TRUE, &CGXGridCore::FrozenRows, &CGXGridCore::HeaderRows, &CGXGridCore::RowCount, &CGXGridCore::SelectedRowIntervals,
    &CGXGridCore::MoveRows, &CGXGridCore::SetFrozenRows, &CGXGridParam::m_nFreezeRowsStart,
    &CGXGridParam::m_nFreezeRowsCount, &CGXGridParam::m_nFreezeRowsFrom, gxTextFreezeRows};
const CGXGridFreezeMenuHelperImp::Axis kCols = {
    FALSE, &CGXGridCore::FrozenCols, &CGXGridCore::HeaderCols, &CGXGridCore::ColCount, &CGXGridCore::SelectedColIntervals,
    &CGXGridCore::MoveCols, &CGXGridCore::SetFrozenCols, &CGXGridParam::m_nFreezeColsStart,
    &CGXGridParam::m_nFreezeColsCount, &CGXGridParam::m_nFreezeColsFrom, gxTextFreezeCols};

// Sets the redraw lock for its life and gives the former value back.
class RedrawLock {
public:
    explicit RedrawLock(CGXGridParam& param) : m_param(param), m_bOld(param.m_bLockRedraw) { param.m_bLockRedraw = TRUE; }
    ~RedrawLock() { m_param.m_bLockRedraw = m_bOld; }
    RedrawLock(const RedrawLock&) = delete;
    RedrawLock& operator=(const RedrawLock&) = delete;

private:
    CGXGridParam& m_param;
    DWORD m_bOld;
};

}  // namespace

// ---- Freezing ----

BOOL CGXGridFreezeMenuHelperImp::CanFreeze(CGXGridCore* pGrid, const Axis& a)
{
    if (!pGrid->GetParam() || (pGrid->*a.frozen)() > (pGrid->*a.headers)())
        return FALSE;
    CDWordArray firsts, lasts;
    return (pGrid->*a.intervals)(firsts, lasts, TRUE, FALSE) && firsts.GetSize() == 1;
}

void CGXGridFreezeMenuHelperImp::Freeze(CGXGridCore* pGrid, const Axis& a)
{
    if (!CanFreeze(pGrid, a))
        return;
    CGXGridParam* pParam = pGrid->GetParam();
    CDWordArray firsts, lasts;
    (pGrid->*a.intervals)(firsts, lasts, TRUE, FALSE);
    const ROWCOL nHeaders = (pGrid->*a.headers)();
    const ROWCOL nFirst = std::max<ROWCOL>(firsts[0], nHeaders + 1), nLast = lasts[0];
    if (nFirst > nLast)
        return;
    CWaitCursor wait;
    pGrid->BeginTransaction(GXGetLibraryState().m_astrTexts[a.nText]);
    {
        RedrawLock lock(*pParam);
        pGrid->SetSelection(nullptr, GX_NOREDRAW);
        const ROWCOL nStart = nHeaders + 1;
        if (nFirst > nStart)
            (pGrid->*a.move)(nFirst, nLast, nStart, GX_NOREDRAW, gxDo);
        pParam->*a.start = nStart;
        pParam->*a.size = nLast - nFirst + 1;
        pParam->*a.from = nFirst;
        // The frozen count reaches the block's last line: header lines stay frozen in front of it.
        (pGrid->*a.setFrozen)(nHeaders + (nLast - nFirst + 1), nHeaders, GX_NOREDRAW, gxDo);
    }
    pGrid->Redraw(GX_UPDATENOW);
    pGrid->CommitTransaction();
}

void CGXGridFreezeMenuHelperImp::Unfreeze(CGXGridCore* pGrid, const Axis& a)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || (pGrid->*a.frozen)() <= (pGrid->*a.headers)())
        return;
    const ROWCOL nHeaders = (pGrid->*a.headers)();
    pGrid->BeginTransaction(GXGetLibraryState().m_astrTexts[a.nText]);
    {
        RedrawLock lock(*pParam);
        // Only a block this grid froze goes back (a reloaded layout remembers none); lines
        // removed meanwhile can leave its old place beyond the grid: it goes to the last place
        // it fits.
        const ROWCOL nStart = pParam->*a.start, nSize = pParam->*a.size;
        const ROWCOL nCount = (pGrid->*a.count)();
        if (nSize && nStart && nStart + nSize - 1 == (pGrid->*a.frozen)() && nStart + nSize - 1 <= nCount) {
            const ROWCOL nDest = std::min<ROWCOL>(pParam->*a.from, nCount - nSize + 1);
            if (nDest != nStart)
                (pGrid->*a.move)(nStart, nStart + nSize - 1, nDest, GX_NOREDRAW, gxDo);
        }
        (pGrid->*a.setFrozen)(nHeaders, nHeaders, GX_NOREDRAW, gxDo);
        pParam->*a.start = pParam->*a.size = pParam->*a.from = 0;
    }
    pGrid->Redraw(GX_UPDATENOW);
    pGrid->CommitTransaction();
}

BOOL CGXGridFreezeMenuHelperImp::CanFreezeCols(CGXGridCore* pGrid) { return CanFreeze(pGrid, kCols); }
BOOL CGXGridFreezeMenuHelperImp::CanUnfreezeCols(CGXGridCore* pGrid) { return pGrid->FrozenCols() > pGrid->HeaderCols(); }
void CGXGridFreezeMenuHelperImp::FreezeCols(CGXGridCore* pGrid) { Freeze(pGrid, kCols); }
void CGXGridFreezeMenuHelperImp::UnfreezeCols(CGXGridCore* pGrid) { Unfreeze(pGrid, kCols); }
BOOL CGXGridFreezeMenuHelperImp::CanFreezeRows(CGXGridCore* pGrid) { return CanFreeze(pGrid, kRows); }
BOOL CGXGridFreezeMenuHelperImp::CanUnfreezeRows(CGXGridCore* pGrid) { return pGrid->FrozenRows() > pGrid->HeaderRows(); }
void CGXGridFreezeMenuHelperImp::FreezeRows(CGXGridCore* pGrid) { Freeze(pGrid, kRows); }
void CGXGridFreezeMenuHelperImp::UnfreezeRows(CGXGridCore* pGrid) { Unfreeze(pGrid, kRows); }

// ---- Marked headers ----

void CGXGridMarkEditHeaderImp::RedrawHeadersOfCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nWhich, UINT flags)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CGXProperties* pProps = pGrid->GetProperties();
    if (!pParam || !pProps || pParam->m_bLockRedraw)
        return;
    const BOOL bRowShown = nRow <= pGrid->FrozenRows() || (nRow >= pGrid->GetTopRow() && nRow <= pGrid->RowCount()
                                                           && nRow <= pGrid->LastVisibleRow());
    const BOOL bColShown = nCol <= pGrid->FrozenCols() || (nCol >= pGrid->GetLeftCol() && nCol <= pGrid->ColCount()
                                                           && nCol <= pGrid->LastVisibleCol());
    auto redraw = [&](CRect rect) {
        if (rect.Width() > 1 && rect.Height() > 1)
            pGrid->RedrawRect(rect, flags);
    };
    if ((nWhich == 0 || nWhich == 2) && pProps->GetMarkRowHeader() && bRowShown) {
        CRect rect = pGrid->CellToRect(nRow, 0);
        rect.right = std::max<int>(rect.right, pGrid->CellToRect(nRow, pGrid->HeaderCols()).right);
        redraw(rect);
    }
    if ((nWhich == 0 || nWhich == 1) && pProps->GetMarkColumnHeader() && bColShown) {
        CRect rect = pGrid->CellToRect(0, nCol);
        rect.bottom = std::max<int>(rect.bottom, pGrid->CellToRect(pGrid->HeaderRows(), nCol).bottom);
        redraw(rect);
    }
}

BOOL CGXGridMarkEditHeaderImp::IsHeaderMarked(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CGXProperties* pProps = pGrid->GetProperties();
    if (!pParam || !pProps)
        return FALSE;
    CGXCellRange span(nRow, nCol);
    CGXCellRange spanned;
    if (pGrid->SpanOfCell(nRow, nCol, spanned))
        span = spanned;
    ROWCOL nCurRow = 0, nCurCol = 0;
    if (pGrid->QueryCurrentCell(nCurRow, nCurCol) && nCurRow > pGrid->HeaderRows() && nCurCol > pGrid->HeaderCols()) {
        if (nRow != 0 && !pParam->TestActivateCellFlags(0x01 | 0x02) && pProps->GetMarkRowHeader()
            && nCurRow >= span.top && nCurRow <= span.bottom)
            return TRUE;
        if (nCol != 0 && pProps->GetMarkColumnHeader() && nCurCol >= span.left && nCurCol <= span.right)
            return TRUE;
    }
    // The header under a resize drag.
    enum { kTrackRows = 1, kTrackCols = 2, kNoMark = 0x10 };
    if (pGrid->m_bUserResizing) {
        if (pGrid->m_nTrackingMode == kTrackCols && !pParam->TestColResizeFlags(kNoMark) && nRow <= pGrid->HeaderRows()
            && pGrid->m_nTrackCol >= span.left && pGrid->m_nTrackCol <= span.right)
            return TRUE;
        if (pGrid->m_nTrackingMode == kTrackRows && !pParam->TestRowResizeFlags(kNoMark) && nCol <= pGrid->HeaderCols()
            && pGrid->m_nTrackRow >= span.top && pGrid->m_nTrackRow <= span.bottom)
            return TRUE;
    }
    return FALSE;
}

void CGXGridCore::InstallFreezeMenuHelperImp()
{
    if (m_pFreezeMenuHelperImp)
        return;
    auto* p = new CGXGridFreezeMenuHelperImp;
    m_pFreezeMenuHelperImp = p;
    AddImpToDeleteList(p);
}

void CGXGridCore::InstallMarkEditHeaderImp()
{
    if (m_pMarkEditHeaderImp)
        return;
    auto* p = new CGXGridMarkEditHeaderImp;
    m_pMarkEditHeaderImp = p;
    AddImpToDeleteList(p);
}
