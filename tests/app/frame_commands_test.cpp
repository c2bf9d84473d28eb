// The frame's commands as the user reaches them: routed through the frame, enabled by state.
#include "tests/app/frame_fixture.h"

#include "app/History.h"
#include "tests/app/msgbox_log.h"

namespace {

// Runs the update handler of one command the way idle time does, and answers whether it enabled it.
struct EnableProbe : CCmdUI {
    BOOL enabled = TRUE;
    void Enable(BOOL bOn = TRUE) override { enabled = bOn; }
};

BOOL enabledIn(CMainFrame* frame, UINT id)
{
    EnableProbe probe;
    probe.m_nID = id;
    probe.DoUpdate(frame, FALSE);
    return probe.enabled;
}

} // namespace

TEST_F(FrameTest, ShowDetailsWithoutACurrentRecordDoesNothing)
{
    HistoryInit();
    MsgBoxLog boxes;
    CMainFrame* frame = OpenFrame();
    ASSERT_NE(frame, nullptr);
    frame->SendMessage(WM_COMMAND, ID_SHOW_DETAILS);
    frame->SendMessage(WM_COMMAND, ID_NORMAL_VIEW);
    Pump();
    EXPECT_EQ(HistoryCurrentIndex(), 0); // nothing pushed, no -1 on the history
    EXPECT_EQ(frame->m_nCurrentKey, -1);
    EXPECT_EQ(frame->m_lists.GetList(FALSE).size(), 0u); // no pop-up opened
    EXPECT_TRUE(boxes.entries().empty());
    HistoryFree();
}

TEST_F(FrameTest, BackAndForwardFollowRecordModeAndHistory)
{
    HistoryInit();
    MsgBoxLog boxes;
    CMainFrame* frame = OpenFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(enabledIn(frame, ID_GO_BACK));
    EXPECT_TRUE(enabledIn(frame, ID_PRINT_MEDIA));
    EXPECT_FALSE(enabledIn(frame, ID_SAVE_LIST));

    frame->ShowRecordDetails(7, TRUE);
    frame->ShowRecordDetails(9, TRUE);
    EXPECT_TRUE(enabledIn(frame, ID_GO_BACK));
    EXPECT_FALSE(enabledIn(frame, ID_GO_FORWARD));
    EXPECT_TRUE(enabledIn(frame, ID_SAVE_LIST));
    EXPECT_FALSE(enabledIn(frame, ID_PRINT_MEDIA));

    frame->SendMessage(WM_COMMAND, ID_GO_BACK);
    EXPECT_EQ(frame->m_nCurrentKey, 7);
    EXPECT_TRUE(enabledIn(frame, ID_GO_FORWARD));

    // After Home, Back and Forward belong to the browser again.
    frame->SendMessage(WM_COMMAND, ID_HOME);
    frame->m_bBrowserCanGoBack = FALSE;
    EXPECT_FALSE(enabledIn(frame, ID_GO_FORWARD));
    frame->SendMessage(WM_COMMAND, ID_GO_FORWARD);
    EXPECT_EQ(frame->m_nCurrentKey, 7); // the history did not move
    EXPECT_FALSE(enabledIn(frame, ID_CLOSE_ALL));
    HistoryFree();
}

TEST_F(FrameTest, ScrollToListsTheTextOnceAndEmptiesTheBox)
{
    CMainFrame* frame = OpenFrame();
    ASSERT_NE(frame, nullptr);
    CWnd* combo = frame->m_wndDialogBar.GetDlgItem(IDC_SCROLL_COMBO);
    ASSERT_NE(combo, nullptr);
    for (int i = 0; i < 3; ++i) {
        combo->SetWindowText("abc*xyz");
        frame->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SCROLL_TO, BN_CLICKED),
                           reinterpret_cast<LPARAM>(frame->m_wndDialogBar.GetDlgItem(IDC_SCROLL_TO)->m_hWnd));
        Pump();
    }
    EXPECT_EQ(combo->SendMessage(CB_GETCOUNT), 1);
    char item[64] = {};
    combo->SendMessage(CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "abc*xyz");
    CString text;
    combo->GetWindowText(text);
    EXPECT_TRUE(text.IsEmpty());
}
