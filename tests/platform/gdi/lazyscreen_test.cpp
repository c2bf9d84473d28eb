// A screen DC answers its capabilities and measures text without composing a picture; the
// picture is made once, when something first reads or draws.

#include <cairo.h>
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/gdi/surface.h"

TEST(LazyScreenDC, ComposesOnlyWhenPixelsAreNeeded)
{
    struct Step {
        const char* name;
        void (*use)(CDC&);
        int composedAfter;
    };
    const Step steps[] = {
        {"device capabilities", [](CDC& dc) { EXPECT_EQ(dc.GetDeviceCaps(BITSPIXEL), 32); }, 0},
        {"resolution", [](CDC& dc) { EXPECT_GT(dc.GetDeviceCaps(HORZRES), 0); }, 0},
        {"text extent", [](CDC& dc) { EXPECT_GT(dc.GetTextExtent("Abc").cx, 0); }, 0},
        {"text metrics", [](CDC& dc) { TEXTMETRIC tm; EXPECT_TRUE(dc.GetTextMetrics(&tm)); }, 0},
        {"reading a pixel", [](CDC& dc) { EXPECT_EQ(dc.GetPixel(1, 1), RGB(10, 20, 30)); }, 1},
        {"drawing", [](CDC& dc) { dc.FillSolidRect(0, 0, 4, 4, RGB(255, 0, 0)); }, 1},
        {"reading again", [](CDC& dc) { EXPECT_EQ(dc.GetPixel(1, 1), RGB(255, 0, 0)); }, 1},
    };
    int composed = 0;
    CDC dc;
    ASSERT_TRUE(dc.PvAttachLazySurface([&composed] {
        ++composed;
        cairo_surface_t* s = PvCreateWindowSurface(16, 16);
        cairo_t* cr = cairo_create(s);
        cairo_set_source_rgb(cr, 10 / 255.0, 20 / 255.0, 30 / 255.0);
        cairo_paint(cr);
        cairo_destroy(cr);
        return s;
    }));
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.use(dc);
        EXPECT_EQ(composed, s.composedAfter);
    }
    dc.DeleteDC();
    EXPECT_EQ(composed, 1);
}
