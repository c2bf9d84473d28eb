// The fonts of the drawing: one CFont per packed font at the grid's zoom, made on first use and
// kept until the zoom, the styles or the device change, because every drawn cell selects one.

#include "grid/core/gxgrid.h"
#include "platform/gdi/gdiobj.h"
#include "platform/gdi/gdi.h"

namespace {

// The font's two words as one key; the lowest bit only says whether its face data is shared.
uint64_t FontKey(const CGXFont& font) { return ((uint64_t(font.GetWord2()) << 32) | font.GetWord1()) >> 1; }

}  // namespace

CFont* CGXGridCore::LookupFont(const CGXFont& font)
{
    const uint64_t key = FontKey(font);
    auto it = m_fontCache.find(key);
    if (it != m_fontCache.end())
        return it->second.get();
    auto pFont = std::make_unique<CFont>();
    const LOGFONT lf = font.GetLogFontZoomed(ZoomPercent());
    if (!pFont->CreateFontIndirect(&lf))
        return nullptr;
    CFont* p = pFont.get();
    m_fontCache.emplace(key, std::move(pFont));
    return p;
}

CFont* CGXGridCore::SelectStyleFont(CDC* pDC, const CGXStyle& style, const CGXStyle* pStandardStyle)
{
    if (!pDC)
        return nullptr;
    const CGXStyle* pSource = &style;
    if (!style.GetIncludeFont()) {
        if (!pStandardStyle)
            pStandardStyle = LookupStandardStyle();
        if (pStandardStyle && pStandardStyle->GetIncludeFont())
            pSource = pStandardStyle;
    }
    CFont* pFont = LookupFont(pSource->GetFont());
    return pFont ? pDC->SelectObject(pFont) : nullptr;
}

void CGXGridCore::FreeFontCache()
{
    if (m_nDrawingNesting == 0)
        m_fontCache.clear();
}
