#pragma once
// CGXEditControl: the text-editing cell. While a cell is not edited it draws as a static cell;
// while it is, one "GXEDIT" child window of the grid is laid over the cell's inner rectangle and
// takes the keyboard. One control, and so one window, serves all edit cells of a grid. Keys the
// window does not take go on to the grid's key processing.

#include <memory>

#include "grid/controls/gxstatic.h"
#include "platform/controls/controls.h"

class CGXEditControl;

// The edit window: the system edit behaviour, with keys, characters and focus changes passed
// through its control first.
class CGXEditWnd : public CEdit {
public:
    explicit CGXEditWnd(CGXEditControl* pControl) : m_pControl(pControl) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The edit's own processing of a message.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) { return DefWindowProc(message, wParam, lParam); }

private:
    CGXEditControl* m_pControl;
};

class CGXEditControl : public CGXStatic {
public:
    CGXEditControl(CGXGridCore* pGrid, UINT nID);
    ~CGXEditControl() override;

    static const CGXControlClass classCGXEditControl;
    const CGXControlClass* GetControlClass() const override { return &classCGXEditControl; }
    CWnd* GetWindow() override { return HasWindow() ? m_pWnd.get() : nullptr; }
    void SetActive(BOOL bActive) override;
    BOOL IsActive() override { return m_bActive; }
    void SetModified(BOOL bModified) override;
    BOOL IsModified() override;
    void InitForCell(ROWCOL nRow, ROWCOL nCol) override;
    BOOL CommitValue() override;
    BOOL EndEditing() override;
    BOOL CanFloatCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bFlood) override;
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    BOOL GetCellValueText(CString& sText) override;
    void SetEditText(LPCTSTR pszText) override;
    BOOL GetEditText(CString& sText) override;
    void SetCellValue(LPCTSTR pszText) override;
    void Hide() override;
    BOOL OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    int CharUnderPoint(ROWCOL nRow, ROWCOL nCol, CPoint point);
    BOOL OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnKeyDown(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL OnChar(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL OnCharText(LPCTSTR pszText, UINT nRepCnt, UINT flags) override;
    BOOL FindInCell(const void* pFindParams, ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSelect) override;
    void ReplaceSelection(LPCTSTR pszText) override;
    BOOL ReplaceInCell(const void* pFindParams, ROWCOL nRow, ROWCOL nCol) override;
    BOOL GetSelectionText(CString& sText) override;
    BOOL HandleCommandMessage(WPARAM wParam, LPARAM lParam) override;
    BOOL CanPasteText(LPCTSTR pszText) override;

    // The window side.
    BOOL CreateEditWindow(DWORD dwStyle, const CRect& rect);
    virtual DWORD ComputeEditStyle(CRect& rectFormat, int& nNeededHeight);
    void UpdateEditStyle();
    BOOL HasWindow() const { return m_pWnd && m_pWnd->GetSafeHwnd(); }
    CEdit* GetEditWnd() { return HasWindow() ? m_pWnd.get() : nullptr; }
    UINT GetControlId() const { return m_nID; }

    // Messages of the edit window; each answers whether it handled the message.
    virtual BOOL OnEditKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags, LRESULT& result);
    virtual BOOL OnEditChar(UINT nChar, UINT nRepCnt, UINT nFlags, LRESULT& result);
    virtual BOOL OnEditWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Set between the start and the end of an input-method composition, in any edit window.
    static BOOL s_bImeComposition;

    // The style's settings the window was laid out with.
    BOOL m_bAutoSize = FALSE;
    BOOL m_bVScroll = FALSE;
    void* m_pButtonOwner = nullptr;
    BOOL m_bAllowEnter = FALSE;
    BOOL m_bWrapText = FALSE;
    BOOL m_bRTL = FALSE;
    WORD m_nMaxLength = 0;

    // Replaces every occurrence of the find text in sText from byte nFrom on; answers the number
    // replaced. Every cell whose text the user edits replaces through it.
    static int ReplaceAll(CString& sText, int nFrom, const CString& sFind, const CString& sReplace, BOOL bMatchCase);

protected:
    // The text that would result from putting pszText in place of the selection.
    CString TextWithSelectionReplaced(LPCTSTR pszText);
    void GetWindowTextOf(CString& sText);
    // The grid refreshes the cell when it did not scroll it into view.
    void ScrollIntoViewOrRefresh();
    BOOL IsBound() const { return m_bInit; }
    void Refloat();

    std::unique_ptr<CGXEditWnd> m_pWnd;
    UINT m_nID;
    BOOL m_bActive = FALSE;
    DWORD m_dwEditStyle = 0;
    DWORD m_nAlign = 0;
    BOOL m_bRecreating = FALSE;
    int m_nLineHeight = 0;
    int m_nMaxCharWidth = 0;
    COLORREF m_rgbText = 0;
    CString m_strPendingText;
    BOOL m_bReplacing = FALSE;
    BOOL m_bMoveOnly = FALSE;
    CString m_strPendingLead;
    CFont* m_pFont = nullptr;  // from the grid's font cache
};
