// Find and replace along the current column: the search, the replacement of cell texts, Replace
// All as one undo step and its cancel paths, and the one dialog the grids share.

#include <functional>
#include <string>

#include "gxundomenu.h"
#include "gxundomenu.h"
#include "../controls/gxgridfixture.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxwnd.h"
#include "grid/features/gxfindrep.h"
#include "platform/base/exceptions.h"
#include "platform/sys/system.h"
#include "platform/ui/cmdui.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/menu.h"
#include "tests/app/msgbox_log.h"

namespace {

constexpr UINT kEdtFind = 1152, kEdtReplace = 1153, kChkCase = 1041, kBtnReplaceAll = 1025;

// A grid that counts its not-found beeps and can act as each row is about to be searched.
class FindGrid : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    int m_nNotFound = 0;
    std::function<void(ROWCOL)> m_onRow;
    void OnTextNotFound(LPCTSTR) override { ++m_nNotFound; }
    void PrepareRows(ROWCOL nRow) override
    {
        if (m_onRow)
            m_onRow(nRow);
    }
};

// The grid window passes the dialog's notices on as a grid window does; WM_USER runs a job
// inside the window procedure.
class FindHostWnd : public GXTestHostWnd {
public:
    std::function<void()> m_job;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == gxFindReplaceMsg && m_pGrid)
            return m_pGrid->OnFindReplace(wParam, lParam);
        if (message == WM_USER && m_job) {
            m_job();
            return 1;
        }
        return GXTestHostWnd::WindowProc(message, wParam, lParam);
    }
};

class FindTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        InitGridLibraryWithFactory();
        m_grid = MakeGrid(m_wnd);
        GridFindReplaceState& st = State();
        st.m_strFind.Empty();
        st.m_strReplace.Empty();
        st.m_bCaseSensitive = FALSE;
        st.m_bSearchDown = TRUE;
        st.m_bTransaction = FALSE;
    }
    void TearDown() override
    {
        if (State().m_hDialog && ::IsWindow(State().m_hDialog))
            ::DestroyWindow(State().m_hDialog);
        State().m_hDialog = nullptr;
        PvClearTestClock();
        for (FindHostWnd* w : {&m_wnd, &m_wnd2}) {
            w->m_pGrid = nullptr;
            if (w->GetSafeHwnd())
                w->DestroyWindow();
        }
        m_grid2.reset();
        m_grid.reset();
    }
    static std::unique_ptr<FindGrid> MakeGrid(FindHostWnd& wnd)
    {
        wnd.CreateEx(0, GX_WNDCLASS, "grid", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr);
        auto grid = std::make_unique<FindGrid>(&wnd);
        wnd.m_pGrid = grid.get();
        grid->Initialize();
        grid->SetRowCount(20);
        grid->SetColCount(4);
        grid->GetParam()->ClearUndoList();
        return grid;
    }
    static GridFindReplaceState& State() { return GridFindReplaceState::Get(); }
    CGXAbstractGridFindReplaceImp& Imp() { return *m_grid->m_pFindReplaceImp; }
    void Set(ROWCOL r, ROWCOL c, LPCTSTR v) { m_grid->SetValueRange(CGXCellRange(r, c), v); }
    CString Value(ROWCOL r, ROWCOL c) { return m_grid->StoredCellValueText(r, c); }
    std::pair<ROWCOL, ROWCOL> Current()
    {
        ROWCOL r = 0, c = 0;
        m_grid->QueryCurrentCell(r, c);
        return {r, c};
    }
    CString DialogText(UINT nId)
    {
        char buf[256] = {};
        ::GetDlgItemText(State().m_hDialog, int(nId), buf, sizeof buf);
        return buf;
    }
    std::string UndoMenuText() { return GridUndoMenuText(*m_grid); }

    FindHostWnd m_wnd, m_wnd2;
    std::unique_ptr<FindGrid> m_grid, m_grid2;
};

TEST_F(FindTest, TheFeatureIsInstalledOnce)
{
    ASSERT_NE(dynamic_cast<CGXGridFindReplaceImp*>(m_grid->m_pFindReplaceImp), nullptr);
    const size_t n = m_grid->GetDeleteListCount();
    m_grid->InstallFindReplaceImp();
    EXPECT_EQ(m_grid->GetDeleteListCount(), n);
}

TEST_F(FindTest, FindNextAlongTheCurrentColumn)
{
    Set(5, 2, "xABCx");
    Set(3, 3, "abc");  // another column: never found
    Set(9, 2, "abc");
    m_grid->PlaceCurrentCell(1, 2);
    struct Case {
        const char* name;
        ROWCOL start;
        BOOL down, matchCase;
        ROWCOL found;  // 0: not found, current cell stays
    };
    const Case cases[] = {
        {.name = "case-blind finds the upper-case text", .start = 1, .down = TRUE, .matchCase = FALSE, .found = 5},
        {.name = "matching case skips it", .start = 1, .down = TRUE, .matchCase = TRUE, .found = 9},
        {.name = "an edit cell's own text comes first", .start = 5, .down = TRUE, .matchCase = FALSE, .found = 5},
        {.name = "up", .start = 20, .down = FALSE, .matchCase = FALSE, .found = 9},
        {.name = "up from row 1 ends at once", .start = 1, .down = FALSE, .matchCase = FALSE, .found = 0},
        {.name = "nothing below", .start = 10, .down = TRUE, .matchCase = FALSE, .found = 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_grid->PlaceCurrentCell(c.start, 2);
        m_grid->m_nNotFound = 0;
        EXPECT_EQ(Imp().FindNext(m_grid.get(), "abc", c.down, c.matchCase), c.found != 0);
        EXPECT_EQ(Current(), std::make_pair(c.found ? c.found : c.start, ROWCOL(2)));
        EXPECT_EQ(m_grid->m_nNotFound, c.found ? 0 : 1);
        EXPECT_EQ(State().m_strSearch, c.matchCase ? "abc" : "ABC");
    }
    // Find Next goes on from the text found.
    m_grid->PlaceCurrentCell(1, 2);
    m_grid->m_nNotFound = 0;
    EXPECT_TRUE(Imp().FindNext(m_grid.get(), "abc", TRUE, FALSE));
    EXPECT_TRUE(Imp().FindAgain(m_grid.get(), TRUE));
    EXPECT_EQ(Current(), std::make_pair(ROWCOL(9), ROWCOL(2)));
    EXPECT_TRUE(m_grid->FindAgain()) << "the search ran";
    EXPECT_EQ(Current(), std::make_pair(ROWCOL(9), ROWCOL(2)));
    EXPECT_EQ(m_grid->m_nNotFound, 1);
    // A static cell is skipped once current.
    CGXStyle stat;
    stat.SetControl(GX_IDS_CTRL_STATIC);
    m_grid->SetStyleRange(CGXCellRange(5, 2), stat);
    m_grid->SetStyleRange(CGXCellRange(9, 2), stat);
    m_grid->PlaceCurrentCell(5, 2);
    EXPECT_TRUE(Imp().FindNext(m_grid.get(), "abc", TRUE, FALSE));
    EXPECT_EQ(Current(), std::make_pair(ROWCOL(9), ROWCOL(2)));
    // The empty text finds nothing rather than every cell.
    m_grid->PlaceCurrentCell(1, 2);
    EXPECT_FALSE(Imp().FindNext(m_grid.get(), "", TRUE, FALSE));
    EXPECT_EQ(Current(), std::make_pair(ROWCOL(1), ROWCOL(2)));
}

TEST_F(FindTest, ReplacedTextsCutAtTheUpperCasedOffsets)
{
    const std::string longCell = [] {
        std::string s;
        for (int i = 0; i < 1000; ++i)
            s += "ab";
        return s;
    }();
    std::string longResult;
    for (int i = 0; i < 1000; ++i)
        longResult += "xyz";
    struct Case {
        const char* name;
        std::string text, find, replace;
        BOOL matchCase;
        std::string result;  // empty: nothing replaced
    };
    const Case cases[] = {
        {"case-blind", "ABCabc", "abc", "x", FALSE, "xx"},
        {"matching case", "ABCabc", "abc", "x", TRUE, "ABCx"},
        {"sharp s keeps its place", "Straße ß", "ß", "ss", FALSE, "Strasse ss"},
        {"after sharp s", "Größe GRÖSSE", "e", "E", FALSE, "GrößE GRÖSSE"},
        {"accented letters", "élan ÉLAN", "élan", "X", FALSE, "X X"},
        {"no overlap", "aaaa", "aa", "b", FALSE, "bb"},
        {"two thousand characters", longCell, "AB", "xyz", FALSE, longResult},
        {"not there", "abc", "d", "x", FALSE, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        State().m_strFind = c.find.c_str();
        State().m_strReplace = c.replace.c_str();
        State().m_bCaseSensitive = c.matchCase;
        State().PrepareSearchText();
        CString result;
        EXPECT_EQ(GXReplaceOccurrences(c.text.c_str(), State().MakeParams(), result), !c.result.empty());
        if (!c.result.empty()) {
            EXPECT_EQ(std::string(result), c.result);
        }
    }
}

TEST_F(FindTest, ReplaceMovesOnAndKeepsTheRestOfTheCell)
{
    Set(2, 1, "xABCx");
    Set(4, 1, "abc abc");
    m_grid->PlaceCurrentCell(2, 1);
    EXPECT_TRUE(Imp().Replace(m_grid.get(), "abc", "-", TRUE, FALSE));
    m_grid->StoreCurrentCellEdit();
    EXPECT_EQ(Value(2, 1), "x-x") << "only the found text goes";
    EXPECT_EQ(Current(), std::make_pair(ROWCOL(4), ROWCOL(1))) << "the next match";
    EXPECT_TRUE(Imp().Replace(m_grid.get(), "abc", "-", TRUE, FALSE));
    m_grid->StoreCurrentCellEdit();
    EXPECT_EQ(Value(4, 1), "- abc");
    EXPECT_EQ(Current(), std::make_pair(ROWCOL(4), ROWCOL(1))) << "a further match in the cell";
}

TEST_F(FindTest, ReplaceAllIsOneUndoStepFromTheCurrentRowDown)
{
    for (ROWCOL r = 1; r <= 20; ++r)
        Set(r, 2, "abc");
    Set(5, 3, "abc");
    m_grid->GetParam()->ClearUndoList();
    m_grid->PlaceCurrentCell(5, 2);
    Imp().ShowDialog(m_grid.get(), FALSE);
    ASSERT_NE(State().m_hDialog, nullptr);
    ::SetDlgItemText(State().m_hDialog, kEdtFind, "B");
    ::SetDlgItemText(State().m_hDialog, kEdtReplace, "ß");
    ::SendMessage(State().m_hDialog, WM_COMMAND, kBtnReplaceAll, 0);
    EXPECT_EQ(Value(4, 2), "abc");
    EXPECT_EQ(Value(5, 2), "aßc");
    EXPECT_EQ(Value(20, 2), "aßc");
    EXPECT_EQ(Value(5, 3), "abc") << "only the current column";
    EXPECT_EQ(UndoMenuText(), "Undo Replace All");
    EXPECT_EQ(m_grid->GetParam()->GetUndoList().GetCount(), 1);
    EXPECT_FALSE(State().m_bTransaction) << "one Replace All only";
    m_grid->Undo();
    EXPECT_EQ(Value(5, 2), "abc");
    EXPECT_EQ(Value(20, 2), "abc");
}

// Esc pressed while row 8 is reached, answered with each choice of the cancel question.
TEST_F(FindTest, EscapeInReplaceAll)
{
    MsgBoxLog log;
    struct Case {
        const char* name;
        BOOL transaction;
        const char* answer;
        bool kept;       // the rows replaced before the Esc stay replaced
        bool undoStep;   // one "Replace All" step on the undo list
    };
    const Case cases[] = {
        {"abort keeps what was done", TRUE, "abort", true, true},
        {"retry rolls back", TRUE, "retry", false, false},
        {"outside a transaction", FALSE, "abort", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (ROWCOL r = 1; r <= 20; ++r)
            Set(r, 1, "abc");
        m_grid->GetParam()->ClearUndoList();
        m_grid->PlaceCurrentCell(1, 1);
        PvSetTestClock(10000);
        log.clear();
        log.answers(c.answer);
        m_grid->m_onRow = [&](ROWCOL nRow) {
            if (nRow == 8)
                ::PostMessage(m_wnd.GetSafeHwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
            if (nRow >= 8)
                PvAdvanceTestClock(2000);
        };
        bool thrown = false;
        m_wnd.m_job = [&] {
            State().m_bTransaction = c.transaction;
            try {
                Imp().ReplaceAll(m_grid.get(), "b", "x", FALSE);
            } catch (const CUserException&) {
                thrown = true;
                throw;
            }
        };
        // Through the window procedure, as the dialog's button reaches it.
        m_wnd.SendMessage(WM_USER);
        m_grid->m_onRow = nullptr;
        EXPECT_EQ(thrown, !c.transaction);
        const auto boxes = log.entries();
        ASSERT_EQ(boxes.size(), 1u) << "the cancel question only";
        EXPECT_EQ(boxes[0].text, "Do you want to abort the operation?");
        EXPECT_EQ(Value(1, 1), c.kept ? "axc" : "abc");
        EXPECT_EQ(Value(20, 1), "abc") << "the rows after the Esc";
        EXPECT_EQ(UndoMenuText() == "Undo Replace All", c.undoStep);
        EXPECT_FALSE(CGXLongOperation::GetDepth());
    }
}

TEST_F(FindTest, TheDialogStartsFromTheCellOrTheLastSearch)
{
    Set(3, 2, "Miller");
    m_grid->PlaceCurrentCell(2, 2);
    State().m_strFind = "last";
    Imp().ShowDialog(m_grid.get(), TRUE);
    const HWND hFind = State().m_hDialog;
    ASSERT_NE(hFind, nullptr);
    EXPECT_TRUE(State().m_bFindOnly);
    EXPECT_EQ(DialogText(kEdtFind), "last") << "an empty current cell";
    EXPECT_EQ(State().m_hOwner, m_wnd.GetSafeHwnd());

    m_grid->PlaceCurrentCell(3, 2);
    Imp().ShowDialog(m_grid.get(), TRUE);
    EXPECT_EQ(State().m_hDialog, hFind) << "the open dialog of that kind is shown again";

    Imp().ShowDialog(m_grid.get(), FALSE);
    EXPECT_FALSE(::IsWindow(hFind)) << "Replace closes Find";
    ASSERT_NE(State().m_hDialog, nullptr);
    EXPECT_FALSE(State().m_bFindOnly);
    EXPECT_EQ(DialogText(kEdtFind), "Miller");

    ::SendMessage(State().m_hDialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(State().m_hDialog, nullptr) << "forgotten when it closes";
}

TEST_F(FindTest, ASecondGridsSearchReachesIt)
{
    m_grid2 = MakeGrid(m_wnd2);
    Set(6, 1, "nothing here");
    m_grid2->SetValueRange(CGXCellRange(6, 1), "target");
    m_grid->PlaceCurrentCell(1, 1);
    m_grid2->PlaceCurrentCell(1, 1);
    Imp().ShowDialog(m_grid.get(), TRUE);
    const HWND hDialog = State().m_hDialog;
    m_grid2->m_pFindReplaceImp->ShowDialog(m_grid2.get(), TRUE);
    EXPECT_EQ(State().m_hDialog, hDialog);
    EXPECT_EQ(State().m_hOwner, m_wnd.GetSafeHwnd()) << "the notices still go to the first grid's window";
    ::SetDlgItemText(hDialog, kEdtFind, "TARGET");
    ::CheckDlgButton(hDialog, kChkCase, BST_UNCHECKED);
    ::SendMessage(hDialog, WM_COMMAND, IDOK, 0);
    ROWCOL r = 0, c = 0;
    ASSERT_TRUE(m_grid2->QueryCurrentCell(r, c));
    EXPECT_EQ(r, 6u);
    EXPECT_EQ(m_grid->m_nNotFound, 0);
    // The target goes with its grid; the first grid then answers for itself.
    m_wnd2.m_pGrid = nullptr;
    m_grid2.reset();
    EXPECT_EQ(State().m_pTarget, nullptr);
    ::SendMessage(hDialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(m_grid->m_nNotFound, 1);
}

}  // namespace
