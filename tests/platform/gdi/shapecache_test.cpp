// The shaped-string cache stays bounded by dropping the least recently used strings, and what
// is still drawn (the strings on screen, the ASCII glyphs) survives a flood of new ones.

#include "gdi_fixture.h"

#include <string>

#include "platform/gdi/fonts.h"

using pvgdi::ShapeCache;
using pvgdi::Shaped;

namespace {

void flood(ShapeCache& cache, size_t count, const std::string& keep = {})
{
    for (size_t i = 0; i < count; ++i) {
        cache.Insert("flood " + std::to_string(i), Shaped{});
        if (!keep.empty() && i % 100 == 0) {
            ASSERT_NE(cache.Find(keep), nullptr);
        }
    }
}

}  // namespace

TEST(ShapeCache, DropsTheLeastRecentlyUsed)
{
    ShapeCache cache;
    Shaped s;
    s.width = 42;
    const Shaped* kept = &cache.Insert("on screen", s);
    cache.Insert("scrolled away", Shaped{});
    flood(cache, ShapeCache::kCapacity, "on screen");
    EXPECT_EQ(cache.size(), ShapeCache::kCapacity);
    EXPECT_EQ(cache.Find("scrolled away"), nullptr);
    EXPECT_EQ(cache.Find("flood 0"), nullptr);
    ASSERT_EQ(cache.Find("on screen"), kept);  // never reshaped, never moved
    EXPECT_EQ(kept->width, 42);
    EXPECT_NE(cache.Find("flood " + std::to_string(ShapeCache::kCapacity - 1)), nullptr);
    cache.Clear();
    EXPECT_EQ(cache.size(), 0u);
    EXPECT_EQ(cache.Find("on screen"), nullptr);
}

class ShapeCacheDrawing : public GdiCanvas {
protected:
    void SetUp() override { Make(120, 24); }
};

TEST_F(ShapeCacheDrawing, TextDrawsTheSameAfterItsStringsWereDropped)
{
    CFont font;
    LOGFONT lf{};
    lf.lfHeight = -13;
    std::strcpy(lf.lfFaceName, "Arial");
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    CFont* old = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    const char* texts[] = {"Plain ASCII", "M\xC3\xBCller, Zo\xC3\xAB"};
    std::vector<std::vector<COLORREF>> before;
    for (const char* t : texts) {
        dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
        dc.TextOut(2, 2, t);
        before.push_back(Snapshot());
    }
    // The ASCII glyphs came from one-character strings; push every cached string out.
    pvgdi::FontFace* face = pvgdi::RealizeFont(lf, 1.0);
    flood(face->shapes[0], ShapeCache::kCapacity);
    EXPECT_EQ(face->shapes[0].Find("P"), nullptr);
    for (size_t i = 0; i < std::size(texts); ++i) {
        SCOPED_TRACE(texts[i]);
        dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
        dc.TextOut(2, 2, texts[i]);
        EXPECT_EQ(Snapshot(), before[i]);
    }
    dc.SelectObject(old);
}
