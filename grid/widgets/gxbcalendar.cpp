#include "grid/widgets/gxbcalendar.h"

#include "grid/core/gxstate.h"
#include "grid/widgets/gxbpaint.h"
#include "platform/gdi/dcguard.h"
#include "platform/sys/locale.h"
#include "platform/sys/system.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

COLORREF sysColor(int nIndex) { return GXGetAppData()->m_sysColors.LookupColor(DWORD(nIndex)); }

// Column boundaries in thousandths of the width; row boundaries in eighths of the height
// (title 0..0.175, bar ..0.25, six rows of 0.125).
constexpr int kColumnEdges[8] = {0, 143, 286, 429, 572, 715, 858, 1000};
constexpr double kTitleBottom = 0.175;
constexpr double kBarBottom = 0.25;
constexpr double kRowHeight = 0.125;
// Title buttons: an inset of a fifth of the title's height; spans in 200ths of its width.
constexpr int kButtonUnits = 200;

const COleDateTimeSpan kOneDay(1, 0, 0, 0);

bool sameMonth(const COleDateTime& a, const COleDateTime& b)
{
    return a.GetYear() == b.GetYear() && a.GetMonth() == b.GetMonth();
}

CSize textSize(CDC& dc, CFont* pFont, const CString& text)
{
    CDCStateGuard guard(&dc);
    guard.SelectFont(pFont);
    CSize size = dc.GetTextExtent(text);
    TEXTMETRIC tm {};
    dc.GetTextMetrics(&tm);
    size.cy = std::max<LONG>(size.cy, tm.tmHeight);
    return size;
}

// Grows the font until the sample reaches the box in one direction, then shrinks it by at least
// one unit at a time until it fits in both, or it reaches a height of 1.
void fitFont(LOGFONT& lf, CFont& font, const CString& sample, CSize box)
{
    if (box.cx <= 0 || box.cy <= 0)
        return;
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    auto measure = [&](const LOGFONT& l) {
        CFont f;
        f.CreateFontIndirect(&l);
        return textSize(dc, &f, sample);
    };
    LONG h = std::max<LONG>(1, std::labs(lf.lfHeight));
    LONG w = std::labs(lf.lfWidth);
    const LONG sign = lf.lfHeight < 0 ? -1 : 1;
    LOGFONT l = lf;
    for (int i = 0; i < 16; ++i) {
        l.lfHeight = sign * h;
        l.lfWidth = w;
        const CSize s = measure(l);
        if (s.cx >= box.cx || s.cy >= box.cy)
            break;
        h *= 2;
        w *= 2;
    }
    for (int i = 0; i < 200 && h > 1; ++i) {
        l.lfHeight = sign * h;
        l.lfWidth = w;
        const CSize s = measure(l);
        if (s.cx <= box.cx && s.cy <= box.cy)
            break;
        h = std::min<LONG>(h - 1, LONG(h * 0.95));
        if (w > 1)
            w = std::min<LONG>(w - 1, LONG(w * 0.95));
    }
    l.lfHeight = sign * std::max<LONG>(1, h);
    l.lfWidth = w;
    lf = l;
    font.DeleteObject();
    font.CreateFontIndirect(&lf);
}

}  // namespace

// ---- CGXBPanel ----

CRect CGXBPanel::innerRect() const
{
    CRect rc = m_rect;
    if (m_dwStyle & GXBPS_OUTERFRAME)
        rc.DeflateRect(1, 1);
    if ((m_dwStyle & GXBPS_EDGE) || m_bSunken)
        rc.DeflateRect(2, 2);
    return rc;
}

void CGXBPanel::Draw(CDC* pDC)
{
    if (!m_bVisible || m_rect.IsRectEmpty())
        return;
    DrawOuterFrame(pDC);
    Draw3dEdge(pDC);
    FillBackground(pDC);
    DrawText(pDC);
    DrawInnerFrame(pDC);
}

void CGXBPanel::DrawOuterFrame(CDC* pDC)
{
    if (m_dwStyle & GXBPS_OUTERFRAME)
        pDC->Draw3dRect(&m_rect, m_crFrame, m_crFrame);
}

void CGXBPanel::Draw3dEdge(CDC* pDC)
{
    if (!(m_dwStyle & GXBPS_EDGE) && !m_bSunken)
        return;
    CRect rc = m_rect;
    if (m_dwStyle & GXBPS_OUTERFRAME)
        rc.DeflateRect(1, 1);
    const COLORREF hi = sysColor(COLOR_BTNHIGHLIGHT), sh = sysColor(COLOR_BTNSHADOW);
    const COLORREF dk = sysColor(COLOR_3DDKSHADOW), lt = sysColor(COLOR_3DLIGHT);
    if (m_bSunken) {
        pDC->Draw3dRect(&rc, sh, hi);
        rc.DeflateRect(1, 1);
        pDC->Draw3dRect(&rc, dk, lt);
    } else {
        pDC->Draw3dRect(&rc, hi, dk);
        rc.DeflateRect(1, 1);
        pDC->Draw3dRect(&rc, lt, sh);
    }
}

void CGXBPanel::FillBackground(CDC* pDC)
{
    if (m_dwStyle & GXBPS_FILL) {
        const CRect rc = innerRect();
        pDC->FillSolidRect(&rc, m_crBack);
    }
}

void CGXBPanel::DrawText(CDC* pDC)
{
    if (m_strText.IsEmpty())
        return;
    CRect rc = innerRect();
    CDCStateGuard guard(pDC);
    guard.SelectFont(m_pFont);
    guard.SetTextColor(m_crText);
    guard.SetBkMode(TRANSPARENT);
    UINT nFormat = DT_SINGLELINE | DT_NOPREFIX;
    if (m_dwStyle & GXBPS_CENTER) {
        nFormat |= DT_CENTER | DT_VCENTER;
    } else {
        rc.left += m_rect.Width() / 10;
        rc.top += m_rect.Height() / 10;
    }
    pDC->DrawText(m_strText, &rc, nFormat);
}

void CGXBPanel::DrawInnerFrame(CDC* pDC)
{
    if (m_dwStyle & GXBPS_INNERFRAME) {
        CRect rc = innerRect();
        pDC->Draw3dRect(&rc, m_crFrame, m_crFrame);
    }
}

// ---- CGXBCalTitle ----

void CGXBCalTitle::Create(CGXBCalendar* pCalendar, DWORD dwFlags)
{
    m_pCalendar = pCalendar;
    m_bMonthButtons = (dwFlags & GXBCAL_MONTHBUTTONS) != 0;
    m_bYearButtons = (dwFlags & GXBCAL_YEARBUTTONS) != 0;
    const CRect rcNone(0, 0, 0, 0);
    const DWORD dwStyle = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
    if (m_bYearButtons) {
        m_btnPrevYear.Create("<<", dwStyle, rcNone, pCalendar, GXB_IDC_CAL_PREVYEAR);
        m_btnNextYear.Create(">>", dwStyle, rcNone, pCalendar, GXB_IDC_CAL_NEXTYEAR);
    }
    if (m_bMonthButtons) {
        m_btnPrevMonth.Create("<", dwStyle, rcNone, pCalendar, GXB_IDC_CAL_PREVMONTH);
        m_btnNextMonth.Create(">", dwStyle, rcNone, pCalendar, GXB_IDC_CAL_NEXTMONTH);
    }
}

CButton* CGXBCalTitle::GetButton(UINT nID)
{
    CButton* const buttons[] = {&m_btnPrevYear, &m_btnPrevMonth, &m_btnNextMonth, &m_btnNextYear};
    for (CButton* b : buttons)
        if (b->GetSafeHwnd() && UINT(b->GetDlgCtrlID()) == nID)
            return b;
    return nullptr;
}

void CGXBCalTitle::SetRect(const CRect& rc)
{
    CGXBPanel::SetRect(rc);
    const int inset = rc.Height() / 5;
    const int top = rc.top + inset, bottom = rc.bottom - inset;
    auto place = [&](CButton& b, int from, int to, bool bRight) {
        if (!b.GetSafeHwnd())
            return;
        const int x1 = MulDiv(rc.Width(), from, kButtonUnits), x2 = MulDiv(rc.Width(), to, kButtonUnits);
        const CRect r = bRight ? CRect(rc.right - x2, top, rc.right - x1, bottom)
                               : CRect(rc.left + x1, top, rc.left + x2, bottom);
        b.MoveWindow(&r, FALSE);
    };
    if (m_bYearButtons) {
        place(m_btnPrevYear, 10, 30, false);
        place(m_btnNextYear, 10, 30, true);
        place(m_btnPrevMonth, 30, 50, false);
        place(m_btnNextMonth, 30, 50, true);
    } else {
        place(m_btnPrevMonth, 10, 30, false);
        place(m_btnNextMonth, 10, 30, true);
    }
}

void CGXBCalTitle::ShowDate(const COleDateTime& date)
{
    CString strMonth;
    CGXBCalendar::GetMonthName(date.GetMonth(), (m_dwStyle & GXBPS_LONGMONTH) != 0, strMonth);
    m_strText.Format("%s %d", static_cast<LPCTSTR>(strMonth), date.GetYear());
}

void CGXBCalTitle::Draw(CDC* pDC)
{
    CGXBPanel::Draw(pDC);
    CButton* const buttons[] = {&m_btnPrevYear, &m_btnPrevMonth, &m_btnNextMonth, &m_btnNextYear};
    for (CButton* b : buttons) {
        if (b->GetSafeHwnd() && m_pFont && b->GetFont() != m_pFont)
            b->SetFont(m_pFont, TRUE);
    }
}

// ---- CGXBDayBar ----

void CGXBDayBar::DrawText(CDC* pDC)
{
    const CRect rc = innerRect();
    CDCStateGuard guard(pDC);
    guard.SelectFont(m_pFont);
    guard.SetTextColor(m_crText);
    guard.SetBkMode(TRANSPARENT);
    for (int i = 0; i < 7; ++i) {
        CString strName;
        CGXBCalendar::GetDayName((m_nFirstDay - 1 + i) % 7 + 1, (m_dwStyle & GXBPS_LONGDAY) != 0, strName);
        CRect cell(rc.left + MulDiv(rc.Width(), i, 7), rc.top, rc.left + MulDiv(rc.Width(), i + 1, 7), rc.bottom);
        pDC->DrawText(strName, &cell, DT_SINGLELINE | DT_NOPREFIX | DT_CENTER | DT_VCENTER);
    }
}

// ---- CGXBDayBox ----

void CGXBDayBox::Draw(CDC* pDC)
{
    m_bSunken = m_bSelected;
    CGXBPanel::Draw(pDC);
    if (m_bMarked) {
        CRect rc = innerRect();
        rc.DeflateRect(1, 1);
        pDC->Draw3dRect(&rc, m_crMark, m_crMark);
    }
}

void CGXBDayBox::DrawText(CDC* pDC)
{
    m_strText.Format("%d", m_date.GetDay());
    const COLORREF crText = m_crText;
    if (m_bMarked && !m_bOtherMonth)
        m_crText = m_crMark;
    CGXBPanel::DrawText(pDC);
    m_crText = crText;
}

// ---- CGXBCalendar ----

IMPLEMENT_DYNAMIC(CGXBCalendar, CWnd)

BEGIN_MESSAGE_MAP(CGXBCalendar, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_KEYDOWN()
    ON_WM_GETDLGCODE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_RBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_WM_CANCELMODE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_SHOWWINDOW()
    ON_WM_NCHITTEST()
    ON_MESSAGE(GXB_WM_CALCHOSEN, OnChosen)
    ON_MESSAGE(GXB_WM_CALCLOSED, OnClosed)
END_MESSAGE_MAP()

CGXBCalendar::CGXBCalendar() : m_dtCurrent(1970, 1, 1, 12, 0, 0), m_dtFocus(1970, 1, 1, 12, 0, 0) {}

CGXBCalendar::~CGXBCalendar()
{
    if (m_hWnd)
        DestroyWindow();
}

COleDateTime CGXBCalendar::AtNoon(const COleDateTime& date)
{
    COleDateTime d;
    if (date.GetStatus() != COleDateTime::valid || d.SetDateTime(date.GetYear(), date.GetMonth(), date.GetDay(), 12, 0, 0))
        d.SetStatus(COleDateTime::invalid);
    return d;
}

BOOL CGXBCalendar::IsValidDate(int nYear, int nMonth, int)
{
    return (nYear > 100 || (nYear == 100 && nMonth > 1)) && (nYear < 9999 || (nYear == 9999 && nMonth < 12));
}

namespace {
BOOL isValid(const COleDateTime& d)
{
    return d.GetStatus() == COleDateTime::valid && CGXBCalendar::IsValidDate(d.GetYear(), d.GetMonth(), d.GetDay());
}

// Locale item numbers count Monday as day 1; ours count Sunday.
LCTYPE dayItem(int nDay, BOOL bLong)
{
    const int nMondayBased = (nDay + 5) % 7;  // Sunday (1) is the seventh item
    return LCTYPE((bLong ? LOCALE_SDAYNAME1 : LOCALE_SABBREVDAYNAME1) + nMondayBased);
}
}  // namespace

void CGXBCalendar::GetDayName(int nDay, BOOL bLong, CString& strName)
{
    strName.Empty();
    if (nDay < 1 || nDay > 7)
        return;
    char buf[256] = {};
    if (GetLocaleInfo(LOCALE_USER_DEFAULT, dayItem(nDay, bLong), buf, int(sizeof buf)) > 0)
        strName = buf;
}

void CGXBCalendar::GetMonthName(int nMonth, BOOL bLong, CString& strName)
{
    strName.Empty();
    if (nMonth < 1 || nMonth > 12)
        return;
    char buf[256] = {};
    const LCTYPE item = LCTYPE((bLong ? LOCALE_SMONTHNAME1 : LOCALE_SABBREVMONTHNAME1) + nMonth - 1);
    if (GetLocaleInfo(LOCALE_USER_DEFAULT, item, buf, int(sizeof buf)) > 0)
        strName = buf;
}

void CGXBCalendar::Beep() { MessageBeep(MB_ICONEXCLAMATION); }

void CGXBCalendar::LoadColors()
{
    m_crText = sysColor(COLOR_WINDOWTEXT);
    m_crGrey = sysColor(COLOR_GRAYTEXT);
    m_crBtnText = sysColor(COLOR_BTNTEXT);
    m_crBtnFace = sysColor(COLOR_BTNFACE);
    m_crCaption = sysColor(COLOR_ACTIVECAPTION);
    m_crCaptionText = sysColor(COLOR_CAPTIONTEXT);
    m_title.SetColors(m_crCaptionText, m_crCaption, m_crBtnText);
    m_dayBar.SetColors(m_crBtnText, m_crBtnFace, m_crBtnText);
    for (CGXBDayBox& box : m_days) {
        box.SetColors(box.m_bOtherMonth ? m_crGrey : m_crText, sysColor(COLOR_WINDOW), sysColor(COLOR_BTNSHADOW));
        box.m_crMark = m_crCaption;
    }
}

void CGXBCalendar::CreateFonts()
{
    LOGFONT lf {};
    CFont* pSystem = CFont::FromHandle(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    if (pSystem)
        pSystem->GetLogFont(&lf);
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "Arial");
    lf.lfWeight = FW_NORMAL;
    m_lfBar = lf;
    m_lfDays = lf;
    m_lfTitle = lf;
    m_lfTitle.lfHeight *= 2;
    m_lfTitle.lfWidth *= 2;
    m_lfTitle.lfWeight = FW_BOLD;
    m_fontTitle.DeleteObject();
    m_fontBar.DeleteObject();
    m_fontDays.DeleteObject();
    m_fontTitle.CreateFontIndirect(&m_lfTitle);
    m_fontBar.CreateFontIndirect(&m_lfBar);
    m_fontDays.CreateFontIndirect(&m_lfDays);
}

CSize CGXBCalendar::ComputeSize()
{
    if (!m_fontDays.GetSafeHandle())
        CreateFonts();
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    const CSize box = textSize(dc, &m_fontDays, "88") + CSize(12, 8);
    CString strWednesday;
    GetDayName(4, (m_dwMonthStyle & GXBPS_LONGDAY) != 0, strWednesday);
    CSize bar = textSize(dc, &m_fontBar, strWednesday);
    bar.cx = 7 * (bar.cx + 6);
    bar.cy += 4;
    const BOOL bLong = ((m_dwMonthStyle | GXBPS_CENTER) & GXBPS_LONGMONTH) != 0;
    CSize title = textSize(dc, &m_fontTitle, bLong ? "September, 2000" : "Sep, 2000");
    const bool bButtons = (m_dwFlags & (GXBCAL_MONTHBUTTONS | GXBCAL_YEARBUTTONS)) != 0;
    title.cy = LONG(std::lround(title.cy * (bButtons ? 2.2 : 1.2)));
    const int cx = std::max<int>({title.cx, bar.cx, 7 * box.cx});
    const int cy = title.cy + bar.cy + 6 * box.cy;
    return CSize(cx, cy);
}

void CGXBCalendar::SetupPanels()
{
    const DWORD dwTitle = m_dwMonthStyle | GXBPS_CENTER;
    m_title.m_dwStyle = dwTitle;
    m_title.m_pFont = &m_fontTitle;
    if (m_hWnd && !m_title.m_pCalendar)
        m_title.Create(this, m_dwFlags);
    m_dayBar.m_dwStyle = m_dwMonthStyle | GXBPS_CENTER;
    m_dayBar.m_pFont = &m_fontBar;
    for (CGXBDayBox& box : m_days)
        box.m_pFont = &m_fontDays;
}

void CGXBCalendar::Layout()
{
    if (!m_hWnd)
        return;
    CRect rc;
    GetClientRect(&rc);
    const int W = rc.Width(), H = rc.Height();
    auto y = [&](double f) { return int(std::lround(H * f)); };
    m_title.SetRect(CRect(0, 0, W, y(kTitleBottom)));
    m_dayBar.SetRect(CRect(0, y(kTitleBottom), W, y(kBarBottom)));
    for (int r = 0; r < 6; ++r) {
        const int top = y(kBarBottom + kRowHeight * r), bottom = y(kBarBottom + kRowHeight * (r + 1));
        for (int c = 0; c < 7; ++c) {
            const int left = MulDiv(W, kColumnEdges[c], 1000), right = MulDiv(W, kColumnEdges[c + 1], 1000);
            m_days[size_t(r * 7 + c)].SetRect(CRect(left, top, right - 1, bottom - 1));
        }
    }
}

void CGXBCalendar::FitFonts()
{
    if (!(m_dwFlags & GXBCAL_FITFONTS) || !m_hWnd)
        return;
    const CRect& rcTitle = m_title.GetRect();
    // The title's text stands between the month buttons.
    const int nButtonSpan = !m_title.m_pCalendar ? 0 : m_title.m_bYearButtons ? 50 : m_title.m_bMonthButtons ? 30 : 0;
    const int nSide = MulDiv(rcTitle.Width(), nButtonSpan, kButtonUnits);
    const BOOL bLong = (m_title.m_dwStyle & GXBPS_LONGMONTH) != 0;
    fitFont(m_lfTitle, m_fontTitle, bLong ? "September, 2000" : "Sep, 2000",
            CSize(rcTitle.Width() - 2 * nSide - 4, rcTitle.Height() * 3 / 5));
    CString strWednesday;
    GetDayName(4, (m_dayBar.m_dwStyle & GXBPS_LONGDAY) != 0, strWednesday);
    const CRect& rcBar = m_dayBar.GetRect();
    fitFont(m_lfBar, m_fontBar, strWednesday, CSize(rcBar.Width() / 7 - 4, rcBar.Height() - 2));
    const CRect& rcBox = m_days[0].GetRect();
    fitFont(m_lfDays, m_fontDays, "88", CSize(rcBox.Width() - 8, rcBox.Height() - 6));
}

BOOL CGXBCalendar::PrepareCreate(DWORD&)
{
    GXGetAppData()->m_sysColors.Refresh();
    LoadColors();
    CreateFonts();
    return TRUE;
}

BOOL CGXBCalendar::Create(DWORD dwStyle, const RECT& rect, CWnd* pOwner, UINT nID, CCreateContext*)
{
    if (m_hWnd || !PrepareCreate(dwStyle))
        return FALSE;
    CRect rc(rect);
    dwStyle |= WS_CHILD | WS_CLIPCHILDREN;
    if (m_dwFlags & GXBCAL_SIZETOCONTENT) {
        const CSize size = ComputeSize();
        CRect rcWnd(0, 0, size.cx, size.cy);
        AdjustWindowRectEx(&rcWnd, dwStyle, FALSE, 0);
        rc.right = rc.left + rcWnd.Width();
        rc.bottom = rc.top + rcWnd.Height();
    }
    LPCTSTR cls = AfxRegisterWndClass(GetClassStyle(), LoadCursor(nullptr, IDC_ARROW));
    m_hWndOwner = pOwner ? pOwner->GetSafeHwnd() : nullptr;
    if (!CreateEx(0, cls, "CGXBCalendar", dwStyle, rc.left, rc.top, rc.Width(), rc.Height(), m_hWndOwner,
                  reinterpret_cast<HMENU>(uintptr_t(nID))))
        return FALSE;
    FinishCreate();
    return TRUE;
}

void CGXBCalendar::FinishCreate()
{
    SetupPanels();
    if (m_dtCurrent.m_dt == 0)
        m_dtCurrent = AtNoon(COleDateTime::GetCurrentTime());
    SetCurrentDate(m_dtCurrent, FALSE);
    Layout();
    FitFonts();
    LoadColors();
    m_bCreated = TRUE;
    if (!(GetStyle() & WS_VISIBLE))
        ShowWindow(SW_SHOW);
    m_bReported = FALSE;
    Invalidate(FALSE);
    UpdateWindow();
    SetFocus();
}

BOOL CGXBCalendar::SetCurrentDate(const COleDateTime& date, BOOL bRedraw)
{
    if ((m_bCreated && (m_dwFlags & GXBCAL_FIXEDDATE)) || !isValid(date)) {
        Beep();
        return FALSE;
    }
    m_dtCurrent = AtNoon(date);
    m_title.ShowDate(m_dtCurrent);
    FillDays();
    if (bRedraw && m_hWnd) {
        Invalidate(FALSE);
        UpdateWindow();
    }
    return TRUE;
}

void CGXBCalendar::FillDays()
{
    COleDateTime first;
    first.SetDateTime(m_dtCurrent.GetYear(), m_dtCurrent.GetMonth(), 1, 12, 0, 0);
    // At least one day back, so that a month starting on the week's first day shows the last
    // week of the one before in the first row.
    COleDateTime d = first;
    do {
        d -= kOneDay;
    } while (d.GetStatus() == COleDateTime::valid && d.GetDayOfWeek() != m_dayBar.m_nFirstDay);
    if (d.GetStatus() != COleDateTime::valid)
        d = first;  // the range's first month: start on its first day
    m_pSelected = nullptr;
    for (CGXBDayBox& box : m_days) {
        box.m_date = d;
        box.m_bOtherMonth = !sameMonth(d, m_dtCurrent);
        box.m_dwStyle = box.m_bOtherMonth ? m_dwOtherStyle : m_dwMonthStyle;
        box.m_crText = box.m_bOtherMonth ? m_crGrey : m_crText;
        box.m_bMarked = IsMarked(d);
        box.m_bSelected = m_bAnchorSet && d == m_dtAnchor;
        if (box.m_bSelected)
            m_pSelected = &box;
        d += kOneDay;
    }
}

BOOL CGXBCalendar::GetSelectedDate(COleDateTime& date) const
{
    if (!m_bAnchorSet)
        return FALSE;
    date = m_dtAnchor;
    return TRUE;
}

BOOL CGXBCalendar::IsMarked(const COleDateTime& date) const
{
    const COleDateTime d = AtNoon(date);
    return std::binary_search(m_marked.begin(), m_marked.end(), d);
}

void CGXBCalendar::Post(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (m_hWnd && m_hWndOwner && ::IsWindow(m_hWndOwner))
        ::PostMessage(m_hWndOwner, nMessage, wParam, lParam);
}

void CGXBCalendar::Report(UINT nMessage)
{
    // Hiding an active pop-up deactivates it, and deactivation reports too: one report per
    // showing, whichever comes first.
    if (m_bReported || !m_hWnd)
        return;
    m_bReported = TRUE;
    Post(nMessage, 0, 0);
    ShowWindow(SW_HIDE);
}

LRESULT CGXBCalendar::OnChosen(WPARAM, LPARAM)
{
    Report(GXB_WM_CALCHOSEN);
    return 0;
}

LRESULT CGXBCalendar::OnClosed(WPARAM, LPARAM)
{
    Report(GXB_WM_CALCLOSED);
    return 0;
}

void CGXBCalendar::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CWnd::OnShowWindow(bShow, nStatus);
    if (bShow)
        m_bReported = FALSE;
}

// ---- Selecting and marking ----

CGXBDayBox* CGXBCalendar::HitTestDay(CPoint point)
{
    for (CGXBDayBox& box : m_days)
        if (box.GetRect().PtInRect(point))
            return &box;
    return nullptr;
}

void CGXBCalendar::SelectDate(DATE date, BOOL bSelect) { SelectDate(COleDateTime(date), bSelect); }

void CGXBCalendar::SelectDate(const COleDateTime& date, BOOL bSelect)
{
    const COleDateTime d = AtNoon(date);
    if (!isValid(d)) {
        Beep();
        return;
    }
    CGXBDayBox* pBox = nullptr;
    for (CGXBDayBox& box : m_days)
        if (box.m_date == d)
            pBox = &box;
    if (bSelect) {
        if (m_bAnchorSet && m_dtAnchor == d)
            return;
        if (m_pSelected) {
            m_pSelected->m_bSelected = FALSE;
            if (m_hWnd)
                InvalidateRect(&m_pSelected->GetRect(), FALSE);
        }
        m_dtAnchor = d;
        m_bAnchorSet = TRUE;
        m_dtFocus = d;
        m_pSelected = pBox;
        if (pBox) {
            pBox->m_bSelected = TRUE;
            if (m_hWnd)
                InvalidateRect(&pBox->GetRect(), FALSE);
        }
        if (m_bCreated)
            Post(GXB_WM_CALDAYSELECT, 1, reinterpret_cast<LPARAM>(pBox));
        return;
    }
    if (!m_bAnchorSet || m_dtAnchor != d)
        return;
    m_bAnchorSet = FALSE;
    if (m_pSelected) {
        m_pSelected->m_bSelected = FALSE;
        if (m_hWnd)
            InvalidateRect(&m_pSelected->GetRect(), FALSE);
    }
    m_pSelected = nullptr;
    if (m_bCreated)
        Post(GXB_WM_CALDAYSELECT, 0, reinterpret_cast<LPARAM>(pBox));
}

void CGXBCalendar::ToggleSelection(DATE date) { ToggleSelection(COleDateTime(date)); }

void CGXBCalendar::ToggleSelection(const COleDateTime& date)
{
    const COleDateTime d = AtNoon(date);
    SelectDate(d, !(m_bAnchorSet && m_dtAnchor == d));
}

void CGXBCalendar::MarkDate(DATE date, BOOL bMark) { MarkDate(COleDateTime(date), bMark); }

void CGXBCalendar::MarkDate(const COleDateTime& date, BOOL bMark)
{
    const COleDateTime d = AtNoon(date);
    if (d.GetStatus() != COleDateTime::valid)
        return;
    const auto at = std::lower_bound(m_marked.begin(), m_marked.end(), d);
    const bool bWas = at != m_marked.end() && *at == d;
    if (bMark && !bWas)
        m_marked.insert(at, d);
    else if (!bMark && bWas)
        m_marked.erase(std::remove(m_marked.begin(), m_marked.end(), d), m_marked.end());
    else
        return;
    for (CGXBDayBox& box : m_days) {
        if (box.m_date != d)
            continue;
        box.m_bMarked = bMark;
        if (m_hWnd)
            InvalidateRect(&box.GetRect(), FALSE);
        if (m_bCreated)
            Post(GXB_WM_CALDAYMARK, bMark ? 1 : 0, reinterpret_cast<LPARAM>(&box));
    }
}

void CGXBCalendar::ToggleMark(DATE date) { ToggleMark(COleDateTime(date)); }

void CGXBCalendar::ToggleMark(const COleDateTime& date) { MarkDate(date, !IsMarked(date)); }

// ---- Navigation ----

BOOL CGXBCalendar::Reference(BOOL bSelection, COleDateTime& ref)
{
    if (bSelection && !m_bAnchorSet) {
        Beep();
        return FALSE;
    }
    ref = bSelection ? m_dtAnchor : m_dtCurrent;
    return TRUE;
}

BOOL CGXBCalendar::MoveTo(const COleDateTime& target, BOOL bSelection)
{
    if (!isValid(target)) {
        Beep();
        return FALSE;
    }
    if (!bSelection)
        return SetCurrentDate(target, TRUE);
    if (!m_bAnchorSet) {
        Beep();
        return FALSE;
    }
    if (!sameMonth(target, m_dtCurrent) && !SetCurrentDate(target, FALSE))
        return FALSE;
    SelectDate(target, TRUE);
    if (m_hWnd) {
        Invalidate(FALSE);
        UpdateWindow();
    }
    return TRUE;
}

BOOL CGXBCalendar::MoveSelection(long nSeconds) { return MoveSelection(COleDateTimeSpan(nSeconds / 86400.0)); }

BOOL CGXBCalendar::MoveSelection(const COleDateTimeSpan& span)
{
    COleDateTime ref;
    return Reference(TRUE, ref) && MoveTo(AtNoon(ref + span), TRUE);
}

BOOL CGXBCalendar::MoveDate(long nSeconds) { return MoveDate(COleDateTimeSpan(nSeconds / 86400.0)); }

BOOL CGXBCalendar::MoveDate(const COleDateTimeSpan& span)
{
    return MoveTo(AtNoon(m_dtCurrent + span), FALSE);
}

BOOL CGXBCalendar::StepDays(BOOL bSelection, int nDays)
{
    COleDateTime ref;
    return Reference(bSelection, ref) && MoveTo(AtNoon(ref + COleDateTimeSpan(double(nDays))), bSelection);
}

BOOL CGXBCalendar::NextDay(BOOL bSelection) { return StepDays(bSelection, 1); }
BOOL CGXBCalendar::PrevDay(BOOL bSelection) { return StepDays(bSelection, -1); }
BOOL CGXBCalendar::NextWeek(BOOL bSelection) { return StepDays(bSelection, 7); }
BOOL CGXBCalendar::PrevWeek(BOOL bSelection) { return StepDays(bSelection, -7); }

BOOL CGXBCalendar::NextMonth(BOOL bSelection)
{
    COleDateTime ref;
    if (!Reference(bSelection, ref))
        return FALSE;
    COleDateTime d(ref.GetYear(), ref.GetMonth(), 1, 12, 0, 0);
    d += COleDateTimeSpan(27, 0, 0, 0);
    while (d.GetStatus() == COleDateTime::valid && d.GetDay() != 1)
        d += kOneDay;
    return MoveTo(d, bSelection);
}

BOOL CGXBCalendar::PrevMonth(BOOL bSelection)
{
    COleDateTime ref;
    if (!Reference(bSelection, ref))
        return FALSE;
    COleDateTime d(ref.GetYear(), ref.GetMonth(), 1, 12, 0, 0);
    d -= COleDateTimeSpan(27, 0, 0, 0);
    while (d.GetStatus() == COleDateTime::valid && d.GetDay() != 1)
        d -= kOneDay;
    return MoveTo(d, bSelection);
}

namespace {
COleDateTime sameDayOfYear(int nYear, int nMonth, int nDay)
{
    COleDateTime d;
    if (nMonth == 2 && nDay == 29 && d.SetDateTime(nYear, 2, 29, 12, 0, 0) != 0)
        nDay = 28;
    d.SetDateTime(nYear, nMonth, nDay, 12, 0, 0);
    return d;
}
}  // namespace

BOOL CGXBCalendar::NextYear(BOOL bSelection)
{
    COleDateTime ref;
    if (!Reference(bSelection, ref))
        return FALSE;
    if (!IsValidDate(ref.GetYear(), 12, 31)) {
        Beep();
        return FALSE;
    }
    return MoveTo(sameDayOfYear(ref.GetYear() + 1, ref.GetMonth(), ref.GetDay()), bSelection);
}

BOOL CGXBCalendar::PrevYear(BOOL bSelection)
{
    COleDateTime ref;
    if (!Reference(bSelection, ref))
        return FALSE;
    if (!IsValidDate(ref.GetYear() - 1, 12, 31)) {
        Beep();
        return FALSE;
    }
    return MoveTo(sameDayOfYear(ref.GetYear() - 1, ref.GetMonth(), ref.GetDay()), bSelection);
}

// ---- Window ----

void CGXBCalendar::Draw(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, sysColor(COLOR_WINDOW));
    m_title.Draw(pDC);
    m_dayBar.Draw(pDC);
    for (CGXBDayBox& box : m_days)
        box.Draw(pDC);
}

void CGXBCalendar::OnPaint()
{
    GXBPaintBuffered(this, [this](CDC* pDC) { Draw(pDC); });
}

BOOL CGXBCalendar::OnEraseBkgnd(CDC*) { return TRUE; }

void CGXBCalendar::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (!m_bCreated)
        return;
    Layout();
    FitFonts();
    Invalidate(FALSE);
}

UINT CGXBCalendar::OnGetDlgCode() { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

LRESULT CGXBCalendar::OnNcHitTest(CPoint point)
{
    const LRESULT hit = CWnd::OnNcHitTest(point);
    if (!(m_dwFlags & GXBCAL_RESIZABLE) && hit >= HTLEFT && hit <= HTBOTTOMRIGHT)
        return HTCLIENT;
    return hit;
}

void CGXBCalendar::OnSysColorChange()
{
    GXGetAppData()->m_sysColors.Refresh();
    LoadColors();
    Invalidate(FALSE);
}

BOOL CGXBCalendar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    BOOL bHandled = TRUE;
    switch (nID) {
    case GXB_IDC_CAL_NEXTMONTH: NextMonth(FALSE); break;
    case GXB_IDC_CAL_PREVMONTH: PrevMonth(FALSE); break;
    case GXB_IDC_CAL_NEXTYEAR: NextYear(FALSE); break;
    case GXB_IDC_CAL_PREVYEAR: PrevYear(FALSE); break;
    default: bHandled = FALSE; break;
    }
    if (!bHandled)
        return CWnd::OnCommand(wParam, lParam);
    // A pressed button took the keyboard; the days keep it.
    if (m_hWnd && IsWindowVisible())
        SetFocus();
    return TRUE;
}

void CGXBCalendar::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (!(m_dwFlags & GXBCAL_KEYBOARD)) {
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        return;
    }
    const bool bCtrl = GetKeyState(VK_CONTROL) < 0;
    switch (nChar) {
    case VK_ESCAPE:
    case VK_CANCEL: SendMessage(GXB_WM_CALCLOSED); return;
    case VK_RETURN: SendMessage(m_bAnchorSet ? GXB_WM_CALCHOSEN : GXB_WM_CALCLOSED); return;
    case VK_SPACE:
        ToggleSelection(m_dtFocus);
        if (m_bAnchorSet && (m_dwFlags & GXBCAL_NOTIFYSELECT))
            SendMessage(GXB_WM_CALCHOSEN);
        return;
    case VK_END: {
        COleDateTime d(m_dtCurrent.GetYear(), m_dtCurrent.GetMonth(), 1, 12, 0, 0);
        while (true) {
            const COleDateTime next = d + kOneDay;
            if (next.GetStatus() != COleDateTime::valid || !sameMonth(next, m_dtCurrent))
                break;
            d = next;
        }
        SelectDate(d, TRUE);
        UpdateWindow();
        return;
    }
    case VK_HOME:
        SelectDate(COleDateTime(m_dtCurrent.GetYear(), m_dtCurrent.GetMonth(), 1, 12, 0, 0), TRUE);
        UpdateWindow();
        return;
    default: break;
    }
    struct KeyMove {
        UINT vk;
        BOOL (CGXBCalendar::*plain)(BOOL);
        BOOL (CGXBCalendar::*ctrl)(BOOL);
    };
    static const KeyMove kMoves[] = {
        {VK_LEFT, &CGXBCalendar::PrevDay, &CGXBCalendar::PrevMonth},
        {VK_NUMPAD4, &CGXBCalendar::PrevDay, &CGXBCalendar::PrevMonth},
        {VK_RIGHT, &CGXBCalendar::NextDay, &CGXBCalendar::NextMonth},
        {VK_NUMPAD6, &CGXBCalendar::NextDay, &CGXBCalendar::NextMonth},
        {VK_UP, &CGXBCalendar::PrevWeek, &CGXBCalendar::PrevYear},
        {VK_NUMPAD8, &CGXBCalendar::PrevWeek, &CGXBCalendar::PrevYear},
        {VK_DOWN, &CGXBCalendar::NextWeek, &CGXBCalendar::NextYear},
        {VK_NUMPAD2, &CGXBCalendar::NextWeek, &CGXBCalendar::NextYear},
        {VK_PRIOR, &CGXBCalendar::PrevMonth, &CGXBCalendar::PrevYear},
        {VK_NEXT, &CGXBCalendar::NextMonth, &CGXBCalendar::NextYear},
    };
    for (const KeyMove& m : kMoves) {
        if (m.vk == nChar) {
            (this->*(bCtrl ? m.ctrl : m.plain))(TRUE);
            return;
        }
    }
    CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CGXBCalendar::SwitchToMonthOf(CGXBDayBox*& pBox)
{
    if (!pBox->m_bOtherMonth || (m_dwFlags & GXBCAL_NOMONTHSWITCH))
        return;
    const COleDateTime d = pBox->m_date;
    if (!SetCurrentDate(d, TRUE))
        return;
    for (CGXBDayBox& box : m_days)
        if (box.m_date == d)
            pBox = &box;
}

void CGXBCalendar::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (GetFocus() != this)
        SetFocus();
    CGXBDayBox* pBox = HitTestDay(point);
    if (!pBox || !m_hWnd) {
        CWnd::OnLButtonDown(nFlags, point);
        return;
    }
    m_bFocusInMonth = sameMonth(m_dtFocus, m_dtCurrent);
    SwitchToMonthOf(pBox);
    const COleDateTime d = pBox->m_date;
    m_bPressed = TRUE;
    if (m_dwFlags & GXBCAL_DRAGSELECT) {
        SelectDate(d, TRUE);
        if (m_bAnchorSet && m_dtAnchor == d) {
            m_dtRestore = d;
            m_bRestoreSet = TRUE;
            m_bCapture = TRUE;
            SetCapture();
        }
    } else {
        ToggleSelection(d);
    }
    m_dtFocus = d;
    UpdateWindow();
    if (!m_bCapture && (m_dwFlags & GXBCAL_NOTIFYSELECT) && m_bAnchorSet && m_dtAnchor == d)
        SendMessage(GXB_WM_CALCHOSEN);
}

void CGXBCalendar::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bCapture) {
        CWnd::OnMouseMove(nFlags, point);
        return;
    }
    CRect rc;
    GetClientRect(&rc);
    CGXBDayBox* pBox = rc.PtInRect(point) ? HitTestDay(point) : nullptr;
    if (pBox)
        SelectDate(pBox->m_date, TRUE);
    else if (!rc.PtInRect(point) && m_bRestoreSet)
        SelectDate(m_dtRestore, TRUE);
    UpdateWindow();
}

void CGXBCalendar::OnLButtonUp(UINT nFlags, CPoint point)
{
    const BOOL bPressed = m_bPressed;
    m_bPressed = FALSE;
    CRect rc;
    GetClientRect(&rc);
    CGXBDayBox* pBox = rc.PtInRect(point) ? HitTestDay(point) : nullptr;
    if (m_bCapture) {
        m_bCapture = FALSE;
        if (GetCapture() == this)
            ReleaseCapture();
        if (pBox)
            SelectDate(pBox->m_date, TRUE);
        else if (m_bRestoreSet)
            SelectDate(m_dtRestore, TRUE);
        UpdateWindow();
    } else if (!bPressed) {
        CWnd::OnLButtonUp(nFlags, point);
        return;
    }
    // Without dragging, GXBCAL_NOTIFYSELECT chose at the press already.
    const bool bChoose = (m_dwFlags & GXBCAL_CHOOSEONRELEASE) ||
                         ((m_dwFlags & GXBCAL_DRAGSELECT) && (m_dwFlags & GXBCAL_NOTIFYSELECT));
    if (pBox && m_bAnchorSet && bChoose)
        SendMessage(GXB_WM_CALCHOSEN);
}

void CGXBCalendar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    CGXBDayBox* pBox = HitTestDay(point);
    if (!pBox) {
        CWnd::OnLButtonDblClk(nFlags, point);
        return;
    }
    SwitchToMonthOf(pBox);
    SelectDate(pBox->m_date, TRUE);
    m_bPressed = FALSE;
    SendMessage(GXB_WM_CALCHOSEN);
}

void CGXBCalendar::OnRButtonDown(UINT nFlags, CPoint point)
{
    CGXBDayBox* pBox = HitTestDay(point);
    if (!pBox) {
        CWnd::OnRButtonDown(nFlags, point);
        return;
    }
    SwitchToMonthOf(pBox);
    ToggleMark(pBox->m_date);
    UpdateWindow();
}

// A quick second right click marks or unmarks again.
void CGXBCalendar::OnRButtonDblClk(UINT nFlags, CPoint point) { OnRButtonDown(nFlags, point); }

void CGXBCalendar::OnCancelMode()
{
    if (m_bCapture) {
        m_bCapture = FALSE;
        if (GetCapture() == this)
            ReleaseCapture();
        if (m_bRestoreSet)
            SelectDate(m_dtRestore, TRUE);
    }
    m_bPressed = FALSE;
    CWnd::OnCancelMode();
}

// ---- CGXBPopupCalendar ----

IMPLEMENT_DYNAMIC(CGXBPopupCalendar, CGXBCalendar)

BEGIN_MESSAGE_MAP(CGXBPopupCalendar, CGXBCalendar)
    ON_WM_ACTIVATE()
END_MESSAGE_MAP()

CGXBPopupCalendar::CGXBPopupCalendar()
{
    m_dwFlags = GXBCAL_POPUPFLAGS;
    m_dwOtherStyle = 0x181;
    m_dwMonthStyle = 0x83;
}

int CGXBPopupCalendar::SetChooseOnDeactivate(BOOL bChoose)
{
    const int nOld = m_bChooseOnDeactivate ? 2 : 1;
    m_bChooseOnDeactivate = bChoose;
    return nOld;
}

CPoint CGXBPopupCalendar::PlaceBeside(const CRect& rect, CSize size, const CRect& rcWork, BOOL bAboveRight)
{
    CPoint pt;
    if (bAboveRight) {
        pt.y = rect.top - size.cy;
        if (pt.y < rcWork.top)
            pt.y = rect.bottom;
        pt.x = rect.right - size.cx;
        if (pt.x < rcWork.left)
            pt.x = rect.left;
    } else {
        pt.y = rect.bottom;
        if (pt.y + size.cy > rcWork.bottom)
            pt.y = rect.top - size.cy;
        pt.x = rect.left;
        if (pt.x + size.cx > rcWork.right)
            pt.x = rect.right - size.cx;
    }
    return pt;
}

BOOL CGXBPopupCalendar::Create(DWORD dwStyle, const RECT& rect, CWnd* pOwner)
{
    if (m_hWnd || !PrepareCreate(dwStyle))
        return FALSE;
    m_dwFlags |= GXBCAL_SIZETOCONTENT;
    const BOOL bAboveRight = (dwStyle & 0x1) != 0;
    const DWORD dwWndStyle = (dwStyle & 0xFFFF0000u & ~DWORD(WS_CHILD)) | WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
    const CSize client = ComputeSize();
    CRect rcWnd(0, 0, client.cx, client.cy);
    AdjustWindowRectEx(&rcWnd, dwWndStyle, FALSE, 0);
    CRect rcWork;
    if (!SystemParametersInfo(SPI_GETWORKAREA, 0, &rcWork, 0))
        rcWork.SetRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const CPoint pt = PlaceBeside(CRect(rect), rcWnd.Size(), rcWork, bAboveRight);
    LPCTSTR cls = AfxRegisterWndClass(GetClassStyle(), LoadCursor(nullptr, IDC_ARROW));
    m_hWndOwner = pOwner ? pOwner->GetSafeHwnd() : nullptr;
    if (!CreateEx(0, cls, "CGXBCalendar", dwWndStyle & ~DWORD(WS_VISIBLE), pt.x, pt.y, rcWnd.Width(),
                  rcWnd.Height(), m_hWndOwner, nullptr))
        return FALSE;
    FinishCreate();
    return TRUE;
}

void CGXBPopupCalendar::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CGXBCalendar::OnActivate(nState, pWndOther, bMinimized);
    if (nState == WA_INACTIVE && m_bCreated)
        Report(m_bChooseOnDeactivate && m_bAnchorSet ? GXB_WM_CALCHOSEN : GXB_WM_CALCLOSED);
}
