#pragma once
// CGXBrowserGrid: a grid that pages through the records of a record source instead of holding
// its cells. Rows are records (plus an append row), columns are fields; editing a cell opens an
// edit of the whole record, which is written back when the user leaves the row. Reading and
// writing fields, counting and positioning are left to a derived grid (the DAO grid).

#include "grid/core/gxgrid.h"
#include "grid/record/gxbrowparam.h"

class CCmdUI;

// The record count while the source's end has not been seen.
constexpr ROWCOL GX_MAXROWCOL_UNKNOWN = 0x7fffffff;
// PrepareRows: any row above this asks for all rows.
constexpr ROWCOL GX_PREPARE_ALL_ROWS = 0x7ffffffe;

// Sort directions of a sort key (GXSortInfo::sortOrder).
enum : DWORD { gxSortAscending = 0, gxSortDescending = 1 };

// Record-navigation commands; the framework's ids header defines the same values as macros.
#ifndef ID_RECORD_FIRST
enum : UINT { ID_RECORD_FIRST = 59648, ID_RECORD_LAST = 59649, ID_RECORD_NEXT = 59650, ID_RECORD_PREV = 59651 };
#endif

class CGXBrowserGrid : public CGXGridCore {
public:
    CGXBrowserGrid(CWnd* pGridWnd = nullptr, CDocument* pDocument = nullptr, BOOL bIsViewContext = FALSE);

    // ---- Records ------------------------------------------------------------------------------
    virtual BOOL CanUpdate();
    virtual BOOL CanAppend();
    // GX_MAXROWCOL_UNKNOWN while the count is not known.
    virtual ROWCOL RecordCount();
    // GX_INVALID when there is no append row (yet).
    virtual ROWCOL AppendRowNumber();
    virtual ROWCOL RecordRowCount();
    virtual BOOL DeleteSelectedRecords();
    // Deletes the records of the row ranges firsts[i]..lasts[i].
    virtual BOOL DeleteRecords(const CDWordArray& firsts, const CDWordArray& lasts);
    virtual void Requery();
    virtual BOOL MoveToRecordRow(ROWCOL nRow);
    virtual BOOL BeginRecordEdit(ROWCOL nRow);
    // The row of the new record, GX_INVALID when the current cell could not go there.
    virtual ROWCOL BeginNewRecord();
    virtual BOOL UpdateRecord(CString* pErrorText = nullptr);
    virtual void UndoRecordChanges();
    virtual void DiscardRecordEdit();
    virtual ROWCOL RowOrderIndex(ROWCOL nRow);
    virtual ROWCOL ColOrderIndex(ROWCOL nCol);
    virtual void OnRecordsMoved();
    virtual void OnAfterAppend();
    virtual void PrepareDrawRecords();
    virtual void SetupRowHeader();
    // Supplies the cell's value from the record; FALSE when the cell is not a record's.
    virtual BOOL ReadCellValue(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bValueSupplied);
    // Stores are called inside an open edit of the record and throw on failure.
    virtual void StoreFieldValue(ROWCOL nRow, ROWCOL nCol, const CString& sText);
    virtual void StoreFieldBlob(ROWCOL nRow, ROWCOL nCol, CGXAbstractBlob* pBlob);
    virtual BOOL WriteRecordFields(ROWCOL nRow, CString* pErrorText);
    virtual BOOL TakeBlobFromStyle(const CGXStyle& style, short nField);
    // Puts a field's pending binary value into the cell's style; nothing by default.
    virtual void SupplyPendingBlob(ROWCOL nRow, ROWCOL nCol, const CGXAbstractBlob& blob, CGXStyle& style)
    {
        (void)nRow; (void)nCol; (void)blob; (void)style;
    }

    // Field of a column (negative for header columns) and record of a row.
    short FieldIndexOfCol(ROWCOL nCol);
    long RecordIndexOfRow(ROWCOL nRow);
    // Asked several times for every cell: the class kept when the object was attached, where
    // a dynamic_cast compares type names.
    CGXBrowseParam* BrowseParam() const
    {
        return ParamIsKindOf(RUNTIME_CLASS(CGXBrowseParam)) ? static_cast<CGXBrowseParam*>(GetParam()) : nullptr;
    }
    void ResetEditBuffer();
    BOOL WritePendingEdit();
    DWORD EditMode() const { return BrowseParam() ? BrowseParam()->m_nEditMode : gxNoEdit; }
    void OnRecordCommand(UINT nID);
    // Whether a record-navigation command can run now (its update handler's answer).
    BOOL CanRecordCommand(UINT nID);
    void OnUpdateRecordCommand(CCmdUI* pCmdUI, UINT nID);
    BOOL m_bRecordUpdated = FALSE;

    // ---- The core's operations as record operations ------------------------------------------
    void Initialize() override;
    BOOL IsRecordBrowserGrid() const override { return TRUE; }
    ROWCOL RowCount() override;
    BOOL FetchStoredStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mt, int nType) override;
    BOOL StoreCellStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType) override;
    BOOL ApplyStyleToRange(const CGXCellRange& range, const CGXStyle* pStyle, int mt = gxOverride, int nType = 0,
                           CObArray* pCellsArray = nullptr, UINT flags = GX_UPDATENOW, int ctCmd = gxDo) override;
    BOOL RemoveRows(ROWCOL nFromRow, ROWCOL nToRow, UINT flags = GX_UPDATENOW, int ctCmd = gxDo) override;
    // Lines that come, go or move take their order entries along, so that every other line goes on
    // showing its record (field); an edit with changed fields is written first.
    BOOL StoreInsertRows(ROWCOL nRow, ROWCOL nCount, BOOL bForce = FALSE) override;
    BOOL StoreInsertCols(ROWCOL nCol, ROWCOL nCount, BOOL bForce = FALSE) override;
    BOOL StoreRemoveRows(ROWCOL nFromRow, ROWCOL nToRow, BOOL bForce = FALSE) override;
    BOOL StoreRemoveCols(ROWCOL nFromCol, ROWCOL nToCol, BOOL bForce = FALSE) override;
    BOOL StoreMoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, BOOL bForce = FALSE) override;
    BOOL StoreMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, BOOL bForce = FALSE) override;
    BOOL CanSelectRange(const CGXCellRange& range, UINT flags = 0) override;
    BOOL PlaceCurrentCell(ROWCOL nRow, ROWCOL nCol, UINT flags = 0x0A) override;
    BOOL ProcessKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags = 0) override;
    BOOL OnGridKeyDown(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL OnStartEditing(ROWCOL nRow, ROWCOL nCol) override;
    void OnCanceledEditing(ROWCOL nRow, ROWCOL nCol) override;
    BOOL OnLeftCell(ROWCOL nRow, ROWCOL nCol, ROWCOL nNewRow, ROWCOL nNewCol) override;
    void OnMovedCurrentCell(ROWCOL nRow, ROWCOL nCol, int nKind, UINT flags) override;
    BOOL Undo() override;
    // The clipboard works on records: cut and a plain paste go through the current cell's control.
    BOOL CanCut() override;
    BOOL Cut() override;
    BOOL CanPaste() override;
    BOOL Paste() override;
    BOOL ClearCells(const CGXRangeList& list, BOOL bStylesOnly = FALSE) override;
    BOOL PasteTextFromBuffer(LPCTSTR psz, DWORD nSize, const CGXCellRange& target) override;
    BOOL HasSingleCellTarget();
    void OnGridDraw(CDC* pDC) override;
    void EnsureCountComplete() override;

protected:
    // Writes the modified entries of the edit buffer through the stores. A store that fails
    // ends the walk: FALSE, with the store's warning text in pErrorText (without one, the
    // store's exception goes on to the caller).
    BOOL FlushEditBuffer(ROWCOL nRow, CString* pErrorText);
    // The column's base style (not its header cell), where defaults of new records live; null
    // when the column has none. Read for every cell: looked up, never copied.
    const CGXStyle* ColumnBaseStyle(ROWCOL nCol) const;
    void RedrawRowHeader(ROWCOL nRow);
    BOOL MoveBy(int nDirection, int nCount);
};
