#pragma once
// CGXHotSpotEdit: an edit cell with a small button at its top right; a click on the button
// reaches the grid's button hook, where the application decides what it does.

#include "grid/controls/gxedit.h"

class CGXHotSpotButton;

class CGXHotSpotEdit : public CGXEditControl {
public:
    CGXHotSpotEdit(CGXGridCore* pGrid, UINT nID);

    static const CGXControlClass classCGXHotSpotEdit;
    const CGXControlClass* GetControlClass() const override { return &classCGXHotSpotEdit; }
    void InitForCell(ROWCOL nRow, ROWCOL nCol) override;
    CRect ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect = nullptr, const CGXStyle* pStyle = nullptr) override;
    CSize AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    void LayoutChildren(CDC* pDC, const CRect& rect, const CGXStyle* pStyle = nullptr) override;

    CGXHotSpotButton* GetButton() const { return m_pButton; }

    // The button's width and height, and the room it takes from the text.
    enum : int { kButtonSize = 13 };

private:
    CGXHotSpotButton* m_pButton;  // a child: owned by the control
};
