#pragma once
// Internal state of the window system shared by its source files. Not for use outside platform/win.

#include "platform/win/winuser.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;

namespace pvwin {

bool RectEmpty(const RECT& r);

// A set of pixels as disjoint rectangles; small and exact, which is all update regions need.
class Region {
public:
    bool empty() const { return m_rects.empty(); }
    const std::vector<RECT>& rects() const { return m_rects; }
    void clear() { m_rects.clear(); }
    void add(const RECT& r);
    void addDisjoint(const RECT& r) { if (!RectEmpty(r)) m_rects.push_back(r); } // r meets none of the others
    void subtract(const RECT& r);
    void intersect(const RECT& r);
    void offset(int dx, int dy);
    RECT bounds() const;
    bool intersects(const RECT& r) const;

private:
    std::vector<RECT> m_rects;
};

bool RectEmpty(const RECT& r);
RECT RectIntersect(const RECT& a, const RECT& b);
RECT RectOffset(RECT r, int dx, int dy);

struct ScrollBar {
    int nMin = 0;
    int nMax = 100;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
    UINT disabled = 0;   // ESB_* bits
    bool everSet = false;
};

struct ClassRec {
    std::string name;
    WNDCLASS wc {};
    std::string menuName;
};

struct Wnd {
    Wnd() = default;
    Wnd(const Wnd&) = delete;
    Wnd& operator=(const Wnd&) = delete;
    ~Wnd(); // frees the window image of a window still open at exit

    HWND h = nullptr;
    std::string className;
    WNDCLASS wc {};             // copy of the class at creation
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    UINT_PTR id = 0;
    HWND parent = nullptr;      // internal parent; top-level windows hang under the desktop
    HWND owner = nullptr;
    std::vector<HWND> children; // z-order, topmost first
    RECT rc {};                 // window rectangle in the parent's client coordinates
    RECT rcClient {};           // client rectangle relative to the window's top-left corner
    std::string text;
    LONG_PTR userData = 0;
    std::vector<LONG_PTR> extra;
    std::map<std::string, HANDLE> props;
    HMENU menu = nullptr;

    Region update;              // client coordinates
    bool erase = false;
    bool ncDirty = false;
    bool internalPaint = false;
    unsigned paintSerial = 0;   // counts BeginPaint calls, to catch handlers that never validate

    ScrollBar sb[3];            // SB_HORZ, SB_VERT, SB_CTL
    bool destroying = false;
    bool minimized = false;
    bool maximized = false;
    RECT restore {};
    bool redrawOff = false;     // WM_SETREDRAW FALSE

    cairo_surface_t* surface = nullptr; // top-level and pop-up windows own their pixels

    // Where the search for a window to paint resumes among the children: those before it had
    // nothing to paint when the paint state was last the same (see PaintStateChanged).
    size_t paintScanFrom = 0;
    unsigned paintScanGen = 0;
    // Whether any two visible children overlap, as of a layout generation (see LayoutChanged).
    bool childrenOverlap = false;
    unsigned overlapGen = 0;
};

// Something may now need painting (an update region grew, a frame went stale, a window showed).
void PaintStateChanged();
// A window moved, resized, showed, hid or changed its place among its siblings.
void LayoutChanged();

// Window table. Handles are numbers that are never reused, so a stale handle can't alias a new window.
Wnd* W(HWND h);
Wnd* Desktop();
HWND DesktopHandle();
std::vector<HWND> AllWindows();
HWND TopLevelOf(HWND h);        // the window under the desktop that contains h
bool IsTopLevel(const Wnd* w);
bool IsVisibleDeep(HWND h);
POINT ClientOrigin(HWND h);      // screen position of the client area's top-left corner
POINT WindowOrigin(HWND h);      // screen position of the window's top-left corner
RECT ScreenRect(HWND h);
void RecalcClient(Wnd* w);
void InvalidateScreenArea(const RECT& screen, HWND except); // exposes what lies beneath
HWND HitWindow(POINT screenPt, bool skipTransparent);

// Messages
LRESULT Send(HWND h, UINT msg, WPARAM wp, LPARAM lp);
void PostInput(const MSG& m, bool front = false);
bool AnyInputPending();
bool PeekQueue(LPMSG out, HWND filter, UINT lo, UINT hi, UINT remove, bool withInput);
int PumpForModalBox();
void OnWindowDestroyed(HWND h);  // drops timers, queued messages, focus, capture

// Input and focus state
struct InputState {
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    BYTE keys[256] {};      // as of the input message last retrieved (GetKeyState)
    BYTE asyncKeys[256] {}; // as of the newest input event (GetAsyncKeyState)
    POINT cursor {};
    HCURSOR hCursor = nullptr;
    int cursorShow = 0;
    // caret
    HWND caretOwner = nullptr;
    int caretW = 0, caretH = 0;
    POINT caretPos {};
    int caretHide = 1;
    bool caretBlinkOff = false; // the off phase of the blink (the SDL back end blinks)
    // double clicks
    UINT lastDownMsg = 0;
    HWND lastDownWnd = nullptr;
    DWORD lastDownTime = 0;
    POINT lastDownPt {};
    bool nativeText = false;  // the back end delivers typed text itself (no WM_CHAR from printable keys)
};
InputState& Input();
void CancelCaptureOf(HWND topOrAny); // WM_CANCELMODE to the capture window when it lies in this tree
void MoveFocusOffTree(HWND tree);    // the focus inside a window going away goes to its parent
void ParentNotify(HWND child, UINT event, LPARAM lp); // WM_PARENTNOTIFY to the ancestors
void CookOneRawEvent();
void InputDragStep(int x, int y);    // a pointer move that is not merged with the moves around it              // turns the oldest raw event into input messages
void SyncKeyState(const MSG& m);     // a retrieved input message updates GetKeyState
bool RawInputPending();
DWORD Now();

// Painting
void MarkFrameDirty(HWND h);
bool FindPaintWindow(HWND filter, HWND* out);
void ExposeWindow(HWND h);      // invalidate a window and its children completely (shown, moved, resized)
cairo_surface_t* SurfaceFor(HWND h, POINT* originInSurface);
void ResizeSurface(Wnd* w);
void FreeSurface(Wnd* w);
void NcCalcRects(const Wnd* w, RECT* client);  // default non-client layout
LRESULT DefNcHitTest(HWND h, POINT screen);
void DefNcPaint(HWND h);
void DefEraseBackground(HWND h, HDC hdc);
bool ScrollBarRect(const Wnd* w, int bar, RECT* out); // window coordinates
void ScrollBarMouse(HWND h, int bar, UINT msg, POINT screen);
void CaretPaintHide(HWND h);

// Back ends
struct Backend {
    virtual ~Backend() = default;
    virtual const char* name() const = 0;
    // Blocks until something may be pending (input, a due timer). Returns false when nothing can
    // ever arrive (the headless desktop is starved).
    virtual bool wait(DWORD timeoutMs) = 0;
    virtual void poll() {}
    virtual void windowChanged(HWND) {}   // shown, hidden, moved, resized, destroyed
    virtual void present(HWND) {}         // a top-level window's pixels changed
    virtual void setCursor(HCURSOR) {}
    virtual bool clipboardText(std::string*) { return false; }
    virtual void setClipboardText(const std::string&) {}
};
Backend& CurrentBackend();
bool HeadlessMode();

// The time a script's `wait` (or PvAdvanceTime) still allows; false when none is running.
bool TimeBudget(DWORD* remaining);
// A PV_SCRIPT run: nobody is there to answer a native message box.
bool ScriptedRun();
// A PV_SCRIPT run whose every line has run and whose last wait has passed.
bool ScriptExhausted();
void ResetMessageBoxes();
cairo_surface_t* ComposeWindow(HWND top);

// Idle handling: the script runner and the screenshots hook in here.
bool OnIdle();          // true when it produced something to do
void OnQuitRetrieved(); // the program's loop is ending: the exit screenshot, if not taken yet
DWORD NextTimerDue(bool* any);
void FireDueTimers();

} // namespace pvwin
