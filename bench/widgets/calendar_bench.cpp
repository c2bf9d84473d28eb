// The month calendar and the date-time control on the headless desktop: the calendar's repaint
// and a day step across a month boundary with few and many marked dates, a field step with its
// repaint, and dropping and closing the pop-up calendar (its fonts are fitted each time).

#include <benchmark/benchmark.h>

#include <cstdlib>

#include "grid/widgets/gxbcalendar.h"
#include "grid/widgets/gxbdatetime.h"
#include "platform/win/win.h"

namespace {

struct CalendarDesktop {
    CWnd parent;
    CalendarDesktop()
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        parent.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr);
        PvPumpMessages();
    }
    ~CalendarDesktop()
    {
        parent.DestroyWindow();
        PvResetWindowSystem();
    }
};

void CalendarPaint(benchmark::State& state)
{
    CalendarDesktop desk;
    CGXBCalendar cal;
    cal.SetCurrentDate(COleDateTime(2001, 3, 15, 12, 0, 0), FALSE);
    cal.Create(WS_VISIBLE, CRect(10, 10, 290, 250), &desk.parent, 1);
    for (auto _ : state) {
        cal.Invalidate(FALSE);
        cal.UpdateWindow();
    }
}
BENCHMARK(CalendarPaint)->Unit(benchmark::kMicrosecond);

// state.range(0) marked dates, one a day from 1990 on.
void CalendarDayStep(benchmark::State& state)
{
    CalendarDesktop desk;
    CGXBCalendar cal;
    for (int i = 0; i < state.range(0); ++i)
        cal.MarkDate(COleDateTime(1990, 1, 1, 12, 0, 0) + COleDateTimeSpan(double(i)));
    cal.SetCurrentDate(COleDateTime(2001, 3, 31, 12, 0, 0), FALSE);
    cal.SelectDate(COleDateTime(2001, 3, 31, 12, 0, 0));
    cal.Create(WS_VISIBLE, CRect(10, 10, 290, 250), &desk.parent, 1);
    PvPumpMessages();
    for (auto _ : state) {
        cal.SendMessage(WM_KEYDOWN, VK_RIGHT, 0);  // into April: the days are filled again
        cal.SendMessage(WM_KEYDOWN, VK_LEFT, 0);
        cal.UpdateWindow();
        PvPumpMessages();  // the owner's selection messages
    }
}
BENCHMARK(CalendarDayStep)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

void DateTimeFieldStep(benchmark::State& state)
{
    CalendarDesktop desk;
    CGXBDateTimeCtrl ctrl;
    ctrl.SetDateTime(COleDateTime(2001, 3, 15, 14, 5, 30));
    ctrl.Create(WS_VISIBLE | GXBDT_DROPDOWN | GXBDT_SPIN, CRect(10, 10, 300, 34), &desk.parent, 1);
    ctrl.SetFormatType(CGXBDateTimeCtrl::FormatDateTime);
    ctrl.SetFocus();
    PvPumpMessages();
    for (auto _ : state) {
        ctrl.SendMessage(WM_KEYDOWN, VK_UP, 0);
        ctrl.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
        ctrl.UpdateWindow();
    }
}
BENCHMARK(DateTimeFieldStep)->Unit(benchmark::kMicrosecond);

void DateTimeDropCalendar(benchmark::State& state)
{
    CalendarDesktop desk;
    CGXBDateTimeCtrl ctrl;
    ctrl.SetDateTime(COleDateTime(2001, 3, 15, 0, 0, 0));
    ctrl.Create(WS_VISIBLE | GXBDT_DROPDOWN, CRect(10, 10, 300, 34), &desk.parent, 1);
    ctrl.SetFocus();
    PvPumpMessages();
    for (auto _ : state) {
        ctrl.DropCalendar();
        PvPumpMessages();
        ctrl.GetCalendar()->SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        PvPumpMessages();
    }
}
BENCHMARK(DateTimeDropCalendar)->Unit(benchmark::kMicrosecond);

}  // namespace
