#pragma once
// CGXBCalendar: a month calendar window. A title with the month and year and up to four paging
// buttons, a bar of weekday names and six weeks of day boxes. The user selects, marks and pages
// through dates by mouse and keyboard; the calendar reports to its owner with private messages.
// CGXBPopupCalendar: the same as a pop-up placed next to a rectangle, which closes itself once a
// date is chosen, Escape is pressed or it loses activation.
//
// Dates are held at noon of their day; the drawing parts are light objects, not windows (only
// the title's buttons are child windows).

#include "platform/controls/controls.h"
#include "platform/gdi/gdiobj.h"
#include "platform/sys/ole.h"
#include "platform/win/cwnd.h"

#include <array>
#include <memory>
#include <vector>

// Owner messages, posted: wParam and lParam as noted.
constexpr UINT GXB_WM_CALDAYSELECT = 2005;  // wParam selected flag, lParam the CGXBDayBox
constexpr UINT GXB_WM_CALDAYMARK = 2006;    // wParam marked flag, lParam the CGXBDayBox
constexpr UINT GXB_WM_CALCHOSEN = 2007;     // a date was chosen; the calendar hides itself
constexpr UINT GXB_WM_CALCLOSED = 2008;     // closed without a choice; the calendar hides itself

// Title button commands.
constexpr UINT GXB_IDC_CAL_NEXTMONTH = 20029;
constexpr UINT GXB_IDC_CAL_PREVYEAR = 20030;
constexpr UINT GXB_IDC_CAL_NEXTYEAR = 20031;
constexpr UINT GXB_IDC_CAL_PREVMONTH = 20032;

// Behaviour flags, by byte.
constexpr DWORD GXBCAL_NOMONTHSWITCH = 0x00000002;   // a press on another month's day keeps the month
constexpr DWORD GXBCAL_CHOOSEONRELEASE = 0x00000100; // a mouse release chooses the date (2007)
constexpr DWORD GXBCAL_FITFONTS = 0x00010000;        // fonts grow or shrink to their panels
constexpr DWORD GXBCAL_SIZETOCONTENT = 0x00020000;   // the window takes the size of its contents
constexpr DWORD GXBCAL_NOTIFYSELECT = 0x00040000;    // a click or Space that selects chooses (2007)
constexpr DWORD GXBCAL_MONTHBUTTONS = 0x00080000;    // "<" and ">" in the title
constexpr DWORD GXBCAL_YEARBUTTONS = 0x00100000;     // "<<" and ">>" in the title
constexpr DWORD GXBCAL_KEYBOARD = 0x00200000;        // keyboard navigation
constexpr DWORD GXBCAL_FIXEDDATE = 0x00400000;       // the date cannot change once the window exists
constexpr DWORD GXBCAL_RESIZABLE = 0x00800000;       // the border resizes the window
constexpr DWORD GXBCAL_DRAGSELECT = 0x01000000;      // a press selects and drags; without it, toggles
constexpr DWORD GXBCAL_DEFAULTFLAGS = 0x0039C000;
constexpr DWORD GXBCAL_POPUPFLAGS = 0x0039C100;

// Panel style bits. The low byte's 0x80 centres the text; the rest choose what a panel draws.
constexpr DWORD GXBPS_FILL = 0x0001;        // background
constexpr DWORD GXBPS_EDGE = 0x0002;        // raised edge (a selected day is always drawn sunken)
constexpr DWORD GXBPS_OUTERFRAME = 0x0004;  // a frame line round the panel
constexpr DWORD GXBPS_INNERFRAME = 0x0008;  // a frame line inside the edge
constexpr DWORD GXBPS_CENTER = 0x0080;
constexpr DWORD GXBPS_LONGMONTH = 0x10000000;  // the title uses long month names
constexpr DWORD GXBPS_LONGDAY = 0x20000000;    // the day bar uses long day names

class CGXBCalendar;

class CGXBPanel : public CObject {
public:
    CGXBPanel() = default;
    ~CGXBPanel() override = default;

    virtual void DrawInnerFrame(CDC* pDC);
    // The whole panel: outer frame, edge, background, text, inner frame.
    virtual void Draw(CDC* pDC);
    virtual void Draw3dEdge(CDC* pDC);
    virtual void DrawOuterFrame(CDC* pDC);
    virtual void FillBackground(CDC* pDC);
    virtual void DrawText(CDC* pDC);

    void SetRect(const CRect& rc) { m_rect = rc; }
    const CRect& GetRect() const { return m_rect; }
    void SetColors(COLORREF crText, COLORREF crBack, COLORREF crFrame)
    {
        m_crText = crText;
        m_crBack = crBack;
        m_crFrame = crFrame;
    }

    DWORD m_dwStyle { 0x17F };
    CString m_strText;
    int m_nOuterWidth { 3 };
    int m_nInnerWidth { 2 };
    COLORREF m_crText { 0 };
    COLORREF m_crBack { RGB(255, 255, 255) };
    COLORREF m_crFrame { 0 };
    DWORD m_dwMask { 255 };
    BOOL m_bVisible { TRUE };
    CFont* m_pFont { nullptr };
    BOOL m_bSunken { FALSE };

protected:
    // Inside the edge: where the background and text go.
    CRect innerRect() const;
    CRect m_rect;
};

class CGXBCalTitle : public CGXBPanel {
public:
    CGXBCalTitle() = default;
    ~CGXBCalTitle() override = default;

    // Creates the buttons that the flags ask for as children of the calendar.
    void Create(CGXBCalendar* pCalendar, DWORD dwFlags);
    virtual void SetRect(const CRect& rc);
    virtual void ShowDate(const COleDateTime& date);
    void Draw(CDC* pDC) override;
    CButton* GetButton(UINT nID);

    CGXBCalendar* m_pCalendar { nullptr };
    BOOL m_bMonthButtons { TRUE };
    BOOL m_bYearButtons { TRUE };

private:
    CButton m_btnPrevYear, m_btnPrevMonth, m_btnNextMonth, m_btnNextYear;
};

class CGXBDayBar : public CGXBPanel {
public:
    void DrawText(CDC* pDC) override;
    int m_nFirstDay { 1 };  // 1 Sunday ... 7 Saturday
};

class CGXBDayBox : public CGXBPanel {
public:
    void Draw(CDC* pDC) override;
    void DrawText(CDC* pDC) override;

    COleDateTime m_date;
    BOOL m_bSelected { FALSE };
    BOOL m_bMarked { FALSE };
    BOOL m_bOtherMonth { FALSE };
    COLORREF m_crMark { RGB(128, 0, 0) };
};

class CGXBCalendar : public CWnd {
    DECLARE_DYNAMIC(CGXBCalendar)
public:
    CGXBCalendar();
    ~CGXBCalendar() override;

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pOwner, UINT nID, CCreateContext* pContext = nullptr);

    // Navigation: on the selection (the keyboard's way) or on the displayed date (the title's).
    // FALSE, with a beep, when the target is not a valid date or nothing is selected.
    virtual BOOL NextDay(BOOL bSelection = TRUE);
    virtual BOOL PrevDay(BOOL bSelection = TRUE);
    virtual BOOL NextWeek(BOOL bSelection = TRUE);
    virtual BOOL PrevWeek(BOOL bSelection = TRUE);
    virtual BOOL NextMonth(BOOL bSelection = TRUE);
    virtual BOOL PrevMonth(BOOL bSelection = TRUE);
    virtual BOOL NextYear(BOOL bSelection = TRUE);
    virtual BOOL PrevYear(BOOL bSelection = TRUE);
    virtual BOOL MoveSelection(long nSeconds);
    virtual BOOL MoveSelection(const COleDateTimeSpan& span);
    virtual BOOL MoveDate(long nSeconds);
    virtual BOOL MoveDate(const COleDateTimeSpan& span);
    virtual void MarkDate(DATE date, BOOL bMark = TRUE);
    virtual void MarkDate(const COleDateTime& date, BOOL bMark = TRUE);
    virtual void SelectDate(DATE date, BOOL bSelect = TRUE);
    virtual void SelectDate(const COleDateTime& date, BOOL bSelect = TRUE);
    virtual void ToggleSelection(DATE date);
    virtual void ToggleSelection(const COleDateTime& date);
    virtual void ToggleMark(DATE date);
    virtual void ToggleMark(const COleDateTime& date);
    // A year above 100 (or 100 after January) and below 9999 (or 9999 before December).
    static BOOL IsValidDate(int nYear, int nMonth, int nDay);
    virtual void LoadColors();
    virtual void Beep();
    virtual UINT GetClassStyle() const { return CS_DBLCLKS; }

    // Refused with a beep when the window exists under GXBCAL_FIXEDDATE, or for an invalid date.
    BOOL SetCurrentDate(const COleDateTime& date, BOOL bRedraw = TRUE);
    const COleDateTime& GetCurrentDate() const { return m_dtCurrent; }
    // FALSE when no day is selected.
    BOOL GetSelectedDate(COleDateTime& date) const;
    DWORD GetFlags() const { return m_dwFlags; }
    void SetFlags(DWORD dwFlags) { m_dwFlags = dwFlags; }
    DWORD GetOtherMonthStyle() const { return m_dwOtherStyle; }
    void SetOtherMonthStyle(DWORD dw) { m_dwOtherStyle = dw; }
    DWORD GetMonthStyle() const { return m_dwMonthStyle; }
    void SetMonthStyle(DWORD dw) { m_dwMonthStyle = dw; }
    BOOL IsMarked(const COleDateTime& date) const;
    const std::vector<COleDateTime>& GetMarkedDates() const { return m_marked; }

    // 1 Sunday ... 7 Saturday; 1 ... 12. Names of the user's default locale.
    static void GetDayName(int nDay, BOOL bLong, CString& strName);
    static void GetMonthName(int nMonth, BOOL bLong, CString& strName);
    // Noon of the date's day.
    static COleDateTime AtNoon(const COleDateTime& date);

    // For tests and drawing: the 42 boxes row by row, the title, the bar, the selected box.
    const CGXBDayBox& GetDayBox(int i) const { return m_days[size_t(i)]; }
    CGXBDayBox* HitTestDay(CPoint point);
    const CGXBCalTitle& GetTitle() const { return m_title; }
    CGXBCalTitle& GetTitle() { return m_title; }
    const CGXBDayBar& GetDayBar() const { return m_dayBar; }
    CGXBDayBox* GetSelectedBox() const { return m_pSelected; }
    CFont* GetTitleFont() { return &m_fontTitle; }
    // The size the window takes under GXBCAL_SIZETOCONTENT (client area).
    CSize ComputeSize();
    CWnd* GetOwnerWnd() const { return m_hWndOwner ? CWnd::FromHandle(m_hWndOwner) : nullptr; }

protected:
    // Posts 2007 or 2008 to the owner and hides, once until the window is shown again.
    void Report(UINT nMessage);
    BOOL PrepareCreate(DWORD& dwStyle);
    // Panels, date, layout and fonts once the window exists; shows it and takes the focus.
    void FinishCreate();
    void SetupPanels();
    void Layout();
    void FitFonts();
    void CreateFonts();
    void FillDays();
    void Draw(CDC* pDC);
    BOOL MoveTo(const COleDateTime& target, BOOL bSelection);
    BOOL StepDays(BOOL bSelection, int nDays);
    // The reference of a move: the selection, or the displayed date.
    BOOL Reference(BOOL bSelection, COleDateTime& ref);
    void SwitchToMonthOf(CGXBDayBox*& pBox);
    void Post(UINT nMessage, WPARAM wParam, LPARAM lParam);

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnCancelMode();
    afx_msg void OnSysColorChange();
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg LRESULT OnChosen(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnClosed(WPARAM wParam, LPARAM lParam);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    DECLARE_MESSAGE_MAP()

    CGXBDayBar m_dayBar;
    CGXBCalTitle m_title;
    COleDateTime m_dtCurrent;
    COleDateTime m_dtAnchor;
    BOOL m_bAnchorSet { FALSE };
    COleDateTime m_dtFocus;
    std::array<CGXBDayBox, 42> m_days;
    BOOL m_bCapture { FALSE };
    BOOL m_bFocusInMonth { FALSE };
    COleDateTime m_dtRestore;
    BOOL m_bRestoreSet { FALSE };
    std::vector<COleDateTime> m_marked;
    LOGFONT m_lfTitle {}, m_lfBar {}, m_lfDays {};
    CFont m_fontTitle, m_fontBar, m_fontDays;
    COLORREF m_crText {}, m_crGrey {}, m_crBtnText {}, m_crBtnFace {}, m_crCaption {}, m_crCaptionText {};
    DWORD m_dwOtherStyle { 0x101 };
    DWORD m_dwMonthStyle { 0x1000017F };
    DWORD m_dwFlags { GXBCAL_DEFAULTFLAGS };
    CGXBDayBox* m_pSelected { nullptr };
    HWND m_hWndOwner { nullptr };
    BOOL m_bCreated { FALSE };
    BOOL m_bReported { FALSE };
    BOOL m_bPressed { FALSE };
};

class CGXBPopupCalendar : public CGXBCalendar {
    DECLARE_DYNAMIC(CGXBPopupCalendar)
public:
    CGXBPopupCalendar();
    ~CGXBPopupCalendar() override = default;

    using CGXBCalendar::Create;
    // A visible pop-up below rect (screen coordinates) and left-aligned with it; above it near
    // the work area's bottom and right-aligned near its right edge. Style 0x1 prefers above and
    // right-aligned, with the same flips. Takes the focus.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pOwner);
    // Returns the former state: 1 off, 2 on.
    int SetChooseOnDeactivate(BOOL bChoose);
    UINT GetClassStyle() const override { return CS_DBLCLKS | CS_SAVEBITS; }

    // Where a pop-up of the given window size goes for rect inside the work area.
    static CPoint PlaceBeside(const CRect& rect, CSize size, const CRect& rcWork, BOOL bAboveRight);

protected:
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    DECLARE_MESSAGE_MAP()

    BOOL m_bChooseOnDeactivate { TRUE };
};
