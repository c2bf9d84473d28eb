#include "grid/features/gxspancells.h"

#include <algorithm>
#include <new>
#include <vector>

#include "grid/core/gxctrl.h"
#include "grid/core/gxdrawgrid.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxstate.h"
#include "grid/features/gxspanpool.h"
#include "platform/gdi/dcguard.h"

namespace {

constexpr DWORD kNo = CGXDelayedRange::kNone;

CGXSpanCellPool* SpanPoolAt(CGXGridCore* pGrid, int nSlot)
{
    CGXGridParam* pParam = pGrid->GetParam();
    return pParam ? dynamic_cast<CGXSpanCellPool*>(pParam->GetFeatureObject(nSlot)) : nullptr;
}

CGXDelayedRangePool* DelayedPoolAt(CGXGridCore* pGrid, int nSlot)
{
    CGXGridParam* pParam = pGrid->GetParam();
    return pParam ? dynamic_cast<CGXDelayedRangePool*>(pParam->GetFeatureObject(nSlot)) : nullptr;
}

// The data cells of a range (below and right of the headers, within the counts and what a pool
// holds); false when none is left.
BOOL ClipToData(CGXGridCore* pGrid, const CGXCellRange& rangeIn, CGXCellRange& out)
{
    if (!rangeIn.IsValid())
        return FALSE;
    const ROWCOL nRows = std::min<ROWCOL>(pGrid->RowCount(), GX_MAX_SPAN_INDEX - 1);
    const ROWCOL nCols = std::min<ROWCOL>(pGrid->ColCount(), GX_MAX_SPAN_INDEX - 1);
    CGXCellRange range = rangeIn;
    if (!range.IsCells())
        range.ExpandToCells(0, 0, nRows, nCols);
    const CGXCellRange data(pGrid->HeaderRows() + 1, pGrid->HeaderCols() + 1, nRows, nCols);
    if (data.top > data.bottom || data.left > data.right)
        return FALSE;
    return out.IntersectOf(range, data);
}

// Makes (or, with nMode 0, deletes) the pools of one kind: a delayed-range pool for mode 1 and
// span pools for modes 1 and 2. Mode 1 queues every cell.
void ResetPools(CGXGridParam* pParam, int nDelayedSlot, std::initializer_list<int> spanSlots, WORD nMode)
{
    const CGXLibraryData* d = GXGetAppData();
    pParam->SetFeatureObject(nDelayedSlot, nullptr);
    for (int slot : spanSlots)
        pParam->SetFeatureObject(slot, nullptr);
    if (nMode == 0 || !d->m_pSpanCellPoolImp || !d->m_pDelayedRangePoolImp)
        return;
    if (nMode == 1) {
        CObject* pDelayed = d->m_pDelayedRangePoolImp->CreateDelayedRangePool();
        d->m_pDelayedRangePoolImp->QueueWholeTable(pDelayed);
        pParam->SetFeatureObject(nDelayedSlot, pDelayed);
    }
    for (int slot : spanSlots)
        pParam->SetFeatureObject(slot, d->m_pSpanCellPoolImp->CreateSpanCellPool());
}

// A parameter object that holds a mode without its pools (a copy) gets them on first use.
void EnsurePoolsOf(CGXGridParam* pParam, int nDelayedSlot, std::initializer_list<int> spanSlots, WORD nMode)
{
    BOOL bMissing = nMode == 1 && !pParam->GetFeatureObject(nDelayedSlot);
    for (int slot : spanSlots)
        bMissing = bMissing || (nMode && !pParam->GetFeatureObject(slot));
    if (bMissing)
        ResetPools(pParam, nDelayedSlot, spanSlots, nMode);
}

// Evaluates the pending part (delayed pool) or every cell of the range, row by row, stepping
// over hidden rows and columns.
template <class F>
BOOL EvaluateRange(CGXGridCore* pGrid, CGXDelayedRangePool* pDelayed, const CGXCellRange& rangeIn, F&& evaluate)
{
    CGXCellRange range;
    if (!ClipToData(pGrid, rangeIn, range))
        return FALSE;
    BOOL bChanged = FALSE;
    auto row = [&](ROWCOL nRow, ROWCOL nFirst, ROWCOL nLast) {
        if (pGrid->IsRowHidden(nRow))
            return;
        for (ROWCOL nCol = nFirst;; ++nCol) {
            if (!pGrid->IsColHidden(nCol) && evaluate(nRow, nCol))
                bChanged = TRUE;
            if (nCol == nLast)
                break;
        }
    };
    if (pDelayed) {
        std::vector<DWORD> firsts, lasts;
        if (!pDelayed->TakePending(range, firsts, lasts))
            return FALSE;
        for (size_t i = 0; i < firsts.size(); ++i)
            if (firsts[i] != kNo)
                row(range.top + ROWCOL(i), firsts[i], lasts[i]);
    } else {
        for (ROWCOL nRow = range.top;; ++nRow) {
            row(nRow, range.left, range.right);
            if (nRow == range.bottom)
                break;
        }
    }
    return bChanged;
}

void Widen(CGXCellRange& redraw, const CGXCellRange& area)
{
    if (!redraw.IsValid())
        redraw = area;
    else
        redraw.UnionOf(CGXCellRange(redraw), area);
}

// One evaluation pass (bEvaluating set meanwhile, so that what the cells ask does not start
// another): the changed areas are redrawn once, at the end. Out of memory ends the pass with
// what it changed so far.
template <class F>
BOOL EvaluateAndRedraw(CGXGridCore* pGrid, CGXDelayedRangePool* pDelayed, const CGXCellRange& range,
                       BOOL& bEvaluating, F&& evaluate)
{
    CGXCellRange redraw;
    BOOL bChanged = FALSE;
    bEvaluating = TRUE;
    try {
        bChanged = EvaluateRange(pGrid, pDelayed, range,
                                 [&](ROWCOL nRow, ROWCOL nCol) { return evaluate(nRow, nCol, redraw); });
    } catch (const std::bad_alloc&) {
        bChanged = redraw.IsValid();
    }
    bEvaluating = FALSE;
    if (bChanged && redraw.IsValid())
        pGrid->RedrawCells(redraw.top, redraw.left, redraw.bottom, redraw.right, GX_INVALIDATE, FALSE);
    return bChanged;
}

// A span of more than one cell (removed rows can leave one cell of a span behind).
BOOL FindRealSpan(const CGXSpanCellPool& pool, ROWCOL nRow, ROWCOL nCol, CGXCellRange& range)
{
    CGXCellRange span;
    if (!pool.FindSpan(nRow, nCol, span) || (span.top == span.bottom && span.left == span.right))
        return FALSE;
    range = span;
    return TRUE;
}

CGXControl* ControlOf(CGXGridCore* pGrid, const CGXStyle& style)
{
    return pGrid->GetRegisteredControl(style.GetIncludeControl() ? style.GetControl() : WORD(0));
}

// Spans of structure changes: inserted and removed rows move them, and the rows from the change
// on are evaluated again (what now lies next to what changed, and pending records that no
// longer line up with their rows).
void SpansFollowStructure(CGXGridCore* pGrid, std::initializer_list<int> slots, BOOL bRows, BOOL bInsert, ROWCOL a,
                          ROWCOL b)
{
    for (int slot : slots) {
        CGXSpanCellPool* p = SpanPoolAt(pGrid, slot);
        if (!p)
            continue;
        if (bInsert)
            bRows ? p->InsertRows(a, b) : p->InsertCols(a, b);
        else
            bRows ? p->RemoveRows(a, b) : p->RemoveCols(a, b);
    }
}

void SpansFollowMove(CGXGridCore* pGrid, std::initializer_list<int> slots, BOOL bRows, ROWCOL nFrom, ROWCOL nTo,
                     ROWCOL nDest)
{
    for (int slot : slots)
        if (CGXSpanCellPool* p = SpanPoolAt(pGrid, slot))
            bRows ? p->MoveRows(nFrom, nTo, nDest) : p->MoveCols(nFrom, nTo, nDest);
}

CGXCellRange LinesFrom(BOOL bRows, ROWCOL nFirst, ROWCOL nLast)
{
    return bRows ? CGXCellRange().SetRows(nFirst, nLast) : CGXCellRange().SetCols(nFirst, nLast);
}

}  // namespace

// ---- Floating ----

CGXSpanCellPool* CGXFloatCellsImp::GetSpanPool(CGXGridCore* pGrid)
{
    return SpanPoolAt(pGrid, pGrid->IsPrinting() ? CGXGridParam::nFloatPrintSpans : CGXGridParam::nFloatSpans);
}

CGXDelayedRangePool* CGXFloatCellsImp::GetDelayedPool(CGXGridCore* pGrid)
{
    return DelayedPoolAt(pGrid, pGrid->IsPrinting() ? CGXGridParam::nFloatPrintDelayed : CGXGridParam::nFloatDelayed);
}

void CGXFloatCellsImp::SetMode(CGXGridCore* pGrid, WORD nMode, UINT flags)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || nMode > 2)
        return;
    pParam->m_wFloatCellsMode = nMode;
    ResetPools(pParam, CGXGridParam::nFloatDelayed, {CGXGridParam::nFloatSpans}, nMode);
    ResetPools(pParam, CGXGridParam::nFloatPrintDelayed, {CGXGridParam::nFloatPrintSpans}, nMode);
    pGrid->Redraw(flags, FALSE);
}

void CGXFloatCellsImp::EnsurePools(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || pParam->m_wFloatCellsMode > 2)
        return;
    EnsurePoolsOf(pParam, CGXGridParam::nFloatDelayed, {CGXGridParam::nFloatSpans}, pParam->m_wFloatCellsMode);
    EnsurePoolsOf(pParam, CGXGridParam::nFloatPrintDelayed, {CGXGridParam::nFloatPrintSpans}, pParam->m_wFloatCellsMode);
}

void CGXFloatCellsImp::QueueRange(CGXGridCore* pGrid, const CGXCellRange& rangeIn, int)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CGXCellRange range;
    if (!pParam || pParam->m_wFloatCellsMode != 1 || !ClipToData(pGrid, rangeIn, range))
        return;
    EnsurePools(pGrid);
    for (int slot : {CGXGridParam::nFloatDelayed, CGXGridParam::nFloatPrintDelayed})
        if (CGXDelayedRangePool* p = DelayedPoolAt(pGrid, slot))
            p->AddRange(range);
}

BOOL CGXFloatCellsImp::Resolve(CGXGridCore* pGrid, const CGXCellRange& range, BOOL, BOOL, BOOL)
{
    CGXGridParam* pParam = pGrid->GetParam();
    EnsurePools(pGrid);
    CGXSpanCellPool* pSpans = GetSpanPool(pGrid);
    if (!pParam || !pSpans || !pParam->m_wFloatCellsMode || m_bEvaluating)
        return FALSE;
    CGXDelayedRangePool* pDelayed = pParam->m_wFloatCellsMode == 1 ? GetDelayedPool(pGrid) : nullptr;
    if (pParam->m_wFloatCellsMode == 1 && !pDelayed)
        return FALSE;
    const BOOL bChanged = EvaluateAndRedraw(pGrid, pDelayed, range, m_bEvaluating,
                                            [&](ROWCOL nRow, ROWCOL nCol, CGXCellRange& redraw) {
                                                return EvaluateCell(pGrid, nRow, nCol, redraw);
                                            });
    m_nLastRow = m_nLastStart = kNo;
    return bChanged;
}

BOOL CGXFloatCellsImp::SpanOfCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXCellRange& range)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CGXSpanCellPool* pSpans = GetSpanPool(pGrid);
    return pParam && pParam->m_wFloatCellsMode && pSpans && FindRealSpan(*pSpans, nRow, nCol, range);
}

BOOL CGXFloatCellsImp::CanSpanCell(CGXControl*, ROWCOL, ROWCOL, const CGXStyle& style, BOOL bFlood)
{
    const BOOL bEmpty = !style.GetIncludeValue() || style.GetValueRef().IsEmpty();
    if (!bFlood)
        return bEmpty;
    if (style.GetIncludeFont() && style.GetFont().GetOrientation() != 0)
        return FALSE;
    return !bEmpty;
}

BOOL CGXFloatCellsImp::CanTakePart(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, BOOL bFloat)
{
    if (!pGrid->GetFloatCellsMode())
        return FALSE;
    CGXCellRange area;
    if (pGrid->GetCoveredCellsRowCol(nRow, nCol, area) || pGrid->MergeSpanOfCell(nRow, nCol, area))
        return FALSE;
    const CGXStyle& style = pGrid->GetCellStyleCached(nRow, nCol);
    if (bFloat ? !(style.GetIncludeFloatCell() && style.GetFloatCell())
               : !(style.GetIncludeFloodCell() && style.GetFloodCell()) || nCol >= pGrid->ColCount())
        return FALSE;
    CGXControl* pControl = ControlOf(pGrid, style);
    return pControl && pControl->CanFloatCell(nRow, nCol, style, bFloat);
}

BOOL CGXFloatCellsImp::EvaluateCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXCellRange& redraw)
{
    CGXSpanCellPool* pSpans = GetSpanPool(pGrid);
    if (!pSpans || !pGrid->GetFloatCellsMode() || nRow <= pGrid->HeaderRows() || nCol <= pGrid->HeaderCols())
        return FALSE;
    CGXCellRange old(nRow, nCol);
    pSpans->FindSpan(nRow, nCol, old);
    // The cells a text floats over lead back to it: within one evaluation it is measured once.
    if (m_bEvaluating && nRow == m_nLastRow && old.left == m_nLastStart)
        return FALSE;
    m_nLastRow = nRow;
    m_nLastStart = old.left;
    BOOL bChanged = FloatFrom(pGrid, *pSpans, nRow, old.left, old, redraw);
    // A cell that the span before it no longer reaches floats on its own.
    CGXCellRange now;
    if (old.left != nCol && !pSpans->FindSpan(nRow, nCol, now))
        bChanged = FloatFrom(pGrid, *pSpans, nRow, nCol, CGXCellRange(nRow, nCol), redraw) || bChanged;
    return bChanged;
}

BOOL CGXFloatCellsImp::FloatFrom(CGXGridCore* pGrid, CGXSpanCellPool& spans, ROWCOL nRow, ROWCOL nStart,
                                     const CGXCellRange& old, CGXCellRange& redraw)
{
    ROWCOL nLast = nStart;
    if (CanTakePart(pGrid, nRow, nStart, TRUE)) {
        const CGXStyle& style = pGrid->GetCellStyleCached(nRow, nStart);
        CGXControl* pControl = ControlOf(pGrid, style);
        CDC* pDC = pGrid->GetMeasureDC();
        long nLeft = pControl && pDC ? pControl->ComputeContentSize(pDC, nRow, nStart, style).cx : 0;
        const ROWCOL nCols = pGrid->ColCount();
        while (nLeft > pGrid->ColWidth(nLast) && nLast < nCols && CanTakePart(pGrid, nRow, nLast + 1, FALSE)) {
            nLeft -= pGrid->ColWidth(nLast);
            ++nLast;
        }
    }
    const ROWCOL nOldLast = old.left == nStart ? old.right : nStart;
    if (nLast == nOldLast)
        return FALSE;
    if (nLast == nStart)
        spans.RemoveSpan(nRow, nStart);
    else if (!spans.SetSpan(nRow, nStart, nRow, nLast))
        return FALSE;
    Widen(redraw, old);
    Widen(redraw, CGXCellRange(nRow, nStart, nRow, nLast));
    return TRUE;
}

void CGXFloatCellsImp::OnRowsOrColsChanged(CGXGridCore* pGrid, BOOL bRows, BOOL bInsert, ROWCOL a, ROWCOL b)
{
    SpansFollowStructure(pGrid, {CGXGridParam::nFloatSpans, CGXGridParam::nFloatPrintSpans}, bRows, bInsert, a, b);
    const ROWCOL nLast = bRows ? pGrid->RowCount() : pGrid->ColCount();
    for (int slot : {CGXGridParam::nFloatDelayed, CGXGridParam::nFloatPrintDelayed})
        if (CGXDelayedRangePool* p = DelayedPoolAt(pGrid, slot); p && !bInsert)
            bRows ? p->LimitRows(nLast) : p->LimitCols(nLast);
    // A column's change reaches back to the texts that floated over it.
    QueueRange(pGrid, LinesFrom(bRows, bRows ? a : 1, std::max(a, nLast)), -1);
}

void CGXFloatCellsImp::OnRowsOrColsMoved(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest)
{
    SpansFollowMove(pGrid, {CGXGridParam::nFloatSpans, CGXGridParam::nFloatPrintSpans}, bRows, nFrom, nTo, nDest);
    const ROWCOL nFirst = std::min(nFrom, nDest);
    const ROWCOL nLast = std::max(nTo, nDest + (nTo - nFrom));
    QueueRange(pGrid, LinesFrom(bRows, bRows ? nFirst : 1, nLast), -1);
}

// ---- Merging ----

namespace {

constexpr WORD kNoVertical = 4;
constexpr WORD kNoHorizontal = 8;

CGXSpanCellPool* MergePool(CGXGridCore* pGrid, BOOL bHorz)
{
    return SpanPoolAt(pGrid, bHorz ? CGXGridParam::nMergeSpans1 : CGXGridParam::nMergeSpans2);
}

WORD MergeMode(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid->GetParam();
    return pParam && pGrid->m_pMergeCellsImp ? pParam->m_wMergeCellsMode : WORD(0);
}

// Start and end of a cell's span along the direction (the cell itself without one).
void Extent(CGXSpanCellPool& pool, BOOL bHorz, ROWCOL nRow, ROWCOL nCol, ROWCOL& nStart, ROWCOL& nEnd)
{
    CGXCellRange span;
    if (pool.FindSpan(nRow, nCol, span)) {
        nStart = bHorz ? span.left : span.top;
        nEnd = bHorz ? span.right : span.bottom;
    } else {
        nStart = nEnd = bHorz ? nCol : nRow;
    }
}

}  // namespace

void CGXMergeCellsImp::SetMode(CGXGridCore* pGrid, WORD nMode, UINT flags)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || (nMode & 3) == 3 || nMode > 15)
        return;
    pParam->m_wMergeCellsMode = nMode;
    ResetPools(pParam, CGXGridParam::nMergeDelayed, {CGXGridParam::nMergeSpans1, CGXGridParam::nMergeSpans2},
               WORD(nMode & 3));
    pGrid->Redraw(flags, FALSE);
}

void CGXMergeCellsImp::EnsurePools(CGXGridCore* pGrid)
{
    const WORD nMode = MergeMode(pGrid);
    if ((nMode & 3) != 3)
        EnsurePoolsOf(pGrid->GetParam(), CGXGridParam::nMergeDelayed,
                      {CGXGridParam::nMergeSpans1, CGXGridParam::nMergeSpans2}, WORD(nMode & 3));
}

void CGXMergeCellsImp::QueueRange(CGXGridCore* pGrid, const CGXCellRange& rangeIn, int)
{
    EnsurePools(pGrid);
    CGXCellRange range;
    CGXDelayedRangePool* p = DelayedPoolAt(pGrid, CGXGridParam::nMergeDelayed);
    if (p && (MergeMode(pGrid) & 3) == 1 && ClipToData(pGrid, rangeIn, range))
        p->AddRange(range);
}

BOOL CGXMergeCellsImp::Resolve(CGXGridCore* pGrid, const CGXCellRange& range, BOOL, BOOL, BOOL)
{
    EnsurePools(pGrid);
    const WORD nMode = MergeMode(pGrid);
    if (!(nMode & 3) || m_bEvaluating || !MergePool(pGrid, TRUE) || !MergePool(pGrid, FALSE))
        return FALSE;
    CGXDelayedRangePool* pDelayed = (nMode & 3) == 1 ? DelayedPoolAt(pGrid, CGXGridParam::nMergeDelayed) : nullptr;
    if ((nMode & 3) == 1 && !pDelayed)
        return FALSE;
    m_range = range.IsCells() ? range : CGXCellRange(0, 0, 0xFFFFFFFE, 0xFFFFFFFE);
    const BOOL bChanged = EvaluateAndRedraw(pGrid, pDelayed, range, m_bEvaluating,
                                            [&](ROWCOL nRow, ROWCOL nCol, CGXCellRange& redraw) {
                                                return EvaluateCell(pGrid, nRow, nCol, redraw);
                                            });
    m_range = CGXCellRange(0, 0, 0xFFFFFFFE, 0xFFFFFFFE);
    return bChanged;
}

BOOL CGXMergeCellsImp::SpanOfCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXCellRange& range)
{
    if (!(MergeMode(pGrid) & 3))
        return FALSE;
    // A cell in both kinds shows the row's span.
    for (BOOL bHorz : {TRUE, FALSE})
        if (CGXSpanCellPool* p = MergePool(pGrid, bHorz); p && FindRealSpan(*p, nRow, nCol, range))
            return TRUE;
    return FALSE;
}

BOOL CGXMergeCellsImp::CanMerge(CGXGridCore* pGrid, BOOL bHorz, ROWCOL nRow, ROWCOL nCol)
{
    CGXCellRange area;
    if (nRow <= pGrid->HeaderRows() || nCol <= pGrid->HeaderCols() || pGrid->GetCoveredCellsRowCol(nRow, nCol, area))
        return FALSE;
    // The row's spans come first: a cell merged with its left and right neighbours stays out of
    // the column's spans.
    if (!bHorz && MergePool(pGrid, TRUE)->FindSpan(nRow, nCol, area))
        return FALSE;
    return CanMergeCell(pGrid, nRow, nCol, pGrid->GetCellStyleCached(nRow, nCol));
}

BOOL CGXMergeCellsImp::CanMergeCell(CGXGridCore*, ROWCOL, ROWCOL, const CGXStyle& style)
{
    return style.GetIncludeMergeCell() && style.GetMergeCell() != 0;
}

BOOL CGXMergeCellsImp::IsMergeValueEqual(const CGXStyle& style, const CGXStyle& otherStyle)
{
    return style.GetIncludeValue() && otherStyle.GetIncludeValue() && !style.GetValueRef().IsEmpty()
           && style.GetValueRef() == otherStyle.GetValueRef();
}

int CGXMergeCellsImp::MergePair(CGXGridCore* pGrid, BOOL bHorz, ROWCOL nRow1, ROWCOL nCol1, ROWCOL nRow2,
                                   ROWCOL nCol2, CGXCellRange& redraw)
{
    CGXSpanCellPool& pool = *MergePool(pGrid, bHorz);
    ROWCOL nStart1 = 0, nEnd1 = 0, nStart2 = 0, nEnd2 = 0;
    Extent(pool, bHorz, nRow1, nCol1, nStart1, nEnd1);
    Extent(pool, bHorz, nRow2, nCol2, nStart2, nEnd2);
    // The span along the direction from a to b, in the line of the pair.
    auto area = [&](ROWCOL a, ROWCOL b) {
        return bHorz ? CGXCellRange(nRow1, a, nRow1, b) : CGXCellRange(a, nCol1, b, nCol1);
    };
    BOOL bMerge = CanMerge(pGrid, bHorz, nRow1, nCol1) && CanMerge(pGrid, bHorz, nRow2, nCol2);
    if (bMerge) {
        bMerge = IsMergeValueEqual(pGrid->GetCellStyleCached(nRow1, nCol1), pGrid->GetCellStyleCached(nRow2, nCol2));
    }
    if (bMerge) {
        if (nStart1 == nStart2)
            return 0;  // one span already
        const CGXCellRange joined = area(nStart1, nEnd2);
        pool.RemoveSpan(nRow2, nCol2);
        if (!pool.SetSpan(joined.top, joined.left, joined.bottom, joined.right))
            return 0;
        Widen(redraw, joined);
        if (bHorz) {
            // Cells now in the row's span leave the column's spans, which are evaluated again.
            CGXSpanCellPool& vert = *MergePool(pGrid, FALSE);
            for (ROWCOL c = joined.left;; ++c) {
                CGXCellRange v;
                if (vert.FindSpan(nRow1, c, v)) {
                    vert.RemoveSpan(nRow1, c);
                    Widen(redraw, v);
                    QueueRange(pGrid, v, -1);
                }
                if (c == joined.right)
                    break;
            }
        }
        return 1;
    }
    // Not equal: a span that crosses between them is cut into its two sides.
    if (nStart1 != nStart2)
        return 0;
    const ROWCOL nFirst = bHorz ? nCol1 : nRow1, nSecond = bHorz ? nCol2 : nRow2;
    if (nFirst > nStart1) {
        const CGXCellRange before = area(nStart1, nFirst);
        pool.SetSpan(before.top, before.left, before.bottom, before.right);
    } else {
        pool.RemoveSpan(nRow1, nCol1);
    }
    if (nEnd1 > nSecond) {
        const CGXCellRange after = area(nSecond, nEnd1);
        pool.SetSpan(after.top, after.left, after.bottom, after.right);
    }
    Widen(redraw, area(nStart1, nEnd1));
    return 2;
}

BOOL CGXMergeCellsImp::MergeAlong(CGXGridCore* pGrid, BOOL bHorz, ROWCOL nRow, ROWCOL nCol, CGXCellRange& redraw)
{
    // The walk stays beside the range evaluated: equal cells further on join when they are
    // evaluated themselves, so that a long run of equal values costs nothing until it is shown.
    const ROWCOL nLow = bHorz ? m_range.left : m_range.top, nHigh = bHorz ? m_range.right : m_range.bottom;
    CGXSpanCellPool& pool = *MergePool(pGrid, bHorz);
    const BOOL bDelayed = (MergeMode(pGrid) & 3) == 1;
    const ROWCOL nHeader = bHorz ? pGrid->HeaderCols() : pGrid->HeaderRows();
    const ROWCOL nCount = std::min<ROWCOL>(bHorz ? pGrid->ColCount() : pGrid->RowCount(), GX_MAX_SPAN_INDEX - 1);
    auto hidden = [&](ROWCOL n) { return bDelayed && (bHorz ? pGrid->IsColHidden(n) : pGrid->IsRowHidden(n)); };
    // The neighbour before (after) n along the direction, hidden ones stepped over; 0 for none.
    auto before = [&](ROWCOL n) {
        do
            --n;
        while (n > nHeader && hidden(n));
        return n > nHeader ? n : 0;
    };
    auto after = [&](ROWCOL n) {
        do
            ++n;
        while (n <= nCount && hidden(n));
        return n <= nCount ? n : 0;
    };
    auto cellRow = [&](ROWCOL n) { return bHorz ? nRow : n; };
    auto cellCol = [&](ROWCOL n) { return bHorz ? n : nCol; };

    // The cell and its neighbour first; a join goes on from the joined span's edge.
    BOOL bChanged = FALSE;
    ROWCOL nStart = 0, nEnd = 0;
    for (ROWCOL nFrom = bHorz ? nCol : nRow;;) {
        const ROWCOL n = before(nFrom);
        if (!n || n + 1 < nLow)
            break;
        const int r = MergePair(pGrid, bHorz, cellRow(n), cellCol(n), cellRow(nFrom), cellCol(nFrom), redraw);
        bChanged = bChanged || r != 0;
        if (r != 1)
            break;
        Extent(pool, bHorz, nRow, nCol, nStart, nEnd);
        nFrom = nStart;
    }
    for (ROWCOL nFrom = bHorz ? nCol : nRow;;) {
        const ROWCOL n = after(nFrom);
        if (!n || n > nHigh + 1)
            break;
        const int r = MergePair(pGrid, bHorz, cellRow(nFrom), cellCol(nFrom), cellRow(n), cellCol(n), redraw);
        bChanged = bChanged || r != 0;
        if (r != 1)
            break;
        Extent(pool, bHorz, nRow, nCol, nStart, nEnd);
        nFrom = nEnd;
    }
    return bChanged;
}

BOOL CGXMergeCellsImp::EvaluateCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXCellRange& redraw)
{
    const WORD nMode = MergeMode(pGrid);
    if (!(nMode & 3) || !MergePool(pGrid, TRUE) || !MergePool(pGrid, FALSE) || nRow <= pGrid->HeaderRows()
        || nCol <= pGrid->HeaderCols())
        return FALSE;
    BOOL bChanged = FALSE;
    if (!(nMode & kNoHorizontal))
        bChanged = MergeAlong(pGrid, TRUE, nRow, nCol, redraw);
    if (!(nMode & kNoVertical))
        bChanged = MergeAlong(pGrid, FALSE, nRow, nCol, redraw) || bChanged;
    return bChanged;
}

void CGXMergeCellsImp::OnRowsOrColsChanged(CGXGridCore* pGrid, BOOL bRows, BOOL bInsert, ROWCOL a, ROWCOL b)
{
    SpansFollowStructure(pGrid, {CGXGridParam::nMergeSpans1, CGXGridParam::nMergeSpans2}, bRows, bInsert, a, b);
    const ROWCOL nLast = bRows ? pGrid->RowCount() : pGrid->ColCount();
    if (CGXDelayedRangePool* p = DelayedPoolAt(pGrid, CGXGridParam::nMergeDelayed); p && !bInsert)
        bRows ? p->LimitRows(nLast) : p->LimitCols(nLast);
    // The neighbours before the change meet new ones.
    QueueRange(pGrid, LinesFrom(bRows, a > 1 ? a - 1 : a, std::max(a, nLast)), -1);
}

void CGXMergeCellsImp::OnRowsOrColsMoved(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest)
{
    SpansFollowMove(pGrid, {CGXGridParam::nMergeSpans1, CGXGridParam::nMergeSpans2}, bRows, nFrom, nTo, nDest);
    const ROWCOL nFirst = std::min(nFrom, nDest);
    const ROWCOL nLast = std::max(nTo, nDest + (nTo - nFrom));
    QueueRange(pGrid, LinesFrom(bRows, nFirst > 1 ? nFirst - 1 : nFirst, nLast + 1), -1);
}

// ---- The older drawing path ----

BOOL CGXGridOldDrawingImp::DrawBlock(CGXGridCore* pGrid, CGXDrawingGrid& g, BOOL bAsked)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || !g.pDC || !(pParam->m_bOldDrawing || bAsked))
        return FALSE;
    // A printer (or a recording without a device to measure on) takes the block unclipped.
    const BOOL bClipRows = !pGrid->IsPrinting() && !g.pDC->IsPrinting() && g.pDC->m_hAttribDC;
    for (ROWCOL i = 0; i < g.nRows; ++i) {
        if (g.heights[i] <= 0)
            continue;
        CDCClipGuard guard(bClipRows ? g.pDC : nullptr);
        if (bClipRows) {
            // The row, and the whole of the spans its cells start.
            CRect clip(g.origin.x, g.tops[i], g.Right(), g.tops[i] + g.heights[i]);
            for (const GXDrawnSpan& s : g.spans)
                if (s.nStart / std::max<ROWCOL>(g.nCols, 1) == i)
                    for (ROWCOL k = i; k < g.nRows && s.range.IsCellInRange(g.rows[k], s.range.left); ++k)
                        clip.bottom = std::max<int>(clip.bottom, g.tops[k] + g.heights[k]);
            g.pDC->IntersectClipRect(&clip);
        }
        for (ROWCOL j = 0; j < g.nCols; ++j)
            pGrid->DrawOneCell(g, i, j);
        if (g.pCurrentControl && !g.pCurrentControl->IsActive() && !g.rectCurrent.IsRectEmpty()) {
            g.pCurrentControl->DrawSelectionMarks(g.pDC, g.rectCurrent);
            g.rectCurrent.SetRectEmpty();
        }
    }
    DrawGridLines(pGrid, g);
    return TRUE;
}

void CGXGridOldDrawingImp::DrawGridLines(CGXGridCore* pGrid, CGXDrawingGrid& g)
{
    for (ROWCOL i = 0; i < g.nRows; ++i)
        pGrid->DrawRowGridLines(g, i);
    for (ROWCOL j = 0; j < g.nCols; ++j)
        pGrid->DrawColGridLines(g, j);
}

// ---- Installation and modes ----

CGXGridOldDrawingImp::~CGXGridOldDrawingImp()
{
    if (GXGetOldDrawingImp(m_pGrid) == this)
        GXSetOldDrawingImp(m_pGrid, nullptr);
}

void GXInstallFloatCellsImp(CGXGridCore* pGrid)
{
    if (pGrid->m_pFloatCellsImp)
        return;
    auto* p = new CGXFloatCellsImp;
    pGrid->m_pFloatCellsImp = p;
    pGrid->AddImpToDeleteList(p);
    GXInstallSpanCellPoolImp();
    GXInstallDelayedRangePoolImp();
    pGrid->InstallDrawSpannedCellsImp();
    pGrid->InstallCalcSizeImp();
}

void GXInstallMergeCellsImp(CGXGridCore* pGrid)
{
    if (pGrid->m_pMergeCellsImp)
        return;
    auto* p = new CGXMergeCellsImp;
    pGrid->m_pMergeCellsImp = p;
    pGrid->AddImpToDeleteList(p);
    pGrid->InstallDrawSpannedCellsImp();
    GXInstallSpanCellPoolImp();
    GXInstallDelayedRangePoolImp();
}

void GXInstallOldDrawingImp(CGXGridCore* pGrid)
{
    if (GXGetOldDrawingImp(pGrid))
        return;
    auto* p = new CGXGridOldDrawingImp(pGrid);
    GXSetOldDrawingImp(pGrid, p);
    pGrid->AddImpToDeleteList(p);
}

void GXSetFloatCellsMode(CGXGridCore* pGrid, WORD nMode, UINT flags)
{
    if (auto* p = dynamic_cast<CGXGridSpanCellsHooks*>(pGrid->m_pFloatCellsImp))
        p->SetMode(pGrid, nMode, flags);
}

void GXSetMergeCellsMode(CGXGridCore* pGrid, WORD nMode, UINT flags)
{
    if (auto* p = dynamic_cast<CGXGridSpanCellsHooks*>(pGrid->m_pMergeCellsImp))
        p->SetMode(pGrid, nMode, flags);
}
