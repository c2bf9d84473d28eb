// The browser control: navigation, history and its command states, events and cancelling,
// pages from memory through the document's stream interface, links, the desktop's addresses
// and printing.

#include "htmltest.h"

#include "platform/sys/shell.h"
#include "platform/ui/commdlg.h"

#include <chrono>
#include <cstring>
#include <thread>

using namespace htmltest;

class BrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        home = scratch.write("media/home.htm",
                             "<html><head><title>Home</title></head><body leftmargin=0 topmargin=0>"
                             "<a href=\"cal.htm\"><font size=7>CALENDAR</font></a></body></html>");
        cal = scratch.write("media/cal.htm", "<html><head><title>Calendar</title></head><body>Dates</body></html>");
    }
    void TearDown() override { PvResetWindowSystem(); }

    // Loads a page the way the HTML pane does: global memory, a stream owning it, the
    // document's IPersistStreamInit.
    static bool loadThroughStream(PvBrowser* b, const std::string& html)
    {
        HGLOBAL h = GlobalAlloc(GHND, html.size() + 1);
        if (!h)
            return false;
        std::memcpy(GlobalLock(h), html.c_str(), html.size() + 1);
        GlobalUnlock(h);
        IStream* stream = nullptr;
        if (FAILED(CreateStreamOnHGlobal(h, TRUE, &stream)))
            return false;
        IDispatch* doc = b->GetDocument();
        bool ok = false;
        IPersistStreamInit* persist = nullptr;
        if (doc && SUCCEEDED(doc->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
            ok = SUCCEEDED(persist->InitNew()) && SUCCEEDED(persist->Load(stream));
            persist->Release();
        }
        if (doc)
            doc->Release();
        stream->Release();
        return ok;
    }

    Scratch scratch;
    std::string home, cal;
};

TEST_F(BrowserTest, NavigationHistoryAndCommandStates)
{
    BrowserHost host;
    PvBrowser* b = host.browser();
    ASSERT_NE(b, nullptr);
    b->Navigate(home.c_str());
    // The document completes from the message loop, as a real control's does.
    EXPECT_EQ(host.dispids(), (std::vector<long> {DISPID_BEFORENAVIGATE2, DISPID_NAVIGATECOMPLETE2}));
    PvPumpMessages();
    EXPECT_EQ(host.dispids(), (std::vector<long> {DISPID_BEFORENAVIGATE2, DISPID_NAVIGATECOMPLETE2, DISPID_DOCUMENTCOMPLETE}));
    EXPECT_EQ(b->GetLocationName(), "Home");
    EXPECT_FALSE(b->CanGoBack());

    host.events.clear();
    b->Navigate(cal.c_str());
    ASSERT_GE(host.events.size(), 2u);
    EXPECT_EQ(host.events[1].dispid, DISPID_COMMANDSTATECHANGE);
    EXPECT_EQ(host.events[1].command, CSC_NAVIGATEBACK);
    EXPECT_TRUE(host.events[1].enable);

    host.events.clear();
    EXPECT_TRUE(b->GoBack());
    EXPECT_EQ(b->GetLocationURL(), home.c_str());
    std::vector<std::pair<long, BOOL>> states;
    for (auto& e : host.events)
        if (e.dispid == DISPID_COMMANDSTATECHANGE)
            states.push_back({e.command, e.enable});
    EXPECT_EQ(states, (std::vector<std::pair<long, BOOL>> {{CSC_NAVIGATEFORWARD, TRUE}, {CSC_NAVIGATEBACK, FALSE}}));
    EXPECT_FALSE(b->GoBack()) << "nothing before the first page";
    EXPECT_TRUE(b->GoForward());
    EXPECT_EQ(b->GetLocationName(), "Calendar");

    // A new address drops the forward entries.
    b->GoBack();
    b->Navigate(cal.c_str());
    EXPECT_FALSE(b->CanGoForward());
}

TEST_F(BrowserTest, CancelledNavigationKeepsThePage)
{
    BrowserHost host;
    PvBrowser* b = host.browser();
    b->Navigate(home.c_str());
    host.onBefore = [](const std::string&, BOOL* cancel) { *cancel = TRUE; };
    b->Navigate(cal.c_str());
    EXPECT_EQ(b->GetLocationName(), "Home");
    EXPECT_FALSE(b->CanGoBack());
}

TEST_F(BrowserTest, PagesFromMemoryReplaceTheDocumentWithoutHistory)
{
    BrowserHost host;
    PvBrowser* b = host.browser();
    EXPECT_EQ(b->GetDocument(), nullptr) << "no document before the first page";
    b->Navigate(home.c_str());
    const long streamsBefore = PvLiveStreamCount();
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(loadThroughStream(b, "<html><head><title>Ann Berg</title></head><body>Page " + std::to_string(i) +
                                             "<img src=\"photos\\none.jpg\"></body></html>"));
    EXPECT_EQ(PvLiveStreamCount(), streamsBefore) << "every stream freed its block";
    EXPECT_EQ(b->GetLocationName(), "Ann Berg");
    EXPECT_EQ(b->GetLocationURL(), home.c_str()) << "the shown address stays the base";
    EXPECT_NE(b->GetText().find("Page 999"), std::string::npos);
    EXPECT_FALSE(b->CanGoBack());

    // Document complete follows from the message loop, once for the last page only.
    host.events.clear();
    PvPumpMessages();
    EXPECT_EQ(host.dispids(), (std::vector<long> {DISPID_DOCUMENTCOMPLETE}));
}

// The handler of BeforeNavigate2 may replace the document (twice) and cancel: the control
// touches none of the replaced documents afterwards.
TEST_F(BrowserTest, HandlerReplacesTheDocumentInsideBeforeNavigate)
{
    BrowserHost host;
    PvBrowser* b = host.browser();
    b->Navigate(home.c_str());
    host.onBefore = [&](const std::string& url, BOOL* cancel) {
        if (url.rfind("fjc://", 0) != 0)
            return;
        loadThroughStream(b, "<body>first</body>");
        loadThroughStream(b, "<body>second</body>");
        *cancel = TRUE;
    };
    b->Navigate("fjc://van%20der%20Berg/");
    EXPECT_NE(b->GetText().find("second"), std::string::npos);
}

TEST_F(BrowserTest, ClickedLinkNavigatesFromTheMessageLoop)
{
    BrowserHost host;
    PvBrowser* b = host.browser();
    b->Navigate(home.c_str());
    PvInputClick(20, 20);
    EXPECT_EQ(b->GetLocationName(), "Home") << "not yet: the click only posts";
    PvPumpMessages();
    EXPECT_EQ(b->GetLocationName(), "Calendar");
    EXPECT_TRUE(b->CanGoBack());
}

TEST_F(BrowserTest, MissingFileShowsAnErrorPageAndWebAddressesGoToTheDesktop)
{
    BrowserHost host;
    PvBrowser* b = host.browser();
    b->Navigate(scratch.path("media/none.htm").c_str());
    EXPECT_NE(b->GetText().find("cannot be displayed"), std::string::npos);

    const std::string log = scratch.path("opened.log");
    const std::string opener = scratch.write("opener.sh", "#!/bin/sh\necho \"$@\" >> " + log + "\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    PvSetShellOpener(opener.c_str());
    b->Navigate(home.c_str());
    for (const char* url : {"http://example.org/", "mailto:office@school.example"}) {
        b->Navigate(url);
        EXPECT_EQ(b->GetLocationName(), "Home") << url;
    }
    PvSetShellOpener(nullptr);
    std::string text;
    for (int i = 0; i < 100 && text.find("mailto") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::ifstream in(log);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    EXPECT_NE(text.find("http://example.org/"), std::string::npos);
    EXPECT_NE(text.find("mailto:office@school.example"), std::string::npos);
}

TEST_F(BrowserTest, PrintsToThePdfPrinter)
{
    BrowserHost host;
    PvBrowser* b = host.browser();
    std::string tall = "<body>";
    for (int i = 0; i < 200; ++i)
        tall += "<p>Line " + std::to_string(i) + "</p>";
    scratch.write("media/tall.htm", tall);
    b->Navigate(scratch.path("media/tall.htm").c_str());
    const std::string pdf = scratch.path("out.pdf");
    PvPrinterSettings s;
    s.outputPath = pdf.c_str();
    s.dpiX = s.dpiY = 150;
    HDC hdc = PvCreatePdfPrinterDC(s);
    EXPECT_GT(b->PrintTo(hdc, "Tall"), 1) << "a long page takes several sheets";
    DeleteDC(hdc);
    std::ifstream in(pdf, std::ios::binary);
    std::string head(4, '\0');
    in.read(head.data(), 4);
    EXPECT_EQ(head, "%PDF");
}
