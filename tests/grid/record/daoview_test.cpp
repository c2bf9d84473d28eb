// The DAO record view: zoom steps, record commands, the messages it routes to its grid, its
// first update and its place in a splitter.

#include "recgrid_fixture.h"

#include "grid/core/gxprop.h"
#include "grid/record/gxdaoview.h"
#include "platform/gdi/devblocks.h"
#include "platform/ui/cmdui.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/view.h"
#include "platform/ui/splitter.h"

namespace {

class CProbeCmdUI : public CCmdUI {
public:
    explicit CProbeCmdUI(UINT nID) { m_nID = nID; }
    void Enable(BOOL bOn) override { m_bOn = bOn; }
    BOOL m_bOn = -1;
};

// A view over the recordset the test names; it notes what reaches its grid part.
class CTestRecordView : public CGXDaoRecordView {
    DECLARE_DYNCREATE(CTestRecordView)
public:
    static inline CDaoRecordset* s_pRecordset = nullptr;
    void OnInitialUpdate() override
    {
        SetRecordset(s_pRecordset);
        CGXDaoRecordView::OnInitialUpdate();
    }
    BOOL ProcessKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags) override
    {
        m_keys.push_back(message);
        m_keyWnds.push_back(GetCurrentMessage() ? GetCurrentMessage()->hwnd : nullptr);
        return CGXDaoRecordView::ProcessKeyMessage(message, wParam, lParam, flags);
    }
    void OnGridKillFocus(CWnd* pNewWnd) override
    {
        m_losingFocusSeen.push_back(m_bLosingFocus);
        CGXDaoRecordView::OnGridKillFocus(pNewWnd);
    }
    std::vector<UINT> m_keys;
    std::vector<HWND> m_keyWnds;
    std::vector<BOOL> m_losingFocusSeen;
};
IMPLEMENT_DYNCREATE(CTestRecordView, CGXDaoRecordView)

class DaoViewTest : public RecordGridTest {
protected:
    void SetUp() override
    {
        RecordGridTest::SetUp();
        m_frame.CreateEx(0, AfxRegisterWndClass(0), "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                         nullptr);
    }
    void TearDown() override
    {
        if (m_frame.GetSafeHwnd())
            m_frame.DestroyWindow();  // the views go with their windows
        RecordGridTest::TearDown();
    }
    // A view window in the frame over Data; first-updated unless asked not to.
    CTestRecordView& MakeView(int nRecords = 5, bool bUpdate = true)
    {
        if (!m_db)
            MakeDb({DataTable(), FillData(nRecords)});
        CTestRecordView::s_pRecordset = &OpenRecordset("SELECT * FROM Data");
        auto* pView = static_cast<CTestRecordView*>(RUNTIME_CLASS(CTestRecordView)->CreateObject());
        pView->CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL,
                        CRect(0, 0, 600, 400), &m_frame, AFX_IDW_PANE_FIRST);
        if (bUpdate)
            pView->OnInitialUpdate();
        return *pView;
    }
    static BOOL Enabled(CGXDaoRecordView& view, UINT nID)
    {
        CProbeCmdUI ui(nID);
        ui.DoUpdate(&view, FALSE);
        return ui.m_bOn;
    }
    static ROWCOL CurrentRow(CGXDaoRecordView& view)
    {
        ROWCOL nRow = 0, nCol = 0;
        return view.QueryCurrentCell(nRow, nCol) ? nRow : 0;
    }
    CWnd m_frame;
};

TEST_F(DaoViewTest, ZoomStepsAndLimits)
{
    CTestRecordView& view = MakeView();
    std::vector<int> in, out;
    for (int i = 0; i < 14; ++i) {
        view.OnZoomIn();
        in.push_back(view.ZoomPercent());
    }
    EXPECT_EQ(in, (std::vector<int> {110, 121, 133, 146, 160, 176, 193, 212, 233, 256, 281, 309, 309, 309}));
    CProbeCmdUI enlarge(0), reduce(0);
    view.OnUpdateZoomIn(&enlarge);
    EXPECT_FALSE(enlarge.m_bOn);
    view.OnZoom100();
    EXPECT_EQ(view.ZoomPercent(), 100);
    for (int i = 0; i < 11; ++i) {
        view.OnZoomOut();
        out.push_back(view.ZoomPercent());
    }
    EXPECT_EQ(out, (std::vector<int> {90, 81, 73, 66, 60, 54, 49, 44, 40, 40, 40}));
    view.OnUpdateZoomOut(&reduce);
    EXPECT_FALSE(reduce.m_bOn);
    view.OnUpdateZoomIn(&enlarge);
    EXPECT_TRUE(enlarge.m_bOn);
}

// Before its first update the view has no parameter object: nothing it offers is enabled.
TEST_F(DaoViewTest, WithoutParameterObjectEveryUpdateHandlerDisables)
{
    CTestRecordView& view = MakeView(5, false);
    ASSERT_EQ(view.GetParam(), nullptr);
    CProbeCmdUI enlarge(0), reduce(0);
    view.OnUpdateZoomIn(&enlarge);
    view.OnUpdateZoomOut(&reduce);
    EXPECT_FALSE(enlarge.m_bOn);
    EXPECT_FALSE(reduce.m_bOn);
    for (UINT nID : {ID_RECORD_FIRST, ID_RECORD_LAST, ID_RECORD_NEXT, ID_RECORD_PREV})
        EXPECT_FALSE(Enabled(view, nID)) << nID;
    view.OnZoomIn();
    EXPECT_EQ(view.ZoomPercent(), 100);
}

TEST_F(DaoViewTest, RecordCommandsMoveAndTheirUpdatesFollow)
{
    CTestRecordView& view = MakeView();
    view.SetAllowAppend(FALSE);
    view.SendMessage(WM_COMMAND, ID_RECORD_LAST);
    EXPECT_EQ(CurrentRow(view), 5u);
    EXPECT_FALSE(Enabled(view, ID_RECORD_NEXT));
    EXPECT_FALSE(Enabled(view, ID_RECORD_LAST));
    EXPECT_TRUE(Enabled(view, ID_RECORD_FIRST));
    EXPECT_TRUE(Enabled(view, ID_RECORD_PREV));
    view.SendMessage(WM_COMMAND, ID_RECORD_PREV);
    EXPECT_EQ(CurrentRow(view), 4u);
    view.SendMessage(WM_COMMAND, ID_RECORD_FIRST);
    EXPECT_EQ(CurrentRow(view), 1u);
    EXPECT_FALSE(Enabled(view, ID_RECORD_FIRST));
    EXPECT_FALSE(Enabled(view, ID_RECORD_PREV));
    EXPECT_TRUE(Enabled(view, ID_RECORD_NEXT));
    EXPECT_TRUE(Enabled(view, ID_RECORD_LAST));
    view.SendMessage(WM_COMMAND, ID_RECORD_NEXT);
    EXPECT_EQ(CurrentRow(view), 2u);
}

TEST_F(DaoViewTest, MessagesReachTheGridPart)
{
    CTestRecordView& view = MakeView();
    // Erasing answers TRUE and draws nothing.
    CRecordingDC dc(100, 100);
    EXPECT_EQ(view.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc())), TRUE);
    EXPECT_TRUE(dc.Records().empty()) << dc.Dump();
    EXPECT_EQ(dc.GetPixel(50, 50), RGB(255, 255, 255));

    view.SetFocus();
    view.SendMessage(WM_KEYDOWN, VK_DOWN, 1);
    view.SendMessage(WM_KEYUP, VK_DOWN, 1);
    EXPECT_EQ(view.m_keys, (std::vector<UINT> {WM_KEYDOWN, WM_KEYUP}));
    EXPECT_EQ(view.m_keyWnds, (std::vector<HWND> {view.GetSafeHwnd(), view.GetSafeHwnd()}));
    EXPECT_EQ(CurrentRow(view), 2u);

    view.m_losingFocusSeen.clear();
    view.SendMessage(WM_KILLFOCUS);
    EXPECT_EQ(view.m_losingFocusSeen, std::vector<BOOL> {TRUE});
    EXPECT_FALSE(view.m_bLosingFocus);

    const int nBeeps = PvBeepCount();
    view.SendMessage(WM_COMMAND, ID_EDIT_REPEAT);
    EXPECT_EQ(PvBeepCount(), nBeeps + 1);

    // Nothing is being edited: validation passes.
    EXPECT_EQ(view.SendMessage(WM_GX_VALIDATE), 0);
    EXPECT_EQ(view.SendMessage(WM_GX_QUERYCELL), 1);
}

// The tab window locks drawing before a resize and unlocks it after: the whole view repaints.
TEST_F(DaoViewTest, RedrawUnlockRepaintsTheWholeView)
{
    CTestRecordView& view = MakeView();
    view.UpdateWindow();
    view.SendMessage(WM_GX_LOCKREDRAW, 1);
    EXPECT_TRUE(view.GetParam()->m_bLockRedraw);
    CRect rect;
    view.ValidateRect(nullptr);
    view.SendMessage(WM_GX_LOCKREDRAW, 0);
    EXPECT_FALSE(view.GetParam()->m_bLockRedraw);
    CRect client;
    view.GetClientRect(&client);
    ASSERT_TRUE(view.GetUpdateRect(&rect));
    EXPECT_EQ(rect, client);
}

// The first update binds the grid to the view and its document and gives the parameter object
// a printer set-up that the view uses.
TEST_F(DaoViewTest, FirstUpdateBindsAndSharesThePrinterSetup)
{
    CTestRecordView& view = MakeView();
    EXPECT_EQ(view.GetGridWnd(), &view);
    EXPECT_TRUE(view.m_bIsViewContext);
    EXPECT_TRUE(view.IsInitialized());
    ASSERT_NE(view.GetParam()->GetPrintDevice(), nullptr);
    EXPECT_EQ(view.CGXView::GetPrintDevice(), view.GetParam()->GetPrintDevice());
    EXPECT_EQ(view.GetScrollBarMode(SB_VERT), CGXDaoRecordView::kBarModeView);
    EXPECT_EQ(view.GetScrollBarMode(SB_HORZ), CGXDaoRecordView::kBarModeView);
    EXPECT_EQ(view.GetSplitter(), nullptr);
}

// Printing straight away uses the view's printer and leaves it as it was; the print dialog
// offers the grid's selection.
TEST_F(DaoViewTest, PreparingToPrintKeepsTheViewsPrinter)
{
    CTestRecordView& view = MakeView();
    CGXPrintDevice* pDevice = view.CGXView::GetPrintDevice();
    ASSERT_NE(pDevice, nullptr);
    PvPrinterSettings s;
    s.outputPath = (::testing::TempDir() + "pv-daoview-own.pdf").c_str();
    s.landscape = true;
    const std::vector<BYTE> names = PvMakeDevNames(s), mode = PvMakeDevMode(s);
    pDevice->CreateDeviceHandles(names.data(), DWORD(names.size()), mode.data(), DWORD(mode.size()));
    for (bool bPreview : {false, true}) {
        CPrintInfo info;
        info.m_bDirect = !bPreview;
        info.m_bPreview = bPreview;
        ASSERT_TRUE(view.OnPreparePrinting(&info));
        EXPECT_NE(info.m_pPD->m_pd.hDC, nullptr);
        EXPECT_EQ(info.m_pPD->m_pd.Flags & PD_NOSELECTION, 0u);
        EXPECT_TRUE(pDevice->CompareDeviceData(names.data(), DWORD(names.size()), mode.data(), DWORD(mode.size())));
    }
    CPrintDialog::PvSettings().outputPath.Empty();
}

TEST_F(DaoViewTest, LowerAndRightPanesStartWhereTheirNeighboursStand)
{
    MakeDb({DataTable(), FillData(300)});
    CSplitterWnd splitter;
    ASSERT_TRUE(splitter.CreateStatic(&m_frame, 2, 2));
    CCreateContext context;
    auto pane = [&](int r, int c) {
        CTestRecordView::s_pRecordset = &OpenRecordset("SELECT * FROM Data");
        EXPECT_TRUE(splitter.CreateView(r, c, RUNTIME_CLASS(CTestRecordView), CSize(300, 250), &context));
        auto* p = dynamic_cast<CTestRecordView*>(splitter.GetPane(r, c));
        if (p)
            p->OnInitialUpdate();
        return p;
    };
    CTestRecordView* pUpper = pane(0, 0);
    ASSERT_NE(pUpper, nullptr);
    pUpper->SetTopRow(40, GX_NOREDRAW);
    pUpper->SetLeftCol(2, GX_NOREDRAW);

    CTestRecordView* pLower = pane(1, 0);
    ASSERT_NE(pLower, nullptr);
    EXPECT_EQ(pLower->GetTopRow(), 40u);
    EXPECT_EQ(pLower->GetLeftCol(), 2u);
    EXPECT_EQ(pLower->GetScrollBarMode(SB_VERT), CGXDaoRecordView::kBarModeShared);
    EXPECT_EQ(pLower->GetScrollBarMode(SB_HORZ), CGXDaoRecordView::kBarModeShared);
    EXPECT_EQ(pLower->GetSplitter(), &splitter);
    EXPECT_FALSE(pLower->m_bFirstSplitterRow);
    EXPECT_TRUE(pLower->m_bFirstSplitterCol);
    pLower->SetTopRow(70, GX_NOREDRAW);

    // A right pane in the first row takes the left pane's rows and columns; one in the lower
    // row takes the row of the pane to its left and the columns of the pane above.
    CTestRecordView* pRight = pane(0, 1);
    ASSERT_NE(pRight, nullptr);
    EXPECT_EQ(pRight->GetTopRow(), 40u);
    EXPECT_EQ(pRight->GetLeftCol(), 2u);
    pRight->SetLeftCol(3, GX_NOREDRAW);
    CTestRecordView* pCorner = pane(1, 1);
    ASSERT_NE(pCorner, nullptr);
    EXPECT_EQ(pCorner->GetTopRow(), 70u);
    EXPECT_EQ(pCorner->GetLeftCol(), 3u);
    EXPECT_FALSE(pCorner->m_bFirstSplitterCol);
    splitter.DestroyWindow();
}

}  // namespace
