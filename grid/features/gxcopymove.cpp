#include "grid/features/gxcopymove.h"

#include <algorithm>
#include <cstdint>

#include "grid/core/gxdata.h"

IMPLEMENT_DYNAMIC(CGXDataUndoMoveCellsInfo, CObject)

namespace {

constexpr uint64_t kMaxRowCol = ROWCOL(-1);

struct Placed {
    ROWCOL nRow;
    ROWCOL nCol;
    CGXStyle* pStyle;  // owned until placed
};

// The row that will hold a style at (nRow, nCol), grown as storing a single cell grows it: the
// counts take the cell in, so the store never holds a style beyond them, where no lookup finds it.
CGXStylePtrArray& RowForStore(CGXData& data, ROWCOL nRow, ROWCOL nCol)
{
    data.m_nRows = std::max(data.m_nRows, nRow);
    data.m_nCols = std::max(data.m_nCols, nCol);
    if (INT_PTR(nRow) >= data.m_pStyleMap.GetSize())
        data.m_pStyleMap.SetSize(INT_PTR(data.m_nRows) + 1);
    CGXStylePtrArray* row = data.m_pStyleMap.GetRow(INT_PTR(nRow));
    if (!row) {
        row = new CGXStylePtrArray;
        data.m_pStyleMap.SetAt(INT_PTR(nRow), row);
    }
    if (INT_PTR(nCol) >= row->GetSize())
        row->SetSize(INT_PTR(data.m_nCols) + 1);
    return *row;
}

// Stores an owned style (or empties the cell for null), deleting what stood there.
void PutStyle(CGXData& data, ROWCOL nRow, ROWCOL nCol, CGXStyle* pStyle)
{
    if (!pStyle) {
        CGXStylePtrArray* row = data.m_pStyleMap.GetRow(INT_PTR(nRow));
        if (CGXStyle* old = row ? row->GetStyle(INT_PTR(nCol)) : nullptr) {
            delete old;
            row->SetAt(INT_PTR(nCol), nullptr);
        }
        return;
    }
    CGXStylePtrArray& row = RowForStore(data, nRow, nCol);
    delete row.GetStyle(INT_PTR(nCol));
    row.SetAt(INT_PTR(nCol), pStyle);
}

// Calls f(row, column, slot) for every stored style of the block; empty slots and slots beyond
// the arrays are not visited, so a block of whole rows costs what the store holds.
template <class F>
void ForEachStored(CGXData& data, ROWCOL nTop, ROWCOL nLeft, uint64_t nHeight, uint64_t nWidth, F&& f)
{
    const INT_PTR nRows = data.m_pStyleMap.GetSize();
    const uint64_t nRowEnd = std::min<uint64_t>(uint64_t(nTop) + nHeight, uint64_t(nRows));
    for (uint64_t r = nTop; r < nRowEnd; ++r) {
        CGXStylePtrArray* row = data.m_pStyleMap.GetRow(INT_PTR(r));
        if (!row)
            continue;
        const uint64_t nColEnd = std::min<uint64_t>(uint64_t(nLeft) + nWidth, uint64_t(row->GetSize()));
        for (uint64_t c = nLeft; c < nColEnd; ++c)
            if (row->GetAt(INT_PTR(c)))
                f(ROWCOL(r), ROWCOL(c), *row);
    }
}

// A block whose destination would run past the last row or column number is refused.
bool FitsAt(ROWCOL nDestRow, ROWCOL nDestCol, uint64_t nHeight, uint64_t nWidth)
{
    return nDestRow + nHeight - 1 <= kMaxRowCol && nDestCol + nWidth - 1 <= kMaxRowCol;
}

}  // namespace

// Every source cell is read before any destination cell is written, so an overlapping
// destination gets the source as it was, in any direction.
BOOL CGXDataCopyMoveCellsImp::CopyCells(CGXData& data, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                                        ROWCOL nDestRow, ROWCOL nDestCol)
{
    if (nBottom < nTop || nRight < nLeft)
        return TRUE;
    const uint64_t nHeight = uint64_t(nBottom) - nTop + 1;
    const uint64_t nWidth = uint64_t(nRight) - nLeft + 1;
    if (!FitsAt(nDestRow, nDestCol, nHeight, nWidth))
        return FALSE;

    std::vector<std::unique_ptr<CGXStyle>> clones;
    std::vector<std::pair<ROWCOL, ROWCOL>> places;
    ForEachStored(data, nTop, nLeft, nHeight, nWidth, [&](ROWCOL r, ROWCOL c, CGXStylePtrArray& row) {
        clones.emplace_back(row.GetStyle(INT_PTR(c))->Clone());
        places.emplace_back(r - nTop + nDestRow, c - nLeft + nDestCol);
    });
    ForEachStored(data, nDestRow, nDestCol, nHeight, nWidth, [](ROWCOL, ROWCOL c, CGXStylePtrArray& row) {
        delete row.GetStyle(INT_PTR(c));
        row.SetAt(INT_PTR(c), nullptr);
    });
    for (size_t i = 0; i < clones.size(); ++i)
        PutStyle(data, places[i].first, places[i].second, clones[i].release());
    return TRUE;
}

BOOL CGXDataCopyMoveCellsImp::MoveCells(CGXData& data, const CGXCellRange& range, ROWCOL nDestRow, ROWCOL nDestCol,
                                        CObject*& pUndoInfo, BOOL bKeepUndo)
{
    CGXCellRange src(range);
    src.ExpandToCells(0, 0, data.m_nRows, data.m_nCols);
    if (!src.IsValid() || src.bottom < src.top || src.right < src.left)
        return TRUE;
    const uint64_t nHeight = uint64_t(src.bottom) - src.top + 1;
    const uint64_t nWidth = uint64_t(src.right) - src.left + 1;
    auto* pInfo = dynamic_cast<CGXDataUndoMoveCellsInfo*>(pUndoInfo);
    if (!FitsAt(nDestRow, nDestCol, nHeight, nWidth) || (pUndoInfo && !pInfo))
        return FALSE;

    // Lift every cell before any is dropped: an overlapping destination loses none of them.
    std::vector<Placed> lifted;
    ForEachStored(data, src.top, src.left, nHeight, nWidth, [&](ROWCOL r, ROWCOL c, CGXStylePtrArray& row) {
        lifted.push_back({r - src.top + nDestRow, c - src.left + nDestCol, row.GetStyle(INT_PTR(c))});
        row.SetAt(INT_PTR(c), nullptr);
    });

    auto pOverwritten = bKeepUndo ? std::make_unique<CGXDataUndoMoveCellsInfo>() : nullptr;
    ForEachStored(data, nDestRow, nDestCol, nHeight, nWidth, [&](ROWCOL r, ROWCOL c, CGXStylePtrArray& row) {
        std::unique_ptr<CGXStyle> p(row.GetStyle(INT_PTR(c)));
        row.SetAt(INT_PTR(c), nullptr);
        if (pOverwritten)
            pOverwritten->m_cells.push_back({r, c, std::move(p)});
    });

    for (const Placed& cell : lifted)
        PutStyle(data, cell.nRow, cell.nCol, cell.pStyle);

    // Taking a move back: the cells the move had overwritten return to their places.
    if (pInfo) {
        for (CGXDataUndoMoveCellsInfo::Cell& cell : pInfo->m_cells)
            PutStyle(data, cell.nRow, cell.nCol, cell.pStyle.release());
        pInfo->m_cells.clear();
    }
    if (pOverwritten) {
        if (pInfo)
            pInfo->m_cells = std::move(pOverwritten->m_cells);
        else
            pUndoInfo = pOverwritten.release();
    }
    return TRUE;
}

void GXInstallDataCopyMoveCellsImp()
{
    CGXLibraryData* d = GXGetAppData();
    if (d->m_pDataCopyMoveCellsImp)
        return;
    auto* p = new CGXDataCopyMoveCellsImp;
    d->m_pDataCopyMoveCellsImp = p;
    GXGetLibraryState().AddImpToDeleteList(p);
}
