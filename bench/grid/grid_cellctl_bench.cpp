// Drawing a screen's column of 60 cells of each kind of cell control (check box, radio buttons,
// progress bar, push button, spin and password edits, bitmap field, list box, the system combo boxes
// and their multi-column kinds, masked edit, currency, date and time) into a 1280 x 1000 memory
// DC, at the top of a grid of 100,000 rows and at row 50,000: the cost per column must not grow
// with the row count.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/grid/bench_grid_window.h"
#include "bench/support/headless_main.h"
#include "grid/controls/gxdatetime.h"
#include "grid/controls/gxmaskctl.h"
#include "grid/controls/gxprogress.h"
#include "grid/controls/gxradio.h"
#include "grid/controls/gxtabcombo.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxuattr.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/ole.h"

namespace {

constexpr ROWCOL kRows = 100000, kShown = 60, kCol = 2;

struct Kind {
    const char* name;
    UINT nID;
};
const Kind kKinds[] = {
    {"CheckBox", GX_IDS_CTRL_CHECKBOX},   {"CheckBox3d", GX_IDS_CTRL_CHECKBOX3D}, {"Radio", GX_IDS_CTRL_RADIOBTN},
    {"Radio3d", GX_IDS_CTRL_RADIOBTN3D},  {"Progress", GX_IDS_CTRL_PROGRESS},     {"Pushbutton", GX_IDS_CTRL_PUSHBTN},
    {"Spin", GX_IDS_CTRL_SPINEDIT},       {"Password", GX_IDS_CTRL_PASSWORD},     {"Bitmap", GX_IDS_CTRL_DAOBITMAP},
    {"ListBox", GX_IDS_CTRL_LISTBOX},
    {"WndCombo", GX_IDS_CTRL_CBS_DROPDOWN},  {"WndList", GX_IDS_CTRL_CBS_DROPDOWNLIST},
    {"WndTabbed", GX_IDS_CTRL_CBS_TABBED_DROPDOWN}, {"WndTabbedList", GX_IDS_CTRL_CBS_TABBED_DROPDOWNLIST},
    {"Mask", GX_IDS_CTRL_MASKEDIT},       {"Currency", GX_IDS_CTRL_CURRENCY},     {"Date", GX_IDS_CTRL_DATETIME},
    {"Time", GX_IDS_CTRL_DATETIMENOCAL},
};

std::vector<BYTE> PictureFile()
{
    constexpr int w = 16, h = 12;
    std::vector<BYTE> f(54 + size_t(w) * 3 * h, 0x80);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&f[at], &v, 4); };
    std::memset(f.data(), 0, 54);
    f[0] = 'B';
    f[1] = 'M';
    put32(2, uint32_t(f.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    f[26] = 1;
    f[28] = 24;
    return f;
}

void BM_DrawControlColumn(benchmark::State& state)
{
    const Kind& kind = kKinds[state.range(0)];
    const ROWCOL nTop = ROWCOL(state.range(1));
    BenchGridWindow w(kRows, 4);
    CGXStyle style;
    style.SetControl(WORD(kind.nID)).SetValue("1").SetChoiceList("Red\nGreen\nBlue");
    if (kind.nID == GX_IDS_CTRL_CBS_TABBED_DROPDOWN || kind.nID == GX_IDS_CTRL_CBS_TABBED_DROPDOWNLIST) {
        // Keys to names: each cell shows "Red".
        style.SetChoiceList("ID\tName\n1\tRed\n2\tGreen\n3\tBlue");
        style.SetUserAttribute(GX_IDS_UA_TABLIST_KEYCOL, "0").SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, "1");
        style.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "1");
    }
    style.SetUserAttribute(GX_IDS_UA_PROGRESS_LOWER, "0").SetUserAttribute(GX_IDS_UA_PROGRESS_UPPER, "3");
    style.SetUserAttribute(GX_IDS_UA_PROGRESS_CAPTION, "%ld of 3");
    CGXOleVarUserAttribute picture;
    picture.SetVariant(COleVariant(PictureFile()));
    style.SetUserAttribute(52794, picture);
    style.SetUserAttribute(GX_IDS_UA_INPUTMASK, "(###) ###-####");
    style.SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, kind.nID == GX_IDS_CTRL_DATETIMENOCAL ? "0" : "1");
    w.grid->SetStyleRange(CGXCellRange(nTop, kCol, nTop + kShown - 1, kCol), style, gxOverride, 0, GX_NOREDRAW);
    CGXControl* pControl = w.grid->GetRegisteredControl(WORD(kind.nID));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bm;
    bm.CreateBitmap(1280, 1000, 1, 32, nullptr);
    CBitmap* pOld = dc.SelectObject(&bm);
    const CRect cell(100, 0, 300, 16);
    for (auto _ : state) {
        for (ROWCOL n = 0; n < kShown; ++n) {
            const CRect rect(cell.left, cell.top + int(n) * 16, cell.right, cell.bottom + int(n) * 16);
            pControl->Draw(&dc, rect, nTop + n, kCol, w.grid->GetCellStyleCached(nTop + n, kCol), nullptr);
        }
    }
    dc.SelectObject(pOld);
    state.SetLabel(kind.name);
    state.SetItemsProcessed(int64_t(state.iterations()) * kShown);
}

void Args(benchmark::internal::Benchmark* b)
{
    for (int k = 0; k < int(sizeof(kKinds) / sizeof(kKinds[0])); ++k)
        for (int nTop : {1, 50000})
            b->Args({k, nTop});
}
BENCHMARK(BM_DrawControlColumn)->Apply(Args)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return PvBenchMain(argc, argv); }
