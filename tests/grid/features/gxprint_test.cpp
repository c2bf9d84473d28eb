// Printing a grid: pages across and down on a fixed A4 page, breaks, the selection, the
// preview's first page, a record grid that grows while it prints, and the header and footer
// tokens.

#include <ctime>
#include <functional>
#include <string>

#include "../controls/gxgridfixture.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstate.h"
#include "grid/features/gxprint.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/view.h"

namespace {

// A grid whose row count a test may raise as rows are asked for, as a record grid's does.
class PagedGrid : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    ROWCOL m_nGrowTo = 0;
    ROWCOL m_nAskedUpTo = 0;
    void PrepareRows(ROWCOL nRow) override
    {
        m_nAskedUpTo = std::max(m_nAskedUpTo, nRow);
        if (m_nGrowTo > RowCount())
            SetRowCount(m_nGrowTo, GX_NOREDRAW);
    }
};

class PrintTest : public ::testing::Test {
public:  // the case tables set the fixture up
    void SetUp() override
    {
        PvResetWindowSystem();
        InitGridLibraryWithFactory();
        m_wnd.CreateEx(0, GX_WNDCLASS, "grid", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr);
        m_grid = std::make_unique<PagedGrid>(&m_wnd);
        m_wnd.m_pGrid = m_grid.get();
        m_grid->Initialize();
        m_grid->SetRowCount(10);
        m_grid->SetColCount(4);
        PvPrinterSettings s;  // A4 at 600 dpi
        s.outputPath = (::testing::TempDir() + "pv-print-test.pdf").c_str();
        ASSERT_TRUE(PvCreatePdfPrinterDC(m_dc, s));
        m_dc.m_bPrinting = TRUE;
        // The page less the margins, in screen pixels.
        m_page = GXPrintPageRect(&m_dc);
        const CGXProperties& p = *m_grid->GetProperties();
        m_cx = m_page.Width() - p.m_nMargins[CGXProperties::gxMarginLeft] - p.m_nMargins[CGXProperties::gxMarginRight];
        m_cy = m_page.Height() - p.m_nMargins[CGXProperties::gxMarginTop] - p.m_nMargins[CGXProperties::gxMarginBottom];
    }
    void TearDown() override
    {
        m_wnd.m_pGrid = nullptr;
        m_grid.reset();
        m_wnd.DestroyWindow();
        m_dc.DeleteDC();
    }
    CGXGridPrintImp& Imp() { return *dynamic_cast<CGXGridPrintImp*>(m_grid->m_pPrintImp); }
    CGXProperties& Props() { return *m_grid->GetProperties(); }
    // Room for the scrolled rows (columns) of a page, after the headers and frozen ones.
    int RoomY() { return m_cy - m_grid->RowHeight(0); }
    int RoomX() { return m_cx - m_grid->ColWidth(0); }
    void Begin(CPrintInfo& info) { m_grid->OnBeginPrinting(&m_dc, &info); }
    void End(CPrintInfo& info) { m_grid->OnEndPrinting(&m_dc, &info); }
    std::vector<ROWCOL> Starts(std::initializer_list<ROWCOL> l) { return l; }

    GXTestHostWnd m_wnd;
    std::unique_ptr<PagedGrid> m_grid;
    CDC m_dc;
    CRect m_page;
    int m_cx = 0, m_cy = 0;
};

TEST_F(PrintTest, TheFeatureAndTheHandlerAreInstalled)
{
    EXPECT_NE(dynamic_cast<CGXGridPrintImp*>(m_grid->m_pPrintImp), nullptr);
    EXPECT_NE(GXGetAppData()->m_pHeaderFooterImp, nullptr);
    const CGXProperties fresh;
    EXPECT_EQ(fresh.m_nMargins[CGXProperties::gxMarginLeft], 144) << "1.5 inch";
    EXPECT_EQ(fresh.m_nMargins[CGXProperties::gxMarginTop], 96);
    EXPECT_EQ(fresh.m_nMargins[CGXProperties::gxMarginRight], 96);
    EXPECT_EQ(fresh.m_nMargins[CGXProperties::gxMarginBottom], 144);
}

TEST_F(PrintTest, Pagination)
{
    struct Case {
        const char* name;
        std::function<void(PrintTest&)> setUp;
        std::vector<ROWCOL> rows, cols;
    };
    const Case cases[] = {
        {"a small table is one page", [](PrintTest&) {}, {1, 11}, {1, 5}},
        {"a column wider than the page has a page of its own",
         [](PrintTest& t) { t.m_grid->SetColWidths(2, 2, t.RoomX() + 50); }, {1, 11}, {1, 2, 3, 5}},
        {"two columns a page",
         [](PrintTest& t) { t.m_grid->SetColWidths(1, 4, t.RoomX() / 2); }, {1, 11}, {1, 3, 5}},
        {"a manual row break", [](PrintTest& t) { t.Props().m_awArray2.Add(5); }, {1, 5, 11}, {1, 5}},
        {"breaks from a file: unsorted, repeated, zero and beyond the end",
         [](PrintTest& t) {
             t.m_grid->SetRowCount(200);
             for (DWORD b : {7u, 3u, 7u, 0u, 500u})
                 t.Props().m_awArray2.Add(b);
         },
         {1, 7, 0 /* then full pages */}, {1, 5}},
        {"frozen rows are not paginated",
         [](PrintTest& t) { t.m_grid->SetFrozenRows(2); }, {3, 11}, {1, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (&c != cases) {
            TearDown();
            SetUp();
        }
        c.setUp(*this);
        CPrintInfo info;
        Begin(info);
        if (c.rows.back() == 0) {
            const auto& rows = Imp().GetRowStarts();
            ASSERT_GE(rows.size(), 3u);
            EXPECT_EQ(rows[0], c.rows[0]);
            EXPECT_EQ(rows[1], c.rows[1]);
            for (size_t i = 1; i + 1 < rows.size(); ++i)
                EXPECT_LT(rows[i], rows[i + 1]) << "no empty page";
            EXPECT_EQ(rows.back(), m_grid->RowCount() + 1);
        } else {
            EXPECT_EQ(Imp().GetRowStarts(), c.rows);
        }
        EXPECT_EQ(Imp().GetColStarts(), c.cols);
        EXPECT_EQ(info.GetMaxPage(), Imp().GetPageCount());
        End(info);
    }
}

TEST_F(PrintTest, PageOrderAndTheCountInThePageText)
{
    m_grid->SetColWidths(1, 4, RoomX() / 2);
    m_grid->SetRowCount(150);
    m_grid->SetRowHeights(1, 150, RoomY() / 100);
    for (BOOL pageOrder : {FALSE, TRUE}) {
        SCOPED_TRACE(pageOrder ? "down first" : "across first");
        Props().m_nPageOrder = pageOrder;
        CPrintInfo info;
        Begin(info);
        const auto& rows = Imp().GetRowStarts();
        ASSERT_EQ(rows.size(), 3u);
        EXPECT_EQ(Imp().GetColStarts(), Starts({1, 3, 5}));
        EXPECT_EQ(info.GetMaxPage(), 4u);
        EXPECT_STREQ(info.m_strPageDesc, " / 4");
        // Page 2: the first page row's second column page, or the second page row's first.
        const CGXCellRange expected = pageOrder ? CGXCellRange(rows[1], 1, 150, 2) : CGXCellRange(1, 3, rows[1] - 1, 4);
        CGXCellRange block;
        ASSERT_TRUE(Imp().GetPageBlock(m_grid.get(), 2, block));
        EXPECT_EQ(block, expected);
        End(info);
    }
}

TEST_F(PrintTest, SelectionAndPreview)
{
    m_grid->SetRowCount(300);
    m_grid->SetRowHeights(1, 300, RoomY() / 100);
    m_grid->SetColWidths(1, 4, RoomX() / 2);
    // The selection option with nothing selected: the screen's view, one page.
    m_grid->ScrollToCell(150, 3);
    const ROWCOL nTop = m_grid->GetTopRow(), nLeft = m_grid->GetLeftCol();
    {
        CPrintInfo info;
        info.m_pPD->m_pd.Flags |= PD_SELECTION;
        Begin(info);
        EXPECT_EQ(Imp().GetPageCount(), 1u);
        EXPECT_EQ(Imp().GetRowStarts().front(), nTop);
        EXPECT_EQ(Imp().GetColStarts().front(), nLeft);
        End(info);
    }
    // A selected range prints alone.
    {
        const CGXCellRange sel(20, 2, 30, 2);
        m_grid->SetSelection(&sel);
        CPrintInfo info;
        info.m_pPD->m_pd.Flags |= PD_SELECTION;
        Begin(info);
        EXPECT_EQ(Imp().GetRowStarts(), Starts({20, 31}));
        EXPECT_EQ(Imp().GetColStarts(), Starts({2, 3}));
        End(info);
        m_grid->SetSelection(nullptr);
    }
    // The preview opens on the page that holds the screen's top-left cell.
    for (BOOL order : {FALSE, TRUE}) {
        Props().m_nPageOrder = order;
        CPrintInfo info;
        info.m_bPreview = TRUE;
        Begin(info);
        CGXCellRange block;
        ASSERT_TRUE(Imp().GetPageBlock(m_grid.get(), info.m_nCurPage, block));
        EXPECT_TRUE(block.IsCellInRange(nTop, nLeft)) << info.m_nCurPage;
        End(info);
    }
}

TEST_F(PrintTest, ARecordGridGrowsWhilePrinting)
{
    m_grid->SetRowHeights(1, 10, RoomY() / 10);
    m_grid->SetDefaultRowHeight(RoomY() / 10);
    CPrintInfo info;
    Begin(info);
    ASSERT_EQ(info.GetMaxPage(), 1u);
    m_grid->m_nGrowTo = 35;
    info.m_nCurPage = 1;
    m_grid->OnPrint(&m_dc, &info);
    EXPECT_EQ(Imp().GetRowStarts(), Starts({1, 11, 21, 31, 36}));
    EXPECT_EQ(info.GetMaxPage(), 4u);
    EXPECT_TRUE(info.m_bContinuePrinting);
    info.m_nCurPage = 4;
    m_grid->OnPrint(&m_dc, &info);
    EXPECT_FALSE(info.m_bContinuePrinting) << "the last page";
    End(info);
}

TEST_F(PrintTest, ATinyDefaultRowHeightDividesByOne)
{
    // A stored default this small is no pixel at all.
    m_grid->GetParam()->m_nDefaultHeight = 1;
    ASSERT_EQ(m_grid->DefaultRowHeight(), 0);
    m_grid->SetRowHeights(1, 10, 20);
    CPrintInfo info;
    Begin(info);
    info.m_nCurPage = 1;
    m_grid->OnPrint(&m_dc, &info);
    EXPECT_GT(m_grid->m_nAskedUpTo, ROWCOL(m_cy)) << "twice the page height in rows of one pixel";
    End(info);
}

TEST_F(PrintTest, HeaderAndFooterTokens)
{
    auto& handler = *dynamic_cast<CGXHeaderFooterImp*>(GXGetAppData()->m_pHeaderFooterImp);
    m_grid->GetParam()->m_sText = "Grade 7";
    CPrintInfo info;
    info.SetMaxPage(4);
    info.m_nCurPage = 2;
    char year[8];
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    std::strftime(year, sizeof year, "%Y", &local);
    char full[256];
    std::strftime(full, sizeof full, "%c", &local);
    struct Case {
        const char* text;
        long firstPage;
        std::string expected;
    };
    const Case cases[] = {
        {"$P/$N", -1, "2/4"},
        {"Page $P", 10, "Page 11"},
        {"$p of $n", -1, "2 of 4"},
        {"$D{%Y}", -1, year},
        {"$D", -1, full},
        {"[$F]", -1, "[]"},
        {"$R", -1, "Grade 7"},
        {"$D{%Y", -1, std::string(full) + "{%Y"},
        {"$$P ß", -1, "$2 ß"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Props().m_nFirstPage = c.firstPage;
        handler.DrawHeaderFooter(&Props(), &m_dc, &info, nullptr, m_grid->GetParam());
        EXPECT_EQ(std::string(handler.ExpandTokens(&Props(), c.text)), c.expected);
    }
}

}  // namespace
