// The splash window: shown only when enabled, closed by its timer or by the first key or click,
// which it swallows.

#include "frame_fixture.h"

namespace {

class SplashTest : public FrameTest {};

MSG msgOf(UINT message)
{
    MSG m {};
    m.message = message;
    return m;
}

} // namespace

TEST_F(SplashTest, DisabledShowsNothing)
{
    CSplashWindow::EnableSplash(FALSE);
    CSplashWindow::ShowSplash(nullptr);
    EXPECT_EQ(CSplashWindow::GetSplash(), nullptr);
    MSG m = msgOf(WM_KEYDOWN);
    EXPECT_FALSE(CSplashWindow::FilterAppMessage(&m));
}

TEST_F(SplashTest, ShowsThePictureCentredAndClosesAfter750ms)
{
    CSplashWindow::EnableSplash(TRUE);
    CSplashWindow::ShowSplash(nullptr);
    CSplashWindow* s = CSplashWindow::GetSplash();
    ASSERT_NE(s, nullptr);
    CSplashWindow::ShowSplash(nullptr);  // one at a time
    EXPECT_EQ(CSplashWindow::GetSplash(), s);
    CRect rc;
    s->GetWindowRect(&rc);
    EXPECT_EQ(rc.Width(), 480);
    EXPECT_EQ(rc.Height(), 300);
    EXPECT_EQ(rc.left, (GetSystemMetrics(SM_CXSCREEN) - 480) / 2);
    EXPECT_TRUE(s->IsWindowVisible());
    PvAdvanceTime(749);
    EXPECT_EQ(CSplashWindow::GetSplash(), s);
    PvAdvanceTime(1);
    EXPECT_EQ(CSplashWindow::GetSplash(), nullptr);
}

TEST_F(SplashTest, OnlyThePressesCloseItAndAreSwallowed)
{
    struct Case {
        UINT message;
        bool closes;
    };
    const Case cases[] = {
        {WM_KEYUP, false},        {WM_MOUSEMOVE, false},   {WM_LBUTTONUP, false},     {WM_CHAR, false},
        {WM_KEYDOWN, true},       {WM_SYSKEYDOWN, true},   {WM_LBUTTONDOWN, true},    {WM_RBUTTONDOWN, true},
        {WM_MBUTTONDOWN, true},   {WM_NCLBUTTONDOWN, true}, {WM_NCRBUTTONDOWN, true}, {WM_NCMBUTTONDOWN, true},
    };
    CSplashWindow::EnableSplash(TRUE);
    for (const Case& c : cases) {
        CSplashWindow::ShowSplash(nullptr);
        ASSERT_NE(CSplashWindow::GetSplash(), nullptr);
        MSG m = msgOf(c.message);
        EXPECT_EQ(bool(CSplashWindow::FilterAppMessage(&m)), c.closes) << c.message;
        EXPECT_EQ(CSplashWindow::GetSplash() == nullptr, c.closes) << c.message;
        // Once it is gone nothing more is swallowed.
        if (c.closes) {
            EXPECT_FALSE(CSplashWindow::FilterAppMessage(&m));
        }
        PvAdvanceTime(750);
        EXPECT_EQ(CSplashWindow::GetSplash(), nullptr);
    }
}

TEST_F(SplashTest, TheFrameShowsItAtTheEndOfItsCreation)
{
    CSplashWindow::EnableSplash(TRUE);
    CMainFrame* f = OpenFrame();
    ASSERT_NE(f, nullptr);
    CSplashWindow* s = CSplashWindow::GetSplash();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetOwner(), f);
    PvAdvanceTime(750);
    EXPECT_EQ(CSplashWindow::GetSplash(), nullptr);
}
