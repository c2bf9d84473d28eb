// The date-time control: its gadgets per format, typing, stepping and clamping each field, moving
// between fields, the spin's repetition on the test clock, the validation range, the parent's
// notifications and the hooks, and the pop-up calendar dropped from it.

#include "grid/widgets/gxbdatetime.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "grid/core/gxlibdata.h"
#include "grid/widgets/gxbcalendar.h"
#include "platform/sys/locale.h"
#include "platform/sys/system.h"
#include "platform/ui/afxres.h"
#include "platform/win/pvwin.h"

namespace {

COleDateTime T(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return COleDateTime(y, mo, d, h, mi, s); }

std::string Str(const COleDateTime& dt)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", dt.GetYear(), dt.GetMonth(), dt.GetDay(),
                  dt.GetHour(), dt.GetMinute(), dt.GetSecond());
    return buf;
}

// Counts the control's change notifications.
class Owner : public CWnd {
public:
    int changes = 0;
    std::vector<int> nextControl;  // WM_NEXTDLGCTL's direction, 1 backwards

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND && HIWORD(wParam) == GXB_DTN_CHANGED)
            ++changes;
        if (message == WM_NEXTDLGCTL)
            nextControl.push_back(int(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Counts the hooks; the approve hook refuses on demand, as a read-only cell does.
class Ctrl : public CGXBDateTimeCtrl {
public:
    int begins = 0;
    int ends = 0;
    int lastKinds = 0;
    BOOL approve = TRUE;

    BOOL BeginFieldChange(int nKinds) override
    {
        ++begins;
        lastKinds = nKinds;
        return approve;
    }
    void EndFieldChange(int) override { ++ends; }
};

std::string Shown(const CGXBDateTimeCtrl& c)
{
    std::string s;
    for (int i = c.GetFixedCount(); i < int(c.GetGadgets().size()); ++i) {
        const CGXBDTGadget* g = c.GetGadget(i);
        if (auto* n = dynamic_cast<const CGXBDTNumericGadget*>(g))
            s += std::string(n->GetText());
        else if (auto* l = dynamic_cast<const CGXBDTListGadget*>(g))
            s += std::string(l->GetText());
        else if (auto* t = dynamic_cast<const CGXBDTStaticGadget*>(g))
            s += std::string(t->GetText());
    }
    return s;
}

// Keys in braces, everything else typed.
void Type(const std::string& in)
{
    struct Key {
        UINT vk;
        bool shift;
        bool alt;
    };
    static const std::map<std::string, Key> keys = {
        {"UP", {VK_UP, false, false}},     {"DOWN", {VK_DOWN, false, false}}, {"HOME", {VK_HOME, false, false}},
        {"END", {VK_END, false, false}},   {"LEFT", {VK_LEFT, false, false}}, {"RIGHT", {VK_RIGHT, false, false}},
        {"TAB", {VK_TAB, false, false}},   {"STAB", {VK_TAB, true, false}},   {"F4", {VK_F4, false, false}},
        {"ADOWN", {VK_DOWN, false, true}}, {"ADD", {VK_ADD, false, false}},   {"SUB", {VK_SUBTRACT, false, false}},
        {"ESC", {VK_ESCAPE, false, false}}, {"ENTER", {VK_RETURN, false, false}},
    };
    for (size_t i = 0; i < in.size();) {
        if (in[i] == '{') {
            const size_t end = in.find('}', i);
            const Key k = keys.at(in.substr(i + 1, end - i - 1));
            PvInputKeyStroke(k.vk, false, k.shift, k.alt);
            i = end + 1;
        } else {
            size_t n = 1;
            while (i + n < in.size() && (static_cast<unsigned char>(in[i + n]) & 0xC0) == 0x80)
                ++n;
            PvInputText(in.substr(i, n).c_str());
            i += n;
        }
        PvPumpMessages();
    }
}

class DateTimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        PvSetTestLocale(PvLocalePreset::EnglishUS);
        ASSERT_TRUE(m_owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600,
                                     nullptr, nullptr));
        m_owner.SetActiveWindow();
        SetGridPopupActive(FALSE);
    }
    void TearDown() override
    {
        m_owner.DestroyWindow();
        PvResetLocale();
        SetGridPopupActive(FALSE);
    }

    void Make(Ctrl& c, const char* format, const COleDateTime& value, DWORD dwStyle = 0)
    {
        c.SetDateTime(value);
        ASSERT_TRUE(c.Create(WS_VISIBLE | dwStyle, CRect(20, 20, 320, 44), &m_owner, 7));
        if (format)
            c.SetCustomFormat(format);
        c.FirstEditableGadget();
        c.SetFocus();
        PvPumpMessages();
        m_owner.changes = 0;
    }
    int CurrentKind(const CGXBDateTimeCtrl& c) const
    {
        const CGXBDTGadget* g = c.GetGadget(c.GetCurrentGadget());
        return g ? g->GetKind() : -1;
    }
    static CPoint Screen(CWnd& wnd, CPoint pt)
    {
        wnd.ClientToScreen(&pt);
        return pt;
    }

    Owner m_owner;
};

TEST_F(DateTimeTest, FieldsTypeStepAndClamp)
{
    struct Case {
        const char* name;
        const char* format;
        COleDateTime start;
        const char* input;
        const char* value;
        const char* shown = nullptr;
        int beeps = 0;
        int changes = -1;  // -1: not checked
        DWORD style = 0;
        COleDateTime min = COleDateTime(-657434.0);
        COleDateTime max = COleDateTime(2958465.0);
        int mode = 0;
    };
    const Case cases[] = {
        {.name = "12-hour midnight shows 12", .format = "h:mm tt", .start = T(2001, 5, 10, 0, 30), .input = "",
         .value = "2001-05-10 00:30:00", .shown = "12:30 AM"},
        {.name = "12-hour noon shows 12", .format = "h:mm tt", .start = T(2001, 5, 10, 12, 30), .input = "",
         .value = "2001-05-10 12:30:00", .shown = "12:30 PM"},
        {.name = "quoted text is static, g is skipped", .format = "dd 'of' MMMM gg yyy", .start = T(2001, 4, 3),
         .input = "", .value = "2001-04-03 00:00:00", .shown = "03 of April  2001"},
        {.name = "t keeps the first character", .format = "h t", .start = T(2001, 4, 3, 21), .input = "",
         .value = "2001-04-03 21:00:00", .shown = "9 P"},
        {.name = "12 typed before noon is midnight", .format = "hh:mm tt", .start = T(2001, 5, 10, 9, 0),
         .input = "12", .value = "2001-05-10 00:00:00", .shown = "12:00 AM", .changes = 1},
        {.name = "12 typed from noon is noon", .format = "hh:mm tt", .start = T(2001, 5, 10, 15, 0), .input = "12",
         .value = "2001-05-10 12:00:00", .changes = 1},
        {.name = "13 in a 12-hour field is refused", .format = "hh:mm tt", .start = T(2001, 5, 10, 9, 0),
         .input = "13", .value = "2001-05-10 09:00:00", .beeps = 1, .changes = 0},
        {.name = "3 in a two-digit month waits", .format = "MM/dd/yyyy", .start = T(2001, 5, 10), .input = "3",
         .value = "2001-05-10 00:00:00", .shown = "03/10/2001", .changes = 0},
        {.name = "the month commits on leaving", .format = "MM/dd/yyyy", .start = T(2001, 5, 10), .input = "3{RIGHT}",
         .value = "2001-03-10 00:00:00", .changes = 1},
        {.name = "1 then 2 stores 12 and moves on", .format = "MM/dd/yyyy", .start = T(2001, 5, 10),
         .input = "12", .value = "2001-12-10 00:00:00", .changes = 1},
        {.name = "a leading zero does not count", .format = "MM/dd/yyyy", .start = T(2001, 5, 10),
         .input = "1207{RIGHT}", .value = "2001-12-07 00:00:00", .changes = 2},
        {.name = "a letter in a number beeps", .format = "MM/dd/yyyy", .start = T(2001, 5, 10), .input = "1x",
         .value = "2001-05-10 00:00:00", .beeps = 1, .changes = 0},
        {.name = "a day that does not exist is refused", .format = "MM/dd/yyyy", .start = T(2001, 4, 10),
         .input = "{RIGHT}31", .value = "2001-04-10 00:00:00", .beeps = 1},
        {.name = "31 March and a month up is 30 April", .format = "MM/dd/yyyy", .start = T(2001, 3, 31),
         .input = "{UP}", .value = "2001-04-30 00:00:00", .changes = 1},
        {.name = "numeric-pad plus and minus step", .format = "MM/dd/yyyy", .start = T(2001, 3, 15),
         .input = "{ADD}{ADD}{SUB}", .value = "2001-04-15 00:00:00", .changes = 3},
        {.name = "month wraps from 12 to 1", .format = "MM/dd/yyyy", .start = T(2001, 12, 15), .input = "{UP}",
         .value = "2001-01-15 00:00:00"},
        {.name = "day wraps past the month's last", .format = "MM/dd/yyyy", .start = T(2001, 2, 28),
         .input = "{RIGHT}{UP}", .value = "2001-02-01 00:00:00"},
        {.name = "day below 1 wraps to the last", .format = "MM/dd/yyyy", .start = T(2001, 2, 1),
         .input = "{RIGHT}{DOWN}", .value = "2001-02-28 00:00:00"},
        {.name = "Home and End on the month", .format = "MM/dd/yyyy", .start = T(2001, 3, 31), .input = "{HOME}",
         .value = "2001-01-31 00:00:00"},
        {.name = "End on the day is the month's last", .format = "MM/dd/yyyy", .start = T(2001, 4, 3),
         .input = "{RIGHT}{END}", .value = "2001-04-30 00:00:00"},
        {.name = "Home on the day", .format = "MM/dd/yyyy", .start = T(2001, 4, 3), .input = "{RIGHT}{HOME}",
         .value = "2001-04-01 00:00:00"},
        {.name = "Home on the year is the range's first", .format = "MM/dd/yyyy", .start = T(2001, 4, 3),
         .input = "{TAB}{TAB}{HOME}", .value = "0100-04-03 00:00:00"},
        {.name = "End on the year", .format = "MM/dd/yyyy", .start = T(2001, 4, 3), .input = "{TAB}{TAB}{END}",
         .value = "9999-04-03 00:00:00"},
        {.name = "Home and End on hours, minutes, seconds", .format = "HH:mm:ss", .start = T(2001, 4, 3, 10, 20, 30),
         .input = "{END}{RIGHT}{HOME}{RIGHT}{END}", .value = "2001-04-03 23:00:59", .changes = 3},
        {.name = "the hour wraps", .format = "HH:mm", .start = T(2001, 4, 3, 23, 5), .input = "{UP}",
         .value = "2001-04-03 00:05:00"},
        {.name = "AM/PM switches the half", .format = "hh:mm tt", .start = T(2001, 4, 3, 9, 5),
         .input = "{RIGHT}{RIGHT}{UP}", .value = "2001-04-03 21:05:00"},
        {.name = "p picks PM", .format = "hh:mm tt", .start = T(2001, 4, 3, 9, 5), .input = "{TAB}{TAB}p",
         .value = "2001-04-03 21:05:00"},
        {.name = "a separator character moves on", .format = "MM/dd/yyyy", .start = T(2001, 4, 3),
         .input = "/{UP}", .value = "2001-04-04 00:00:00"},
        {.name = "a blank passes a blank separator", .format = "MM dd", .start = T(2001, 4, 3), .input = " {UP}",
         .value = "2001-04-04 00:00:00"},
        {.name = "Shift+Tab goes back", .format = "MM/dd/yyyy", .start = T(2001, 4, 3), .input = "{TAB}{TAB}{STAB}{UP}",
         .value = "2001-04-04 00:00:00"},
        {.name = "Left at the first field stays", .format = "MM/dd/yyyy", .start = T(2001, 4, 3), .input = "{LEFT}{UP}",
         .value = "2001-05-03 00:00:00"},
        {.name = "Right past the last stays", .format = "MM/dd/yyyy", .start = T(2001, 4, 3),
         .input = "{RIGHT}{RIGHT}{RIGHT}{RIGHT}{UP}", .value = "2002-04-03 00:00:00"},
        {.name = "j on March: June", .format = "MMMM yyyy", .start = T(2001, 3, 3), .input = "j",
         .value = "2001-06-03 00:00:00", .shown = "June 2001"},
        {.name = "j j: July", .format = "MMMM yyyy", .start = T(2001, 3, 3), .input = "jj",
         .value = "2001-07-03 00:00:00"},
        {.name = "j j j: January", .format = "MMMM yyyy", .start = T(2001, 3, 3), .input = "jjj",
         .value = "2001-01-03 00:00:00", .changes = 3},
        {.name = "s after March: September", .format = "MMM yyyy", .start = T(2001, 3, 3), .input = "s",
         .value = "2001-09-03 00:00:00", .shown = "Sep 2001"},
        {.name = "a prefix: ju, then n", .format = "MMMM", .start = T(2001, 3, 3), .input = "jun",
         .value = "2001-06-03 00:00:00"},
        {.name = "a failed prefix beeps", .format = "MMMM", .start = T(2001, 3, 3), .input = "jx",
         .value = "2001-06-03 00:00:00", .beeps = 1},
        {.name = "the weekday moves within its week", .format = "ddd MM/dd", .start = T(2001, 3, 14),
         .input = "{HOME}", .value = "2001-03-11 00:00:00", .shown = "Sun 03/11"},
        {.name = "End on the weekday: Saturday", .format = "dddd", .start = T(2001, 3, 14), .input = "{END}",
         .value = "2001-03-17 00:00:00"},
        {.name = "f picks Friday", .format = "dddd", .start = T(2001, 3, 14), .input = "f",
         .value = "2001-03-16 00:00:00"},
        {.name = "two-digit year from the parser", .format = "yy", .start = T(2001, 5, 10), .input = "45",
         .value = "1945-05-10 00:00:00"},
        {.name = "two-digit year below 30", .format = "yy", .start = T(1960, 5, 10), .input = "05",
         .value = "1960-05-10 00:00:00", .shown = "05"},
        {.name = "two-digit year, leading zero", .format = "yy/MM", .start = T(1960, 5, 10), .input = "05{RIGHT}",
         .value = "2005-05-10 00:00:00"},
        {.name = "two-digit year, the value's century", .format = "yy", .start = T(2001, 5, 10), .input = "45",
         .value = "2045-05-10 00:00:00", .style = GXBDT_YEARCENTURY},
        {.name = "a year edit is refused at the range's start", .format = "MM/dd/yyyy", .start = T(2000, 6, 1),
         .input = "{TAB}{TAB}{DOWN}", .value = "2000-06-01 00:00:00", .beeps = 1, .changes = 0,
         .min = T(2000, 1, 1), .max = T(2000, 12, 31), .mode = 2},
        {.name = "a minute edit past the maximum is refused", .format = "HH:mm", .start = T(2000, 6, 15, 10, 30),
         .input = "{RIGHT}{UP}", .value = "2000-06-15 10:30:00", .beeps = 1, .changes = 0,
         .min = T(2000, 6, 15, 10, 0), .max = T(2000, 6, 15, 10, 30), .mode = 3},
        {.name = "Home on the minute clamps to the minimum", .format = "HH:mm", .start = T(2000, 6, 15, 10, 30),
         .input = "{RIGHT}{HOME}", .value = "2000-06-15 10:10:00", .changes = 1,
         .min = T(2000, 6, 15, 10, 10), .max = T(2000, 6, 15, 10, 40), .mode = 3},
        {.name = "Home on the year gives the minimum", .format = "MM/dd/yyyy", .start = T(2000, 1, 5),
         .input = "{TAB}{TAB}{HOME}", .value = "1995-03-10 00:00:00", .min = T(1995, 3, 10),
         .max = T(2010, 1, 1), .mode = 2},
        {.name = "a time range ignores the date", .format = "MM/dd HH", .start = T(2000, 1, 5, 9),
         .input = "{UP}{RIGHT}{RIGHT}{UP}{UP}", .value = "2000-02-05 10:00:00", .beeps = 1,
         .min = T(1990, 1, 1, 8), .max = T(1990, 1, 1, 10), .mode = 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ctrl ctrl;
        Make(ctrl, c.format, c.start, c.style);
        if (c.mode) {
            ASSERT_TRUE(ctrl.SetValidationRange(c.min, c.max, c.mode));
        }
        m_owner.changes = 0;
        const int before = PvBeepCount();
        Type(c.input);
        EXPECT_EQ(Str(ctrl.GetDateTime()), c.value);
        if (c.shown) {
            EXPECT_EQ(Shown(ctrl), c.shown);
        }
        EXPECT_EQ(PvBeepCount() - before, c.beeps);
        if (c.changes >= 0) {
            EXPECT_EQ(m_owner.changes, c.changes) << "one notification per stored change";
        }
        EXPECT_EQ(ctrl.ends, m_owner.changes) << "the after hook runs after every stored change";
    }
}

TEST_F(DateTimeTest, GermanFormatsAndEmptyDayHalves)
{
    PvSetTestLocale(PvLocalePreset::German);
    Ctrl ctrl;
    Make(ctrl, nullptr, T(2001, 3, 14, 9, 5));
    ctrl.SetFormatType(CGXBDateTimeCtrl::FormatLongDate);
    EXPECT_EQ(std::string(ctrl.GetFormatText()), "dddd, d. MMMM yyyy");
    std::vector<int> kinds;
    for (int i = ctrl.GetFixedCount(); i < int(ctrl.GetGadgets().size()); ++i)
        kinds.push_back(ctrl.GetGadget(i)->GetKind());
    EXPECT_EQ(kinds, (std::vector<int> {GXBDT_WEEKDAY, -1, GXBDT_DAY, -1, GXBDT_MONTHNAME, -1, GXBDT_YEAR4}));
    EXPECT_EQ(Shown(ctrl), "Mittwoch, 14. M\xC3\xA4rz 2001");
    EXPECT_TRUE(ctrl.HasDatePart());
    ctrl.SetFormatType(CGXBDateTimeCtrl::FormatShortDate);
    EXPECT_EQ(Shown(ctrl), "14.03.2001");
    EXPECT_FALSE(ctrl.IsAtLastEditableGadget());
    Type("{RIGHT}m");  // not a digit: beeps, nothing changes
    EXPECT_EQ(Str(ctrl.GetDateTime()), "2001-03-14 09:05:00");
    ctrl.SetFormatType(CGXBDateTimeCtrl::FormatTime);
    EXPECT_EQ(Shown(ctrl), "09:05:00");
    EXPECT_FALSE(ctrl.HasDatePart());

    // German day halves have no names: "tt" still steps; letters beep.
    ctrl.SetCustomFormat("hh tt");
    ctrl.SetFocus();
    Type("{RIGHT}");
    const int before = PvBeepCount();
    Type("a");
    EXPECT_EQ(PvBeepCount() - before, 1);
    Type("{UP}");
    EXPECT_EQ(Str(ctrl.GetDateTime()), "2001-03-14 21:05:00");
    // März by its umlaut, case-blind by whole characters.
    ctrl.SetCustomFormat("MMMM");
    ctrl.SetDateTime(T(2001, 1, 5));
    Type("m\xC3\x84");
    EXPECT_EQ(Str(ctrl.GetDateTime()), "2001-03-05 00:00:00");
}

TEST_F(DateTimeTest, NoEditFieldsAndFocusByTab)
{
    Ctrl ctrl;
    Make(ctrl, "MM/dd/yyyy", T(2001, 4, 3));
    ctrl.SetNoEditFields(GXBDT_FIX_MONTH);
    EXPECT_FALSE(ctrl.GetGadget(ctrl.GetFixedCount())->IsEditable());
    m_owner.SetFocus();
    ctrl.SetFocus();
    EXPECT_EQ(CurrentKind(ctrl), GXBDT_DAY) << "the first editable field";
    Type("{LEFT}{UP}");
    EXPECT_EQ(Str(ctrl.GetDateTime()), "2001-04-04 00:00:00");
    ctrl.SetNoEditFields(GXBDT_FIX_ALL);
    EXPECT_EQ(ctrl.GetCurrentGadget(), -1);
    EXPECT_EQ(GetFocus(), ctrl.GetSafeHwnd());
    Type("{UP}5");
    EXPECT_EQ(Str(ctrl.GetDateTime()), "2001-04-04 00:00:00");
}

TEST_F(DateTimeTest, TabMovesBetweenFieldsAndLeavesPastTheEnds)
{
    Ctrl ctrl;
    Make(ctrl, "MM/dd", T(2001, 4, 3));
    Type("{TAB}");
    EXPECT_EQ(CurrentKind(ctrl), GXBDT_DAY);
    EXPECT_TRUE(m_owner.nextControl.empty()) << "within the control";
    Type("{TAB}{STAB}{STAB}");
    EXPECT_EQ(CurrentKind(ctrl), GXBDT_MONTH);
    EXPECT_EQ(m_owner.nextControl, (std::vector<int> {0, 1})) << "past the last, then past the first";
}

TEST_F(DateTimeTest, SpinRepeatsOnTheClockWithGrowingSteps)
{
    Ctrl ctrl;
    Make(ctrl, "yyyy", T(2000, 1, 1), GXBDT_SPIN);
    const auto* spin = dynamic_cast<const CGXBDTSpinGadget*>(ctrl.GetGadget(0));
    ASSERT_NE(spin, nullptr);
    const CPoint up = Screen(ctrl, spin->GetUpRect().CenterPoint());
    PvInputMouseMove(up.x, up.y);
    PvInputMouseButton(PV_BUTTON_LEFT, true);
    PvPumpMessages();
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2001) << "the press steps once";
    PvAdvanceTime(499);
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2001);
    PvAdvanceTime(1);
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2002) << "the first repeat after 500 ms";
    PvAdvanceTime(1900);
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2021) << "twenty repeats of 1";
    PvAdvanceTime(100);
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2023) << "then steps of 2";
    PvAdvanceTime(2900);
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2081) << "up to the 50th repeat";
    PvAdvanceTime(100);
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2086) << "then steps of 5";
    // Off the pressed half the repetition pauses; back on, it goes on.
    PvInputMouseMove(up.x, up.y + 40);
    PvAdvanceTime(500);
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2086);
    EXPECT_FALSE(spin->GetState() & CGXBDTSpinGadget::UpPressed);
    PvInputMouseMove(up.x, up.y);
    PvAdvanceTime(100);
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2091);
    PvInputMouseButton(PV_BUTTON_LEFT, false);
    PvAdvanceTime(1000);
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2091) << "the release stops it";
    EXPECT_FALSE(spin->IsTimerRunning());
    EXPECT_EQ(spin->GetState(), 0);
    EXPECT_EQ(m_owner.changes, 1 + 1 + 19 + 1 + 29 + 1 + 1);

    // The lower half steps down.
    const CPoint down = Screen(ctrl, spin->GetDownRect().CenterPoint());
    PvInputClick(down.x, down.y);
    PvPumpMessages();
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2090);
}

TEST_F(DateTimeTest, ValidationRangeRefusesAndClamps)
{
    Ctrl ctrl;
    Make(ctrl, "MM/dd/yyyy HH:mm", T(2005, 1, 1, 8, 30));
    EXPECT_FALSE(ctrl.SetValidationRange(T(2003, 1, 1), T(2000, 1, 1), 2)) << "minimum after maximum";
    COleDateTime bad;
    bad.SetStatus(COleDateTime::invalid);
    EXPECT_FALSE(ctrl.SetValidationRange(bad, T(2000, 1, 1), 2));
    EXPECT_EQ(Str(ctrl.GetDateTime()), "2005-01-01 08:30:00");
    EXPECT_TRUE(ctrl.SetValidationRange(T(2000, 1, 1, 10), T(2003, 12, 31, 15), 2));
    EXPECT_EQ(Str(ctrl.GetDateTime()), "2003-12-31 08:30:00") << "the date clamps, the time stays";
    EXPECT_EQ(Shown(ctrl), "12/31/2003 08:30");
    EXPECT_TRUE(ctrl.SetValidationRange(T(1990, 1, 1, 9), T(1990, 1, 1, 17), 1));
    EXPECT_EQ(Str(ctrl.GetDateTime()), "2003-12-31 09:00:00") << "the time clamps, the date stays";
    EXPECT_FALSE(ctrl.SetDateTime(bad));
    EXPECT_EQ(m_owner.changes, 0);
}

TEST_F(DateTimeTest, TheCalendarDropsOnTheValueAndStoresAPickOnce)
{
    struct Case {
        const char* name;
        const char* open;  // "{F4}", "{ADOWN}", "button"
        const char* action; // "click", "escape", "outside"
        BOOL approve = TRUE;
        BOOL formerPopup = FALSE;
        const char* value;
        int changes;
    };
    const Case cases[] = {
        {.name = "F4 and a click", .open = "{F4}", .action = "click", .value = "2001-03-20 08:45:10", .changes = 1},
        {.name = "Alt+Down and a click", .open = "{ADOWN}", .action = "click", .value = "2001-03-20 08:45:10",
         .changes = 1},
        {.name = "the button and a click", .open = "button", .action = "click", .value = "2001-03-20 08:45:10",
         .changes = 1, },
        {.name = "a refusing approve hook keeps the value", .open = "{F4}", .action = "click", .approve = FALSE,
         .value = "2001-03-15 08:45:10", .changes = 0},
        {.name = "Escape changes nothing", .open = "{F4}", .action = "escape", .value = "2001-03-15 08:45:10",
         .changes = 0},
        {.name = "a date outside the range changes nothing", .open = "{F4}", .action = "outside",
         .value = "2001-03-15 08:45:10", .changes = 0},
        {.name = "the former pop-up flag comes back", .open = "{F4}", .action = "escape", .formerPopup = TRUE,
         .value = "2001-03-15 08:45:10", .changes = 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ctrl ctrl;
        Make(ctrl, "MM/dd/yyyy", T(2001, 3, 15, 8, 45, 10), GXBDT_DROPDOWN | GXBDT_SPIN);
        ctrl.approve = c.approve;
        ASSERT_TRUE(ctrl.SetValidationRange(T(2001, 1, 1), T(2001, 3, 25), 2));
        SetGridPopupActive(c.formerPopup);
        if (std::string(c.open) == "button") {
            const CPoint pt = Screen(ctrl, ctrl.GetGadget(0)->GetRect().CenterPoint());
            PvInputClick(pt.x, pt.y);
            PvPumpMessages();
        } else {
            Type(c.open);
        }
        CGXBPopupCalendar* pCal = ctrl.GetCalendar();
        ASSERT_NE(pCal, nullptr);
        EXPECT_TRUE(GetGridPopupActive()) << "set while the calendar is open";
        COleDateTime sel;
        ASSERT_TRUE(pCal->GetSelectedDate(sel));
        EXPECT_EQ(Str(sel), "2001-03-15 12:00:00") << "the value's day";
        EXPECT_EQ(pCal->GetCurrentDate().GetMonth(), 3);
        const std::string action = c.action;
        const int before = PvBeepCount();
        if (action == "escape") {
            Type("{ESC}");
        } else {
            const COleDateTime day = action == "outside" ? COleDateTime(2001, 3, 28, 12, 0, 0)
                                                         : COleDateTime(2001, 3, 20, 12, 0, 0);
            for (int i = 0; i < 42; ++i) {
                if (pCal->GetDayBox(i).m_date == day) {
                    CPoint pt = pCal->GetDayBox(i).GetRect().CenterPoint();
                    pCal->ClientToScreen(&pt);
                    PvInputClick(pt.x, pt.y);
                }
            }
            PvPumpMessages();
        }
        EXPECT_EQ(ctrl.GetCalendar(), nullptr) << "destroyed after its report";
        EXPECT_EQ(Str(ctrl.GetDateTime()), c.value);
        EXPECT_EQ(m_owner.changes, c.changes);
        EXPECT_EQ(ctrl.IsModified(), c.changes > 0);
        EXPECT_EQ(GetGridPopupActive(), c.formerPopup) << "the former value once the calendar is gone";
        EXPECT_EQ(GetFocus(), ctrl.GetSafeHwnd());
        EXPECT_EQ(PvBeepCount(), before) << "silently";
        if (action == "click") {
            // A pick is approved like any change of the date's fields, and told after.
            EXPECT_EQ(ctrl.begins, 1);
            EXPECT_EQ(ctrl.lastKinds & GXBDT_DATEKINDS, GXBDT_DATEKINDS);
            EXPECT_EQ(ctrl.ends, c.changes);
        }
    }
}

TEST_F(DateTimeTest, DestroyingTheControlClosesItsCalendarAndRestoresTheFlag)
{
    auto ctrl = std::make_unique<Ctrl>();
    Make(*ctrl, "MM/dd/yyyy", T(2001, 3, 15), GXBDT_DROPDOWN);
    Type("{F4}");
    ASSERT_NE(ctrl->GetCalendar(), nullptr);
    const HWND hCalendar = ctrl->GetCalendar()->GetSafeHwnd();
    EXPECT_TRUE(GetGridPopupActive());
    ctrl->DestroyWindow();
    EXPECT_FALSE(IsWindow(hCalendar));
    EXPECT_FALSE(GetGridPopupActive());
    ctrl.reset();
    PvPumpMessages();  // the calendar's last report finds no one
}

TEST_F(DateTimeTest, ASettingChangeTakesTheNewLocaleFormat)
{
    Ctrl ctrl;
    Make(ctrl, nullptr, T(2001, 3, 15));
    EXPECT_EQ(Shown(ctrl), "3/15/2001");
    PvSetTestLocale(PvLocalePreset::German);
    ctrl.SendMessage(WM_SETTINGCHANGE);
    EXPECT_EQ(Shown(ctrl), "15.03.2001");
    EXPECT_EQ(CurrentKind(ctrl), GXBDT_MONTH) << "the field being edited stays current";
}

TEST_F(DateTimeTest, FieldsScrollToKeepTheCurrentOneVisible)
{
    Ctrl ctrl;
    ctrl.SetDateTime(T(2001, 3, 14));
    ASSERT_TRUE(ctrl.Create(WS_VISIBLE | GXBDT_SPIN, CRect(20, 20, 150, 44), &m_owner, 7));
    ctrl.SetFormatType(CGXBDateTimeCtrl::FormatLongDate);
    ctrl.SetFocus();
    ctrl.FirstEditableGadget();
    EXPECT_EQ(ctrl.GetScrollOffset(), 0);
    ctrl.LastEditableGadget();
    EXPECT_GT(ctrl.GetScrollOffset(), 0);
    const CGXBDTGadget* pLast = ctrl.GetGadget(int(ctrl.GetGadgets().size()) - 1);
    CRect rcClient;
    ctrl.GetClientRect(&rcClient);
    EXPECT_LE(pLast->GetRect().right - ctrl.GetScrollOffset(), rcClient.right - ctrl.GetGadget(0)->GetRect().Width());
    // A click finds the field by its scrolled place; the fixed spin by its own.
    const CPoint onLast(pLast->GetRect().CenterPoint().x - ctrl.GetScrollOffset(), 12);
    EXPECT_EQ(ctrl.GadgetFromPoint(onLast), int(ctrl.GetGadgets().size()) - 1);
    EXPECT_EQ(ctrl.GadgetFromPoint(ctrl.GetGadget(0)->GetRect().CenterPoint()), 0);
}

TEST_F(DateTimeTest, CalendarMessagesWithoutACalendarAreIgnored)
{
    Ctrl ctrl;
    Make(ctrl, "MM/dd/yyyy", T(2001, 3, 15), 0);
    ctrl.SendMessage(GXB_WM_CALCHOSEN);
    ctrl.SendMessage(GXB_WM_CALCLOSED);
    Type("{F4}");
    EXPECT_EQ(ctrl.GetCalendar(), nullptr) << "no calendar without its style bit";
    EXPECT_EQ(Str(ctrl.GetDateTime()), "2001-03-15 00:00:00");
    EXPECT_EQ(m_owner.changes, 0);
}

TEST_F(DateTimeTest, RebuildingStopsTheGadgetsTimers)
{
    Ctrl ctrl;
    Make(ctrl, "MMMM yyyy", T(2001, 3, 15), GXBDT_SPIN);
    Type("s");  // the list's prefix timer runs
    EXPECT_EQ(ctrl.GetDateTime().GetMonth(), 9);
    ctrl.SetCustomFormat("yyyy MMMM");
    PvAdvanceTime(3000);
    // A running spin rebuilt under the pointer.
    const auto* spin = dynamic_cast<const CGXBDTSpinGadget*>(ctrl.GetGadget(0));
    ASSERT_NE(spin, nullptr);
    const CPoint up = Screen(ctrl, spin->GetUpRect().CenterPoint());
    PvInputMouseMove(up.x, up.y);
    PvInputMouseButton(PV_BUTTON_LEFT, true);
    PvAdvanceTime(700);
    const int year = ctrl.GetDateTime().GetYear();
    ctrl.SendMessage(WM_SETTINGCHANGE);
    PvAdvanceTime(3000);
    PvInputMouseButton(PV_BUTTON_LEFT, false);
    PvPumpMessages();
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), year);
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
