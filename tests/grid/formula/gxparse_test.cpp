#include "grid/formula/gxparse.h"

#include <gtest/gtest.h>

#include <string>

#include "grid/formula/gxref.h"

namespace {

// Installs the engine's table of NA and SUM for one test, or a table of the test's own.
class Parse : public ::testing::Test {
protected:
    void SetUp() override { gx_set_function_table(gx_new_standard_function_table().release()); }
    void TearDown() override { gx_set_function_table(nullptr); }

    // "" when it parses and writes back to the same nodes; else "code@position".
    static std::string Outcome(const std::string& text, std::string* written = nullptr)
    {
        GXFormula f;
        if (!gx_parse_formula(1, text.c_str(), &f)) {
            EXPECT_EQ(f.nodes.size(), 0u);
            EXPECT_EQ(gx_engine_state()->last_error_flag, 1);
            return std::to_string(gx_get_last_error_code()) + "@" + std::to_string(gx_get_error_position());
        }
        EXPECT_EQ(gx_get_last_error_code(), 0);
        std::string out;
        gx_formula_to_text(1, f, out);
        GXFormula again;
        EXPECT_EQ(gx_parse_formula(1, out.c_str(), &again), 1) << out;
        EXPECT_TRUE(again.nodes == f.nodes && again.root == f.root && again.constraint == f.constraint &&
                    again.deps == f.deps && again.comment == f.comment)
            << text << " -> " << out;
        if (written)
            *written = out;
        return "";
    }
    static std::string Written(const std::string& text)
    {
        std::string out;
        std::string o = Outcome(text, &out);
        return o.empty() ? out : o;
    }
};

TEST_F(Parse, ErrorsAndPositions)
{
    const struct { std::string text; const char* outcome; } cases[] = {
        {"1+2", "253@0"}, {"", "253@0"}, {"==1", "274@1"}, {"=1+", "274@3"}, {"=--2", "274@2"},
        {"=NA(1)", "229@1"}, {"=SUM()", "230@1"}, {"=AVERAGE(A1..A3)", "227@1"}, {"=foo", "281@1"},
        {"=FAO1", "281@1"}, {"=A0", "226@1"}, {"=(1", "250@3"}, {"=1 2", "271@3"}, {"=1'", "223@2"},
        {"=\"abc", "223@1"}, {"=A1..", "275@5"}, {"=A1..3", "275@5"}, {"=1e999", "282@1"},
        {"=0x100000000", "88@1"}, {"=1?2", "232@4"}, {"=#{1", "252@4"}, {"=1\\x", "281@3"},
        {"=1\\2", "264@3"}, {"=\"é\"+'", "223@5"}, {"=é", "223@1"}, {"=1\r", "223@2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Outcome(c.text), c.outcome) << c.text;
}

TEST_F(Parse, WritesBack)
{
    const struct { const char* text; const char* written; } cases[] = {
        {"=sum(a1..a3)", "=SUM(A1..A3)"}, {"=#{1,-1}", "=#{1,-1}"}, {"=#", "=#"},
        {"=1;A1>0\\B1,C1..D2//note", "=1;A1>0\\B1,C1..D2//note"}, {"=0x1f", "=0x1F"},
        {"=7 % A1", "=7%A1"}, {"=7 % + 1", "=7%+1"}, {"=-2**2", "=-2**2"}, {"=-(-2)", "=-(-2)"},
        {"=B2:A1", "=A1..B2"}, {"=$B$2:A1", "=A1..$B$2"}, {"=A1.B2", "=A1..B2"},
        {"=A1..SUM(B1)", "=A1..SUM(B1)"}, {"=@SUM(1,2)", "=SUM(1,2)"}, {"=@na", "=NA()"},
        {"=1 <> 2 #AND# #NOT# 3 #OR# 4", "=1!=2&&!3||4"}, {"=1=2", "=1==2"},
        {"=a1?\"x\\ty\":2?3:4", "=A1?\"x\\ty\":2?3:4"}, {"=((1))", "=(1)"}, {"=??+1", "=??+1"},
        {"=0.1234567890123456", "=0.1234567890123456"}, {"=0.1", "=0.1"}, {"=1e20", "=1e+20"},
        {"=.5e-3", "=0.0005"}, {"=1.", "=1"}, {"=1E5", "271@2"}, {"=2*-3<<1|5^6&7", "=2*-3<<1|5^6&7"},
        {"=~1<=2>=3<4>5", "=~1<=2>=3<4>5"}, {"=1//", "=1//"}, {"= 1\n+\t2", "=1+2"},
        {"=\"a\\\"b\"", "=\"a\\\"b\""}, {"=A1..$B$2..C3", "271@9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Written(c.text), c.written) << c.text;
}

TEST_F(Parse, Nodes)
{
    GXFormula f;
    ASSERT_TRUE(gx_parse_formula(1, "=-2**2", &f));
    ASSERT_EQ(f.nodes.size(), 4u);
    EXPECT_EQ(f.nodes[size_t(f.root)].op, 3);
    EXPECT_EQ(f.nodes[size_t(f.nodes[size_t(f.root)].next)].op, 6);

    GXFormula a, b;
    ASSERT_TRUE(gx_parse_formula(1, "=A1..B2", &a));
    ASSERT_TRUE(gx_parse_formula(1, "=A1:B2", &b));
    EXPECT_TRUE(a.nodes == b.nodes);
    ASSERT_EQ(a.nodes.size(), 1u);
    EXPECT_EQ(a.nodes[0].kind, gxNodeRange);

    ASSERT_TRUE(gx_parse_formula(1, "=A1..SUM(B1)", &f));
    EXPECT_EQ(f.nodes[size_t(f.root)].kind, gxNodeOperator);
    EXPECT_EQ(f.nodes[size_t(f.root)].op, 24);

    ASSERT_TRUE(gx_parse_formula(1, "=7 % A1", &f));
    EXPECT_EQ(f.nodes[size_t(f.root)].op, 7);
    ASSERT_TRUE(gx_parse_formula(1, "=7 % + 1", &f));
    EXPECT_EQ(f.nodes[size_t(f.root)].op, 0);
    EXPECT_EQ(f.nodes[size_t(f.nodes[size_t(f.root)].first)].op, 25);

    ASSERT_TRUE(gx_parse_formula(1, "=0x1f", &f));
    EXPECT_EQ(f.nodes[0].number, 31);
    EXPECT_TRUE(f.nodes[0].flags & GX_NODE_HEX);
    ASSERT_TRUE(gx_parse_formula(1, "=0xFFFFFFFF", &f));
    EXPECT_EQ(f.nodes[0].number, 4294967295.0);
}

TEST_F(Parse, NodeLimit)
{
    // n constants joined by n - 1 operators make 2n - 1 nodes.
    auto chain = [](int n) {
        std::string s = "=1";
        for (int i = 1; i < n; ++i)
            s += "+1";
        return s;
    };
    EXPECT_EQ(Outcome(chain(100)), "");
    EXPECT_EQ(Outcome(chain(101) + "+1").substr(0, 4), "280@");
    std::string deep = "=" + std::string(100000, '(');
    EXPECT_EQ(Outcome(deep).substr(0, 4), "148@");
    std::string nested = "=" + std::string(90, '(') + "1" + std::string(90, ')');
    EXPECT_EQ(Outcome(nested), "");
}

TEST_F(Parse, WithoutTable)
{
    gx_set_function_table(nullptr);
    EXPECT_EQ(Outcome("=SUM(1)"), "227@1");
    EXPECT_EQ(Outcome("=A1..SUM(B1)"), "227@5");
}

class ArgTable : public GXFunctionTable {
public:
    ArgTable()
    {
        xv.name = "XVALUE";
        xv.args = {{1, 0}, {2, GX_ARG_UNEVALUATED}, {3, GX_ARG_OPTIONAL}};
        mix.name = "MIX";
        mix.args = {{1, 0}, {9, GX_ARG_SKIPPED}, {2, GX_ARG_REPEATING | GX_ARG_UNEVALUATED}};
    }
    const GXFunctionDesc* Lookup(const std::string& n) const override
    {
        return n == "XVALUE" ? &xv : n == "MIX" ? &mix : nullptr;
    }
    GXFunctionDesc xv, mix;
};

TEST_F(Parse, ArgumentDescriptors)
{
    auto* table = new ArgTable;
    gx_set_function_table(table);
    GXFormula f;
    ASSERT_TRUE(gx_parse_formula(1, "=XVALUE(A1,B1)", &f));
    const GXNode& call = f.nodes[size_t(f.root)];
    EXPECT_EQ(call.func, &table->xv);
    const GXNode& l1 = f.nodes[size_t(call.next)];
    const GXNode& l2 = f.nodes[size_t(l1.next)];
    EXPECT_EQ(l1.conversion, 1);
    EXPECT_EQ(l2.conversion, 2);
    EXPECT_EQ(l2.prev, call.next);
    EXPECT_TRUE(l2.flags & GX_NODE_UNEVALUATED);
    EXPECT_TRUE(f.nodes[size_t(l2.first)].flags & GX_NODE_NODEP);
    EXPECT_FALSE(f.nodes[size_t(l1.first)].flags & GX_NODE_NODEP);
    EXPECT_EQ(Outcome("=XVALUE(A1)"), "230@1");
    EXPECT_EQ(Outcome("=XVALUE(A1,2,3)"), "");
    EXPECT_EQ(Outcome("=XVALUE(A1,2,3,4)"), "229@1");
    ASSERT_TRUE(gx_parse_formula(1, "=MIX(1,2,3,4)", &f));
    int links = 0;
    for (const GXNode& n : f.nodes)
        if (n.kind == gxNodeArg) {
            EXPECT_EQ(n.conversion, links == 0 ? 1 : 2);
            ++links;
        }
    EXPECT_EQ(links, 4);
    EXPECT_EQ(Outcome("=MIX(1)"), "230@1");
    std::string many = "=MIX(1";
    for (int i = 0; i < 100; ++i)
        many += ",1";
    // Over 100 arguments already exceed the node limit.
    EXPECT_EQ(Outcome(many + ")").substr(0, 4), "280@");
}

}  // namespace
