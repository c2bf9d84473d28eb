// The drop-down edit: its button in the frame, the mouse and keys that notify, the disabled look.

#include "grid/widgets/gxbdropedit.h"

#include <gtest/gtest.h>

#include <vector>

#include "grid/core/gxstate.h"
#include "platform/gdi/dc.h"
#include "platform/sys/system.h"
#include "platform/win/pvwin.h"

namespace {

constexpr UINT kBitmapId = 20036;
constexpr UINT kMissingBitmapId = 20999;  // no picture of ours, no resource
constexpr int kEditId = 101;
constexpr int kBitmapWidth = 8;
constexpr int kBitmapHeight = 6;

// A black picture: nothing of it is button face, so the disabled look shows all of it.
std::vector<BYTE> blackBitmap()
{
    const int stride = (kBitmapWidth * 3 + 3) & ~3;
    std::vector<BYTE> f(54 + size_t(stride) * kBitmapHeight, 0);
    auto put32 = [&f](size_t at, DWORD v) {
        for (int i = 0; i < 4; ++i)
            f[at + size_t(i)] = BYTE(v >> (8 * i));
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, DWORD(f.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, kBitmapWidth);
    put32(22, kBitmapHeight);
    f[26] = 1;
    f[28] = 24;
    return f;
}

// The parent keeps every WM_COMMAND it gets.
class Parent : public CWnd {
public:
    struct Command {
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Command> commands;

protected:
    // Only the drop-down notification (code 0); the edit's own notifications are not counted.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (HIWORD(wParam) == 0)
            commands.push_back({wParam, lParam});
        return TRUE;
    }
};

class DropEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        PvSetBitmapResourceLoader([](UINT nID, LPCTSTR, std::vector<BYTE>& out) {
            if (nID != kBitmapId)
                return false;
            out = blackBitmap();
            return true;
        });
        GXGetAppData()->m_sysColors.Refresh();
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "parent", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
        ASSERT_TRUE(m_edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(20, 30, 160, 52), &m_parent, kEditId));
    }
    void TearDown() override
    {
        m_edit.DestroyWindow();
        m_parent.DestroyWindow();
        PvSetBitmapResourceLoader(nullptr);
    }

    // The button's centre on the screen.
    CPoint buttonCentre()
    {
        CRect rc = m_edit.GetButtonRect();
        m_parent.ClientToScreen(&rc);
        return rc.CenterPoint();
    }
    CPoint editCentreOnScreen()
    {
        CRect rc;
        m_edit.GetWindowRect(&rc);
        return CPoint(rc.left + 10, rc.CenterPoint().y);
    }
    void press(CPoint pt)
    {
        PvAdvanceTime(1000);  // a press of its own, not the second of a double click
        PvInputMouseMove(pt.x, pt.y);
        PvInputMouseButton(PV_BUTTON_LEFT, true);
        PvPumpMessages();
    }
    void moveTo(CPoint pt)
    {
        PvInputMouseMove(pt.x, pt.y);
        PvPumpMessages();
    }
    void release()
    {
        PvInputMouseButton(PV_BUTTON_LEFT, false);
        PvPumpMessages();
    }
    void expectOneDropDown()
    {
        ASSERT_EQ(m_parent.commands.size(), 1u);
        EXPECT_EQ(m_parent.commands[0].wParam, WPARAM(MAKEWPARAM(kEditId, 0)));
        EXPECT_EQ(m_parent.commands[0].lParam, reinterpret_cast<LPARAM>(m_edit.m_hWnd));
    }

    Parent m_parent;
    CGXBDropEdit m_edit;
};

TEST_F(DropEditTest, TheButtonTakesItsWidthFromTheFrame)
{
    CRect client;
    m_edit.GetClientRect(&client);
    const int before = client.Width();
    EXPECT_TRUE(m_edit.GetButtonRect().IsRectEmpty());
    m_edit.SetButtonBitmap(kBitmapId);
    m_edit.GetClientRect(&client);
    const CRect& button = m_edit.GetButtonRect();
    EXPECT_EQ(button.Width(), 1 + 1 + kBitmapWidth + 4);
    EXPECT_EQ(client.Width(), before - button.Width());

    m_edit.SetButtonBitmap(kMissingBitmapId);
    EXPECT_EQ(m_edit.GetButtonBitmap(), 0u) << "a bitmap that does not load leaves no button";
    EXPECT_TRUE(m_edit.GetButtonRect().IsRectEmpty());
    m_edit.GetClientRect(&client);
    EXPECT_EQ(client.Width(), before);
}

TEST_F(DropEditTest, MouseTraces)
{
    m_edit.SetButtonBitmap(kBitmapId);
    PvPumpMessages();

    SCOPED_TRACE("press and release on the button");
    press(buttonCentre());
    EXPECT_TRUE(m_edit.IsButtonPressed());
    release();
    EXPECT_FALSE(m_edit.IsButtonPressed());
    expectOneDropDown();

    m_parent.commands.clear();
    SCOPED_TRACE("press, off, back on, off, release outside");
    press(buttonCentre());
    moveTo(editCentreOnScreen());
    EXPECT_FALSE(m_edit.IsButtonPressed()) << "moving off releases it visually";
    EXPECT_EQ(CWnd::GetCapture(), &m_edit);
    moveTo(buttonCentre());
    EXPECT_TRUE(m_edit.IsButtonPressed()) << "moving back presses it again";
    moveTo(editCentreOnScreen());
    release();
    EXPECT_FALSE(m_edit.IsButtonPressed());
    EXPECT_TRUE(m_parent.commands.empty());
    EXPECT_EQ(CWnd::GetCapture(), nullptr);

    SCOPED_TRACE("after a move at the same size the button is still hit");
    m_edit.SetWindowPos(nullptr, 40, 80, 140, 22, SWP_NOZORDER);
    press(buttonCentre());
    release();
    expectOneDropDown();

    m_parent.commands.clear();
    SCOPED_TRACE("a quick second click is a click too");
    const CPoint at = buttonCentre();
    PvInputClick(at.x, at.y, PV_BUTTON_LEFT, true);
    PvPumpMessages();
    EXPECT_EQ(m_parent.commands.size(), 2u);
}

TEST_F(DropEditTest, WithoutABitmapOnlyTheKeysNotify)
{
    m_edit.SetFocus();
    CRect rc;
    m_edit.GetWindowRect(&rc);
    press(CPoint(rc.right - 3, rc.CenterPoint().y));
    release();
    EXPECT_TRUE(m_parent.commands.empty()) << "no button, nothing from the mouse";

    PvInputKeyStroke(VK_F4);
    PvPumpMessages();
    expectOneDropDown();
    m_parent.commands.clear();
    PvInputKeyStroke(VK_DOWN, false, false, true);
    PvPumpMessages();
    expectOneDropDown();
}

TEST_F(DropEditTest, CancelModeEndsTrackingWithoutNotifying)
{
    m_edit.SetButtonBitmap(kBitmapId);
    press(buttonCentre());
    m_edit.SendMessage(WM_CANCELMODE);
    EXPECT_FALSE(m_edit.IsButtonPressed());
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    release();
    EXPECT_TRUE(m_parent.commands.empty());
}

TEST_F(DropEditTest, DisabledButtonLooksEmbossed)
{
    m_edit.SetButtonBitmap(kBitmapId);
    m_edit.EnableWindow(FALSE);
    m_edit.SendMessage(WM_NCPAINT, 1);
    CRect rc = m_edit.GetButtonRect();
    m_parent.ClientToScreen(&rc);
    CRect rcWindow;
    m_edit.GetWindowRect(&rcWindow);
    rc.OffsetRect(-rcWindow.left, -rcWindow.top);
    // A pixel inside the picture (and inside the embossed area, two pixels in), and the one
    // below and right of the picture's last.
    const CPoint origin(rc.left + 1, rc.top + (rc.Height() - kBitmapHeight) / 2);
    const CPoint first(origin.x + 2, origin.y + 2);
    const CPoint beyond(origin.x + kBitmapWidth, origin.y + kBitmapHeight);
    CDC* pDC = m_edit.GetWindowDC();
    ASSERT_NE(pDC, nullptr);
    EXPECT_EQ(pDC->GetPixel(first), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pDC->GetPixel(beyond), GetSysColor(COLOR_BTNHIGHLIGHT));
    m_edit.ReleaseDC(pDC);

    m_edit.EnableWindow(TRUE);
    m_edit.SendMessage(WM_NCPAINT, 1);
    pDC = m_edit.GetWindowDC();
    EXPECT_EQ(pDC->GetPixel(first), RGB(0, 0, 0)) << "enabled, the picture as it is";
    m_edit.ReleaseDC(pDC);
}

}  // namespace
