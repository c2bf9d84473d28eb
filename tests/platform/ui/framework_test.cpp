// Application, frame/document/view, command routing, update handlers, menus and accelerators.

#include "ui_fixture.h"

namespace {

const UINT IDR_TEST = 300;
const UINT ID_SHARED = 40001;     // handled by view, document, frame and application
const UINT ID_DOC_ONLY = 40002;   // handled by document and application
const UINT ID_APP_ONLY = 40003;
const UINT ID_DISABLED = 40004;   // an update handler disables it
const UINT ID_NO_HANDLER = 40005;
const UINT ID_ACCEL = 40006;
const UINT ID_CHECKED = 40007;

std::vector<std::string> g_trace;

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp("Test App") {}
    afx_msg void OnShared() { g_trace.push_back("app"); }
    afx_msg void OnDocOnly() { g_trace.push_back("app"); }
    afx_msg void OnAppOnly() { g_trace.push_back("app"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestApp, CWinApp)
    ON_COMMAND(ID_SHARED, OnShared)
    ON_COMMAND(ID_DOC_ONLY, OnDocOnly)
    ON_COMMAND(ID_APP_ONLY, OnAppOnly)
END_MESSAGE_MAP()

class TestDoc : public CDocument {
    DECLARE_DYNCREATE(TestDoc)
public:
    static int s_alive;
    TestDoc() { ++s_alive; }
    ~TestDoc() override { --s_alive; }
    BOOL OnNewDocument() override
    {
        g_trace.push_back("new");
        return CDocument::OnNewDocument();
    }
    afx_msg BOOL OnShared(UINT)
    {
        g_trace.push_back("doc");
        return FALSE; // let the command go on, to show the order
    }
    afx_msg void OnDocOnly() { g_trace.push_back("doc"); }
    DECLARE_MESSAGE_MAP()
};
int TestDoc::s_alive = 0;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)
BEGIN_MESSAGE_MAP(TestDoc, CDocument)
    ON_COMMAND_EX(ID_SHARED, OnShared)
    ON_COMMAND(ID_DOC_ONLY, OnDocOnly)
END_MESSAGE_MAP()

class TestView : public CView {
    DECLARE_DYNCREATE(TestView)
public:
    int m_nInitial = 0;
    void OnDraw(CDC* pDC) override
    {
        CRect rc;
        GetClientRect(&rc);
        pDC->FillSolidRect(&rc, RGB(255, 255, 255));
        pDC->TextOut(10, 10, "Hello");
    }
    void OnInitialUpdate() override
    {
        ++m_nInitial;
        CView::OnInitialUpdate();
    }
    afx_msg BOOL OnShared(UINT)
    {
        g_trace.push_back("view");
        return FALSE;
    }
    afx_msg void OnAccel() { g_trace.push_back("accel"); }
    afx_msg void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg void OnUpdateChecked(CCmdUI* pCmdUI)
    {
        pCmdUI->SetCheck(1);
        pCmdUI->SetText("&Checked now");
    }
    afx_msg void OnDisabled() { g_trace.push_back("disabled"); }
    afx_msg void OnUpdateNoHandler(CCmdUI* pCmdUI)
    {
        // Removes itself from the menu being shown; the items after it must still be updated.
        if (pCmdUI->m_pMenu && s_deleteNoHandler) pCmdUI->m_pMenu->DeleteMenu(ID_NO_HANDLER, MF_BYCOMMAND);
        else pCmdUI->ContinueRouting();
    }
    static bool s_deleteNoHandler;
    afx_msg void OnChecked() {}
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestView, CView)
bool TestView::s_deleteNoHandler = false;
BEGIN_MESSAGE_MAP(TestView, CView)
    ON_COMMAND_EX(ID_SHARED, OnShared)
    ON_COMMAND(ID_ACCEL, OnAccel)
    ON_COMMAND(ID_DISABLED, OnDisabled)
    ON_UPDATE_COMMAND_UI(ID_DISABLED, OnUpdateDisabled)
    ON_COMMAND(ID_CHECKED, OnChecked)
    ON_UPDATE_COMMAND_UI(ID_CHECKED, OnUpdateChecked)
    ON_UPDATE_COMMAND_UI(ID_NO_HANDLER, OnUpdateNoHandler)
END_MESSAGE_MAP()

class TestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(TestFrame)
public:
    CToolBar m_wndToolBar;
    CStatusBar m_wndStatusBar;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
        if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY) ||
            !m_wndToolBar.LoadToolBar(IDR_TEST))
            return -1;
        static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS};
        if (!m_wndStatusBar.Create(this)) return -1;
        m_wndStatusBar.SetIndicators(indicators, 2);
        RecalcLayout();
        return 0;
    }
    afx_msg BOOL OnShared(UINT)
    {
        g_trace.push_back("frame");
        return FALSE;
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(TestFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND_EX(ID_SHARED, OnShared)
END_MESSAGE_MAP()

const PvMenuTemplateItem kMenu[] = {
    {MF_POPUP, 0, "&File"},
    {0, ID_SHARED, "&Shared\tCtrl+S"},
    {0, ID_DISABLED, "&Disabled"},
    {MF_SEPARATOR, 0, nullptr},
    {0, ID_NO_HANDLER, "&No handler"},
    {MF_END, ID_CHECKED, "C&hecked"},
    {MF_POPUP | MF_END, 0, "&Help"},
    {MF_END, ID_APP_ONLY, "&About"},
};
const ACCEL kAccel[] = {
    {FVIRTKEY, VK_F5, ID_ACCEL},
    {FVIRTKEY | FCONTROL, 'S', ID_SHARED},
    {FVIRTKEY, VK_F7, ID_DISABLED},
};
const UINT kButtons[] = {ID_SHARED, ID_SEPARATOR, ID_DISABLED, ID_NO_HANDLER};
const PvStringResource kStrings[] = {
    {IDR_TEST, "Test Frame\nDocument"},
    {ID_SHARED, "Does the shared thing\nShared"},
    {ID_INDICATOR_CAPS, "CAP"},
};

void registerResources()
{
    static bool done = false;
    if (done) return;
    done = true;
    PvRegisterMenu(IDR_TEST, kMenu);
    PvRegisterAccelerators(IDR_TEST, kAccel);
    PvRegisterToolBar(IDR_TEST, PvToolBarTemplate {16, 15, kButtons, std::size(kButtons)});
    PvRegisterStringTable(kStrings);
}

class FrameworkTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        registerResources();
        g_trace.clear();
        app = std::make_unique<TestApp>();
        app->AddDocTemplate(new CSingleDocTemplate(IDR_TEST, RUNTIME_CLASS(TestDoc), RUNTIME_CLASS(TestFrame),
                                                   RUNTIME_CLASS(TestView)));
        CCommandLineInfo info;
        ASSERT_TRUE(app->ProcessShellCommand(info));
        frame = static_cast<TestFrame*>(app->m_pMainWnd);
        ASSERT_NE(frame, nullptr);
        Pump();
    }
    void TearDown() override
    {
        if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
        app.reset();
        UiTest::TearDown();
    }
    std::unique_ptr<TestApp> app;
    TestFrame* frame = nullptr;
};

TEST_F(FrameworkTest, ShellCommandCreatesDocumentFrameAndView)
{
    EXPECT_EQ(g_trace, std::vector<std::string> {"new"});
    auto* view = dynamic_cast<TestView*>(frame->GetActiveView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->m_nInitial, 1);
    EXPECT_TRUE(view->GetDocument()->IsKindOf(RUNTIME_CLASS(TestDoc)));
    EXPECT_TRUE(frame->IsWindowVisible());
    CString title;
    frame->GetWindowText(title);
    EXPECT_STREQ(title, "Document - Test Frame");
    // The view fills what the menu bar, toolbar and status bar leave.
    CRect client, vr;
    frame->GetClientRect(&client);
    view->GetWindowRect(&vr);
    frame->ScreenToClient(&vr);
    EXPECT_EQ(vr, frame->GetPaneRect());
    EXPECT_GT(vr.top, PvMenuBarHeight());
    EXPECT_LT(vr.bottom, client.bottom);
}

TEST_F(FrameworkTest, CommandsRouteViewDocumentFrameApplication)
{
    struct Case {
        UINT id;
        std::vector<std::string> trace;
    };
    const Case cases[] = {
        {ID_SHARED, {"view", "doc", "frame", "app"}},
        {ID_DOC_ONLY, {"doc"}},
        {ID_APP_ONLY, {"app"}},
    };
    for (const Case& c : cases) {
        g_trace.clear();
        frame->SendMessage(WM_COMMAND, c.id, 0);
        EXPECT_EQ(g_trace, c.trace) << c.id;
    }
}

TEST_F(FrameworkTest, UpdateHandlerDisablesMenuItemAndToolbarButton)
{
    CMenu* file = frame->GetMenu()->GetSubMenu(0);
    ASSERT_NE(file, nullptr);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file->m_hMenu), 0);
    EXPECT_TRUE(file->GetMenuState(ID_DISABLED, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(file->GetMenuState(ID_NO_HANDLER, MF_BYCOMMAND) & MF_GRAYED); // no handler anywhere
    EXPECT_FALSE(file->GetMenuState(ID_SHARED, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(file->GetMenuState(ID_CHECKED, MF_BYCOMMAND) & MF_CHECKED);
    CString text;
    file->GetMenuString(ID_CHECKED, text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&Checked now");

    app->OnIdle(0);
    CToolBarCtrl& tb = frame->m_wndToolBar.GetToolBarCtrl();
    EXPECT_FALSE(tb.IsButtonEnabled(ID_DISABLED));
    EXPECT_FALSE(tb.IsButtonEnabled(ID_NO_HANDLER));
    EXPECT_TRUE(tb.IsButtonEnabled(ID_SHARED));
}

TEST_F(FrameworkTest, UpdateHandlerMayDeleteItsOwnItem)
{
    TestView::s_deleteNoHandler = true;
    CMenu* file = frame->GetMenu()->GetSubMenu(0);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file->m_hMenu), 0);
    TestView::s_deleteNoHandler = false;
    EXPECT_EQ(file->GetMenuState(ID_NO_HANDLER, MF_BYCOMMAND), UINT(-1));
    EXPECT_EQ(file->GetMenuItemCount(), 4u);
    EXPECT_TRUE(file->GetMenuState(ID_CHECKED, MF_BYCOMMAND) & MF_CHECKED); // the next item was still updated
}

// An image list as the controls library has it: the toolbar only calls Draw.
struct FakeImageList {
    std::vector<int> drawn;
    BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT)
    {
        drawn.push_back(nImage);
        pDC->FillSolidRect(pt.x, pt.y, 16, 15, RGB(255, 0, 0));
        return TRUE;
    }
};

TEST_F(FrameworkTest, ToolbarDrawsFromImageLists)
{
    FakeImageList normal, disabled;
    CToolBarCtrl& tb = frame->m_wndToolBar.GetToolBarCtrl();
    tb.SetImageList(&normal);
    tb.SetDisabledImageList(&disabled);
    app->OnIdle(0);
    frame->m_wndToolBar.UpdateWindow();
    // Button 0 (Shared) is enabled; buttons 2 and 3 are disabled: images 1 and 2 come from the other list.
    EXPECT_EQ(normal.drawn, std::vector<int> {0});
    EXPECT_EQ(disabled.drawn, (std::vector<int> {1, 2}));
    EXPECT_EQ(tb.GetButtonCount(), 4);
    CRect r;
    EXPECT_TRUE(tb.GetItemRect(0, &r));
    EXPECT_EQ(frame->m_wndToolBar.HitTest(r.CenterPoint()), 0);
    EXPECT_EQ(frame->m_wndToolBar.CommandToIndex(ID_DISABLED), 2);
    EXPECT_EQ(frame->m_wndToolBar.GetItemID(1), UINT(ID_SEPARATOR));
    tb.SetImageList<FakeImageList>(nullptr);
    tb.SetDisabledImageList<FakeImageList>(nullptr);
}

TEST_F(FrameworkTest, ToolbarClickSendsItsCommand)
{
    CRect r;
    frame->m_wndToolBar.GetItemRect(0, &r);
    frame->m_wndToolBar.ClientToScreen(&r);
    PvInputClick(r.CenterPoint().x, r.CenterPoint().y);
    Pump();
    EXPECT_EQ(g_trace, (std::vector<std::string> {"new", "view", "doc", "frame", "app"}));
    // A disabled button does nothing.
    g_trace.clear();
    app->OnIdle(0);
    frame->m_wndToolBar.GetItemRect(2, &r);
    frame->m_wndToolBar.ClientToScreen(&r);
    PvInputClick(r.CenterPoint().x, r.CenterPoint().y);
    Pump();
    EXPECT_TRUE(g_trace.empty());
}

TEST_F(FrameworkTest, ToolbarShowsTipAndFlyByText)
{
    CRect r;
    frame->m_wndToolBar.GetItemRect(0, &r);
    frame->m_wndToolBar.ClientToScreen(&r);
    PvInputMouseMove(r.CenterPoint().x, r.CenterPoint().y);
    Pump();
    EXPECT_STREQ(frame->m_wndStatusBar.GetPaneText(0), "Does the shared thing");
    EXPECT_EQ(FindWindow("PvToolTip", nullptr), nullptr);
    PvAdvanceTime(700);
    HWND tip = FindWindow("PvToolTip", nullptr);
    ASSERT_NE(tip, nullptr);
    char text[64] = {};
    GetWindowText(tip, text, sizeof text);
    EXPECT_STREQ(text, "Shared");
    // Leaving the bar takes the tip away and brings the idle text back.
    PvInputMouseMove(r.CenterPoint().x, r.CenterPoint().y + 200);
    PvAdvanceTime(300);
    EXPECT_EQ(FindWindow("PvToolTip", nullptr), nullptr);
    EXPECT_STREQ(frame->m_wndStatusBar.GetPaneText(0), "Ready");
}

TEST_F(FrameworkTest, PopupMenuFollowsTheMouse)
{
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, ID_SHARED, "Shared");
    menu.AppendMenu(MF_STRING, ID_APP_ONLY, "App only");
    static POINT target;
    target = {200, 200};
    // The pop-up opens at (200, 200); a click on its second item chooses it.
    PvSetIdleHook([] {
        HWND pop = FindWindow("PvMenuPopup", nullptr);
        if (!pop) return;
        RECT wr;
        GetWindowRect(pop, &wr);
        int itemH = (wr.bottom - wr.top - 6) / 2;
        PvInputClick(wr.left + 20, wr.top + 3 + itemH + itemH / 2);
        PvSetIdleHook(nullptr);
    });
    UINT cmd = UINT(menu.TrackPopupMenu(TPM_RETURNCMD, target.x, target.y, frame));
    PvSetIdleHook(nullptr);
    EXPECT_EQ(cmd, UINT(ID_APP_ONLY));
    EXPECT_EQ(FindWindow("PvMenuPopup", nullptr), nullptr);
}

TEST_F(FrameworkTest, AcceleratorFiresItsCommand)
{
    PvInputKeyStroke(VK_F5);
    Pump();
    EXPECT_EQ(g_trace, (std::vector<std::string> {"new", "accel"}));
    g_trace.clear();
    PvInputKeyStroke('S', true);
    Pump();
    EXPECT_EQ(g_trace, (std::vector<std::string> {"view", "doc", "frame", "app"}));
    g_trace.clear();
    PvInputKeyStroke('S'); // without Ctrl it is no accelerator
    Pump();
    EXPECT_TRUE(g_trace.empty());
}

TEST_F(FrameworkTest, AcceleratorOfADisabledCommandDoesNothing)
{
    g_trace.clear();
    PvInputKeyStroke(VK_F7);
    Pump();
    EXPECT_TRUE(g_trace.empty());
}

TEST_F(FrameworkTest, MenuKeyboardChoosesAnItem)
{
    // Alt+F opens File; Down moves past Shared to Disabled, which is skipped? No: disabled items
    // can be selected but not chosen. Down to Checked via the mnemonic instead.
    g_trace.clear();
    PvInputKeyStroke('F', false, false, true);
    PvInputKeyStroke(VK_DOWN);
    PvInputKeyStroke(VK_UP);
    PvInputKeyStroke(VK_RETURN); // Shared
    Pump();
    EXPECT_EQ(g_trace, (std::vector<std::string> {"view", "doc", "frame", "app"}));
    // Esc closes without a command; Alt+H then the mnemonic A chooses About.
    g_trace.clear();
    PvInputKeyStroke('F', false, false, true);
    PvInputKeyStroke(VK_ESCAPE);
    PvInputKeyStroke(VK_ESCAPE);
    Pump();
    EXPECT_TRUE(g_trace.empty());
    PvInputKeyStroke('H', false, false, true);
    PvInputText("a");
    Pump();
    EXPECT_EQ(g_trace, (std::vector<std::string> {"app"}));
}

TEST_F(FrameworkTest, StatusBarShowsMessagesAndIdleText)
{
    CWnd* bar = frame->GetMessageBar();
    ASSERT_EQ(bar, &frame->m_wndStatusBar);
    frame->SendMessage(WM_SETMESSAGESTRING, ID_SHARED);
    EXPECT_STREQ(frame->m_wndStatusBar.GetPaneText(0), "Does the shared thing");
    frame->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    EXPECT_STREQ(frame->m_wndStatusBar.GetPaneText(0), "Ready");
    frame->SetMessageText("Loading");
    EXPECT_STREQ(frame->m_wndStatusBar.GetPaneText(0), "Loading");
    EXPECT_STREQ(frame->m_wndStatusBar.GetPaneText(1), "CAP");
    frame->m_wndStatusBar.SetPaneInfo(1, 1090, SBPS_NOBORDERS, 225);
    UINT id = 0, style = 0;
    int cx = 0;
    frame->m_wndStatusBar.GetPaneInfo(1, id, style, cx);
    EXPECT_EQ(id, 1090u);
    EXPECT_EQ(style, UINT(SBPS_NOBORDERS));
    EXPECT_EQ(cx, 225);
    EXPECT_FALSE(frame->m_wndStatusBar.SetPaneText(7, "out of range"));
}

TEST_F(FrameworkTest, ClosingTheMainFrameEndsTheDocumentAndQuits)
{
    ASSERT_EQ(TestDoc::s_alive, 1);
    frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_EQ(TestDoc::s_alive, 0);
    MSG m;
    bool quit = false;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE))
        if (m.message == WM_QUIT) quit = true;
    EXPECT_TRUE(quit);
}

TEST_F(FrameworkTest, SetActiveViewNotifiesOnlyWhenAsked)
{
    CView* view = frame->GetActiveView();
    frame->SetActiveView(nullptr, FALSE);
    EXPECT_EQ(frame->GetActiveView(), nullptr);
    ::SetFocus(frame->m_hWnd);
    frame->SetActiveView(view, FALSE);
    EXPECT_NE(CWnd::GetFocus(), view); // no notification: the focus stays
    frame->SetActiveView(nullptr, FALSE);
    frame->SetActiveView(view, TRUE);
    EXPECT_EQ(CWnd::GetFocus(), view);
}

TEST_F(FrameworkTest, ClickInAnInPlaceEditorOfTheActiveViewKeepsItsFocus)
{
    // An editor living inside the view: the click's activation must not pull the focus back
    // to the view behind it.
    static std::vector<std::string> heard;
    heard.clear();
    WNDCLASS wc {};
    wc.lpszClassName = "InPlaceEditor";
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_KILLFOCUS) heard.push_back("editor KILLFOCUS");
        if (m == WM_LBUTTONDOWN) heard.push_back("editor LBUTTONDOWN");
        return ::DefWindowProc(h, m, wp, lp);
    };
    if (!::GetClassInfo(nullptr, wc.lpszClassName, &wc)) ::RegisterClass(&wc);
    CView* view = frame->GetActiveView();
    ASSERT_NE(view, nullptr);
    HWND editor = ::CreateWindowEx(0, "InPlaceEditor", "", WS_CHILD | WS_VISIBLE, 20, 20, 120, 22, view->m_hWnd, nullptr,
                                   nullptr, nullptr);
    ::SetFocus(editor);
    Pump();
    POINT p {10, 10};
    ::ClientToScreen(editor, &p);
    PvInputClick(p.x, p.y);
    Pump();
    EXPECT_EQ(::GetFocus(), editor);
    EXPECT_EQ(heard, std::vector<std::string> {"editor LBUTTONDOWN"});
    // With the focus outside the view, a click on it takes the focus there.
    ::SetFocus(nullptr);
    POINT v {200, 150};
    view->ClientToScreen(&v);
    PvInputClick(v.x, v.y);
    Pump();
    EXPECT_EQ(CWnd::GetFocus(), view);
    ::DestroyWindow(editor);
}

class RunApp : public CWinApp {
public:
    bool fail = false;
    int exits = 0;
    LONG idles = 0;
    BOOL InitInstance() override
    {
        if (fail) return FALSE;
        AddDocTemplate(new CSingleDocTemplate(IDR_TEST, RUNTIME_CLASS(TestDoc), RUNTIME_CLASS(TestFrame),
                                              RUNTIME_CLASS(TestView)));
        CCommandLineInfo info;
        ParseCommandLine(info);
        return ProcessShellCommand(info);
    }
    BOOL OnIdle(LONG lCount) override
    {
        ++idles;
        return CWinApp::OnIdle(lCount);
    }
    int ExitInstance() override
    {
        ++exits;
        return CWinApp::ExitInstance() + 7;
    }
};

TEST_F(UiTest, WinMainRunsTheLoopUntilTheMainWindowCloses)
{
    registerResources();
    char prog[] = "paravel";
    char* argv[] = {prog, nullptr};
    {
        RunApp app;
        app.fail = true;
        EXPECT_EQ(AfxWinMain(1, argv), 7); // InitInstance said no: straight to ExitInstance
        EXPECT_EQ(app.exits, 1);
        EXPECT_EQ(app.m_pMainWnd, nullptr);
    }
    RunApp app;
    // The headless desktop closes the main window once nothing is left to do.
    EXPECT_EQ(AfxWinMain(1, argv), 7);
    EXPECT_EQ(app.exits, 1);
    EXPECT_GT(app.idles, 0);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(TestDoc::s_alive, 0);
}

TEST(Menu, EditAndQueryByPositionAndCommand)
{
    CMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    CMenu* pop = new CMenu;
    ASSERT_TRUE(pop->CreatePopupMenu());
    pop->AppendMenu(MF_STRING, 10, "&Ten");
    pop->AppendMenu(MF_SEPARATOR);
    pop->AppendMenu(MF_STRING, 30, "&Thirty");
    pop->InsertMenu(1, MF_BYPOSITION | MF_STRING, 20, "T&wenty");
    bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(pop->Detach()), "&Numbers");
    delete pop;

    CMenu* sub = bar.GetSubMenu(0);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(bar.GetMenuItemCount(), 1u);
    EXPECT_EQ(bar.GetMenuItemID(0), UINT(-1));
    EXPECT_EQ(sub->GetMenuItemCount(), 4u);
    struct Case {
        int pos;
        UINT id;
    };
    const Case order[] = {{0, 10}, {1, 20}, {2, 0}, {3, 30}};
    for (const Case& c : order) EXPECT_EQ(sub->GetMenuItemID(c.pos), c.id);

    CString s;
    bar.GetMenuString(20, s, MF_BYCOMMAND); // by command searches pop-ups too
    EXPECT_STREQ(s, "T&wenty");
    sub->GetMenuString(3, s, MF_BYPOSITION);
    EXPECT_STREQ(s, "&Thirty");
    char small[4];
    EXPECT_EQ(sub->GetMenuString(30, small, sizeof small, MF_BYCOMMAND), 3);
    EXPECT_STREQ(small, "&Th");

    EXPECT_EQ(sub->EnableMenuItem(30, MF_BYCOMMAND | MF_GRAYED), UINT(MF_ENABLED));
    EXPECT_EQ(sub->EnableMenuItem(30, MF_BYCOMMAND | MF_ENABLED), UINT(MF_GRAYED));
    EXPECT_EQ(sub->CheckMenuItem(0, MF_BYPOSITION | MF_CHECKED), UINT(MF_UNCHECKED));
    EXPECT_TRUE(sub->GetMenuState(10, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(sub->EnableMenuItem(99, MF_BYCOMMAND), UINT(-1));

    EXPECT_TRUE(sub->ModifyMenu(20, MF_BYCOMMAND | MF_STRING, 21, "Twenty-&one"));
    EXPECT_EQ(sub->GetMenuItemID(1), 21u);
    EXPECT_TRUE(bar.DeleteMenu(21, MF_BYCOMMAND));
    EXPECT_TRUE(sub->RemoveMenu(1, MF_BYPOSITION)); // the separator
    EXPECT_EQ(sub->GetMenuItemCount(), 2u);
    EXPECT_FALSE(sub->RemoveMenu(5, MF_BYPOSITION));
    EXPECT_FALSE(sub->DeleteMenu(99, MF_BYCOMMAND));
    HMENU subHandle = sub->m_hMenu;
    EXPECT_TRUE(bar.DestroyMenu()); // takes its pop-ups with it
    EXPECT_FALSE(::IsMenu(subHandle));
}

TEST(Menu, TemplatesLoadWithNesting)
{
    registerResources();
    CMenu m;
    ASSERT_TRUE(m.LoadMenu(IDR_TEST));
    ASSERT_EQ(m.GetMenuItemCount(), 2u);
    EXPECT_EQ(m.GetSubMenu(0)->GetMenuItemCount(), 5u);
    EXPECT_EQ(m.GetSubMenu(1)->GetMenuItemID(0), UINT(ID_APP_ONLY));
    EXPECT_FALSE(CMenu().LoadMenu(12345));
}

TEST(CommandLine, FlagsAndFileName)
{
    struct Case {
        std::vector<const char*> argv;
        bool splash;
        int command;
        const char* file;
    };
    const Case cases[] = {
        {{"prog"}, true, CCommandLineInfo::FileNew, ""},
        {{"prog", "data.dir"}, true, CCommandLineInfo::FileOpen, "data.dir"},
        {{"prog", "/Embedding"}, false, CCommandLineInfo::FileNew, ""},
        {{"prog", "-p", "x.doc"}, false, CCommandLineInfo::FilePrint, "x.doc"},
        {{"prog", "/unknown"}, true, CCommandLineInfo::FileNew, ""},
    };
    for (const Case& c : cases) {
        CWinApp app("x");
        app.PvSetArgs(int(c.argv.size()), c.argv.data());
        CCommandLineInfo info;
        app.ParseCommandLine(info);
        EXPECT_EQ(bool(info.m_bShowSplash), c.splash) << c.argv.back();
        EXPECT_EQ(info.m_nShellCommand, c.command) << c.argv.back();
        EXPECT_STREQ(info.m_strFileName, c.file);
    }
}

TEST(App, NameComesFromTheStringTable)
{
    static const PvStringResource names[] = {{AFX_IDS_APP_TITLE, "Paravel Test"}};
    PvRegisterStringTable(names);
    CWinApp app;
    EXPECT_STREQ(AfxGetAppName(), "Paravel Test");
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_TRUE(AfxEnableControlContainer());
    EXPECT_TRUE(app.Enable3dControlsStatic());
}

} // namespace
