// The month calendar: navigation by keys and title buttons from fixed dates, the range's edges,
// selecting, marking and dragging with the mouse, the owner's messages, what it draws in two
// locales, and the pop-up's placement and its one report per drop.

#include "grid/widgets/gxbcalendar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/recording.h"
#include "platform/sys/locale.h"
#include "platform/sys/system.h"
#include "platform/win/pvwin.h"

namespace {

COleDateTime D(int y, int m, int d) { return COleDateTime(y, m, d, 12, 0, 0); }

std::string Str(const COleDateTime& dt)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", dt.GetYear(), dt.GetMonth(), dt.GetDay());
    return buf;
}

// Hears the calendar's messages, one word each: "select 1", "mark 1", "chosen", "closed".
class Owner : public CWnd {
public:
    std::vector<std::string> trace;
    std::string Trace() const
    {
        std::string s;
        for (const auto& t : trace)
            s += (s.empty() ? "" : ", ") + t;
        return s;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case GXB_WM_CALDAYSELECT: trace.push_back("select " + std::to_string(wParam)); return 0;
        case GXB_WM_CALDAYMARK: trace.push_back("mark " + std::to_string(wParam)); return 0;
        case GXB_WM_CALCHOSEN: trace.push_back("chosen"); return 0;
        case GXB_WM_CALCLOSED: trace.push_back("closed"); return 0;
        default: return CWnd::WindowProc(message, wParam, lParam);
        }
    }
};

class CalendarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        PvSetTestLocale(PvLocalePreset::EnglishUS);
        ASSERT_TRUE(m_owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600,
                                     nullptr, nullptr));
        m_owner.SetActiveWindow();
    }
    void TearDown() override
    {
        m_owner.DestroyWindow();
        PvResetLocale();
    }

    // A child calendar at (10, 10) of 280 x 240 showing the date, with it selected.
    void Make(CGXBCalendar& cal, const COleDateTime& date, DWORD dwFlags = GXBCAL_DEFAULTFLAGS, bool bSelect = true)
    {
        cal.SetFlags(dwFlags);
        cal.SetCurrentDate(date, FALSE);
        if (bSelect)
            cal.SelectDate(date, TRUE);
        ASSERT_TRUE(cal.Create(WS_VISIBLE, CRect(10, 10, 290, 250), &m_owner, 1));
        PvPumpMessages();
        m_owner.trace.clear();
    }
    // A day box's centre on the screen.
    static CPoint Screen(CWnd& wnd, const CRect& rc)
    {
        CPoint pt = rc.CenterPoint();
        wnd.ClientToScreen(&pt);
        return pt;
    }
    static int BoxOf(const CGXBCalendar& cal, const COleDateTime& date)
    {
        for (int i = 0; i < 42; ++i)
            if (cal.GetDayBox(i).m_date == date)
                return i;
        return -1;
    }
    static std::string Selected(const CGXBCalendar& cal)
    {
        COleDateTime d;
        return cal.GetSelectedDate(d) ? Str(d) : std::string("none");
    }

    Owner m_owner;
};

TEST_F(CalendarTest, KeysMoveTheSelectionInBothLocales)
{
    struct Case {
        const char* name;
        COleDateTime start;
        UINT vk;
        bool ctrl = false;
        const char* selected = "";
        int beeps = 0;
    };
    const Case cases[] = {
        {.name = "left", .start = D(2001, 3, 15), .vk = VK_LEFT, .selected = "2001-03-14"},
        {.name = "pad 4", .start = D(2001, 3, 15), .vk = VK_NUMPAD4, .selected = "2001-03-14"},
        {.name = "right", .start = D(2001, 3, 15), .vk = VK_RIGHT, .selected = "2001-03-16"},
        {.name = "pad 6", .start = D(2001, 3, 15), .vk = VK_NUMPAD6, .selected = "2001-03-16"},
        {.name = "up", .start = D(2001, 3, 15), .vk = VK_UP, .selected = "2001-03-08"},
        {.name = "pad 8", .start = D(2001, 3, 15), .vk = VK_NUMPAD8, .selected = "2001-03-08"},
        {.name = "down", .start = D(2001, 3, 15), .vk = VK_DOWN, .selected = "2001-03-22"},
        {.name = "pad 2", .start = D(2001, 3, 15), .vk = VK_NUMPAD2, .selected = "2001-03-22"},
        {.name = "page up: the previous month's first", .start = D(2001, 3, 15), .vk = VK_PRIOR, .selected = "2001-02-01"},
        {.name = "page down", .start = D(2001, 3, 15), .vk = VK_NEXT, .selected = "2001-04-01"},
        {.name = "home", .start = D(2001, 3, 15), .vk = VK_HOME, .selected = "2001-03-01"},
        {.name = "end", .start = D(2001, 3, 15), .vk = VK_END, .selected = "2001-03-31"},
        {.name = "ctrl left", .start = D(2001, 3, 15), .vk = VK_LEFT, .ctrl = true, .selected = "2001-02-01"},
        {.name = "ctrl pad 4", .start = D(2001, 3, 15), .vk = VK_NUMPAD4, .ctrl = true, .selected = "2001-02-01"},
        {.name = "ctrl right", .start = D(2001, 3, 15), .vk = VK_RIGHT, .ctrl = true, .selected = "2001-04-01"},
        {.name = "ctrl pad 6", .start = D(2001, 3, 15), .vk = VK_NUMPAD6, .ctrl = true, .selected = "2001-04-01"},
        {.name = "ctrl up", .start = D(2001, 3, 15), .vk = VK_UP, .ctrl = true, .selected = "2000-03-15"},
        {.name = "ctrl page up", .start = D(2001, 3, 15), .vk = VK_PRIOR, .ctrl = true, .selected = "2000-03-15"},
        {.name = "ctrl pad 8", .start = D(2001, 3, 15), .vk = VK_NUMPAD8, .ctrl = true, .selected = "2000-03-15"},
        {.name = "ctrl down", .start = D(2001, 3, 15), .vk = VK_DOWN, .ctrl = true, .selected = "2002-03-15"},
        {.name = "ctrl page down", .start = D(2001, 3, 15), .vk = VK_NEXT, .ctrl = true, .selected = "2002-03-15"},
        {.name = "ctrl pad 2", .start = D(2001, 3, 15), .vk = VK_NUMPAD2, .ctrl = true, .selected = "2002-03-15"},
        {.name = "next month from 31 January", .start = D(2001, 1, 31), .vk = VK_NEXT, .selected = "2001-02-01"},
        {.name = "previous month from 1 January", .start = D(2001, 1, 1), .vk = VK_PRIOR, .selected = "2000-12-01"},
        {.name = "next year from 29 February", .start = D(2000, 2, 29), .vk = VK_DOWN, .ctrl = true, .selected = "2001-02-28"},
        {.name = "into January 100", .start = D(100, 2, 1), .vk = VK_LEFT, .selected = "0100-02-01", .beeps = 1},
        {.name = "previous month into January 100", .start = D(100, 2, 20), .vk = VK_PRIOR, .selected = "0100-02-20", .beeps = 1},
        {.name = "previous year from 100", .start = D(100, 5, 1), .vk = VK_UP, .ctrl = true, .selected = "0100-05-01", .beeps = 1},
        {.name = "previous year into 100", .start = D(101, 3, 1), .vk = VK_UP, .ctrl = true, .selected = "0100-03-01"},
        {.name = "into December 9999", .start = D(9999, 11, 30), .vk = VK_RIGHT, .selected = "9999-11-30", .beeps = 1},
        {.name = "next year from 9999", .start = D(9999, 1, 10), .vk = VK_DOWN, .ctrl = true, .selected = "9999-01-10", .beeps = 1},
    };
    for (PvLocalePreset locale : {PvLocalePreset::EnglishUS, PvLocalePreset::German}) {
        PvSetTestLocale(locale);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            CGXBCalendar cal;
            Make(cal, c.start);
            const int before = PvBeepCount();
            PvInputKeyStroke(c.vk, c.ctrl);
            PvPumpMessages();
            EXPECT_EQ(Selected(cal), c.selected);
            EXPECT_EQ(PvBeepCount() - before, c.beeps);
            // The displayed month follows the selection.
            COleDateTime sel;
            ASSERT_TRUE(cal.GetSelectedDate(sel));
            EXPECT_EQ(cal.GetCurrentDate().GetMonth(), sel.GetMonth());
            EXPECT_EQ(cal.GetSelectedBox() && cal.GetSelectedBox()->m_date == sel, true);
        }
    }
}

TEST_F(CalendarTest, WeeksStartOnSundayAndAMonthStartingOnSundayShowsTheWeekBefore)
{
    CGXBCalendar cal;
    Make(cal, D(2001, 4, 10));  // 1 April 2001 was a Sunday
    EXPECT_EQ(Str(cal.GetDayBox(0).m_date), "2001-03-25");
    EXPECT_TRUE(cal.GetDayBox(0).m_bOtherMonth);
    EXPECT_EQ(Str(cal.GetDayBox(7).m_date), "2001-04-01");
    EXPECT_FALSE(cal.GetDayBox(7).m_bOtherMonth);
    EXPECT_EQ(Str(cal.GetDayBox(41).m_date), "2001-05-05");
    EXPECT_TRUE(cal.GetDayBox(41).m_bOtherMonth);
    // A month starting on Monday has only the Sunday before.
    cal.SetCurrentDate(D(2001, 1, 15));
    EXPECT_EQ(Str(cal.GetDayBox(0).m_date), "2000-12-31");
}

TEST_F(CalendarTest, EnterAndEscapeReportOnceAndSpaceToggles)
{
    {
        CGXBCalendar cal;
        Make(cal, D(2001, 3, 15), GXBCAL_DEFAULTFLAGS, false);
        PvInputKeyStroke(VK_RETURN);
        PvPumpMessages();
        EXPECT_EQ(m_owner.Trace(), "closed") << "Enter without a selected day";
        EXPECT_FALSE(cal.IsWindowVisible());
    }
    {
        CGXBCalendar cal;
        Make(cal, D(2001, 3, 15));
        PvInputKeyStroke(VK_SPACE);
        PvPumpMessages();
        EXPECT_EQ(Selected(cal), "none");
        PvInputKeyStroke(VK_SPACE);
        PvInputKeyStroke(VK_RETURN);
        PvPumpMessages();
        EXPECT_EQ(m_owner.Trace(), "select 0, select 1, chosen");
    }
    {
        CGXBCalendar cal;
        Make(cal, D(2001, 3, 15), GXBCAL_DEFAULTFLAGS & ~GXBCAL_KEYBOARD);
        PvInputKeyStroke(VK_RIGHT);
        PvPumpMessages();
        EXPECT_EQ(Selected(cal), "2001-03-15") << "no keyboard navigation without its flag";
    }
}

TEST_F(CalendarTest, FixedDateFlagRefusesChangesOnceTheWindowExists)
{
    CGXBCalendar cal;
    Make(cal, D(2001, 3, 15), GXBCAL_DEFAULTFLAGS | GXBCAL_FIXEDDATE);
    int before = PvBeepCount();
    EXPECT_FALSE(cal.SetCurrentDate(D(2001, 5, 1)));
    EXPECT_EQ(PvBeepCount() - before, 1);
    EXPECT_EQ(Str(cal.GetCurrentDate()), "2001-03-15");
    before = PvBeepCount();
    PvInputKeyStroke(VK_NEXT);
    PvPumpMessages();
    EXPECT_EQ(Selected(cal), "2001-03-15") << "another month would change the date";
    EXPECT_EQ(PvBeepCount() - before, 1);
    PvInputKeyStroke(VK_RIGHT);
    PvPumpMessages();
    EXPECT_EQ(Selected(cal), "2001-03-16") << "a day of the same month moves";
    EXPECT_FALSE(cal.SetCurrentDate(D(100, 1, 5))) << "invalid dates are refused anyway";
}

TEST_F(CalendarTest, TitleButtonsPageTheDisplayedDate)
{
    struct Case {
        UINT nID;
        const char* current;
    };
    const Case cases[] = {
        {GXB_IDC_CAL_NEXTMONTH, "2001-04-01"},
        {GXB_IDC_CAL_PREVMONTH, "2001-02-01"},
        {GXB_IDC_CAL_NEXTYEAR, "2002-03-15"},
        {GXB_IDC_CAL_PREVYEAR, "2000-03-15"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nID);
        CGXBCalendar cal;
        Make(cal, D(2001, 3, 15));
        CButton* pButton = cal.GetTitle().GetButton(c.nID);
        ASSERT_NE(pButton, nullptr);
        CRect rc;
        pButton->GetWindowRect(&rc);
        PvInputClick(rc.CenterPoint().x, rc.CenterPoint().y);
        PvPumpMessages();
        EXPECT_EQ(Str(cal.GetCurrentDate()), c.current);
        EXPECT_EQ(Selected(cal), "2001-03-15") << "the selection stays";
        EXPECT_EQ(GetFocus(), cal.GetSafeHwnd()) << "the days keep the keyboard";
    }
    // Without the year flag only the month buttons exist.
    CGXBCalendar cal;
    Make(cal, D(2001, 3, 15), GXBCAL_DEFAULTFLAGS & ~GXBCAL_YEARBUTTONS);
    EXPECT_EQ(cal.GetTitle().GetButton(GXB_IDC_CAL_NEXTYEAR), nullptr);
    EXPECT_NE(cal.GetTitle().GetButton(GXB_IDC_CAL_NEXTMONTH), nullptr);
}

TEST_F(CalendarTest, MouseSelectsMarksAndReportsToTheOwner)
{
    struct Case {
        const char* name;
        DWORD flags = 0;
        const char* input = "";  // "click", "double", "right", "right twice", "other month"
        const char* trace = "";
        const char* selected = "";
    };
    const Case cases[] = {
        {.name = "a click toggles", .flags = GXBCAL_DEFAULTFLAGS, .input = "click", .trace = "select 1",
         .selected = "2001-03-20"},
        {.name = "a click with 0x04 chooses", .flags = GXBCAL_DEFAULTFLAGS | GXBCAL_NOTIFYSELECT, .input = "click",
         .trace = "select 1, chosen", .selected = "2001-03-20"},
        {.name = "a double click chooses", .flags = GXBCAL_DEFAULTFLAGS, .input = "double", .trace = "select 1, chosen",
         .selected = "2001-03-20"},
        {.name = "a right click marks", .flags = GXBCAL_DEFAULTFLAGS, .input = "right", .trace = "mark 1",
         .selected = "none"},
        {.name = "a second right click unmarks", .flags = GXBCAL_DEFAULTFLAGS, .input = "right twice",
         .trace = "mark 1, mark 0", .selected = "none"},
        {.name = "another month's day switches", .flags = GXBCAL_DEFAULTFLAGS, .input = "other month",
         .trace = "select 1", .selected = "2001-04-02"},
        {.name = "unless 0x02 holds the month", .flags = GXBCAL_DEFAULTFLAGS | GXBCAL_NOMONTHSWITCH,
         .input = "other month", .trace = "select 1", .selected = "2001-04-02"},
        {.name = "a release chooses with 0x0100", .flags = GXBCAL_DEFAULTFLAGS | GXBCAL_CHOOSEONRELEASE,
         .input = "click", .trace = "select 1, chosen", .selected = "2001-03-20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CGXBCalendar cal;
        Make(cal, D(2001, 3, 15), c.flags, false);
        const std::string input = c.input;
        const COleDateTime target = input == "other month" ? D(2001, 4, 2) : D(2001, 3, 20);
        const CPoint pt = Screen(cal, cal.GetDayBox(BoxOf(cal, target)).GetRect());
        if (input == "click" || input == "other month")
            PvInputClick(pt.x, pt.y);
        else if (input == "double")
            PvInputClick(pt.x, pt.y, PV_BUTTON_LEFT, true);
        else
            PvInputClick(pt.x, pt.y, PV_BUTTON_RIGHT);
        if (input == "right twice")
            PvInputClick(pt.x, pt.y, PV_BUTTON_RIGHT);
        PvPumpMessages();
        EXPECT_EQ(m_owner.Trace(), c.trace);
        EXPECT_EQ(Selected(cal), c.selected);
        if (input == "other month") {
            EXPECT_EQ(cal.GetCurrentDate().GetMonth(), (c.flags & GXBCAL_NOMONTHSWITCH) ? 3 : 4);
        }
        if (input == "right") {
            EXPECT_TRUE(cal.IsMarked(target));
        }
    }
}

TEST_F(CalendarTest, MarkingKeepsOneOrderedEntryPerDate)
{
    CGXBCalendar cal;
    Make(cal, D(2001, 3, 15));
    cal.MarkDate(D(2001, 3, 20));
    cal.MarkDate(COleDateTime(2001, 3, 20, 8, 30, 0));  // the same day
    cal.MarkDate(D(2001, 3, 2));
    ASSERT_EQ(cal.GetMarkedDates().size(), 2u);
    EXPECT_EQ(Str(cal.GetMarkedDates()[0]), "2001-03-02");
    EXPECT_EQ(Str(cal.GetMarkedDates()[1]), "2001-03-20");
    EXPECT_TRUE(cal.GetDayBox(BoxOf(cal, D(2001, 3, 20))).m_bMarked);
    cal.ToggleMark(D(2001, 3, 20));
    EXPECT_EQ(cal.GetMarkedDates().size(), 1u);
    PvPumpMessages();
    EXPECT_EQ(m_owner.Trace(), "mark 1, mark 1, mark 0");
}

TEST_F(CalendarTest, DragSelectsAndAReleaseOutsideRestoresThePressDate)
{
    CGXBCalendar cal;
    Make(cal, D(2001, 3, 15), GXBCAL_DEFAULTFLAGS | GXBCAL_DRAGSELECT, false);
    const CPoint a = Screen(cal, cal.GetDayBox(BoxOf(cal, D(2001, 3, 12))).GetRect());
    const CPoint b = Screen(cal, cal.GetDayBox(BoxOf(cal, D(2001, 3, 21))).GetRect());
    PvInputMouseMove(a.x, a.y);
    PvInputMouseButton(PV_BUTTON_LEFT, true);
    PvInputMouseMove(b.x, b.y);
    PvPumpMessages();
    EXPECT_EQ(Selected(cal), "2001-03-21") << "dragging selects the day under the pointer";
    PvInputMouseMove(700, 500);
    PvPumpMessages();
    EXPECT_EQ(Selected(cal), "2001-03-12") << "outside, the press date";
    PvInputMouseMove(b.x, b.y);
    PvInputMouseMove(700, 500);
    PvInputMouseButton(PV_BUTTON_LEFT, false);
    PvPumpMessages();
    EXPECT_EQ(Selected(cal), "2001-03-12");
    EXPECT_EQ(GetCapture(), nullptr);
    // Losing the mouse while dragging restores the press date too.
    PvAdvanceTime(1000);
    PvInputMouseMove(a.x, a.y);
    PvInputMouseButton(PV_BUTTON_LEFT, true);
    PvInputMouseMove(b.x, b.y);
    PvPumpMessages();
    cal.SendMessage(WM_CANCELMODE);
    EXPECT_EQ(Selected(cal), "2001-03-12");
    PvInputMouseButton(PV_BUTTON_LEFT, false);
    PvPumpMessages();
    // A release over a day selects it (a while later: no double click).
    PvAdvanceTime(1000);
    PvInputMouseMove(a.x, a.y);
    PvInputMouseButton(PV_BUTTON_LEFT, true);
    PvInputMouseMove(b.x, b.y);
    PvInputMouseButton(PV_BUTTON_LEFT, false);
    PvPumpMessages();
    EXPECT_EQ(Selected(cal), "2001-03-21");
}

std::vector<std::string> DrawnTexts(CWnd& wnd)
{
    std::vector<PvGdiRecord> records;
    PvSetGlobalGdiRecorder(&records);
    wnd.Invalidate(FALSE);
    wnd.UpdateWindow();
    PvSetGlobalGdiRecorder(nullptr);
    std::vector<std::string> texts;
    // The title's buttons are windows of their own.
    for (const PvGdiRecord& r : records)
        if (r.call == "DrawText" && r.text != "<" && r.text != "<<" && r.text != ">" && r.text != ">>")
            texts.push_back(std::string(r.text));
    return texts;
}

TEST_F(CalendarTest, DrawsTheTitleAndWeekdaysOfTheLocale)
{
    struct Case {
        PvLocalePreset locale;
        bool popup;
        COleDateTime date;
        const char* title;
        std::vector<std::string> days;
        const char* firstBox;  // the Sunday before the month's first day
    };
    const Case cases[] = {
        {PvLocalePreset::EnglishUS, false, D(2001, 1, 10), "January 2001", {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}, "31"},
        {PvLocalePreset::German, false, D(2001, 3, 10), "M\xC3\xA4rz 2001", {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"}, "25"},
        {PvLocalePreset::German, true, D(2001, 3, 10), "M\xC3\xA4r 2001", {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"}, "25"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        PvSetTestLocale(c.locale);
        const COleDateTime date = c.date;
        CGXBCalendar cal;
        CGXBPopupCalendar popup;
        CGXBCalendar* p = c.popup ? static_cast<CGXBCalendar*>(&popup) : &cal;
        p->SetCurrentDate(date, FALSE);
        if (c.popup)
            ASSERT_TRUE(popup.Create(0, CRect(100, 100, 200, 120), &m_owner));
        else
            ASSERT_TRUE(cal.Create(WS_VISIBLE, CRect(10, 10, 290, 250), &m_owner, 1));
        const std::vector<std::string> texts = DrawnTexts(*p);
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts[0], c.title);
        ASSERT_GE(texts.size(), 8u);
        EXPECT_EQ(std::vector<std::string>(texts.begin() + 1, texts.begin() + 8), c.days);
        EXPECT_EQ(texts[8], c.firstBox);
        EXPECT_EQ(texts.size(), 1u + 7u + 42u);
    }
}

TEST_F(CalendarTest, PopupPlacementBesideTheRectangle)
{
    const CRect work(0, 0, 1000, 800);
    const CSize size(200, 150);
    struct Case {
        const char* name;
        CRect rect;
        BOOL aboveRight;
        CPoint at;
    };
    const Case cases[] = {
        {"below, left-aligned", CRect(100, 100, 300, 120), FALSE, CPoint(100, 120)},
        {"above near the bottom", CRect(100, 700, 300, 720), FALSE, CPoint(100, 550)},
        {"right-aligned near the right edge", CRect(850, 100, 950, 120), FALSE, CPoint(750, 120)},
        {"style 0x1: above, right-aligned", CRect(300, 400, 500, 420), TRUE, CPoint(300, 250)},
        {"style 0x1: below near the top", CRect(300, 50, 500, 70), TRUE, CPoint(300, 70)},
        {"style 0x1: left-aligned near the left edge", CRect(10, 400, 110, 420), TRUE, CPoint(10, 250)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CGXBPopupCalendar::PlaceBeside(c.rect, size, work, c.aboveRight), c.at);
    }
    // The real pop-up: sized to its contents and dropped below the rectangle.
    CGXBPopupCalendar popup;
    ASSERT_TRUE(popup.Create(0, CRect(100, 100, 300, 120), &m_owner));
    CRect rc;
    popup.GetWindowRect(&rc);
    EXPECT_EQ(rc.TopLeft(), CPoint(100, 120));
    EXPECT_GT(rc.Width(), 100);
    EXPECT_EQ(GetFocus(), popup.GetSafeHwnd());
}

TEST_F(CalendarTest, PopupReportsOncePerDrop)
{
    struct Case {
        const char* name;
        bool select = false;
        const char* action = "";  // "escape", "deactivate", "enter", "click"
        const char* trace = "";
    };
    const Case cases[] = {
        // Hiding deactivates the pop-up, and deactivation reports: Escape must not also choose.
        {.name = "escape with a selection", .select = true, .action = "escape", .trace = "closed"},
        {.name = "escape without", .select = false, .action = "escape", .trace = "closed"},
        {.name = "deactivation with a selection", .select = true, .action = "deactivate", .trace = "chosen"},
        {.name = "deactivation without", .select = false, .action = "deactivate", .trace = "closed"},
        {.name = "enter", .select = true, .action = "enter", .trace = "chosen"},
        {.name = "a click", .select = false, .action = "click", .trace = "select 1, chosen"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CGXBPopupCalendar popup;
        popup.SetCurrentDate(D(2001, 3, 15), FALSE);
        if (c.select)
            popup.SelectDate(D(2001, 3, 15));
        ASSERT_TRUE(popup.Create(0, CRect(100, 100, 300, 120), &m_owner));
        PvPumpMessages();
        const std::string action = c.action;
        if (action == "escape")
            PvInputKeyStroke(VK_ESCAPE);
        else if (action == "enter")
            PvInputKeyStroke(VK_RETURN);
        else if (action == "deactivate")
            m_owner.SetActiveWindow();
        else {
            const CPoint pt = Screen(popup, popup.GetDayBox(BoxOf(popup, D(2001, 3, 20))).GetRect());
            PvInputClick(pt.x, pt.y);
        }
        PvPumpMessages();
        EXPECT_EQ(m_owner.Trace(), c.trace);
        EXPECT_FALSE(popup.IsWindowVisible());
        m_owner.trace.clear();
        m_owner.SetActiveWindow();
    }
}

TEST_F(CalendarTest, NamesCountSundayAsDayOne)
{
    CString s;
    CGXBCalendar::GetDayName(1, TRUE, s);
    EXPECT_EQ(std::string(s), "Sunday");
    CGXBCalendar::GetDayName(7, FALSE, s);
    EXPECT_EQ(std::string(s), "Sat");
    CGXBCalendar::GetDayName(8, FALSE, s);
    EXPECT_TRUE(s.IsEmpty());
    PvSetTestLocale(PvLocalePreset::German);
    CGXBCalendar::GetMonthName(3, TRUE, s);
    EXPECT_EQ(std::string(s), "M\xC3\xA4rz");
    CGXBCalendar::GetDayName(1, TRUE, s);
    EXPECT_EQ(std::string(s), "Sonntag");
}

}  // namespace
