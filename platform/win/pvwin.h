#pragma once
// The window system's own interface beyond the classic one: choosing the back end, driving input
// from tests and scripts, pumping messages in tests, screenshots and the framework's hooks.

#include "platform/win/winuser.h"

// ---- Back ends ----
// Chooses the back end once: PV_BACKEND=headless or sdl; otherwise SDL2 when a display exists.
// Every window function initialises it on first use, so calling this is optional.
void PvInitWindowSystem();
const char* PvBackendName();      // "headless" or "sdl"
bool PvIsHeadless();
// Tests: destroys every window, empties the queue, forgets timers, focus, capture and key state,
// and restarts the headless clock.
void PvResetWindowSystem();

// The window the harness closes for the `quit` script line and when a headless program has
// nothing left to do. Defaults to the first visible top-level window without an owner.
void PvSetMainWindow(HWND hWnd);
HWND PvGetMainWindow();

// ---- Input, as the user would give it (screen coordinates; virtual-key codes) ----
#define PV_BUTTON_LEFT 0
#define PV_BUTTON_RIGHT 1
#define PV_BUTTON_MIDDLE 2
void PvInputMouseMove(int x, int y);
void PvInputMouseButton(int button, bool down);
void PvInputWheel(int x, int y, int delta);           // delta in WHEEL_DELTA units of 120 per notch
void PvInputKey(UINT vk, bool down);
void PvInputText(const char* utf8);                   // WM_CHAR per character (Unicode code point)
// Conveniences: move there, then press and release (twice for a double click).
void PvInputClick(int x, int y, int button = PV_BUTTON_LEFT, bool doubleClick = false);
// Presses the modifiers, the key, releases them in reverse order.
void PvInputKeyStroke(UINT vk, bool ctrl = false, bool shift = false, bool alt = false);

// Runs one line of the PV_SCRIPT grammar now (key, char, click, move, drag, wheel, wait, screenshot,
// quit); the input it gives is queued like the user's. False when the line is not understood.
bool PvRunScriptLine(const char* line);

// Tests: while set, OpenClipboard fails, as it does while another program holds the clipboard.
void PvSetClipboardFails(bool fails);

// How many times the program has beeped (MessageBeep); a desktop without sound only counts.
int PvBeepCount();

// Program cursors (resource ids) are shown as one of the system shapes (IDC_*).
// Test hook: whether any part of the rectangle (client coordinates) waits to be painted.
bool PvIsRectInvalid(HWND hWnd, const RECT& rect);
void PvRegisterCursorResource(UINT nID, LPCTSTR lpszSystemShape);

// ---- Message pumping for tests ----
// Dispatches everything pending (posted and input messages, paints, due timers) without waiting.
// Answers how many messages were dispatched.
int PvPumpMessages();
// Lets `ms` milliseconds of (headless: test-clock) time pass, firing timers as they fall due and
// pumping messages in between.
void PvAdvanceTime(DWORD ms);

// ---- Screenshots ----
// Writes the desktop (every visible top-level and pop-up window, in z-order) as a PNG file.
bool PvWriteScreenshot(const char* path);

// ---- Hooks for the framework layer ----
// Called for every new window before its first message, and after its last (WM_NCDESTROY).
typedef void (*PvCreateHook)(HWND);
typedef void (*PvDestroyHook)(HWND);
void PvSetCreateHook(PvCreateHook hook);
void PvSetDestroyHook(PvDestroyHook hook);
// The message box the back end shows (the framework may draw its own). Headless runs never call
// it: they log and answer from PV_MSGBOX_LOG and PV_MSGBOX_ANSWERS.
typedef int (*PvMessageBoxImpl)(HWND hOwner, LPCTSTR text, LPCTSTR caption, UINT type);
void PvSetMessageBoxImpl(PvMessageBoxImpl impl);
// Tests: called with every headless box just before it is answered, so a test can change the
// world the way a user would while the box is up (free a locked file, insert the CD).
typedef void (*PvMessageBoxObserver)(LPCTSTR text, UINT type);
void PvSetMessageBoxObserver(PvMessageBoxObserver observer);
// Called whenever the program goes idle (queue empty) before the back end waits.
typedef void (*PvIdleHook)();
void PvSetIdleHook(PvIdleHook hook);

