// Static splitters: space divided by row and column infos, nested splitters, resizing, dragging.

#include "ui_fixture.h"

namespace {

class PaneView : public CView {
    DECLARE_DYNCREATE(PaneView)
public:
    void OnDraw(CDC* pDC) override
    {
        CRect rc;
        GetClientRect(&rc);
        pDC->FillSolidRect(&rc, RGB(255, 255, 255));
    }
};
IMPLEMENT_DYNCREATE(PaneView, CView)

class SplitFrame : public CFrameWnd {
public:
    CSplitterWnd m_outer, m_inner;
    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) override
    {
        if (!m_outer.CreateStatic(this, 1, 2)) return FALSE;
        if (!m_outer.CreateView(0, 0, RUNTIME_CLASS(PaneView), CSize(150, 0), pContext)) return FALSE;
        if (!m_inner.CreateStatic(&m_outer, 2, 1, WS_CHILD | WS_VISIBLE | WS_BORDER, m_outer.IdFromRowCol(0, 1)))
            return FALSE;
        if (!m_inner.CreateView(0, 0, RUNTIME_CLASS(PaneView), CSize(0, 100), pContext)) return FALSE;
        if (!m_inner.CreateView(1, 0, RUNTIME_CLASS(PaneView), CSize(0, 0), pContext)) return FALSE;
        return TRUE;
    }
};

CRect paneRect(CSplitterWnd& s, int row, int col)
{
    CRect r;
    CWnd* p = s.GetPane(row, col);
    if (!p) return r;
    p->GetWindowRect(&r);
    s.ScreenToClient(&r);
    return r;
}

class SplitterTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        frame = new SplitFrame;
        CCreateContext ctx;
        ASSERT_TRUE(frame->Create(nullptr, "Split", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 800, 600), nullptr,
                                  nullptr, 0, &ctx));
        Pump();
    }
    void TearDown() override
    {
        if (::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
        UiTest::TearDown();
    }
    SplitFrame* frame = nullptr;
};

TEST_F(SplitterTest, RowAndColumnInfosDivideTheSpace)
{
    CRect client;
    frame->m_outer.GetClientRect(&client);
    int gap = frame->m_outer.m_cxSplitterGap;
    CRect left = paneRect(frame->m_outer, 0, 0);
    EXPECT_EQ(left, CRect(0, 0, 150, client.Height())) << left.left << "," << left.top << "," << left.right << "," << left.bottom << " in " << client.Width() << "x" << client.Height();
    CRect right;
    frame->m_inner.GetWindowRect(&right);
    frame->m_outer.ScreenToClient(&right);
    EXPECT_EQ(right, CRect(150 + gap, 0, client.Width(), client.Height()));
    int cur = 0, min = 0;
    frame->m_outer.GetColumnInfo(1, cur, min);
    EXPECT_EQ(cur, client.Width() - 150 - gap);
    frame->m_inner.GetRowInfo(0, cur, min);
    EXPECT_EQ(cur, 100);
    EXPECT_EQ(frame->m_inner.GetPane(0, 0)->GetDlgCtrlID(), frame->m_inner.IdFromRowCol(0, 0));
    EXPECT_EQ(frame->m_outer.IdFromRowCol(0, 1), AFX_IDW_PANE_FIRST + 1);
    EXPECT_EQ(frame->m_inner.IdFromRowCol(1, 0), AFX_IDW_PANE_FIRST + 16);
    EXPECT_EQ(frame->m_outer.GetPane(3, 3), nullptr);

    // Ideal below minimum hides the row; out-of-range rows are ignored.
    frame->m_inner.SetRowInfo(0, 5, 10);
    frame->m_inner.SetRowInfo(9, 5, 10);
    frame->m_inner.RecalcLayout();
    frame->m_inner.GetRowInfo(0, cur, min);
    EXPECT_EQ(cur, 0);
    EXPECT_FALSE(frame->m_inner.GetPane(0, 0)->IsWindowVisible());
    CRect inner;
    frame->m_inner.GetClientRect(&inner);
    EXPECT_EQ(paneRect(frame->m_inner, 1, 0).Height(), inner.Height() - frame->m_inner.m_cySplitterGap);
}

TEST_F(SplitterTest, SurvivesResizing)
{
    struct Case {
        int cx, cy;
    };
    const Case cases[] = {{1000, 700}, {400, 300}, {100, 80}, {20, 20}, {900, 650}};
    for (const Case& c : cases) {
        frame->MoveWindow(0, 0, c.cx, c.cy);
        Pump();
        CRect client;
        frame->m_outer.GetClientRect(&client);
        int col0 = 0, col1 = 0, min = 0;
        frame->m_outer.GetColumnInfo(0, col0, min);
        frame->m_outer.GetColumnInfo(1, col1, min);
        EXPECT_GE(col0, 0);
        EXPECT_GE(col1, 0);
        EXPECT_LE(col0 + col1, std::max<int>(client.Width(), 0));
        if (client.Width() > 150 + frame->m_outer.m_cxSplitterGap) {
            EXPECT_EQ(col0, 150) << c.cx;
        }
    }
}

TEST_F(SplitterTest, DraggingTheBarMovesIt)
{
    CRect bar = paneRect(frame->m_outer, 0, 0);
    POINT p {bar.right + 3, bar.Height() / 2};
    frame->m_outer.ClientToScreen(&p);
    PvInputMouseMove(p.x, p.y);
    PvInputMouseButton(PV_BUTTON_LEFT, true);
    PvInputMouseMove(p.x + 60, p.y);
    PvInputMouseButton(PV_BUTTON_LEFT, false);
    Pump();
    int cur = 0, min = 0;
    frame->m_outer.GetColumnInfo(0, cur, min);
    EXPECT_EQ(cur, 210);
    EXPECT_EQ(paneRect(frame->m_outer, 0, 0).Width(), 210);
}

} // namespace
