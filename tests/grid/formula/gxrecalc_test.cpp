#include "grid/formula/gxrecalc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/formula/gxeval.h"
#include "grid/formula/gxparse.h"
#include "grid/formula/gxref.h"
#include "tests/grid/formula/formula_sheet.h"

namespace {

class Recalc : public FormulaSheet {
protected:
    // Reads a cell the way the formula sheet does with method 0: brought up to date first.
    double Read(const char* ref)
    {
        GXCell* c = Cell(ref);
        if (!c)
            return -1e300;
        gx_recalc_cell(h, c);
        return c->Kind() == gxValNumber ? c->value.number : -1e300;
    }
    bool InCycle(const char* ref) { return Cell(ref)->flags & GX_CELL_CYCLE; }
};

TEST_F(Recalc, MethodsAgree)
{
    const char* sheet[][2] = {
        {"A1", "=3"}, {"A2", "=A1*2"}, {"A3", "=A2+A1"}, {"B1", "=SUM(A1..A3)"}, {"B2", "=B1-A3"},
        {"C5", "=B2+SUM(A2..B2)"}, {"D1", "=C5>10?1:2"},
    };
    const char* read[] = {"A2", "A3", "B1", "B2", "C5", "D1"};
    std::vector<double> byMethod[2];
    for (int method : {1, 0}) {
        gx_destroy_sheet(h);
        h = gx_create_sheet();
        gx_set_recalc_method(h, method);
        for (auto& c : sheet)
            Set(c[0], c[1]);
        gx_recalc_sheet(h);
        for (const char* r : read)
            byMethod[method].push_back(Read(r));
        gx_set_number_cell(h, 1, 0, 10);  // A1
        gx_recalc_sheet(h);
        for (const char* r : read)
            byMethod[method].push_back(Read(r));
    }
    EXPECT_EQ(byMethod[0], byMethod[1]);
    EXPECT_EQ(byMethod[1], (std::vector<double>{6, 9, 18, 9, 24, 1, 20, 30, 60, 30, 80, 1}));
}

TEST_F(Recalc, ManualModeWaitsForAForcedPass)
{
    gx_set_recalc_method(h, 1);
    gx_set_manual_recalc(h, 1);
    Set("A1", "=1");
    Set("B1", "=A1+1");
    EXPECT_EQ(gx_recalc_sheet(h), 0);
    EXPECT_EQ(Cell("B1")->Kind(), gxEmpty);
    EXPECT_EQ(gx_recalc_sheet_forced(h), 1);
    EXPECT_EQ(Cell("B1")->value.number, 2);
    EXPECT_EQ(gx_get_manual_recalc(h), 1);
    gx_set_number_cell(h, 1, 0, 5);
    gx_recalc_sheet(h);
    EXPECT_EQ(Cell("B1")->value.number, 2);
    gx_recalc_sheet_forced(h);
    EXPECT_EQ(Cell("B1")->value.number, 6);
}

TEST_F(Recalc, EveryCellOfACycleIsMarkedAndItsReaderIsNot)
{
    for (int method : {1, 0}) {
        SCOPED_TRACE(method);
        gx_destroy_sheet(h);
        h = gx_create_sheet();
        gx_set_recalc_method(h, method);
        Set("A1", "=B1+1");
        Set("B1", "=A1+1");
        Set("C1", "=A1*2");
        Set("D1", "=E1");
        Set("E1", "=F1");
        Set("F1", "=D1+C1");
        Set("G1", "=G1");
        Set("H1", "=F1");
        gx_recalc_sheet(h);
        if (method == 0)
            for (const char* r : {"A1", "H1", "G1"})
                Read(r);
        for (const char* r : {"A1", "B1", "D1", "E1", "F1", "G1"})
            EXPECT_TRUE(InCycle(r)) << r;
        for (const char* r : {"C1", "H1"})
            EXPECT_FALSE(InCycle(r)) << r;
        EXPECT_EQ(Cell("A1")->Kind(), gxError);  // read its partner before it had a value
    }
}

TEST_F(Recalc, IterationsRepeatTheWholePassAtMostSoOften)
{
    gx_set_recalc_method(h, 1);
    GXSheet* s = gx_sheet(h);
    Set("A1", "=B1+1");
    Set("B1", "=A1+1");
    gx_recalc_sheet(h);
    int stamp = s->recalc_stamp;
    Set("B1", "=A1+1");
    gx_recalc_sheet(h);
    EXPECT_EQ(s->recalc_stamp, stamp + 1);
    gx_set_iterations(h, 5);
    Set("B1", "=A1+1");
    gx_recalc_sheet(h);
    EXPECT_EQ(s->recalc_stamp, stamp + 7);
    Set("C1", "=D1+1");  // no cycle: one pass
    gx_recalc_sheet(h);
    EXPECT_EQ(s->recalc_stamp, stamp + 8);
}

TEST_F(Recalc, ConstraintViolations)
{
    GXSheet* s = gx_sheet(h);
    gx_set_recalc_method(h, 1);
    gx_set_constraint_check(h, 1);
    Set("A1", "=5;#>10");
    Set("A2", "=A1*3;#>10");
    Set("A3", "=A1*4;#>10");
    s->message_free = 1;
    gx_recalc_sheet_forced(h);
    EXPECT_EQ(s->message, "There is 1 constraint violation!");
    EXPECT_TRUE(Cell("A1")->flags & GX_CELL_CONSTRAINT);
    EXPECT_FALSE(Cell("A2")->flags & GX_CELL_CONSTRAINT);
    Set("A1", "=3;#>10");
    s->message_free = 1;
    EXPECT_EQ(gx_recalc_pass(h), 2);
    EXPECT_EQ(s->message, "There are 2 constraint violations!");
}

TEST_F(Recalc, ChangeReachesOnlyItsDependents)
{
    gx_set_recalc_method(h, 1);
    Set("A1", "=1");
    Set("B1", "=A1+1");
    Set("C1", "=B1+1");
    Set("A5", "=7");
    Set("B5", "=A5*2");
    Set("D1", "=SUM(A1..C1)");
    gx_recalc_sheet(h);
    int b5 = Cell("B5")->stamp;
    gx_set_number_cell(h, 1, 0, 10);
    gx_recalc_sheet(h);
    EXPECT_EQ(Cell("C1")->value.number, 12);
    EXPECT_EQ(Cell("D1")->value.number, 33);
    EXPECT_EQ(Cell("B5")->stamp, b5);  // not reached, not evaluated
    // A value set straight into the engine is a change of its own, also beside another range.
    GXRange other;
    gx_make_range(&other, 100, 0, 100, 0, GX_MAKE_SINGLE);
    gx_record_changed_range(h, other);
    gx_set_number_cell(h, 5, 0, 1);
    gx_recalc_sheet(h);
    EXPECT_EQ(Cell("B5")->value.number, 2);
}

TEST_F(Recalc, LongChainNeedsNoDeepStack)
{
    constexpr int kCells = 100000;
    gx_set_recalc_method(h, 1);
    gx_set_number_cell(h, 1, 0, 1);
    for (int r = 2; r <= kCells; ++r)
        ASSERT_EQ(gx_set_formula_cell(h, r, 0, ("=A" + std::to_string(r - 1) + "+1").c_str()), 1);
    gx_recalc_sheet(h);
    EXPECT_EQ(gx_find_cell(h, kCells, 0)->value.number, kCells);
    gx_set_recalc_method(h, 0);
    gx_set_number_cell(h, 1, 0, 2);
    gx_recalc_sheet(h);
    GXCell* tail = gx_find_cell(h, kCells, 0);
    gx_recalc_cell(h, tail);
    EXPECT_EQ(tail->value.number, kCells + 1);
    // A change near the tail: reading the tail walks what the change reaches, not the chain.
    int headStamp = gx_find_cell(h, 2, 0)->stamp;
    gx_set_number_cell(h, kCells - 1, 0, 0);
    gx_recalc_sheet(h);
    gx_recalc_cell(h, tail);
    EXPECT_EQ(tail->value.number, 1);
    EXPECT_EQ(gx_find_cell(h, 2, 0)->stamp, headStamp);
    EXPECT_TRUE(gx_find_cell(h, 2, 0)->flags & GX_CELL_VISITED);
}

}  // namespace
