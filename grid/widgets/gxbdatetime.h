#pragma once
// CGXBDateTimeCtrl: a window that edits one date-time value field by field. Its format (the
// locale's time, short or long date, or a custom pattern) is cut into gadgets: numeric fields,
// name lists, static separators, and optionally a drop-down button and a spin button. Typed
// digits and name prefixes, arrow keys and the spin step the fields; the button, F4 and Alt+Down
// drop a pop-up calendar. Every change passes the validation range and the approve hook, and is
// told to the parent (WM_COMMAND, GXB_DTN_CHANGED) and to the after-change hook.
//
// The gadgets' state is public to readers (the date-time cell draws inactive cells from it).

#include "grid/widgets/gxbres.h"
#include "platform/gdi/gdiobj.h"
#include "platform/sys/ole.h"
#include "platform/win/cwnd.h"

#include <memory>
#include <vector>

class CGXBPopupCalendar;
class CGXBDateTimeCtrl;

#define GXB_DATETIMECTRL_CLASS "CGXBDateTimeCtrl"

// Window style bits of the control (the class-specific low word).
constexpr DWORD GXBDT_DROPDOWN = 0x0001;     // the calendar button, F4 and Alt+Down
constexpr DWORD GXBDT_SPIN = 0x0002;         // the spin button
constexpr DWORD GXBDT_YEARCENTURY = 0x0010;  // a two-digit year keeps the value's century

// WM_COMMAND notification code: the value changed.
constexpr WORD GXB_DTN_CHANGED = 0x0100;

// Field kinds: what a field shows, and the bits of UpdateGadgetValues.
enum : int {
    GXBDT_HOUR12 = 1,
    GXBDT_HOUR24 = 2,
    GXBDT_MINUTE = 4,
    GXBDT_SECOND = 8,
    GXBDT_AMPM = 16,
    GXBDT_DAY = 32,
    GXBDT_WEEKDAY = 64,
    GXBDT_MONTH = 128,
    GXBDT_MONTHNAME = 256,
    GXBDT_YEAR2 = 512,
    GXBDT_YEAR4 = 1024,
    GXBDT_ALLKINDS = 2047,
    GXBDT_DATEKINDS = GXBDT_DAY | GXBDT_WEEKDAY | GXBDT_MONTH | GXBDT_MONTHNAME | GXBDT_YEAR2 | GXBDT_YEAR4,
};

// Field groups of SetNoEditFields.
enum : int {
    GXBDT_FIX_YEAR = 0x01,
    GXBDT_FIX_MONTH = 0x02,
    GXBDT_FIX_DAY = 0x04,
    GXBDT_FIX_HOUR = 0x08,
    GXBDT_FIX_MINUTE = 0x10,
    GXBDT_FIX_SECOND = 0x20,
    GXBDT_FIX_ALL = 0x3F,
};

// Events a field sends to the control.
enum : int {
    GXBDT_EV_UP = 1,
    GXBDT_EV_DOWN = 2,
    GXBDT_EV_SPINUP = 3,
    GXBDT_EV_SPINDOWN = 4,
    GXBDT_EV_DROP = 5,
    GXBDT_EV_CHECK = 6,
    GXBDT_EV_STORE = 7,
    GXBDT_EV_FIRST = 8,
    GXBDT_EV_LAST = 9,
    GXBDT_EV_TYPING = 10,
    GXBDT_EV_NEXT = 11,
};

class CGXBDTGadget : public CObject {
public:
    enum : int { Editable = 1, WantMouse = 2, Fixed = 4 };

    CGXBDTGadget(CGXBDateTimeCtrl* pCtrl, int nKind, int nStyle) : m_pCtrl(pCtrl), m_nKind(nKind), m_nStyle(nStyle) {}
    // Stops a running timer: no tick reaches a freed gadget.
    ~CGXBDTGadget() override;

    // Sets the rectangle's size (its position is the layout's).
    virtual void Measure(CDC* pDC) = 0;
    virtual void Draw(CDC* pDC) = 0;
    virtual void SetFocus(BOOL bFocus);
    virtual void OnKeyDown(UINT nChar);
    virtual void OnChar(UINT nChar);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    // Before the calendar drops or the mouse is taken away: typed digits commit.
    virtual void CancelMode() {}
    virtual void OnTimer() {}
    virtual void ResetTimer() {}
    virtual void OnSysColorChange() {}

    const CRect& GetRect() const { return m_rect; }
    void SetRect(const CRect& rc) { m_rect = rc; }
    BOOL HasFocus() const { return m_bFocus; }
    int GetKind() const { return m_nKind; }
    int GetValue() const { return m_nValue; }
    void SetValue(int nValue) { m_nValue = nValue; }
    int GetStyle() const { return m_nStyle; }
    BOOL IsEditable() const { return (m_nStyle & Editable) != 0; }
    BOOL IsFixed() const { return (m_nStyle & Fixed) != 0; }
    void SetEditable(BOOL bEditable) { m_nStyle = bEditable ? (m_nStyle | Editable) : (m_nStyle & ~Editable); }
    BOOL IsTimerRunning() const { return m_nTimerId != 0; }

protected:
    void StartTimer(UINT nElapse);
    void StopTimer();
    // The control's field event; beeps when a user's step is refused.
    BOOL Event(int nEvent, int nValue, BOOL bBeep = TRUE);
    void Invalidate();

    CGXBDateTimeCtrl* m_pCtrl;
    CRect m_rect;
    BOOL m_bFocus { FALSE };
    int m_nKind { -1 };
    int m_nValue { 0 };
    int m_nStyle { 0 };
    UINT_PTR m_nTimerId { 0 };
    // False once the gadget is gone: a change it reports may rebuild the control's gadgets.
    std::shared_ptr<bool> m_pAlive { std::make_shared<bool>(true) };

private:
    static void TimerProc(HWND, UINT, UINT_PTR nID, DWORD);
};

class CGXBDTNumericGadget : public CGXBDTGadget {
public:
    CGXBDTNumericGadget(CGXBDateTimeCtrl* pCtrl, int nKind, int nMin, int nMax, BOOL bLeadZero);

    void Measure(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void SetFocus(BOOL bFocus) override;
    void OnKeyDown(UINT nChar) override;
    void OnChar(UINT nChar) override;
    void CancelMode() override { Commit(); }

    // The text shown: the typed number while typing, else the value.
    CString GetText() const;
    int GetMin() const { return m_nMin; }
    int GetMax() const { return m_nMax; }
    int GetWidth() const { return m_nWidth; }
    BOOL IsLeadZero() const { return m_bLeadZero; }
    BOOL IsTyping() const { return m_bTyping; }
    int GetTypedValue() const { return m_nNewValue; }
    int GetTypedDigits() const { return m_nDigits; }
    // Checks and stores the typed number; a refused one beeps and the old value shows again.
    void Commit();

private:
    void endTyping();

    int m_nMin;
    int m_nMax;
    BOOL m_bLeadZero;
    int m_nWidth;
    int m_nNewValue { 0 };
    int m_nDigits { 0 };
    BOOL m_bTyping { FALSE };
};

class CGXBDTListGadget : public CGXBDTGadget {
public:
    CGXBDTListGadget(CGXBDateTimeCtrl* pCtrl, int nKind, std::vector<CString> entries);

    void Measure(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void SetFocus(BOOL bFocus) override;
    void OnKeyDown(UINT nChar) override;
    void OnChar(UINT nChar) override;
    void OnTimer() override;
    void ResetTimer() override;

    // The first entry from nStart on (wrapping) that begins with the prefix, case-blind and by
    // whole characters, and that the control would take; -1 when none.
    int FindEntryByPrefix(const CString& strPrefix, int nStart);
    const std::vector<CString>& GetEntries() const { return m_entries; }
    CString GetText() const;
    const CString& GetPrefix() const { return m_strPrefix; }

private:
    std::vector<CString> m_entries;
    CString m_strPrefix;
};

class CGXBDTStaticGadget : public CGXBDTGadget {
public:
    CGXBDTStaticGadget(CGXBDateTimeCtrl* pCtrl, const CString& strText)
        : CGXBDTGadget(pCtrl, -1, 0), m_strText(strText) {}
    void Measure(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    const CString& GetText() const { return m_strText; }
    void AppendText(const CString& s) { m_strText += s; }

private:
    CString m_strText;
};

class CGXBDTButtonGadget : public CGXBDTGadget {
public:
    explicit CGXBDTButtonGadget(CGXBDateTimeCtrl* pCtrl);
    void Measure(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void CancelMode() override;
    void OnSysColorChange() override;

    BOOL IsPressed() const { return m_bPressed; }
    CBitmap& GetBitmap() { return m_bitmap; }

private:
    CBitmap m_bitmap;
    BOOL m_bPressed { FALSE };
    BOOL m_bCaptured { FALSE };
};

class CGXBDTSpinGadget : public CGXBDTGadget {
public:
    enum : int { UpPressed = 1, DownPressed = 2, UpCaptured = 4, DownCaptured = 8, TimerRunning = 16, FirstDelay = 32 };

    explicit CGXBDTSpinGadget(CGXBDateTimeCtrl* pCtrl) : CGXBDTGadget(pCtrl, -1, WantMouse | Fixed) {}
    void Measure(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void CancelMode() override;
    void OnTimer() override;

    // One half: a raised (or, pressed, sunken) two-level frame round a black triangle.
    static void DrawArrowButton(CDC* pDC, const CRect& rect, BOOL bUp, BOOL bPressed);
    int GetState() const { return m_nState; }
    int GetRepeatCount() const { return m_nRepeat; }
    CRect GetUpRect() const;
    CRect GetDownRect() const;

private:
    void stop();

    int m_nState { 0 };
    int m_nRepeat { 0 };
};

class CGXBDateTimeCtrl : public CWnd {
    DECLARE_DYNAMIC(CGXBDateTimeCtrl)
public:
    using CGXBDTGadgetArray = std::vector<std::unique_ptr<CGXBDTGadget>>;
    enum : int { StateModified = 1, StateTyping = 4 };
    enum : int { FormatTime = 0, FormatShortDate = 1, FormatLongDate = 2, FormatCustom = 3, FormatDateTime = 4 };

    CGXBDateTimeCtrl();
    ~CGXBDateTimeCtrl() override;

    static BOOL RegisterWindowClass();
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    void SetFormatType(int nType);
    int GetFormatType() const { return m_nFormatType; }
    void SetCustomFormat(LPCTSTR lpszFormat);
    const CString& GetCustomFormat() const { return m_strCustomFormat; }
    // The format text in use.
    CString GetFormatText() const;
    // Refused (FALSE) for a value that is not valid.
    BOOL SetDateTime(const COleDateTime& dt);
    const COleDateTime& GetDateTime() const { return m_dt; }
    // Refused when a bound is invalid or the minimum is after the maximum. Mode 0 checks
    // nothing, 1 the time, 2 the date, others both.
    BOOL SetValidationRange(const COleDateTime& dtMin, const COleDateTime& dtMax, int nMode);
    void GetValidationRange(COleDateTime& dtMin, COleDateTime& dtMax, int& nMode) const;
    void SetNoEditFields(int nMask);
    int GetNoEditFields() const { return m_nNoEditFields; }
    void SetFastInput(BOOL bFast) { m_bFastInput = bFast; }
    BOOL GetFastInput() const { return m_bFastInput; }
    void UpdateGadgetValues(int nKinds);
    void ResetState();
    int GetState() const { return m_nState; }
    BOOL IsModified() const { return (m_nState & StateModified) != 0; }
    void SetModified(BOOL b) { m_nState = b ? (m_nState | StateModified) : (m_nState & ~StateModified); }
    // The gadget under a client point, or -1.
    int GadgetFromPoint(CPoint point) const;
    BOOL IsAtFirstEditableGadget() const;
    BOOL IsAtLastEditableGadget() const;
    int GetCurrentGadget() const { return m_nCurGadget; }
    // Makes gadget i current (an editable field), moving the gadgets' focus.
    BOOL SetCurrentGadget(int i);
    BOOL FirstEditableGadget();
    BOOL LastEditableGadget();
    const CGXBDTGadgetArray& GetGadgets() const { return m_gadgets; }
    CGXBDTGadget* GetGadget(int i) const;
    int GetFixedCount() const { return m_nFixed; }
    int GetScrollOffset() const { return m_nXOffset; }
    // Field kinds of the format; HasDatePart when one of them is a date kind.
    int GetFieldKinds() const { return m_nFieldKinds; }
    BOOL HasDatePart() const { return (m_nFieldKinds & GXBDT_DATEKINDS) != 0; }
    void SetTextColor(COLORREF cr) { m_crText = cr; m_bTextColor = TRUE; }
    void SetBackgroundColor(COLORREF cr) { m_crBack = cr; m_bBackColor = TRUE; }
    COLORREF GetTextColor() const;
    COLORREF GetBackgroundColor() const;
    CFont* GetControlFont() const { return m_pFont; }
    BOOL IsYearCentury() const { return (m_dwCtrlStyle & GXBDT_YEARCENTURY) != 0; }
    DWORD GetCtrlStyle() const { return m_dwCtrlStyle; }
    void RebuildGadgets();
    // Lays the gadgets out in the client area (or rc), measured with the DC.
    void LayoutGadgets(CDC* pDC, const CRect* pRect = nullptr);

    // Hooks, in the order a change runs them.
    virtual CGXBPopupCalendar* GetCalendar() const { return m_pCalendar; }
    virtual void NotifyParent(WORD nCode);
    virtual void MeasureGadgets(CDC* pDC);
    virtual void DrawGadgets(CDC* pDC);
    virtual BOOL DropCalendar();
    virtual CGXBPopupCalendar* CreatePopupCalendar();
    // The handler of a field's event; FALSE when the change is refused.
    virtual BOOL FieldEvent(int nEvent, int nKind, int nValue);
    // Whether the value passes the range; may move it to a bound by the clamp level (1 minute,
    // 2 hour, 3 day, 4 month, 5 year; -1 always; 0 never).
    virtual BOOL CheckValue(COleDateTime& dt, int nClampLevel);
    // May refuse a change to the given field kinds.
    virtual BOOL BeginFieldChange(int nKinds);
    // Runs after every stored change.
    virtual void EndFieldChange(int nKinds);
    // The full year of a typed two-digit year.
    virtual int TwoDigitYearWindow(int nTyped);

    // Stores a value that passed the checks: approve hook, value, redraw, modified bit, the
    // parent's notification and the after hook. FALSE when the hook refuses.
    BOOL StoreValue(const COleDateTime& dt, int nApproveKinds);
    void SetCaptureGadget(CGXBDTGadget* pGadget);
    void ReleaseCaptureGadget(CGXBDTGadget* pGadget);
    // Fields scroll; fixed gadgets do not.
    int ScrollOffsetOf(const CGXBDTGadget* pGadget) const { return pGadget->IsFixed() ? 0 : m_nXOffset; }
    void InvalidateGadget(const CGXBDTGadget* pGadget);
    BOOL MoveToNextField(int nDirection);
    // The spin's step on the current field (its typed digits commit first); beeps when refused.
    BOOL StepCurrentField(int nEvent, int nStep);
    void Beep() { MessageBeep(UINT(-1)); }

protected:
    void buildFromFormat(const CString& strFormat);
    void ensureVisible();
    void destroyCalendar();
    int editableFrom(int nStart, int nDirection) const;
    CGXBDTGadget* current() const;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnCancelMode();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    afx_msg void OnSysColorChange();
    afx_msg void OnDestroy();
    afx_msg LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCalendarChosen(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCalendarClosed(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    int m_nState { 0 };
    int m_nNoEditFields { 0 };
    BOOL m_bFastInput { TRUE };
    COleDateTime m_dt;
    COleDateTime m_dtMin;
    COleDateTime m_dtMax;
    int m_nValidationMode { 0 };
    int m_nFormatType { FormatShortDate };
    CString m_strCustomFormat;
    CFont* m_pFont { nullptr };
    int m_nCurGadget { -1 };
    int m_nXOffset { 0 };
    int m_nFixedWidth { 0 };
    int m_nFixed { 0 };
    CGXBDTGadget* m_pCapture { nullptr };
    CGXBPopupCalendar* m_pCalendar { nullptr };
    BOOL m_bOldPopupActive { FALSE };
    BOOL m_bPM { FALSE };
    int m_nBkColorIndex { COLOR_BTNFACE };
    UINT m_nBitmapId { GXB_IDB_DROPDOWN };
    int m_nFieldKinds { 0 };
    CGXBDTGadgetArray m_gadgets;
    COLORREF m_crText { 0 };
    COLORREF m_crBack { 0 };
    BOOL m_bTextColor { FALSE };
    BOOL m_bBackColor { FALSE };
    DWORD m_dwCtrlStyle { 0 };
    int m_nGeneration { 0 };
    // A numeric-pad + or - stepped the field; its character must not reach the field too.
    BOOL m_bSwallowChar { FALSE };
    std::shared_ptr<bool> m_pAlive { std::make_shared<bool>(true) };
};

// The hidden instances the date-time cell formats and draws with.
class CGXCaptiveDateTimeCtrl : public CGXBDateTimeCtrl {
    DECLARE_DYNAMIC(CGXCaptiveDateTimeCtrl)
public:
    CGXCaptiveDateTimeCtrl() = default;
    ~CGXCaptiveDateTimeCtrl() override;

protected:
    DECLARE_MESSAGE_MAP()
};
