#pragma once
// CGXDaoBitmap: a bitmap stored in a binary field of a record grid, drawn in its cell; cells
// without one draw as static text.

#include "grid/controls/gxstatic.h"
#include "platform/sys/ole.h"

class CGXDaoBitmap : public CGXStatic {
public:
    explicit CGXDaoBitmap(CGXGridCore* pGrid) : CGXStatic(pGrid) {}

    static const CGXControlClass classCGXDaoBitmap;
    const CGXControlClass* GetControlClass() const override { return &classCGXDaoBitmap; }
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
};

// The bitmap in a field's bytes (VT_ARRAY | VT_UI1) as a new movable block: from the first
// "BM" on, without its 14-byte file header unless bKeepHeader. Null when the value holds no
// whole bitmap (no signature, no room for the file and info headers after it, or less data
// than the header describes).
HGLOBAL BitmapFromFieldValue(const VARIANT& var, BOOL bKeepHeader = FALSE);
// Draws a field's bitmap (hBlock, or one made from the value) into rect with the alignment
// flags (1 centre, 2 right; 4 centre, 8 bottom); frees the block when bFree and returns it
// otherwise. Null when there is no bitmap.
HGLOBAL DrawFieldBitmap(CDC* pDC, const VARIANT& var, const CRect& rect, UINT nFlags, UINT nAlign,
                        const CRect* pClip = nullptr, HGLOBAL hBlock = nullptr, BOOL bFree = FALSE);
