// CWnd: message maps, command routing and reflection, self-deleting windows, modal loops.

#include "tests/platform/win/wintest.h"

#include "platform/base/exceptions.h"
#include "platform/win/pvwin.h"

#include <gtest/gtest.h>

namespace {

UINT g_registered = 0;

class MapWnd : public CWnd {
public:
    std::vector<std::string> calls;
    int paints = 0;
    int modalTicks = 0;
    int paintsDuringModal = 0;
    bool inModal = false;
    int modalResult = -99;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs)
    {
        calls.push_back("create");
        return CWnd::OnCreate(cs);
    }
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        ++paints;
        if (inModal) ++paintsDuringModal;
    }
    afx_msg void OnTimer(UINT_PTR id)
    {
        if (id == 1) {
            KillTimer(1);
            SetTimer(2, 50, nullptr);
            inModal = true;
            modalResult = RunModalLoop();
            inModal = false;
        } else if (id == 2) {
            ++modalTicks;
            Invalidate();
            if (modalTicks == 3) {
                KillTimer(2);
                EndModalLoop(7);
            }
        }
    }
    afx_msg LRESULT OnPrivate(WPARAM w, LPARAM l)
    {
        calls.push_back("private " + std::to_string(w + l));
        return 42;
    }
    afx_msg LRESULT OnRegistered(WPARAM, LPARAM) { calls.push_back("registered"); return 9; }
    afx_msg void OnButton() { calls.push_back("button"); }
    afx_msg void OnMenuItem() { calls.push_back("menu"); }
    afx_msg void OnRange(UINT id) { calls.push_back("range " + std::to_string(id)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(MapWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_MESSAGE(WM_USER + 5, OnPrivate)
    ON_REGISTERED_MESSAGE(g_registered, OnRegistered)
    ON_BN_CLICKED(100, OnButton)
    ON_COMMAND(200, OnMenuItem)
    ON_COMMAND_RANGE(300, 310, OnRange)
END_MESSAGE_MAP()

// A control that handles its own click notification through reflection.
class ReflectingChild : public CWnd {
public:
    int reflected = 0;

protected:
    afx_msg void OnReflectedClick() { ++reflected; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingChild, CWnd)
    ON_CONTROL_REFLECT(BN_CLICKED, OnReflectedClick)
END_MESSAGE_MAP()

class SelfDeleting : public CWnd {
public:
    explicit SelfDeleting(bool* deleted) : m_deleted(deleted) {}
    ~SelfDeleting() override { *m_deleted = true; }

protected:
    void PostNcDestroy() override { delete this; }

private:
    bool* m_deleted;
};

class CWndTest : public WinTest {};

TEST_F(CWndTest, MessageMapRoutesWindowMessagesCommandsAndRegisteredMessages)
{
    g_registered = RegisterWindowMessage("commdlg_FindReplace");
    EXPECT_EQ(g_registered, RegisterWindowMessage("COMMDLG_FINDREPLACE"));
    EXPECT_GE(g_registered, 0xC000u);
    MapWnd w;
    ASSERT_TRUE(w.CreateEx(0, nullptr, "Map", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr));
    EXPECT_EQ(CWnd::FromHandlePermanent(w.m_hWnd), &w);
    EXPECT_EQ(w.SendMessage(WM_USER + 5, 1, 2), 42);
    EXPECT_EQ(w.SendMessage(g_registered), 9);
    HWND button = CreateWindowEx(0, "WinTestPlain", "", WS_CHILD, 0, 0, 10, 10, w.m_hWnd,
                                 reinterpret_cast<HMENU>(uintptr_t(100)), nullptr, nullptr);
    w.SendMessage(WM_COMMAND, MAKEWPARAM(100, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    w.SendMessage(WM_COMMAND, MAKEWPARAM(200, 0), 0);
    w.SendMessage(WM_COMMAND, MAKEWPARAM(305, 0), 0);
    w.SendMessage(WM_COMMAND, MAKEWPARAM(311, 0), 0); // nobody's
    EXPECT_EQ(w.calls, (std::vector<std::string> {"create", "private 3", "registered", "button", "menu", "range 305"}));
    AFX_CMDHANDLERINFO info {nullptr};
    EXPECT_TRUE(w.OnCmdMsg(200, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(info.pTarget, &w);
    EXPECT_FALSE(w.OnCmdMsg(201, CN_COMMAND, nullptr, nullptr));
}

TEST_F(CWndTest, ReflectedNotificationStaysWithTheControl)
{
    MapWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "Parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr));
    ReflectingChild child;
    ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 20, 20), &parent, 100));
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(100, BN_CLICKED), reinterpret_cast<LPARAM>(child.m_hWnd));
    EXPECT_EQ(child.reflected, 1);
    EXPECT_EQ(std::count(parent.calls.begin(), parent.calls.end(), "button"), 0);
}

TEST_F(CWndTest, WindowThatDeletesItselfLeavesNoDanglingHandle)
{
    bool deleted = false;
    auto* w = new SelfDeleting(&deleted);
    ASSERT_TRUE(w->CreateEx(0, nullptr, "Temp", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr));
    HWND h = w->m_hWnd;
    PostMessage(h, WM_USER + 1, 0, 0);
    EXPECT_EQ(CWnd::FromHandle(h), w);
    ::DestroyWindow(h);
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
    EXPECT_EQ(CWnd::FromHandle(h), nullptr);
    EXPECT_EQ(SendMessage(h, WM_USER + 1, 0, 0), 0);
    EXPECT_FALSE(PostMessage(h, WM_USER + 1, 0, 0));
    EXPECT_EQ(PvPumpMessages(), 0); // the message posted before the end is dropped
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(CWndTest, ModalLoopInsideATimerHandlerKeepsTimersAndPaintingAlive)
{
    MapWnd w;
    ASSERT_TRUE(w.CreateEx(0, nullptr, "Modal", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr));
    PvPumpMessages();
    w.SetTimer(1, 100, nullptr);
    PvAdvanceTime(1000);
    EXPECT_EQ(w.modalResult, 7);
    EXPECT_EQ(w.modalTicks, 3);
    EXPECT_GE(w.paintsDuringModal, 2);
    EXPECT_FALSE(w.inModal);
}

TEST_F(CWndTest, TemporaryObjectsWrapForeignWindowsUntilTheyAreDestroyed)
{
    HWND raw = makeTop();
    CWnd* tmp = CWnd::FromHandle(raw);
    ASSERT_NE(tmp, nullptr);
    EXPECT_EQ(tmp->m_hWnd, raw);
    EXPECT_EQ(CWnd::FromHandle(raw), tmp);
    EXPECT_EQ(CWnd::FromHandlePermanent(raw), nullptr);
    CString text;
    tmp->SetWindowText("Grüße");
    tmp->GetWindowText(text);
    EXPECT_STREQ(text, "Grüße");
    ::DestroyWindow(raw);
    EXPECT_EQ(CWnd::FromHandle(raw), nullptr);
}

} // namespace

namespace {

class FramedWnd : public CWnd {
public:
    std::vector<DWORD> styleChanges;
    int preTranslated = 0;
    bool eatKeys = false;

protected:
    afx_msg void OnNcCalcSize(BOOL calc, NCCALCSIZE_PARAMS* p)
    {
        CWnd::OnNcCalcSize(calc, p);
        p->rgrc[0].top += 10; // a strip of our own above the client area
    }
    afx_msg void OnStyleChanged(int type, LPSTYLESTRUCT ss)
    {
        if (type == GWL_STYLE) styleChanges.push_back(ss->styleNew);
    }
    BOOL PreTranslateMessage(MSG* m) override
    {
        if (m->message != WM_KEYDOWN) return FALSE;
        ++preTranslated;
        return eatKeys;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FramedWnd, CWnd)
    ON_WM_NCCALCSIZE()
    ON_WM_STYLECHANGED()
END_MESSAGE_MAP()

TEST_F(CWndTest, NonClientAreaFollowsStylesAndHandlers)
{
    struct Case {
        DWORD style;
        DWORD exStyle;
        int inset; // on each side
    };
    const Case cases[] = {
        {0, 0, 0},
        {WS_BORDER, 0, 1},
        {0, WS_EX_CLIENTEDGE, 2},
        {WS_BORDER, WS_EX_CLIENTEDGE, 3},
        {0, WS_EX_STATICEDGE, 1},
    };
    HWND top = CreateWindowEx(0, "WinTestPlain", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
    for (const Case& c : cases) {
        HWND h = CreateWindowEx(c.exStyle, "WinTestPlain", "", WS_CHILD | WS_VISIBLE | c.style, 10, 10, 100, 50, top,
                                nullptr, nullptr, nullptr);
        RECT rc;
        GetClientRect(h, &rc);
        EXPECT_EQ(rc.right, 100 - 2 * c.inset) << c.style << "/" << c.exStyle;
        EXPECT_EQ(rc.bottom, 50 - 2 * c.inset) << c.style << "/" << c.exStyle;
        POINT p {0, 0};
        ClientToScreen(h, &p);
        EXPECT_EQ(p.x, 10 + c.inset);
        POINT edge {10 + c.inset + 1, 10 + c.inset + 1};
        EXPECT_EQ(SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y)), HTCLIENT);
        if (c.inset) {
            EXPECT_EQ(SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(10, 10)), HTBORDER);
        }
    }
    FramedWnd w;
    ASSERT_TRUE(w.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), CWnd::FromHandle(top), 5));
    CRect rc;
    w.GetClientRect(&rc);
    EXPECT_EQ(rc.Height(), 90);
    EXPECT_EQ(::SendMessage(w.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(5, 5)), HTBORDER);
    EXPECT_TRUE(w.ModifyStyle(0, WS_VSCROLL, SWP_FRAMECHANGED));
    w.GetClientRect(&rc);
    EXPECT_EQ(rc.Width(), 100 - GetSystemMetrics(SM_CXVSCROLL));
    ASSERT_EQ(w.styleChanges.size(), 1u);
    EXPECT_TRUE(w.styleChanges[0] & WS_VSCROLL);
    EXPECT_FALSE(w.ModifyStyle(0, WS_VSCROLL)); // no change, no message
    EXPECT_EQ(w.styleChanges.size(), 1u);
}

TEST_F(CWndTest, PreTranslationWalksFromTheTargetUpAndCanConsume)
{
    FramedWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "P", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    HWND child = makeChild(parent.m_hWnd, 3, RECT {0, 0, 50, 50});
    SetFocus(child);
    PvPumpMessages();
    log.clear();
    parent.eatKeys = true;
    PvInputKeyStroke(VK_DOWN);
    PvInputKeyStroke(VK_UP);
    PostQuitMessage(0);
    while (AfxPumpMessage()) {
    }
    EXPECT_EQ(parent.preTranslated, 2);
    EXPECT_FALSE(saw(child, WM_KEYDOWN));
    EXPECT_TRUE(saw(child, WM_KEYUP));
}

TEST_F(CWndTest, QuitInsideANestedLoopReachesTheOuterLoop)
{
    MapWnd w;
    ASSERT_TRUE(w.CreateEx(0, nullptr, "Q", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    int outerIterations = 0;
    PostMessage(w.m_hWnd, WM_USER + 5, 0, 0);
    ::PostQuitMessage(3);
    // The modal loop ends on the quit, and re-posts it for the loop outside.
    EXPECT_EQ(w.RunModalLoop(), -1);
    MSG m;
    while (::GetMessage(&m, nullptr, 0, 0)) {
        ++outerIterations;
        ::DispatchMessage(&m);
    }
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_LE(outerIterations, 5);
}

} // namespace

namespace {

int g_callbackTicks = 0;
void CALLBACK_Tick(HWND, UINT, UINT_PTR, DWORD) { ++g_callbackTicks; }

class Sub : public CWnd {
public:
    int keys = 0;

protected:
    afx_msg void OnKeyDown(UINT, UINT, UINT) { ++keys; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Sub, CWnd)
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

TEST_F(CWndTest, CallbackTimersAndThreadTimersRunWithoutAWindowProcedure)
{
    g_callbackTicks = 0;
    HWND h = makeTop();
    SetTimer(h, 1, 100, &CALLBACK_Tick);
    UINT_PTR thread = SetTimer(nullptr, 0, 250, &CALLBACK_Tick);
    EXPECT_NE(thread, 0u);
    log.clear();
    PvAdvanceTime(500);
    EXPECT_EQ(g_callbackTicks, 5 + 2);
    EXPECT_EQ(count(h, WM_TIMER), 0); // callbacks replace the message
    KillTimer(nullptr, thread);
    ::DestroyWindow(h);
    PvAdvanceTime(500);
    EXPECT_EQ(g_callbackTicks, 7); // a window's timers end with it
}

TEST_F(CWndTest, SubclassedDialogItemGetsTheObjectsHandlersFirst)
{
    HWND top = makeTop();
    HWND item = makeChild(top, 42, RECT {0, 0, 30, 30});
    Sub sub;
    ASSERT_TRUE(sub.SubclassDlgItem(42, CWnd::FromHandle(top)));
    EXPECT_EQ(sub.m_hWnd, item);
    log.clear();
    ::SendMessage(item, WM_KEYDOWN, 'A', 1);
    ::SendMessage(item, WM_KEYUP, 'A', 1);
    EXPECT_EQ(sub.keys, 1);
    EXPECT_FALSE(saw(item, WM_KEYDOWN)); // handled by the object
    EXPECT_TRUE(saw(item, WM_KEYUP));     // unhandled: the original procedure
    EXPECT_EQ(sub.UnsubclassWindow(), item);
    ::SendMessage(item, WM_KEYDOWN, 'A', 1);
    EXPECT_EQ(sub.keys, 1);
}

} // namespace

namespace {

TEST_F(CWndTest, TabOrderFollowsCreationAndSkipsHiddenAndDisabledStops)
{
    HWND top = makeTop();
    auto stop = [&](int id, DWORD extra) {
        return CreateWindowEx(0, "WinTestPlain", "", WS_CHILD | WS_TABSTOP | extra, 0, 0, 10, 10, top,
                              reinterpret_cast<HMENU>(uintptr_t(id)), nullptr, nullptr);
    };
    HWND a = stop(1, WS_VISIBLE), hidden = stop(2, 0), b = stop(3, WS_VISIBLE), off = stop(4, WS_VISIBLE | WS_DISABLED),
         c = stop(5, WS_VISIBLE);
    (void)hidden;
    (void)off;
    CWnd* dlg = CWnd::FromHandle(top);
    EXPECT_EQ(dlg->GetNextDlgTabItem(CWnd::FromHandle(a))->m_hWnd, b);
    EXPECT_EQ(dlg->GetNextDlgTabItem(CWnd::FromHandle(b))->m_hWnd, c);
    EXPECT_EQ(dlg->GetNextDlgTabItem(CWnd::FromHandle(c))->m_hWnd, a);
    EXPECT_EQ(dlg->GetNextDlgTabItem(CWnd::FromHandle(a), TRUE)->m_hWnd, c);
}

} // namespace

namespace {

// A handler's exception: the user hears of a failure, but a cancel has been answered already.
class ThrowingWnd : public CWnd {
public:
    std::function<void()> m_throw;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_USER)
            m_throw();
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST_F(CWndTest, ACancelLeavesAWindowProcedureSilently)
{
    ThrowingWnd w;
    ASSERT_TRUE(w.CreateEx(0, AfxRegisterWndClass(0), "t", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr));
    struct Case {
        const char* name;
        std::function<void()> raise;
        bool reported;
    };
    const Case cases[] = {
        {"cancel", [] { throw CUserException(); }, false},
        {"failure", [] { throw CNotSupportedException(); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w.m_throw = c.raise;
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        w.SendMessage(WM_USER);
        const std::string out = ::testing::internal::GetCapturedStdout() + ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(!out.empty(), c.reported) << out;
    }
    w.DestroyWindow();
}

}  // namespace
