// Copying 100,000 x 12 cells as table text beside composing those cells' display texts alone
// (the copy may cost at most twice that), and pasting the text into an empty grid with undo on,
// and the Undo of that paste.

#include <benchmark/benchmark.h>

#include <string>

#include "bench_grid_window.h"
#include "grid/core/gxctrl.h"
#include "grid/core/gxstyle.h"
#include "platform/sys/sharedfile.h"

namespace {

constexpr ROWCOL kRows = 100000;
constexpr ROWCOL kCols = 12;

BenchGridWindow& Source()
{
    static BenchGridWindow* g = [] {
        auto* p = new BenchGridWindow(kRows, kCols);
        p->grid->GetParam()->EnableUndo(FALSE);
        for (ROWCOL r = 1; r <= kRows; ++r)
            for (ROWCOL c = 1; c <= kCols; ++c)
                p->grid->SetValueRange(CGXCellRange(r, c), ("v" + std::to_string(r) + "." + std::to_string(c)).c_str(),
                                       gxOverride, 0, GX_NOREDRAW);
        p->grid->m_nClipboardFlags = 0x08;
        return p;
    }();
    return *g;
}

// The text of the whole block, made once.
const std::string& BlockText()
{
    static const std::string s = [] {
        CGXRangeList list;
        list.AddRange(CGXCellRange(1, 1, kRows, kCols));
        CSharedFile file;
        Source().grid->CopyTextToFile(file, list);
        file.Write("", 1);
        std::string t(size_t(file.GetLength()), '\0');
        file.SeekToBegin();
        file.Read(t.data(), UINT(t.size()));
        return t;
    }();
    return s;
}

void BM_ComposeDisplayTexts(benchmark::State& state)
{
    CGXGridCore& grid = *Source().grid;
    for (auto _ : state) {
        size_t n = 0;
        for (ROWCOL r = 1; r <= kRows; ++r)
            for (ROWCOL c = 1; c <= kCols; ++c) {
                CGXStyle* pStyle = grid.NewScratchStyle();
                grid.ComposeCellStyle(r, c, *pStyle, TRUE);
                CString s;
                if (CGXControl* pControl = grid.GetRegisteredControl(pStyle->GetIncludeControl() ? pStyle->GetControl() : WORD(0)))
                    pControl->GetDisplayText(s, r, c, nullptr, *pStyle);
                n += size_t(s.GetLength());
                grid.RecycleStyle(pStyle);
            }
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_ComposeDisplayTexts)->Unit(benchmark::kMillisecond);

void BM_CopyAsText(benchmark::State& state)
{
    CGXGridCore& grid = *Source().grid;
    CGXRangeList list;
    list.AddRange(CGXCellRange(1, 1, kRows, kCols));
    for (auto _ : state) {
        CSharedFile file;
        benchmark::DoNotOptimize(grid.CopyTextToFile(file, list));
        benchmark::DoNotOptimize(file.GetLength());
    }
}
BENCHMARK(BM_CopyAsText)->Unit(benchmark::kMillisecond);

// A fresh empty grid each time (set-up untimed); undo on, as a user's paste has it.
void BM_PasteTextWithUndo(benchmark::State& state)
{
    const std::string& text = BlockText();
    for (auto _ : state) {
        state.PauseTiming();
        auto target = std::make_unique<BenchGridWindow>(1, 1);
        target->grid->m_nClipboardFlags = 0x08;
        state.ResumeTiming();
        benchmark::DoNotOptimize(target->grid->PasteTextFromBuffer(text.c_str(), DWORD(text.size()), CGXCellRange(1, 1)));
        state.PauseTiming();
        target.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PasteTextWithUndo)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_UndoOfThePaste(benchmark::State& state)
{
    const std::string& text = BlockText();
    for (auto _ : state) {
        state.PauseTiming();
        auto target = std::make_unique<BenchGridWindow>(1, 1);
        target->grid->m_nClipboardFlags = 0x08;
        target->grid->PasteTextFromBuffer(text.c_str(), DWORD(text.size()), CGXCellRange(1, 1));
        state.ResumeTiming();
        benchmark::DoNotOptimize(target->grid->Undo());
        state.PauseTiming();
        target.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoOfThePaste)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
