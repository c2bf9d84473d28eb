#pragma once
// CGXPushbutton: the cell as one push button captioned with its choice list; a click (or
// Space while the cell is current) reaches the grid's button hook.

#include "grid/core/gxctrl.h"

class CGXButton;

class CGXPushbutton : public CGXControl {
public:
    explicit CGXPushbutton(CGXGridCore* pGrid);

    static const CGXControlClass classCGXPushbutton;
    const CGXControlClass* GetControlClass() const override { return &classCGXPushbutton; }
    void InitForCell(ROWCOL nRow, ROWCOL nCol) override;
    CSize ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert = FALSE) override;
    void DrawSelectionMarks(CDC*, const CRect&) override {}
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    void LayoutChildren(CDC* pDC, const CRect& rect, const CGXStyle* pStyle = nullptr) override;

    CGXButton* GetButton() const { return m_pButton; }

private:
    CGXButton* m_pButton;  // a child: owned by the control
};
