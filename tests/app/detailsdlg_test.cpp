// The details pop-up beside the real main frame over a sample installation: placement, the page
// it keeps, resizing, keys, its buttons and its lifetime in the frame's list.
#include "tests/app/sample_frame_fixture.h"

#include "app/DetailsDlg.h"
#include "app/PaneViews.h"
#include "platform/ui/commdlg.h"

#include <cstdlib>

namespace fs = std::filesystem;

// A frame whose pop-up creation can fail and which records what its pop-ups ask of it; its
// Add to Favorites stands in for the dialog and keeps the arguments it was given.
class PopupRecordingFrame : public CMainFrame {
    DECLARE_DYNCREATE(PopupRecordingFrame)
public:
    BOOL m_bFailCreate = FALSE;
    std::vector<CAddToFavoritesArgs> m_favorites;
    CWnd* m_pFavoritesParent = nullptr;
    struct Notes {
        long nKey;
        std::string title;
        CWnd* pParent;
    };
    std::vector<Notes> m_notes;

    INT_PTR RunAddToFavorites(const CAddToFavoritesArgs& args, CWnd* pParent) override
    {
        m_favorites.push_back(args);
        m_pFavoritesParent = pParent;
        return IDCANCEL;
    }
    void OpenNotesWindow(long nKey, const CString& strTitle, CWnd* pParent) override
    {
        m_notes.push_back({nKey, strTitle.str(), pParent});
    }

protected:
    CDetailsDlg* CreateDetailsPopup() override { return m_bFailCreate ? nullptr : CMainFrame::CreateDetailsPopup(); }
};
IMPLEMENT_DYNCREATE(PopupRecordingFrame, CMainFrame)

namespace {

class DetailsPopupTest : public SampleFrameTest {
protected:
    CRuntimeClass* FrameClass() const override { return RUNTIME_CLASS(PopupRecordingFrame); }
    PopupRecordingFrame* recorder() const { return static_cast<PopupRecordingFrame*>(frame); }

    // Shows the record in the pane and opens its pop-up, as Show Details Page does.
    CDetailsDlg* open(long nKey, bool pump = true)
    {
        frame->ShowRecordDetails(nKey, TRUE);
        frame->OpenDetailsPopup(nKey);
        if (pump)
            Pump();
        return dynamic_cast<CDetailsDlg*>(frame->m_lists.FindWindowOf(nKey, FALSE));
    }
    std::string titleOf(long nKey)
    {
        frame->ShowRecordDetails(nKey, FALSE);
        return view->m_strPageTitle.str();
    }
    static std::string caption(CWnd* pWnd)
    {
        CString text;
        pWnd->GetWindowText(text);
        return text.str();
    }
    static std::string pageOf(CDetailsDlg* popup)
    {
        PvBrowser* b = PvBrowser::FromHandle(popup->m_browser.m_hWnd);
        return b ? b->GetText() : std::string();
    }
    static void click(CDetailsDlg* popup, int nID)
    {
        popup->SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED),
                           reinterpret_cast<LPARAM>(popup->GetDlgItem(nID)->GetSafeHwnd()));
        Pump();
    }
    size_t popupCount() const { return frame->m_lists.GetList(FALSE).size(); }
};

} // namespace

TEST(DetailsPopupPlacement, CascadesUntilTheFramesBottom)
{
    const CRect frame(0, 0, 1000, 800);
    const struct Case {
        const char* name;
        CRect window;
        int counter;
        CPoint offset;
        int counterAfter;
    } cases[] = {
        {.name = "first", .window = CRect(100, 50, 500, 450), .counter = 0, .offset = CPoint(0, 0), .counterAfter = 0},
        {.name = "second", .window = CRect(100, 50, 500, 450), .counter = 1, .offset = CPoint(12, 18), .counterAfter = 1},
        {.name = "third", .window = CRect(100, 50, 500, 450), .counter = 2, .offset = CPoint(24, 36), .counterAfter = 2},
        {.name = "stops short of the bottom", .window = CRect(100, 300, 500, 781), .counter = 1, .offset = CPoint(12, 18), .counterAfter = 1},
        {.name = "reaches the bottom", .window = CRect(100, 300, 500, 782), .counter = 1, .offset = CPoint(0, 0), .counterAfter = 0},
        {.name = "passes the bottom", .window = CRect(100, 300, 500, 790), .counter = 3, .offset = CPoint(0, 0), .counterAfter = 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int counter = c.counter;
        const CRect placed = CascadedPopupRect(c.window, frame, counter);
        EXPECT_EQ(placed.TopLeft(), c.window.TopLeft() + c.offset);
        EXPECT_EQ(placed.Size(), c.window.Size());
        EXPECT_EQ(counter, c.counterAfter);
    }
}

// Show Details Page opens a pop-up with the person's page and name; pop-ups of further records
// stand 12 right and 18 lower each, and the cascade starts again after the sixth.
TEST_F(DetailsPopupTest, OpensBesideTheFrameAndCascades)
{
    command(ID_SHOW_ALL);
    command(ID_SHOW_DETAILS);
    const long current = frame->GetCurrentRecordKey();
    ASSERT_NE(current, -1);
    auto* first = dynamic_cast<CDetailsDlg*>(frame->m_lists.FindWindowOf(current, FALSE));
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->IsPageLoaded());
    EXPECT_EQ(caption(first), view->m_strPageTitle.str());
    EXPECT_NE(pageOf(first).find(view->m_strPageTitle.str()), std::string::npos);
    EXPECT_TRUE(first->IsWindowVisible());
    EXPECT_EQ(first->SendMessage(WM_GETICON, ICON_BIG), reinterpret_cast<LRESULT>(::LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME))));
    EXPECT_FALSE(view->IsWindowEnabled()) << "the pane waits for the frame's focus";
    EXPECT_EQ(frame->m_lists.m_nPopupCascade, 1);

    CRect rcFirst;
    first->GetWindowRect(&rcFirst);
    for (long key = 1; key <= 6; ++key) {
        SCOPED_TRACE(key);
        CDetailsDlg* popup = open(key == current ? 20 : key);
        ASSERT_NE(popup, nullptr);
        CRect rc;
        popup->GetWindowRect(&rc);
        const int n = int(key % 6);
        EXPECT_EQ(rc.TopLeft(), rcFirst.TopLeft() + CPoint(12 * n, 18 * n));
        EXPECT_EQ(frame->m_lists.m_nPopupCascade, (n + 1) % 6);
    }
    EXPECT_EQ(popupCount(), 7u);
    frame->SendMessage(WM_SETFOCUS);
    EXPECT_TRUE(view->IsWindowEnabled()) << "the frame's focus gives the pane back";
    EXPECT_TRUE(boxes.entries().empty());
}

// The pop-up keeps the page of its own key: the pane building the next person's page before
// the pop-up's blank document completes changes neither its page nor its name.
TEST_F(DetailsPopupTest, KeepsThePageOfItsKeyWhenThePaneMovesOn)
{
    const std::string nameA = titleOf(3), nameB = titleOf(4);
    ASSERT_NE(nameA, nameB);
    CDetailsDlg* popup = open(3, false);
    ASSERT_NE(popup, nullptr);
    EXPECT_FALSE(popup->IsPageLoaded()) << "the blank document completes from the message loop";
    frame->ShowRecordDetails(4, TRUE);
    Pump();
    ASSERT_TRUE(popup->IsPageLoaded());
    EXPECT_EQ(caption(popup), nameA);
    EXPECT_NE(pageOf(popup).find(nameA), std::string::npos);
    EXPECT_EQ(pageOf(popup).find(nameB), std::string::npos);

    click(popup, IDC_DETAILS_FAVORITES);
    ASSERT_EQ(recorder()->m_favorites.size(), 1u);
    EXPECT_EQ(recorder()->m_favorites[0].m_nRecordKey, 3);
    EXPECT_EQ(recorder()->m_favorites[0].m_strName.str(), nameA);
    click(popup, IDC_DETAILS_NOTES);
    ASSERT_EQ(recorder()->m_notes.size(), 1u);
    EXPECT_EQ(recorder()->m_notes[0].nKey, 3);
    EXPECT_EQ(recorder()->m_notes[0].title, nameA);
    EXPECT_EQ(recorder()->m_notes[0].pParent, popup);

    // Later documents change nothing either.
    popup->m_browser.Navigate("about:blank", nullptr, nullptr, nullptr, nullptr);
    Pump();
    EXPECT_EQ(caption(popup), nameA);
}

TEST_F(DetailsPopupTest, AddToFavoritesGetsTheKeyPromptNameNotesAndMenu)
{
    CDetailsDlg* popup = open(5);
    ASSERT_NE(popup, nullptr);
    popup->SetWindowText("   Jane  Doe ");
    click(popup, IDC_DETAILS_FAVORITES);
    ASSERT_EQ(recorder()->m_favorites.size(), 1u);
    const CAddToFavoritesArgs& args = recorder()->m_favorites[0];
    EXPECT_EQ(args.m_pOutline, frame->m_pNavigateView);
    EXPECT_EQ(args.m_nRecordKey, 5);
    EXPECT_EQ(args.m_bAddMode, 1);
    EXPECT_STREQ(args.m_strPrompt, "Paravel will add this page to your Favorites List...");
    EXPECT_STREQ(args.m_strName, "Jane  Doe ");
    EXPECT_EQ(args.m_bHasNotes, frame->RecordHasNotes(5));
    ASSERT_NE(args.m_pFavoritesMenu, nullptr);
    CString first;
    args.m_pFavoritesMenu->GetMenuString(0, first, MF_BYPOSITION);
    EXPECT_STREQ(first, "&Add to Favorites...");
    EXPECT_EQ(recorder()->m_pFavoritesParent, popup);
}

// Before the page is in, a new size leaves the browser alone; afterwards the page fills the
// client area above the band of buttons.
TEST_F(DetailsPopupTest, ResizingFitsThePageOnceLoaded)
{
    CDetailsDlg* popup = open(6, false);
    ASSERT_NE(popup, nullptr);
    CRect before;
    popup->m_browser.GetWindowRect(&before);
    popup->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    CRect after;
    popup->m_browser.GetWindowRect(&after);
    EXPECT_EQ(after.Size(), before.Size());

    Pump();
    ASSERT_TRUE(popup->IsPageLoaded());
    CRect rc;
    popup->GetWindowRect(&rc);
    popup->MoveWindow(rc.left, rc.top, rc.Width() + 40, rc.Height() + 30);
    CRect client;
    popup->GetClientRect(&client);
    EXPECT_EQ(popup->m_browser.GetWidth(), client.Width());
    EXPECT_EQ(popup->m_browser.GetHeight(), client.Height() - 35);
    popup->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 20));
    EXPECT_EQ(popup->m_browser.GetHeight(), 0) << "never a negative height";
}

TEST_F(DetailsPopupTest, KeysFocusAndCopy)
{
    CDetailsDlg* popup = open(7);
    ASSERT_NE(popup, nullptr);
    const HWND hBrowser = popup->m_browser.m_hWnd;
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
        BOOL swallowed;
    } cases[] = {
        {"right button", WM_RBUTTONDOWN, 0, TRUE},
        {"right double click", WM_RBUTTONDBLCLK, 0, TRUE},
        {"C", WM_KEYDOWN, 'C', TRUE},
        {"Tab", WM_KEYDOWN, VK_TAB, TRUE},
        {"left button", WM_LBUTTONDOWN, 0, FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MSG msg {};
        msg.hwnd = hBrowser;
        msg.message = c.message;
        msg.wParam = c.wParam;
        EXPECT_EQ(CWnd::WalkPreTranslateTree(popup->m_hWnd, &msg), c.swallowed);
    }
    // Typed: C with and without Ctrl and Tab leave the focus where it is.
    ::SetFocus(hBrowser);
    for (bool ctrl : {false, true}) {
        PvInputKeyStroke('C', ctrl);
        Pump();
    }
    PvInputKeyStroke(VK_TAB);
    Pump();
    EXPECT_EQ(::GetFocus(), hBrowser);

    popup->SendMessage(WM_COMMAND, ID_KEY_COPY);
    EXPECT_TRUE(::IsWindow(popup->m_hWnd));

    popup->SendMessage(WM_KILLFOCUS);
    EXPECT_EQ(frame->m_lists.m_pLastActiveWindow, popup);

    const HWND hPopup = popup->m_hWnd;
    ::SetFocus(hBrowser);
    PvInputKeyStroke(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(::IsWindow(hPopup));
    EXPECT_EQ(popupCount(), 0u);
    EXPECT_EQ(frame->m_lists.m_pLastActiveWindow, nullptr);
}

// One pop-up per record; Close, Close All and a window destroyed from outside all leave the
// list without freeing anything twice.
TEST_F(DetailsPopupTest, OnePerRecordAndEveryWayOut)
{
    CDetailsDlg* a = open(8);
    CDetailsDlg* b = open(9);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    a->ShowWindow(SW_MINIMIZE);
    EXPECT_EQ(open(8), a);
    EXPECT_FALSE(a->IsIconic()) << "restored";
    EXPECT_EQ(popupCount(), 2u);
    EXPECT_EQ(frame->m_lists.m_nPopupCascade, 2) << "no new cascade place for a window brought back";

    click(a, IDCANCEL);
    EXPECT_EQ(popupCount(), 1u);
    b->DestroyWindow();
    EXPECT_EQ(popupCount(), 0u);

    open(10);
    open(11);
    EXPECT_TRUE(enabled(ID_CLOSE_ALL));
    command(ID_CLOSE_ALL);
    EXPECT_EQ(popupCount(), 0u);
    EXPECT_FALSE(enabled(ID_CLOSE_ALL));

    // Left open: the frame's end takes them with it.
    open(12);
    open(13);
    EXPECT_TRUE(boxes.entries().empty());
}

TEST_F(DetailsPopupTest, CreationFailureIsReportedAndLeavesThePaneEnabled)
{
    recorder()->m_bFailCreate = TRUE;
    frame->ShowRecordDetails(14, TRUE);
    frame->OpenDetailsPopup(14);
    Pump();
    EXPECT_EQ(popupCount(), 0u);
    EXPECT_EQ(frame->m_lists.m_nPopupCascade, 0);
    EXPECT_TRUE(view->IsWindowEnabled());
    const auto shown = boxes.entries();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Unable to display details for this record");
    EXPECT_EQ(shown[0].buttons, "ok");
    EXPECT_EQ(shown[0].icon, "warning") << "the framework's icon for a plain OK box";
}

TEST_F(DetailsPopupTest, PrintWritesThePageToThePdfPrinter)
{
    CDetailsDlg* popup = open(15);
    ASSERT_NE(popup, nullptr);
    const std::string name = caption(popup);
    const fs::path pdf = registry / "popup.pdf";
    const CString saved = CPrintDialog::PvSettings().outputPath;
    CPrintDialog::PvSettings().outputPath = pdf.c_str();
    click(popup, IDC_DETAILS_PRINT);
    CPrintDialog::PvSettings().outputPath = saved;
    ASSERT_TRUE(fs::exists(pdf));
    EXPECT_EQ(readWholeTestFile(pdf).rfind("%PDF", 0), 0u);
    if (std::system("command -v pdftotext >/dev/null 2>&1") == 0) {
        const fs::path text = registry / "popup.txt";
        ASSERT_EQ(std::system(("pdftotext '" + pdf.string() + "' '" + text.string() + "'").c_str()), 0);
        EXPECT_NE(readWholeTestFile(text).find(name), std::string::npos);
    }
    EXPECT_TRUE(boxes.entries().empty());
}
