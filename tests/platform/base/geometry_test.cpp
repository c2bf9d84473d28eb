#include "platform/base/geometry.h"

#include <gtest/gtest.h>

TEST(Geometry, RectBasics)
{
    CRect r(10, 20, 40, 60);
    EXPECT_EQ(r.Width(), 30);
    EXPECT_EQ(r.Height(), 40);
    EXPECT_EQ(r.Size(), CSize(30, 40));
    EXPECT_EQ(r.TopLeft(), CPoint(10, 20));
    EXPECT_EQ(r.BottomRight(), CPoint(40, 60));
    EXPECT_EQ(r.CenterPoint(), CPoint(25, 40));
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(r.PtInRect(CPoint(40, 59)));
    EXPECT_FALSE(r.PtInRect(CPoint(39, 60)));
    r.TopLeft() = CPoint(0, 0);
    EXPECT_EQ(r, CRect(0, 0, 40, 60));
    LPRECT p = r;
    EXPECT_EQ(p->right, 40);

    EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
    EXPECT_FALSE(CRect(5, 5, 5, 9).IsRectNull());
    CRect n(10, 10, 0, 0);
    n.NormalizeRect();
    EXPECT_EQ(n, CRect(0, 0, 10, 10));
    n.InflateRect(2, 3);
    EXPECT_EQ(n, CRect(-2, -3, 12, 13));
    n.DeflateRect(1, 1, 2, 2);
    EXPECT_EQ(n, CRect(-1, -2, 10, 11));
    n.OffsetRect(1, 2);
    EXPECT_EQ(n, CRect(0, 0, 11, 13));
    EXPECT_EQ(n + CPoint(1, 1), CRect(1, 1, 12, 14));
    EXPECT_EQ(n - CSize(1, 1), CRect(-1, -1, 10, 12));
}

TEST(Geometry, SetOperations)
{
    struct Case {
        RECT a, b, inter, uni;
        BOOL overlaps;
    };
    const Case cases[] = {
        {{0, 0, 10, 10}, {5, 5, 20, 20}, {5, 5, 10, 10}, {0, 0, 20, 20}, TRUE},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, {0, 0, 0, 0}, {0, 0, 20, 10}, FALSE},  // touching edges
        {{0, 0, 10, 10}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 10, 10}, FALSE},     // empty operand ignored
        {{2, 2, 4, 4}, {0, 0, 10, 10}, {2, 2, 4, 4}, {0, 0, 10, 10}, TRUE},
    };
    for (const Case& c : cases) {
        CRect r;
        EXPECT_EQ(r.IntersectRect(&c.a, &c.b), c.overlaps);
        EXPECT_EQ(r, c.inter);
        EXPECT_EQ(CRect(c.a) & c.b, CRect(c.inter));
        EXPECT_EQ(CRect(c.a) | c.b, CRect(c.uni));
        CRect self(c.a);
        self &= c.b;
        EXPECT_EQ(self, c.inter);
    }
}

TEST(Geometry, SubtractRect)
{
    struct Case {
        RECT a, b, want;
        BOOL result;
    };
    const Case cases[] = {
        {{0, 0, 10, 10}, {0, 0, 10, 4}, {0, 4, 10, 10}, TRUE},   // top strip removed
        {{0, 0, 10, 10}, {6, -1, 12, 11}, {0, 0, 6, 10}, TRUE},  // right strip removed
        {{0, 0, 10, 10}, {2, 2, 4, 4}, {0, 0, 10, 10}, TRUE},    // hole: unchanged
        {{0, 0, 10, 10}, {-1, -1, 11, 11}, {0, 0, 0, 0}, FALSE}, // covered completely
        {{0, 0, 10, 10}, {20, 20, 30, 30}, {0, 0, 10, 10}, TRUE},
    };
    for (const Case& c : cases) {
        CRect r;
        EXPECT_EQ(r.SubtractRect(&c.a, &c.b), c.result);
        EXPECT_EQ(r, c.want);
    }
}

TEST(Geometry, PointAndSize)
{
    CPoint p(3, 4);
    p += CSize(1, 1);
    EXPECT_EQ(p, CPoint(4, 5));
    EXPECT_EQ(p - CPoint(1, 2), CSize(3, 3));
    EXPECT_EQ(-p, CPoint(-4, -5));
    EXPECT_EQ(CPoint(DWORD(0xFFFE0005)), CPoint(5, -2));  // signed halves of a packed lParam
    EXPECT_EQ(CSize(2, 3) + CSize(1, 1), CSize(3, 4));
}
