#pragma once
// CGXRadioButton: each entry of the cell's choice list as a radio button with its text; the
// value is the chosen entry's zero-based index (empty: none), stored at once on a click or
// Space. CGXRadioButtonEx also lays the entries out side by side or puts the text left of
// the buttons, and holds the choice until the grid commits the cell. Windowless.

#include <vector>

#include "grid/controls/gxheldvalue.h"
#include "grid/core/gxctrl.h"

// User attributes of the radio cells: "0" vertical / "1" horizontal; "0" text left / "1" right.
enum : WORD {
    GX_IDS_UA_RADIOBTN_ALIGN = 51057,
    GX_IDS_UA_RADIOBTN_TEXTALIGN = 52568,
};

class CGXRadioButton : public CGXControl {
public:
    CGXRadioButton(CGXGridCore* pGrid, BOOL bDraw3d = FALSE);

    static const CGXControlClass classCGXRadioButton;
    const CGXControlClass* GetControlClass() const override { return &classCGXRadioButton; }
    CSize ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert = FALSE) override;
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    BOOL OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags) override;

    // The choice list's entries; empty lines are no entries.
    static std::vector<CString> EntriesOf(const CGXStyle& style);
    // The chosen index of a value; -1 for an empty one.
    static int SelectedIndex(const CString& sValue);
    // The entry under a point of the cell, laid out in rectInner; -1 for none.
    int HitTestRadioButton(CDC* pDC, const CRect& rectInner, const CGXStyle& style, CPoint point);
    void DrawRadioButton(CDC* pDC, int left, int top, int right, int bottom, BOOL bSelected, BOOL bDraw3d);
    // The entries counted when a cell was last drawn.
    int GetEntryCount() const { return m_nEntries; }

    // Room of a button with its margin, and the least line height.
    enum : int { kButtonBox = 18, kMinLineHeight = 12, kButtonHeight = 12 };

protected:
    struct Layout {
        BOOL bHorizontal = FALSE;
        BOOL bTextLeft = FALSE;
        int nLine = kMinLineHeight;
        int nGap = kMinLineHeight;
    };
    // The layout of the style in the DC's current font.
    virtual Layout LayoutOf(CDC* pDC, const CGXStyle& style);
    // Calls fn(index, button box, text rectangle) for each entry as laid out.
    template <class Fn>
    void WalkEntries(CDC* pDC, const CRect& rectInner, const std::vector<CString>& entries, const Layout& layout, Fn fn);
    // The style a cell is drawn and hit with.
    virtual const CGXStyle& StyleOfCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style);
    int HitTestCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CPoint point);
    void StoreIndex(int nIndex);

    BOOL m_bDraw3d;
    int m_nEntries = 0;
    std::vector<BYTE> m_dib;  // the bitmap buttons, loaded on first use
};

class CGXRadioButtonEx : public CGXHeldValueCell<CGXRadioButton> {
public:
    using CGXHeldValueCell<CGXRadioButton>::CGXHeldValueCell;

    static const CGXControlClass classCGXRadioButtonEx;
    const CGXControlClass* GetControlClass() const override { return &classCGXRadioButtonEx; }
    CSize ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert = FALSE) override;
    BOOL OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags) override;
    BOOL GetOption3() override { return TRUE; }

    static void AddUserAttributes(CGXStylesMap* pStylesMap);

protected:
    Layout LayoutOf(CDC* pDC, const CGXStyle& style) override;
    const CGXStyle& StyleOfCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;

private:
    BOOL Activate();
    void SetPendingValue(const CString& sValue);
};
