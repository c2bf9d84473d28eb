#pragma once
// CGXBDropEdit: an edit window with a small push button in its non-client area, at its right (or
// left) edge. The button shows a bitmap, is pressed and released like a push button, and when
// released over itself (or on F4 or Alt+Down) tells the parent that the edit wants to drop down.
// Without a bitmap there is no button; the keys still notify.

#include "platform/controls/controls.h"
#include "platform/gdi/gdiobj.h"

class CGXBDropEdit : public CEdit {
    DECLARE_DYNAMIC(CGXBDropEdit)
public:
    CGXBDropEdit() = default;
    ~CGXBDropEdit() override = default;

    // 0 removes the button. A bitmap that cannot be loaded leaves the edit without one. Recalculates
    // the frame when the window exists. Always answers TRUE.
    BOOL SetButtonBitmap(UINT nIDBitmap);
    UINT GetButtonBitmap() const { return m_nBitmapId; }
    // Where the button lies, in the parent's client coordinates; empty without a button.
    const CRect& GetButtonRect() const { return m_rcButton; }
    BOOL IsButtonPressed() const { return (m_nFlags & Pressed) != 0; }
    void SetButtonAtRight(BOOL bRight);

    // bClient: the point is in this edit's client coordinates, else in screen coordinates.
    virtual BOOL HitTestButton(CPoint point, BOOL bClient);
    // WM_COMMAND to the parent: the control id, notification code 0, this window.
    virtual void NotifyDropDown();
    virtual void DrawButton(CDC* pDC, const CRect& rect);

    enum : WORD { Pressed = 1, Tracking = 2, ButtonRight = 4 };

protected:
    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    afx_msg void OnNcPaint();
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCancelMode();
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnSysColorChange();
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()

private:
    int buttonWidth() const;
    void loadBitmap();
    void invalidateButton();
    // Ends tracking; answers whether the button was pressed when it ended.
    bool endTracking();
    void drawDisabled(CDC* pDC, const CRect& inner);

    CRect m_rcButton;
    CBitmap m_bmpButton;
    CSize m_sizeBitmap;
    UINT m_nBitmapId { 0 };
    WORD m_nFlags { ButtonRight };
    WORD m_nLeftGap { 1 };
    WORD m_nRightGap { 1 };
};
