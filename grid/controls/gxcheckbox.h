#pragma once
// CGXCheckBox: a cell's value shown as a check box with an optional label (the choice list),
// toggled by a click on the box or Space and stored at once. CGXCheckBoxEx toggles only its
// copy of the value, stored when the grid commits the cell as an edit would be. Windowless.

#include <vector>

#include "grid/controls/gxheldvalue.h"
#include "grid/core/gxctrl.h"
#include "grid/core/gxstyle.h"
#include "platform/gdi/gdidefs.h"

// User attributes of check boxes; empty, they are "1" and "0".
enum : WORD {
    GX_IDS_UA_CHECKBOX_CHECKED = 51019,
    GX_IDS_UA_CHECKBOX_UNCHECKED = 51020,
};

// A packed DIB (header, 16-entry colour table, 4-bit bottom-up rows) of one of the cell
// controls' pictures; empty for an id that has none.
std::vector<BYTE> GXLoadCellBitmapDIB(UINT nID);
// The pictures' colours on the screen (black the window text, red the window, green the window
// frame, light grey the button face) or in print (black, white, the frame, the button face).
COLORREF GXMapCellBitmapColor(COLORREF color, BOOL bPrint);
// Maps the colour table of a DIB made by GXLoadCellBitmapDIB.
void GXMapCellBitmapColors(std::vector<BYTE>& dib, COLORREF (*pfnMap)(COLORREF, BOOL), BOOL bPrint);
// Where the bits of such a DIB begin.
constexpr size_t GX_CELLBITMAP_HEADER = sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD);

class CGXCheckBox : public CGXControl {
public:
    // nBitmapId 0: the default for the look; nPrintBitmapId 0: the flat strip.
    CGXCheckBox(CGXGridCore* pGrid, BOOL bDraw3d = FALSE, UINT nBitmapId = 0, UINT nPrintBitmapId = 0);

    static const CGXControlClass classCGXCheckBox;
    const CGXControlClass* GetControlClass() const override { return &classCGXCheckBox; }
    CSize ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert = FALSE) override;
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    BOOL ConvertDisplayText(CString& sText, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    BOOL OnMouseMove(UINT flags, CPoint point) override;
    BOOL OnLeftButtonDown(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags) override;
    // Without a child: the toggle.
    void OnChildButtonClicked(CGXChild* pChild) override;
    void OnSysColorChange() override;
    void OnCancelMode() override;

    // GX_CHECK_* flags of a cell.
    virtual UINT ComputeCheckState(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style);
    virtual void DrawCheckBox(CDC* pDC, const CRect& rect, UINT nState, DWORD dwAlign, LPCTSTR pszLabel);
    virtual CRect ComputeBoxRect(CDC* pDC, const CRect& rect, LPCTSTR pszLabel, DWORD dwAlign);
    virtual COLORREF MapBitmapColor(COLORREF color, BOOL bPrint);
    virtual BOOL LoadCheckBitmaps();

    static void AddUserAttributes(CGXStylesMap* pStylesMap);
    // The value after a toggle: checked becomes unchecked, unchecked in a tri-state cell
    // becomes indeterminate (empty), anything else checked.
    static CString NextValue(const CString& sValue, const CString& sChecked, const CString& sUnchecked, BOOL bTriState);
    static void CheckTexts(const CGXStyle& style, CString& sChecked, CString& sUnchecked);
    static BOOL IsTriState(const CGXStyle& style) { return style.GetIncludeTriState() && style.GetTriState(); }

    enum : int { kBoxSize = 13 };
    // Alignment bits of DrawCheckBox and ComputeBoxRect.
    enum : DWORD { kAlignCenter = 1, kAlignRight = 2, kAlignVCenter = 4, kAlignBottom = 8 };

protected:
    // Where the box lies in the bound cell, measured with the cell's font and label.
    CRect HitRectOf(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style);
    BOOL IsReleaseInCell(ROWCOL nRow, ROWCOL nCol, CPoint point);
    static DWORD AlignmentOf(const CGXStyle& style);
    static CString LabelOf(const CGXStyle& style) { return style.GetIncludeChoiceList() ? style.GetChoiceList() : CString(); }

    BOOL m_bDraw3d;
    std::vector<BYTE> m_screenDIB;
    std::vector<BYTE> m_printDIB;
    UINT m_nBitmapId;
    UINT m_nPrintBitmapId;
    BOOL m_bLoadFailed = FALSE;
    BOOL m_bPressed = FALSE;
    BOOL m_bTracking = FALSE;  // the left button went down in the bound cell
    CRect m_rectBox;
};

// Check states of ComputeCheckState; neither checked nor unchecked is indeterminate.
enum : UINT { GX_CHECK_CURRENT = 1, GX_CHECK_GREY = 2, GX_CHECK_CHECKED = 4, GX_CHECK_UNCHECKED = 8 };

class CGXCheckBoxEx : public CGXHeldValueCell<CGXCheckBox> {
public:
    using CGXHeldValueCell<CGXCheckBox>::CGXHeldValueCell;

    static const CGXControlClass classCGXCheckBoxEx;
    const CGXControlClass* GetControlClass() const override { return &classCGXCheckBoxEx; }
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    BOOL HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags) override;
    void OnChildButtonClicked(CGXChild* pChild) override;

private:
    // Puts a value in the control's copy, shows it and marks the cell modified.
    void SetPendingValue(const CString& sValue);
};
