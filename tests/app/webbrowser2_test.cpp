// The browser control's automation wrapper, the shared page-from-memory loader and the HTML
// link dialog.
#include "platform/controls/controls.h" // first: the controls' definitions before the framework's
#include "app/HtmlLoad.h"
#include "app/HtmlPageDlg.h"
#include "app/WebBrowser2.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/ui.h"
#include "resources/frame_ids.h"
#include "tests/platform/html/htmltest.h"

#include <gtest/gtest.h>

#include <functional>

using htmltest::Scratch;

void PvRegisterAppResources();

namespace {

class WebBrowser2Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        PvRegisterStandardControls();
        PvRegisterAppResources();
        PvRegisterFrameResources();
        home = scratch.write("media/home.htm", "<html><head><title>Home</title></head><body>Welcome</body></html>");
        cal = scratch.write("media/cal.htm", "<html><head><title>Calendar</title></head><body>Dates</body></html>");
        ASSERT_TRUE(host.CreateEx(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 400, 300), nullptr, 0));
        ASSERT_TRUE(browser.Create("", WS_VISIBLE, CRect(0, 0, 300, 200), &host, IDC_BROWSER));
    }
    void TearDown() override
    {
        if (host.m_hWnd)
            host.DestroyWindow();
        PvResetWindowSystem();
    }
    Scratch scratch;
    std::string home, cal;
    CWnd host;
    CWebBrowser2 browser;
};

VARIANT textVariant(const std::string& s)
{
    COleVariant v(s.c_str());
    VARIANT out;
    VariantInit(&out);
    VariantCopy(&out, &v);
    return out;
}

} // namespace

// Each member reaches the control by its dispatch id and does what the control does with it.
TEST_F(WebBrowser2Test, EveryMemberReachesTheControl)
{
    browser.Navigate(home.c_str(), nullptr, nullptr, nullptr, nullptr);
    struct Case {
        const char* name;
        std::function<void()> check;
    };
    CWebBrowser2& b = browser;
    const Case cases[] = {
        {"Navigate, GetLocationURL, GetLocationName",
         [&] {
             b.Navigate(cal.c_str(), nullptr, nullptr, nullptr, nullptr);
             EXPECT_STREQ(b.GetLocationURL(), cal.c_str());
             EXPECT_STREQ(b.GetLocationName(), "Calendar");
         }},
        {"GoBack, GoForward",
         [&] {
             b.GoBack();
             EXPECT_STREQ(b.GetLocationURL(), home.c_str());
             b.GoForward();
             EXPECT_STREQ(b.GetLocationURL(), cal.c_str());
         }},
        {"Navigate2",
         [&] {
             VARIANT url = textVariant(home);
             b.Navigate2(&url, nullptr, nullptr, nullptr, nullptr);
             VariantClear(&url);
             EXPECT_STREQ(b.GetLocationName(), "Home");
         }},
        {"Refresh, Refresh2, Stop, GoHome, GoSearch, Quit, ShowBrowserBar, ClientToWindow",
         [&] {
             b.Refresh();
             b.Refresh2(nullptr);
             b.Stop();
             b.GoHome();
             b.GoSearch();
             b.Quit();
             b.ShowBrowserBar(nullptr, nullptr, nullptr);
             long cx = 10, cy = 20;
             b.ClientToWindow(&cx, &cy);
             EXPECT_STREQ(b.GetLocationName(), "Home");
         }},
        {"position and size",
         [&] {
             b.SetLeft(5);
             b.SetTop(7);
             b.SetWidth(250);
             b.SetHeight(120);
             EXPECT_EQ(b.GetLeft(), 5);
             EXPECT_EQ(b.GetTop(), 7);
             EXPECT_EQ(b.GetWidth(), 250);
             EXPECT_EQ(b.GetHeight(), 120);
             CRect rc;
             b.GetClientRect(&rc);
             EXPECT_EQ(rc.Height(), 120);
         }},
        {"read-only properties",
         [&] {
             EXPECT_EQ(b.GetApplication(), nullptr);
             EXPECT_EQ(b.GetParent(), nullptr);
             EXPECT_EQ(b.GetContainer(), nullptr);
             EXPECT_FALSE(b.GetTopLevelContainer());
             EXPECT_STREQ(b.GetType(), "HTML Document");
             EXPECT_FALSE(b.GetBusy());
             EXPECT_EQ(b.GetReadyState(), 4);
             EXPECT_EQ(b.GetHwnd(), long(reinterpret_cast<intptr_t>(b.m_hWnd)));
             EXPECT_FALSE(b.GetName().IsEmpty());
             EXPECT_STREQ(b.GetFullName(), "");
             EXPECT_STREQ(b.GetPath(), "");
         }},
        {"switches",
         [&] {
             const std::pair<std::function<void(BOOL)>, std::function<BOOL()>> flags[] = {
                 {[&](BOOL v) { b.SetVisible(v); }, [&] { return b.GetVisible(); }},
                 {[&](BOOL v) { b.SetStatusBar(v); }, [&] { return b.GetStatusBar(); }},
                 {[&](BOOL v) { b.SetToolBar(v); }, [&] { return BOOL(b.GetToolBar()); }},
                 {[&](BOOL v) { b.SetMenuBar(v); }, [&] { return b.GetMenuBar(); }},
                 {[&](BOOL v) { b.SetFullScreen(v); }, [&] { return b.GetFullScreen(); }},
                 {[&](BOOL v) { b.SetOffline(v); }, [&] { return b.GetOffline(); }},
                 {[&](BOOL v) { b.SetSilent(v); }, [&] { return b.GetSilent(); }},
                 {[&](BOOL v) { b.SetRegisterAsBrowser(v); }, [&] { return b.GetRegisterAsBrowser(); }},
                 {[&](BOOL v) { b.SetRegisterAsDropTarget(v); }, [&] { return b.GetRegisterAsDropTarget(); }},
                 {[&](BOOL v) { b.SetTheaterMode(v); }, [&] { return b.GetTheaterMode(); }},
                 {[&](BOOL v) { b.SetAddressBar(v); }, [&] { return b.GetAddressBar(); }},
                 {[&](BOOL v) { b.SetResizable(v); }, [&] { return b.GetResizable(); }},
             };
             // Each switch keeps its own value: set them one by one and read them all.
             for (size_t i = 0; i < std::size(flags); ++i) {
                 flags[i].first(TRUE);
                 for (size_t j = 0; j < std::size(flags); ++j)
                     EXPECT_EQ(flags[j].second() != FALSE, j <= i) << i << " " << j;
             }
         }},
        {"status text and properties",
         [&] {
             b.SetStatusText("Loading");
             EXPECT_STREQ(b.GetStatusText(), "Loading");
             COleVariant value(long(42));
             b.PutProperty("answer", value);
             VARIANT got = b.GetProperty_("answer");
             EXPECT_EQ(got.vt, VT_I4);
             EXPECT_EQ(got.lVal, 42);
             VariantClear(&got);
             got = b.GetProperty_("none");
             EXPECT_EQ(got.vt, VT_EMPTY);
         }},
        {"QueryStatusWB, ExecWB",
         [&] {
             EXPECT_EQ(b.QueryStatusWB(OLECMDID_PRINT), 3);
             EXPECT_EQ(b.QueryStatusWB(OLECMDID_PRINTPREVIEW), 3);
             EXPECT_EQ(b.QueryStatusWB(99), 0);
             const std::string pdf = scratch.path("print.pdf");
             const CString saved = CPrintDialog::PvSettings().outputPath;
             CPrintDialog::PvSettings().outputPath = pdf.c_str();
             b.ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DONTPROMPTUSER, nullptr, nullptr);
             CPrintDialog::PvSettings().outputPath = saved;
             EXPECT_TRUE(std::filesystem::exists(pdf));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.check();
    }
}

// A dispatch id the control does not know, or a call without its arguments, surfaces as the
// framework's dispatch exception; so does a wrapper whose control is gone.
TEST_F(WebBrowser2Test, UnknownMembersThrowDispatchExceptions)
{
    EXPECT_THROW(browser.InvokeHelper(9999, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr), COleDispatchException);
    try {
        browser.InvokeHelper(9999, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
    } catch (COleDispatchException& e) {
        EXPECT_EQ(e.m_scError, DISP_E_MEMBERNOTFOUND);
    }
    EXPECT_THROW(browser.InvokeHelper(206, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, nullptr), COleDispatchException);
    CWebBrowser2 unbound;
    EXPECT_THROW(unbound.GetLocationURL(), COleDispatchException);
}

// GetDocument hands its caller the one reference: released, nothing is left. Loading through
// it is the pane's and the pop-up's way of showing a page from memory.
TEST_F(WebBrowser2Test, PagesFromMemoryThroughTheDocumentLeaveNothingBehind)
{
    browser.Navigate(home.c_str(), nullptr, nullptr, nullptr, nullptr);
    const long blocks = PvLiveGlobalBlocks();
    const CString page = "<html><head><title>Ann Lee</title></head><body>Grade 5 \xC3\xA9l\xC3\xA8ve</body></html>";
    for (int i = 0; i < 1000; ++i) {
        LPDISPATCH doc = browser.GetDocument();
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(LoadHtmlIntoDocument(doc, page));
        doc->Release();
    }
    EXPECT_EQ(PvLiveGlobalBlocks(), blocks) << "each block freed once, by its stream";
    EXPECT_EQ(PvLiveStreamCount(), 0);
    EXPECT_STREQ(browser.GetLocationName(), "Ann Lee");
    EXPECT_STREQ(browser.GetLocationURL(), home.c_str()) << "a page from memory keeps the shown address";
    PvBrowser* control = PvBrowser::FromHandle(browser.m_hWnd);
    ASSERT_NE(control, nullptr);
    EXPECT_NE(control->GetText().find("\xC3\xA9l\xC3\xA8ve"), std::string::npos) << "text byte for byte";

    // Without memory, or without a document, nothing is shown and nothing is left.
    LPDISPATCH doc = browser.GetDocument();
    PvFailGlobalAllocs(1);
    EXPECT_FALSE(LoadHtmlIntoDocument(doc, "<title>Other</title>"));
    PvFailGlobalAllocs(0);
    doc->Release();
    EXPECT_FALSE(LoadHtmlIntoDocument(nullptr, "<title>Other</title>"));
    EXPECT_STREQ(browser.GetLocationName(), "Ann Lee");
    EXPECT_EQ(PvLiveGlobalBlocks(), blocks);
    EXPECT_EQ(PvLiveStreamCount(), 0);
}

namespace {
// Reads the link dialog's page when the queued Escape reaches it, then lets the dialog have it.
CString g_shownURL, g_shownCaption;
BOOL readLinkDialog(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
        HWND dlg = ::GetActiveWindow();
        if (PvBrowser* b = PvBrowser::FromHandle(::GetDlgItem(dlg, IDC_BROWSER)))
            g_shownURL = b->GetLocationURL();
        char caption[64] = {};
        ::GetWindowText(dlg, caption, sizeof caption);
        g_shownCaption = caption;
    }
    return CWnd::WalkPreTranslateTree(nullptr, pMsg);
}
} // namespace

TEST_F(WebBrowser2Test, LinkDialogShowsItsAddress)
{
    CHtmlPageDlg dlg(&host);
    dlg.m_strAddress = cal.c_str();
    g_shownURL.Empty();
    PvSetPreTranslateHook(&readLinkDialog);
    PvInputKeyStroke(VK_ESCAPE);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    PvSetPreTranslateHook(nullptr);
    EXPECT_STREQ(g_shownURL, cal.c_str());
    EXPECT_STREQ(g_shownCaption, "Paravel");
}
