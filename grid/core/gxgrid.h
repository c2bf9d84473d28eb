#pragma once
// CGXGridCore: the engine of every grid. It is not a window itself: a host (grid window, grid
// view, record view) joins it to a window and a parameter object and maps the window's
// messages onto the operations below. Nearly every operation is virtual so that record grids
// and hosts override single steps. Optional behaviour lives in feature objects (gxfeature.h).
//
// The implementation is split by concern, one file each: gxgrid.cpp (the object), gxstyles.cpp
// (style composition and storage), gxsize.cpp (sizes, zoom, coordinates, hit tests),
// gxfontcache.cpp (fonts of the drawing), gxdraw.cpp (drawing), gxscroll.cpp (scrolling),
// gxcurcell.cpp (current cell and keys), gxmouse.cpp (mouse), gxmsgs.cpp (window messages),
// gxstruct.cpp (structure operations and feature forwarders), gxfind.cpp (find and selection).

#include <functional>
#include <list>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "grid/core/gxdrawgrid.h"
#include "grid/core/gxfeature.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxrange.h"
#include "grid/core/gxstyle.h"
#include "platform/base/collections.h"
#include "platform/base/geometry.h"

class CArchive;
class CDC;
class CFile;
class CWnd;
class CFont;
class CBrush;
class CPen;
class CCmdUI;
class CDocument;
class CScrollBar;
class CGXControl;
class CGXLongOperation;
class CGXOleViewer;
struct CGXLibraryData;
struct CPrintInfo;
struct MSG;

// Redraw flags of grid changes: 0 no redraw, any other value invalidates, 2 also updates the
// window at once. Scroll position changes may scroll the window contents instead (GX_SMART).
// Sizing to fit with GX_NOSHRINKSIZE only ever grows a row or column.
enum : UINT { GX_NOREDRAW = 0, GX_INVALIDATE = 1, GX_UPDATENOW = 2, GX_SMART = 4, GX_NOSHRINKSIZE = 8 };

// Command mode of an undoable change: an ordinary change, an internal one that records nothing,
// or the replay of an undo or a redo.
enum GXCmdType : int { gxDo = 0, gxRollback = 1, gxUndo = 2, gxRedo = 3 };

// Hit kinds of a point in the grid (HitTest).
enum GXHitKind : int {
    GX_NOHIT = 0,
    GX_VERTLINE = 1,       // column border: resize this column
    GX_HORZLINE = 2,       // row border: resize this row
    GX_CELLHIT = 3,        // data cell
    GX_HEADERHIT = 4,      // header cell
    GX_SELEDGEHIT = 5,     // selection frame
    GX_FILLHANDLEHIT = 6,  // fill handle
    GX_VERTHIDDEN = 7,     // border of hidden columns
    GX_HORZHIDDEN = 8,     // border of hidden rows
};

// Bits of the parameter object's row- and column-resize masks as the hit test reads them.
enum : WORD {
    GX_TRACK_INDIVIDUAL = 0x01,
    GX_TRACK_EXTHITTEST = 0x02,
    GX_TRACK_NOTHEADER = 0x08,
    GX_TRACK_ALL = 0x04,  // resize anywhere, not only in the headers
};

// Private messages of the grid window.
enum : UINT {
    WM_GX_QUERYCELL = 0x790,
    WM_GX_TABNAME = 0x791,
    WM_GX_VALIDATE = 0x792,
    WM_GX_RECORDNAV = 0x7A3,
    WM_GX_LOCKREDRAW = 0x7CB,
};

// ValidateCellChange: may the old cell be left (its control validates), or may the target
// become current.
enum : int { GX_VALIDATE_LEAVE = 0, GX_VALIDATE_TARGET = 1 };

// ProcessKeyMessage: the key comes from the current cell's control, which has seen it.
enum : UINT { GX_KEY_FROMCONTROL = 0x01 };

// Cursor resources of the grid (the system's sizing cursors stand in for missing ones).
enum : UINT {
    GX_IDC_HEIGHT_COL = 20190,
    GX_IDC_HEIGHT_ROW = 20191,
    GX_IDC_HIDDEN_COL = 20192,
    GX_IDC_HIDDEN_ROW = 20193,
    GX_IDC_SELDRAG = 20194,
    GX_IDC_SELCOL = 20195,
    GX_IDC_SELROW = 20196,
    GX_IDC_FILLHANDLE = 20209,
};

// The UTF-8 text of a character code of WM_CHAR.
CString GXCodePointToUtf8(UINT nChar);

// The parameters of a find or replace in a cell.
struct GXFindReplaceParams {
    CString strFind;  // upper-cased by the caller unless bMatchCase
    CString strReplace;
    BOOL bMatchCase = FALSE;
    const CGXStyle* pStyle = nullptr;  // else the cell's composed style
};

// The one find-and-replace state all grids of the process share.
class GridFindReplaceState {
public:
    static GridFindReplaceState& Get();
    // The search text: the find text, upper-cased unless the search matches case.
    void PrepareSearchText();
    // The dialog goes with the grid window that opened it.
    void OnGridWindowDestroyed(HWND hGridWnd);

    // The grid goes: it is no longer the search target.
    void OnGridDestroyed(const CGXGridCore* pGrid);
    // The parameters a control's search of one cell takes.
    GXFindReplaceParams MakeParams() const;

    HWND m_hDialog = nullptr;
    BOOL m_bFindOnly = FALSE;
    CString m_strFind;
    CString m_strSearch;
    CString m_strReplace;
    BOOL m_bCaseSensitive = FALSE;
    BOOL m_bSearchDown = TRUE;
    BOOL m_bTransaction = FALSE;  // Replace All runs as one undo step
    HWND m_hOwner = nullptr;
    const CGXStyle* m_pStyle = nullptr;  // the style of the cell a control is searching
    CGXGridCore* m_pTarget = nullptr;    // the grid that last opened the dialog
};

// The cell-tip provider interface of the controls (text and bitmap tips).
class CGXCellTipBase;

class CGXGridCore {
public:
    CGXGridCore(CWnd* pGridWnd = nullptr, CDocument* pDocument = nullptr, BOOL bIsViewContext = FALSE);
    CGXGridCore(const CGXGridCore&) = delete;
    CGXGridCore& operator=(const CGXGridCore&) = delete;

    // ---- The object: links, parameter object, initialisation -------------------------------
    virtual ~CGXGridCore();
    virtual void SetPrinting(BOOL bPrint, BOOL bClientToRect = FALSE);
    virtual void SetDocumentModified(BOOL bModified = TRUE);
    virtual void PrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
    virtual void UpdateAllViewsOfDocument(CWnd* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);
    virtual void Initialize();
    virtual void Activate(BOOL bActivate);
    virtual BOOL SendHint(CObject* pHint);
    // A hint another view of the document sent: applied without being sent again.
    virtual BOOL ProcessHint(CObject* pHint);

    // A null param creates a new CGXGridParam. The previous object is deleted when owned.
    void AttachParam(CGXGridParam* pParam, BOOL bOwn = TRUE);
    CGXGridParam* GetParam() const { return m_pParam; }
    // Whether the parameter object is of pClass, from its class kept when it was attached:
    // asked for every cell, and an object's class is fixed for its life.
    BOOL ParamIsKindOf(const CRuntimeClass* pClass) const { return m_pParamClass && m_pParamClass->IsDerivedFrom(pClass); }
    CGXGridParam* ParamObject() const { return m_pParam; }
    BOOL IsParamOwned() const { return m_bOwnParam; }
    CWnd* GetGridWnd() const { return m_pGridWnd; }
    void SetGridWnd(CWnd* pWnd, CDocument* pDocument = nullptr, BOOL bIsViewContext = FALSE);
    CDocument* GetDocument() const { return m_pDocument; }
    BOOL IsInitialized() const { return m_bInitDone; }
    BOOL IsPrinting() const { return m_bPrinting; }
    CGXLibraryData* GetAppData() const { return m_pAppData; }
    CGXStylesMap* GetStylesMap() const { return m_pParam ? m_pParam->GetStylesMap() : nullptr; }
    CGXProperties* GetProperties() const { return m_pParam ? m_pParam->GetProperties() : nullptr; }
    CGXData* GetData() const { return m_pParam ? m_pParam->GetData() : nullptr; }
    // The page rectangle while printing, else the override, else the client rectangle.
    CRect GetDrawingArea() const;
    void SetDrawingAreaOverride(const CRect* pRect);
    void EnableUpdateHints(BOOL b = TRUE) { m_bHintsEnabled = b; }
    BOOL IsUpdateHintsEnabled() const { return m_bHintsEnabled; }
    BOOL GetTrackingState(int& nMode, ROWCOL& nRowCol) const;
    CWnd* FindRegisteredParent() const;
    // The grid deletes the object (a feature object or anything else) with itself.
    template <class T>
    void AddImpToDeleteList(T* p)
    {
        if (p)
            m_deleteList.push_front([p] { delete p; });
    }
    size_t GetDeleteListCount() const { return m_deleteList.size(); }
    void AddPlugin(CGXPluginComponent* pPlugin);
    const std::vector<CGXPluginComponent*>& GetPlugins() const { return m_plugins; }

    // ---- Styles: composition, caches and storage --------------------------------------------
    virtual BOOL ApplyStyleToRange(const CGXCellRange& range, const CGXStyle* pStyle, int mt = gxOverride, int nType = 0,
                                   CObArray* pCellsArray = nullptr, UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual BOOL FetchStoredStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mt, int nType);
    // New array of copies of the stored styles, row by row; null entries where none is stored.
    virtual CObArray* CollectRangeStyles(const CGXCellRange& range, int nType, CGXLongOperation* pOp);
    virtual const CGXStyle& GetCellStyleCached(ROWCOL nRow, ROWCOL nCol);
    virtual void ComposeCellStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bApplyStandard = TRUE);
    virtual BOOL StoreCellStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType);
    virtual void RedrawRange(const CGXCellRange& range, const CGXStyle* pStyle, int mt, int nType, UINT flags,
                             BOOL bSendHint);
    virtual CGXStyle* NewScratchStyle();
    virtual void RecycleStyle(CGXStyle* pStyle);
    virtual BOOL ChangeStylesMap(const CGXStylesMap& map, UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual BOOL OnStylesMapChanged(UINT flags, BOOL bSendHint);
    virtual BOOL ChangeProperties(const CGXProperties& props, UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual BOOL RedrawWithHint(UINT flags, BOOL bSendHint);
    virtual BOOL ChangeBaseStyle(WORD wStyleId, const CGXStyle& style, int mt = gxOverride, UINT flags = GX_UPDATENOW,
                                 int ctCmd = gxDo);
    virtual void OnBaseStyleChanged(WORD wStyleId, UINT flags, BOOL bSendHint);
    virtual BOOL StoreCellDisplayText(ROWCOL nRow, ROWCOL nCol, LPCTSTR pszText, UINT flags = GX_UPDATENOW,
                                      const CGXStyle* pStyle = nullptr);
    // The control of a control id (0: the default control), made by the factory on first use.
    virtual CGXControl* GetRegisteredControl(WORD nID);
    virtual BOOL SetValueRange(const CGXCellRange& range, LPCTSTR pszValue, int mt = gxOverride, int nType = 0,
                               UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    BOOL SetRangeValueText(const CGXCellRange& range, LPCTSTR pszValue, int mt, int nType, UINT flags)
    {
        return SetValueRange(range, pszValue, mt, nType, flags);
    }
    BOOL StoreValueText(ROWCOL nRow, ROWCOL nCol, LPCTSTR pszText, UINT flags = GX_UPDATENOW,
                        const CGXStyle* pStyle = nullptr)
    {
        return StoreCellDisplayText(nRow, nCol, pszText, flags, pStyle);
    }
    BOOL SetStyleRange(const CGXCellRange& range, const CGXStyle& style, int mt = gxOverride, int nType = 0,
                       UINT flags = GX_UPDATENOW)
    {
        return ApplyStyleToRange(range, &style, mt, nType, nullptr, flags, gxDo);
    }
    CGXStyle* LookupStandardStyle();
    CGXStyle* LookupRowHeaderStyle();
    CGXStyle* LookupColumnHeaderStyle();
    // Throws CNotSupportedException for an unknown id.
    CGXStyle& LookupBaseStyle(WORD wStyleId);
    BOOL ModifyStandardStyle(const CGXStyle& style, int mt = gxOverride, UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    BOOL ModifyRowHeaderStyle(const CGXStyle& style, int mt = gxOverride, UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    BOOL ModifyColumnHeaderStyle(const CGXStyle& style, int mt = gxOverride, UINT flags = GX_UPDATENOW,
                                 int ctCmd = gxDo);
    const CString& CellValueText(ROWCOL nRow, ROWCOL nCol);
    const CString& StoredCellValueText(ROWCOL nRow, ROWCOL nCol);
    // Replaces (and deletes) a control registered under the id.
    void RegisterControl(WORD nID, CGXControl* pControl, BOOL bDefault = FALSE, BOOL bRegisterName = TRUE);
    // Tells the data store that a range changes, unless a range store already did.
    void AnnounceRangeToData(const CGXCellRange& range);
    size_t GetRecycledStyleCount() const { return m_freeStyles.size(); }
    size_t GetCachedStyleCount() const { return m_styleCache.size(); }

    // ---- Structure: counts, rows and columns, frozen and header rows, sorting --------------
    virtual BOOL SetRowCount(ROWCOL nRows, UINT flags = GX_UPDATENOW);
    virtual BOOL SetColCount(ROWCOL nCols, UINT flags = GX_UPDATENOW);
    virtual ROWCOL RowCount();
    virtual ROWCOL ColCount();
    virtual BOOL StoreRowCount(ROWCOL nRows);
    virtual BOOL StoreColCount(ROWCOL nCols);
    virtual void UpdateRowCount(ROWCOL nOldRows, UINT flags, BOOL bCreateHint);
    virtual void UpdateColCount(ROWCOL nOldCols, UINT flags, BOOL bCreateHint);
    virtual BOOL RemoveRows(ROWCOL nFromRow, ROWCOL nToRow, UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual BOOL RemoveCols(ROWCOL nFromCol, ROWCOL nToCol, UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual BOOL MoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual BOOL MoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual BOOL InsertRows(ROWCOL nRow, ROWCOL nCount, int* anHeights = nullptr, CObArray* pCellsArray = nullptr,
                            CObArray* pRowsArray = nullptr, ROWCOL nColCount = 0, UINT flags = GX_UPDATENOW,
                            int ctCmd = gxDo);
    virtual BOOL InsertCols(ROWCOL nCol, ROWCOL nCount, int* anWidths = nullptr, CObArray* pCellsArray = nullptr,
                            CObArray* pColsArray = nullptr, ROWCOL nRowCount = 0, UINT flags = GX_UPDATENOW,
                            int ctCmd = gxDo);
    virtual BOOL StoreInsertRows(ROWCOL nRow, ROWCOL nCount, BOOL bForce = FALSE);
    virtual BOOL StoreInsertCols(ROWCOL nCol, ROWCOL nCount, BOOL bForce = FALSE);
    virtual BOOL StoreRemoveRows(ROWCOL nFromRow, ROWCOL nToRow, BOOL bForce = FALSE);
    virtual BOOL StoreRemoveCols(ROWCOL nFromCol, ROWCOL nToCol, BOOL bForce = FALSE);
    virtual BOOL StoreMoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, BOOL bForce = FALSE);
    virtual BOOL StoreMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, BOOL bForce = FALSE);
    virtual void UpdateInsertRows(ROWCOL nRow, ROWCOL nCount, UINT flags, BOOL bCreateHint);
    virtual void UpdateInsertCols(ROWCOL nCol, ROWCOL nCount, UINT flags, BOOL bCreateHint);
    virtual void UpdateRemoveRows(ROWCOL nFromRow, ROWCOL nToRow, int* anOldHeights, UINT flags, BOOL bCreateHint);
    virtual void UpdateRemoveCols(ROWCOL nFromCol, ROWCOL nToCol, int* anOldWidths, UINT flags, BOOL bCreateHint);
    virtual void UpdateMoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, UINT flags, BOOL bCreateHint);
    virtual void UpdateMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, UINT flags, BOOL bCreateHint);
    virtual BOOL SetFrozenRows(ROWCOL nFrozenRows, ROWCOL nHeaderRows = 0, UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual BOOL SetFrozenCols(ROWCOL nFrozenCols, ROWCOL nHeaderCols = 0, UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual ROWCOL FrozenRows();
    virtual ROWCOL FrozenCols();
    virtual ROWCOL HeaderRows();
    virtual ROWCOL HeaderCols();
    virtual BOOL StoreFrozenRows(ROWCOL nFrozenRows, ROWCOL nHeaderRows);
    virtual BOOL StoreFrozenCols(ROWCOL nFrozenCols, ROWCOL nHeaderCols);
    virtual void OnFrozenRowsChanged(ROWCOL nOldFrozenRows, ROWCOL nOldHeaderRows);
    virtual void OnFrozenColsChanged(ROWCOL nOldFrozenCols, ROWCOL nOldHeaderCols);
    virtual BOOL SortRows(const CGXCellRange& range, const CGXSortInfoArray& sortInfo, UINT flags = GX_UPDATENOW);
    virtual BOOL SortCols(const CGXCellRange& range, const CGXSortInfoArray& sortInfo, UINT flags = GX_UPDATENOW);
    virtual void GetSortKey(ROWCOL nRowCol, ROWCOL nKey, const GXSortInfo& info, CString& sKey, BOOL bRows);
    virtual BOOL MoveDataRows(const CGXCellRange& range, const CDWordArray& order, UINT flags = GX_UPDATENOW,
                              int ctCmd = gxDo);
    virtual BOOL MoveDataCols(const CGXCellRange& range, const CDWordArray& order, UINT flags = GX_UPDATENOW,
                              int ctCmd = gxDo);
    virtual BOOL StoreMoveDataRows(const CGXCellRange& range, const CDWordArray& order);
    virtual BOOL StoreMoveDataCols(const CGXCellRange& range, const CDWordArray& order);
    virtual void UpdateMoveDataRows(const CGXCellRange& range, UINT flags, BOOL bCreateHint);
    virtual void UpdateMoveDataCols(const CGXCellRange& range, UINT flags, BOOL bCreateHint);
    virtual BOOL CanSortRows(const CGXCellRange& range);
    virtual BOOL CanSortCols(const CGXCellRange& range);
    virtual BOOL SortRowsByHeader(ROWCOL nCol);
    virtual BOOL SetTopRow(ROWCOL nRow, UINT flags = GX_SMART, BOOL bCreateHint = FALSE);
    virtual BOOL SetLeftCol(ROWCOL nCol, UINT flags = GX_SMART, BOOL bCreateHint = FALSE);
    virtual BOOL CanDragRows(ROWCOL nFirst, ROWCOL nLast);
    virtual BOOL CanDragCols(ROWCOL nFirst, ROWCOL nLast);
    virtual BOOL CanDropRows(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest);
    virtual BOOL CanDropCols(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest);
    virtual BOOL CanStartMouseSelectionRows(ROWCOL nRow);
    virtual BOOL CanStartMouseSelectionCols(ROWCOL nCol);
    virtual BOOL ConfirmDropRows(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest);
    virtual BOOL ConfirmDropCols(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest);
    virtual BOOL CanStartFill(const CGXCellRange& range);
    virtual BOOL CanFillRange(const CGXCellRange& source, const CGXCellRange& target);
    // The freeze commands: the selected whole rows (columns) go to the front and are frozen.
    virtual BOOL CanFreezeRows();
    virtual BOOL CanUnfreezeRows();
    virtual void FreezeRows();
    virtual void UnfreezeRows();
    virtual BOOL CanFreezeCols();
    virtual BOOL CanUnfreezeCols();
    virtual void FreezeCols();
    virtual void UnfreezeCols();
    BOOL IsInFrozenRows(ROWCOL nRow);
    BOOL IsInFrozenCols(ROWCOL nCol);
    void RedrawHeaders();
    // Formula support: forwarded to the data store, which does nothing in a plain store.
    BOOL RecalcAndRefresh(BOOL bRefresh = TRUE, CString* pErrorText = nullptr, BOOL bSendHint = TRUE);
    void RequestRecalc(int nValue);
    // One cell brought up to date: true when its value changed since it was last shown.
    BOOL EvaluateCellOfData(ROWCOL nRow, ROWCOL nCol);
    void CellShownToData(ROWCOL nRow, ROWCOL nCol);
    // The data store's error text (a bad formula), and clearing it.
    BOOL GetDataErrorText(CString& sText);
    void ResetDataError();
    void RedrawChangedCells();

    // ---- Sizes, zoom and coordinates ----------------------------------------------------------
    virtual BOOL SetRowHeights(ROWCOL nFromRow, ROWCOL nToRow, int nHeight, const int* anHeights = nullptr,
                               UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual BOOL SetColWidths(ROWCOL nFromCol, ROWCOL nToCol, int nWidth, const int* anWidths = nullptr,
                              UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual BOOL ChangeDefaultRowHeight(int nHeight, UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual BOOL ChangeDefaultColWidth(int nWidth, UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual int RowHeight(ROWCOL nRow);
    virtual int ColWidth(ROWCOL nCol);
    virtual int DefaultRowHeight();
    virtual int DefaultColWidth();
    virtual BOOL HideRows(ROWCOL nFromRow, ROWCOL nToRow, BOOL bHide = TRUE, BOOL* abHideArray = nullptr,
                          UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual BOOL HideCols(ROWCOL nFromCol, ROWCOL nToCol, BOOL bHide = TRUE, BOOL* abHideArray = nullptr,
                          UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual BOOL StoreHideRow(ROWCOL nRow, BOOL bHide);
    virtual BOOL StoreHideCol(ROWCOL nCol, BOOL bHide);
    virtual BOOL IsRowHidden(ROWCOL nRow);
    virtual BOOL IsColHidden(ROWCOL nCol);
    virtual BOOL SetDefaultRowHeight(int nHeight);
    virtual BOOL SetDefaultColWidth(int nWidth);
    virtual BOOL StoreColWidth(ROWCOL nCol, int nWidth);
    virtual BOOL StoreRowHeight(ROWCOL nRow, int nHeight);
    virtual void OnColWidthsChanged(ROWCOL nFromCol, ROWCOL nToCol, int* anOldWidths, UINT flags, BOOL bCreateHint);
    virtual void OnRowHeightsChanged(ROWCOL nFromRow, ROWCOL nToRow, int* anOldHeights, UINT flags, BOOL bCreateHint);
    virtual int VertFontUnit();
    virtual int HorzFontUnit();
    virtual int HitTest(CPoint point, ROWCOL* pnRow = nullptr, ROWCOL* pnCol = nullptr, CRect* pRectHit = nullptr);
    virtual int HitTestFrame(ROWCOL nRow, ROWCOL nCol, CPoint point, const CRect& rectCell);
    virtual BOOL OnStartTracking(ROWCOL nRow, ROWCOL nCol, int nTrackingMode, CPoint point);
    virtual BOOL OnMoveTracking(ROWCOL nRow, ROWCOL nCol, int nTrackingMode, CPoint point);
    virtual BOOL OnEndTracking(ROWCOL nRow, ROWCOL nCol, int nTrackingMode, CPoint point);
    virtual void OnCancelTracking();
    virtual BOOL CanResizeRow(ROWCOL nRow);
    virtual BOOL CanResizeCol(ROWCOL nCol);
    virtual BOOL AcceptRowHeight(ROWCOL nRow, int nHeight);
    virtual BOOL AcceptColWidth(ROWCOL nCol, int nWidth);
    virtual void SetZoom(int nZoom, UINT flags = GX_UPDATENOW);
    virtual void SetReadOnly(BOOL bReadOnly = TRUE);
    virtual int ZoomPercent();
    virtual BOOL IsReadOnly();
    virtual BOOL StoreZoom(int nZoom, BOOL bCreateHint = TRUE);
    virtual BOOL StoreReadOnly(BOOL bReadOnly);
    virtual void OnZoomChanged(int nOldZoom, UINT flags);
    virtual void OnReadOnlyChanged(BOOL bOldReadOnly, BOOL bCreateHint);
    BOOL HasUserResizeFeature() const { return m_pUserResizeCellsImp != nullptr; }
    int GetZoom() { return ZoomPercent(); }
    void FillRowHeights(ROWCOL nFromRow, ROWCOL nToRow, int* anHeights);
    void FillColWidths(ROWCOL nFromCol, ROWCOL nToCol, int* anWidths);
    // Sums of sizes, stopping once a non-zero limit is passed. A grid that overrides RowHeight
    // (ColWidth) with a rule beyond the stored sizes and hidden bits overrides these too.
    virtual int SumRowHeights(ROWCOL nFromRow, ROWCOL nToRow, int nLimit = 0);
    virtual int SumColWidths(ROWCOL nFromCol, ROWCOL nToCol, int nLimit = 0);
    int ViewRowsHeightSum(ROWCOL nFromIndex, ROWCOL nToIndex, int nLimit = 0);
    int ViewColsWidthSum(ROWCOL nFromIndex, ROWCOL nToIndex, int nLimit = 0);
    ROWCOL RowToViewIndex(ROWCOL nRow);
    ROWCOL ColToViewIndex(ROWCOL nCol);
    ROWCOL ViewIndexToRow(ROWCOL nIndex);
    ROWCOL ViewIndexToCol(ROWCOL nIndex);
    // The view index under y (x), GX_INVALID beyond the last row (column); optionally its edge.
    ROWCOL ViewRowAtY(int y, int* pTop = nullptr);
    ROWCOL ViewColAtX(int x, int* pLeft = nullptr);
    int RowTopY(ROWCOL nRow);
    int ColLeftX(ROWCOL nCol);
    ROWCOL LastRowInRect(const CRect& rect);
    ROWCOL LastColInRect(const CRect& rect);
    ROWCOL LastRowInRectEx(const CRect& rect, BOOL& bLastRowVisible);
    ROWCOL LastColInRectEx(const CRect& rect, BOOL& bLastColVisible);
    void LastCellInRect(const CRect& rect, ROWCOL& nRow, ROWCOL& nCol);
    ROWCOL LastVisibleRow();
    ROWCOL LastVisibleCol();
    CRect CellToRect(ROWCOL nRow, ROWCOL nCol);
    CRect CoveredRangeToRect(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight);
    CRect SpannedCellToRect(ROWCOL nRow, ROWCOL nCol);
    CRect SpannedRangeToRect(const CGXCellRange& range);
    CRect RangeToRect(const CGXCellRange& range, BOOL bWide = FALSE);
    int AreaBelowRow(ROWCOL nRow);
    int AreaRightOfCol(ROWCOL nCol);
    // Sizes in pixels from and to the stored unit.
    LONG PixelsToStoredHeight(int nPixels);
    LONG PixelsToStoredWidth(int nPixels);
    int StoredToPixelsHeight(LONG nStored);
    int StoredToPixelsWidth(LONG nStored);
    // Forgets the cached running sizes and last visible row and column.
    void ResetSizeCaches();
    BOOL GetLimitRowHeightToWindow() const { return m_bLimitRowHeight; }
    void SetLimitRowHeightToWindow(BOOL b) { m_bLimitRowHeight = b; }
    void SetLimitColWidthToWindow(BOOL b) { m_bLimitColWidth = b; }

    // ---- Private messages ---------------------------------------------------------------------
    virtual LRESULT OnGridRecordNav(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnGridValidate(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnGridQueryCell(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnGridTabName(WPARAM wParam, LPARAM lParam);
    virtual void NotifyGridListeners();
    // wParam non-zero locks drawing; unlocking repaints the whole window.
    LRESULT OnGridLockRedraw(WPARAM wParam, LPARAM lParam);

    // ---- Selection and spans -------------------------------------------------------------------
    virtual BOOL GetSelectedRanges(CGXRangeList& list, BOOL bIncludeCurrentCell = FALSE);
    virtual void SetSelection(const CGXCellRange* pRange, UINT flags = GX_UPDATENOW);
    virtual void ClearRangeSelection(UINT flags = GX_UPDATENOW);
    // The selection's ranges; with nothing selected, the current cell when bUseCurrentCell.
    virtual BOOL CopySelectionRanges(CGXRangeList& list, BOOL bUseCurrentCell);
    // The selected row (column) numbers in order; the count written.
    virtual ROWCOL CollectSelectedRows(CDWordArray& rows, BOOL bOnlyWhole = FALSE, BOOL bUseCurrentCell = TRUE);
    virtual ROWCOL CollectSelectedCols(CDWordArray& cols, BOOL bOnlyWhole = FALSE, BOOL bUseCurrentCell = TRUE);
    // The selected rows (columns) as intervals, firsts and lasts included.
    virtual BOOL SelectedRowIntervals(CDWordArray& firsts, CDWordArray& lasts, BOOL bOnlyWhole = FALSE,
                                      BOOL bUseCurrentCell = TRUE);
    virtual BOOL SelectedColIntervals(CDWordArray& firsts, CDWordArray& lasts, BOOL bOnlyWhole = FALSE,
                                      BOOL bUseCurrentCell = TRUE);
    virtual BOOL OnStartSelection(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual BOOL OnMoveSelection(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual BOOL OnEndSelection(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual BOOL LockExcelLikeFrame(BOOL bHide);
    virtual void UpdateExcelLikeFrame(const CGXCellRange& range, UINT flags);
    virtual void DrawExcelLikeFrame(CDC* pDC);
    virtual BOOL CanSelectRange(const CGXCellRange& range, UINT flags = 0);
    virtual BOOL OnStartFill(ROWCOL nRow, ROWCOL nCol);
    virtual void HideFillHandle();
    virtual BOOL GetCoveredCellsRowCol(ROWCOL nRow, ROWCOL nCol, CGXCellRange& range);
    virtual BOOL SetCoveredCellsRowCol(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                                       UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    virtual BOOL StoreCoveredCellsRowCol(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, BOOL bSet);
    virtual void QueueFloatCellsRange(const CGXCellRange& range, int nDirection = -1);
    virtual BOOL ResolveFloatCells(const CGXCellRange& range, BOOL b1 = TRUE, BOOL b2 = FALSE, BOOL b3 = FALSE);
    virtual BOOL FloatSpanOfCell(ROWCOL nRow, ROWCOL nCol, CGXCellRange& range);
    virtual void RefloatAfterStore(ROWCOL nRow, ROWCOL nCol);
    virtual void RedrawFloatSpan(ROWCOL nRow, ROWCOL nCol, UINT flags, BOOL bCreateHint);
    virtual void QueueMergeCellsRange(const CGXCellRange& range, int nDirection = -1);
    virtual BOOL ResolveMergeCells(const CGXCellRange& range, BOOL b1 = TRUE, BOOL b2 = FALSE, BOOL b3 = FALSE);
    virtual BOOL MergeSpanOfCell(ROWCOL nRow, ROWCOL nCol, CGXCellRange& range);
    virtual void RemergeAfterStore(ROWCOL nRow, ROWCOL nCol);
    virtual void RedrawMergeSpan(ROWCOL nRow, ROWCOL nCol, UINT flags, BOOL bCreateHint);
    virtual BOOL GetFloatCellsMode();
    virtual BOOL GetMergeCellsMode();
    // The covering, merged or floating span that holds the cell; false when none.
    virtual BOOL SpanOfCell(ROWCOL nRow, ROWCOL nCol, CGXCellRange& range);
    // Lets the spanned-cell drawing evaluate the floating and merged spans pending in a range of
    // what the grid shows; true when a span changed.
    virtual BOOL EvaluateSpans(const CGXCellRange& range, UINT flags = 0);
    GXPaneBounds GetPaneBounds();

    // ---- Find, replace and undo ------------------------------------------------------------------
    virtual void OnTextNotFound(LPCTSTR pszFind);
    virtual void FindReplaceDialog(BOOL bFind);
    virtual BOOL FindText(BOOL bSetCell = TRUE);
    virtual BOOL SearchCells(ROWCOL& nRow, ROWCOL& nCol, BOOL bSetCell = TRUE);
    // Repeats the last search from the current cell; FALSE when no search could run.
    virtual BOOL FindAgain();
    virtual LRESULT OnFindReplace(WPARAM wParam, LPARAM lParam);
    virtual BOOL Undo();
    virtual BOOL Redo();
    virtual void BeginTransaction(LPCTSTR pszName);
    virtual void CommitTransaction();
    virtual void Rollback();
    virtual BOOL CanUndo(CCmdUI* pCmdUI);
    virtual BOOL CanRedo(CCmdUI* pCmdUI);
    virtual void AddCommand(CGXCommand* pCmd, int ctCmd);
    virtual void RemoveCommand(int ctCmd);
    virtual void SetCurrentCellAfterCommand(ROWCOL nRow, ROWCOL nCol, BOOL bSetCurrent);
    virtual BOOL ExecuteCommand(CGXCommand* pCmd, int ctCmd);
    virtual BOOL SetAdvancedUndo(BOOL bAdvanced);
    virtual CObject* GetAdvancedUndoInfo();
    virtual BOOL UndoAdvanced(CObject* pInfo, BOOL b1, BOOL b2);
    virtual void CleanAdvancedUndo();

    // ---- Scrolling ----------------------------------------------------------------------------
    virtual BOOL ScrollToCell(ROWCOL nRow, ROWCOL nCol, int nMode = 2, BOOL bUpdate = TRUE);
    virtual BOOL ScrollCells(int nDirection, ROWCOL nCount, UINT flags = GX_SMART);
    virtual void UpdateScrollBars(BOOL bRedraw = TRUE, BOOL bOnlyIfDimChanged = FALSE);
    virtual void SetScrollBarMode(int nBar, int nMode, BOOL bRedraw = TRUE);
    virtual int GetScrollBarMode(int nBar);
    virtual BOOL ScrollWithHint(int nDirection, ROWCOL nCount, UINT flags, BOOL bCreateHint);
    virtual void ScrollWindowContents(int dx, int dy, const CRect* pRect);
    virtual BOOL CanChangeTopRow(ROWCOL nRow);
    virtual BOOL CanChangeLeftCol(ROWCOL nCol);
    virtual void SetGridScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE);
    virtual int GetGridScrollPos(int nBar);
    virtual void SetGridScrollRange(int nBar, int nMin, int nMax, BOOL bRedraw = TRUE);
    virtual void GetGridScrollRange(int nBar, int& nMin, int& nMax);
    virtual void StartAutoScroll(BOOL bVert, BOOL bHorz, int nDirection = -1);
    virtual void LockScrollBars(BOOL bLock);
    ROWCOL GetTopRow() const { return m_nTopRow; }
    ROWCOL GetLeftCol() const { return m_nLeftCol; }
    // The first row (column) of the last page: the top row (left column) that shows the end.
    ROWCOL LastPageTopRow();
    ROWCOL LastPageLeftCol();
    // The scroll-bar position (scaled units) as a row or column, the inverse of GetGridScrollPos.
    ROWCOL ThumbPositionToRow(int nPos);
    // The last row (column) shown whole.
    ROWCOL LastFullyVisibleRow() { return LastFullyVisible(TRUE); }
    ROWCOL LastFullyVisibleCol() { return LastFullyVisible(FALSE); }
    ROWCOL ThumbPositionToCol(int nPos);
    int GetScrollScale(int nBar) const;
    BOOL IsScrolling() const { return m_bScrolling; }
    // Hosts whose window is hidden while it is set up still want their bars kept.
    BOOL m_bForceScrollBarUpdate = FALSE;

    // ---- Current cell and keys -------------------------------------------------------------------
    virtual BOOL PlaceCurrentCell(ROWCOL nRow, ROWCOL nCol, UINT flags = 0x0A);
    virtual BOOL StoreCurrentCellEdit(BOOL bSave = TRUE, UINT flags = GX_UPDATENOW, BOOL bCreateHint = TRUE);
    virtual BOOL FindNextEnabledCell(ROWCOL& nRow, ROWCOL& nCol, int nDirection);
    virtual BOOL ProcessKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags = 0);
    virtual BOOL MoveCurrentCell(int nDirection, UINT nCount = 1, BOOL bSelect = FALSE);
    virtual BOOL ReleaseCurrentCell(BOOL bCommit = TRUE);
    virtual void HideCurrentCellControl();
    virtual void SetWarningText(LPCTSTR pszText);
    virtual void ShowWarningText(ROWCOL nRow, ROWCOL nCol);
    // Moves by key: the user-select feature does it (Shift extends the selection), else MoveCurrentCell.
    virtual BOOL MoveCurrentCellBy(int nDirection, int nCount = 1, UINT flags = 0);
    // The control notifications, called with the control's cell.
    virtual BOOL OnValidateCell(ROWCOL nRow, ROWCOL nCol);
    virtual BOOL OnStartEditing(ROWCOL nRow, ROWCOL nCol);
    virtual BOOL OnModifyCell(ROWCOL nRow, ROWCOL nCol);
    virtual BOOL OnCancelEditing(ROWCOL nRow, ROWCOL nCol);
    virtual void OnCanceledEditing(ROWCOL nRow, ROWCOL nCol);
    virtual BOOL OnEndEditing(ROWCOL nRow, ROWCOL nCol);
    virtual BOOL OnLeftCell(ROWCOL nRow, ROWCOL nCol, ROWCOL nNewRow, ROWCOL nNewCol);
    virtual BOOL OnDeleteCell(ROWCOL nRow, ROWCOL nCol);
    virtual void MouseOverCell(ROWCOL nRow, ROWCOL nCol);
    virtual void OnMouseEnterCell(ROWCOL nRow, ROWCOL nCol);
    // GX_VALIDATE_LEAVE: the old cell's control validates its text; GX_VALIDATE_TARGET: the cell
    // lies in the grid and is enabled.
    virtual BOOL ValidateCellChange(ROWCOL nRow, ROWCOL nCol, int nMode = GX_VALIDATE_TARGET, ROWCOL nOldRow = GX_INVALID,
                                    ROWCOL nOldCol = GX_INVALID);
    virtual BOOL ScrollBy(int nRows, int nCols);
    virtual BOOL OnLeftCellClick(ROWCOL nRow, ROWCOL nCol, UINT flags);
    virtual BOOL OnMiddleCellClick(ROWCOL nRow, ROWCOL nCol, UINT flags);
    virtual BOOL OnRightCellClick(ROWCOL nRow, ROWCOL nCol, UINT flags);
    virtual BOOL OnLeftCellDoubleClick(ROWCOL nRow, ROWCOL nCol, UINT flags);
    virtual BOOL OnMiddleCellDoubleClick(ROWCOL nRow, ROWCOL nCol, UINT flags);
    virtual BOOL OnRightCellDoubleClick(ROWCOL nRow, ROWCOL nCol, UINT flags);
    virtual BOOL OnCellButtonClicked(ROWCOL nRow, ROWCOL nCol);
    // Object cells belong to record-browser grids, which may also replace the viewer chosen for
    // a cell's viewer type id (-1 when the cell names none).
    virtual BOOL IsRecordBrowserGrid() const { return FALSE; }
    virtual CGXOleViewer* GetCellViewer(ROWCOL nRow, ROWCOL nCol, int nTypeId, CGXOleViewer* pViewer)
    {
        (void)nRow; (void)nCol; (void)nTypeId;
        return pViewer;
    }
    // Record grids may keep the picture block of a binary cell between drawings: the block kept
    // for a cell (null: none), and the offer of a new one (FALSE: not kept, the caller frees it).
    virtual HGLOBAL GetKeptCellBitmap(ROWCOL nRow, ROWCOL nCol) { (void)nRow; (void)nCol; return nullptr; }
    virtual BOOL OfferCellBitmap(ROWCOL nRow, ROWCOL nCol, HGLOBAL hBlock) { (void)nRow; (void)nCol; (void)hBlock; return FALSE; }
    virtual void OnInitCurrentCell(ROWCOL nRow, ROWCOL nCol);
    virtual BOOL OnLeftCellMouse(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual BOOL OnMiddleCellMouse(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual BOOL OnRightCellMouse(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual CGXControl* ControlOfCell(ROWCOL nRow, ROWCOL nCol);
    // Called by a control's InitForCell: remembers the cell, tells OnChangedCurrentCell of a new one.
    void OnControlInitialized(ROWCOL nRow, ROWCOL nCol);
    virtual void OnChangedCurrentCell(ROWCOL nRow, ROWCOL nCol);
    BOOL IsCurrentCellAt(ROWCOL nRow, ROWCOL nCol, BOOL bIgnorePrinting = FALSE) const;
    BOOL QueryCurrentCell(ROWCOL& nRow, ROWCOL& nCol) const;
    BOOL QueryCurrentCellRef(ROWCOL& nRow, ROWCOL& nCol, BOOL bIgnorePrinting = FALSE) const;
    BOOL IsCurrentCellControlActive();
    CGXControl* CurrentCellControl();
    BOOL CurrentCellText(CString& sText);
    BOOL DeactivateCurrentCell(BOOL bStore = TRUE, BOOL bUnused = FALSE);
    BOOL IsChangingCurrentCell() const { return m_bLockCurrentCell; }
    // Drops the cached style of the current cell (and with bControl its remembered control).
    void ResetCurrentCellStyle(BOOL bControl = TRUE);
    // The current cell moved (kind: 1 column, 2 row, 0 both); record grids redraw their headers.
    virtual void OnMovedCurrentCell(ROWCOL nRow, ROWCOL nCol, int nKind, UINT flags);
    void StoreCurrentCellPosition(ROWCOL nRow, ROWCOL nCol);
    void ForgetCurrentCell();
    // Drops a deferred cut's mark and redraws its cells.
    void ClearCutPending();
    BOOL IsWarningShown() const { return m_bWarningShown; }

    // ---- Mouse tracking -------------------------------------------------------------------------
    CWnd* CaptureMouse();
    BOOL HasMouseCapture() const;
    UINT GetMouseTracking() const { return m_nMouseTracking; }

    // ---- Clipboard ----------------------------------------------------------------------------
    virtual BOOL Copy();
    virtual BOOL Paste();
    virtual BOOL Cut();
    virtual BOOL Clear(BOOL bStylesOnly = FALSE);
    virtual BOOL CopyRange(const CGXRangeList& list);
    virtual BOOL CutRange(const CGXRangeList& list, BOOL bStylesOnly = FALSE);
    virtual BOOL ClearCells(const CGXRangeList& list, BOOL bStylesOnly = FALSE);
    virtual BOOL CopyRangesAsText(const CGXRangeList& list);
    virtual BOOL CopyRangesAsStyles(const CGXRangeList& list);
    virtual BOOL CanCopy();
    virtual BOOL CanCut();
    virtual BOOL CanPaste();
    // One-range wrappers over the list operations.
    BOOL CopyRange(const CGXCellRange& range);
    BOOL CutRange(const CGXCellRange& range, BOOL bStylesOnly = FALSE);
    // The rest of the cut-and-paste and clear features (false without them).
    virtual BOOL CanClear();
    virtual BOOL IsClipboardDataAvailable();
    virtual BOOL PasteDirect(const CGXCellRange& target);
    // The clipboard is open.
    virtual BOOL PasteFromClipboard(const CGXCellRange& target);
    virtual BOOL ConfirmSizeMismatch();
    // Text and style exchange: cells as table text and as an archive of styles.
    virtual BOOL CopyTextToFile(CFile& file, const CGXRangeList& list);
    virtual CString GetCopyTextRowCol(ROWCOL nRow, ROWCOL nCol);
    virtual BOOL PasteTextFromBuffer(LPCTSTR psz, DWORD nSize, const CGXCellRange& target);
    virtual BOOL PasteTextRowCol(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT flags, const CGXStyle* pStyle);
    virtual BOOL CalcBufferDimension(LPCTSTR psz, DWORD nSize, ROWCOL& nRows, ROWCOL& nCols);
    virtual BOOL CopyStylesToArchive(CArchive& ar, const CGXRangeList& list, BOOL bComposed);
    virtual BOOL GetCopyStyleRowCol(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bComposed);
    virtual BOOL PasteStylesFromArchive(CArchive& ar, const CGXCellRange& target, BOOL bPasteAnyway);
    // Copying and moving a block inside the grid: the destination has the source's size.
    virtual BOOL CopyCells(const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol, UINT flags = GX_UPDATENOW);
    virtual BOOL StoreCopyCells(const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol);
    // See CGXGridDirectCopyMoveCellsImp::MoveCells for the undo information.
    virtual BOOL MoveCells(const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol, CObject*& pUndoInfo,
                           UINT flags = GX_UPDATENOW, int ctCmd = gxDo);
    BOOL MoveCells(const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol, UINT flags = GX_UPDATENOW)
    {
        CObject* pInfo = nullptr;
        return MoveCells(source, nDestRow, nDestCol, pInfo, flags, gxDo);
    }
    virtual BOOL StoreMoveCells(const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol, CObject*& pUndoInfo,
                                BOOL bRecord, int ctCmd);
    // The fill handle: repeats the source into the target (arguments in this order), and selects it.
    virtual BOOL FillRange(const CGXCellRange& target, const CGXCellRange& source);
    virtual void SelectFillTarget(const CGXCellRange& target);

    // ---- Drawing --------------------------------------------------------------------------------
    virtual void Redraw(UINT flags = GX_UPDATENOW, BOOL bCreateHint = FALSE);
    virtual void RedrawCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, UINT flags = GX_UPDATENOW,
                             BOOL bCreateHint = FALSE);
    virtual void RedrawRect(const CRect& rect, UINT flags = GX_UPDATENOW);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    // Record grids complete their row count here before a move to the last row or column.
    virtual void EnsureCountComplete();
    // Rows up to nRow are about to be needed; a row above 0x7ffffffe asks for all of them.
    // Record grids fetch records here; the core holds its rows already.
    virtual void PrepareRows(ROWCOL nRow);
    // A paint pass is about to draw about nRows x nCols cells from the top row and left column.
    virtual void OnPrepareDrawing(ROWCOL nRows, ROWCOL nCols);
    virtual void OnGridDraw(CDC* pDC);
    virtual void OnGridPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
    virtual void RedrawCurrentCell(UINT flags = GX_UPDATENOW);
    virtual void RefreshCurrentCell();
    virtual void DrawRange(ROWCOL nTopIndex, ROWCOL nLeftIndex, ROWCOL nBottomIndex, ROWCOL nRightIndex, CDC* pDC);
    virtual void DrawCellContent(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect, const CGXStyle& style);
    virtual void DrawBrushRect(CDC* pDC, const CRect& rect, const CGXPackedBrush& brush);
    virtual void DrawBorderLine(CDC* pDC, const CRect& rect, int nBorder, const CGXPackedPen& pen);
    virtual void DrawStyleBorders(CDC* pDC, const CRect& rect, const CGXStyle& style);
    virtual void DrawGridLine(CDC* pDC, int x, int y, int cx, int cy, int nType);
    virtual void DrawPatternLine(CDC* pDC, const CRect& rect, int nType, UINT flags);
    virtual void InvertCell(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect);
    // A cell's rectangle less its borders (and the grid lines with bGridLines).
    virtual CRect CellInnerRect(const CRect& rect, const CGXStyle& style, BOOL bGridLines = TRUE);
    virtual CSize AddBorderSize(const CSize& size, const CGXStyle& style);
    virtual void DrawGridLineMarker(CDC* pDC, int x, int y, int cx, int cy, int nKind, int nIndex, int nMode);
    virtual void FreeGdiCache();
    virtual void ComputeFontUnits();
    virtual void SetGridCursor(UINT nIDCursor);
    virtual UINT CursorForPoint(CPoint point);
    virtual void ForceCursor(UINT nIDCursor);
    void SetCursorResource(UINT nIDCursor) { SetGridCursor(nIDCursor); }
    // The cached font of a packed font at the grid's zoom, made on first use.
    CFont* LookupFont(const CGXFont& font);
    CBrush* LookupBrush(const CGXPackedBrush& brush);
    CPen* LookupPen(const CGXPackedPen& pen);
    // Selects the style's font (the Standard style's where the style has none) at the zoom;
    // answers the DC's previous font.
    CFont* SelectStyleFont(CDC* pDC, const CGXStyle& style, const CGXStyle* pStandardStyle = nullptr);
    CDC* GetMeasureDC();
    void ReleaseMeasureDC();
    BOOL ExchangeResizingFlag(BOOL bResizing);
    void AdjustPrintMargins(CRect& rect);
    void DrawPrintHeaderFooter(CDC* pDC, CPrintInfo* pInfo);
    // Moves the print information's drawing rectangle in by the properties' margins.
    void SubtractMargins(CDC* pDC, CPrintInfo* pInfo);
    // Lets the properties' header/footer handler draw this page's header and footer.
    void PrintHeaderFooter(CDC* pDC, CPrintInfo* pInfo);
    CRect GridLineRect(int nType, int nIndex);
    size_t GetCachedFontCount() const { return m_fontCache.size(); }
    int IsDrawing() const { return m_nDrawingNesting; }
    // Whether cells paint their own background in the running pass.
    BOOL IsPaintingBackground() const;
    // Steps of a pass over the drawing grid.
    virtual void DrawOneCell(CGXDrawingGrid& grid, ROWCOL nRowIndex, ROWCOL nColIndex);
    // Style, border, grid-line and selection flags of one drawn cell (its style may be set).
    void PrepareCell(CGXDrawingGrid& grid, ROWCOL nRowIndex, ROWCOL nColIndex);
    // Lets the cell's control draw drawn cell (i, j) of the pass as (nRow, nCol) in a rectangle:
    // its own rectangle, or a span's.
    void DrawCellInRect(CGXDrawingGrid& grid, ROWCOL nRowIndex, ROWCOL nColIndex, ROWCOL nRow, ROWCOL nCol,
                        const CRect& rect);
    virtual void InvertSelection(CGXDrawingGrid& grid);
    virtual void DrawRowGridLines(CGXDrawingGrid& grid, ROWCOL nRowIndex);
    virtual void DrawColGridLines(CGXDrawingGrid& grid, ROWCOL nColIndex);
    // The pass in progress, or null.
    const CGXDrawingGrid* GetDrawingGrid() const { return m_pDrawingGrid; }
    // Asks the next pass to invert the current cell once (a selection that includes it).
    void InvertCurrentCellOnce() { m_bInvertCurrentCellOnce = TRUE; }
    // A print pass happened (the print feature draws the page itself).
    BOOL m_bPrintPassPending = FALSE;

    // ---- Window messages --------------------------------------------------------------------------
    // Each answers whether it handled the message; the host falls back to default processing.
    virtual BOOL OnGridSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    virtual BOOL OnGridVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    virtual BOOL OnGridHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    virtual void OnGridSize(UINT nType, int cx, int cy);
    virtual BOOL OnGridMouseMove(UINT flags, CPoint point);
    virtual void OnGridShowWindow(BOOL bShow, UINT nStatus);
    virtual BOOL OnGridLButtonDblClk(UINT flags, CPoint point);
    virtual BOOL OnGridLButtonDown(UINT flags, CPoint point);
    virtual BOOL OnGridLButtonUp(UINT flags, CPoint point);
    virtual BOOL OnGridMButtonDblClk(UINT flags, CPoint point);
    virtual BOOL OnGridMButtonDown(UINT flags, CPoint point);
    virtual BOOL OnGridMButtonUp(UINT flags, CPoint point);
    virtual BOOL OnGridRButtonDblClk(UINT flags, CPoint point);
    virtual BOOL OnGridRButtonDown(UINT flags, CPoint point);
    virtual BOOL OnGridRButtonUp(UINT flags, CPoint point);
    virtual HBRUSH OnGridCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    virtual void OnGridDestroy();
    virtual void OnGridCancelMode();
    virtual int OnGridMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    virtual BOOL OnGridCommand(WPARAM wParam, LPARAM lParam);
    virtual void OnGridWinIniChange(LPCTSTR pszSection);
    virtual void OnGridSysColorChange();
    virtual UINT OnGridGetDlgCode();
    virtual CScrollBar* GetScrollBarCtrl(int nBar) const;
    virtual void OnGridKillFocus(CWnd* pNewWnd);
    virtual void OnGridSetFocus(CWnd* pOldWnd);
    virtual BOOL OnGridPreTranslateMessage(MSG* pMsg);
    virtual BOOL OnGridPluginMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual void OnGridTimer(UINT_PTR nIDEvent);
    virtual BOOL OnGridKeyDown(UINT nChar, UINT nRepCnt, UINT flags);
    virtual BOOL OnGridKeyUp(UINT nChar, UINT nRepCnt, UINT flags);
    virtual BOOL OnGridChar(UINT nChar, UINT nRepCnt, UINT flags);
    virtual BOOL OnGridCharText(LPCTSTR pszText, UINT nRepCnt, UINT flags);
    virtual BOOL OnGridDeadChar(UINT nChar, UINT nRepCnt, UINT flags);
    virtual BOOL OnGridSysKeyDown(UINT nChar, UINT nRepCnt, UINT flags);
    virtual BOOL OnGridSysKeyUp(UINT nChar, UINT nRepCnt, UINT flags);
    virtual BOOL OnGridSysChar(UINT nChar, UINT nRepCnt, UINT flags);
    virtual BOOL OnGridSysDeadChar(UINT nChar, UINT nRepCnt, UINT flags);
    virtual void ShowScrollBar(int nBar, BOOL bShow = TRUE);

    // ---- Feature objects (null until installed; see gxfeature.h) -----------------------------
    CGXAbstractGridPrintImp* m_pPrintImp = nullptr;
    CGXAbstractGridSortImp* m_pSortImp = nullptr;
    CGXAbstractGridCoveredCellsImp* m_pCoveredCellsImp = nullptr;
    CGXAbstractDrawSpannedCellsImp* m_pDrawSpannedCellsImp = nullptr;
    CGXGridFloatCellsImp* m_pFloatCellsImp = nullptr;
    CGXGridMergeCellsImp* m_pMergeCellsImp = nullptr;
    CGXAbstractCommandFactory* m_pUndoImp = nullptr;
    CGXAbstractGridUpdateHintImp* m_pUpdateHintImp = nullptr;
    CGXAbstractGridResizeToFitImp* m_pResizeToFitImp = nullptr;
    CGXAbstractGridHideCellsImp* m_pHideCellsImp = nullptr;
    CGXAbstractGridFindReplaceImp* m_pFindReplaceImp = nullptr;
    CGXAbstractGridUserSelectRangeImp* m_pUserSelectRangeImp = nullptr;
    CGXGridExcelLikeFrameImp* m_pExcelLikeFrameImp = nullptr;
    CGXGridExcelLikeFillImp* m_pExcelLikeFillImp = nullptr;
    CGXAbstractGridUserDragSelectRangeImp* m_pUserDragSelectRangeImp = nullptr;
    CGXAbstractGridMoveRowsColsImp* m_pMoveRowsColsImp = nullptr;
    CGXAbstractGridOptimizedUpdateImp* m_pOptimizedUpdateImp = nullptr;
    CGXAbstractGridMarkEditHeaderImp* m_pMarkEditHeaderImp = nullptr;
    CGXAbstractGridFreezeMenuHelperImp* m_pFreezeMenuHelperImp = nullptr;
    CGXGridDirectCopyMoveCellsImp* m_pDirectCopyMoveCellsImp = nullptr;
    CGXGridTextDataExchangeImp* m_pTextDataExchangeImp = nullptr;
    CGXGridStyleDataExchangeImp* m_pStyleDataExchangeImp = nullptr;
    CGXGridCutPasteImp* m_pCutPasteImp = nullptr;
    CGXGridClearCellsImp* m_pClearCellsImp = nullptr;
    CGXAbstractGridUserResizeCellsImp* m_pUserResizeCellsImp = nullptr;
    CGXAbstractCalcSizeImp* m_pCalcSizeImp = nullptr;
    // Installers of grid/features (each creates its object once and deletes it with the grid).
    void InstallCommandFactory();
    void InstallFindReplaceImp();
    void InstallPrintImp();
    void InstallUpdateHintImp();
    void InstallOptimizedUpdateImp();
    void InstallCalcSizeImp();
    void InstallCoveredCellsImp();
    void InstallDrawSpannedCellsImp();
    void InstallSortImp();
    void InstallHideCellsImp();
    void InstallResizeToFitImp();
    void InstallUserResizeCellsImp();
    void InstallUserSelectRangeImp();
    // Also installs selection and the move feature.
    void InstallUserDragSelectRangeImp();
    void InstallMoveRowsColsImp();
    void InstallMarkEditHeaderImp();
    void InstallFreezeMenuHelperImp();
    void InstallDirectCopyMoveCellsImp();
    void InstallTextDataExchangeImp();
    void InstallStyleDataExchangeImp();
    void InstallCutPasteImp();
    void InstallClearCellsImp();
    // The fill handle, which brings the selection frame.
    void InstallExcelLikeFillImp();
    void InstallExcelLikeFrameImp();
    // Plug-ins: cell tips (a factory class of CGXCellTipWndFactory's kind, or the default),
    // wheel scrolling and panning, and auto-scroll while a drag is held outside the cells.
    void InstallCellTipPlugin(CRuntimeClass* pFactoryClass = nullptr, BOOL bHeaderTips = FALSE, BOOL bEditTips = FALSE,
                              UINT nDelay = 500);
    void InstallIntelliMousePlugin();
    void InstallAutoScrollPlugin();
    CGXPluginComponent* m_pCellTipPlugin = nullptr;
    CGXPluginComponent* m_pIntelliMousePlugin = nullptr;
    CGXPluginComponent* m_pAutoScrollPlugin = nullptr;
    // Installs the fill object; an owned one is deleted with the grid.
    void SetExcelLikeFillImp(CGXGridExcelLikeFillImp* p, BOOL bOwn = TRUE);
    // Forwarders of the resize-to-fit feature.
    BOOL ResizeRowHeightsToFit(const CGXCellRange& range, UINT flags = GX_UPDATENOW, UINT nFlags2 = 0);
    BOOL ResizeColWidthsToFit(const CGXCellRange& range, UINT flags = GX_UPDATENOW, UINT nFlags2 = 0);

    // ---- Plain members read by the features, hosts and later grids ----------------------------
    // Links.
    CGXLibraryData* m_pAppData = nullptr;
    CWnd* m_pGridWnd = nullptr;
    CDocument* m_pDocument = nullptr;
    BOOL m_bIsViewContext = FALSE;
    BOOL m_bHintsEnabled = FALSE;
    int m_nGridId = 0;  // hints addressed to another id are ignored
    // The splitter pane that holds the grid's view (set when the window is sized).
    CWnd* m_pSplitterWnd = nullptr;
    int m_nSplitterRow = 0;
    int m_nSplitterCol = 0;
    BOOL m_bFirstSplitterRow = TRUE;
    BOOL m_bFirstSplitterCol = TRUE;

    // Current cell.
    ROWCOL m_nCurrentRow = 0;
    ROWCOL m_nCurrentCol = 0;
    BOOL m_bHasCurrentCell = FALSE;
    BOOL m_bLockCurrentCell = FALSE;  // set while the current cell changes
    CString m_sWarningText;
    // A current cell requested while a command runs (moved to when it ends).
    BOOL m_bPendingCurrentCell = FALSE;
    BOOL m_bPendingSetCurrent = FALSE;
    ROWCOL m_nPendingRow = 0;
    ROWCOL m_nPendingCol = 0;
    // Remembered by a control's InitForCell.
    ROWCOL m_nLastInitRow = ROWCOL(-1);
    ROWCOL m_nLastInitCol = ROWCOL(-1);

    // Scroll position.
    ROWCOL m_nTopRow = 1;
    ROWCOL m_nLeftCol = 1;
    ROWCOL m_nPrintTopRow = 1;
    ROWCOL m_nPrintLeftCol = 1;

    // Mouse tracking.
    BOOL m_bTracking = FALSE;
    int m_nTrackingMode = 0;
    ROWCOL m_nTrackRow = 0;
    ROWCOL m_nTrackCol = 0;
    BOOL m_bMouseCaptured = FALSE;
    BOOL m_bAutoScroll = FALSE;
    BOOL m_bAutoScrollVert = TRUE;
    BOOL m_bAutoScrollHorz = TRUE;
    int m_nAutoScrollDirection = -1;
    UINT m_nAutoScrollKey = 0;
    BOOL m_bDragEnded = FALSE;
    // State word: 0x0002 mouse selecting, 0x0080 click on the anchor cell, 0x0200 fill drag.
    WORD m_wStateFlags = 0;

    // Undo, transactions and their texts.
    BOOL m_bExecutingBlock = FALSE;
    CString m_sTransactionName;
    CString m_sUndoMenuFormat;
    CString m_sRedoMenuFormat;

    // Find.
    ROWCOL m_nFindStartRow = 0;
    BOOL m_bFindCanceled = FALSE;

    // Clipboard: option word, separators (empty means TAB), last copied block size, style-store selector.
    DWORD m_nClipboardFlags = 0x18;  // text and styles
    static constexpr DWORD kClipNoNewRows = 0x0200;  // a text paste never adds rows
    CString m_sCopySeparator;
    CString m_sPasteSeparator;
    ROWCOL m_nCopiedRows = 0;
    ROWCOL m_nCopiedCols = 0;
    int m_nStyleStoreType = 0;

    // Options read by the core; the parameter object holds the archived ones.
    BOOL m_bDragDropOption = FALSE;
    BOOL m_bFocusFrame = FALSE;
    WORD m_nNoFeedback = 0;  // range operations give no progress feedback when non-zero
    int m_nDefaultType = 0;  // type selector used when a caller passes 0 (0: the data store's)
    // m_nDefaultType, or the data store's own selector when it is 0 (1 over a formula sheet).
    int DefaultValueType() const;

    // System metrics read at construction.
    int m_cyBorder = 1;
    int m_cxBorder = 1;
    int m_cyFrame = 4;
    int m_cxFrame = 4;

    // Printing.
    BOOL m_bPrinting = FALSE;
    CRect m_rectPage;
    int m_nPrintVertUnit = 0;
    int m_nPrintHorzUnit = 0;

    // Style composition state.
    BOOL m_bCacheCurrentCell = TRUE;
    BOOL m_bCommittingCurrentCell = FALSE;
    BOOL m_bValueOnly = FALSE;
    BOOL m_bInRangeStore = FALSE;
    BOOL m_bNoAnnounce = FALSE;  // suppresses range announcements to the data store
    const CGXStyle* m_pOldStyleOverride = nullptr;

    // The zoom in percent.
    int m_nZoom = 100;
    // The class of the cell data object Initialize creates.
    const CRuntimeClass* m_pDataClass = RUNTIME_CLASS(CGXData);

    // Hit margin: a border is hit within half of it, an edge test near the left or top uses a quarter.
    static constexpr int kHitMargin = 8;
    static constexpr ROWCOL GX_INVALID = ROWCOL(-1);

    // Current cell and keys.
    BOOL m_bFocusFromGrid = FALSE;
    BOOL m_bLosingFocus = FALSE;     // a view host sets it while the grid's kill-focus runs
    BOOL m_bTakingFocus = FALSE;     // the grid takes the focus itself: its focus handlers stand by
    BOOL m_bWarningShown = FALSE;
    BOOL m_bMovingCurrentCell = FALSE;
    BOOL m_bFastMoveCurrentCell = TRUE;  // intermediate steps of a move keep the cached style
    BOOL m_bSelectCurrentCell = FALSE;   // a new current cell outside the selection becomes it
    BOOL m_bKeyboardAutoScroll = FALSE;
    BOOL m_bKeyAutoScrollHeld = FALSE;
    BOOL m_bActiveViewOption = FALSE;    // a view grid takes the focus on a click in its frame
    BOOL m_bUserResizing = FALSE;
    BOOL m_bLastActivateResult = FALSE;
    HWND m_hLastFocusWnd = nullptr;
    BOOL m_bDropDownOpen = FALSE;  // a cell's drop-down list is open

protected:
    // Current cell and keys.
    void RestoreFocusAfterRefusal(HWND hFocus, BOOL bWasActive);
    BOOL StepCurrentCell(BOOL bRows, BOOL bBack, ROWCOL& nRow, ROWCOL& nCol, ROWCOL& nPassed);
    int EnterKeyDirection() const;
    CString m_sPendingKeyChar;

    // Mouse.
    void CancelModeToSelf();
    void StartCellTracking(ROWCOL nRow, ROWCOL nCol, UINT nButtonFlags);
    void PrepareTrackingCapture(ROWCOL nRow, ROWCOL nCol);
    BOOL OnCellMouse(int nButton, ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    BOOL ButtonDownPrologue(UINT nFlags, UINT nOtherButtons);
    CPoint ClampToDrawingArea(CPoint point);
    void TopLeftOfCovered(ROWCOL& nRow, ROWCOL& nCol);
    BOOL OnOtherButtonDown(int nButton, UINT nFlags, CPoint point);
    UINT TrackPositionFlags(ROWCOL nRow, ROWCOL nCol) const;
    void ClampTrackedCell(ROWCOL& nRow, ROWCOL& nCol);
    BOOL OnButtonUp(int nButton, UINT nFlags, CPoint point);
    BOOL OnButtonDblClk(int nButton, UINT nFlags, CPoint point);
    UINT m_nMouseTracking = 0;  // the button flags of the press that started it; 0 idle
    UINT m_nMouseTrackMode = 0; // 0x01 Ctrl at the start, 0x02 the start cell's control was bound
    ROWCOL m_nTrackStartRow = 0;
    ROWCOL m_nTrackStartCol = 0;
    ROWCOL m_nTrackLastRow = 0;
    ROWCOL m_nTrackLastCol = 0;
    BOOL m_bTrackMoved = FALSE;
    ROWCOL m_nMouseOverRow = GX_INVALID;
    ROWCOL m_nMouseOverCol = GX_INVALID;
    UINT m_nLastKeyFlags = 0;
    HCURSOR m_hGridCursor = nullptr;

    // Structure.
    BOOL IsReadOnlyLocked();
    BOOL IsUndoRecording(int ctCmd) const;
    void UpdateCount(BOOL bRows, ROWCOL nOld, UINT flags, BOOL bCreateHint);
    BOOL RemoveRowsOrCols(BOOL bRows, ROWCOL nFrom, ROWCOL nTo, UINT flags, int ctCmd);
    BOOL InsertRowsOrCols(BOOL bRows, ROWCOL nAt, ROWCOL nCount, int* anSizes, CObArray* pCellsArray,
                          CObArray* pLinesArray, ROWCOL nOtherCount, UINT flags, int ctCmd);
    BOOL StoreRowsOrCols(BOOL bRows, BOOL bInsert, ROWCOL a, ROWCOL b, BOOL bForce);
    void UpdateStructure(BOOL bRows, BOOL bInsert, ROWCOL nFrom, ROWCOL nCount, const int* anOldSizes, UINT flags,
                         BOOL bCreateHint);
    BOOL SetFrozen(BOOL bRows, ROWCOL nFrozen, ROWCOL nHeader, UINT flags, int ctCmd);

    // Selection.
    BOOL SelectedIntervals(BOOL bRows, CDWordArray& firsts, CDWordArray& lasts, BOOL bOnlyWhole, BOOL bUseCurrentCell);
    ROWCOL CollectSelected(BOOL bRows, CDWordArray& numbers, BOOL bOnlyWhole, BOOL bUseCurrentCell);

    // Style parts of FreeGdiCache; the drawing caches are the drawing's.
    void FreeStyleCache();
    void FreeDrawingGdiObjects();
    void FreeFontCache();
    // Makes sure the cached base-style pointers are fresh.
    void RefreshBaseStylePointers();
    // Measures the font units of the Standard style's font (the fallbacks without one).
    void MeasureFontUnits(int& nVert, int& nHorz);
    void DeleteControls();
    // Drops what refers to the parameter object held so far (caches, grid map entry).
    void DetachParamCaches();

    // Parameter object.
    CGXGridParam* m_pParam = nullptr;
    const CRuntimeClass* m_pParamClass = nullptr;
    BOOL m_bOwnParam = FALSE;
    BOOL m_bInitDone = FALSE;

    // Scratch styles and the free list of recycled styles (at most kMaxRecycledStyles + 1 kept).
    static constexpr size_t kMaxRecycledStyles = 500;
    std::unique_ptr<CGXStyle> m_pStyleScratch1;
    std::unique_ptr<CGXStyle> m_pStyleScratch2;
    std::unique_ptr<CGXStyle> m_pStyleValue;
    const CRuntimeClass* m_pStyleClass = nullptr;
    std::vector<CGXStyle*> m_freeStyles;  // a stack: no node to allocate per style
    CGXStyle* m_pStyleStandard = nullptr;
    CGXStyle* m_pStyleRowHeader = nullptr;
    CGXStyle* m_pStyleColHeader = nullptr;
    // Composed styles by cell; the current cell's styles are kept apart.
    std::unordered_map<uint64_t, CGXStyle*> m_styleCache;
    std::unique_ptr<CGXStyle> m_pCurrentCellStyle;
    CGXControl* m_pCurrentCellControl = nullptr;
    std::vector<CGXStyle*> m_currentCellStyles;

    // Control registry.
    std::map<WORD, CGXControl*> m_controls;
    CGXControl* m_pDefaultControl = nullptr;
    WORD m_nLastControlId = 0;
    CGXControl* m_pLastControl = nullptr;

    // Font units (0 until measured) and the cached sizes.
    int m_nVertFontUnit = 0;
    int m_nHorzFontUnit = 0;
    ROWCOL m_nCacheLastVisibleRow = GX_INVALID;
    ROWCOL m_nCacheLastVisibleCol = GX_INVALID;
    BOOL m_bLimitRowHeight = TRUE;
    BOOL m_bLimitColWidth = TRUE;

    // Drawing: GDI caches, nesting, measuring DC, drawing-area override.
    std::unordered_map<uint64_t, std::unique_ptr<CFont>> m_fontCache;
    std::map<uint64_t, std::unique_ptr<CBrush>> m_brushCache;
    std::map<uint64_t, std::unique_ptr<CPen>> m_penCache;
    int m_nDrawingNesting = 0;
    CDC* m_pMeasureDC = nullptr;
    BOOL m_bResizing = FALSE;
    BOOL m_bDrawOwnBackground = TRUE;
    BOOL m_bDrawingAreaOverride = FALSE;
    CRect m_rectDrawingArea;
    UINT m_nCursorId = 0;
    UINT m_nForcedCursorId = 0;
    // Steps of a paint pass.
    void DrawPass(CDC* pDC, CRect rectClip);
    void DrawThroughBitmap(CDC* pDC, const CRect& rectClip);
    void ViewIndexSpan(BOOL bRows, int from, int to, ROWCOL& nFirst, ROWCOL& nLast);
    void BuildDrawingGrid(CGXDrawingGrid& g, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, CDC* pDC);
    void FillBackgroundRuns(CGXDrawingGrid& g, ROWCOL i);
    void FillBeyondLastCell(CGXDrawingGrid& g);
    CFont* m_pMeasureFontOld = nullptr;
    // Drawing grids by nesting level, kept for their buffers; the one of the running pass.
    std::vector<std::unique_ptr<CGXDrawingGrid>> m_drawingGrids;
    CGXDrawingGrid* m_pDrawingGrid = nullptr;
    BOOL m_bInvertCurrentCellOnce = FALSE;
    // UpdateScrollBars found the layout changed under the pass: repaint everything instead.
    BOOL m_bFullRepaintNeeded = FALSE;

    // Scrolling: bar modes (0 none, 1 always, 2 when needed, 4 range only; 8 keeps the last
    // page at the edge), the scale between rows and bar units, and the update's guards.
    int m_nVScrollMode = 0;
    int m_nHScrollMode = 0;
    int m_nVScrollScale = 1;
    int m_nHScrollScale = 1;
    ROWCOL m_nScrollBarRows = 0;
    ROWCOL m_nScrollBarCols = 0;
    BOOL m_bLockScrollBars = FALSE;
    BOOL m_bUpdatingScrollBars = FALSE;
    BOOL m_bScrollRangeChanged = FALSE;
    BOOL m_bScrolling = FALSE;
    BOOL m_bDeferredUpdatePending = FALSE;
    UINT_PTR m_nAutoScrollTimer = 0;

    // Sizes: the window limit of one row (column), and the sums behind SumRowHeights and
    // SumColWidths. Stretches longer than this are summed from their defaults.
    static constexpr ROWCOL kLongStretch = 256;
    int LimitToWindow(BOOL bRows, ROWCOL n, int nSize);
    int SumSizes(BOOL bRows, ROWCOL nFrom, ROWCOL nTo, int nLimit);

    // Steps of scrolling.
    ROWCOL LastPageStart(BOOL bRows);
    BOOL SetScrollPosition(BOOL bRows, ROWCOL n, UINT flags, BOOL bCreateHint);
    BOOL MoveContentsTo(BOOL bRows, ROWCOL nNew, UINT flags);
    ROWCOL LastFullyVisible(BOOL bRows);
    void UpdateOneScrollBar(int nBar, int nMode, ROWCOL nFirst, ROWCOL nLast, ROWCOL nPos);
    ROWCOL ThumbPositionTo(BOOL bRows, int nPos);
    BOOL OnGridScroll(BOOL bRows, UINT nSBCode, UINT nPos);
    void RepaintUncoveredStrips(int cx, int cy);

    // Window messages: the size seen last (for the strips a resize uncovers) and the redraw lock.
    BOOL m_bInGridSize = FALSE;
    BOOL m_bLastSizeKnown = FALSE;
    CSize m_sizeLastClient;
    CRect m_rectLastWindow;
    BOOL m_bFrameMaximized = FALSE;

    // Plug-ins and the objects deleted with the grid.
    std::vector<CGXPluginComponent*> m_plugins;
    std::list<std::function<void()>> m_deleteList;
    BOOL m_bOwnExcelLikeFillImp = FALSE;
};

// The scroll bar a registered parent window (a dialog) lends a window without a bar of its own
// in that direction, or null.
CScrollBar* GXBorrowedScrollBar(const CWnd* pWnd, int nBar);

// The key of a cell in the grid's per-cell maps.
inline uint64_t GXCellKey(ROWCOL nRow, ROWCOL nCol) { return (uint64_t(nRow) << 32) | nCol; }

// Hides the selection frame for the life of a change to the grid's structure.
class CGXFrameLock {
public:
    explicit CGXFrameLock(CGXGridCore& grid) : m_grid(grid), m_bOld(grid.LockExcelLikeFrame(TRUE)) {}
    ~CGXFrameLock() { m_grid.LockExcelLikeFrame(m_bOld); }
    CGXFrameLock(const CGXFrameLock&) = delete;
    CGXFrameLock& operator=(const CGXFrameLock&) = delete;

private:
    CGXGridCore& m_grid;
    BOOL m_bOld;
};
