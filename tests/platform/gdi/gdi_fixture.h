#pragma once
// A white colour bitmap selected into a memory DC, and helpers to read its pixels.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi/gdi.h"

class GdiCanvas : public ::testing::Test {
protected:
    void SetUp() override { Make(64, 48); }
    void TearDown() override
    {
        if (dc.m_hDC) dc.SelectObject(oldBitmap);
    }

    void Make(int w, int h)
    {
        if (dc.m_hDC) {
            dc.SelectObject(oldBitmap);
            dc.DeleteDC();
        }
        CDC screen;
        screen.CreateIC("DISPLAY", nullptr, nullptr, nullptr);
        ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
        bitmap.DeleteObject();
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, w, h));
        oldBitmap = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, w, h, RGB(255, 255, 255));
        width = w;
        height = h;
    }

    // Every pixel of the canvas, to compare whole pictures.
    std::vector<COLORREF> Snapshot()
    {
        std::vector<COLORREF> px;
        dc.SaveDC();
        dc.SelectClipRgn(nullptr);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) px.push_back(dc.GetPixel(x, y));
        dc.RestoreDC(-1);
        return px;
    }

    int CountColor(COLORREF c, const CRect& area)
    {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) n += dc.GetPixel(x, y) == c;
        return n;
    }

    // Bounding box of the pixels that are not white.
    CRect InkBox()
    {
        CRect box(width, height, 0, 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (dc.GetPixel(x, y) != RGB(255, 255, 255)) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }

    static LOGFONT TestFont(LONG height = -11, LPCTSTR face = "DejaVu Sans", LONG weight = FW_NORMAL)
    {
        LOGFONT lf{};
        lf.lfHeight = height;
        lf.lfWeight = weight;
        std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
        return lf;
    }

    CDC dc;
    CBitmap bitmap;
    CBitmap* oldBitmap = nullptr;
    int width = 0, height = 0;
};
