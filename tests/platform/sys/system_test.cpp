#include "platform/sys/system.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(SystemClock, TestClockDrivesTickCountAndSleep)
{
    PvSetTestClock(0xFFFFFFF0u);
    EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
    PvAdvanceTestClock(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u) << "the tick count wraps like a 32-bit counter";
    Sleep(1500); // advances the test clock, does not wait
    EXPECT_EQ(GetTickCount(), 0x10u + 1500u);
    PvClearTestClock();
    EXPECT_FALSE(PvTestClockActive());
    DWORD a = GetTickCount();
    Sleep(2);
    EXPECT_GE(static_cast<DWORD>(GetTickCount() - a), 1u);
}

TEST(SystemMetrics, ScreenFromEnvironmentAndClassicValues)
{
    struct Case {
        const char* env;
        int cx, cy;
    };
    const Case cases[] = {
        { nullptr, 1280, 1024 },
        { "800x600", 800, 600 },
        { "1920X1080", 1920, 1080 },
        { "garbage", 1280, 1024 },
        { "800x", 1280, 1024 },
        { "99999999999x600", 1280, 1024 },
        { "10x10", 1280, 1024 },
    };
    for (const Case& c : cases) {
        if (c.env)
            setenv("PV_SCREEN", c.env, 1);
        else
            unsetenv("PV_SCREEN");
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), c.cx) << (c.env ? c.env : "(unset)");
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), c.cy) << (c.env ? c.env : "(unset)");
    }
    unsetenv("PV_SCREEN");

    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
    EXPECT_EQ(GetSystemMetrics(SM_CXFRAME), 4);
    EXPECT_EQ(GetSystemMetrics(SM_DBCSENABLED), 0);
    EXPECT_EQ(GetSystemMetrics(SM_PENWINDOWS), 0);
    EXPECT_EQ(GetSystemMetrics(-1), 0);
    EXPECT_EQ(GetSystemMetrics(10000), 0);

    PvSetSystemMetric(SM_CXFRAME, 8);
    PvSetSystemMetric(SM_CXSCREEN, 640);
    EXPECT_EQ(GetSystemMetrics(SM_CXFRAME), 8);
    EXPECT_EQ(GetSystemMetrics(SM_CXMAXIMIZED), 648) << "derived sizes follow the overridden screen";
    PvResetSystemMetrics();
    EXPECT_EQ(GetSystemMetrics(SM_CXFRAME), 4);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
}

TEST(SystemColors, ClassicPaletteSettableAndBounded)
{
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(31), 0u);

    PvSetSysColor(COLOR_BTNFACE, RGB(1, 2, 3));
    PvSetSysColor(200, RGB(9, 9, 9)); // ignored
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(1, 2, 3));
    PvResetSysColors();
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
}

TEST(SystemParameters, WheelLinesAndVersion)
{
    UINT lines = 0;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    EXPECT_EQ(lines, 3u);
    EXPECT_FALSE(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, nullptr, 0));
    EXPECT_FALSE(SystemParametersInfo(9999, 0, &lines, 0));

    DWORD v = GetVersion();
    EXPECT_EQ(v & 0x80000000u, 0u) << "an NT-family system";
    EXPECT_GE(LOBYTE(LOWORD(v)), 4);
}

TEST(SystemArithmetic, MulDivRoundsAndReportsOverflow)
{
    struct Case {
        int a, b, c, expect;
    };
    const Case cases[] = {
        { 10, 72, 96, 8 },    // 7.5 rounds away from zero
        { -10, 72, 96, -8 },
        { 7, 3, 2, 11 },      // 10.5
        { 5, 1, 3, 2 },
        { 1, 1, 0, -1 },
        { INT_MAX, 2, 1, -1 },
        { INT_MAX, INT_MAX, INT_MAX, INT_MAX },
        { INT_MIN, 1, 1, INT_MIN },
        { INT_MIN, -1, 1, -1 },
        { 100000, 100000, 100000, 100000 }, // the product needs 64 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expect) << c.a << "*" << c.b << "/" << c.c;
}
