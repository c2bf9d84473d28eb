#include "grid/formula/gxengine.h"

#include <gtest/gtest.h>

#include <set>

#include "grid/core/gxstyle.h"
#include "grid/formula/gxparse.h"
#include "grid/formula/gxref.h"

namespace {

class EngineSheet : public ::testing::Test {
protected:
    void SetUp() override { h = gx_create_sheet(); }
    void TearDown() override { gx_destroy_sheet(h); }
    int h = 0;
};

TEST_F(EngineSheet, EverySetterRefusesPlacesOffTheSheet)
{
    const int places[][2] = {{0, 0}, {8388608, 0}, {1, -1}, {1, 4096}};
    for (const auto& p : places) {
        EXPECT_EQ(gx_set_number_cell(h, p[0], p[1], 1), 0);
        EXPECT_EQ(gx_set_text_cell(h, p[0], p[1], "x"), 0);
        EXPECT_EQ(gx_set_formula_cell(h, p[0], p[1], "=1"), 0);
        EXPECT_EQ(gx_new_style_cell(h, p[0], p[1]), nullptr);
    }
    EXPECT_EQ(gx_cell_count(h, GX_POOL_ALL), 0);
    EXPECT_EQ(gx_set_number_cell(h, 8388607, 4095, 1), 1);
}

TEST_F(EngineSheet, FormulaCellTypes)
{
    struct Case { const char* text; int type; int pool; } cases[] = {
        {"=5", gxNumber, GX_POOL_VALUE},       {"=0x5", gxFormulaPlain, GX_POOL_VALUE},
        {"=5;1", gxFormulaPlain, GX_POOL_VALUE}, {"=5//n", gxFormulaPlain, GX_POOL_VALUE},
        {"=A1+1", gxFormulaRefs, GX_POOL_FORMULA},
    };
    int row = 1;
    for (const auto& c : cases) {
        ASSERT_EQ(gx_set_formula_cell(h, row, 2, c.text), 1) << c.text;
        GXCell* cell = gx_find_cell(h, row, 2);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->Type(), c.type) << c.text;
        EXPECT_EQ(cell->formula == nullptr, c.type == gxNumber) << c.text;
        ++row;
    }
    EXPECT_EQ(gx_find_cell(h, 1, 2)->value.number, 5);
    EXPECT_EQ(gx_cell_count(h, GX_POOL_VALUE), 4);
    EXPECT_EQ(gx_cell_count(h, GX_POOL_FORMULA), 1);
    // A parse error leaves the old cell in place.
    EXPECT_EQ(gx_set_formula_cell(h, 1, 2, "=1+"), 0);
    EXPECT_EQ(gx_find_cell(h, 1, 2)->value.number, 5);
    // A given value is taken by a formula with references.
    GXGivenValue v{gxValNumber, 7, {}};
    ASSERT_EQ(gx_set_formula_cell(h, 9, 0, "=B1*2", &v), 1);
    GXCell* c = gx_find_cell(h, 9, 0);
    EXPECT_EQ(c->Kind(), gxValNumber);
    EXPECT_EQ(c->value.number, 7);
    EXPECT_TRUE(c->flags & GX_CELL_VISITED);
    EXPECT_TRUE(c->flags & GX_CELL_CHANGED);
}

TEST_F(EngineSheet, TextsInlineUpToEightCharacters)
{
    ASSERT_EQ(gx_set_text_cell(h, 1, 0, "12345678"), 1);
    ASSERT_EQ(gx_set_text_cell(h, 2, 0, "123456789"), 1);
    ASSERT_EQ(gx_set_text_cell(h, 3, 0, "a\\tb"), 1);
    EXPECT_EQ(gx_find_cell(h, 1, 0)->Kind(), gxShortText);
    EXPECT_EQ(gx_find_cell(h, 1, 0)->Text(), "12345678");
    EXPECT_EQ(gx_find_cell(h, 2, 0)->Kind(), gxLongText);
    EXPECT_EQ(gx_find_cell(h, 2, 0)->Text(), "123456789");
    EXPECT_EQ(gx_find_cell(h, 3, 0)->Text(), "a\tb");
    EXPECT_EQ(gx_find_cell(h, 1, 0)->Type(), gxText);
}

TEST_F(EngineSheet, StyleSurvivesReplacement)
{
    GXCell* c = gx_new_style_cell(h, 4, 4);
    ASSERT_NE(c, nullptr);
    c->style = new CGXStyle;
    CGXStyle* style = c->style;
    EXPECT_EQ(gx_cell_count(h, GX_POOL_STYLE), 1);
    ASSERT_EQ(gx_set_number_cell(h, 4, 4, 3), 1);
    EXPECT_EQ(gx_cell_count(h, GX_POOL_STYLE), 0);
    EXPECT_EQ(gx_find_cell(h, 4, 4)->style, style);
    EXPECT_EQ(gx_take_cell_style(gx_find_cell(h, 4, 4)), style);
    delete style;
}

TEST_F(EngineSheet, ExtentShrinksAsCellsGo)
{
    GXRange r;
    EXPECT_EQ(gx_get_extent(h, &r), 0);
    gx_set_number_cell(h, 2, 1, 1);
    gx_set_number_cell(h, 5, 3, 1);
    gx_set_number_cell(h, 7, 2, 1);
    ASSERT_EQ(gx_get_extent(h, &r), 1);
    EXPECT_EQ(gx_range_string(r), "B2..D7");
    gx_remove_cell(h, gx_find_cell(h, 2, 1));
    ASSERT_EQ(gx_get_extent(h, &r), 1);
    EXPECT_EQ(gx_range_string(r), "C5..D7");
    GXRange clip;
    gx_make_range(&clip, 1, 0, 6, 2, 0);
    ASSERT_EQ(gx_clip_to_extent(h, &clip), 1);
    EXPECT_EQ(gx_range_string(clip), "C5..C6");
    gx_remove_cell(h, gx_find_cell(h, 5, 3));
    gx_remove_cell(h, gx_find_cell(h, 7, 2));
    EXPECT_EQ(gx_get_extent(h, &r), 0);
    EXPECT_EQ(gx_sheet(h)->extent_valid, 0);
}

TEST(EngineSheets, FreedHandleIsReused)
{
    int a = gx_create_sheet(), b = gx_create_sheet(), c = gx_create_sheet();
    gx_set_number_cell(b, 1, 0, 1);
    gx_destroy_sheet(b);
    EXPECT_EQ(gx_sheet(b), nullptr);
    EXPECT_EQ(gx_create_sheet(), b);
    EXPECT_EQ(gx_cell_count(b, GX_POOL_ALL), 0);
    for (int x : {a, b, c})
        gx_destroy_sheet(x);
}

TEST_F(EngineSheet, FreeingDuringIterationIsDeferred)
{
    for (int row = 1; row <= 100; ++row)
        gx_set_number_cell(h, row, 0, row);
    GXSheet* s = gx_sheet(h);
    int blocks = 0;
    for (GXBlock* b = s->pools[0].first; b; b = b->next)
        ++blocks;
    EXPECT_EQ(blocks, 4);
    int set = gx_begin_iteration(h, GX_POOL_ALL);
    EXPECT_EQ(set, GX_POOL_ALL);
    EXPECT_EQ(gx_begin_iteration(h, GX_POOL_VALUE), 0);
    GXRange all;
    gx_make_range(&all, 1, 0, GX_MAX_ROW, GX_MAX_COL, 0);
    GXRangeIter it;
    gx_range_iter_init(h, all, &it, GX_POOL_ALL);
    int seen = 0;
    std::set<int> rows;
    while (GXCell* c = gx_range_iter_next(&it)) {
        ++seen;
        rows.insert(c->row);
        if (c->row > 10)
            gx_remove_cell(h, c);
    }
    EXPECT_EQ(seen, 100);
    EXPECT_EQ(rows.size(), 100u);
    int during = 0;
    for (GXBlock* b = s->pools[0].first; b; b = b->next)
        ++during;
    EXPECT_EQ(during, 4);
    gx_end_iteration(h, set);
    int after = 0;
    for (GXBlock* b = s->pools[0].first; b; b = b->next)
        ++after;
    EXPECT_EQ(after, 1);
    EXPECT_EQ(gx_cell_count(h, GX_POOL_ALL), 10);
    for (int row = 1; row <= 10; ++row)
        EXPECT_NE(gx_find_cell(h, row, 0), nullptr);
}

TEST_F(EngineSheet, WholeSheetRangeWalksThreeCells)
{
    gx_set_number_cell(h, 8388607, 4095, 1);
    gx_set_text_cell(h, 1, 0, "a");
    gx_set_formula_cell(h, 3, 3, "=A1");
    GXRange all;
    gx_make_range(&all, 1, 0, GX_MAX_ROW, GX_MAX_COL, 0);
    GXRangeIter it;
    gx_range_iter_init(h, all, &it, GX_POOL_ALL);
    EXPECT_EQ(it.probing, 0);
    int n = 0;
    while (gx_range_iter_next(&it))
        ++n;
    EXPECT_EQ(n, 3);
    // A small range probes its places and honours the pool mask.
    GXRange small;
    gx_make_range(&small, 1, 0, 3, 3, 0);
    gx_range_iter_init(h, small, &it, GX_POOL_FORMULA);
    EXPECT_EQ(it.probing, 0);
    gx_set_number_cell(h, 100, 100, 1);
    gx_set_number_cell(h, 101, 100, 1);
    gx_range_iter_init(h, small, &it, GX_POOL_VALUE);
    GXCell* c = gx_range_iter_next(&it);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->row, 1);
    EXPECT_EQ(gx_range_iter_next(&it), nullptr);
}

TEST_F(EngineSheet, OptionsAcceptOnlyTheirValues)
{
    EXPECT_EQ(gx_set_manual_recalc(h, 2), 0);
    EXPECT_EQ(gx_set_manual_recalc(h, 1), 1);
    EXPECT_EQ(gx_get_manual_recalc(h), 1);
    EXPECT_EQ(gx_set_blank_is_zero(h, -1), 0);
    EXPECT_EQ(gx_set_iterations(h, 100), 1);
    EXPECT_EQ(gx_set_iterations(h, 101), 0);
    EXPECT_EQ(gx_get_iterations(h), 100);
    EXPECT_EQ(gx_get_recalc_method(h), 0);
    EXPECT_EQ(gx_get_constraint_check(h), 0);
}

TEST(EngineMemory, TrackedBlocksAreFreed)
{
    char* a = gx_strdup("hello");
    char* b = gx_strdup8("123456789");
    EXPECT_STREQ(a, "hello");
    EXPECT_STREQ(b, "12345678");
    EXPECT_EQ(gx_strdup(nullptr), nullptr);
    gx_mem_free(a);
    gx_mem_free(nullptr);
    (void)b;  // left to the record, freed at exit
}

}  // namespace
