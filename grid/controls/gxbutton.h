#pragma once
// Cell buttons: windowless children a control draws inside its cell. CGXButton has the pressed
// state and the click cycle; the arrow buttons click on press and repeat while held; the
// hot-spot button is the small button of hot-spot cells (any owner may have one).

#include "grid/core/gxctrl.h"

class CBitmap;

// The face colour of push buttons, a packed colour as a number.
constexpr WORD GX_IDS_UA_PUSHBUTTON_FACECOLOR = 52569;

class CGXButton : public CGXChild {
public:
    explicit CGXButton(CGXControl* pOwner) : CGXChild(pOwner) {}

    void Draw(CDC* pDC, BOOL bActive, const CGXStyle* pStyle) override;
    void DrawFace(CDC* pDC, BOOL bActive) override;
    BOOL OnMouseMove(UINT flags, CPoint point) override;
    BOOL OnLButtonDown(UINT flags, CPoint point) override;
    BOOL OnLButtonUp(UINT flags, CPoint point) override;
    BOOL OnKeyDown(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL OnKeyUp(UINT nChar, UINT nRepCnt, UINT flags) override;
    void OnCancelMode() override;

    BOOL IsPressed() const { return m_bPressed; }

protected:
    enum : UINT { kStateFocus = 1, kStatePressed = 4 };
    UINT DrawState(BOOL bActive) const;
    void RefreshOnChange()
    {
        if (m_bRedrawOnChange)
            Refresh();
    }
    // Face, edge and caption; faceColor is a packed colour.
    void DrawButton(CDC* pDC, BOOL bActive, COLORREF faceColor, BOOL bGrey);

    BOOL m_bPressed = FALSE;
    BOOL m_bTracking = FALSE;
    BOOL m_bRedrawOnChange = TRUE;
    BOOL m_bGreyCaption = FALSE;  // the cell drawn last is disabled
};

// Clicks on press and again while held, faster and faster; repetition is paced by the mouse
// moves the grid passes on while the button is down, so no timer runs.
class CGXArrowButton : public CGXButton {
public:
    explicit CGXArrowButton(CGXControl* pOwner) : CGXButton(pOwner) {}

    BOOL OnMouseMove(UINT flags, CPoint point) override;
    BOOL OnLButtonDown(UINT flags, CPoint point) override;
    BOOL OnLButtonUp(UINT flags, CPoint point) override;

    // The first repeat waits this long; the second kRepeatFast; then 5 ms less each time down
    // to kRepeatMin.
    enum : DWORD { kRepeatFirst = 500, kRepeatFast = 150, kRepeatStep = 5, kRepeatMin = 50 };

protected:
    // Face and edge of an arrow button and its rows (1, 3, 5, 7 pixels wide) as the height
    // allows; bUp puts the narrow row first.
    void DrawArrow(CDC* pDC, BOOL bActive, BOOL bUp);

    DWORD m_dwLastClick = 0;
    DWORD m_dwDelay = kRepeatFirst;
};

class CGXUpArrowButton : public CGXArrowButton {
public:
    explicit CGXUpArrowButton(CGXControl* pOwner) : CGXArrowButton(pOwner) {}
    void DrawFace(CDC* pDC, BOOL bActive) override { DrawArrow(pDC, bActive, TRUE); }
};

class CGXDownArrowButton : public CGXArrowButton {
public:
    explicit CGXDownArrowButton(CGXControl* pOwner) : CGXArrowButton(pOwner) {}
    void DrawFace(CDC* pDC, BOOL bActive) override { DrawArrow(pDC, bActive, FALSE); }
};

class CGXHotSpotButton : public CGXButton {
public:
    explicit CGXHotSpotButton(CGXControl* pOwner) : CGXButton(pOwner) {}
    void DrawFace(CDC* pDC, BOOL bActive) override;
};

// The library's combo arrow pictures (normal and disabled), made once on first use and
// deleted with the library state.
CBitmap* GXGetComboArrowBitmap(BOOL bDisabled);

// Controls that own a drop-down button answer whether it shows in every cell or only in the
// focused one.
class CGXDropDownButtonOwner {
public:
    virtual ~CGXDropDownButtonOwner() = default;
    virtual BOOL GetShowButtonAlways() const = 0;
};

// The drop-down button of the combo-box cells. The focused cell's button follows its pressed
// state; other cells show it, never pressed, only when their control shows its button always.
class CGXComboBoxButton : public CGXButton {
public:
    explicit CGXComboBoxButton(CGXControl* pOwner) : CGXButton(pOwner) {}
    void DrawFace(CDC* pDC, BOOL bActive) override;
    // Shrinks the button in `cell` to the text's height plus its margins, placed as the
    // style aligns the text vertically.
    static void FitToText(CRect& button, const CRect& cell, int nTextHeight, int nMargin, const CGXStyle& style);

protected:
    // Face, edge and the arrow centred (2 pixels off top and bottom).
    void DrawComboFace(CDC* pDC, BOOL bPressed, BOOL bDisabled);
    BOOL OwnerShowsButtonAlways() const;
};

// The button of cells whose control is a real combo window: while that window is up it shows
// its own button, so this one draws nothing.
class CGXComboBoxWndButton : public CGXComboBoxButton {
public:
    explicit CGXComboBoxWndButton(CGXControl* pOwner) : CGXComboBoxButton(pOwner) {}
    void Draw(CDC* pDC, BOOL bActive, const CGXStyle* pStyle) override;
    void DrawFace(CDC* pDC, BOOL bActive) override;

private:
    BOOL m_bDisabled = FALSE;  // the cell drawn last is disabled
};
