// Dialogs: modal loop results, keyboard navigation in template order, data exchange and
// validation, dialog units, the find/replace notification.

#include "ui_fixture.h"

#include <stdexcept>

namespace {

const UINT IDD_TEST = 400;
const UINT IDC_NAME = 1001, IDC_NOTE = 1002, IDC_CHECK = 1003, IDC_LABEL = 1004, IDC_APPLY = 1005;

const PvDialogItemTemplate kItems[] = {
    {"STATIC", "&Name:", IDC_LABEL, WS_VISIBLE, 0, 7, 9, 40, 8},
    {"EDIT", "", IDC_NAME, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 50, 7, 120, 12},
    {"BUTTON", "&Remember", IDC_CHECK, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 50, 24, 80, 10},
    {"EDIT", "", IDC_NOTE, WS_VISIBLE | WS_BORDER, 0, 50, 38, 120, 12},  // no tab stop
    {"BUTTON", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 66, 58, 50, 14},
    {"BUTTON", "Cancel", IDCANCEL, WS_VISIBLE | WS_TABSTOP, 0, 120, 58, 50, 14},
    {"BUTTON", "Apply", IDC_APPLY, WS_VISIBLE | WS_TABSTOP, 0, 10, 58, 50, 14},
};
const PvDialogTemplate kTemplate = {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 180, 80, "Test dialog",
                                    nullptr, 0, kItems, std::size(kItems)};

using Script = std::function<void(CDialog*)>;

class TestDlg : public CDialog {
public:
    explicit TestDlg(CWnd* parent = nullptr) : CDialog(IDD_TEST, parent) {}
    CString m_strName;
    int m_bRemember = 0;
    int m_nApplied = 0;
    std::vector<int> m_focusTrail;
    Script m_onInit;
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (m_onInit) m_onInit(this);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDV_MaxChars(pDX, m_strName, 5);
        DDX_Check(pDX, IDC_CHECK, m_bRemember);
    }
    afx_msg void OnApply() { ++m_nApplied; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestDlg, CDialog)
    ON_BN_CLICKED(IDC_APPLY, OnApply)
END_MESSAGE_MAP()

class DialogTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        PvRegisterDialog(IDD_TEST, kTemplate);
        owner = new CFrameWnd;
        ASSERT_TRUE(owner->Create(nullptr, "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE));
        app.m_pMainWnd = owner;
    }
    void TearDown() override
    {
        if (app.m_pMainWnd) app.m_pMainWnd->DestroyWindow();
        UiTest::TearDown();
    }
    CWinApp app {"Dialog Test"};
    CFrameWnd* owner = nullptr;
};

TEST_F(DialogTest, EnterIsOkAndEscIsCancel)
{
    struct Case {
        UINT key;
        INT_PTR result;
    };
    const Case cases[] = {{VK_RETURN, IDOK}, {VK_ESCAPE, IDCANCEL}};
    for (const Case& c : cases) {
        TestDlg dlg;
        bool ownerDisabled = false;
        dlg.m_onInit = [&](CDialog*) {
            ownerDisabled = !owner->IsWindowEnabled();
            PvInputText("Ann");
            PvInputKeyStroke(c.key);
        };
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_TRUE(ownerDisabled);
        EXPECT_TRUE(owner->IsWindowEnabled());
        EXPECT_EQ(dlg.m_hWnd, nullptr);
        // Only OK moves the controls' values into the members.
        EXPECT_STREQ(dlg.m_strName, c.result == IDOK ? "Ann" : "");
    }
}

TEST_F(DialogTest, TabOrderFollowsTheTemplate)
{
    // Run modeless to look at the focus after each key: Tab skips the static and the edit
    // without a tab stop and wraps; Shift+Tab goes back.
    TestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST, owner));
    dlg.ShowWindow(SW_SHOW);
    dlg.SetActiveWindow();
    dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_NAME));
    struct Case {
        bool shift;
        int focus;
    };
    const Case cases[] = {{false, IDC_CHECK}, {false, IDOK},     {false, IDCANCEL}, {false, IDC_APPLY},
                          {false, IDC_NAME},  {true, IDC_APPLY}, {true, IDCANCEL}};
    for (const Case& c : cases) {
        PvInputKeyStroke(VK_TAB, false, c.shift);
        Pump();
        CWnd* f = CWnd::GetFocus();
        EXPECT_EQ(f ? f->GetDlgCtrlID() : 0, c.focus);
    }
    dlg.DestroyWindow();
}

TEST_F(DialogTest, ValidationKeepsTheDialogOpen)
{
    TestDlg dlg;
    dlg.m_strName = "Bo";
    dlg.m_bRemember = 1;
    int round = 0;
    dlg.m_onInit = [&](CDialog* d) {
        // The members went into the controls.
        CString s;
        d->GetDlgItemText(IDC_NAME, s);
        EXPECT_STREQ(s, "Bo");
        EXPECT_EQ(d->IsDlgButtonChecked(IDC_CHECK), 1u);
        EXPECT_EQ(::GetWindowLong(d->GetDlgItem(IDC_NAME)->m_hWnd, GWL_USERDATA), 5); // DDV_MaxChars limits the edit
        PvInputText("nnie"); // "Bonnie" is one character too many
        PvInputKeyStroke(VK_RETURN);
        ++round;
    };
    // The too-long name is refused with a message; the dialog stays, and Esc leaves it.
    dlg.m_onInit = [&, inner = dlg.m_onInit](CDialog* d) {
        inner(d);
        PvInputKeyStroke(VK_ESCAPE);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(round, 1); // Enter did not end it: the refused name kept the dialog open
}

TEST_F(DialogTest, ButtonsReachTheDialogAndDefaultButtonIsKnown)
{
    TestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST, owner));
    EXPECT_EQ(LOWORD(dlg.GetDefID()), UINT(IDOK));
    dlg.GetDlgItem(IDC_APPLY)->SendMessage(BM_CLICK);
    EXPECT_EQ(dlg.m_nApplied, 1);
    // Enter on a focused push button presses that button, not the default one.
    dlg.ShowWindow(SW_SHOW);
    dlg.SetActiveWindow();
    dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_APPLY));
    PvInputKeyStroke(VK_RETURN);
    Pump();
    EXPECT_EQ(dlg.m_nApplied, 2);
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.DestroyWindow();
}

TEST_F(DialogTest, DialogUnitsScaleWithTheFont)
{
    CSize base = PvDialogBaseUnits();
    EXPECT_GT(base.cx, 3);
    EXPECT_GT(base.cy, 8);
    TestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST, owner));
    CRect r(0, 0, 180, 80);
    dlg.MapDialogRect(&r);
    CRect client;
    dlg.GetClientRect(&client);
    EXPECT_EQ(client.Width(), r.Width());
    EXPECT_EQ(client.Height(), r.Height());
    CRect item;
    dlg.GetDlgItem(IDOK)->GetWindowRect(&item);
    dlg.ScreenToClient(&item);
    EXPECT_EQ(item.left, 66 * base.cx / 4);
    EXPECT_EQ(item.top, 58 * base.cy / 8);
    dlg.DestroyWindow();
}

TEST_F(DialogTest, ClosingTheOwnerFirstEndsTheModalDialog)
{
    // The program is asked to close while a dialog waits: the dialog is cancelled, and the frame
    // goes only after DoModal has returned, so the caller never runs on a destroyed frame.
    HWND frame = owner->m_hWnd;
    TestDlg dlg(owner);
    dlg.m_onInit = [&](CDialog*) { ::PostMessage(frame, WM_CLOSE, 0, 0); };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(::IsWindow(frame));
    Pump();
    EXPECT_FALSE(::IsWindow(frame));
}

TEST_F(DialogTest, MissingTemplateFails)
{
    CDialog dlg(9999, owner);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_TRUE(owner->IsWindowEnabled());
}

class FindOwner : public CFrameWnd {
public:
    std::vector<std::string> got;
    afx_msg LRESULT OnFind(WPARAM, LPARAM lp)
    {
        CFindReplaceDialog* d = CFindReplaceDialog::GetNotifier(lp);
        if (!d) return 0;
        if (d->IsTerminating()) got.push_back("term");
        else if (d->FindNext()) got.push_back(std::string("next:") + d->GetFindString().GetString() + (d->MatchCase() ? ":case" : ""));
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
static UINT s_findMsg = RegisterWindowMessage(FINDMSGSTRING);
BEGIN_MESSAGE_MAP(FindOwner, CFrameWnd)
    ON_REGISTERED_MESSAGE(s_findMsg, OnFind)
END_MESSAGE_MAP()

TEST_F(DialogTest, FindDialogNotifiesItsOwner)
{
    auto* f = new FindOwner;
    ASSERT_TRUE(f->Create(nullptr, "Finder", WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    auto* dlg = new CFindReplaceDialog;
    ASSERT_TRUE(dlg->Create(TRUE, "Smith", nullptr, FR_DOWN | FR_MATCHCASE, f));
    CString s;
    dlg->GetDlgItemText(1152, s);
    EXPECT_STREQ(s, "Smith");
    dlg->SendMessage(WM_COMMAND, IDOK);
    dlg->SendMessage(WM_COMMAND, IDCANCEL); // closes and deletes itself
    EXPECT_EQ(f->got, (std::vector<std::string> {"next:Smith:case", "term"}));
    f->DestroyWindow();
}

// A failure escaping the dialog's loop, even from its key translation, gives the owner its input back.
class ThrowingDlg : public TestDlg {
public:
    using TestDlg::TestDlg;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F9) throw std::runtime_error("broken handler");
        return TestDlg::PreTranslateMessage(pMsg);
    }
};

TEST_F(DialogTest, ExceptionEscapingTheModalLoopReEnablesTheOwner)
{
    ThrowingDlg dlg(owner);
    dlg.m_onInit = [&](CDialog*) { PvInputKeyStroke(VK_F9); };
    EXPECT_THROW(dlg.DoModal(), std::runtime_error);
    EXPECT_TRUE(owner->IsWindowEnabled());
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(::GetActiveWindow(), owner->m_hWnd);
}

} // namespace
