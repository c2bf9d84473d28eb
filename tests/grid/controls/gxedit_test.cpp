// The edit control: typing, the keys it takes or passes on, the clipboard, replace.

#include <cstdlib>
#include <cstring>

#include "gxgridfixture.h"
#include "platform/sys/globalmem.h"

namespace {

CString ClipboardText()
{
    CString s;
    if (!::OpenClipboard(nullptr))
        return s;
    if (HGLOBAL h = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(h))) {
            s = CString(p, int(strnlen(p, GlobalSize(h))));
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return s;
}

void PutOnClipboard(const char* pszText)
{
    ASSERT_TRUE(::OpenClipboard(nullptr));
    EmptyClipboard();
    const size_t n = std::strlen(pszText) + 1;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, n);
    std::memcpy(GlobalLock(h), pszText, n);
    GlobalUnlock(h);
    SetClipboardData(CF_TEXT, h);
    CloseClipboard();
}

class EditTest : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        m_grid->SetValueRange(CGXCellRange(4, 3), "old");
        ASSERT_TRUE(m_grid->PlaceCurrentCell(4, 3, 0));
        ASSERT_NE(Edit(), nullptr);
    }

    CEdit* Wnd() { return Edit()->GetEditWnd(); }
    CString Text()
    {
        CString s;
        Edit()->GetCellValueText(s);
        return s;
    }
    void Active(const char* pszText, int nSelStart, int nSelEnd)
    {
        Edit()->SetActive(TRUE);
        Edit()->SetEditText(pszText);
        Wnd()->SetSel(nSelStart, nSelEnd);
    }
    void SendKey(UINT vk, bool ctrl = false, bool shift = false)
    {
        SetModifiers(ctrl, shift, false);
        Wnd()->SendMessage(WM_KEYDOWN, vk, 1);
        SetModifiers(false, false, false);
    }
    void SendChar(UINT ch, bool ctrl = false)
    {
        SetModifiers(ctrl, false, false);
        Wnd()->SendMessage(WM_CHAR, ch, 1);
        SetModifiers(false, false, false);
    }
    ROWCOL Row()
    {
        ROWCOL r = 0, c = 0;
        m_grid->QueryCurrentCell(r, c);
        return r;
    }
    ROWCOL Col()
    {
        ROWCOL r = 0, c = 0;
        m_grid->QueryCurrentCell(r, c);
        return c;
    }
};

TEST_F(EditTest, OneWindowOfClassGXEDITOverTheGrid)
{
    ASSERT_NE(Wnd(), nullptr);
    char szClass[32] = {};
    ::GetClassName(Wnd()->GetSafeHwnd(), szClass, sizeof(szClass));
    EXPECT_STREQ(szClass, "GXEDIT");
    EXPECT_EQ(Wnd()->GetParent(), &m_wnd);
    EXPECT_FALSE(Wnd()->IsWindowVisible()) << "hidden until the cell is edited";
    EXPECT_TRUE(Edit()->IsControlKindOf(&CGXStatic::classCGXStatic));
    ASSERT_TRUE(m_grid->PlaceCurrentCell(6, 2, 0));
    EXPECT_EQ(Edit()->GetEditWnd(), Wnd()) << "the same control serves every edit cell";
}

TEST_F(EditTest, TypingIntoAnInactiveCellReplacesItsValue)
{
    EXPECT_TRUE(m_grid->ProcessKeyMessage(WM_CHAR, 'x', 1));
    EXPECT_TRUE(Edit()->IsActive());
    EXPECT_STREQ(Text(), "x");
    int a = 0, b = 0;
    Wnd()->GetSel(a, b);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 1);
    EXPECT_STREQ(Value(4, 3), "old") << "stored when the cell is left";
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_STREQ(Value(4, 3), "x");
}

TEST_F(EditTest, KeysTheWindowTakesOrPassesToTheGrid)
{
    struct Case {
        const char* name;
        const char* text;
        int selStart, selEnd;
        UINT vk;
        bool ctrl = false;
        BOOL allowEnter = FALSE;
        WORD wEnter = 0;
        ROWCOL row, col;
    };
    const Case cases[] = {
        {.name = "left at caret 0 moves", .text = "ab", .selStart = 0, .selEnd = 0, .vk = VK_LEFT, .row = 4, .col = 2},
        {.name = "left inside the text stays", .text = "ab", .selStart = 1, .selEnd = 1, .vk = VK_LEFT, .row = 4, .col = 3},
        {.name = "right at the end moves", .text = "ab", .selStart = 2, .selEnd = 2, .vk = VK_RIGHT, .row = 4, .col = 4},
        {.name = "up on the first line moves", .text = "a\r\nb", .selStart = 0, .selEnd = 0, .vk = VK_UP, .row = 3, .col = 3},
        {.name = "up on the second line stays", .text = "a\r\nb", .selStart = 3, .selEnd = 3, .vk = VK_UP, .row = 4, .col = 3},
        {.name = "down on the last line moves", .text = "a\r\nb", .selStart = 3, .selEnd = 3, .vk = VK_DOWN, .row = 5, .col = 3},
        {.name = "enter without allow-enter moves", .text = "ab", .selStart = 2, .selEnd = 2, .vk = VK_RETURN, .wEnter = 3, .row = 5, .col = 3},
        {.name = "enter with allow-enter stays", .text = "ab", .selStart = 2, .selEnd = 2, .vk = VK_RETURN, .allowEnter = TRUE, .wEnter = 3, .row = 4, .col = 3},
        {.name = "ctrl+right goes to the grid", .text = "ab", .selStart = 0, .selEnd = 0, .vk = VK_RIGHT, .ctrl = true, .row = 4, .col = 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_grid->PlaceCurrentCell(4, 3, 0));
        m_grid->GetParam()->m_wOption2 = c.wEnter;
        Edit()->m_bAllowEnter = c.allowEnter;
        Edit()->UpdateEditStyle();
        Active(c.text, c.selStart, c.selEnd);
        SendKey(c.vk, c.ctrl);
        EXPECT_EQ(Row(), c.row);
        EXPECT_EQ(Col(), c.col);
        m_grid->SetValueRange(CGXCellRange(4, 3), "old");
    }
}

TEST_F(EditTest, LineBreaks)
{
    struct Case {
        const char* name;
        BOOL wrap, allowEnter;
        UINT ch;
        bool ctrl;
        const char* result;
    };
    const Case cases[] = {
        {"ctrl+enter in a wrapping cell breaks the line", TRUE, FALSE, 10, true, "a\r\nb"},
        {"ctrl+enter without wrapping is swallowed", FALSE, FALSE, 10, true, "ab"},
        {"enter with allow-enter breaks the line", FALSE, TRUE, 13, false, "a\r\nb"},
        {"enter without allow-enter is swallowed", FALSE, FALSE, 13, false, "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Edit()->m_bWrapText = c.wrap;
        Edit()->m_bAllowEnter = c.allowEnter;
        Edit()->UpdateEditStyle();
        Active("ab", 1, 1);
        SendChar(c.ch, c.ctrl);
        EXPECT_STREQ(Text(), c.result);
    }
}

TEST_F(EditTest, MaximumLengthRefusesTheSixthCharacter)
{
    CGXStyle limited;
    limited.SetMaxLength(5);
    SetStyle(6, 2, limited);
    ASSERT_TRUE(m_grid->PlaceCurrentCell(6, 2, 0));
    m_grid->ProcessKeyMessage(WM_CHAR, 'a', 1);
    for (char ch : std::string("bcdef"))
        SendChar(UINT(BYTE(ch)));
    EXPECT_STREQ(Text(), "abcde");
}

TEST_F(EditTest, ShiftDeleteCutsAndShiftInsertPastes)
{
    Active("hello", 1, 3);
    SendKey(VK_DELETE, false, true);
    EXPECT_STREQ(ClipboardText(), "el");
    EXPECT_STREQ(Text(), "hlo");
    Wnd()->SetSel(3, 3);
    SendKey(VK_INSERT, false, true);
    EXPECT_STREQ(Text(), "hloel");
}

// A control whose copy refuses, as the password cell's does.
class NoCopyEdit : public CGXEditControl {
public:
    using CGXEditControl::CGXEditControl;
    BOOL CopyText() override { return FALSE; }
};

TEST_F(EditTest, ARefusingCopyLeavesTheClipboardAlone)
{
    constexpr WORD kId = 30002;
    m_grid->RegisterControl(kId, new NoCopyEdit(m_grid.get(), kId), FALSE, FALSE);
    CGXStyle style;
    style.SetControl(kId);
    SetStyle(7, 2, style);
    ASSERT_TRUE(m_grid->PlaceCurrentCell(7, 2, 0));
    ASSERT_NE(dynamic_cast<NoCopyEdit*>(Edit()), nullptr);
    PutOnClipboard("keep");
    Active("secret", 0, 6);
    SendChar(3, true);  // Ctrl+C
    EXPECT_STREQ(ClipboardText(), "keep");
    SendChar(24, true);  // Ctrl+X
    EXPECT_STREQ(ClipboardText(), "keep");
    SendKey(VK_DELETE, false, true);
    EXPECT_STREQ(ClipboardText(), "keep");
    EXPECT_STREQ(Text(), "secret");
}

TEST_F(EditTest, ReplaceStoresAGrowingTextWhole)
{
    const std::string before(2000, 'a');
    m_grid->SetValueRange(CGXCellRange(9, 2), before.c_str());
    GXFindReplaceParams params;
    params.strFind = "A";  // upper-cased by the caller
    params.strReplace = "bb";
    EXPECT_TRUE(Edit()->ReplaceInCell(&params, 9, 2));
    const CString after = Value(9, 2);
    EXPECT_EQ(after.GetLength(), 4000);
    EXPECT_EQ(std::string(after), std::string(4000, 'b'));

    params.strFind = "zz";
    EXPECT_FALSE(Edit()->ReplaceInCell(&params, 9, 2)) << "nothing to replace";
    params.strFind = "b";
    params.bMatchCase = TRUE;
    params.strReplace = "";
    EXPECT_TRUE(Edit()->ReplaceInCell(&params, 9, 2));
    EXPECT_STREQ(Value(9, 2), "");
}

TEST_F(EditTest, EscCancelsTheEditAndRestoresTheValue)
{
    Active("changed", 7, 7);
    SendKey(VK_ESCAPE);
    EXPECT_FALSE(Edit()->IsActive());
    EXPECT_STREQ(Text(), "old");
    EXPECT_STREQ(Value(4, 3), "old");
}

}  // namespace

// A click on the current cell's text puts the caret at the nearer edge of the character under
// it; a click off the text leaves the cell inactive (activation flag 1, the default).
TEST_F(EditTest, AClickOnTheTextPutsTheCaretThere)
{
    m_grid->SetValueRange(CGXCellRange(4, 3), "abcdef");
    ASSERT_TRUE(m_grid->PlaceCurrentCell(4, 3, 0));
    const CRect inner = Edit()->ComputeInnerRect(4, 3);
    CDC* pDC = m_grid->GetMeasureDC();
    CFont* pOld = pDC->SelectObject(m_grid->LookupFont(m_grid->GetCellStyleCached(4, 3).GetFont()));
    const int w3 = pDC->GetTextExtent("abc", 3).cx, w4 = pDC->GetTextExtent("abcd", 4).cx;
    const int wAll = pDC->GetTextExtent("abcdef", 6).cx;
    pDC->SelectObject(pOld);
    m_grid->ReleaseMeasureDC();
    ASSERT_LT(wAll + 4, inner.Width());
    const int y = inner.top + 2;
    struct Case {
        const char* name;
        int x;
        int caret;  // -1: not activated
    } cases[] = {
        {"left half of d", inner.left + w3 + 1, 3},
        {"right half of d", inner.left + w4 - 1, 4},
        {"past the end", inner.left + wAll + 3, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Edit()->SetActive(FALSE);
        EXPECT_TRUE(Edit()->OnLeftButtonUp(4, 3, 0, CPoint(c.x, y)));
        EXPECT_EQ(Edit()->IsActive(), c.caret >= 0);
        if (c.caret >= 0) {
            int a = 0, b = 0;
            Wnd()->GetSel(a, b);
            EXPECT_EQ(a, c.caret);
            EXPECT_EQ(b, c.caret);
        }
    }
}
