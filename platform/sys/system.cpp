#include "platform/sys/system.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

// ---- clock ----
std::atomic<bool> g_testClockOn { false };
std::atomic<DWORD> g_testClock { 0 };

uint64_t monotonicMs()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

// ---- metrics ----
constexpr int kNoOverride = INT_MIN;
constexpr int kMetricSlots = SM_CMETRICS + 1;

struct MetricOverrides {
    std::array<std::atomic<int>, kMetricSlots> slots;
    MetricOverrides()
    {
        for (auto& v : slots)
            v.store(kNoOverride);
    }
};

std::array<std::atomic<int>, kMetricSlots>& metricOverrides()
{
    static MetricOverrides overrides;
    return overrides.slots;
}

// PV_SCREEN is "WIDTHxHEIGHT"; anything malformed or absurd falls back to 1280x1024.
SIZE screenSize()
{
    SIZE def { 1280, 1024 };
    const char* env = std::getenv("PV_SCREEN");
    if (!env || !*env)
        return def;
    char* end = nullptr;
    errno = 0;
    long w = std::strtol(env, &end, 10);
    if (errno || end == env || (*end != 'x' && *end != 'X'))
        return def;
    const char* h0 = end + 1;
    long h = std::strtol(h0, &end, 10);
    if (errno || end == h0 || *end != '\0')
        return def;
    if (w < 64 || h < 64 || w > 32768 || h > 32768)
        return def;
    return SIZE { static_cast<LONG>(w), static_cast<LONG>(h) };
}

constexpr int kCaption = 19;
constexpr int kTaskbar = 28;

int classicMetric(int n, SIZE scr)
{
    switch (n) {
    case SM_CXSCREEN: case SM_CXVIRTUALSCREEN: case SM_CXFULLSCREEN: return scr.cx;
    case SM_CYSCREEN: case SM_CYVIRTUALSCREEN: return scr.cy;
    case SM_CYFULLSCREEN: return scr.cy - kCaption - kTaskbar;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL:
    case SM_CYVTHUMB: case SM_CXHTHUMB:
        return 16;
    case SM_CYCAPTION: case SM_CYMENU: return kCaption;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CYSMCAPTION: return 15;
    case SM_CXSMSIZE: case SM_CYSMSIZE: return 12;
    case SM_CXSIZE: case SM_CYSIZE: case SM_CXMENUSIZE: case SM_CYMENUSIZE: return 18;
    case SM_MOUSEPRESENT: case SM_MOUSEWHEELPRESENT: case SM_CMONITORS: case SM_SAMEDISPLAYFORMAT:
        return 1;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_CXMIN: case SM_CXMINTRACK: return 112;
    case SM_CYMIN: case SM_CYMINTRACK: return 27;
    case SM_CXMINIMIZED: return 160;
    case SM_CYMINIMIZED: return 24;
    case SM_CXMINSPACING: return 160;
    case SM_CYMINSPACING: return 24;
    case SM_CXMAXTRACK: return scr.cx + 12;
    case SM_CYMAXTRACK: return scr.cy + 12;
    case SM_CXMAXIMIZED: return scr.cx + 8;
    case SM_CYMAXIMIZED: return scr.cy - kTaskbar + 8;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_CXICONSPACING: case SM_CYICONSPACING: return 75;
    case SM_CXMENUCHECK: case SM_CYMENUCHECK: return 13;
    case SM_ARRANGE: return 8;
    default: return 0;
    }
}

// ---- colours ----
constexpr COLORREF kClassicColors[PV_SYSCOLOR_COUNT] = {
    RGB(192, 192, 192), // scroll bar
    RGB(0, 128, 128),   // desktop
    RGB(0, 0, 128),     // active caption
    RGB(128, 128, 128), // inactive caption
    RGB(192, 192, 192), // menu
    RGB(255, 255, 255), // window
    RGB(0, 0, 0),       // window frame
    RGB(0, 0, 0),       // menu text
    RGB(0, 0, 0),       // window text
    RGB(255, 255, 255), // caption text
    RGB(192, 192, 192), // active border
    RGB(192, 192, 192), // inactive border
    RGB(128, 128, 128), // application workspace
    RGB(0, 0, 128),     // highlight
    RGB(255, 255, 255), // highlight text
    RGB(192, 192, 192), // button face
    RGB(128, 128, 128), // button shadow
    RGB(128, 128, 128), // grey text
    RGB(0, 0, 0),       // button text
    RGB(192, 192, 192), // inactive caption text
    RGB(255, 255, 255), // button highlight
    RGB(0, 0, 0),       // 3-D dark shadow
    RGB(223, 223, 223), // 3-D light
    RGB(0, 0, 0),       // tooltip text
    RGB(255, 255, 225), // tooltip background
    RGB(180, 180, 180), // (unnamed)
    RGB(0, 0, 255),     // hot-tracked item
    RGB(16, 132, 208),  // active caption gradient
    RGB(181, 181, 181), // inactive caption gradient
    RGB(0, 0, 128),     // menu highlight
    RGB(192, 192, 192), // menu bar
};

struct SysColors {
    std::array<std::atomic<COLORREF>, PV_SYSCOLOR_COUNT> slots;
    SysColors()
    {
        for (int i = 0; i < PV_SYSCOLOR_COUNT; ++i)
            slots[i].store(kClassicColors[i]);
    }
};

std::array<std::atomic<COLORREF>, PV_SYSCOLOR_COUNT>& sysColors()
{
    static SysColors colors;
    return colors.slots;
}

std::atomic<UINT> g_wheelLines { 3 };

} // namespace

DWORD GetLastError() { return t_lastError; }
void SetLastError(DWORD dwErrCode) { t_lastError = dwErrCode; }

DWORD GetTickCount()
{
    if (g_testClockOn.load())
        return g_testClock.load();
    return static_cast<DWORD>(monotonicMs());
}

void Sleep(DWORD dwMilliseconds)
{
    if (g_testClockOn.load()) {
        g_testClock.fetch_add(dwMilliseconds);
        return;
    }
    timespec req { static_cast<time_t>(dwMilliseconds / 1000), static_cast<long>(dwMilliseconds % 1000) * 1000000L };
    while (nanosleep(&req, &req) == -1 && errno == EINTR) {
    }
}

void PvSetTestClock(DWORD ms)
{
    g_testClock.store(ms);
    g_testClockOn.store(true);
}

void PvAdvanceTestClock(DWORD ms) { g_testClock.fetch_add(ms); }
void PvClearTestClock() { g_testClockOn.store(false); }
bool PvTestClockActive() { return g_testClockOn.load(); }

DWORD GetVersion()
{
    return (2600u << 16) | (1u << 8) | 5u;
}

int MulDiv(int nNumber, int nNumerator, int nDenominator)
{
    if (nDenominator == 0)
        return -1;
    long long p = static_cast<long long>(nNumber) * nNumerator;
    long long d = nDenominator;
    bool negative = (p < 0) != (d < 0);
    unsigned long long up = static_cast<unsigned long long>(p < 0 ? -p : p);
    unsigned long long ud = static_cast<unsigned long long>(d < 0 ? -d : d);
    unsigned long long q = (up + ud / 2) / ud;
    if (q > static_cast<unsigned long long>(INT_MAX) + (negative ? 1u : 0u))
        return -1;
    return negative ? static_cast<int>(-static_cast<long long>(q)) : static_cast<int>(q);
}

int GetSystemMetrics(int nIndex)
{
    if (nIndex >= 0 && nIndex < kMetricSlots) {
        int v = metricOverrides()[nIndex].load();
        if (v != kNoOverride)
            return v;
    }
    SIZE scr = screenSize();
    // The derived screen figures follow an overridden screen size.
    int ocx = metricOverrides()[SM_CXSCREEN].load();
    int ocy = metricOverrides()[SM_CYSCREEN].load();
    if (ocx != kNoOverride)
        scr.cx = ocx;
    if (ocy != kNoOverride)
        scr.cy = ocy;
    return classicMetric(nIndex, scr);
}

void PvSetSystemMetric(int nIndex, int value)
{
    if (nIndex >= 0 && nIndex < kMetricSlots)
        metricOverrides()[nIndex].store(value == kNoOverride ? kNoOverride + 1 : value);
}

void PvResetSystemMetrics()
{
    for (auto& v : metricOverrides())
        v.store(kNoOverride);
}

namespace {
bool g_hasWorkArea = false;
RECT g_workArea {};

RECT workArea()
{
    if (g_hasWorkArea)
        return g_workArea;
    return RECT { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - kTaskbar };
}
} // namespace

void PvSetWorkArea(const RECT* pRect)
{
    g_hasWorkArea = pRect && pRect->right > pRect->left && pRect->bottom > pRect->top;
    if (g_hasWorkArea)
        g_workArea = *pRect;
}

DWORD GetSysColor(int nIndex)
{
    if (nIndex < 0 || nIndex >= PV_SYSCOLOR_COUNT)
        return 0;
    return sysColors()[nIndex].load();
}

void PvSetSysColor(int nIndex, COLORREF color)
{
    if (nIndex >= 0 && nIndex < PV_SYSCOLOR_COUNT)
        sysColors()[nIndex].store(color);
}

void PvResetSysColors()
{
    for (int i = 0; i < PV_SYSCOLOR_COUNT; ++i)
        sysColors()[i].store(kClassicColors[i]);
}

BOOL SystemParametersInfo(UINT uiAction, UINT uiParam, LPVOID pvParam, UINT fWinIni)
{
    (void)fWinIni;
    switch (uiAction) {
    case SPI_GETWHEELSCROLLLINES:
        if (!pvParam)
            return FALSE;
        *static_cast<UINT*>(pvParam) = g_wheelLines.load();
        return TRUE;
    case SPI_SETWHEELSCROLLLINES:
        g_wheelLines.store(uiParam);
        return TRUE;
    case SPI_GETWORKAREA: {
        if (!pvParam)
            return FALSE;
        *static_cast<RECT*>(pvParam) = workArea();
        return TRUE;
    }
    default:
        return FALSE;
    }
}
