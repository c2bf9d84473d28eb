#pragma once
// Image lists: equal-sized images with transparency, drawn by index, stored in archives in a
// format of our own ("PVIL", version 1, then the pixels).

#include "platform/base/CArchive.h"
#include "platform/controls/ctldefs.h"
#include "platform/gdi/gdi.h"

#include <cstdint>
#include <vector>

// The handle's record: each image is cx * cy pixels of 0xAARRGGBB, alpha 0 or 255.
struct _IMAGELIST {
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
    int grow = 4;
    COLORREF bk = CLR_NONE;
    std::vector<std::vector<uint32_t>> images;
};

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow);
BOOL ImageList_Destroy(HIMAGELIST himl);
int ImageList_GetImageCount(HIMAGELIST himl);
// Splits a bitmap as wide as several images into them; pixels equal to crMask (or set in the
// monochrome mask) are transparent. Answers the index of the first image added, or -1.
int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask);
int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask);
BOOL ImageList_Remove(HIMAGELIST himl, int i);
BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle);
BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk);
COLORREF ImageList_GetBkColor(HIMAGELIST himl);

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;

    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    static CImageList* FromHandle(HIMAGELIST h);
    BOOL Attach(HIMAGELIST hImageList);
    HIMAGELIST Detach();
    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    // A strip from the bitmap resource, cut into images cx wide.
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL DeleteImageList();
    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
    int Add(CBitmap* pbmImage, CBitmap* pbmMask);
    int Add(CBitmap* pbmImage, COLORREF crMask);
    BOOL Remove(int nImage) { return ImageList_Remove(m_hImageList, nImage); }
    BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle);
    COLORREF SetBkColor(COLORREF cr) { return ImageList_SetBkColor(m_hImageList, cr); }
    COLORREF GetBkColor() const { return ImageList_GetBkColor(m_hImageList); }
    BOOL GetIconSize(int* cx, int* cy) const { return ImageList_GetIconSize(m_hImageList, cx, cy); }
    // Archive forms. Read answers FALSE (and leaves the list empty) for anything that is not a
    // whole, sane image list.
    BOOL Read(CArchive* pArchive);
    BOOL Write(CArchive* pArchive);
};

// Writes an image list file (as the outline's "TreeList.bma") from a strip image file
// (PNG, BMP, ...) of images cx by cy; pixels of crMask are transparent.
BOOL PvWriteImageListFile(LPCTSTR lpszPath, LPCTSTR lpszStripImage, int cx, int cy, COLORREF crMask);
