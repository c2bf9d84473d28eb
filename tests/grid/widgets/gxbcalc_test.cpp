// The calculator: its operations, limits and error state (beeps counted), its keys, and the
// pop-up's placement, result and closing.

#include "grid/widgets/gxbcalc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "grid/core/gxstate.h"
#include "platform/sys/locale.h"
#include "platform/sys/system.h"
#include "platform/win/pvwin.h"

namespace {

class Owner : public CWnd {
public:
    std::vector<std::string> results;
    HWND closeOnResult = nullptr;  // a pop-up this owner closes as soon as it has the result

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == GXB_WM_CALCRESULT) {
            results.emplace_back(reinterpret_cast<LPCTSTR>(lParam));
            if (closeOnResult)
                ::DestroyWindow(closeOnResult);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class CalculatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        PvSetTestLocale(PvLocalePreset::EnglishUS);
        ASSERT_TRUE(m_owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400,
                                     nullptr, nullptr));
    }
    void TearDown() override
    {
        m_owner.DestroyWindow();
        PvResetLocale();
    }

    // Buttons by their faces: digits, '.', + - * / % =, C, E (CE), < (back).
    static int idOf(char c)
    {
        if (c >= '0' && c <= '9')
            return CGXBCalculator::IdDigit0 + (c - '0');
        switch (c) {
        case '.': return CGXBCalculator::IdDecimal;
        case '+': return CGXBCalculator::IdAdd;
        case '-': return CGXBCalculator::IdSubtract;
        case '*': return CGXBCalculator::IdMultiply;
        case '/': return CGXBCalculator::IdDivide;
        case '%': return CGXBCalculator::IdPercent;
        case '=': return CGXBCalculator::IdEquals;
        case 'C': return CGXBCalculator::IdClear;
        case 'E': return CGXBCalculator::IdClearEntry;
        case '<': return CGXBCalculator::IdBackspace;
        default: return 0;
        }
    }
    static void press(CGXBCalculator& calc, const std::string& keys)
    {
        for (char c : keys)
            calc.HandleButton(idOf(c));
    }

    Owner m_owner;
};

TEST_F(CalculatorTest, OperationsLimitsAndErrors)
{
    struct Case {
        const char* keys;
        const char* display;
        int beeps;
    };
    const Case cases[] = {
        {"7+5=", "12.", 0},
        {"7+5=3", "3.", 0},  // the next digit starts afresh
        {"200*10%", "20.", 0},
        {"200+10%", "0.", 0},
        {"1/0=", "Error ", 0},
        {"1/0=5+.", "Error ", 3},  // every key but C and CE beeps
        {"1/0=5C", "0.", 1},
        {"1/0=E", "0.", 0},  // CE acts as C in the error state
        {"0", "0.", 0},
        {".", "0.", 0},
        {"..5", "0.5", 0},
        {"12<", "1.", 0},
        {"7+<", "7.", 0},  // nothing to take back from a result
        {"12E", "0.", 0},
        {"1.5*4=", "6.", 0},
        {"5-8=", "-3.", 0},
        // Fifteen characters of digits at most: fewer decimals, rounded.
        {"1/3=", "0.33333333333333", 0},
        {"2/3=", "0.66666666666667", 0},
        {"0.12345678901234", "0.12345678901234", 0},
        {"0.123456789012345", "0.12345678901234", 1},
        // Thirteen integer digits are taken, the fourteenth beeps.
        {"12345678901234", "1234567890123.", 1},
        // The minus sign does not count towards the limit.
        {"0-1234567890123=", "-1234567890123.", 0},
        // Fourteen integer digits do not fit the display.
        {"9999999999999*10=", "Error ", 0},
        {"C", "0.", 0},
    };
    for (const Case& c : cases) {
        CGXBCalculator calc;
        ASSERT_TRUE(calc.Create(0, WS_CHILD | WS_VISIBLE, 0, 0, &m_owner, 1));
        ASSERT_EQ(calc.GetDisplayCapacity(), 15) << "the expectations are those of a display of 15";
        const int before = PvBeepCount();
        press(calc, c.keys);
        EXPECT_EQ(std::string(calc.GetDisplayText()), c.display) << c.keys;
        EXPECT_EQ(PvBeepCount() - before, c.beeps) << c.keys;
    }
}

TEST_F(CalculatorTest, ValuesSetBeforeAndAfterTheWindow)
{
    CGXBCalculator calc;
    calc.SetValue(-2.5);
    ASSERT_TRUE(calc.Create(0, WS_CHILD | WS_VISIBLE, 0, 0, &m_owner, 1));
    EXPECT_EQ(std::string(calc.GetDisplayText()), "-2.5") << "a value set before the window survives it";
    press(calc, "*2=");
    EXPECT_EQ(std::string(calc.GetDisplayText()), "-5.");
    calc.SetValue(1e300);
    EXPECT_TRUE(calc.IsError());
    calc.SetValue(std::nan(""));
    EXPECT_TRUE(calc.IsError()) << "a value that is not a number is no value to show";
    calc.SetValue(std::numeric_limits<double>::infinity());
    EXPECT_TRUE(calc.IsError());
    calc.SetValue(3);
    EXPECT_FALSE(calc.IsError());
    EXPECT_EQ(std::string(calc.GetDisplayText()), "3.");
}

TEST_F(CalculatorTest, SeparatorFromTheLocaleOrTheCaller)
{
    PvSetTestLocale(PvLocalePreset::German);
    CGXBCalculator german;
    ASSERT_TRUE(german.Create(0, WS_CHILD | WS_VISIBLE, 0, 0, &m_owner, 1));
    press(german, "1.5+1=");
    EXPECT_EQ(std::string(german.GetDisplayText()), "2,5");
    EXPECT_EQ(std::string(german.FindButton(CGXBCalculator::IdDecimal)->m_strLabel), ",");

    CGXBCalculator given;
    given.SetDecimalSeparator(".");
    ASSERT_TRUE(given.Create(0, WS_CHILD | WS_VISIBLE, 0, 0, &m_owner, 1));
    press(given, "1.5+1=");
    EXPECT_EQ(std::string(given.GetEntryText()), "2.5");

    CGXBCalculator wide;
    wide.SetDecimalSeparator("\xE2\x80\xA2");  // one character of three bytes
    ASSERT_TRUE(wide.Create(0, WS_CHILD | WS_VISIBLE, 0, 0, &m_owner, 1));
    press(wide, "12.34<<<");
    EXPECT_EQ(std::string(wide.GetDisplayText()), "12\xE2\x80\xA2");
    press(wide, ".5*2=");
    EXPECT_EQ(std::string(wide.GetDisplayText()), "25\xE2\x80\xA2");
    EXPECT_EQ(std::string(wide.GetEntryText()), "25\xE2\x80\xA2");
}

TEST_F(CalculatorTest, TypedCharactersKeysAndMouse)
{
    CGXBCalculator calc;
    ASSERT_TRUE(calc.Create(0, WS_CHILD | WS_VISIBLE, 10, 10, &m_owner, 1));
    calc.SetFocus();
    PvInputText("12+3");
    PvPumpMessages();
    EXPECT_EQ(std::string(calc.GetDisplayText()), "3.");
    PvInputKeyStroke(VK_RETURN);
    PvPumpMessages();
    EXPECT_EQ(std::string(calc.GetDisplayText()), "15.");
    PvInputText("98");
    PvInputKeyStroke(VK_DELETE);
    PvPumpMessages();
    EXPECT_EQ(std::string(calc.GetDisplayText()), "9.") << "Delete acts as <-";
    PvInputText("E");
    PvPumpMessages();
    EXPECT_EQ(std::string(calc.GetDisplayText()), "0.") << "'e' is the key of CE";

    // A press on "7" released over "8" does nothing; released over "7" it enters the digit.
    auto centre = [&](int nID) {
        CPoint pt = calc.FindButton(nID)->m_rect.CenterPoint();
        calc.ClientToScreen(&pt);
        return pt;
    };
    const CPoint seven = centre(CGXBCalculator::IdDigit0 + 7), eight = centre(CGXBCalculator::IdDigit0 + 8);
    PvInputMouseMove(seven.x, seven.y);
    PvInputMouseButton(PV_BUTTON_LEFT, true);
    PvPumpMessages();
    EXPECT_TRUE(calc.FindButton(CGXBCalculator::IdDigit0 + 7)->m_nFlags & CGXBCalcBtn::Pressed);
    PvInputMouseMove(eight.x, eight.y);
    PvPumpMessages();
    EXPECT_FALSE(calc.FindButton(CGXBCalculator::IdDigit0 + 7)->m_nFlags & CGXBCalcBtn::Pressed);
    PvInputMouseButton(PV_BUTTON_LEFT, false);
    PvPumpMessages();
    EXPECT_EQ(std::string(calc.GetDisplayText()), "0.");
    PvAdvanceTime(1000);
    PvInputClick(seven.x, seven.y);
    PvPumpMessages();
    EXPECT_EQ(std::string(calc.GetDisplayText()), "7.");
}

TEST_F(CalculatorTest, ButtonsAreLaidOutInSixRows)
{
    CGXBCalculator calc;
    ASSERT_TRUE(calc.Create(0, WS_CHILD | WS_VISIBLE | GXBCS_RAISEDFRAME, 0, 0, &m_owner, 1));
    ASSERT_EQ(calc.GetButtons().size(), 20u);
    const CRect zero = calc.FindButton(CGXBCalculator::IdDigit0)->m_rect;
    const CRect one = calc.FindButton(CGXBCalculator::IdDigit0 + 1)->m_rect;
    const CRect enter = calc.FindButton(CGXBCalculator::IdEquals)->m_rect;
    EXPECT_EQ(zero.Width(), 2 * one.Width());
    EXPECT_EQ(enter.Width(), 4 * one.Width());
    EXPECT_EQ(std::string(calc.FindButton(CGXBCalculator::IdEquals)->m_strLabel), "Enter");
    EXPECT_EQ(calc.GetDisplayRect().Width(), enter.Width());
    EXPECT_GT(enter.top, zero.bottom);
    CRect rcWindow, rcClient;
    calc.GetWindowRect(&rcWindow);
    calc.GetClientRect(&rcClient);
    EXPECT_EQ(rcWindow.Width() - rcClient.Width(), 4) << "its own two-pixel frame";
    EXPECT_EQ(rcClient.right, enter.right);
}

class PopupTest : public CalculatorTest {
protected:
    // An auto-deleting pop-up over rect that notifies on "=", as the currency edit opens it.
    CGXBPopupCalculator* open(const CRect& rect, double dValue)
    {
        auto* p = new CGXBPopupCalculator;
        p->SetAutoDelete(TRUE);
        p->SetValue(dValue);
        p->SetClosedHandler([this] { ++m_nClosed; });
        if (!p->Create(WS_VISIBLE | GXBCS_RAISEDFRAME | GXBCS_NOTIFYONEQUALS, rect, &m_owner)) {
            delete p;
            return nullptr;
        }
        return p;
    }
    int m_nClosed = 0;
};

TEST_F(PopupTest, OpensBelowOrAboveAndAlignsRight)
{
    CRect rcWork;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &rcWork, 0));
    CRect rc;
    CGXBPopupCalculator* p = open(CRect(100, 100, 200, 120), 0);
    ASSERT_NE(p, nullptr);
    p->GetWindowRect(&rc);
    EXPECT_EQ(rc.TopLeft(), CPoint(100, 120));
    EXPECT_EQ(CWnd::GetFocus(), p);
    p->DestroyWindow();

    p = open(CRect(rcWork.right - 60, rcWork.bottom - 30, rcWork.right - 10, rcWork.bottom - 10), 0);
    ASSERT_NE(p, nullptr);
    p->GetWindowRect(&rc);
    EXPECT_EQ(rc.bottom, rcWork.bottom - 30) << "above the rectangle near the work area's bottom";
    EXPECT_EQ(rc.right, rcWork.right - 10) << "right-aligned near its right edge";
    p->DestroyWindow();
    EXPECT_EQ(m_nClosed, 2);
}

TEST_F(PopupTest, EachWayOfClosingDeliversAtMostOnceAndClosesOnce)
{
    struct Case {
        const char* name;
        std::function<void()> act;
        std::vector<std::string> results;
    };
    const Case cases[] = {
        {"Return", [] { PvInputKeyStroke(VK_RETURN); }, {"14."}},
        {"=", [] { PvInputText("="); }, {"14."}},
        {"Alt+Down", [] { PvInputKeyStroke(VK_DOWN, false, false, true); }, {"14."}},
        {"Escape", [] { PvInputKeyStroke(VK_ESCAPE); }, {}},
        {"focus loss", [this] { m_owner.SetFocus(); }, {}},
        {"Return in error", [] { PvInputText("/0"); PvInputKeyStroke(VK_RETURN); }, {}},
    };
    for (const Case& c : cases) {
        m_owner.results.clear();
        m_nClosed = 0;
        CGXBPopupCalculator* p = open(CRect(100, 100, 200, 120), 7);
        ASSERT_NE(p, nullptr);
        const HWND h = p->GetSafeHwnd();
        PvInputText("*2");
        PvPumpMessages();
        c.act();
        PvPumpMessages();
        EXPECT_EQ(m_owner.results, c.results) << c.name;
        EXPECT_EQ(m_nClosed, 1) << c.name;
        EXPECT_FALSE(::IsWindow(h)) << c.name;
    }
}

// An owner may close the pop-up while it hears the result (ASan watches the rest of the way).
TEST_F(PopupTest, AnOwnerThatClosesThePopupOnTheResult)
{
    const std::function<void(CGXBPopupCalculator*)> ways[] = {
        [](CGXBPopupCalculator*) { PvInputKeyStroke(VK_RETURN); },
        [](CGXBPopupCalculator*) { PvInputText("="); },
        [](CGXBPopupCalculator* p) {
            CPoint pt = p->FindButton(CGXBCalculator::IdEquals)->m_rect.CenterPoint();
            p->ClientToScreen(&pt);
            PvAdvanceTime(1000);
            PvInputClick(pt.x, pt.y);
        },
    };
    for (const auto& way : ways) {
        m_owner.results.clear();
        m_nClosed = 0;
        CGXBPopupCalculator* p = open(CRect(100, 100, 200, 120), 3);
        ASSERT_NE(p, nullptr);
        m_owner.closeOnResult = p->GetSafeHwnd();
        way(p);
        PvPumpMessages();
        m_owner.closeOnResult = nullptr;
        EXPECT_EQ(m_owner.results, std::vector<std::string> {"3."});
        EXPECT_EQ(m_nClosed, 1);
    }
}

}  // namespace
