// The undo engine: each command class done, undone and redone; transactions, limits, the menu
// texts, the too-large question, and the faults of failing blocks and open transactions.

#include <functional>
#include <string>

#include "gxundomenu.h"
#include "../controls/gxgridfixture.h"
#include "grid/core/gxstymap.h"
#include "grid/features/gxcmdfactory.h"
#include "platform/ui/cmdui.h"
#include "platform/base/stringtable.h"
#include "platform/ui/menu.h"
#include "tests/app/msgbox_log.h"

namespace {

// Records the text an update handler gives a menu item.

// A command whose grid operation fails.
class FailingCmd : public CGXCommand {
public:
    int* m_pRuns;
    explicit FailingCmd(int* pRuns) : m_pRuns(pRuns) {}
    BOOL Execute(CGXGridCore*, int) override
    {
        ++*m_pRuns;
        return FALSE;
    }
    CString GetDisplayName() override { return "Fails"; }
};

class UndoTest : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        Param().ClearUndoList();  // the fixture's own counts were recorded
    }
    CGXGridParam& Param() { return *m_grid->GetParam(); }
    INT_PTR UndoCount() { return Param().GetUndoList().GetCount(); }
    INT_PTR RedoCount() { return Param().GetRedoList().GetCount(); }
    CGXCommandFactory& Factory() { return *dynamic_cast<CGXCommandFactory*>(m_grid->m_pUndoImp); }

    // What an Undo menu item (empty text, so "Undo %1") shows now.
    std::string UndoMenuText() { return GridUndoMenuText(*m_grid); }
    static constexpr UINT kUndoId = kUndoMenuId;
};

TEST_F(UndoTest, TheStandardFactoryIsInstalled)
{
    ASSERT_NE(dynamic_cast<CGXCommandFactory*>(m_grid->m_pUndoImp), nullptr);
    const size_t n = m_grid->GetDeleteListCount();
    m_grid->InstallCommandFactory();
    EXPECT_EQ(m_grid->GetDeleteListCount(), n) << "once per grid";
}

// Each change: its probe before and after, and the name the Undo item gives it.
TEST_F(UndoTest, EachCommandGoesBackAndComesAgain)
{
    CGXGridCore& g = *m_grid;
    m_grid->SetValueRange(CGXCellRange(5, 2), "five");
    m_grid->SetValueRange(CGXCellRange(6, 2), "six");
    Param().ClearUndoList();
    CGXStyle bold;
    bold.SetValue("std");
    struct Case {
        const char* name;
        std::function<void()> change;
        std::function<std::string()> probe;
        const char* menu;
    };
    auto num = [](long long n) { return std::to_string(n); };
    const Case cases[] = {
        {"value", [&] { g.SetValueRange(CGXCellRange(2, 2), "x"); }, [&] { return std::string(Value(2, 2)); }, "Undo Cells"},
        {"row height", [&] { g.SetRowHeights(3, 4, 40); }, [&] { return num(g.RowHeight(3)) + "/" + num(g.RowHeight(4)); },
         "Undo Change Row Heights"},
        {"column width", [&] { g.SetColWidths(2, 2, 151); }, [&] { return num(g.ColWidth(2)); }, "Undo Change Column Widths"},
        {"default height", [&] { g.ChangeDefaultRowHeight(33); }, [&] { return num(g.DefaultRowHeight()); },
         "Undo Change Default Row Height"},
        {"default width", [&] { g.ChangeDefaultColWidth(77); }, [&] { return num(g.DefaultColWidth()); },
         "Undo Change Default Column Width"},
        {"insert rows", [&] { g.InsertRows(5, 2); }, [&] { return num(g.RowCount()) + std::string(Value(5, 2)); },
         "Undo Insert Rows"},
        {"remove rows", [&] { g.RemoveRows(5, 6); },
         [&] { return num(g.RowCount()) + std::string(Value(5, 2)) + std::string(Value(6, 2)); }, "Undo Removing rows ..."},
        {"insert columns", [&] { g.InsertCols(2, 1); }, [&] { return num(g.ColCount()) + std::string(Value(5, 2)); },
         "Undo Insert Columns"},
        {"remove columns", [&] { g.RemoveCols(2, 3); }, [&] { return num(g.ColCount()) + std::string(Value(6, 2)); },
         "Undo Removing columns ..."},
        {"freeze rows", [&] { g.SetFrozenRows(2, 1); }, [&] { return num(g.FrozenRows()) + "/" + num(g.HeaderRows()); },
         "Undo Freeze Rows"},
        {"freeze columns", [&] { g.SetFrozenCols(1, 0); }, [&] { return num(g.FrozenCols()); }, "Undo Freeze Columns"},
        {"base style", [&] { g.ModifyStandardStyle(bold); },
         [&] { return std::string(g.LookupStandardStyle()->GetValue()); }, "Undo Standard"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = c.probe();
        c.change();
        const std::string after = c.probe();
        EXPECT_NE(before, after);
        EXPECT_EQ(UndoMenuText(), c.menu);
        ASSERT_TRUE(m_grid->Undo());
        EXPECT_EQ(c.probe(), before);
        EXPECT_EQ(UndoCount(), 0);
        EXPECT_EQ(RedoCount(), 1);
        ASSERT_TRUE(m_grid->Redo());
        EXPECT_EQ(c.probe(), after);
        ASSERT_TRUE(m_grid->Undo());
        EXPECT_EQ(c.probe(), before) << "undone again";
        Param().ClearRedoList();
    }
}

TEST_F(UndoTest, UndoOfABlockLeavesOneBlockOfItsName)
{
    m_grid->InsertRows(3, 2);
    ASSERT_TRUE(m_grid->Undo());
    ASSERT_EQ(RedoCount(), 1);
    auto* pBlock = dynamic_cast<CGXBlockCmd*>(Param().GetRedoList().GetHead());
    ASSERT_NE(pBlock, nullptr);
    EXPECT_STREQ(pBlock->GetDisplayName(), "Insert Rows");
    EXPECT_EQ(pBlock->m_CmdList.GetCount(), 1);
    EXPECT_NE(dynamic_cast<CGXInsertRowsCmd*>(pBlock->m_CmdList.GetHead()), nullptr);
}

TEST_F(UndoTest, ListsTransactionsAndTheLimit)
{
    // A list reaches the limit plus one and stays there.
    for (int i = 0; i < 600; ++i)
        m_grid->SetValueRange(CGXCellRange(1, 1), std::to_string(i).c_str());
    EXPECT_EQ(UndoCount(), 513);

    // An Undo then a Redo leave the lists as they were; a new change empties the redo list.
    m_grid->Undo();
    EXPECT_STREQ(Value(1, 1), "598");
    m_grid->Redo();
    EXPECT_EQ(UndoCount(), 513);
    EXPECT_EQ(RedoCount(), 0);
    m_grid->Undo();
    EXPECT_EQ(RedoCount(), 1);
    m_grid->SetValueRange(CGXCellRange(1, 2), "new");
    EXPECT_EQ(RedoCount(), 0);

    // An empty transaction leaves nothing.
    Param().ClearUndoList();
    m_grid->BeginTransaction("Nothing");
    m_grid->CommitTransaction();
    EXPECT_EQ(UndoCount(), 0);

    // An inner rollback only closes its level; the outermost takes everything back.
    m_grid->BeginTransaction("Outer");
    m_grid->SetValueRange(CGXCellRange(2, 1), "a");
    m_grid->BeginTransaction("Inner");
    m_grid->SetValueRange(CGXCellRange(3, 1), "b");
    m_grid->Rollback();
    EXPECT_EQ(Param().m_nUndoCount, 1u);
    EXPECT_STREQ(Value(3, 1), "b");
    m_grid->Rollback();
    EXPECT_STREQ(Value(2, 1), "");
    EXPECT_STREQ(Value(3, 1), "");
    EXPECT_EQ(UndoCount(), 0);
    EXPECT_EQ(RedoCount(), 0) << "a rollback records nothing";

    // With undo disabled, transactions neither count nor create blocks.
    Param().EnableUndo(FALSE);
    m_grid->BeginTransaction("Off");
    m_grid->SetValueRange(CGXCellRange(2, 1), "c");
    EXPECT_EQ(Param().m_nUndoCount, 0u);
    EXPECT_EQ(UndoCount(), 0);
    m_grid->CommitTransaction();
    EXPECT_FALSE(m_grid->Undo());
}

TEST_F(UndoTest, TheMenuNamesTheChange)
{
    EXPECT_EQ(UndoMenuText(), "Undo ") << "nothing to name";
    m_grid->RemoveRows(2, 3);
    EXPECT_EQ(UndoMenuText(), "Undo Removing rows ...");
    // A string resource with a third line gives the format.
    static const PvStringResource kTable[] = {{kUndoId + 1, "Undo the last change\nUndo\n&Undo %1\tCtrl+Z"}};
    PvRegisterStringTable(kTable);
    TextCmdUI ui;
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, kUndoId + 1, "Undo");
    ui.m_nID = kUndoId + 1;
    ui.m_pMenu = &menu;
    m_grid->m_sUndoMenuFormat.Empty();
    EXPECT_TRUE(m_grid->CanUndo(&ui));
    EXPECT_EQ(ui.m_text, "&Undo Removing rows ...\tCtrl+Z");
    // Redo from an empty menu text.
    m_grid->Undo();
    CMenu redoMenu;
    redoMenu.CreatePopupMenu();
    redoMenu.AppendMenu(MF_STRING, kUndoId, "");
    TextCmdUI redo;
    redo.m_nID = kUndoId;
    redo.m_pMenu = &redoMenu;
    EXPECT_TRUE(m_grid->CanRedo(&redo));
    EXPECT_EQ(redo.m_text, "Redo Removing rows ...");
}

TEST_F(UndoTest, AnEditInProgressIsUndoneFirst)
{
    m_grid->SetValueRange(CGXCellRange(2, 2), "old");
    ASSERT_TRUE(m_grid->PlaceCurrentCell(2, 2));
    ASSERT_TRUE(m_grid->OnGridChar('n', 1, 0) || m_grid->ProcessKeyMessage(WM_CHAR, 'n', 1));
    ASSERT_TRUE(m_grid->IsCurrentCellControlActive());
    EXPECT_EQ(UndoMenuText(), "Undo Current Cell");
    const INT_PTR n = UndoCount();
    EXPECT_TRUE(m_grid->Undo()) << "the edit is discarded";
    EXPECT_EQ(UndoCount(), n);
    EXPECT_STREQ(Value(2, 2), "old");
    CString text;
    m_grid->CurrentCellText(text);
    EXPECT_STREQ(text, "old");
    EXPECT_TRUE(m_grid->Undo()) << "then the stored change";
    EXPECT_STREQ(Value(2, 2), "");
}

// Fault: a block failing at a later command had run the earlier ones, and went back whole, so
// each Undo ran them again (two more rows removed at each Ctrl+Z) and nothing redid them.
TEST_F(UndoTest, AFailingBlockTakesBackWhatItRan)
{
    int nRuns = 0;
    m_grid->SetValueRange(CGXCellRange(5, 1), "five");
    Param().ClearUndoList();
    m_grid->BeginTransaction("Two steps");
    m_grid->AddCommand(new FailingCmd(&nRuns), gxDo);
    m_grid->InsertRows(5, 2);
    m_grid->CommitTransaction();
    ASSERT_EQ(m_grid->RowCount(), 22u);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(m_grid->Undo());
        EXPECT_EQ(m_grid->RowCount(), 22u) << "the rows it removed are back";
        EXPECT_STREQ(Value(7, 1), "five");
        EXPECT_EQ(UndoCount(), 1);
        EXPECT_EQ(RedoCount(), 0);
        auto* pBlock = dynamic_cast<CGXBlockCmd*>(Param().GetUndoList().GetHead());
        ASSERT_NE(pBlock, nullptr);
        EXPECT_EQ(pBlock->m_CmdList.GetCount(), 2) << "whole";
    }
    EXPECT_EQ(nRuns, 2);
}

// Fault: Undo inside an open transaction ran the open block off the list; later commands then
// landed in whatever was at the head, and the commit deleted a plain command.
TEST_F(UndoTest, AnOpenTransactionKeepsItsBlock)
{
    m_grid->SetValueRange(CGXCellRange(1, 1), "before");
    m_grid->BeginTransaction("Open");
    m_grid->SetValueRange(CGXCellRange(2, 1), "inside");
    EXPECT_FALSE(m_grid->Undo());
    EXPECT_FALSE(m_grid->Redo());
    EXPECT_FALSE(m_grid->CanUndo(nullptr));
    EXPECT_STREQ(Value(2, 1), "inside");
    m_grid->SetValueRange(CGXCellRange(3, 1), "more");
    m_grid->CommitTransaction();
    ASSERT_EQ(UndoCount(), 2);
    EXPECT_STREQ(static_cast<CGXCommand*>(Param().GetUndoList().GetHead())->GetDisplayName(), "Open");
    EXPECT_TRUE(m_grid->Undo());
    EXPECT_STREQ(Value(2, 1), "");
    EXPECT_STREQ(Value(3, 1), "");
    EXPECT_STREQ(Value(1, 1), "before");

    // A plain command at the head of an open transaction is never taken for its block.
    Param().ClearUndoList();
    m_grid->BeginTransaction("Lost");
    delete Param().GetUndoList().RemoveHead();
    m_grid->SetValueRange(CGXCellRange(4, 1), "x");
    m_grid->SetValueRange(CGXCellRange(4, 1), "y");
    m_grid->CommitTransaction();
    EXPECT_EQ(UndoCount(), 2) << "both recorded at the top, none deleted";
}

TEST_F(UndoTest, RemovingTooManyRowsAsksFirst)
{
    MsgBoxLog log;
    m_grid->SetRowCount(40010);
    m_grid->SetValueRange(CGXCellRange(40005, 1), "kept");
    Param().ClearUndoList();
    log.answers("cancel");
    EXPECT_FALSE(m_grid->RemoveRows(1, 40000));
    EXPECT_EQ(m_grid->RowCount(), 40010u) << "Cancel: nothing changed";
    log.answers("ok");
    EXPECT_TRUE(m_grid->RemoveRows(1, 40000));
    EXPECT_EQ(m_grid->RowCount(), 10u);
    EXPECT_STREQ(Value(5, 1), "kept");
    EXPECT_EQ(UndoCount(), 0) << "no undo";
    EXPECT_FALSE(m_grid->Undo());
    const auto boxes = log.entries();
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& b : boxes)
        EXPECT_EQ(b.text, "Operation is too large for the undo buffer. Do you want to continue?");
    EXPECT_EQ(boxes[0].answer, "cancel");
}

TEST_F(UndoTest, RemovedRowsComeBackWithTheirStyles)
{
    CGXStyle rowStyle;
    rowStyle.SetValue("row");
    m_grid->SetStyleRange(CGXCellRange().SetRows(4), rowStyle);
    m_grid->SetValueRange(CGXCellRange(4, 0), "hdr");
    m_grid->SetValueRange(CGXCellRange(4, 6), "last");
    m_grid->SetRowHeights(4, 4, 50);
    m_grid->RemoveRows(3, 4);
    ASSERT_TRUE(m_grid->Undo());
    EXPECT_STREQ(Value(4, 0), "hdr");
    EXPECT_STREQ(Value(4, 6), "last");
    EXPECT_EQ(m_grid->RowHeight(4), 50);
    CGXStyle style;
    EXPECT_TRUE(m_grid->FetchStoredStyle(4, 0, style, gxCopy, -1));
    EXPECT_STREQ(style.GetValue(), "row");
}

}  // namespace
