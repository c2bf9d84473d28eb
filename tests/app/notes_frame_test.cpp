// Notes windows in the real main frame over a sample directory and a custom database of the
// test's own: what Close stores for each state of the person, the window itself, the commands
// that open it, and the notes kept through Close All, the frame's end and a deleted favorite.
#include "tests/app/frame_fixture.h"

#include "app/Config.h"
#include "app/DetailsDlg.h"
#include "app/History.h"
#include "app/NotesRecordset.h"
#include "app/OrganizeNotesDlg.h"
#include "app/TreeRecordset.h"
#include "app/ViewerDoc.h"
#include "platform/sys/globalmem.h"
#include "resources/notes_ids.h"
#include "resources/outline_ids.h"
#include "tests/app/msgbox_log.h"
#include "tools/pvsample/SampleWriter.h"

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

// A frame whose Add to Favorites offer answers as the test says; OK adds the favorite the way
// the dialog does, under "Favorites" with the picture its notes flag chooses.
class NotesFrame : public CMainFrame {
    DECLARE_DYNCREATE(NotesFrame)
public:
    INT_PTR m_nOfferAnswer = IDCANCEL;
    std::vector<CAddToFavoritesArgs> m_offers;

    INT_PTR RunAddToFavorites(const CAddToFavoritesArgs& args, CWnd*) override
    {
        m_offers.push_back(args);
        if (m_nOfferAnswer == IDOK) {
            const int picture = args.m_bHasNotes ? m_pNavigateView->m_nFavoriteNotesImage : m_pNavigateView->m_nFavoriteImage;
            CString key = args.m_strName;
            m_pNavigateView->MakeUniqueKey(key);
            CString link;
            link.Format("%ld", args.m_nRecordKey);
            m_pNavigateView->AddOutlineItem(key, "Favorites", key, picture, picture, link, "Details");
        }
        return m_nOfferAnswer;
    }
};
IMPLEMENT_DYNCREATE(NotesFrame, CMainFrame)

namespace {

// Record keys of the test's custom database.
constexpr long kTwoFavoritesWithNote = 3;  // "Pat One" and "Pat Again", note "Call back"
constexpr long kFavoriteNoNote = 4;        // "Sam Two"
constexpr long kNoteOnly = 5;              // note "Call back", no favorite

struct NoteRows {
    int count = 0;
    std::string memo;
};

class NotesFrameTest : public FrameTest {
protected:
    static void SetUpTestSuite()
    {
        s_root = new fs::path(fs::temp_directory_path() / ("pv_notes_frame_" + std::to_string(::getpid())));
        fs::remove_all(*s_root);
        pvsample::SampleOptions options;
        options.dir = (*s_root / "sample").string();
        options.people = 40;
        s_paths = new pvsample::SamplePaths(pvsample::WriteSampleDirectory(options));
    }
    static void TearDownTestSuite()
    {
        fs::remove_all(*s_root);
        delete s_paths;
        delete s_root;
    }
    void SetUp() override
    {
        FrameTest::SetUp();
        PvResetStartupAbandoned();
        m_registry = *s_root / ("registry_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(m_registry);
        ::setenv("PV_REGISTRY_DIR", m_registry.c_str(), 1);
        pvsample::RegisterSampleDirectory(*s_paths);
        ResetConfiguration();
        ASSERT_TRUE(LoadConfiguration());
        HistoryInit();
        m_outline.WriteCustom(
            {
                {.key = "Views", .parent = "", .text = "Directory Lists"},
                {.key = "Favorites", .parent = "", .text = "Favorites", .image = 1},
                {.key = "Teachers", .parent = "Favorites", .text = "Teachers", .image = 2},
                {.key = "Pat One", .parent = "Teachers", .text = "Pat One", .image = 3, .type = "Details", .link = "3",
                 .expanded = 1},
                {.key = "Pat Again", .parent = "Favorites", .text = "Pat Again", .image = 3, .type = "Details",
                 .link = "3"},
                {.key = "Sam Two", .parent = "Favorites", .text = "Sam Two", .type = "Details", .link = "4"},
            },
            {kTwoFavoritesWithNote, kNoteOnly});
        PvSetOutlinePathsForTest(GetDataPath(), m_outline.custom().c_str());
        m_template = std::make_unique<CSingleDocTemplate>(IDR_MAINFRAME, RUNTIME_CLASS(CViewerDoc),
                                                          RUNTIME_CLASS(NotesFrame), RUNTIME_CLASS(CDaoqueryView));
        CDocument* doc = m_template->OpenDocumentFile(nullptr);
        ASSERT_NE(doc, nullptr);
        POSITION pos = doc->GetFirstViewPosition();
        frame = static_cast<NotesFrame*>(doc->GetNextView(pos)->GetParentFrame());
        Pump();
        frame->SwitchLayout(ID_LAYOUT_DIRECTORY);
        Pump();
        outline = frame->m_pNavigateView;
        ASSERT_NE(outline, nullptr);
        ASSERT_NE(outline->FindItem("Pat One"), nullptr);
    }
    void TearDown() override
    {
        COrganizeNotesDlg::s_beforeLookup = nullptr;
        if (frame && ::IsWindow(frame->GetSafeHwnd()))
            frame->SendMessage(WM_CLOSE);
        Pump();
        FrameTest::TearDown();
        HistoryFree();
        ::unsetenv("PV_REGISTRY_DIR");
        fs::remove_all(m_registry);
        ResetConfiguration();
    }

    COrganizeNotesDlg* notesOf(long key) { return dynamic_cast<COrganizeNotesDlg*>(frame->m_lists.FindWindowOf(key, TRUE)); }
    COrganizeNotesDlg* open(long key, const char* name = "  Kai Larsen  ", CWnd* parent = nullptr)
    {
        frame->OpenNotesWindow(key, name, parent);
        Pump();
        return notesOf(key);
    }
    static void close(COrganizeNotesDlg* dlg)
    {
        CWnd* button = dlg->GetDlgItem(IDC_NOTES_CLOSE);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_NOTES_CLOSE, BN_CLICKED), LPARAM(button->GetSafeHwnd()));
        Pump();
    }
    static std::string text(CWnd* wnd)
    {
        CString s;
        wnd->GetWindowText(s);
        return s.str();
    }
    static void type(COrganizeNotesDlg* dlg, const std::vector<UINT>& chars)
    {
        for (UINT ch : chars)
            dlg->m_edit.SendMessage(WM_CHAR, ch);
    }

    NoteRows rowsOf(long key)
    {
        CDaoDatabase db;
        db.Open(GetCustomPath());
        CNotesRecordset rs(&db);
        CString sql;
        sql.Format("SELECT * FROM Annotations WHERE [_IKEY] = %ld", key);
        rs.Open(dbOpenDynaset, sql);
        NoteRows rows;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            ++rows.count;
            rows.memo = rs.m_MEMO.str();
        }
        rs.Close();
        db.Close();
        return rows;
    }
    // The pictures of the person's favorites in table Tree (Image and Selected Image each) and
    // in the outline, by favorite key.
    std::map<std::string, std::vector<int>> picturesOf(long key)
    {
        std::map<std::string, std::vector<int>> out;
        CDaoDatabase db;
        db.Open(GetCustomPath());
        CTreeRecordset rs(&db);
        CString sql;
        sql.Format("Select * From Tree Where Link = '%ld' and Type = 'Details'", key);
        rs.Open(dbOpenDynaset, sql);
        for (; !rs.IsEOF(); rs.MoveNext()) {
            int image = -1, selected = -1;
            if (HTREEITEM h = outline->FindItem(rs.m_Key))
                outline->GetTreeCtrl().GetItemImage(h, image, selected);
            out[rs.m_Key.str()] = {int(rs.m_Image), int(rs.m_Selected_Image), image, selected};
        }
        rs.Close();
        db.Close();
        return out;
    }
    std::string pane3() { return frame->m_wndStatusBar.GetPaneText(3).str(); }
    BOOL paneIcon() { return frame->m_wndStatusBar.GetStatusBarCtrl().GetIcon(3) != nullptr; }

    static inline fs::path* s_root = nullptr;
    static inline pvsample::SamplePaths* s_paths = nullptr;
    fs::path m_registry;
    NotesFrame* frame = nullptr;
    CNavigateView* outline = nullptr;
    MsgBoxLog boxes;
};

} // namespace

// Close for each state of the person: the row after, the pictures of the person's favorites in
// the table and the outline, status pane 3 (the person's page is shown) and the offer.
TEST_F(NotesFrameTest, CloseStoresChangesOrDeletesTheOneRow)
{
    const std::vector<int> plain = {0, 0, 0, 0}, withNotes = {3, 3, 3, 3};
    const struct Case {
        const char* name;
        long key;
        const char* memo;
        INT_PTR answer;
        int rows;            // rows for the key afterwards
        const char* stored;  // their MEMO
        std::map<std::string, std::vector<int>> pictures;
        const char* pane;
        size_t offers;
    } cases[] = {
        {.name = "found, emptied: deleted, pictures back to 0, pane cleared", .key = kTwoFavoritesWithNote, .memo = "",
         .answer = IDCANCEL, .rows = 0, .stored = "", .pictures = {{"Pat One", plain}, {"Pat Again", plain}}, .pane = "",
         .offers = 0},
        {.name = "found, text: updated", .key = kNoteOnly, .memo = "Moved to\r\nroom 12", .answer = IDCANCEL, .rows = 1,
         .stored = "Moved to\r\nroom 12", .pictures = {}, .pane = "Notes", .offers = 0},
        {.name = "none, text, a favorite: added, picture 3, no offer", .key = kFavoriteNoNote, .memo = "First", .answer = IDOK,
         .rows = 1, .stored = "First", .pictures = {{"Sam Two", withNotes}}, .pane = "Notes", .offers = 0},
        {.name = "none, text, not a favorite, Cancel: the note stays", .key = 6, .memo = "Keep me", .answer = IDCANCEL,
         .rows = 1, .stored = "Keep me", .pictures = {}, .pane = "Notes", .offers = 1},
        {.name = "none, text, not a favorite, OK: a favorite with picture 3", .key = 7, .memo = "Add me", .answer = IDOK,
         .rows = 1, .stored = "Add me", .pictures = {{"Kai Larsen", withNotes}}, .pane = "Notes", .offers = 1},
        {.name = "none, empty: nothing", .key = 8, .memo = "", .answer = IDOK, .rows = 0, .stored = "", .pictures = {},
         .pane = "", .offers = 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frame->ShowRecordDetails(c.key, FALSE);
        frame->m_nOfferAnswer = c.answer;
        frame->m_offers.clear();
        COrganizeNotesDlg* dlg = open(c.key);
        ASSERT_NE(dlg, nullptr);
        dlg->m_edit.SetWindowText(c.memo);
        close(dlg);
        EXPECT_EQ(notesOf(c.key), nullptr);
        const NoteRows rows = rowsOf(c.key);
        EXPECT_EQ(rows.count, c.rows);
        EXPECT_EQ(rows.memo, c.stored);
        EXPECT_EQ(picturesOf(c.key), c.pictures);
        EXPECT_EQ(pane3(), c.pane);
        EXPECT_EQ(paneIcon(), *c.pane != 0);
        ASSERT_EQ(frame->m_offers.size(), c.offers);
        if (c.offers) {
            EXPECT_EQ(frame->m_offers[0].m_strName, "Kai Larsen");
            EXPECT_EQ(frame->m_offers[0].m_nRecordKey, c.key);
            EXPECT_TRUE(frame->m_offers[0].m_bHasNotes);
            EXPECT_EQ(frame->m_offers[0].m_strPrompt, "Paravel will add this page to your Favorites List...");
        }
    }
    EXPECT_TRUE(boxes.entries().empty());
}

// The window shows the stored note under the trimmed name, on its colour, cascading from the
// frame's corner; typing stops where the column would, with breaks counted as CR LF.
TEST_F(NotesFrameTest, WindowCaptionColourCascadeAndLimit)
{
    COrganizeNotesDlg* first = open(kNoteOnly);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(text(first), "Notes for Kai Larsen");
    EXPECT_EQ(text(&first->m_edit), "Call back");
    EXPECT_EQ(first->m_edit.SetBackgroundColor(FALSE, 0xCCFFFF), COLORREF(0xCCFFFF));

    CRect rcFrame, rc;
    frame->GetWindowRect(&rcFrame);
    first->GetWindowRect(&rc);
    EXPECT_EQ(rc.TopLeft(), rcFrame.TopLeft() + CPoint(12, 18));  // counter 0 counts as 1
    COrganizeNotesDlg* second = open(6);
    second->GetWindowRect(&rc);
    EXPECT_EQ(rc.TopLeft(), rcFrame.TopLeft() + CPoint(12, 18));  // counter 1
    COrganizeNotesDlg* third = open(7);
    third->GetWindowRect(&rc);
    EXPECT_EQ(rc.TopLeft(), rcFrame.TopLeft() + CPoint(24, 36));
    EXPECT_EQ(open(kNoteOnly), first);  // one window per person
    first->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_NOTES_CLEAR, BN_CLICKED),
                       LPARAM(first->GetDlgItem(IDC_NOTES_CLEAR)->GetSafeHwnd()));
    EXPECT_EQ(text(&first->m_edit), "");
    EXPECT_EQ(rowsOf(kNoteOnly).memo, "Call back");  // nothing stored until Close

    // 250 letters and then breaks: two fit (254), the third would make 256; one letter fills it.
    second->m_edit.SetWindowText("");
    type(second, std::vector<UINT>(250, 'a'));
    type(second, {'\r', '\r', '\r', 'b', 'c'});
    CString typed;
    second->m_edit.GetWindowText(typed);
    EXPECT_EQ(NotesStoredLength(typed), 255);
    EXPECT_EQ(typed, CString(std::string(250, 'a') + "\r\n\r\nb"));
    close(second);
    EXPECT_EQ(rowsOf(6).memo, std::string(250, 'a') + "\r\n\r\nb");

    // 255 accented letters are 255 characters, whatever their bytes.
    third->m_edit.SetWindowText("");
    type(third, std::vector<UINT>(256, 0xE9));
    close(third);
    std::string accents;
    for (int i = 0; i < 255; ++i)
        accents += "\xC3\xA9";
    EXPECT_EQ(rowsOf(7).memo, accents);
    EXPECT_TRUE(boxes.entries().empty());
}

TEST(NotesCascade, FromTheFramesCornerBackWhenTheBottomIsReached)
{
    const CRect base(100, 50, 1100, 850);
    const struct Case {
        const char* name;
        int height, counter;
        CPoint topLeft;
        int counterAfter;
    } cases[] = {
        {.name = "0 counts as 1", .height = 300, .counter = 0, .topLeft = CPoint(112, 68), .counterAfter = 0},
        {.name = "1", .height = 300, .counter = 1, .topLeft = CPoint(112, 68), .counterAfter = 1},
        {.name = "6", .height = 300, .counter = 6, .topLeft = CPoint(172, 158), .counterAfter = 6},
        {.name = "stops short of the bottom", .height = 800 - 109, .counter = 6, .topLeft = CPoint(172, 158), .counterAfter = 6},
        {.name = "would pass the bottom", .height = 800 - 100, .counter = 6, .topLeft = CPoint(100, 50), .counterAfter = 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int counter = c.counter;
        const CRect placed = CascadedNotesRect(CRect(500, 500, 800, 500 + c.height), base, counter);
        EXPECT_EQ(placed.TopLeft(), c.topLeft);
        EXPECT_EQ(placed.Size(), CSize(300, c.height));
        EXPECT_EQ(counter, c.counterAfter);
    }
}

TEST(NotesStoredLength, BreaksCountAsCrLf)
{
    const struct Case {
        const char* text;
        int length;
    } cases[] = {{"", 0}, {"abc", 3}, {"a\r\nb", 4}, {"a\nb", 4}, {"a\rb", 4}, {"\xC3\xA9\xC3\xA9", 2}, {"\r\n\r\n", 4}};
    for (const Case& c : cases)
        EXPECT_EQ(NotesStoredLength(c.text), c.length) << c.text;
}

// A paste keeps what fits in the column and drops the rest.
TEST_F(NotesFrameTest, PasteIsCutToWhatFits)
{
    COrganizeNotesDlg* dlg = open(6);
    ASSERT_NE(dlg, nullptr);
    type(dlg, std::vector<UINT>(250, 'x'));
    const char* clip = "12\r\n345";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, strlen(clip) + 1);
    memcpy(GlobalLock(h), clip, strlen(clip) + 1);
    GlobalUnlock(h);
    SetClipboardData(CF_TEXT, h);
    CloseClipboard();
    dlg->m_edit.SendMessage(WM_PASTE);
    CString now;
    dlg->m_edit.GetWindowText(now);
    EXPECT_EQ(now, CString(std::string(250, 'x') + "12\r\n3"));
}

// Status pane 3 belongs to the shown record: another person's window leaves it alone.
TEST_F(NotesFrameTest, PaneFollowsTheShownRecordOnly)
{
    frame->ShowRecordDetails(kNoteOnly, FALSE);
    ASSERT_EQ(pane3(), "Notes");
    COrganizeNotesDlg* dlg = open(kTwoFavoritesWithNote);
    dlg->m_edit.SetWindowText("");
    close(dlg);
    EXPECT_EQ(rowsOf(kTwoFavoritesWithNote).count, 0);
    EXPECT_EQ(pane3(), "Notes");

    frame->ShowRecordDetails(6, FALSE);
    ASSERT_EQ(pane3(), "");
    dlg = open(kFavoriteNoNote);
    dlg->m_edit.SetWindowText("Hi");
    close(dlg);
    EXPECT_EQ(pane3(), "");
}

// A lookup that fails stores nothing: no second row, no lost edit; the window keeps the text.
TEST_F(NotesFrameTest, FailedLookupStoresNothing)
{
    for (long key : {kNoteOnly, 6L}) {
        SCOPED_TRACE(key);
        COrganizeNotesDlg* dlg = open(key);
        ASSERT_NE(dlg, nullptr);
        dlg->m_edit.SetWindowText("Changed");
        COrganizeNotesDlg::s_beforeLookup = [] { PvThrowDaoError(JET_ERR_DISK_IO, "Disk or network error."); };
        boxes.clear();
        close(dlg);
        ASSERT_EQ(notesOf(key), dlg);
        EXPECT_EQ(text(&dlg->m_edit), "Changed");
        const auto shown = boxes.entries();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, "3043");
        const NoteRows rows = rowsOf(key);
        EXPECT_EQ(rows.count, key == kNoteOnly ? 1 : 0);
        EXPECT_EQ(rows.memo, key == kNoteOnly ? "Call back" : "");

        // Once the lookup works again, Close stores the same text without asking.
        COrganizeNotesDlg::s_beforeLookup = nullptr;
        boxes.clear();
        close(dlg);
        EXPECT_EQ(notesOf(key), nullptr);
        EXPECT_EQ(rowsOf(key).count, 1);
        EXPECT_EQ(rowsOf(key).memo, "Changed");
    }
    EXPECT_TRUE(frame->m_offers.size() == 1u);  // the first note of 6
}

// Close All and the frame's end store every open note first; nothing is offered.
TEST_F(NotesFrameTest, CloseAllAndClosingTheFrameStoreEveryNote)
{
    COrganizeNotesDlg* a = open(6);
    COrganizeNotesDlg* b = open(kNoteOnly);
    a->m_edit.SetWindowText("Note A");
    b->m_edit.SetWindowText("Note B");
    frame->SendMessage(WM_COMMAND, ID_CLOSE_ALL);
    Pump();
    EXPECT_TRUE(frame->m_lists.GetList(TRUE).empty());
    EXPECT_EQ(rowsOf(6).memo, "Note A");
    EXPECT_EQ(rowsOf(kNoteOnly).memo, "Note B");

    a = open(7);
    b = open(kFavoriteNoNote);
    a->m_edit.SetWindowText("Note C");
    b->m_edit.SetWindowText("Note D");
    frame->SendMessage(WM_CLOSE);
    Pump();
    frame = nullptr;
    EXPECT_EQ(rowsOf(7).memo, "Note C");
    EXPECT_EQ(rowsOf(kFavoriteNoNote).memo, "Note D");
    EXPECT_TRUE(boxes.entries().empty());
}

// A notes window owned by a details pop-up is stored before the pop-up goes, by Close All or by
// the pop-up's own Close.
TEST_F(NotesFrameTest, PopupsTakeNoNoteWithThem)
{
    frame->ShowRecordDetails(6, FALSE);
    frame->OpenDetailsPopup(6);
    Pump();
    CWnd* popup = frame->m_lists.FindWindowOf(6, FALSE);
    ASSERT_NE(popup, nullptr);
    popup->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DETAILS_NOTES, BN_CLICKED),
                       LPARAM(popup->GetDlgItem(IDC_DETAILS_NOTES)->GetSafeHwnd()));
    Pump();
    COrganizeNotesDlg* dlg = notesOf(6);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->m_pParentWnd, popup);
    dlg->m_edit.SetWindowText("From the pop-up");
    popup->SendMessage(WM_COMMAND, IDCANCEL);
    Pump();
    EXPECT_EQ(frame->m_lists.FindWindowOf(6, FALSE), nullptr);
    EXPECT_EQ(rowsOf(6).memo, "From the pop-up");
}

// Deleting the favorite with its note closes the window without storing it, as the user was told.
TEST_F(NotesFrameTest, DeletedFavoriteTakesItsWindowAndNote)
{
    COrganizeNotesDlg* dlg = open(kTwoFavoritesWithNote);
    dlg->m_edit.SetWindowText("Typed but deleted");
    boxes.answers("yes");
    outline->GetTreeCtrl().SelectItem(outline->FindItem("Pat Again"));
    outline->SendMessage(WM_COMMAND, ID_DELETE_FAVORITE);
    Pump();
    EXPECT_EQ(notesOf(kTwoFavoritesWithNote), nullptr);
    EXPECT_EQ(rowsOf(kTwoFavoritesWithNote).count, 0);
}

// The commands that open a window: Add/View Notes and its pane take the shown page's person;
// the outline's takes the favorite's own text, whoever's page is shown.
TEST_F(NotesFrameTest, CommandsOpenTheRightPersonsWindow)
{
    frame->ShowRecordDetails(kNoteOnly, FALSE);
    const std::string title = frame->m_pMediaView->m_strPageTitle.str();
    for (UINT id : {UINT(ID_ADD_NOTES), UINT(ID_NOTES_PANE)}) {
        SCOPED_TRACE(id);
        frame->SendMessage(WM_COMMAND, id);
        Pump();
        COrganizeNotesDlg* dlg = notesOf(kNoteOnly);
        ASSERT_NE(dlg, nullptr);
        CString name = title.c_str();
        name.Trim();
        EXPECT_EQ(text(dlg), "Notes for " + name.str());
        close(dlg);
    }
    // A double click on the notes pane, and only on it, is that pane's command.
    CRect pane;
    for (int index : {2, 3}) {
        frame->m_wndStatusBar.GetItemRect(index, &pane);
        frame->m_wndStatusBar.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(pane.CenterPoint().x, pane.CenterPoint().y));
        Pump();
        EXPECT_EQ(notesOf(kNoteOnly) != nullptr, index == 3) << index;
    }
    close(notesOf(kNoteOnly));
    outline->GetTreeCtrl().SelectItem(outline->FindItem("Sam Two"));
    outline->SendMessage(WM_COMMAND, ID_FAVORITE_NOTES);
    Pump();
    COrganizeNotesDlg* dlg = notesOf(kFavoriteNoNote);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(text(dlg), "Notes for Sam Two");
}

// A note that cannot be stored keeps its window through Close All, and the pop-up that owns it,
// and keeps the frame open; once it can be stored, the frame closes with it stored.
TEST_F(NotesFrameTest, AnUnstorableNoteKeepsItsWindowAndTheFrame)
{
    frame->ShowRecordDetails(6, FALSE);
    frame->OpenDetailsPopup(6);
    Pump();
    CWnd* popup = frame->m_lists.FindWindowOf(6, FALSE);
    ASSERT_NE(popup, nullptr);
    COrganizeNotesDlg* dlg = open(6, "  Kai Larsen  ", popup);
    ASSERT_NE(dlg, nullptr);
    dlg->m_edit.SetWindowText("Kept");
    COrganizeNotesDlg::s_beforeLookup = [] { PvThrowDaoError(JET_ERR_DISK_IO, "Disk or network error."); };
    frame->SendMessage(WM_COMMAND, ID_CLOSE_ALL);
    Pump();
    EXPECT_EQ(notesOf(6), dlg);
    EXPECT_EQ(frame->m_lists.FindWindowOf(6, FALSE), popup);
    EXPECT_EQ(text(&dlg->m_edit), "Kept");

    boxes.answers("no");
    frame->SendMessage(WM_CLOSE);
    Pump();
    ASSERT_TRUE(::IsWindow(frame->GetSafeHwnd()));
    EXPECT_EQ(notesOf(6), dlg);
    EXPECT_EQ(rowsOf(6).count, 0);

    COrganizeNotesDlg::s_beforeLookup = nullptr;
    frame->SendMessage(WM_CLOSE);
    Pump();
    frame = nullptr;
    EXPECT_EQ(rowsOf(6).memo, "Kept");
}
