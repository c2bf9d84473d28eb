#pragma once
// CGXListBox: shows the cell's choice list with the entry equal to the value marked. The current
// cell lays one "GXLISTBOX" child window of the grid over itself to pick an entry from.

#include <memory>

#include "grid/controls/gxstatic.h"
#include "platform/controls/controls.h"

class CGXListBox;

class CGXListBoxWnd : public CListBox {
public:
    explicit CGXListBoxWnd(CGXListBox* pControl) : m_pControl(pControl) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CGXListBox* m_pControl;
};

// The first line to draw so that line nMarked (or none, -1) is visible when nVisible lines fit.
int GXListBoxFirstDrawnLine(int nMarked, int nVisible);

class CGXListBox : public CGXControl {
public:
    CGXListBox(CGXGridCore* pGrid, UINT nID);
    ~CGXListBox() override;

    CWnd* GetWindow() override { return HasWindow() ? m_pWnd.get() : nullptr; }
    void SetActive(BOOL bActive) override;
    BOOL IsActive() override { return m_bActive; }
    void SetModified(BOOL bModified) override { m_bModified = bModified; }
    BOOL IsModified() override { return m_bModified; }
    void InitForCell(ROWCOL nRow, ROWCOL nCol) override;
    BOOL CommitValue() override;
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    CSize AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    CSize ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert = FALSE) override;
    void SetEditText(LPCTSTR pszText) override;
    BOOL GetEditText(CString& sText) override;
    void Hide() override;
    BOOL OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags) override;
    BOOL HandleCommandMessage(WPARAM wParam, LPARAM lParam) override;

    BOOL HasWindow() const { return m_pWnd && m_pWnd->GetSafeHwnd(); }
    CListBox* GetListBoxWnd() { return HasWindow() ? m_pWnd.get() : nullptr; }
    void FillListBox();
    BOOL OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    BOOL CreateControl();
    // Activates (starting editing), lays the window over the cell and passes it a click at
    // point, so that the click picks the entry under it; FALSE when editing was refused.
    BOOL ActivateAndClick(ROWCOL nRow, ROWCOL nCol, CPoint point);

    std::unique_ptr<CGXListBoxWnd> m_pWnd;
    UINT m_nID;
    BOOL m_bActive = FALSE;
    BOOL m_bModified = FALSE;
};
