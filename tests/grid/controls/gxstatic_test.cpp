#include "grid/controls/gxstatic.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "platform/gdi/recording.h"
#include "platform/sys/system.h"

namespace {

struct TestGrid : CGXGridCore {
    TestGrid()
    {
        InitGridLibraryWithFactory();
        Initialize();
        GetData()->SetRowCount(10);
        GetData()->SetColCount(5);
        const CRect area(0, 0, 600, 400);
        SetDrawingAreaOverride(&area);
    }
};

// A control that is active and modified with a given text, as an edit control would be.
struct EditingControl : CGXStatic {
    CString sText;
    explicit EditingControl(CGXGridCore* pGrid) : CGXStatic(pGrid) {}
    BOOL IsActive() override { return TRUE; }
    BOOL IsModified() override { return TRUE; }
    BOOL GetCellValueText(CString& s) override
    {
        s = sText;
        return TRUE;
    }
};

// A bound of 10 to 20 (or -5 to 5); a text that is not wholly a number fails once a bound is set.
TEST(GXControl, ValidateAgainstTheCellsBounds)
{
    TestGrid grid;
    grid.SetStyleRange(CGXCellRange(1, 1), CGXStyle().SetUserAttribute(51011, "10").SetUserAttribute(51012, "20")
                                                .SetUserAttribute(51013, "Out of range"));
    grid.SetStyleRange(CGXCellRange(2, 1), CGXStyle().SetUserAttribute(51011, "-5").SetUserAttribute(51012, "5"));
    struct Case {
        ROWCOL row;
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {1, "10", true}, {1, "20", true}, {1, "15.5", true}, {1, "9.5", false}, {1, "20.01", false},
        {1, "abc", false}, {1, "", true}, {2, "abc", false}, {2, "1x", false}, {2, "0", true}, {2, "-5", true},
        {3, "abc", true},  // no bounds: any text
    };
    EditingControl control(&grid);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + ": \"" + c.text + "\"");
        control.InitForCell(c.row, 1);
        control.sText = c.text;
        grid.m_sWarningText.Empty();
        EXPECT_EQ(bool(control.Validate()), c.valid);
    }
}

TEST(GXControl, FindChoiceListItem)
{
    TestGrid grid;
    CGXControl control(&grid);
    struct Case {
        const char* search;
        BOOL exact;
        int index;
        const char* found;
    };
    const Case cases[] = {
        {"ab", FALSE, 1, "ab"},   // the whole match wins over the earlier prefix "Abc"
        {"a", FALSE, 0, "Abc"},
        {"AB", TRUE, 1, "ab"},
        {"a", TRUE, -1, ""},
        {"x", FALSE, -1, ""},
        {"", FALSE, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.search);
        CString sFound = "stale";
        EXPECT_EQ(control.FindChoiceListItem(sFound, c.search, "Abc\nab\nabd", c.exact), c.index);
        EXPECT_STREQ(sFound, c.found);
    }
    CString s;
    EXPECT_TRUE(control.GetChoiceListItem(s, "Abc\nab\nabd", 2));
    EXPECT_STREQ(s, "abd");
    EXPECT_FALSE(control.GetChoiceListItem(s, "Abc\nab", 2));
    EXPECT_FALSE(control.GetChoiceListItem(s, "Abc", -1));
    EXPECT_EQ(control.GetCellTipKind(1, 1, CGXStyle()), 0x7FFFFFFF) << "no tip provider";
}

TEST(GXStatic, TextMarginsFollowTheFrameWidth)
{
    TestGrid grid;
    struct Case {
        int frame;
        DWORD align;
        int left, right;  // pixels taken from each side of the inner rectangle
    };
    const Case cases[] = {
        {4, 0, 2, 1}, {4, 2, 2, 3}, {8, 0, 4, 2}, {8, 2, 4, 5}, {2, 0, 2, 1},
    };
    CGXStatic control(&grid);
    const CRect cell(100, 100, 200, 120);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.frame) + "/" + std::to_string(c.align));
        PvSetSystemMetric(SM_CXFRAME, c.frame);
        CGXStyle style = grid.GetCellStyleCached(1, 1);
        style.SetHorizontalAlignment(c.align);
        const CRect base = control.CGXControl::ComputeInnerRect(1, 1, &cell, &style);
        const CRect inner = control.ComputeInnerRect(1, 1, &cell, &style);
        EXPECT_EQ(inner.left - base.left, c.left);
        EXPECT_EQ(base.right - inner.right, c.right);
    }
}

// Fonts of the drawing: one cached font per packed font, scaled by the zoom.
TEST(GXStatic, DrawsWithTheGridsZoomedFont)
{
    TestGrid grid;
    grid.SetValueRange(CGXCellRange(1, 1), "Text");
    CGXStatic control(&grid);
    CRecordingDC dc;
    const CGXStyle& style = grid.GetCellStyleCached(1, 1);
    control.Draw(&dc, CRect(0, 0, 300, 60), 1, 1, style, nullptr);
    auto outs = dc.Find("TextOut");
    ASSERT_EQ(outs.size(), 1u) << dc.Dump();
    const LONG h100 = std::labs(outs[0].fontHeight);
    EXPECT_EQ(grid.GetCachedFontCount(), 1u);
    control.Draw(&dc, CRect(0, 0, 300, 60), 1, 1, style, nullptr);
    EXPECT_EQ(grid.GetCachedFontCount(), 1u) << "the second cell reuses the font";

    grid.SetZoom(200);
    dc.ClearRecords();
    control.Draw(&dc, CRect(0, 0, 300, 60), 1, 1, grid.GetCellStyleCached(1, 1), nullptr);
    outs = dc.Find("TextOut");
    ASSERT_EQ(outs.size(), 1u);
    EXPECT_EQ(std::labs(outs[0].fontHeight), 2 * h100);
    EXPECT_NE(dc.GetCurrentFont(), nullptr);
}

struct HeaderCase {
    const char* name;
    CRect rect;
    bool selected;    // the header's column is in the selection
    BOOL markFlag;    // the parameter object marks headers of the selection
    bool drawn;
    bool pressed;     // drawn down: the text one pixel right and down
};

TEST(GXHeader, DrawOnTheRecordingDC)
{
    const HeaderCase cases[] = {
        {.name = "one pixel wide", .rect = {10, 10, 11, 30}, .selected = false, .markFlag = FALSE, .drawn = false, .pressed = false},
        {.name = "raised", .rect = {10, 10, 110, 30}, .selected = false, .markFlag = FALSE, .drawn = true, .pressed = false},
        {.name = "selected, no flag", .rect = {10, 10, 110, 30}, .selected = true, .markFlag = FALSE, .drawn = true, .pressed = false},
        {.name = "selected, marked", .rect = {10, 10, 110, 30}, .selected = true, .markFlag = TRUE, .drawn = true, .pressed = true},
    };
    CPoint raisedText(-1, -1);
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestGrid grid;
        grid.GetParam()->m_bMarkSelectionHeaders = c.markFlag;
        if (c.selected)
            grid.GetParam()->m_SelRects.AddRange(CGXCellRange().SetCols(2));
        CGXHeader header(&grid);
        CRecordingDC dc;
        header.Draw(&dc, c.rect, 0, 2, grid.GetCellStyleCached(0, 2), nullptr);
        EXPECT_EQ(!dc.Records().empty(), c.drawn) << dc.Dump();
        if (!c.drawn)
            continue;
        auto texts = dc.Find("TextOut");
        ASSERT_EQ(texts.size(), 1u) << dc.Dump();
        EXPECT_STREQ(texts[0].text, "B");
        const CPoint at(texts[0].rect.left, texts[0].rect.top);
        if (raisedText.x < 0)
            raisedText = at;
        EXPECT_EQ(at == CPoint(raisedText.x + 1, raisedText.y + 1), c.pressed) << dc.Dump();
    }
}

TEST(GXControl, NoBorderDrawsNoCurrentCellFrame)
{
    TestGrid grid;
    CGXControl control(&grid);
    struct Case {
        const char* mode;
        bool drawn;
    };
    const Case cases[] = {{"No Border.", false}, {"Invert Thin.", true}, {"Invert Thick.", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        CGXProperties* pProps = grid.GetProperties();
        pProps->AddUserProperty(GX_IDS_UP_CURRENTCELL, CGXStyle().SetValue(c.mode));
        CRecordingDC dc;
        control.DrawSelectionMarks(&dc, CRect(10, 10, 110, 30));
        EXPECT_EQ(!dc.Records().empty(), c.drawn) << dc.Dump();
    }
}

}  // namespace
