#pragma once
// CGXData: the styles stored for single cells and the base styles of whole rows and columns,
// with the row and column counts. Row 0 and column 0 are the headers.

#include "grid/core/gxrange.h"
#include "grid/core/gxstyle.h"
#include "platform/base/collections.h"

// Owned styles by index (null slots allowed); deleting the array deletes them.
class CGXStylePtrArray : public CPtrArray, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXStylePtrArray)
public:
    CGXStylePtrArray() = default;
    CGXStylePtrArray(const CGXStylePtrArray&) = delete;
    CGXStylePtrArray& operator=(const CGXStylePtrArray&) = delete;
    ~CGXStylePtrArray() override { DeleteAll(); }

    CGXStyle* GetStyle(INT_PTR i) const { return i >= 0 && i < GetSize() ? static_cast<CGXStyle*>(GetAt(i)) : nullptr; }
    void DeleteAll();
    // Deletes the styles of slots nFirst..nFirst+nCount-1 (clipped) and removes the slots.
    void DeleteRange(INT_PTR nFirst, INT_PTR nCount);
    // Deep copy.
    void Assign(const CGXStylePtrArray& other);
    void Serialize(CArchive& ar) override;
};

// Owned rows of cells: index = row, each an owned CGXStylePtrArray (index = column) or null.
class CGXStylePtrArrayPtrArray : public CPtrArray, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXStylePtrArrayPtrArray)
public:
    CGXStylePtrArrayPtrArray() = default;
    CGXStylePtrArrayPtrArray(const CGXStylePtrArrayPtrArray&) = delete;
    CGXStylePtrArrayPtrArray& operator=(const CGXStylePtrArrayPtrArray&) = delete;
    ~CGXStylePtrArrayPtrArray() override { DeleteAll(); }

    CGXStylePtrArray* GetRow(INT_PTR i) const { return i >= 0 && i < GetSize() ? static_cast<CGXStylePtrArray*>(GetAt(i)) : nullptr; }
    void DeleteAll();
    void DeleteRange(INT_PTR nFirst, INT_PTR nCount);
    void Assign(const CGXStylePtrArrayPtrArray& other);
    void Serialize(CArchive& ar) override;
};

class CGXData : public CObject, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXData)
public:
    CGXData() = default;
    CGXData(const CGXData&) = delete;
    CGXData& operator=(const CGXData&) = delete;
    ~CGXData() override { DeleteContents(); }

    void Serialize(CArchive& ar) override;
    virtual void DeleteContents();
    virtual void Assign(const CGXData& other);
    virtual void InitParam(CObject*) {}
    virtual ROWCOL GetRowCount() const { return m_nRows; }
    virtual ROWCOL GetColCount() const { return m_nCols; }
    virtual BOOL SetRowCount(ROWCOL nRows);
    virtual BOOL SetColCount(ROWCOL nCols);
    virtual BOOL InsertRows(ROWCOL nRow, ROWCOL nCount);
    virtual BOOL InsertCols(ROWCOL nCol, ROWCOL nCount);
    virtual BOOL RemoveRows(ROWCOL nFirst, ROWCOL nLast);
    virtual BOOL RemoveCols(ROWCOL nFirst, ROWCOL nLast);
    virtual BOOL MoveRows(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest);
    virtual BOOL MoveCols(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest);
    virtual BOOL CopyCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, ROWCOL nDestRow, ROWCOL nDestCol);
    virtual BOOL MoveCells(const CGXCellRange& range, ROWCOL nDestRow, ROWCOL nDestCol, CObject*& pUndoInfo,
                           BOOL bKeepUndo);
    // nType -1 addresses the base style of row nRow, or of column nCol when nRow is 0.
    virtual BOOL StoreStyleRowCol(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mode, int nType = 0);
    virtual BOOL GetStyleRowCol(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mode, int nType = 0) const;
    virtual BOOL MoveRowsForSort(const CGXCellRange& range, const CDWordArray& order);
    virtual BOOL MoveColsForSort(const CGXCellRange& range, const CDWordArray& order);
    virtual int ClearEmbeddedStyle();

    // The eleven formula-engine operations: a plain store has no engine and answers nothing or
    // 0; the formula sheet overrides them. The grid core reaches them through its formula-support
    // forwarders and the command factory.
    // The engine's record of the last change, handed over (the store forgets it).
    virtual CObject* GetUndoInfo() { return nullptr; }
    // Applies a record (record: collect what it replaces; redo: the record is a redo's).
    virtual BOOL ApplyUndoInfo(CObject*, BOOL, BOOL) { return FALSE; }
    // Switches the collecting of records; returns the former state.
    virtual BOOL EnableUndoInfo(BOOL) { return FALSE; }
    virtual void DiscardUndoInfo() {}
    // A range of cells changes (or changed): its dependents need recalculating.
    virtual void AnnounceRange(const CGXCellRange&) {}
    // Recalculates; false when the recalculation left an error text.
    virtual BOOL Recalc(BOOL) { return FALSE; }
    virtual void RequestRecalc(int) {}
    // Brings one cell up to date; true when its value changed since it was last shown.
    virtual BOOL EvaluateCell(ROWCOL, ROWCOL) { return FALSE; }
    // The cell was drawn with its current value.
    virtual void CellShown(ROWCOL, ROWCOL) {}
    // Clears the error text; GetLastError copies a pending one.
    virtual void ResetError() {}
    virtual BOOL GetLastError(CString&) { return FALSE; }

    BOOL StoreValueRowCol(ROWCOL nRow, ROWCOL nCol, LPCTSTR pszValue, int mode, int nType = 0, CGXStyle* pStyle = nullptr);

    // The stored style of a cell (or base style for nType -1), null when none.
    const CGXStyle* LookupStyleRowCol(ROWCOL nRow, ROWCOL nCol, int nType = 0) const;

    ROWCOL m_nRows = 0;
    ROWCOL m_nCols = 0;
    // The type selector a grid over this store stores and edits with when its caller passes 0:
    // 1 for a formula sheet, whose edit text is the formula while drawing gets the value.
    int m_nDefaultValueType = 0;
    CGXStylePtrArray m_apRowBaseStyles;
    CGXStylePtrArray m_apColBaseStyles;
    CGXStylePtrArrayPtrArray m_pStyleMap;
    CGXStyle m_styleScratch1;
    CGXStyle m_styleScratch2;
};

// Moves slots first..first+n-1 so that the block starts at nDest; slot contents are kept.
void GXMoveArrayBlock(CPtrArray& array, INT_PTR nFirst, INT_PTR nCount, INT_PTR nDest);
