// Hiding rows and columns: the bits follow inserted, removed and moved lines, hiding is undone,
// and a header row hides in lower splitter panes and in printouts without headers.

#include <string>
#include <vector>

#include "gxundomenu.h"
#include "../controls/gxgridfixture.h"
#include "grid/core/gxprop.h"
#include "grid/features/gxhide.h"
#include "platform/ui/cmdui.h"
#include "platform/ui/menu.h"

namespace {


class HideTest : public GridFixture {
protected:
    std::vector<ROWCOL> HiddenRows()
    {
        std::vector<ROWCOL> v;
        for (ROWCOL r = 0; r <= m_grid->RowCount(); ++r)
            if (m_grid->IsRowHidden(r))
                v.push_back(r);
        return v;
    }
    std::vector<ROWCOL> HiddenCols()
    {
        std::vector<ROWCOL> v;
        for (ROWCOL c = 0; c <= m_grid->ColCount(); ++c)
            if (m_grid->IsColHidden(c))
                v.push_back(c);
        return v;
    }
    std::string UndoMenuText() { return GridUndoMenuText(*m_grid); }
};

using Lines = std::vector<ROWCOL>;

TEST_F(HideTest, BitsFollowInsertedRemovedAndMovedRows)
{
    ASSERT_NE(dynamic_cast<CGXGridHideCellsImp*>(m_grid->m_pHideCellsImp), nullptr) << "installed with every grid";
    EXPECT_TRUE(m_grid->HideRows(3, 5));
    EXPECT_EQ(HiddenRows(), Lines({3, 4, 5}));
    EXPECT_TRUE(m_grid->InsertRows(2, 2));
    EXPECT_EQ(HiddenRows(), Lines({5, 6, 7}));
    EXPECT_TRUE(m_grid->RemoveRows(4, 4));
    EXPECT_EQ(HiddenRows(), Lines({4, 5, 6}));

    struct Case {
        const char* name;
        Lines hidden;
        ROWCOL first, last, dest;
        Lines after;
    } const moves[] = {
        {"row 10 to 2", {10}, 10, 10, 2, {2}},
        {"a block down", {2, 3, 7}, 2, 3, 8, {5, 8, 9}},
        {"a block up past hidden rows", {4, 12, 13}, 12, 13, 3, {3, 4, 6}},
        {"nothing hidden near it", {1}, 15, 16, 10, {1}},
    };
    for (const Case& c : moves) {
        SCOPED_TRACE(c.name);
        CByteArray& bits = m_grid->GetParam()->m_abHiddenRows;
        bits.RemoveAll();
        for (ROWCOL r : c.hidden)
            m_grid->StoreHideRow(r, TRUE);
        m_grid->m_pHideCellsImp->MoveHiddenRows(m_grid.get(), c.first, c.last, c.dest);
        EXPECT_EQ(HiddenRows(), c.after);
    }
}

TEST_F(HideTest, TheBitsAreStoredEightToAByte)
{
    EXPECT_TRUE(m_grid->StoreHideRow(9, TRUE));
    EXPECT_TRUE(m_grid->StoreHideRow(2, TRUE));
    const CByteArray& bits = m_grid->GetParam()->m_abHiddenRows;
    ASSERT_EQ(bits.GetSize(), 2);
    EXPECT_EQ(bits[0], 0x04);
    EXPECT_EQ(bits[1], 0x02);
    EXPECT_FALSE(m_grid->StoreHideRow(9, TRUE)) << "no change";
    EXPECT_FALSE(m_grid->StoreHideRow(100, TRUE)) << "beyond the rows";
    EXPECT_FALSE(m_grid->StoreHideRow(100, FALSE));
    EXPECT_EQ(bits.GetSize(), 2);

    // Removing rows past the end and inserting at the very end leave the bits in range.
    GXRemoveHiddenBits(m_grid->GetParam()->m_abHiddenRows, 1, 0xFFFFFFF0);
    EXPECT_EQ(HiddenRows(), Lines {});
    GXInsertHiddenBits(m_grid->GetParam()->m_abHiddenRows, 0, 3);
    EXPECT_EQ(HiddenRows(), Lines {});
}

TEST_F(HideTest, HidingIsUndoneAndHiddenRowsAnswerFalse)
{
    struct Case {
        const char* name;
        bool bRows;
        const char* menu;
    } const cases[] = {{"rows", true, "Undo Hide Rows"}, {"columns", false, "Undo Hide Columns"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_grid->GetParam()->ClearUndoList();
        auto hide = [&](ROWCOL a, ROWCOL b, BOOL bHide) {
            return c.bRows ? m_grid->HideRows(a, b, bHide) : m_grid->HideCols(a, b, bHide);
        };
        auto hidden = [&] { return c.bRows ? HiddenRows() : HiddenCols(); };
        EXPECT_TRUE(hide(2, 3, TRUE));
        EXPECT_EQ(hidden(), Lines({2, 3}));
        EXPECT_EQ(c.bRows ? m_grid->RowHeight(2) : m_grid->ColWidth(2), 0);
        EXPECT_EQ(UndoMenuText(), c.menu);
        EXPECT_FALSE(hide(2, 3, TRUE)) << "already hidden";
        EXPECT_EQ(m_grid->GetParam()->GetUndoList().GetCount(), 1) << "nothing recorded";
        EXPECT_FALSE(hide(4, 99, TRUE)) << "beyond the count";
        ASSERT_TRUE(m_grid->Undo());
        EXPECT_EQ(hidden(), Lines {});
        ASSERT_TRUE(m_grid->Redo());
        EXPECT_EQ(hidden(), Lines({2, 3}));
        EXPECT_TRUE(hide(1, 3, FALSE));
        EXPECT_EQ(hidden(), Lines {});
    }
}

TEST_F(HideTest, HeaderRowsHideInLowerPanesAndPrintouts)
{
    m_grid->SetFrozenRows(1, 1);
    m_grid->m_pSplitterWnd = &m_wnd;
    m_grid->m_bFirstSplitterRow = FALSE;
    EXPECT_EQ(HiddenRows(), Lines({0, 1})) << "only the first pane row shows the header rows";
    m_grid->m_bFirstSplitterRow = TRUE;
    EXPECT_EQ(HiddenRows(), Lines {});
    m_grid->m_bFirstSplitterCol = FALSE;
    EXPECT_EQ(HiddenCols(), Lines({0}));
    m_grid->m_pSplitterWnd = nullptr;
    m_grid->m_bFirstSplitterCol = TRUE;

    CGXProperties* pProps = m_grid->GetProperties();
    ASSERT_NE(pProps, nullptr);
    pProps->m_bPrintRowHeaders = FALSE;
    EXPECT_FALSE(m_grid->IsRowHidden(0)) << "the screen shows them";
    m_grid->SetPrinting(TRUE);
    EXPECT_TRUE(m_grid->IsRowHidden(0));
    EXPECT_FALSE(m_grid->IsRowHidden(1));
    EXPECT_FALSE(m_grid->IsColHidden(0));
    m_grid->SetPrinting(FALSE);
    pProps->m_bPrintRowHeaders = TRUE;
}

}  // namespace
