// Focus, activation and the message queue as message traces: each case names the behaviour the
// desktop documents, does one thing to a small tree of windows, and compares what the windows heard.
//
//   A (top-level) ─ V (child) ─ E (child of V: an in-place editor)
//                 └ D (child)
//   P (pop-up owned by A) ─ PE (child)

#include "wintest.h"

#include "platform/sys/system.h"

#include <map>
#include <string>

namespace {

struct Windows {
    HWND A, V, E, D, P, PE;
};

class TraceTest;
using Step = std::function<void(TraceTest&, const Windows&)>;
using Hook = std::function<void(HWND, UINT, WPARAM, LPARAM)>;

struct TraceCase {
    const char* name;
    Step arrange; // before the trace starts
    Step act;
    std::vector<std::string> expected;
};

class TraceTest : public WinTest, public ::testing::WithParamInterface<TraceCase> {
public:
    Hook extra; // a case's own reaction to a message, after it is traced
    std::vector<std::string> trace;

protected:
    Windows w {};
    std::map<HWND, std::string> names;
    bool recording = false;

    void SetUp() override
    {
        WinTest::SetUp();
        w.A = makeTop();
        w.V = makeChild(w.A, 1, RECT {10, 10, 310, 210});
        w.E = makeChild(w.V, 2, RECT {20, 20, 120, 40});
        w.D = makeChild(w.A, 3, RECT {10, 220, 110, 250});
        w.P = CreateWindowEx(WS_EX_TOOLWINDOW, "WinTestPlain", "", WS_POPUP | WS_BORDER, 600, 100, 200, 200, w.A, nullptr,
                             nullptr, nullptr);
        w.PE = makeChild(w.P, 4, RECT {10, 10, 100, 30});
        names = {{w.A, "A"}, {w.V, "V"}, {w.E, "E"}, {w.D, "D"}, {w.P, "P"}, {w.PE, "PE"}, {nullptr, "0"}};
        onMessage = [this](HWND h, UINT m, WPARAM wp, LPARAM lp) {
            if (recording) note(h, m, wp, lp);
            if (extra) extra(h, m, wp, lp);
        };
        PvPumpMessages();
    }

    std::string name(HWND h) const
    {
        auto it = names.find(h);
        return it == names.end() ? "?" : it->second;
    }

    void note(HWND h, UINT m, WPARAM wp, LPARAM lp)
    {
        std::string s = name(h) + " ";
        switch (m) {
        case WM_SETFOCUS: s += "SETFOCUS " + name(reinterpret_cast<HWND>(wp)); break;
        case WM_KILLFOCUS: s += "KILLFOCUS " + name(reinterpret_cast<HWND>(wp)); break;
        case WM_ACTIVATE:
            s += LOWORD(wp) == WA_INACTIVE ? "ACTIVATE off " : "ACTIVATE on ";
            s += name(reinterpret_cast<HWND>(lp));
            break;
        case WM_CANCELMODE: s += "CANCELMODE"; break;
        case WM_ENABLE: s += wp ? "ENABLE 1" : "ENABLE 0"; break;
        case WM_PARENTNOTIFY:
            s += "PARENTNOTIFY ";
            if (LOWORD(wp) == WM_CREATE || LOWORD(wp) == WM_DESTROY) {
                s += LOWORD(wp) == WM_CREATE ? "create " : "destroy ";
                s += name(reinterpret_cast<HWND>(lp));
            } else {
                s += "lbutton " + std::to_string(GET_X_LPARAM(lp)) + "," + std::to_string(GET_Y_LPARAM(lp));
            }
            break;
        case WM_DESTROY: s += "DESTROY"; break;
        case WM_LBUTTONDOWN: s += "LBUTTONDOWN"; break;
        case WM_MOUSEMOVE: s += "MOUSEMOVE " + std::to_string(GET_X_LPARAM(lp)) + "," + std::to_string(GET_Y_LPARAM(lp)); break;
        case WM_KEYDOWN: s += "KEYDOWN " + std::to_string(wp); break;
        case WM_KEYUP: s += "KEYUP " + std::to_string(wp); break;
        case WM_CHAR: s += "CHAR " + std::string(1, char(wp)); break;
        default:
            if (m >= WM_USER && m < WM_APP) {
                s += "USER+" + std::to_string(m - WM_USER);
                break;
            }
            return;
        }
        trace.push_back(s);
    }

    void run(const TraceCase& c)
    {
        if (c.arrange) c.arrange(*this, w);
        PvPumpMessages();
        recording = true;
        c.act(*this, w);
        recording = false;
        extra = nullptr;
        EXPECT_EQ(trace, c.expected);
    }
};

std::string caseName(const ::testing::TestParamInfo<TraceCase>& info) { return info.param.name; }

// A point inside a window, in screen coordinates.
POINT at(HWND h, int x, int y)
{
    POINT p {x, y};
    ClientToScreen(h, &p);
    return p;
}

void click(HWND h, int x, int y)
{
    POINT p = at(h, x, y);
    PvInputClick(p.x, p.y);
    PvPumpMessages();
}

// ---- Focus and activation ----
class FocusTrace : public TraceTest {};

TEST_P(FocusTrace, Case) { run(GetParam()); }

const TraceCase kFocusCases[] = {
    {"SetFocusOnADisabledWindowFailsAndLeavesTheFocus",
     [](TraceTest&, const Windows& w) {
         SetFocus(w.V);
         EnableWindow(w.D, FALSE);
     },
     [](TraceTest&, const Windows& w) {
         EXPECT_EQ(SetFocus(w.D), nullptr);
         EXPECT_EQ(GetFocus(), w.V);
     },
     {}},
    {"SetFocusInsideADisabledParentFails",
     [](TraceTest&, const Windows& w) { SetFocus(w.A); EnableWindow(w.V, FALSE); },
     [](TraceTest&, const Windows& w) {
         EXPECT_EQ(SetFocus(w.E), nullptr);
         EXPECT_EQ(GetFocus(), w.A);
     },
     {}},
    {"DisablingSendsCancelModeBeforeEnable",
     [](TraceTest&, const Windows& w) { SetFocus(w.A); },
     [](TraceTest&, const Windows& w) { EnableWindow(w.D, FALSE); },
     {"D CANCELMODE", "D ENABLE 0"}},
    {"DisablingTheCaptureHolderReleasesItThroughCancelMode",
     [](TraceTest&, const Windows& w) { SetCapture(w.D); },
     [](TraceTest&, const Windows& w) {
         EnableWindow(w.D, FALSE);
         EXPECT_EQ(GetCapture(), nullptr);
     },
     {"D CANCELMODE", "D ENABLE 0"}},
    {"ClickOnADisabledChildGoesToItsParent",
     [](TraceTest&, const Windows& w) { SetFocus(w.A); EnableWindow(w.D, FALSE); },
     [](TraceTest&, const Windows& w) { click(w.D, 5, 5); },
     {"A MOUSEMOVE 15,225", "A LBUTTONDOWN"}},
    {"ButtonPressOverAChildNotifiesEveryAncestorInItsOwnCoordinates",
     [](TraceTest&, const Windows& w) { SetFocus(w.A); },
     [](TraceTest&, const Windows& w) { click(w.E, 5, 6); },
     {"E MOUSEMOVE 5,6", "V PARENTNOTIFY lbutton 25,26", "A PARENTNOTIFY lbutton 35,36", "E LBUTTONDOWN"}},
    {"DestroyingTheFocusWindowNotifiesAncestorsAndMovesFocusToItsParent",
     [](TraceTest&, const Windows& w) { SetFocus(w.E); },
     [](TraceTest&, const Windows& w) {
         DestroyWindow(w.E);
         EXPECT_EQ(GetFocus(), w.V);
     },
     {"V PARENTNOTIFY destroy E", "A PARENTNOTIFY destroy E", "E KILLFOCUS V", "V SETFOCUS E", "E DESTROY"}},
    {"DestroyingAHiddenFocusWindowStillMovesFocusToItsParent",
     [](TraceTest&, const Windows& w) {
         ShowWindow(w.E, SW_HIDE);
         SetFocus(w.E); // a hidden window may hold the focus
         SetWindowLong(w.E, GWL_EXSTYLE, WS_EX_NOPARENTNOTIFY);
     },
     [](TraceTest&, const Windows& w) { DestroyWindow(w.E); },
     {"E KILLFOCUS V", "V SETFOCUS E", "E DESTROY"}},
    {"HidingTheFocusWindowMovesFocusToItsParent",
     [](TraceTest&, const Windows& w) { SetFocus(w.E); },
     [](TraceTest&, const Windows& w) {
         ShowWindow(w.E, SW_HIDE);
         EXPECT_EQ(GetFocus(), w.V);
     },
     {"E KILLFOCUS V", "V SETFOCUS E"}},
    {"HidingAnAncestorOfTheFocusMovesFocusToThatAncestorsParent",
     [](TraceTest&, const Windows& w) { SetFocus(w.E); },
     [](TraceTest&, const Windows& w) {
         ShowWindow(w.V, SW_HIDE);
         EXPECT_EQ(GetFocus(), w.A);
     },
     {"E KILLFOCUS A", "A SETFOCUS E"}},
    {"FocusIntoAnotherTopLevelWindowMovesThroughItsActivationWithBothHandles",
     [](TraceTest&, const Windows& w) {
         ShowWindow(w.P, SW_SHOWNA);
         SetFocus(w.E);
     },
     [](TraceTest&, const Windows& w) {
         SetFocus(w.PE);
         EXPECT_EQ(GetActiveWindow(), w.P);
     },
     {"A ACTIVATE off P", "P ACTIVATE on A", "E KILLFOCUS P", "P SETFOCUS E", "P KILLFOCUS PE", "PE SETFOCUS P"}},
    {"ActivatingBackMovesTheFocusFromThePopupWithItsHandle",
     [](TraceTest&, const Windows& w) {
         ShowWindow(w.P, SW_SHOWNA);
         SetFocus(w.PE);
     },
     [](TraceTest&, const Windows& w) { SetActiveWindow(w.A); },
     {"P ACTIVATE off A", "A ACTIVATE on P", "PE KILLFOCUS A", "A SETFOCUS PE"}},
    {"AModalBoxSendsCancelModeToTheActiveWindowBeforeDisablingItsOwner",
     [](TraceTest&, const Windows& w) { SetFocus(w.E); },
     [](TraceTest&, const Windows& w) { MessageBox(w.A, "Text", "Caption", MB_OK); },
     {"A CANCELMODE", "A CANCELMODE", "E KILLFOCUS 0", "A ENABLE 0", "A ACTIVATE off 0", "A ENABLE 1",
      "A ACTIVATE on 0", "A SETFOCUS 0", "A KILLFOCUS E", "E SETFOCUS A"}},
};
INSTANTIATE_TEST_SUITE_P(Documented, FocusTrace, ::testing::ValuesIn(kFocusCases), caseName);

// ---- Message queue and keyboard state ----
class QueueTrace : public TraceTest {};

TEST_P(QueueTrace, Case) { run(GetParam()); }

const TraceCase kQueueCases[] = {
    {"TranslatedCharacterIsPostedAfterWhatKeyTranslationPosted",
     [](TraceTest&, const Windows& w) { SetFocus(w.E); },
     [](TraceTest&, const Windows&) {
         // The framework's key handling runs before TranslateMessage; what it posts comes first.
         PvSetPreTranslateHook([](MSG* m) -> BOOL {
             if (m->message == WM_KEYDOWN) PostMessage(m->hwnd, WM_USER + 1, 0, 0);
             return FALSE;
         });
         PvInputKeyStroke('A');
         MSG m;
         while (PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE) && m.message != WM_QUIT) AfxPumpMessage();
         PvSetPreTranslateHook(nullptr);
     },
     {"E KEYDOWN 65", "E USER+1", "E CHAR a", "E KEYUP 65"}},
    {"TranslatedCharacterIsPostedBeforeTheKeysWindowProcedureRuns",
     [](TraceTest&, const Windows& w) { SetFocus(w.E); },
     [](TraceTest& t, const Windows& w) {
         t.extra = [&](HWND h, UINT m, WPARAM, LPARAM) {
             if (h == w.E && m == WM_KEYDOWN) PostMessage(w.E, WM_USER + 1, 0, 0);
         };
         PvInputKeyStroke('A');
         PvPumpMessages();
     },
     {"E KEYDOWN 65", "E CHAR a", "E USER+1", "E KEYUP 65"}},
    {"PostedKeysAndClicksLeaveTheKeyStateAlone",
     [](TraceTest&, const Windows& w) { SetFocus(w.E); },
     [](TraceTest&, const Windows& w) {
         PostMessage(w.E, WM_KEYDOWN, VK_SHIFT, 0);
         PostMessage(w.E, WM_LBUTTONDOWN, MK_LBUTTON, 0);
         PvPumpMessages();
         EXPECT_GE(GetKeyState(VK_SHIFT), 0);
         EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
         // Real input does move it.
         PvInputKey(VK_SHIFT, true);
         PvPumpMessages();
         EXPECT_LT(GetKeyState(VK_SHIFT), 0);
         PvInputKey(VK_SHIFT, false);
         PvPumpMessages();
     },
     {"E KEYDOWN 16", "E LBUTTONDOWN", "E KEYDOWN 16", "E KEYUP 16"}},
    {"HeadlessMessageBoxRunsItsModalLoopBeforeItAnswers",
     [](TraceTest&, const Windows& w) {
         SetFocus(w.A);
         SetTimer(w.D, 9, 50, nullptr);
     },
     [](TraceTest& t, const Windows& w) {
         static TraceTest* s_t;
         s_t = &t;
         PvSetMessageBoxObserver([](LPCTSTR, UINT) { s_t->trace.push_back("box answered"); });
         PostMessage(w.V, WM_USER + 2, 0, 0);
         PvAdvanceTestClock(60); // the timer is due; nobody has read the queue yet
         t.extra = [&](HWND h, UINT m, WPARAM, LPARAM) {
             if (m == WM_TIMER && h == w.D) {
                 t.trace.push_back("D TIMER while " + std::string(IsWindowEnabled(w.A) ? "enabled" : "disabled"));
                 KillTimer(w.D, 9);
             }
         };
         MessageBox(w.A, "Text", "Caption", MB_OK);
         PvSetMessageBoxObserver(nullptr);
     },
     {"A CANCELMODE", "A CANCELMODE", "A KILLFOCUS 0", "A ENABLE 0", "A ACTIVATE off 0", "V USER+2",
      "D TIMER while disabled", "box answered", "A ENABLE 1", "A ACTIVATE on 0", "A SETFOCUS 0"}},
    {"WmQuitIsRetrievedWhateverTheFilter",
     nullptr,
     [](TraceTest&, const Windows& w) {
         PostQuitMessage(3);
         MSG m {};
         ASSERT_TRUE(PeekMessage(&m, w.E, WM_USER, WM_USER, PM_REMOVE));
         EXPECT_EQ(m.message, UINT(WM_QUIT));
         EXPECT_EQ(m.wParam, WPARAM(3));
     },
     {}},
    {"QueuedMouseMovesCoalesceIntoOne",
     [](TraceTest&, const Windows& w) { SetFocus(w.E); },
     [](TraceTest&, const Windows& w) {
         for (int x = 1; x <= 5; ++x) {
             POINT p = at(w.E, x, 3);
             PvInputMouseMove(p.x, p.y);
         }
         PvPumpMessages();
     },
     {"E MOUSEMOVE 5,3"}},
};
INSTANTIATE_TEST_SUITE_P(Documented, QueueTrace, ::testing::ValuesIn(kQueueCases), caseName);

} // namespace
