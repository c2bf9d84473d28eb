#pragma once
// CGXComboBoxWnd: a real system combo box (drop-down or drop-down list) laid over the current
// cell. One "GXCOMBOBOX" child window of the grid per control, created once and moved over
// whichever cell is current; other cells draw as text with a drop-down button. The combo's
// edit part is subclassed so that the grid sees its keys and focus changes; keys the combo
// does not keep go on to the grid's key processing.

#include <memory>

#include "grid/controls/gxbutton.h"
#include "grid/controls/gxstatic.h"
#include "grid/core/gxgrid.h"
#include "platform/controls/controls.h"

class CGXComboBoxWnd;

// The edit child (id 1001) of a drop-down combo: its key-downs pass the control's key filter
// first; losing the focus outside the combo tells the combo so.
class CGXComboEditPart : public CEdit {
public:
    explicit CGXComboEditPart(CGXComboBoxWnd* pControl) : m_pControl(pControl) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) { return DefWindowProc(message, wParam, lParam); }

protected:
    CGXComboBoxWnd* m_pControl;
};

// The combo box window of the control: messages and owner drawing pass through the control.
class CGXComboWndPart : public CComboBox {
public:
    explicit CGXComboWndPart(CGXComboBoxWnd* pControl) : m_pControl(pControl) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A message loop that pre-translates offers the combo's and its edit part's key-downs to
    // the key filter before they are dispatched (and before they make characters).
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) { return DefWindowProc(message, wParam, lParam); }

private:
    CGXComboBoxWnd* m_pControl;
};

class CGXComboBoxWnd : public CGXStatic, public CGXDropDownButtonOwner {
public:
    explicit CGXComboBoxWnd(CGXGridCore* pGrid);
    ~CGXComboBoxWnd() override;

    static const CGXControlClass classCGXComboBoxWnd;
    const CGXControlClass* GetControlClass() const override { return &classCGXComboBoxWnd; }

    // Makes the window (again on first use when the grid has no window yet).
    virtual BOOL CreateControl(DWORD dwStyle, UINT nID);

    CWnd* GetWindow() override { return HasWindow() ? m_pWnd.get() : nullptr; }
    void SetActive(BOOL bActive) override;
    BOOL IsActive() override { return m_bActive; }
    void SetModified(BOOL bModified) override { m_bModified = bModified; }
    BOOL IsModified() override { return m_bModified; }
    void InitForCell(ROWCOL nRow, ROWCOL nCol) override;
    BOOL CommitValue() override;
    CRect ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect = nullptr, const CGXStyle* pStyle = nullptr) override;
    CSize AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    CSize ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert = FALSE) override;
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    BOOL GetCellValueText(CString& sText) override;
    void SetEditText(LPCTSTR pszText) override;
    BOOL GetEditText(CString& sText) override;
    void SetCellValue(LPCTSTR pszText) override;
    BOOL GetDisplayText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszValue, const CGXStyle& style) override;
    BOOL StoreDisplayText(ROWCOL nRow, ROWCOL nCol, LPCTSTR pszText, UINT flags, const CGXStyle* pStyle = nullptr) override;
    BOOL ConvertDisplayText(CString& sText, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    void Hide() override;
    BOOL OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnKeyDown(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL OnChar(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL OnCharText(LPCTSTR pszText, UINT nRepCnt, UINT flags) override;
    BOOL OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL FindInCell(const void* pFindParams, ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSelect) override;
    void ReplaceSelection(LPCTSTR pszText) override;
    BOOL ReplaceInCell(const void* pFindParams, ROWCOL nRow, ROWCOL nCol) override;
    BOOL GetSelectionText(CString& sText) override;
    void OnChildButtonClicked(CGXChild* pChild) override;
    BOOL HandleCommandMessage(WPARAM wParam, LPARAM lParam) override;
    BOOL ValidateText(const CString& sText) override;
    void LayoutChildren(CDC* pDC, const CRect& rect, const CGXStyle* pStyle = nullptr) override;
    BOOL GetShowButtonAlways() const override { return m_bShowButtonAlways; }

    // ---- The window side ----
    BOOL HasWindow() const { return m_pWnd && m_pWnd->GetSafeHwnd(); }
    CComboBox* GetComboBoxWnd() { return HasWindow() ? m_pWnd.get() : nullptr; }
    CEdit* GetEditPart() { return m_pEditPart && m_pEditPart->GetSafeHwnd() ? m_pEditPart.get() : nullptr; }
    DWORD GetComboStyle() const { return m_dwStyle; }
    UINT GetControlId() const { return m_nID; }
    BOOL IsDropDownList() const { return (m_dwStyle & 3) == CBS_DROPDOWNLIST; }
    BOOL IsOwnerDrawn() const { return (m_dwStyle & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0; }
    BOOL IsListOpen() const;
    // The combo's dropped list window (class "ComboLBox").
    HWND GetListWnd() const;
    CGXComboBoxWndButton* GetButton() const { return m_pButton; }

    // The combo box window's messages, before its own handling; TRUE: handled, with result.
    virtual BOOL OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The key filter of WM_KEYDOWN before the combo box sees it: TRUE eats the key.
    virtual BOOL FilterKeyDown(UINT nChar, LPARAM lParam);
    // The edit part's focus moved elsewhere.
    void OnEditPartKillFocus(HWND hNewFocus);
    // Owner drawing of the window's entries.
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    virtual void MeasureItem(LPMEASUREITEMSTRUCT) {}

    // The settings.
    int m_nButtonMargin;
    BOOL m_bUseChoiceList = TRUE;
    BOOL m_bKeepArrowKeys = FALSE;
    BOOL m_bFitButtonHeight = FALSE;
    int m_nIndexBase = -1;
    BOOL m_bStoreIndex = FALSE;
    BOOL m_bDropOnClick = TRUE;
    BOOL m_bShowButtonAlways = FALSE;
    BOOL m_bButtonInCurrentCellOnly = TRUE;
    BOOL m_bFullHeightSelection = FALSE;
    BOOL m_bFrame3d = TRUE;
    BOOL m_bFindable = FALSE;
    COLORREF m_rgbHighlightText;
    COLORREF m_rgbBack = RGB(255, 255, 255);

    // The room the button takes from the cell; the lines the list shows at most.
    enum : int { kButtonWidth = 15, kMaxListLines = 8 };

protected:
    // Which subclass object the edit part gets.
    virtual std::unique_ptr<CEdit> MakeEditPart() { return std::make_unique<CGXComboEditPart>(this); }
    // Windows 4 or later (the library's new look).
    static BOOL IsNewLook();
    // Activates (starting editing when inactive); FALSE when the grid refused.
    BOOL EnsureActive();
    // Activates and, for a drop-down list with dropOnClick, opens the list.
    void OpenListOnClick();
    // Posts a press and release of the left button to the combo box at a client point.
    void PostClickToCombo(CPoint point);
    // The edit's or the kept selection, in characters.
    void GetSel(int& nStart, int& nEnd);
    void SetSel(int nStart, int nEnd);
    // The text shown: the edit's, or the selected entry's.
    CString GetWindowTextOf();
    // Selects the next entry after the current one beginning with sText (from the top when
    // that finds the same entry); -1 when none.
    int SelectNextBeginning(const CString& sText);
    virtual void FillFromChoiceList();
    // Runs fn with the grid's focus handlers standing by.
    template <class Fn>
    void WithFocusChangesIgnored(Fn fn)
    {
        const BOOL bOldTaking = m_pGrid->m_bTakingFocus;
        const BOOL bOldLock = m_pGrid->m_bLockCurrentCell;
        m_pGrid->m_bTakingFocus = TRUE;
        m_pGrid->m_bLockCurrentCell = TRUE;
        fn();
        m_pGrid->m_bTakingFocus = bOldTaking;
        m_pGrid->m_bLockCurrentCell = bOldLock;
    }
    void ScrollIntoViewOrRefresh();
    void MeasureTextHeight(const CGXStyle& style);
    // The owner-drawn inactive cell: the entry drawn by DrawItem.
    void DrawOwnerDrawnCell(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                            const CGXStyle* pStandardStyle);
    // The selection field of the rectangle (fitButtonHeight places one line in it).
    CRect FitField(const CRect& rect, const CGXStyle& style);

    std::unique_ptr<CGXComboWndPart> m_pWnd;
    std::unique_ptr<CEdit> m_pEditPart;
    CGXComboBoxWndButton* m_pButton;  // a child: owned by the control
    DWORD m_dwStyle = 0;
    UINT m_nID = 0;
    BOOL m_bActive = FALSE;
    BOOL m_bModified = FALSE;
    int m_nSelStart = 0;
    int m_nSelEnd = -1;
    BOOL m_bDropPending = FALSE;
    int m_nTextHeight = 0;
    CString m_strSavedText;
    int m_nSavedSel = -1;
    BOOL m_bRestoring = FALSE;
};
