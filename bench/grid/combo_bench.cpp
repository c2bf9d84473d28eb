// Drawing a screen's column of 60 tabbed combo cells over a 5,000-line choice list, with and
// without a unique choice-list id, beside 60 text cells showing the same texts. With an id the
// cells turn their keys into texts through the shared maps, without scanning the list.

#include <benchmark/benchmark.h>

#include "bench/grid/bench_grid_window.h"
#include "bench/support/headless_main.h"
#include "grid/controls/gxtabcombo.h"
#include "grid/core/gxfactory.h"
#include "platform/gdi/gdi.h"

namespace {

constexpr ROWCOL kRows = 1000, kShown = 60, kCol = 2;
constexpr int kLines = 5000;

CString ChoiceList()
{
    CString s = "Key\tName\tGroup";
    for (int i = 0; i < kLines; ++i) {
        CString line;
        line.Format("\n%d\tName %d\tGroup %d", i, i, i % 7);
        s += line;
    }
    return s;
}

enum Kind { kText, kTabbedNoId, kTabbedId };
const char* const kNames[] = {"text cells", "tabbed, no id", "tabbed, unique id"};

void BM_DrawTabbedColumn(benchmark::State& state)
{
    const Kind kind = Kind(state.range(0));
    BenchGridWindow w(kRows, 4);
    const CString sList = ChoiceList();
    for (ROWCOL n = 0; n < kShown; ++n) {
        CGXStyle style;
        CString sKey, sText;
        // Keys from the list's far end: a scan finds each late.
        sKey.Format("%d", int(kLines - 1 - n));
        sText.Format("Name %d", int(kLines - 1 - n));
        if (kind == kText) {
            style.SetControl(WORD(GX_IDS_CTRL_EDIT)).SetValue(sText);
        } else {
            style.SetControl(WORD(GX_IDS_CTRL_TABBED_COMBOBOX)).SetValue(sKey).SetChoiceList(sList);
            style.SetUserAttribute(GX_IDS_UA_TABLIST_KEYCOL, "0").SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, "1");
            style.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "1");
            if (kind == kTabbedId)
                style.SetUserAttribute(GX_IDS_UA_TABLIST_UNIQUEID, "42");
        }
        w.grid->SetStyleRange(CGXCellRange(2 + n, kCol), style, gxOverride, 0, GX_NOREDRAW);
    }
    CGXControl* pControl = w.grid->GetRegisteredControl(WORD(kind == kText ? GX_IDS_CTRL_EDIT : GX_IDS_CTRL_TABBED_COMBOBOX));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bm;
    bm.CreateBitmap(1280, 1000, 1, 32, nullptr);
    CBitmap* pOld = dc.SelectObject(&bm);
    for (auto _ : state) {
        for (ROWCOL n = 0; n < kShown; ++n) {
            const CRect rect(100, int(n) * 16, 300, int(n) * 16 + 16);
            pControl->Draw(&dc, rect, 2 + n, kCol, w.grid->GetCellStyleCached(2 + n, kCol), nullptr);
        }
    }
    dc.SelectObject(pOld);
    state.SetLabel(kNames[kind]);
    state.SetItemsProcessed(int64_t(state.iterations()) * kShown);
}
BENCHMARK(BM_DrawTabbedColumn)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return PvBenchMain(argc, argv); }
