// Image lists and their archive form.

#include "platform/controls/imagelist.h"

#include "platform/base/CFile.h"
#include "platform/base/exceptions.h"
#include "platform/sys/system.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

static const int kMaxSide = 256;
static const DWORD kMaxImages = 4096;

static bool live(HIMAGELIST h) { return h != nullptr; }

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow)
{
    if (cx <= 0 || cy <= 0 || cx > kMaxSide || cy > kMaxSide) return nullptr;
    auto* h = new _IMAGELIST;
    h->cx = cx;
    h->cy = cy;
    h->flags = flags;
    h->grow = std::max(1, cGrow);
    h->images.reserve(size_t(std::clamp(cInitial, 0, int(kMaxImages))));
    return h;
}

BOOL ImageList_Destroy(HIMAGELIST h)
{
    if (!live(h)) return FALSE;
    delete h;
    return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST h) { return live(h) ? int(h->images.size()) : 0; }

static int addBitmap(HIMAGELIST h, HBITMAP hbm, HBITMAP hbmMask, bool useColour, COLORREF crMask)
{
    if (!live(h) || !hbm) return -1;
    CBitmap* bm = CBitmap::FromHandle(hbm);
    BITMAP info {};
    if (!bm || !bm->GetBitmap(&info) || info.bmWidth < h->cx || info.bmHeight <= 0) return -1;
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CBitmap* old = mem.SelectObject(bm);
    CDC maskDC;
    CBitmap* oldMask = nullptr;
    bool haveMask = hbmMask && (h->flags & ILC_MASK);
    if (haveMask) {
        maskDC.CreateCompatibleDC(nullptr);
        oldMask = maskDC.SelectObject(CBitmap::FromHandle(hbmMask));
    }
    int n = info.bmWidth / h->cx;
    int first = int(h->images.size());
    for (int k = 0; k < n && h->images.size() < kMaxImages; ++k) {
        std::vector<uint32_t> px(size_t(h->cx) * size_t(h->cy), 0);
        for (int y = 0; y < h->cy && y < info.bmHeight; ++y) {
            for (int x = 0; x < h->cx; ++x) {
                COLORREF c = mem.GetPixel(k * h->cx + x, y);
                bool clear = (useColour && c == crMask) || (haveMask && maskDC.GetPixel(k * h->cx + x, y) != RGB(0, 0, 0));
                if (!clear)
                    px[size_t(y) * size_t(h->cx) + size_t(x)] =
                        0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
            }
        }
        h->images.push_back(std::move(px));
    }
    if (haveMask) maskDC.SelectObject(oldMask);
    mem.SelectObject(old);
    return n > 0 ? first : -1;
}

int ImageList_Add(HIMAGELIST h, HBITMAP hbm, HBITMAP hbmMask) { return addBitmap(h, hbm, hbmMask, false, 0); }

int ImageList_AddMasked(HIMAGELIST h, HBITMAP hbm, COLORREF crMask) { return addBitmap(h, hbm, nullptr, true, crMask); }

BOOL ImageList_Remove(HIMAGELIST h, int i)
{
    if (!live(h)) return FALSE;
    if (i == -1) { h->images.clear(); return TRUE; }
    if (i < 0 || i >= int(h->images.size())) return FALSE;
    h->images.erase(h->images.begin() + i);
    return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST h, int i, HDC hdc, int x, int y, UINT style)
{
    if (!live(h) || i < 0 || i >= int(h->images.size())) return FALSE;
    CDC* dc = CDC::FromHandle(hdc);
    if (!dc) return FALSE;
    const std::vector<uint32_t>& px = h->images[size_t(i)];
    bool blend = (style & (ILD_BLEND25 | ILD_BLEND50)) != 0;
    COLORREF hi = GetSysColor(COLOR_HIGHLIGHT);
    bool fillBk = h->bk != CLR_NONE && !(style & ILD_TRANSPARENT);
    for (int py = 0; py < h->cy; ++py) {
        for (int pxl = 0; pxl < h->cx; ++pxl) {
            uint32_t v = px[size_t(py) * size_t(h->cx) + size_t(pxl)];
            if (style & ILD_MASK) {
                dc->SetPixelV(x + pxl, y + py, (v >> 24) ? RGB(0, 0, 0) : RGB(255, 255, 255));
                continue;
            }
            if (!(v >> 24)) {
                if (fillBk) dc->SetPixelV(x + pxl, y + py, h->bk);
                continue;
            }
            int r = int((v >> 16) & 0xFF), g = int((v >> 8) & 0xFF), b = int(v & 0xFF);
            if (blend) {
                r = (r + GetRValue(hi)) / 2;
                g = (g + GetGValue(hi)) / 2;
                b = (b + GetBValue(hi)) / 2;
            }
            dc->SetPixelV(x + pxl, y + py, RGB(r, g, b));
        }
    }
    return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST h, int* cx, int* cy)
{
    if (!live(h)) return FALSE;
    if (cx) *cx = h->cx;
    if (cy) *cy = h->cy;
    return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST h, COLORREF c)
{
    if (!live(h)) return CLR_NONE;
    COLORREF old = h->bk;
    h->bk = c;
    return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST h) { return live(h) ? h->bk : CLR_NONE; }

// ---- CImageList ----
static std::map<HIMAGELIST, CImageList*>& tempMap()
{
    static std::map<HIMAGELIST, CImageList*> m;
    return m;
}

CImageList* CImageList::FromHandle(HIMAGELIST h)
{
    if (!h) return nullptr;
    auto& m = tempMap();
    auto it = m.find(h);
    if (it != m.end()) return it->second;
    // A lasting wrapper that does not own the handle.
    auto* p = new CImageList;
    p->m_hImageList = h;
    m[h] = p;
    return p;
}

BOOL CImageList::Attach(HIMAGELIST h)
{
    if (!h || m_hImageList) return FALSE;
    m_hImageList = h;
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST h = m_hImageList;
    m_hImageList = nullptr;
    return h;
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
{
    DeleteImageList();
    m_hImageList = ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
    return m_hImageList != nullptr;
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    CBitmap bm;
    if (!bm.LoadBitmap(nBitmapID)) return FALSE;
    BITMAP info {};
    bm.GetBitmap(&info);
    if (!Create(cx, info.bmHeight, ILC_COLOR24 | (crMask != CLR_NONE ? ILC_MASK : 0), 0, nGrow)) return FALSE;
    return (crMask != CLR_NONE ? Add(&bm, crMask) : Add(&bm, static_cast<CBitmap*>(nullptr))) >= 0;
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList) return FALSE;
    auto& m = tempMap();
    auto it = m.find(m_hImageList);
    if (it != m.end()) {
        CImageList* temp = it->second;
        m.erase(it);
        temp->m_hImageList = nullptr;   // the temporary wrapper never owned the handle
        if (temp != this) delete temp;
    }
    ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return TRUE;
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask)
{
    return ImageList_Add(m_hImageList, pbmImage ? static_cast<HBITMAP>(*pbmImage) : nullptr,
                         pbmMask ? static_cast<HBITMAP>(*pbmMask) : nullptr);
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask)
{
    return ImageList_AddMasked(m_hImageList, pbmImage ? static_cast<HBITMAP>(*pbmImage) : nullptr, crMask);
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle)
{
    return pDC && ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle);
}

static const char kMagic[4] = {'P', 'V', 'I', 'L'};

BOOL CImageList::Write(CArchive* ar)
{
    if (!ar || !m_hImageList) return FALSE;
    const _IMAGELIST& il = *m_hImageList;
    ar->Write(kMagic, 4);
    *ar << WORD(1) << WORD(il.cx) << WORD(il.cy) << DWORD(il.flags) << DWORD(il.bk) << DWORD(il.images.size());
    std::vector<BYTE> buf;
    for (const auto& img : il.images) {
        buf.clear();
        for (uint32_t v : img) buf.insert(buf.end(), {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)});
        ar->Write(buf.data(), UINT(buf.size()));
    }
    return TRUE;
}

BOOL CImageList::Read(CArchive* ar)
{
    DeleteImageList();
    if (!ar) return FALSE;
    try {
        char magic[4];
        ar->EnsureRead(magic, 4);
        if (memcmp(magic, kMagic, 4) != 0) return FALSE;
        WORD version = 0, cx = 0, cy = 0;
        DWORD flags = 0, bk = 0, count = 0;
        *ar >> version >> cx >> cy >> flags >> bk >> count;
        if (version != 1 || cx == 0 || cy == 0 || cx > kMaxSide || cy > kMaxSide || count > kMaxImages) return FALSE;
        std::unique_ptr<_IMAGELIST> h(ImageList_Create(cx, cy, flags, 0, 4));
        if (!h) return FALSE;
        h->bk = bk;
        std::vector<BYTE> buf(size_t(cx) * cy * 4);
        for (DWORD i = 0; i < count; ++i) {
            ar->EnsureRead(buf.data(), UINT(buf.size()));
            std::vector<uint32_t> img(size_t(cx) * cy);
            for (size_t k = 0; k < img.size(); ++k) {
                uint32_t v = uint32_t(buf[k * 4]) | (uint32_t(buf[k * 4 + 1]) << 8) | (uint32_t(buf[k * 4 + 2]) << 16);
                // Alpha is all or nothing: anything else is read as opaque.
                if (buf[k * 4 + 3]) v |= 0xFF000000u;
                img[k] = v;
            }
            h->images.push_back(std::move(img));
        }
        m_hImageList = h.release();
        return TRUE;
    } catch (CArchiveException&) {
        DeleteImageList();
        return FALSE;
    }
}

BOOL PvWriteImageListFile(LPCTSTR path, LPCTSTR strip, int cx, int cy, COLORREF crMask)
{
    CBitmap bm;
    if (!path || !strip || !bm.PvLoadImageFile(strip)) return FALSE;
    CImageList il;
    if (!il.Create(cx, cy, ILC_COLOR24 | ILC_MASK, 0, 4) || il.Add(&bm, crMask) < 0) return FALSE;
    try {
        CFile f;
        if (!f.Open(path, CFile::modeCreate | CFile::modeWrite)) return FALSE;
        CArchive ar(&f, CArchive::store);
        il.Write(&ar);
        ar.Close();
        f.Close();
        return TRUE;
    } catch (CException&) {
        return FALSE;
    }
}
