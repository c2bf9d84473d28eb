// The tabbed combo cell: key and text columns, titles, sorting, widths, the kept drop-down and
// the lookup maps shared by the cells of one unique id.

#include "gxcombofixture.h"
#include "tests/grid/gxbmpfile.h"

#include "grid/controls/gxtabcombo.h"
#include "grid/core/gxparam.h"
#include "platform/gdi/recording.h"
#include "platform/win/pvwin.h"

namespace {

const char kFruit[] = "ID\tName\tColour\n1\tApple\tRed\n2\tBanana\tYellow\n3\tCherry\tRed";

class TabbedComboTest : public ComboFixture {
protected:
    CGXTabbedComboBox* Tabbed() { return dynamic_cast<CGXTabbedComboBox*>(m_grid->CurrentCellControl()); }
    CListBox* List() { return Tabbed() && Tabbed()->GetDropDown() ? Tabbed()->GetDropDown()->GetListBox() : nullptr; }
    static CGXStyle TabStyle(const char* pszValue, const char* pszChoices = kFruit, long nId = 0)
    {
        CGXStyle style;
        style.SetControl(WORD(GX_IDS_CTRL_TABBED_COMBOBOX)).SetChoiceList(pszChoices).SetValue(pszValue);
        style.SetUserAttribute(GX_IDS_UA_TABLIST_KEYCOL, "0").SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, "1");
        style.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "1");
        if (nId) {
            CString s;
            s.Format("%ld", nId);
            style.SetUserAttribute(GX_IDS_UA_TABLIST_UNIQUEID, s);
        }
        return style;
    }
    void PlaceTabbed(ROWCOL r, ROWCOL c, const CGXStyle& style)
    {
        SetStyle(r, c, style);
        ASSERT_TRUE(m_grid->PlaceCurrentCell(r, c, 0));
        m_wnd.UpdateWindow();
    }
    CString EditText()
    {
        CString s;
        Tabbed()->GetEditWnd()->GetWindowText(s);
        return s;
    }
    std::vector<CString> Entries()
    {
        std::vector<CString> v;
        for (int i = 0; List() && i < List()->GetCount(); ++i) {
            CString s;
            List()->GetText(i, s);
            v.push_back(CGXTabbedComboBox::Field(s, 0));
        }
        return v;
    }
};

TEST_F(TabbedComboTest, ShowsTheTextColumnAndStoresTheKey)
{
    struct Case {
        const char* value;
        long id;
        const char* shown;
    };
    const Case cases[] = {
        {"2", 0, "Banana"}, {"2", 9, "Banana"},
        {"7", 0, ""},  {"7", 9, ""},   // a key not in the list shows nothing
        {"ID", 0, ""}, {"ID", 9, ""},  // the title line is no entry
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.value << " id " << c.id);
        PlaceTabbed(3, 2, TabStyle(c.value, kFruit, c.id));
        EXPECT_STREQ(Shown(3, 2), c.shown);
        EXPECT_STREQ(EditText(), c.shown);
    }
}

TEST_F(TabbedComboTest, TypingCompletesAndRefusesWhatNoEntryBegins)
{
    PlaceTabbed(3, 2, TabStyle("1"));
    EXPECT_FALSE(Tabbed()->ValidateText("x"));
    EXPECT_FALSE(Tabbed()->ValidateText("Name")) << "titles are no entries";
    EXPECT_TRUE(Tabbed()->ValidateText("ban"));
    Char('c');
    EXPECT_STREQ(EditText(), "Cherry");
    int a = 0, b = 0;
    Tabbed()->GetEditWnd()->GetSel(a, b);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 6) << "the completed rest is selected";
    Char('x');
    EXPECT_STREQ(EditText(), "Cherry") << "a letter no entry continues with is refused";
    Key(VK_RETURN);
    EXPECT_STREQ(Value(3, 2), "3");
}

TEST_F(TabbedComboTest, DropDownWithTitlesSortedOnceAndPicked)
{
    CGXStyle style = TabStyle("1");
    style.SetUserAttribute(GX_IDS_UA_TABLIST_SORTCOL, "2");
    PlaceTabbed(3, 2, style);
    Press(VK_DOWN, true);
    ASSERT_NE(List(), nullptr);
    const std::vector<CString> sorted = {"Apple", "Cherry", "Banana"};
    EXPECT_EQ(Entries(), sorted) << "by colour, titles kept out";
    EXPECT_STREQ(Tabbed()->GetCellStyle().GetUserAttribute(GX_IDS_UA_TABLIST_SORTCOL).GetValueText(), "-1");
    ASSERT_NE(Tabbed()->GetHeader(), nullptr);
    EXPECT_TRUE(Tabbed()->GetHeader()->IsWindowVisible());
    EXPECT_STREQ(CGXTabbedComboBox::Field(Tabbed()->GetHeader()->m_strHeader, 2), "Name");
    CRect rectHeader, rectDrop;
    Tabbed()->GetHeader()->GetWindowRect(&rectHeader);
    Tabbed()->GetDropDown()->GetWindowRect(&rectDrop);
    EXPECT_EQ(rectHeader.bottom, rectDrop.top) << "the titles sit right above the list";
    EXPECT_GE(rectDrop.Width(), Tabbed()->GetTotalWidth());
    EXPECT_EQ(Tabbed()->GetColumnCount(), 3);

    CGXGridCombo* pKept = Tabbed()->GetDropDown();
    Press(VK_DOWN);
    Press(VK_RETURN);
    EXPECT_EQ(List(), nullptr);
    EXPECT_FALSE(pKept->IsWindowVisible()) << "hidden, not destroyed";
    EXPECT_FALSE(Tabbed()->GetHeader()->IsWindowVisible());
    EXPECT_STREQ(EditText(), "Cherry");
    Key(VK_RETURN);
    EXPECT_STREQ(Value(3, 2), "3");
    Press(VK_DOWN, true);
    EXPECT_EQ(Tabbed()->GetDropDown(), pKept) << "the same pop-up opens again";
    Press(VK_ESCAPE);
}

TEST_F(TabbedComboTest, AWideListNearTheScreensRightEdgeMovesLeft)
{
    CRect desktop;
    ::GetClientRect(::GetDesktopWindow(), &desktop);
    m_grid->SetColWidths(1, 3, 60);
    CGXStyle style = TabStyle("1");
    style.SetUserAttribute(GX_IDS_UA_TABLIST_COLWIDTHS, "80 80 80");
    SetStyle(3, 3, style);
    CRect cell = m_grid->SpannedCellToRect(3, 3);
    m_wnd.MoveWindow(desktop.right - cell.right - 40, 50, 640, 480);
    PlaceTabbed(3, 3, style);
    cell = m_grid->SpannedCellToRect(3, 3);
    m_wnd.ClientToScreen(&cell);
    Press(VK_DOWN, true);
    ASSERT_NE(List(), nullptr);
    CRect rect;
    Tabbed()->GetDropDown()->GetWindowRect(&rect);
    EXPECT_GT(rect.Width(), cell.Width() + 100);
    EXPECT_EQ(rect.right, cell.right) << "its right edge meets the cell's";
    CRect header;
    Tabbed()->GetHeader()->GetWindowRect(&header);
    EXPECT_EQ(header.bottom, rect.top);
    Press(VK_ESCAPE);
}

TEST_F(TabbedComboTest, ColumnWidthsAndTheTenColumnLimit)
{
    struct Case {
        const char* name;
        const char* choices;
        const char* widths;
        const char* showAll;
        int columns;
        std::vector<int> stops;  // empty: not checked
    };
    const Case cases[] = {
        {"eleven fields measure ten columns", "ID\tN\n0\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10", "", "1", 10, {}},
        {"given widths, any separators", kFruit, "20, 50;30", "1", 3, {20, 70, 100}},
        {"only the text column without show-all", kFruit, "", "0", 3, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CGXStyle style = TabStyle("1", c.choices);
        style.SetUserAttribute(GX_IDS_UA_TABLIST_COLWIDTHS, c.widths);
        style.SetUserAttribute(GX_IDS_UA_TABLIST_SHOWALLCOLS, c.showAll);
        PlaceTabbed(3, 2, style);
        Press(VK_DOWN, true);
        ASSERT_NE(List(), nullptr);
        EXPECT_EQ(Tabbed()->GetColumnCount(), c.columns);
        for (size_t i = 0; i < c.stops.size(); ++i)
            EXPECT_EQ(Tabbed()->GetTabStops()[i], c.stops[i]) << i;
        if (c.showAll[0] == '0') {
            const int* stops = Tabbed()->GetTabStops();
            EXPECT_EQ(stops[0], 0) << "the key column is hidden";
            EXPECT_GT(stops[1], 0);
            EXPECT_EQ(stops[2], stops[1]);
        }
        Press(VK_ESCAPE);
    }
}

TEST_F(TabbedComboTest, CellsOfOneIdShareTheirLookupsAndAChangeRefreshesAll)
{
    for (ROWCOL r = 2; r <= 4; ++r)
        SetStyle(r, 2, TabStyle("2", kFruit, 2000000000));
    for (ROWCOL r = 2; r <= 4; ++r)
        EXPECT_STREQ(Shown(r, 2), "Banana");
    CGXTabbedComboCache* pCache = CGXTabbedComboCache::Get(m_grid.get());
    ASSERT_NE(pCache, nullptr);
    EXPECT_EQ(pCache->GetMapCount(), 1u) << "one map for an id of two billion";
    const DWORD nGeneration = pCache->GetGeneration();

    ASSERT_TRUE(m_grid->PlaceCurrentCell(2, 2, 0));
    CGXStyle changed;
    changed.SetChoiceList("ID\tName\n1\tApple\n2\tBlueberry");
    SetStyle(2, 2, changed);
    EXPECT_GT(pCache->GetGeneration(), nGeneration);
    EXPECT_STREQ(Shown(2, 2), "Blueberry");
    EXPECT_STREQ(Shown(3, 2), "Blueberry") << "the shared lookups follow the change";
    EXPECT_STREQ(Shown(4, 2), "Blueberry");
}

TEST_F(TabbedComboTest, AnInactiveCellWhoseTextNamesABitmapDrawsIt)
{
    PvSetBitmapResourceLoader([](UINT id, LPCTSTR, std::vector<BYTE>& out) {
        if (id != 4713)
            return false;
        out = GreyBmp(8, 8);
        return true;
    });
    SetStyle(6, 3, TabStyle("2", "K\tPicture\n1\tplain\n2\t#BMP(4713)"));
    CGXStyle style;
    m_grid->ComposeCellStyle(6, 3, style);
    CRecordingDC dc(200, 40);
    CGXControl* pControl = m_grid->GetRegisteredControl(WORD(GX_IDS_CTRL_TABBED_COMBOBOX));
    pControl->Draw(&dc, CRect(0, 0, 120, 20), 6, 3, style, nullptr);
    EXPECT_EQ(dc.Count("StretchDIBits"), 1) << dc.Dump();
    for (const PvGdiRecord& r : dc.Find("DrawText"))
        EXPECT_EQ(CString(r.text).Find("#BMP"), -1);
    PvSetBitmapResourceLoader(nullptr);
}

TEST_F(TabbedComboTest, UniqueIdsAreKeyedNotIndexed)
{
    struct Case {
        long id;
        const char* shown;
    };
    const Case cases[] = {{1, "Apple"}, {2000000000, "Apple"}, {0x7FFFFFFF, "Apple"}, {-5, "Apple"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        SetStyle(5, 3, TabStyle("1", kFruit, c.id));
        EXPECT_STREQ(Shown(5, 3), c.shown);
    }
    CGXTabbedComboCache* pCache = CGXTabbedComboCache::Get(m_grid.get());
    EXPECT_LE(pCache->GetMapCount(), 3u) << "ids below 1 have no map";
}

}  // namespace
