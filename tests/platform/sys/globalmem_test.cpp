#include "platform/sys/globalmem.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(GlobalMemory, MoveableAndFixedBlocks)
{
    HGLOBAL h = GlobalAlloc(GHND, 16);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 16u);
    auto* p = static_cast<unsigned char*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(p[i], 0) << "zero-initialised";
    std::memcpy(p, "0123456789abcdef", 16);
    EXPECT_TRUE(GlobalLock(h) != nullptr);
    EXPECT_TRUE(GlobalUnlock(h)) << "still locked once";
    EXPECT_FALSE(GlobalUnlock(h));

    ASSERT_EQ(GlobalReAlloc(h, 32, GMEM_MOVEABLE | GMEM_ZEROINIT), h);
    p = static_cast<unsigned char*>(GlobalLock(h));
    EXPECT_EQ(std::memcmp(p, "0123456789abcdef", 16), 0);
    EXPECT_EQ(p[31], 0);
    GlobalUnlock(h);
    EXPECT_EQ(GlobalSize(h), 32u);
    EXPECT_EQ(GlobalFree(h), nullptr);

    // A freed, foreign or absurd handle fails cleanly.
    EXPECT_EQ(GlobalFree(h), h);
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, SIZE_T(1) << 40), nullptr);

    HGLOBAL f = GlobalAlloc(GPTR, 8);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(GlobalLock(f), static_cast<void*>(f)) << "a fixed block's handle is its address";
    EXPECT_EQ(GlobalReAlloc(f, 64, 0), nullptr) << "a fixed block cannot grow in place";
    EXPECT_EQ(GlobalReAlloc(f, 4, 0), f);
    EXPECT_EQ(GlobalSize(f), 4u);
    EXPECT_EQ(GlobalFree(f), nullptr);

    HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(GlobalSize(empty), 0u);
    EXPECT_EQ(GlobalFree(empty), nullptr);
}
