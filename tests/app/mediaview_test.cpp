// The HTML pane in the main frame over a sample installation: details pages from memory, the
// link schemes, Back and Forward, the command states, printing and the preview's version check.
#include "tests/app/sample_frame_fixture.h"

#include "app/Config.h"
#include "app/History.h"
#include "app/ViewerDoc.h"
#include "platform/sys/registry.h"
#include "platform/sys/shell.h"
#include "platform/ui/commdlg.h"
#include "tests/app/msgbox_log.h"
#include "tools/pvsample/SampleWriter.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

// A frame that records the directory jumps the pane asks for.
class JumpRecordingFrame : public CMainFrame {
    DECLARE_DYNCREATE(JumpRecordingFrame)
public:
    std::vector<std::string> m_jumps;
    void JumpToEntry(const CString& strText) override { m_jumps.push_back(strText.str()); }
};
IMPLEMENT_DYNCREATE(JumpRecordingFrame, CMainFrame)

namespace {

std::string readFile(const fs::path& p) { return readWholeTestFile(p); }

class MediaViewTest : public SampleFrameTest {
protected:
    CRuntimeClass* FrameClass() const override { return RUNTIME_CLASS(JumpRecordingFrame); }
    void SetUp() override
    {
        SampleFrameTest::SetUp();
        jumper = static_cast<JumpRecordingFrame*>(frame);
    }
    PvBrowser* browser() const { return view->GetBrowser(); }
    std::string shown() const { return browser()->GetText(); }
    // A program that notes each document it is asked to open.
    fs::path shellLog()
    {
        const fs::path log = registry / "opened.log";
        const fs::path opener = registry / "opener.sh";
        std::ofstream(opener) << "#!/bin/sh\necho \"$@\" >> '" << log.string() << "'\n";
        fs::permissions(opener, fs::perms::owner_all);
        PvSetShellOpener(opener.c_str());
        return log;
    }
    static std::string waitFor(const fs::path& log, const std::string& what)
    {
        std::string text;
        for (int i = 0; i < 150 && text.find(what) == std::string::npos; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            text = readFile(log);
        }
        return text;
    }

    JumpRecordingFrame* jumper = nullptr;
};

} // namespace

// The pane opens on the home page; a shown record's page is built and loaded from memory, and
// a navigation clears the details flag that gates the favourites and notes commands.
TEST_F(MediaViewTest, RecordDetailsAreBuiltAndShownFromMemory)
{
    EXPECT_STREQ(browser()->GetLocationURL(), GetHomePagePath());
    EXPECT_NE(shown().find("Welcome to the Westbrook Academy Directory"), std::string::npos);
    EXPECT_FALSE(view->IsDetailsPageShown());
    EXPECT_FALSE(enabled(ID_ADD_FAVORITES));

    frame->ShowRecordDetails(7, TRUE);
    EXPECT_EQ(view->m_lRecordKey, 7);
    ASSERT_FALSE(view->m_strPageTitle.IsEmpty());
    EXPECT_NE(shown().find(view->m_strPageTitle.str()), std::string::npos) << "the name heading";
    EXPECT_STREQ(browser()->GetLocationURL(), GetHomePagePath()) << "a page from memory adds no address";
    EXPECT_TRUE(view->IsDetailsPageShown());
    EXPECT_TRUE(enabled(ID_ADD_FAVORITES));
    EXPECT_TRUE(enabled(ID_ADD_NOTES));
    EXPECT_TRUE(enabled(ID_PRINT_DETAILS)) << "record mode";

    const std::string first = view->m_strPageTitle.str();
    frame->ShowRecordDetails(8, TRUE);
    EXPECT_NE(view->m_strPageTitle.str(), first);
    EXPECT_NE(shown().find(view->m_strPageTitle.str()), std::string::npos);
    EXPECT_EQ(PvLiveStreamCount(), 0);

    command(ID_HOME);
    EXPECT_FALSE(view->IsDetailsPageShown());
    EXPECT_NE(shown().find("Welcome"), std::string::npos);
    EXPECT_FALSE(enabled(ID_ADD_FAVORITES));
    EXPECT_TRUE(boxes.entries().empty());
}

// Every navigation the browser starts passes the pane's rules.
TEST_F(MediaViewTest, NavigationRules)
{
    const std::string media = s_paths->mediaPath;
    const std::string home = GetHomePagePath().str();
    struct Case {
        std::string url;
        bool loads;           // the browser goes there
        std::string dialog;   // the link dialog's address, when it opens
        std::string jump;     // the directory jump, when one is asked for
    };
    const Case cases[] = {
        {home + "#OUT:BLANK", false, "", ""},
        {"http://school.example/out:blank", false, "", ""},
        {"OUT:BLAN", true, "", ""},  // shorter than the ending: just a (missing) page
        {"", true, "", ""},
        {"ext://handbook/", false, media + "external\\e_handbook.htm", ""},
        {"ext://lunch", false, media + "external\\e_lunch.htm", ""},
        {"EXT://lunch", true, "", ""},  // the scheme is matched exactly
        {"fjc://van%20der%20Berg/", false, "", "van der Berg"},
        {"fjc://O'Neil", false, "", "O'Neil"},
        {media + "calendar.htm", true, "", ""},
    };
    // The link dialog runs modally; the queued Escape closes it, after the hook has read it.
    static std::string s_dialog;
    PvSetPreTranslateHook([](MSG* pMsg) -> BOOL {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE)
            if (PvBrowser* b = PvBrowser::FromHandle(::GetDlgItem(::GetActiveWindow(), 1000)))
                s_dialog = b->GetLocationURL().str();
        return CWnd::WalkPreTranslateTree(nullptr, pMsg);
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        browser()->Navigate(home.c_str());
        frame->ShowRecordDetails(3, FALSE);
        ASSERT_TRUE(view->IsDetailsPageShown());
        const std::string before = shown();
        s_dialog.clear();
        jumper->m_jumps.clear();
        if (!c.dialog.empty())
            PvInputKeyStroke(VK_ESCAPE);
        browser()->Navigate(c.url.c_str());
        Pump();
        EXPECT_EQ(browser()->GetLocationURL().str(), c.loads ? c.url : home);
        if (c.jump.empty()) {
            EXPECT_FALSE(view->IsDetailsPageShown()) << "cleared when the navigation starts";
            if (!c.loads) {
                EXPECT_EQ(shown(), before) << "the pane keeps its page";
            }
        } else {
            // Show All has shown the first entry's page; the jump itself is the directory's.
            EXPECT_TRUE(view->IsDetailsPageShown());
            EXPECT_NE(shown().find(view->m_strPageTitle.str()), std::string::npos);
        }
        EXPECT_EQ(s_dialog, c.dialog);
        EXPECT_EQ(jumper->m_jumps, c.jump.empty() ? std::vector<std::string>() : std::vector<std::string> {c.jump});
    }
    PvSetPreTranslateHook(nullptr);
    EXPECT_TRUE(boxes.entries().empty());
}

// Out of record mode Back and Forward walk the browser's history, and its command states reach
// the frame; in record mode they walk the records.
TEST_F(MediaViewTest, BackAndForwardOutOfRecordMode)
{
    EXPECT_FALSE(frame->m_bBrowserCanGoBack);
    const std::string home = GetHomePagePath().str();
    const std::string calendar = s_paths->mediaPath + "calendar.htm";
    frame->m_pMediaView->Navigate2(calendar.c_str());
    EXPECT_TRUE(frame->m_bBrowserCanGoBack);
    EXPECT_FALSE(frame->m_bBrowserCanGoForward);
    EXPECT_TRUE(enabled(ID_GO_BACK));
    EXPECT_FALSE(enabled(ID_GO_FORWARD));
    command(ID_GO_BACK);
    EXPECT_EQ(browser()->GetLocationURL().str(), home);
    EXPECT_TRUE(frame->m_bBrowserCanGoForward);
    command(ID_GO_FORWARD);
    EXPECT_EQ(browser()->GetLocationURL().str(), calendar);

    // Record mode: Back steps to the previous record, the browser stays where it is.
    frame->ShowRecordDetails(4, TRUE);
    frame->ShowRecordDetails(5, TRUE);
    command(ID_GO_BACK);
    EXPECT_EQ(view->m_lRecordKey, 4);
    EXPECT_EQ(browser()->GetLocationURL().str(), calendar);
}

// Right-clicks and Tab never reach the page.
TEST_F(MediaViewTest, RightClickAndTabAreSwallowed)
{
    for (UINT message : {UINT(WM_RBUTTONDOWN), UINT(WM_RBUTTONDBLCLK), UINT(WM_KEYDOWN)}) {
        MSG msg {};
        msg.hwnd = browser()->m_hWnd;
        msg.message = message;
        msg.wParam = message == WM_KEYDOWN ? VK_TAB : 0;
        EXPECT_TRUE(CWnd::WalkPreTranslateTree(frame->m_hWnd, &msg)) << message;
    }
    MSG down {};
    down.hwnd = browser()->m_hWnd;
    down.message = WM_KEYDOWN;
    down.wParam = VK_DOWN;
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(view->m_hWnd, &down));
}

TEST(PrintPreviewVersion, FirstFourCharactersAsANumber)
{
    const struct {
        const char* version;
        BOOL allowed;
    } cases[] = {{"6.0.2900.2180", TRUE}, {"10.0", TRUE}, {"5.50.4134.0600", TRUE}, {"5.5", TRUE},
                 {"5.00.2614", FALSE},    {"5.49", FALSE}, {"", FALSE},              {"x6.0", FALSE}};
    for (const auto& c : cases)
        EXPECT_EQ(BrowserCanPrintPreview(c.version), c.allowed) << c.version;
}

// Print Details Page prints the shown page to the PDF printer without a dialog; the preview
// writes a PDF for the desktop's viewer, or, on a browser older than 5.5, only says so.
TEST_F(MediaViewTest, PrintingAndPreview)
{
    frame->ShowRecordDetails(9, TRUE);
    const std::string name = view->m_strPageTitle.str();
    const fs::path pdf = registry / "details.pdf";
    const CString saved = CPrintDialog::PvSettings().outputPath;
    CPrintDialog::PvSettings().outputPath = pdf.c_str();
    frame->SetActiveView(view);
    command(ID_PRINT_DETAILS);
    CPrintDialog::PvSettings().outputPath = saved;
    ASSERT_TRUE(fs::exists(pdf));
    EXPECT_EQ(readFile(pdf).rfind("%PDF", 0), 0u);
    if (std::system("command -v pdftotext >/dev/null 2>&1") == 0) {
        const fs::path text = registry / "details.txt";
        ASSERT_EQ(std::system(("pdftotext '" + pdf.string() + "' '" + text.string() + "'").c_str()), 0);
        EXPECT_NE(readFile(text).find(name), std::string::npos) << readFile(text);
    }

    const fs::path log = shellLog();
    const struct {
        const char* version;
        bool preview;
    } cases[] = {{"6.0.2900.2180", true}, {"10.0", true}, {"5.00.2614", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, pvsample::kBrowserKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        RegSetValueEx(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.version), DWORD(strlen(c.version) + 1));
        RegCloseKey(key);
        ResetConfiguration();
        ASSERT_TRUE(LoadConfiguration());
        fs::remove(log);
        boxes.clear();
        command(ID_PRINT_PREVIEW_PAGE);
        const auto shownBoxes = boxes.entries();
        if (c.preview) {
            EXPECT_TRUE(shownBoxes.empty());
            const std::string opened = waitFor(log, ".pdf");
            ASSERT_NE(opened.find(".pdf"), std::string::npos);
            std::string path = opened.substr(0, opened.find(".pdf") + 4);
            EXPECT_EQ(readFile(path).rfind("%PDF", 0), 0u);
            fs::remove(path);
        } else {
            ASSERT_EQ(shownBoxes.size(), 1u);
            EXPECT_EQ(shownBoxes[0].text.rfind("Internet Explorer version 5.5 is required to Print Preview!\n", 0), 0u)
                << shownBoxes[0].text;
            EXPECT_FALSE(fs::exists(log)) << "nothing opened";
        }
    }
}
