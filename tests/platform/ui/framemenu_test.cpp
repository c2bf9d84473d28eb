// A frame asked to bring its menu up to date does it once, at the next idle time.

#include <gtest/gtest.h>

#include "platform/ui/frame.h"
#include "tests/platform/ui/ui_fixture.h"

namespace {

class CountingFrame : public CFrameWnd {
public:
    int updates = 0;
    HMENU lastAlt = reinterpret_cast<HMENU>(1);
    void OnUpdateFrameMenu(HMENU hMenuAlt) override
    {
        ++updates;
        lastAlt = hMenuAlt;
        CFrameWnd::OnUpdateFrameMenu(hMenuAlt);
    }
};

class FrameMenuTest : public UiTest {};

TEST_F(FrameMenuTest, DelayUpdateFrameMenuWaitsForIdleTime)
{
    auto* pFrame = new CountingFrame;
    ASSERT_TRUE(pFrame->Create(nullptr, "frame"));
    pFrame->DelayUpdateFrameMenu(nullptr);
    EXPECT_TRUE(pFrame->IsMenuUpdatePending());
    EXPECT_EQ(pFrame->updates, 0) << "not at once";
    pFrame->OnIdleUpdateCmdUI();
    EXPECT_EQ(pFrame->updates, 1);
    EXPECT_EQ(pFrame->lastAlt, nullptr);
    EXPECT_FALSE(pFrame->IsMenuUpdatePending());
    pFrame->OnIdleUpdateCmdUI();
    EXPECT_EQ(pFrame->updates, 1) << "once per request";
    pFrame->DestroyWindow();
}

}  // namespace
