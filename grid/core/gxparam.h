#pragma once
// CGXGridParam: everything about a grid that outlives one window and that several views may
// share: styles map, properties, cell data, printer set-up, sizes, selection, covered cells,
// undo lists and the options the grid core reads.
//
// Options of the archive record that are named only by letter, and the members that hold them
// (one mapping, used by the archive, the copy and every reader):
//   A  m_bRefreshRowHeaders      B  m_bRefreshColHeaders      C  m_bSortRowsOnDblClk
//   D  m_bLockReadOnly           E  m_bNumberedHeaders        F  m_bSortColsOnDblClk
//   G  m_bOldDrawing (the older drawing path)                 H  m_bOptionH
//   I  m_nMinRowHeight           J  m_nMinColWidth            K  m_wActivateFlags
//   L  m_wOptionL                M  m_nOptionM                N  m_nFrozenRows
//   O  m_nFrozenCols             P  m_bOptionP                Q  m_bOptionQ
//   R  m_bOptionR                S  m_nHeaderRows             T  m_nHeaderCols
//   U  m_nFreezeOption           V  m_bLockZoom               W  m_nOptionW
//   Y1 m_bOptionY1  Y2 m_bSetupOption  Y3 m_bOptionY3  Y4 m_bExcelLikeFrame  Y5 m_nGridLineStyle
//   Z1 m_bDirectCopyPaste        Z2 m_bDirectCutPaste         Z3 m_bDirectDragDrop
//   AA m_wOptionAA               AB m_bKeepClickSelection
// The unnamed option mask stored in 16 bits is m_dwOptionMask; the grid-line drawing word
// beside the merge-cell pools is m_nGridLineDrawing.

#include <memory>

#include "grid/core/gxcoll.h"
#include "grid/core/gxdata.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxrange.h"
#include "grid/core/gxstymap.h"
#include "platform/base/collections.h"

class CGXGridParam : public CObject, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXGridParam)
public:
    CGXGridParam();
    CGXGridParam(const CGXGridParam&) = delete;
    CGXGridParam& operator=(const CGXGridParam&) = delete;
    ~CGXGridParam() override;

    void Serialize(CArchive& ar) override;
    virtual void Assign(const CGXGridParam& other);

    // The four shared objects: an owned one is deleted when replaced or with the parameter
    // object. Setting the object already held only changes its owned flag.
    void SetStylesMap(CGXStylesMap* p, BOOL bOwned = TRUE);
    void SetProperties(CGXProperties* p, BOOL bOwned = TRUE);
    void SetData(CGXData* p, BOOL bOwned = TRUE);
    void SetPrintDevice(CGXPrintDevice* p, BOOL bOwned = TRUE);
    CGXStylesMap* GetStylesMap() const { return m_pStylesMap; }
    CGXProperties* GetProperties() const { return m_pProperties; }
    CGXData* GetData() const { return m_pData; }
    CGXPrintDevice* GetPrintDevice() const { return m_pPD; }
    BOOL IsStylesMapOwned() const { return m_bOwnStylesMap; }
    BOOL IsPropertiesOwned() const { return m_bOwnProperties; }
    BOOL IsDataOwned() const { return m_bOwnData; }
    BOOL IsPrintDeviceOwned() const { return m_bOwnPD; }

    CObList& GetUndoList() { return m_UndoList; }
    CObList& GetRedoList() { return m_RedoList; }
    void ClearUndoList();
    void ClearRedoList();
    BOOL EnableUndo(BOOL b) { return m_bUndoEnabled = b; }
    BOOL IsEnableUndo() const { return m_bUndoEnabled; }

    void SetSelectionFlags(WORD w) { m_wAllowSelection = w; }
    BOOL TestSelectionFlags(WORD w) const { return (m_wAllowSelection & w) != 0; }
    void SetRowResizeFlags(WORD w) { m_wAllowTrackRowHeight = w; }
    BOOL TestRowResizeFlags(WORD w) const { return (m_wAllowTrackRowHeight & w) != 0; }
    void SetColResizeFlags(WORD w) { m_wAllowTrackColWidth = w; }
    BOOL TestColResizeFlags(WORD w) const { return (m_wAllowTrackColWidth & w) != 0; }
    void SetActivateCellFlags(WORD w) { m_wActivateCell = w; }
    BOOL TestActivateCellFlags(WORD w) const { return (m_wActivateCell & w) != 0; }
    void SetDragRowsAllowed(BOOL b) { m_bDragRows = b; }
    BOOL IsDragRowsAllowed() const { return m_bDragRows; }
    void SetDragColsAllowed(BOOL b) { m_bDragCols = b; }
    BOOL IsDragColsAllowed() const { return m_bDragCols; }
    void SetImmediateScrollUpdate(BOOL b) { m_bImmediateScrollUpdate = b; }
    void SetDrawOrder(WORD w) { m_wDrawOrder = w; }
    void SetGridLineStyle(DWORD n) { m_nGridLineStyle = n; }
    void SetSetupOption(BOOL b) { m_bSetupOption = b; }
    void SetOptionMask(DWORD dw) { m_dwOptionMask = dw; }
    void SetReadOnly(BOOL b) { m_bReadOnly = b; }
    BOOL IsReadOnly() const { return m_bReadOnly; }
    // The last 32-bit option before the undo lists.
    BOOL GetOptionBeforeUndo() const { return m_bOptionBeforeUndo; }

    void CreateCoveredCellPool();
    void RebuildCoveredCellPool();
    CObject* GetCoveredCellPool() const { return m_pCoveredCellPool.get(); }

    // Slots of the floating and merged-cell stores (their objects belong to those features), and
    // of the tabbed combo cells' lookup caches (shared by the grids sharing this object).
    enum { nFloatDelayed, nFloatSpans, nMergeDelayed, nMergeSpans1, nMergeSpans2, nFloatPrintDelayed, nFloatPrintSpans, nTabbedComboCache, nFeatureObjects };
    CObject* GetFeatureObject(int i) const { return m_apFeatureObjects[i].get(); }
    void SetFeatureObject(int i, CObject* p) { m_apFeatureObjects[i].reset(p); }

    // ---- members (see the mapping above for the archived options) ----
    DWORD m_bRefreshRowHeaders = 1;
    DWORD m_bRefreshColHeaders = 1;
    DWORD m_nDropDownHeight = 100;
    void* m_pOptionPtr = nullptr;
    DWORD m_nOption1 = 0;
    WORD m_wRemoveRowsFlags = 3;
    WORD m_wRemoveColsFlags = 3;
    DWORD m_bSortRowsOnDblClk = 0;
    DWORD m_bSortColsOnDblClk = 0;
    WORD m_wActivateFlags = 1;
    WORD m_wAllowSelection = 255;
    DWORD m_bDragCols = 1;
    DWORD m_bDragRows = 1;
    WORD m_wAllowTrackRowHeight = 178;
    WORD m_wAllowTrackColWidth = 178;
    WORD m_wActivateCell = 0;
    DWORD m_bNumberedHeaders = 1;
    DWORD m_bLockReadOnly = 1;
    DWORD m_bImmediateScrollUpdate = 1;
    WORD m_wOption2 = 0;
    WORD m_wOption3 = 0;
    DWORD m_bLockZoom = 0;
    WORD m_wOptionL = 2;
    WORD m_wDrawOrder = 0;
    DWORD m_nHeaderRows = 0;
    DWORD m_nHeaderCols = 0;
    DWORD m_bOptionH = 1;
    CString m_sText;
    DWORD m_nFrozenRows = 0;
    DWORD m_nFrozenCols = 0;
    // Where a frozen block stands and where it stood before freezing. Not archived: after a reload
    // unfreezing only clears the count.
    DWORD m_nFreezeColsStart = 0, m_nFreezeColsCount = 0, m_nFreezeColsFrom = 0;
    DWORD m_nFreezeRowsStart = 0, m_nFreezeRowsCount = 0, m_nFreezeRowsFrom = 0;
    DWORD m_anBlock1[4] = {0, 0, 0, 0};
    DWORD m_bOptionQ = 0;
    DWORD m_bOptionR = 0;
    DWORD m_bOldDrawing = 0;
    DWORD m_bOptionP = 1;
    DWORD m_bUndoOption = 1;
    DWORD m_nMaxUndo = 512;
    DWORD m_nOptionW = 4;
    CGXRangeList m_SelRects;
    CGXRangeList m_CoveredCellsList;
    DWORD m_bReadOnly = 0;
    DWORD m_bOptionBeforeUndo = 1;
    DWORD m_nUndoCount = 0;
    DWORD m_bUndoEnabled = 1;
    CByteArray m_abHiddenRows;
    CByteArray m_abHiddenCols;
    CGXMapDWordToLong m_RowHeights {1021};
    CGXMapDWordToLong m_ColWidths {257};
    LONG m_nDefaultHeight = 1200;
    LONG m_nDefaultWidth = 10000;
    DWORD m_dwOptionMask = 0;
    DWORD m_nGridLineStyle = 0;
    DWORD m_nGridLineDrawing = 0;
    DWORD m_bOptionY1 = 0;
    DWORD m_bOptionY3 = 0;
    DWORD m_bExcelLikeFrame = 0;
    DWORD m_bDirectCopyPaste = 0;
    DWORD m_bDirectCutPaste = 0;
    DWORD m_bSetupOption = 0;
    LONG m_nLastSortedRow = -1;
    LONG m_nLastSortedCol = -1;
    // The direction of the last sort's first key; not stored.
    BOOL m_bLastSortAscending = TRUE;
    DWORD m_nMinRowHeight = 0;
    DWORD m_nMinColWidth = 0;
    DWORD m_nFreezeOption = 0;
    DWORD m_nOptionM = 0;
    DWORD m_bDirectDragDrop = 0;
    DWORD m_bKeepClickSelection = 0;
    WORD m_wOptionAA = 0;
    WORD m_wFloatCellsMode = 0;
    WORD m_wMergeCellsMode = 0;
    CGXRangeList m_CutRanges;
    CGXRangeList m_PrintRanges;
    CPtrArray m_apOwned1;
    CPtrArray m_apOwned2;
    DWORD m_nOption4 = 0;
    CMapPtrToPtr m_OwnedMap;

    // Not archived: set once a grid initialised itself over this object, and the current cell
    // a grid makes current again when it initialises.
    DWORD m_bIsInit = 0;
    BOOL m_bHasRememberedCell = FALSE;
    ROWCOL m_nRememberedRow = 0;
    ROWCOL m_nRememberedCol = 0;
    // Options the grid reads by role that no archived member holds.
    DWORD m_bLockRedraw = 0;       // drawing lock: redraws and range redraws do nothing
    DWORD m_bCutPending = 0;       // a deferred cut waits for its paste (cut ranges in m_CutRanges)
    // The number this object wrote into the clipboard's direct-copy token, taken once from a
    // process-wide count (0 until the first direct copy); not copied by Assign.
    unsigned long long m_nDirectCopySerial = 0;
    DWORD m_bPrinterLook = 0;      // draw with the printer's metrics at 100 percent
    DWORD m_bEnforceReadOnly = 1;  // read-only styles and grids refuse typed text
    DWORD m_nFillFlags = 0;        // fill handle: 0x1 values, 0x2 styles
    DWORD m_bAlternateHeader = 0;  // headers: the marked one raised and bold, the others flat
    DWORD m_bMarkSelectionHeaders = 0;  // headers of selected rows and columns draw marked
    // Drawing and scrolling options (not archived).
    DWORD m_bInvertSelection = 1;         // selected cells draw inverted
    DWORD m_bCurrentCellFrame = 0;        // the current cell gets an inverted frame
    DWORD m_bTransparentBackground = 0;   // only cells unlike the Standard style paint a background
    DWORD m_bThumbTrack = 1;              // the grid follows the thumb while it is dragged
    DWORD m_bSmartResize = 1;             // a resize repaints only the uncovered strips
    WORD m_wSizingOptions = 0;            // sizing and text drawing: 0x2 sizes cells by their stored value

private:
    CGXProperties* m_pProperties = nullptr;
    DWORD m_bOwnProperties = 0;
    CGXStylesMap* m_pStylesMap = nullptr;
    DWORD m_bOwnStylesMap = 0;
    CGXData* m_pData = nullptr;
    DWORD m_bOwnData = 0;
    CGXPrintDevice* m_pPD = nullptr;
    DWORD m_bOwnPD = 0;
    CObList m_UndoList;
    CObList m_RedoList;
    std::unique_ptr<CObject> m_pCoveredCellPool;
    std::unique_ptr<CObject> m_apFeatureObjects[nFeatureObjects];

    friend class CGXGridDocSerializeImp;
};

// Three texts of a record set (their roles are the record grids').
class CGXRecSetInfo : public CObject, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXRecSetInfo)
public:
    void Serialize(CArchive& ar) override;
    CString m_sText1, m_sText2, m_sText3;
};

// Growable array of 28-byte sort-key records.
struct GXSortInfo {
    DWORD nRC;
    DWORD sortType;
    DWORD sortOrder;
    DWORD bCase;
    DWORD nUnused;
    DWORD nFlag1;
    DWORD nFlag2;
};
static_assert(sizeof(GXSortInfo) == 28);

class CGXSortInfoArray : public CObject {
public:
    CGXSortInfoArray() = default;
    CGXSortInfoArray(const CGXSortInfoArray&) = delete;
    CGXSortInfoArray& operator=(const CGXSortInfoArray&) = delete;
    // A given step (>= 0) is kept; step 0 grows by count / 8 within 4..1024.
    void SetSize(int nCount, int nGrowBy = -1);
    int GetSize() const { return m_nCount; }
    int GetCapacity() const { return m_nCapacity; }
    GXSortInfo& operator[](int i) { return m_pData[i]; }
    const GXSortInfo& operator[](int i) const { return m_pData[i]; }

private:
    std::unique_ptr<GXSortInfo[]> m_pData;
    int m_nCount = 0;
    int m_nCapacity = 0;
    int m_nGrowBy = 0;
};

// Hidden rows and columns: bit n mod 8 of byte n div 8 (least significant first) is row or
// column n; bits beyond the array are clear. This is also their stored form.
BOOL GXGetHiddenBit(const CByteArray& bits, ROWCOL n);
// Sets or clears bit n, growing the array (zero bytes) only for a set bit; whether it changed.
BOOL GXSetHiddenBit(CByteArray& bits, ROWCOL n, BOOL bHidden);
// The number of set bits from nFirst to nLast.
ROWCOL GXCountHiddenBits(const CByteArray& bits, ROWCOL nFirst, ROWCOL nLast);
