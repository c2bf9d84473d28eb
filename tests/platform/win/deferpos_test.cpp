// Deferred window positions, the scroll bar's size box and a control greyed for nothing to scroll.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/win/win.h"

namespace {

class DeferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        m_top = ::CreateWindowEx(0, AfxRegisterWndClass(0), "top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_top, nullptr);
    }
    void TearDown() override { PvResetWindowSystem(); }
    HWND child(int x)
    {
        return ::CreateWindowEx(0, AfxRegisterWndClass(0), nullptr, WS_CHILD | WS_VISIBLE, x, 0, 10, 10, m_top,
                                nullptr, nullptr, nullptr);
    }
    static CRect rectIn(HWND h)
    {
        RECT rc;
        ::GetWindowRect(h, &rc);
        POINT tl {rc.left, rc.top}, br {rc.right, rc.bottom};
        ::ScreenToClient(::GetParent(h), &tl);
        ::ScreenToClient(::GetParent(h), &br);
        return CRect(tl.x, tl.y, br.x, br.y);
    }
    HWND m_top = nullptr;
};

TEST_F(DeferTest, MovesGatheredAreAppliedTogether)
{
    HWND a = child(0), b = child(20);
    HDWP h = ::BeginDeferWindowPos(2);
    h = ::DeferWindowPos(h, a, nullptr, 5, 5, 50, 20, SWP_NOZORDER);
    h = ::DeferWindowPos(h, b, nullptr, 60, 5, 50, 20, SWP_NOZORDER);
    h = ::DeferWindowPos(h, a, nullptr, 7, 5, 40, 20, SWP_NOZORDER);  // the later move of a window wins
    EXPECT_EQ(rectIn(a), CRect(0, 0, 10, 10)) << "nothing moves before the end";
    ASSERT_TRUE(::EndDeferWindowPos(h));
    EXPECT_EQ(rectIn(a), CRect(7, 5, 47, 25));
    EXPECT_EQ(rectIn(b), CRect(60, 5, 110, 25));

    // A handle that is no window ends the batch, and nothing of it is applied.
    h = ::BeginDeferWindowPos(2);
    h = ::DeferWindowPos(h, a, nullptr, 0, 0, 5, 5, SWP_NOZORDER);
    ::DestroyWindow(b);
    h = ::DeferWindowPos(h, b, nullptr, 0, 0, 5, 5, SWP_NOZORDER);
    EXPECT_EQ(h, nullptr);
    EXPECT_FALSE(::EndDeferWindowPos(h));
    EXPECT_EQ(rectIn(a), CRect(7, 5, 47, 25));
}

TEST_F(DeferTest, ASizeGripSizesTheTopLevelWindowAndAPlainBoxIsInert)
{
    HWND grip = ::CreateWindowEx(0, "ScrollBar", nullptr, WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, 370, 250, 16, 16,
                                 m_top, nullptr, nullptr, nullptr);
    ASSERT_NE(grip, nullptr);
    RECT before;
    ::GetWindowRect(m_top, &before);
    POINT p {8, 8};
    ::ClientToScreen(grip, &p);
    PvRunScriptLine(("drag " + std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(p.x + 40) + " " +
                     std::to_string(p.y + 30))
                        .c_str());
    PvPumpMessages();
    RECT after;
    ::GetWindowRect(m_top, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left + 40);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 30);
    SCROLLBARINFO sbi {};
    sbi.cbSize = sizeof sbi;
    EXPECT_FALSE(::GetScrollBarInfo(grip, OBJID_CLIENT, &sbi)) << "a size box has no bar";

    ::SetWindowLong(grip, GWL_STYLE, WS_CHILD | WS_VISIBLE | SBS_SIZEBOX);
    ::EnableWindow(grip, FALSE);
    PvRunScriptLine(("drag " + std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(p.x + 40) + " " +
                     std::to_string(p.y + 30))
                        .c_str());
    PvPumpMessages();
    RECT still;
    ::GetWindowRect(m_top, &still);
    EXPECT_EQ(still.right, after.right);
}

TEST_F(DeferTest, AControlGreysWhenToldAndThereIsNothingToScroll)
{
    HWND bar = ::CreateWindowEx(0, "ScrollBar", nullptr, WS_CHILD | WS_VISIBLE | SBS_HORZ, 0, 0, 200, 16, m_top,
                                nullptr, nullptr, nullptr);
    auto grey = [bar] {
        SCROLLBARINFO sbi {};
        sbi.cbSize = sizeof sbi;
        ::GetScrollBarInfo(bar, OBJID_CLIENT, &sbi);
        return (sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) != 0;
    };
    SCROLLINFO none {sizeof none, SIF_ALL | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0};
    ::SetScrollInfo(bar, SB_CTL, &none, TRUE);
    EXPECT_TRUE(grey());
    SCROLLINFO some {sizeof some, SIF_RANGE | SIF_PAGE, 0, 100, 10, 0, 0};
    ::SetScrollInfo(bar, SB_CTL, &some, TRUE);
    EXPECT_FALSE(grey()) << "a range to scroll enables it again";
    ::EnableScrollBar(bar, SB_CTL, ESB_DISABLE_BOTH);
    EXPECT_TRUE(grey());
}

}  // namespace
