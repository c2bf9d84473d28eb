// Scroll bars worked with the mouse, message boxes on the headless desktop, and the screenshot.

#include "tests/platform/win/wintest.h"

#include <cstdio>
#include <cstring>
#include "platform/sys/globalmem.h"
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

class WinUiTest : public WinTest {
protected:
    // Screen point inside the vertical bar, `along` pixels from its top.
    POINT vbarPoint(HWND h, int along)
    {
        RECT cr;
        GetClientRect(h, &cr);
        POINT p {cr.right + GetSystemMetrics(SM_CXVSCROLL) / 2, along};
        ClientToScreen(h, &p);
        return p;
    }

    std::vector<WPARAM> vscrollCodes(HWND h)
    {
        std::vector<WPARAM> v;
        for (const Rec& r : log)
            if (r.h == h && r.msg == WM_VSCROLL) v.push_back(LOWORD(r.wp));
        return v;
    }
};

TEST_F(WinUiTest, SettingARangeShowsTheBarAndShrinksTheClientArea)
{
    HWND h = makeTop();
    RECT before, after;
    GetClientRect(h, &before);
    log.clear();
    SCROLLINFO si {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
    SetScrollInfo(h, SB_VERT, &si, TRUE);
    GetClientRect(h, &after);
    EXPECT_TRUE(GetWindowLong(h, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(after.right, before.right - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_TRUE(saw(h, WM_SIZE));
    // A page that covers the whole range hides the bar again.
    si.nPage = 100;
    SetScrollInfo(h, SB_VERT, &si, TRUE);
    EXPECT_FALSE(GetWindowLong(h, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(WinUiTest, WorkingTheBarSendsScrollCodes)
{
    HWND h = makeTop();
    SCROLLINFO si {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
    SetScrollInfo(h, SB_VERT, &si, TRUE);
    PvPumpMessages();
    RECT cr;
    GetClientRect(h, &cr);
    int arrow = GetSystemMetrics(SM_CXVSCROLL);
    struct Case {
        const char* part;
        int along;
        std::vector<WPARAM> codes;
    };
    const Case cases[] = {
        {"up arrow", 2, {SB_LINEUP, SB_ENDSCROLL}},
        {"down arrow", cr.bottom - 2, {SB_LINEDOWN, SB_ENDSCROLL}},
        {"below the thumb", cr.bottom - arrow - 4, {SB_PAGEDOWN, SB_ENDSCROLL}},
    };
    for (const Case& c : cases) {
        log.clear();
        POINT p = vbarPoint(h, c.along);
        PvInputClick(p.x, p.y);
        PvPumpMessages();
        EXPECT_EQ(vscrollCodes(h), c.codes) << c.part;
    }
    // Dragging the thumb tracks, then reports the final position.
    log.clear();
    POINT thumb = vbarPoint(h, arrow + 3);
    PvInputMouseMove(thumb.x, thumb.y);
    PvInputMouseButton(PV_BUTTON_LEFT, true);
    PvInputMouseMove(thumb.x, thumb.y + 60);
    PvInputMouseButton(PV_BUTTON_LEFT, false);
    PvPumpMessages();
    std::vector<WPARAM> codes = vscrollCodes(h);
    ASSERT_GE(codes.size(), 3u) << codes.size() << " first " << (codes.empty() ? -1 : int(codes[0]));
    EXPECT_EQ(codes.front(), WPARAM(SB_THUMBTRACK));
    EXPECT_EQ(codes[codes.size() - 2], WPARAM(SB_THUMBPOSITION));
    EXPECT_EQ(codes.back(), WPARAM(SB_ENDSCROLL));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinUiTest, HeadlessMessageBoxesAreLoggedAndAnsweredInOrder)
{
    char path[] = "/tmp/pvmsgboxXXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    setenv("PV_MSGBOX_LOG", path, 1);
    setenv("PV_MSGBOX_ANSWERS", "no, bogus", 1);
    HWND owner = makeTop();
    HWND child = makeChild(owner, 4, RECT {0, 0, 20, 20});
    SetFocus(child);
    struct Case {
        UINT type;
        int answer;
    };
    const Case cases[] = {
        {MB_YESNO | MB_ICONQUESTION, IDNO},           // from the list
        {MB_YESNO | MB_DEFBUTTON2, IDNO},             // not one of its buttons: the default
        {MB_OKCANCEL | MB_ICONEXCLAMATION, IDOK},     // list exhausted: the default
    };
    for (const Case& c : cases) EXPECT_EQ(MessageBox(owner, "Line1\nLine \"2\"", "Title", c.type), c.answer);
    // The box was modal over its owner, and the focus came back.
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetFocus(), child);
    EXPECT_EQ(GetActiveWindow(), owner);
    unsetenv("PV_MSGBOX_LOG");
    unsetenv("PV_MSGBOX_ANSWERS");
    std::ifstream in(path);
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(in, line)) lines.push_back(line);
    std::remove(path);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], R"({"caption": "Title", "text": "Line1\nLine \"2\"", "buttons": "yesno", "icon": "question", "answer": "no"})");
    EXPECT_EQ(lines[2], R"({"caption": "Title", "text": "Line1\nLine \"2\"", "buttons": "okcancel", "icon": "warning", "answer": "ok"})");
}

TEST_F(WinUiTest, ScreenshotShowsTheVisibleWindowsInZOrder)
{
    HWND back = makeTop();
    fillOnPaint = RGB(10, 20, 30);
    PvPumpMessages();
    char path[] = "/tmp/pvshotXXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_TRUE(PvWriteScreenshot(path));
    std::ifstream in(path, std::ios::binary);
    char sig[8] = {};
    in.read(sig, 8);
    std::remove(path);
    EXPECT_EQ(std::string(sig + 1, 3), "PNG");
    (void)back;
}

TEST_F(WinUiTest, ClipboardKeepsEachFormatUntilEmptied)
{
    HWND h = makeTop();
    UINT styles = RegisterClipboardFormat("Grid Styles 00400000");
    auto block = [](const char* s) {
        HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, strlen(s) + 1);
        memcpy(GlobalLock(g), s, strlen(s) + 1);
        GlobalUnlock(g);
        return g;
    };
    HGLOBAL refused = block("x");
    EXPECT_EQ(SetClipboardData(CF_TEXT, refused), nullptr); // not open: the block stays the caller's
    GlobalFree(refused);
    ASSERT_TRUE(OpenClipboard(h));
    EXPECT_FALSE(OpenClipboard(h));
    ASSERT_TRUE(EmptyClipboard());
    SetClipboardData(CF_TEXT, block("a\tb\r\n"));
    SetClipboardData(styles, block("styles"));
    CloseClipboard();
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_TRUE(IsClipboardFormatAvailable(styles));
    EXPECT_EQ(GetClipboardOwner(), h);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL t = GetClipboardData(CF_TEXT);
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(t)), "a\tb\r\n");
    GlobalUnlock(t);
    EmptyClipboard();
    CloseClipboard();
    EXPECT_FALSE(IsClipboardFormatAvailable(styles));
}

TEST_F(WinUiTest, ClickingAChildActivatesItsTopLevelThroughMouseActivate)
{
    HWND first = makeTop();
    HWND second = makeTop();
    SetWindowPos(second, nullptr, 600, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(GetActiveWindow(), second);
    HWND child = makeChild(first, 9, RECT {10, 10, 60, 60});
    PvPumpMessages();
    log.clear();
    POINT p {20, 20};
    ClientToScreen(child, &p);
    PvInputClick(p.x, p.y);
    PvPumpMessages();
    EXPECT_TRUE(saw(child, WM_MOUSEACTIVATE));
    EXPECT_TRUE(saw(child, WM_SETCURSOR));
    EXPECT_TRUE(saw(child, WM_LBUTTONDOWN));
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_EQ(GetTopWindow(nullptr), first);
    EXPECT_TRUE(saw(second, WM_ACTIVATE));
}

TEST_F(WinUiTest, ActivateAndEatSwallowsTheClick)
{
    HWND top = makeTop();
    HWND other = makeTop();
    SetWindowPos(other, nullptr, 600, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND child = makeChild(top, 9, RECT {10, 10, 60, 60});
    mouseActivateAnswer = MA_ACTIVATEANDEAT;
    PvPumpMessages();
    log.clear();
    POINT p {20, 20};
    ClientToScreen(child, &p);
    PvInputClick(p.x, p.y);
    PvPumpMessages();
    EXPECT_EQ(GetActiveWindow(), top);
    EXPECT_TRUE(saw(child, WM_MOUSEACTIVATE));
    EXPECT_FALSE(saw(child, WM_LBUTTONDOWN));
}

} // namespace

namespace {

TEST_F(WinUiTest, DraggingTheCaptionMovesAndTheFrameResizes)
{
    HWND h = makeTop();
    PvPumpMessages();
    RECT r0;
    GetWindowRect(h, &r0);
    int cap = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    std::string drag = "drag " + std::to_string(r0.left + 60) + " " + std::to_string(r0.top + cap) + " " +
                       std::to_string(r0.left + 160) + " " + std::to_string(r0.top + cap + 50);
    ASSERT_TRUE(PvRunScriptLine(drag.c_str()));
    PvPumpMessages();
    RECT r1;
    GetWindowRect(h, &r1);
    EXPECT_EQ(r1.left, r0.left + 100);
    EXPECT_EQ(r1.top, r0.top + 50);
    log.clear();
    std::string size = "drag " + std::to_string(r1.right - 1) + " " + std::to_string(r1.bottom - 1) + " " +
                       std::to_string(r1.right + 39) + " " + std::to_string(r1.bottom + 19);
    ASSERT_TRUE(PvRunScriptLine(size.c_str()));
    PvPumpMessages();
    RECT r2;
    GetWindowRect(h, &r2);
    EXPECT_EQ(r2.right - r2.left, (r1.right - r1.left) + 40);
    EXPECT_EQ(r2.bottom - r2.top, (r1.bottom - r1.top) + 20);
    EXPECT_TRUE(saw(h, WM_SIZE));
    EXPECT_EQ(GetCapture(), nullptr);
}

} // namespace

namespace {

TEST_F(WinUiTest, MaximizeFillsTheWorkAreaAndRestoreGoesBack)
{
    HWND h = makeTop();
    RECT before;
    GetWindowRect(h, &before);
    log.clear();
    ShowWindow(h, SW_SHOWMAXIMIZED);
    RECT work, max;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(h, &max);
    EXPECT_TRUE(IsZoomed(h));
    EXPECT_EQ(max.left, work.left);
    EXPECT_EQ(max.right, work.right);
    EXPECT_EQ(max.bottom, work.bottom);
    ASSERT_TRUE(saw(h, WM_SIZE));
    bool maximizedSize = false;
    for (const Rec& r : log)
        if (r.h == h && r.msg == WM_SIZE && r.wp == SIZE_MAXIMIZED) maximizedSize = true;
    EXPECT_TRUE(maximizedSize);
    ShowWindow(h, SW_RESTORE);
    RECT after;
    GetWindowRect(h, &after);
    EXPECT_FALSE(IsZoomed(h));
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
}

// A desktop without a panel (or with one elsewhere) reports its own free area: a maximised
// window takes exactly that, not the screen less a classic taskbar.
TEST_F(WinUiTest, MaximizeFollowsTheDesktopsWorkArea)
{
    const RECT usable {0, 24, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    PvSetWorkArea(&usable);
    HWND h = makeTop();
    ShowWindow(h, SW_SHOWMAXIMIZED);
    RECT max;
    GetWindowRect(h, &max);
    PvSetWorkArea(nullptr);
    EXPECT_EQ(max.left, usable.left);
    EXPECT_EQ(max.top, usable.top);
    EXPECT_EQ(max.right, usable.right);
    EXPECT_EQ(max.bottom, usable.bottom);
    RECT work;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(work.bottom, GetSystemMetrics(SM_CYSCREEN) - 28); // back to the classic desktop
}

} // namespace
