#pragma once
// The pop-up that holds a combo cell's choice list, the header strip over a tabbed
// (multi-column) list, and the measuring and drawing of tab-separated list items. The combo
// cells create, fill and destroy these windows; any cell control may own a pop-up.

#include <memory>

#include "platform/base/CString.h"
#include "platform/base/geometry.h"
#include "platform/controls/controls.h"
#include "platform/gdi/gdi.h"
#include "platform/win/win.h"

class CGXControl;

// A borderless top-level tool window at a screen rectangle. Notifications of its list box go
// on to the owning control's window; the list is painted in the cell's colours once they are
// set, in the system's list colours before.
class CGXGridCombo : public CWnd {
public:
    // Creates the window at rectScreen (one pixel further left, as wide as the cell plus one).
    CGXGridCombo(CGXControl* pOwner, const CRect& rectScreen);
    ~CGXGridCombo() override;

    // The list box object is owned by the pop-up from here on; hand it over before its window
    // is created so that its first measuring already reaches it.
    void AttachListBox(std::unique_ptr<CListBox> pListBox) { m_pListBox = std::move(pListBox); }
    CListBox* GetListBox() const { return m_pListBox.get(); }
    void SetColors(COLORREF rgbText, COLORREF rgbBack);
    BOOL HasColors() const { return m_bColorsSet; }

    // Set while a pop-up is being created.
    static BOOL IsCreatingDropDown() { return s_bCreating; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static inline BOOL s_bCreating = FALSE;

    std::unique_ptr<CListBox> m_pListBox;
    CGXControl* m_pOwner;
    BOOL m_bColorsSet = FALSE;
    CBrush m_brush;
    COLORREF m_rgbText = 0;
    COLORREF m_rgbBack = 0;
};

// The caption strip over a tabbed list: one raised cell per column, titles centred; a title
// that names a pool bitmap shows the bitmap.
class CGXTabbedLBoxHeader : public CWnd {
public:
    CGXTabbedLBoxHeader() = default;
    // A child of the desktop, sized by its owner; a tool window unless the library says no.
    BOOL Create(CWnd* pOwner);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Set by the library when its headers must not be tool windows.
    static inline BOOL s_bNoToolWindow = FALSE;

    BOOL m_bTabbed = FALSE;
    int m_nDisplayOffset = 0;     // above 0: the first field of each text is not shown
    int m_nTabStops = 0;
    const int* m_pTabStops = nullptr;  // owned by the list
    CFont* m_pFont = nullptr;          // not owned
    CString m_strHeader;               // tab-separated captions

private:
    void OnPaint();
};

// Fills a pop-up list's client area with the brush its parent gives for list boxes; FALSE
// when the parent gives none.
BOOL GXEraseListWithParentBrush(CWnd* pList, HDC hdc);

// Widest field per column: widths[i] = max(widths[i], width of field i) for the first nCount
// fields; a field that names a pool bitmap counts with the bitmap's width.
void MeasureTabbedColumns(CDC* pDC, LPCTSTR pszText, int nCount, int* pWidths);
// One list item (or, with bHeader, a header text) over the tab stops; the part after the last
// stop runs to the rectangle's right edge.
void DrawTabbedItem(CDC* pDC, const CRect& rect, LPCTSTR pszText, BOOL bHeader, int nDisplayOffset, int nCount,
                    const int* pTabStops, COLORREF rgbBack, COLORREF rgbText);
// Height of an item: at least nHeight, and as tall as the tallest pool bitmap it names.
void MeasureTabbedItemHeight(LPCTSTR pszText, BOOL bHeader, int nDisplayOffset, int nCount, int& nHeight);
