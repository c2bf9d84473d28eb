// One person's details page from the sample template, in sample installations of 2,000 and
// 100,000 people: twenty-odd per-record queries on _IKEY, each value deciphered. The pages of
// people spread over the whole directory are built in turn, so no one page is cached.

#include "app/BlowfishCipher.h"
#include "app/BuildHtm.h"
#include "app/CipherKey.h"
#include "app/DirectoryKey.h"
#include "app/DetailsTemplate.h"
#include "app/ViewerDoc.h"
#include "bench/support/sampledir.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

struct Installation {
    pvsample::SamplePaths paths;
    CBlowfishCipher cipher;
    CDaoDatabase database;
    CBuildHtm builder;
};

Installation& InstallationOf(int people)
{
    static std::map<int, std::unique_ptr<Installation>> installations;
    std::unique_ptr<Installation>& slot = installations[people];
    if (!slot) {
        if (installations.size() == 1)
            ::setenv("PV_BACKEND", "headless", 1); // a box would wait for nobody
        slot = std::make_unique<Installation>();
        slot->paths = BenchSampleDirectory(people);
        slot->cipher.SetKey(DeriveCipherKey("Last Name", "First Name"));
        slot->database.Open(slot->paths.databasePath.c_str(), TRUE, TRUE, kDirectoryConnect);
        slot->builder.SetInputs(slot->paths.dataPath.c_str(), slot->paths.mediaPath.c_str(), &slot->database,
                                &slot->cipher);
    }
    return *slot;
}

void BM_DetailsPage(benchmark::State& state)
{
    const int people = int(state.range(0));
    Installation& in = InstallationOf(people);
    long key = 1;
    CString title;
    size_t bytes = 0;
    for (auto _ : state) {
        const CString page = in.builder.GetHtml("", key, "CD-ROM", title);
        if (title.IsEmpty())
            state.SkipWithError("a page without its title");
        bytes += size_t(page.GetLength());
        key = (key + 7919) % people + 1; // a stride prime to the count reaches everyone
    }
    state.counters["page_bytes"] = benchmark::Counter(double(bytes) / double(state.iterations()));
}

// Values without a database: each table has one row whose values name their field.
class OneRowSource : public DetailsSource {
public:
    class Row : public DetailsRows {
    public:
        bool IsEOF() override { return m_done; }
        void MoveNext() override { m_done = true; }
        bool Read(const std::string& field, std::string& stored) override
        {
            stored = field;
            return true;
        }

    private:
        bool m_done = false;
    };
    std::unique_ptr<DetailsRows> Query(const std::string&) override { return std::make_unique<Row>(); }
    std::string Decode(const std::string& stored) override { return stored; }
    void Report(const std::string&, bool) override {}
};

// The expander alone over a template of many "<LR>" sections, the last tag of the opener
// priority: the time per section must not grow with their number.
void BM_ExpandManySections(benchmark::State& state)
{
    std::string text = "<HTML>";
    for (int64_t i = 0; i < state.range(0); ++i)
        text += "<LR>h<IF><DATA><[T].[F]></DATA>, <DATA><[T].[G]></DATA></IF>x</LR>";
    text += "</HTML>";
    OneRowSource source;
    std::string title;
    for (auto _ : state)
        benchmark::DoNotOptimize(ExpandDetailsTemplate(text, source, title));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_ExpandManySections)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetailsPage)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);
