// Long-operation feedback on the test clock: the wait, the turning mark and the percentage, the
// nesting of texts, the cancel question, and what the pump lets through.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxlongop.h"
#include "grid/features/gxlongopimp.h"
#include "platform/sys/system.h"
#include "platform/ui/afxres.h"
#include "platform/win/pvwin.h"
#include "platform/win/win.h"
#include "tests/app/msgbox_log.h"

namespace {

// Stands in for the frame: keeps the status texts and every message it is given.
class RecordingWnd : public CWnd {
public:
    std::vector<std::string> m_texts;
    std::vector<UINT> m_messages;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SETMESSAGESTRING)
            m_texts.emplace_back(reinterpret_cast<LPCTSTR>(lParam));
        m_messages.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    bool Saw(UINT m) const { return std::find(m_messages.begin(), m_messages.end(), m) != m_messages.end(); }
};

class LongOpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        InitGridLibraryWithFactory();
        PvSetTestClock(10000);
        m_wnd.CreateEx(0, AfxRegisterWndClass(0), "status", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                       nullptr);
        PvPumpMessages();
        m_wnd.m_texts.clear();
        m_wnd.m_messages.clear();
        State().m_hStatusWnd = m_wnd.GetSafeHwnd();
        State().m_nTurningMark = 0;
    }
    void TearDown() override
    {
        State().m_hStatusWnd = nullptr;
        State().m_bAskQuestion = TRUE;
        m_wnd.DestroyWindow();
        PvClearTestClock();
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    static CGXLongOperationState& State() { return GXGetLongOperationState(); }
    RecordingWnd m_wnd;
};

TEST_F(LongOpTest, TheImplementationIsInstalledOnce)
{
    CGXAbstractLongOperationImp* p = State().m_pImp;
    ASSERT_NE(dynamic_cast<CGXLongOperationImp*>(p), nullptr);
    GXInstallLongOperationImp();
    EXPECT_EQ(State().m_pImp, p);
}

TEST_F(LongOpTest, NothingWithinTheWait)
{
    {
        CGXLongOperation op;
        PvAdvanceTestClock(749);
        EXPECT_FALSE(op.ProcessMessages());
        BOOL bAbort = TRUE;
        EXPECT_FALSE(op.ProcessMessagesQueryAbort(bAbort));
        EXPECT_FALSE(bAbort);
        EXPECT_FALSE(State().m_bFeedbackShown) << "no wait cursor";
    }
    EXPECT_TRUE(m_wnd.m_texts.empty()) << "no text, no Done.";
    EXPECT_EQ(State().m_nDepth, 0);
}

TEST_F(LongOpTest, TurningMarksThenDone)
{
    {
        CGXLongOperation op;
        const DWORD steps[] = {750, 1499, 1, 1500, 1500, 1500};
        for (DWORD ms : steps) {
            PvAdvanceTestClock(ms);
            op.ProcessMessages();
        }
        EXPECT_TRUE(State().m_bFeedbackShown);
    }
    const std::vector<std::string> expected = {"Processing...  -", "Processing...  \\", "Processing...  |",
                                               "Processing...  /", "Processing...  -", "Done."};
    EXPECT_EQ(m_wnd.m_texts, expected);
}

TEST_F(LongOpTest, PercentagesAndQueryTexts)
{
    CGXLongOperation op;
    op.SetStatusText("Storing");
    CGXLongOperation::ClaimPercent();
    CGXLongOperation::SetPercentDone(7);
    PvAdvanceTestClock(750);
    op.ProcessMessages();
    CGXLongOperation::SetPercentDone(130);
    PvAdvanceTestClock(1500);
    op.ProcessMessages();
    CGXLongOperation::SetCanCancel(TRUE);
    PvAdvanceTestClock(1500);
    BOOL bAbort = FALSE;
    op.ProcessMessagesQueryAbort(bAbort);
    CGXLongOperation::ReleasePercent();
    State().m_nTurningMark = 1;
    PvAdvanceTestClock(1500);
    op.ProcessMessagesQueryAbort(bAbort);
    op.m_bShowDone = FALSE;
    const std::vector<std::string> expected = {"Storing   7%. ", "Storing 100%. ", "Storing 100%.    Press ESC to cancel",
                                               "Storing   Press ESC to cancel  \\"};
    EXPECT_EQ(m_wnd.m_texts, expected);
}

TEST_F(LongOpTest, NestedTextsAreInheritedOrIgnored)
{
    CGXLongOperation outer;
    outer.SetStatusText("Outer");
    {
        CGXLongOperation inner;
        EXPECT_STREQ(inner.m_pszStatusText, "Outer");
        inner.SetStatusText("Inner");
        EXPECT_STREQ(inner.m_pszStatusText, "Inner");
        EXPECT_STREQ(outer.m_pszStatusText, "Outer");
    }
    CGXLongOperation::ClaimPercent();
    {
        CGXLongOperation inner;
        inner.SetStatusText("Ignored");
        EXPECT_STREQ(inner.m_pszStatusText, "Outer") << "the outer level owns the percentage";
    }
    CGXLongOperation::ReleasePercent();
}

// Depths beyond the 64-entry table share its last entry instead of writing past it.
TEST_F(LongOpTest, SeventyNestedLevels)
{
    std::vector<std::unique_ptr<CGXLongOperation>> ops;
    for (int i = 0; i < 70; ++i) {
        ops.push_back(std::make_unique<CGXLongOperation>());
        ops.back()->SetStatusText(("Level " + std::to_string(i)).c_str(), TRUE);
    }
    EXPECT_EQ(State().m_nDepth, 70);
    EXPECT_STREQ(State().m_apszLevelTexts[CGXLongOperationState::kMaxLevels - 1], "Level 69");
    PvAdvanceTestClock(750);
    EXPECT_TRUE(ops.back()->ProcessMessages());
    while (!ops.empty()) {
        EXPECT_STREQ(ops.back()->m_pszStatusText, ("Level " + std::to_string(ops.size() - 1)).c_str());
        ops.pop_back();
    }
    EXPECT_EQ(State().m_nDepth, 0);
    ASSERT_FALSE(m_wnd.m_texts.empty());
    EXPECT_EQ(m_wnd.m_texts.front(), "Level 69  -");
}

TEST_F(LongOpTest, InputIsDroppedOtherMessagesRunAndQuitSurvives)
{
    CGXLongOperation op;
    const HWND h = m_wnd.GetSafeHwnd();
    PostMessage(h, WM_KEYDOWN, 'A', 0);
    PostMessage(h, WM_CHAR, 'a', 0);
    PostMessage(h, WM_LBUTTONDOWN, 0, 0);
    PostMessage(h, WM_NCLBUTTONDOWN, 0, 0);
    PostMessage(h, WM_COMMAND, 100, 0);
    PostMessage(h, WM_TIMER, 7, 0);
    PostQuitMessage(5);
    PvAdvanceTestClock(750);
    EXPECT_TRUE(op.ProcessMessages());
    EXPECT_TRUE(m_wnd.Saw(WM_TIMER));
    for (UINT m : {UINT(WM_KEYDOWN), UINT(WM_CHAR), UINT(WM_LBUTTONDOWN), UINT(WM_NCLBUTTONDOWN), UINT(WM_COMMAND)})
        EXPECT_FALSE(m_wnd.Saw(m)) << std::hex << m;
    MSG msg {};
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, WPARAM(5)) << "the quit keeps its code";
    EXPECT_FALSE(State().m_bCancelKey);
}

TEST_F(LongOpTest, EscapeAsksAtTheNextQuery)
{
    MsgBoxLog log;
    struct Case {
        const char* name;
        BOOL bAsk, bRollback;
        const char* answer;
        BOOL bAbort, bRollbackRequested;
        const char* buttons;  // empty: no box
    };
    const Case cases[] = {
        {.name = "abort", .bAsk = TRUE, .bRollback = TRUE, .answer = "abort", .bAbort = TRUE, .bRollbackRequested = FALSE, .buttons = "abortretryignore"},
        {.name = "retry rolls back", .bAsk = TRUE, .bRollback = TRUE, .answer = "retry", .bAbort = TRUE, .bRollbackRequested = TRUE, .buttons = "abortretryignore"},
        {.name = "ignore goes on", .bAsk = TRUE, .bRollback = TRUE, .answer = "ignore", .bAbort = FALSE, .bRollbackRequested = FALSE, .buttons = "abortretryignore"},
        {.name = "yes", .bAsk = TRUE, .bRollback = FALSE, .answer = "yes", .bAbort = TRUE, .bRollbackRequested = FALSE, .buttons = "yesno"},
        {.name = "no", .bAsk = TRUE, .bRollback = FALSE, .answer = "no", .bAbort = FALSE, .bRollbackRequested = FALSE, .buttons = "yesno"},
        {.name = "no question", .bAsk = FALSE, .bRollback = TRUE, .answer = "", .bAbort = TRUE, .bRollbackRequested = TRUE, .buttons = ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        log.answers(c.answer);
        State().m_bAskQuestion = c.bAsk;
        CGXLongOperation op;
        CGXLongOperation::SetRollbackPossible(c.bRollback);
        PostMessage(m_wnd.GetSafeHwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
        PvAdvanceTestClock(750);
        EXPECT_TRUE(op.ProcessMessages());
        EXPECT_TRUE(State().m_bCancelKey) << "only noted";
        EXPECT_TRUE(log.entries().empty());
        PvAdvanceTestClock(1500);
        BOOL bAbort = FALSE;
        EXPECT_TRUE(op.ProcessMessagesQueryAbort(bAbort));
        EXPECT_EQ(bAbort, c.bAbort);
        EXPECT_EQ(CGXLongOperation::GetRollbackConfirmed(), c.bRollbackRequested);
        const auto boxes = log.entries();
        if (*c.buttons) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, "Do you want to abort the operation?");
            EXPECT_EQ(boxes[0].buttons, c.buttons);
        } else {
            EXPECT_TRUE(boxes.empty());
        }
    }
}

}  // namespace
