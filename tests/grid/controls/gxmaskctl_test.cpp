// The masked edit cell: the mask shown and stored, typing, keys, pasting and the clipboard.

#include <cstring>

#include "gxcellctlfixture.h"
#include "grid/controls/gxmaskctl.h"
#include "grid/core/gxfactory.h"
#include "platform/win/pvwin.h"

namespace {

class MaskTest : public CellCtlFixture {
protected:
    void SetUp() override
    {
        CellCtlFixture::SetUp();
        PlaceMask(4, 3, "(###)", "12");
    }

    void PlaceMask(ROWCOL r, ROWCOL c, const char* pszMask, const char* pszValue, const char* pszPrompt = nullptr)
    {
        CGXStyle style;
        style.SetUserAttribute(GX_IDS_UA_INPUTMASK, pszMask).SetValue(pszValue);
        if (pszPrompt)
            style.SetUserAttribute(GX_IDS_UA_INPUTPROMPT, pszPrompt);
        Place(r, c, GX_IDS_CTRL_MASKEDIT, style);
        ASSERT_NE(Mask(), nullptr);
    }
    CGXMaskControl* Mask() { return dynamic_cast<CGXMaskControl*>(Control()); }
    CEdit* Wnd() { return Mask()->GetEditWnd(); }
    CString WndText()
    {
        CString s;
        Wnd()->GetWindowText(s);
        return s;
    }
    void Activate(int a, int b)
    {
        Mask()->SetActive(TRUE);
        Wnd()->SetSel(a, b);
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
    void Type(const char* psz)
    {
        for (; *psz; ++psz)
            SendChar(BYTE(*psz));
    }
    std::pair<int, int> Sel()
    {
        int a = 0, b = 0;
        Wnd()->GetSel(a, b);
        return {a, b};
    }
    ROWCOL Col()
    {
        ROWCOL r = 0, c = 0;
        m_grid->QueryCurrentCell(r, c);
        return c;
    }
    static CString ClipboardFormatText(UINT nFormat)
    {
        CString s;
        if (!::OpenClipboard(nullptr))
            return s;
        if (HGLOBAL h = GetClipboardData(nFormat)) {
            if (const char* p = static_cast<const char*>(GlobalLock(h))) {
                s = CString(p, int(strnlen(p, GlobalSize(h))));
                GlobalUnlock(h);
            }
        }
        CloseClipboard();
        return s;
    }
};

TEST_F(MaskTest, ShowsTheMaskedValueAndCommitsTheValueText)
{
    EXPECT_TRUE(Mask()->IsControlKindOf(&CGXStatic::classCGXStatic));
    EXPECT_FALSE(Mask()->IsControlKindOf(&CGXEditControl::classCGXEditControl));
    EXPECT_STREQ(WndText(), "(12_)");
    CString s;
    EXPECT_TRUE(Mask()->GetDisplayText(s, 4, 3, "7", m_grid->GetCellStyleCached(4, 3)));
    EXPECT_STREQ(s, "(7__)");
    EXPECT_NE(CGXMaskControl::GetClipboardFormat(), 0u);
    EXPECT_EQ(CGXMaskControl::GetClipboardFormat(), ::RegisterClipboardFormat("GX_MASKDATA")) << "registered at start-up";

    Activate(3, 3);
    Type("3");
    EXPECT_STREQ(WndText(), "(123)");
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_STREQ(Value(4, 3), "123");

    PlaceMask(4, 3, "(###)", "12");
    Mask()->SetActive(TRUE);
    Mask()->SetModified(TRUE);
    EXPECT_TRUE(m_grid->PlaceCurrentCell(4, 4, 0));
    EXPECT_STREQ(Value(4, 3), "12");
}

TEST_F(MaskTest, TypingFiltersThroughTheMask)
{
    // A letter into a digit position changes nothing and makes no sound.
    Activate(1, 1);
    int nBeeps = PvBeepCount();
    SendChar('a');
    EXPECT_STREQ(WndText(), "(12_)");
    EXPECT_EQ(PvBeepCount(), nBeeps);

    // A selection over the closing literal alone holds no input position: a beep, no change.
    Wnd()->SetSel(4, 5);
    SendChar('9');
    EXPECT_STREQ(WndText(), "(12_)");
    EXPECT_EQ(PvBeepCount(), nBeeps + 1);

    // Insert shifts the entered characters right; the caret skips the literal.
    Wnd()->SetSel(1, 1);
    SendChar('9');
    EXPECT_STREQ(WndText(), "(912)");
    EXPECT_EQ(Sel(), std::make_pair(2, 2));
    nBeeps = PvBeepCount();
    Wnd()->SetSel(5, 5);
    SendChar('1');
    EXPECT_EQ(PvBeepCount(), nBeeps + 1) << "no input position left";
    EXPECT_STREQ(WndText(), "(912)");

    // Insert toggles overwrite.
    Wnd()->SetSel(2, 2);
    SendKey(VK_INSERT);
    EXPECT_FALSE(Mask()->GetInsertMode());
    SendChar('5');
    EXPECT_STREQ(WndText(), "(952)");
}

TEST_F(MaskTest, TheFirstCharacterTypedReplacesTheValue)
{
    EXPECT_FALSE(Mask()->IsActive());
    const int nBeeps = PvBeepCount();
    EXPECT_TRUE(Char('x'));
    EXPECT_FALSE(Mask()->IsActive()) << "a letter does not fit the first position";
    EXPECT_EQ(PvBeepCount(), nBeeps);
    EXPECT_TRUE(Char('7'));
    EXPECT_TRUE(Mask()->IsActive());
    EXPECT_STREQ(WndText(), "(7__)");
    EXPECT_EQ(Sel(), std::make_pair(2, 2));
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_STREQ(Value(4, 3), "7");
}

TEST_F(MaskTest, KeysMoveOverInputPositions)
{
    struct Case {
        const char* name;
        int a, b;
        UINT vk;
        bool shift;
        const char* text;
        int selA, selB;
        ROWCOL col;
    };
    const Case cases[] = {
        {"backspace at the first input position does nothing", 1, 1, VK_BACK, false, "(12_)", 1, 1, 3},
        {"backspace deletes before the caret", 2, 2, VK_BACK, false, "(2__)", 1, 1, 3},
        {"backspace deletes a selection", 1, 3, VK_BACK, false, "(___)", 1, 1, 3},
        {"delete shifts the rest left", 1, 1, VK_DELETE, false, "(2__)", 1, 1, 3},
        {"left at 0 moves the current cell", 0, 0, VK_LEFT, false, "(12_)", 0, 0, 2},
        {"left stops on an input position", 2, 2, VK_LEFT, false, "(12_)", 1, 1, 3},
        {"home goes to the first input position", 3, 3, VK_HOME, false, "(12_)", 1, 1, 3},
        {"end goes to the end of the entered text", 1, 1, VK_END, false, "(12_)", 3, 3, 3},
        {"shift+end selects to the end", 1, 1, VK_END, true, "(12_)", 1, 5, 3},
        {"right at the end moves the current cell", 5, 5, VK_RIGHT, false, "(12_)", 5, 5, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlaceMask(4, 3, "(###)", "12");
        Activate(c.a, c.b);
        SendKey(c.vk, false, c.shift);
        EXPECT_EQ(Col(), c.col);
        if (c.col != 3)
            continue;
        EXPECT_STREQ(WndText(), c.text);
        EXPECT_EQ(Sel(), std::make_pair(c.selA, c.selB));
    }
}

TEST_F(MaskTest, PastingMaskedAndValueText)
{
    // '(123)' begins at the selection start, so its literals meet the mask's.
    Activate(0, -1);
    PutOnClipboard("(123)");
    EXPECT_TRUE(Mask()->PasteText());
    EXPECT_STREQ(WndText(), "(123)");

    Wnd()->SetSel(0, -1);
    PutOnClipboard("45");
    EXPECT_TRUE(Mask()->PasteText());
    EXPECT_STREQ(WndText(), "(45_)") << "no literals: placed as value text";

    Wnd()->SetSel(0, -1);
    PutOnClipboard("1x");
    EXPECT_TRUE(Mask()->PasteText());
    EXPECT_STREQ(WndText(), "(45_)") << "a text that does not fit leaves the old one";
    EXPECT_FALSE(Mask()->CanPaste()) << "plain text alone does not make the cell pasteable";
}

TEST_F(MaskTest, MaskDataCopiedFromOneCellIntoAnother)
{
    PutOnClipboard("keep");
    // A copy that puts nothing leaves the clipboard alone.
    PlaceMask(4, 3, "(###)", "");
    Activate(1, 1);
    SendChar(3, true);
    EXPECT_STREQ(ClipboardText(), "(___)");

    PlaceMask(4, 3, "(###)", "12");
    Activate(0, -1);
    SendChar(3, true);  // Ctrl+C
    EXPECT_STREQ(ClipboardFormatText(CGXMaskControl::GetClipboardFormat()), "12");
    EXPECT_STREQ(ClipboardText(), "(12_)");

    PlaceMask(6, 2, "##-##", "");
    Activate(0, -1);
    EXPECT_TRUE(Mask()->CanPaste());
    SendChar(22, true);  // Ctrl+V
    EXPECT_STREQ(WndText(), "12-__");
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_STREQ(Value(6, 2), "12");

    // Ctrl+X takes the selection away.
    PlaceMask(4, 3, "(###)", "12");
    Activate(1, 3);
    SendChar(24, true);
    EXPECT_STREQ(WndText(), "(___)");
    EXPECT_STREQ(ClipboardFormatText(CGXMaskControl::GetClipboardFormat()), "12");
}

TEST_F(MaskTest, TextStoredFromOutside)
{
    struct Case {
        const char* text;
        BOOL ok;
        const char* stored;
    };
    const Case cases[] = {
        {"123", TRUE, "123"}, {"(123)", TRUE, "123"}, {"(4", TRUE, "4"},
        {"", TRUE, ""},       {"12345", FALSE, "12"}, {"ab", FALSE, "12"},
    };
    m_grid->PlaceCurrentCell(1, 1, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SetStyle(4, 3, CGXStyle().SetValue("12"));
        CString s = c.text;
        CGXControl* p = m_grid->GetRegisteredControl(GX_IDS_CTRL_MASKEDIT);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->ConvertDisplayText(s, 4, 3, m_grid->GetCellStyleCached(4, 3)), c.ok);
        EXPECT_EQ(m_grid->StoreValueText(4, 3, c.text), c.ok);
        EXPECT_STREQ(Value(4, 3), c.stored);
    }
}

TEST_F(MaskTest, ReplaceWorksOnTheMaskedText)
{
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_MASKEDIT).SetUserAttribute(GX_IDS_UA_INPUTMASK, "##-##").SetValue("1212");
    SetStyle(6, 2, style);
    GXFindReplaceParams params;
    params.strFind = "2";
    params.strReplace = "7";
    params.bMatchCase = TRUE;
    EXPECT_TRUE(Mask()->ReplaceInCell(&params, 6, 2));
    EXPECT_STREQ(Value(6, 2), "1717");
    params.strFind = "7";
    params.strReplace = "x";
    EXPECT_FALSE(Mask()->ReplaceInCell(&params, 6, 2)) << "a replacement the mask refuses changes nothing";
    EXPECT_STREQ(Value(6, 2), "1717");
}

TEST_F(MaskTest, WithoutAMaskPlainTextUpToTheMaximumLength)
{
    CGXStyle style;
    style.SetValue("ab").SetMaxLength(3);
    Place(5, 2, GX_IDS_CTRL_MASKEDIT, style);
    ASSERT_NE(Mask(), nullptr);
    EXPECT_STREQ(WndText(), "ab");
    Activate(2, 2);
    Type("cd");
    EXPECT_STREQ(WndText(), "abc");
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_STREQ(Value(5, 2), "abc");
}

TEST_F(MaskTest, MultiByteMaskAndPrompt)
{
    PlaceMask(4, 3, "\xE2\x82\xAC ###,##", "12345", "\xC2\xB7");
    EXPECT_STREQ(WndText(), "\xE2\x82\xAC 123,45");
    Activate(2, 2);
    SendKey(VK_DELETE);
    EXPECT_STREQ(WndText(), "\xE2\x82\xAC 234,5\xC2\xB7");
    SendKey(VK_END);
    EXPECT_EQ(Sel(), std::make_pair(7, 7));
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_STREQ(Value(4, 3), "2345");
}

}  // namespace
