// "GridSettings.dat": a directory grid's layout written and read through the whole-file entry
// points (atomic replace included), and the archive alone in memory as the parts that grow with a
// grid's content grow: row heights and styled cells.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxdata.h"
#include "grid/core/gxobjfile.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/record/gxbrowparam.h"
#include "platform/base/CArchive.h"
#include "platform/base/CFile.h"

using Bytes = std::vector<BYTE>;

namespace {

constexpr ROWCOL kDirectoryCols = 26;  // the sample directory's columns, rank columns included

// What a directory view keeps: the standard and the nine field styles, its properties, every
// column's width, some columns hidden, a column order.
std::unique_ptr<CGXDaoParam> DirectoryParam()
{
    InitGridLibraryWithFactory();
    auto p = std::make_unique<CGXDaoParam>();
    auto* pMap = new CGXStylesMap;
    pMap->CreateStandardStyles();
    for (UINT i = 0; i < 9; ++i)
        pMap->RegisterStyleByResource(52771 + i, CGXStyle().SetHorizontalAlignment(i % 3).SetWrapText(i % 2));
    p->SetStylesMap(pMap, TRUE);
    p->SetProperties(new CGXProperties, TRUE);
    p->m_dwOptionMask = 15;
    for (ROWCOL c = 0; c <= kDirectoryCols; ++c) {
        p->m_ColWidths.SetAt(c, LONG(4000 + 250 * c));
        p->m_ColOrder.Add(DWORD(c));
    }
    for (ROWCOL c = 14; c <= kDirectoryCols; c += 2)
        p->m_abHiddenCols.SetAtGrow(INT_PTR(c), 1);
    return p;
}

std::string TempPath()
{
    return "/tmp/pv_bench_gridsettings_" + std::to_string(::getpid()) + ".dat";
}

void BM_WriteDirectorySettingsFile(benchmark::State& state)
{
    const auto p = DirectoryParam();
    const std::string path = TempPath();
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteObjectToFile(p.get(), path.c_str()));
    CFile f;
    if (f.Open(path.c_str(), CFile::modeRead))
        state.counters["file_bytes"] = double(f.GetLength());
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteDirectorySettingsFile)->Unit(benchmark::kMicrosecond);

void BM_ReadDirectorySettingsFile(benchmark::State& state)
{
    const auto p = DirectoryParam();
    const std::string path = TempPath();
    WriteObjectToFile(p.get(), path.c_str());
    for (auto _ : state) {
        std::unique_ptr<CGXGridParam> back(ReadGridParamFromFile(path.c_str()));
        if (!back)
            state.SkipWithError("the file did not load");
        benchmark::DoNotOptimize(back.get());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadDirectorySettingsFile)->Unit(benchmark::kMicrosecond);

Bytes Store(const CObject* p)
{
    CMemFile mem;
    {
        CArchive ar(&mem, CArchive::store);
        ar.WriteObject(p);
        ar.Close();
    }
    const size_t n = size_t(mem.GetLength());
    BYTE* b = mem.Detach();
    Bytes out(b, b + n);
    free(b);
    return out;
}

std::unique_ptr<CObject> Load(Bytes& bytes)
{
    CMemFile mem(bytes.data(), UINT(bytes.size()));
    CArchive ar(&mem, CArchive::load);
    return std::unique_ptr<CObject>(ar.ReadObject(RUNTIME_CLASS(CGXGridParam)));
}

// A grid with a height for each of n rows and one styled cell in each: both costs should grow
// in step with n.
std::unique_ptr<CGXGridParam> GrownParam(ROWCOL n)
{
    InitGridLibraryWithFactory();
    auto p = std::make_unique<CGXGridParam>();
    auto* pData = new CGXData;
    pData->SetRowCount(n);
    pData->SetColCount(4);
    CGXStyle s;
    s.SetValue("value").SetHorizontalAlignment(1);
    for (ROWCOL r = 1; r <= n; ++r) {
        pData->StoreStyleRowCol(r, 1 + r % 4, &s, gxOverride);
        p->m_RowHeights.SetAt(r, LONG(1000 + r % 500));
    }
    p->SetData(pData, TRUE);
    return p;
}

void BM_StoreGrownParam(benchmark::State& state)
{
    const auto p = GrownParam(ROWCOL(state.range(0)));
    size_t nBytes = 0;
    for (auto _ : state)
        nBytes = Store(p.get()).size();
    state.counters["bytes"] = double(nBytes);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_StoreGrownParam)->RangeMultiplier(8)->Range(1 << 10, 1 << 16)->Complexity()->Unit(benchmark::kMillisecond);

void BM_LoadGrownParam(benchmark::State& state)
{
    Bytes bytes = Store(GrownParam(ROWCOL(state.range(0))).get());
    for (auto _ : state) {
        auto back = Load(bytes);
        benchmark::DoNotOptimize(back.get());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LoadGrownParam)->RangeMultiplier(8)->Range(1 << 10, 1 << 16)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace
