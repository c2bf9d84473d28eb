// Sorting the directory by rank, the typed-text jump and records by key, over a school of 2,000
// (the sample's default size, where names with apostrophes and hyphens have neighbours).

#include "tests/app/dirview_fixture.h"

#include "app/DirectoryQuery.h"
#include "app/MediaView.h"
#include "platform/base/textcase.h"
#include "resources/frame_ids.h"
#include "tests/app/msgbox_log.h"

#include <algorithm>

namespace {

class DirectorySortTest : public DirectoryViewFixture<2000> {
protected:
    void SetUp() override
    {
        DirectoryViewFixture<2000>::SetUp();
        ASSERT_NE(openFrame(), nullptr);
        frame->SwitchLayout(ID_LAYOUT_DIRECTORY);
        ASSERT_TRUE(view->RunQuery(showAll()));
        lastCol = ROWCOL(view->GetColumnIndex("Last Name"));
        ASSERT_GT(lastCol, 0u);
    }
    // Every last name upper-cased, in rank order.
    static std::vector<std::string> sortedLastNames()
    {
        const auto& d = school().data;
        std::vector<std::string> names;
        for (const auto& row : d.rows)
            names.push_back(PvUpperCase(row[d.FieldIndex("Last Name")]));
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string upperAt(ROWCOL row, ROWCOL col) { return PvUpperCase(view->CellValueText(row, col).str()); }
    ROWCOL currentRow()
    {
        ROWCOL row = 0, col = 0;
        return view->QueryCurrentCell(row, col) ? row : 0;
    }
    void clickHeader(ROWCOL col)
    {
        const CPoint at = view->CellToRect(0, col).CenterPoint();
        view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        view->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        Pump();
    }
    ROWCOL lastCol = 0;
};

} // namespace

TEST_F(DirectorySortTest, HeaderClicksSortByRankAndReverse)
{
    MsgBoxLog boxes;
    CDaoRecordset* set = view->GetRecordset();
    const struct {
        const char* sort;
        BOOL ascending;
    } clicks[] = {{"[_ILast Name]", TRUE}, {"[_ILast Name] DESC", FALSE}, {"[_ILast Name]", TRUE}};
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.sort);
        clickHeader(lastCol);
        EXPECT_STREQ(set->m_strSort, c.sort);
        EXPECT_EQ(view->GetSortedColumn(), long(lastCol));
        EXPECT_EQ(view->IsSortAscending(), c.ascending);
        EXPECT_EQ(currentRow(), 1u);
        EXPECT_STREQ(pane(2), "2000 Total Records");
        for (ROWCOL r = 1; r < 40; ++r) {
            const std::string a = upperAt(r, lastCol), b = upperAt(r + 1, lastCol);
            EXPECT_TRUE(c.ascending ? a <= b : a >= b) << r << ": " << a << " / " << b;
        }
    }
    // Another column starts ascending again; the sort's column is the parameter object's.
    const ROWCOL first = ROWCOL(view->GetColumnIndex("First Name"));
    clickHeader(first);
    EXPECT_STREQ(set->m_strSort, "[_IFirst Name]");
    EXPECT_EQ(view->GetParam()->m_nLastSortedCol, long(first));
    EXPECT_TRUE(view->GetParam()->m_bSortRowsOnDblClk) << "header clicks sort";
    // A query sets its own order: no column counts as sorted after it.
    ASSERT_TRUE(view->RunQuery(showAll()));
    EXPECT_EQ(view->GetSortedColumn(), -1);
    EXPECT_TRUE(boxes.entries().empty());
}

TEST_F(DirectorySortTest, ColumnWithoutRankIsNotSorted)
{
    MsgBoxLog boxes;
    ASSERT_TRUE(view->RunQuery("SELECT [_IKEY], [Last Name] AS Nick FROM Data ORDER BY [_ILast Name]"));
    const ROWCOL nick = ROWCOL(view->GetColumnIndex("Nick"));
    ASSERT_GT(nick, 0u);
    const std::string top = upperAt(1, nick);
    view->HeaderButtonSort(nick);
    ASSERT_EQ(boxes.entries().size(), 1u);
    EXPECT_EQ(boxes.entries()[0].text,
              "Error! Unable to sort this column, [Nick] was not found in the directory database.");
    EXPECT_EQ(view->GetSortedColumn(), -1);
    EXPECT_EQ(upperAt(1, nick), top) << "the rows stay as they were";
}

TEST_F(DirectorySortTest, SortTermsAndMovedColumns)
{
    struct Term {
        const char* field;
        BOOL descending;
        const char* term;
    };
    const Term terms[] = {
        {"Last Name", TRUE, "[_ILast Name] DESC"},
        {"Family.Family Name", FALSE, "Family.[_IFamily Name]"},
        {"DATA._IKEY", FALSE, "[_IKEY]"},
        {"_IKEY", TRUE, "[_IKEY] DESC"},
    };
    for (const Term& t : terms)
        EXPECT_STREQ(RankSortTerm(RankFieldOf(t.field), t.descending), t.term) << t.field;

    struct Move {
        long sorted;
        unsigned long from, to, dest;
        long after;
    };
    const Move moves[] = {
        {5, 5, 5, 2, 2},  // the sorted column itself moves left
        {5, 4, 6, 8, 9},  // inside a moved block
        {5, 2, 3, 7, 3},  // a block from before it moves past it
        {5, 6, 7, 1, 7},  // a block from after it moves before it
        {5, 7, 8, 9, 5},  // a move beyond it leaves it
        {-1, 1, 2, 3, -1},
    };
    for (const Move& m : moves)
        EXPECT_EQ(ColumnAfterMove(m.sorted, m.from, m.to, m.dest), m.after) << m.sorted << " " << m.from << ".." << m.to << "->" << m.dest;
}

// The jump lands on the first row at or after the typed text in the order the rows stand:
// apostrophes and hyphens count as they do in that order.
TEST_F(DirectorySortTest, JumpLandsOnTheFirstEntryStartingWithTheText)
{
    MsgBoxLog boxes;
    const std::vector<std::string> names = sortedLastNames();
    auto firstAtOrAfter = [&](const std::string& typed) {
        return ROWCOL(std::lower_bound(names.begin(), names.end(), PvUpperCase(typed)) - names.begin()) + 1;
    };
    const char* texts[] = {"O'Neil", "Smithe", "Smith-Jones", "O", "S", "Smi", "a", "\xC5\x81uczak", "van der Berg", "Ab", "zzzz"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        view->ScrollToEntry(text);
        const ROWCOL want = firstAtOrAfter(text);
        EXPECT_EQ(currentRow(), want);
        if (std::string(text) != "zzzz") {
            EXPECT_EQ(upperAt(currentRow(), lastCol).rfind(PvUpperCase(text), 0), 0u) << upperAt(currentRow(), lastCol);
        }
        if (want > 1) {
            EXPECT_LT(upperAt(want - 1, lastCol), PvUpperCase(text));
        }
        EXPECT_EQ(view->GetSortedColumn(), long(lastCol));
    }
    // Past every name: the last row.
    view->ScrollToEntry("\xEF\xBF\xBF");
    EXPECT_EQ(currentRow(), ROWCOL(names.size()));
    EXPECT_TRUE(boxes.entries().empty());
}

TEST_F(DirectorySortTest, DescendingJumpComparesThePrefix)
{
    view->ScrollToEntry("A"); // sorts by Last Name ascending
    view->HeaderButtonSort(lastCol);
    ASSERT_FALSE(view->IsSortAscending());
    std::vector<std::string> names = sortedLastNames();
    std::reverse(names.begin(), names.end());
    for (const char* text : {"Sm", "O'", "B", "Z"}) {
        SCOPED_TRACE(text);
        const std::string typed = PvUpperCase(text);
        const auto it = std::find_if(names.begin(), names.end(), [&](const std::string& n) { return n.compare(0, typed.size(), typed) <= 0; });
        view->ScrollToEntry(text);
        EXPECT_EQ(currentRow(), ROWCOL(it - names.begin()) + 1);
        EXPECT_EQ(upperAt(currentRow(), lastCol).rfind(typed, 0), 0u);
        EXPECT_FALSE(view->IsSortAscending()) << "the sorted column keeps its direction";
    }
}

TEST_F(DirectorySortTest, JumpOnAnEmptyResultStaysOnRowOne)
{
    MsgBoxLog boxes;
    EXPECT_FALSE(view->RunQuery("SELECT * FROM Data WHERE [_IKEY] < 0"));
    view->ScrollToEntry("O");
    EXPECT_LE(currentRow(), 1u);
    ASSERT_EQ(boxes.entries().size(), 1u) << "only the query's own message";
}

// Sorted by key once, then each lookup keeps that order.
TEST_F(DirectorySortTest, GoToRecordKeySortsByKey)
{
    const ROWCOL keyCol = ROWCOL(view->GetColumnIndex("_IKEY"));
    for (long key : {1L, 1234L, 2000L, 1234L}) {
        const long row = view->GoToRecordKey(CString(std::to_string(key).c_str()));
        EXPECT_EQ(row, key);
        EXPECT_EQ(keyOfRow(ROWCOL(row)), key);
        EXPECT_EQ(currentRow(), ROWCOL(row));
        EXPECT_EQ(view->GetSortedColumn(), long(keyCol));
    }
    for (const char* missing : {"2001", "0", "-5", "12x", ""}) {
        EXPECT_EQ(view->GoToRecordKey(missing), -1) << missing;
        EXPECT_EQ(view->GetSortedColumn(), long(keyCol));
    }
    // The grid found its place again: the rows read are the sorted ones.
    EXPECT_EQ(keyOfRow(10), 10);
}

// The letter buttons, Scroll To and the pages' "fjc://" links end on the person they jump to.
TEST_F(DirectorySortTest, FrameJumpsShowThePerson)
{
    MsgBoxLog boxes;
    auto lastNameOfShown = [&] { return PvUpperCase(plainOf(frame->m_nCurrentKey, "Last Name")); };

    frame->SendMessage(WM_COMMAND, ID_LETTER_O);
    Pump();
    EXPECT_EQ(lastNameOfShown().substr(0, 1), "O");
    EXPECT_EQ(frame->m_nCurrentKey, keyOfRow(currentRow()));

    CWnd* combo = frame->m_wndDialogBar.GetDlgItem(IDC_SCROLL_COMBO);
    ASSERT_NE(combo, nullptr);
    combo->SetWindowText("Smithe*");
    frame->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SCROLL_TO, BN_CLICKED));
    Pump();
    EXPECT_EQ(lastNameOfShown(), "SMITHE");

    for (const auto& [link, name] : {std::pair{"fjc://O'Neil", "O'NEIL"}, {"fjc://van%20der%20Berg/", "VAN DER BERG"}}) {
        SCOPED_TRACE(link);
        frame->m_nCurrentKey = -1;
        frame->m_pMediaView->Navigate2(link, 0, nullptr, nullptr, nullptr, 0);
        Pump();
        EXPECT_EQ(lastNameOfShown(), name);
        EXPECT_TRUE(frame->m_pMediaView->IsDetailsPageShown());
        EXPECT_NE(frame->m_pMediaView->m_strPageText.Find(plainOf(frame->m_nCurrentKey, "First Name").c_str()), -1);
    }
    EXPECT_TRUE(boxes.entries().empty());
}
