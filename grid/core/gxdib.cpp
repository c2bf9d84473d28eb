#include "grid/core/gxdib.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/sys/globalmem.h"

IMPLEMENT_DYNAMIC(CGXDIB, CObject)
IMPLEMENT_DYNAMIC(CGXDIBPool, CObject)

namespace {
constexpr const char kKeyPrefix[] = "#BMP(";

struct LockedDIB {
    HGLOBAL h;
    const BYTE* p;
    size_t n;
    explicit LockedDIB(HGLOBAL hDIB) : h(hDIB), p(static_cast<const BYTE*>(hDIB ? GlobalLock(hDIB) : nullptr)),
                                       n(p ? GlobalSize(hDIB) : 0) {}
    ~LockedDIB() { if (p) GlobalUnlock(h); }
};

// Validates the header against the block; gives the offset of the bits.
bool ReadHeader(const LockedDIB& dib, BITMAPINFOHEADER& bih, DWORD& nColors, size_t& offBits)
{
    if (!dib.p || dib.n < sizeof(BITMAPINFOHEADER))
        return false;
    std::memcpy(&bih, dib.p, sizeof(bih));
    if (bih.biSize < sizeof(BITMAPINFOHEADER) || bih.biSize > dib.n || bih.biWidth <= 0 || bih.biHeight == 0
        || bih.biHeight == INT32_MIN || bih.biWidth > 0x8000 || std::abs(bih.biHeight) > 0x8000)
        return false;
    nColors = bih.biClrUsed ? bih.biClrUsed : (bih.biBitCount <= 8 ? 1u << bih.biBitCount : 0);
    if (nColors > 256)
        return false;
    offBits = size_t(bih.biSize) + size_t(nColors) * sizeof(RGBQUAD);
    const size_t stride = ((size_t(bih.biWidth) * bih.biBitCount + 31) / 32) * 4;
    return bih.biCompression == BI_RGB && offBits + stride * size_t(std::abs(bih.biHeight)) <= dib.n;
}
} // namespace

BOOL GXInspectDIB(HGLOBAL hDIB, LONG& nWidth, LONG& nHeight, DWORD& nColors)
{
    LockedDIB dib(hDIB);
    BITMAPINFOHEADER bih;
    size_t off;
    if (!ReadHeader(dib, bih, nColors, off))
        return FALSE;
    nWidth = bih.biWidth;
    nHeight = std::abs(bih.biHeight);
    return TRUE;
}

// ---- one picture ----

CGXDIB::~CGXDIB()
{
    if (m_hDIB && m_bOwned)
        GlobalFree(m_hDIB);
}

BOOL CGXDIB::Attach(HGLOBAL hDIB)
{
    if (m_hDIB && m_bOwned)
        GlobalFree(m_hDIB);
    m_hDIB = nullptr;
    m_nWidth = m_nHeight = 0;
    m_nColors = 0;
    if (!hDIB || !GXInspectDIB(hDIB, m_nWidth, m_nHeight, m_nColors))
        return FALSE;
    m_hDIB = hDIB;
    return TRUE;
}

HGLOBAL CGXDIB::Detach()
{
    HGLOBAL h = m_hDIB;
    m_hDIB = nullptr;
    return h;
}

// ---- pool ----

CGXDIBPool* CGXDIBPool::GetPool()
{
    static CGXDIBPool s_pool;
    return &s_pool;
}

UINT CGXDIBPool::ParseKey(LPCTSTR pszKey, CString& sName) const
{
    sName.Empty();
    if (!pszKey || std::strncmp(pszKey, kKeyPrefix, sizeof(kKeyPrefix) - 1) != 0)
        return 0;
    const char* p = pszKey + sizeof(kKeyPrefix) - 1;
    if (*p == '"') {
        const char* end = std::strchr(p + 1, '"');
        if (!end || end == p + 1)
            return 0;
        sName = CString(p + 1, int(end - p - 1));
        return UINT(-1);
    }
    unsigned long long n = 0;
    const char* q = p;
    while (*q >= '0' && *q <= '9' && n <= 0xFFFFFFFF)
        n = n * 10 + unsigned(*q++ - '0');
    if (q == p || n == 0 || n > 0xFFFF)
        return 0;
    sName.Format("#%u", unsigned(n));
    return UINT(n);
}

CString CGXDIBPool::MakeNumberKey(UINT nNumber) const
{
    CString s;
    s.Format("%s%u)", kKeyPrefix, nNumber);
    return s;
}

CString CGXDIBPool::MakeNamedKey(UINT nNumber) const
{
    CString s;
    s.Format("%s%c%u%c)", kKeyPrefix, '"', nNumber, '"');
    return s;
}

HGLOBAL CGXDIBPool::LoadDIB(UINT nResourceId, LPCTSTR pszName)
{
    CBitmap bmp;
    const BOOL ok = nResourceId != UINT(-1) ? bmp.LoadBitmap(nResourceId) : bmp.LoadBitmap(pszName);
    BITMAP bm {};
    if (!ok || !bmp.GetBitmap(&bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0 || bm.bmWidth > 0x8000 || bm.bmHeight > 0x8000)
        return nullptr;
    const size_t srcStride = size_t(bm.bmWidthBytes);
    std::vector<BYTE> src(srcStride * size_t(bm.bmHeight));
    if (bmp.GetBitmapBits(DWORD(src.size()), src.data()) != src.size())
        return nullptr;
    // A 32-bit top-down DIB of the pixels.
    const size_t w = size_t(bm.bmWidth), h = size_t(bm.bmHeight);
    HGLOBAL hDIB = GlobalAlloc(GHND, sizeof(BITMAPINFOHEADER) + w * h * 4);
    if (!hDIB)
        return nullptr;
    BYTE* p = static_cast<BYTE*>(GlobalLock(hDIB));
    BITMAPINFOHEADER bih {};
    bih.biSize = sizeof(bih);
    bih.biWidth = LONG(w);
    bih.biHeight = -LONG(h);
    bih.biPlanes = 1;
    bih.biBitCount = 32;
    bih.biCompression = BI_RGB;
    std::memcpy(p, &bih, sizeof(bih));
    BYTE* bits = p + sizeof(bih);
    for (size_t y = 0; y < h; y++) {
        const BYTE* row = src.data() + y * srcStride;
        for (size_t x = 0; x < w; x++) {
            BYTE* px = bits + (y * w + x) * 4;
            if (bm.bmBitsPixel == 32) {
                std::memcpy(px, row + x * 4, 3);
            } else if (bm.bmBitsPixel == 24) {
                std::memcpy(px, row + x * 3, 3);
            } else {
                const BYTE v = (row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
                px[0] = px[1] = px[2] = v;
            }
        }
    }
    GlobalUnlock(hDIB);
    return hDIB;
}

HGLOBAL CGXDIBPool::GetDIB(LPCTSTR pszKey)
{
    CString name;
    const UINT id = ParseKey(pszKey, name);
    if (id == 0)
        return nullptr;
    auto it = m_dibs.find(name);
    if (it != m_dibs.end())
        return it->second;
    HGLOBAL h = LoadDIB(id, name);
    if (h)
        m_dibs[name] = h;
    return h;
}

void CGXDIBPool::RemoveAll()
{
    for (auto& [name, h] : m_dibs)
        GlobalFree(h);
    m_dibs.clear();
}

// ---- drawing ----

void GXPlaceDIB(const RECT& rc, LONG sw, LONG sh, int nMode, UINT nFlags, RECT& rcDraw, RECT& rcSource)
{
    const LONG dw = std::max<LONG>(0, rc.right - rc.left), dh = std::max<LONG>(0, rc.bottom - rc.top);
    LONG w = sw, h = sh;
    rcSource = RECT {0, 0, sw, sh};
    if (nMode == 1) {
        rcDraw = rc;
        return;
    }
    if (nMode == 2) {
        const long long fx = sw ? (long long)dw * 1000 / sw : 0, fy = sh ? (long long)dh * 1000 / sh : 0;
        const long long f = std::min(fx, fy);
        w = LONG((long long)sw * f / 1000);
        h = LONG((long long)sh * f / 1000);
    } else {
        w = std::min(sw, dw);
        h = std::min(sh, dh);
        rcSource.right = w;
        rcSource.bottom = h;
    }
    LONG x = rc.left, y = rc.top;
    if (nFlags & 1)
        x += (dw - w) / 2;
    else if (nFlags & 2)
        x += dw - w;
    if (nFlags & 4)
        y += (dh - h) / 2;
    else if (nFlags & 8)
        y += dh - h;
    rcDraw = RECT {x, y, x + w, y + h};
}

BOOL DrawDIB(HDC hdc, HGLOBAL hDIB, const RECT& rcDest, int nMode, UINT nFlags, const RECT* pSource)
{
    LockedDIB dib(hDIB);
    BITMAPINFOHEADER bih;
    DWORD nColors;
    size_t off;
    if (!hdc || !ReadHeader(dib, bih, nColors, off))
        return FALSE;
    RECT src = {0, 0, bih.biWidth, std::abs(bih.biHeight)};
    if (pSource) {
        src.left = std::clamp<LONG>(pSource->left, 0, src.right);
        src.top = std::clamp<LONG>(pSource->top, 0, src.bottom);
        src.right = std::clamp<LONG>(pSource->right, src.left, src.right);
        src.bottom = std::clamp<LONG>(pSource->bottom, src.top, src.bottom);
    }
    RECT draw, part;
    GXPlaceDIB(rcDest, src.right - src.left, src.bottom - src.top, nMode, nFlags, draw, part);
    return StretchDIBits(hdc, draw.left, draw.top, draw.right - draw.left, draw.bottom - draw.top, src.left + part.left,
                         src.top + part.top, part.right - part.left, part.bottom - part.top, dib.p + off,
                         reinterpret_cast<const BITMAPINFO*>(dib.p), DIB_RGB_COLORS, SRCCOPY) != 0;
}
