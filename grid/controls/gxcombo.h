#pragma once
// CGXComboBox: an edit cell with a drop-down button at its right edge and a pop-up list of the
// style's choices. It types in the edit control's window; while the list is open it owns a
// top-level pop-up (CGXGridCombo) holding a CGXComboListBox. The list talks to the control only
// through four private messages to the edit window. One flag word decides what the cell stores:
// the typed text, the full text of the entry it fits, or the entry's index.

#include <functional>
#include <memory>

#include "grid/controls/gxbutton.h"
#include "grid/controls/gxedit.h"
#include "grid/controls/gxgridcombo.h"

// Bits of the flag word.
enum : UINT {
    GXCOMBO_TEXTFIT = 0x01,        // stores the full text of the entry the typed text fits
    GXCOMBO_NOTEXTFIT = 0x02,      // free text (no bit of its own is tested)
    GXCOMBO_ZEROBASED = 0x04,      // stores the zero-based index of the entry
    GXCOMBO_ONEBASED = 0x08,       // stores the one-based index
    GXCOMBO_DISPLAYCHOICE = 0x10,  // shows and edits the entry's text, stores its index
};

// Messages from the list to the control's edit window.
enum : UINT {
    WM_GX_CHOICEMADE = 0x7AD,
    WM_GX_CLOSELIST = 0x7B8,  // wParam: the edit keeps the focus
    WM_GX_LISTSELCHANGE = 0x7C3,
    WM_GX_LISTKILLFOCUS = 0x7C4,
};

class CGXComboBox;

// The drop-down list. A press and release over an entry, or Enter, makes the choice; Esc and
// Alt+Down close it; Tab moves the grid on; arrows make the cell follow the selection.
class CGXComboListBox : public CListBox {
public:
    explicit CGXComboListBox(CGXComboBox* pOwner) : m_pOwner(pOwner) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // A send may delete this list.
    LRESULT SendToEdit(UINT message, WPARAM wParam = 0);
    BOOL PostToEdit(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    BOOL m_bKeyUsed = FALSE;
    BOOL m_bMousePressed = FALSE;
    CGXComboBox* m_pOwner;
    int m_nKeys = 0;
    int m_nOldSel = -1;
};

class CGXComboBox : public CGXEditControl, public CGXDropDownButtonOwner {
public:
    CGXComboBox(CGXGridCore* pGrid, UINT nEditID, UINT nListBoxID, UINT nFlags);
    ~CGXComboBox() override;

    static const CGXControlClass classCGXComboBox;
    const CGXControlClass* GetControlClass() const override { return &classCGXComboBox; }
    void SetActive(BOOL bActive) override;
    void InitForCell(ROWCOL nRow, ROWCOL nCol) override;
    void ReleaseCell() override;
    CRect ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect = nullptr, const CGXStyle* pStyle = nullptr) override;
    CSize AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    CSize ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert = FALSE) override;
    BOOL GetEditText(CString& sText) override;
    BOOL GetDisplayText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszValue, const CGXStyle& style) override;
    BOOL ConvertDisplayText(CString& sText, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    void ReplaceSelection(LPCTSTR pszText) override;
    BOOL OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message, int& nResult) override;
    BOOL OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT flags) override;
    void OnChildButtonClicked(CGXChild* pChild) override;
    void HandleScrollMessage(UINT message) override;
    void LayoutChildren(CDC* pDC, const CRect& rect, const CGXStyle* pStyle = nullptr) override;
    BOOL ValidateText(const CString& sText) override;
    BOOL OnEditWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    BOOL GetShowButtonAlways() const override { return m_bShowButtonAlways; }

    // The window side.
    virtual CGXGridCombo* CreateDropDownWindow(CWnd* pParent, const CRect& rect);
    virtual CListBox* CreateListBox(CWnd* pParent, UINT nID);
    virtual void DropDown(BOOL bShow);
    virtual BOOL IsListOpen() const { return m_pDropDown != nullptr; }
    virtual void TakeListSelection(CListBox* pListBox);
    virtual void FillListBox(CListBox* pListBox);
    virtual void ComputeListRect(CRect& rect, const CRect& rectCell);
    virtual void DestroyDropDown(CGXGridCombo* pDropDown);
    // The height of one list line for fitting the list to its entries.
    virtual int ListLineHeight(CListBox* pListBox);
    // Room a header over the list takes; the header goes above the list's rectangle.
    virtual int HeaderHeight() { return 0; }
    virtual void PlaceHeader(const CRect&) {}

    // The four messages of the list.
    virtual void OnChoiceMade();
    virtual void OnCloseList(BOOL bKeepFocus);
    virtual void OnListSelChange();
    virtual void OnListKillFocus();

    CGXComboBoxButton* GetButton() const { return m_pButton; }
    // How a list reaches the control: sent or posted to the edit window.
    LRESULT SendToEditWnd(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostToEditWnd(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    CGXGridCombo* GetDropDown() const { return m_pDropDown; }
    UINT GetComboFlags() const { return m_nComboFlags; }

    // The index of the entry that sText names (exact, else the first it begins; letters
    // compared without case), -1 when none; sEntry gets that entry.
    int FindEntry(const CGXStyle& style, const CString& sText, CString& sEntry);
    // The button's width, and the room it takes from the text.
    enum : int { kButtonWidth = 15 };

    BOOL m_bUseChoiceList = TRUE;
    BOOL m_bButtonInCurrentCellOnly = FALSE;
    BOOL m_bShowButtonAlways = FALSE;
    DWORD m_dwListStyle = 0;  // 0: WS_VSCROLL | LBS_NOTIFY
    BOOL m_bRefreshOnChoice = FALSE;
    BOOL m_bFitButtonHeight = TRUE;
    int m_nButtonMargin = 1;

protected:
    // Runs fn with the grid's focus handlers standing by, so that the control's own focus
    // moves are not taken for the user leaving the cell.
    void WithFocusChangesIgnored(const std::function<void()>& fn);
    // Runs fn with the library's pop-up flag set, so that no frame takes the pop-up's
    // showing or hiding for its own deactivation.
    void WithPopupActive(const std::function<void()>& fn);
    void MoveFocus(CWnd* pWnd);
    DWORD ListStyle() const { return m_dwListStyle ? m_dwListStyle : WS_VSCROLL | LBS_NOTIFY; }
    // The screen rectangle of the bound cell.
    CRect CellScreenRect();
    // The list's rectangle fitted to its entries and kept on the desktop (below the cell, or
    // above it when it does not fit below; moved left at the right edge).
    CRect FitListRect(CRect rect, const CRect& rectCell, int nEntries, int nItemHeight, int nLineHeight,
                      int nExtraBelow, BOOL& bAbove);
    BOOL IsInside(HWND hWnd, HWND hParent) const;
    // Shows a text the list chose: the control becomes active and modified, the text selected.
    void PutChoiceText(const CString& sText);
    // Sets the edit window's text without it counting as typing.
    void SetEditWindowText(const CString& sText);
    // Hands the list object to the pop-up and makes its window (create) over the pop-up's
    // client area less a pixel left and right; null when that fails.
    CListBox* AttachListBox(CWnd* pParent, std::unique_ptr<CListBox> pList,
                            const std::function<BOOL(CListBox*, const CRect&)>& create);
    // The first half of a choice: the selection taken (unless the cell is read-only) and the
    // pop-up closed; says where the focus was. FALSE when no list was open.
    BOOL CloseWithChoice(BOOL& bFocusInside, BOOL& bFocusOnGrid);
    void MeasureTextHeight(const CGXStyle& style);

    UINT m_nComboFlags;
    CGXComboBoxButton* m_pButton;  // a child: owned by the control
    UINT m_nListBoxID;
    CGXGridCombo* m_pDropDown = nullptr;  // the open pop-up
    std::unique_ptr<CFont> m_pListFont;
    int m_nTextHeight = 0;
};
