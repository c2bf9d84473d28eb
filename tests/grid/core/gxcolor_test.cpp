#include "grid/core/gxcolor.h"

#include <gtest/gtest.h>

#include "grid/core/gxstate.h"
#include "platform/sys/system.h"

namespace {

TEST(PackedColor, PackAndResolve)
{
    PvResetSysColors();
    GXGetAppData()->m_sysColors.Refresh();
    struct Case {
        COLORREF value;
        DWORD kind, field;
        COLORREF resolved;
    };
    const Case cases[] = {
        {0x41000000, gxColorSystem, 189, RGB(0, 0, 0)}, // beyond the system's colours: black, no lookup
        {0x40FFFFFF, gxColorRGB, 0xFFFFFF, 0x00FFFFFF},
        {0xFE000000, gxColorSystem, 0, GetSysColor(0)},
        {0xFF000000, gxColorSystem, 0, GetSysColor(0)},
        {0x03000010, gxColorSystem, 0x10, GetSysColor(16)},
        {0x01000007, gxColorPaletteIndex, 7, 0x01000007},
        {0x02123456, gxColorPaletteRGB, 0x123456, 0x02123456},
        {RGB(1, 2, 3), gxColorRGB, RGB(1, 2, 3), RGB(1, 2, 3)},
        {0xF7000000, gxColorSystem, 7, GetSysColor(7)},
        // Damaged values: a huge system number must not index past the table.
        {0xFF123456, gxColorSystem, 0x123456, RGB(0, 0, 0)},
        {0x03FFFFFF, gxColorSystem, 0xFFFFFF, RGB(0, 0, 0)},
    };
    for (const Case& c : cases) {
        DWORD field = 0xDEAD, kind = 9;
        GXPackColor(c.value, field, kind);
        EXPECT_EQ(kind, c.kind) << std::hex << c.value;
        EXPECT_EQ(field, c.field) << std::hex << c.value;
        EXPECT_EQ(GXResolveColor(field, kind), c.resolved) << std::hex << c.value;
    }
    // The 32-bit form of an unnameable system number is its drawn colour, never a wrapped byte.
    EXPECT_EQ(GXPackedColorValue(0x123456, gxColorSystem), RGB(0, 0, 0));
    EXPECT_EQ(GXPackedColorValue(8, gxColorSystem), (GetSysColor(8) & 0xFFFFFF) | 0xF6000000u);
}

TEST(PackedColor, FollowsSystemColourChange)
{
    PvResetSysColors();
    GXGetAppData()->m_sysColors.Refresh();
    DWORD field, kind;
    GXPackColor(GXSYSCOLOR(COLOR_WINDOW), field, kind);
    PvSetSysColor(COLOR_WINDOW, RGB(10, 20, 30));
    GXGetAppData()->m_sysColors.Refresh();
    EXPECT_EQ(GXResolveColor(field, kind), RGB(10, 20, 30));
    // Numbers past the cache are read live.
    PvSetSysColor(COLOR_MENUBAR, RGB(1, 1, 1));
    EXPECT_EQ(GXResolveColor(COLOR_MENUBAR, gxColorSystem), RGB(1, 1, 1));
    PvResetSysColors();
    GXGetAppData()->m_sysColors.Refresh();
}

} // namespace
