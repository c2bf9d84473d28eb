#pragma once
// The stores of floating and merged cells. CGXSpanCellPool: for every cell the first column (in
// its row table) and the first row (in its column table) of the span that holds it, or -1; a
// span is the rectangle whose cells carry the same starts. CGXDelayedRangePool: ranges still to
// be evaluated, merged as they are queued. Both are archived with the parameter object.

#include <memory>
#include <vector>

#include "grid/core/gxarchive.h"
#include "grid/core/gxrange.h"
#include "grid/core/gxstate.h"
#include "platform/base/CObject.h"

class CGXSpanCellPool : public CObject, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXSpanCellPool)
public:
    using Table = std::vector<std::unique_ptr<std::vector<DWORD>>>;
    static constexpr DWORD kNone = 0xFFFFFFFF;

    CGXSpanCellPool() = default;
    CGXSpanCellPool(const CGXSpanCellPool& other) : CObject(), GXArchiveAdoptable() { CopyFrom(other); }
    CGXSpanCellPool& operator=(const CGXSpanCellPool&) = delete;

    void CopyFrom(const CGXSpanCellPool& other);
    // The span holding the cell; false for none (and for row or column numbers past 0x7FFFFFFF).
    BOOL FindSpan(ROWCOL nRow, ROWCOL nCol, CGXCellRange& span) const;
    // False (nothing changed) when out of memory or beyond what a pool holds.
    BOOL SetSpan(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight);
    void RemoveSpan(ROWCOL nRow, ROWCOL nCol);
    void RemoveAll();
    // Rows (columns) inserted at nAt, or nFirst..nLast removed: spans follow their cells.
    void InsertRows(ROWCOL nAt, ROWCOL nCount) { Insert(m_rows, m_cols, nAt, nCount); }
    void InsertCols(ROWCOL nAt, ROWCOL nCount) { Insert(m_cols, m_rows, nAt, nCount); }
    void RemoveRows(ROWCOL nFirst, ROWCOL nLast) { Remove(m_rows, m_cols, nFirst, nLast); }
    void RemoveCols(ROWCOL nFirst, ROWCOL nLast) { Remove(m_cols, m_rows, nFirst, nLast); }
    // Rows (columns) nFrom..nTo moved to start at nDest: spans that reach into the rows passed
    // over are removed, so that no span is torn; the caller evaluates those rows again.
    void MoveRows(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) { Move(TRUE, nFrom, nTo, nDest); }
    void MoveCols(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) { Move(FALSE, nFrom, nTo, nDest); }
    size_t GetRowSlots() const { return m_rows.size(); }

    void Serialize(CArchive& ar) override;

private:
    void Move(BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest);
    static void Insert(Table& lines, Table& across, ROWCOL nAt, ROWCOL nCount);
    static void Remove(Table& lines, Table& across, ROWCOL nFirst, ROWCOL nLast);
    static void Fill(Table& t, ROWCOL nLine, ROWCOL nFrom, ROWCOL nTo, DWORD nStart);
    static void ClearFrom(Table& t, ROWCOL nLine, ROWCOL nFrom, DWORD nStart);
    static DWORD At(const Table& t, ROWCOL nLine, ROWCOL n);

    Table m_rows;  // by row: the first column of each cell's span
    Table m_cols;  // by column: the first row
};

// One queued range and what of it is already evaluated: entry i holds the first and the last
// evaluated column of the range's row top + i (kNone for none); rows past the arrays are pending.
class CGXDelayedRange : public CObject, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXDelayedRange)
public:
    static constexpr DWORD kNone = 0xFFFFFFFF;
    CGXCellRange m_range;
    std::vector<DWORD> m_firsts;
    std::vector<DWORD> m_lasts;
    BOOL m_bDone = FALSE;
    ROWCOL m_nRowsDone = 0;  // rows evaluated from left to right, counted to find the done range

    void Reset(const CGXCellRange& range);
    void Serialize(CArchive& ar) override;
};

class CGXDelayedRangePool : public CObject, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXDelayedRangePool)
public:
    CGXDelayedRangePool() = default;
    CGXDelayedRangePool(const CGXDelayedRangePool&) = delete;
    CGXDelayedRangePool& operator=(const CGXDelayedRangePool&) = delete;

    void RemoveAll() { m_ranges.clear(); }
    // Done ranges are reused; a pending range the new one covers is reset to it; a pending range
    // the new one continues edge to edge is widened, and when it then holds the new one nothing
    // more is queued.
    void AddRange(const CGXCellRange& range);
    // Takes the part of the range still pending and marks it evaluated: per row of the range
    // (index row - range.top) the first and last pending column, kNone for none. False when
    // nothing is pending.
    BOOL TakePending(const CGXCellRange& range, std::vector<DWORD>& firsts, std::vector<DWORD>& lasts);
    // Removed rows (columns) limit every range to the new last row (column).
    void LimitRows(ROWCOL nLast);
    void LimitCols(ROWCOL nLast);
    void CopyFrom(const CGXDelayedRangePool& other);
    const std::vector<std::unique_ptr<CGXDelayedRange>>& GetRanges() const { return m_ranges; }

    void Serialize(CArchive& ar) override;

private:
    std::vector<std::unique_ptr<CGXDelayedRange>> m_ranges;
};

class CGXSpanCellPoolImp : public CGXAbstractSpanCellPoolImp {
public:
    CObject* CreateSpanCellPool(const CObject* pCopyOf) override;
    const CRuntimeClass* GetPoolClass() const override { return RUNTIME_CLASS(CGXSpanCellPool); }
    void EmptyPool(CObject* pPool) override;
};

class CGXDelayedRangePoolImp : public CGXAbstractDelayedRangePoolImp {
public:
    CObject* CreateDelayedRangePool(const CObject* pCopyOf) override;
    const CRuntimeClass* GetPoolClass() const override { return RUNTIME_CLASS(CGXDelayedRangePool); }
    void QueueWholeTable(CObject* pPool) override;
};

void GXInstallSpanCellPoolImp();
void GXInstallDelayedRangePoolImp();

// Rows and columns a pool holds at most, and the entries one archived array may claim.
constexpr ROWCOL GX_MAX_SPAN_INDEX = 1u << 22;
