// The directory search over sample installations of 10,000 and 100,000 people: the statement of
// three conditions (Last Name "Sm*", a Section, an Activity) built by key-range searches over the
// enciphered tables, with the decrypt calls each search makes; and the typed-text jump of the
// directory pane, on a fresh query and again.

#include "app/MainFrm.h" // first: the controls' definitions before the framework's
#include "app/DaoqueryView.h"

#include "app/Cipher.h"
#include "app/Config.h"
#include "app/FrameCommands.h"
#include "app/KeyRangeSearch.h"
#include "app/SearchDirectoryDlg.h"
#include "app/ViewerDoc.h"
#include "bench/support/headless_main.h"
#include "bench/support/sampledir.h"
#include "bench/support/viewerframe.h"
#include "grid/controls/gxctlfactory.h"
#include "platform/ui/ui.h"
#include "platform/win/pvwin.h"
#include "resources/frame_ids.h"
#include "tools/pvsample/SampleData.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The document's cipher, counted.
class CountingCipher : public CCipher {
public:
    explicit CountingCipher(CCipher* inner) : m_inner(inner) {}
    void Decrypt(const CString& s, CString& p) override
    {
        ++m_calls;
        m_inner->Decrypt(s, p);
    }
    void Encrypt(const CString& p, CString& s) override { m_inner->Encrypt(p, s); }
    void SetKey(const CString& k) override { m_inner->SetKey(k); }
    long m_calls = 0;

private:
    CCipher* m_inner;
};

void UseInstallation(const pvsample::SamplePaths& paths)
{
    if (!UseBenchInstallation(paths))
        std::abort();
}

void Criterion(const char* display, const char* table, const char* field, const char* value)
{
    auto f = std::make_unique<CSearchField>();
    f->m_strDisplay = display;
    f->m_strTable = table;
    f->m_strField = field;
    f->m_values.push_back(value);
    CSearchFieldArray::Instance().Add(std::move(f));
}

void BM_SearchStatement(benchmark::State& state)
{
    const int people = int(state.range(0));
    UseInstallation(BenchSampleDirectory(people));
    CViewerDoc doc;
    doc.OpenDirectoryDatabase();
    CountingCipher cipher(doc.GetCipher());
    CSearchFieldArray::Instance().RemoveAll();
    const pvsample::School school = pvsample::MakeSchool(100, 1);
    Criterion("Last Name", "Data", "Last Name", "Sm*");
    Criterion("Section", "Data", "Section", school.sections.front().c_str());
    Criterion("Activity", "activities", "Activity", "Chess Club");
    CString select, from, where;
    for (auto _ : state) {
        CKeyRangeSearch search; // fresh recordsets, as each Find Now opens them
        search.m_pDatabase = &doc.m_database;
        search.m_pCipher = &cipher;
        BuildSearchStatement(CSearchFieldArray::Instance(), search, "", select, from, where);
        benchmark::DoNotOptimize(where);
    }
    // Each of the six searches on its own: the most decrypts one of them made.
    long most = 0;
    {
        CKeyRangeSearch search;
        search.m_pDatabase = &doc.m_database;
        search.m_pCipher = &cipher;
        const struct {
            const char *table, *field, *text;
        } probes[] = {{"Data", "Last Name", "SM"}, {"Data", "Section", school.sections.front().c_str()},
                      {"activities", "Activity", "Chess Club"}};
        for (const auto& p : probes) {
            search.Open(p.table);
            for (int v = 0; v < 4; ++v) {
                long rank = 0;
                cipher.m_calls = 0;
                switch (v) {
                case 0: search.FindLowerBound(p.field, p.text, rank); break;
                case 1: search.FindUpperBound(p.field, p.text, rank); break;
                case 2: search.FindPrefixLowerBound(p.field, p.text, rank); break;
                default: search.FindPrefixUpperBound(p.field, p.text, rank); break;
                }
                most = std::max(most, cipher.m_calls);
            }
        }
    }
    cipher.m_calls = 0;
    {
        CKeyRangeSearch search;
        search.m_pDatabase = &doc.m_database;
        search.m_pCipher = &cipher;
        BuildSearchStatement(CSearchFieldArray::Instance(), search, "", select, from, where);
    }
    state.counters["decrypts_per_statement"] = double(cipher.m_calls);
    state.counters["decrypts_max_per_search"] = double(most);
    state.counters["log2N_plus_2"] = std::ceil(std::log2(double(people))) + 2;
    CSearchFieldArray::Instance().RemoveAll();
    ::unsetenv("PV_REGISTRY_DIR");
}
BENCHMARK(BM_SearchStatement)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A letter jump right after Show All (the rows read up to the jump), and a second one.
void BM_LetterJump(benchmark::State& state)
{
    const int people = int(state.range(0));
    const pvsample::SamplePaths& paths = BenchSampleDirectory(people);
    UseInstallation(paths);
    PrepareBenchWindows();
    double first = 0, again = 0;
    for (auto _ : state) {
        std::filesystem::remove(paths.dataPath + "GridSettings.dat");
        std::unique_ptr<CSingleDocTemplate> tmpl;
        CMainFrame* frame = OpenBenchFrame(tmpl);
        CDaoqueryView* view = frame ? frame->m_pQueryView : nullptr;
        if (!view) {
            state.SkipWithError("no directory view");
            break;
        }
        CString sort;
        view->GetViewerDoc()->GetDefaultSort(sort);
        view->RunQuery(ShowAllQuery(sort));
        auto t0 = Clock::now();
        view->ScrollToEntry("O");
        first += Ms(Clock::now() - t0);
        t0 = Clock::now();
        view->ScrollToEntry("S");
        again += Ms(Clock::now() - t0);
        frame->SendMessage(WM_CLOSE);
        PumpBenchMessages();
        tmpl.reset();
    }
    const double n = double(state.iterations());
    state.counters["first_jump_ms"] = first / n;
    state.counters["second_jump_ms"] = again / n;
    ::unsetenv("PV_REGISTRY_DIR");
}
BENCHMARK(BM_LetterJump)->Arg(10000)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return PvBenchMain(argc, argv);
}
