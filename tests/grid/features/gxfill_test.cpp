// The selection frame and its fill handle: dragging the handle repeats the source
// rows or columns, dragging back inside clears what is given up, whole-column and frozen starts
// do nothing, value-only fills keep formats; the frame's pieces for each handle position on a
// recording DC, and the screen after frame changes and a fill equals a full repaint.

#include <string>
#include <vector>

#include "../controls/gxgridfixture.h"
#include "grid/features/gxcmd.h"
#include "grid/features/gxfill.h"
#include "platform/gdi/recording.h"

namespace {

class FillTest : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        m_grid->GetParam()->m_bExcelLikeFrame = TRUE;
        m_grid->GetParam()->m_nFillFlags = 0x1;
        m_grid->GetParam()->ClearUndoList();
        PvPumpMessages();
    }
    void Put(ROWCOL r, ROWCOL c, LPCTSTR v) { m_grid->SetValueRange(CGXCellRange(r, c), v); }
    std::string V(ROWCOL r, ROWCOL c) { return std::string(LPCTSTR(Value(r, c))); }
    CGXGridExcelLikeFillImpl& Fill() { return *dynamic_cast<CGXGridExcelLikeFillImpl*>(m_grid->m_pExcelLikeFillImp); }
    CGXGridExcelLikeFrameImpl& Frame() { return *dynamic_cast<CGXGridExcelLikeFrameImpl*>(m_grid->m_pExcelLikeFrameImp); }
    CPoint Handle(ROWCOL r, ROWCOL c)
    {
        const CRect rect = m_grid->CellToRect(r, c);
        return CPoint(rect.right - 2, rect.bottom - 2);
    }
    CPoint Mid(ROWCOL r, ROWCOL c) { return m_grid->CellToRect(r, c).CenterPoint(); }
    // Presses the handle of the cell, moves to the point and releases there.
    void DragHandle(ROWCOL r, ROWCOL c, CPoint to)
    {
        const CPoint from = Handle(r, c);
        m_grid->OnGridLButtonDown(MK_LBUTTON, from);
        m_grid->OnGridMouseMove(MK_LBUTTON, CPoint((from.x + to.x) / 2, (from.y + to.y) / 2));
        m_grid->OnGridMouseMove(MK_LBUTTON, to);
        m_grid->OnGridLButtonUp(0, to);
    }
    void Select(const CGXCellRange& r) { m_grid->SetSelection(&r); }
    std::vector<COLORREF> Pixels() { return WindowPixels(620, 300, 1); }
    std::vector<COLORREF> Repainted() { return RepaintedPixels(620, 300, 1); }
};

TEST_F(FillTest, TheHandleIsHitAtTheFramesCorner)
{
    Select(CGXCellRange(2, 1, 3, 2));
    ROWCOL r = 0, c = 0;
    EXPECT_EQ(m_grid->HitTest(Handle(3, 2), &r, &c), int(GX_FILLHANDLEHIT));
    EXPECT_EQ(r, 3u);
    EXPECT_EQ(c, 2u);
}

TEST_F(FillTest, TwoRowsDraggedDownFiveRepeatAlternately)
{
    Put(2, 1, "a");
    Put(3, 1, "b");
    Put(2, 2, "1");
    Put(3, 2, "2");
    m_grid->GetParam()->ClearUndoList();
    Select(CGXCellRange(2, 1, 3, 2));
    DragHandle(3, 2, Mid(8, 2));
    const char* const col1[] = {"a", "b", "a", "b", "a"};
    const char* const col2[] = {"1", "2", "1", "2", "1"};
    for (ROWCOL r = 4; r <= 8; ++r) {
        EXPECT_EQ(V(r, 1), col1[r - 4]) << r;
        EXPECT_EQ(V(r, 2), col2[r - 4]) << r;
    }
    EXPECT_EQ(V(9, 1), "");
    EXPECT_EQ(m_grid->m_wStateFlags & kGXFillDragging, 0);
    // The filled range becomes the selection; the fill is one undo step.
    ASSERT_EQ(m_grid->GetParam()->m_SelRects.GetCount(), 1);
    EXPECT_TRUE(*m_grid->GetParam()->m_SelRects.GetRange(m_grid->GetParam()->m_SelRects.GetHeadPosition())
                == CGXCellRange(2, 1, 8, 2));
    EXPECT_EQ(m_grid->GetParam()->GetUndoList().GetCount(), 1);
    EXPECT_TRUE(m_grid->Undo());
    EXPECT_EQ(V(4, 1), "");
    EXPECT_EQ(V(8, 2), "");
}

TEST_F(FillTest, UpwardStartsFromTheSourcesTopRow)
{
    Put(10, 1, "x");
    Put(11, 1, "y");
    EXPECT_TRUE(m_grid->FillRange(CGXCellRange(7, 1, 11, 1), CGXCellRange(10, 1, 11, 1)));
    EXPECT_EQ(V(7, 1), "x");
    EXPECT_EQ(V(8, 1), "y");
    EXPECT_EQ(V(9, 1), "x");
    // And to the left, from the source's left column.
    Put(1, 5, "p");
    Put(1, 6, "q");
    EXPECT_TRUE(m_grid->FillRange(CGXCellRange(1, 2, 1, 6), CGXCellRange(1, 5, 1, 6)));
    EXPECT_EQ(V(1, 2), "p");
    EXPECT_EQ(V(1, 3), "q");
    EXPECT_EQ(V(1, 4), "p");
}

TEST_F(FillTest, DraggingBackInsideClearsWhatIsGivenUp)
{
    for (ROWCOL r = 2; r <= 5; ++r)
        Put(r, 1, "v");
    Select(CGXCellRange(2, 1, 5, 1));
    DragHandle(5, 1, Mid(3, 1));
    EXPECT_EQ(V(2, 1), "v");
    EXPECT_EQ(V(3, 1), "v");
    EXPECT_EQ(V(4, 1), "");
    EXPECT_EQ(V(5, 1), "");
}

TEST_F(FillTest, AWholeColumnOrFrozenStartDoesNothing)
{
    Put(2, 2, "c");
    const CGXCellRange cols = CGXCellRange().SetCols(2);
    Select(cols);
    EXPECT_FALSE(Fill().StartFill(m_grid.get(), 0, CPoint(), 3, 2));
    EXPECT_EQ(m_grid->m_wStateFlags & kGXFillDragging, 0);

    m_grid->SetFrozenRows(2);
    Select(CGXCellRange(1, 1, 2, 1));
    EXPECT_FALSE(Fill().StartFill(m_grid.get(), 0, CPoint(), 2, 1));
    DragHandle(2, 1, Mid(6, 1));
    EXPECT_EQ(V(4, 1), "");
}

TEST_F(FillTest, AValueOnlyFillKeepsTheFormats)
{
    SetStyle(2, 1, CGXStyle().SetValue("s").SetInteriorColor(RGB(200, 0, 0)));
    SetStyle(3, 1, CGXStyle().SetInteriorColor(RGB(0, 0, 200)));
    EXPECT_TRUE(m_grid->FillRange(CGXCellRange(2, 1, 3, 1), CGXCellRange(2, 1, 2, 1)));
    CGXStyle stored;
    ASSERT_TRUE(m_grid->FetchStoredStyle(3, 1, stored, gxCopy, 0));
    EXPECT_EQ(std::string(LPCTSTR(stored.GetValue())), "s");
    EXPECT_TRUE(stored.GetInterior() == CGXPackedBrush(GX_BS_SOLID, RGB(0, 0, 200)));
    // The style bit copies the format too.
    m_grid->GetParam()->m_nFillFlags = 0x2;
    EXPECT_TRUE(m_grid->FillRange(CGXCellRange(2, 1, 4, 1), CGXCellRange(2, 1, 2, 1)));
    CGXStyle styled;
    ASSERT_TRUE(m_grid->FetchStoredStyle(4, 1, styled, gxCopy, 0));
    EXPECT_TRUE(styled.GetInterior() == CGXPackedBrush(GX_BS_SOLID, RGB(200, 0, 0)));
    EXPECT_EQ(std::string(LPCTSTR(styled.GetValue())), "s");
    // Neither bit: nothing.
    m_grid->GetParam()->m_nFillFlags = 0;
    EXPECT_FALSE(m_grid->FillRange(CGXCellRange(2, 1, 6, 1), CGXCellRange(2, 1, 2, 1)));
    EXPECT_EQ(V(5, 1), "");
}

std::string Rects(const std::vector<PvGdiRecord>& records)
{
    std::string s;
    for (const PvGdiRecord& r : records)
        s += "(" + std::to_string(r.rect.left) + "," + std::to_string(r.rect.top) + "," + std::to_string(r.rect.right) +
             "," + std::to_string(r.rect.bottom) + ")";
    return s;
}

TEST_F(FillTest, FramePiecesForEachHandlePosition)
{
    const CRect f(20, 10, 60, 40);  // L T R B
    const CRect clip(0, 0, 200, 200);
    struct Case {
        int nHandle;
        std::string handle;
    };
    const std::string frame =
        "(19,9,62,10)(22,12,58,13)(19,10,20,42)(22,13,23,38)(20,40,60,42)(60,10,62,42)(22,38,58,39)(58,12,59,39)";
    const Case cases[] = {
        {0, "(59,38,62,43)(58,39,63,42)(62,42,63,43)"},
        {2, "(22,39,27,42)(23,37,27,38)(21,38,26,43)(21,42,22,43)"},
        {7, "(59,12,62,17)(57,13,58,17)(58,11,63,16)(62,11,63,12)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nHandle);
        CRecordingDC dc(200, 200);
        Frame().DrawFramePiece(m_grid.get(), &dc, clip, f, TRUE, TRUE, c.nHandle, FALSE);
        EXPECT_EQ(Rects(dc.Find("InvertRect")), frame + c.handle);
        dc.ClearRecords();
        Frame().DrawFramePiece(m_grid.get(), &dc, clip, f, TRUE, TRUE, c.nHandle, TRUE);
        EXPECT_EQ(Rects(dc.Find("InvertRect")), c.handle) << "the handle alone";
    }
    // Clipped to the pane: nothing outside it is inverted.
    CRecordingDC dc(200, 200);
    Frame().DrawFramePiece(m_grid.get(), &dc, CRect(0, 0, 40, 200), f, TRUE, TRUE, 0, FALSE);
    for (const PvGdiRecord& r : dc.Find("InvertRect"))
        EXPECT_LE(r.rect.right, 40) << Rects({r});
    EXPECT_EQ(CGXGridExcelLikeFrameImpl::HandleCode(CGXCellRange(1, 1, 2, 2)), 0);
    EXPECT_EQ(CGXGridExcelLikeFrameImpl::HandleCode(CGXCellRange().SetRows(1, 2)), 2);
    EXPECT_EQ(CGXGridExcelLikeFrameImpl::HandleCode(CGXCellRange().SetCols(1, 2)), 7);
}

TEST_F(FillTest, PixelsEqualARepaintAfterFrameChangesAndAFill)
{
    Put(2, 1, "a");
    Put(3, 1, "b");
    const std::vector<COLORREF> before = Pixels();
    Select(CGXCellRange(2, 1, 3, 2));
    std::vector<COLORREF> framed = Pixels();
    EXPECT_NE(framed, before) << "the frame shows";
    EXPECT_EQ(framed, Repainted());
    Select(CGXCellRange(4, 3, 6, 4));
    EXPECT_EQ(Pixels(), Repainted()) << "the old frame is undone exactly";
    const CGXCellRange rows = CGXCellRange().SetRows(5, 6);
    Select(rows);
    EXPECT_EQ(Pixels(), Repainted());
    const CGXCellRange cols = CGXCellRange().SetCols(2);
    Select(cols);
    EXPECT_EQ(Pixels(), Repainted());
    Select(CGXCellRange(2, 1, 3, 1));
    // While dragging, the double focus rectangle comes and goes exactly.
    const std::vector<COLORREF> still = Pixels();
    const CPoint from = Handle(3, 1);
    m_grid->OnGridLButtonDown(MK_LBUTTON, from);
    m_grid->OnGridMouseMove(MK_LBUTTON, Mid(6, 1));
    EXPECT_NE(Pixels(), still);
    m_grid->OnGridMouseMove(MK_LBUTTON, Mid(8, 1));
    m_grid->OnGridMouseMove(MK_LBUTTON, Mid(7, 1));
    m_grid->OnGridLButtonUp(0, Mid(7, 1));
    EXPECT_EQ(V(6, 1), "a");
    EXPECT_EQ(V(7, 1), "b");
    EXPECT_EQ(V(8, 1), "");
    EXPECT_EQ(Pixels(), Repainted()) << "after the fill";
    // Hiding the frame takes it away; showing brings it back.
    EXPECT_FALSE(m_grid->LockExcelLikeFrame(TRUE));
    const std::vector<COLORREF> hidden = Pixels();
    EXPECT_EQ(hidden, Repainted());
    EXPECT_TRUE(m_grid->LockExcelLikeFrame(FALSE));
    EXPECT_EQ(Pixels(), Repainted());
    EXPECT_NE(Pixels(), hidden);
}

TEST_F(FillTest, ACancelDrawsNoTargetAndFillsNothing)
{
    Put(2, 1, "a");
    Select(CGXCellRange(2, 1));
    m_grid->OnGridLButtonDown(MK_LBUTTON, Handle(2, 1));
    m_grid->OnGridMouseMove(MK_LBUTTON, Mid(5, 1));
    m_wnd.SendMessage(WM_CANCELMODE);
    EXPECT_EQ(Pixels(), Repainted()) << "the target's rectangle is gone";
    m_grid->OnGridLButtonUp(0, Mid(5, 1));
    EXPECT_EQ(V(4, 1), "");
}

}  // namespace
