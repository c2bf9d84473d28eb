// The Search Directory dialog over a sample school: criteria, entry controls, condition lines,
// Continue and Cancel, the lookup lists, and the frame's search that runs the statement.

#include "tests/app/dirview_fixture.h"

#include "app/SearchDirectoryDlg.h"
#include "platform/base/textcase.h"
#include "platform/win/pvwin.h"
#include "resources/directory_ids.h"
#include "tests/app/msgbox_log.h"

#include <functional>

namespace {

// The dialog with a hook that runs once it is up, and its members open to the test.
class TestSearchDlg : public CSearchDirectoryDlg {
public:
    using CSearchDirectoryDlg::CSearchDirectoryDlg;
    using CSearchDirectoryDlg::HasEntryControls;
    using CSearchDirectoryDlg::OnAdd;
    using CSearchDirectoryDlg::OnFindNow;
    using CSearchDirectoryDlg::OnRemove;
    using CSearchDirectoryDlg::OnRemoveAll;
    using CSearchDirectoryDlg::m_conditions;
    using CSearchDirectoryDlg::m_criteria;
    std::function<void(TestSearchDlg&)> m_onInit;
    BOOL OnInitDialog() override
    {
        CSearchDirectoryDlg::OnInitDialog();
        if (m_onInit)
            m_onInit(*this);
        return TRUE;
    }
    void select(const char* criterion) { m_criteria.SetCurSel(m_criteria.FindStringExact(-1, criterion)); }
    // Adds a value the way the user does: Add, the text, Add again.
    void add(const char* criterion, const char* value)
    {
        select(criterion);
        OnAdd();
        GetDlgItem(IDC_SEARCH_EDIT)->SetWindowText(value);
        OnAdd();
    }
    std::vector<std::string> lines()
    {
        std::vector<std::string> out;
        for (int i = 0; i < m_conditions.GetCount(); ++i) {
            CString s;
            m_conditions.GetText(i, s);
            out.push_back(s.str());
        }
        return out;
    }
    void findNow()
    {
        GetDlgItem(IDC_SEARCH_FIND_NOW)->SetFocus();
        OnFindNow();
    }
};

class SearchDialogTest : public DirectoryViewFixture<60> {
protected:
    void SetUp() override
    {
        DirectoryViewFixture<60>::SetUp();
        CSearchFieldArray::Instance().RemoveAll();
        ASSERT_NE(openFrame(), nullptr);
        frame->SwitchLayout(ID_LAYOUT_DIRECTORY);
        ASSERT_TRUE(view->RunQuery(showAll()));
    }
    void TearDown() override
    {
        CSearchFieldArray::Instance().RemoveAll();
        DirectoryViewFixture<60>::TearDown();
    }
    void prepare(TestSearchDlg& dlg, const char* caption = "Search Directory")
    {
        dlg.m_strCaption = caption;
        dlg.m_pDatabase = &doc->m_database;
        dlg.m_pCipher = doc->GetCipher();
        doc->GetDefaultSort(dlg.m_strSort);
    }
    static std::vector<CString> valuesOf(const char* display)
    {
        CSearchFieldArray& a = CSearchFieldArray::Instance();
        for (INT_PTR i = 0; i < a.GetSize(); ++i)
            if (a.GetAt(i)->m_strDisplay == display)
                return a.GetAt(i)->m_values;
        return {};
    }
    // How many sample people have a last name starting with the text (upper-cased).
    static long peopleStartingWith(const std::string& prefix)
    {
        const auto& d = school().data;
        long n = 0;
        for (const auto& row : d.rows)
            n += PvUpperCase(row[d.FieldIndex("Last Name")]).rfind(prefix, 0) == 0;
        return n;
    }
};

} // namespace

TEST_F(SearchDialogTest, CriteriaEntryControlsAndConditionLines)
{
    MsgBoxLog boxes;
    TestSearchDlg dlg(frame);
    prepare(dlg);
    dlg.m_onInit = [&](TestSearchDlg& d) {
        CString caption;
        d.GetWindowText(caption);
        EXPECT_STREQ(caption, "Search Directory");
        ASSERT_EQ(d.m_criteria.GetCount(), 10);
        CString first, second;
        d.m_criteria.GetText(0, first);
        d.m_criteria.GetText(1, second);
        EXPECT_STREQ(first, "Last Name") << "ordered by Sequence, trailing blanks gone";
        EXPECT_STREQ(second, "First Name");
        EXPECT_FALSE(d.GetDlgItem(IDC_SEARCH_HINT)->GetStyle() & WS_VISIBLE);

        CRect before, after;
        d.GetWindowRect(&before);
        d.select("Last Name");
        d.OnAdd();
        ASSERT_TRUE(d.HasEntryControls());
        d.GetWindowRect(&after);
        EXPECT_EQ(after.Height(), before.Height() + 75);
        EXPECT_TRUE(d.GetDlgItem(IDC_SEARCH_HINT)->GetStyle() & WS_VISIBLE);
        CString prompt;
        d.GetDlgItemText(IDC_SEARCH_PROMPT, prompt);
        EXPECT_STREQ(prompt, "Enter Last Name:");
        EXPECT_EQ(::GetFocus(), d.GetDlgItem(IDC_SEARCH_EDIT)->m_hWnd);
        // Enter in the value edit adds the condition (blanks trimmed) and searches nothing; the
        // Find Now button then runs the search.
        d.GetDlgItem(IDC_SEARCH_EDIT)->SetWindowText("  Sm*  ");
        PvInputKeyStroke(VK_RETURN);
        for (int i = 0; i < 4; ++i)
            PvInputKeyStroke(VK_TAB);
        PvInputKeyStroke(VK_RETURN);
    };
    ASSERT_EQ(dlg.DoSearchModal(TRUE), IDOK);
    EXPECT_EQ(valuesOf("Last Name"), std::vector<CString>{"Sm*"});
    EXPECT_NE(dlg.m_strWhere.Find("WHERE ([DATA].[_ILast Name] BETWEEN "), -1) << dlg.m_strWhere.str();
    EXPECT_STREQ(dlg.m_strSelect + dlg.m_strFrom, "SELECT DATA.* FROM DATA ");
    EXPECT_TRUE(boxes.entries().empty());
}

// Values are kept as texts: one holding quotes and ", " survives Continue and Remove.
TEST_F(SearchDialogTest, ContinueRemoveAndCancel)
{
    const char kOdd[] = "O'Neil\", \"Smith";
    {
        TestSearchDlg dlg(frame);
        prepare(dlg);
        dlg.m_onInit = [&](TestSearchDlg& d) {
            d.add("Last Name", kOdd);
            d.add("First Name", "Ana");
            d.add("Last Name", "Sm*");
            EXPECT_EQ(d.lines(), (std::vector<std::string>{"Where Last Name = O'Neil\", \"Smith", "     OR Last Name = Sm*",
                                                           "Where First Name = Ana"}));
            d.EndDialog(IDOK);
        };
        ASSERT_EQ(dlg.DoSearchModal(TRUE), IDOK);
    }
    {
        TestSearchDlg dlg(frame);
        prepare(dlg, "Continue Search Directory");
        dlg.m_onInit = [&](TestSearchDlg& d) {
            ASSERT_EQ(d.lines(), (std::vector<std::string>{"Where Last Name = O'Neil\", \"Smith", "     OR Last Name = Sm*",
                                                           "Where First Name = Ana"}));
            d.m_conditions.SetCurSel(0);
            d.OnRemove();
            EXPECT_EQ(d.lines(), (std::vector<std::string>{"Where Last Name = Sm*", "Where First Name = Ana"}));
            EXPECT_EQ(d.m_conditions.GetCurSel(), 0);
            d.m_conditions.SetCurSel(1);
            d.OnRemove();
            EXPECT_EQ(d.m_conditions.GetCurSel(), 0) << "the selection moves to the last line";
            d.EndDialog(IDOK);
        };
        ASSERT_EQ(dlg.DoSearchModal(FALSE), IDOK);
        EXPECT_EQ(valuesOf("Last Name"), std::vector<CString>{"Sm*"});
        EXPECT_TRUE(valuesOf("First Name").empty());
    }
    {
        // A new search starts empty; Cancel brings the previous conditions back.
        TestSearchDlg dlg(frame);
        prepare(dlg);
        dlg.m_onInit = [&](TestSearchDlg& d) {
            EXPECT_TRUE(d.lines().empty());
            d.add("City", "Paris");
            d.OnRemoveAll();
            EXPECT_TRUE(d.lines().empty());
            PvInputKeyStroke(VK_ESCAPE);
        };
        ASSERT_EQ(dlg.DoSearchModal(TRUE), IDCANCEL);
        EXPECT_EQ(valuesOf("Last Name"), std::vector<CString>{"Sm*"});
        EXPECT_TRUE(valuesOf("City").empty());
    }
}

TEST_F(SearchDialogTest, NoConditionsAsksToTryAgain)
{
    MsgBoxLog boxes;
    boxes.answers("retry");
    {
        // Retry keeps the dialog up: it ends only by the Escape queued after.
        TestSearchDlg dlg(frame);
        prepare(dlg);
        dlg.m_onInit = [&](TestSearchDlg& d) {
            d.findNow();
            PvInputKeyStroke(VK_ESCAPE);
        };
        ASSERT_EQ(dlg.DoSearchModal(TRUE), IDCANCEL);
    }
    boxes.answers("cancel");
    {
        // Cancel ends it as done, with no conditions to run.
        TestSearchDlg dlg(frame);
        prepare(dlg);
        dlg.m_onInit = [&](TestSearchDlg& d) { d.findNow(); };
        ASSERT_EQ(dlg.DoSearchModal(TRUE), IDOK);
        EXPECT_TRUE(dlg.m_strWhere.IsEmpty());
    }
    const auto entries = boxes.entries();
    ASSERT_EQ(entries.size(), 2u);
    for (const auto& e : entries) {
        EXPECT_EQ(e.text, "You have not entered any search conditions.  Would you like to try again?");
        EXPECT_EQ(e.buttons, "retrycancel");
        EXPECT_EQ(e.icon, "information");
    }
}

// A lookup list shows its table's Display texts in their order; Find Now on it adds the pick.
TEST_F(SearchDialogTest, LookupListsAndTheirStatement)
{
    MsgBoxLog boxes;
    TestSearchDlg dlg(frame);
    prepare(dlg);
    const std::vector<std::string>& activities = school().activityNames;
    dlg.m_onInit = [&](TestSearchDlg& d) {
        d.select("Activity");
        d.OnAdd();
        CString prompt;
        d.GetDlgItemText(IDC_SEARCH_PROMPT, prompt);
        EXPECT_STREQ(prompt, "Select Activity from drop down menu:");
        auto* combo = static_cast<CLookupComboBox*>(CWnd::FromHandlePermanent(d.GetDlgItem(IDC_SEARCH_COMBO)->m_hWnd));
        ASSERT_NE(combo, nullptr);
        ASSERT_EQ(combo->GetCount(), int(activities.size()));
        for (int i = 0; i < combo->GetCount(); ++i) {
            CString text;
            combo->GetLBText(i, text);
            EXPECT_EQ(text.str(), activities[size_t(i)]);
            EXPECT_STREQ(combo->GetActual(i), std::to_string(i + 1).c_str());
        }
        EXPECT_EQ(combo->GetCurSel(), 0);
        combo->SetCurSel(combo->FindStringExact(-1, "Chess Club"));
        combo->SetFocus();
        d.OnFindNow();
        EXPECT_FALSE(d.HasEntryControls());
        EXPECT_EQ(d.lines(), std::vector<std::string>{"Where Activity = Chess Club"});
        // Class has no sort order column: its index orders the list.
        d.select("Class");
        d.OnAdd();
        auto* classes = static_cast<CLookupComboBox*>(CWnd::FromHandlePermanent(d.GetDlgItem(IDC_SEARCH_COMBO)->m_hWnd));
        ASSERT_NE(classes, nullptr);
        CString a, b;
        classes->GetLBText(0, a);
        classes->GetLBText(classes->GetCount() - 1, b);
        EXPECT_LT(a.str(), b.str());
        d.select("Last Name"); // another criterion closes the list unused
        ::SendMessage(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_CRITERIA, LBN_SELCHANGE), LPARAM(d.m_criteria.m_hWnd));
        EXPECT_FALSE(d.HasEntryControls());
        d.findNow();
    };
    ASSERT_EQ(dlg.DoSearchModal(TRUE), IDOK);
    EXPECT_STREQ(dlg.m_strFrom, "FROM (DATA  ) LEFT JOIN [ACTIVITIES] ON DATA.[_IKEY] = [ACTIVITIES].[_IKEY] ");
    EXPECT_NE(dlg.m_strSelect.Find(", [ACTIVITIES].[Activity] , [ACTIVITIES].[_IActivity] "), -1);
    EXPECT_NE(dlg.m_strWhere.Find("WHERE ([ACTIVITIES].[_IActivity] BETWEEN "), -1);
    EXPECT_TRUE(boxes.entries().empty());
}

// F3 through the keyboard: Last Name, "Sm*", Find Now; the grid shows the Sm... people. Continue
// Previous Search runs the same conditions again.
TEST_F(SearchDialogTest, FrameSearchRunsTheStatement)
{
    MsgBoxLog boxes;
    PvInputKeyStroke(VK_DOWN);   // the first criterion, Last Name
    PvInputKeyStroke(VK_RETURN); // Find Now on the criteria list: Add
    PvInputText("Sm*");
    PvInputKeyStroke(VK_RETURN); // "&Enter"
    for (int i = 0; i < 4; ++i)
        PvInputKeyStroke(VK_TAB);
    PvInputKeyStroke(VK_RETURN); // Find Now
    frame->SendMessage(WM_COMMAND, ID_SEARCH_DIRECTORY);
    Pump();
    const long expected = peopleStartingWith("SM");
    ASSERT_GT(expected, 0);
    EXPECT_EQ(view->GetTotalRecords(), expected);
    const ROWCOL last = ROWCOL(view->GetColumnIndex("Last Name"));
    for (ROWCOL r = 1; r <= ROWCOL(expected); ++r)
        EXPECT_EQ(PvUpperCase(view->CellValueText(r, last).str()).rfind("SM", 0), 0u) << r;
    const CString query = doc->m_strQuery;
    EXPECT_NE(query.Find("ORDER BY Data.[_I"), -1) << query.str();
    EXPECT_EQ(frame->m_nCurrentKey, keyOfRow(1)) << "the first result is shown";

    ASSERT_TRUE(view->RunQuery(showAll()));
    for (int i = 0; i < 4; ++i)
        PvInputKeyStroke(VK_TAB);
    PvInputKeyStroke(VK_RETURN);
    frame->SendMessage(WM_COMMAND, ID_CONTINUE_SEARCH);
    Pump();
    EXPECT_STREQ(doc->m_strQuery, query);
    EXPECT_EQ(view->GetTotalRecords(), expected);
    EXPECT_TRUE(boxes.entries().empty());
}
