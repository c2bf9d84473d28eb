#include "grid/formula/gxeval.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "grid/formula/gxerror.h"
#include "grid/formula/gxname.h"
#include "grid/formula/gxrecalc.h"
#include "grid/formula/gxref.h"
#include "tests/grid/formula/formula_sheet.h"

namespace {

// A cell's value as text: "n:<%.14g>", "t:<text>", "e:<code>", "na" or "empty".
std::string ValueText(const GXCell* c)
{
    if (!c)
        return "none";
    char buf[64];
    switch (c->Kind()) {
    case gxValNumber:
        std::snprintf(buf, sizeof buf, "n:%.14g", c->value.number);
        return buf;
    case gxLongText:
    case gxShortText:
        return "t:" + c->Text();
    case gxError:
        return "e:" + std::to_string(c->value.error.code);
    case gxNotAvailable:
        return "na";
    default:
        return "empty";
    }
}

class Eval : public FormulaSheet {
protected:
    void SetUp() override
    {
        FormulaSheet::SetUp();
        gx_set_recalc_method(h, 1);
    }
    // Sets the formula in Z1000, recalculates and gives its value.
    std::string Result(const std::string& formula)
    {
        if (!gx_set_formula_cell(h, 1000, 25, formula.c_str()))
            return "parse:" + std::to_string(gx_get_last_error_code());
        gx_recalc_sheet(h);
        return ValueText(gx_find_cell(h, 1000, 25));
    }
};

TEST_F(Eval, Operators)
{
    // B1 a text, B2 300 characters, B3 1, C1..C5 for SUM: 1, "x", empty, 2, then an error in
    // C6 and not-available in C7.
    gx_set_text_cell(h, 1, 1, "abc");
    gx_set_text_cell(h, 2, 1, std::string(300, 'x').c_str());
    gx_set_number_cell(h, 3, 1, 1);
    gx_set_number_cell(h, 1, 2, 1);
    gx_set_text_cell(h, 2, 2, "x");
    gx_set_number_cell(h, 4, 2, 2);
    gx_set_formula_cell(h, 6, 2, "=1/0");
    gx_set_formula_cell(h, 7, 2, "=NA()");
    struct Case { const char* formula; const char* value; } cases[] = {
        {"=1/0", "e:70"},
        {"=7 % 0", "e:122"},
        {"=2**0.5", "n:1.4142135623731"},
        {"=(-1)**0.5", "e:70"},
        {"=A1", "e:60"},
        {"=A1+1", "e:128"},
        {"=B1<5", "n:1"},
        {"=B1>=5", "n:0"},
        {"=\"abc\"==B1", "n:1"},
        {"=\"ab  \"==\"ab\"", "n:1"},
        {"=\"ab\"<\"ac\"", "n:1"},
        {"=\"B\"<\"a\"", "n:1"},  // bytes, case-sensitive
        {"=B2&B2", "e:150"},
        {"=B1&\"d\"", "t:abcd"},
        {"=B1&1", "e:140"},
        {"=0&&(1/0)", "n:0"},
        {"=1||(1/0)", "n:1"},
        {"=A1..B2", "e:149"},
        {"=B3..SUM(B3)", "e:141"},
        {"=-8&3000000000", "n:-1294967296"},
        {"=-8|3000000000", "n:-8"},
        {"=-8^3000000000", "n:1294967288"},
        {"=~3000000000", "n:1294967295"},
        {"=3000000000>>28", "n:-5"},
        {"=-8>>1", "n:-4"},
        {"=4294967295&1", "n:1"},
        {"=~4294967295", "n:0"},
        {"=4294967296|0", "e:136"},
        {"=-2147483649|0", "e:136"},
        {"=-2147483648|0", "n:-2147483648"},
        {"=1<<33", "n:2"},
        {"=3000000000<<1", "n:1705032704"},
        {"=-2147483648 % (-1)", "n:0"},
        {"=-7 % 2", "n:-1"},
        {"=50%", "n:0.5"},
        {"=1?(B1):1/0", "t:abc"},
        {"=??", "e:89"},
        {"=NA()", "na"},
        {"=SUM(C1..C5)", "n:3"},
        {"=SUM(C1..C5,5,\"4\")", "n:12"},
        {"=SUM(C2)", "n:0"},
        {"=SUM(C3)", "e:128"},
        {"=SUM(C1..C6)", "e:133"},
        {"=SUM(C1..C5,C7)", "na"},
        {"=SUM(C1..C7)", "e:133"},
        {"=SUM(C1..C5,NA())", "na"},
        {"=SUM(A1..FAN8388607)", "e:133"},
        {"=#{-24,-999}", "t:abc"},
        {"=#{0,-1000}", "e:110"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formula);
        EXPECT_EQ(Result(c.formula), c.value);
    }
    gx_set_blank_is_zero(h, 1);
    EXPECT_EQ(Result("=A1"), "n:0");
    EXPECT_EQ(Result("=A1+1"), "n:1");
}

TEST_F(Eval, FirstErrorLeavesItsMessage)
{
    GXSheet* s = gx_sheet(h);
    s->message_free = 1;
    gx_set_formula_cell(h, 2, 0, "=1/0");
    gx_set_formula_cell(h, 3, 0, "=B9+1");
    gx_set_formula_cell(h, 4, 0, "=A2+A3");
    gx_recalc_sheet(h);
    EXPECT_EQ(s->message, std::string("Cell A2: ERROR:  ") + gx_error_text(70) + " ");
    EXPECT_EQ(s->message_free, 0);
    EXPECT_EQ(ValueText(gx_find_cell(h, 4, 0)), "e:133");
}

// A function that evaluates its unevaluated argument in a nested evaluation and reports the
// caller's state as it found it before and after.
struct Probe {
    GX_EVAL_STATE::Record before, after;
    int inner = 0;
};
Probe g_probe;

void CallEvalArg(GXValue& result, std::vector<GXValue>& args)
{
    g_probe.before = gx_eval_state()->s;
    GXValue v = gx_eval_expression(gx_eval_state()->s.handle, 1, 0, *args[0].formula, args[0].node);
    g_probe.inner = v.type == gxvError ? v.code : -1;
    g_probe.after = gx_eval_state()->s;
    result = GXValue::Number(7);
}

class ProbeTable : public GXFunctionTable {
public:
    ProbeTable()
    {
        desc_.name = "EVALARG";
        desc_.id = 77;
        desc_.args.push_back({0, GX_ARG_UNEVALUATED});
        desc_.call = CallEvalArg;
    }
    const GXFunctionDesc* Lookup(const std::string& name) const override { return name == "EVALARG" ? &desc_ : nullptr; }

private:
    GXFunctionDesc desc_;
};

TEST(EvalNesting, InnerEvaluationLeavesTheCallersState)
{
    gx_set_function_table(new ProbeTable);
    int h = gx_create_sheet();
    gx_set_formula_cell(h, 5, 3, "=EVALARG(1/0)+1");
    GXCell* c = gx_find_cell(h, 5, 3);
    GXValue v = gx_eval_expression(h, 5, 3, *c->formula, c->formula->root);
    EXPECT_EQ(v.type, gxvNumber);
    EXPECT_EQ(v.number, 8);
    EXPECT_EQ(g_probe.inner, 70);
    EXPECT_EQ(g_probe.before.function, 77);
    EXPECT_EQ(g_probe.after.function, 77);
    EXPECT_EQ(g_probe.after.row, 5);
    EXPECT_EQ(g_probe.after.column, 3);
    EXPECT_EQ(g_probe.after.handle, h);
    EXPECT_EQ(g_probe.after.args, g_probe.before.args);
    EXPECT_EQ(g_probe.after.code, 0);
    EXPECT_EQ(gx_get_last_error_code(), 0);
    EXPECT_EQ(gx_eval_state()->s.handle, 0);  // the outermost evaluation restores "none"
    gx_destroy_sheet(h);
    gx_set_function_table(nullptr);
}

}  // namespace
