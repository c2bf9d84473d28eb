// The grid's clipboard: table text and styles exchange, direct copy and move of
// blocks, cut, copy, paste and clear with undo, and the faults mended in them,
// each as a case.

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "gxcliptext.h"
#include "gxundomenu.h"
#include "../controls/gxgridfixture.h"
#include "grid/core/gxarchive.h"
#include "grid/core/gxdata.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxstymap.h"
#include "grid/features/gxcmd.h"
#include "grid/features/gxcopymove.h"
#include "grid/features/gxcutpaste.h"
#include "grid/features/gxdataexch.h"
#include "grid/features/gxdirectcopy.h"
#include "platform/base/CArchive.h"
#include "platform/sys/sharedfile.h"
#include "platform/ui/cmdui.h"
#include "platform/ui/menu.h"

namespace {


// A cell store whose block move fails.
class RefusingMoveData : public CGXData {
public:
    BOOL MoveCells(const CGXCellRange&, ROWCOL, ROWCOL, CObject*&, BOOL) override { return FALSE; }
};

// A grid that cannot grow its rows.
class FixedRowsGrid : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    BOOL m_bFixed = FALSE;
    BOOL StoreInsertRows(ROWCOL nRow, ROWCOL nCount, BOOL bForce) override
    {
        return m_bFixed ? FALSE : CGXGridCore::StoreInsertRows(nRow, nCount, bForce);
    }
};

class ClipboardTest : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        m_grid->GetParam()->ClearUndoList();
        setenv("PV_MSGBOX_ANSWERS", "", 1);
        unsetenv("PV_MSGBOX_ANSWERS");
    }
    void TearDown() override
    {
        unsetenv("PV_MSGBOX_ANSWERS");
        GridFixture::TearDown();
    }
    void Put(ROWCOL r, ROWCOL c, LPCTSTR v) { m_grid->SetValueRange(CGXCellRange(r, c), v); }
    std::string V(ROWCOL r, ROWCOL c) { return std::string(LPCTSTR(Value(r, c))); }
    void Select(const CGXCellRange& r) { m_grid->SetSelection(&r); }
    CGXGridParam& Param() { return *m_grid->GetParam(); }
    INT_PTR UndoCount() { return Param().GetUndoList().GetCount(); }
    std::string UndoName()
    {
        if (Param().GetUndoList().IsEmpty())
            return "";
        return std::string(LPCTSTR(static_cast<CGXCommand*>(Param().GetUndoList().GetHead())->GetDisplayName()));
    }
    std::string UndoMenuText() { return GridUndoMenuText(*m_grid); }
    BOOL CopyList(std::initializer_list<CGXCellRange> ranges)
    {
        CGXRangeList list;
        for (const CGXCellRange& r : ranges)
            list.AddRange(r);
        return m_grid->CopyRange(list);
    }
    BOOL PasteTextAt(const std::string& s, ROWCOL r, ROWCOL c, bool bNulInside = true)
    {
        return m_grid->PasteTextFromBuffer(s.c_str(), DWORD(s.size() + (bNulInside ? 1 : 0)), CGXCellRange(r, c));
    }
};

// ---- Text ----

TEST_F(ClipboardTest, TextEdgeCasesOfTheTablePart)
{
    struct Case {
        const char* name;
        std::vector<std::string> values;  // one row
        DWORD options;
        std::string text;
    };
    const Case cases[] = {
        {"single cell", {"abc"}, 0x08, "abc"},
        {"one row of two", {"a", "b"}, 0x08, "a\tb\r\n"},
        {"TAB inside", {"x\ty"}, 0x08, "x\\ty"},
        {"TAB inside, escapes", {"x\ty"}, 0x1008, "x\\ty"},
        {"CR LF inside", {"x\r\ny"}, 0x08, "x y"},
        {"CR LF inside, escapes", {"x\r\ny"}, 0x1008, "x\\r\\ny"},
        {"lone CR and LF", {"a\rb\nc"}, 0x08, "a b c"},
        {"UTF-8", {"M\xC3\xBCller", "\xE6\x9D\xB1\xE4\xBA\xAC"}, 0x08, "M\xC3\xBCller\t\xE6\x9D\xB1\xE4\xBA\xAC\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_grid->m_nClipboardFlags = c.options;
        for (size_t i = 0; i < c.values.size(); ++i)
            Put(2, ROWCOL(1 + i), c.values[i].c_str());
        EXPECT_TRUE(CopyList({CGXCellRange(2, 1, 2, ROWCOL(c.values.size()))}));
        EXPECT_EQ(ClipText(), c.text);
        EXPECT_EQ(m_grid->m_nCopiedRows, 1u);
        EXPECT_EQ(m_grid->m_nCopiedCols, ROWCOL(c.values.size()));
    }
}

TEST_F(ClipboardTest, TextPastesBackByTheSameRules)
{
    struct Case {
        const char* name;
        std::string text;
        DWORD options;
        std::vector<std::string> values;
    };
    const Case cases[] = {
        {"TAB escape without option stays two characters", "x\\ty", 0x08, {"x\\ty"}},
        {"TAB escape with option", "x\\ty", 0x1008, {"x\ty"}},
        {"CR LF escape with option", "x\\r\\ny", 0x1008, {"x\r\ny"}},
        {"other backslash stays", "a\\b\\", 0x1008, {"a\\b\\"}},
        {"UTF-8 row", "M\xC3\xBCller\t\xE6\x9D\xB1\xE4\xBA\xAC\r\n", 0x08, {"M\xC3\xBCller", "\xE6\x9D\xB1\xE4\xBA\xAC"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_grid->m_nClipboardFlags = c.options;
        EXPECT_TRUE(PasteTextAt(c.text, 3, 1));
        for (size_t i = 0; i < c.values.size(); ++i)
            EXPECT_EQ(V(3, ROWCOL(1 + i)), c.values[i]);
    }
}

TEST_F(ClipboardTest, UnicodeValuesRoundTripThroughTheClipboard)
{
    Put(1, 1, "M\xC3\xBCller");
    Put(1, 2, "\xE6\x9D\xB1\xE4\xBA\xAC");
    m_grid->m_nClipboardFlags = 0x08;
    Select(CGXCellRange(1, 1, 1, 2));
    ASSERT_TRUE(m_grid->Copy());
    Select(CGXCellRange(5, 3));
    ASSERT_TRUE(m_grid->Paste());
    EXPECT_EQ(V(5, 3), "M\xC3\xBCller");
    EXPECT_EQ(V(5, 4), "\xE6\x9D\xB1\xE4\xBA\xAC");
}

TEST_F(ClipboardTest, ThreeLinesIntoAGridOneRowShort)
{
    for (DWORD opt : {0x08u, 0x0208u}) {
        SCOPED_TRACE(opt);
        m_grid->SetRowCount(20);
        m_grid->m_nClipboardFlags = opt;
        EXPECT_TRUE(PasteTextAt("a\r\nb\r\nc\r\n", 19, 1));
        EXPECT_EQ(V(19, 1), "a");
        EXPECT_EQ(V(20, 1), "b");
        if (opt & 0x0200) {
            EXPECT_EQ(m_grid->RowCount(), 20u) << "the third line is dropped";
        } else {
            EXPECT_EQ(m_grid->RowCount(), 21u);
            EXPECT_EQ(V(21, 1), "c");
        }
    }
}

TEST_F(ClipboardTest, DesktopTextWithLineFeedsAndAFinalBreakPastes)
{
    m_grid->m_nClipboardFlags = 0x08;
    // As another program leaves it: LF ends, a trailing LF, no NUL inside the length.
    const std::string s = "p\tq\nr\ts\n";
    EXPECT_TRUE(m_grid->PasteTextFromBuffer(s.c_str(), DWORD(s.size()), CGXCellRange(1, 1)));
    EXPECT_EQ(V(1, 1), "p");
    EXPECT_EQ(V(1, 2), "q");
    EXPECT_EQ(V(2, 1), "r");
    EXPECT_EQ(V(2, 2), "s");
    EXPECT_EQ(V(3, 1), "");
    EXPECT_EQ(m_grid->RowCount(), 20u);
}

TEST_F(ClipboardTest, APasteGrowsTheGridOnceAndIsOneUndoStep)
{
    m_grid->m_nClipboardFlags = 0x08;
    std::string s;
    for (int r = 0; r < 30; ++r)
        s += "a\tb\tc\tx\tx\tx\tx\tx\r\n";
    EXPECT_TRUE(PasteTextAt(s, 1, 1));
    EXPECT_EQ(m_grid->RowCount(), 30u);
    EXPECT_EQ(m_grid->ColCount(), 8u);
    EXPECT_EQ(UndoCount(), 1);
    EXPECT_EQ(UndoName(), "Paste.");
    EXPECT_EQ(UndoMenuText(), "Undo Paste.");
    EXPECT_TRUE(m_grid->Undo());
    EXPECT_EQ(V(1, 1), "");
}

TEST_F(ClipboardTest, CalcBufferDimensionCountsLinesAndFields)
{
    struct Case {
        std::string text;
        DWORD length;
        ROWCOL rows, cols;
    };
    const std::string t = std::string("a\tb\r\nc\0", 7);
    const Case cases[] = {
        {t, 7, 2, 2},  // NUL inside the length
        {t, 6, 1, 2},  // the length ends just before the NUL
        {"", 0, 0, 1},
        {std::string("a\tb\r\n\0x\ty\tz", 11), 11, 1, 2},  // a break followed by NUL ends the count
        {"a\tb", 3, 1, 2},   // the length ends with a separator on the line
        {"abc", 3, 0, 1},    // no separator, no NUL: not a line
        {std::string("abc\0", 4), 4, 1, 1},
        {"a\rb\nc\r\nd\t\te\n", 12, 4, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ROWCOL nRows = 99, nCols = 99;
        EXPECT_TRUE(m_grid->CalcBufferDimension(c.text.data(), c.length, nRows, nCols));
        EXPECT_EQ(nRows, c.rows);
        EXPECT_EQ(nCols, c.cols);
    }
}

// ---- Styles ----

TEST_F(ClipboardTest, StylesRoundTripBordersFontsAndABaseStyle)
{
    CGXStylesMap* pMap = m_grid->GetStylesMap();
    const WORD wBase = pMap->RegisterStyleByName("Money", CGXStyle().SetInteriorColor(RGB(0, 128, 0)));
    CGXStyle style;
    style.SetValue("12.50")
        .SetBorders(0, CGXPackedPen(PS_SOLID, 2, RGB(255, 0, 0)))
        .SetFont(CGXFont().SetBold(TRUE).SetSize(14))
        .SetBaseStyle(wBase);
    SetStyle(2, 2, style);
    m_grid->m_nClipboardFlags = 0x18;
    Select(CGXCellRange(2, 2));
    ASSERT_TRUE(m_grid->Copy());
    ASSERT_TRUE(::IsClipboardFormatAvailable(GXGetLibraryState().m_nStylesClipboardFormat));
    Select(CGXCellRange(7, 4));
    ASSERT_TRUE(m_grid->Paste());
    CGXStyle got;
    ASSERT_TRUE(m_grid->FetchStoredStyle(7, 4, got, gxCopy, 0));
    EXPECT_EQ(std::string(LPCTSTR(got.GetValue())), "12.50");
    EXPECT_TRUE(got.GetBorders(0) == style.GetBorders(0));
    EXPECT_TRUE(got.GetFont() == style.GetFont());
    EXPECT_TRUE(got.GetIncludeBaseStyle());
    EXPECT_EQ(got.GetBaseStyle(), wBase);
    EXPECT_EQ(UndoName(), "Paste.");
}

TEST_F(ClipboardTest, AStylesBlockOf40000RowsIsTooBig)
{
    m_grid->SetRowCount(40000);
    m_grid->m_nClipboardFlags = 0x10;
    EXPECT_FALSE(CopyList({CGXCellRange(1, 1, 40000, 1)}));
    ASSERT_EQ(s_boxes.size(), 1u);
    EXPECT_EQ(s_boxes[0], "Range too big.");
    EXPECT_FALSE(::IsClipboardFormatAvailable(GXGetLibraryState().m_nStylesClipboardFormat));
}

TEST_F(ClipboardTest, ASizeMismatchAsksOkOrCancel)
{
    Put(1, 1, "a");
    Put(1, 2, "b");
    m_grid->m_nClipboardFlags = 0x0118;
    ASSERT_TRUE(CopyList({CGXCellRange(1, 1, 1, 2)}));
    for (const char* answer : {"cancel", "ok"}) {
        SCOPED_TRACE(answer);
        s_boxes.clear();
        setenv("PV_MSGBOX_ANSWERS", answer, 1);
        Select(CGXCellRange(5, 1, 6, 3));
        const BOOL b = m_grid->Paste();
        unsetenv("PV_MSGBOX_ANSWERS");
        ASSERT_EQ(s_boxes.size(), 1u);
        EXPECT_EQ(s_boxes[0], "Clipboard size is different from selected range");
        EXPECT_EQ(bool(b), std::string(answer) == "ok");
        EXPECT_EQ(V(5, 1), std::string(answer) == "ok" ? "a" : "");
    }
    // The block's own size pastes without asking.
    s_boxes.clear();
    Select(CGXCellRange(8, 1, 8, 2));
    EXPECT_TRUE(m_grid->Paste());
    EXPECT_TRUE(s_boxes.empty());
    EXPECT_EQ(V(8, 2), "b");
}

TEST_F(ClipboardTest, AMultiAreaPasteIsRefused)
{
    SetClipText("x");
    m_grid->GetParam()->m_SelRects.AddRange(CGXCellRange(1, 1));
    m_grid->GetParam()->m_SelRects.AddRange(CGXCellRange(3, 3));
    EXPECT_FALSE(m_grid->Paste());
    ASSERT_EQ(s_boxes.size(), 1u);
    EXPECT_EQ(s_boxes[0], "Pasting is not possible for multi-area selections.");
    EXPECT_EQ(V(1, 1), "");
}

// A styles block written by hand: counts, then the array as the object archive writes it.
std::vector<BYTE> StylesBlock(CGXGridCore& grid, DWORD nRows, DWORD nCols, DWORD_PTR nCount,
                              const std::vector<CObject*>& elements)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar.m_pDocument = grid.GetStylesMap();
        ar << nRows << nCols;
        ar.WriteCount(nCount);
        for (CObject* p : elements)
            ar << p;
        ar.Close();
    }
    const ULONGLONG n = file.GetLength();
    std::vector<BYTE> v(static_cast<size_t>(n));
    file.SeekToBegin();
    file.Read(v.data(), UINT(n));
    return v;
}

TEST_F(ClipboardTest, ADamagedStylesBlockChangesNothing)
{
    CGXStyle a, b;
    a.SetValue("A");
    b.SetValue("B");
    CGXRangeList other;
    other.AddRange(CGXCellRange(1, 1));
    struct Case {
        const char* name;
        std::vector<BYTE> block;
    };
    const std::vector<Case> cases = {
        {"rows over the limit", StylesBlock(*m_grid, 40000, 1, 0, {})},
        {"columns over the limit", StylesBlock(*m_grid, 1, 40000, 0, {})},
        {"cells over the limit", StylesBlock(*m_grid, 32767, 32767, 0, {})},
        {"no rows", StylesBlock(*m_grid, 0, 1, 0, {})},
        {"short array", StylesBlock(*m_grid, 2, 1, 1, {&a})},
        {"array longer than the block", StylesBlock(*m_grid, 1, 1, 2, {&a, &b})},
        {"array read past its end", StylesBlock(*m_grid, 3, 1, 3, {&a})},
        {"huge count", StylesBlock(*m_grid, 30000, 30000, 900000000, {&a})},
        {"another class", StylesBlock(*m_grid, 2, 1, 2, {&a, &other})},
    };
    const INT_PTR nUndo = UndoCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMemFile file(const_cast<BYTE*>(c.block.data()), UINT(c.block.size()));
        CArchive ar(&file, CArchive::load);
        EXPECT_FALSE(m_grid->PasteStylesFromArchive(ar, CGXCellRange(19, 1), TRUE));
        EXPECT_EQ(m_grid->RowCount(), 20u);
        EXPECT_EQ(m_grid->ColCount(), 6u);
        EXPECT_EQ(V(19, 1), "");
        EXPECT_EQ(UndoCount(), nUndo);
    }
    // The same form, whole, pastes.
    const std::vector<BYTE> good = StylesBlock(*m_grid, 2, 1, 2, {&a, nullptr});
    CMemFile file(const_cast<BYTE*>(good.data()), UINT(good.size()));
    CArchive ar(&file, CArchive::load);
    EXPECT_TRUE(m_grid->PasteStylesFromArchive(ar, CGXCellRange(19, 1), TRUE));
    EXPECT_EQ(V(19, 1), "A");
}

// ---- Faults ----

TEST_F(ClipboardTest, MoveCellsAnswersTheStoresResult)
{
    auto* pData = new RefusingMoveData;
    m_grid->GetParam()->SetData(pData, TRUE);
    m_grid->SetRowCount(20);
    m_grid->SetColCount(6);
    Param().ClearUndoList();
    CObject* pInfo = nullptr;
    EXPECT_FALSE(m_grid->MoveCells(CGXCellRange(1, 1, 2, 2), 5, 5, pInfo, GX_UPDATENOW, gxDo));
    EXPECT_EQ(pInfo, nullptr);
    EXPECT_EQ(UndoCount(), 0) << "no command for a move that did not happen";

    // A pending direct cut whose move fails is not reported pasted.
    Param().m_bDirectCutPaste = TRUE;
    Select(CGXCellRange(1, 1));
    Put(1, 1, "x");
    m_grid->Cut();
    ASSERT_TRUE(Param().m_bCutPending);
    Select(CGXCellRange(5, 5));
    EXPECT_FALSE(m_grid->Paste());
}

TEST_F(ClipboardTest, ARefusedCellRollsTheTextPasteBack)
{
    Put(1, 1, "old");
    SetStyle(2, 1, CGXStyle().SetReadOnly(TRUE));
    Param().ClearUndoList();
    m_grid->m_nClipboardFlags = 0x08;
    EXPECT_FALSE(PasteTextAt("new\r\nrefused\r\nnever\r\n", 1, 1));
    EXPECT_EQ(V(1, 1), "old") << "the part pasted goes back";
    EXPECT_EQ(V(3, 1), "");
    EXPECT_EQ(UndoCount(), 0);
}

TEST_F(ClipboardTest, AFailedGrowthRollsTheTextPasteBack)
{
    m_wnd.m_pGrid = nullptr;
    m_grid.reset();
    auto grid = std::make_unique<FixedRowsGrid>(&m_wnd);
    FixedRowsGrid* pGrid = grid.get();
    m_grid = std::move(grid);
    m_wnd.m_pGrid = m_grid.get();
    m_grid->Initialize();
    m_grid->SetRowCount(3);
    m_grid->SetColCount(3);
    Put(2, 1, "old");
    Param().ClearUndoList();
    pGrid->m_bFixed = TRUE;
    m_grid->m_nClipboardFlags = 0x08;
    EXPECT_FALSE(PasteTextAt("a\r\nb\r\nc\r\nd\r\n", 2, 1));
    EXPECT_EQ(V(2, 1), "old");
    EXPECT_EQ(m_grid->RowCount(), 3u);
    EXPECT_EQ(UndoCount(), 0);
}

TEST_F(ClipboardTest, TheDirectCopyBlockHoldsATokenNotAnAddress)
{
    Param().m_bDirectCopyPaste = TRUE;
    m_grid->m_nClipboardFlags = 0x08;
    Put(1, 1, "src");
    Select(CGXCellRange(1, 1));
    ASSERT_TRUE(m_grid->Copy());
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HGLOBAL h = ::GetClipboardData(GXDirectCopyFormat());
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(GlobalSize(h), sizeof(GXDirectCopyToken));
    GXDirectCopyToken token {};
    std::memcpy(&token, GlobalLock(h), sizeof token);
    GlobalUnlock(h);
    ::CloseClipboard();
    EXPECT_EQ(token.nProcessId, DWORD(::getpid()));
    EXPECT_EQ(token.nSerial, Param().m_nDirectCopySerial);
    EXPECT_NE(token.nSerial, 0u);

    // The grid's own token pastes directly (the stored style, with its format, is copied).
    SetStyle(1, 1, CGXStyle().SetInteriorColor(RGB(1, 2, 3)));
    Select(CGXCellRange(1, 1));
    ASSERT_TRUE(m_grid->Copy());
    SetClipText("from the text");  // the direct path does not read the text
    GXDirectCopyToken mine = GXDirectCopyTokenOf(&Param());
    SetClipBlock(GXDirectCopyFormat(), &mine, sizeof mine, false);
    Select(CGXCellRange(4, 4));
    EXPECT_TRUE(m_grid->Paste());
    EXPECT_EQ(V(4, 4), "src");

    // A block of the old form (the parameter object's address) or another serial takes the
    // clipboard path.
    struct Case {
        const char* name;
        std::vector<BYTE> block;
    };
    CGXGridParam* pAddress = &Param();
    GXDirectCopyToken foreign = mine;
    foreign.nSerial += 1000;
    GXDirectCopyToken otherProcess = mine;
    otherProcess.nProcessId += 1;
    const std::vector<Case> cases = {
        {"address in 4 bytes", std::vector<BYTE>(reinterpret_cast<BYTE*>(&pAddress), reinterpret_cast<BYTE*>(&pAddress) + 4)},
        {"address in 8 bytes", std::vector<BYTE>(reinterpret_cast<BYTE*>(&pAddress), reinterpret_cast<BYTE*>(&pAddress) + 8)},
        {"another serial", std::vector<BYTE>(reinterpret_cast<BYTE*>(&foreign), reinterpret_cast<BYTE*>(&foreign) + 16)},
        {"another process", std::vector<BYTE>(reinterpret_cast<BYTE*>(&otherProcess), reinterpret_cast<BYTE*>(&otherProcess) + 16)},
    };
    ROWCOL nRow = 6;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetClipText("from the text");
        SetClipBlock(GXDirectCopyFormat(), c.block.data(), c.block.size(), false);
        Select(CGXCellRange(nRow, 2));
        EXPECT_TRUE(m_grid->Paste());
        EXPECT_EQ(V(nRow, 2), "from the text");
        ++nRow;
    }
}

TEST_F(ClipboardTest, CopyInAPasswordCellLeavesTheClipboardUnchanged)
{
    SetStyle(2, 2, CGXStyle().SetControl(WORD(GX_IDS_CTRL_PASSWORD)).SetValue("secret"));
    SetClipText("kept");
    m_grid->PlaceCurrentCell(2, 2);
    m_grid->ClearRangeSelection(GX_INVALIDATE);
    EXPECT_TRUE(m_grid->Copy());
    EXPECT_EQ(ClipText(), "kept");
    EXPECT_TRUE(m_grid->Cut());
    EXPECT_EQ(ClipText(), "kept");
    EXPECT_EQ(V(2, 2), "secret");
}

TEST_F(ClipboardTest, APasteDirectTakesEverySourceBlockBeforeWriting)
{
    for (ROWCOL r = 1; r <= 4; ++r)
        Put(r, 1, ("row " + std::to_string(r)).c_str());
    Param().ClearUndoList();
    Param().m_bDirectCutPaste = TRUE;
    Param().m_SelRects.DeleteAll();
    Param().m_SelRects.AddRange(CGXCellRange(1, 1));
    Param().m_SelRects.AddRange(CGXCellRange(3, 1));
    EXPECT_TRUE(m_grid->Cut());
    EXPECT_TRUE(Param().m_bCutPending);
    Select(CGXCellRange(3, 1));
    EXPECT_TRUE(m_grid->Paste());
    EXPECT_EQ(V(1, 1), "");
    EXPECT_EQ(V(2, 1), "row 2");
    EXPECT_EQ(V(3, 1), "row 1");
    EXPECT_EQ(V(4, 1), "row 3") << "old row 3 is not lost";
    EXPECT_FALSE(Param().m_bCutPending);
    EXPECT_EQ(UndoCount(), 1);
    EXPECT_EQ(UndoName(), "Move");
    EXPECT_TRUE(m_grid->Undo());
    for (ROWCOL r = 1; r <= 4; ++r)
        EXPECT_EQ(V(r, 1), "row " + std::to_string(r));
}

// ---- Commands ----

TEST_F(ClipboardTest, CopyWithNothingSelectedCopiesTheCurrentCell)
{
    Put(4, 3, "here");
    m_grid->PlaceCurrentCell(4, 3);
    m_grid->ClearRangeSelection(GX_INVALIDATE);
    m_grid->m_nClipboardFlags = 0x08;
    EXPECT_TRUE(m_grid->CanCopy());
    EXPECT_TRUE(m_grid->Copy());
    EXPECT_EQ(ClipText(), "here");
}

TEST_F(ClipboardTest, AnAllEmptyCopyAnswersFalseAndLeavesTheClipboardEmpty)
{
    SetClipText("before");
    m_grid->m_nClipboardFlags = 0x08;
    Select(CGXCellRange(5, 1, 6, 2));
    EXPECT_FALSE(m_grid->Copy());
    EXPECT_EQ(ClipText(), "<none>");
}

TEST_F(ClipboardTest, DirectCutThenPasteMovesAndASecondPasteReadsTheClipboard)
{
    Put(1, 1, "a");
    Put(1, 2, "b");
    Param().ClearUndoList();
    Param().m_bDirectCutPaste = TRUE;
    m_grid->m_nClipboardFlags = 0x08;
    Select(CGXCellRange(1, 1, 1, 2));
    ASSERT_TRUE(m_grid->Cut());
    EXPECT_TRUE(Param().m_bCutPending);
    EXPECT_EQ(V(1, 1), "a") << "the cells stay until the paste";
    // The pending cut shows hatched.
    CGXStyle composed;
    m_grid->ComposeCellStyle(1, 1, composed);
    EXPECT_EQ(composed.GetInterior().GetStyle(), UINT(GX_BS_PATTERN));
    SetClipText("clip\tboard");  // the move does not read it
    Select(CGXCellRange(5, 3));
    ASSERT_TRUE(m_grid->Paste());
    EXPECT_EQ(V(1, 1), "");
    EXPECT_EQ(V(5, 3), "a");
    EXPECT_EQ(V(5, 4), "b");
    EXPECT_FALSE(Param().m_bCutPending);
    EXPECT_EQ(UndoName(), "Move");
    Select(CGXCellRange(8, 1));
    ASSERT_TRUE(m_grid->Paste());
    EXPECT_EQ(V(8, 1), "clip");
    EXPECT_EQ(V(8, 2), "board");
    // Undo the text paste, then the move.
    EXPECT_TRUE(m_grid->Undo());
    EXPECT_TRUE(m_grid->Undo());
    EXPECT_EQ(V(1, 1), "a");
    EXPECT_EQ(V(5, 3), "");
}

TEST_F(ClipboardTest, DirectCopyIntoAnotherGridReadsTheClipboard)
{
    Param().m_bDirectCopyPaste = TRUE;
    m_grid->m_nClipboardFlags = 0x08;
    Put(1, 1, "mine");
    Select(CGXCellRange(1, 1));
    ASSERT_TRUE(m_grid->Copy());

    GXTestHostWnd wnd2;
    wnd2.CreateEx(0, GX_WNDCLASS, "grid2", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr);
    CGXGridCore other(&wnd2);
    wnd2.m_pGrid = &other;
    other.Initialize();
    other.SetRowCount(5);
    other.SetColCount(5);
    other.GetParam()->m_bDirectCopyPaste = TRUE;
    other.m_nClipboardFlags = 0x08;
    // Its own source list is not empty, yet the block on the clipboard is not its own.
    other.GetParam()->m_CutRanges.AddRange(CGXCellRange(2, 2));
    other.SetValueRange(CGXCellRange(2, 2), "theirs");
    SetClipText("text of the copy");
    GXDirectCopyToken mine = GXDirectCopyTokenOf(&Param());
    SetClipBlock(GXDirectCopyFormat(), &mine, sizeof mine, false);
    const CGXCellRange target(3, 3);
    other.SetSelection(&target);
    EXPECT_TRUE(other.Paste());
    EXPECT_EQ(std::string(LPCTSTR(other.StoredCellValueText(3, 3))), "text of the copy");
    wnd2.m_pGrid = nullptr;
    wnd2.DestroyWindow();
}

TEST_F(ClipboardTest, CutIsOneUndoStepNamedCutData)
{
    Put(2, 2, "cut me");
    Param().ClearUndoList();
    m_grid->m_nClipboardFlags = 0x08;
    Select(CGXCellRange(2, 2));
    ASSERT_TRUE(m_grid->Cut());
    EXPECT_EQ(ClipText(), "cut me");
    EXPECT_EQ(V(2, 2), "");
    EXPECT_EQ(UndoCount(), 1);
    EXPECT_EQ(UndoMenuText(), "Undo Cut Data.");
    EXPECT_TRUE(m_grid->Undo());
    EXPECT_EQ(V(2, 2), "cut me");
}

TEST_F(ClipboardTest, ClearKeepsFormatsSkipsHeadersAndIsOneStep)
{
    SetStyle(1, 1, CGXStyle().SetValue("v").SetInteriorColor(RGB(9, 9, 9)));
    Put(1, 2, "w");
    Param().ClearUndoList();
    CGXRangeList list;
    list.AddRange(CGXCellRange().SetTable());
    EXPECT_TRUE(m_grid->ClearCells(list, FALSE));
    EXPECT_EQ(V(1, 1), "");
    EXPECT_EQ(V(1, 2), "");
    CGXStyle stored;
    ASSERT_TRUE(m_grid->FetchStoredStyle(1, 1, stored, gxCopy, 0));
    EXPECT_TRUE(stored.GetInterior() == CGXPackedBrush(GX_BS_SOLID, RGB(9, 9, 9))) << "the format stays";
    CGXStyle header;
    EXPECT_FALSE(m_grid->FetchStoredStyle(0, 1, header, gxCopy, 0) && header.GetIncludeValue())
        << "no header cell is written";
    EXPECT_EQ(UndoCount(), 1);
    EXPECT_EQ(UndoMenuText(), "Undo Clear Cells");
    EXPECT_TRUE(m_grid->Undo());
    EXPECT_EQ(V(1, 1), "v");
    // With the remove-styles flag the format goes too.
    EXPECT_TRUE(m_grid->ClearCells(list, TRUE));
    CGXStyle none;
    EXPECT_FALSE(m_grid->FetchStoredStyle(1, 1, none, gxCopy, 0));
}

TEST_F(ClipboardTest, EscDuringAClearRollsItBack)
{
    for (ROWCOL r = 1; r <= 20; ++r)
        Put(r, 1, "x");
    Param().ClearUndoList();
    CGXLongOperationState& st = GXGetLongOperationState();
    st.m_bAskQuestion = FALSE;
    st.m_nFirstWait = st.m_nLaterWait = 0;
    PvSetTestClock(10000);
    PostMessage(m_wnd.GetSafeHwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    CGXRangeList list;
    list.AddRange(CGXCellRange(1, 1, 20, 1));
    EXPECT_FALSE(m_grid->ClearCells(list, FALSE));
    st.m_bAskQuestion = TRUE;
    st.m_bCancelKey = FALSE;
    st.m_nFirstWait = CGXLongOperationState::kFirstWaitMs;
    st.m_nLaterWait = CGXLongOperationState::kLaterWaitMs;
    PvClearTestClock();
    for (ROWCOL r = 1; r <= 20; ++r)
        EXPECT_EQ(V(r, 1), "x");
    EXPECT_EQ(UndoCount(), 0);
}

TEST_F(ClipboardTest, TheKeysCopyPasteDeleteAndUndo)
{
    Put(1, 1, "k");
    Param().ClearUndoList();
    m_grid->m_nClipboardFlags = 0x08;
    Select(CGXCellRange(1, 1));
    m_grid->PlaceCurrentCell(1, 1);
    Select(CGXCellRange(1, 1));
    SetModifiers(true, false, false);
    m_grid->ProcessKeyMessage(WM_CHAR, 3, 1);  // Ctrl+C
    SetModifiers(false, false, false);
    EXPECT_EQ(ClipText(), "k");
    m_grid->PlaceCurrentCell(3, 3);
    Select(CGXCellRange(3, 3));
    SetModifiers(true, false, false);
    m_grid->ProcessKeyMessage(WM_CHAR, 22, 1);  // Ctrl+V
    SetModifiers(false, false, false);
    EXPECT_EQ(V(3, 3), "k");
    Key(VK_DELETE);
    EXPECT_EQ(V(3, 3), "");
    EXPECT_EQ(UndoCount(), 2);
    EXPECT_EQ(UndoName(), "Clear Cells");
    m_grid->ProcessKeyMessage(WM_CHAR, 26, 1);  // Ctrl+Z
    EXPECT_EQ(V(3, 3), "k");
}

TEST_F(ClipboardTest, ABlockCopyOf40000RowsAsksTheUndoQuestion)
{
    m_grid->SetRowCount(80010);
    Put(1, 1, "top");
    Param().ClearUndoList();
    for (const char* answer : {"cancel", "ok"}) {
        SCOPED_TRACE(answer);
        s_boxes.clear();
        setenv("PV_MSGBOX_ANSWERS", answer, 1);
        const BOOL b = m_grid->CopyCells(CGXCellRange(1, 1, 40000, 1), 40001, 1);
        unsetenv("PV_MSGBOX_ANSWERS");
        ASSERT_EQ(s_boxes.size(), 1u);
        EXPECT_EQ(s_boxes[0], "Operation is too large for the undo buffer. Do you want to continue?");
        EXPECT_EQ(bool(b), std::string(answer) == "ok");
        EXPECT_EQ(V(40001, 1), std::string(answer) == "ok" ? "top" : "");
        EXPECT_EQ(UndoCount(), 0) << "no undo record either way";
    }
}

TEST_F(ClipboardTest, CopyCellsAndMoveCellsWithUndoAndCommandMode1)
{
    Put(1, 1, "a");
    Put(2, 1, "b");
    Put(5, 1, "over");
    Param().ClearUndoList();
    EXPECT_TRUE(m_grid->CopyCells(CGXCellRange(1, 1, 2, 1), 1, 2));
    EXPECT_EQ(V(1, 2), "a");
    EXPECT_EQ(V(2, 2), "b");
    EXPECT_EQ(UndoName(), "Copy");
    EXPECT_TRUE(m_grid->Undo());
    EXPECT_EQ(V(1, 2), "");

    // A move onto stored cells, then taking it back, restores both.
    EXPECT_TRUE(m_grid->MoveCells(CGXCellRange(1, 1, 2, 1), 4, 1));
    EXPECT_EQ(V(4, 1), "a");
    EXPECT_EQ(V(5, 1), "b");
    EXPECT_EQ(V(1, 1), "");
    EXPECT_EQ(UndoName(), "Move");
    EXPECT_TRUE(m_grid->Undo());
    EXPECT_EQ(V(1, 1), "a");
    EXPECT_EQ(V(2, 1), "b");
    EXPECT_EQ(V(5, 1), "over");
    EXPECT_TRUE(m_grid->Redo());
    EXPECT_EQ(V(5, 1), "b");
    EXPECT_TRUE(m_grid->Undo());
    EXPECT_EQ(V(5, 1), "over");

    // Command mode 1 records nothing.
    Param().ClearUndoList();
    Param().ClearRedoList();
    CObject* pInfo = nullptr;
    EXPECT_TRUE(m_grid->MoveCells(CGXCellRange(1, 1, 1, 1), 10, 1, pInfo, GX_UPDATENOW, gxRollback));
    EXPECT_EQ(V(10, 1), "a");
    EXPECT_EQ(UndoCount(), 0);
    EXPECT_EQ(Param().GetRedoList().GetCount(), 0);
    delete pInfo;
    // A read-only grid copies and moves nothing.
    m_grid->SetReadOnly(TRUE);
    EXPECT_FALSE(m_grid->CopyCells(CGXCellRange(10, 1), 11, 1));
    EXPECT_FALSE(m_grid->MoveCells(CGXCellRange(10, 1), 11, 1));
    m_grid->SetReadOnly(FALSE);
}

TEST_F(ClipboardTest, TheSharedFileHandsItsBlockOver)
{
    CSharedFile file;
    file.Write("hello", 5);
    file.Write(" world", 6);
    EXPECT_EQ(file.GetLength(), 11u);
    HGLOBAL h = file.Detach();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 11u);
    EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(h)), 11), "hello world");
    GlobalUnlock(h);
    CSharedFile reader;
    reader.SetHandle(h, FALSE);
    char buf[16] = {};
    EXPECT_EQ(reader.Read(buf, 16), 11u);
    EXPECT_THROW(reader.Write("x", 1), CFileException);  // a fixed block does not grow
    reader.Close();
    EXPECT_EQ(GlobalSize(h), 11u) << "the caller's block stays";
    GlobalFree(h);
    CSharedFile empty;
    EXPECT_EQ(empty.Detach(), nullptr);
}

}  // namespace
