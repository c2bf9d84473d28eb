#pragma once
// The cell controls' pictures, drawn here as 16-colour images: the check-box strips (five
// 13 x 13 images: unchecked, checked, unchecked pressed or disabled, checked pressed or
// disabled, indeterminate) and the radio buttons (14 x 13 images, unselected and selected, in
// the bottom row). The check boxes use red for the window colour and green for the window
// frame, so that the control can map them to the system's colours or to print colours.
// Header only: the grid library builds its bitmaps from it without linking the program's
// resources.

#include <cstdint>
#include <utility>
#include <vector>

enum : unsigned {
    GX_IDB_RADIOBTN = 20019,
    GX_IDB_CHECKBOX_3DLOOK = 20024,  // the 3D boxes when the library's 3D look is on
    GX_IDB_CHECKBOX_3D = 20025,
    GX_IDB_CHECKBOX = 20026,  // flat boxes, and every box while printing
};

// The 16-colour palette (0x00RRGGBB) the images index.
inline constexpr uint32_t kGXCellBitmapPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

namespace gxcellbitmaps {

enum : uint8_t { kBlack = 0, kLight = 7, kDark = 8, kWindow = 9, kFrame = 10, kWhite = 15 };

struct Canvas {
    int cx, cy;
    std::vector<uint8_t> px;
    void Set(int x, int y, uint8_t c)
    {
        if (x >= 0 && y >= 0 && x < cx && y < cy)
            px[size_t(y) * size_t(cx) + size_t(x)] = c;
    }
    void Fill(int x, int y, int w, int h, uint8_t c)
    {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                Set(i, j, c);
    }
    // A one-pixel frame, top and left in one colour, bottom and right in another.
    void Frame(int x, int y, int w, int h, uint8_t topLeft, uint8_t bottomRight)
    {
        Fill(x, y, w, 1, topLeft);
        Fill(x, y, 1, h, topLeft);
        Fill(x, y + h - 1, w, 1, bottomRight);
        Fill(x + w - 1, y, 1, h, bottomRight);
    }
};

// One check box at x0: its frame by look, its inside, and the mark.
inline void CheckImage(Canvas& c, int x0, unsigned nID, int nImage)
{
    const bool bGreyInside = nImage >= 2;
    const uint8_t inside = bGreyInside ? kLight : kWindow;
    if (nID == GX_IDB_CHECKBOX) {
        c.Frame(x0, 0, 13, 13, kFrame, kFrame);
        c.Fill(x0 + 1, 1, 11, 11, inside);
    } else if (nID == GX_IDB_CHECKBOX_3DLOOK) {
        c.Frame(x0, 0, 13, 13, kDark, kWhite);
        c.Fill(x0 + 1, 1, 11, 11, inside);
    } else {
        c.Frame(x0, 0, 13, 13, kDark, kWhite);
        c.Frame(x0 + 1, 1, 11, 11, kBlack, kLight);
        c.Fill(x0 + 2, 2, 9, 9, inside);
    }
    if (nImage == 0 || nImage == 2)
        return;
    const uint8_t mark = nImage == 4 ? kDark : kBlack;
    // A check mark in the 7 x 7 middle.
    static const struct { int y, x1, x2; } rows[] = {{3, 9, 9}, {4, 8, 9}, {5, 3, 3}, {5, 7, 9}, {6, 3, 4},
                                                     {6, 6, 8}, {7, 3, 7}, {8, 4, 6}, {9, 5, 5}};
    for (const auto& r : rows)
        c.Fill(x0 + r.x1, r.y, r.x2 - r.x1 + 1, 1, mark);
}

// One round radio button (12 x 12) at (x0, y0), sunken, with a dot when selected.
inline void RadioImage(Canvas& c, int x0, int y0, bool bSelected)
{
    c.Fill(x0, y0, 14, 13, kWindow);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const double dx = x - 5.5, dy = y - 5.5;
            const double d2 = dx * dx + dy * dy;
            const bool bUpperLeft = x + y < 11;
            uint8_t col = kWindow;
            if (d2 > 6.0 * 6.0)
                continue;
            if (d2 > 5.0 * 5.0)
                col = bUpperLeft ? kDark : kWhite;
            else if (d2 > 4.0 * 4.0)
                col = bUpperLeft ? kBlack : kLight;
            else if (bSelected && d2 <= 2.0 * 2.0)
                col = kBlack;
            c.Set(x0 + x, y0 + y, col);
        }
}

}  // namespace gxcellbitmaps

// The palette indices of picture nID, top row first; false for an id that is not one of these.
inline bool GXCellBitmapPixels(unsigned nID, int& cx, int& cy, std::vector<uint8_t>& pixels)
{
    using namespace gxcellbitmaps;
    if (nID == GX_IDB_RADIOBTN) {
        Canvas c {28, 26, std::vector<uint8_t>(28 * 26, kWindow)};
        for (int y0 : {0, 13}) {
            RadioImage(c, 0, y0, false);
            RadioImage(c, 14, y0, true);
        }
        cx = c.cx;
        cy = c.cy;
        pixels = std::move(c.px);
        return true;
    }
    if (nID != GX_IDB_CHECKBOX && nID != GX_IDB_CHECKBOX_3D && nID != GX_IDB_CHECKBOX_3DLOOK)
        return false;
    Canvas c {65, 13, std::vector<uint8_t>(65 * 13, kWindow)};
    for (int i = 0; i < 5; ++i)
        CheckImage(c, 13 * i, nID, i);
    cx = c.cx;
    cy = c.cy;
    pixels = std::move(c.px);
    return true;
}
