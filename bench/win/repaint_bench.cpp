// Repainting a window with many children (a sheet of cells made of windows): the cost must grow
// with the number of children, not with its square.

#include "platform/win/win.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

LRESULT cellProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        RECT r;
        GetClientRect(h, &r);
        CDC::FromHandle(dc)->FillSolidRect(&r, RGB(200, 220, 240));
        EndPaint(h, &ps);
        return 0;
    }
    return DefWindowProc(h, m, w, l);
}

void BM_RepaintChildren(benchmark::State& state)
{
    setenv("PV_BACKEND", "headless", 1);
    PvResetWindowSystem();
    WNDCLASS wc {};
    wc.lpfnWndProc = &cellProc;
    wc.lpszClassName = "BenchCell";
    RegisterClass(&wc);
    wc.lpfnWndProc = &DefWindowProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1));
    wc.lpszClassName = "BenchSheet";
    RegisterClass(&wc);
    const int n = int(state.range(0));
    const int cols = 100;
    HWND top = CreateWindowEx(0, "BenchSheet", "Sheet", WS_POPUP | WS_VISIBLE, 0, 0, 1200, 1000, nullptr, nullptr,
                              nullptr, nullptr);
    for (int i = 0; i < n; ++i) {
        int x = (i % cols) * 12, y = (i / cols) * 9;
        CreateWindowEx(0, "BenchCell", "", WS_CHILD | WS_VISIBLE, x, y % 1000, 11, 8, top, nullptr, nullptr, nullptr);
    }
    PvPumpMessages();
    for (auto _ : state) {
        RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        benchmark::DoNotOptimize(PvPumpMessages());
    }
    state.SetComplexityN(n);
    DestroyWindow(top);
    PvResetWindowSystem();
}
BENCHMARK(BM_RepaintChildren)->Arg(1000)->Arg(2500)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace
