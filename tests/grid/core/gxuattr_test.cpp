#include "grid/core/gxuattr.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include "grid/core/gxserial.h"
#include "grid/core/gxstate.h"
#include "gxtesthelp.h"

namespace {

struct StrtodNumbers : CGXAbstractNumberFormattingImp {
    BOOL ParseNumber(const char* psz, double& v) override
    {
        char* end;
        v = std::strtod(psz, &end);
        return end != psz && *end == 0;
    }
};

struct WithNumbers {
    StrtodNumbers imp;
    WithNumbers() { GXGetAppData()->m_pNumberFormattingImp = &imp; }
    ~WithNumbers() { GXGetAppData()->m_pNumberFormattingImp = nullptr; }
};

TEST(UserAttribute, KindsFromText)
{
    WithNumbers numbers;
    struct Case {
        const char* text;
        DWORD kind;
        const char* shown;
    };
    const Case cases[] = {
        {"abcdefgh", CGXUserAttribute::vtShortText, "abcdefgh"},
        {"abcdefghi", CGXUserAttribute::vtLongText, "abcdefghi"},
        {"12345678", CGXUserAttribute::vtDouble, "12345678"},
        {"1.5", CGXUserAttribute::vtDouble, "1.5"},
        {"1.50", CGXUserAttribute::vtShortText, "1.50"},
        {"1e3", CGXUserAttribute::vtShortText, "1e3"},
        {"", CGXUserAttribute::vtEmpty, ""},
    };
    for (const Case& c : cases) {
        CGXUserAttribute a;
        a.SetValueText(c.text);
        EXPECT_EQ(a.GetKind(), c.kind) << c.text;
        EXPECT_EQ(a.GetValueText(), c.shown) << c.text;
    }
    EXPECT_EQ(CGXUserAttribute("").GetKind(), DWORD(CGXUserAttribute::vtShortText));
    CGXUserAttribute num(LONG(-5));
    EXPECT_EQ(num.GetValueText(), "-5");
    EXPECT_EQ(num.GetDouble(), -5.0);
    CGXUserAttribute big;
    big.SetDouble(1e300);
    EXPECT_EQ(big.GetLong(), INT32_MAX); // clamped, not undefined
    CGXUserAttribute bin;
    bin.SetBinary(0x1122334455667788ULL);
    EXPECT_EQ(bin.GetValueText(), "5566778811223344");
    // Every result is its own text, not one shared buffer.
    CGXUserAttribute x("first"), y("second");
    const CString tx = x.GetValueText();
    const CString ty = y.GetValueText();
    EXPECT_EQ(tx, "first");
    EXPECT_EQ(ty, "second");
    // Without number formatting a number stays text.
    GXGetAppData()->m_pNumberFormattingImp = nullptr;
    EXPECT_EQ(CGXUserAttribute("12").GetKind(), DWORD(CGXUserAttribute::vtShortText));
}

TEST(UserAttribute, EqualityAndArchive)
{
    CGXUserAttribute a("hello"), b("hello"), c("help");
    a.m_nId = b.m_nId = c.m_nId = 7;
    EXPECT_TRUE(a.IsEqual(b));
    EXPECT_FALSE(a.IsEqual(c));
    b.m_nId = 8;
    EXPECT_FALSE(a.IsEqual(b));

    CGXUserAttribute bin;
    bin.SetBinary(0x0102030405060708ULL);
    CGXUserAttribute exact8("12345678x");
    const Bytes bytes = StoreBytes([&](CArchive& ar) {
        bin.Serialize(ar);
        CGXUserAttribute("abcdefgh").Serialize(ar);
        CGXUserAttribute("abcdefghi").Serialize(ar);
    });
    EXPECT_EQ(bytes.size(), 9u + 10u + 11u);
    LoadBytes(bytes, [&](CArchive& ar) {
        CGXUserAttribute r1, r2, r3;
        r1.Serialize(ar);
        r2.Serialize(ar);
        r3.Serialize(ar);
        EXPECT_TRUE(r1.IsEqual(bin));
        EXPECT_EQ(r2.GetKind(), DWORD(CGXUserAttribute::vtShortText));
        EXPECT_EQ(r3.GetKind(), DWORD(CGXUserAttribute::vtLongText));
        EXPECT_EQ(r3.GetValueText(), "abcdefghi");
    });
}

TEST(UserAttribute, EllipseAndVariant)
{
    CGXEllipseUserAttribute e(2);
    EXPECT_TRUE(e.IsEmpty());
    EXPECT_EQ(e.GetValueText(), "");
    EXPECT_EQ(e.GetLong(), 2);
    const Bytes eb = StoreBytes([&](CArchive& ar) { e.Serialize(ar); });
    EXPECT_EQ(eb, ByteBuilder().word(2).b);

    CGXOleVarUserAttribute v1, v2;
    EXPECT_TRUE(v1.IsEmpty());
    v1.SetVariant(COleVariant(LONG(42), VT_I4));
    v2.SetVariant(COleVariant(LONG(42), VT_I4));
    EXPECT_FALSE(v1.IsEmpty());
    EXPECT_TRUE(v1.IsEqual(v2)); // compared by value, not by identity of the held object
    v2.SetVariant(COleVariant(LONG(43), VT_I4));
    EXPECT_FALSE(v1.IsEqual(v2));
    std::unique_ptr<CGXAbstractUserAttribute> copy(v1.Clone());
    EXPECT_TRUE(copy->IsEqual(v1));

    // Nothing of this process is archived, and an old file's address reads back as empty.
    const Bytes vb = StoreBytes([&](CArchive& ar) { v1.Serialize(ar); });
    EXPECT_EQ(vb, ByteBuilder().dword(0).b);
    LoadBytes(ByteBuilder().dword(0x00DEAD00).b, [](CArchive& ar) {
        CGXOleVarUserAttribute r;
        r.Serialize(ar);
        EXPECT_TRUE(r.IsEmpty());
        EXPECT_EQ(r.GetVariant(), nullptr);
    });
}

TEST(UserAttributeMap, OrderMergeAndArchive)
{
    CGXUserAttributeMap m;
    m.SetAttribute(52792, new CGXUserAttribute("b"));
    m.SetAttribute(51022, new CGXUserAttribute("a"));
    m.SetAttribute(52792, new CGXUserAttribute("c")); // replaces in place
    ASSERT_EQ(m.GetSize(), 2);
    EXPECT_EQ(m.GetAt(0)->m_nId, 51022);
    EXPECT_EQ(m.Lookup(52792)->GetValueText(), "c");
    EXPECT_EQ(m.Lookup(1), nullptr);

    CGXUserAttributeMap other;
    other.SetAttribute(52792, new CGXUserAttribute("other"));
    other.SetAttribute(100, new CGXUserAttribute("new"));
    struct Case {
        int mode;
        const char* v52792;
        bool has100, has51022;
    };
    const Case cases[] = {{0, "other", true, true}, {1, "c", true, true}, {2, "other", true, false}, {3, nullptr, false, true}};
    for (const Case& c : cases) {
        CGXUserAttributeMap t;
        t.ChangeAttributes(m, 2);
        t.ChangeAttributes(other, c.mode);
        const CGXAbstractUserAttribute* a = t.Lookup(52792);
        if (c.v52792)
            EXPECT_EQ(a ? a->GetValueText() : CString("none"), c.v52792) << c.mode;
        else
            EXPECT_EQ(a, nullptr) << c.mode;
        EXPECT_EQ(t.Lookup(100) != nullptr, c.has100) << c.mode;
        EXPECT_EQ(t.Lookup(51022) != nullptr, c.has51022) << c.mode;
    }

    const Bytes bytes = StoreBytes([&](CArchive& ar) { ar.WriteObject(&m); });
    LoadBytes(bytes, [&](CArchive& ar) {
        std::unique_ptr<CObject> ob(ar.ReadObject(RUNTIME_CLASS(CGXUserAttributeMap)));
        auto* back = dynamic_cast<CGXUserAttributeMap*>(ob.get());
        ASSERT_NE(back, nullptr);
        ASSERT_EQ(back->GetSize(), 2);
        EXPECT_EQ(back->GetAt(0)->m_nId, 51022);
        EXPECT_EQ(back->GetAt(1)->m_nId, 52792);
        EXPECT_EQ(back->GetAt(1)->GetValueText(), "c");
    });
    // A map whose entries are not user attributes is refused.
    CGXUserAttributeMap wrong;
    LoadBytes(ByteBuilder().word(1).newClass("CGXUserAttributeMap").b, [&](CArchive& ar) {
        EXPECT_THROW(wrong.Serialize(ar), CArchiveException);
    });
}

} // namespace
