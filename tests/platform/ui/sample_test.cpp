// A small sample program (menu, toolbar, status bar, two splitter panes, a dialog) rendered to a
// screenshot. The picture goes to $PV_UI_SCREENSHOT when set, else to the test's temporary folder.

#include "ui_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {

const UINT IDR_SAMPLE = 500, IDD_SAMPLE = 501;
const UINT ID_S_OPEN = 41001, ID_S_SAVE = 41002, ID_S_PRINT = 41003, ID_S_FIND = 41004, ID_S_BACK = 41005,
           ID_S_FWD = 41006, ID_S_HOME = 41007;

const PvMenuTemplateItem kSampleMenu[] = {
    {MF_POPUP, 0, "&File"},
    {0, ID_S_OPEN, "&Open...\tCtrl+O"},
    {0, ID_S_SAVE, "&Save\tCtrl+S"},
    {MF_SEPARATOR, 0, nullptr},
    {0, ID_S_PRINT, "&Print...\tCtrl+P"},
    {MF_SEPARATOR, 0, nullptr},
    {MF_END, ID_APP_EXIT, "E&xit"},
    {MF_POPUP, 0, "&Edit"},
    {MF_END, ID_S_FIND, "&Find...\tCtrl+F"},
    {MF_POPUP, 0, "&View"},
    {0, ID_VIEW_TOOLBAR, "&Toolbar"},
    {MF_END, ID_VIEW_STATUS_BAR, "&Status Bar"},
    {MF_POPUP | MF_END, 0, "&Help"},
    {MF_END, ID_APP_ABOUT, "&About Sample..."},
};
const UINT kSampleButtons[] = {ID_S_OPEN, ID_S_SAVE, ID_SEPARATOR, ID_S_PRINT, ID_S_FIND, ID_SEPARATOR,
                               ID_S_BACK, ID_S_FWD, ID_S_HOME};
const PvDialogItemTemplate kSampleDlgItems[] = {
    {"STATIC", "Please enter a name for the results of your search.", 1018, WS_VISIBLE, 0, 7, 7, 180, 18},
    {"EDIT", "Year 7 parents", 1007, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 7, 28, 180, 13},
    {"BUTTON", "&Remember this list", 1029, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 7, 47, 100, 10},
    {"BUTTON", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 83, 64, 50, 14},
    {"BUTTON", "Cancel", IDCANCEL, WS_VISIBLE | WS_TABSTOP, 0, 137, 64, 50, 14},
};
const PvDialogTemplate kSampleDlg = {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 194, 85,
                                     "Save Your Results", nullptr, 0, kSampleDlgItems, std::size(kSampleDlgItems)};
const PvStringResource kSampleStrings[] = {
    {IDR_SAMPLE, "Sample Directory\nDirectory"},
    {ID_S_OPEN, "Open a directory\nOpen"},
    {ID_INDICATOR_CAPS, "CAP"},
    {ID_INDICATOR_NUM, "NUM"},
};

const char* kNames[] = {"Abbott, Grace",  "Baker, Oliver",  "Chen, Mia",     "Diaz, Lucas",   "Evans, Amelia",
                        "Fischer, Noah",  "Garcia, Sofia",  "Hughes, Ethan", "Ito, Hana",     "Jones, Isla",
                        "Kowalski, Leo",  "Lopez, Ava",     "Murphy, Jack",  "Nguyen, Emma",  "O'Neil, Liam"};

class ListView : public CView {
    DECLARE_DYNCREATE(ListView)
public:
    void OnDraw(CDC* pDC) override
    {
        CRect rc;
        GetClientRect(&rc);
        pDC->FillSolidRect(&rc, RGB(255, 255, 255));
        HGDIOBJ of = pDC->SelectObject(GetStockObject(DEFAULT_GUI_FONT));
        pDC->SetBkMode(TRANSPARENT);
        int y = 0;
        pDC->FillSolidRect(0, 0, rc.Width(), 20, GetSysColor(COLOR_BTNFACE));
        pDC->DrawEdge(CRect(0, 0, rc.Width(), 20), EDGE_RAISED, BF_RECT);
        pDC->TextOut(6, 3, "Name", 4);
        y = 20;
        for (size_t i = 0; i < std::size(kNames); ++i, y += 18) {
            if (i == 3) {
                pDC->FillSolidRect(0, y, rc.Width(), 18, GetSysColor(COLOR_HIGHLIGHT));
                pDC->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
            } else {
                pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
            }
            pDC->TextOut(6, y + 2, kNames[i], int(strlen(kNames[i])));
            pDC->FillSolidRect(0, y + 17, rc.Width(), 1, RGB(220, 220, 220));
        }
        pDC->SelectObject(of);
    }
};
IMPLEMENT_DYNCREATE(ListView, CView)

class PageView : public CView {
    DECLARE_DYNCREATE(PageView)
public:
    void OnDraw(CDC* pDC) override
    {
        CRect rc;
        GetClientRect(&rc);
        pDC->FillSolidRect(&rc, RGB(255, 255, 255));
        CFont title;
        title.CreatePointFont(160, "Arial");
        CFont* of = pDC->SelectObject(&title);
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(RGB(0, 51, 102));
        pDC->TextOut(20, 16, "Diaz, Lucas", 11);
        pDC->SelectObject(of);
        HGDIOBJ gf = pDC->SelectObject(GetStockObject(DEFAULT_GUI_FONT));
        pDC->SetTextColor(RGB(0, 0, 0));
        const char* lines[] = {"Year 9, Form 9B", "Parents: Ana and Marco Diaz", "12 Orchard Lane, Millbrook",
                               "Phone: 555-0142"};
        int y = 56;
        for (const char* l : lines) {
            pDC->TextOut(20, y, l, int(strlen(l)));
            y += 18;
        }
        pDC->FillSolidRect(20, y + 6, rc.Width() - 40, 1, RGB(0, 51, 102));
        pDC->SelectObject(gf);
    }
};
IMPLEMENT_DYNCREATE(PageView, CView)

class SampleFrame : public CFrameWnd {
public:
    CToolBar m_wndToolBar;
    CStatusBar m_wndStatusBar;
    CSplitterWnd m_wndSplitter;
    CBitmap m_bmButtons;

    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) override
    {
        if (!m_wndSplitter.CreateStatic(this, 1, 2, WS_CHILD | WS_VISIBLE | WS_BORDER)) return FALSE;
        if (!m_wndSplitter.CreateView(0, 0, RUNTIME_CLASS(ListView), CSize(230, 0), pContext)) return FALSE;
        if (!m_wndSplitter.CreateView(0, 1, RUNTIME_CLASS(PageView), CSize(0, 0), pContext)) return FALSE;
        return TRUE;
    }
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
        if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS) ||
            !m_wndToolBar.SetButtons(kSampleButtons, int(std::size(kSampleButtons))))
            return -1;
        MakeButtonImages();
        static const UINT indicators[] = {ID_SEPARATOR, ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM};
        if (!m_wndStatusBar.Create(this) || !m_wndStatusBar.SetIndicators(indicators, 4)) return -1;
        m_wndStatusBar.SetPaneInfo(1, 1090, SBPS_NORMAL, 160);
        m_wndStatusBar.SetPaneText(1, "15 Total Records");
        RecalcLayout();
        return 0;
    }
    // Toolbar glyphs drawn in code: a folder, a disk, a printer, a lens, arrows and a house.
    void MakeButtonImages()
    {
        const int n = 7, w = 16, h = 15;
        CClientDC screen(this);
        CDC dc;
        dc.CreateCompatibleDC(&screen);
        m_bmButtons.CreateCompatibleBitmap(&screen, w * n, h);
        CBitmap* old = dc.SelectObject(&m_bmButtons);
        dc.FillSolidRect(0, 0, w * n, h, GetSysColor(COLOR_BTNFACE));
        CBrush yellow(RGB(230, 190, 60)), blue(RGB(40, 80, 170)), grey(RGB(120, 120, 120)), green(RGB(40, 140, 60));
        CPen black(PS_SOLID, 1, RGB(0, 0, 0));
        CPen* op = dc.SelectObject(&black);
        CBrush* ob = dc.SelectObject(&yellow);
        dc.Rectangle(1, 4, 15, 14); // folder
        dc.Rectangle(1, 2, 7, 5);
        dc.SelectObject(&blue);
        dc.Rectangle(w + 1, 1, w + 15, 15); // disk
        dc.FillSolidRect(w + 4, 2, 8, 5, RGB(255, 255, 255));
        dc.SelectObject(&grey);
        dc.Rectangle(2 * w + 1, 6, 2 * w + 15, 12); // printer
        dc.FillSolidRect(2 * w + 4, 2, 8, 4, RGB(255, 255, 255));
        dc.SelectObject(GetStockObject(NULL_BRUSH));
        CPen thick(PS_SOLID, 2, RGB(40, 40, 40));
        dc.SelectObject(&thick);
        dc.Ellipse(3 * w + 2, 1, 3 * w + 11, 10); // lens
        dc.MoveTo(3 * w + 10, 9);
        dc.LineTo(3 * w + 14, 13);
        dc.SelectObject(&green);
        dc.SelectObject(&black);
        POINT left[] = {{4 * w + 1, 7}, {4 * w + 8, 1}, {4 * w + 8, 4}, {4 * w + 14, 4}, {4 * w + 14, 10}, {4 * w + 8, 10}, {4 * w + 8, 13}};
        dc.Polygon(left, 7);
        POINT right[] = {{5 * w + 14, 7}, {5 * w + 7, 1}, {5 * w + 7, 4}, {5 * w + 1, 4}, {5 * w + 1, 10}, {5 * w + 7, 10}, {5 * w + 7, 13}};
        dc.Polygon(right, 7);
        dc.SelectObject(&yellow);
        POINT roof[] = {{6 * w + 1, 7}, {6 * w + 8, 1}, {6 * w + 15, 7}};
        dc.Polygon(roof, 3);
        dc.Rectangle(6 * w + 3, 7, 6 * w + 13, 14);
        dc.SelectObject(op);
        dc.SelectObject(ob);
        dc.SelectObject(old);
        m_wndToolBar.SetBitmap(reinterpret_cast<HBITMAP>(m_bmButtons.Detach()));
    }
    afx_msg void OnCommandUsed() {}
    afx_msg void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(SampleFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_S_OPEN, OnCommandUsed)
    ON_COMMAND(ID_S_SAVE, OnCommandUsed)
    ON_COMMAND(ID_S_PRINT, OnCommandUsed)
    ON_COMMAND(ID_S_FIND, OnCommandUsed)
    ON_COMMAND(ID_S_BACK, OnCommandUsed)
    ON_COMMAND(ID_S_HOME, OnCommandUsed)
    ON_UPDATE_COMMAND_UI(ID_S_FWD, OnUpdateDisabled)
END_MESSAGE_MAP()

std::string shotPath(const char* suffix = "")
{
    const char* env = std::getenv("PV_UI_SCREENSHOT");
    std::string base = (env && *env) ? env : ::testing::TempDir() + "pv-ui-sample.png";
    return base.substr(0, base.size() - 4) + suffix + ".png";
}

// Takes the picture once the open menu has nothing left to do, then closes it.
bool g_menuShot = false;
void shootOpenMenu()
{
    if (g_menuShot) return;
    g_menuShot = PvWriteScreenshot(shotPath("-menu").c_str());
    PvInputKeyStroke(VK_ESCAPE);
    PvInputKeyStroke(VK_ESCAPE);
}

bool g_boxShot = false;
void shootMessageBox()
{
    if (g_boxShot) return;
    g_boxShot = PvWriteScreenshot(shotPath("-msgbox").c_str());
    PvInputText("n");
}

TEST_F(UiTest, SampleFrameRendersToAScreenshot)
{
    PvRegisterMenu(IDR_SAMPLE, kSampleMenu);
    PvRegisterDialog(IDD_SAMPLE, kSampleDlg);
    PvRegisterStringTable(kSampleStrings);
    CWinApp app("Sample Directory");
    auto* frame = new SampleFrame;
    CCreateContext ctx;
    ASSERT_TRUE(frame->LoadFrame(IDR_SAMPLE, WS_OVERLAPPEDWINDOW, nullptr, &ctx));
    app.m_pMainWnd = frame;
    frame->MoveWindow(40, 30, 900, 620);
    frame->ShowWindow(SW_SHOW);
    frame->SetActiveWindow();
    app.OnIdle(0);
    frame->SetMessageText(AFX_IDS_IDLEMESSAGE);
    std::printf("backend: %s\n", PvBackendName());
    // Open the File menu with Alt+F; the picture is taken while it is open.
    Pump();
    PvAdvanceTime(200); // lets a real display settle
    Pump();
    PvSetIdleHook(&shootOpenMenu);
    PvInputKeyStroke('F', false, false, true);
    PvInputKeyStroke(VK_DOWN);
    Pump();
    PvSetIdleHook(nullptr);
    EXPECT_TRUE(g_menuShot);
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_SAMPLE, frame));
    dlg.CenterWindow(frame);
    dlg.ShowWindow(SW_SHOW);
    Pump();
    std::string path = shotPath();
    ASSERT_TRUE(PvWriteScreenshot(path.c_str()));
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_GT(st.st_size, 1000);
    EXPECT_FALSE(frame->m_wndToolBar.GetToolBarCtrl().IsButtonEnabled(ID_S_FWD));
    // A message box over the frame, the framework's own, pictured while it waits for the user.
    PvSetIdleHook(&shootMessageBox);
    EXPECT_EQ(PvUiMessageBox(frame->m_hWnd, "Cannot save this directory list since there are no records found", "Sample Directory",
                             MB_YESNO | MB_ICONQUESTION),
              IDNO);
    PvSetIdleHook(nullptr);
    EXPECT_TRUE(g_boxShot);
    dlg.DestroyWindow();
    frame->DestroyWindow();
}

} // namespace
