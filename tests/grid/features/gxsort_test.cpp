// Sorting rows and columns: numbers, dates and texts told apart by their values, stable in both
// directions, by header double clicks, cancelled, and taken back exactly.

#include <string>
#include <vector>

#include "gxundomenu.h"
#include "../controls/gxgridfixture.h"
#include "grid/core/gxlongop.h"
#include "grid/features/gxsort.h"
#include "platform/sys/system.h"
#include "platform/ui/afxres.h"
#include "platform/ui/cmdui.h"
#include "platform/ui/menu.h"

namespace {


using Values = std::vector<std::string>;

class SortTest : public GridFixture {
protected:
    // Column nCol of rows 1.. holds the values; the row count follows them.
    void SetColumn(ROWCOL nCol, const Values& values)
    {
        m_grid->SetRowCount(ROWCOL(values.size()));
        for (size_t i = 0; i < values.size(); ++i)
            m_grid->SetValueRange(CGXCellRange(ROWCOL(i + 1), nCol), values[i].c_str());
    }
    Values Column(ROWCOL nCol)
    {
        Values v;
        for (ROWCOL r = 1; r <= m_grid->RowCount(); ++r)
            v.emplace_back(m_grid->StoredCellValueText(r, nCol).GetString());
        return v;
    }
    Values Row(ROWCOL nRow)
    {
        Values v;
        for (ROWCOL c = 1; c <= m_grid->ColCount(); ++c)
            v.emplace_back(m_grid->StoredCellValueText(nRow, c).GetString());
        return v;
    }
    BOOL SortBy(ROWCOL nKey, DWORD type, BOOL bDescending = FALSE, BOOL bRows = TRUE)
    {
        CGXSortInfoArray keys;
        keys.SetSize(1);
        keys[0] = GXSortInfo {};
        keys[0].nRC = nKey;
        keys[0].sortType = type;
        keys[0].sortOrder = bDescending;
        return bRows ? m_grid->SortRows(CGXCellRange().SetTable(), keys) : m_grid->SortCols(CGXCellRange().SetTable(), keys);
    }
    std::string UndoMenuText() { return GridUndoMenuText(*m_grid); }
};

TEST_F(SortTest, KeysSortAsTheirValuesAre)
{
    struct Case {
        const char* name;
        Values values;
        DWORD type;
        BOOL bDescending;
        Values sorted;
    } const cases[] = {
        {"numbers as numbers", {"10", "9", "-3"}, 3, FALSE, {"-3", "9", "10"}},
        {"descending", {"10", "-3", "9"}, 3, TRUE, {"10", "9", "-3"}},
        {"1-2 makes a text key", {"10", "9", "-3", "1-2"}, 3, FALSE, {"-3", "1-2", "10", "9"}},
        {"dates with empty cells", {"3/1/2001", "", "1/15/2001", "12/31/2000"}, 3, FALSE,
         {"", "12/31/2000", "1/15/2001", "3/1/2001"}},
        {"network addresses are text", {"9.9.9.9", "192.168.1.20", "10.0.0.1"}, 3, FALSE,
         {"10.0.0.1", "192.168.1.20", "9.9.9.9"}},
        {"network addresses in another order", {"10.0.0.1", "9.9.9.9", "192.168.1.20"}, 3, FALSE,
         {"10.0.0.1", "192.168.1.20", "9.9.9.9"}},
        {"what no number converts makes text", {"2", "1e", ","}, 3, FALSE, {",", "1e", "2"}},
        {"a text in a number key counts as 0", {"5", "abc", "-1"}, 0, FALSE, {"-1", "abc", "5"}},
        {"an empty cell in a number key counts as 0", {"5", "", "-1"}, 0, FALSE, {"-1", "", "5"}},
        {"texts case-blind, accents beside their letter", {"banana", "Zoe", "Émile", "apple"}, 3, FALSE,
         {"apple", "banana", "Émile", "Zoe"}},
        {"a text in a date key counts as 0", {"1/15/2001", "soon", "12/31/2000"}, 2, FALSE,
         {"soon", "12/31/2000", "1/15/2001"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetColumn(2, c.values);
        EXPECT_TRUE(SortBy(2, c.type, c.bDescending));
        EXPECT_EQ(Column(2), c.sorted);
    }
}

TEST_F(SortTest, EqualKeysKeepTheirOrderBothWays)
{
    for (BOOL bDescending : {FALSE, TRUE}) {
        SCOPED_TRACE(bDescending ? "descending" : "ascending");
        SetColumn(1, {"b", "a", "B", "a", "b"});
        SetColumn(2, {"1", "2", "3", "4", "5"});
        EXPECT_TRUE(SortBy(1, 1, bDescending));
        EXPECT_EQ(Column(2), bDescending ? Values({"1", "3", "5", "2", "4"}) : Values({"2", "4", "1", "3", "5"}));
    }
}

TEST_F(SortTest, UndoRestoresTheOrderExactly)
{
    SetColumn(1, {"3", "1", "2", "1"});
    SetColumn(2, {"c", "a", "b", "d"});
    m_grid->SetRowCount(6);  // rows beyond the stored ones take part empty
    m_grid->GetParam()->ClearUndoList();
    const Values before = Column(2);
    ASSERT_TRUE(SortBy(1, 3));
    EXPECT_EQ(Column(2), Values({"", "", "a", "d", "b", "c"}));
    EXPECT_EQ(UndoMenuText(), "Undo Sort Rows");
    ASSERT_TRUE(m_grid->Undo());
    EXPECT_EQ(Column(2), before);
    ASSERT_TRUE(m_grid->Redo());
    EXPECT_EQ(Column(2), Values({"", "", "a", "d", "b", "c"}));
}

TEST_F(SortTest, ColumnsSortByKeyRows)
{
    m_grid->SetColCount(4);
    const char* const keys[] = {"10", "-3", "9", "1"};
    const char* const names[] = {"ten", "minus three", "nine", "one"};
    for (ROWCOL c = 1; c <= 4; ++c) {
        m_grid->SetValueRange(CGXCellRange(3, c), keys[c - 1]);
        m_grid->SetValueRange(CGXCellRange(5, c), names[c - 1]);
    }
    m_grid->GetParam()->ClearUndoList();
    ASSERT_TRUE(SortBy(3, 3, FALSE, FALSE));
    EXPECT_EQ(Row(5), Values({"minus three", "one", "nine", "ten"}));
    EXPECT_EQ(m_grid->GetParam()->m_nLastSortedRow, 3);
    EXPECT_EQ(m_grid->GetParam()->m_nLastSortedCol, -1);
    EXPECT_EQ(UndoMenuText(), "Undo Sort Columns");
    ASSERT_TRUE(m_grid->Undo());
    EXPECT_EQ(Row(5), Values({"ten", "minus three", "nine", "one"}));
}

TEST_F(SortTest, HeaderDoubleClicksSortUpThenDown)
{
    SetColumn(1, {"b", "c", "a"});
    SetColumn(2, {"2", "3", "1"});
    EXPECT_FALSE(m_grid->OnLeftCellDoubleClick(0, 1, 0)) << "not allowed by default";
    EXPECT_EQ(Column(1), Values({"b", "c", "a"}));
    m_grid->GetParam()->m_bSortRowsOnDblClk = TRUE;
    EXPECT_FALSE(m_grid->OnLeftCellDoubleClick(2, 0, 0)) << "row headers sort columns only when allowed";
    EXPECT_FALSE(m_grid->OnLeftCellDoubleClick(2, 2, 0)) << "a data cell sorts nothing";

    struct Step {
        ROWCOL nCol;
        Values column1;
    } const steps[] = {
        {1, {"a", "b", "c"}}, {1, {"c", "b", "a"}}, {2, {"a", "b", "c"}}, {1, {"a", "b", "c"}}, {1, {"c", "b", "a"}},
    };
    for (const Step& s : steps) {
        EXPECT_TRUE(m_grid->OnLeftCellDoubleClick(0, s.nCol, 0));
        EXPECT_EQ(Column(1), s.column1) << "header " << s.nCol;
    }
}

// Collecting the keys takes a second a row on the test clock, so the Esc posted before the sort
// is asked about at the second row.
class SlowSortImp : public CGXGridSortImp {
public:
    void GetRowSortKeys(CGXGridCore* pGrid, ROWCOL nRow, const CGXSortInfoArray& keys, CString* pTexts) override
    {
        PvAdvanceTestClock(1000);
        CGXGridSortImp::GetRowSortKeys(pGrid, nRow, keys, pTexts);
    }
};

class StatusWnd : public CWnd {
public:
    std::vector<std::string> m_texts;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SETMESSAGESTRING)
            m_texts.emplace_back(reinterpret_cast<LPCTSTR>(lParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST_F(SortTest, CancelShowsCanceledAndMovesNothing)
{
    SlowSortImp slow;
    CGXAbstractGridSortImp* pOld = m_grid->m_pSortImp;
    m_grid->m_pSortImp = &slow;
    StatusWnd status;
    status.CreateEx(0, AfxRegisterWndClass(0), "status", WS_OVERLAPPEDWINDOW, 0, 0, 100, 50, nullptr, nullptr);
    CGXLongOperationState& st = GXGetLongOperationState();
    st.m_hStatusWnd = status.GetSafeHwnd();
    st.m_bAskQuestion = FALSE;
    PvSetTestClock(10000);

    SetColumn(1, {"f", "e", "d", "c", "b", "a"});
    m_grid->GetParam()->ClearUndoList();
    PostMessage(m_wnd.GetSafeHwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(SortBy(1, 1));
    EXPECT_EQ(Column(1), Values({"f", "e", "d", "c", "b", "a"}));
    EXPECT_EQ(m_grid->GetParam()->GetUndoList().GetCount(), 0);
    ASSERT_FALSE(status.m_texts.empty());
    EXPECT_EQ(status.m_texts.back(), "Canceled");

    st.m_hStatusWnd = nullptr;
    st.m_bAskQuestion = TRUE;
    st.m_bCancelKey = FALSE;
    PvClearTestClock();
    status.DestroyWindow();
    m_grid->m_pSortImp = pOld;
}

TEST_F(SortTest, TheStoreMoveRefusesAnOrderThatIsNoPermutation)
{
    SetColumn(1, {"a", "b", "c"});
    CDWordArray order;
    for (DWORD n : {2u, 2u, 0u})
        order.Add(n);
    EXPECT_FALSE(m_grid->MoveDataRows(CGXCellRange().SetRows(1, 3), order));
    order[1] = 7;
    EXPECT_FALSE(m_grid->MoveDataRows(CGXCellRange().SetRows(1, 3), order));
    EXPECT_EQ(Column(1), Values({"a", "b", "c"}));
    order[1] = 1;
    EXPECT_TRUE(m_grid->MoveDataRows(CGXCellRange().SetRows(1, 3), order));
    EXPECT_EQ(Column(1), Values({"c", "b", "a"}));
}

}  // namespace
