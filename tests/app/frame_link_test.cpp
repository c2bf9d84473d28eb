// The About dialog's web link: colours, underlining, opening with the shell and its failures,
// and the hand cursor over it alone.

#include "frame_fixture.h"

#include "app/AboutDlg.h"
#include "msgbox_log.h"
#include "platform/sys/shell.h"

namespace {

const char* const kProductPage = "https://www.morlowsystems.example.com/paravel/";

class LinkTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(m_dlg.Create(IDD_ABOUTBOX));
    }
    void TearDown() override
    {
        PvSetShellOpener(nullptr);
        if (m_dlg.m_hWnd) m_dlg.DestroyWindow();
        FrameTest::TearDown();
    }
    // The colour the link draws its text with now.
    COLORREF LinkColor()
    {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        LRESULT br = m_dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.m_hDC),
                                       reinterpret_cast<LPARAM>(m_dlg.m_wndLink1.m_hWnd));
        EXPECT_EQ(br, reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
        return dc.GetTextColor();
    }
    void Click() { m_dlg.m_wndLink1.SendMessage(WM_LBUTTONDOWN, 0, 0); }
    CAboutDlg m_dlg;
};

} // namespace

TEST_F(LinkTest, BlueAndUnderlinedUntilOpenedThenPurple)
{
    EXPECT_EQ(m_dlg.m_wndLink1.m_link, kProductPage);
    EXPECT_EQ(LinkColor(), RGB(0, 0, 255));
    LOGFONT lf {};
    ASSERT_TRUE(m_dlg.m_wndLink1.m_font.GetSafeHandle());
    m_dlg.m_wndLink1.m_font.GetLogFont(&lf);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_TRUE(m_dlg.m_wndLink1.GetStyle() & SS_NOTIFY);

    MsgBoxLog log;
    PvSetShellOpener("/bin/true");
    Click();
    EXPECT_TRUE(m_dlg.m_wndLink1.m_bVisited);
    EXPECT_EQ(LinkColor(), RGB(128, 0, 128));
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(LinkTest, FailuresSayWhyAndLeaveTheLinkBlue)
{
    struct Case {
        const char* opener;
        std::string text;
    };
    const Case cases[] = {
        // Nothing can open an address: the long note about browsers.
        {"/nonexistent/opener",
         "Web Page or E-mail links can only be accessed if you have allready installed a web browser or internet e-mail "
         "program.  If you have installed such a program and this link does not work, please call the manufacturer of "
         "that program and ask how to make it the default web browser or email program for your operating system."},
        // The opener ran and failed.
        {"/bin/false", std::string("Paravel was unable to open the link ") + kProductPage +
                           ".  Please close all other programs and try again.\nIf the problem persists, see Help for "
                           "information on technical support"},
    };
    for (const Case& c : cases) {
        MsgBoxLog log;
        PvSetShellOpener(c.opener);
        Click();
        auto boxes = log.entries();
        ASSERT_EQ(boxes.size(), 1u) << c.opener;
        EXPECT_EQ(boxes[0].text, c.text);
        EXPECT_EQ(boxes[0].icon, "information");
        EXPECT_FALSE(m_dlg.m_wndLink1.m_bVisited);
        EXPECT_EQ(LinkColor(), RGB(0, 0, 255));
    }
}

TEST_F(LinkTest, AnEmptyLinkDoesNothingAndShowsNoHand)
{
    MsgBoxLog log;
    HCURSOR hand = ::LoadCursor(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDC_LINK_HAND));
    ::SetCursor(nullptr);
    EXPECT_TRUE(m_dlg.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_dlg.m_wndLink1.m_hWnd),
                                  MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), hand);

    ::SetCursor(nullptr);
    CWnd* version = m_dlg.GetDlgItem(IDC_ABOUT_VERSION);
    ASSERT_NE(version, nullptr);
    m_dlg.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(version->m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(::GetCursor(), hand);

    m_dlg.m_wndLink1.m_link.Empty();
    ::SetCursor(nullptr);
    m_dlg.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_dlg.m_wndLink1.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(::GetCursor(), hand);
    Click();
    EXPECT_TRUE(log.entries().empty());
    EXPECT_FALSE(m_dlg.m_wndLink1.m_bVisited);
}
