// A grid whose data object is a formula sheet (made by its runtime class): what a person types,
// the message of a bad formula, Undo and Redo, paste, and row and column changes with undo.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "grid/core/gxparam.h"
#include "grid/formula/gxformulasheet.h"
#include "platform/base/CFile.h"
#include "tests/grid/controls/gxgridfixture.h"

namespace {

class FormulaGridTest : public GridFixture {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        InitGridLibraryWithFactory();
        s_boxes.clear();
        PvSetMessageBoxObserver(&GridFixture::OnBox);
        m_wnd.CreateEx(0, GX_WNDCLASS, "grid", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr);
        m_grid = std::make_unique<CGXGridCore>(&m_wnd);
        m_grid->m_pDataClass = RUNTIME_CLASS(CGXFormulaSheet);
        m_wnd.m_pGrid = m_grid.get();
        m_grid->Initialize();
        m_grid->SetRowCount(12);
        m_grid->SetColCount(6);
        m_grid->GetParam()->ClearUndoList();
        m_wnd.SetFocus();
    }

    CGXFormulaSheet& Sheet() { return *dynamic_cast<CGXFormulaSheet*>(m_grid->GetParam()->GetData()); }

    // Types the text into the cell and commits it with Enter.
    void Type(ROWCOL r, ROWCOL c, const std::string& text)
    {
        ASSERT_TRUE(m_grid->PlaceCurrentCell(r, c, 0));
        for (char ch : text)
            m_grid->ProcessKeyMessage(WM_CHAR, WPARAM(BYTE(ch)), 1);
        Key(VK_RETURN);
        PvPumpMessages();
    }
    std::string Shown(ROWCOL r, ROWCOL c)
    {
        std::string v;
        Sheet().GetValueRowCol(r, c, v);
        return v;
    }
    std::string Formula(ROWCOL r, ROWCOL c)
    {
        std::string v;
        Sheet().GetExpressionRowCol(r, c, v);
        return v;
    }
    // Every cell of the first rows and columns: formula text and value.
    std::string Dump()
    {
        std::string out;
        for (ROWCOL r = 1; r <= 12; ++r)
            for (ROWCOL c = 1; c <= 6; ++c) {
                std::string e = Formula(r, c), v = Shown(r, c);
                if (!e.empty() || !v.empty())
                    out += std::to_string(r) + "," + std::to_string(c) + ":" + e + "|" + v + " ";
            }
        return out;
    }
    void Fill()
    {
        const char* cells[][3] = {
            {"1", "10", "=A1+B1"}, {"2", "20", "=SUM(A1:A4)"}, {"3", "30", "=A3*B3"},
            {"4", "40", "=C1+C3"}, {"5", "50", "=A2+$A$5"},     {"6", "60", "=B6-A6"},
        };
        for (ROWCOL r = 0; r < 6; ++r)
            for (ROWCOL c = 0; c < 3; ++c)
                m_grid->SetValueRange(CGXCellRange(r + 1, c + 1), cells[r][c]);
        m_grid->SetValueRange(CGXCellRange(8, 1), "=A3+A4");
        m_grid->SetValueRange(CGXCellRange(8, 2), "=SUM(B2:B6)");
        Sheet().SetRangeName("top", CGXCellRange(1, 1, 1, 2));
        m_grid->SetValueRange(CGXCellRange(9, 1), "=SUM(top)");
        m_grid->GetParam()->ClearUndoList();
    }
};

TEST_F(FormulaGridTest, TheSheetIsTheGridsDataAndTurnsDirectCopyOn)
{
    EXPECT_TRUE(m_grid->GetParam()->GetData()->IsKindOf(RUNTIME_CLASS(CGXFormulaSheet)));
    EXPECT_TRUE(m_grid->GetParam()->m_bDirectCopyPaste);
    EXPECT_TRUE(m_grid->GetParam()->m_bDirectCutPaste);
    EXPECT_EQ(m_grid->DefaultValueType(), 1);
    EXPECT_EQ(GXGetLibraryState().LookupGridOfData(&Sheet()), m_grid.get());
}

TEST_F(FormulaGridTest, TypingShowsTheSumAndEditingShowsTheFormula)
{
    Type(1, 1, "1");
    Type(1, 2, "2");
    Type(1, 3, "=A1+B1");
    EXPECT_EQ(Shown(1, 3), "3");
    EXPECT_STREQ(m_grid->StoredCellValueText(1, 3), "=A1+B1") << "the edit text";
    EXPECT_STREQ(m_grid->CellValueText(1, 3), "3") << "the drawn text";
    ASSERT_TRUE(m_grid->PlaceCurrentCell(1, 3, 0));
    Key(VK_F2);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_TRUE(Edit()->IsActive());
    CString sEdit;
    Edit()->GetEditWnd()->GetWindowText(sEdit);
    EXPECT_STREQ(sEdit, "=A1+B1") << "F2 edits the formula";
    Key(VK_ESCAPE);
    Type(1, 1, "5");
    EXPECT_EQ(Shown(1, 3), "7");
    EXPECT_TRUE(s_boxes.empty());
}

TEST_F(FormulaGridTest, ABadFormulaKeepsTheCellAndShowsOneMessage)
{
    Type(1, 4, "7");
    Type(1, 4, "=1+");
    ASSERT_EQ(s_boxes.size(), 1u);
    EXPECT_EQ(s_boxes[0], "Cell D1: ERROR: expected to find an operand here (Pos 3)");
    EXPECT_EQ(Shown(1, 4), "7");
    Type(1, 5, "=A1*2");
    EXPECT_EQ(s_boxes.size(), 1u) << "the message was fetched once";
}

TEST_F(FormulaGridTest, UndoAndRedoTakeTypingBack)
{
    Type(1, 1, "1");
    Type(1, 2, "2");
    Type(1, 3, "=A1+B1");
    Type(1, 1, "5");
    ASSERT_EQ(Shown(1, 3), "7");
    ASSERT_TRUE(m_grid->Undo());
    EXPECT_EQ(Shown(1, 1), "1");
    EXPECT_EQ(Shown(1, 3), "3");
    ASSERT_TRUE(m_grid->Redo());
    EXPECT_EQ(Shown(1, 3), "7");
    ASSERT_TRUE(m_grid->Undo());
    ASSERT_TRUE(m_grid->Undo());
    EXPECT_EQ(Formula(1, 3), "");
    ASSERT_TRUE(m_grid->Redo());
    EXPECT_EQ(Formula(1, 3), "=A1+B1");
    EXPECT_EQ(Shown(1, 3), "3");
}

TEST_F(FormulaGridTest, CopyingCellsMovesRelativeReferences)
{
    Type(1, 1, "5");
    Type(1, 5, "=A1*2");
    ASSERT_TRUE(m_grid->CopyCells(CGXCellRange(1, 5), 3, 5));
    EXPECT_EQ(Formula(3, 5), "=A3*2");
    EXPECT_EQ(Shown(3, 5), "Error!") << "A3 is empty";
    ASSERT_TRUE(m_grid->Undo());
    EXPECT_EQ(Formula(3, 5), "");
    ASSERT_TRUE(m_grid->Redo());
    EXPECT_EQ(Formula(3, 5), "=A3*2");
}

// Each change compared as whole-sheet dumps before, after, after Undo and after Redo.
TEST_F(FormulaGridTest, StructureChangesUndoToTheSameSheet)
{
    struct Case {
        const char* name;
        std::function<BOOL(CGXGridCore&)> change;
    };
    const Case cases[] = {
        {"insert rows", [](CGXGridCore& g) { return g.InsertRows(3, 2); }},
        {"remove rows", [](CGXGridCore& g) { return g.RemoveRows(3, 4); }},
        {"remove the named row", [](CGXGridCore& g) { return g.RemoveRows(1, 1); }},
        {"insert columns", [](CGXGridCore& g) { return g.InsertCols(2, 1); }},
        {"remove columns", [](CGXGridCore& g) { return g.RemoveCols(1, 1); }},
        {"move rows down", [](CGXGridCore& g) { return g.MoveRows(2, 3, 6); }},
        {"move rows up", [](CGXGridCore& g) { return g.MoveRows(5, 6, 1); }},
        {"move columns", [](CGXGridCore& g) { return g.MoveCols(1, 1, 3); }},
        {"move cells", [](CGXGridCore& g) { return g.MoveCells(CGXCellRange(1, 1, 2, 2), 10, 4); }},
        {"copy cells", [](CGXGridCore& g) { return g.CopyCells(CGXCellRange(1, 1, 3, 3), 9, 3); }},
        {"sort rows", [](CGXGridCore& g) {
             CGXSortInfoArray keys;
             keys.SetSize(1);
             keys[0] = GXSortInfo {};
             keys[0].nRC = 2;
             keys[0].sortType = 1;
             keys[0].sortOrder = 1;  // descending
             return g.SortRows(CGXCellRange().SetRows(1, 6), keys);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sheet().DeleteContents();
        Fill();
        const std::string before = Dump();
        ASSERT_TRUE(c.change(*m_grid));
        const std::string after = Dump();
        EXPECT_NE(after, before);
        ASSERT_TRUE(m_grid->Undo());
        EXPECT_EQ(Dump(), before);
        ASSERT_TRUE(m_grid->Redo());
        EXPECT_EQ(Dump(), after);
        ASSERT_TRUE(m_grid->Undo());
        EXPECT_EQ(Dump(), before);
        m_grid->GetParam()->ClearUndoList();
        m_grid->GetParam()->ClearRedoList();
    }
}

// The settings file's fuzz target starts from a parameter object whose data is a formula sheet
// (behind a first byte 0: the bytes as they are). PV_WRITE_GRID_SEEDS=1 writes it afresh.
TEST_F(FormulaGridTest, AGridSettingsFileWithAFormulaSheetLoadsAndSeedsTheFuzzTarget)
{
    CGXGridParam param;
    auto* sheet = new CGXFormulaSheet;
    param.SetData(sheet, TRUE);
    sheet->SetValueRowCol(1, 1, "1");
    sheet->SetValueRowCol(1, 2, "2");
    sheet->SetValueRowCol(1, 3, "=A1+B1");
    sheet->SetValueRowCol(2, 1, "'text");
    sheet->SetRangeName("pair", CGXCellRange(1, 1, 1, 2));
    sheet->SetValueRowCol(2, 2, "=SUM(pair)");
    sheet->SetValueRowCol(2, 3, "=1/0");
    auto store = [](const CObject* p) {
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            ar.WriteObject(p);
            ar.Close();
        }
        const ULONGLONG n = file.GetLength();
        BYTE* b = file.Detach();
        std::vector<BYTE> out(b, b + n);
        std::free(b);
        return out;
    };
    const std::vector<BYTE> written = store(&param);
    const std::string path = std::string(PV_GRID_SEEDS) + "/formula-sheet";
    if (std::getenv("PV_WRITE_GRID_SEEDS")) {
        std::vector<BYTE> seed {0};
        seed.insert(seed.end(), written.begin(), written.end());
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(seed.data()), std::streamsize(seed.size()));
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<BYTE> seed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(seed.size(), 1u);
    ASSERT_EQ(seed[0], 0);
    seed.erase(seed.begin());
    EXPECT_EQ(seed, written);
    CMemFile file(seed.data(), UINT(seed.size()));
    CArchive ar(&file, CArchive::load);
    std::unique_ptr<CObject> back(ar.ReadObject(RUNTIME_CLASS(CGXGridParam)));
    auto* pParam = dynamic_cast<CGXGridParam*>(back.get());
    ASSERT_NE(pParam, nullptr);
    auto* pSheet = dynamic_cast<CGXFormulaSheet*>(pParam->GetData());
    ASSERT_NE(pSheet, nullptr) << "made by its runtime class";
    std::string e, v;
    pSheet->GetExpressionRowCol(2, 2, e);
    pSheet->GetValueRowCol(2, 2, v);
    EXPECT_EQ(e, "=SUM(pair)");
    EXPECT_EQ(v, "3");
    EXPECT_EQ(store(pParam), written);
}

}  // namespace
