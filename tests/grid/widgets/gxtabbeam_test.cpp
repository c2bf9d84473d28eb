// The tab strip: geometry, selection with the mouse, removing and inserting tabs, the scroll
// buttons and a held button's repeat, which must end however the hold ends.

#include "grid/widgets/gxtabbeam.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/core/gxstate.h"
#include "platform/gdi/dc.h"
#include "platform/sys/system.h"
#include "platform/win/pvwin.h"

namespace {

// The strip's owner: keeps the tab messages it hears and may refuse a change.
class Owner : public CWnd {
public:
    struct Msg {
        UINT message;
        int nTab;
        bool operator==(const Msg&) const = default;
    };
    std::vector<Msg> log;
    LRESULT refuse = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_GX_TABACTIVATE:
        case WM_GX_TABRENAME:
        case WM_GX_LABELCANCEL:
            log.push_back({message, int(wParam)});
            return 0;
        case WM_GX_TABCANCHANGE:
            log.push_back({message, int(wParam)});
            return refuse;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
        }
    }
};

// Notes the time of every scroll step.
class StepBeam : public CGXTabBeam {
public:
    std::vector<DWORD> steps;
    void ScrollTabs(int nButton) override
    {
        steps.push_back(GetTickCount());
        CGXTabBeam::ScrollTabs(nButton);
    }
};

// A window that says when its object goes.
class Noted : public CWnd {
public:
    explicit Noted(bool& gone) : m_gone(gone) {}
    ~Noted() override { m_gone = true; }

private:
    bool& m_gone;
};

constexpr int kBeamWidth = 300;
constexpr int kBar = 16;           // SM_CYHSCROLL of the headless desktop
constexpr int kTabsStart = 33;     // two buttons of 16, then one pixel
constexpr int kNextButtonX = 24;   // inside the second button
constexpr int kPrevButtonX = 8;

class TabBeamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        GXGetAppData()->m_sysColors.Refresh();
        ASSERT_TRUE(m_owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 0, 0, 400, 100, nullptr, nullptr));
        m_beam = new StepBeam;
        ASSERT_TRUE(m_beam->Create(WS_VISIBLE, CRect(0, 0, 1, 1), &m_owner, 1));
        m_beam->MoveWindow(0, 0, kBeamWidth, kBar);
    }
    void TearDown() override
    {
        delete m_beam;
        m_owner.DestroyWindow();
    }
    void addTabs(std::initializer_list<int> widths)
    {
        int n = m_beam->GetCount();
        for (int w : widths)
            m_beam->InsertTab(FALSE, std::string(1, char('A' + n++)).c_str(), nullptr, FALSE, w);
    }
    // A click of its own (not the second of a double click), in the strip's coordinates.
    void click(int x, const char* mods = "")
    {
        PvAdvanceTime(1000);
        m_owner.log.clear();
        PvRunScriptLine(("click " + std::to_string(x) + " 8 " + mods).c_str());
        PvPumpMessages();
    }
    std::string labels() const
    {
        std::string s;
        for (int i = 0; i < m_beam->GetCount(); ++i)
            s += m_beam->GetTab(i).sLabel.GetString();
        return s;
    }
    std::string selected() const
    {
        std::string s;
        for (int i = 0; i < m_beam->GetCount(); ++i)
            s += m_beam->GetTab(i).bSel ? '1' : '0';
        return s;
    }

    Owner m_owner;
    StepBeam* m_beam = nullptr;
};

TEST_F(TabBeamTest, TabsAdvanceByWidthAndOverlap)
{
    addTabs({40, 50, 60, 30});
    struct Case {
        const char* name;
        int x;
        int tab;
    };
    const Case atX[] = {
        {.name = "at the first start", .x = kTabsStart, .tab = -1},
        {.name = "just inside tab 0", .x = kTabsStart + 1, .tab = 0},
        {.name = "at tab 1's start", .x = 80, .tab = 0},
        {.name = "past tab 1's start", .x = 81, .tab = 1},
        {.name = "at tab 3's start", .x = 204, .tab = 2},
        {.name = "inside the last tab", .x = 240, .tab = 3},
        {.name = "at the last tab's end", .x = 241, .tab = -1},
        {.name = "far right", .x = 290, .tab = -1},
    };
    EXPECT_EQ(m_beam->GetTabX(0), kTabsStart);
    EXPECT_EQ(m_beam->GetTabX(1), kTabsStart + 40 + 7);
    EXPECT_EQ(m_beam->GetTabX(2), 80 + 50 + 7);
    EXPECT_EQ(m_beam->GetTabX(3), 137 + 60 + 7);
    for (const Case& c : atX) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(m_beam->TabFromX(c.x), c.tab);
    }

    // The last tab that fits whole, with both its slants.
    struct Width {
        int cx;
        int last;
    };
    const Width widths[] = {{300, 3}, {248, 3}, {247, 2}, {211, 2}, {210, 1}, {100, 0}, {40, 0}};
    for (const Width& w : widths) {
        SCOPED_TRACE(w.cx);
        m_beam->MoveWindow(0, 0, w.cx, kBar);
        EXPECT_EQ(m_beam->GetLastVisibleTab(), w.last);
    }

    // Scrolled by one: the hidden tab lies left of the buttons.
    m_beam->MoveWindow(0, 0, 120, kBar);
    m_beam->ScrollTabs(2);
    ASSERT_EQ(m_beam->GetFirstTab(), 1);
    EXPECT_EQ(m_beam->GetTabX(0), kTabsStart - 47);
    EXPECT_EQ(m_beam->GetTabX(1), kTabsStart);
    EXPECT_EQ(m_beam->TabFromX(kTabsStart + 1), 1);
}

TEST_F(TabBeamTest, OneTabLeavesBothButtonsGreyAndInert)
{
    addTabs({400});  // wider than the strip: still nothing to scroll to
    EXPECT_FALSE(m_beam->IsScrollButtonEnabled(1));
    EXPECT_FALSE(m_beam->IsScrollButtonEnabled(2));
    for (int x : {kPrevButtonX, kNextButtonX}) {
        click(x);
        EXPECT_EQ(m_beam->GetFirstTab(), 0);
        EXPECT_TRUE(m_owner.log.empty());
        EXPECT_TRUE(m_beam->steps.empty());
        EXPECT_EQ(m_beam->GetCurSel(), 0);
    }
    // The arrows are drawn grey, not black.
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bmp;
    bmp.CreateBitmap(2 * kBar, kBar, 1, 32, nullptr);
    CBitmap* pOld = dc.SelectObject(&bmp);
    m_beam->DrawScrollButton(&dc, 1, FALSE);
    m_beam->DrawScrollButton(&dc, 2, FALSE);
    int grey = 0, black = 0;
    for (int x = 2; x < 2 * kBar - 2; ++x)
        for (int y = 2; y < kBar - 2; ++y) {
            if (x % kBar < 2 || x % kBar >= kBar - 2)
                continue;  // the buttons' frames
            const COLORREF c = dc.GetPixel(x, y);
            grey += c == RGB(96, 96, 96);
            black += c == RGB(0, 0, 0);
        }
    dc.SelectObject(pOld);
    EXPECT_EQ(grey, 2 * (1 + 3 + 5 + 7));
    EXPECT_EQ(black, 0);
}

TEST_F(TabBeamTest, TheSliverRightOfTheButtonsSelectsTheHiddenTab)
{
    addTabs({60, 60, 60, 60, 60, 60});
    m_beam->ScrollTabs(2);
    m_beam->ScrollTabs(2);
    ASSERT_EQ(m_beam->GetFirstTab(), 2);
    click(kTabsStart + 2);
    EXPECT_EQ(m_beam->GetCurSel(), 1);
    EXPECT_EQ(m_beam->GetFirstTab(), 1) << "scrolled into view";
    const std::vector<Owner::Msg> expected = {{WM_GX_TABCANCHANGE, 1}, {WM_GX_TABACTIVATE, 1}};
    EXPECT_EQ(m_owner.log, expected);
}

TEST_F(TabBeamTest, ShiftSelectsTheRunAndCtrlTogglesOne)
{
    addTabs({40, 40, 40, 40, 40});
    click(m_beam->GetTabX(1) + 20);
    ASSERT_EQ(m_beam->GetCurSel(), 1);
    click(m_beam->GetTabX(3) + 20, "shift");
    EXPECT_EQ(selected(), "01110");
    EXPECT_EQ(m_beam->GetCurSel(), 1) << "the current tab stays";
    EXPECT_TRUE(m_owner.log.empty()) << "nobody is asked";
    click(m_beam->GetTabX(2) + 20, "ctrl");
    EXPECT_EQ(selected(), "01010");
    click(m_beam->GetTabX(4) + 20, "ctrl");
    EXPECT_EQ(selected(), "01011");
    // A plain click on a selected tab keeps the selection; on another it clears it.
    click(m_beam->GetTabX(3) + 20);
    EXPECT_EQ(m_beam->GetCurSel(), 3);
    EXPECT_EQ(selected(), "01011");
    click(m_beam->GetTabX(0) + 20);
    EXPECT_EQ(selected(), "00000");
}

TEST_F(TabBeamTest, ARefusedChangeKeepsTabAndSelection)
{
    addTabs({40, 40, 40, 40});
    click(m_beam->GetTabX(1) + 20);
    click(m_beam->GetTabX(2) + 20, "shift");
    ASSERT_EQ(selected(), "0110");
    m_owner.refuse = 1;
    click(m_beam->GetTabX(3) + 20);
    EXPECT_EQ(m_beam->GetCurSel(), 1);
    EXPECT_EQ(selected(), "0110");
    const std::vector<Owner::Msg> expected = {{WM_GX_TABCANCHANGE, 3}};
    EXPECT_EQ(m_owner.log, expected) << "asked, and not told";
}

TEST_F(TabBeamTest, TheCurrentIndexFollowsItsTabThroughRemovalsAndInsertions)
{
    struct Case {
        const char* name;
        int current;
        int remove;
        const char* left;
        int currentAfter;
        std::vector<Owner::Msg> posted {};
    };
    const Case cases[] = {
        {.name = "the current tab goes", .current = 1, .remove = 1, .left = "AC", .currentAfter = 0,
         .posted = {{WM_GX_TABACTIVATE, 0}}},
        {.name = "a tab before the current one", .current = 1, .remove = 0, .left = "BC", .currentAfter = 0, .posted = {}},
        {.name = "before the last, current one", .current = 2, .remove = 0, .left = "BC", .currentAfter = 1, .posted = {}},
        {.name = "a tab after the current one", .current = 0, .remove = 2, .left = "AB", .currentAfter = 0, .posted = {}},
        {.name = "outside the tabs", .current = 1, .remove = 3, .left = "ABC", .currentAfter = 1, .posted = {}},
        {.name = "below the tabs", .current = 1, .remove = -1, .left = "ABC", .currentAfter = 1, .posted = {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        while (m_beam->GetCount())
            m_beam->RemoveTab(0);
        addTabs({40, 40, 40});
        m_beam->SetCurSel(c.current);
        PvPumpMessages();
        m_owner.log.clear();
        m_beam->RemoveTab(c.remove);
        PvPumpMessages();
        EXPECT_EQ(labels(), c.left);
        EXPECT_EQ(m_beam->GetCurSel(), c.currentAfter);
        EXPECT_EQ(m_owner.log, c.posted);
    }

    // The only tab: none is current, and the owner hears of it.
    while (m_beam->GetCount() > 1)
        m_beam->RemoveTab(0);
    PvPumpMessages();
    m_owner.log.clear();
    m_beam->RemoveTab(0);
    PvPumpMessages();
    EXPECT_EQ(m_beam->GetCurSel(), -1);
    EXPECT_EQ(m_beam->GetFirstTab(), 0);
    const std::vector<Owner::Msg> none = {{WM_GX_TABACTIVATE, -1}};
    EXPECT_EQ(m_owner.log, none);

    // Inserting before the current tab: the current index moves with it.
    addTabs({40, 40, 40});
    m_beam->SetCurSel(1);
    m_beam->InsertTab(TRUE, "X", nullptr, FALSE, 40);
    EXPECT_EQ(labels(), "AXBC");
    EXPECT_EQ(m_beam->GetCurSel(), 2);
    EXPECT_EQ(m_beam->GetTab(2).sLabel, "B");
}

TEST_F(TabBeamTest, AnOwnedWindowGoesWithItsTab)
{
    bool ownedGone = false, keptGone = false;
    auto* pOwned = new Noted(ownedGone);
    Noted kept(keptGone);
    ASSERT_TRUE(pOwned->CreateEx(0, nullptr, "owned", WS_CHILD, 0, 20, 10, 10, m_owner.m_hWnd, nullptr));
    ASSERT_TRUE(kept.CreateEx(0, nullptr, "kept", WS_CHILD, 0, 20, 10, 10, m_owner.m_hWnd, nullptr));
    const HWND hOwned = pOwned->m_hWnd;
    m_beam->InsertTab(FALSE, "owned", pOwned, TRUE, 40);
    m_beam->InsertTab(FALSE, "kept", &kept, FALSE, 40);
    EXPECT_EQ(m_beam->FindTab(&kept), 1);
    m_beam->RemoveTab(1);
    EXPECT_FALSE(keptGone);
    m_beam->RemoveTab(0);
    EXPECT_TRUE(ownedGone);
    EXPECT_FALSE(::IsWindow(hOwned));
    EXPECT_EQ(m_beam->FindTab(&kept), -1);
}

TEST_F(TabBeamTest, ScrollButtonsStepAndStopAtTheEnds)
{
    addTabs({60, 60, 60, 60, 60, 60});
    EXPECT_FALSE(m_beam->IsScrollButtonEnabled(1));
    EXPECT_TRUE(m_beam->IsScrollButtonEnabled(2));
    for (int i = 0; i < 6; ++i)
        m_beam->ScrollTabs(2);
    // From tab 3 on, every tab fits right of the buttons (3 x 67 + 7 of 267 pixels).
    EXPECT_EQ(m_beam->GetFirstTab(), 3);
    EXPECT_FALSE(m_beam->IsScrollButtonEnabled(2));
    EXPECT_TRUE(m_beam->IsScrollButtonEnabled(1));
    m_beam->ScrollTabs(0);
    EXPECT_EQ(m_beam->GetFirstTab(), 0);
    m_beam->ScrollTabs(3);
    EXPECT_EQ(m_beam->GetFirstTab(), 3);
    PvPumpMessages();
    // Every scroll closes a label editor first.
    int cancels = 0;
    for (const Owner::Msg& m : m_owner.log)
        cancels += m.message == WM_GX_LABELCANCEL;
    EXPECT_EQ(cancels, 8);
}

// ---- Holding a scroll button ----

StepBeam* g_beam = nullptr;
void CALLBACK_Release(HWND, UINT, UINT_PTR, DWORD) { PvInputMouseButton(PV_BUTTON_LEFT, false); }
void CALLBACK_Box(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    ::MessageBox(nullptr, "Hold on", "test", MB_OK);
}
void CALLBACK_Quit(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    ::PostQuitMessage(7);
}
void CALLBACK_Destroy(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    delete g_beam;
    g_beam = nullptr;
}

class HeldButtonTest : public TabBeamTest {
protected:
    void SetUp() override
    {
        TabBeamTest::SetUp();
        std::vector<int> widths(30, 60);
        for (int w : widths)
            m_beam->InsertTab(FALSE, "tab", nullptr, FALSE, w);
    }
    // Holds the next button for up to `ms`, with whatever the timer does happening at `at`.
    std::vector<DWORD> hold(TIMERPROC proc, UINT at, DWORD ms)
    {
        PvAdvanceTime(1000);
        PvInputMouseMove(kNextButtonX, 8);
        m_t0 = GetTickCount();
        ::SetTimer(nullptr, 0, at, proc);
        PvInputMouseButton(PV_BUTTON_LEFT, true);
        PvAdvanceTime(ms);
        std::vector<DWORD> rel;
        if (g_beam)
            for (DWORD t : m_beam->steps)
                rel.push_back(t - m_t0);
        return rel;
    }
    DWORD m_t0 = 0;
};

TEST_F(HeldButtonTest, RepeatsFasterDownToOneStepPer100ms)
{
    g_beam = m_beam;
    const std::vector<DWORD> steps = hold(CALLBACK_Release, 1050, 1500);
    const std::vector<DWORD> expected = {0, 200, 380, 540, 680, 800, 900, 1000};
    EXPECT_EQ(steps, expected);
    EXPECT_FALSE(m_beam->IsTracking());
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(m_beam->GetFirstTab(), int(expected.size()));
}

TEST_F(HeldButtonTest, AMessageBoxEndsTheHold)
{
    g_beam = m_beam;
    const std::vector<DWORD> steps = hold(CALLBACK_Box, 450, 1500);
    const std::vector<DWORD> expected = {0, 200, 380};
    EXPECT_EQ(steps, expected);
    EXPECT_FALSE(m_beam->IsTracking());
    EXPECT_EQ(::GetCapture(), nullptr);
    PvInputMouseButton(PV_BUTTON_LEFT, false);
    PvAdvanceTime(500);
    EXPECT_EQ(m_beam->steps.size(), expected.size()) << "no step after the hold";
}

TEST_F(HeldButtonTest, QuittingEndsTheHoldAndStillQuits)
{
    g_beam = m_beam;
    PvAdvanceTime(1000);
    PvInputMouseMove(kNextButtonX, 8);
    ::SetTimer(nullptr, 0, 300, CALLBACK_Quit);
    PvInputMouseButton(PV_BUTTON_LEFT, true);
    PvAdvanceTime(1000);
    // The hold ended at the quit and left it for the program's own loop.
    MSG msg;
    bool quit = false;
    while (!quit && ::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
        quit = msg.message == WM_QUIT;
    EXPECT_EQ(m_beam->steps.size(), 2u) << "0 and 200 ms";
    ASSERT_TRUE(quit);
    EXPECT_EQ(msg.wParam, WPARAM(7));
    EXPECT_FALSE(m_beam->IsTracking());
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(HeldButtonTest, DestroyingTheStripEndsTheHold)
{
    g_beam = m_beam;
    hold(CALLBACK_Destroy, 300, 800);
    EXPECT_EQ(g_beam, nullptr);
    EXPECT_EQ(::GetCapture(), nullptr);
    m_beam = nullptr;  // deleted by the timer
}

}  // namespace
