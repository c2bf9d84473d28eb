// The main frame: its bars, panes and the arithmetic of its two layouts.

#include "frame_fixture.h"

#include "msgbox_log.h"

IMPLEMENT_DYNCREATE(FrameTestDoc, CDocument)

namespace {

int colWidth(CSplitterWnd& s, int col)
{
    int cur = 0, min = 0;
    s.GetColumnInfo(col, cur, min);
    return cur;
}

int rowHeight(CSplitterWnd& s, int row)
{
    int cur = 0, min = 0;
    s.GetRowInfo(row, cur, min);
    return cur;
}

} // namespace

TEST(FrameLayoutArithmetic, OutlineWidthIsFrameWidthOverFourAndAHalf)
{
    struct Case {
        int frame, outline;
    };
    const Case cases[] = {{900, 200}, {1280, 284}, {1000, 222}, {8, 1}, {4, 0}, {0, 0}};
    for (const Case& c : cases) EXPECT_EQ(CMainFrame::OutlineWidthFor(c.frame), c.outline) << c.frame;
}

TEST(FrameLayoutArithmetic, GridHeightFirstHalfThenSavedOnceThenCurrent)
{
    BOOL first = TRUE;
    int saved = 0;
    EXPECT_EQ(CMainFrame::GridHeightFor(first, saved, 801, 0), 400);   // half the pane area
    EXPECT_FALSE(first);
    saved = 173;                                                       // left by going home
    EXPECT_EQ(CMainFrame::GridHeightFor(first, saved, 801, 0), 173);
    EXPECT_EQ(saved, 0);                                               // used once
    EXPECT_EQ(CMainFrame::GridHeightFor(first, saved, 801, 222), 222); // the row as it is
}

TEST_F(FrameTest, StartsMaximisedInTheHomeLayoutWithItsBars)
{
    CMainFrame* f = OpenFrame();
    ASSERT_NE(f, nullptr);
    CRect rc;
    f->GetWindowRect(&rc);
    EXPECT_EQ(rc.Width(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_TRUE(f->IsZoomed());
    CString title;
    f->GetWindowText(title);
    EXPECT_EQ(title, "Westbrook School Directory");

    // Home layout: only the HTML pane has room.
    EXPECT_EQ(f->m_nLayout, 0);
    EXPECT_EQ(colWidth(f->m_wndSplitter, 0), 0);
    EXPECT_EQ(rowHeight(f->m_wndSplitter2, 0), 0);
    EXPECT_GT(rowHeight(f->m_wndSplitter2, 1), 0);
    EXPECT_EQ(f->GetActiveView(), static_cast<CView*>(f->m_pQueryView));
    ASSERT_NE(f->m_pNavigateView, nullptr);
    ASSERT_NE(f->m_pMediaView, nullptr);

    CString text;
    f->m_wndToolBar.GetWindowText(text);
    EXPECT_EQ(text, "Paravel Tools");
    EXPECT_EQ(f->m_imlToolBar.GetImageCount(), 15);
    EXPECT_EQ(f->m_imlToolBarDisabled.GetImageCount(), 15);
    EXPECT_NE(f->m_hNotesIcon, nullptr);

    struct Pane {
        UINT id;
        int width;
    };
    // Pane 0 is the directory view's "Ready" pane after its initial update (no footnote here).
    const Pane panes[] = {{ID_SEPARATOR, 350}, {1090, 225}, {1089, 125}, {1092, 80}};
    for (int i = 0; i < 4; ++i) {
        UINT id = 0, style = 0;
        int cx = 0;
        f->m_wndStatusBar.GetPaneInfo(i, id, style, cx);
        EXPECT_EQ(id, panes[i].id) << i;
        EXPECT_EQ(cx, panes[i].width) << i;
    }

    // The letter bar: Scroll To, its combo box and A to Z with their (unordered) command ids.
    ASSERT_NE(f->m_wndDialogBar.GetDlgItem(IDC_SCROLL_TO), nullptr);
    ASSERT_NE(f->m_wndDialogBar.GetDlgItem(IDC_SCROLL_COMBO), nullptr);
    for (int i = 0; i < 26; ++i) {
        CWnd* b = f->m_wndDialogBar.GetDlgItem(int(g_nLetterCommandIds[i]));
        ASSERT_NE(b, nullptr) << i;
        CString s;
        b->GetWindowText(s);
        EXPECT_EQ(s, CString(char('A' + i)));
    }
    EXPECT_EQ(g_nLetterCommandIds['J' - 'A'], 32798u);
    EXPECT_EQ(g_nLetterCommandIds['I' - 'A'], 32799u);
}

TEST_F(FrameTest, DirectoryLayoutHalvesThePanesAndHomeKeepsTheUsersGridHeight)
{
    CMainFrame* f = OpenFrame();
    ASSERT_NE(f, nullptr);
    CRect rc;
    f->GetWindowRect(&rc);

    EXPECT_EQ(f->SwitchLayout(ID_LAYOUT_DIRECTORY), static_cast<CView*>(f->m_pQueryView));
    EXPECT_EQ(f->m_nLayout, ID_LAYOUT_DIRECTORY);
    EXPECT_TRUE(f->m_bPanesOpen);
    EXPECT_EQ(colWidth(f->m_wndSplitter, 0), int(rc.Width() / 4.5));
    int area = rowHeight(f->m_wndSplitter, 0);
    EXPECT_EQ(rowHeight(f->m_wndSplitter2, 0), area / 2);

    // The user drags the grid row to 150 pixels, goes home and comes back.
    f->m_wndSplitter2.SetRowInfo(0, 150, 0);
    f->m_wndSplitter2.RecalcLayout();
    EXPECT_EQ(f->SwitchLayout(ID_LAYOUT_HOME), static_cast<CView*>(f->m_pMediaView));
    EXPECT_EQ(f->m_nSavedGridHeight, 150);
    EXPECT_EQ(colWidth(f->m_wndSplitter, 0), 0);
    EXPECT_EQ(rowHeight(f->m_wndSplitter2, 0), 0);
    f->SwitchLayout(ID_LAYOUT_DIRECTORY);
    EXPECT_EQ(rowHeight(f->m_wndSplitter2, 0), 150);
    EXPECT_EQ(f->m_nSavedGridHeight, 0);

    // Switching to the directory layout while it is shown keeps the row as it is.
    f->m_wndSplitter2.SetRowInfo(0, 99, 0);
    f->m_wndSplitter2.RecalcLayout();
    f->SwitchLayout(ID_LAYOUT_DIRECTORY);
    EXPECT_EQ(rowHeight(f->m_wndSplitter2, 0), 99);
}

TEST_F(FrameTest, ToggleViewOpensBothPanesAt285AndClosesTheOutline)
{
    CMainFrame* f = OpenFrame();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->m_nOutlineWidth, 285);
    f->SendMessage(WM_COMMAND, ID_TOGGLE_VIEW);  // from home: both panes open at 285
    EXPECT_TRUE(f->m_bPanesOpen);
    EXPECT_EQ(colWidth(f->m_wndSplitter, 0), 285);
    EXPECT_EQ(rowHeight(f->m_wndSplitter2, 0), 285);
    f->SendMessage(WM_COMMAND, ID_TOGGLE_VIEW);  // closes the outline column only
    EXPECT_FALSE(f->m_bPanesOpen);
    EXPECT_EQ(colWidth(f->m_wndSplitter, 0), 0);
    EXPECT_EQ(rowHeight(f->m_wndSplitter2, 0), 285);

    // F4 is the accelerator of Toggle View.
    f->SetFocus();
    PvInputKeyStroke(VK_F4);
    Pump();
    EXPECT_TRUE(f->m_bPanesOpen);
}

TEST_F(FrameTest, SplitterBarsDragUnlessLocked)
{
    CMainFrame* f = OpenFrame();
    ASSERT_NE(f, nullptr);
    f->SwitchLayout(ID_LAYOUT_DIRECTORY);
    Pump();
    int w = colWidth(f->m_wndSplitter, 0);
    POINT p {w + 3, 200};
    f->m_wndSplitter.ClientToScreen(&p);
    auto drag = [&] {
        PvInputMouseMove(p.x, p.y);
        PvInputMouseButton(PV_BUTTON_LEFT, true);
        PvInputMouseMove(p.x + 60, p.y);
        PvInputMouseButton(PV_BUTTON_LEFT, false);
        Pump();
    };
    HWND hit = ::WindowFromPoint(p);
    EXPECT_EQ(hit, f->m_wndSplitter.m_hWnd);
    f->m_wndSplitter.m_bLocked = FALSE;
    drag();
    EXPECT_EQ(colWidth(f->m_wndSplitter, 0), w + 60);
    f->m_wndSplitter.m_bLocked = TRUE;
    drag();
    EXPECT_EQ(colWidth(f->m_wndSplitter, 0), w + 60);
}

TEST_F(FrameTest, NarrowScreenWarnsOnceAndStartsAnyway)
{
    MsgBoxLog log;
    PvSetSystemMetric(SM_CXSCREEN, 640);
    CSplashWindow::EnableSplash(TRUE);
    CMainFrame* f = OpenFrame();
    PvResetSystemMetrics();
    ASSERT_NE(f, nullptr);
    auto boxes = log.entries();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "This program is best viewed at a resolution of 800 by 600 or better");
    EXPECT_NE(CSplashWindow::GetSplash(), nullptr);
    PvAdvanceTime(750);

    // A full-colour screen of 1280 pixels gives no warning.
    log.clear();
    m_template.reset();
    ASSERT_NE(OpenFrame(), nullptr);
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(FrameTest, StatusBarSaysReadyFromTheStart)
{
    CMainFrame* f = OpenFrame();
    ASSERT_NE(f, nullptr);
    EXPECT_STREQ(f->m_wndStatusBar.GetPaneText(0), "Ready");
}

// The letter bar explains its buttons as the toolbar does: the prompt in the status bar at
// once, the tip after a pause, and "Ready" again once the pointer has left.
TEST_F(FrameTest, LetterBarButtonsShowPromptsAndTips)
{
    CMainFrame* f = OpenFrame();
    ASSERT_NE(f, nullptr);
    struct Case {
        UINT id;
        const char* prompt;
        const char* tip;
    };
    const Case cases[] = {
        {IDC_SCROLL_TO, "Jump to the first entry that starts with the text typed beside it", "Scroll To"},
        {g_nLetterCommandIds[0], "Jump to the first entry starting with A", "Jump to A"},
        {g_nLetterCommandIds[25], "Jump to the first entry starting with Z", "Jump to Z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prompt);
        CWnd* button = f->m_wndDialogBar.GetDlgItem(int(c.id));
        ASSERT_NE(button, nullptr);
        CRect rc;
        button->GetWindowRect(&rc);
        PvInputMouseMove(rc.CenterPoint().x, rc.CenterPoint().y);
        Pump();
        EXPECT_STREQ(f->m_wndStatusBar.GetPaneText(0), c.prompt);
        PvAdvanceTime(700);
        HWND tip = ::FindWindow("PvToolTip", nullptr);
        ASSERT_NE(tip, nullptr);
        char text[64] = {};
        ::GetWindowText(tip, text, sizeof text);
        EXPECT_STREQ(text, c.tip);
    }
    PvInputMouseMove(400, 500); // over the pane, off the bar
    PvAdvanceTime(200);
    EXPECT_EQ(::FindWindow("PvToolTip", nullptr), nullptr);
    EXPECT_STREQ(f->m_wndStatusBar.GetPaneText(0), "Ready");
}

// On an 800 x 600 screen every letter button still lies inside the bar; a wide screen keeps
// the template's wider buttons.
TEST_F(FrameTest, LetterBarFitsAnEightHundredPixelScreen)
{
    int zWidth[2] = {0, 0};
    const int widths[2] = {800, 1280};
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(widths[k]);
        PvSetSystemMetric(SM_CXSCREEN, widths[k]);
        PvSetSystemMetric(SM_CYSCREEN, widths[k] * 3 / 4);
        CMainFrame* f = OpenFrame();
        ASSERT_NE(f, nullptr);
        CRect bar, z;
        f->m_wndDialogBar.GetWindowRect(&bar);
        f->m_wndDialogBar.GetDlgItem(int(g_nLetterCommandIds[25]))->GetWindowRect(&z);
        EXPECT_LE(z.right, bar.right);
        EXPECT_GE(z.Width(), 10); // still wide enough to show its letter
        zWidth[k] = z.Width();
        m_template.reset();
        PvResetSystemMetrics();
    }
    EXPECT_LT(zWidth[0], zWidth[1]);
}
