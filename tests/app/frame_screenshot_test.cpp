// Pictures of the main window in both layouts and of the About box. They are written to
// $PV_FRAME_SHOT_DIR when it is set (run this test on the SDL2 back end under Xvfb for the
// desktop's view); otherwise to a temporary file that is checked and removed.

#include "frame_fixture.h"

#include "app/AboutDlg.h"

#include <cstdio>
#include <string>

namespace {

std::string shotPath(const char* name)
{
    const char* dir = std::getenv("PV_FRAME_SHOT_DIR");
    if (dir && *dir) return std::string(dir) + "/" + name;
    return "/tmp/pv_frame_" + std::to_string(::getpid()) + "_" + name;
}

void shoot(const char* name)
{
    std::string path = shotPath(name);
    ASSERT_TRUE(PvWriteScreenshot(path.c_str())) << path;
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::fseek(f, 0, SEEK_END);
    EXPECT_GT(std::ftell(f), 1000);
    std::fclose(f);
    if (!std::getenv("PV_FRAME_SHOT_DIR")) std::remove(path.c_str());
}

} // namespace

TEST_F(FrameTest, Screenshots)
{
    CMainFrame* f = OpenFrame();
    ASSERT_NE(f, nullptr);
    // A toolbar button with its image: some pixel of the first button is not the bar's face.
    CRect rcButton;
    f->m_wndToolBar.GetItemRect(0, &rcButton);
    CClientDC dc(&f->m_wndToolBar);
    int inked = 0;
    for (int y = rcButton.top; y < rcButton.bottom; ++y)
        for (int x = rcButton.left; x < rcButton.right; ++x)
            if (dc.GetPixel(x, y) != GetSysColor(COLOR_BTNFACE)) ++inked;
    EXPECT_GT(inked, 40);
    f->m_wndStatusBar.SetPaneText(0, "Ready");
    f->m_wndStatusBar.SetPaneText(1, "Current Column: Last Name");
    f->m_wndStatusBar.SetPaneText(2, "2000 Total Records");
    f->m_wndStatusBar.SetPaneText(3, "Notes");
    f->m_wndStatusBar.GetStatusBarCtrl().SetIcon(3, f->m_hNotesIcon);
    f->SendMessage(WM_IDLEUPDATECMDUI, TRUE);  // as idle time does: commands without handlers grey out
    Pump();
    shoot("frame_home.png");

    f->SwitchLayout(ID_LAYOUT_DIRECTORY);
    Pump();
    shoot("frame_directory.png");

    CAboutDlg about;
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX, f));
    about.ShowWindow(SW_SHOW);
    Pump();
    shoot("frame_about.png");
    about.DestroyWindow();

    CSplashWindow::EnableSplash(TRUE);
    CSplashWindow::ShowSplash(f);
    Pump();
    shoot("frame_splash.png");
    PvAdvanceTime(750);
}
