// Message order, queues, timers, nested loops and window lifetime on the headless desktop.

#include "tests/platform/win/wintest.h"

#include <gtest/gtest.h>

namespace {

TEST_F(WinTest, FocusChangeSendsKillThenSetWithTheOtherWindow)
{
    HWND top = makeTop();
    HWND a = makeChild(top, 1, RECT {0, 0, 50, 50});
    HWND b = makeChild(top, 2, RECT {60, 0, 110, 50});
    SetFocus(a);
    log.clear();
    HWND prev = SetFocus(b);
    EXPECT_EQ(prev, a);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], (Rec {a, WM_KILLFOCUS, reinterpret_cast<WPARAM>(b)}));
    EXPECT_EQ(log[1], (Rec {b, WM_SETFOCUS, reinterpret_cast<WPARAM>(a)}));
    EXPECT_EQ(GetFocus(), b);
}

TEST_F(WinTest, PostedMessageArrivesAfterTheSentOnesOfTheSameHandler)
{
    HWND top = makeTop();
    onMessage = [&](HWND h, UINT m, WPARAM, LPARAM) {
        if (m == WM_USER + 1) {
            SendMessage(h, WM_USER + 2, 0, 0);
            PostMessage(h, WM_USER + 3, 0, 0);
            SendMessage(h, WM_USER + 4, 0, 0);
        }
    };
    PvPumpMessages();
    log.clear();
    SendMessage(top, WM_USER + 1, 0, 0);
    PvPumpMessages();
    EXPECT_EQ(userMessages(top), (std::vector<UINT> {WM_USER + 1, WM_USER + 2, WM_USER + 4, WM_USER + 3}));
}

TEST_F(WinTest, DoubleClickArrivesAsDownUpDoubleUpOnlyForDoubleClickClasses)
{
    struct Case {
        UINT classStyle;
        std::vector<UINT> expected;
    };
    const Case cases[] = {
        {CS_DBLCLKS, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
        {0, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}},
    };
    for (const Case& c : cases) {
        PvResetWindowSystem();
        HWND top = makeTop(c.classStyle);
        PvPumpMessages();
        POINT p {20, 20};
        ClientToScreen(top, &p);
        log.clear();
        PvInputClick(p.x, p.y, PV_BUTTON_LEFT, true);
        PvPumpMessages();
        EXPECT_EQ(buttonMessages(top), c.expected) << "class style " << c.classStyle;
    }
}

TEST_F(WinTest, ClicksFartherApartInTimeOrSpaceAreTwoSingleClicks)
{
    HWND top = makeTop(CS_DBLCLKS);
    POINT p {20, 20};
    ClientToScreen(top, &p);
    PvPumpMessages();
    log.clear();
    PvInputClick(p.x, p.y);
    PvPumpMessages();
    PvAdvanceTime(GetDoubleClickTime() + 1);
    PvInputClick(p.x, p.y);
    PvInputClick(p.x + 30, p.y);
    PvPumpMessages();
    EXPECT_EQ(buttonMessages(top), (std::vector<UINT> {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                                       WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

TEST_F(WinTest, CaptureLossSendsCancelMode)
{
    struct Case {
        const char* name;
        std::function<void(HWND top, HWND child)> loseIt;
    };
    const Case cases[] = {
        {"message box", [](HWND top, HWND) { MessageBox(top, "Stop", "Title", MB_OK); }},
        {"disabled", [](HWND, HWND child) { EnableWindow(child, FALSE); }},
        {"other window activated", [this](HWND, HWND) { SetActiveWindow(makeTop()); }},
    };
    for (const Case& c : cases) {
        PvResetWindowSystem();
        HWND top = makeTop();
        HWND child = makeChild(top, 7, RECT {0, 0, 40, 40});
        SetCapture(child);
        log.clear();
        c.loseIt(top, child);
        EXPECT_EQ(GetCapture(), nullptr) << c.name;
        EXPECT_TRUE(saw(child, WM_CANCELMODE)) << c.name;
        EXPECT_TRUE(saw(child, WM_CAPTURECHANGED)) << c.name;
    }
}

TEST_F(WinTest, CaptureRoutesMouseOutsideTheWindowToTheCapturer)
{
    HWND top = makeTop();
    HWND child = makeChild(top, 7, RECT {0, 0, 40, 40});
    SetCapture(child);
    POINT far {300, 300};
    ClientToScreen(top, &far);
    log.clear();
    PvInputMouseMove(far.x, far.y);
    PvPumpMessages();
    ASSERT_TRUE(saw(child, WM_MOUSEMOVE));
    const Rec& r = first(child, WM_MOUSEMOVE);
    EXPECT_EQ(GET_X_LPARAM(r.lp), 300);
    EXPECT_EQ(GET_Y_LPARAM(r.lp), 300);
}

TEST_F(WinTest, KeysGoToTheFocusWindowAndTranslateToCharacters)
{
    HWND top = makeTop();
    HWND a = makeChild(top, 1, RECT {0, 0, 50, 50});
    SetFocus(a);
    log.clear();
    PvInputKeyStroke('A', false, true);
    PvInputText("é");
    PvPumpMessages();
    std::vector<Rec> keys;
    for (const Rec& r : log)
        if (r.h == a && r.msg >= WM_KEYFIRST && r.msg <= WM_KEYLAST) keys.push_back(r);
    ASSERT_EQ(keys.size(), 6u);
    EXPECT_EQ(keys[0], (Rec {a, WM_KEYDOWN, VK_SHIFT}));
    EXPECT_EQ(keys[1], (Rec {a, WM_KEYDOWN, 'A'}));
    EXPECT_EQ(keys[2], (Rec {a, WM_CHAR, 'A'}));
    EXPECT_EQ(keys[3], (Rec {a, WM_KEYUP, 'A'}));
    EXPECT_EQ(keys[4], (Rec {a, WM_KEYUP, VK_SHIFT}));
    EXPECT_EQ(keys[5], (Rec {a, WM_CHAR, 0xE9}));
    EXPECT_EQ(LOWORD(keys[1].lp), 1); // repeat count
    EXPECT_TRUE(keys[3].lp & (LPARAM(1) << 31));
}

TEST_F(WinTest, AltKeysAreSystemKeys)
{
    HWND top = makeTop();
    HWND a = makeChild(top, 1, RECT {0, 0, 50, 50});
    SetFocus(a);
    log.clear();
    PvInputKeyStroke('X', false, false, true);
    PvPumpMessages();
    EXPECT_TRUE(saw(a, WM_SYSKEYDOWN));
    EXPECT_TRUE(saw(a, WM_SYSCHAR));
    EXPECT_FALSE(saw(a, WM_CHAR));
}

TEST_F(WinTest, TimersFireOnTheTestClockAndStopWhenKilled)
{
    HWND top = makeTop();
    SetTimer(top, 5, 100, nullptr);
    log.clear();
    PvAdvanceTime(350);
    EXPECT_EQ(count(top, WM_TIMER), 3);
    KillTimer(top, 5);
    PvAdvanceTime(500);
    EXPECT_EQ(count(top, WM_TIMER), 3);
}

TEST_F(WinTest, PaintingTwoInvalidRectanglesPaintsTheirUnionOnce)
{
    HWND top = makeTop();
    PvPumpMessages();
    fillOnPaint = RGB(255, 0, 0);
    log.clear();
    RECT r1 {10, 10, 20, 20}, r2 {50, 30, 60, 40};
    InvalidateRect(top, &r1, TRUE);
    InvalidateRect(top, &r2, TRUE);
    PvPumpMessages();
    EXPECT_EQ(count(top, WM_PAINT), 1);
    EXPECT_EQ(lastPaintRect.left, 10);
    EXPECT_EQ(lastPaintRect.top, 10);
    EXPECT_EQ(lastPaintRect.right, 60);
    EXPECT_EQ(lastPaintRect.bottom, 40);
    // Only the two rectangles were drawn although the handler filled its whole client area.
    EXPECT_EQ(pixel(top, 15, 15), RGB(255, 0, 0));
    EXPECT_EQ(pixel(top, 55, 35), RGB(255, 0, 0));
    EXPECT_EQ(pixel(top, 35, 25), GetSysColor(COLOR_WINDOW));
}

TEST_F(WinTest, ChildrenAreClippedOutOfTheirParentsPainting)
{
    HWND top = makeTop();
    HWND child = makeChild(top, 3, RECT {10, 10, 40, 40});
    PvPumpMessages();
    fillOnPaint = RGB(0, 0, 255);
    InvalidateRect(top, nullptr, FALSE);
    PvPumpMessages();
    EXPECT_EQ(pixel(top, 5, 5), RGB(0, 0, 255));
    EXPECT_NE(pixel(top, 20, 20), RGB(0, 0, 255));
    (void)child;
}

TEST_F(WinTest, RedrawingTheFrameLeavesTheClientAreaAlone)
{
    HWND top = makeTop();
    fillOnPaint = RGB(200, 0, 0);
    PvPumpMessages();
    fillOnPaint = CLR_INVALID;
    log.clear();
    SetWindowText(top, "New caption"); // the caption is redrawn, nothing else
    SetActiveWindow(nullptr); // and the caption's colour changes twice
    SetActiveWindow(top);
    PvPumpMessages();
    EXPECT_TRUE(saw(top, WM_NCPAINT));
    EXPECT_EQ(pixel(top, 5, 5), RGB(200, 0, 0));
}

TEST_F(WinTest, ScrollWindowMovesPixelsAndInvalidatesTheUncoveredBand)
{
    HWND top = makeTop();
    PvPumpMessages();
    {
        HDC dc = GetDC(top);
        CDC::FromHandle(dc)->FillSolidRect(0, 0, 100, 10, RGB(0, 200, 0));
        ReleaseDC(top, dc);
    }
    ScrollWindowEx(top, 0, 20, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    EXPECT_EQ(pixel(top, 5, 25), RGB(0, 200, 0));
    RECT u;
    ASSERT_TRUE(GetUpdateRect(top, &u, FALSE));
    EXPECT_EQ(u.top, 0);
    EXPECT_EQ(u.bottom, 20);
}

} // namespace

namespace {

TEST_F(WinTest, ScriptLinesGiveTheUsersInput)
{
    HWND top = makeTop(CS_DBLCLKS);
    HWND a = makeChild(top, 1, RECT {0, 0, 100, 100}, CS_DBLCLKS);
    SetFocus(a);
    PvPumpMessages();
    POINT p {10, 10};
    ClientToScreen(a, &p);
    struct Case {
        std::string line;
        std::vector<UINT> expect; // messages to `a`, in order, ignoring cursor and activation traffic
    };
    const Case cases[] = {
        {"key Enter", {WM_KEYDOWN, WM_CHAR, WM_KEYUP}},
        {"key F2 ctrl", {WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP, WM_KEYUP}},
        {"char ab", {WM_CHAR, WM_CHAR}},
        {"click " + std::to_string(p.x) + " " + std::to_string(p.y) + " right", {WM_RBUTTONDOWN, WM_RBUTTONUP}},
        {"click " + std::to_string(p.x) + " " + std::to_string(p.y) + " double",
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
        {"wheel " + std::to_string(p.x) + " " + std::to_string(p.y) + " -2", {WM_MOUSEWHEEL}},
    };
    for (const Case& c : cases) {
        PvAdvanceTime(1000); // no double click across cases
        log.clear();
        ASSERT_TRUE(PvRunScriptLine(c.line.c_str())) << c.line;
        PvPumpMessages();
        std::vector<UINT> got;
        for (const Rec& r : log)
            if (r.h == a && r.msg != WM_MOUSEMOVE && r.msg != WM_SETCURSOR && r.msg != WM_MOUSEACTIVATE &&
                r.msg != WM_NCHITTEST && r.msg != WM_CONTEXTMENU)
                got.push_back(r.msg);
        EXPECT_EQ(got, c.expect) << c.line;
    }
    EXPECT_EQ(short(HIWORD(first(a, WM_MOUSEWHEEL).wp)), -240);
    for (const char* bad : {"key NoSuchKey", "click 1", "wait -5", "fly 1 2", "wheel 1 2 x", "click 1 2 alt", "press 1",
                            "release 1 2 hyper", "drag 1 2 3 4 meta"})
        EXPECT_FALSE(PvRunScriptLine(bad)) << bad;
}

TEST_F(WinTest, DragHoldsTheButtonWhileMoving)
{
    HWND top = makeTop();
    onMessage = [&](HWND h, UINT m, WPARAM, LPARAM) {
        if (m == WM_LBUTTONDOWN) SetCapture(h);
        if (m == WM_LBUTTONUP) ReleaseCapture();
    };
    PvPumpMessages();
    POINT a {10, 10}, b {300, 200};
    ClientToScreen(top, &a);
    ClientToScreen(top, &b);
    log.clear();
    std::string line = "drag " + std::to_string(a.x) + " " + std::to_string(a.y) + " " + std::to_string(b.x + 500) + " " +
                       std::to_string(b.y);
    ASSERT_TRUE(PvRunScriptLine(line.c_str()));
    PvPumpMessages();
    int movesWithButton = 0;
    for (const Rec& r : log)
        if (r.h == top && r.msg == WM_MOUSEMOVE && (r.wp & MK_LBUTTON)) ++movesWithButton;
    EXPECT_GE(movesWithButton, 8);
    EXPECT_EQ(buttonMessages(top), (std::vector<UINT> {WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_EQ(GetCapture(), nullptr);
}

// Modifiers reach the button messages' key flags; press and release hold the button between lines.
TEST_F(WinTest, ScriptMouseLinesCarryModifiersAndAHeldButton)
{
    HWND top = makeTop();
    onMessage = [&](HWND h, UINT m, WPARAM, LPARAM) {
        if (m == WM_LBUTTONDOWN) SetCapture(h);
        if (m == WM_LBUTTONUP) ReleaseCapture();
    };
    PvPumpMessages();
    POINT a {10, 10}, b {200, 120};
    ClientToScreen(top, &a);
    ClientToScreen(top, &b);
    auto at = [](POINT p) { return " " + std::to_string(p.x) + " " + std::to_string(p.y); };
    auto keyFlagsOf = [&](UINT msg) {
        for (const Rec& r : log)
            if (r.h == top && r.msg == msg) return r.wp & (MK_CONTROL | MK_SHIFT);
        return WPARAM(~0u);
    };
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        WPARAM downKeys, upKeys;
    };
    const Case cases[] = {
        {.name = "ctrl click", .lines = {"click" + at(a) + " ctrl"}, .downKeys = MK_CONTROL, .upKeys = MK_CONTROL},
        {.name = "shift click", .lines = {"click" + at(a) + " shift"}, .downKeys = MK_SHIFT, .upKeys = MK_SHIFT},
        {.name = "ctrl shift drag", .lines = {"drag" + at(a) + at(b) + " ctrl shift"},
         .downKeys = MK_CONTROL | MK_SHIFT, .upKeys = MK_CONTROL | MK_SHIFT},
        {.name = "press ctrl, release plain", .lines = {"press" + at(a) + " ctrl", "move" + at(b), "release" + at(b)},
         .downKeys = MK_CONTROL, .upKeys = 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PvAdvanceTime(1000);
        log.clear();
        for (const std::string& line : c.lines) {
            ASSERT_TRUE(PvRunScriptLine(line.c_str())) << line;
            PvPumpMessages();
        }
        EXPECT_EQ(buttonMessages(top), (std::vector<UINT> {WM_LBUTTONDOWN, WM_LBUTTONUP}));
        EXPECT_EQ(keyFlagsOf(WM_LBUTTONDOWN), c.downKeys);
        EXPECT_EQ(keyFlagsOf(WM_LBUTTONUP), c.upKeys);
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_FALSE(GetKeyState(VK_CONTROL) & 0x8000);
        EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
    }
    // The release lands where it was given, with the button still held on the way.
    log.clear();
    ASSERT_TRUE(PvRunScriptLine(("press" + at(a)).c_str()));
    ASSERT_TRUE(PvRunScriptLine(("release" + at(b)).c_str()));
    PvPumpMessages();
    POINT client = b;
    ScreenToClient(top, &client);
    for (const Rec& r : log)
        if (r.h == top && r.msg == WM_LBUTTONUP) {
            EXPECT_EQ(r.lp, MAKELPARAM(client.x, client.y));
        }
}

} // namespace
