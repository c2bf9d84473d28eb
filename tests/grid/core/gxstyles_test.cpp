#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxstate.h"
#include "platform/win/pvwin.h"

namespace {

// A grid over its own parameter object with rows x cols cells and the library ready.
struct TestGrid : CGXGridCore {
    explicit TestGrid(ROWCOL nRows = 20, ROWCOL nCols = 10)
    {
        InitGridLibrary(nullptr);
        Initialize();
        GetData()->SetRowCount(nRows);
        GetData()->SetColCount(nCols);
    }
    void SetCurrentCell(ROWCOL nRow, ROWCOL nCol)
    {
        m_bHasCurrentCell = TRUE;
        m_nCurrentRow = nRow;
        m_nCurrentCol = nCol;
    }
};

// Counts the commands the grid records; owns what it is given.
struct StubCommandFactory : CGXAbstractCommandFactory {
    int nCommands = 0;
    std::vector<CObArray*> arrays;
    ~StubCommandFactory() override
    {
        for (CObArray* p : arrays) {
            for (INT_PTR i = 0; i < p->GetSize(); ++i)
                delete p->GetAt(i);
            delete p;
        }
    }
    CGXCommand* CreateSetStyleRangeCmd(const CGXCellRange&, int, CObArray* pOld) override
    {
        arrays.push_back(pOld);
        return reinterpret_cast<CGXCommand*>(this);  // a token; the stub records, never runs it
    }
    void AddCommand(CGXGridCore*, CGXCommand*, int) override { ++nCommands; }
};

// Trips the abort check at its nth call (counted over the whole operation), once.
struct AbortAtCall : CGXAbstractLongOperationImp {
    int nAbortAt;
    BOOL bRollback;
    int nCalls = 0;
    AbortAtCall(int n, BOOL b) : nAbortAt(n), bRollback(b) {}
    void Start(CGXLongOperation*) override { ++GXGetLongOperationState().m_nDepth; }
    void End(CGXLongOperation*) override { --GXGetLongOperationState().m_nDepth; }
    void FreeLevelText(CGXLongOperation*) override {}
    void SetStatusText(CGXLongOperation*, LPCTSTR, BOOL) override {}
    BOOL ProcessMessagesQueryAbort(CGXLongOperation*, BOOL& bAbort) override
    {
        bAbort = ++nCalls == nAbortAt;
        if (bAbort)
            GXGetLongOperationState().m_bRollbackRequested = bRollback;
        return TRUE;
    }
    BOOL ProcessMessages(CGXLongOperation*) override { return TRUE; }
    void PumpMessages(CGXLongOperation*) override {}
};

struct LongOpImpScope {
    explicit LongOpImpScope(CGXAbstractLongOperationImp* p) { GXGetLongOperationState().m_pImp = p; }
    ~LongOpImpScope()
    {
        GXGetLongOperationState().m_pImp = nullptr;
        GXGetLongOperationState().m_bRollbackRequested = FALSE;
    }
};

CGXStyle Aligned(DWORD n) { return CGXStyle().SetHorizontalAlignment(n); }

// ---- Composition ----

TEST(GXStyleComposition, HeadersLettersNumbersAndTheCorner)
{
    TestGrid grid;
    CGXStyle colHeader, rowHeader;
    colHeader.SetTextColor(RGB(255, 0, 0));
    rowHeader.SetTextColor(RGB(0, 0, 255));
    grid.LookupColumnHeaderStyle()->ChangeStyle(colHeader, gxOverride);
    grid.LookupRowHeaderStyle()->ChangeStyle(rowHeader, gxOverride);
    struct Case {
        const char* name;
        ROWCOL row, col;
        const char* value;
        COLORREF color;
    };
    const Case cases[] = {
        {"corner: Column Header first", 0, 0, "", RGB(255, 0, 0)},
        {"column 1", 0, 1, "A", RGB(255, 0, 0)},
        {"column 26", 0, 26, "Z", RGB(255, 0, 0)},
        {"column 27", 0, 27, "AA", RGB(255, 0, 0)},
        {"column 28", 0, 28, "AB", RGB(255, 0, 0)},
        {"column 703", 0, 703, "AAA", RGB(255, 0, 0)},
        {"row 12", 12, 0, "12", RGB(0, 0, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CGXStyle style;
        grid.ComposeCellStyle(c.row, c.col, style);
        EXPECT_STREQ(style.GetValue(), c.value);
        EXPECT_EQ(style.GetTextColor(), c.color);
    }
}

TEST(GXStyleComposition, TheNearestLevelWins)
{
    struct Case {
        const char* name;
        bool cell, row, col, table;
        DWORD expected;
    };
    // Levels set: cell 1, row 2, column 3 (as right alignment needs), table 0 over Standard's.
    const Case cases[] = {
        {.name = "cell", .cell = true, .row = true, .col = true, .table = true, .expected = 1},
        {.name = "row", .cell = false, .row = true, .col = true, .table = true, .expected = 2},
        {.name = "column", .cell = false, .row = false, .col = true, .table = true, .expected = 0},
        {.name = "table", .cell = false, .row = false, .col = false, .table = true, .expected = 1},
        {.name = "Standard", .cell = false, .row = false, .col = false, .table = false, .expected = 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestGrid grid;
        grid.LookupStandardStyle()->SetHorizontalAlignment(2);
        if (c.table)
            grid.SetStyleRange(CGXCellRange().SetTable(), Aligned(1));
        if (c.col)
            grid.SetStyleRange(CGXCellRange().SetCols(3), Aligned(0));
        if (c.row)
            grid.SetStyleRange(CGXCellRange().SetRows(4), Aligned(2));
        if (c.cell)
            grid.SetStyleRange(CGXCellRange(4, 3), Aligned(1));
        CGXStyle style;
        grid.ComposeCellStyle(4, 3, style);
        EXPECT_EQ(style.GetHorizontalAlignment(), c.expected);
    }
}

TEST(GXStyleComposition, ValueOnlyStopsAtTheCellsOwnValue)
{
    TestGrid grid;
    grid.SetStyleRange(CGXCellRange().SetRows(2), CGXStyle().SetInteriorColor(RGB(1, 2, 3)).SetValue("row"));
    grid.SetValueRange(CGXCellRange(2, 2), "own");
    EXPECT_STREQ(grid.CellValueText(2, 2), "own");
    EXPECT_STREQ(grid.CellValueText(2, 3), "row") << "a cell without a value takes its row's";
    grid.m_bValueOnly = TRUE;
    CGXStyle style;
    grid.ComposeCellStyle(2, 2, style);
    grid.m_bValueOnly = FALSE;
    EXPECT_FALSE(style.GetIncludeInterior()) << "no attribute from any base style";
    EXPECT_STREQ(grid.StoredCellValueText(2, 2), "own");
}

TEST(GXStyleComposition, NegativeNumbersTakeTheirColour)
{
    TestGrid grid;
    const CGXStyle colored = CGXStyle().SetUserAttribute(52797, "255");
    grid.SetStyleRange(CGXCellRange().SetCols(1), colored);
    struct Case {
        const char* value;
        bool red;
    };
    const Case cases[] = {{"-1", true}, {"0", false}, {"12", false}, {"-0.5", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        grid.SetValueRange(CGXCellRange(1, 1), c.value);
        CGXStyle style;
        grid.ComposeCellStyle(1, 1, style);
        EXPECT_EQ(style.GetTextColor() == RGB(255, 0, 0), c.red);
    }
}

TEST(GXStyleComposition, ReadOnlyGridComposesReadOnlyStylesAndRefusesStores)
{
    TestGrid grid;
    EXPECT_FALSE(grid.GetCellStyleCached(1, 1).GetReadOnly());
    grid.SetReadOnly(TRUE);
    EXPECT_TRUE(grid.GetCellStyleCached(1, 1).GetReadOnly());
    const CGXStyle aligned = Aligned(1);
    EXPECT_FALSE(grid.StoreCellStyle(1, 1, &aligned, gxOverride, 0)) << "the read-only lock refuses";
    EXPECT_FALSE(grid.SetValueRange(CGXCellRange(1, 1), "x"));
    EXPECT_STREQ(grid.StoredCellValueText(1, 1), "");
}

// ---- Caches ----

TEST(GXStyleStorage, TheFreeListKeepsAtMost501Styles)
{
    CGXGridCore grid;
    for (int i = 0; i < 502; ++i)
        grid.RecycleStyle(new CGXStyle);
    EXPECT_EQ(grid.GetRecycledStyleCount(), 501u) << "the 502nd style is deleted";
    CGXStyle* p = grid.NewScratchStyle();
    EXPECT_TRUE(p->IsEmpty());
    EXPECT_EQ(grid.GetRecycledStyleCount(), 500u);
    grid.RecycleStyle(p);
}

TEST(GXStyleStorage, RowBaseStyleEmptiesTheCurrentCellsStyle)
{
    TestGrid grid;
    grid.SetCurrentCell(2, 3);
    EXPECT_NE(grid.GetCellStyleCached(2, 3).GetInterior().GetColor(), RGB(9, 9, 9));
    grid.SetStyleRange(CGXCellRange().SetRows(2), CGXStyle().SetInteriorColor(RGB(9, 9, 9)));
    const CGXStyle& style = grid.GetCellStyleCached(2, 3);
    ASSERT_TRUE(style.GetIncludeInterior());
    EXPECT_EQ(style.GetInterior().GetColor(), RGB(9, 9, 9));
}

TEST(GXStyleStorage, AShortPerCellArrayStopsTheWalk)
{
    TestGrid grid;
    grid.SetValueRange(CGXCellRange(1, 1, 1, 3), "old");
    CObArray styles;
    styles.Add(CGXStyle().SetValue("a").Clone());
    styles.Add(CGXStyle().SetValue("b").Clone());
    EXPECT_TRUE(grid.ApplyStyleToRange(CGXCellRange(1, 1, 1, 3), nullptr, gxCopy, 0, &styles));
    EXPECT_STREQ(grid.StoredCellValueText(1, 1), "a");
    EXPECT_STREQ(grid.StoredCellValueText(1, 2), "b");
    EXPECT_STREQ(grid.StoredCellValueText(1, 3), "old");
    for (INT_PTR i = 0; i < styles.GetSize(); ++i)
        delete styles[i];
}

// The undo array holds one style per cell, row by row; taking it back restores every cell.
TEST(GXStyleStorage, UndoArrayHoldsEveryCellOfSeveralRows)
{
    auto text = [](ROWCOL r, ROWCOL c) {
        CString s;
        s.Format("%u,%u", r, c);
        return s;
    };
    TestGrid grid;
    for (ROWCOL r = 1; r <= 3; ++r)
        for (ROWCOL c = 1; c <= 4; ++c)
            grid.SetValueRange(CGXCellRange(r, c, r, c), text(r, c));
    StubCommandFactory factory;
    grid.m_pUndoImp = &factory;
    EXPECT_TRUE(grid.SetValueRange(CGXCellRange(1, 1, 3, 4), "new"));
    grid.m_pUndoImp = nullptr;
    ASSERT_EQ(factory.arrays.size(), 1u);
    CObArray* pOld = factory.arrays[0];
    ASSERT_GE(pOld->GetSize(), 12);
    EXPECT_TRUE(grid.ApplyStyleToRange(CGXCellRange(1, 1, 3, 4), nullptr, gxCopy, 0, pOld, 0, gxRollback));
    for (ROWCOL r = 1; r <= 3; ++r)
        for (ROWCOL c = 1; c <= 4; ++c)
            EXPECT_STREQ(grid.StoredCellValueText(r, c), text(r, c));
}

// ---- Undo buffer and cancel ----

std::vector<std::string>* g_boxes = nullptr;
void RecordBox(LPCTSTR text, UINT) { g_boxes->push_back(text); }

TEST(GXStyleStorage, TooLargeForTheUndoBufferAsks)
{
    struct Case {
        const char* answer;
        bool stored;
    };
    const Case cases[] = {{"cancel", false}, {"ok", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        TestGrid grid(0x8000, 2);
        StubCommandFactory factory;
        grid.m_pUndoImp = &factory;
        std::vector<std::string> boxes;
        g_boxes = &boxes;
        PvSetMessageBoxObserver(RecordBox);
        setenv("PV_MSGBOX_ANSWERS", c.answer, 1);
        const BOOL bResult = grid.SetValueRange(CGXCellRange(1, 1, 0x8000, 1), "x");
        PvSetMessageBoxObserver(nullptr);
        unsetenv("PV_MSGBOX_ANSWERS");
        grid.m_pUndoImp = nullptr;
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], "Operation is too large for the undo buffer. Do you want to continue?");
        EXPECT_EQ(bool(bResult), c.stored);
        EXPECT_STREQ(grid.StoredCellValueText(0x8000, 1), c.stored ? "x" : "");
        EXPECT_EQ(factory.nCommands, 0) << "nothing to undo either way";
    }
}

// A cancel in row 2 of a 3 x 4 range: with rollback every done cell is restored; without it one
// command covers the whole range; without undo the done part stays.
TEST(GXStyleStorage, CancelInsideARangeLeavesItConsistent)
{
    struct Case {
        const char* name;
        bool undo;
        BOOL rollback;
        int commands;
        const char* doneCell;  // (2, 2), stored before the cancel
        const char* nextCell;  // (2, 3), not reached
    };
    const Case cases[] = {
        {.name = "rollback", .undo = true, .rollback = TRUE, .commands = 0, .doneCell = "old", .nextCell = "old"},
        {.name = "keep, undoable", .undo = true, .rollback = FALSE, .commands = 1, .doneCell = "new", .nextCell = "old"},
        {.name = "no undo", .undo = false, .rollback = FALSE, .commands = 0, .doneCell = "new", .nextCell = "old"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestGrid grid;
        grid.SetValueRange(CGXCellRange(1, 1, 3, 4), "old");
        StubCommandFactory factory;
        if (c.undo)
            grid.m_pUndoImp = &factory;
        // Collecting undo information checks once per cell (12), then storing: row 1 (4), (2,1), (2,2).
        AbortAtCall abort((c.undo ? 12 : 0) + 6, c.rollback);
        {
            LongOpImpScope scope(&abort);
            EXPECT_FALSE(grid.SetValueRange(CGXCellRange(1, 1, 3, 4), "new"));
        }
        grid.m_pUndoImp = nullptr;
        EXPECT_EQ(factory.nCommands, c.commands);
        EXPECT_STREQ(grid.StoredCellValueText(2, 2), c.doneCell);
        EXPECT_STREQ(grid.StoredCellValueText(1, 4), c.doneCell) << "the whole first row went the same way";
        EXPECT_STREQ(grid.StoredCellValueText(2, 3), c.nextCell);
        EXPECT_STREQ(grid.StoredCellValueText(3, 4), "old");
    }
}

}  // namespace
