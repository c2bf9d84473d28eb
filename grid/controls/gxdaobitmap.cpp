#include "grid/controls/gxdaobitmap.h"

#include <cstring>
#include <vector>

#include "grid/core/gxdib.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxuattr.h"
#include "platform/gdi/dcguard.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/globalmem.h"

const CGXControlClass CGXDaoBitmap::classCGXDaoBitmap = {"CGXDaoBitmap", &CGXStatic::classCGXStatic};

namespace {

constexpr WORD kDaoBitmapAttr = 52794;  // "Dao bitmap user attribute"
constexpr size_t kFileHeader = 14;

}  // namespace

HGLOBAL BitmapFromFieldValue(const VARIANT& var, BOOL bKeepHeader)
{
    if (var.vt != (VT_ARRAY | VT_UI1))
        return nullptr;
    COleVariant copy;
    copy = var;
    std::vector<BYTE> bytes;
    if (!copy.GetByteArray(bytes))
        return nullptr;
    size_t nStart = bytes.size();
    for (size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 'B' && bytes[i + 1] == 'M') {
            nStart = i;
            break;
        }
    // The signature must be followed by the rest of the file header and an info header.
    if (nStart >= bytes.size() || bytes.size() - nStart < kFileHeader + sizeof(BITMAPINFOHEADER))
        return nullptr;
    const size_t nFrom = nStart + (bKeepHeader ? 0 : kFileHeader);
    const size_t nBytes = bytes.size() - nFrom;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, nBytes);
    if (!h)
        return nullptr;
    if (void* p = GlobalLock(h)) {
        std::memcpy(p, bytes.data() + nFrom, nBytes);
        GlobalUnlock(h);
    }
    if (!bKeepHeader) {
        LONG cx = 0, cy = 0;
        DWORD nColors = 0;
        if (!GXInspectDIB(h, cx, cy, nColors)) {
            GlobalFree(h);
            return nullptr;
        }
    }
    return h;
}

HGLOBAL DrawFieldBitmap(CDC* pDC, const VARIANT& var, const CRect& rect, UINT, UINT nAlign, const CRect* pClip,
                        HGLOBAL hBlock, BOOL bFree)
{
    if (!hBlock)
        hBlock = BitmapFromFieldValue(var, FALSE);
    if (!hBlock)
        return nullptr;
    if (pDC) {
        CDCClipGuard clip(pDC);
        if (pClip)
            pDC->IntersectClipRect(pClip);
        DrawDIB(pDC->GetSafeHdc(), hBlock, rect, 0, nAlign);
    }
    if (bFree) {
        GlobalFree(hBlock);
        return nullptr;
    }
    return hBlock;
}

void CGXDaoBitmap::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                        const CGXStyle* pStandardStyle)
{
    if (!pDC)
        return;
    const auto* pAttr = style.HasUserAttribute(kDaoBitmapAttr)
                            ? dynamic_cast<const CGXOleVarUserAttribute*>(&style.GetUserAttribute(kDaoBitmapAttr))
                            : nullptr;
    const VARIANT* pVar = pAttr ? pAttr->GetVariant() : nullptr;
    if (!pVar) {
        CGXStatic::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
        return;
    }
    Draw3dBackground(pDC, rect, style);
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return;
    const CRect inner = CGXControl::ComputeInnerRect(nRow, nCol, &rect, &style);
    UINT nAlign = 0;
    if (style.GetIncludeHorizontalAlignment())
        nAlign |= style.GetHorizontalAlignment() & 3;
    if (style.GetIncludeVerticalAlignment())
        nAlign |= style.GetVerticalAlignment() & 12;
    HGLOBAL hKept = m_pGrid->GetKeptCellBitmap(nRow, nCol);
    HGLOBAL hBlock = DrawFieldBitmap(pDC, *pVar, inner, 0, nAlign, &rect, hKept, FALSE);
    if (hBlock && hBlock != hKept && !m_pGrid->OfferCellBitmap(nRow, nCol, hBlock))
        GlobalFree(hBlock);
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}
