// The standard controls with large contents, on the headless desktop: a sorted list box filled
// with 100,000 items, and one keystroke in a 320 KB wrapped paragraph of a multi-line edit.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/controls/controls.h"

namespace {

struct Desktop {
    HWND parent = nullptr;
    Desktop()
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        PvRegisterStandardControls();
        parent = CreateWindowEx(0, WC_STATIC, "", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
        PvPumpMessages();
    }
    ~Desktop() { PvResetWindowSystem(); }
    HWND make(const char* cls, DWORD style, int cx, int cy) const
    {
        HWND h = CreateWindowEx(0, cls, "", style | WS_CHILD | WS_VISIBLE, 0, 0, cx, cy, parent, nullptr, nullptr, nullptr);
        PvPumpMessages();
        return h;
    }
};

// Names in the order a directory would hand them over (sorted), or shuffled.
std::vector<std::string> names(int n, bool shuffled)
{
    std::vector<std::string> v;
    v.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        char buf[32];
        snprintf(buf, sizeof buf, "Person %06d", i);
        v.emplace_back(buf);
    }
    if (shuffled) std::shuffle(v.begin(), v.end(), std::mt19937(7));
    return v;
}

void SortedListBoxInserts(benchmark::State& state)
{
    Desktop desk;
    const std::vector<std::string> items = names(int(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        HWND lb = desk.make(WC_LISTBOX, LBS_SORT | WS_VSCROLL, 200, 400);
        state.ResumeTiming();
        for (const std::string& s : items) SendMessage(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
        PvPumpMessages();
        state.PauseTiming();
        DestroyWindow(lb);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(SortedListBoxInserts)->Args({100000, 0})->Args({100000, 1})->Unit(benchmark::kMillisecond)->Iterations(1);

// One character typed in the middle of a single 320 KB paragraph that wraps into thousands of
// lines; the message and the repaint that follows.
void KeystrokeInLongWrappedParagraph(benchmark::State& state)
{
    Desktop desk;
    std::string para;
    for (int i = 0; para.size() < 320 * 1024; ++i) para += (i % 5 ? "word" : "longerword") + std::to_string(i % 100) + " ";
    HWND e = desk.make(WC_EDIT, ES_MULTILINE | WS_VSCROLL, 400, 300);
    SendMessage(e, EM_LIMITTEXT, 0, 0);
    SetWindowText(e, para.c_str());
    SetFocus(e);
    SendMessage(e, EM_SETSEL, WPARAM(para.size() / 2), LPARAM(para.size() / 2));
    PvPumpMessages();
    state.counters["lines"] = double(SendMessage(e, EM_GETLINECOUNT, 0, 0));
    bool add = true;
    for (auto _ : state) {
        SendMessage(e, WM_CHAR, add ? 'x' : '\b', 1);
        PvPumpMessages();
        add = !add;
    }
}
BENCHMARK(KeystrokeInLongWrappedParagraph)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// The same for the rich edit, at the 64K characters EM_EXLIMITTEXT(0) allows.
void KeystrokeInLongRichText(benchmark::State& state)
{
    Desktop desk;
    std::string para;
    for (int i = 0; para.size() < size_t(state.range(0)); ++i) para += "word" + std::to_string(i % 100) + " ";
    HWND e = desk.make(RICHEDIT_CLASS, ES_MULTILINE | WS_VSCROLL, 400, 300);
    SendMessage(e, EM_EXLIMITTEXT, 0, 0);
    SendMessage(e, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
    SetWindowText(e, para.c_str());
    SetFocus(e);
    SendMessage(e, EM_SETSEL, WPARAM(para.size() / 2), LPARAM(para.size() / 2));
    PvPumpMessages();
    bool add = true;
    for (auto _ : state) {
        SendMessage(e, WM_CHAR, add ? 'x' : '\b', 1);
        PvPumpMessages();
        add = !add;
    }
}
BENCHMARK(KeystrokeInLongRichText)->Arg(8 * 1024)->Arg(60 * 1024)->Unit(benchmark::kMillisecond);

} // namespace
