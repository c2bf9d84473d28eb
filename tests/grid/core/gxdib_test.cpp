#include "grid/core/gxdib.h"

#include <gtest/gtest.h>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/sys/globalmem.h"

namespace {

// A 2 x 1 picture as a 24-bit BMP file: red, then blue.
std::vector<BYTE> TwoPixelBmp()
{
    std::vector<BYTE> b;
    auto w16 = [&](WORD v) { b.push_back(BYTE(v)); b.push_back(BYTE(v >> 8)); };
    auto w32 = [&](DWORD v) { w16(WORD(v)); w16(WORD(v >> 16)); };
    w16(0x4D42); w32(14 + 40 + 8); w16(0); w16(0); w32(14 + 40);
    w32(40); w32(2); w32(1); w16(1); w16(24); w32(0); w32(8); w32(2835); w32(2835); w32(0); w32(0);
    for (BYTE v : {0, 0, 255, 255, 0, 0, 0, 0}) // BGR red, BGR blue, row padding
        b.push_back(v);
    return b;
}

TEST(GXDIBPool, KeysAndLoading)
{
    CGXDIBPool pool;
    CString name;
    struct Case {
        const char* key;
        UINT id;
        const char* name;
    };
    const Case cases[] = {
        {"#BMP(7)", 7, "#7"}, {"#BMP(0)", 0, ""}, {"#BMP()", 0, ""}, {"BMP(7)", 0, ""},
        {"#BMP(\"pic\")", UINT(-1), "pic"}, {"#BMP(\"\")", 0, ""}, {"#BMP(99999999999999)", 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pool.ParseKey(c.key, name), c.id) << c.key;
        EXPECT_EQ(name, c.name) << c.key;
    }
    EXPECT_EQ(pool.MakeNumberKey(5), "#BMP(5)");
    EXPECT_EQ(pool.MakeNamedKey(5), "#BMP(\"5\")");

    PvSetBitmapResourceLoader([](UINT id, LPCTSTR, std::vector<BYTE>& out) {
        if (id != 7)
            return false;
        out = TwoPixelBmp();
        return true;
    });
    HGLOBAL h = pool.GetDIB("#BMP(7)");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(pool.GetDIB("#BMP(7)"), h);
    EXPECT_EQ(pool.GetDIB("#BMP(8)"), nullptr);
    EXPECT_EQ(pool.GetDIB("#BMP(0)"), nullptr);
    EXPECT_EQ(pool.GetDIB("plain text"), nullptr);
    LONG w, hgt;
    DWORD colors;
    ASSERT_TRUE(GXInspectDIB(h, w, hgt, colors));
    EXPECT_EQ(w, 2);
    EXPECT_EQ(hgt, 1);

    // Drawn stretched over a 4 x 2 bitmap: the left half red, the right half blue.
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap target;
    ASSERT_TRUE(target.CreateBitmap(4, 2, 1, 32, nullptr));
    CBitmap* old = dc.SelectObject(&target);
    EXPECT_TRUE(DrawDIB(dc.GetSafeHdc(), h, RECT {0, 0, 4, 2}, 1, 0));
    EXPECT_EQ(dc.GetPixel(0, 1), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(3, 0), RGB(0, 0, 255));
    dc.SelectObject(old);
    PvSetBitmapResourceLoader(nullptr);

    // A block smaller than its header claims is not a picture.
    HGLOBAL bad = GlobalAlloc(GHND, 40);
    BITMAPINFOHEADER* bih = static_cast<BITMAPINFOHEADER*>(GlobalLock(bad));
    bih->biSize = 40;
    bih->biWidth = 100;
    bih->biHeight = 100;
    bih->biBitCount = 32;
    GlobalUnlock(bad);
    CGXDIB dib;
    EXPECT_FALSE(dib.Attach(bad));
    EXPECT_FALSE(DrawDIB(dc.GetSafeHdc(), bad, RECT {0, 0, 4, 2}, 1, 0));
    GlobalFree(bad);
}

TEST(GXDIB, Placement)
{
    struct Case {
        RECT dest;
        LONG w, h;
        int mode;
        UINT flags;
        RECT draw, source;
    };
    const Case cases[] = {
        {{0, 0, 100, 50}, 20, 10, 0, 0, {0, 0, 20, 10}, {0, 0, 20, 10}},
        {{0, 0, 100, 50}, 20, 10, 0, 1 | 4, {40, 20, 60, 30}, {0, 0, 20, 10}},
        {{0, 0, 100, 50}, 20, 10, 0, 2 | 8, {80, 40, 100, 50}, {0, 0, 20, 10}},
        {{10, 10, 20, 15}, 20, 10, 0, 0, {10, 10, 20, 15}, {0, 0, 10, 5}},
        {{0, 0, 100, 50}, 20, 10, 1, 0, {0, 0, 100, 50}, {0, 0, 20, 10}},
        {{0, 0, 100, 100}, 20, 10, 2, 4, {0, 25, 100, 75}, {0, 0, 20, 10}},
    };
    for (const Case& c : cases) {
        RECT d, s;
        GXPlaceDIB(c.dest, c.w, c.h, c.mode, c.flags, d, s);
        EXPECT_EQ(std::vector<LONG>({d.left, d.top, d.right, d.bottom}),
                  std::vector<LONG>({c.draw.left, c.draw.top, c.draw.right, c.draw.bottom}));
        EXPECT_EQ(std::vector<LONG>({s.left, s.top, s.right, s.bottom}),
                  std::vector<LONG>({c.source.left, c.source.top, c.source.right, c.source.bottom}));
    }
}

} // namespace
