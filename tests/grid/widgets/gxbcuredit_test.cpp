// The currency edit: edits of the shown text, sign, undo, read-only, clipboard and menu,
// notifications, characters as positions, and the calculator with the grid's pop-up flag.

#include "grid/widgets/gxbcuredit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <functional>
#include <string>
#include <vector>

#include "grid/core/gxlibdata.h"
#include "grid/widgets/gxbcalc.h"
#include "platform/sys/globalmem.h"
#include "platform/sys/locale.h"
#include "platform/ui/afxres.h"
#include "platform/ui/menu.h"
#include "platform/win/pvwin.h"
#include "tests/grid/widgets/widget_formats.h"

namespace {

constexpr int kEditId = 42;

class Parent : public CWnd {
public:
    std::vector<UINT> codes;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM) override
    {
        if (LOWORD(wParam) == kEditId && (HIWORD(wParam) == EN_UPDATE || HIWORD(wParam) == EN_CHANGE))
            codes.push_back(HIWORD(wParam));
        return TRUE;
    }
};

CGXBCurrencyFormat english() { return EnglishCurrencyFormat(); }
CGXBCurrencyFormat german() { return GermanCurrencyFormat(); }

class CurrencyEditTest : public ::testing::Test {
public:
    void SetUp() override
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        PvSetTestLocale(PvLocalePreset::EnglishUS);
        SetGridPopupActive(FALSE);
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300,
                                      nullptr, nullptr));
        ASSERT_TRUE(m_edit.Create(WS_VISIBLE | WS_BORDER, CRect(10, 10, 200, 34), &m_parent, kEditId));
        m_edit.SetFormat(english());
    }
    void TearDown() override
    {
        // The desktop keeps what was copied until someone empties it.
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        m_edit.DestroyWindow();
        m_parent.DestroyWindow();
        SetGridPopupActive(FALSE);
        PvResetLocale();
    }
    std::string shown() const
    {
        CString s;
        m_edit.GetWindowText(s);
        return std::string(s);
    }
    void keys(UINT vk, bool ctrl = false, bool shift = false, bool alt = false)
    {
        PvInputKeyStroke(vk, ctrl, shift, alt);
        PvPumpMessages();
    }
    void type(const char* text)
    {
        PvInputText(text);
        PvPumpMessages();
    }
    void putOnClipboard(const char* text)
    {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
        std::memcpy(GlobalLock(h), text, std::strlen(text) + 1);
        GlobalUnlock(h);
        SetClipboardData(CF_TEXT, h);
        CloseClipboard();
    }

    Parent m_parent;
    CGXBCurrencyEdit m_edit;
};

TEST_F(CurrencyEditTest, EditsOfTheShownText)
{
    struct Case {
        const char* name;
        double value;
        int selStart, selEnd;  // (-1, 0): none; the caret then at `caret`
        int caret;
        std::function<void(CurrencyEditTest&)> act;
        const char* text;
        int caretAfter;  // -1: not checked
    };
    auto ch = [](const char* s) { return [s](CurrencyEditTest& t) { t.type(s); }; };
    auto key = [](UINT vk) { return [vk](CurrencyEditTest& t) { t.keys(vk); }; };
    auto paste = [](const char* s) {
        return [s](CurrencyEditTest& t) {
            t.putOnClipboard(s);
            t.m_edit.SendMessage(WM_PASTE);
        };
    };
    const Case cases[] = {
        {"typing replaces the selected whole", 0, 0, -1, 0, ch("123"), "$123.00", 4},
        {"'.' goes past the separator", 12, -1, 0, 0, ch("."), "$12.00", 4},
        {"Delete in the fraction writes 0", 12.34, -1, 0, 4, key(VK_DELETE), "$12.04", 5},
        {"Backspace in the fraction writes 0", 12.34, -1, 0, 5, key(VK_BACK), "$12.04", 4},
        {"Backspace in the integer part", 1234, -1, 0, 6, key(VK_BACK), "$123.00", 4},
        {"Delete in the integer part", 1234, -1, 0, 1, key(VK_DELETE), "$234.00", 1},
        {"Delete skips a separator", 1234, -1, 0, 2, key(VK_DELETE), "$134.00", 2},
        {"a digit grows the groups", 123, -1, 0, 4, ch("4"), "$1,234.00", 6},
        {"the fraction is overtyped", 1, -1, 0, 3, ch("5"), "$1.50", 4},
        {"after the last decimal nothing", 1.5, -1, 0, 5, ch("7"), "$1.50", 5},
        {"deleting every digit leaves zero", 5, -1, 0, 1, key(VK_DELETE), "$0.00", 2},
        {"'-' flips the sign", 5, -1, 0, 5, ch("-"), "($5.00)", 6},
        {"'-' on the whole selection makes it negative", -5, 0, -1, 0, ch("-"), "($5.00)", -1},
        {"a partial paste takes the digits", 56, 1, 3, 0, paste("$12.34"), "$1,234.00", -1},
        {"a paste over the whole is a value", 56, 0, -1, 0, paste("-$12.34"), "($12.34)", -1},
        {"a paste that is no number changes nothing", 56, 0, -1, 0, paste("abc"), "$56.00", -1},
        {"Shift+Delete cuts the selection", 1234, 1, 6, 0,
         [](CurrencyEditTest& t) { t.keys(VK_DELETE, false, true); }, "$0.00", -1},
        {"Ctrl+Z takes the edit back", 12, -1, 0, 3, [](CurrencyEditTest& t) { t.type("9"); t.keys('Z', true); },
         "$12.00", 3},
    };
    for (const Case& c : cases) {
        m_edit.SetValue(c.value);
        m_edit.SetFocus();
        m_edit.SetSel(-1, 0);
        if (c.selStart != -1 || c.selEnd != 0) {
            ASSERT_TRUE(m_edit.SetSel(c.selStart, c.selEnd)) << c.name;
        } else {
            ASSERT_TRUE(m_edit.SetSel(c.caret, c.caret)) << c.name;
            m_edit.SetSel(-1, 0);
        }
        c.act(*this);
        PvPumpMessages();
        EXPECT_EQ(shown(), c.text) << c.name;
        if (c.caretAfter >= 0) {
            EXPECT_EQ(m_edit.GetCaretIndex(), c.caretAfter) << c.name;
        }
        m_parent.SetFocus();
    }
}

TEST_F(CurrencyEditTest, SelectionUndoAndNotifications)
{
    m_edit.SetValue(12);
    EXPECT_FALSE(m_edit.SetSel(-1, 3));
    EXPECT_FALSE(m_edit.SetSel(0, 99));
    EXPECT_TRUE(m_edit.SetSel(0, -1));
    int a = 0, b = 0;
    m_edit.GetSel(a, b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 6);
    EXPECT_EQ(m_edit.SendMessage(EM_GETSEL), LRESULT(MAKELONG(0, 6)));

    m_parent.codes.clear();
    m_edit.SetValue(34);
    EXPECT_TRUE(m_parent.codes.empty()) << "no notification for SetValue";
    EXPECT_FALSE(m_edit.SetValue(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(m_edit.SetValue(std::nan("")));
    EXPECT_EQ(shown(), "$34.00");

    m_edit.SetFocus();
    type("7");
    EXPECT_EQ(shown(), "$7.00");
    EXPECT_EQ(m_parent.codes, (std::vector<UINT> {EN_UPDATE, EN_CHANGE})) << "once per user edit";
    m_parent.codes.clear();
    type("8");  // the caret stands past the digit: it grows the number
    EXPECT_EQ(shown(), "$78.00");
    EXPECT_EQ(m_parent.codes.size(), 2u);

    keys('Z', true);
    EXPECT_EQ(shown(), "$7.00");
    keys('Z', true);
    EXPECT_EQ(shown(), "$78.00") << "a second undo brings the edit again";
    EXPECT_DOUBLE_EQ(m_edit.GetValue(), 78);
}

TEST_F(CurrencyEditTest, ReadOnlyRefusesEveryEdit)
{
    m_edit.SetValue(12.5);
    m_edit.SetReadOnly(TRUE);
    m_edit.SetFocus();
    putOnClipboard("99");
    type("34-");
    keys(VK_BACK);
    keys(VK_DELETE);
    m_edit.SendMessage(WM_PASTE);
    m_edit.SendMessage(WM_CUT);
    m_edit.SendMessage(GXB_WM_CALCRESULT, 0, reinterpret_cast<LPARAM>("77."));
    PvPumpMessages();
    EXPECT_EQ(shown(), "$12.50");
    // Copying is still allowed.
    m_edit.SetSel(0, -1);
    m_edit.SendMessage(WM_COPY);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL h = GetClipboardData(CF_TEXT);
    ASSERT_NE(h, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(h)), "$12.50");
    GlobalUnlock(h);
    CloseClipboard();
}

TEST_F(CurrencyEditTest, MenuGreying)
{
    struct Case {
        const char* name;
        bool readOnly;
        bool select;
        const char* clipboard;
        std::vector<UINT> grayed;
    };
    const Case cases[] = {
        {"no selection, nothing to paste", false, false, "x",
         {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_CLEAR}},
        {"all selected, a value to paste", false, true, "$3.00", {ID_EDIT_UNDO}},
        {"read-only", true, true, "$3.00", {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_CLEAR}},
    };
    const UINT all[] = {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_CLEAR, ID_EDIT_SELECT_ALL};
    for (const Case& c : cases) {
        m_edit.SetValue(1);
        m_edit.SendMessage(EM_EMPTYUNDOBUFFER);
        m_edit.SetReadOnly(c.readOnly);
        m_edit.SetSel(c.select ? 0 : -1, c.select ? -1 : 0);
        putOnClipboard(c.clipboard);
        CMenu* pMenu = m_edit.CreateContextMenu();
        ASSERT_NE(pMenu, nullptr);
        for (UINT id : all) {
            const bool bGrayed = (pMenu->GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED) != 0;
            const bool bExpected = std::find(c.grayed.begin(), c.grayed.end(), id) != c.grayed.end();
            EXPECT_EQ(bGrayed, bExpected) << c.name << " item " << id;
        }
        m_edit.DestroyContextMenu(pMenu);
    }
}

TEST_F(CurrencyEditTest, CaretCountsCharactersOfTheShownText)
{
    m_edit.SetFormat(german());
    m_edit.SetValue(1234.5);
    EXPECT_EQ(shown(), "1.234,50 \xE2\x82\xAC");
    m_edit.SetFocus();
    keys(VK_HOME);
    for (int i = 1; i <= 10; ++i) {
        keys(VK_RIGHT);
        EXPECT_EQ(m_edit.GetCaretIndex(), i);
    }
    keys(VK_RIGHT);
    EXPECT_EQ(m_edit.GetCaretIndex(), 10) << "no position past the last character";
    keys(VK_HOME, false, true);
    int a = 0, b = 0;
    m_edit.GetSel(a, b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 10);
    type(",");
    EXPECT_EQ(m_edit.GetCaretIndex(), 6) << "just after the decimal separator";

    // A space-like grouping separator, one character of three bytes.
    CGXBCurrencyFormat fr = german();
    fr.SetGroupingSeparator(0x202F);
    m_edit.SetFormat(fr);
    EXPECT_EQ(shown(), "1\xE2\x80\xAF" "234,50 \xE2\x82\xAC");
    m_edit.SetSel(-1, 0);
    keys(VK_HOME);
    keys(VK_RIGHT);
    keys(VK_RIGHT);
    type("9");
    EXPECT_EQ(shown(), "19\xE2\x80\xAF" "234,50 \xE2\x82\xAC");
    EXPECT_EQ(m_edit.GetCaretIndex(), 3) << "moved by the text's growth: past the 9 and the regrouped separator";
}

// Opening the calculator as the cell does, and each way of closing it.
class CalculatorFlagTest : public CurrencyEditTest {};

TEST_F(CalculatorFlagTest, FlagHeldWhileOpenAndRestoredAfter)
{
    struct Case {
        const char* name;
        std::function<void(CurrencyEditTest&)> close;
        double value;
    };
    const Case cases[] = {
        {"Return", [](CurrencyEditTest& t) { t.keys(VK_RETURN); }, 24.5},
        {"=", [](CurrencyEditTest& t) { t.type("="); }, 24.5},
        {"Alt+Down", [](CurrencyEditTest& t) { t.keys(VK_DOWN, false, false, true); }, 24.5},
        {"Escape", [](CurrencyEditTest& t) { t.keys(VK_ESCAPE); }, 12.25},
        {"focus loss", [](CurrencyEditTest& t) { t.m_parent.SetFocus(); PvPumpMessages(); }, 12.25},
        {"the edit goes", [](CurrencyEditTest& t) { t.m_edit.DestroyWindow(); }, 12.25},
    };
    for (const BOOL former : {FALSE, TRUE}) {
        for (const Case& c : cases) {
            if (!m_edit.GetSafeHwnd()) {
                ASSERT_TRUE(m_edit.Create(WS_VISIBLE, CRect(10, 10, 200, 34), &m_parent, kEditId));
            }
            m_edit.SetFormat(english());
            m_edit.SetValue(12.25);
            m_edit.SetFocus();
            SetGridPopupActive(former);
            keys(VK_F4);
            ASSERT_NE(m_edit.GetCalculator(), nullptr) << c.name;
            EXPECT_TRUE(GetGridPopupActive()) << c.name;
            type("*2");
            c.close(*this);
            PvPumpMessages();
            EXPECT_EQ(m_edit.GetCalculator(), nullptr) << c.name;
            EXPECT_EQ(GetGridPopupActive(), former) << c.name;
            EXPECT_DOUBLE_EQ(m_edit.GetValue(), c.value) << c.name;
        }
    }
}

TEST_F(CalculatorFlagTest, FailedCreationRestoresTheFlag)
{
    class NoButtons : public CGXBPopupCalculator {
    protected:
        BOOL CreateButtons() override { return FALSE; }
    };
    class Edit : public CGXBCurrencyEdit {
    protected:
        CGXBPopupCalculator* NewCalculator() override { return new NoButtons; }
    };
    Edit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE, CRect(10, 40, 200, 64), &m_parent, kEditId + 1));
    for (const BOOL former : {FALSE, TRUE}) {
        SetGridPopupActive(former);
        EXPECT_FALSE(edit.ShowCalculator());
        EXPECT_EQ(GetGridPopupActive(), former);
        EXPECT_EQ(edit.GetCalculator(), nullptr);
    }
}

TEST_F(CalculatorFlagTest, TheResultReadsBackWithTheFormatsSeparator)
{
    // English separators under a German locale: the calculator writes what the Format reads.
    PvSetTestLocale(PvLocalePreset::German);
    CGXBCurrencyFormat f(FALSE);
    f.SetDecimalSeparator('.');
    f.SetGroupingSeparator(',');
    m_edit.SetFormat(f);
    m_edit.SetValue(1234.5);
    m_edit.SetFocus();
    keys(VK_F4);
    ASSERT_NE(m_edit.GetCalculator(), nullptr);
    keys(VK_RETURN);
    EXPECT_DOUBLE_EQ(m_edit.GetValue(), 1234.5);

    m_edit.SetFormat(german());
    keys(VK_F4);
    type("*2");
    keys(VK_RETURN);
    EXPECT_DOUBLE_EQ(m_edit.GetValue(), 2469);
    EXPECT_EQ(shown(), "2.469,00 \xE2\x82\xAC");
}

TEST_F(CurrencyEditTest, RegistersItsClassAndTheCaptiveIsOne)
{
    WNDCLASS wc {};
    EXPECT_TRUE(GetClassInfo(AfxGetInstanceHandle(), "CGXBCurrencyEdit", &wc));
    CGXCaptiveCurEdit captive;
    EXPECT_TRUE(captive.IsKindOf(RUNTIME_CLASS(CGXBCurrencyEdit)));
    ASSERT_TRUE(captive.Create(0, CRect(0, 0, 100, 20), &m_parent, 9));
    captive.SetFormat(german());
    captive.SetValue(-1234.5);
    CString s;
    captive.GetWindowText(s);
    EXPECT_EQ(std::string(s), "-1.234,50 \xE2\x82\xAC");
}

// The mouse: a drag selects characters, a click outside the number selects all, a double click
// selects all, and the drop button (the built-in calculator picture) opens the calculator.
TEST_F(CurrencyEditTest, MouseSelectsAndTheButtonOpensTheCalculator)
{
    m_edit.SetValue(1234.5);  // "$1,234.50", left-aligned
    auto at = [&](int nChar) {
        // The screen point over the middle of character nChar's left half.
        CClientDC dc(&m_edit);
        CString prefix = CString(shown().substr(0, size_t(nChar)).c_str());
        dc.SelectObject(CFont::FromHandle(static_cast<HFONT>(GetStockObject(SYSTEM_FONT))));
        CPoint pt(GetSystemMetrics(SM_CXBORDER) + dc.GetTextExtent(prefix).cx + 1, 8);
        m_edit.ClientToScreen(&pt);
        return pt;
    };
    PvAdvanceTime(1000);
    const CPoint from = at(1), to = at(5);
    PvInputMouseMove(from.x, from.y);
    PvInputMouseButton(PV_BUTTON_LEFT, true);
    PvInputMouseMove(to.x, to.y);
    PvInputMouseButton(PV_BUTTON_LEFT, false);
    PvPumpMessages();
    int a = 0, b = 0;
    m_edit.GetSel(a, b);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 5);
    EXPECT_EQ(CWnd::GetFocus(), &m_edit);

    PvAdvanceTime(1000);
    const CPoint symbol = at(0);
    PvInputClick(symbol.x, symbol.y);
    PvPumpMessages();
    m_edit.GetSel(a, b);
    EXPECT_EQ(b - a, 9) << "a caret before the number selects all";

    PvAdvanceTime(1000);
    m_edit.SetSel(-1, 0);
    PvInputClick(from.x, from.y, PV_BUTTON_LEFT, true);
    PvPumpMessages();
    m_edit.GetSel(a, b);
    EXPECT_EQ(b - a, 9) << "a double click selects all";

    m_edit.SetButtonBitmap(20036);
    ASSERT_FALSE(m_edit.GetButtonRect().IsRectEmpty()) << "the widgets' own calculator picture";
    CRect rcButton = m_edit.GetButtonRect();
    m_parent.ClientToScreen(&rcButton);
    PvAdvanceTime(1000);
    PvInputClick(rcButton.CenterPoint().x, rcButton.CenterPoint().y);
    PvPumpMessages();
    ASSERT_NE(m_edit.GetCalculator(), nullptr);
    EXPECT_TRUE(GetGridPopupActive());
    keys(VK_ESCAPE);
    EXPECT_EQ(m_edit.GetCalculator(), nullptr);
    EXPECT_EQ(CWnd::GetFocus(), &m_edit) << "Escape gives the focus back";
}

}  // namespace
