#pragma once
// CGXControl: the base of every in-cell control. The grid never draws, edits or stores a cell
// itself; it asks the control named by the cell's style. One control object serves all cells of
// its kind and is bound to at most one cell at a time, the grid's current cell. The defaults here
// are a windowless, read-only display control; subclasses override single operations.

#include <memory>
#include <vector>

#include "grid/core/gxrange.h"
#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/base/geometry.h"
#include "platform/base/pvdefs.h"

class CDC;
class CWnd;
class CFont;
class CGXGridCore;
class CGXStyle;
class CGXStylesMap;
class CGXControl;

// The class record every control answers; the chain is walked by IsControlKindOf.
struct CGXControlClass {
    LPCTSTR m_pszName;
    const CGXControlClass* m_pBase;
};

// Why a cell's content needs a tip: wider or taller than the cell, beyond the grid window's
// client area (left or right, above or below), beyond the screen.
enum : int {
    GX_TIP_WIDER = 1,
    GX_TIP_TALLER = 2,
    GX_TIP_GRID_HORZ = 4,
    GX_TIP_GRID_VERT = 8,
    GX_TIP_SCREEN_HORZ = 16,
    GX_TIP_SCREEN_VERT = 32,
};
// Kinds of cell tips; GX_NO_CELLTIP when the cell has none.
enum : int { GX_CELLTIP_TEXT = 1, GX_CELLTIP_BITMAP = 2, GX_NO_CELLTIP = 0x7FFFFFFF };

// Text and bitmap tips for cells whose content does not fit.
class CGXCellTipBase {
public:
    virtual ~CGXCellTipBase() = default;
    // The GX_TIP_* reasons; 0 when the content shows whole.
    virtual BOOL NeedsCellTip(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) = 0;
    // GX_CELLTIP_TEXT or GX_CELLTIP_BITMAP.
    virtual int GetCellTipKind(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) = 0;
    virtual void ShowCellTip(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CWnd* pTipWnd) = 0;
};

// A windowless child (a cell button) inside a cell, owned and laid out by its control.
class CGXChild {
public:
    explicit CGXChild(CGXControl* pOwner) : m_pOwner(pOwner) {}
    virtual ~CGXChild() = default;
    CGXChild(const CGXChild&) = delete;
    CGXChild& operator=(const CGXChild&) = delete;

    virtual void SetRect(const CRect& rect) { m_rect = rect; }
    virtual CRect GetRect() const { return m_rect; }
    virtual BOOL HitTest(CPoint point) const { return m_rect.PtInRect(point); }
    virtual BOOL IsCapturedChild() const;
    virtual void SetText(LPCTSTR pszText) { m_strText = pszText; }
    virtual CString GetText() const { return m_strText; }
    virtual void Draw(CDC* pDC, BOOL bActive, const CGXStyle* pStyle) { (void)pStyle; DrawFace(pDC, bActive); }
    virtual void DrawFace(CDC* pDC, BOOL bActive) = 0;
    virtual void Refresh();
    virtual BOOL OnMouseMove(UINT, CPoint) { return FALSE; }
    virtual BOOL OnLButtonDown(UINT, CPoint) { return FALSE; }
    virtual BOOL OnLButtonUp(UINT, CPoint) { return FALSE; }
    virtual BOOL OnLButtonDblClk(UINT, CPoint) { return FALSE; }
    virtual BOOL OnMButtonDown(UINT, CPoint) { return FALSE; }
    virtual BOOL OnMButtonUp(UINT, CPoint) { return FALSE; }
    virtual BOOL OnMButtonDblClk(UINT, CPoint) { return FALSE; }
    virtual BOOL OnRButtonDown(UINT, CPoint) { return FALSE; }
    virtual BOOL OnRButtonUp(UINT, CPoint) { return FALSE; }
    virtual BOOL OnRButtonDblClk(UINT, CPoint) { return FALSE; }
    virtual BOOL OnCellButtonHit(ROWCOL, ROWCOL, UINT, CPoint) { return FALSE; }
    virtual BOOL HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags);
    virtual BOOL OnKeyDown(UINT, UINT, UINT) { return FALSE; }
    virtual BOOL OnKeyUp(UINT, UINT, UINT) { return FALSE; }
    virtual BOOL OnChar(UINT, UINT, UINT) { return FALSE; }
    virtual BOOL OnCharText(LPCTSTR, UINT, UINT) { return FALSE; }
    virtual BOOL OnDeadChar(UINT, UINT, UINT) { return FALSE; }
    virtual BOOL OnSysKeyDown(UINT, UINT, UINT) { return FALSE; }
    virtual BOOL OnSysKeyUp(UINT, UINT, UINT) { return FALSE; }
    virtual BOOL OnSysChar(UINT, UINT, UINT) { return FALSE; }
    virtual BOOL OnSysDeadChar(UINT, UINT, UINT) { return FALSE; }
    virtual void OnWinIniChange(LPCTSTR) {}
    virtual void OnSysColorChange() {}
    virtual void OnCancelMode() {}

    CGXControl* GetOwner() const { return m_pOwner; }

protected:
    CGXControl* m_pOwner;
    CRect m_rect;
    CString m_strText;
    CString m_strPendingChar;  // a double-byte character collected across WM_CHARs
};

class CGXControl : public CObject {
public:
    explicit CGXControl(CGXGridCore* pGrid);
    ~CGXControl() override;
    CGXControl(const CGXControl&) = delete;
    CGXControl& operator=(const CGXControl&) = delete;

    static const CGXControlClass classCGXControl;
    virtual const CGXControlClass* GetControlClass() const { return &classCGXControl; }
    virtual CRuntimeClass* GetWindowRuntimeClass() const { return nullptr; }
    virtual CWnd* GetWindow() { return nullptr; }
    virtual void SetActive(BOOL) {}
    virtual BOOL IsActive() { return FALSE; }
    virtual BOOL GetOption1() { return FALSE; }
    virtual void SetModified(BOOL) {}
    virtual BOOL IsModified() { return FALSE; }

    // ---- binding to the current cell and editing ----
    virtual void InitForCell(ROWCOL nRow, ROWCOL nCol);
    virtual void ReleaseCell();
    virtual BOOL CommitValue() { return FALSE; }
    virtual BOOL Validate();
    virtual BOOL StartEditing();
    virtual BOOL NotifyModified();
    virtual BOOL CancelEditing();
    virtual BOOL AfterCancelEditing();
    virtual BOOL EndEditing();
    virtual BOOL LeaveCell(ROWCOL nNewRow, ROWCOL nNewCol);
    virtual BOOL CanDeleteCell();

    // ---- geometry and drawing ----
    virtual CRect ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect = nullptr, const CGXStyle* pStyle = nullptr);
    virtual CSize AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style);
    virtual CSize ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert = FALSE);
    virtual BOOL CanFloatCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bFlood);
    // Whether the cell may merge with neighbours of an equal value, and whether two cells' values
    // count as equal for it; by default any cell may, and values are equal as texts.
    virtual BOOL CanMergeCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style);
    virtual BOOL IsEqualCellValue(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle& other);
    // Readies the control to measure a cell that is not its bound one; nothing by default.
    virtual void PrepareForCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style);
    // Where the cell's text is drawn, in the grid window's client coordinates: by default the
    // inner rectangle.
    virtual CRect GetCellTextRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect = nullptr, const CGXStyle* pStyle = nullptr);
    virtual BOOL HasValueText(const CGXStyle& style);
    virtual void DrawSelectionMarks(CDC* pDC, const CRect& rect);
    virtual void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                      const CGXStyle* pStandardStyle);

    // ---- values and texts ----
    virtual BOOL GetCellValueText(CString& sText);
    virtual void SetEditText(LPCTSTR pszText);
    virtual BOOL GetEditText(CString& sText);
    virtual void SetCellValue(LPCTSTR pszText);
    // The display text of pszValue, or of the style's value when null; false without a value.
    virtual BOOL GetDisplayText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszValue, const CGXStyle& style);
    virtual BOOL StoreDisplayText(ROWCOL nRow, ROWCOL nCol, LPCTSTR pszText, UINT flags, const CGXStyle* pStyle = nullptr);
    virtual BOOL ConvertDisplayText(CString& sText, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style);
    virtual BOOL StoreStyleRange(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType, const CGXStyle* pOldStyle);
    virtual BOOL GetCurrentText(ROWCOL nRow, ROWCOL nCol, CString& sText);
    virtual BOOL GetChoiceListItem(CString& sResult, LPCTSTR pszChoiceList, int nIndex);
    // Index of the entry equal to pszSearch (case-blind), else unless bExact of the first that
    // begins with it; -1 when none. sResult gets the entry found.
    virtual int FindChoiceListItem(CString& sResult, LPCTSTR pszSearch, LPCTSTR pszChoiceList, BOOL bExact);
    virtual void Hide() {}
    virtual void Refresh();

    // ---- mouse ----
    virtual BOOL OnMouseMove(UINT flags, CPoint point);
    virtual BOOL OnMouseButtonHit(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual BOOL OnLeftButtonDown(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual BOOL OnMiddleButtonDown(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual BOOL OnRightButtonDown(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual BOOL OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual BOOL OnMiddleButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual BOOL OnRightButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual BOOL OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual BOOL OnMiddleButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual BOOL OnRightButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point);
    virtual BOOL OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message, int& nResult);
    virtual BOOL GetOption2() { return FALSE; }

    // ---- keys ----
    virtual BOOL HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags);
    virtual BOOL OnKeyDown(UINT, UINT, UINT) { return FALSE; }
    virtual BOOL OnKeyUp(UINT, UINT, UINT) { return FALSE; }
    virtual BOOL OnChar(UINT, UINT, UINT) { return FALSE; }
    virtual BOOL OnCharText(LPCTSTR, UINT, UINT) { return FALSE; }
    virtual BOOL OnDeadChar(UINT, UINT, UINT) { return FALSE; }
    virtual BOOL OnSysKeyDown(UINT, UINT, UINT) { return FALSE; }
    virtual BOOL OnSysKeyUp(UINT, UINT, UINT) { return FALSE; }
    virtual BOOL OnSysChar(UINT, UINT, UINT) { return FALSE; }
    virtual BOOL OnSysDeadChar(UINT, UINT, UINT) { return FALSE; }

    // ---- clipboard, find and replace ----
    virtual BOOL CopyText();
    virtual BOOL PasteText();
    virtual BOOL CutText();
    virtual BOOL CanCopy() { return m_bInit; }
    virtual BOOL CanCut();
    virtual BOOL CanPaste();
    virtual BOOL GetStyleValueText(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CString& sText);
    virtual BOOL FindInCell(const void* pFindParams, ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSelect);
    virtual void ReplaceSelection(LPCTSTR pszText);
    virtual BOOL ReplaceInCell(const void* pFindParams, ROWCOL nRow, ROWCOL nCol);
    virtual BOOL GetSelectionText(CString& sText);

    // ---- messages the grid passes on ----
    virtual void OnChildButtonClicked(CGXChild* pChild);
    virtual BOOL HandleCommandMessage(WPARAM, LPARAM) { return FALSE; }
    virtual void HandleScrollMessage(UINT message);
    virtual BOOL OnCtlColor(CDC*, CWnd*, UINT) { return FALSE; }
    virtual void OnWinIniChange(LPCTSTR pszSection);
    virtual void OnSysColorChange();
    virtual BOOL IsCellReadOnly();
    virtual void OnCancelMode();

    // ---- cell tips ----
    virtual BOOL NeedsCellTip(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style);
    virtual int GetCellTipKind(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style);
    virtual void ShowCellTip(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CWnd* pTipWnd);
    virtual BOOL GetOption3() { return FALSE; }

    // ---- children ----
    virtual void AddChildObject(CGXChild* pChild);
    virtual void RemoveChildObject(CGXChild* pChild);
    virtual CGXChild* GetChildObject(int nIndex) const;
    virtual int GetChildCount() const { return int(m_children.size()); }
    virtual CGXChild* GetCapturedChild() const { return m_pCapturedChild; }
    virtual void SetCapturedChild(CGXChild* pChild) { m_pCapturedChild = pChild; }
    virtual void LayoutChildren(CDC* pDC, const CRect& rectInner, const CGXStyle* pStyle = nullptr) { (void)pDC; (void)rectInner; (void)pStyle; }

    // ---- 3D look ----
    virtual void Draw3dBackground(CDC* pDC, const CRect& rect, const CGXStyle& style, BOOL bForce = FALSE);
    virtual void Draw3dBorder(CDC* pDC, const CRect& rect, const CGXStyle& style);
    virtual BOOL ValidateText(const CString&) { return TRUE; }
    virtual BOOL CanPasteText(LPCTSTR) { return TRUE; }
    // Told a typed text the control refused.
    virtual void SetRefusedText(LPCTSTR) {}
    virtual BOOL IsHeaderMarked(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style);

    // ---- non-virtual ----
    BOOL IsControlKindOf(const CGXControlClass* pClass) const;
    BOOL IsWindowKindOf(CRuntimeClass* pClass);
    CGXGridCore* GetGrid() const { return m_pGrid; }
    CWnd* GetGridWnd() const;
    // The bound cell's style from the grid's cache, cloned and kept until the next binding.
    const CGXStyle& GetCellStyle();
    void ResetCellStyle(BOOL bResetGrid = FALSE);
    // Stores the edit text of a modified cell as its value, the cell going inactive first; true
    // when there is nothing to store.
    BOOL StoreEditTextAsValue(int nType = 0);
    // A windowed cell (its own active flag) is active only while its window exists; becoming
    // active reads the cell's style afresh.
    void SetActiveWithWindow(BOOL& bActiveFlag, BOOL bActive, BOOL bHasWindow);
    // Find in a cell its window is not over: the display text, upper-cased unless the case must
    // match; with bSelect the cell becomes current and active and the find runs again in it.
    BOOL FindInDisplayText(const void* pFindParams, ROWCOL nRow, ROWCOL nCol, BOOL bSelect);
    BOOL IsInitialized() const { return m_bInit; }
    BOOL IsInitializedFor(ROWCOL nRow, ROWCOL nCol) const { return m_bInit && nRow == m_nRow && nCol == m_nCol; }
    CFont* SelectCellFont(CDC* pDC, const CGXStyle& style, const CGXStyle* pStandardStyle);
    static void AddValidationAttributes(CGXStylesMap* pStylesMap);
    void NotifyGridKillFocus(CWnd* pNewWnd);
    void AddInvalidRect(const CRect& rect);
    ROWCOL GetRow() const { return m_nRow; }
    ROWCOL GetCol() const { return m_nCol; }
    // The factory attaches a tip provider; the control owns it.
    void SetCellTipProvider(CGXCellTipBase* pTip) { m_pTip.reset(pTip); }
    CGXCellTipBase* GetCellTipProvider() const { return m_pTip.get(); }

    DWORD m_dwReserved = 0;  // the password control sets 1

protected:
    // Hides a control's window over the current cell without the grid taking it for a leave.
    void HideCellWindow(CWnd* pWnd);
    // Offers a mouse event to the first child under the point.
    template <class Fn>
    BOOL RouteToChildUnder(CPoint point, BOOL bCapture, Fn fn);
    void LayoutChildrenForCell(ROWCOL nRow, ROWCOL nCol);

    CGXGridCore* m_pGrid;
    ROWCOL m_nRow = ROWCOL(-1);
    ROWCOL m_nCol = ROWCOL(-1);
    std::unique_ptr<CGXStyle> m_pStyle;
    BOOL m_bInit = FALSE;
    std::vector<std::unique_ptr<CGXChild>> m_children;
    CGXChild* m_pCapturedChild = nullptr;
    CString m_strPendingChar;
    std::unique_ptr<CGXCellTipBase> m_pTip;
};

// User attributes of validation.
enum : WORD {
    GX_IDS_UA_VALID_MIN = 51011,
    GX_IDS_UA_VALID_MAX = 51012,
    GX_IDS_UA_VALID_MSG = 51013,
    GX_IDS_UA_RTLREADING_VALUE = 52570,
};

// Texts of the properties' "Current Cell." setting.
enum : UINT {
    GX_IDS_CURRENTCELL_INVERTTHIN = 51006,
    GX_IDS_CURRENTCELL_INVERTTHICK = 51007,
    GX_IDS_CURRENTCELL_THINBORDER = 51008,
    GX_IDS_CURRENTCELL_THICKBORDER = 51009,
    GX_IDS_CURRENTCELL_NOBORDER = 20059,
};

// The style's 3D frame setting.
enum : DWORD { gxFrameNone = 0, gxFrameRaised = 1, gxFrameInset = 2 };

// Feeds one WM_CHAR byte into a pending multi-byte character: 1 and the text when it completes,
// 1 and no text while it is pending, 0 for a byte that is a character of its own.
int GXCollectCharMessage(CString& strPending, UINT nChar, CString& strText);
