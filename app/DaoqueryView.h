#pragma once
// CDaoqueryView: the directory pane. A DAO record view over the document's recordset that runs
// every directory query, shows each cell deciphered, hides the rank columns, bands the rows,
// keeps the status bar, hides and shows columns from its column menu, hands the clicked row's
// record to the main frame, and keeps its layout in "GridSettings.dat".

#include <memory>
#include <string>
#include <vector>

#include "grid/record/gxdaoview.h"
#include "platform/base/collections.h"
#include "platform/ui/menu.h"

class CPleaseWaitDlg;
class CViewerDoc;
class CMainFrame;

class CDaoqueryView : public CGXDaoRecordView {
    DECLARE_DYNCREATE(CDaoqueryView)
public:
    CDaoqueryView();
    ~CDaoqueryView() override;

    // ---- What the main frame and the search run -------------------------------------------------
    // TRUE when the recordset is open after the query; FALSE when it failed (the grid then shows
    // the Blank table, or nothing when that fails too).
    BOOL RunQuery(const CString& strStatement);
    // "SELECT * FROM Data" again; with bKeepWidths every column keeps its width and hidden state.
    BOOL RequeryAllEntries(BOOL bKeepWidths);
    void ShowCurrentRowDetails();
    // After a search: the grid's bars and picture brought up to date in one locked step.
    void RefreshGrid();
    // The grid column of a field ("&&" read as "&", "DATA._IKEY" as "_IKEY"); -1 when none.
    int GetColumnIndex(const CString& strField);
    // The current data row's "_IKEY"; -1 without a current data row or without the column.
    long GetCurrentRecordKey();
    // The exact number of records the last query gave.
    long GetTotalRecords() const { return m_nTotalRecords; }
    BOOL IsSettingsPending() const { return m_bSettingsPending; }
    BOOL IsPlaceholderShown() const { return m_bPlaceholder; }
    const CStringArray& GetHiddenNames() const { return m_hiddenNames; }
    CMenu& GetColumnMenu() { return m_columnMenu; }
    CViewerDoc* GetViewerDoc() const;
    // The layout file in the data folder.
    static CString GridSettingsPath();

    // ---- Sorting and the typed-text jump ----------------------------------------------------------
    // Orders the rows by the keys' rank columns through the recordset's sort; FALSE (and a message)
    // when a key's field has no rank column.
    BOOL SortByColumns(const CGXSortInfoArray& keys, UINT flags);
    // A header click: ascending, or the reverse of the sorted column's direction.
    void HeaderButtonSort(ROWCOL nCol);
    // Jumps to the first row whose sort column starts with the text.
    void ScrollToEntry(const CString& strText);
    // Makes the record with the key current (the rows sorted by key); its row, or -1.
    long GoToRecordKey(const CString& strKey);
    // The column of the current sort (-1 for none) and its direction; the parameter object keeps them.
    long GetSortedColumn() const;
    BOOL IsSortAscending() const;

    // ---- Framework ------------------------------------------------------------------------------
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void OnInitialUpdate() override;
    void OnDraw(CDC* pDC) override;
    virtual BOOL OpenQuery();

    // ---- Grid -----------------------------------------------------------------------------------
    BOOL FetchStoredStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mt, int nType) override;
    BOOL CanSelectRange(const CGXCellRange& range, UINT flags = 0) override;
    BOOL PlaceCurrentCell(ROWCOL nRow, ROWCOL nCol, UINT flags = 0x0A) override;
    BOOL OnLeftCellClick(ROWCOL nRow, ROWCOL nCol, UINT flags) override;
    BOOL OnLeftCellDoubleClick(ROWCOL nRow, ROWCOL nCol, UINT flags) override;
    BOOL OnLeftCellMouse(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnCellButtonClicked(ROWCOL nRow, ROWCOL nCol) override;
    BOOL SortRows(const CGXCellRange& range, const CGXSortInfoArray& sortInfo, UINT flags = GX_UPDATENOW) override;
    BOOL StoreMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, BOOL bForce = FALSE) override;
    BOOL Copy() override { return FALSE; }
    BOOL Cut() override { return FALSE; }
    void ReloadFromRecordset() override;
    BOOL ColumnValueText(CString& sText, ROWCOL nCol) override;
    WORD DescribeFieldColumn(const CDaoFieldInfo& info, CString& sHeader, long& nWidth) override;

protected:
    // Loads "GridSettings.dat" while settings are pending; TRUE when a layout was applied.
    BOOL LoadGridSettings();
    void RestoreColumnOrder(const CDWordArray& order);
    void SaveGridSettings();
    void ApplyFixedColumnWidths();
    // Status pane 0: the footnote, or "Ready" in a borderless stretching pane.
    void ShowFootnoteOrReady();
    void SetPaneText(int nPane, const CString& strText);
    CMainFrame* GetMainFrame() const;
    // The details display: the current data row's key to the main frame.
    void ShowDetailsOfCurrentRow();
    // Moves the current row to nRow in the current column and shows its details.
    void GoToEntry(ROWCOL nRow);
    void StepEntries(long nDelta);
    // The arrow and page keys act only while the HTML pane shows a details page.
    BOOL IsDetailsPageShown() const;
    void ToggleColumn(const CString& strField);
    BOOL IsHiddenName(const CString& strField) const;
    // The field's name behind a grid column; empty when the column has none.
    CString FieldNameOfCol(ROWCOL nCol);
    // The please-wait window of the opener.
    void DeletePleaseWait();
    // Opens the recordset on a statement (without ORDER BY) and learns its exact count; throws the
    // engine's no-current-record error for a result without records.
    BOOL OpenAndCount(CDaoRecordset& set, const CString& strStatement);
    // Opens the Blank table in place of a query that failed; FALSE when that fails too.
    BOOL OpenBlank();
    // Header clicks sort; a query sets its own order, so no column counts as sorted after one.
    void ResetSortState();
    void SetSortState(long nCol, BOOL bAscending);
    static void ReadOldHiddenColumns(CByteArray& hidden, ROWCOL nLastCol);
    // The column the typed-text jump searches, sorted by it first when it is not yet.
    ROWCOL JumpColumn();
    // The shown text of a row in upper case (rows up to it fetched first).
    std::string UpperRowText(ROWCOL nRow, ROWCOL nCol);

    afx_msg void OnFirstEntry();
    afx_msg void OnLastEntry();
    afx_msg void OnNextEntry();
    afx_msg void OnPrevEntry();
    afx_msg void OnKeyEntry(UINT nID);
    afx_msg void OnKeyLeftRight(UINT nID);
    afx_msg void OnUpdateZoomInOut(CCmdUI* pCmdUI);
    afx_msg void OnUpdateZoom100(CCmdUI* pCmdUI);
    afx_msg void OnZoomCommand(UINT nID);
    afx_msg void OnNoEntriesMessage();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    DECLARE_MESSAGE_MAP()

    CMenu m_columnMenu;
    UINT m_nNextMenuId = 0;
    CStringArray m_hiddenNames;
    BOOL m_bSettingsPending = TRUE;
    BOOL m_bBlankPaint = TRUE;
    BOOL m_bEmptyNotice = FALSE;
    BOOL m_bPlaceholder = FALSE;
    std::unique_ptr<CPleaseWaitDlg> m_pPleaseWait;
    CDaoDatabase* m_pDatabase = nullptr; // the document's
    std::vector<int> m_savedWidths;
    long m_nTotalRecords = 0;
    // Filled while a reload describes its columns: the field names by field index, and which
    // of them are rank or key columns (never deciphered).
    std::vector<CString> m_fieldNames;
    std::vector<bool> m_rankField;
    ROWCOL m_nDescribedCol = 0;
    // The header column a press went down on, until its release (0: none).
    ROWCOL m_nPressedHeaderCol = 0;
};
