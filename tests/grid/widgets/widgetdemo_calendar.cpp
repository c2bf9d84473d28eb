// `widgetdemo calendar`: a month calendar with marked dates beside three date-time controls: a
// short date with its calendar button and spin, an "hh:mm:ss tt" time with a spin and a
// read-only long date. The short date has the focus at the start. At the start it prints where
// the fields and some days lie on the screen (the pop-up's days as the short date drops it); at
// exit, every value.

#include <cstdio>
#include <functional>

#include "grid/core/gxlibdata.h"
#include "grid/widgets/gxbcalendar.h"
#include "grid/widgets/gxbdatetime.h"
#include "platform/controls/controls.h"
#include "platform/win/win.h"

int RunCalendarDemo();

namespace {

enum : UINT { kCalendarId = 201, kShortId = 202, kTimeId = 203, kLongId = 204 };

// A read-only date-time control: every change is refused, as a read-only cell refuses it.
class ReadOnlyDateTime : public CGXBDateTimeCtrl {
public:
    BOOL BeginFieldChange(int) override { return FALSE; }
};

std::function<void()> g_printValues;
HWND g_hCalendar = nullptr;

LRESULT CalendarFrameProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    switch (m) {
    case GXB_WM_CALCHOSEN:
    case GXB_WM_CALCLOSED:
        // The month calendar hides itself when a date is chosen; this one stays.
        if (g_hCalendar)
            ShowWindow(g_hCalendar, SW_SHOW);
        return 0;
    case WM_DESTROY:
        if (g_printValues)
            g_printValues();
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProc(h, m, w, l);
    }
}

CString text(const COleDateTime& dt)
{
    CString s;
    s.Format("%04d-%02d-%02d %02d:%02d:%02d", dt.GetYear(), dt.GetMonth(), dt.GetDay(), dt.GetHour(), dt.GetMinute(),
             dt.GetSecond());
    return s;
}

// What the control shows, gadget by gadget.
CString shown(const CGXBDateTimeCtrl& c)
{
    CString s;
    for (int i = c.GetFixedCount(); i < int(c.GetGadgets().size()); ++i) {
        const CGXBDTGadget* g = c.GetGadget(i);
        if (auto* n = dynamic_cast<const CGXBDTNumericGadget*>(g))
            s += n->GetText();
        else if (auto* l = dynamic_cast<const CGXBDTListGadget*>(g))
            s += l->GetText();
        else if (auto* t = dynamic_cast<const CGXBDTStaticGadget*>(g))
            s += t->GetText();
    }
    return s;
}

void printField(const char* name, CGXBDateTimeCtrl& c)
{
    CPoint pt = c.GetGadget(c.GetFixedCount())->GetRect().CenterPoint();
    c.ClientToScreen(&pt);
    std::printf("%s at %d %d\n", name, int(pt.x), int(pt.y));
}

void printDay(const char* name, CGXBCalendar& cal, int nDay)
{
    for (int i = 0; i < 42; ++i) {
        const CGXBDayBox& box = cal.GetDayBox(i);
        if (!box.m_bOtherMonth && box.m_date.GetDay() == nDay) {
            CPoint pt = box.GetRect().CenterPoint();
            cal.ClientToScreen(&pt);
            std::printf("%s day %d at %d %d\n", name, nDay, int(pt.x), int(pt.y));
        }
    }
}

void printControl(const char* name, const CGXBDateTimeCtrl& c)
{
    std::printf("%s %s \"%s\"%s\n", name, static_cast<LPCTSTR>(text(c.GetDateTime())), static_cast<LPCTSTR>(shown(c)),
                c.IsModified() ? " modified" : "");
}

}  // namespace

int RunCalendarDemo()
{
    WNDCLASS wc {};
    wc.lpfnWndProc = CalendarFrameProc;
    wc.lpszClassName = "WidgetDemoCalendar";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1));
    RegisterClass(&wc);
    HWND hFrame = CreateWindowEx(0, "WidgetDemoCalendar", "Widgets: calendar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                                 40, 640, 330, nullptr, nullptr, nullptr, nullptr);
    PvSetMainWindow(hFrame);
    CWnd* pFrame = CWnd::FromHandle(hFrame);
    CFont* pFont = CFont::FromHandle(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));

    CGXBCalendar calendar;
    calendar.SetCurrentDate(COleDateTime(2001, 3, 15, 12, 0, 0), FALSE);
    for (int d : {8, 15, 22})
        calendar.MarkDate(COleDateTime(2001, 3, d, 12, 0, 0));
    calendar.Create(WS_VISIBLE | WS_BORDER, CRect(12, 12, 292, 252), pFrame, kCalendarId);
    g_hCalendar = calendar.GetSafeHwnd();

    const char* const labels[] = {"Short date", "Time", "Read-only"};
    CStatic captions[3];
    for (int i = 0; i < 3; ++i) {
        captions[i].Create(labels[i], WS_CHILD | WS_VISIBLE, CRect(310, 22 + 40 * i, 380, 42 + 40 * i), pFrame);
        captions[i].SetFont(pFont);
    }
    CGXBDateTimeCtrl shortDate, timeOfDay;
    ReadOnlyDateTime longDate;
    shortDate.SetDateTime(COleDateTime(2001, 3, 15, 0, 0, 0));
    shortDate.Create(WS_VISIBLE | WS_BORDER | WS_TABSTOP | GXBDT_DROPDOWN | GXBDT_SPIN, CRect(390, 18, 560, 42),
                     pFrame, kShortId);
    timeOfDay.SetDateTime(COleDateTime(2001, 3, 15, 14, 5, 30));
    timeOfDay.Create(WS_VISIBLE | WS_BORDER | WS_TABSTOP | GXBDT_SPIN, CRect(390, 58, 560, 82), pFrame, kTimeId);
    timeOfDay.SetCustomFormat("hh:mm:ss tt");
    longDate.SetDateTime(COleDateTime(2001, 3, 15, 0, 0, 0));
    longDate.Create(WS_VISIBLE | WS_BORDER | WS_TABSTOP, CRect(390, 98, 620, 122), pFrame, kLongId);
    longDate.SetFormatType(CGXBDateTimeCtrl::FormatLongDate);
    for (CGXBDateTimeCtrl* c : {&shortDate, &timeOfDay, static_cast<CGXBDateTimeCtrl*>(&longDate)})
        c->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont->GetSafeHandle()), TRUE);

    printField("short", shortDate);
    printField("time", timeOfDay);
    printField("readonly", longDate);
    printDay("month", calendar, 8);
    printDay("month", calendar, 22);
    {
        // Where the short date's pop-up puts its days: the same pop-up, opened and closed once.
        CGXBPopupCalendar probe;
        probe.SetCurrentDate(COleDateTime(2001, 3, 15, 12, 0, 0), FALSE);
        CRect rc;
        shortDate.GetWindowRect(&rc);
        if (probe.Create(0, rc, &shortDate))
            printDay("popup", probe, 20);
        probe.SetChooseOnDeactivate(FALSE);
        probe.DestroyWindow();
    }
    MSG drop;
    while (PeekMessage(&drop, shortDate.GetSafeHwnd(), GXB_WM_CALCHOSEN, GXB_WM_CALCLOSED, PM_REMOVE)) {
    }
    std::fflush(stdout);

    g_printValues = [&] {
        printControl("short", shortDate);
        printControl("time", timeOfDay);
        printControl("readonly", longDate);
        COleDateTime sel;
        const CString selected = calendar.GetSelectedDate(sel) ? text(sel) : CString("none");
        std::printf("calendar selected %s shows %04d-%02d marks %d\n", static_cast<LPCTSTR>(selected),
                    calendar.GetCurrentDate().GetYear(), calendar.GetCurrentDate().GetMonth(),
                    int(calendar.GetMarkedDates().size()));
        std::printf("popup flag %d\n", GetGridPopupActive() ? 1 : 0);
        std::fflush(stdout);
    };
    ::SetActiveWindow(hFrame);
    shortDate.SetFocus();

    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    g_printValues = nullptr;
    g_hCalendar = nullptr;
    return int(msg.wParam);
}
