// Image files into bitmaps (stb_image) and bitmaps out as PNG (Cairo); window surfaces.

#include <stb/stb_image.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/gdi/gdi_internal.h"
#include "platform/gdi/surface.h"

using namespace pvgdi;

namespace {

PvBitmapResourceLoader& loader()
{
    static PvBitmapResourceLoader l;
    return l;
}

constexpr size_t kMaxImageFile = 64u << 20;

}  // namespace

void PvSetBitmapResourceLoader(PvBitmapResourceLoader l)
{
    loader() = std::move(l);
}

BOOL CBitmap::PvLoadImageMemory(const void* data, size_t size)
{
    if (!data || size == 0 || size > kMaxImageFile) return FALSE;
    int w = 0, h = 0, n = 0;
    if (!stbi_info_from_memory(static_cast<const stbi_uc*>(data), int(size), &w, &h, &n)) return FALSE;
    if (w <= 0 || h <= 0 || w > 32767 || h > 32767 || long(w) * h > (1L << 24)) return FALSE;  // 64 MB decoded
    // The decoder's 16-bit PNM path reads past its own buffer on short files; no photo of ours
    // is a 16-bit PNM, so refuse those rather than risk it.
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (bytes[0] == 'P' && stbi_is_16_bit_from_memory(bytes, int(size))) return FALSE;
    stbi_uc* px = stbi_load_from_memory(static_cast<const stbi_uc*>(data), int(size), &w, &h, &n, 4);
    if (!px) return FALSE;
    BitmapObj* b = NewBitmap(w, h, false);
    if (!b) {
        stbi_image_free(px);
        return FALSE;
    }
    auto* out = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(b->surface));
    const int stride = cairo_image_surface_get_stride(b->surface) / 4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const stbi_uc* p = px + (size_t(y) * size_t(w) + size_t(x)) * 4;
            // Transparent pixels are composed over white, as a viewer shows them.
            const unsigned a = p[3];
            auto ch = [&](unsigned c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            out[size_t(y) * size_t(stride) + size_t(x)] = 0xFF000000u | (ch(p[0]) << 16) | (ch(p[1]) << 8) | ch(p[2]);
        }
    cairo_surface_mark_dirty(b->surface);
    stbi_image_free(px);
    DeleteObject();
    Attach(b);
    return TRUE;
}

BOOL CBitmap::PvLoadImageFile(LPCTSTR lpszPath)
{
    if (!lpszPath) return FALSE;
    std::ifstream f(lpszPath, std::ios::binary);
    if (!f) return FALSE;
    f.seekg(0, std::ios::end);
    const std::streamoff len = f.tellg();
    if (len <= 0 || size_t(len) > kMaxImageFile) return FALSE;
    f.seekg(0);
    std::vector<char> buf(static_cast<size_t>(len));
    if (!f.read(buf.data(), len)) return FALSE;
    return PvLoadImageMemory(buf.data(), buf.size());
}

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    std::vector<BYTE> bytes;
    if (!loader() || !loader()(nIDResource, nullptr, bytes)) return FALSE;
    return PvLoadImageMemory(bytes.data(), bytes.size());
}

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName)
{
    std::vector<BYTE> bytes;
    if (!lpszResourceName || !loader() || !loader()(0, lpszResourceName, bytes)) return FALSE;
    return PvLoadImageMemory(bytes.data(), bytes.size());
}

BOOL CBitmap::PvSavePng(LPCTSTR lpszPath) const
{
    if (!lpszPath || !IsLive(m_hObject) || m_hObject->pvType != OBJ_BITMAP) return FALSE;
    return PvWriteSurfacePng(static_cast<BitmapObj*>(m_hObject)->surface, lpszPath);
}

BOOL PvWriteSurfacePng(cairo_surface_t* surface, LPCTSTR lpszPath)
{
    if (!surface || !lpszPath) return FALSE;
    cairo_surface_flush(surface);
    return cairo_surface_write_to_png(surface, lpszPath) == CAIRO_STATUS_SUCCESS;
}

cairo_surface_t* PvCreateWindowSurface(int width, int height)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(1, width), std::max(1, height));
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
    return s;
}

void PvDestroyWindowSurface(cairo_surface_t* surface)
{
    if (surface) cairo_surface_destroy(surface);
}

// ---- Bitmap creation and bits ----

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    if (nPlanes != 1 || (nBitcount != 1 && nBitcount != 24 && nBitcount != 32)) return FALSE;
    BitmapObj* b = NewBitmap(nWidth, nHeight, nBitcount == 1);
    if (!b) return FALSE;
    DeleteObject();
    Attach(b);
    if (lpBits && nBitcount == 24) {
        // Rows of BGR triples padded to 16 bits, widened to the 32-bit layout.
        const size_t inRow = ((size_t(nWidth) * 24 + 15) / 16) * 2;
        std::vector<BYTE> wide(size_t(nWidth) * 4 * size_t(nHeight));
        const auto* in = static_cast<const BYTE*>(lpBits);
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < nWidth; ++x)
                std::memcpy(&wide[(size_t(y) * size_t(nWidth) + size_t(x)) * 4], in + inRow * size_t(y) + size_t(x) * 3, 3);
        SetBitmapBits(DWORD(wide.size()), wide.data());
    } else if (lpBits) {
        const size_t rowBytes = nBitcount == 32 ? size_t(nWidth) * 4 : ((size_t(nWidth) + 15) / 16) * 2;
        SetBitmapBits(DWORD(rowBytes * size_t(nHeight)), lpBits);
    }
    return TRUE;
}

BOOL CBitmap::CreateBitmapIndirect(const BITMAP* bm)
{
    if (!bm) return FALSE;
    return CreateBitmap(bm->bmWidth, bm->bmHeight, bm->bmPlanes, bm->bmBitsPixel, bm->bmBits);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    bool mono = false;
    if (pDC && pDC->m_hDC && pDC->m_hDC->kind == DCKind::Memory && pDC->m_hDC->bitmap)
        mono = pDC->m_hDC->bitmap->mono;
    if (nWidth == 0 || nHeight == 0) {
        nWidth = nHeight = 1;
        mono = true;
    }
    BitmapObj* b = NewBitmap(nWidth, nHeight, mono);
    if (!b) return FALSE;
    DeleteObject();
    Attach(b);
    return TRUE;
}

int CBitmap::GetBitmap(BITMAP* pBitMap) const
{
    return ::GetObject(m_hObject, sizeof(BITMAP), pBitMap);
}

DWORD CBitmap::SetBitmapBits(DWORD dwCount, const void* lpBits)
{
    if (!lpBits || !IsLive(m_hObject) || m_hObject->pvType != OBJ_BITMAP) return 0;
    auto* b = static_cast<BitmapObj*>(m_hObject);
    cairo_surface_flush(b->surface);
    auto* px = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(b->surface));
    const int stride = cairo_image_surface_get_stride(b->surface) / 4;
    const auto* in = static_cast<const BYTE*>(lpBits);
    const size_t rowBytes = b->mono ? ((size_t(b->w) + 15) / 16) * 2 : size_t(b->w) * 4;
    const int rows = int(std::min<size_t>(size_t(b->h), dwCount / rowBytes));
    for (int y = 0; y < rows; ++y) {
        const BYTE* row = in + rowBytes * size_t(y);
        for (int x = 0; x < b->w; ++x) {
            uint32_t v;
            if (b->mono) v = ((row[x / 8] >> (7 - x % 8)) & 1) ? 0xFFFFFFFFu : 0xFF000000u;
            else v = 0xFF000000u | (uint32_t(row[4 * x + 2]) << 16) | (uint32_t(row[4 * x + 1]) << 8) | row[4 * x];
            px[size_t(y) * size_t(stride) + size_t(x)] = v;
        }
    }
    cairo_surface_mark_dirty(b->surface);
    return DWORD(rowBytes * size_t(rows));
}

DWORD CBitmap::GetBitmapBits(DWORD dwCount, LPVOID lpBits) const
{
    if (!lpBits || !IsLive(m_hObject) || m_hObject->pvType != OBJ_BITMAP) return 0;
    auto* b = static_cast<BitmapObj*>(m_hObject);
    cairo_surface_flush(b->surface);
    const auto* px = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(b->surface));
    const int stride = cairo_image_surface_get_stride(b->surface) / 4;
    auto* out = static_cast<BYTE*>(lpBits);
    const size_t rowBytes = b->mono ? ((size_t(b->w) + 15) / 16) * 2 : size_t(b->w) * 4;
    const int rows = int(std::min<size_t>(size_t(b->h), dwCount / rowBytes));
    std::memset(out, 0, rowBytes * size_t(rows));
    for (int y = 0; y < rows; ++y) {
        BYTE* row = out + rowBytes * size_t(y);
        for (int x = 0; x < b->w; ++x) {
            const uint32_t v = px[size_t(y) * size_t(stride) + size_t(x)];
            if (b->mono) {
                if (v & 0xFFFFFF) row[x / 8] |= BYTE(0x80 >> (x % 8));
            } else {
                row[4 * x] = BYTE(v);
                row[4 * x + 1] = BYTE(v >> 8);
                row[4 * x + 2] = BYTE(v >> 16);
                row[4 * x + 3] = 0;
            }
        }
    }
    return DWORD(rowBytes * size_t(rows));
}
