// The rich text cell: plain text stored as RTF, formats applied to cells going into their text,
// the row following the text, the keys, the clipboard and drawing.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "grid/controls/gxctlfactory.h"
#include "grid/controls/gxrichedit.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxfont.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxwnd.h"
#include "platform/controls/rtf.h"
#include "platform/gdi/recording.h"
#include "platform/sys/globalmem.h"
#include "platform/win/pvwin.h"
#include "platform/win/win.h"

namespace {

pvrtf::Doc DocOf(const CString& rtf) { return pvrtf::ReadRtf(std::string(rtf, size_t(rtf.GetLength())), pvrtf::CharFmt {}); }
std::string PlainOf(const CString& rtf) { return pvrtf::PlainText(DocOf(rtf)); }
const pvrtf::CharFmt& FormatAt(const pvrtf::Doc& d, size_t i) { return d.formats[d.fmt.at(i)]; }

class RichEditTest : public ::testing::Test {
protected:
    static constexpr ROWCOL kRow = 3, kCol = 2;

    void SetUp() override
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        InitGridLibraryWithFactory();
        m_frame = std::make_unique<CWnd>();
        ASSERT_TRUE(m_frame->CreateEx(0, AfxRegisterWndClass(0), "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900,
                                      700, nullptr, nullptr));
        m_grid = std::make_unique<CGXGridWnd>();
        ASSERT_TRUE(m_grid->CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 400), m_frame.get(), 100));
        m_grid->Initialize();
        m_grid->SetRowCount(40);
        m_grid->SetColCount(5);
        m_grid->SetStyleRange(CGXCellRange(1, 1, 40, 4), CGXStyle().SetControl(GX_IDS_CTRL_RICHEDIT));
        m_grid->SetFocus();
        m_grid->UpdateWindow();
    }
    void TearDown() override
    {
        if (::OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        m_grid.reset();
        if (m_frame && m_frame->GetSafeHwnd())
            m_frame->DestroyWindow();
        m_frame.reset();
        PvResetWindowSystem();
    }

    CGXRichEditCtrl* Rich()
    {
        return dynamic_cast<CGXRichEditCtrl*>(m_grid->GetRegisteredControl(GX_IDS_CTRL_RICHEDIT));
    }
    CRichEditCtrl* Wnd() { return Rich()->GetRichEditWnd(); }
    CString Value(ROWCOL r, ROWCOL c) { return m_grid->StoredCellValueText(r, c); }
    ROWCOL CurRow()
    {
        ROWCOL r = 0, c = 0;
        m_grid->QueryCurrentCell(r, c);
        return r;
    }
    ROWCOL CurCol()
    {
        ROWCOL r = 0, c = 0;
        m_grid->QueryCurrentCell(r, c);
        return c;
    }
    // Makes the cell current and its window active, laid over the cell.
    void Activate(ROWCOL r, ROWCOL c)
    {
        ASSERT_TRUE(m_grid->PlaceCurrentCell(r, c, 0));
        Rich()->SetActive(TRUE);
        m_grid->Invalidate();
        m_grid->UpdateWindow();
        ASSERT_TRUE(Wnd()->IsWindowVisible());
    }
    CString WindowRtf()
    {
        CString s;
        Rich()->GetEditText(s);
        return s;
    }
    void SetModifiers(bool ctrl, bool shift)
    {
        auto set = [](UINT vk, bool down) {
            if (((GetKeyState(int(vk)) & 0x8000) != 0) != down)
                PvInputKey(vk, down);
        };
        set(VK_CONTROL, ctrl);
        set(VK_SHIFT, shift);
        PvPumpMessages();
    }
    // A key as the editing window receives it, with its character when it makes one.
    void WndKey(UINT vk, bool ctrl = false, UINT ch = 0)
    {
        SetModifiers(ctrl, false);
        Wnd()->SendMessage(WM_KEYDOWN, vk, 1);
        if (ch && Wnd() && ::GetFocus() == Wnd()->GetSafeHwnd())
            Wnd()->SendMessage(WM_CHAR, ch, 1);
        SetModifiers(false, false);
    }
    void Type(const char* psz)
    {
        for (const char* p = psz; *p; ++p)
            Wnd()->SendMessage(WM_CHAR, WPARAM(BYTE(*p)), 1);
    }
    static void PutRtfOnClipboard(const std::string& rtf, const char* pszText)
    {
        ASSERT_TRUE(::OpenClipboard(nullptr));
        EmptyClipboard();
        auto put = [](UINT fmt, const std::string& s) {
            HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, s.size() + 1);
            std::memcpy(GlobalLock(h), s.c_str(), s.size() + 1);
            GlobalUnlock(h);
            SetClipboardData(fmt, h);
        };
        if (!rtf.empty())
            put(RegisterClipboardFormat("Rich Text Format"), rtf);
        put(CF_TEXT, pszText);
        CloseClipboard();
    }
    static std::string ClipboardData(UINT fmt)
    {
        std::string s;
        if (!::OpenClipboard(nullptr))
            return s;
        if (HGLOBAL h = GetClipboardData(fmt)) {
            if (const char* p = static_cast<const char*>(GlobalLock(h))) {
                s.assign(p, strnlen(p, GlobalSize(h)));
                GlobalUnlock(h);
            }
        }
        CloseClipboard();
        return s;
    }

    std::unique_ptr<CWnd> m_frame;
    std::unique_ptr<CGXGridWnd> m_grid;
};

// Plain text stored, typed or converted becomes a whole RTF document whose text reads back as
// the text itself: braces and backslashes are characters, not syntax.
TEST_F(RichEditTest, PlainTextIsStoredAsRtfAndReadsBackUnchanged)
{
    struct Case {
        const char* name;
        const char* text;
        WORD nMax;
        const char* expected;
    };
    const Case cases[] = {
        {.name = "word", .text = "Hello", .nMax = 0, .expected = "Hello"},
        {.name = "path with braces", .text = "C:\\temp\\{x}", .nMax = 0, .expected = "C:\\temp\\{x}"},
        {.name = "closing brace", .text = "a}b", .nMax = 0, .expected = "a}b"},
        {.name = "accent and percent", .text = "Zo\xC3\xAB paid 50%", .nMax = 0, .expected = "Zo\xC3\xAB paid 50%"},
        {.name = "two lines", .text = "line one\r\nline two", .nMax = 0, .expected = "line one\r\nline two"},
        {.name = "cut to the maximum", .text = "Hello world", .nMax = 5, .expected = "Hello"},
        {.name = "cut between characters", .text = "Zo\xC3\xAB", .nMax = 2, .expected = "Zo"},
    };
    ROWCOL r = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.nMax)
            m_grid->SetStyleRange(CGXCellRange(r, 1), CGXStyle().SetMaxLength(c.nMax));
        ASSERT_TRUE(m_grid->StoreValueText(r, 1, c.text));
        const CString stored = Value(r, 1);
        EXPECT_TRUE(CGXRichEditCtrl::IsRtfText(stored)) << stored;
        EXPECT_EQ(PlainOf(stored), c.expected);
        CString shown;
        ASSERT_TRUE(Rich()->GetDisplayText(shown, r, 1, stored, m_grid->GetCellStyleCached(r, 1)));
        EXPECT_STREQ(shown, c.expected);
        ++r;
    }
}

TEST_F(RichEditTest, RtfPassesUnchangedAndABracedValueShowsItsText)
{
    ASSERT_TRUE(m_grid->StoreValueText(1, 1, "Hello"));
    const CString rtf = Value(1, 1);
    // Stored again, through the display path and as a value, it stays as it is.
    ASSERT_TRUE(m_grid->StoreValueText(1, 1, rtf));
    EXPECT_STREQ(Value(1, 1), rtf);
    ASSERT_TRUE(m_grid->SetValueRange(CGXCellRange(1, 1), rtf));
    EXPECT_STREQ(Value(1, 1), rtf);
    CString sConverted = rtf;
    ASSERT_TRUE(Rich()->ConvertDisplayText(sConverted, 1, 1, m_grid->GetCellStyleCached(1, 1)));
    EXPECT_STREQ(sConverted, rtf);

    // A value written as one brace group, without a header, is read as RTF.
    CString shown;
    ASSERT_TRUE(Rich()->GetDisplayText(shown, 2, 1, "{Hello}", m_grid->GetCellStyleCached(2, 1)));
    EXPECT_STREQ(shown, "Hello");
    ASSERT_TRUE(m_grid->SetValueRange(CGXCellRange(2, 1), "{Hello}"));
    EXPECT_EQ(PlainOf(Value(2, 1)), "Hello");
}

// Styles become formats and back: points are twentieths in twips, weights of 700 and more bold.
TEST(RichEditFormats, StyleAndFormatsConvertBothWays)
{
    struct Case {
        const char* name;
        CGXFont font;
        DWORD mask, effects;
        LONG twips;
        LONG weightBack;  // 0: no weight comes back
        double pointsBack;
    };
    const Case cases[] = {
        {.name = "weight 700", .font = CGXFont().SetWeight(700), .mask = CFM_BOLD, .effects = CFE_BOLD, .twips = 0, .weightBack = 700, .pointsBack = 0},
        {.name = "weight 600", .font = CGXFont().SetWeight(600), .mask = CFM_BOLD, .effects = 0, .twips = 0, .weightBack = 400, .pointsBack = 0},
        {.name = "weight 900", .font = CGXFont().SetWeight(900), .mask = CFM_BOLD, .effects = CFE_BOLD, .twips = 0, .weightBack = 700, .pointsBack = 0},
        {.name = "14 points", .font = CGXFont().SetSize(14), .mask = CFM_SIZE, .effects = 0, .twips = 280, .weightBack = 0, .pointsBack = 14},
        {.name = "8.25 points", .font = CGXFont().SetSize(8.25), .mask = CFM_SIZE, .effects = 0, .twips = 165, .weightBack = 0, .pointsBack = 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CHARFORMAT cf {};
        PARAFORMAT pf {};
        ASSERT_TRUE(CGXRichEditCtrl::StyleToFormats(CGXStyle().SetFont(c.font), cf, pf));
        EXPECT_EQ(cf.dwMask, c.mask);
        EXPECT_EQ(cf.dwEffects, c.effects);
        if (c.twips) {
            EXPECT_EQ(cf.yHeight, c.twips);
        }
        EXPECT_EQ(pf.dwMask, 0u);
        CGXStyle back;
        ASSERT_TRUE(CGXRichEditCtrl::FormatsToStyle(cf, pf, back));
        EXPECT_EQ(back.GetFont().GetWeight(), c.weightBack);
        EXPECT_EQ(back.GetFont().GetSize(), c.pointsBack);
    }
    // Alignment: right and centre come back as themselves, anything else as left.
    for (const DWORD a : {0u, 1u, 2u}) {
        CHARFORMAT cf {};
        PARAFORMAT pf {};
        ASSERT_TRUE(CGXRichEditCtrl::StyleToFormats(CGXStyle().SetHorizontalAlignment(a), cf, pf));
        EXPECT_EQ(pf.wAlignment, a == 1 ? PFA_CENTER : a == 2 ? PFA_RIGHT : PFA_LEFT);
        CGXStyle back;
        CGXRichEditCtrl::FormatsToStyle(cf, pf, back);
        EXPECT_EQ(back.GetHorizontalAlignment(), a);
    }
    CHARFORMAT none {};
    PARAFORMAT nopf {};
    EXPECT_FALSE(CGXRichEditCtrl::StyleToFormats(CGXStyle().SetValue("x"), none, nopf));
}

// Bold applied to a range goes into each cell's text; the cells' styles keep no font.
TEST_F(RichEditTest, BoldOnARangeChangesTheTextsNotTheStyles)
{
    for (ROWCOL r = 1; r <= 3; ++r)
        ASSERT_TRUE(m_grid->StoreValueText(r, 1, r == 2 ? "second" : "cell"));
    ASSERT_TRUE(m_grid->SetStyleRange(CGXCellRange(1, 1, 3, 1), CGXStyle().SetFont(CGXFont().SetBold(TRUE))));
    for (ROWCOL r = 1; r <= 3; ++r) {
        SCOPED_TRACE(r);
        const pvrtf::Doc d = DocOf(Value(r, 1));
        EXPECT_EQ(d.text, r == 2 ? "second" : "cell");
        EXPECT_TRUE(FormatAt(d, 0).bold);
        CGXStyle stored;
        m_grid->FetchStoredStyle(r, 1, stored, gxCopy, 0);
        EXPECT_FALSE(stored.GetIncludeFont());
        EXPECT_FALSE(stored.GetIncludeTextColor());
        EXPECT_EQ(stored.GetControl(), GX_IDS_CTRL_RICHEDIT);
    }
    // Applied as "only what is new", the text still takes the format: the cell has a value
    // already, and the formatted one must replace it.
    ASSERT_TRUE(m_grid->SetStyleRange(CGXCellRange(1, 1), CGXStyle().SetFont(CGXFont().SetItalic(TRUE)), gxApplyNew));
    const pvrtf::Doc d = DocOf(Value(1, 1));
    EXPECT_EQ(d.text, "cell");
    EXPECT_TRUE(FormatAt(d, 0).italic);
    EXPECT_TRUE(FormatAt(d, 0).bold);
    // Excluding a format does not put it into the text.
    ASSERT_TRUE(m_grid->SetStyleRange(CGXCellRange(2, 1), CGXStyle().SetFont(CGXFont().SetUnderline(TRUE)), gxExclude));
    EXPECT_FALSE(FormatAt(DocOf(Value(2, 1)), 0).underline);
}

// Each format goes into the text and comes back through the format query, whether the cell is
// edited or not.
TEST_F(RichEditTest, FormatsGoIntoTheTextAndComeBack)
{
    struct Case {
        const char* name;
        CGXStyle style;
        bool (*check)(const CGXStyle&);
    };
    const Case cases[] = {
        {.name = "italic", .style = CGXStyle().SetFont(CGXFont().SetItalic(TRUE)),
         .check = [](const CGXStyle& s) { return s.GetFont().GetIncludeItalic() && s.GetFont().GetItalic() != 0; }},
        {.name = "underline", .style = CGXStyle().SetFont(CGXFont().SetUnderline(TRUE)),
         .check = [](const CGXStyle& s) { return s.GetFont().GetUnderline() != 0; }},
        {.name = "strike-out", .style = CGXStyle().SetFont(CGXFont().SetStrikeOut(TRUE)),
         .check = [](const CGXStyle& s) { return s.GetFont().GetStrikeOut() != 0; }},
        {.name = "face", .style = CGXStyle().SetFont(CGXFont().SetFaceName("Courier New")),
         .check = [](const CGXStyle& s) { return s.GetFont().GetFaceName() == CString("Courier New"); }},
        {.name = "14 points", .style = CGXStyle().SetFont(CGXFont().SetSize(14)),
         .check = [](const CGXStyle& s) { return s.GetFont().GetSize() == 14.0; }},
        {.name = "colour", .style = CGXStyle().SetTextColor(RGB(200, 0, 0)),
         .check = [](const CGXStyle& s) { return s.GetIncludeTextColor() && (s.GetTextColor() & 0xFFFFFF) == RGB(200, 0, 0); }},
        {.name = "centred", .style = CGXStyle().SetHorizontalAlignment(1),
         .check = [](const CGXStyle& s) { return s.GetIncludeHorizontalAlignment() && s.GetHorizontalAlignment() == 1; }},
    };
    ROWCOL r = 1;
    for (const Case& c : cases) {
        for (const bool bActive : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (bActive ? " active" : " inactive"));
            ASSERT_TRUE(m_grid->StoreValueText(r, 1, "Text"));
            if (bActive) {
                Activate(r, 1);
                Wnd()->SetSel(0, -1);
            }
            ASSERT_TRUE(m_grid->SetStyleRange(CGXCellRange(r, 1), c.style));
            CGXStyle got;
            EXPECT_TRUE(Rich()->GetCurrentText(r, 1, got));
            EXPECT_TRUE(c.check(got));
            CGXStyle stored;
            m_grid->FetchStoredStyle(r, 1, stored, gxCopy, 0);
            EXPECT_FALSE(stored.GetIncludeFont() || stored.GetIncludeTextColor() || stored.GetIncludeHorizontalAlignment());
            if (bActive) {
                // Committed, the formats are the cell's.
                EXPECT_TRUE(Rich()->IsModified());
                ASSERT_TRUE(m_grid->PlaceCurrentCell(r + 1, 1, 0));
                CGXStyle after;
                EXPECT_TRUE(Rich()->GetCurrentText(r, 1, after));
                EXPECT_TRUE(c.check(after));
            }
            ++r;
        }
    }
}

TEST_F(RichEditTest, AnActiveCellFormatsOnlyItsSelection)
{
    ASSERT_TRUE(m_grid->StoreValueText(kRow, kCol, "Hello"));
    Activate(kRow, kCol);
    Wnd()->SetSel(0, 2);
    ASSERT_TRUE(m_grid->SetStyleRange(CGXCellRange(kRow, kCol), CGXStyle().SetFont(CGXFont().SetBold(TRUE))));
    const pvrtf::Doc d = DocOf(WindowRtf());
    ASSERT_EQ(d.text, "Hello");
    EXPECT_TRUE(FormatAt(d, 0).bold);
    EXPECT_TRUE(FormatAt(d, 1).bold);
    EXPECT_FALSE(FormatAt(d, 2).bold);
    EXPECT_FALSE(FormatAt(d, 4).bold);
}

// The row grows with typed lines, shrinks back as they go, never below its height on entry.
TEST_F(RichEditTest, RowGrowsAndShrinksWithTheText)
{
    m_grid->SetStyleRange(CGXCellRange(kRow, kCol), CGXStyle().SetAutoSize(TRUE));
    const int nEntry = m_grid->RowHeight(kRow);
    Activate(kRow, kCol);
    Wnd()->SetWindowText("");
    Type("one");
    EXPECT_EQ(m_grid->RowHeight(kRow), nEntry);
    WndKey(VK_RETURN, true, 10);
    Type("two");
    WndKey(VK_RETURN, true, 10);
    Type("three");
    ASSERT_EQ(Wnd()->GetLineCount(), 3);
    const int nGrown = m_grid->RowHeight(kRow);
    EXPECT_GT(nGrown, nEntry * 2);
    // Deleting the lines again.
    Wnd()->SetSel(3, -1);
    Wnd()->SendMessage(WM_KEYDOWN, VK_DELETE, 1);
    ASSERT_EQ(Wnd()->GetLineCount(), 1);
    EXPECT_EQ(m_grid->RowHeight(kRow), nEntry);
    Wnd()->SetSel(0, -1);
    Wnd()->SendMessage(WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(m_grid->RowHeight(kRow), nEntry);
}

// Sizing rows to fit measures the text as the editing window lays it out.
TEST_F(RichEditTest, RowsSizedToFitMeasureTheText)
{
    ASSERT_TRUE(m_grid->StoreValueText(1, 1, "one"));
    ASSERT_TRUE(m_grid->StoreValueText(2, 1, "one\r\ntwo\r\nthree"));
    const CSize one = Rich()->ComputeContentSize(nullptr, 1, 1, m_grid->GetCellStyleCached(1, 1));
    const CSize three = Rich()->ComputeContentSize(nullptr, 2, 1, m_grid->GetCellStyleCached(2, 1));
    EXPECT_GT(one.cy, 0);
    EXPECT_GE(three.cy, one.cy + 2 * (one.cy - 4));
    ASSERT_TRUE(m_grid->ResizeRowHeightsToFit(CGXCellRange(2, 1), GX_UPDATENOW, 0));
    EXPECT_EQ(m_grid->RowHeight(2), three.cy);
}

TEST_F(RichEditTest, ARowNearTheBottomGrowsOnlyToTheDrawingArea)
{
    CRect client;
    m_grid->GetClientRect(&client);
    // The last row that shows at least partly.
    const ROWCOL nLast = m_grid->LastVisibleRow();
    m_grid->SetStyleRange(CGXCellRange(nLast, kCol), CGXStyle().SetAutoSize(TRUE));
    Activate(nLast, kCol);
    Wnd()->SetWindowText("");
    for (int i = 0; i < 40; ++i) {
        Type("line");
        WndKey(VK_RETURN, true, 10);
    }
    // Forty lines would need far more: the row ends at the window's bottom.
    EXPECT_EQ(m_grid->CellToRect(nLast, kCol).bottom, client.bottom);
    EXPECT_GT(m_grid->RowHeight(nLast), m_grid->DefaultRowHeight());
}

TEST_F(RichEditTest, KeysMoveTheCellAtTheTextsEdges)
{
    ASSERT_TRUE(m_grid->StoreValueText(kRow, kCol, "one\r\ntwo"));
    struct Case {
        const char* name;
        UINT vk;
        long nCaret;
        ROWCOL nRow, nCol;  // where the current cell is then
    };
    const Case cases[] = {
        {.name = "up on the first line", .vk = VK_UP, .nCaret = 1, .nRow = kRow - 1, .nCol = kCol},
        {.name = "up on the second line", .vk = VK_UP, .nCaret = 5, .nRow = kRow, .nCol = kCol},
        {.name = "down on the first line", .vk = VK_DOWN, .nCaret = 1, .nRow = kRow, .nCol = kCol},
        {.name = "down on the last line", .vk = VK_DOWN, .nCaret = 5, .nRow = kRow + 1, .nCol = kCol},
        {.name = "left at 0", .vk = VK_LEFT, .nCaret = 0, .nRow = kRow, .nCol = kCol - 1},
        {.name = "left inside", .vk = VK_LEFT, .nCaret = 2, .nRow = kRow, .nCol = kCol},
        {.name = "right at the end", .vk = VK_RIGHT, .nCaret = 7, .nRow = kRow, .nCol = kCol + 1},
        {.name = "right inside", .vk = VK_RIGHT, .nCaret = 6, .nRow = kRow, .nCol = kCol},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Activate(kRow, kCol);
        Wnd()->SetSel(c.nCaret, c.nCaret);
        WndKey(c.vk);
        EXPECT_EQ(CurRow(), c.nRow);
        EXPECT_EQ(CurCol(), c.nCol);
        if (c.nRow == kRow && c.nCol == kCol) {
            long a = 0, b = 0;
            Wnd()->GetSel(a, b);
            EXPECT_NE(b, c.nCaret);  // the caret moved instead
        }
    }
}

TEST_F(RichEditTest, EnterEscapeTypingAndDelete)
{
    m_grid->GetParam()->m_wOption2 = 3;  // Enter moves down
    ASSERT_TRUE(m_grid->StoreValueText(kRow, kCol, "old"));

    // Without AllowEnter, Enter stores the text and moves on.
    Activate(kRow, kCol);
    Wnd()->SetSel(-1, -1);
    Wnd()->SetSel(3, 3);
    Type("er");
    WndKey(VK_RETURN, false, 13);
    EXPECT_EQ(CurRow(), kRow + 1);
    EXPECT_EQ(PlainOf(Value(kRow, kCol)), "older");

    // With AllowEnter it breaks the line; so does Ctrl+Enter without it.
    m_grid->SetStyleRange(CGXCellRange(kRow, kCol), CGXStyle().SetAllowEnter(TRUE));
    Activate(kRow, kCol);
    Wnd()->SetSel(5, 5);
    WndKey(VK_RETURN, false, 13);
    EXPECT_EQ(CurRow(), kRow);
    EXPECT_EQ(Wnd()->GetLineCount(), 2);
    m_grid->SetStyleRange(CGXCellRange(kRow, kCol), CGXStyle().SetAllowEnter(FALSE));
    Activate(kRow, kCol);
    const int nLines = Wnd()->GetLineCount();
    Wnd()->SetSel(2, 2);
    WndKey(VK_RETURN, true, 10);
    EXPECT_EQ(CurRow(), kRow);
    EXPECT_EQ(Wnd()->GetLineCount(), nLines + 1);

    // Esc gives the stored value back.
    const CString stored = Value(kRow, kCol);
    Type("zzz");
    WndKey(VK_ESCAPE);
    EXPECT_STREQ(Value(kRow, kCol), stored);
    EXPECT_EQ(PlainOf(WindowRtf()), PlainOf(stored));
    EXPECT_FALSE(Rich()->IsModified());

    // A character typed into the inactive cell replaces its text; Delete empties it.
    ASSERT_TRUE(m_grid->PlaceCurrentCell(kRow, kCol, 0));
    ASSERT_FALSE(Rich()->IsActive());
    m_grid->ProcessKeyMessage(WM_CHAR, 'x', 1);
    EXPECT_TRUE(Rich()->IsActive());
    EXPECT_EQ(PlainOf(WindowRtf()), "x");
    WndKey(VK_ESCAPE);
    ASSERT_TRUE(m_grid->PlaceCurrentCell(kRow, kCol, 0));
    ASSERT_FALSE(Rich()->IsActive());
    m_grid->ProcessKeyMessage(WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_TRUE(Rich()->IsActive());
    EXPECT_TRUE(Rich()->IsModified());
    EXPECT_EQ(PlainOf(WindowRtf()), "");
}

TEST_F(RichEditTest, ClipboardCarriesRtfAndText)
{
    ASSERT_TRUE(m_grid->StoreValueText(kRow, kCol, "Hello world"));
    Activate(kRow, kCol);
    Wnd()->SetSel(0, 5);
    ASSERT_TRUE(Rich()->CopyText());
    const UINT nRtf = RegisterClipboardFormat("Rich Text Format");
    EXPECT_EQ(PlainOf(ClipboardData(nRtf).c_str()), "Hello");
    EXPECT_EQ(ClipboardData(CF_TEXT), "Hello");

    // Pasting RTF keeps its formats, and the row fits what came in.
    m_grid->SetStyleRange(CGXCellRange(kRow, kCol), CGXStyle().SetAutoSize(TRUE));
    const int nBefore = m_grid->RowHeight(kRow);
    PutRtfOnClipboard("{\\rtf1\\ansi plain \\b bold\\b0 \\par second\\par third\\par fourth}", "plain bold");
    Activate(kRow, kCol);
    // A click into the window holds resizing off until a key; a paste still fits the row.
    Wnd()->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    Wnd()->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    Wnd()->SetSel(0, -1);
    EXPECT_TRUE(Rich()->CanPaste());
    ASSERT_TRUE(Rich()->PasteText());
    const pvrtf::Doc d = DocOf(WindowRtf());
    ASSERT_EQ(d.text, "plain bold\nsecond\nthird\nfourth");
    EXPECT_FALSE(FormatAt(d, 0).bold);
    EXPECT_TRUE(FormatAt(d, 6).bold);
    EXPECT_GT(m_grid->RowHeight(kRow), nBefore);

    // Plain text pastes as text.
    PutRtfOnClipboard("", "C:\\new {x}");
    Wnd()->SetSel(0, -1);
    ASSERT_TRUE(Rich()->PasteText());
    EXPECT_EQ(PlainOf(WindowRtf()), "C:\\new {x}");

    // A read-only cell takes nothing.
    PutRtfOnClipboard("{\\rtf1 x}", "x");
    m_grid->SetStyleRange(CGXCellRange(kRow + 1, kCol), CGXStyle().SetReadOnly(TRUE));
    ASSERT_TRUE(m_grid->PlaceCurrentCell(kRow + 1, kCol, 0));
    EXPECT_FALSE(Rich()->CanPaste());
}

// Inactive cells render their formatted text; an empty one only its background.
TEST_F(RichEditTest, InactiveCellsDrawTheirFormattedText)
{
    ASSERT_TRUE(m_grid->StoreValueText(1, 1, "Bold"));
    ASSERT_TRUE(m_grid->SetStyleRange(CGXCellRange(1, 1), CGXStyle().SetFont(CGXFont().SetBold(TRUE))));
    ASSERT_TRUE(m_grid->SetValueRange(CGXCellRange(2, 1), ""));
    ASSERT_TRUE(m_grid->PlaceCurrentCell(10, 3, 0));
    CRecordingDC dc(600, 400);
    const CRect cell1 = m_grid->CellToRect(1, 1), cell2 = m_grid->CellToRect(2, 1);
    Rich()->Draw(&dc, cell1, 1, 1, m_grid->GetCellStyleCached(1, 1), nullptr);
    bool bBold = false;
    for (const PvGdiRecord& rec : dc.Records())
        if ((rec.call == "TextOut" || rec.call == "ExtTextOut") && rec.text == CString("Bold"))
            bBold = rec.fontWeight >= 700 && cell1.PtInRect(rec.rect.TopLeft());
    EXPECT_TRUE(bBold) << dc.Dump();

    dc.ClearRecords();
    Rich()->Draw(&dc, cell2, 2, 1, m_grid->GetCellStyleCached(2, 1), nullptr);
    for (const PvGdiRecord& rec : dc.Records())
        EXPECT_TRUE(rec.text.IsEmpty()) << rec.ToString();
}

// A click activates the cell and puts the caret where the click was.
TEST_F(RichEditTest, AClickPutsTheCaretUnderThePoint)
{
    ASSERT_TRUE(m_grid->StoreValueText(kRow, kCol, "Hello world"));
    ASSERT_TRUE(m_grid->PlaceCurrentCell(kRow, kCol, 0));
    m_grid->UpdateWindow();
    ASSERT_FALSE(Rich()->IsActive());
    const CRect inner = Rich()->ComputeInnerRect(kRow, kCol);
    // Past the end of the text's one line.
    const CPoint pt(inner.right - 4, inner.top + 4);
    m_grid->OnGridLButtonDown(MK_LBUTTON, pt);
    m_grid->OnGridLButtonUp(0, pt);
    ASSERT_TRUE(Rich()->IsActive());
    EXPECT_TRUE(Wnd()->IsWindowVisible());
    long a = 0, b = 0;
    Wnd()->GetSel(a, b);
    EXPECT_EQ(a, 11);
    EXPECT_EQ(b, 11);
}

// A printer's scaled mapping: the text is laid out in device units and still drawn.
TEST_F(RichEditTest, AScaledDCStillShowsTheText)
{
    ASSERT_TRUE(m_grid->StoreValueText(1, 1, "Scaled"));
    ASSERT_TRUE(m_grid->PlaceCurrentCell(10, 3, 0));
    CRecordingDC dc(600, 400);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(1, 1);
    dc.SetViewportExt(2, 2);
    const CRect cell(10, 10, 160, 30);
    Rich()->Draw(&dc, cell, 1, 1, m_grid->GetCellStyleCached(1, 1), nullptr);
    EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC);
    bool bShown = false;
    for (const PvGdiRecord& rec : dc.Records())
        bShown |= rec.text == CString("Scaled") && rec.rect.left >= 20 && rec.rect.top >= 20;
    EXPECT_TRUE(bShown) << dc.Dump();
}

}  // namespace
