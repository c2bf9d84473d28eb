// Push button, progress bar and bitmap cells.

#include <cstring>
#include <vector>

#include "grid/controls/gxbutton.h"
#include "grid/controls/gxdaobitmap.h"
#include "grid/controls/gxprogress.h"
#include "grid/controls/gxpushbtn.h"
#include "grid/core/gxuattr.h"
#include "gxcellctlfixture.h"
#include "platform/gdi/recording.h"

namespace {

using DisplayCtlTest = CellCtlFixture;

TEST_F(DisplayCtlTest, PushButtonWithoutChoicesIsAnEmptyFaceThatReachesTheHook)
{
    m_grid->SetColWidths(2, 2, 90);
    Place(2, 2, WORD(GX_IDS_CTRL_PUSHBTN));
    auto* pPush = dynamic_cast<CGXPushbutton*>(Control());
    ASSERT_NE(pPush, nullptr);
    CRecordingDC dc;
    pPush->Draw(&dc, m_grid->CellToRect(2, 2), 2, 2, m_grid->GetCellStyleCached(2, 2), nullptr);
    EXPECT_STREQ(pPush->GetButton()->GetText(), "");
    EXPECT_GE(dc.Count("DrawEdge"), 1) << dc.Dump();
    for (const PvGdiRecord& r : dc.Records())
        EXPECT_TRUE(r.text.IsEmpty() || r.text == "--") << dc.Dump();

    const CRect button = pPush->GetButton()->GetRect();
    ASSERT_FALSE(button.IsRectEmpty());
    Click(button.CenterPoint());
    EXPECT_EQ(Hook().m_clicks.size(), 1u);
    // Pressed and released off the button: no click.
    Down(button.CenterPoint());
    m_grid->OnGridMouseMove(MK_LBUTTON, CPoint(button.right + 30, button.CenterPoint().y));
    Up(CPoint(button.right + 30, button.CenterPoint().y));
    EXPECT_EQ(Hook().m_clicks.size(), 1u);
    // Space down and up on the current cell.
    ASSERT_TRUE(m_grid->PlaceCurrentCell(2, 2, 0));
    Key(VK_SPACE);
    KeyUp(VK_SPACE);
    EXPECT_EQ(Hook().m_clicks.size(), 2u);

    SetStyle(3, 2, CGXStyle().SetControl(WORD(GX_IDS_CTRL_PUSHBTN)).SetChoiceList("Go"));
    dc.ClearRecords();
    pPush->Draw(&dc, m_grid->CellToRect(3, 2), 3, 2, m_grid->GetCellStyleCached(3, 2), nullptr);
    EXPECT_STREQ(pPush->GetButton()->GetText(), "Go");
}

TEST_F(DisplayCtlTest, ProgressBarWidthScalesAndNeedsARange)
{
    struct Case {
        long value, lower, upper;
        int cx, expected;
    };
    const Case cases[] = {
        {50, 0, 100, 200, 100}, {-5, 0, 100, 200, 0},  {150, 0, 100, 200, 200}, {100, 0, 100, 200, 200},
        {50, 0, 0, 200, 0},     {7, 10, 5, 200, 0},    {5, 0, 1000, 200, 1},     {50, 0, 100, 0, 0},
        {2147483647, -2147483647 - 1, 2147483647, 100, 100},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CGXProgressCtrl::BarWidth(c.value, c.lower, c.upper, c.cx), c.expected)
            << c.value << " in " << c.lower << ".." << c.upper << " over " << c.cx;
}

TEST_F(DisplayCtlTest, ProgressCaptionIsFormattedWithoutTrustingTheFormat)
{
    struct Case {
        const char* format;
        long value;
        const char* expected;
    };
    const Case cases[] = {
        {"%ld%%", 42, "42%"},   {"%s%n", 42, "%s%n"},      {"%d %d", 7, "7 %d"},  {"%5d|", 42, "   42|"},
        {"%-4i|", 3, "3   |"},  {"%x", 255, "ff"},         {"100%", 1, "100%"},   {"%llu", 9, "9"},
        {"%.2f", 1, "%.2f"},    {"%99999d", 1, "%99999d"}, {"%lld done", -3, "-3 done"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(CGXProgressCtrl::FormatValue(c.format, c.value), c.expected) << c.format;
}

TEST_F(DisplayCtlTest, ProgressDrawsBarAndCaption)
{
    auto* pProgress = static_cast<CGXProgressCtrl*>(m_grid->GetRegisteredControl(WORD(GX_IDS_CTRL_PROGRESS)));
    struct Case {
        const char* lower;
        const char* upper;
        const char* value;
        const char* caption;
        int nBar;                  // width of the bar drawn, 0 for none
        const char* drawnCaption;  // null: none
    };
    const Case cases[] = {
        {"0", "100", "50", "%ld%%", 100, "50%"},
        {"0", "100", "-5", "", 0, nullptr},
        {"", "", "50", "%ld", 0, "50"},
        {"10", "5", "7", "%s%n", 0, "%s%n"},
    };
    const CRect rect(0, 0, 200, 20);
    for (const Case& c : cases) {
        CGXStyle style;
        style.SetControl(WORD(GX_IDS_CTRL_PROGRESS))
            .SetValue(c.value)
            .SetTextColor(RGB(200, 0, 0))
            .SetInteriorColor(RGB(255, 255, 255))
            .SetUserAttribute(GX_IDS_UA_PROGRESS_LOWER, c.lower)
            .SetUserAttribute(GX_IDS_UA_PROGRESS_UPPER, c.upper)
            .SetUserAttribute(GX_IDS_UA_PROGRESS_CAPTION, c.caption);
        CRecordingDC dc(300, 40);
        pProgress->Draw(&dc, rect, 5, 2, style, nullptr);
        int nBar = 0;
        for (const PvGdiRecord& r : dc.Find("FillSolidRect"))
            if (r.color == RGB(200, 0, 0))
                nBar = r.rect.Width();
        EXPECT_EQ(nBar, c.nBar) << c.value << "\n" << dc.Dump();
        std::vector<PvGdiRecord> texts = dc.Find("DrawText");
        if (!c.drawnCaption) {
            EXPECT_TRUE(texts.empty()) << dc.Dump();
            continue;
        }
        ASSERT_FALSE(texts.empty()) << dc.Dump();
        for (const PvGdiRecord& r : texts)
            EXPECT_STREQ(r.text, c.drawnCaption);
    }
}

TEST_F(DisplayCtlTest, ProgressStoresValuesWithinItsBounds)
{
    SetStyle(2, 2, CGXStyle().SetControl(WORD(GX_IDS_CTRL_PROGRESS)).SetUserAttribute(GX_IDS_UA_PROGRESS_LOWER, "0").SetUserAttribute(GX_IDS_UA_PROGRESS_UPPER, "100"));
    SetStyle(3, 2, CGXStyle().SetControl(WORD(GX_IDS_CTRL_PROGRESS)));
    struct Case {
        ROWCOL row;
        const char* value;
        const char* stored;
    };
    const Case cases[] = {{2, "150", "100"}, {2, "-5", "0"}, {2, "42", "42"}, {3, "150", "150"}};
    for (const Case& c : cases) {
        m_grid->SetValueRange(CGXCellRange(c.row, 2), c.value);
        EXPECT_STREQ(Value(c.row, 2), c.stored) << c.row << ": " << c.value;
    }
    // Bounds given with the value count.
    m_grid->SetStyleRange(CGXCellRange(3, 2), CGXStyle().SetValue("70").SetUserAttribute(GX_IDS_UA_PROGRESS_LOWER, "0").SetUserAttribute(GX_IDS_UA_PROGRESS_UPPER, "50"));
    EXPECT_STREQ(Value(3, 2), "50");
}

// A bitmap file of 2 x 2 24-bit pixels.
std::vector<BYTE> BitmapFile()
{
    std::vector<BYTE> f(14 + 40 + 16, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&f[at], &v, 4); };
    auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&f[at], &v, 2); };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, uint32_t(f.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    put16(26, 1);
    put16(28, 24);
    for (size_t i = 54; i < f.size(); ++i)
        f[i] = 0x80;
    return f;
}

TEST_F(DisplayCtlTest, BitmapFieldNeedsWholeHeadersAfterTheSignature)
{
    struct Case {
        const char* name;
        std::vector<BYTE> bytes;
        bool bitmap;
    };
    std::vector<BYTE> junk = {1, 2, 3};
    std::vector<BYTE> afterJunk = junk;
    const std::vector<BYTE> file = BitmapFile();
    afterJunk.insert(afterJunk.end(), file.begin(), file.end());
    std::vector<BYTE> shortOne = {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 'B'};
    std::vector<BYTE> truncated(file.begin(), file.end() - 4);
    const Case cases[] = {
        {"a 2 x 2 picture after three junk bytes", afterJunk, true},
        {"BM, 10 bytes and a final B", shortOne, false},
        {"a final B alone", {'x', 'B'}, false},
        {"no signature", junk, false},
        {"fewer pixels than the header says", truncated, false},
    };
    for (const Case& c : cases) {
        const COleVariant var(c.bytes);
        HGLOBAL h = BitmapFromFieldValue(var);
        EXPECT_EQ(h != nullptr, c.bitmap) << c.name;
        if (h) {
            BITMAPINFOHEADER bih {};
            std::memcpy(&bih, GlobalLock(h), sizeof bih);
            GlobalUnlock(h);
            EXPECT_EQ(bih.biWidth, 2);
            GlobalFree(h);
        }
        CRecordingDC dc;
        HGLOBAL hDrawn = DrawFieldBitmap(&dc, var, CRect(0, 0, 40, 40), 0, 0, nullptr, nullptr, TRUE);
        EXPECT_EQ(hDrawn, nullptr);
        EXPECT_EQ(dc.Count("StretchDIBits"), c.bitmap ? 1 : 0) << c.name;
    }
    EXPECT_EQ(BitmapFromFieldValue(COleVariant("BM")), nullptr) << "not a byte array";
}

TEST_F(DisplayCtlTest, BitmapCellDrawsItsFieldOrItsText)
{
    CGXControl* pControl = m_grid->GetRegisteredControl(WORD(GX_IDS_CTRL_DAOBITMAP));
    ASSERT_NE(dynamic_cast<CGXDaoBitmap*>(pControl), nullptr);
    EXPECT_EQ(pControl->GetCellTipProvider(), nullptr);
    CGXOleVarUserAttribute attr;
    const std::vector<BYTE> file = BitmapFile();
    attr.SetVariant(COleVariant(file));
    CGXStyle withField;
    withField.SetControl(WORD(GX_IDS_CTRL_DAOBITMAP)).SetValue("Binary").SetUserAttribute(52794, attr);
    CGXStyle withText;
    withText.SetControl(WORD(GX_IDS_CTRL_DAOBITMAP)).SetValue("Binary");
    const CRect rect(0, 0, 60, 30);
    CRecordingDC dc;
    pControl->Draw(&dc, rect, 2, 2, withField, nullptr);
    EXPECT_EQ(dc.Count("StretchDIBits"), 1) << dc.Dump();
    dc.ClearRecords();
    pControl->Draw(&dc, rect, 2, 2, withText, nullptr);
    EXPECT_EQ(dc.Count("StretchDIBits"), 0);
    bool bText = false;
    for (const PvGdiRecord& r : dc.Records())
        bText |= r.text == "Binary";
    EXPECT_TRUE(bText) << dc.Dump();
}

}  // namespace
