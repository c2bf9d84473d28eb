// The wheel, wheel-button panning and auto-scroll over a headless grid window, on the test clock.

#include "tests/grid/core/window/gridwnd_fixture.h"

#include <string>
#include <vector>

#include "grid/features/gxautoscroll.h"
#include "grid/features/gxmwheel.h"
#include "platform/sys/system.h"
#include "platform/ui/splitter.h"

namespace {

// Sets the wheel lines as the desktop's settings would, and makes the grid read them again.
void SetWheelLines(int nLines)
{
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, UINT(nLines), nullptr, 0);
    GXGetMouseWheelScrollLines(TRUE);
}

class WheelTest : public GridWindowTest {
protected:
    void TearDown() override
    {
        SetWheelLines(3);
        GridWindowTest::TearDown();
    }
    CTestGridWnd& MakeWheelGrid(DWORD dwBars = WS_VSCROLL | WS_HSCROLL)
    {
        CTestGridWnd& grid = MakeGrid(1000, 40, 600, 400, WS_VISIBLE | dwBars);
        grid.InstallIntelliMousePlugin();
        return grid;
    }
    CGXIntelliMousePlugin& Mouse() { return *static_cast<CGXIntelliMousePlugin*>(m_grid->m_pIntelliMousePlugin); }
    CPoint GridScreenPoint(CPoint client)
    {
        m_grid->ClientToScreen(&client);
        return client;
    }
    static CPoint Cursor()
    {
        POINT p {};
        ::GetCursorPos(&p);
        return p;
    }
};

// Records the scroll and zoom messages a window without a grid gets.
class CScrollLogWnd : public CWnd {
public:
    std::vector<std::string> m_log;
    int m_nZoom = 100;
    CScrollBar* m_pBar = nullptr;  // a bar of its own outside the window, as a splitter pane has
    CScrollBar* GetScrollBarCtrl(int nBar) const override { return nBar == SB_VERT ? m_pBar : nullptr; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_VSCROLL: m_log.push_back("V" + std::to_string(LOWORD(wParam))); return 0;
        case WM_HSCROLL: m_log.push_back("H" + std::to_string(LOWORD(wParam))); return 0;
        case WM_GX_GETZOOM: return m_nZoom;
        case WM_GX_SETZOOM: m_nZoom = int(wParam); m_log.push_back("Z" + std::to_string(m_nZoom)); return 0;
        default: return CWnd::WindowProc(message, wParam, lParam);
        }
    }
};

// WM_MOUSEWHEEL's wParam: the key flags and the signed delta.
WPARAM WheelParam(UINT nKeys, int nDelta) { return WPARAM(nKeys & 0xFFFF) | (WPARAM(WORD(short(nDelta))) << 16); }

// A splitter that logs the scroll messages its panes' bars send it.
class CScrollLogSplitter : public CSplitterWnd {
public:
    std::vector<std::string> m_log;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_VSCROLL) {
            m_log.push_back("V" + std::to_string(LOWORD(wParam)) + (lParam ? "b" : ""));
            return 0;
        }
        return CSplitterWnd::WindowProc(message, wParam, lParam);
    }
};

std::string Join(const std::vector<std::string>& v)
{
    std::string s;
    for (const std::string& x : v)
        s += (s.empty() ? "" : " ") + x;
    return s;
}

}  // namespace

TEST_F(WheelTest, WheelScrollsAndZooms)
{
    struct Case {
        const char* name;
        int nLines = 3;
        UINT nKeys = 0;
        int nDelta = 0;
        DWORD dwBars = 0;
        int nZoom = 0;
        ROWCOL nTop = 0, nLeft = 0;  // after the notch, from top row 10 and left column 10; 0: a page
        int nZoomAfter = 0;
    };
    const DWORD kBoth = WS_VSCROLL | WS_HSCROLL;
    const Case cases[] = {
        {.name = "3 lines, a notch toward", .nLines = 3, .nDelta = -120, .dwBars = kBoth, .nTop = 13, .nLeft = 10},
        {.name = "3 lines, a notch away", .nLines = 3, .nDelta = 120, .dwBars = kBoth, .nTop = 7, .nLeft = 10},
        {.name = "delta 40 is one line", .nLines = 3, .nDelta = -40, .dwBars = kBoth, .nTop = 11, .nLeft = 10},
        {.name = "delta 20 is nothing", .nLines = 3, .nDelta = -20, .dwBars = kBoth, .nTop = 10, .nLeft = 10},
        {.name = "a page a notch", .nLines = -1, .nDelta = -120, .dwBars = kBoth, .nTop = 0, .nLeft = 10},
        {.name = "Shift scrolls across", .nLines = 3, .nKeys = MK_SHIFT, .nDelta = -120, .dwBars = kBoth, .nTop = 10,
         .nLeft = 13},
        {.name = "no vertical bar scrolls across", .nLines = 3, .nDelta = -120, .dwBars = WS_HSCROLL, .nTop = 10,
         .nLeft = 13},
        {.name = "Ctrl away at 100", .nLines = 3, .nKeys = MK_CONTROL, .nDelta = 120, .dwBars = kBoth, .nZoom = 100,
         .nTop = 10, .nLeft = 10, .nZoomAfter = 90},
        {.name = "Ctrl toward at 100", .nLines = 3, .nKeys = MK_CONTROL, .nDelta = -120, .dwBars = kBoth,
         .nZoom = 100, .nTop = 10, .nLeft = 10, .nZoomAfter = 110},
        {.name = "Ctrl away at 50", .nLines = 3, .nKeys = MK_CONTROL, .nDelta = 120, .dwBars = kBoth, .nZoom = 50,
         .nTop = 10, .nLeft = 10, .nZoomAfter = 50},
        {.name = "Ctrl toward at 200", .nLines = 3, .nKeys = MK_CONTROL, .nDelta = -120, .dwBars = kBoth,
         .nZoom = 200, .nTop = 10, .nLeft = 10, .nZoomAfter = 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestGridWnd& grid = MakeWheelGrid(c.dwBars);
        SetWheelLines(c.nLines);
        if (c.nZoom)
            grid.SetZoom(c.nZoom);
        grid.SetTopRow(10);
        grid.SetLeftCol(10);
        // A page: the last row shown whole becomes the top row.
        const ROWCOL nPageTop = grid.LastFullyVisibleRow();
        grid.SendMessage(WM_MOUSEWHEEL, WheelParam(c.nKeys, c.nDelta), 0);
        EXPECT_EQ(grid.GetTopRow(), c.nTop ? c.nTop : nPageTop);
        EXPECT_EQ(grid.GetLeftCol(), c.nLeft);
        if (c.nZoom) {
            EXPECT_EQ(grid.GetZoom(), c.nZoomAfter);
        }
        m_grid.reset();
    }
}

TEST_F(WheelTest, SettingChangeReadsTheWheelLinesAgain)
{
    CTestGridWnd& grid = MakeWheelGrid();
    SetWheelLines(3);
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, 5, nullptr, 0);
    EXPECT_EQ(GXGetMouseWheelScrollLines(), 3);  // cached until told
    grid.SendMessage(WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(GXGetMouseWheelScrollLines(), 5);
}

// Without a grid the plug-in drives the window with its messages.
TEST_F(WheelTest, WithoutAGridTheWindowGetsMessages)
{
    CScrollLogWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL,
                             CRect(0, 0, 200, 200), m_frame.get(), 5));
    CGXMouseWheelPlugin plugin;
    ASSERT_TRUE(plugin.PlugIn(&wnd));
    auto wheel = [&](UINT keys, int delta) {
        LRESULT r = 0;
        BOOL bStop = FALSE;
        return plugin.HandlePluginMessage(WM_MOUSEWHEEL, WheelParam(keys, delta), 0, r, bStop);
    };
    SetWheelLines(3);
    EXPECT_TRUE(wheel(0, -120));
    EXPECT_EQ(Join(wnd.m_log), "V1 V1 V1 V8");
    wnd.m_log.clear();
    EXPECT_TRUE(wheel(MK_SHIFT, 240));
    EXPECT_EQ(Join(wnd.m_log), "H0 H0 H0 H0 H0 H0 H8");
    wnd.m_log.clear();
    SetWheelLines(-1);
    EXPECT_TRUE(wheel(0, 120));
    EXPECT_EQ(Join(wnd.m_log), "V2 V8");
    wnd.m_log.clear();
    EXPECT_TRUE(wheel(MK_CONTROL, 120));
    EXPECT_EQ(Join(wnd.m_log), "Z90");
    wnd.m_log.clear();
    EXPECT_FALSE(wheel(MK_CONTROL | MK_SHIFT, 120));  // not a combination of the wheel's
    EXPECT_TRUE(wnd.m_log.empty());
    wnd.m_nZoom = 0;  // no zoom support
    EXPECT_TRUE(wheel(MK_CONTROL, 120));
    EXPECT_TRUE(wnd.m_log.empty());

    // A pane whose bar belongs to a splitter: the splitter scrolls, told which bar.
    SetWheelLines(3);
    CScrollLogSplitter splitter;
    ASSERT_TRUE(splitter.CreateStatic(m_frame.get(), 1, 1));
    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | SBS_VERT, CRect(0, 0, 16, 100), &splitter, 7));
    wnd.m_pBar = &bar;
    EXPECT_TRUE(wheel(0, -120));
    EXPECT_EQ(Join(splitter.m_log), "V1b V1b V1b V8b");
    EXPECT_TRUE(wnd.m_log.empty());
    wnd.m_pBar = nullptr;
    wnd.DestroyWindow();
}

TEST_F(WheelTest, AClickReleasedQuicklyEndsPanningAHeldOneGoesOn)
{
    CTestGridWnd& grid = MakeWheelGrid();
    const CPoint start = GridScreenPoint(CPoint(300, 200));
    PvInputMouseMove(start.x, start.y);
    PvPumpMessages();

    SCOPED_TRACE("a click released within 400 ms without moving");
    PvInputMouseButton(PV_BUTTON_MIDDLE, true);
    PvPumpMessages();
    ASSERT_TRUE(Mouse().IsPanning());
    EXPECT_EQ(Cursor(), start - CSize(15, 15));
    EXPECT_EQ(::GetCapture(), grid.GetSafeHwnd());
    ASSERT_NE(Mouse().GetOriginWnd(), nullptr);
    CRect mark;
    Mouse().GetOriginWnd()->GetWindowRect(&mark);
    EXPECT_EQ(mark.Size(), CSize(30, 30));
    EXPECT_EQ(mark.CenterPoint(), start - CSize(15, 15));
    EXPECT_EQ(Mouse().GetCursorId(), UINT(GX_IDC_PAN_NONE));
    PvAdvanceTime(300);
    PvInputMouseButton(PV_BUTTON_MIDDLE, false);
    PvPumpMessages();
    EXPECT_FALSE(Mouse().IsPanning());
    EXPECT_EQ(Cursor(), start);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(Mouse().GetOriginWnd(), nullptr);
    EXPECT_EQ(grid.GetTopRow(), 1u);

    SCOPED_TRACE("held still for longer: panning goes on after release, until the next press");
    PvInputMouseButton(PV_BUTTON_MIDDLE, true);
    PvPumpMessages();
    PvAdvanceTime(500);
    PvInputMouseButton(PV_BUTTON_MIDDLE, false);
    PvPumpMessages();
    EXPECT_TRUE(Mouse().IsPanning());
    PvInputMouseButton(PV_BUTTON_MIDDLE, true);
    PvPumpMessages();
    EXPECT_FALSE(Mouse().IsPanning());
    PvInputMouseButton(PV_BUTTON_MIDDLE, false);
    PvPumpMessages();
    EXPECT_EQ(Cursor(), start);
}

TEST_F(WheelTest, PanningStepsAndCursorsByDistanceAndDirection)
{
    struct Case {
        const char* name;
        CPoint offset;
        int nRows, nCols;  // scrolled by the first step
        UINT nCursor;
    };
    const Case cases[] = {
        {"7 below: nothing", CPoint(0, 7), 0, 0, GX_IDC_PAN_NONE},
        {"36 below: one row", CPoint(0, 36), 1, 0, GX_IDC_PAN_DOWN},
        {"60 below: eleven rows", CPoint(0, 60), 11, 0, GX_IDC_PAN_DOWN},
        {"60 above", CPoint(3, -60), -11, 0, GX_IDC_PAN_UP},
        {"36 right", CPoint(36, 5), 0, 1, GX_IDC_PAN_RIGHT},
        {"36 left", CPoint(-36, 5), 0, -1, GX_IDC_PAN_LEFT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestGridWnd& grid = MakeWheelGrid();
        grid.SetTopRow(100);
        grid.SetLeftCol(20);
        const CPoint start = GridScreenPoint(CPoint(300, 200));
        PvInputMouseMove(start.x, start.y);
        PvInputMouseButton(PV_BUTTON_MIDDLE, true);
        PvPumpMessages();
        ASSERT_TRUE(Mouse().IsPanning());
        const CPoint origin = Cursor();
        ::SetCursorPos(origin.x + c.offset.x, origin.y + c.offset.y);
        PvAdvanceTime(10);
        EXPECT_EQ(int(grid.GetTopRow()) - 100, c.nRows);
        EXPECT_EQ(int(grid.GetLeftCol()) - 20, c.nCols);
        EXPECT_EQ(Mouse().GetCursorId(), c.nCursor);
        EXPECT_NE(Mouse().GetOriginWnd(), nullptr);  // shown again after the step
        PvInputMouseButton(PV_BUTTON_MIDDLE, false);
        PvPumpMessages();
        // Moved away, or released at once: the release ends panning.
        EXPECT_FALSE(Mouse().IsPanning());
        m_grid.reset();
    }
}

TEST_F(WheelTest, LeftButtonCancelModeOrAWheelNotchStopPanning)
{
    struct Case {
        const char* name;
        void (*act)(CTestGridWnd&);
        ROWCOL nTopAfter;
    };
    const Case cases[] = {
        {"left button", [](CTestGridWnd& g) { g.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)); }, 1},
        {"right button", [](CTestGridWnd& g) { g.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10)); }, 1},
        {"cancel mode", [](CTestGridWnd& g) { g.SendMessage(WM_CANCELMODE); }, 1},
        {"wheel notch, then scrolled by it", [](CTestGridWnd& g) { g.SendMessage(WM_MOUSEWHEEL, WheelParam(0, -120), 0); },
         4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestGridWnd& grid = MakeWheelGrid();
        SetWheelLines(3);
        const CPoint start = GridScreenPoint(CPoint(300, 200));
        PvInputMouseMove(start.x, start.y);
        PvInputMouseButton(PV_BUTTON_MIDDLE, true);
        PvPumpMessages();
        PvAdvanceTime(500);  // held still: panning goes on after the release
        PvInputMouseButton(PV_BUTTON_MIDDLE, false);
        PvPumpMessages();
        ASSERT_TRUE(Mouse().IsPanning());
        c.act(grid);
        EXPECT_FALSE(Mouse().IsPanning());
        EXPECT_EQ(Cursor(), start);
        EXPECT_EQ(grid.GetTopRow(), c.nTopAfter);
        PvAdvanceTime(50);  // no timer left
        EXPECT_EQ(grid.GetTopRow(), c.nTopAfter);
        m_grid.reset();
    }
}

class AutoScrollTest : public WheelTest {
protected:
    CGXAutoScrollPlugin& Auto() { return *static_cast<CGXAutoScrollPlugin*>(m_grid->m_pAutoScrollPlugin); }
    // Lets n ticks of the 10 ms timer pass.
    void Ticks(int n) { PvAdvanceTime(DWORD(10 * n)); }
};

TEST_F(AutoScrollTest, HeldBelowTheGridItScrollsFasterUpToEighty)
{
    CTestGridWnd& grid = MakeGrid(100000, 10, 600, 400, WS_VISIBLE | WS_VSCROLL);
    ASSERT_NE(grid.m_pAutoScrollPlugin, nullptr);  // every grid has it
    const CPoint below = GridScreenPoint(CPoint(300, 500));
    ::SetCursorPos(below.x, below.y);
    grid.StartAutoScroll(TRUE, FALSE);
    std::vector<int> speeds;
    ROWCOL nTop = grid.GetTopRow();
    for (int i = 0; i < 200; ++i) {
        Ticks(1);
        if (speeds.empty() || speeds.back() != Auto().GetSpeed())
            speeds.push_back(Auto().GetSpeed());
    }
    ASSERT_TRUE(Auto().IsRunning());
    EXPECT_GT(grid.GetTopRow(), nTop);
    // 1, 3, 5, ... 79, 80: two more each step once the interval is spent, and 80 stays.
    ASSERT_GE(speeds.size(), 2u);
    for (size_t i = 1; i < speeds.size(); ++i)
        EXPECT_EQ(speeds[i], std::min(speeds[i - 1] + 2, 80));
    EXPECT_EQ(speeds.back(), 80);
    EXPECT_EQ(Auto().GetStepInterval(), 0);
    nTop = grid.GetTopRow();
    Ticks(1);
    EXPECT_EQ(grid.GetTopRow(), nTop + 8);  // a step of speed / 10 rows each tick

    SCOPED_TRACE("a shrinking distance starts over");
    const CPoint nearer = GridScreenPoint(CPoint(300, 450));
    ::SetCursorPos(nearer.x, nearer.y);
    Ticks(1);
    EXPECT_EQ(Auto().GetSpeed(), 1);

    SCOPED_TRACE("button up stops it");
    grid.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(300, 300));
    EXPECT_FALSE(Auto().IsRunning());
    EXPECT_TRUE(grid.m_bDragEnded);
    nTop = grid.GetTopRow();
    Ticks(20);
    EXPECT_EQ(grid.GetTopRow(), nTop);
}

TEST_F(AutoScrollTest, InsideTheCellsNothingScrolls)
{
    CTestGridWnd& grid = MakeGrid(1000, 10, 600, 400, WS_VISIBLE | WS_VSCROLL);
    const CPoint inside = GridScreenPoint(CPoint(300, 200));
    ::SetCursorPos(inside.x, inside.y);
    grid.StartAutoScroll(TRUE, TRUE);
    Ticks(50);
    EXPECT_EQ(grid.GetTopRow(), 1u);
    EXPECT_EQ(Auto().GetSpeed(), 1);
    grid.SendMessage(WM_CANCELMODE);
    EXPECT_FALSE(Auto().IsRunning());
}

// A keyboard drag repeats its key; another key, its release or the focus leaving stop it.
TEST_F(AutoScrollTest, KeyboardDragRepeatsItsKeyUntilStopped)
{
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
    };
    const Case cases[] = {
        {"another key", WM_KEYDOWN, VK_LEFT},
        {"Esc", WM_KEYDOWN, VK_ESCAPE},
        {"key up", WM_KEYUP, VK_DOWN},
        {"focus loss", WM_KILLFOCUS, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestGridWnd& grid = MakeGrid(1000, 10, 600, 400, WS_VISIBLE | WS_VSCROLL);
        grid.PlaceCurrentCell(1, 1);
        grid.m_bKeyAutoScrollHeld = TRUE;
        grid.m_nAutoScrollKey = VK_DOWN;
        grid.StartAutoScroll(TRUE, FALSE);
        Ticks(100);
        ROWCOL nRow = 0, nCol = 0;
        ASSERT_TRUE(grid.QueryCurrentCell(nRow, nCol));
        EXPECT_GT(nRow, 1u);  // the key repeated
        grid.SendMessage(c.message, c.wParam, 1);
        EXPECT_FALSE(Auto().IsRunning());
        ASSERT_TRUE(grid.QueryCurrentCell(nRow, nCol));
        const ROWCOL nStopped = nRow;
        Ticks(50);
        ASSERT_TRUE(grid.QueryCurrentCell(nRow, nCol));
        EXPECT_EQ(nRow, nStopped);
        grid.m_bKeyAutoScrollHeld = FALSE;
        m_grid.reset();
    }
}
