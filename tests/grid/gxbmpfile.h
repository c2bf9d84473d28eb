#pragma once
// A w x h grey 24-bit bitmap file, as the bitmap resource loader of the tests hands out.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/base/pvdefs.h"

inline std::vector<BYTE> GreyBmp(int w, int h)
{
    const int row = (w * 3 + 3) & ~3;
    std::vector<BYTE> b(size_t(54 + row * h), 0x80);
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + size_t(i)] = BYTE(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, uint32_t(b.size()), 4);
    put(6, 0, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, uint32_t(w), 4);
    put(22, uint32_t(h), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(30, 0, 4);
    put(34, uint32_t(row * h), 4);
    std::fill(b.begin() + 38, b.begin() + 54, BYTE(0));  // resolution and colour counts
    return b;
}
