// Message boxes drawn by the framework, the dialog bar, document updates and printing to PDF.

#include "ui_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST_F(UiTest, MessageBoxAnswersFromTheKeyboard)
{
    struct Case {
        UINT type;
        std::vector<UINT> keys;
        const char* chars;
        int answer;
    };
    const Case cases[] = {
        {MB_OK | MB_ICONINFORMATION, {VK_RETURN}, nullptr, IDOK},
        {MB_OK, {VK_ESCAPE}, nullptr, IDOK},
        {MB_OKCANCEL, {VK_ESCAPE}, nullptr, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, {}, "n", IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON2, {VK_RETURN}, nullptr, IDNO},
        {MB_RETRYCANCEL | MB_ICONEXCLAMATION, {VK_TAB, VK_RETURN}, nullptr, IDCANCEL},
        {MB_YESNO, {VK_ESCAPE, VK_RIGHT, VK_SPACE}, nullptr, IDNO}, // no Cancel: Esc does nothing
    };
    for (const Case& c : cases) {
        for (UINT k : c.keys) PvInputKeyStroke(k);
        if (c.chars) PvInputText(c.chars);
        EXPECT_EQ(PvUiMessageBox(nullptr, "The files could not be found.\nPlease try again", "Test", c.type), c.answer)
            << std::hex << c.type;
    }
}

TEST_F(UiTest, MessageBoxDisablesItsOwnerWhileShown)
{
    HWND owner = CreateWindowEx(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                nullptr, nullptr);
    static bool ownerEnabled = true;
    PvSetIdleHook([] {
        ownerEnabled = IsWindowEnabled(GetWindow(GetActiveWindow(), GW_OWNER)) != FALSE;
        PvInputKeyStroke(VK_RETURN);
        PvSetIdleHook(nullptr);
    });
    EXPECT_EQ(PvUiMessageBox(owner, "Text", "Caption", MB_OK), IDOK);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

// ---- Dialog bar ----
const UINT IDD_BAR = 133, ID_LETTER_A = 32789, ID_LETTER_B = 32790, ID_SCROLL_TO = 1002;
const PvDialogItemTemplate kBarItems[] = {
    {"BUTTON", "Scroll To", ID_SCROLL_TO, WS_VISIBLE | WS_TABSTOP, 0, 2, 2, 40, 12},
    {"EDIT", "", 1023, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 46, 2, 60, 12},
    {"BUTTON", "A", ID_LETTER_A, WS_VISIBLE, 0, 110, 2, 12, 12},
    {"BUTTON", "B", ID_LETTER_B, WS_VISIBLE, 0, 124, 2, 12, 12},
};
const PvDialogTemplate kBar = {WS_CHILD, 0, 0, 0, 300, 16, nullptr, nullptr, 0, kBarItems, std::size(kBarItems)};

class BarFrame : public CFrameWnd {
public:
    CDialogBar m_bar;
    std::vector<UINT> got;
    afx_msg void OnLetter(UINT id) { got.push_back(id); }
    afx_msg void OnUpdateB(CCmdUI* p) { p->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(BarFrame, CFrameWnd)
    ON_COMMAND_RANGE(ID_LETTER_A, ID_LETTER_B, OnLetter)
    ON_UPDATE_COMMAND_UI(ID_LETTER_B, OnUpdateB)
END_MESSAGE_MAP()

TEST_F(UiTest, DialogBarBuildsFromItsTemplateAndSendsCommandsToTheFrame)
{
    PvRegisterDialog(IDD_BAR, kBar);
    auto* f = new BarFrame;
    ASSERT_TRUE(f->Create(nullptr, "Bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 700, 400)));
    ASSERT_TRUE(f->m_bar.Create(f, IDD_BAR, CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY, IDD_BAR));
    EXPECT_FALSE(CDialogBar().Create(f, 9999, CBRS_TOP, 9999)); // no such template
    f->RecalcLayout();
    ASSERT_NE(f->m_bar.GetDlgItem(ID_SCROLL_TO), nullptr);
    CSize base = PvDialogBaseUnits();
    CRect r;
    f->m_bar.GetWindowRect(&r);
    EXPECT_EQ(r.Height(), 16 * base.cy / 8 + 2); // the template's height and the bottom border of CBRS_TOP
    EXPECT_EQ(f->GetPaneRect().top, r.Height());
    f->m_bar.GetDlgItem(ID_LETTER_A)->SendMessage(BM_CLICK);
    EXPECT_EQ(f->got, std::vector<UINT> {ID_LETTER_A});
    f->OnIdleUpdateCmdUI();
    EXPECT_FALSE(f->m_bar.GetDlgItem(ID_LETTER_B)->IsWindowEnabled());
    EXPECT_TRUE(f->m_bar.GetDlgItem(ID_LETTER_A)->IsWindowEnabled());
    EXPECT_FALSE(f->m_bar.GetDlgItem(ID_SCROLL_TO)->IsWindowEnabled()); // no handler
    f->DestroyWindow();
}

// ---- Document updates and printing ----
class CountDoc : public CDocument {
    DECLARE_DYNCREATE(CountDoc)
};
IMPLEMENT_DYNCREATE(CountDoc, CDocument)

class PagesView : public CView {
    DECLARE_DYNCREATE(PagesView)
public:
    int updates = 0;
    std::vector<UINT> printed;
    bool began = false, ended = false;
    void OnDraw(CDC*) override {}
    void OnUpdate(CView*, LPARAM, CObject*) override { ++updates; }
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override
    {
        pInfo->SetMaxPage(3);
        pInfo->m_bDirect = TRUE;
        return DoPreparePrinting(pInfo);
    }
    void OnBeginPrinting(CDC*, CPrintInfo*) override { began = true; }
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override
    {
        printed.push_back(pInfo->m_nCurPage);
        CString s;
        s.Format("Page %u", pInfo->m_nCurPage);
        pDC->TextOut(100, 100, s);
    }
    void OnEndPrinting(CDC*, CPrintInfo*) override { ended = true; }
};
IMPLEMENT_DYNCREATE(PagesView, CView)

TEST_F(UiTest, UpdateAllViewsSkipsTheSenderAndPrintingWritesEveryPage)
{
    CWinApp app("Printer Test");
    auto* tmpl = new CSingleDocTemplate(600, RUNTIME_CLASS(CountDoc), RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(PagesView));
    app.AddDocTemplate(tmpl);
    CDocument* doc = tmpl->OpenDocumentFile(nullptr);
    ASSERT_NE(doc, nullptr);
    POSITION pos = doc->GetFirstViewPosition();
    auto* view = static_cast<PagesView*>(doc->GetNextView(pos));
    ASSERT_NE(view, nullptr);
    int before = view->updates;
    doc->UpdateAllViews(nullptr, 1);
    doc->UpdateAllViews(view, 2);
    EXPECT_EQ(view->updates, before + 1);
    EXPECT_STREQ(doc->GetTitle(), "Untitled");

    std::string pdf = ::testing::TempDir() + "pv-ui-print.pdf";
    std::remove(pdf.c_str());
    CPrintDialog::PvSettings().outputPath = pdf.c_str();
    view->OnFilePrint();
    EXPECT_TRUE(view->began);
    EXPECT_TRUE(view->ended);
    EXPECT_EQ(view->printed, (std::vector<UINT> {1, 2, 3}));
    struct stat st {};
    EXPECT_EQ(stat(pdf.c_str(), &st), 0);
    EXPECT_GT(st.st_size, 100);

    // Print preview: a window over the frame that pages through the view's pages.
    view->printed.clear();
    view->OnFilePrintPreview();
    HWND preview = FindWindow(nullptr, "Printer Test - Print Preview");
    ASSERT_NE(preview, nullptr);
    EXPECT_FALSE(app.m_pMainWnd->IsWindowEnabled());
    UpdateWindow(preview);
    SendMessage(preview, WM_KEYDOWN, VK_NEXT, 0);
    UpdateWindow(preview);
    SendMessage(preview, WM_KEYDOWN, VK_NEXT, 0);
    SendMessage(preview, WM_KEYDOWN, VK_NEXT, 0); // there is no page 4
    UpdateWindow(preview);
    ASSERT_FALSE(view->printed.empty());
    EXPECT_EQ(view->printed.front(), 1u);
    EXPECT_EQ(view->printed.back(), 3u);
    EXPECT_EQ(*std::max_element(view->printed.begin(), view->printed.end()), 3u);
    SendMessage(preview, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(preview));
    EXPECT_TRUE(app.m_pMainWnd->IsWindowEnabled());
    CPrintDialog::PvSettings().outputPath.Empty();
    app.m_pMainWnd->DestroyWindow();
}

// A view that learns it has more pages while it prints, and that chooses its preview's first page.
class GrowingView : public CView {
    DECLARE_DYNCREATE(GrowingView)
public:
    std::vector<UINT> printed;
    UINT firstPreviewPage = 1;
    UINT stopAfter = 0;  // clears the continue flag after this page
    void OnDraw(CDC*) override {}
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override
    {
        pInfo->m_bDirect = !pInfo->m_bPreview;
        return DoPreparePrinting(pInfo);
    }
    void OnBeginPrinting(CDC*, CPrintInfo* pInfo) override
    {
        pInfo->SetMaxPage(2);
        pInfo->m_nCurPage = firstPreviewPage;
    }
    void OnPrint(CDC*, CPrintInfo* pInfo) override
    {
        printed.push_back(pInfo->m_nCurPage);
        if (pInfo->m_nCurPage == 1)
            pInfo->SetMaxPage(4);
        if (pInfo->m_nCurPage == stopAfter)
            pInfo->m_bContinuePrinting = FALSE;
    }
};
IMPLEMENT_DYNCREATE(GrowingView, CView)

TEST_F(UiTest, PrintingFollowsAPageCountThatGrowsAndStopsWhenTheViewSays)
{
    CWinApp app("Growing Test");
    auto* tmpl = new CSingleDocTemplate(601, RUNTIME_CLASS(CountDoc), RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(GrowingView));
    app.AddDocTemplate(tmpl);
    CDocument* doc = tmpl->OpenDocumentFile(nullptr);
    ASSERT_NE(doc, nullptr);
    POSITION pos = doc->GetFirstViewPosition();
    auto* view = static_cast<GrowingView*>(doc->GetNextView(pos));
    std::string pdf = ::testing::TempDir() + "pv-ui-growing.pdf";
    CPrintDialog::PvSettings().outputPath = pdf.c_str();
    view->OnFilePrint();
    EXPECT_EQ(view->printed, (std::vector<UINT> {1, 2, 3, 4}));
    view->printed.clear();
    view->stopAfter = 3;
    view->OnFilePrint();
    EXPECT_EQ(view->printed, (std::vector<UINT> {1, 2, 3}));

    // The preview opens on the page the view chose.
    view->printed.clear();
    view->stopAfter = 0;
    view->firstPreviewPage = 2;
    view->OnFilePrintPreview();
    HWND preview = FindWindow(nullptr, "Growing Test - Print Preview");
    ASSERT_NE(preview, nullptr);
    UpdateWindow(preview);
    ASSERT_FALSE(view->printed.empty());
    EXPECT_EQ(view->printed.front(), 2u);
    SendMessage(preview, WM_CLOSE, 0, 0);
    std::remove(pdf.c_str());
    CPrintDialog::PvSettings().outputPath.Empty();
    app.m_pMainWnd->DestroyWindow();
}

// The print dialog offers Selection unless its caller forbids it, and reports the choice.
class SelectingPrintDialog : public CPrintDialog {
public:
    using CPrintDialog::CPrintDialog;
    bool enabled = false;
    std::string file;
    BOOL OnInitDialog() override
    {
        CPrintDialog::OnInitDialog();
        CWnd* sel = GetDlgItem(1057);
        enabled = sel && sel->IsWindowEnabled();
        if (enabled) {
            CheckDlgButton(1056, BST_UNCHECKED);
            CheckDlgButton(1057, BST_CHECKED);
        }
        SetDlgItemText(1152, file.c_str());
        PostMessage(WM_COMMAND, IDOK);
        return TRUE;
    }
};

TEST_F(UiTest, ThePrintDialogOffersTheSelection)
{
    struct Case {
        const char* name;
        DWORD flags;
        bool enabled;
    };
    const Case cases[] = {{"allowed", PD_ALLPAGES, true}, {"forbidden", PD_NOSELECTION, false}};
    const std::string file = ::testing::TempDir() + "pv-ui-sel.pdf";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SelectingPrintDialog dlg(FALSE, c.flags | PD_RETURNDC);
        dlg.file = file;
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.enabled, c.enabled);
        EXPECT_EQ(dlg.PrintSelection() != FALSE, c.enabled);
        if (dlg.m_pd.hDC) {
            ::DeleteDC(dlg.m_pd.hDC);
            dlg.m_pd.hDC = nullptr;
        }
    }
    std::remove(file.c_str());
    CPrintDialog::PvSettings().outputPath.Empty();
}

} // namespace
