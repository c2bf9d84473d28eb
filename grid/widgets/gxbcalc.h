#pragma once
// CGXBCalculator: a four-function calculator window, a display above 21 buttons, worked by
// mouse, typed characters and keys. CGXBPopupCalculator: the same as a pop-up under (or above) a
// rectangle; it takes the focus, hands its result to its owner and closes itself.

#include "platform/gdi/gdiobj.h"
#include "platform/win/cwnd.h"

#include <functional>
#include <memory>
#include <vector>

// The pop-up's result: wParam 0, lParam the entry text (zero-terminated, the calculator's
// decimal separator, no grouping).
constexpr UINT GXB_WM_CALCRESULT = 2019;

// Window style bits of the calculator (the class-specific low word).
constexpr DWORD GXBCS_RAISEDFRAME = 0x0001;   // draws its own two-pixel raised frame
constexpr DWORD GXBCS_ETCHEDLINE = 0x0002;    // an etched line above the display
constexpr DWORD GXBCS_NOTIFYONEQUALS = 0x0010; // pop-up: "=" delivers the result and closes

class CGXBCalcBtn : public CObject {
public:
    enum : int { Pressed = 1, NewRow = 2 };

    CGXBCalcBtn(int nID, const CString& strLabel, const CString& strKeys, int nColumns, UINT nVirtKey,
                COLORREF crText, CFont* pFont, CBitmap* pBitmap, int nFlags);
    ~CGXBCalcBtn() override = default;
    virtual void Draw(CDC* pDC);

    CFont* m_pFont { nullptr };
    CBitmap* m_pBitmap { nullptr };  // the calculator's bitmap object, or none
    COLORREF m_crText { 0 };
    CString m_strLabel;
    CString m_strKeys;  // lower case; a typed character found here clicks the button
    int m_nID { 0 };
    int m_nColumns { 1 };
    UINT m_nVirtKey { 0 };
    int m_nFlags { 0 };
    CRect m_rect;
};

class CGXBCalculator : public CWnd {
public:
    using CGXBCalcBtnArray = std::vector<std::unique_ptr<CGXBCalcBtn>>;

    // Button ids; the digits are 9 + digit.
    enum : int {
        IdMultiply = 1, IdAdd = 2, IdSubtract = 3, IdDivide = 4, IdPercent = 5, IdEquals = 6,
        IdClear = 7, IdClearEntry = 8, IdDigit0 = 9, IdDecimal = 19, IdBackspace = 20,
    };
    // 2 (a pending lead byte) is never set: typed characters arrive whole.
    enum : int { FlagPressing = 1, FlagValueSet = 4, FlagError = 8 };

    CGXBCalculator();
    ~CGXBCalculator() override;

    virtual BOOL Create(DWORD dwExStyle, DWORD dwStyle, int x, int y, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);

    // Resets as "C", then holds the value; before the window exists it survives the creation.
    // A value that is not finite puts the calculator in its error state.
    void SetValue(double dValue);
    double GetValue() const { return m_dAccum; }
    const CString& GetEntryText() const { return m_strEntry; }
    BOOL IsError() const { return (m_nFlags & FlagError) != 0; }
    // The text the display shows.
    CString GetDisplayText() const;
    // One character; before Create, so the result reads back where it goes. Empty takes the
    // locale's at Create.
    void SetDecimalSeparator(const CString& strSeparator);
    const CString& GetDecimalSeparatorText() const { return m_strDecimal; }
    int GetDisplayCapacity() const { return m_nDisplayCapacity; }
    int GetMaxDecimals() const { return m_nMaxDecimals; }
    const CGXBCalcBtnArray& GetButtons() const { return m_buttons; }
    const CGXBCalcBtn* FindButton(int nID) const;
    const CRect& GetDisplayRect() const { return m_rcDisplay; }

    // Runs the button's operation; 0 for an unknown id or an entry that does not read.
    virtual BOOL HandleButton(int nID);

protected:
    virtual BOOL CreateButtons();
    // The button and display fonts, from the parent's font.
    virtual BOOL CreateDisplayFont();
    // The first character of the locale's decimal separator, "." when there is none.
    virtual CString GetDecimalSeparator();
    virtual UINT GetClassStyle() const { return 0; }
    virtual void Draw(CDC* pDC, const CRect& rcClip);

    // The size, position-free, that Create gives the window; FALSE when fonts or buttons fail.
    BOOL PrepareCreate(DWORD& dwExStyle, DWORD& dwStyle, CWnd* pParentWnd, CSize& sizeWindow);
    // Shows the button pressed, runs it, shows it released.
    void ClickButton(CGXBCalcBtn* pButton);
    // The calculator's own key handling: a button's virtual key. TRUE when a button took it.
    BOOL HandleVirtualKey(UINT nChar);

    afx_msg void OnPaint();
    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    afx_msg void OnNcPaint();
    afx_msg void OnSysColorChange();
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCancelMode();
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()

private:
    void layout();
    void clearAll();
    void clearEntry();
    void digit(int d);
    void decimal();
    void backspace();
    BOOL operation(int k);
    void formatDisplay();
    void setError();
    void beep();
    void repaint();
    int buttonAt(CPoint point) const;
    void releasePressed(bool bRepaint);

    int m_nFlags { 0 };
    double m_dAccum { 0 };
    int m_nPending { 0 };
    BOOL m_bNewEntry { FALSE };
    int m_nMaxDecimals { 15 };
    int m_nDisplayCapacity { 0 };
    CRect m_rcDisplay;
    CString m_strEntry;
    CString m_strDecimal;
    CFont m_fontButton;
    CFont m_fontDisplay;
    CBitmap m_bmpEquals;
    int m_nButtonWidth { 0 };
    int m_nButtonHeight { 0 };
    int m_nTopMargin { 1 };
    int m_nLeftMargin { 4 };
    int m_nRowGap { 1 };
    int m_nColumnGap { 0 };
    int m_nPressed { -1 };
    CWnd* m_pFontSource { nullptr };
    CSize m_sizeClient;
    DWORD m_dwCreateStyle { 0 };
    CGXBCalcBtnArray m_buttons;

protected:
    // False once the object is gone: the owner of a pop-up may close it while it hears the result.
    std::shared_ptr<bool> m_pAlive { std::make_shared<bool>(true) };
};

class CGXBPopupCalculator : public CGXBCalculator {
public:
    CGXBPopupCalculator() = default;
    ~CGXBPopupCalculator() override;

    using CGXBCalculator::Create;
    // A visible pop-up under rect (screen coordinates), or above it near the work area's bottom;
    // right-aligned with it near the work area's right edge. Takes the focus.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pOwnerWnd, CCreateContext* pContext = nullptr);

    // The object deletes itself once its window is gone.
    void SetAutoDelete(BOOL bAutoDelete) { m_bAutoDelete = bAutoDelete; }
    // Where the result goes (the owner given to Create until then).
    void SetTarget(CWnd* pTarget) { m_hWndTarget = pTarget ? pTarget->GetSafeHwnd() : nullptr; }
    // Called once when the window is gone, before an auto-deleting object deletes itself.
    void SetClosedHandler(std::function<void()> fn) { m_fnClosed = std::move(fn); }

    BOOL HandleButton(int nID) override;
    // Sends the result to the target, at most once in the pop-up's life, never in error.
    virtual void NotifyResult();

protected:
    UINT GetClassStyle() const override { return CS_SAVEBITS; }
    void PostNcDestroy() override;

    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    // Destroys the window once, whichever way closes it first; bRestoreFocus gives the focus back
    // to the target first (the user closed it from the keyboard).
    void close(bool bRestoreFocus);
    // "=" then the result then closing: Return and Alt+Down.
    void deliverAndClose();

    BOOL m_bAutoDelete { FALSE };
    bool m_bClosing { false };
    bool m_bNotified { false };
    HWND m_hWndTarget { nullptr };
    std::function<void()> m_fnClosed;
};
