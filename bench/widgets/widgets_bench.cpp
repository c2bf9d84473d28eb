// The currency edit and the calculator on the headless desktop: a typed digit and its Backspace
// in an edit holding a short amount and the longest one a double allows (309 integer digits with
// their groups), the edit's repaint, and a calculator keystroke with its repaint.

#include <benchmark/benchmark.h>

#include <cstdlib>

#include "grid/widgets/gxbcalc.h"
#include "grid/widgets/gxbcuredit.h"
#include "platform/win/win.h"

namespace {

struct Desktop {
    CWnd parent;
    Desktop()
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        parent.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr);
        PvPumpMessages();
    }
    ~Desktop()
    {
        parent.DestroyWindow();
        PvResetWindowSystem();
    }
};

// state.range(0): 0 a short amount, 1 the longest finite one.
void CurrencyEditKeystroke(benchmark::State& state)
{
    Desktop desk;
    CGXBCurrencyEdit edit;
    edit.Create(WS_VISIBLE | WS_BORDER, CRect(10, 10, 700, 34), &desk.parent, 1);
    edit.SetFormat(CGXBCurrencyFormat(FALSE));
    edit.SetValue(state.range(0) ? 1.5e308 : 1234.5);
    edit.SetFocus();
    PvPumpMessages();
    for (auto _ : state) {
        edit.SetSel(-1, 0);
        edit.SetSel(2, 2);
        edit.SendMessage(WM_CHAR, '7', 0);
        edit.SendMessage(WM_KEYDOWN, VK_BACK, 0);
        edit.UpdateWindow();
    }
    CString s;
    edit.GetWindowText(s);
    state.counters["chars"] = double(s.GetLength());
}
BENCHMARK(CurrencyEditKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void CurrencyEditPaint(benchmark::State& state)
{
    Desktop desk;
    CGXBCurrencyEdit edit;
    edit.Create(WS_VISIBLE | WS_BORDER, CRect(10, 10, 700, 34), &desk.parent, 1);
    edit.SetValue(state.range(0) ? 1.5e308 : 1234.5);
    for (auto _ : state) {
        edit.Invalidate(FALSE);
        edit.UpdateWindow();
    }
}
BENCHMARK(CurrencyEditPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void CalculatorKeystroke(benchmark::State& state)
{
    Desktop desk;
    CGXBCalculator calc;
    calc.Create(0, WS_CHILD | WS_VISIBLE | GXBCS_RAISEDFRAME, 10, 10, &desk.parent, 2);
    calc.SetFocus();
    for (auto _ : state) {
        calc.SendMessage(WM_CHAR, '7', 0);
        calc.SendMessage(WM_CHAR, 'c', 0);
        calc.UpdateWindow();
    }
}
BENCHMARK(CalculatorKeystroke)->Unit(benchmark::kMicrosecond);

}  // namespace
