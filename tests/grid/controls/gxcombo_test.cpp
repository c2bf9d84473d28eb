// The combo-box cell: what each flag word stores and shows, and its drop-down list opened by
// the button, Alt+Down or a click, closed by a choice, Esc, Tab, a scroll or a click elsewhere.

#include "gxcombofixture.h"
#include "tests/grid/gxbmpfile.h"

#include "grid/controls/gxcombo.h"
#include "grid/core/gxparam.h"
#include "platform/gdi/recording.h"
#include "platform/win/pvwin.h"

namespace {

const char kChoices[] = "Apple pie\napple\nBanana\n1st";

class ComboTest : public ComboFixture {
protected:
    CGXComboBox* Combo() { return dynamic_cast<CGXComboBox*>(m_grid->CurrentCellControl()); }
    CListBox* List() { return Combo() && Combo()->GetDropDown() ? Combo()->GetDropDown()->GetListBox() : nullptr; }

    void PlaceCombo(ROWCOL r, ROWCOL c, WORD nID, const char* pszValue = "", const char* pszChoices = kChoices)
    {
        CGXStyle style;
        style.SetChoiceList(pszChoices).SetValue(pszValue);
        Place(r, c, nID, style);
        m_wnd.UpdateWindow();
    }
    void Type(const char* psz)
    {
        for (const char* p = psz; *p; ++p)
            Char(UINT(BYTE(*p)));
    }
    CPoint ScreenPointOfItem(int i)
    {
        CRect r;
        List()->GetItemRect(i, &r);
        List()->ClientToScreen(&r);
        return r.CenterPoint();
    }
};

TEST_F(ComboTest, FactoryMakesTheComboCells)
{
    struct Case {
        WORD id;
        UINT flags;
    };
    const Case cases[] = {
        {GX_IDS_CTRL_COMBOBOX, GXCOMBO_NOTEXTFIT},  {GX_IDS_CTRL_TEXTFIT, GXCOMBO_TEXTFIT},
        {GX_IDS_CTRL_ZEROBASED, GXCOMBO_ZEROBASED}, {GX_IDS_CTRL_ONEBASED, GXCOMBO_ONEBASED},
        {GX_IDS_CTRL_ZEROBASED_EX, 0x14},          {GX_IDS_CTRL_ONEBASED_EX, 0x18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        PlaceCombo(2, 2, c.id);
        ASSERT_NE(Combo(), nullptr);
        EXPECT_EQ(Combo()->GetComboFlags(), c.flags);
        EXPECT_TRUE(Combo()->IsControlKindOf(&CGXEditControl::classCGXEditControl));
    }
}

// One table for the six flag words: typed text, or a pick from the list by keys, then Enter.
TEST_F(ComboTest, FlagWordsDecideWhatIsStoredAndShown)
{
    struct Case {
        WORD id = 0;
        const char* typed = nullptr;  // null: pick entry `pick` from the list
        int pick = 0;
        const char* stored = "";
        const char* shown = "";
    };
    const Case cases[] = {
        {.id = GX_IDS_CTRL_COMBOBOX, .typed = "APPLE", .stored = "APPLE", .shown = "APPLE"},
        {.id = GX_IDS_CTRL_COMBOBOX, .typed = "x", .stored = "x", .shown = "x"},
        {.id = GX_IDS_CTRL_COMBOBOX, .pick = 2, .stored = "Banana", .shown = "Banana"},
        // An exact match in any case wins over an earlier entry it begins.
        {.id = GX_IDS_CTRL_TEXTFIT, .typed = "APPLE", .stored = "apple", .shown = "apple"},
        {.id = GX_IDS_CTRL_TEXTFIT, .typed = "ban", .stored = "Banana", .shown = "Banana"},
        {.id = GX_IDS_CTRL_TEXTFIT, .typed = "x", .stored = "", .shown = ""},
        {.id = GX_IDS_CTRL_TEXTFIT, .pick = 1, .stored = "apple", .shown = "apple"},
        {.id = GX_IDS_CTRL_ZEROBASED, .pick = 2, .stored = "2", .shown = "2"},
        {.id = GX_IDS_CTRL_ZEROBASED, .pick = 1, .stored = "1", .shown = "1"},
        {.id = GX_IDS_CTRL_ONEBASED, .pick = 2, .stored = "3", .shown = "3"},
        {.id = GX_IDS_CTRL_ZEROBASED_EX, .typed = "APPLE", .stored = "1", .shown = "apple"},
        {.id = GX_IDS_CTRL_ZEROBASED_EX, .typed = "ban", .stored = "2", .shown = "Banana"},
        {.id = GX_IDS_CTRL_ZEROBASED_EX, .typed = "x", .stored = "", .shown = ""},
        {.id = GX_IDS_CTRL_ZEROBASED_EX, .pick = 2, .stored = "2", .shown = "Banana"},
        // The entry's text goes into the edit, not its index (which "1st" would begin).
        {.id = GX_IDS_CTRL_ZEROBASED_EX, .pick = 1, .stored = "1", .shown = "apple"},
        {.id = GX_IDS_CTRL_ONEBASED_EX, .typed = "APPLE", .stored = "2", .shown = "apple"},
        {.id = GX_IDS_CTRL_ONEBASED_EX, .pick = 2, .stored = "3", .shown = "Banana"},
        {.id = GX_IDS_CTRL_ONEBASED_EX, .pick = 0, .stored = "1", .shown = "Apple pie"},
    };
    ROWCOL row = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.id << " " << (c.typed ? c.typed : "pick") << " " << c.pick);
        ++row;
        PlaceCombo(row, 2, c.id);
        if (c.typed) {
            Type(c.typed);
        } else {
            Press(VK_DOWN, true);
            ASSERT_NE(List(), nullptr) << "Alt+Down opens the list";
            for (int i = 0; i < c.pick; ++i)
                Press(VK_DOWN);
            Press(VK_RETURN);
            EXPECT_EQ(List(), nullptr) << "Enter picks and closes";
        }
        Key(VK_RETURN);
        EXPECT_STREQ(Value(row, 2), c.stored);
        EXPECT_STREQ(Shown(row, 2), c.shown);
    }
}

TEST_F(ComboTest, StoredValuesSelectTheirEntry)
{
    struct Case {
        WORD id;
        const char* value;
        int sel;
    };
    const Case cases[] = {
        {GX_IDS_CTRL_ONEBASED, "0", -1},  {GX_IDS_CTRL_ONEBASED, "abc", -1}, {GX_IDS_CTRL_ONEBASED, "3", 2},
        {GX_IDS_CTRL_ZEROBASED, "3", 3},  {GX_IDS_CTRL_ZEROBASED, "-1", -1}, {GX_IDS_CTRL_TEXTFIT, "APPLE", 1},
        {GX_IDS_CTRL_TEXTFIT, "ban", 2},  {GX_IDS_CTRL_COMBOBOX, "Ban", 2},  {GX_IDS_CTRL_ZEROBASED_EX, "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.id << " '" << c.value << "'");
        PlaceCombo(3, 3, c.id, c.value);
        CListBox list;
        ASSERT_TRUE(list.Create(WS_CHILD | LBS_NOTIFY, CRect(0, 0, 100, 100), &m_wnd, 1));
        Combo()->FillListBox(&list);
        EXPECT_EQ(list.GetCount(), 4);
        EXPECT_EQ(list.GetCurSel(), c.sel);
    }
    PlaceCombo(3, 3, GX_IDS_CTRL_ZEROBASED_EX, "");
    EXPECT_STREQ(Shown(3, 3), "") << "an empty display-choice value shows nothing";
}

TEST_F(ComboTest, ButtonAltDownAndClickOpenTheList)
{
    PlaceCombo(3, 2, GX_IDS_CTRL_COMBOBOX, "apple");
    // The button, at the cell's right edge.
    const CRect rectButton = Combo()->GetButton()->GetRect();
    const CRect rectCell = m_grid->SpannedCellToRect(3, 2);
    EXPECT_LE(rectButton.right, rectCell.right);
    EXPECT_GE(rectButton.right, rectCell.right - 3);
    EXPECT_EQ(rectButton.Width(), 15);
    Click(rectButton.CenterPoint());
    ASSERT_NE(List(), nullptr);
    EXPECT_EQ(List()->GetCount(), 4);
    EXPECT_EQ(List()->GetCurSel(), 1);
    EXPECT_EQ(::GetFocus(), List()->GetSafeHwnd());
    EXPECT_TRUE(m_grid->m_bDropDownOpen);
    // Pop-up: a tool window of the library's class, below the cell.
    CGXGridCombo* pDrop = Combo()->GetDropDown();
    char szClass[64] = {};
    ::GetClassName(pDrop->GetSafeHwnd(), szClass, sizeof(szClass));
    EXPECT_STREQ(szClass, LPCTSTR(GXGetLibraryState().m_strPopupClassName));
    EXPECT_TRUE(pDrop->GetExStyle() & WS_EX_TOOLWINDOW);
    ::GetClassName(List()->GetSafeHwnd(), szClass, sizeof(szClass));
    EXPECT_STRCASEEQ(szClass, "COMBOLBOX");
    CRect rectDrop, rectScreenCell = rectCell;
    pDrop->GetWindowRect(&rectDrop);
    m_wnd.ClientToScreen(&rectScreenCell);
    EXPECT_EQ(rectDrop.top, rectScreenCell.bottom);
    EXPECT_EQ(rectDrop.left, rectScreenCell.left - 1);
    EXPECT_FALSE(GetGridPopupActive()) << "set only while the pop-up is made, placed or destroyed";

    // A click on an entry picks it.
    const CPoint pt = ScreenPointOfItem(2);
    PvInputClick(pt.x, pt.y);
    PvPumpMessages();
    EXPECT_EQ(List(), nullptr);
    EXPECT_FALSE(m_grid->m_bDropDownOpen);
    EXPECT_EQ(::GetFocus(), Combo()->GetEditWnd()->GetSafeHwnd()) << "the edit has the focus back";
    CString s;
    Combo()->GetCellValueText(s);
    EXPECT_STREQ(s, "Banana");
    Key(VK_RETURN);
    EXPECT_STREQ(Value(3, 2), "Banana");

    // A click on the button opens the list; another, the click eaten, closes it.
    CPoint ptButton = rectButton.CenterPoint();
    m_wnd.ClientToScreen(&ptButton);
    PvInputClick(ptButton.x, ptButton.y);
    PvPumpMessages();
    ASSERT_NE(List(), nullptr);
    PvInputClick(ptButton.x, ptButton.y);
    PvPumpMessages();
    EXPECT_EQ(List(), nullptr);
    EXPECT_EQ(::GetFocus(), Combo()->GetEditWnd()->GetSafeHwnd());
}

TEST_F(ComboTest, EscTabScrollAndAClickInTheGridCloseTheList)
{
    PlaceCombo(3, 2, GX_IDS_CTRL_COMBOBOX, "apple");
    // Esc keeps the stored value, whatever the arrows showed.
    Press(VK_DOWN, true);
    ASSERT_NE(List(), nullptr);
    Press(VK_DOWN);
    CString s;
    Combo()->GetCellValueText(s);
    EXPECT_STREQ(s, "Banana") << "the cell follows the list";
    Press(VK_ESCAPE);
    EXPECT_EQ(List(), nullptr);
    EXPECT_STREQ(Value(3, 2), "apple");
    EXPECT_FALSE(Combo()->IsActive());
    EXPECT_EQ(::GetFocus(), m_wnd.GetSafeHwnd());

    // Tab moves on, storing what the list showed.
    Press(VK_DOWN, true);
    ASSERT_NE(List(), nullptr);
    Press(VK_DOWN);
    Press(VK_TAB);
    ROWCOL r = 0, c = 0;
    m_grid->QueryCurrentCell(r, c);
    EXPECT_EQ(c, 3u);
    EXPECT_STREQ(Value(3, 2), "Banana");
    EXPECT_EQ(::GetFocus(), m_wnd.GetSafeHwnd());

    // A scroll closes it.
    PlaceCombo(3, 2, GX_IDS_CTRL_COMBOBOX, "apple");
    Press(VK_DOWN, true);
    ASSERT_NE(List(), nullptr);
    Combo()->HandleScrollMessage(WM_VSCROLL);
    EXPECT_EQ(List(), nullptr);

    // A click in the grid closes it and is eaten: the current cell stays.
    Press(VK_DOWN, true);
    ASSERT_NE(List(), nullptr);
    CRect other = m_grid->SpannedCellToRect(6, 4);
    m_wnd.ClientToScreen(&other);
    PvInputClick(other.CenterPoint().x, other.CenterPoint().y);
    PvPumpMessages();
    EXPECT_EQ(List(), nullptr);
    m_grid->QueryCurrentCell(r, c);
    EXPECT_EQ(r, 3u);
    EXPECT_EQ(c, 2u);
}

TEST_F(ComboTest, ListHeightAndPlacementOnTheScreen)
{
    // An empty choice list opens half an item high.
    PlaceCombo(3, 2, GX_IDS_CTRL_COMBOBOX, "", "");
    Press(VK_DOWN, true);
    ASSERT_NE(List(), nullptr);
    CRect rect;
    Combo()->GetDropDown()->GetWindowRect(&rect);
    EXPECT_EQ(rect.Height(), List()->GetItemHeight(0) / 2);
    Press(VK_ESCAPE);

    // Near the screen's bottom it opens above the cell; near its right edge it moves left.
    CRect desktop;
    ::GetClientRect(::GetDesktopWindow(), &desktop);
    m_wnd.MoveWindow(desktop.right - 300, desktop.bottom - 120, 640, 480);
    m_grid->SetColWidths(1, 3, 100);
    PlaceCombo(2, 3, GX_IDS_CTRL_COMBOBOX);
    CRect cell = m_grid->SpannedCellToRect(2, 3);
    m_wnd.ClientToScreen(&cell);
    ASSERT_GT(cell.bottom + 60, desktop.bottom);
    ASSERT_GT(cell.right, desktop.right);
    Press(VK_DOWN, true);
    ASSERT_NE(List(), nullptr);
    Combo()->GetDropDown()->GetWindowRect(&rect);
    EXPECT_EQ(rect.bottom, cell.top) << "above the cell";
    EXPECT_LE(rect.right, desktop.right);
}

TEST_F(ComboTest, RefusedEditingAndReadOnlyCells)
{
    class RefusingGrid : public HookGrid {
    public:
        using HookGrid::HookGrid;
        BOOL OnStartEditing(ROWCOL, ROWCOL) override { return FALSE; }
    };
    PlaceCombo(3, 2, GX_IDS_CTRL_COMBOBOX, "apple");
    CGXStyle readOnly;
    readOnly.SetReadOnly(TRUE);
    m_grid->GetParam()->m_bEnforceReadOnly = FALSE;
    SetStyle(3, 2, readOnly);
    m_grid->GetParam()->m_bEnforceReadOnly = TRUE;
    m_grid->PlaceCurrentCell(3, 2, 0);
    Press(VK_DOWN, true);
    if (List()) {
        Press(VK_DOWN);
        Press(VK_RETURN);
    }
    Key(VK_RETURN);
    EXPECT_STREQ(Value(3, 2), "apple") << "a pick in a read-only cell changes nothing";

    // A grid that refuses editing: Alt+Down does nothing.
    m_wnd.m_pGrid = nullptr;
    m_grid = std::make_unique<RefusingGrid>(&m_wnd);
    m_wnd.m_pGrid = m_grid.get();
    m_grid->Initialize();
    m_grid->SetRowCount(10);
    m_grid->SetColCount(4);
    m_wnd.SetFocus();
    PlaceCombo(2, 2, GX_IDS_CTRL_COMBOBOX, "apple");
    Press(VK_DOWN, true);
    EXPECT_EQ(List(), nullptr);
    EXPECT_FALSE(Combo()->IsActive());
}

TEST_F(ComboTest, TheGridGoesWithItsListOpen)
{
    for (WORD nID : {WORD(GX_IDS_CTRL_COMBOBOX), WORD(GX_IDS_CTRL_TABBED_COMBOBOX), WORD(GX_IDS_CTRL_CHECKLIST_COMBOBOX)}) {
        SCOPED_TRACE(nID);
        PlaceCombo(3, 2, nID, "1", "A\tone\nB\ttwo");
        Press(VK_DOWN, true);
        ASSERT_NE(List(), nullptr);
        const HWND hDrop = Combo()->GetDropDown()->GetSafeHwnd();
        m_wnd.m_pGrid = nullptr;
        m_grid.reset();
        PvPumpMessages();
        EXPECT_FALSE(::IsWindow(hDrop)) << "the pop-up goes with its control";
        m_grid = std::make_unique<HookGrid>(&m_wnd);
        m_wnd.m_pGrid = m_grid.get();
        m_grid->Initialize();
        m_grid->SetRowCount(20);
        m_grid->SetColCount(6);
        m_wnd.SetFocus();
    }
}

// ---- The pop-up window and the tabbed header ----

class RecordingWnd : public CWnd {
public:
    std::vector<std::pair<WPARAM, LPARAM>> m_commands;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            m_commands.emplace_back(wParam, lParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class WindowOwner : public CGXControl {
public:
    WindowOwner(CGXGridCore* pGrid, CWnd* pWnd) : CGXControl(pGrid), m_pWnd(pWnd) {}
    CWnd* GetWindow() override { return m_pWnd; }
    CWnd* m_pWnd;
};

TEST_F(ComboTest, PopupPassesListNotificationsAndPaintsInTheCellsColours)
{
    RecordingWnd target;
    ASSERT_TRUE(target.CreateEx(0, GX_WNDCLASS, "t", WS_CHILD, 0, 0, 10, 10, m_wnd.GetSafeHwnd(), nullptr));
    WindowOwner owner(m_grid.get(), &target);
    CGXGridCombo drop(&owner, CRect(100, 100, 200, 200));
    ASSERT_NE(drop.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(CGXGridCombo::IsCreatingDropDown());
    auto pList = std::make_unique<CListBox>();
    CListBox* p = pList.get();
    drop.AttachListBox(std::move(pList));
    ASSERT_TRUE(p->Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY, CRect(0, 0, 100, 100), &drop, 77));
    for (WORD code : {WORD(LBN_SELCHANGE), WORD(LBN_DBLCLK)})
        drop.SendMessage(WM_COMMAND, MAKEWPARAM(77, code), LPARAM(p->GetSafeHwnd()));
    ASSERT_EQ(target.m_commands.size(), 2u);
    EXPECT_EQ(target.m_commands[0].first, MAKEWPARAM(77, LBN_SELCHANGE));
    EXPECT_EQ(target.m_commands[1].first, MAKEWPARAM(77, LBN_DBLCLK));
    EXPECT_EQ(HWND(target.m_commands[1].second), p->GetSafeHwnd());

    // Colours: the system's list colours until the cell's are set.
    CRecordingDC dc(10, 10);
    drop.SendMessage(WM_CTLCOLORLISTBOX, WPARAM(dc.GetSafeHdc()), LPARAM(p->GetSafeHwnd()));
    EXPECT_EQ(dc.GetBkColor(), ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(dc.GetTextColor(), ::GetSysColor(COLOR_WINDOWTEXT));
    drop.SetColors(RGB(10, 20, 30), RGB(200, 210, 220));
    const LRESULT hBrush = drop.SendMessage(WM_CTLCOLORLISTBOX, WPARAM(dc.GetSafeHdc()), LPARAM(p->GetSafeHwnd()));
    EXPECT_NE(hBrush, 0);
    EXPECT_EQ(dc.GetBkColor(), RGB(200, 210, 220));
    EXPECT_EQ(dc.GetTextColor(), RGB(10, 20, 30));
}

TEST_F(ComboTest, HeaderShowsOneFieldPerTabStopAndTheRestToTheRightEdge)
{
    PvSetBitmapResourceLoader([](UINT id, LPCTSTR, std::vector<BYTE>& out) {
        if (id != 4712)
            return false;
        out = GreyBmp(6, 9);
        return true;
    });
    CGXTabbedLBoxHeader header;
    ASSERT_TRUE(header.Create(&m_wnd));
    const int stops[] = {40, 80, 120};
    header.m_bTabbed = TRUE;
    header.m_nTabStops = 3;
    header.m_pTabStops = stops;
    header.m_strHeader = "One\tTwo\tThree\t#BMP(4712)\tFive";
    header.MoveWindow(0, 0, 200, 20);
    header.ShowWindow(SW_SHOW);
    std::vector<PvGdiRecord> records;
    PvSetGlobalGdiRecorder(&records);
    header.Invalidate();
    header.UpdateWindow();
    PvSetGlobalGdiRecorder(nullptr);
    std::vector<CString> texts;
    std::vector<CRect> edges;
    int nBitmaps = 0;
    for (const PvGdiRecord& r : records) {
        if (r.call == "DrawText")
            texts.push_back(r.text);
        if (r.call == "DrawEdge")
            edges.push_back(r.rect);
        if (r.call == "StretchDIBits")
            ++nBitmaps;
    }
    ASSERT_EQ(texts.size(), 3u) << "four columns: three texts and a bitmap";
    EXPECT_STREQ(texts[0], "One");
    EXPECT_STREQ(texts[2], "Three");
    EXPECT_EQ(nBitmaps, 1) << "the fourth field names a pool bitmap";
    ASSERT_EQ(edges.size(), 4u);
    EXPECT_EQ(edges[0], CRect(0, 0, 39, 20));
    EXPECT_EQ(edges[3], CRect(120, 0, 200, 20)) << "the last column runs to the right edge";
    header.DestroyWindow();

    // Items: the same bitmap in place of its name; columns measure it by its width.
    CRecordingDC dc(300, 40);
    dc.ClearRecords();
    DrawTabbedItem(&dc, CRect(0, 0, 200, 16), "x\tOne\t#BMP(4712)\tFour", FALSE, 1, 3, stops, RGB(255, 255, 255),
                   RGB(0, 0, 0));
    EXPECT_EQ(dc.Count("StretchDIBits"), 1) << dc.Dump();
    std::vector<CString> itemTexts;
    for (const PvGdiRecord& r : dc.Find("DrawText"))
        itemTexts.push_back(r.text);
    ASSERT_EQ(itemTexts.size(), 2u) << "the first field is the display offset's";
    EXPECT_STREQ(itemTexts[0], "One");
    EXPECT_STREQ(itemTexts[1], "Four");
    int widths[3] = {-1, -1, -1};
    MeasureTabbedColumns(&dc, "A\t#BMP(4712)", 3, widths);
    EXPECT_EQ(widths[1], 6);
    EXPECT_EQ(widths[2], -1) << "a column without a field stays unmeasured";
    int nHeight = 5;
    MeasureTabbedItemHeight("A\t#BMP(4712)", FALSE, 0, 3, nHeight);
    EXPECT_EQ(nHeight, 9);
    PvSetBitmapResourceLoader(nullptr);
}

}  // namespace
