#pragma once
// The row header cells of the record grids: a marker for the current record, another for the
// record being edited and one for the append row.

#include "grid/core/gxctrl.h"

class CBitmap;

// Our pictures of the three markers (light grey is their transparent colour).
enum : UINT { GX_IDB_ROWHDR_EDITING = 20020, GX_IDB_ROWHDR_APPEND = 20021, GX_IDB_ROWHDR_CURRENT = 20022 };
constexpr COLORREF GX_ROWHDR_TRANSPARENT = RGB(0xC0, 0xC0, 0xC0);

class CGXBrowseGridArrowRowHeader : public CGXControl {
public:
    explicit CGXBrowseGridArrowRowHeader(CGXGridCore* pGrid);
    ~CGXBrowseGridArrowRowHeader() override;

    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;

    // FALSE: the drawing service draws the header's frame; TRUE: DrawEdge does.
    BOOL m_bDrawEdge = FALSE;

private:
    // Shared by every row header of the process: the pictures never change.
    CBitmap* m_pEditing;
    CBitmap* m_pAppend;
    CBitmap* m_pCurrent;
};

// The picture of a marker resource: through the program's bitmap loader when it has one,
// else our own drawing. FALSE for another id.
BOOL GXLoadRowHeaderBitmap(UINT nID, CBitmap& bitmap);
