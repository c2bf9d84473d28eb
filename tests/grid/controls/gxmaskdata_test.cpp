#include "grid/controls/gxmaskdata.h"

#include <gtest/gtest.h>

namespace {

CString Masked(CGXMaskData& m) { CString s; m.GetMaskedText(s, 0, -1); return s; }

CGXMaskData Make(const char* mask, const char* masked = nullptr)
{
    CGXMaskData m;
    m.SetMask(mask);
    m.ResetInput();
    if (masked) m.SetMaskedText(masked, -1, FALSE);
    return m;
}

TEST(MaskData, ParsesMasks)
{
    struct Case { const char* mask; int count; const char* reset; };
    const Case cases[] = {
        {.mask = "(###)", .count = 5, .reset = "(___)"},
        {.mask = "\\#&", .count = 2, .reset = "#_"},
        {.mask = "\\\\", .count = 1, .reset = "\\"},
        {.mask = "#\\", .count = 1, .reset = "_"},
        {.mask = "alu", .count = 3, .reset = "alu"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        CGXMaskData m = Make(c.mask);
        EXPECT_EQ(m.GetPosCount(), c.count);
        EXPECT_STREQ(Masked(m), c.reset);
    }
    CGXMaskData m = Make("(###)");
    CString v;
    m.GetValueText(v, 0, -1, FALSE);
    EXPECT_STREQ(v, "   ");
    m.GetValueText(v, 0, -1, TRUE);
    EXPECT_STREQ(v, "");
}

TEST(MaskData, ClassesAndPrompt)
{
    CGXMaskData m = Make("U?#");
    CString c = "a";
    EXPECT_TRUE(m.IsValidChar(0, c));
    EXPECT_STREQ(c, "A");
    c = "1";
    EXPECT_FALSE(m.IsValidChar(1, c));
    c = " ";
    EXPECT_TRUE(m.IsValidChar(2, c));
    EXPECT_STREQ(c, "_");
    EXPECT_FALSE(m.SetPromptChar("ab", FALSE));
    EXPECT_STREQ(m.GetPromptChar(), "_");
    EXPECT_TRUE(m.SetPromptChar("·", FALSE));
    EXPECT_TRUE(m.SetPromptChar("", FALSE));
    EXPECT_STREQ(m.GetPromptChar(), "_");
}

TEST(MaskData, EditingCases)
{
    {
        CGXMaskData m = Make("(###)");
        EXPECT_EQ(m.SetMaskedText("(12", 0, FALSE), 3);
        EXPECT_STREQ(Masked(m), "(12_)");
        EXPECT_EQ(m.SetMaskedText("(12)", 0, FALSE), -1);
        EXPECT_EQ(m.SetMaskedText("[12", 0, FALSE), -1);
    }
    {
        CGXMaskData m = Make("(###)", "(123)");
        int next = 0;
        EXPECT_FALSE(m.InsertChar(1, "x", next));
        EXPECT_STREQ(Masked(m), "(123)");
        m.DeleteRange(3, 1);
        EXPECT_STREQ(Masked(m), "(3__)");
    }
    {
        CGXMaskData m = Make("(&&&)", "(12_)");
        int next = 0;
        EXPECT_TRUE(m.InsertChar(1, "x", next));
        EXPECT_STREQ(Masked(m), "(x12)");
        EXPECT_EQ(next, 2);
    }
    CGXMaskData a = Make("(###)", "(12_)");
    EXPECT_EQ(a.GetEndOfInput(5), 3);
    CGXMaskData b = Make("(###)");
    EXPECT_EQ(b.GetEndOfInput(5), 1);
}

// Every operation at positions outside the mask answers nothing, -1 or false and leaves the
// text as it was.
TEST(MaskData, OutOfRangePositionsChangeNothing)
{
    const char* masks[] = {"(###)", "()-", "€ ###,##"};
    for (const char* mask : masks) {
        CGXMaskData m = Make(mask);
        m.SetPromptChar("·", TRUE);
        m.ResetInput();
        const int n = m.GetPosCount();
        const CString before = Masked(m);
        for (int pos : {-2, n, n + 1}) {
            SCOPED_TRACE(testing::Message() << mask << " at " << pos);
            int next = 0;
            CString c = "1";
            EXPECT_FALSE(m.InsertChar(pos, "1", next));
            EXPECT_FALSE(m.IsValidChar(pos, c));
            m.DeleteRange(pos, pos - 1);
            m.DeleteRange(n, pos);
            EXPECT_GE(m.GetEndOfInput(pos), -1);
            EXPECT_LE(m.GetEndOfInput(pos), n);
            EXPECT_EQ(m.SetValueText("1", pos, FALSE), -1);
            EXPECT_STREQ(Masked(m), before);
            EXPECT_TRUE(m.IsValid());
        }
    }
    // A mask of literals only has no input position to insert at or end at.
    CGXMaskData lit = Make("()-");
    int next = 0;
    EXPECT_FALSE(lit.InsertChar(0, "1", next));
    EXPECT_EQ(lit.NextInputPos(-1), -1);
    EXPECT_EQ(lit.GetEndOfInput(3), -1);
    // End in a mask ending in a literal.
    CGXMaskData euro = Make("€ ###,##", "€ 12_,__");
    EXPECT_EQ(euro.GetEndOfInput(euro.GetPosCount()), 4);
    EXPECT_EQ(euro.PosToByteOffset(2), 4);
    EXPECT_EQ(euro.ByteOffsetToPos(4), 2);
}

TEST(MaskData, FreeText)
{
    CGXMaskData m;
    m.SetMask("");
    m.SetMaxLength(3);
    EXPECT_EQ(m.SetMaskedText("abcdef", -1, FALSE), 6);
    EXPECT_STREQ(Masked(m), "abc");
    int next = 0;
    EXPECT_FALSE(m.InsertChar(1, "x", next));
    EXPECT_EQ(m.PosToByteOffset(2), 2);
}

}  // namespace
