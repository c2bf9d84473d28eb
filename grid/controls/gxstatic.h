#pragma once
// CGXStatic: the control of plain text cells (draws, never edits), and the base of the edit
// controls, the header and the bitmap cell. CGXHeader: row and column headers with a button
// look that mark the headers of the current cell. Both windowless.

#include "grid/core/gxctrl.h"

class CGXStatic : public CGXControl {
public:
    explicit CGXStatic(CGXGridCore* pGrid) : CGXControl(pGrid) {}
    ~CGXStatic() override = default;

    static const CGXControlClass classCGXStatic;
    const CGXControlClass* GetControlClass() const override { return &classCGXStatic; }
    CRect ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect = nullptr, const CGXStyle* pStyle = nullptr) override;
    CSize AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    CSize ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert = FALSE) override;
    BOOL CanFloatCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bFlood) override;
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;

    // Half the system frame width, at least 2: the text's distance from the cell's edges.
    static int TextMargin();
};

class CGXHeader : public CGXStatic {
public:
    explicit CGXHeader(CGXGridCore* pGrid) : CGXStatic(pGrid) {}

    static const CGXControlClass classCGXHeader;
    const CGXControlClass* GetControlClass() const override { return &classCGXHeader; }
    void DrawSelectionMarks(CDC* pDC, const CRect& rect) override;
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    BOOL IsHeaderMarked(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
};

// The tip of a text cell whose text does not fit, or of a "#BMP" picture: where the content
// lies on the screen and why it needs a tip.
class CGXCellTipStatic : public CGXCellTipBase {
public:
    explicit CGXCellTipStatic(CGXControl* pControl) : m_pControl(pControl) {}
    BOOL NeedsCellTip(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    int GetCellTipKind(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    // Prepares a text or bitmap tip window of grid/features with the content and its place.
    void ShowCellTip(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CWnd* pTipWnd) override;

    // The content as laid out in the cell, in screen coordinates.
    struct Layout {
        CString sText;
        HGLOBAL hDIB = nullptr;   // the picture of a "#BMP" text
        CRect rectInner;          // the cell less its borders (and, for text, its margins)
        CRect rectContent;        // the whole content, placed by the alignment
        LOGFONT font {};          // the cell's font at the grid's zoom (text only)
        CSize sizeText;           // the text on one line in that font
        int nReasons = 0;         // GX_TIP_* bits
    };
    BOOL ComputeLayout(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, Layout& layout);

private:
    CGXControl* m_pControl;
};

// User attribute "Type of ellipses that will be drawn".
constexpr WORD GX_IDS_UA_ELLIPSISTYPE_ATTR = 52792;
