// Two grid views over one document in a splitter follow each other through hints, and row
// changes repaint only the strips that change.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxview.h"
#include "grid/features/gxhint.h"
#include "platform/gdi/gdiobj.h"
#include "platform/ui/document.h"
#include "platform/ui/frame.h"
#include "platform/ui/splitter.h"
#include "platform/win/pvwin.h"
#include "platform/win/win.h"

// The window system's update region of a window (declared here; the layer defines it).
int GetUpdateRgn(HWND hWnd, HRGN hRgn, BOOL bErase);

namespace {

class CTwoPaneDoc : public CDocument {
public:
    CGXGridParam m_param;
};

// A grid view: the view is the grid's window and passes the document's hints to its grid.
class CPaneGridView : public CGXView, public CGXGridCore {
    DECLARE_DYNCREATE(CPaneGridView)
public:
    CPaneGridView() : CGXGridCore(nullptr, nullptr, TRUE) {}
    void OnInitialUpdate() override
    {
        auto* pDoc = static_cast<CTwoPaneDoc*>(CGXView::GetDocument());
        SetGridWnd(this, pDoc, TRUE);
        AttachParam(&pDoc->m_param, FALSE);
        Initialize();
        EnableUpdateHints(TRUE);
        CGXView::OnInitialUpdate();
    }
    void OnDraw(CDC* pDC) override { OnGridDraw(pDC); }
    void OnUpdate(CView*, LPARAM, CObject* pHint) override
    {
        ++m_nHints;
        if (!ProcessHint(pHint))
            Invalidate();
    }
    BOOL StoreCurrentCellEdit(BOOL bSave = TRUE, UINT flags = GX_UPDATENOW, BOOL bCreateHint = TRUE) override
    {
        return !m_bRefuseStore && CGXGridCore::StoreCurrentCellEdit(bSave, flags, bCreateHint);
    }
    void ScrollWindowContents(int dx, int dy, const CRect* pRect) override
    {
        ++m_nScrolls;
        CGXGridCore::ScrollWindowContents(dx, dy, pRect);
    }
    int m_nHints = 0;
    int m_nScrolls = 0;
    BOOL m_bRefuseStore = FALSE;
};
IMPLEMENT_DYNCREATE(CPaneGridView, CGXView)

class HintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        InitGridLibraryWithFactory();
        m_pDoc = std::make_unique<CTwoPaneDoc>();
        m_pDoc->m_bAutoDelete = FALSE;  // the test owns it
        m_pFrame = new CFrameWnd;  // a frame deletes itself with its window
        ASSERT_TRUE(m_pFrame->CreateEx(0, AfxRegisterWndClass(0), "Two panes", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                       500, 520, nullptr, nullptr));
        CCreateContext ctx;
        ctx.m_pCurrentDoc = m_pDoc.get();
        ASSERT_TRUE(m_splitter.CreateStatic(m_pFrame, 2, 1, WS_CHILD | WS_VISIBLE, AFX_IDW_PANE_FIRST));
        ASSERT_TRUE(m_splitter.CreateView(0, 0, RUNTIME_CLASS(CPaneGridView), CSize(500, 240), &ctx));
        ASSERT_TRUE(m_splitter.CreateView(1, 0, RUNTIME_CLASS(CPaneGridView), CSize(500, 240), &ctx));
        m_splitter.MoveWindow(0, 0, 480, 480);
        m_splitter.RecalcLayout();
        a = dynamic_cast<CPaneGridView*>(m_splitter.GetPane(0, 0));
        b = dynamic_cast<CPaneGridView*>(m_splitter.GetPane(1, 0));
        ASSERT_TRUE(a && b);
        a->OnInitialUpdate();
        b->OnInitialUpdate();
        a->SetRowCount(30);
        a->SetColCount(4);
        for (ROWCOL r = 1; r <= 30; ++r)
            a->SetValueRange(CGXCellRange(r, 1), ("Row " + std::to_string(r)).c_str());
        Paint();
        a->m_nHints = b->m_nHints = 0;
    }
    void TearDown() override
    {
        if (m_pFrame && ::IsWindow(m_pFrame->GetSafeHwnd()))
            m_pFrame->DestroyWindow();
        m_pDoc.reset();
    }
    void Paint()
    {
        a->UpdateWindow();
        b->UpdateWindow();
        PvPumpMessages();
    }
    // Whether the point of the view waits to be painted.
    static bool Invalid(CWnd* pWnd, int x, int y)
    {
        CRgn rgn;
        rgn.CreateRectRgn(0, 0, 0, 0);
        ::GetUpdateRgn(pWnd->GetSafeHwnd(), rgn, FALSE);
        return rgn.PtInRegion(x, y);
    }
    static bool AnyInvalid(CWnd* pWnd)
    {
        CRect r;
        return pWnd->GetUpdateRect(&r) && !r.IsRectEmpty();
    }

    std::unique_ptr<CTwoPaneDoc> m_pDoc;
    CFrameWnd* m_pFrame = nullptr;
    CSplitterWnd m_splitter;
    CPaneGridView* a = nullptr;
    CPaneGridView* b = nullptr;
};

TEST_F(HintTest, RowsInsertedInOnePaneAppearInTheOther)
{
    ASSERT_TRUE(b->PlaceCurrentCell(5, 1));
    ASSERT_TRUE(a->InsertRows(2, 2));
    EXPECT_GE(b->m_nHints, 1);
    EXPECT_EQ(a->m_nHints, 0) << "the sender is not told";
    ROWCOL r = 0, c = 0;
    ASSERT_TRUE(b->QueryCurrentCell(r, c));
    EXPECT_EQ(r, 7u) << "the other pane's current cell follows its row";
    Paint();
    EXPECT_STREQ(b->CellValueText(4, 1), "Row 2");
    if (const char* dir = std::getenv("PV_TEST_SCREENSHOT_DIR"))
        PvWriteScreenshot((std::string(dir) + "/two_panes.png").c_str());
    EXPECT_FALSE(AnyInvalid(b));
}

TEST_F(HintTest, AddressesAndSwitches)
{
    struct Case {
        const char* name;
        int nGridId;
        BOOL bApplied;
    };
    const Case cases[] = {{"own id", 0, TRUE}, {"every grid", -1, TRUE}, {"foreign id", 7, FALSE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CGXGridHint hint(gxHintRedraw, c.nGridId);
        hint.m_nValue1 = GX_INVALIDATE;
        Paint();
        EXPECT_EQ(b->ProcessHint(&hint), c.bApplied);
        EXPECT_EQ(AnyInvalid(b), bool(c.bApplied));
    }
    CObject notAHint;
    EXPECT_FALSE(b->ProcessHint(&notAHint));

    // Hints switched off reach nothing.
    a->EnableUpdateHints(FALSE);
    a->InsertRows(2, 1);
    a->SetValueRange(CGXCellRange(1, 2), "x");
    EXPECT_EQ(b->m_nHints, 0);
    a->EnableUpdateHints(TRUE);
    a->SetValueRange(CGXCellRange(1, 2), "y");
    EXPECT_EQ(b->m_nHints, 1);
    EXPECT_EQ(a->m_nHints, 0) << "a received hint is never sent back";
}

TEST_F(HintTest, StoringTheEditFailsWhenTheOtherPaneRefuses)
{
    EXPECT_TRUE(a->StoreCurrentCellEdit(TRUE));
    b->m_bRefuseStore = TRUE;
    EXPECT_FALSE(a->StoreCurrentCellEdit(TRUE));
    EXPECT_FALSE(a->RemoveRows(1, 1)) << "the removal stores the edits first";
    EXPECT_EQ(a->RowCount(), 30u);
    b->m_bRefuseStore = FALSE;
}

TEST_F(HintTest, InsertingAboveTheTopRowRepaintsNothing)
{
    a->EnableUpdateHints(FALSE);
    a->SetTopRow(10, GX_INVALIDATE);
    Paint();
    ASSERT_TRUE(a->InsertRows(3, 2, nullptr, nullptr, nullptr, 0, GX_SMART));
    EXPECT_EQ(a->GetTopRow(), 12u) << "the same rows stay on screen";
    EXPECT_FALSE(AnyInvalid(a));
    EXPECT_EQ(a->m_nScrolls, 0);
}

TEST_F(HintTest, RemovingVisibleRowsScrollsAndRepaintsTheStrips)
{
    a->EnableUpdateHints(FALSE);
    const CRect area = a->GetDrawingArea();
    const int x = a->ColLeftX(2) + 5;  // inside a data column
    const int yRemoved = a->RowTopY(3);
    const int nHeights = a->RowHeight(3) + a->RowHeight(4);
    const int yMiddle = (yRemoved + area.bottom - nHeights) / 2;
    ASSERT_LT(yRemoved, yMiddle);

    ASSERT_TRUE(a->RemoveRows(3, 4, GX_SMART));
    EXPECT_EQ(a->m_nScrolls, 1) << "scrolled once";
    EXPECT_TRUE(Invalid(a, x, area.bottom - nHeights / 2)) << "the uncovered strip";
    EXPECT_FALSE(Invalid(a, x, yMiddle)) << "the rows moved up are not repainted";
    Paint();

    a->m_nScrolls = 0;
    ASSERT_TRUE(a->RemoveRows(3, 4, GX_INVALIDATE | GX_SMART));
    EXPECT_EQ(a->m_nScrolls, 0);
    EXPECT_TRUE(Invalid(a, x, yMiddle)) << "flag 1: everything below";
    EXPECT_FALSE(Invalid(a, x, yRemoved - 2));
}

}  // namespace

namespace {

TEST_F(HintTest, ASortInOnePaneShowsInTheOther)
{
    CGXSortInfoArray keys;
    keys.SetSize(1);
    keys[0] = GXSortInfo {};
    keys[0].nRC = 1;
    keys[0].sortType = 1;
    keys[0].sortOrder = 1;
    Paint();
    ASSERT_TRUE(a->SortRows(CGXCellRange().SetTable(), keys, GX_INVALIDATE));
    EXPECT_GE(b->m_nHints, 1);
    EXPECT_EQ(a->m_nHints, 0);
    EXPECT_TRUE(AnyInvalid(b)) << "the other pane redraws";
    Paint();
    EXPECT_STREQ(b->CellValueText(1, 1), "Row 9");
}

}  // namespace

namespace {

TEST_F(HintTest, RowsSizedToFitReachTheOtherPaneAsOneHint)
{
    for (ROWCOL r = 1; r <= 30; ++r)
        a->SetStyleRange(CGXCellRange(r, 1), CGXStyle().SetWrapText(TRUE).SetValue("A text long enough to wrap in its cell"));
    a->SetColWidths(1, 1, 60);
    Paint();
    b->m_nHints = 0;
    const int nBefore = b->RowHeight(5);
    ASSERT_TRUE(a->ResizeRowHeightsToFit(CGXCellRange().SetRows(1, 30)));
    EXPECT_GT(b->RowHeight(5), nBefore) << "the sizes live in the shared parameter object";
    EXPECT_EQ(b->m_nHints, 1) << "one hint for the whole range";
    EXPECT_EQ(a->m_nHints, 0);
}

}  // namespace
