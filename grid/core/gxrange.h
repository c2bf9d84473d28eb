#pragma once
// A rectangle of grid cells (or whole rows, whole columns, the whole table) and lists of them.
// Row and column numbers are unsigned; row 0 and column 0 are the headers.

#include "platform/base/pvdefs.h"

typedef DWORD ROWCOL;

enum GXRangeKind : DWORD {
    gxCells = 0,
    gxRows = 1,
    gxCols = 2,
    gxTable = 3,
};

class CArchive;

class CGXCellRange {
public:
    CGXCellRange() { InitEmpty(); }
    CGXCellRange(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) { InitCells(nTop, nLeft, nBottom, nRight); }
    CGXCellRange(ROWCOL nRow, ROWCOL nCol) { InitCells(nRow, nCol, nRow, nCol); }
    CGXCellRange(const CGXCellRange& r) = default;
    CGXCellRange& operator=(const CGXCellRange& r) = default;

    void InitEmpty();
    void InitCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) { SetCells(nTop, nLeft, nBottom, nRight); }
    void CopyConstruct(const CGXCellRange& r) { *this = r; }
    void Assign(const CGXCellRange& r) { *this = r; }
    // Copies *pRange, or empties this range when pRange is null.
    void CopyOrClear(const CGXCellRange* pRange);

    CGXCellRange& SetCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight);
    CGXCellRange& SetRows(ROWCOL nRow1, ROWCOL nRow2);
    CGXCellRange& SetRows(ROWCOL nRow) { return SetRows(nRow, nRow); }
    CGXCellRange& SetCols(ROWCOL nCol1, ROWCOL nCol2);
    CGXCellRange& SetCols(ROWCOL nCol) { return SetCols(nCol, nCol); }
    CGXCellRange& SetTable();
    // Turns a rows, columns or table range into a cells range, filling the open bounds from the limits.
    CGXCellRange& ExpandToCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight);

    BOOL IsCellInRange(ROWCOL nRow, ROWCOL nCol) const;
    BOOL IntersectOf(const CGXCellRange& a, const CGXCellRange& b);
    BOOL UnionOf(const CGXCellRange& a, const CGXCellRange& b);

    BOOL IsValid() const { return m_bValid != 0; }
    BOOL IsCells() const { return m_nKind == gxCells; }
    BOOL IsRows() const { return m_nKind == gxRows; }
    BOOL IsCols() const { return m_nKind == gxCols; }
    BOOL IsTable() const { return m_nKind == gxTable; }
    DWORD GetKind() const { return m_nKind; }
    ROWCOL GetHeight() const { return bottom - top + 1; }
    ROWCOL GetWidth() const { return right - left + 1; }

    bool operator==(const CGXCellRange& r) const
    {
        return m_nKind == r.m_nKind && top == r.top && left == r.left && bottom == r.bottom
            && right == r.right && (m_bValid != 0) == (r.m_bValid != 0);
    }
    bool operator!=(const CGXCellRange& r) const { return !(*this == r); }

    DWORD m_nKind = gxCells;
    ROWCOL top = 0;
    ROWCOL left = 0;
    ROWCOL bottom = 0;
    ROWCOL right = 0;
    DWORD m_bValid = 0;
};

// Archive form: four dwords (top, left, bottom, right), kind byte, valid byte.
void ArchiveWriteCellRange(CArchive& ar, const CGXCellRange& range);
void ArchiveReadCellRange(CArchive& ar, CGXCellRange& range);

#include "platform/base/collections.h"

// Owned ranges in list order (the selection, covered cells and other range sets).
class CGXRangeList : public CPtrList {
    DECLARE_SERIAL(CGXRangeList)
public:
    CGXRangeList() : CPtrList(10) {}
    CGXRangeList(const CGXRangeList&) = delete;
    CGXRangeList& operator=(const CGXRangeList&) = delete;
    ~CGXRangeList() override { DeleteAll(); }

    void Serialize(CArchive& ar) override;
    // Copies the other list's valid ranges; the copy holds them in reverse order.
    virtual void Assign(const CGXRangeList& other);

    CGXCellRange* GetRange(POSITION pos) const { return static_cast<CGXCellRange*>(const_cast<CGXRangeList*>(this)->GetAt(pos)); }
    CGXCellRange* GetNextRange(POSITION& pos) const { return static_cast<CGXCellRange*>(const_cast<CGXRangeList*>(this)->GetNext(pos)); }
    POSITION AddRange(const CGXCellRange& range) { return AddTail(new CGXCellRange(range)); }

    void DeleteAll();
    void DeleteAt(POSITION pos);
    void RemoveInvalid();
    BOOL IsCellInList(ROWCOL nRow, ROWCOL nCol, POSITION posExclude = nullptr) const;
    POSITION FindRangeContaining(ROWCOL nRow, ROWCOL nCol) const;
    BOOL IntersectsRow(ROWCOL nRow) const;
    BOOL IntersectsCol(ROWCOL nCol) const;
    BOOL GetRowIntervals(ROWCOL nLastRow, CDWordArray& firsts, CDWordArray& lasts, BOOL bOnlyWhole) const;
    BOOL GetColIntervals(ROWCOL nLastCol, CDWordArray& firsts, CDWordArray& lasts, BOOL bOnlyWhole) const;
    void ShiftRows(ROWCOL nFrom, ROWCOL nCount);
    void ShiftCols(ROWCOL nFrom, ROWCOL nCount);
    void AdjustForRemovedRows(ROWCOL nFirst, ROWCOL nLast, ROWCOL nMax);
    void AdjustForRemovedCols(ROWCOL nFirst, ROWCOL nLast, ROWCOL nMax);
    void AdjustForMovedRows(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, ROWCOL nMax);
    void AdjustForMovedCols(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, ROWCOL nMax);

private:
    BOOL GetIntervals(bool bRows, ROWCOL nLast, CDWordArray& firsts, CDWordArray& lasts, BOOL bOnlyWhole) const;
};

// The renumbering of one row (or column) index when rows first..last move to nDest.
ROWCOL GXMovedIndex(ROWCOL nIndex, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest);
