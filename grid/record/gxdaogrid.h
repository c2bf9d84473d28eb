#pragma once
// CGXDaoGrid: the record-browser grid over a DAO recordset. It learns the record count in
// blocks as the user goes down, reads each field's value as cell text, writes cell texts back
// into typed fields, and builds a column per field with a base style per field type.

#include <vector>

#include "grid/record/gxbrowse.h"
#include "platform/dao/dao.h"

// User attributes of the record grids' columns and check boxes.
enum : WORD {
    GX_IDS_UA_NUMERIC_FIELD = 51010,  // the column's cells hold numbers
    GX_IDS_UA_CHECKED_VALUE = 51019,
    GX_IDS_UA_UNCHECKED_VALUE = 51020,
    GX_IDS_UA_DAOBITMAP = 52794,
};

// What a text becomes in a field of a DAO type: a value, a refusal of the text, or a type that
// takes no text.
enum class GXDaoTextParse { ok, invalid, unsupported };
GXDaoTextParse GXDaoVariantFromText(short nType, const CString& sText, BOOL bMemoAsText, COleVariant& var);

class CGXDaoGrid : public CGXBrowserGrid {
public:
    CGXDaoGrid(CWnd* pGridWnd = nullptr, CDocument* pDocument = nullptr, BOOL bIsViewContext = FALSE);

    // ---- The DAO grid's own operations ----------------------------------------------------------
    virtual CDaoRecordset* GetRecordset() { return m_pRecordset; }
    virtual BOOL IsRecordCountKnown();
    virtual void ReloadFromRecordset();
    // The text of the column's field in the current record; FALSE when the field gives none.
    virtual BOOL ColumnValueText(CString& sText, ROWCOL nCol);
    // The base style of a field's column; its header text and width in characters.
    virtual WORD DescribeFieldColumn(const CDaoFieldInfo& info, CString& sHeader, long& nWidth);
    virtual long DisplayWidthOfFieldType(const CDaoFieldInfo& info);
    virtual BOOL ReadBinaryCell(ROWCOL nRow, ROWCOL nCol, CGXStyle& style);
    virtual BOOL LoadBinaryForCurrentCellOnly() { return TRUE; }
    virtual BOOL IsLongBinaryType(short nType) { return nType == dbLongBinary; }
    virtual const CString& BinaryText() { return m_sBinary; }

    // Binds the recordset (null unbinds); not owned.
    void SetRecordset(CDaoRecordset* pRecordset);
    void SetAllowAppend(BOOL bAllow);
    CGXDaoParam* DaoParamObject() const
    {
        return ParamIsKindOf(RUNTIME_CLASS(CGXDaoParam)) ? static_cast<CGXDaoParam*>(GetParam()) : nullptr;
    }
    // Sets the parameter object's redraw lock; answers the previous one.
    BOOL ExchangeUpdateLock(BOOL bLock);
    // Where the recordset stands as a record index, re-established from the saved bookmark.
    long SyncCurrentRecord();
    BOOL MoveToRecordIndex(long nIndex, BOOL bSync = TRUE);
    long CurrentRecordIndex() const { return m_nCurrentRecordIndex; }

    // ---- Browser and core operations ------------------------------------------------------------
    void Initialize() override;
    BOOL CanUpdate() override;
    BOOL CanAppend() override;
    ROWCOL RecordCount() override;
    BOOL MoveToRecordRow(ROWCOL nRow) override;
    void PrepareRows(ROWCOL nRow) override;
    void PrepareDrawRecords() override;
    void Requery() override;
    void OnAfterAppend() override;
    void BeginTransaction(LPCTSTR pszName) override;
    void CommitTransaction() override;
    void Rollback() override;
    BOOL SortRows(const CGXCellRange& range, const CGXSortInfoArray& sortInfo, UINT flags = GX_UPDATENOW) override;
    BOOL ReadCellValue(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bValueSupplied) override;
    void StoreFieldValue(ROWCOL nRow, ROWCOL nCol, const CString& sText) override;
    void StoreFieldBlob(ROWCOL nRow, ROWCOL nCol, CGXAbstractBlob* pBlob) override;
    BOOL WriteRecordFields(ROWCOL nRow, CString* pErrorText) override;
    BOOL DeleteRecords(const CDWordArray& firsts, const CDWordArray& lasts) override;
    BOOL TakeBlobFromStyle(const CGXStyle& style, short nField) override;
    void SupplyPendingBlob(ROWCOL nRow, ROWCOL nCol, const CGXAbstractBlob& blob, CGXStyle& style) override;
    // Records are fetched before a scroll or a move goes past those fetched so far.
    BOOL OnGridVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override;
    BOOL MoveCurrentCell(int nDirection, UINT nCount = 1, BOOL bSelect = FALSE) override;
    void OnPrepareDrawing(ROWCOL nRows, ROWCOL nCols) override;

protected:
    BOOL IsOpen() const { return m_pRecordset && m_pRecordset->IsOpen(); }
    // The next move starts from the first record again.
    void ForgetPosition();
    // The field behind a column, or a not-supported exception with the unbound-field warning.
    short BoundField(ROWCOL nCol);
    void ShowDaoError(const CDaoException& e);

    CDaoRecordset* m_pRecordset = nullptr;
    COleVariant m_varBookmark;
    long m_nCurrentRecordIndex = -1;
    CString m_sBinary;
    // The row a thumb drag aims at, kept for the drop at the same position.
    BOOL m_bThumbTargetKept = FALSE;
    UINT m_nThumbPos = 0;
    ROWCOL m_nThumbTarget = 0;
    // Fields whose default the append row has asked for already.
    std::vector<bool> m_defaultChecked;
    // The DAO type of each field, read when the columns are built: every cell needs it.
    std::vector<short> m_fieldTypes;
    CString m_sFieldText;  // a cell's field text on its way to the style: keeps its room
    // The type of a field of the bound recordset (from the columns when they are built).
    short FieldType(short nField);
};
