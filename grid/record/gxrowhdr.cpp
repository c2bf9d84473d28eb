#include "grid/record/gxrowhdr.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstyle.h"
#include "grid/record/gxbrowse.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdiobj.h"
#include "platform/sys/system.h"

namespace {

// Each marker as rows of characters: '.' transparent, 'K' black, 'Y' yellow, 'N' navy, 'W' white.
struct MarkerPicture {
    UINT nID;
    const char* rows[9];
};

const MarkerPicture kMarkers[] = {
    {GX_IDB_ROWHDR_CURRENT,
     {"K.......", "KK......", "KKK.....", "KKKK....", "KKKKK...", "KKKK....", "KKK.....", "KK......", "K......."}},
    {GX_IDB_ROWHDR_EDITING,
     {".....KK.", "....KYK.", "...KYK..", "..KYK...", ".KYK....", "KWK.....", "KK......", "K.......", "........"}},
    {GX_IDB_ROWHDR_APPEND,
     {"...N....", ".N.N.N..", "..NNN...", "NNNNNNN.", "..NNN...", ".N.N.N..", "...N....", "........", "........"}},
};

constexpr int kMarkerWidth = 8;
constexpr int kMarkerHeight = 9;

uint32_t PixelOf(char c)
{
    // 32-bit bitmap pixels are 0x00RRGGBB.
    switch (c) {
    case 'K': return 0x000000;
    case 'Y': return 0xFFFF00;
    case 'N': return 0x000080;
    case 'W': return 0xFFFFFF;
    default: return 0xC0C0C0;
    }
}

// Made once: every record grid has a row header, and each of them draws the same three pictures.
CBitmap* SharedMarker(UINT nID)
{
    // Never destroyed: a row header of a static grid may draw after it would be.
    static auto* s_markers = new std::map<UINT, std::unique_ptr<CBitmap>>;
    auto it = s_markers->find(nID);
    if (it == s_markers->end()) {
        auto p = std::make_unique<CBitmap>();
        if (!GXLoadRowHeaderBitmap(nID, *p))
            p.reset();
        it = s_markers->emplace(nID, std::move(p)).first;
    }
    return it->second.get();
}

}  // namespace

BOOL GXLoadRowHeaderBitmap(UINT nID, CBitmap& bitmap)
{
    for (const MarkerPicture& m : kMarkers) {
        if (m.nID != nID)
            continue;
        if (bitmap.LoadBitmap(nID))
            return TRUE;
        std::vector<uint32_t> pixels;
        pixels.reserve(kMarkerWidth * kMarkerHeight);
        for (const char* row : m.rows)
            for (int x = 0; x < kMarkerWidth; ++x)
                pixels.push_back(PixelOf(row[x]));
        return bitmap.CreateBitmap(kMarkerWidth, kMarkerHeight, 1, 32, pixels.data());
    }
    return FALSE;
}

CGXBrowseGridArrowRowHeader::CGXBrowseGridArrowRowHeader(CGXGridCore* pGrid)
    : CGXControl(pGrid),
      m_pEditing(SharedMarker(GX_IDB_ROWHDR_EDITING)),
      m_pAppend(SharedMarker(GX_IDB_ROWHDR_APPEND)),
      m_pCurrent(SharedMarker(GX_IDB_ROWHDR_CURRENT))
{
}

CGXBrowseGridArrowRowHeader::~CGXBrowseGridArrowRowHeader() = default;

void CGXBrowseGridArrowRowHeader::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                                       const CGXStyle* pStandardStyle)
{
    auto* pGrid = dynamic_cast<CGXBrowserGrid*>(GetGrid());
    // Paper gets no row markers.
    if (!pGrid || pGrid->IsPrinting())
        return;
    ROWCOL nCurRow = 0, nCurCol = 0;
    const BOOL bCurrent = nRow != 0 && pGrid->QueryCurrentCell(nCurRow, nCurCol) && nCurRow == nRow;
    const CGXBrowseParam* pParam = pGrid->BrowseParam();
    const BOOL bEditing = pParam && pParam->m_nEditMode != gxNoEdit;
    BOOL bAppend = FALSE;
    if (pGrid->CanAppend()) {
        const ROWCOL nAppend = pGrid->AppendRowNumber();
        bAppend = nAppend != CGXGridCore::GX_INVALID && (nRow == nAppend || (bEditing && nRow == nAppend + 1));
    }

    Draw3dBackground(pDC, rect, style);
    const CGXProperties* pProps = pGrid->GetProperties();
    if (pProps && pProps->GetDisplay3dButtons()
        && (style.GetIncludeDraw3dFrame() || style.GetDraw3dFrame() == gxFrameNone)) {
        if (m_bDrawEdge) {
            CRect r = rect;
            pDC->DrawEdge(&r, EDGE_RAISED, BF_RECT);
        } else {
            GetDrawingAndFormatting()->Draw3dFrame(pDC, rect.left, rect.top, rect.right - 1, rect.bottom - 1, 1,
                                                   ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
        }
    }

    CBitmap* pBitmap = nullptr;
    if (bCurrent && bEditing)
        pBitmap = m_pEditing;
    else if (bAppend)
        pBitmap = m_pAppend;
    else if (bCurrent)
        pBitmap = m_pCurrent;
    if (pBitmap) {
        BITMAP bm {};
        pBitmap->GetBitmap(&bm);
        CSize size(bm.bmWidth, bm.bmHeight);
        pDC->DPtoLP(&size);
        if (size.cx <= rect.Width() && size.cy <= rect.Height()) {
            const int x = rect.left + std::max<int>(1, (rect.Width() - size.cx) / 2);
            const int y = rect.top + std::max<int>(1, (rect.Height() - size.cy) / 2);
            DrawTransparentBitmap(pDC, pBitmap, x, y, GX_ROWHDR_TRANSPARENT);
        }
    }
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}
