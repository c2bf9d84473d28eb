// The record grids' parameter archive, their row header markers and counting on a large table.

#include "recgrid_fixture.h"

#include "grid/record/gxrowhdr.h"
#include "tests/grid/core/gxtesthelp.h"

namespace {

using RecordParamTest = RecordGridTest;

// Whether the rectangle of the DC holds a pixel of the colour.
bool HasColor(CRecordingDC& dc, const CRect& rect, COLORREF color)
{
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            if (dc.GetPixel(x, y) == color)
                return true;
    return false;
}

TEST_F(RecordParamTest, RowHeaderMarksCurrentEditingAndAppendRows)
{
    MakeDb({DataTable(), FillData(3)});
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM Data"));
    const COLORREF black = RGB(0, 0, 0), yellow = RGB(255, 255, 0), navy = RGB(0, 0, 128);
    auto dc = Paint();
    EXPECT_TRUE(HasColor(*dc, grid.CellToRect(1, 0), black));   // current record
    EXPECT_FALSE(HasColor(*dc, grid.CellToRect(2, 0), black));
    EXPECT_TRUE(HasColor(*dc, grid.CellToRect(4, 0), navy));    // append row

    Store(1, 2, "Doe");
    dc = Paint();
    EXPECT_TRUE(HasColor(*dc, grid.CellToRect(1, 0), yellow));  // being edited
    grid.DiscardRecordEdit();

    Store(4, 2, "New");
    ASSERT_EQ(grid.EditMode(), DWORD(gxAddNewRecord));
    dc = Paint();
    EXPECT_TRUE(HasColor(*dc, grid.CellToRect(4, 0), yellow));  // the new record
    EXPECT_TRUE(HasColor(*dc, grid.CellToRect(5, 0), navy));    // and the append row below it
    grid.DiscardRecordEdit();

    // A header too small for the marker shows none.
    grid.SetRowHeights(1, 1, 5);
    dc = Paint();
    EXPECT_FALSE(HasColor(*dc, grid.CellToRect(1, 0), black));
}

TEST_F(RecordParamTest, ArchiveKeepsColumnOrderAndRefusesNewerSchemas)
{
    MakeDb({DataTable(), FillData(3)});
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM Data"));
    CGXDaoParam& param = Param();
    param.m_ColOrder.SetSize(3);
    param.m_ColOrder[1] = 3;
    param.m_ColOrder[2] = 1;
    param.SetPlainBinaryCells(0);
    const Bytes bytes = StoreBytes([&](CArchive& ar) { ar << static_cast<const CObject*>(&param); });

    std::unique_ptr<CGXDaoParam> loaded;
    LoadBytes(bytes, [&](CArchive& ar) { loaded.reset(static_cast<CGXDaoParam*>(ar.ReadObject(RUNTIME_CLASS(CGXDaoParam)))); });
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->m_ColOrder.GetSize(), 3);
    EXPECT_EQ(loaded->m_ColOrder[1], 3u);
    EXPECT_EQ(loaded->m_ColOrder[2], 1u);
    EXPECT_EQ(loaded->GetPlainBinaryCells(), 0u);
    EXPECT_TRUE(loaded->m_bHeaderSetupDone);
    // The base styles are found again by their names' string ids.
    const CGXStylesMap* pMap = loaded->GetStylesMap();
    ASSERT_NE(pMap, nullptr);
    for (int i = 0; i < gxDaoStyleCount; ++i)
        EXPECT_EQ(loaded->m_awFieldStyleIds[i], pMap->LookupStyleIdByResource(GX_IDS_STYLE_DAO_FIRST + UINT(i)));

    // The DAO part's schema word sits before PlainBinaryCells and the three-entry order.
    Bytes newer = bytes;
    const size_t at = newer.size() - (2 + 4 + 2 + 3 * 4);
    ASSERT_EQ(newer[at], 2);
    newer[at] = 3;
    try {
        LoadBytes(newer, [&](CArchive& ar) { delete ar.ReadObject(RUNTIME_CLASS(CGXDaoParam)); });
        ADD_FAILURE() << "a newer schema was read";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::badSchema);
    }
    (void)grid;
}

TEST_F(RecordParamTest, ThumbDragsOnALargeTableFetchBlocksAndReadFewFields)
{
    MakeDb({DataTable(), FillData(100000)});
    auto& rs = OpenRecordset<CCountingRecordset>("SELECT * FROM Data");
    CGXDaoGrid& grid = MakeGrid(&rs);
    Paint();
    const long nScreen = long(grid.LastVisibleRow() - grid.GetTopRow() + 1) * 4;
    for (int i = 0; i < 3; ++i) {
        int nMin = 0, nMax = 0;
        grid.GetGridScrollRange(SB_VERT, nMin, nMax);
        grid.OnGridVScroll(SB_THUMBTRACK, UINT(nMax), nullptr);
        grid.OnGridVScroll(SB_THUMBPOSITION, UINT(nMax), nullptr);
        Paint();
    }
    EXPECT_FALSE(Param().m_bLastRecordSeen);
    EXPECT_LE(Param().m_nLastFetchedRecord + 1, 2500);
    EXPECT_GE(Param().m_nLastFetchedRecord + 1, 1000);
    // Each paint reads the fields of one screen.
    EXPECT_LE(rs.m_nFieldReads, 6 * nScreen);
}

}  // namespace
