// A details page from the sample installation loaded from memory into the browser control and
// painted at 1000x600: the first page of a new control, and later pages of one control.

#include "platform/controls/controls.h" // first: the controls' definitions before the framework's
#include "app/BlowfishCipher.h"
#include "app/BuildHtm.h"
#include "app/CipherKey.h"
#include "app/DirectoryKey.h"
#include "app/HtmlLoad.h"
#include "app/ViewerDoc.h"
#include "platform/html/browser.h"
#include "platform/win/pvwin.h"
#include "bench/support/sampledir.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

constexpr int kPeople = 2000;
constexpr int kPages = 64;

// Pages of people spread over the directory, built once: the builder has its own bench.
struct Pages {
    pvsample::SamplePaths paths;
    std::vector<CString> pages;
    Pages()
    {
        ::setenv("PV_BACKEND", "headless", 1);
        paths = BenchSampleDirectory(kPeople);
        CBlowfishCipher cipher;
        cipher.SetKey(DeriveCipherKey("Last Name", "First Name"));
        CDaoDatabase database;
        database.Open(paths.databasePath.c_str(), TRUE, TRUE, kDirectoryConnect);
        CBuildHtm builder;
        builder.SetInputs(paths.dataPath.c_str(), paths.mediaPath.c_str(), &database, &cipher);
        CString title;
        for (long key = 1, i = 0; i < kPages; ++i, key = (key + 7919) % kPeople + 1)
            pages.push_back(builder.GetHtml("", key, "CD-ROM", title));
    }
};

Pages& pages()
{
    static Pages p;
    return p;
}

// A browser control in a top-level window, showing the home page as the pane does.
struct Control {
    HWND parent = nullptr, control = nullptr;
    Control()
    {
        PvRegisterStandardControls();
        PvRegisterBrowserControl();
        parent = CreateWindowEx(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 600, nullptr, nullptr, nullptr,
                                nullptr);
        control = CreateWindowEx(0, PV_CLSID_WEBBROWSER, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 1000, 600, parent,
                                 reinterpret_cast<HMENU>(uintptr_t(1000)), nullptr, nullptr);
        PvBrowser::FromHandle(control)->Navigate((pages().paths.mediaPath + "home.htm").c_str());
        UpdateWindow(control);
    }
    ~Control() { DestroyWindow(parent); }
    // Loads the page through the document's stream interface and paints it.
    bool show(const CString& page)
    {
        IDispatch* doc = PvBrowser::FromHandle(control)->GetDocument();
        const bool ok = LoadHtmlIntoDocument(doc, page);
        if (doc)
            doc->Release();
        UpdateWindow(control);
        return ok;
    }
};

void BM_FirstDetailsPage(benchmark::State& state)
{
    Pages& p = pages();
    size_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto c = std::make_unique<Control>();
        state.ResumeTiming();
        if (!c->show(p.pages[i++ % p.pages.size()]))
            state.SkipWithError("the page did not load");
        state.PauseTiming();
        c.reset();
        state.ResumeTiming();
    }
}

void BM_LaterDetailsPage(benchmark::State& state)
{
    Pages& p = pages();
    Control c;
    c.show(p.pages[0]);
    size_t i = 1;
    for (auto _ : state) {
        if (!c.show(p.pages[i++ % p.pages.size()]))
            state.SkipWithError("the page did not load");
    }
}

} // namespace

BENCHMARK(BM_FirstDetailsPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaterDetailsPage)->Unit(benchmark::kMillisecond);
