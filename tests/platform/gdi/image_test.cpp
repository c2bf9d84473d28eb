#include "gdi_fixture.h"

#include <cstdio>
#include <fstream>

#include <stb/stb_image_write.h>

using Images = GdiCanvas;

namespace {

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A 2 x 1 24-bit BMP: a blue pixel, then a red one.
std::string tinyBmp()
{
    std::string b;
    auto put = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b += char((v >> (8 * i)) & 0xFF);
    };
    b += "BM";
    put(14 + 40 + 8, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(2, 4);
    put(1, 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(8, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    b += std::string("\xFF\x00\x00\x00\x00\xFF\x00\x00", 8);  // BGR blue, BGR red, padding
    return b;
}

// A 1 x 1 GIF whose only pixel is colour 0 of a red/black palette.
const char kGif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00,"
                    "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;";

COLORREF pixelOf(CBitmap& bm, int x, int y)
{
    CDC m;
    m.CreateCompatibleDC(nullptr);
    CBitmap* old = m.SelectObject(&bm);
    const COLORREF c = m.GetPixel(x, y);
    m.SelectObject(old);
    return c;
}

}  // namespace

TEST_F(Images, PngRoundTripAndOtherFormats)
{
    dc.FillSolidRect(0, 0, 64, 48, RGB(10, 20, 30));
    dc.SetPixel(3, 4, RGB(250, 128, 1));
    const std::string png = ::testing::TempDir() + "gdi_image_test.png";
    ASSERT_TRUE(bitmap.PvSavePng(png.c_str()));
    CBitmap back;
    ASSERT_TRUE(back.PvLoadImageFile(png.c_str()));
    BITMAP bm{};
    back.GetBitmap(&bm);
    EXPECT_EQ(bm.bmWidth, 64);
    EXPECT_EQ(bm.bmHeight, 48);
    EXPECT_EQ(pixelOf(back, 3, 4), RGB(250, 128, 1));
    EXPECT_EQ(pixelOf(back, 0, 0), RGB(10, 20, 30));
    std::remove(png.c_str());

    const std::string bmp = ::testing::TempDir() + "gdi_image_test.bmp";
    writeFile(bmp, tinyBmp());
    CBitmap fromBmp;
    ASSERT_TRUE(fromBmp.PvLoadImageFile(bmp.c_str()));
    EXPECT_EQ(pixelOf(fromBmp, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(pixelOf(fromBmp, 1, 0), RGB(255, 0, 0));
    std::remove(bmp.c_str());

    // JPEG: a flat colour survives the lossy round trip closely.
    std::vector<unsigned char> rgb(16 * 16 * 3);
    for (size_t i = 0; i < rgb.size(); i += 3) rgb[i] = 200, rgb[i + 1] = 100, rgb[i + 2] = 50;
    std::string jpg;
    ASSERT_TRUE(stbi_write_jpg_to_func([](void* ctx, void* data, int size) {
        static_cast<std::string*>(ctx)->append(static_cast<char*>(data), size_t(size));
    }, &jpg, 16, 16, 3, rgb.data(), 95));
    CBitmap fromJpg;
    ASSERT_TRUE(fromJpg.PvLoadImageMemory(jpg.data(), jpg.size()));
    const COLORREF c = pixelOf(fromJpg, 8, 8);
    EXPECT_NEAR(GetRValue(c), 200, 4);
    EXPECT_NEAR(GetGValue(c), 100, 4);
    EXPECT_NEAR(GetBValue(c), 50, 4);

    CBitmap gif;
    ASSERT_TRUE(gif.PvLoadImageMemory(kGif, sizeof kGif - 1));
    EXPECT_EQ(pixelOf(gif, 0, 0), RGB(255, 0, 0));
}

TEST_F(Images, BadInputFailsCleanly)
{
    CBitmap bm;
    EXPECT_FALSE(bm.PvLoadImageFile("/nonexistent/file.png"));
    EXPECT_FALSE(bm.PvLoadImageMemory("not an image", 12));
    EXPECT_FALSE(bm.PvLoadImageMemory(nullptr, 10));
    // A truncated PNG header claiming a huge image.
    static const char kHuge[] = "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\x7f\xff\xff\xff\x7f\xff\xff\xff\x08\x02\0\0\0\0\0\0\0";
    const std::string huge(kHuge, sizeof kHuge - 1);
    EXPECT_FALSE(bm.PvLoadImageMemory(huge.data(), huge.size()));
    std::string bmp = tinyBmp().substr(0, 40);
    EXPECT_FALSE(bm.PvLoadImageMemory(bmp.data(), bmp.size()));
    EXPECT_EQ(bm.m_hObject, nullptr);
    EXPECT_FALSE(bm.LoadBitmap(20026));  // no resource loader installed

    PvSetBitmapResourceLoader([](UINT id, LPCTSTR, std::vector<BYTE>& out) {
        if (id != 20026) return false;
        const std::string b = tinyBmp();
        out.assign(b.begin(), b.end());
        return true;
    });
    EXPECT_TRUE(bm.LoadBitmap(20026));
    EXPECT_FALSE(bm.LoadBitmap(1));
    PvSetBitmapResourceLoader(nullptr);
}
