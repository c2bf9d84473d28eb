// Cell content sizes and spanned-cell drawing, with small span features that answer fixed spans
// and count what they are asked to evaluate.

#include "tests/grid/core/window/gridwnd_fixture.h"

#include <string>
#include <vector>

#include "grid/controls/gxedit.h"
#include "grid/core/gxctrl.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxformat.h"
#include "grid/features/gxcalcsize.h"
#include "grid/features/gxspandraw.h"
#include "platform/gdi/gdi.h"

namespace {

// Covered areas from a fixed list.
class CFixedCoveredImp : public CGXAbstractGridCoveredCellsImp {
public:
    std::vector<CGXCellRange> m_areas;
    BOOL GetCoveredCellsRowCol(CGXGridCore*, ROWCOL nRow, ROWCOL nCol, CGXCellRange& range) override
    {
        for (const CGXCellRange& a : m_areas)
            if (a.IsCellInRange(nRow, nCol)) {
                range = a;
                return TRUE;
            }
        return FALSE;
    }
};

// Floating or merging that records the ranges it is asked to evaluate.
template <class Base>
class CLoggingSpanImp : public Base {
public:
    CLoggingSpanImp(std::vector<std::string>& log, char tag) : m_log(log), m_tag(tag) {}
    BOOL m_bChanges = FALSE;
    BOOL Resolve(CGXGridCore*, const CGXCellRange& r, BOOL, BOOL, BOOL) override
    {
        m_log.push_back(std::string(1, m_tag) + "(" + std::to_string(r.top) + "," + std::to_string(r.left) + ","
                        + std::to_string(r.bottom) + "," + std::to_string(r.right) + ")");
        return m_bChanges;
    }

private:
    std::vector<std::string>& m_log;
    char m_tag;
};

// Keeps the flags of the last pass.
class CSpanGridWnd : public CTestGridWnd {
public:
    std::vector<WORD> m_flags;
    std::vector<ROWCOL> m_rows, m_cols;
    ROWCOL m_nDrawnCols = 0;
    void InvertSelection(CGXDrawingGrid& g) override
    {
        m_flags = g.flags;
        m_rows.assign(g.rows.begin(), g.rows.begin() + g.nRows);
        m_cols.assign(g.cols.begin(), g.cols.begin() + g.nCols);
        m_nDrawnCols = g.nCols;
        CTestGridWnd::InvertSelection(g);
    }
    WORD FlagsOf(ROWCOL nRow, ROWCOL nCol) const
    {
        for (size_t i = 0; i < m_rows.size(); ++i)
            for (size_t j = 0; j < m_cols.size(); ++j)
                if (m_rows[i] == nRow && m_cols[j] == nCol)
                    return m_flags[i * m_nDrawnCols + j];
        ADD_FAILURE() << "cell " << nRow << "," << nCol << " was not drawn";
        return 0;
    }
};

int CountTexts(const CRecordingDC& dc, const char* pszText)
{
    int n = 0;
    for (const PvGdiRecord& r : dc.Records())
        if ((r.call == "DrawText" || r.call == "ExtTextOut" || r.call == "TextOut") && r.text == pszText)
            ++n;
    return n;
}

std::vector<PvGdiRecord> TextsOf(const CRecordingDC& dc, const char* pszText)
{
    std::vector<PvGdiRecord> out;
    for (const PvGdiRecord& r : dc.Records())
        if ((r.call == "DrawText" || r.call == "ExtTextOut" || r.call == "TextOut") && r.text == pszText)
            out.push_back(r);
    return out;
}

class SpanTest : public GridWindowTest {
protected:
    CSpanGridWnd& MakeSpanGrid(ROWCOL nRows, ROWCOL nCols, int w = 600, int h = 400)
    {
        auto p = std::make_unique<CSpanGridWnd>();
        p->m_nRows = nRows;
        p->m_nCols = nCols;
        EXPECT_TRUE(p->CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, w, h), m_frame.get(), 100));
        p->Initialize();
        p->m_pCoveredCellsImp = &m_covered;
        p->InstallDrawSpannedCellsImp();
        CSpanGridWnd& grid = *p;
        m_grid = std::move(p);
        return grid;
    }
    void TearDown() override
    {
        if (m_grid) {
            m_grid->m_pCoveredCellsImp = nullptr;
            m_grid->m_pFloatCellsImp = nullptr;
            m_grid->m_pMergeCellsImp = nullptr;
        }
        GridWindowTest::TearDown();
    }
    CFixedCoveredImp m_covered;
};

// ---- Content size ----

class CalcSizeTest : public SpanTest {
protected:
    void SetUp() override
    {
        SpanTest::SetUp();
        CSpanGridWnd& grid = MakeSpanGrid(20, 6);
        CGXFont font;
        font.SetFaceName("DejaVu Sans Mono");
        font.SetSize(10);
        grid.ModifyStandardStyle(CGXStyle().SetFont(font));
        ASSERT_TRUE(m_dc.CreateCompatibleDC(nullptr));
        m_pStatic = grid.GetRegisteredControl(GX_IDS_CTRL_STATIC);
        ASSERT_NE(m_pStatic, nullptr);
        ASSERT_NE(grid.m_pCalcSizeImp, nullptr) << "installed with every grid";
    }
    void TearDown() override
    {
        m_dc.DeleteDC();
        SpanTest::TearDown();
    }
    CSize Measure(ROWCOL r, ROWCOL c, BOOL bFitHeight = FALSE)
    {
        const CGXStyle& style = m_grid->GetCellStyleCached(r, c);
        return m_grid->m_pCalcSizeImp->CalcCellSize(m_pStatic, &m_dc, r, c, style, bFitHeight);
    }
    // Text extent and metrics in the grid's font at its zoom.
    CSize Extent(const char* psz)
    {
        CFont* pOld = m_dc.SelectObject(m_grid->LookupFont(m_grid->LookupStandardStyle()->GetFont()));
        const CSize s = m_dc.GetTextExtent(psz, int(strlen(psz)));
        m_dc.SelectObject(pOld);
        return s;
    }
    TEXTMETRIC Metrics()
    {
        CFont* pOld = m_dc.SelectObject(m_grid->LookupFont(m_grid->LookupStandardStyle()->GetFont()));
        TEXTMETRIC tm {};
        m_dc.GetTextMetrics(&tm);
        m_dc.SelectObject(pOld);
        return tm;
    }
    CSize Border(ROWCOL r, ROWCOL c)
    {
        return m_pStatic->AddBorderToSize(CSize(0, 0), r, c, m_grid->GetCellStyleCached(r, c));
    }
    CRect Inner(ROWCOL r, ROWCOL c)
    {
        const CGXStyle& style = m_grid->GetCellStyleCached(r, c);
        const CRect rect(0, 0, m_grid->ColWidth(c), m_grid->RowHeight(r));
        return m_pStatic->ComputeInnerRect(r, c, &rect, &style);
    }
    void Set(ROWCOL r, ROWCOL c, const char* pszValue, BOOL bWrap = FALSE)
    {
        CGXStyle style;
        style.SetValue(pszValue).SetWrapText(bWrap);
        ASSERT_TRUE(m_grid->SetStyleRange(CGXCellRange(r, c), style));
    }

    CDC m_dc;
    CGXControl* m_pStatic = nullptr;
};

TEST_F(CalcSizeTest, TextSizesOneLineWrappedEmptyAndCapped)
{
    const TEXTMETRIC tm = Metrics();
    const int line = tm.tmHeight + tm.tmExternalLeading;
    const CSize b = Border(2, 2);
    const int cellH = m_grid->RowHeight(2);
    // A column that holds one of the words a line, and a row that holds one line.
    ASSERT_TRUE(m_grid->SetColWidths(3, 3, Extent("wwww").cx + 2 * CGXStatic::TextMargin() + 4));
    ASSERT_GT(Inner(2, 3).Width(), Extent("aaaa").cx);
    ASSERT_LT(Inner(2, 3).Width(), Extent("aaaa bbbb").cx);
    std::string forty;
    for (int i = 0; i < 40; ++i)
        forty += i ? "\nx" : "x";

    struct Case {
        const char* name;
        const char* value;
        BOOL wrap = FALSE;
        ROWCOL col = 2;
        BOOL fitHeight = FALSE;
        CSize expected;
    } const cases[] = {
        {.name = "one line", .value = "abc", .col = 2, .expected = CSize(Extent("abc").cx + b.cx, cellH)},
        {.name = "empty: the widest character", .value = "", .col = 2,
         .expected = CSize(tm.tmMaxCharWidth + b.cx, line + 1 + b.cy)},
        {.name = "wrapped, fitting its height", .value = "aaaa bbbb cccc", .wrap = TRUE, .col = 3, .fitHeight = TRUE,
         .expected = CSize(Inner(2, 3).Width() + b.cx, 3 * line + 1 + b.cy)},
        {.name = "unwrapped, fitting its height", .value = "aaaa bbbb cccc", .col = 3, .fitHeight = TRUE,
         .expected = CSize(Inner(2, 3).Width() + b.cx, line + 1 + b.cy)},
        {.name = "wrapped in a cell too low: the unwrapped line", .value = "aaaa bbbb cccc", .wrap = TRUE, .col = 3,
         .expected = CSize(Extent("aaaa bbbb cccc").cx + b.cx, cellH)},
        {.name = "line breaks without wrapping", .value = "a\r\nbbbb", .col = 2,
         .expected = CSize(Extent("bbbb").cx + b.cx, cellH)},
        {.name = "forty lines, capped at 32", .value = forty.c_str(), .wrap = TRUE, .col = 3, .fitHeight = TRUE,
         .expected = CSize(Inner(2, 3).Width() + b.cx, 32 * line + 1 + b.cy)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Set(2, c.col, c.value, c.wrap);
        EXPECT_EQ(Measure(2, c.col, c.fitHeight), c.expected);
    }
    // The same text in a cell high enough for its wrapped lines: as wide as its widest line.
    ASSERT_TRUE(m_grid->SetRowHeights(4, 4, 5 * line + 8));
    Set(4, 3, "aaaa bbbb cccc", TRUE);
    EXPECT_EQ(Measure(4, 3).cx, Extent("aaaa").cx + b.cx);
}

TEST_F(CalcSizeTest, StoredValueOptionImageNameCoveredWidthAndZoom)
{
    const CSize b = Border(2, 2);
    CGXStyle number;
    number.SetValue("1000").SetFormat(GX_FMT_COMMA).SetPlaces(2);
    ASSERT_TRUE(m_grid->SetStyleRange(CGXCellRange(2, 2), number));
    CString shown;
    m_pStatic->GetDisplayText(shown, 2, 2, nullptr, m_grid->GetCellStyleCached(2, 2));
    ASSERT_STREQ(shown.TrimRight(), "1,000.00");
    EXPECT_EQ(Measure(2, 2).cx, Extent("1,000.00").cx + b.cx);
    m_grid->GetParam()->m_wSizingOptions = GX_SIZE_STOREDVALUE;
    EXPECT_EQ(Measure(2, 2).cx, Extent("1000").cx + b.cx);
    m_grid->GetParam()->m_wSizingOptions = 0;

    // A picture of the pool by its name: its size plus the borders.
    PvSetBitmapResourceLoader([](UINT id, LPCTSTR, std::vector<BYTE>& out) {
        if (id != 7)
            return false;
        auto w16 = [&](WORD v) { out.push_back(BYTE(v)); out.push_back(BYTE(v >> 8)); };
        auto w32 = [&](DWORD v) { w16(WORD(v)); w16(WORD(v >> 16)); };
        w16(0x4D42); w32(14 + 40 + 8); w16(0); w16(0); w32(14 + 40);
        w32(40); w32(2); w32(1); w16(1); w16(24); w32(0); w32(8); w32(2835); w32(2835); w32(0); w32(0);
        for (BYTE v : {0, 0, 255, 255, 0, 0, 0, 0})
            out.push_back(v);
        return true;
    });
    Set(3, 2, "#BMP(7)");
    EXPECT_EQ(Measure(3, 2), CSize(2 + b.cx, 1 + b.cy));
    PvSetBitmapResourceLoader(nullptr);

    // A covered cell breaks its text at the covered area's width.
    Set(5, 2, "aaaa bbbb cccc dddd", TRUE);
    ASSERT_TRUE(m_grid->SetColWidths(2, 4, Extent("aaaa").cx + 2 * CGXStatic::TextMargin() + 4));
    const TEXTMETRIC tm = Metrics();
    const int line = tm.tmHeight + tm.tmExternalLeading;
    EXPECT_EQ(Measure(5, 2, TRUE).cy, 4 * line + 1 + b.cy);
    m_covered.m_areas = {CGXCellRange(5, 2, 5, 4)};
    EXPECT_EQ(Measure(5, 2, TRUE).cy, 2 * line + 1 + b.cy) << "three columns hold two words a line";
    m_covered.m_areas.clear();

    // Zoom 200 doubles the text.
    Set(6, 2, "abcdef");
    const int at100 = Measure(6, 2).cx - b.cx;
    m_grid->SetZoom(200);
    const int at200 = Measure(6, 2).cx - Border(6, 2).cx;
    EXPECT_NEAR(at200, 2 * at100, 2);
}

// A DC that counts the fonts selected into it.
class CCountingDC : public CDC {
public:
    int m_nFontSelections = 0;
    CFont* SelectObject(CFont* pFont) override
    {
        ++m_nFontSelections;
        return CDC::SelectObject(pFont);
    }
    using CDC::SelectObject;
};

TEST_F(CalcSizeTest, ABatchSelectsEachFontOnce)
{
    for (ROWCOL r = 1; r <= 10; ++r)
        Set(r, 2, "some wrapped words here", TRUE);
    CGXFont bold;
    bold.SetBold(TRUE);
    m_grid->SetStyleRange(CGXCellRange(5, 2, 6, 2), CGXStyle().SetFont(bold), gxOverride);
    CCountingDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    auto* pImp = static_cast<CGXCalcSizeImp*>(m_grid->m_pCalcSizeImp);
    CFont* pOriginal = dc.GetCurrentFont();
    pImp->BeginMeasuring(&dc);
    for (ROWCOL r = 1; r <= 10; ++r)
        pImp->CalcCellSize(m_pStatic, &dc, r, 2, m_grid->GetCellStyleCached(r, 2), TRUE);
    pImp->EndMeasuring();
    EXPECT_EQ(dc.m_nFontSelections, 3 + 1) << "standard, bold, standard again, and the original back";
    EXPECT_EQ(dc.GetCurrentFont(), pOriginal);
    // Outside a batch the DC gets its font back after every cell.
    dc.m_nFontSelections = 0;
    pImp->CalcCellSize(m_pStatic, &dc, 1, 2, m_grid->GetCellStyleCached(1, 2), TRUE);
    EXPECT_EQ(dc.m_nFontSelections, 2);
    EXPECT_EQ(dc.GetCurrentFont(), pOriginal);
}

// ---- Spanned drawing ----

constexpr WORD kBorderBits = GX_DGF_BORDERLEFT | GX_DGF_BORDERRIGHT | GX_DGF_BORDERTOP | GX_DGF_BORDERBOTTOM;
constexpr WORD kLineBits = GX_DGF_HORZLINE | GX_DGF_VERTLINE;

// Solid fills: FillSolidRect, and opaque ExtTextOut without text.
std::vector<CRect> Fills(const CRecordingDC& dc)
{
    std::vector<CRect> out;
    for (const PvGdiRecord& r : dc.Records())
        if (r.call == "FillSolidRect" || (r.call == "ExtTextOut" && r.text.IsEmpty() && (r.flags & ETO_OPAQUE)))
            out.push_back(r.rect);
    return out;
}

int CountFills(const CRecordingDC& dc, const CRect& rect)
{
    int n = 0;
    for (const CRect& r : Fills(dc))
        n += r == rect;
    return n;
}

TEST_F(SpanTest, ACoveredAreaDrawsOnceWithoutLinesInside)
{
    CSpanGridWnd& grid = MakeSpanGrid(20, 6);
    CGXStyle framed;
    framed.SetBorders(-1, CGXPackedPen(PS_SOLID, 1, RGB(0, 0, 255)));
    grid.SetStyleRange(CGXCellRange(2, 2), framed);
    m_covered.m_areas = {CGXCellRange(2, 2, 4, 4)};
    const CRect span = grid.RangeToRect(CGXCellRange(2, 2, 4, 4));
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass ? "second paint" : "first paint");
        auto dc = DrawAll();
        EXPECT_EQ(CountTexts(*dc, "2,2"), 1) << dc->Dump();
        EXPECT_EQ(CountFills(*dc, span), 1) << "one interior";
        for (ROWCOL r = 2; r <= 4; ++r)
            for (ROWCOL c = 2; c <= 4; ++c) {
                const std::string text = std::to_string(r) + "," + std::to_string(c);
                if (r != 2 || c != 2) {
                    EXPECT_EQ(CountTexts(*dc, text.c_str()), 0) << text;
                }
                EXPECT_EQ(CountFills(*dc, grid.RangeToRect(CGXCellRange(r, c))), 0) << text;
            }
        EXPECT_EQ(CountTexts(*dc, "5,2"), 1) << "the cells around it draw as ever";
        // No grid line crosses the span's inside.
        CRect inside = span;
        inside.DeflateRect(1, 1);
        for (const CRect& r : Fills(*dc))
            if (r.Width() == 1 || r.Height() == 1) {
                EXPECT_TRUE((r & inside).IsRectEmpty()) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
            }
    }
    // Lines on the upper and left edges: the span's borders there, on its outer cells only.
    struct Case {
        ROWCOL r, c;
        WORD bits;
    } const cases[] = {
        {2, 2, GX_DGF_SPANSTART | GX_DGF_BORDERLEFT | GX_DGF_BORDERTOP},
        {2, 3, GX_DGF_SPANNED | GX_DGF_BORDERTOP},
        {3, 2, GX_DGF_SPANNED | GX_DGF_BORDERLEFT},
        {3, 3, GX_DGF_SPANNED},
        {4, 4, GX_DGF_SPANNED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.r) + "," + std::to_string(c.c));
        const WORD f = grid.FlagsOf(c.r, c.c);
        EXPECT_EQ(f & (kBorderBits | kLineBits | GX_DGF_SPANNED | GX_DGF_SPANSTART), c.bits);
    }
}

TEST_F(SpanTest, AnAreaScrolledPartlyOutDrawsAsAWholeClipped)
{
    CSpanGridWnd& grid = MakeSpanGrid(40, 6);
    m_covered.m_areas = {CGXCellRange(2, 2, 4, 3)};
    const CRect header = grid.RangeToRect(CGXCellRange(0, 2));
    ASSERT_TRUE(grid.SetTopRow(3, GX_INVALIDATE));
    const CRect row3 = grid.RangeToRect(CGXCellRange(3, 2));
    const int rowHeight = grid.RowHeight(2);
    auto dc = DrawAll();
    const auto texts = TextsOf(*dc, "2,2");
    ASSERT_EQ(texts.size(), 1u) << dc->Dump();
    EXPECT_LT(texts[0].rect.top, row3.top) << "placed in the rectangle that starts a row above";
    const CRect whole(row3.left, row3.top - rowHeight, grid.RangeToRect(CGXCellRange(3, 3)).right,
                      row3.top + 2 * rowHeight);
    EXPECT_EQ(CountFills(*dc, whole), 1) << dc->Dump();
    // The part above the first shown row is clipped away: the header keeps its face.
    EXPECT_NE(dc->GetPixel(header.left + 3, header.bottom - 3), RGB(255, 255, 255));
}

TEST_F(SpanTest, ASpanAcrossTheFrozenRowsDrawsInBothPanes)
{
    CSpanGridWnd& grid = MakeSpanGrid(40, 6);
    ASSERT_TRUE(grid.SetFrozenRows(2));
    m_covered.m_areas = {CGXCellRange(2, 2, 6, 3)};
    ASSERT_TRUE(grid.SetTopRow(5, GX_INVALIDATE));
    auto dc = DrawAll();
    EXPECT_EQ(grid.FlagsOf(2, 2) & GX_DGF_SPANSTART, GX_DGF_SPANSTART);
    EXPECT_EQ(grid.FlagsOf(5, 2) & GX_DGF_SPANSTART, GX_DGF_SPANSTART) << "the scrolled pane's first cell";
    EXPECT_EQ(grid.FlagsOf(6, 3) & GX_DGF_SPANNED, GX_DGF_SPANNED);
    const CRect frozen = grid.RangeToRect(CGXCellRange(2, 2));
    int nInFrozen = 0;
    for (const PvGdiRecord& r : TextsOf(*dc, "2,2"))
        nInFrozen += r.rect.top >= frozen.top && r.rect.top < frozen.bottom;
    EXPECT_EQ(TextsOf(*dc, "2,2").size(), 2u) << "once a pane";
    EXPECT_EQ(nInFrozen, 1) << "the frozen part keeps the text";
    // The scrolled part starts under a grid line of its own, as the cells beside it do.
    const CRect first = grid.RangeToRect(CGXCellRange(5, 2));
    bool bLine = false;
    for (const CRect& r : Fills(*dc))
        bLine = bLine || (r.Height() == 1 && r.top == first.top && r.left <= first.left + 1 && r.right >= first.right);
    EXPECT_TRUE(bLine) << dc->Dump();
}

TEST_F(SpanTest, CellsAtTheDrawnAreasEdgesWithoutBordersAreMarked)
{
    CSpanGridWnd& grid = MakeSpanGrid(20, 6);
    m_covered.m_areas = {CGXCellRange(2, 2, 4, 5)};
    const CRect last = grid.RangeToRect(CGXCellRange(3, 3));
    DrawAll(CRect(0, 0, last.right, last.bottom));
    struct Case {
        ROWCOL r, c;
        WORD bits;
    } const cases[] = {
        {2, 2, 0}, {2, 3, GX_DGF_EDGERIGHT}, {3, 2, GX_DGF_EDGEBOTTOM}, {3, 3, GX_DGF_EDGERIGHT | GX_DGF_EDGEBOTTOM},
    };
    for (const Case& c : cases)
        EXPECT_EQ(grid.FlagsOf(c.r, c.c) & (GX_DGF_EDGERIGHT | GX_DGF_EDGEBOTTOM), c.bits) << c.r << "," << c.c;
    // A right border in the span's style: nothing is missing at that edge.
    grid.SetStyleRange(CGXCellRange(2, 2), CGXStyle().SetBorders(gxBorderRight, CGXPackedPen(PS_SOLID, 1, 0)));
    DrawAll(CRect(0, 0, last.right, last.bottom));
    EXPECT_EQ(grid.FlagsOf(3, 3) & (GX_DGF_EDGERIGHT | GX_DGF_EDGEBOTTOM), GX_DGF_EDGEBOTTOM);
}

TEST_F(SpanTest, TheEditWindowOfACurrentCellInASpanCoversTheSpan)
{
    CSpanGridWnd& grid = MakeSpanGrid(20, 6);
    m_covered.m_areas = {CGXCellRange(2, 2, 3, 4)};
    ASSERT_TRUE(grid.PlaceCurrentCell(2, 2, 0));
    CGXControl* pControl = grid.CurrentCellControl();
    ASSERT_NE(pControl, nullptr);
    pControl->SetActive(TRUE);
    DrawAll();
    CWnd* pWnd = pControl->GetWindow();
    ASSERT_NE(pWnd, nullptr);
    CRect rect;
    pWnd->GetWindowRect(&rect);
    grid.ScreenToClient(&rect);
    const CRect span = grid.RangeToRect(CGXCellRange(2, 2, 3, 4));
    const CRect inner = pControl->ComputeInnerRect(2, 2, &span, &grid.GetCellStyleCached(2, 2));
    EXPECT_EQ(rect.left, inner.left);
    EXPECT_EQ(rect.right, inner.right);
    EXPECT_GT(rect.Width(), grid.ColWidth(2));
}

TEST_F(SpanTest, EvaluateSpansAsksFloatThenMergeForEachPanePart)
{
    CSpanGridWnd& grid = MakeSpanGrid(40, 10, 900, 400);
    ASSERT_TRUE(grid.SetFrozenRows(2));
    ASSERT_TRUE(grid.SetFrozenCols(1));
    ASSERT_TRUE(grid.SetTopRow(10, GX_INVALIDATE));
    ASSERT_TRUE(grid.SetLeftCol(4, GX_INVALIDATE));
    std::vector<std::string> log;
    CLoggingSpanImp<CGXGridFloatCellsImp> floating(log, 'F');
    CLoggingSpanImp<CGXGridMergeCellsImp> merging(log, 'M');
    grid.m_pFloatCellsImp = &floating;
    grid.m_pMergeCellsImp = &merging;
    using V = std::vector<std::string>;
    struct Case {
        const char* name;
        CGXCellRange range;
        V expected;
    } const cases[] = {
        {"cells", CGXCellRange(0, 0, 30, 8),
         V {"F(0,0,2,1)", "M(0,0,2,1)", "F(0,4,2,8)", "M(0,4,2,8)", "F(10,0,30,1)", "M(10,0,30,1)", "F(10,4,30,8)",
            "M(10,4,30,8)"}},
        {"rows", CGXCellRange().SetRows(5, 12), V {"F(10,0,12,1)", "M(10,0,12,1)", "F(10,4,12,10)", "M(10,4,12,10)"}},
        {"columns", CGXCellRange().SetCols(3, 5), V {"F(0,4,2,5)", "M(0,4,2,5)", "F(10,4,40,5)", "M(10,4,40,5)"}},
        {"inside the scrolled-out gap", CGXCellRange(3, 2, 9, 3), V {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        EXPECT_FALSE(grid.EvaluateSpans(c.range));
        EXPECT_EQ(log, c.expected);
    }
    merging.m_bChanges = TRUE;
    log.clear();
    EXPECT_TRUE(grid.EvaluateSpans(CGXCellRange().SetTable()));
    EXPECT_EQ(log.size(), 8u) << "floating still evaluates every part";
}

// A long stretch is summed from its default size: stored sizes, hidden rows and the frozen ones
// inside it must count as the row-by-row sum counts them.
TEST_F(SpanTest, LongSizeSumsAgreeWithTheRowByRowSum)
{
    CSpanGridWnd& grid = MakeSpanGrid(5000, 4);
    ASSERT_TRUE(grid.SetFrozenRows(3));
    ASSERT_TRUE(grid.SetRowHeights(2, 2, 40));
    ASSERT_TRUE(grid.SetRowHeights(700, 720, 31));
    ASSERT_TRUE(grid.SetRowHeights(4000, 4000, 5000));  // beyond the window: limited to it
    ASSERT_TRUE(grid.StoreHideRow(710, TRUE));   // stored and hidden
    ASSERT_TRUE(grid.StoreHideRow(1500, TRUE));  // hidden at the default size
    auto slow = [&](ROWCOL a, ROWCOL b) {
        int n = 0;
        for (ROWCOL r = a; r <= b; ++r)
            n += grid.RowHeight(r);
        return n;
    };
    for (auto [a, b] : {std::pair<ROWCOL, ROWCOL> {1, 4999}, {0, 100}, {600, 3000}, {1501, 4100}, {4, 4}})
        EXPECT_EQ(grid.SumRowHeights(a, b), slow(a, b)) << a << "-" << b;
    EXPECT_EQ(grid.SumColWidths(0, 4), grid.ColWidth(0) + grid.ColWidth(1) + grid.ColWidth(2) + grid.ColWidth(3)
                                           + grid.ColWidth(4));
}

}  // namespace
