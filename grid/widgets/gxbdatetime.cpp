#include "grid/widgets/gxbdatetime.h"

#include "grid/core/gxlibdata.h"
#include "grid/core/gxstate.h"
#include "grid/widgets/gxbcalendar.h"
#include "grid/widgets/gxbpaint.h"
#include "grid/widgets/gxbres.h"
#include "grid/widgets/gxbtext.h"
#include "platform/base/textcase.h"
#include "platform/gdi/dcguard.h"
#include "platform/sys/locale.h"
#include "platform/sys/system.h"
#include "platform/ui/afxres.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

COLORREF sysColor(int nIndex) { return GXGetAppData()->m_sysColors.LookupColor(DWORD(nIndex)); }

// A list's typed prefix is forgotten this long after its last character.
constexpr UINT kPrefixTimeout = 2000;
// The spin repeats after the first delay, then at the repeat rate; its step grows with the
// count of repeats.
constexpr UINT kSpinFirstDelay = 500;
constexpr UINT kSpinRepeat = 100;
constexpr int kSpinStep1Repeats = 20;
constexpr int kSpinStep2Repeats = 50;
// An hour spins by at most this many hours a step.
constexpr int kMaxHourStep = 2;
constexpr int kSpinWidth = 15;
constexpr int kFieldMargin = 2;
// The validation range counts a value this close to a bound as inside (under a second).
constexpr double kOneSecond = 1.0 / 86400.0;
const DATE kMinDate = -657434.0;  // 100-01-01
const DATE kMaxDate = 2958465.0;  // 9999-12-31

struct Parts {
    int y, mo, d, h, mi, s;
};

Parts split(const COleDateTime& dt)
{
    return {dt.GetYear(), dt.GetMonth(), dt.GetDay(), dt.GetHour(), dt.GetMinute(), dt.GetSecond()};
}

bool exists(int y, int mo, int d)
{
    COleDateTime t;
    return t.SetDateTime(y, mo, d, 0, 0, 0) == 0;
}

int daysInMonth(int y, int mo)
{
    int d = 31;
    while (d > 28 && !exists(y, mo, d))
        --d;
    return d;
}

int wrap(int v, int lo, int hi)
{
    const int n = hi - lo + 1;
    return lo + (((v - lo) % n) + n) % n;
}

// The moment of a value: negative serials count whole days back but their fraction forward.
double moment(const COleDateTime& dt)
{
    const double x = dt.m_dt;
    if (x >= 0)
        return x;
    const double whole = std::ceil(x);
    return whole + (whole - x);
}

COleDateTime makeValue(int y, int mo, int d, int h, int mi, int s)
{
    COleDateTime t;
    if (t.SetDateTime(y, mo, d, h, mi, s) != 0)
        t.SetStatus(COleDateTime::invalid);
    return t;
}

// The value of a field of the given kind.
int shownValue(int nKind, const COleDateTime& dt)
{
    const Parts p = split(dt);
    switch (nKind) {
    case GXBDT_HOUR12: return p.h == 0 ? 12 : (p.h <= 12 ? p.h : p.h - 12);
    case GXBDT_HOUR24: return p.h;
    case GXBDT_MINUTE: return p.mi;
    case GXBDT_SECOND: return p.s;
    case GXBDT_AMPM: return p.h < 12 ? 0 : 1;
    case GXBDT_DAY: return p.d;
    case GXBDT_WEEKDAY: return dt.GetDayOfWeek() - 1;
    case GXBDT_MONTH: return p.mo;
    case GXBDT_MONTHNAME: return p.mo - 1;
    case GXBDT_YEAR2: return p.y % 100;
    case GXBDT_YEAR4: return p.y;
    default: return 0;
    }
}

int changedKinds(const COleDateTime& a, const COleDateTime& b)
{
    int mask = 0;
    for (int k = 1; k <= GXBDT_YEAR4; k <<= 1)
        if (shownValue(k, a) != shownValue(k, b))
            mask |= k;
    return mask;
}

// The field kinds a no-edit group covers.
constexpr struct {
    int nGroup;
    int nKinds;
} kGroups[] = {
    {GXBDT_FIX_YEAR, GXBDT_YEAR2 | GXBDT_YEAR4},
    {GXBDT_FIX_MONTH, GXBDT_MONTH | GXBDT_MONTHNAME},
    {GXBDT_FIX_DAY, GXBDT_DAY | GXBDT_WEEKDAY},
    {GXBDT_FIX_HOUR, GXBDT_HOUR12 | GXBDT_HOUR24 | GXBDT_AMPM},
    {GXBDT_FIX_MINUTE, GXBDT_MINUTE},
    {GXBDT_FIX_SECOND, GXBDT_SECOND},
};

int groupKinds(int nKind)
{
    for (const auto& g : kGroups)
        if (g.nKinds & nKind)
            return g.nKinds;
    return 0;
}

bool isFixedKind(int nKind, int nNoEdit)
{
    for (const auto& g : kGroups)
        if ((g.nKinds & nKind) && (nNoEdit & g.nGroup))
            return true;
    return false;
}

CString localeText(LCTYPE item)
{
    char buf[256] = {};
    if (GetLocaleInfo(LOCALE_USER_DEFAULT, item, buf, int(sizeof buf)) <= 0)
        return CString();
    return CString(buf);
}

std::map<UINT_PTR, CGXBDTGadget*>& timerMap()
{
    static std::map<UINT_PTR, CGXBDTGadget*> map;
    return map;
}

void drawFieldText(CDC* pDC, const CRect& rc, const CString& text, BOOL bFocus)
{
    CDCStateGuard guard(pDC);
    if (bFocus) {
        pDC->FillSolidRect(&rc, sysColor(COLOR_HIGHLIGHT));
        guard.SetTextColor(sysColor(COLOR_HIGHLIGHTTEXT));
    }
    guard.SetBkMode(TRANSPARENT);
    CRect r = rc;
    pDC->DrawText(text, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
}

// A two-level frame, raised or (pressed) sunken; rc becomes what it encloses.
void draw3dFrame(CDC* pDC, CRect& rc, BOOL bPressed)
{
    if (bPressed) {
        pDC->Draw3dRect(&rc, sysColor(COLOR_BTNSHADOW), sysColor(COLOR_BTNHIGHLIGHT));
        rc.DeflateRect(1, 1);
        pDC->Draw3dRect(&rc, sysColor(COLOR_3DDKSHADOW), sysColor(COLOR_3DLIGHT));
    } else {
        pDC->Draw3dRect(&rc, sysColor(COLOR_3DLIGHT), sysColor(COLOR_3DDKSHADOW));
        rc.DeflateRect(1, 1);
        pDC->Draw3dRect(&rc, sysColor(COLOR_BTNHIGHLIGHT), sysColor(COLOR_BTNSHADOW));
    }
    rc.DeflateRect(1, 1);
}

}  // namespace

// ---- CGXBDTGadget ----

CGXBDTGadget::~CGXBDTGadget()
{
    *m_pAlive = false;
    StopTimer();
}

void CGXBDTGadget::SetFocus(BOOL bFocus)
{
    if (m_bFocus != bFocus) {
        m_bFocus = bFocus;
        Invalidate();
    }
}

void CGXBDTGadget::OnKeyDown(UINT) {}
void CGXBDTGadget::OnChar(UINT) {}
void CGXBDTGadget::OnLButtonDown(UINT, CPoint) {}
void CGXBDTGadget::OnLButtonUp(UINT, CPoint) {}
void CGXBDTGadget::OnMouseMove(UINT, CPoint) {}

void CGXBDTGadget::TimerProc(HWND, UINT, UINT_PTR nID, DWORD)
{
    const auto it = timerMap().find(nID);
    if (it != timerMap().end())
        it->second->OnTimer();
}

void CGXBDTGadget::StartTimer(UINT nElapse)
{
    StopTimer();
    m_nTimerId = ::SetTimer(nullptr, 0, nElapse, &CGXBDTGadget::TimerProc);
    if (m_nTimerId)
        timerMap()[m_nTimerId] = this;
}

void CGXBDTGadget::StopTimer()
{
    if (!m_nTimerId)
        return;
    const auto it = timerMap().find(m_nTimerId);
    if (it != timerMap().end() && it->second == this) {
        ::KillTimer(nullptr, m_nTimerId);
        timerMap().erase(it);
    }
    m_nTimerId = 0;
}

BOOL CGXBDTGadget::Event(int nEvent, int nValue, BOOL bBeep)
{
    CGXBDateTimeCtrl* pCtrl = m_pCtrl;
    const BOOL bResult = pCtrl->FieldEvent(nEvent, m_nKind, nValue);
    if (!bResult && bBeep)
        pCtrl->Beep();
    return bResult;
}

void CGXBDTGadget::Invalidate() { m_pCtrl->InvalidateGadget(this); }

// ---- CGXBDTNumericGadget ----

CGXBDTNumericGadget::CGXBDTNumericGadget(CGXBDateTimeCtrl* pCtrl, int nKind, int nMin, int nMax, BOOL bLeadZero)
    : CGXBDTGadget(pCtrl, nKind, Editable | WantMouse),
      m_nMin(nMin),
      m_nMax(nMax),
      m_bLeadZero(bLeadZero),
      m_nWidth(nMax <= 9 ? 1 : nMax < 100 ? 2 : nMax < 1000 ? 3 : 4)
{
}

CString CGXBDTNumericGadget::GetText() const
{
    const int v = m_bTyping ? m_nNewValue : m_nValue;
    CString s;
    if (m_bLeadZero) {
        CString fmt;
        fmt.Format("%%0%dd", m_nWidth);
        s.Format(fmt, v);
    } else {
        s.Format("%d", v);
    }
    return s;
}

void CGXBDTNumericGadget::Measure(CDC* pDC)
{
    const CSize size = pDC->GetTextExtent(CString("00000").Left(m_nWidth));
    m_rect.right = m_rect.left + size.cx + kFieldMargin;
    m_rect.bottom = m_rect.top + size.cy;
}

void CGXBDTNumericGadget::Draw(CDC* pDC) { drawFieldText(pDC, m_rect, GetText(), m_bFocus); }

void CGXBDTNumericGadget::SetFocus(BOOL bFocus)
{
    if (!bFocus) {
        const auto alive = m_pAlive;
        Commit();
        if (!*alive)
            return;
    }
    CGXBDTGadget::SetFocus(bFocus);
}

void CGXBDTNumericGadget::endTyping()
{
    m_bTyping = FALSE;
    m_nDigits = 0;
    m_nNewValue = 0;
}

void CGXBDTNumericGadget::Commit()
{
    if (!m_bTyping)
        return;
    const auto alive = m_pAlive;
    const int v = m_nNewValue;
    endTyping();
    if (Event(GXBDT_EV_CHECK, v, FALSE))
        Event(GXBDT_EV_STORE, v);
    else
        m_pCtrl->Beep();
    if (!*alive)
        return;
    Event(GXBDT_EV_TYPING, 0, FALSE);
    if (*alive)
        Invalidate();
}

void CGXBDTNumericGadget::OnChar(UINT nChar)
{
    if (!gxb::IsDigit(char32_t(nChar))) {
        m_pCtrl->Beep();
        if (m_bTyping) {
            endTyping();
            Event(GXBDT_EV_TYPING, 0, FALSE);
            Invalidate();
        }
        return;
    }
    const auto alive = m_pAlive;
    if (!m_bTyping) {
        m_bTyping = TRUE;
        m_nNewValue = 0;
        m_nDigits = 0;
        Event(GXBDT_EV_TYPING, 1, FALSE);
        if (!*alive)
            return;
    }
    Invalidate();
    // A leading zero adds nothing: the field waits for the digits that count.
    if (nChar == '0' && m_nNewValue == 0)
        return;
    m_nNewValue = m_nNewValue * 10 + int(nChar - '0');
    ++m_nDigits;
    if (m_nDigits < m_nWidth)
        return;
    const bool bAccepted = Event(GXBDT_EV_CHECK, m_nNewValue, FALSE);
    Commit();
    if (*alive && bAccepted)
        Event(GXBDT_EV_NEXT, 0, FALSE);
}

void CGXBDTNumericGadget::OnKeyDown(UINT nChar)
{
    int nEvent = 0;
    switch (nChar) {
    case VK_END: nEvent = GXBDT_EV_LAST; break;
    case VK_HOME: nEvent = GXBDT_EV_FIRST; break;
    case VK_UP:
    case VK_ADD: nEvent = GXBDT_EV_UP; break;
    case VK_DOWN:
    case VK_SUBTRACT: nEvent = GXBDT_EV_DOWN; break;
    default: return;
    }
    const auto alive = m_pAlive;
    Commit();
    if (*alive)
        Event(nEvent, 0);
}

// ---- CGXBDTListGadget ----

CGXBDTListGadget::CGXBDTListGadget(CGXBDateTimeCtrl* pCtrl, int nKind, std::vector<CString> entries)
    : CGXBDTGadget(pCtrl, nKind, Editable | WantMouse), m_entries(std::move(entries))
{
}

CString CGXBDTListGadget::GetText() const
{
    return m_nValue >= 0 && size_t(m_nValue) < m_entries.size() ? m_entries[size_t(m_nValue)] : CString();
}

void CGXBDTListGadget::Measure(CDC* pDC)
{
    CSize size(0, pDC->GetTextExtent("0", 1).cy);
    for (const CString& s : m_entries) {
        const CSize e = pDC->GetTextExtent(s);
        size.cx = std::max(size.cx, e.cx);
        size.cy = std::max(size.cy, e.cy);
    }
    m_rect.right = m_rect.left + size.cx + kFieldMargin;
    m_rect.bottom = m_rect.top + size.cy;
}

void CGXBDTListGadget::Draw(CDC* pDC) { drawFieldText(pDC, m_rect, GetText(), m_bFocus); }

void CGXBDTListGadget::SetFocus(BOOL bFocus)
{
    if (!bFocus)
        ResetTimer();
    CGXBDTGadget::SetFocus(bFocus);
}

int CGXBDTListGadget::FindEntryByPrefix(const CString& strPrefix, int nStart)
{
    const int n = int(m_entries.size());
    const std::u32string prefix = gxb::ToChars(strPrefix);
    if (n == 0 || prefix.empty())
        return -1;
    const std::string upperPrefix = PvUpperCase(strPrefix.str());
    const auto alive = m_pAlive;
    for (int k = 0; k < n; ++k) {
        const int i = wrap(nStart + k, 0, n - 1);
        const std::u32string entry = gxb::ToChars(m_entries[size_t(i)]);
        if (entry.size() < prefix.size())
            continue;
        const CString head = gxb::FromChars(entry.substr(0, prefix.size()));
        if (PvUpperCase(head.str()) != upperPrefix)
            continue;
        if (m_pCtrl->FieldEvent(GXBDT_EV_CHECK, m_nKind, i))
            return i;
        if (!*alive)
            return -1;
    }
    return -1;
}

void CGXBDTListGadget::OnChar(UINT nChar)
{
    if (nChar < 0x20)
        return;
    const CString typed = gxb::FromChar(nChar);
    const bool bSameAgain = gxb::ToChars(m_strPrefix).size() == 1 && PvCompareNoCase(m_strPrefix.str(), typed.str()) == 0;
    int nFound;
    if (m_strPrefix.IsEmpty() || bSameAgain) {
        m_strPrefix = typed;
        nFound = FindEntryByPrefix(m_strPrefix, m_nValue + 1);
    } else {
        m_strPrefix += typed;
        nFound = FindEntryByPrefix(m_strPrefix, m_nValue);
    }
    if (nFound < 0) {
        m_pCtrl->Beep();
        ResetTimer();
        return;
    }
    StartTimer(kPrefixTimeout);
    Event(GXBDT_EV_STORE, nFound);
}

void CGXBDTListGadget::OnTimer() { ResetTimer(); }

void CGXBDTListGadget::ResetTimer()
{
    StopTimer();
    m_strPrefix.Empty();
}

void CGXBDTListGadget::OnKeyDown(UINT nChar)
{
    int nEvent = 0;
    switch (nChar) {
    case VK_END: nEvent = GXBDT_EV_LAST; break;
    case VK_HOME: nEvent = GXBDT_EV_FIRST; break;
    case VK_UP:
    case VK_ADD: nEvent = GXBDT_EV_UP; break;
    case VK_DOWN:
    case VK_SUBTRACT: nEvent = GXBDT_EV_DOWN; break;
    default: return;
    }
    ResetTimer();
    Event(nEvent, 0);
}

// ---- CGXBDTStaticGadget ----

void CGXBDTStaticGadget::Measure(CDC* pDC)
{
    const CSize size = pDC->GetTextExtent(m_strText);
    m_rect.right = m_rect.left + size.cx;
    m_rect.bottom = m_rect.top + size.cy;
}

void CGXBDTStaticGadget::Draw(CDC* pDC)
{
    CRect rc = m_rect;
    CDCStateGuard guard(pDC);
    guard.SetBkMode(TRANSPARENT);
    pDC->DrawText(m_strText, &rc, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
}

// ---- CGXBDTButtonGadget ----

CGXBDTButtonGadget::CGXBDTButtonGadget(CGXBDateTimeCtrl* pCtrl) : CGXBDTGadget(pCtrl, -1, WantMouse | Fixed)
{
    GXBLoadSysColorMappedBitmap(m_bitmap, GXB_IDB_DROPDOWN);
}

void CGXBDTButtonGadget::OnSysColorChange() { GXBLoadSysColorMappedBitmap(m_bitmap, GXB_IDB_DROPDOWN); }

void CGXBDTButtonGadget::Measure(CDC*)
{
    BITMAP bm {};
    const int cx = m_bitmap.GetSafeHandle() && m_bitmap.GetBitmap(&bm) ? bm.bmWidth + 8 : 0;
    m_rect.right = m_rect.left + std::max(cx, GetSystemMetrics(SM_CXVSCROLL));
}

void CGXBDTButtonGadget::Draw(CDC* pDC)
{
    CRect rc = m_rect;
    draw3dFrame(pDC, rc, m_bPressed);
    pDC->FillSolidRect(&rc, sysColor(COLOR_BTNFACE));
    BITMAP bm {};
    if (!m_bitmap.GetSafeHandle() || !m_bitmap.GetBitmap(&bm))
        return;
    CDC dcBitmap;
    if (!dcBitmap.CreateCompatibleDC(pDC))
        return;
    CBitmap* pOld = dcBitmap.SelectObject(&m_bitmap);
    const int shift = m_bPressed ? 1 : 0;
    const int x = rc.left + (rc.Width() - bm.bmWidth) / 2 + shift, y = rc.top + (rc.Height() - bm.bmHeight) / 2 + shift;
    pDC->BitBlt(x, y, std::min<int>(bm.bmWidth, rc.right - x), std::min<int>(bm.bmHeight, rc.bottom - y), &dcBitmap, 0,
                0, SRCCOPY);
    dcBitmap.SelectObject(pOld);
}

void CGXBDTButtonGadget::OnLButtonDown(UINT, CPoint)
{
    m_bPressed = TRUE;
    m_bCaptured = TRUE;
    m_pCtrl->SetCaptureGadget(this);
    Invalidate();
}

void CGXBDTButtonGadget::OnMouseMove(UINT, CPoint point)
{
    if (!m_bCaptured)
        return;
    const BOOL bOver = m_rect.PtInRect(point);
    if (bOver != m_bPressed) {
        m_bPressed = bOver;
        Invalidate();
    }
}

void CGXBDTButtonGadget::OnLButtonUp(UINT, CPoint point)
{
    if (!m_bCaptured)
        return;
    const bool bDrop = m_bPressed && m_rect.PtInRect(point);
    CancelMode();
    if (bDrop)
        Event(GXBDT_EV_DROP, 0, FALSE);
}

void CGXBDTButtonGadget::CancelMode()
{
    m_bCaptured = FALSE;
    m_bPressed = FALSE;
    m_pCtrl->ReleaseCaptureGadget(this);
    Invalidate();
}

// ---- CGXBDTSpinGadget ----

void CGXBDTSpinGadget::Measure(CDC*) { m_rect.right = m_rect.left + kSpinWidth; }

CRect CGXBDTSpinGadget::GetUpRect() const
{
    return CRect(m_rect.left, m_rect.top, m_rect.right, m_rect.top + m_rect.Height() / 2);
}

CRect CGXBDTSpinGadget::GetDownRect() const
{
    return CRect(m_rect.left, m_rect.top + m_rect.Height() / 2, m_rect.right, m_rect.bottom);
}

void CGXBDTSpinGadget::DrawArrowButton(CDC* pDC, const CRect& rect, BOOL bUp, BOOL bPressed)
{
    CRect rc = rect;
    draw3dFrame(pDC, rc, bPressed);
    if (rc.IsRectEmpty())
        return;
    const COLORREF black = RGB(0, 0, 0);
    const int k = std::min(rc.Height() / 4 + 1, 4);
    const int shift = bPressed ? 1 : 0;
    const int cx = rc.left + rc.Width() / 2 + shift;
    if (k < 2) {
        pDC->FillSolidRect(cx, rc.top + rc.Height() / 2 + shift, 1, 1, black);
        return;
    }
    // Row i of the triangle, counted from its point, is 2i + 1 pixels wide; the base 2k - 1.
    const int top = rc.top + (rc.Height() - k) / 2 + shift;
    for (int i = 0; i < k; ++i) {
        const int row = bUp ? top + i : top + k - 1 - i;
        pDC->FillSolidRect(cx - i, row, 2 * i + 1, 1, black);
    }
}

void CGXBDTSpinGadget::Draw(CDC* pDC)
{
    pDC->FillSolidRect(&m_rect, sysColor(COLOR_BTNFACE));
    DrawArrowButton(pDC, GetUpRect(), TRUE, (m_nState & UpPressed) != 0);
    DrawArrowButton(pDC, GetDownRect(), FALSE, (m_nState & DownPressed) != 0);
}

void CGXBDTSpinGadget::OnLButtonDown(UINT, CPoint point)
{
    const bool bUp = GetUpRect().PtInRect(point) != FALSE;
    if (!bUp && !GetDownRect().PtInRect(point))
        return;
    m_nState = bUp ? (UpPressed | UpCaptured) : (DownPressed | DownCaptured);
    m_nRepeat = 0;
    m_pCtrl->SetCaptureGadget(this);
    Invalidate();
    const auto alive = m_pAlive;
    m_pCtrl->StepCurrentField(bUp ? GXBDT_EV_SPINUP : GXBDT_EV_SPINDOWN, 1);
    if (!*alive || !(m_nState & (UpCaptured | DownCaptured)))
        return;
    m_nState |= TimerRunning | FirstDelay;
    StartTimer(kSpinFirstDelay);
}

void CGXBDTSpinGadget::OnTimer()
{
    if (m_nState & FirstDelay) {
        m_nState &= ~FirstDelay;
        StartTimer(kSpinRepeat);
    }
    const bool bUp = (m_nState & UpCaptured) != 0;
    // Off the pressed half the repetition pauses.
    if (!(m_nState & (bUp ? UpPressed : DownPressed)))
        return;
    ++m_nRepeat;
    const int nStep = m_nRepeat <= kSpinStep1Repeats ? 1 : m_nRepeat <= kSpinStep2Repeats ? 2 : 5;
    m_pCtrl->StepCurrentField(bUp ? GXBDT_EV_SPINUP : GXBDT_EV_SPINDOWN, nStep);
}

void CGXBDTSpinGadget::OnMouseMove(UINT, CPoint point)
{
    if (!(m_nState & (UpCaptured | DownCaptured)))
        return;
    const bool bUp = (m_nState & UpCaptured) != 0;
    const bool bOver = (bUp ? GetUpRect() : GetDownRect()).PtInRect(point) != FALSE;
    const int nBit = bUp ? UpPressed : DownPressed;
    if (bOver != ((m_nState & nBit) != 0)) {
        m_nState ^= nBit;
        Invalidate();
    }
}

void CGXBDTSpinGadget::OnLButtonUp(UINT, CPoint) { stop(); }

void CGXBDTSpinGadget::CancelMode() { stop(); }

void CGXBDTSpinGadget::stop()
{
    StopTimer();
    const bool bWas = m_nState != 0;
    m_nState = 0;
    m_nRepeat = 0;
    m_pCtrl->ReleaseCaptureGadget(this);
    if (bWas)
        Invalidate();
}

// ---- CGXBDateTimeCtrl ----

IMPLEMENT_DYNAMIC(CGXBDateTimeCtrl, CWnd)

BEGIN_MESSAGE_MAP(CGXBDateTimeCtrl, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_CHAR()
    ON_WM_KEYDOWN()
    ON_WM_SYSKEYDOWN()
    ON_WM_GETDLGCODE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_CANCELMODE()
    ON_WM_SIZE()
    ON_WM_ENABLE()
    ON_WM_SETTINGCHANGE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_SETFONT, OnSetFont)
    ON_MESSAGE(WM_GETFONT, OnGetFont)
    ON_MESSAGE(GXB_WM_CALCHOSEN, OnCalendarChosen)
    ON_MESSAGE(GXB_WM_CALCLOSED, OnCalendarClosed)
END_MESSAGE_MAP()

CGXBDateTimeCtrl::CGXBDateTimeCtrl()
    : m_dt(COleDateTime::GetCurrentTime()), m_dtMin(kMinDate), m_dtMax(kMaxDate)
{
}

CGXBDateTimeCtrl::~CGXBDateTimeCtrl()
{
    *m_pAlive = false;
    destroyCalendar();
    if (m_hWnd)
        DestroyWindow();
    m_pCapture = nullptr;
    m_gadgets.clear();
}

BOOL CGXBDateTimeCtrl::RegisterWindowClass()
{
    WNDCLASS wc {};
    if (GetClassInfo(nullptr, GXB_DATETIMECTRL_CLASS, &wc))
        return TRUE;
    wc.lpfnWndProc = ::DefWindowProc;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = GXB_DATETIMECTRL_CLASS;
    return RegisterClass(&wc) != 0;
}

BOOL CGXBDateTimeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (m_hWnd || !RegisterWindowClass())
        return FALSE;
    GXBRegisterWidgetResources();
    GXGetAppData()->m_sysColors.Refresh();
    m_dwCtrlStyle = dwStyle & 0xFFFF;
    if (!CWnd::Create(GXB_DATETIMECTRL_CLASS, nullptr, (dwStyle & ~0xFFFFu) | WS_CHILD, rect, pParentWnd, nID))
        return FALSE;
    if (pParentWnd && pParentWnd->GetSafeHwnd())
        m_pFont = pParentWnd->GetFont();
    RebuildGadgets();
    return TRUE;
}

CString CGXBDateTimeCtrl::GetFormatText() const
{
    switch (m_nFormatType) {
    case FormatTime: return localeText(LOCALE_STIMEFORMAT);
    case FormatLongDate: return localeText(LOCALE_SLONGDATE);
    case FormatCustom: return m_strCustomFormat;
    case FormatDateTime: return localeText(LOCALE_SSHORTDATE) + " " + localeText(LOCALE_STIMEFORMAT);
    default: return localeText(LOCALE_SSHORTDATE);
    }
}

void CGXBDateTimeCtrl::SetFormatType(int nType)
{
    m_strCustomFormat.Empty();
    m_nFormatType = nType;
    RebuildGadgets();
}

void CGXBDateTimeCtrl::SetCustomFormat(LPCTSTR lpszFormat)
{
    m_strCustomFormat = lpszFormat ? lpszFormat : "";
    m_nFormatType = FormatCustom;
    RebuildGadgets();
}

void CGXBDateTimeCtrl::buildFromFormat(const CString& strFormat)
{
    const std::string f = strFormat.str();
    CGXBDTStaticGadget* pStatic = nullptr;
    auto addStatic = [&](const std::string& text) {
        if (text.empty())
            return;
        if (!pStatic) {
            auto g = std::make_unique<CGXBDTStaticGadget>(this, CString(text));
            pStatic = g.get();
            m_gadgets.push_back(std::move(g));
        } else {
            pStatic->AppendText(CString(text));
        }
    };
    auto addField = [&](std::unique_ptr<CGXBDTGadget> g) {
        pStatic = nullptr;
        m_nFieldKinds |= g->GetKind();
        if (isFixedKind(g->GetKind(), m_nNoEditFields))
            g->SetEditable(FALSE);
        m_gadgets.push_back(std::move(g));
    };
    auto numeric = [&](int nKind, int nMin, int nMax, bool bZero) {
        addField(std::make_unique<CGXBDTNumericGadget>(this, nKind, nMin, nMax, bZero));
    };
    auto list = [&](int nKind, std::vector<CString> entries) {
        addField(std::make_unique<CGXBDTListGadget>(this, nKind, std::move(entries)));
    };
    for (size_t i = 0; i < f.size();) {
        const char c = f[i];
        size_t n = 1;
        while (i + n < f.size() && f[i + n] == c)
            ++n;
        switch (c) {
        case 'h': numeric(GXBDT_HOUR12, 1, 12, n >= 2); break;
        case 'H': numeric(GXBDT_HOUR24, 0, 23, n >= 2); break;
        case 'm': numeric(GXBDT_MINUTE, 0, 59, n >= 2); break;
        case 's': numeric(GXBDT_SECOND, 0, 59, n >= 2); break;
        case 't': {
            std::vector<CString> marks = {localeText(LOCALE_S1159), localeText(LOCALE_S2359)};
            if (n == 1)
                for (CString& m : marks)
                    m = gxb::FromChars(gxb::ToChars(m).substr(0, 1));
            list(GXBDT_AMPM, std::move(marks));
            break;
        }
        case 'd':
            if (n <= 2) {
                numeric(GXBDT_DAY, 1, 31, n == 2);
            } else {
                std::vector<CString> names(7);
                for (int d = 0; d < 7; ++d)
                    CGXBCalendar::GetDayName(d + 1, n >= 4, names[size_t(d)]);
                list(GXBDT_WEEKDAY, std::move(names));
            }
            break;
        case 'M':
            if (n <= 2) {
                numeric(GXBDT_MONTH, 1, 12, n == 2);
            } else {
                std::vector<CString> names(12);
                for (int m = 0; m < 12; ++m)
                    CGXBCalendar::GetMonthName(m + 1, n >= 4, names[size_t(m)]);
                list(GXBDT_MONTHNAME, std::move(names));
            }
            break;
        case 'y':
            if (n <= 2)
                numeric(GXBDT_YEAR2, 0, 99, n == 2);
            else
                numeric(GXBDT_YEAR4, 0, 9999, true);
            break;
        case 'g': break;
        case '\'':
        case '"': {
            const size_t end = f.find(c, i + 1);
            addStatic(f.substr(i + 1, (end == std::string::npos ? f.size() : end) - i - 1));
            n = (end == std::string::npos ? f.size() : end + 1) - i;
            break;
        }
        default: addStatic(f.substr(i, n)); break;
        }
        i += n;
    }
}

void CGXBDateTimeCtrl::RebuildGadgets()
{
    const int nOldKind = current() ? current()->GetKind() : -1;
    if (m_pCapture) {
        m_pCapture = nullptr;
        if (m_hWnd && GetCapture() == this)
            ReleaseCapture();
    }
    ++m_nGeneration;
    m_gadgets.clear();
    m_nCurGadget = -1;
    m_nXOffset = 0;
    m_nFieldKinds = 0;
    if (m_dwCtrlStyle & GXBDT_DROPDOWN)
        m_gadgets.push_back(std::make_unique<CGXBDTButtonGadget>(this));
    if (m_dwCtrlStyle & GXBDT_SPIN)
        m_gadgets.push_back(std::make_unique<CGXBDTSpinGadget>(this));
    m_nFixed = int(m_gadgets.size());
    buildFromFormat(GetFormatText());
    UpdateGadgetValues(GXBDT_ALLKINDS);
    for (size_t i = 0; i < m_gadgets.size(); ++i)
        if (m_gadgets[i]->IsEditable() && m_gadgets[i]->GetKind() == nOldKind)
            m_nCurGadget = int(i);
    if (m_nCurGadget < 0)
        m_nCurGadget = editableFrom(m_nFixed, 1);
    if (!m_hWnd)
        return;
    if (GetFocus() == this && current())
        current()->SetFocus(TRUE);
    LayoutGadgets(nullptr);
    Invalidate(FALSE);
}

CGXBDTGadget* CGXBDateTimeCtrl::GetGadget(int i) const
{
    return i >= 0 && size_t(i) < m_gadgets.size() ? m_gadgets[size_t(i)].get() : nullptr;
}

CGXBDTGadget* CGXBDateTimeCtrl::current() const { return GetGadget(m_nCurGadget); }

BOOL CGXBDateTimeCtrl::SetDateTime(const COleDateTime& dt)
{
    if (dt.GetStatus() != COleDateTime::valid || dt.GetYear() < 0)
        return FALSE;
    m_dt = dt;
    m_bPM = dt.GetHour() >= 12;
    UpdateGadgetValues(GXBDT_ALLKINDS);
    return TRUE;
}

void CGXBDateTimeCtrl::UpdateGadgetValues(int nKinds)
{
    for (const auto& g : m_gadgets) {
        if (g->GetKind() > 0 && (g->GetKind() & nKinds)) {
            g->SetValue(shownValue(g->GetKind(), m_dt));
            InvalidateGadget(g.get());
        }
    }
}

namespace {
COleDateTime reduced(const COleDateTime& dt, int nMode)
{
    const Parts p = split(dt);
    if (nMode == 1)
        return makeValue(1899, 12, 30, p.h, p.mi, p.s);
    if (nMode == 2)
        return makeValue(p.y, p.mo, p.d, 0, 0, 0);
    return dt;
}

// The bound in place of the value: only the checked part of the value is replaced.
COleDateTime clampedTo(const COleDateTime& bound, const COleDateTime& dt, int nMode)
{
    const Parts b = split(bound), v = split(dt);
    if (nMode == 1)
        return makeValue(v.y, v.mo, v.d, b.h, b.mi, b.s);
    if (nMode == 2)
        return makeValue(b.y, b.mo, b.d, v.h, v.mi, v.s);
    return bound;
}
}  // namespace

BOOL CGXBDateTimeCtrl::SetValidationRange(const COleDateTime& dtMin, const COleDateTime& dtMax, int nMode)
{
    if (dtMin.GetStatus() != COleDateTime::valid || dtMax.GetStatus() != COleDateTime::valid || moment(dtMin) > moment(dtMax))
        return FALSE;
    const COleDateTime lo = reduced(dtMin, nMode), hi = reduced(dtMax, nMode);
    if (lo.GetStatus() != COleDateTime::valid || hi.GetStatus() != COleDateTime::valid || moment(lo) > moment(hi))
        return FALSE;
    m_dtMin = lo;
    m_dtMax = hi;
    m_nValidationMode = nMode;
    COleDateTime v = m_dt;
    if (CheckValue(v, -1) && v != m_dt) {
        m_dt = v;
        m_bPM = v.GetHour() >= 12;
    }
    UpdateGadgetValues(GXBDT_ALLKINDS);
    if (m_hWnd)
        Invalidate(FALSE);
    return TRUE;
}

void CGXBDateTimeCtrl::GetValidationRange(COleDateTime& dtMin, COleDateTime& dtMax, int& nMode) const
{
    dtMin = m_dtMin;
    dtMax = m_dtMax;
    nMode = m_nValidationMode;
}

void CGXBDateTimeCtrl::SetNoEditFields(int nMask)
{
    m_nNoEditFields = nMask;
    if (m_hWnd)
        RebuildGadgets();
    else
        for (const auto& g : m_gadgets)
            if (g->GetKind() > 0)
                g->SetEditable(!isFixedKind(g->GetKind(), nMask));
}

void CGXBDateTimeCtrl::ResetState()
{
    m_nState = 0;
    if (CGXBDTGadget* g = current())
        g->ResetTimer();
}

BOOL CGXBDateTimeCtrl::CheckValue(COleDateTime& dt, int nClampLevel)
{
    if (dt.GetStatus() != COleDateTime::valid)
        return FALSE;
    if (m_nValidationMode == 0)
        return TRUE;
    const COleDateTime v = reduced(dt, m_nValidationMode);
    if (v.GetStatus() != COleDateTime::valid)
        return FALSE;
    const bool bBelow = moment(v) <= moment(m_dtMin) - kOneSecond;
    const bool bAbove = moment(v) >= moment(m_dtMax) + kOneSecond;
    if (!bBelow && !bAbove)
        return TRUE;
    const COleDateTime& bound = bBelow ? m_dtMin : m_dtMax;
    bool bClamp = nClampLevel == -1;
    if (nClampLevel >= 1) {
        const Parts a = split(v), b = split(bound);
        // The named part and every larger one must be the bound's.
        const int larger[5][2] = {{a.mi, b.mi}, {a.h, b.h}, {a.d, b.d}, {a.mo, b.mo}, {a.y, b.y}};
        bClamp = true;
        for (int level = std::min(nClampLevel, 5); level <= 5; ++level)
            if (larger[level - 1][0] != larger[level - 1][1])
                bClamp = false;
    }
    if (!bClamp)
        return FALSE;
    const COleDateTime c = clampedTo(bound, dt, m_nValidationMode);
    if (c.GetStatus() != COleDateTime::valid)
        return FALSE;
    dt = c;
    return TRUE;
}

BOOL CGXBDateTimeCtrl::BeginFieldChange(int) { return TRUE; }

void CGXBDateTimeCtrl::EndFieldChange(int) {}

int CGXBDateTimeCtrl::TwoDigitYearWindow(int nTyped)
{
    // The system's date parser decides the century: 1999-01-01 written the locale's way, with
    // the typed number in place of its year, read back.
    CString s = COleDateTime(1999, 1, 1, 0, 0, 0).Format(VAR_DATEVALUEONLY);
    CString typed;
    typed.Format("%02d", nTyped);
    std::string text = s.str();
    size_t at = text.find("1999");
    size_t len = 4;
    if (at == std::string::npos) {
        at = text.find("99");
        len = 2;
    }
    if (at != std::string::npos) {
        text.replace(at, len, typed.str());
        COleDateTime back;
        if (back.ParseDateTime(text.c_str(), VAR_DATEVALUEONLY))
            return 1999 + (back.GetYear() - 1999);
    }
    return nTyped < 30 ? 2000 + nTyped : 1900 + nTyped;
}

BOOL CGXBDateTimeCtrl::FieldEvent(int nEvent, int nKind, int nValue)
{
    switch (nEvent) {
    case GXBDT_EV_DROP: return DropCalendar();
    case GXBDT_EV_TYPING:
        m_nState = nValue ? (m_nState | StateTyping) : (m_nState & ~StateTyping);
        return TRUE;
    case GXBDT_EV_NEXT: return m_bFastInput && MoveToNextField(1);
    default: break;
    }
    Parts p = split(m_dt);
    const bool bHomeEnd = nEvent == GXBDT_EV_FIRST || nEvent == GXBDT_EV_LAST;
    const bool bTyped = nEvent == GXBDT_EV_CHECK || nEvent == GXBDT_EV_STORE;
    const int nDir = (nEvent == GXBDT_EV_UP || nEvent == GXBDT_EV_SPINUP)       ? 1
                     : (nEvent == GXBDT_EV_DOWN || nEvent == GXBDT_EV_SPINDOWN) ? -1
                                                                                 : 0;
    const bool bSpin = nEvent == GXBDT_EV_SPINUP || nEvent == GXBDT_EV_SPINDOWN;
    const int nStep = bSpin ? std::max(1, nValue) : 1;
    int nLevel = 0;
    bool bLowerDay = false;
    COleDateTime nd;
    auto stepWrap = [&](int& field, int lo, int hi, int nFirst, int nLast) {
        if (nDir)
            field = wrap(field + nDir * nStep, lo, hi);
        else if (nEvent == GXBDT_EV_FIRST)
            field = nFirst;
        else if (nEvent == GXBDT_EV_LAST)
            field = nLast;
    };
    switch (nKind) {
    case GXBDT_HOUR12:
    case GXBDT_HOUR24:
        nLevel = bHomeEnd ? 3 : 2;
        if (nDir) {
            p.h = wrap(p.h + nDir * (bSpin ? std::min(nStep, kMaxHourStep) : 1), 0, 23);
        } else if (bTyped && nKind == GXBDT_HOUR12) {
            if (nValue < 1 || nValue > 12)
                return FALSE;
            p.h = nValue % 12 + (p.h >= 12 ? 12 : 0);
        } else if (bTyped) {
            if (nValue < 0 || nValue > 23)
                return FALSE;
            p.h = nValue;
        } else {
            stepWrap(p.h, 0, 23, 0, 23);
        }
        break;
    case GXBDT_AMPM:
        nLevel = 2;
        if (nDir)
            p.h = (p.h + 12) % 24;
        else if (nEvent == GXBDT_EV_FIRST)
            p.h %= 12;
        else if (nEvent == GXBDT_EV_LAST)
            p.h = p.h % 12 + 12;
        else if (nValue == 0 || nValue == 1)
            p.h = p.h % 12 + 12 * nValue;
        else
            return FALSE;
        break;
    case GXBDT_MINUTE:
    case GXBDT_SECOND: {
        int& field = nKind == GXBDT_MINUTE ? p.mi : p.s;
        nLevel = nKind == GXBDT_MINUTE ? (bHomeEnd ? 2 : 1) : (bHomeEnd ? 1 : 0);
        if (bTyped) {
            if (nValue < 0 || nValue > 59)
                return FALSE;
            field = nValue;
        } else {
            stepWrap(field, 0, 59, 0, 59);
        }
        break;
    }
    case GXBDT_DAY:
        nLevel = bHomeEnd ? 4 : 3;
        if (nDir) {
            p.d += nDir * nStep;
            if (p.d > daysInMonth(p.y, p.mo))
                p.d = 1;
            else if (p.d < 1)
                p.d = 31, bLowerDay = true;
        } else if (bTyped) {
            if (!exists(p.y, p.mo, nValue))
                return FALSE;
            p.d = nValue;
        } else {
            p.d = nEvent == GXBDT_EV_FIRST ? 1 : 31;
            bLowerDay = true;
        }
        break;
    case GXBDT_WEEKDAY: {
        nLevel = bHomeEnd ? 4 : 3;
        const int wd = m_dt.GetDayOfWeek() - 1;
        int target = wd;
        if (bTyped) {
            if (nValue < 0 || nValue > 6)
                return FALSE;
            target = nValue;
        } else {
            stepWrap(target, 0, 6, 0, 6);
        }
        nd = m_dt + COleDateTimeSpan(double(target - wd));
        p = split(nd);
        break;
    }
    case GXBDT_MONTH:
    case GXBDT_MONTHNAME:
        nLevel = bHomeEnd ? 5 : 4;
        bLowerDay = true;
        if (bTyped) {
            const int m = nKind == GXBDT_MONTHNAME ? nValue + 1 : nValue;
            if (m < 1 || m > 12)
                return FALSE;
            p.mo = m;
        } else {
            stepWrap(p.mo, 1, 12, 1, 12);
        }
        break;
    case GXBDT_YEAR2:
    case GXBDT_YEAR4:
        nLevel = 5;
        bLowerDay = true;
        if (nDir) {
            const int y = std::clamp(p.y + nDir * nStep, 100, 9999);
            if (y == p.y)
                return FALSE;
            p.y = y;
        } else if (nEvent == GXBDT_EV_FIRST) {
            p.y = m_nValidationMode == 1 ? 100 : m_dtMin.GetYear();
        } else if (nEvent == GXBDT_EV_LAST) {
            p.y = m_nValidationMode == 1 ? 9999 : m_dtMax.GetYear();
        } else if (nKind == GXBDT_YEAR4) {
            p.y = nValue;
        } else {
            if (nValue < 0 || nValue > 99)
                return FALSE;
            if (IsYearCentury()) {
                const int y = m_dt.GetStatus() == COleDateTime::valid ? p.y : COleDateTime::GetCurrentTime().GetYear();
                p.y = y - y % 100 + nValue;
            } else {
                p.y = TwoDigitYearWindow(nValue);
            }
        }
        break;
    default: return FALSE;
    }
    if (bLowerDay)
        while (p.d > 28 && !exists(p.y, p.mo, p.d))
            --p.d;
    nd = makeValue(p.y, p.mo, p.d, p.h, p.mi, p.s);
    if (!CheckValue(nd, nLevel))
        return FALSE;
    if (nEvent == GXBDT_EV_CHECK)
        return TRUE;
    return StoreValue(nd, groupKinds(nKind) | changedKinds(m_dt, nd));
}

BOOL CGXBDateTimeCtrl::StoreValue(const COleDateTime& dt, int nApproveKinds)
{
    if (!BeginFieldChange(nApproveKinds))
        return FALSE;
    const int nChanged = changedKinds(m_dt, dt);
    m_dt = dt;
    m_bPM = dt.GetHour() >= 12;
    UpdateGadgetValues(nChanged);
    m_nState |= StateModified;
    const auto alive = m_pAlive;
    NotifyParent(GXB_DTN_CHANGED);
    if (*alive)
        EndFieldChange(nChanged | nApproveKinds);
    return TRUE;
}

void CGXBDateTimeCtrl::NotifyParent(WORD nCode)
{
    if (!m_hWnd)
        return;
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), nCode), reinterpret_cast<LPARAM>(m_hWnd));
}

BOOL CGXBDateTimeCtrl::StepCurrentField(int nEvent, int nStep)
{
    CGXBDTGadget* g = current();
    if (!g || g->GetKind() <= 0 || !g->IsEditable())
        return FALSE;
    const int nGeneration = m_nGeneration;
    g->CancelMode();  // typed digits commit first
    if (nGeneration != m_nGeneration || !(g = current()))
        return FALSE;
    const BOOL bResult = FieldEvent(nEvent, g->GetKind(), nStep);
    if (!bResult)
        Beep();
    return bResult;
}

// ---- Fields and focus ----

int CGXBDateTimeCtrl::editableFrom(int nStart, int nDirection) const
{
    for (int i = nStart; i >= m_nFixed && i < int(m_gadgets.size()); i += nDirection)
        if (m_gadgets[size_t(i)]->IsEditable() && m_gadgets[size_t(i)]->GetKind() > 0)
            return i;
    return -1;
}

BOOL CGXBDateTimeCtrl::SetCurrentGadget(int i)
{
    CGXBDTGadget* pNew = GetGadget(i);
    if (!pNew || !pNew->IsEditable() || pNew->IsFixed())
        return FALSE;
    if (i == m_nCurGadget) {
        if (m_hWnd && GetFocus() == this)
            pNew->SetFocus(TRUE);
        return TRUE;
    }
    const int nGeneration = m_nGeneration;
    if (CGXBDTGadget* pOld = current())
        pOld->SetFocus(FALSE);  // commits typed digits
    if (nGeneration != m_nGeneration)
        return FALSE;
    m_nCurGadget = i;
    if (m_hWnd && GetFocus() == this)
        pNew->SetFocus(TRUE);
    ensureVisible();
    return TRUE;
}

BOOL CGXBDateTimeCtrl::FirstEditableGadget() { return SetCurrentGadget(editableFrom(m_nFixed, 1)); }

BOOL CGXBDateTimeCtrl::LastEditableGadget() { return SetCurrentGadget(editableFrom(int(m_gadgets.size()) - 1, -1)); }

BOOL CGXBDateTimeCtrl::IsAtFirstEditableGadget() const
{
    return m_nCurGadget < 0 || editableFrom(m_nCurGadget - 1, -1) < 0;
}

BOOL CGXBDateTimeCtrl::IsAtLastEditableGadget() const
{
    return m_nCurGadget < 0 || editableFrom(m_nCurGadget + 1, 1) < 0;
}

BOOL CGXBDateTimeCtrl::MoveToNextField(int nDirection)
{
    const int i = editableFrom(m_nCurGadget + nDirection, nDirection);
    return i >= 0 && SetCurrentGadget(i);
}

int CGXBDateTimeCtrl::GadgetFromPoint(CPoint point) const
{
    for (int i = 0; i < m_nFixed; ++i)
        if (m_gadgets[size_t(i)]->GetRect().PtInRect(point))
            return i;
    for (int i = m_nFixed; i < int(m_gadgets.size()); ++i)
        if (m_gadgets[size_t(i)]->GetRect().right > point.x + m_nXOffset)
            return i;
    return -1;
}

void CGXBDateTimeCtrl::SetCaptureGadget(CGXBDTGadget* pGadget)
{
    m_pCapture = pGadget;
    if (m_hWnd)
        SetCapture();
}

void CGXBDateTimeCtrl::ReleaseCaptureGadget(CGXBDTGadget* pGadget)
{
    if (m_pCapture != pGadget)
        return;
    m_pCapture = nullptr;
    if (m_hWnd && GetCapture() == this)
        ReleaseCapture();
}

void CGXBDateTimeCtrl::InvalidateGadget(const CGXBDTGadget* pGadget)
{
    if (!m_hWnd)
        return;
    CRect rc = pGadget->GetRect();
    rc.OffsetRect(-ScrollOffsetOf(pGadget), 0);
    InvalidateRect(&rc, FALSE);
}

// ---- Layout and drawing ----

void CGXBDateTimeCtrl::MeasureGadgets(CDC* pDC)
{
    for (const auto& g : m_gadgets) {
        g->SetRect(CRect(0, 0, 0, 0));
        g->Measure(pDC);
    }
}

void CGXBDateTimeCtrl::LayoutGadgets(CDC* pDC, const CRect* pRect)
{
    CRect rc;
    if (pRect)
        rc = *pRect;
    else if (m_hWnd)
        GetClientRect(&rc);
    CDC dcScreen;
    if (!pDC) {
        dcScreen.CreateCompatibleDC(nullptr);
        pDC = &dcScreen;
    }
    CDCStateGuard guard(pDC);
    guard.SelectFont(m_pFont);
    MeasureGadgets(pDC);
    m_nFixedWidth = 0;
    for (int i = 0; i < m_nFixed; ++i)
        m_nFixedWidth += m_gadgets[size_t(i)]->GetRect().Width();
    int x = rc.right - m_nFixedWidth;
    for (int i = 0; i < m_nFixed; ++i) {
        CGXBDTGadget* g = m_gadgets[size_t(i)].get();
        const int w = g->GetRect().Width();
        g->SetRect(CRect(x, rc.top, x + w, rc.bottom));
        x += w;
    }
    x = rc.left + 1;
    for (size_t i = size_t(m_nFixed); i < m_gadgets.size(); ++i) {
        CGXBDTGadget* g = m_gadgets[i].get();
        const int w = g->GetRect().Width(), h = g->GetRect().Height();
        const int top = rc.top + (rc.Height() - h) / 2;
        g->SetRect(CRect(x, top, x + w, top + h));
        x += w;
    }
    ensureVisible();
}

void CGXBDateTimeCtrl::ensureVisible()
{
    const CGXBDTGadget* g = current();
    if (!g || !m_hWnd)
        return;
    CRect rc;
    GetClientRect(&rc);
    const int nArea = rc.Width() - m_nFixedWidth;
    if (g->GetRect().right - m_nXOffset > nArea)
        m_nXOffset = g->GetRect().right - nArea;
    if (g->GetRect().left - m_nXOffset < rc.left)
        m_nXOffset = g->GetRect().left - rc.left;
    m_nXOffset = std::max(0, m_nXOffset);
}

COLORREF CGXBDateTimeCtrl::GetTextColor() const { return m_bTextColor ? m_crText : sysColor(COLOR_WINDOWTEXT); }

COLORREF CGXBDateTimeCtrl::GetBackgroundColor() const
{
    if (m_hWnd && !IsWindowEnabled())
        return sysColor(m_nBkColorIndex);
    return m_bBackColor ? m_crBack : sysColor(COLOR_WINDOW);
}

void CGXBDateTimeCtrl::DrawGadgets(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    CDCStateGuard guard(pDC);
    guard.SelectFont(m_pFont);
    guard.SetTextColor(GetTextColor());
    guard.SetBkColor(GetBackgroundColor());
    {
        // Fields scroll under the fixed gadgets' area, which they never cover.
        const int nSaved = pDC->SaveDC();
        pDC->IntersectClipRect(rc.left, rc.top, rc.right - m_nFixedWidth, rc.bottom);
        pDC->SetViewportOrg(-m_nXOffset, 0);
        for (size_t i = size_t(m_nFixed); i < m_gadgets.size(); ++i)
            m_gadgets[i]->Draw(pDC);
        pDC->RestoreDC(nSaved);
    }
    for (int i = 0; i < m_nFixed; ++i)
        m_gadgets[size_t(i)]->Draw(pDC);
}

void CGXBDateTimeCtrl::OnPaint()
{
    GXBPaintBuffered(this, [this](CDC* pDC) {
        CRect rc;
        GetClientRect(&rc);
        pDC->FillSolidRect(&rc, GetBackgroundColor());
        DrawGadgets(pDC);
    });
}

BOOL CGXBDateTimeCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CGXBDateTimeCtrl::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    LayoutGadgets(nullptr);
    Invalidate(FALSE);
}

void CGXBDateTimeCtrl::OnEnable(BOOL) { Invalidate(FALSE); }

LRESULT CGXBDateTimeCtrl::OnSetFont(WPARAM wParam, LPARAM lParam)
{
    m_pFont = wParam ? CFont::FromHandle(reinterpret_cast<HFONT>(wParam)) : nullptr;
    LayoutGadgets(nullptr);
    if (LOWORD(lParam))
        Invalidate(FALSE);
    return 0;
}

LRESULT CGXBDateTimeCtrl::OnGetFont(WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>(m_pFont ? m_pFont->GetSafeHandle() : nullptr);
}

void CGXBDateTimeCtrl::OnSettingChange(UINT, LPCTSTR) { RebuildGadgets(); }

void CGXBDateTimeCtrl::OnSysColorChange()
{
    GXGetAppData()->m_sysColors.Refresh();
    for (const auto& g : m_gadgets)
        g->OnSysColorChange();
    Invalidate(FALSE);
}

// ---- Keys and mouse ----

UINT CGXBDateTimeCtrl::OnGetDlgCode() { return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS; }

void CGXBDateTimeCtrl::OnSetFocus(CWnd* pOldWnd)
{
    CWnd::OnSetFocus(pOldWnd);
    if (GetKeyState(VK_TAB) < 0) {
        if (GetKeyState(VK_SHIFT) < 0)
            m_nCurGadget = editableFrom(int(m_gadgets.size()) - 1, -1);
        else
            m_nCurGadget = editableFrom(m_nFixed, 1);
    }
    if (!current() || !current()->IsEditable())
        m_nCurGadget = editableFrom(m_nFixed, 1);
    if (CGXBDTGadget* g = current())
        g->SetFocus(TRUE);
    ensureVisible();
    Invalidate(FALSE);
}

void CGXBDateTimeCtrl::OnKillFocus(CWnd* pNewWnd)
{
    CWnd::OnKillFocus(pNewWnd);
    if (CGXBDTGadget* g = current())
        g->SetFocus(FALSE);
}

void CGXBDateTimeCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    switch (nChar) {
    case VK_LEFT: MoveToNextField(-1); return;
    case VK_RIGHT: MoveToNextField(1); return;
    case VK_TAB: {
        const bool bBack = GetKeyState(VK_SHIFT) < 0;
        // Past the first or last field Tab leaves the control, as in any dialog.
        if (!MoveToNextField(bBack ? -1 : 1) && (GetStyle() & WS_CHILD))
            if (CWnd* pParent = GetParent())
                pParent->PostMessage(WM_NEXTDLGCTL, bBack ? 1 : 0, 0);
        return;
    }
    case VK_F4:
        if (m_dwCtrlStyle & GXBDT_DROPDOWN)
            DropCalendar();
        return;
    case VK_ADD:
    case VK_SUBTRACT: m_bSwallowChar = TRUE; break;
    default: break;
    }
    if (CGXBDTGadget* g = current())
        g->OnKeyDown(nChar);
    else
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CGXBDateTimeCtrl::OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_DOWN && (m_dwCtrlStyle & GXBDT_DROPDOWN)) {
        DropCalendar();
        return;
    }
    CWnd::OnSysKeyDown(nChar, nRepCnt, nFlags);
}

void CGXBDateTimeCtrl::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (m_bSwallowChar) {
        m_bSwallowChar = FALSE;
        if (nChar == '+' || nChar == '-')
            return;
    }
    if (nChar == '\t' || nChar < 0x20)
        return;
    CGXBDTGadget* g = current();
    if (!g) {
        CWnd::OnChar(nChar, nRepCnt, nFlags);
        return;
    }
    // The separator after the field (or a blank for a blank one) moves on.
    if (auto* pNext = dynamic_cast<CGXBDTStaticGadget*>(GetGadget(m_nCurGadget + 1))) {
        const std::u32string chars = gxb::ToChars(pNext->GetText());
        CString trimmed = pNext->GetText();
        trimmed.Trim();
        if ((chars.size() == 1 && chars[0] == char32_t(nChar)) || (nChar == ' ' && trimmed.IsEmpty())) {
            MoveToNextField(1);
            return;
        }
    }
    g->OnChar(nChar);
}

void CGXBDateTimeCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (GetFocus() != this)
        SetFocus();
    if (!m_hWnd)
        return;
    CGXBDTGadget* g = GetGadget(GadgetFromPoint(point));
    if (!g)
        return;
    if (!g->IsFixed() && g->IsEditable()) {
        const int nGeneration = m_nGeneration;
        SetCurrentGadget(GadgetFromPoint(point));
        if (nGeneration != m_nGeneration)
            return;
        InvalidateGadget(g);
    }
    if (g->GetStyle() & CGXBDTGadget::WantMouse)
        g->OnLButtonDown(nFlags, CPoint(point.x + ScrollOffsetOf(g), point.y));
}

void CGXBDateTimeCtrl::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (CGXBDTGadget* g = m_pCapture)
        g->OnLButtonUp(nFlags, CPoint(point.x + ScrollOffsetOf(g), point.y));
}

void CGXBDateTimeCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
    if (CGXBDTGadget* g = m_pCapture)
        g->OnMouseMove(nFlags, CPoint(point.x + ScrollOffsetOf(g), point.y));
}

void CGXBDateTimeCtrl::OnCancelMode()
{
    if (CGXBDTGadget* g = m_pCapture)
        g->CancelMode();
    CWnd::OnCancelMode();
}

void CGXBDateTimeCtrl::OnDestroy()
{
    if (m_pCapture) {
        CGXBDTGadget* g = m_pCapture;
        g->CancelMode();
        m_pCapture = nullptr;
    }
    if (GetCapture() == this)
        ReleaseCapture();
    destroyCalendar();
    if (CGXBDTGadget* g = current())
        g->ResetTimer();
    m_nCurGadget = editableFrom(m_nFixed, 1);
    m_nXOffset = 0;
    CWnd::OnDestroy();
}

// ---- The calendar ----

CGXBPopupCalendar* CGXBDateTimeCtrl::CreatePopupCalendar() { return new CGXBPopupCalendar; }

BOOL CGXBDateTimeCtrl::DropCalendar()
{
    if (!(m_dwCtrlStyle & GXBDT_DROPDOWN) || m_pCalendar || !m_hWnd)
        return FALSE;
    const int nGeneration = m_nGeneration;
    if (CGXBDTGadget* g = current())
        g->CancelMode();  // typed digits commit
    if (nGeneration != m_nGeneration || !m_hWnd)
        return FALSE;
    // The calendar takes the focus; a grid that hears of it must not end the cell's editing
    // while it is open.
    m_bOldPopupActive = GetGridPopupActive();
    SetGridPopupActive(TRUE);
    CGXBPopupCalendar* p = CreatePopupCalendar();
    if (!p) {
        SetGridPopupActive(m_bOldPopupActive);
        return FALSE;
    }
    m_pCalendar = p;
    const COleDateTime day = CGXBCalendar::AtNoon(m_dt);
    if (p->SetCurrentDate(day, FALSE))
        p->SelectDate(day, TRUE);
    CRect rc;
    GetWindowRect(&rc);
    if (!p->Create(0, rc, this)) {
        destroyCalendar();
        return FALSE;
    }
    return TRUE;
}

void CGXBDateTimeCtrl::destroyCalendar()
{
    CGXBPopupCalendar* p = m_pCalendar;
    if (!p)
        return;
    m_pCalendar = nullptr;
    if (p->GetSafeHwnd())
        p->DestroyWindow();
    delete p;
    SetGridPopupActive(m_bOldPopupActive);
}

namespace {
// After the calendar closed from the keyboard or a click in it, the control takes the keyboard
// back; a click elsewhere keeps it where it went.
bool focusCameBack(CWnd* pCtrl, CWnd* pCalendar)
{
    const HWND f = ::GetFocus();
    if (!f || (pCalendar && f == pCalendar->GetSafeHwnd()))
        return true;
    CWnd* pTop = pCtrl->GetTopLevelParent();
    return pTop && f == pTop->GetSafeHwnd();
}
}  // namespace

LRESULT CGXBDateTimeCtrl::OnCalendarChosen(WPARAM, LPARAM)
{
    if (!m_pCalendar)
        return 0;
    COleDateTime picked;
    const BOOL bPicked = m_pCalendar->GetSelectedDate(picked);
    const bool bFocus = focusCameBack(this, m_pCalendar);
    destroyCalendar();
    if (bFocus && m_hWnd)
        SetFocus();
    if (!bPicked || !m_hWnd)
        return 0;
    COleDateTime dt = makeValue(picked.GetYear(), picked.GetMonth(), picked.GetDay(), m_dt.GetHour(), m_dt.GetMinute(),
                                m_dt.GetSecond());
    if (dt.GetStatus() != COleDateTime::valid || dt == m_dt || !CheckValue(dt, 0))
        return 0;
    // A pick is a change of the date's fields like any other: approved first, told after.
    StoreValue(dt, GXBDT_DATEKINDS);
    return 0;
}

LRESULT CGXBDateTimeCtrl::OnCalendarClosed(WPARAM, LPARAM)
{
    if (!m_pCalendar)
        return 0;
    const bool bFocus = focusCameBack(this, m_pCalendar);
    destroyCalendar();
    if (bFocus && m_hWnd)
        SetFocus();
    return 0;
}

// ---- CGXCaptiveDateTimeCtrl ----

IMPLEMENT_DYNAMIC(CGXCaptiveDateTimeCtrl, CGXBDateTimeCtrl)

BEGIN_MESSAGE_MAP(CGXCaptiveDateTimeCtrl, CGXBDateTimeCtrl)
END_MESSAGE_MAP()

CGXCaptiveDateTimeCtrl::~CGXCaptiveDateTimeCtrl() = default;
