#pragma once
// The grid library's start-up state: the control factory, the styles clipboard format, the
// texts of long operations and undo commands, the window classes, the system version flags,
// the pop-up flag, the grid registry of data objects and the process-wide services that the
// factory installs. It lives beside the core's CGXLibraryData (colour cache, look options,
// archive and profile services), which it fills where the two meet.

#include <functional>
#include <list>
#include <map>
#include <vector>

#include "platform/base/CString.h"
#include "platform/base/pvdefs.h"

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

// Told the grid window and its name; asked for the name of a tab.
class CGXTabWndInterface {
public:
    virtual ~CGXTabWndInterface() = default;
    virtual void SetGridWnd(CWnd* pGridWnd, LPCTSTR pszName) = 0;
    virtual CString GetTabName(int nTab) = 0;
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

// Creates the standard control factory and initialises the library with it.
void InitGridLibraryWithFactory();
// The one-time initialisation; takes ownership of the factory (a former one is deleted).
void InitGridLibrary(CGXAbstractControlFactory* pFactory);
BOOL GetGridPopupActive();
void SetGridPopupActive(BOOL bActive);
void SetGridLookDefaults(int nOption1, int nOption2, int nOption3);
void RefreshDateTimeSettings();

CWnd* FindVisibleParentOfClass(CWnd* pWnd, CRuntimeClass* pClass, BOOL bDirectOnly);
CWnd* FindRegisteredParent(CWnd* pWnd);
CView* GetActiveViewOfMainFrame();

// The window-class names the library registers.
extern const char GX_WNDCLASS[];
extern const char GX_EDITCLASS[];
extern const char GX_LISTBOXCLASS[];
extern const char GX_COMBOBOXCLASS[];
extern const char GX_NDBLCLKSWNDCLASS[];
extern const char GX_MDIFRAMECLASS[];
