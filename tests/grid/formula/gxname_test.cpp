#include "grid/formula/gxname.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "grid/formula/gxeval.h"
#include "grid/formula/gxparse.h"
#include "grid/formula/gxrecalc.h"
#include "grid/formula/gxref.h"
#include "tests/grid/formula/formula_sheet.h"

namespace {

class Names : public FormulaSheet {
protected:
    void SetUp() override
    {
        FormulaSheet::SetUp();
        gx_set_recalc_method(h, 1);
    }
    // The formula of a cell written back, or "" for no cell.
    std::string Text(const char* ref)
    {
        GXRange r = Ref(ref);
        GXCell* c = gx_find_cell(h, r.Top(), r.Left());
        if (!c)
            return "";
        if (!c->formula)
            return "#" + std::to_string(c->value.number);
        std::string out;
        gx_formula_to_text(h, *c->formula, out);
        return out;
    }
    double Number(const char* ref)
    {
        GXRange r = Ref(ref);
        GXCell* c = gx_find_cell(h, r.Top(), r.Left());
        return c && c->Kind() == gxValNumber ? c->value.number : -1;
    }
    int Error(const char* ref)
    {
        GXRange r = Ref(ref);
        GXCell* c = gx_find_cell(h, r.Top(), r.Left());
        return c && c->Kind() == gxError ? c->value.error.code : 0;
    }
    std::string NameText(const char* name)
    {
        GXRange r;
        if (!gx_find_name(h, name, &r))
            return "none";
        const char* t = gx_range_to_text(r);
        return t ? t : "removed";
    }
};

TEST_F(Names, DefinedFoundCutAndRefused)
{
    std::string forty(40, 'n');
    EXPECT_EQ(gx_define_name(h, forty.c_str(), Ref("A1")), 1);
    EXPECT_NE(gx_find_name(h, forty.substr(0, 31).c_str(), nullptr), nullptr);
    EXPECT_EQ(gx_find_name(h, forty.substr(0, 31).c_str(), nullptr)->name.size(), 31u);
    EXPECT_EQ(gx_define_name(h, "Total", Ref("A1..A3")), 1);
    EXPECT_EQ(gx_define_name(h, "TOTAL", Ref("B1..B3")), 1);
    EXPECT_EQ(NameText("total"), "B1..B3");
    EXPECT_EQ(gx_find_name(h, "tOtAl", nullptr)->name, "Total");
    for (const char* bad : {"1abc", "Q1", "$A$1", "a1", "A1.x", "FAN1.b", "", "a b", "x-y", "#AND#"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(gx_define_name(h, bad, Ref("A1")), 0);
        EXPECT_EQ(gx_find_name(h, bad, nullptr), nullptr);
    }
    for (const char* good : {"x.y", "_a", "$rate", "FAO1", "A1B2", "x..y"}) {
        SCOPED_TRACE(good);
        EXPECT_EQ(gx_define_name(h, good, Ref("C1")), 1);
        Set("Z1", (std::string("=") + good + "+1").c_str());
    }
}

TEST_F(Names, FormulasFollowTheirNameAndSurviveItsDeletion)
{
    gx_set_number_cell(h, 1, 0, 2);
    gx_set_number_cell(h, 2, 0, 3);
    gx_set_number_cell(h, 3, 0, 4);
    gx_define_name(h, "pair", Ref("A1..A2"));
    gx_define_name(h, "first", Ref("A1"));
    Set("C1", "=SUM(pair)+first");
    Set("C2", "=first ..A3");
    Set("C3", "=1\\pair");
    gx_recalc_sheet(h);
    EXPECT_EQ(Number("C1"), 7);
    EXPECT_EQ(Text("C2"), "=first ..A3");
    EXPECT_EQ(Text("C3"), "=1\\pair");
    gx_define_name(h, "pair", Ref("A1..A3"));
    gx_recalc_sheet(h);
    EXPECT_EQ(Number("C1"), 11);
    EXPECT_EQ(gx_delete_name(h, "PAIR"), 1);
    EXPECT_EQ(gx_delete_name(h, "pair"), 0);
    EXPECT_EQ(Text("C1"), "=SUM(A1..A3)+first");
    EXPECT_EQ(Text("C3"), "=1\\A1..A3");
    gx_set_number_cell(h, 3, 0, 10);
    gx_recalc_sheet(h);
    EXPECT_EQ(Number("C1"), 17);
    // Deleted while undo is recorded: the changed formula is kept as it was, the entry too.
    gx_sheet(h)->undo_recording = 1;
    EXPECT_EQ(gx_delete_name(h, "first"), 1);
    GXCell* snap = gx_take_snapshots(h);
    ASSERT_NE(snap, nullptr);
    std::string before;
    gx_formula_to_text(h, *snap->formula, before);
    EXPECT_TRUE(before == "=SUM(A1..A3)+first" || before == "=first ..A3") << before;
    ASSERT_EQ(gx_sheet(h)->kept_names.size(), 1u);
    gx_restore_name(h, gx_sheet(h)->kept_names[0]);
    EXPECT_EQ(NameText("first"), "A1");
    for (GXCell* c = snap; c;) {
        GXCell* next = c->next;
        gx_remove_cell(h, c);
        c = next;
    }
}

// One formula sheet, one operation, every formula's text after it.
TEST_F(Names, RangeOperationsKeepReferencesRight)
{
    struct Case {
        const char* name;
        std::map<std::string, std::string> before;  // place -> formula
        std::function<void(int)> op;
        std::map<std::string, std::string> after;   // place -> formula ("" gone)
    };
    const Case cases[] = {
        {"copy moves relative references",
         {{"B1", "=A1+$A$1"}, {"B2", "=A1"}},
         [](int h) { gx_copy_range(h, Ref("B1"), 3, 1, 1); gx_copy_range(h, Ref("B2"), 1, 1, 1); },
         {{"B3", "=A3+$A$1"}, {"B1", "=??"}, {"B2", "=A1"}}},
        {"move takes references into the source along",
         {{"A1", "=1"}, {"A2", "=2"}, {"D5", "=A1+A2"}, {"E5", "=C1"}, {"E6", "=SUM(A1..A2)"}},
         [](int h) { gx_move_range(h, Ref("A1..A2"), 1, 2, 0); },
         {{"A1", ""}, {"C1", "#1.000000"}, {"D5", "=C1+C2"}, {"E5", "=C1"}, {"E6", "=SUM(C1..C2)"}}},
        {"inserted rows move corners at or below them",
         {{"B1", "=A5"}, {"B2", "=A4"}, {"B3", "=SUM(A4..A6)"}, {"B4", "=SUM($A$5..A9)"}, {"B9", "=B1"}},
         [](int h) { gx_insert_rows(h, 5, 2); },
         {{"B1", "=A7"}, {"B2", "=A4"}, {"B3", "=SUM(A4..A8)"}, {"B4", "=SUM($A$7..A11)"}, {"B9", ""},
          {"B11", "=B1"}}},
        {"inserted columns",
         {{"A9", "=C1+SUM(B1..D1)"}},
         [](int h) { gx_insert_cols(h, 2, 1); },
         {{"A9", "=D1+SUM(B1..E1)"}}},
        {"removed rows shrink ranges and invalidate what lay inside",
         {{"B1", "=A5"}, {"B2", "=A7"}, {"B3", "=SUM(A4..A8)"}, {"B4", "=SUM(A5..A6)"}, {"B8", "=B2"}},
         [](int h) { gx_remove_rows(h, 5, 2); },
         {{"B1", "=??"}, {"B2", "=A5"}, {"B3", "=SUM(A4..A6)"}, {"B4", "=SUM(?\?)"}, {"B8", ""}, {"B6", "=B2"}}},
        {"removed columns",
         {{"A9", "=D1+SUM(B1..D1)+C1"}},
         [](int h) { gx_remove_cols(h, 2, 1); },
         {{"A9", "=C1+SUM(B1..C1)+??"}}},
        {"moved rows: a corner outside the span stays",
         {{"B2", "=2"}, {"B4", "=4"}, {"B6", "=6"}, {"C1", "=SUM(A4..A20)"}, {"C9", "=A2+A6+SUM(A2..A6)"}},
         [](int h) { gx_move_rows(h, 2, 3, 5); },
         {{"B2", "#4.000000"}, {"B4", "#6.000000"}, {"B5", "#2.000000"}, {"B6", ""},
          {"C1", "=SUM(A2..A20)"}, {"C9", "=A5+A4+SUM(A2..A6)"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gx_destroy_sheet(h);
        h = gx_create_sheet();
        for (const auto& [place, formula] : c.before)
            Set(place.c_str(), formula.c_str());
        c.op(h);
        for (const auto& [place, formula] : c.after)
            EXPECT_EQ(Text(place.c_str()), formula) << place;
    }
}

TEST_F(Names, NamesFollowRowsAndDieWithThem)
{
    gx_define_name(h, "mid", Ref("A4..A6"));
    gx_define_name(h, "gone", Ref("A5..A6"));
    gx_define_name(h, "low", Ref("A9"));
    Set("C1", "=SUM(gone)");
    gx_insert_rows(h, 5, 2);
    EXPECT_EQ(NameText("mid"), "A4..A8");
    EXPECT_EQ(NameText("gone"), "A7..A8");
    EXPECT_EQ(NameText("low"), "A11");
    gx_remove_rows(h, 7, 2);
    EXPECT_EQ(NameText("mid"), "A4..A6");
    EXPECT_EQ(NameText("gone"), "removed");
    gx_recalc_sheet(h);
    EXPECT_EQ(Error("C1"), 89);
    EXPECT_EQ(Text("C1"), "=SUM(gone)");
    gx_move_rows(h, 2, 3, 5);
    EXPECT_EQ(NameText("mid"), "A2..A4");
    EXPECT_EQ(NameText("low"), "A9");
}

TEST_F(Names, RowsInsertedThenRemovedGiveEveryTextBack)
{
    const char* sheet[][2] = {
        {"A1", "=B3+$C$4"}, {"A2", "=SUM(B2..B9)"}, {"A3", "=SUM($B$4..B5)+B4"}, {"A9", "=A1+A10"},
        {"B12", "=SUM(A1..C20)"}, {"C2", "=#{0,1}+D4"}, {"D4", "=7"},
    };
    for (auto& c : sheet)
        Set(c[0], c[1]);
    std::vector<std::string> before;
    for (auto& c : sheet)
        before.push_back(Text(c[0]));
    for (bool rows : {true, false}) {
        SCOPED_TRACE(rows);
        ASSERT_EQ(rows ? gx_insert_rows(h, 4, 3) : gx_insert_cols(h, 2, 3), 1);
        ASSERT_EQ(rows ? gx_remove_rows(h, 4, 3) : gx_remove_cols(h, 2, 3), 1);
        for (size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(Text(sheet[i][0]), before[i]) << sheet[i][0];
    }
}

TEST_F(Names, RemovedRowsGoToTheSnapshots)
{
    gx_set_number_cell(h, 2, 0, 20);
    gx_set_text_cell(h, 3, 1, "thirty");
    Set("C3", "=A2*2");
    gx_set_number_cell(h, 4, 0, 40);
    gx_sheet(h)->undo_recording = 1;
    ASSERT_EQ(gx_remove_rows(h, 2, 2), 1);
    std::map<std::string, std::string> kept;
    for (GXCell* c = gx_take_snapshots(h); c;) {
        GXCell* next = c->next;
        std::string what = c->formula ? "formula" : c->Kind() == gxValNumber ? std::to_string(int(c->value.number)) : c->Text();
        kept[std::string(gx_col_name(c->column)) + std::to_string(c->row)] = what;
        gx_remove_cell(h, c);
        c = next;
    }
    EXPECT_EQ(kept, (std::map<std::string, std::string>{{"A2", "20"}, {"B3", "thirty"}, {"C3", "formula"}}));
    EXPECT_EQ(Number("A2"), 40);
    EXPECT_EQ(Text("A3"), "");
}

TEST_F(Names, MovedDestinationReferencesKeepTheirPlaceAndRecalculate)
{
    gx_set_number_cell(h, 1, 0, 1);
    gx_set_number_cell(h, 1, 2, 5);
    Set("E5", "=C1*10");
    gx_recalc_sheet(h);
    EXPECT_EQ(Number("E5"), 50);
    gx_move_range(h, Ref("A1"), 1, 2, 0);
    gx_recalc_sheet(h);
    EXPECT_EQ(Text("E5"), "=C1*10");
    EXPECT_EQ(Number("E5"), 10);
}

}  // namespace
