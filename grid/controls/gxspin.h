#pragma once
// CGXSpinEdit: an edit cell with up and down arrows that step an integer value, optionally
// between bounds, wrapping at them, and starting from a given value.

#include <climits>

#include "grid/controls/gxedit.h"

class CGXUpArrowButton;
class CGXDownArrowButton;

// User attributes of spin cells.
enum : WORD {
    GX_IDS_UA_SPINBOUND_MIN = 51014,
    GX_IDS_UA_SPINBOUND_MAX = 51015,
    GX_IDS_UA_SPINBOUND_WRAP = 51016,
    GX_IDS_UA_SPINSTART = 51021,
};

class CGXSpinEdit : public CGXEditControl {
public:
    CGXSpinEdit(CGXGridCore* pGrid, UINT nID);

    static const CGXControlClass classCGXSpinEdit;
    const CGXControlClass* GetControlClass() const override { return &classCGXSpinEdit; }
    void InitForCell(ROWCOL nRow, ROWCOL nCol) override;
    CRect ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect = nullptr, const CGXStyle* pStyle = nullptr) override;
    CSize AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    BOOL OnLeftButtonDown(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    void OnChildButtonClicked(CGXChild* pChild) override;
    void LayoutChildren(CDC* pDC, const CRect& rect, const CGXStyle* pStyle = nullptr) override;
    static void AddUserAttributes(CGXStylesMap* pStylesMap);

    CGXUpArrowButton* GetUpButton() const { return m_pUp; }
    CGXDownArrowButton* GetDownButton() const { return m_pDown; }

    // A decimal text as a 32-bit number the way atol reads one (leading blanks, a sign, the
    // digits up to the first other character), but held at the 32-bit limits instead of
    // overflowing.
    static LONG ParseLong(LPCTSTR pszText);
    // The value after one step from the text, for the bounds read at the last button press.
    LONG StepValue(const CString& sText, BOOL bUp) const;

    // The room the arrows take from the text.
    enum : int { kButtonWidth = 14 };

private:
    void ReadBounds();

    CGXUpArrowButton* m_pUp;      // children: owned by the control
    CGXDownArrowButton* m_pDown;
    BOOL m_bWrap = FALSE;
    LONG m_nMin = 0;
    LONG m_nMax = 0;
    BOOL m_bHasMin = FALSE;
    BOOL m_bHasMax = FALSE;
    BOOL m_bHasStart = FALSE;
    LONG m_nStart = 0;
};
