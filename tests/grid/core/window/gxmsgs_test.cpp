// Window messages of the grid and its hosts: sizing, dialog codes, the redraw lock, plug-ins,
// a grid control in a dialog template, and keys the grid leaves to the default processing.

#include "gridwnd_fixture.h"

#include "grid/core/gxprop.h"
#include "grid/core/gxview.h"
#include "platform/ui/dialog.h"
#include "platform/ui/frame.h"
#include "platform/ui/resources.h"

namespace {

using MessageTest = GridWindowTest;

TEST_F(MessageTest, GrowingToTheRightRepaintsOnlyTheNewStrip)
{
    auto* pFrame = new CFrameWnd;  // deletes itself with its window
    ASSERT_TRUE(pFrame->Create(nullptr, "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 1200, 800)));
    auto grid = std::make_unique<CTestGridWnd>();
    grid->m_nRows = 100;
    grid->m_nCols = 20;
    ASSERT_TRUE(grid->CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 400), pFrame, 100));
    grid->Initialize();
    // A size seen while the grid is shown is what the next resize compares with.
    grid->MoveWindow(0, 0, 601, 400);
    grid->UpdateWindow();
    // The old right edge less a scroll bar's width cuts through this column.
    int nLeft = 0;
    ASSERT_NE(grid->ViewColAtX(601 - GetSystemMetrics(SM_CXVSCROLL), &nLeft), CGXGridCore::GX_INVALID);
    grid->m_paintClips.clear();
    grid->MoveWindow(0, 0, 800, 400);
    grid->UpdateWindow();
    ASSERT_FALSE(grid->m_paintClips.empty());
    for (const CRect& clip : grid->m_paintClips) {
        SCOPED_TRACE(testing::Message() << clip.left << "," << clip.top << "," << clip.right << "," << clip.bottom);
        EXPECT_GE(clip.left, nLeft);
        EXPECT_EQ(clip.right, 800);
    }
    grid.reset();
    pFrame->DestroyWindow();
}

TEST_F(MessageTest, DialogCodeAddsArrowsTabAndCharacters)
{
    CTestGridWnd& grid = MakeGrid(10, 5);
    const LRESULT code = grid.SendMessage(WM_GETDLGCODE);
    EXPECT_EQ(code & 0x83, 0x83);
}

TEST_F(MessageTest, UnlockingRedrawInvalidatesEverything)
{
    CTestGridWnd& grid = MakeGrid(10, 5);
    grid.SendMessage(WM_GX_LOCKREDRAW, 1);
    EXPECT_TRUE(grid.GetParam()->m_bLockRedraw);
    grid.ValidateRect(nullptr);
    grid.SendMessage(WM_GX_LOCKREDRAW, 0);
    EXPECT_FALSE(grid.GetParam()->m_bLockRedraw);
    CRect update;
    ASSERT_TRUE(grid.GetUpdateRect(&update));
    EXPECT_EQ(update, CRect(0, 0, 600, 400));
}

struct RecordingPlugin : CGXPluginComponent {
    RecordingPlugin(std::vector<int>& log, int id, BOOL bHandle, BOOL bSkip = FALSE)
        : m_log(log), m_id(id), m_bHandle(bHandle), m_bSkip(bSkip)
    {
    }
    BOOL HandlePluginMessage(UINT message, WPARAM, LPARAM, LRESULT& result, BOOL& bSkipOthers) override
    {
        if (message != WM_USER + 7)
            return FALSE;
        m_log.push_back(m_id);
        result = m_id * 100;
        bSkipOthers = m_bSkip;
        return m_bHandle;
    }
    std::vector<int>& m_log;
    int m_id;
    BOOL m_bHandle, m_bSkip;
};

TEST_F(MessageTest, PluginsSeeMessagesInOrderUntilOneHandlesIt)
{
    std::vector<int> log;
    RecordingPlugin first(log, 1, FALSE), second(log, 2, TRUE), third(log, 3, TRUE);
    CTestGridWnd& grid = MakeGrid(10, 5);
    grid.AddPlugin(&first);
    grid.AddPlugin(&second);
    grid.AddPlugin(&third);
    EXPECT_EQ(grid.SendMessage(WM_USER + 7), 200);
    EXPECT_EQ(log, (std::vector<int> {1, 2}));

    // A plug-in that stops the walk without handling leaves the message to the window.
    log.clear();
    first.m_bSkip = TRUE;
    EXPECT_EQ(grid.SendMessage(WM_USER + 7), 0);
    EXPECT_EQ(log, (std::vector<int> {1}));
}

// Keys the core leaves go on to the default window processing (dialog navigation relies on it).
class CKeyLogGridWnd : public CTestGridWnd {
public:
    std::vector<UINT> m_defaults;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SYSCHAR || message == WM_KEYDOWN)
            m_defaults.push_back(message);
        return CTestGridWnd::DefWindowProc(message, wParam, lParam);
    }
};

TEST_F(MessageTest, KeysTheGridLeavesReachTheDefaultProcessing)
{
    CKeyLogGridWnd grid;
    ASSERT_TRUE(grid.CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), m_frame.get(), 7));
    grid.Initialize();
    grid.SendMessage(WM_SYSCHAR, 'o', 1 << 29);
    EXPECT_EQ(grid.m_defaults, (std::vector<UINT> {WM_SYSCHAR}));
    grid.DestroyWindow();
}

constexpr UINT IDD_GRIDDIALOG = 9100;
constexpr UINT IDC_GRID = 9101;
const PvDialogItemTemplate kGridDialogItems[] = {
    {"CGXGridWnd", "", IDC_GRID, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 4, 4, 200, 120},
    {"BUTTON", "&OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 4, 130, 50, 14},
};
const PvDialogTemplate kGridDialog = {WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 0, 220, 150, "Grid", nullptr, 0,
                                      kGridDialogItems, std::size(kGridDialogItems)};

TEST_F(MessageTest, GridControlInADialogTemplateIsAWorkingGridDeletedWithItsWindow)
{
    WNDCLASS wc {};
    ASSERT_TRUE(GetClassInfo(AfxGetInstanceHandle(), "CGXGridWnd", &wc));
    EXPECT_EQ(wc.style, 0x4008u);
    PvRegisterDialog(IDD_GRIDDIALOG, kGridDialog);
    const size_t before = CGXGridWnd::GetAutoDeleteCount();
    CDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_GRIDDIALOG, m_frame.get()));
    auto* pGrid = dynamic_cast<CGXGridWnd*>(CWnd::FromHandlePermanent(dialog.GetDlgItem(IDC_GRID)->GetSafeHwnd()));
    ASSERT_NE(pGrid, nullptr);
    EXPECT_EQ(CGXGridWnd::GetAutoDeleteCount(), before + 1);
    pGrid->Initialize();
    pGrid->GetData()->SetRowCount(20);
    pGrid->GetData()->SetColCount(4);
    std::vector<PvGdiRecord> records;
    PvSetGlobalGdiRecorder(&records);
    pGrid->Invalidate();
    pGrid->UpdateWindow();
    PvSetGlobalGdiRecorder(nullptr);
    bool header = false;
    for (const PvGdiRecord& r : records)
        header = header || r.text == "A";
    EXPECT_TRUE(header) << "the grid painted its column headers";
    dialog.DestroyWindow();
    EXPECT_EQ(CGXGridWnd::GetAutoDeleteCount(), before);
}

}  // namespace

namespace {

class CTestGridView : public CGXView {
public:
    void OnDraw(CDC*) override {}
};

TEST_F(MessageTest, GridViewOwnsItsPrintDeviceAsToldAndAnswersItsMessages)
{
    auto* pView = new CTestGridView;  // a view deletes itself with its window
    CTestGridView& view = *pView;
    ASSERT_TRUE(view.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), m_frame.get(),
                              AFX_IDW_PANE_FIRST));
    CGXPrintDevice shared;
    view.SetPrintDevice(new CGXPrintDevice, TRUE);
    view.SetPrintDevice(&shared, FALSE);  // the owned one goes
    EXPECT_EQ(view.GetPrintDevice(), &shared);
    view.SetPrintDevice(new CGXPrintDevice, TRUE);
    view.OnInitialUpdate();  // and so does this one
    EXPECT_EQ(view.GetPrintDevice(), nullptr);
    EXPECT_EQ(view.SendMessage(WM_GX_QUERYCELL), 1);
    EXPECT_EQ(view.SendMessage(WM_GX_TABNAME), 0);
    view.DestroyWindow();
}

}  // namespace
