// The frame's commands as the user reaches them: routed through the frame, enabled by state.
#include "tests/app/frame_fixture.h"

#include "app/History.h"
#include "tests/app/msgbox_log.h"


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

// A shortcut runs its command only while the command's menu item would be enabled.
TEST_F(FrameTest, ShortcutsFollowTheirCommandsEnabledState)
{
    struct Case {
        const char* name;
        UINT vk;
        bool ctrl;
        bool recordMode;  // Save Current Directory List is enabled in record mode only
        size_t boxes;     // "Cannot save this directory list ..." once when it ran
        int layout;       // the save and search commands open the directory layout
        bool panesOpen;   // Toggle View opens the panes
    };
    const Case cases[] = {
        {.name = "F10, save disabled", .vk = VK_F10, .ctrl = false, .recordMode = false, .boxes = 0, .layout = 0, .panesOpen = false},
        {.name = "Ctrl+S, save disabled", .vk = 'S', .ctrl = true, .recordMode = false, .boxes = 0, .layout = 0, .panesOpen = false},
        {.name = "F10, save enabled", .vk = VK_F10, .ctrl = false, .recordMode = true, .boxes = 1, .layout = ID_LAYOUT_DIRECTORY, .panesOpen = true},
        {.name = "Ctrl+S, save enabled", .vk = 'S', .ctrl = true, .recordMode = true, .boxes = 1, .layout = ID_LAYOUT_DIRECTORY, .panesOpen = true},
        {.name = "F3, search always enabled", .vk = VK_F3, .ctrl = false, .recordMode = false, .boxes = 0, .layout = ID_LAYOUT_DIRECTORY, .panesOpen = true},
        {.name = "F4, toggle view always enabled", .vk = VK_F4, .ctrl = false, .recordMode = false, .boxes = 0, .layout = 0, .panesOpen = true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HistoryInit();
        MsgBoxLog boxes;
        CMainFrame* frame = OpenFrame();
        ASSERT_NE(frame, nullptr);
        frame->m_pNavigateView->m_bDetailsHistory = c.recordMode;
        EXPECT_EQ(enabledIn(frame, ID_SAVE_LIST), c.recordMode);
        frame->SetFocus();
        PvInputKeyStroke(c.vk, c.ctrl);
        Pump();
        auto shown = boxes.entries();
        EXPECT_EQ(shown.size(), c.boxes);
        if (!shown.empty()) {
            EXPECT_EQ(shown[0].text, "Cannot save this directory list since there are no records found");
        }
        EXPECT_EQ(frame->m_nLayout, c.layout);
        EXPECT_EQ(bool(frame->m_bPanesOpen), c.panesOpen);
        m_template.reset();
        HistoryFree();
    }
}
