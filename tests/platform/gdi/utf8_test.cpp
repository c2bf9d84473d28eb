// Bad UTF-8 reaches the DC from files and databases: each bad byte must stand for one '?',
// the same in measuring and in drawing.

#include "gdi_fixture.h"

#include "platform/gdi/fonts.h"

namespace {

struct Utf8Case {
    const char* name;
    const char* bytes;
    const char* shown;  // what is measured and drawn
};

const Utf8Case kUtf8Cases[] = {
    {"plain ASCII", "abc", "abc"},
    {"two-byte", "\xC3\xA9", "\xC3\xA9"},
    {"three-byte", "\xE2\x82\xAC", "\xE2\x82\xAC"},
    {"four-byte", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
    {"last code point", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
    {"F8 lead (was U+8200)", "\xF8\x88\x80", "???"},
    {"F5 lead", "\xF5\x80\x80\x80", "????"},
    {"FE and FF", "a\xFE\xFF" "b", "a??b"},
    {"C0 overlong", "\xC0\xAF", "??"},
    {"C1 overlong", "\xC1\xBF", "??"},
    {"three-byte overlong", "\xE0\x80\xAF", "???"},
    {"four-byte overlong", "\xF0\x80\x80\xAF", "????"},
    {"high surrogate", "\xED\xA0\x80", "???"},
    {"low surrogate", "\xED\xBF\xBF", "???"},
    {"beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
    {"lone continuation", "x\x80y", "x?y"},
    {"truncated at the end", "\xE2\x82", "??"},
    {"truncated four-byte", "\xF0\x9F\x98", "???"},
    {"truncated before ASCII", "\xE2\x82" "A", "??A"},
    {"lead then lead", "\xC3\xC3\xA9", "?\xC3\xA9"},
};

}  // namespace

TEST(Utf8, EachBadByteIsOneReplacement)
{
    for (const Utf8Case& c : kUtf8Cases) {
        SCOPED_TRACE(c.name);
        const int n = int(std::strlen(c.bytes));
        EXPECT_EQ(pvgdi::ValidUtf8(c.bytes, n), c.shown);
        // Offsets stay put: decoding walks the same bytes, one '?' per bad byte.
        int chars = 0;
        for (int i = 0; i < n; ++chars) {
            uint32_t cp = 0;
            const int len = pvgdi::DecodeUtf8(c.bytes, n, i, cp);
            ASSERT_GE(len, 1);
            ASSERT_LE(i + len, n);
            EXPECT_TRUE(cp < 0xD800 || (cp >= 0xE000 && cp <= 0x10FFFF));
            i += len;
        }
        int shownChars = 0;
        for (const char* p = c.shown; *p; ++p) shownChars += (static_cast<unsigned char>(*p) & 0xC0) != 0x80;
        EXPECT_EQ(chars, shownChars);
    }
}

class Utf8Drawing : public GdiCanvas {
protected:
    void SetUp() override { Make(160, 24); }
};

TEST_F(Utf8Drawing, MeasuringAndDrawingAgree)
{
    CFont font;
    LOGFONT lf{};
    lf.lfHeight = -13;
    std::strcpy(lf.lfFaceName, "Arial");
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    CFont* old = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    for (const Utf8Case& c : kUtf8Cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dc.GetTextExtent(c.bytes).cx, dc.GetTextExtent(c.shown).cx);
        CRect r(0, 0, width, height);
        dc.FillSolidRect(r, RGB(255, 255, 255));
        dc.DrawText(c.bytes, -1, &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
        const auto bad = Snapshot();
        dc.FillSolidRect(r, RGB(255, 255, 255));
        dc.DrawText(c.shown, -1, &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
        EXPECT_EQ(bad, Snapshot());
        CRect calc(0, 0, 0, 0);
        dc.DrawText(c.bytes, -1, &calc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        EXPECT_EQ(calc.Width(), dc.GetTextExtent(c.shown).cx);
    }
    dc.SelectObject(old);
}
