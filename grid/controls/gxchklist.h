#pragma once
// CGXCheckListComboBox: a combo cell whose drop-down is a list of check boxes. The first line
// of the choice list is the caption the cell always shows; the lines after it are the entries,
// entry i standing for bit 2^i of the cell's value (a decimal number, empty for none). Nothing
// is typed; every way of closing the list keeps the ticks.

#include "grid/controls/gxcombo.h"

class CGXCheckListComboBox;

class CGXCheckListComboLBox : public CCheckListBox {
public:
    explicit CGXCheckListComboLBox(CGXCheckListComboBox* pOwner) : m_pOwner(pOwner) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    BOOL m_bKeyUsed = FALSE;
    BOOL m_bMousePressed = FALSE;
    CGXCheckListComboBox* m_pOwner;
    int m_nOldSel = -1;
};

class CGXCheckListComboBox : public CGXComboBox {
public:
    CGXCheckListComboBox(CGXGridCore* pGrid, UINT nEditID, UINT nListBoxID, UINT nFlags = GXCOMBO_NOTEXTFIT);

    static const CGXControlClass classCGXCheckListComboBox;
    const CGXControlClass* GetControlClass() const override { return &classCGXCheckListComboBox; }
    BOOL GetDisplayText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszValue, const CGXStyle& style) override;
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    BOOL HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags) override;
    BOOL OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    DWORD ComputeEditStyle(CRect& rectFormat, int& nNeededHeight) override;
    BOOL OnEditChar(UINT nChar, UINT nRepCnt, UINT nFlags, LRESULT& result) override;
    BOOL OnEditWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    CListBox* CreateListBox(CWnd* pParent, UINT nID) override;
    void FillListBox(CListBox* pListBox) override;
    void TakeListSelection(CListBox* pListBox) override;
    void OnChoiceMade() override;
    void OnCloseList(BOOL bKeepFocus) override;
    void OnListSelChange() override {}
    void OnListKillFocus() override;

    // Entries from the 33rd on have no bit of the 32-bit value.
    enum : int { kMaxBits = 32 };
    // The stored value as a mask: 0 for an empty value or one that is not a number.
    static DWORD ParseMask(const CString& sValue);
    int GetEntryCount() const { return m_nEntries; }

private:
    int m_nEntries = 0;
};
