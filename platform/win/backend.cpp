// Choosing the back end, the headless desktop, idle handling, the PV_SCRIPT runner and the
// PV_SCREENSHOT hook, and the test pump that lets time pass.

#include "platform/win/pvwin.h"
#include "platform/win/wincore.h"
#include "platform/sys/system.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <strings.h>
#include <thread>

namespace pvwin {
std::unique_ptr<Backend> CreateSdlBackend();
void RegisterBuiltinClasses();
void ResetQueue();
void ResetInput();
void ResetClipboard();

namespace {
const DWORD kHeadlessClockStart = 100000;

struct Budget {
    bool active = false;
    DWORD until = 0;
};
Budget g_budget;
HWND g_main = nullptr;
bool g_headless = true;

bool timeReached(DWORD t) { return int32_t(Now() - t) >= 0; }

// Lets time pass up to `until` or the next timer, whichever is first.
void passTime(DWORD until, DWORD timeout)
{
    DWORD now = Now();
    DWORD left = int32_t(until - now) > 0 ? until - now : 0;
    DWORD step = std::min(left, timeout);
    if (PvTestClockActive()) PvAdvanceTestClock(step);
    else if (step) std::this_thread::sleep_for(std::chrono::milliseconds(std::min<DWORD>(step, 50)));
}

// ---- The script of PV_SCRIPT ----
struct Script {
    bool loaded = false;
    std::vector<std::string> lines;
    size_t next = 0;
    bool firstIdle = false;
    bool exitShot = false;
    bool closeSent = false;
    int lineNo = 0;
};
Script g_script;

void loadScript()
{
    if (g_script.loaded) return;
    g_script.loaded = true;
    const char* path = std::getenv("PV_SCRIPT");
    if (!path || !*path) return;
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "PV_SCRIPT: cannot read %s\n", path);
        return;
    }
    std::string line;
    while (std::getline(in, line) && g_script.lines.size() < 100000) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        g_script.lines.push_back(line);
    }
}

void exitScreenshot()
{
    if (g_script.exitShot) return;
    g_script.exitShot = true;
    if (const char* shot = std::getenv("PV_SCREENSHOT"); shot && *shot) PvWriteScreenshot(shot);
}

bool parseInt(const std::string& s, long lo, long hi, long* out)
{
    if (s.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (!end || *end || v < lo || v > hi) return false;
    *out = v;
    return true;
}

UINT keyByName(std::string n)
{
    for (char& c : n) c = char(std::toupper(static_cast<unsigned char>(c)));
    if (n.size() == 1 && (std::isalnum(static_cast<unsigned char>(n[0])))) return UINT(n[0]);
    if (n.size() >= 2 && n[0] == 'F' && std::isdigit(static_cast<unsigned char>(n[1]))) {
        long f;
        if (parseInt(n.substr(1), 1, 24, &f)) return UINT(VK_F1 + f - 1);
    }
    static const struct { const char* name; UINT vk; } names[] = {
        {"ENTER", VK_RETURN}, {"RETURN", VK_RETURN}, {"TAB", VK_TAB}, {"ESC", VK_ESCAPE}, {"ESCAPE", VK_ESCAPE},
        {"SPACE", VK_SPACE}, {"BACKSPACE", VK_BACK}, {"BACK", VK_BACK}, {"DELETE", VK_DELETE}, {"DEL", VK_DELETE},
        {"INSERT", VK_INSERT}, {"INS", VK_INSERT}, {"HOME", VK_HOME}, {"END", VK_END}, {"PAGEUP", VK_PRIOR},
        {"PGUP", VK_PRIOR}, {"PRIOR", VK_PRIOR}, {"PAGEDOWN", VK_NEXT}, {"PGDN", VK_NEXT}, {"NEXT", VK_NEXT},
        {"LEFT", VK_LEFT}, {"RIGHT", VK_RIGHT}, {"UP", VK_UP}, {"DOWN", VK_DOWN}, {"SHIFT", VK_SHIFT},
        {"CTRL", VK_CONTROL}, {"CONTROL", VK_CONTROL}, {"ALT", VK_MENU}, {"MENU", VK_MENU}, {"APPS", VK_APPS},
    };
    for (const auto& k : names)
        if (n == k.name) return k.vk;
    return 0;
}

// Ctrl and Shift held around a mouse action of a script line.
struct Modifiers {
    bool ctrl = false, shift = false;
    bool parse(const std::string& a)
    {
        if (strcasecmp(a.c_str(), "ctrl") == 0) return ctrl = true;
        if (strcasecmp(a.c_str(), "shift") == 0) return shift = true;
        return false;
    }
    // Pressed in this order, released in reverse.
    void press(bool down) const
    {
        if (down) {
            if (ctrl) PvInputKey(VK_CONTROL, true);
            if (shift) PvInputKey(VK_SHIFT, true);
        } else {
            if (shift) PvInputKey(VK_SHIFT, false);
            if (ctrl) PvInputKey(VK_CONTROL, false);
        }
    }
};

bool g_lineFailed = false;

void scriptError(const char* what)
{
    g_lineFailed = true;
    if (g_script.lineNo > 0) std::fprintf(stderr, "PV_SCRIPT line %d: %s\n", g_script.lineNo, what);
    else std::fprintf(stderr, "script line: %s\n", what);
}

void runLine(const std::string& line)
{
    std::istringstream is(line);
    std::string cmd;
    is >> cmd;
    std::vector<std::string> args;
    for (std::string a; is >> a;) args.push_back(a);
    const long kCoord = 100000;
    long v[4] = {0, 0, 0, 0};
    auto ints = [&](size_t n, long lo, long hi) {
        if (args.size() < n) return false;
        for (size_t i = 0; i < n; ++i)
            if (!parseInt(args[i], lo, hi, &v[i])) return false;
        return true;
    };
    if (cmd.empty() || cmd[0] == '#') return;
    if (cmd == "key") {
        if (args.empty()) return scriptError("key needs a name");
        UINT vk = keyByName(args[0]);
        if (!vk) return scriptError("unknown key name");
        bool ctrl = false, shift = false, alt = false;
        for (size_t i = 1; i < args.size(); ++i) {
            if (strcasecmp(args[i].c_str(), "ctrl") == 0) ctrl = true;
            else if (strcasecmp(args[i].c_str(), "shift") == 0) shift = true;
            else if (strcasecmp(args[i].c_str(), "alt") == 0) alt = true;
            else return scriptError("unknown key modifier");
        }
        PvInputKeyStroke(vk, ctrl, shift, alt);
    } else if (cmd == "char") {
        size_t at = line.find("char");
        std::string text = line.substr(at + 4);
        if (!text.empty() && text[0] == ' ') text.erase(0, 1);
        PvInputText(text.c_str());
    } else if (cmd == "click") {
        if (!ints(2, -kCoord, kCoord)) return scriptError("click needs X Y");
        int button = PV_BUTTON_LEFT;
        bool dbl = false;
        Modifiers mods;
        for (size_t i = 2; i < args.size(); ++i) {
            if (args[i] == "right") button = PV_BUTTON_RIGHT;
            else if (args[i] == "middle") button = PV_BUTTON_MIDDLE;
            else if (args[i] == "double") dbl = true;
            else if (!mods.parse(args[i])) return scriptError("unknown click option");
        }
        mods.press(true);
        PvInputClick(int(v[0]), int(v[1]), button, dbl);
        mods.press(false);
    } else if (cmd == "press" || cmd == "release") {
        if (!ints(2, -kCoord, kCoord)) return scriptError("press and release need X Y");
        Modifiers mods;
        for (size_t i = 2; i < args.size(); ++i)
            if (!mods.parse(args[i])) return scriptError("unknown press option");
        const bool down = cmd == "press";
        // A held button moves with the pointer, as a drag does, so that its window keeps hearing it.
        if (down) PvInputMouseMove(int(v[0]), int(v[1]));
        else InputDragStep(int(v[0]), int(v[1]));
        mods.press(true);
        PvInputMouseButton(PV_BUTTON_LEFT, down);
        mods.press(false);
    } else if (cmd == "move") {
        if (!ints(2, -kCoord, kCoord)) return scriptError("move needs X Y");
        PvInputMouseMove(int(v[0]), int(v[1]));
    } else if (cmd == "drag") {
        if (!ints(4, -kCoord, kCoord)) return scriptError("drag needs X1 Y1 X2 Y2");
        Modifiers mods;
        for (size_t i = 4; i < args.size(); ++i)
            if (!mods.parse(args[i])) return scriptError("unknown drag option");
        PvInputMouseMove(int(v[0]), int(v[1]));
        mods.press(true);
        PvInputMouseButton(PV_BUTTON_LEFT, true);
        const int steps = 8;
        for (int i = 1; i <= steps; ++i)
            InputDragStep(int(v[0] + (v[2] - v[0]) * i / steps), int(v[1] + (v[3] - v[1]) * i / steps));
        PvInputMouseButton(PV_BUTTON_LEFT, false);
        mods.press(false);
    } else if (cmd == "wheel") {
        if (!ints(3, -kCoord, kCoord) || v[2] < -1000 || v[2] > 1000) return scriptError("wheel needs X Y NOTCHES");
        PvInputMouseMove(int(v[0]), int(v[1]));
        PvInputWheel(int(v[0]), int(v[1]), int(v[2] * WHEEL_DELTA));
    } else if (cmd == "wait") {
        if (!ints(1, 0, 3600000)) return scriptError("wait needs milliseconds");
        g_budget.active = true;
        g_budget.until = Now() + DWORD(v[0]);
    } else if (cmd == "screenshot") {
        if (args.empty()) return scriptError("screenshot needs a file");
        size_t at = line.find("screenshot");
        std::string file = line.substr(at + 10);
        while (!file.empty() && file[0] == ' ') file.erase(0, 1);
        if (!PvWriteScreenshot(file.c_str())) scriptError("screenshot could not be written");
    } else if (cmd == "quit") {
        exitScreenshot();
        HWND main = PvGetMainWindow();
        g_script.closeSent = true;
        if (main) PostMessage(main, WM_CLOSE, 0, 0);
        else PostQuitMessage(0);
    } else {
        scriptError("unknown command");
    }
}

// ---- Headless ----
class HeadlessBackend : public Backend {
public:
    const char* name() const override { return "headless"; }
    bool wait(DWORD timeout) override
    {
        if (g_budget.active) {
            passTime(g_budget.until, timeout);
            if (timeReached(g_budget.until)) g_budget.active = false;
            return true;
        }
        // Nothing can ever arrive: no input, no script, no time passing. End the program the
        // way a user would: close its main window, and if that does not end it, quit.
        exitScreenshot();
        HWND main = PvGetMainWindow();
        if (main && !g_script.closeSent) {
            g_script.closeSent = true;
            PostMessage(main, WM_CLOSE, 0, 0);
        } else {
            PostQuitMessage(0);
        }
        return false;
    }
};

std::unique_ptr<Backend>& BackendPtr()
{
    static std::unique_ptr<Backend> b;
    return b;
}
bool g_initialising = false;
} // namespace

Backend& CurrentBackend()
{
    auto& b = BackendPtr();
    if (b) return *b;
    if (g_initialising) {
        static HeadlessBackend bootstrap;
        return bootstrap;
    }
    g_initialising = true;
    const char* want = std::getenv("PV_BACKEND");
    bool display = (std::getenv("DISPLAY") && *std::getenv("DISPLAY")) ||
                   (std::getenv("WAYLAND_DISPLAY") && *std::getenv("WAYLAND_DISPLAY"));
    bool sdl = want ? strcasecmp(want, "sdl") == 0 : display;
    if (want && strcasecmp(want, "headless") != 0 && strcasecmp(want, "sdl") != 0)
        std::fprintf(stderr, "PV_BACKEND=%s is not known; using the headless back end\n", want);
    if (sdl) {
        b = CreateSdlBackend();
        if (!b) std::fprintf(stderr, "The display could not be opened; using the headless back end\n");
    }
    if (!b) {
        b = std::make_unique<HeadlessBackend>();
        if (!PvTestClockActive()) PvSetTestClock(kHeadlessClockStart);
    }
    g_headless = std::strcmp(b->name(), "headless") == 0;
    RegisterBuiltinClasses();
    loadScript();
    g_initialising = false;
    return *b;
}

bool HeadlessMode()
{
    CurrentBackend();
    return g_headless;
}

void OnQuitRetrieved() { exitScreenshot(); }

bool ScriptExhausted()
{
    CurrentBackend();
    if (g_script.lines.empty() || g_script.next < g_script.lines.size()) return false;
    return !TimeBudget(nullptr);
}

bool ScriptedRun()
{
    CurrentBackend();
    return !g_script.lines.empty();
}

bool TimeBudget(DWORD* remaining)
{
    if (!g_budget.active) return false;
    if (timeReached(g_budget.until)) {
        g_budget.active = false;
        return false;
    }
    if (remaining) *remaining = g_budget.until - Now();
    return true;
}

bool OnIdle()
{
    if (!g_script.firstIdle) {
        g_script.firstIdle = true;
        if (const char* shot = std::getenv("PV_SCREENSHOT"); shot && *shot) PvWriteScreenshot(shot);
    }
    if (g_budget.active) return false;
    while (g_script.next < g_script.lines.size()) {
        g_script.lineNo = int(g_script.next) + 1;
        std::string line = g_script.lines[g_script.next++];
        size_t s = line.find_first_not_of(" \t");
        if (s == std::string::npos || line[s] == '#') continue;
        runLine(line.substr(s));
        return true;
    }
    return false;
}

} // namespace pvwin

using namespace pvwin;

void PvInitWindowSystem() { CurrentBackend(); }

bool PvRunScriptLine(const char* line)
{
    CurrentBackend();
    if (!line) return false;
    std::string l(line);
    size_t s = l.find_first_not_of(" \t");
    if (s == std::string::npos) return true;
    g_lineFailed = false;
    int saved = g_script.lineNo;
    g_script.lineNo = 0;
    runLine(l.substr(s));
    g_script.lineNo = saved;
    return !g_lineFailed;
}
const char* PvBackendName() { return CurrentBackend().name(); }
bool PvIsHeadless() { return HeadlessMode(); }

void PvSetMainWindow(HWND h) { g_main = h; }

HWND PvGetMainWindow()
{
    if (g_main && IsWindow(g_main)) return g_main;
    for (HWND t : Desktop()->children) {
        Wnd* w = W(t);
        if (w && (w->style & WS_VISIBLE) && !w->owner && !(w->exStyle & WS_EX_TOOLWINDOW)) return t;
    }
    return nullptr;
}

void PvResetWindowSystem()
{
    CurrentBackend();
    for (int round = 0; round < 4 && !Desktop()->children.empty(); ++round) {
        std::vector<HWND> tops = Desktop()->children;
        for (HWND t : tops) DestroyWindow(t);
    }
    ResetQueue();
    ResetInput();
    ResetClipboard();
    ResetMessageBoxes();
    g_main = nullptr;
    g_budget = Budget {};
    g_script.closeSent = false;
    if (HeadlessMode()) PvSetTestClock(kHeadlessClockStart);
}

void PvAdvanceTime(DWORD ms)
{
    CurrentBackend();
    Budget saved = g_budget;
    DWORD until = Now() + ms;
    g_budget = Budget {true, until};
    for (;;) {
        PvPumpMessages();
        if (timeReached(until)) break;
        bool any = false;
        DWORD next = NextTimerDue(&any);
        passTime(until, any ? std::max<DWORD>(next, 1) : 0xFFFFFFFF);
    }
    PvPumpMessages();
    g_budget = saved;
    if (g_budget.active && timeReached(g_budget.until)) g_budget.active = false;
}
