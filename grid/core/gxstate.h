#pragma once
// The grid library's process-wide state, all of it in this one file: the core's data (system
// colour cache, look options, the slots of the process-wide services) and the library state of
// the start-up (control factory, texts, window classes, the grid map of shared objects).
// Each service slot is read through its abstract interface; an empty slot makes the operation
// that needs it a no-op that answers 0.

#include <functional>
#include <list>
#include <map>
#include <vector>

#include "grid/core/gxarchive.h"
#include "platform/base/CString.h"
#include "platform/base/pvdefs.h"

class CArchive;
class CObject;
struct CRuntimeClass;
class CString;
class CGXStyle;
class CGXFont;
class CGXPackedBrush;
class CGXPackedPen;
class CGXStylesMap;
class CGXData;
class CGXProperties;
class CGXGridParam;
class CGXRangeList;
class CGXCellRange;
class CGXPrintDevice;
class CGXAbstractHeaderFooterImp;
class CGXStylePtrArray;
class CGXStylePtrArrayPtrArray;
class CDWordArray;

class CGXSysColorCache {
public:
    enum { nCachedColors = 24 };
    // Reloads colours 0..23 from the system.
    void Refresh();
    // The cached colour below 24, else the live system colour; a number the system does not
    // know answers black instead of reading past the system's table.
    COLORREF LookupColor(DWORD nIndex) const;

private:
    COLORREF m_colors[nCachedColors] {};
    bool m_bLoaded = false;
};

class CGXAbstractStyleSerializeImp {
public:
    virtual ~CGXAbstractStyleSerializeImp() = default;
    virtual void SerializeFont(CGXFont& font, CArchive& ar) = 0;
    virtual void SerializeBrush(CArchive& ar, CGXPackedBrush& brush) = 0;
    virtual void SerializePen(CArchive& ar, CGXPackedPen& pen) = 0;
    virtual void SerializeStyle(CGXStyle& style, CArchive& ar, const CGXStylesMap* pStylesMap) = 0;
};

class CGXAbstractGridDocSerializeImp {
public:
    virtual ~CGXAbstractGridDocSerializeImp() = default;
    virtual void SerializeStylesMap(CGXStylesMap& map, CArchive& ar) = 0;
    virtual void SerializeData(CGXData& data, CArchive& ar) = 0;
    virtual void SerializeCellTable(CGXStylePtrArrayPtrArray& rows, CArchive& ar) = 0;
    virtual void SerializeStylePtrArray(CGXStylePtrArray& styles, CArchive& ar) = 0;
    virtual void SerializeProperties(CGXProperties& props, CArchive& ar) = 0;
    virtual void SerializeParam(CGXGridParam& param, CArchive& ar) = 0;
};

// Reads the user attributes of the older style records into the style.
class CGXAbstractSerializeGW5CompatibleImp {
public:
    virtual ~CGXAbstractSerializeGW5CompatibleImp() = default;
    virtual void ReadUserAttributes(CGXStyle& style, CArchive& ar) = 0;
};

class CGXAbstractGridProfileImp {
public:
    virtual ~CGXAbstractGridProfileImp() = default;
    virtual void WriteStylesMap(CGXStylesMap& map) = 0;
    virtual void WriteFont(const CGXFont& font, const char* pszSection, const char* pszEntry) = 0;
    virtual void WriteStyle(const CGXStyle& style, const char* pszSection, const CGXStylesMap* pMap) = 0;
    virtual void WriteStyleEntry(const char* pszSection, const char* pszEntry, const char* pszValue) = 0;
    virtual void WriteProperties(CGXProperties& props) = 0;
    virtual BOOL ReadStylesMap(CGXStylesMap& map) = 0;
    virtual BOOL ReadFont(CGXFont& font, const char* pszSection, const char* pszEntry) = 0;
    virtual BOOL ReadStyle(CGXStyle& style, const char* pszSection, const CGXStylesMap* pMap) = 0;
    virtual BOOL ReadProperties(CGXProperties& props) = 0;
};

class CGXAbstractGridParamCopyOperatorImp {
public:
    virtual ~CGXAbstractGridParamCopyOperatorImp() = default;
    virtual void CopyParam(CGXGridParam& dest, const CGXGridParam& src) = 0;
    virtual void CopyStylesMap(CGXStylesMap& dest, const CGXStylesMap& src) = 0;
    virtual void CopyProperties(CGXProperties& dest, const CGXProperties& src) = 0;
};

class CGXAbstractStyleCompareSubsetImp {
public:
    virtual ~CGXAbstractStyleCompareSubsetImp() = default;
    virtual BOOL IsSubset(const CGXStyle& style, const CGXStyle& other) = 0;
};

// Owns nothing of the caller's; the pool it returns is the caller's.
class CGXAbstractCoveredCellPoolImp {
public:
    virtual ~CGXAbstractCoveredCellPoolImp() = default;
    virtual CObject* CreateCoveredCellPool() = 0;
    virtual void RebuildCoveredCellPool(CObject* pPool, CGXRangeList& coveredCells) = 0;
};

// The stores of floating and merged cells, kept in the parameter object's slots. The archive reads
// each slot as its class; a version-6 record drops the spans and queues the whole table again.
class CGXAbstractSpanCellPoolImp {
public:
    virtual ~CGXAbstractSpanCellPoolImp() = default;
    virtual CObject* CreateSpanCellPool(const CObject* pCopyOf = nullptr) = 0;
    virtual const CRuntimeClass* GetPoolClass() const = 0;
    virtual void EmptyPool(CObject* pPool) = 0;
};

class CGXAbstractDelayedRangePoolImp {
public:
    virtual ~CGXAbstractDelayedRangePoolImp() = default;
    virtual CObject* CreateDelayedRangePool(const CObject* pCopyOf = nullptr) = 0;
    virtual const CRuntimeClass* GetPoolClass() const = 0;
    // Empties the pool and queues every cell.
    virtual void QueueWholeTable(CObject* pPool) = 0;
};

class CGXAbstractDataCopyMoveCellsImp {
public:
    virtual ~CGXAbstractDataCopyMoveCellsImp() = default;
    virtual BOOL CopyCells(CGXData& data, DWORD nTop, DWORD nLeft, DWORD nBottom, DWORD nRight, DWORD nDestRow,
                           DWORD nDestCol) = 0;
    // With bKeepUndo the cells the move overwrites go to *pUndoInfo (created when null); a
    // record handed in is put back first, which is how a move is taken back.
    virtual BOOL MoveCells(CGXData& data, const CGXCellRange& range, DWORD nDestRow, DWORD nDestCol,
                           CObject*& pUndoInfo, BOOL bKeepUndo) = 0;
};

// Reorders rows (columns) of a range: entry i of the order is the offset in the range of the
// row that stands at offset i afterwards.
class CGXAbstractGridSortMoveDataImp {
public:
    virtual ~CGXAbstractGridSortMoveDataImp() = default;
    virtual BOOL MoveDataRows(CGXData& data, const CGXCellRange& range, const CDWordArray& order) = 0;
    virtual BOOL MoveDataCols(CGXData& data, const CGXCellRange& range, const CDWordArray& order) = 0;
};

// Turns a cell's text into a number; used to tell number values from text.
class CGXAbstractNumberFormattingImp {
public:
    virtual ~CGXAbstractNumberFormattingImp() = default;
    virtual BOOL ParseNumber(const char* pszText, double& value) = 0;
};

// Printer set-up blocks of a CGXPrintDevice; the handles are the device's.
class CGXAbstractPrintDeviceImp {
public:
    virtual ~CGXAbstractPrintDeviceImp() = default;
    virtual void CreateDeviceHandles(CGXPrintDevice& dev, const BYTE* pNames, DWORD nNames, const BYTE* pMode, DWORD nMode) = 0;
    virtual void FreeDeviceHandles(CGXPrintDevice& dev) = 0;
    // New buffers (delete[] by the caller); null and 0 for a missing block.
    virtual void GetDeviceData(const CGXPrintDevice& dev, BYTE*& pNames, DWORD& nNames, BYTE*& pMode, DWORD& nMode) = 0;
    // A printer DC for the blocks (the caller deletes it); null without blocks or for damaged ones.
    virtual HDC CreatePrinterDC(const CGXPrintDevice& dev) = 0;
    // Fresh global copies of the blocks for a caller; FALSE without a DEVNAMES block.
    virtual BOOL CreateHandleCopies(const CGXPrintDevice& dev, HGLOBAL& hNames, HGLOBAL& hMode) = 0;
    // Makes the set-up the application's printer set-up.
    virtual void ApplyToApp(const CGXPrintDevice& dev) = 0;
    // The print set-up dialog on the set-up; on OK the set-up takes the chosen printer.
    virtual BOOL PrintSetup(CGXPrintDevice& dev) = 0;
};

struct CGXLibraryData {
    CGXSysColorCache m_sysColors;
    // Look options set once at start-up; the base-style builder reads the first and third.
    int m_nLookOptions[3] = {0, 0, 0};
    // 3D check boxes in the alternative 3D look; nothing in the library sets it.
    BOOL m_b3dCheckBoxLook = FALSE;

    CGXAbstractStyleSerializeImp* m_pStyleSerializeImp = nullptr;
    CGXAbstractGridDocSerializeImp* m_pDocSerializeImp = nullptr;
    CGXAbstractSerializeGW5CompatibleImp* m_pSerializeGW5Imp = nullptr;
    CGXAbstractGridProfileImp* m_pProfileImp = nullptr;
    CGXAbstractGridParamCopyOperatorImp* m_pParamCopyOperatorImp = nullptr;
    CGXAbstractStyleCompareSubsetImp* m_pStyleCompareSubsetImp = nullptr;
    CGXAbstractCoveredCellPoolImp* m_pCoveredCellPoolImp = nullptr;
    CGXAbstractSpanCellPoolImp* m_pSpanCellPoolImp = nullptr;
    CGXAbstractDelayedRangePoolImp* m_pDelayedRangePoolImp = nullptr;
    CGXAbstractDataCopyMoveCellsImp* m_pDataCopyMoveCellsImp = nullptr;
    CGXAbstractGridSortMoveDataImp* m_pSortMoveDataImp = nullptr;
    CGXAbstractNumberFormattingImp* m_pNumberFormattingImp = nullptr;
    CGXAbstractPrintDeviceImp* m_pPrintDeviceImp = nullptr;
    CGXAbstractHeaderFooterImp* m_pHeaderFooterImp = nullptr;
    // The drawing service's pattern bitmaps (numbers 0-40); null until that service is there.
    HBITMAP (*m_pfnGetPatternBitmap)(UINT nPattern) = nullptr;
};

// The one library state of the process.
CGXLibraryData* GXGetAppData();
// The number test of cell values: FALSE when no number formatting is installed.
BOOL GXParseNumber(const char* pszText, double& value);

struct CRuntimeClass;
class CWnd;
class CView;
class CObject;
class CGXGridCore;
class CGXAbstractControlFactory;
class CGXDrawingAndFormatting;
class CGXAbstractDateTimeImp;
class CGXNumberFormattingImp;
class CGXAbstractDrawRotatedTextImp;

// The names of the tabs that hold windows; the tab window installs it, the grid asks it.
class CGXTabWndInterface {
public:
    virtual ~CGXTabWndInterface() = default;
    // The label of the tab holding pWnd in its parent tab window: set from strName (bSet), or
    // read into it. Nothing happens when the parent holds no tab for the window.
    virtual void TabNameOfWnd(CWnd* pWnd, CString& strName, BOOL bSet) = 0;
    // The label of tab nTab of the tab window that is pWnd's parent; empty without one.
    virtual CString GetTabLabel(CWnd* pWnd, int nTab) = 0;
};

class CGXAbstractGridListener {
public:
    virtual ~CGXAbstractGridListener() = default;
    virtual void OnGridNotify(CGXGridCore* pGrid) = 0;
    virtual void OnGridActivated(CGXGridCore* pGrid) = 0;
};

// Base of the formula engine's process-wide records, deleted with the library state.
class CGXEngineStateBase {
public:
    virtual ~CGXEngineStateBase() = default;
};

// Indexes of the thirty texts (string ids in GXGetLibraryTextId).
enum GXLibraryText {
    gxTextRedoing, gxTextUndoing, gxTextGenUndo, gxTextStoringCells, gxTextRestoringCells, gxTextCells,
    gxTextRemovingRows, gxTextRemovingCols, gxTextMoveRows, gxTextMoveCols, gxTextInsertRows, gxTextInsertCols,
    gxTextCopyingText, gxTextCopyingInternal, gxTextCutData, gxTextClearCells, gxTextCutting, gxTextPasting,
    gxTextPaste, gxTextReplacing, gxTextReplaceAll, gxTextSearching, gxTextResizeRows, gxTextResizeCols,
    gxTextFreezeRows, gxTextFreezeCols, gxTextCurrentCell, gxTextClipboardSize, gxTextCopy, gxTextMove,
    gxTextCount
};
UINT GXGetLibraryTextId(int nText);

// The four texts of long-operation feedback.
enum GXLongOpText { gxLongOpAbortQuestion, gxLongOpProcessing, gxLongOpDone, gxLongOpPressEsc, gxLongOpTextCount };

struct CGXGridLibraryState {
    CGXGridLibraryState();
    ~CGXGridLibraryState();
    CGXGridLibraryState(const CGXGridLibraryState&) = delete;
    CGXGridLibraryState& operator=(const CGXGridLibraryState&) = delete;

    int m_bInitialized = 0;
    UINT m_nStylesClipboardFormat = 0;
    CString m_strStylesClipboardFormatName;
    CString m_astrTexts[gxTextCount];
    CString m_astrLongOpTexts[gxLongOpTextCount];
    CString m_strPopupClassName;
    int m_nSysVersion = 0;
    int m_bNotNT = 0;
    int m_bNewLook = 0;
    int m_bOldLook = 0;
    int m_bWin32s = 0;
    int m_bPopupActive = 0;

    CGXAbstractControlFactory* m_pControlFactory = nullptr;
    CGXTabWndInterface* m_pTabWndInterface = nullptr;
    CGXAbstractGridListener* m_pGridListener[2] = {nullptr, nullptr};

    std::vector<CRuntimeClass*> m_registeredClasses;
    std::map<const void*, std::vector<CGXGridCore*>> m_gridsOfData;

    CGXDrawingAndFormatting* m_pDrawingAndFormatting = nullptr;
    // The formula engine's records: engine, parse, eval, one more, memory objects, one more.
    CGXEngineStateBase* m_pEngineStates[6] = {};

    // Services of this module's installers; the rest sit in CGXLibraryData.
    CGXAbstractDateTimeImp* m_pDateTimeImp = nullptr;
    CGXNumberFormattingImp* m_pNumberFormattingImp = nullptr;
    CGXAbstractDrawRotatedTextImp* m_pDrawRotatedTextImp = nullptr;

    // Every process-wide installer hands its object over here, once.
    template <class T>
    void AddImpToDeleteList(T* p)
    {
        m_deleteList.push_front([p] { delete p; });
    }
    size_t GetDeleteListCount() const { return m_deleteList.size(); }
    void RegisterRuntimeClassOnce(CRuntimeClass* pClass);
    void RegisterGridOfData(const void* pData, CGXGridCore* pGrid);
    void UnregisterGrid(CGXGridCore* pGrid);
    CGXGridCore* LookupGridOfData(const void* pData) const;

private:
    std::list<std::function<void()>> m_deleteList;
};

CGXGridLibraryState& GXGetLibraryState();
