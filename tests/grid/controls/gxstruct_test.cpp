// Structure operations, feature forwarding, the find state and the selection queries.

#include "gxgridfixture.h"
#include "platform/ui/cmdui.h"

namespace {

// Records what the core asks of the undo feature.
class RecordingFactory : public CGXAbstractCommandFactory {
public:
    int m_nBegins = 0, m_nCommits = 0, m_nDepth = 0, m_nRecorded = 0;
    void BeginTransaction(CGXGridCore*, LPCTSTR) override
    {
        ++m_nBegins;
        ++m_nDepth;
    }
    void CommitTransaction(CGXGridCore*) override
    {
        ++m_nCommits;
        --m_nDepth;
    }
    void AddCommand(CGXGridCore*, CGXCommand*, int) override { ++m_nRecorded; }
    CGXCommand* CreateRemoveRowsCmd(ROWCOL, ROWCOL) override { return reinterpret_cast<CGXCommand*>(this); }
    CGXCommand* CreateInsertRowsCmd(ROWCOL, ROWCOL, std::vector<int>, std::unique_ptr<CObject>,
                                    std::unique_ptr<CObject>, ROWCOL) override
    {
        return reinterpret_cast<CGXCommand*>(this);
    }
};

// Counts how often its undo information is applied.
class CountingData : public CGXData {
public:
    int m_nApplied = 0;
    BOOL ApplyUndoInfo(CObject*, BOOL, BOOL) override
    {
        ++m_nApplied;
        return TRUE;
    }
};

class StructTest : public GridFixture {};

TEST_F(StructTest, CountsAndTheCurrentCell)
{
    EXPECT_TRUE(m_grid->SetRowCount(20)) << "the same count";
    EXPECT_EQ(m_grid->RowCount(), 20u);
    ASSERT_TRUE(m_grid->PlaceCurrentCell(5, 2, 0));
    m_grid->SetValueRange(CGXCellRange(5, 2), "five");
    EXPECT_TRUE(m_grid->InsertRows(3, 2));
    EXPECT_EQ(m_grid->RowCount(), 22u);
    ROWCOL r = 0, c = 0;
    ASSERT_TRUE(m_grid->QueryCurrentCell(r, c));
    EXPECT_EQ(r, 7u);
    EXPECT_STREQ(Value(7, 2), "five");
    EXPECT_TRUE(m_grid->RemoveRows(1, 2));
    ASSERT_TRUE(m_grid->QueryCurrentCell(r, c));
    EXPECT_EQ(r, 5u);
    EXPECT_TRUE(m_grid->SetColCount(3));
    EXPECT_EQ(m_grid->ColCount(), 3u);
    EXPECT_FALSE(m_grid->IsInFrozenRows(0));
}

TEST_F(StructTest, EachTransactionIsCommittedAndDataUndoAppliesOnce)
{
    RecordingFactory factory;
    auto* pData = new CountingData;
    m_grid->GetParam()->SetData(pData, TRUE);
    pData->SetRowCount(10);
    pData->SetColCount(2);
    m_grid->m_pUndoImp = &factory;

    // One row of cell styles from column 0 (the row header) on.
    CObArray cells;
    CGXStyle a, b;
    a.SetValue("a");
    b.SetValue("b");
    cells.Add(nullptr);
    cells.Add(&a);
    cells.Add(&b);
    CObject dataUndo;
    cells.Add(&dataUndo);  // the data store's undo information rides last
    EXPECT_TRUE(m_grid->InsertRows(3, 1, nullptr, &cells, nullptr, 3));
    EXPECT_EQ(pData->m_nApplied, 1);
    EXPECT_STREQ(Value(3, 1), "a");
    EXPECT_STREQ(Value(3, 2), "b");
    EXPECT_TRUE(m_grid->RemoveRows(4, 5));
    EXPECT_TRUE(m_grid->SetRowCount(4));
    EXPECT_EQ(factory.m_nBegins, 3);
    EXPECT_EQ(factory.m_nCommits, factory.m_nBegins);
    EXPECT_EQ(factory.m_nDepth, 0) << "no transaction is left open";
    EXPECT_EQ(factory.m_nRecorded, 3);
    m_grid->m_pUndoImp = nullptr;
}

TEST_F(StructTest, TheReadOnlyLockRefuses)
{
    m_grid->SetReadOnly(TRUE);
    EXPECT_FALSE(m_grid->InsertRows(2, 1));
    EXPECT_FALSE(m_grid->RemoveRows(2, 3));
    EXPECT_FALSE(m_grid->SetFrozenRows(2, 0));
    EXPECT_EQ(m_grid->RowCount(), 20u);
    m_grid->SetReadOnly(FALSE);
    EXPECT_TRUE(m_grid->SetFrozenRows(2, 1));
    EXPECT_EQ(m_grid->FrozenRows(), 2u);
    EXPECT_EQ(m_grid->HeaderRows(), 1u);
}

TEST_F(StructTest, ForwardersWithoutFeatures)
{
    // The standard factory installs these; the grid still deletes them.
    m_grid->m_pUndoImp = nullptr;
    m_grid->m_pMoveRowsColsImp = nullptr;
    EXPECT_FALSE(m_grid->FindText(TRUE));
    const int nBeeps = PvBeepCount();
    m_grid->OnTextNotFound("missing");
    EXPECT_EQ(PvBeepCount(), nBeeps + 1) << "text not found beeps";
    CCmdUI ui;
    ui.Enable(TRUE);
    EXPECT_FALSE(m_grid->CanUndo(&ui));
    EXPECT_TRUE(ui.m_bEnableChanged);
    EXPECT_FALSE(m_grid->Undo());
    EXPECT_FALSE(m_grid->MoveRows(1, 2, 5));
    CGXCellRange span;
    EXPECT_FALSE(m_grid->SpanOfCell(2, 2, span));
}

TEST(GridFindReplaceState, SearchTextFollowsTheCase)
{
    GridFindReplaceState& state = GridFindReplaceState::Get();
    EXPECT_EQ(&state, &GridFindReplaceState::Get()) << "one record for the process";
    state.m_strFind = "abc";
    state.m_bCaseSensitive = FALSE;
    state.PrepareSearchText();
    EXPECT_STREQ(state.m_strSearch, "ABC");
    state.m_bCaseSensitive = TRUE;
    state.PrepareSearchText();
    EXPECT_STREQ(state.m_strSearch, "abc");
    state.m_bCaseSensitive = FALSE;
    state.m_strFind.Empty();
    state.m_strSearch.Empty();
}

TEST_F(StructTest, SelectionQueries)
{
    CGXRangeList list;
    EXPECT_FALSE(m_grid->CopySelectionRanges(list, TRUE)) << "no selection, no current cell";
    EXPECT_TRUE(list.IsEmpty());

    ASSERT_TRUE(m_grid->PlaceCurrentCell(4, 5, 0));
    CDWordArray cols;
    EXPECT_EQ(m_grid->CollectSelectedCols(cols), 1u);
    ASSERT_EQ(cols.GetSize(), 1);
    EXPECT_EQ(cols[0], 5u);
    EXPECT_TRUE(m_grid->CopySelectionRanges(list, TRUE));
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_FALSE(m_grid->CopySelectionRanges(list, FALSE));

    m_grid->GetParam()->m_SelRects.AddRange(CGXCellRange().SetCols(3, 5));
    m_grid->GetParam()->m_SelRects.AddRange(CGXCellRange().SetCols(1, 1));
    EXPECT_EQ(m_grid->CollectSelectedCols(cols), 4u);
    ASSERT_EQ(cols.GetSize(), 4);
    CDWordArray rows;
    CDWordArray firsts, lasts;
    EXPECT_TRUE(m_grid->SelectedColIntervals(firsts, lasts));
    EXPECT_TRUE(m_grid->CopySelectionRanges(list, TRUE));
    EXPECT_EQ(list.GetCount(), 2);
    CString s;
    m_grid->SetValueRange(CGXCellRange(4, 5), "cell");
    m_grid->CurrentCellText(s);
    EXPECT_STREQ(s, "cell");
}

TEST_F(StructTest, TheFindDialogGoesOnlyWithItsOwnGrid)
{
    GridFindReplaceState& state = GridFindReplaceState::Get();
    CWnd other, dialog;
    other.CreateEx(0, GX_WNDCLASS, "other", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr);
    dialog.CreateEx(0, GX_WNDCLASS, "Find", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr);
    state.m_hDialog = dialog.GetSafeHwnd();
    state.m_hOwner = other.GetSafeHwnd();
    m_grid->OnGridDestroy();
    EXPECT_TRUE(::IsWindow(dialog.GetSafeHwnd()));
    EXPECT_EQ(state.m_hDialog, dialog.GetSafeHwnd());

    state.m_hOwner = m_wnd.GetSafeHwnd();
    m_grid->OnGridDestroy();
    EXPECT_FALSE(::IsWindow(dialog.GetSafeHwnd())) << "closed with its grid";
    EXPECT_EQ(state.m_hDialog, nullptr);
    other.DestroyWindow();
}

}  // namespace
