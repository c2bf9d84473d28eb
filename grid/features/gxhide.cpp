#include "grid/features/gxhide.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "grid/core/gxgrid.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstate.h"

namespace {

void PutBit(CByteArray& bits, uint64_t n, bool b)
{
    const BYTE mask = BYTE(1u << (n % 8));
    BYTE& byte = bits.ElementAt(INT_PTR(n / 8));
    byte = b ? BYTE(byte | mask) : BYTE(byte & ~mask);
}

bool BitAt(const CByteArray& bits, uint64_t n)
{
    return INT_PTR(n / 8) < bits.GetSize() && (bits[INT_PTR(n / 8)] >> (n % 8)) & 1;
}

// The two axes share one walk.
struct HideAxis {
    CByteArray CGXGridParam::*bits;
    BOOL (CGXGridCore::*isHidden)(ROWCOL);
    BOOL (CGXGridCore::*storeHide)(ROWCOL, BOOL);
    int (CGXGridCore::*size)(ROWCOL);
    ROWCOL (CGXGridCore::*count)();
    void (CGXGridCore::*changed)(ROWCOL, ROWCOL, int*, UINT, BOOL);
    CGXCommand* (CGXAbstractCommandFactory::*command)(ROWCOL, ROWCOL, BOOL*);
    bool bRows;
};
const HideAxis kRows {&CGXGridParam::m_abHiddenRows, &CGXGridCore::IsRowHidden, &CGXGridCore::StoreHideRow,
                      &CGXGridCore::RowHeight, &CGXGridCore::RowCount, &CGXGridCore::OnRowHeightsChanged,
                      &CGXAbstractCommandFactory::CreateHideRowsCmd, true};
const HideAxis kCols {&CGXGridParam::m_abHiddenCols, &CGXGridCore::IsColHidden, &CGXGridCore::StoreHideCol,
                      &CGXGridCore::ColWidth, &CGXGridCore::ColCount, &CGXGridCore::OnColWidthsChanged,
                      &CGXAbstractCommandFactory::CreateHideColsCmd, false};

BOOL Hide(CGXGridCore& grid, const HideAxis& axis, ROWCOL nFirst, ROWCOL nLast, BOOL bHide, const BOOL* abHide,
          UINT flags, int ctCmd)
{
    if (nLast == 0)
        nLast = nFirst;
    CGXGridParam* pParam = grid.GetParam();
    if (!pParam || nLast < nFirst || nLast > (grid.*axis.count)())
        return FALSE;
    CGXLongOperation theOp;
    const size_t nCount = size_t(nLast - nFirst) + 1;
    std::unique_ptr<int[]> sizes(new int[nCount]);
    std::unique_ptr<BOOL[]> former(new BOOL[nCount]);
    BOOL bChanged = FALSE;
    for (size_t i = 0; i < nCount; ++i) {
        const ROWCOL n = nFirst + ROWCOL(i);
        sizes[i] = (grid.*axis.size)(n);
        former[i] = (grid.*axis.isHidden)(n);
        bChanged |= (grid.*axis.storeHide)(n, abHide ? abHide[i] : bHide);
        theOp.ProcessMessages();
    }
    if (!bChanged)
        return FALSE;

    const CGXCellRange lines = axis.bRows ? CGXCellRange().SetRows(nFirst, nLast) : CGXCellRange().SetCols(nFirst, nLast);
    if (grid.GetMergeCellsMode())
        grid.QueueMergeCellsRange(lines, -1);
    if (grid.GetFloatCellsMode())
        grid.QueueFloatCellsRange(lines, -1);
    grid.ResetSizeCaches();
    (grid.*axis.changed)(nFirst, nLast, sizes.get(), flags, TRUE);
    if (grid.IsInitialized())
        grid.UpdateScrollBars();
    if (grid.m_pUndoImp && ctCmd != gxRollback && pParam->IsEnableUndo()) {
        grid.AddCommand((grid.m_pUndoImp->*axis.command)(nFirst, nLast, former.release()), ctCmd);
        if (ctCmd == gxUndo || ctCmd == gxRedo)
            grid.m_pUndoImp->SetCurrentCellAfterCommand(&grid, axis.bRows ? nFirst : grid.GetTopRow(),
                                                        axis.bRows ? grid.GetLeftCol() : nFirst, FALSE);
    }
    return TRUE;
}

}  // namespace

// ---- The bits ----

void GXRemoveHiddenBits(CByteArray& bits, ROWCOL nFirst, ROWCOL nLast)
{
    const uint64_t nBits = uint64_t(bits.GetSize()) * 8;
    if (nLast < nFirst || nFirst >= nBits)
        return;
    const uint64_t nCount = std::min<uint64_t>(nLast, nBits - 1) - nFirst + 1;
    for (uint64_t n = nFirst; n + nCount < nBits; ++n)
        PutBit(bits, n, BitAt(bits, n + nCount));
    const uint64_t nKept = nBits - nCount;
    bits.SetSize(INT_PTR((nKept + 7) / 8));
    for (uint64_t n = nKept; n < uint64_t(bits.GetSize()) * 8; ++n)
        PutBit(bits, n, false);
}

void GXInsertHiddenBits(CByteArray& bits, ROWCOL nAt, ROWCOL nCount)
{
    const uint64_t nBits = uint64_t(bits.GetSize()) * 8;
    if (nCount == 0 || nAt >= nBits)
        return;
    bits.SetSize(bits.GetSize() + INT_PTR((uint64_t(nCount) - 1) / 8 + 1));
    for (uint64_t n = nBits; n-- > nAt;)
        PutBit(bits, n + nCount, BitAt(bits, n));
    for (uint64_t n = nAt; n < uint64_t(nAt) + nCount; ++n)
        PutBit(bits, n, false);
}

void GXMoveHiddenBits(CByteArray& bits, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest)
{
    if (nDest == nFirst || nLast < nFirst)
        return;
    const uint64_t nCount = uint64_t(nLast) - nFirst + 1;
    const uint64_t nBits = uint64_t(bits.GetSize()) * 8;
    // Nothing hidden from the lower of source and destination on: nothing moves.
    if (std::min<uint64_t>(nFirst, nDest) >= nBits)
        return;
    const uint64_t nEnd = std::max({nBits, uint64_t(nLast) + 1, uint64_t(nDest) + nCount});
    std::vector<bool> line(nEnd);
    for (uint64_t n = 0; n < nBits; ++n)
        line[n] = BitAt(bits, n);
    if (nDest < nFirst)
        std::rotate(line.begin() + nDest, line.begin() + nFirst, line.begin() + nLast + 1);
    else
        std::rotate(line.begin() + nFirst, line.begin() + nLast + 1, line.begin() + nDest + nCount);
    uint64_t nUsed = nEnd;
    while (nUsed > 0 && !line[nUsed - 1])
        --nUsed;
    bits.SetSize(INT_PTR((nUsed + 7) / 8));
    for (uint64_t n = 0; n < uint64_t(bits.GetSize()) * 8; ++n)
        PutBit(bits, n, n < nEnd && line[n]);
}

// ---- The feature ----

void CGXGridHideCellsImp::RemoveHiddenRows(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast)
{
    if (CGXGridParam* p = pGrid->GetParam())
        GXRemoveHiddenBits(p->m_abHiddenRows, nFirst, nLast);
}
void CGXGridHideCellsImp::RemoveHiddenCols(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast)
{
    if (CGXGridParam* p = pGrid->GetParam())
        GXRemoveHiddenBits(p->m_abHiddenCols, nFirst, nLast);
}
void CGXGridHideCellsImp::InsertHiddenRows(CGXGridCore* pGrid, ROWCOL nAt, ROWCOL nCount)
{
    if (CGXGridParam* p = pGrid->GetParam())
        GXInsertHiddenBits(p->m_abHiddenRows, nAt, nCount);
}
void CGXGridHideCellsImp::InsertHiddenCols(CGXGridCore* pGrid, ROWCOL nAt, ROWCOL nCount)
{
    if (CGXGridParam* p = pGrid->GetParam())
        GXInsertHiddenBits(p->m_abHiddenCols, nAt, nCount);
}
void CGXGridHideCellsImp::MoveHiddenRows(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest)
{
    if (CGXGridParam* p = pGrid->GetParam())
        GXMoveHiddenBits(p->m_abHiddenRows, nFirst, nLast, nDest);
}
void CGXGridHideCellsImp::MoveHiddenCols(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest)
{
    if (CGXGridParam* p = pGrid->GetParam())
        GXMoveHiddenBits(p->m_abHiddenCols, nFirst, nLast, nDest);
}

BOOL CGXGridHideCellsImp::HideRows(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, BOOL bHide, BOOL* abHide,
                                   UINT flags, int ctCmd)
{
    return Hide(*pGrid, kRows, nFirst, nLast, bHide, abHide, flags, ctCmd);
}
BOOL CGXGridHideCellsImp::HideCols(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, BOOL bHide, BOOL* abHide,
                                   UINT flags, int ctCmd)
{
    return Hide(*pGrid, kCols, nFirst, nLast, bHide, abHide, flags, ctCmd);
}

// Only the panes of a splitter's first pane row show the header rows; a printout leaves out
// row 0 when its settings exclude row headers.
BOOL CGXGridHideCellsImp::IsRowHidden(CGXGridCore* pGrid, ROWCOL nRow)
{
    if (pGrid->m_pSplitterWnd && !pGrid->m_bFirstSplitterRow && !pGrid->IsPrinting() && nRow <= pGrid->HeaderRows())
        return TRUE;
    const CGXProperties* pProps = pGrid->GetProperties();
    if (nRow == 0 && pGrid->IsPrinting() && pProps && !pProps->m_bPrintRowHeaders)
        return TRUE;
    const CGXGridParam* p = pGrid->GetParam();
    return p && GXGetHiddenBit(p->m_abHiddenRows, nRow);
}
BOOL CGXGridHideCellsImp::IsColHidden(CGXGridCore* pGrid, ROWCOL nCol)
{
    if (pGrid->m_pSplitterWnd && !pGrid->m_bFirstSplitterCol && !pGrid->IsPrinting() && nCol <= pGrid->HeaderCols())
        return TRUE;
    const CGXProperties* pProps = pGrid->GetProperties();
    if (nCol == 0 && pGrid->IsPrinting() && pProps && !pProps->m_bPrintColHeaders)
        return TRUE;
    const CGXGridParam* p = pGrid->GetParam();
    return p && GXGetHiddenBit(p->m_abHiddenCols, nCol);
}

// A line beyond the count is never hidden: a stray number allocates no bits.
BOOL CGXGridHideCellsImp::StoreHideRow(CGXGridCore* pGrid, ROWCOL nRow, BOOL bHide)
{
    CGXGridParam* p = pGrid->GetParam();
    if (!p || (bHide && nRow > pGrid->RowCount()))
        return FALSE;
    return GXSetHiddenBit(p->m_abHiddenRows, nRow, bHide);
}
BOOL CGXGridHideCellsImp::StoreHideCol(CGXGridCore* pGrid, ROWCOL nCol, BOOL bHide)
{
    CGXGridParam* p = pGrid->GetParam();
    if (!p || (bHide && nCol > pGrid->ColCount()))
        return FALSE;
    return GXSetHiddenBit(p->m_abHiddenCols, nCol, bHide);
}

void CGXGridCore::InstallHideCellsImp()
{
    if (m_pHideCellsImp)
        return;
    auto* p = new CGXGridHideCellsImp;
    m_pHideCellsImp = p;
    AddImpToDeleteList(p);
}
