// The tab window: which child is active, the messages a switch, a rename and a resize send, the
// scroll state each tab keeps, the splitter, a tab window from a dialog template, and a grid
// window in a tab.

#include "grid/widgets/gxtabwnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxwnd.h"
#include "platform/sys/system.h"
#include "platform/win/pvwin.h"

namespace {

std::vector<std::string> g_trace;

std::string hex(UINT n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", n);
    return buf;
}

// A sheet that answers the tab window's questions and notes what it hears.
class Sheet : public CWnd {
public:
    explicit Sheet(const char* name) : m_name(name) {}
    LRESULT refuseSwitch = 0;
    LRESULT allowRename = 1;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_GX_TABATTACHED:
        case WM_GX_TABRENAMED:
        case WM_GX_TABRESIZING:
            note(hex(message) + " " + std::to_string(int(wParam)));
            return 0;
        case WM_GX_TABCANRENAME:
            note(hex(message) + " " + std::to_string(int(wParam)));
            return allowRename;
        case WM_GX_TABCANSWITCH:
            note(hex(message) + " " + std::to_string(int(wParam)));
            return refuseSwitch;
        case WM_SIZE:
            note("size");
            break;
        case WM_SHOWWINDOW:
            if (wParam)
                note("shown");
            break;
        case WM_SETFOCUS:
            note("focus");
            break;
        case WM_HSCROLL:
            note("hscroll " + std::to_string(LOWORD(wParam)));
            return 0;
        case WM_VSCROLL:
            note("vscroll " + std::to_string(LOWORD(wParam)));
            return 0;
        default:
            break;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    void note(const std::string& s) { g_trace.push_back(m_name + " " + s); }
    std::string m_name;
};

// Notes the strip's messages to the tab window.
class TracedTabWnd : public CGXTabWnd {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_GX_TABCANCHANGE || message == WM_GX_TABACTIVATE || message == WM_GX_TABRENAME ||
            message == WM_GX_LABELACCEPT || message == WM_GX_LABELCANCEL)
            g_trace.push_back("tabs " + hex(message) +
                              (message < WM_GX_LABELACCEPT ? " " + std::to_string(int(wParam)) : ""));
        return CGXTabWnd::WindowProc(message, wParam, lParam);
    }
};

constexpr int kWidth = 600;
constexpr int kHeight = 300;
// The bottom line: a scroll bar's height, and two borders of two with the three-dimensional look.
int bottomLine() { return GetSystemMetrics(SM_CYHSCROLL) + (GXGetLibraryState().m_bNewLook ? 4 : 0); }

class TabWndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        InitGridLibraryWithFactory();
        g_trace.clear();
        ASSERT_TRUE(m_frame.CreateEx(0, AfxRegisterWndClass(0), "frame", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                     nullptr, nullptr));
        ASSERT_TRUE(m_tabs.Create(&m_frame, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 100));
        m_tabs.MoveWindow(0, 0, kWidth, kHeight);
        for (Sheet* s : {&m_a, &m_b, &m_c})
            ASSERT_TRUE(s->CreateEx(0, AfxRegisterWndClass(0), nullptr, WS_CHILD | WS_VISIBLE | WS_HSCROLL, 0, 0,
                                    10, 10, m_tabs.m_hWnd, nullptr));
        m_tabs.AttachWnd(&m_a, "North");
        m_tabs.AttachWnd(&m_b, "South");
        m_tabs.AttachWnd(&m_c, "East");
        PvPumpMessages();
        g_trace.clear();
    }
    void TearDown() override
    {
        m_tabs.DestroyWindow();
        m_frame.DestroyWindow();
        PvResetWindowSystem();
    }
    // The middle of tab n on the screen.
    CPoint tabPoint(int nTab)
    {
        CRect rc;
        m_tabs.GetBeam()->GetWindowRect(&rc);
        return CPoint(rc.left + m_tabs.GetBeam()->GetTabX(nTab) + 20, rc.top + 8);
    }
    void click(CPoint pt, bool dbl = false)
    {
        PvAdvanceTime(1000);
        PvInputClick(pt.x, pt.y, PV_BUTTON_LEFT, dbl);
        PvPumpMessages();
    }
    void dragSplitter(int fromX, int toX)
    {
        const int y = kHeight - bottomLine() / 2;
        PvAdvanceTime(1000);
        PvRunScriptLine(("press " + std::to_string(fromX) + " " + std::to_string(y)).c_str());
        PvRunScriptLine(("release " + std::to_string(toX) + " " + std::to_string(y)).c_str());
        PvPumpMessages();
    }

    CWnd m_frame;
    TracedTabWnd m_tabs;
    Sheet m_a {"A"}, m_b {"B"}, m_c {"C"};
};

TEST_F(TabWndTest, TheFirstWindowIsActiveAtOnceAndLaterOnesHidden)
{
    EXPECT_EQ(m_tabs.GetActivePane(), &m_a);
    EXPECT_TRUE(m_a.IsWindowVisible());
    EXPECT_FALSE(m_b.IsWindowVisible());
    EXPECT_FALSE(m_c.IsWindowVisible());
    EXPECT_EQ(m_tabs.GetBeam()->GetCurSel(), 0);
    EXPECT_STREQ(m_tabs.GetTabLabel(&m_b), "South");
    EXPECT_EQ(m_tabs.GetTabLabel(&m_frame), nullptr);
    EXPECT_FALSE(m_b.GetStyle() & WS_HSCROLL) << "its own bars are hidden";
    // The active window fills the area above the bottom line and left of the vertical bar.
    CRect rc;
    m_a.GetWindowRect(&rc);
    m_tabs.ScreenToClient(&rc);
    EXPECT_EQ(rc, CRect(0, 0, kWidth - bottomLine(), kHeight - bottomLine()));

    Sheet d("D");
    ASSERT_TRUE(d.CreateEx(0, AfxRegisterWndClass(0), nullptr, WS_CHILD, 0, 0, 10, 10, m_tabs.m_hWnd, nullptr));
    m_tabs.AttachWnd(&d, "West");
    EXPECT_NE(std::find(g_trace.begin(), g_trace.end(), "D 0x78F 3"), g_trace.end());
    EXPECT_FALSE(d.IsWindowVisible());
}

TEST_F(TabWndTest, AClickOnAnotherTabAsksBothWindowsThenSwitches)
{
    click(tabPoint(1));
    const std::vector<std::string> expected = {
        "tabs 0x787 1", "A 0x792 0", "B 0x792 1",  // the strip's question
        "tabs 0x785 1", "A 0x792 0", "B 0x792 1",  // ActivateTab's own
        "B shown",      "B focus",   "B size",
    };
    EXPECT_EQ(g_trace, expected);
    EXPECT_EQ(m_tabs.GetActivePane(), &m_b);
    EXPECT_FALSE(m_a.IsWindowVisible());
    EXPECT_EQ(CWnd::GetFocus(), &m_b);
}

TEST_F(TabWndTest, RemovingTheActiveTabShowsTheFirstWithoutAskingTheGoneWindow)
{
    auto* pOwned = new Sheet("D");
    ASSERT_TRUE(pOwned->CreateEx(0, AfxRegisterWndClass(0), nullptr, WS_CHILD, 0, 0, 10, 10, m_tabs.m_hWnd, nullptr));
    m_tabs.AttachWnd(pOwned, "West");
    m_tabs.GetBeam()->GetTab(3).bDeleteExtra = TRUE;
    click(tabPoint(3));
    ASSERT_EQ(m_tabs.GetActivePane(), pOwned);
    // A tab before the active one goes: the same window stays active, nobody is asked.
    m_tabs.GetBeam()->RemoveTab(1);
    PvPumpMessages();
    EXPECT_EQ(m_tabs.GetActivePane(), pOwned);
    EXPECT_EQ(m_tabs.GetBeam()->GetCurSel(), 2);

    g_trace.clear();
    m_tabs.GetBeam()->RemoveTab(2);  // the active one, deleted with its tab
    PvPumpMessages();
    EXPECT_EQ(m_tabs.GetActivePane(), &m_a);
    EXPECT_EQ(m_tabs.GetBeam()->GetCurSel(), 0);
    const std::vector<std::string> expected = {"tabs 0x785 0", "A shown", "A focus", "A size"};
    EXPECT_EQ(g_trace, expected);

    // A window kept by its creator leaves the sheet area with its tab.
    m_tabs.GetBeam()->RemoveTab(0);
    PvPumpMessages();
    EXPECT_EQ(m_tabs.GetActivePane(), &m_c);
    EXPECT_FALSE(m_a.IsWindowVisible());
    // The last one goes: nothing is shown, nothing breaks.
    m_tabs.GetBeam()->RemoveTab(0);
    PvPumpMessages();
    EXPECT_EQ(m_tabs.GetBeam()->GetCurSel(), -1);
    EXPECT_EQ(m_tabs.GetActivePane(), nullptr);
    EXPECT_FALSE(m_c.IsWindowVisible());
}

TEST_F(TabWndTest, AWindowThatRefusesKeepsItsTabAndTheFocus)
{
    struct Case {
        const char* name;
        LRESULT aRefuses;
        LRESULT bRefuses;
    };
    const Case cases[] = {
        {.name = "the active window refuses", .aRefuses = 1, .bRefuses = 0},
        {.name = "the new window refuses", .aRefuses = 0, .bRefuses = 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_a.refuseSwitch = c.aRefuses;
        m_b.refuseSwitch = c.bRefuses;
        m_a.SetFocus();
        click(tabPoint(1));
        EXPECT_EQ(m_tabs.GetActivePane(), &m_a);
        EXPECT_EQ(m_tabs.GetBeam()->GetCurSel(), 0);
        EXPECT_FALSE(m_b.IsWindowVisible());
        EXPECT_EQ(CWnd::GetFocus(), &m_a);
    }
}

TEST_F(TabWndTest, RenamingOpensTheEditorOverTheTab)
{
    click(tabPoint(0), true);
    // The first press selects the tab it is on (the current one: the window takes the focus
    // back), the second asks for the rename.
    const std::vector<std::string> asked = {"tabs 0x787 0", "tabs 0x785 0", "A focus", "tabs 0x786 0", "A 0x790 0"};
    EXPECT_EQ(g_trace, asked);
    CGXEditLabelPopup* pEditor = m_tabs.GetLabelEditor();
    ASSERT_NE(pEditor, nullptr);
    const HWND hEditor = pEditor->m_hWnd;
    CRect rc;
    pEditor->GetWindowRect(&rc);
    m_tabs.ScreenToClient(&rc);
    EXPECT_EQ(rc.left, m_tabs.GetBeam()->GetTabX(0));
    EXPECT_LT(rc.bottom, kHeight) << "above the strip's lower edge";
    EXPECT_EQ(CWnd::GetFocus(), pEditor);

    g_trace.clear();
    PvInputText("Sales");
    PvInputKeyStroke(VK_RETURN);
    PvPumpMessages();
    EXPECT_STREQ(m_tabs.GetTabLabel(&m_a), "Sales");
    EXPECT_EQ(m_tabs.GetLabelEditor(), nullptr);
    EXPECT_FALSE(::IsWindow(hEditor));
    // One accept; the editor's focus loss while it went asked to cancel once more, harmlessly.
    const std::vector<std::string> accepted = {"tabs 0x799", "tabs 0x79A", "A focus", "A 0x791 0"};
    EXPECT_EQ(g_trace, accepted);
    EXPECT_EQ(CWnd::GetFocus(), &m_a);
}

TEST_F(TabWndTest, EscapeOrAClickElsewhereKeepsTheOldName)
{
    struct Case {
        const char* name;
        bool escape;
    };
    const Case cases[] = {{.name = "escape", .escape = true}, {.name = "a click on the sheet", .escape = false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        click(tabPoint(0), true);
        ASSERT_NE(m_tabs.GetLabelEditor(), nullptr);
        PvInputText("Lost");
        if (c.escape) {
            PvInputKeyStroke(VK_ESCAPE);
            PvPumpMessages();
        } else {
            m_a.SetFocus();  // what a click on the sheet does
            PvPumpMessages();
        }
        EXPECT_EQ(m_tabs.GetLabelEditor(), nullptr);
        EXPECT_STREQ(m_tabs.GetTabLabel(&m_a), "North");
    }
    // A window that answers 0 keeps its name: no editor at all.
    m_a.allowRename = 0;
    click(tabPoint(0), true);
    EXPECT_EQ(m_tabs.GetLabelEditor(), nullptr);
}

TEST_F(TabWndTest, SetTabLabelWithNotifyTellsTheTabsWindow)
{
    m_tabs.SetTabLabel(&m_c, "Far East", TRUE);
    m_tabs.SetTabLabel(1, "Deep South", FALSE);
    const std::vector<std::string> expected = {"C 0x791 2"};
    EXPECT_EQ(g_trace, expected);
    EXPECT_STREQ(m_tabs.GetTabLabel(&m_c), "Far East");
    EXPECT_STREQ(m_tabs.GetTabLabel(&m_b), "Deep South");
}

TEST_F(TabWndTest, AResizeTellsTheActiveWindowAroundItsLayout)
{
    m_tabs.MoveWindow(0, 0, kWidth - 50, kHeight);
    const std::vector<std::string> expected = {"A 0x7CB 1", "A size", "A 0x7CB 0", "A size"};
    EXPECT_EQ(g_trace, expected);
}

TEST_F(TabWndTest, TheTabWindowsScrollBarsDriveTheActiveWindow)
{
    CScrollBar* pHorz = m_tabs.GetTabScrollBar(SB_HORZ);
    CScrollBar* pVert = m_tabs.GetTabScrollBar(SB_VERT);
    EXPECT_EQ(pHorz->GetDlgCtrlID(), 0xEA00);
    EXPECT_EQ(pVert->GetDlgCtrlID(), 0xEA10);
    SCROLLINFO si {sizeof si, SIF_ALL, 0, 100, 10, 0, 0};
    pHorz->SetScrollInfo(&si);
    pVert->SetScrollInfo(&si);
    CRect rc;
    pHorz->GetWindowRect(&rc);
    click(CPoint(rc.right - 4, rc.CenterPoint().y));
    pVert->GetWindowRect(&rc);
    click(CPoint(rc.CenterPoint().x, rc.bottom - 4));
    std::vector<std::string> got;
    for (const std::string& s : g_trace)
        if (s.find("scroll") != std::string::npos)
            got.push_back(s);
    const std::vector<std::string> expected = {"A hscroll 1", "A hscroll 8", "A vscroll 1", "A vscroll 8"};
    EXPECT_EQ(got, expected);
}

TEST_F(TabWndTest, EachTabKeepsItsScrollState)
{
    CScrollBar* pHorz = m_tabs.GetTabScrollBar(SB_HORZ);
    CScrollBar* pVert = m_tabs.GetTabScrollBar(SB_VERT);
    auto grey = [](CScrollBar* p) {
        SCROLLBARINFO sbi {};
        sbi.cbSize = sizeof sbi;
        ::GetScrollBarInfo(p->m_hWnd, OBJID_CLIENT, &sbi);
        return (sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) != 0;
    };
    // A scrolls its rows and has no columns to scroll.
    SCROLLINFO si {sizeof si, SIF_ALL, 0, 100, 10, 30, 0};
    pVert->SetScrollInfo(&si);
    SCROLLINFO none {sizeof none, SIF_ALL, 0, 0, 0, 0, 0};
    pHorz->SetScrollInfo(&none);
    ASSERT_FALSE(grey(pVert));

    click(tabPoint(1));
    ASSERT_EQ(m_tabs.GetActivePane(), &m_b);
    EXPECT_TRUE(grey(pVert)) << "B has nothing to scroll";
    SCROLLINFO other {sizeof other, SIF_ALL, 0, 50, 5, 7, 0};
    pHorz->SetScrollInfo(&other);

    click(tabPoint(0));
    ASSERT_EQ(m_tabs.GetActivePane(), &m_a);
    SCROLLINFO got {sizeof got, SIF_ALL, 0, 0, 0, 0, 0};
    pVert->GetScrollInfo(&got);
    EXPECT_EQ(got.nMax, 100);
    EXPECT_EQ(got.nPage, 10u);
    EXPECT_EQ(got.nPos, 30);
    EXPECT_FALSE(grey(pVert));
    EXPECT_TRUE(grey(pHorz));

    click(tabPoint(1));
    pHorz->GetScrollInfo(&got);
    EXPECT_EQ(got.nMax, 50);
    EXPECT_EQ(got.nPos, 7);
    EXPECT_FALSE(grey(pHorz));
}

TEST_F(TabWndTest, TheSplitterStaysClearOfTheScrollButtons)
{
    const int split = m_tabs.GetSplitPos();
    ASSERT_EQ(split, kWidth / 2) << "half the width at first";
    const int nMin = m_tabs.GetBeam()->GetScrollButtonAreaWidth() + 20;
    dragSplitter(split + 3, nMin - 1 + 3);
    EXPECT_EQ(m_tabs.GetSplitPos(), split) << "left of the buttons and 20 pixels: ignored";
    dragSplitter(split + 3, kWidth - 10);
    EXPECT_EQ(m_tabs.GetSplitPos(), split) << "into the vertical bar's corner: ignored";
    dragSplitter(split + 3, nMin + 3);
    EXPECT_EQ(m_tabs.GetSplitPos(), nMin);
    dragSplitter(nMin + 3, 203);
    EXPECT_EQ(m_tabs.GetSplitPos(), 200);
    CRect rc;
    m_tabs.GetBeam()->GetWindowRect(&rc);
    m_tabs.ScreenToClient(&rc);
    EXPECT_EQ(rc.right, 200);
    m_tabs.GetTabScrollBar(SB_HORZ)->GetWindowRect(&rc);
    m_tabs.ScreenToClient(&rc);
    EXPECT_EQ(rc.left, 206);
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(TabWndTest, WideningKeepsTheStripsShareWithoutDrift)
{
    const int split = m_tabs.GetSplitPos();
    // The strip's share beyond 12 pixels (its buttons, less 20) stays.
    m_tabs.MoveWindow(0, 0, 2 * kWidth, kHeight);
    EXPECT_EQ(m_tabs.GetSplitPos(), 2 * (split - 12) + 12);
    for (int i = 0; i < 20; ++i) {
        m_tabs.MoveWindow(0, 0, i % 2 ? kWidth : 937, kHeight);
        m_tabs.MoveWindow(0, 0, 750 + 13 * i, kHeight);
    }
    m_tabs.MoveWindow(0, 0, kWidth, kHeight);
    EXPECT_EQ(m_tabs.GetSplitPos(), split);
}

TEST(TabWndTemplateTest, AWindowFromATemplateCompletesItselfAndGoesWithItsWindow)
{
    PvResetWindowSystem();
    InitGridLibraryWithFactory();
    CWnd dialog;
    ASSERT_TRUE(dialog.CreateEx(0, AfxRegisterWndClass(0), "dialog", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                nullptr));
    // What a dialog does for a "CGXTabWnd" control of its template; its own bars give way to the
    // tab window's.
    HWND h = ::CreateWindowEx(0, "CGXTabWnd", nullptr, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 10, 10, 380,
                              200, dialog.m_hWnd,
                              reinterpret_cast<HMENU>(uintptr_t(1001)), nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    auto* pTabs = static_cast<CGXTabWnd*>(CWnd::FromHandlePermanent(h));
    ASSERT_NE(pTabs, nullptr);
    ASSERT_TRUE(pTabs->IsKindOf(RUNTIME_CLASS(CGXTabWnd)));
    EXPECT_EQ(CGXTabWnd::GetAutoDeleteCount(), 1u);
    PvPumpMessages();
    EXPECT_TRUE(pTabs->IsCreated()) << "its first layout made the children";
    ASSERT_NE(pTabs->GetBeam(), nullptr);
    EXPECT_EQ(pTabs->GetBeam()->GetDlgCtrlID(), int(CGXTabWnd::kBeamId));
    EXPECT_NE(pTabs->GetDlgItem(CGXTabWnd::kHorzScrollId), nullptr);
    EXPECT_NE(pTabs->GetDlgItem(CGXTabWnd::kVertScrollId), nullptr);
    EXPECT_FALSE(pTabs->GetStyle() & (WS_HSCROLL | WS_VSCROLL));
    int nBars = 0;
    for (HWND c = ::GetWindow(h, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        nBars += ::GetDlgCtrlID(c) == int(CGXTabWnd::kHorzScrollId) || ::GetDlgCtrlID(c) == int(CGXTabWnd::kVertScrollId);
    EXPECT_EQ(nBars, 2) << "made once";
    CWnd* pSheet = new CWnd;
    ASSERT_TRUE(pSheet->CreateEx(0, AfxRegisterWndClass(0), nullptr, WS_CHILD, 0, 0, 1, 1, h, nullptr));
    pTabs->AttachWnd(pSheet, "One");
    pTabs->GetBeam()->GetTab(0).bDeleteExtra = TRUE;  // the tab owns it now
    dialog.DestroyWindow();
    EXPECT_EQ(CGXTabWnd::GetAutoDeleteCount(), 0u) << "deleted with its window";
    PvResetWindowSystem();
}

// ---- A grid in a tab ----

TEST_F(TabWndTest, AGridInATabTakesItsLabelAndScrollsWithItsOwnDirection)
{
    CGXGridWnd grid;
    ASSERT_TRUE(grid.CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD, CRect(0, 0, 10, 10), &m_tabs, 200));
    m_tabs.AttachWnd(&grid, "Sheet 1");
    grid.Initialize();
    grid.SetScrollBarMode(SB_BOTH, 1, TRUE);  // always: the tab window's bars, never its own
    grid.SetRowCount(200);
    grid.SetColCount(40);
    EXPECT_EQ(grid.GetParam()->m_sText, "Sheet 1") << "the sheet takes its tab's name";
    EXPECT_EQ(grid.GetScrollBarCtrl(SB_HORZ), m_tabs.GetTabScrollBar(SB_HORZ));
    EXPECT_EQ(grid.GetScrollBarCtrl(SB_VERT), m_tabs.GetTabScrollBar(SB_VERT));

    click(tabPoint(3));
    ASSERT_EQ(m_tabs.GetActivePane(), &grid);
    click(tabPoint(3), true);
    ASSERT_NE(m_tabs.GetLabelEditor(), nullptr);
    PvInputText("Budget");
    PvInputKeyStroke(VK_RETURN);
    PvPumpMessages();
    EXPECT_EQ(grid.GetParam()->m_sText, "Budget");

    // The vertical bar moves the rows, the horizontal one the columns.
    const ROWCOL top = grid.GetTopRow(), left = grid.GetLeftCol();
    EXPECT_FALSE(grid.GetStyle() & (WS_HSCROLL | WS_VSCROLL)) << "no bars of its own";
    CRect rc;
    m_tabs.GetTabScrollBar(SB_VERT)->GetWindowRect(&rc);
    click(CPoint(rc.CenterPoint().x, rc.bottom - 4));
    EXPECT_EQ(grid.GetTopRow(), top + 1);
    EXPECT_EQ(grid.GetLeftCol(), left);
    m_tabs.GetTabScrollBar(SB_HORZ)->GetWindowRect(&rc);
    click(CPoint(rc.right - 4, rc.CenterPoint().y));
    EXPECT_EQ(grid.GetLeftCol(), left + 1);
    EXPECT_EQ(grid.GetTopRow(), top + 1);
    m_tabs.DestroyWindow();
}

}  // namespace
