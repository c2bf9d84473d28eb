#include "grid/core/gxcolor.h"

#include "grid/core/gxstate.h"
#include "platform/sys/system.h"

void GXPackColor(COLORREF value, DWORD& field, DWORD& kind)
{
    const DWORD t = value >> 24;
    if (t > 0x40 && t <= 0xFE) {
        kind = gxColorSystem;
        field = 0xFE - t;
    } else {
        kind = t & 3;
        field = value & 0xFFFFFF;
    }
}

COLORREF GXResolveColor(DWORD field, DWORD kind)
{
    if (kind == gxColorSystem)
        return GXGetAppData()->m_sysColors.LookupColor(field);
    return (field & 0xFFFFFF) | (kind << 24);
}

COLORREF GXPackedColorValue(DWORD field, DWORD kind)
{
    if (kind != gxColorSystem)
        return (field & 0xFFFFFF) | (kind << 24);
    const COLORREF rgb = GXGetAppData()->m_sysColors.LookupColor(field) & 0xFFFFFF;
    // A system number the 32-bit form cannot name (only from damaged input) becomes its
    // drawn colour rather than a top byte that would read back as something else.
    if (field > GX_MAX_PACKED_SYSCOLOR)
        return rgb;
    return rgb | ((0xFE - field) << 24);
}

COLORREF GXPackedColorRef(DWORD field, DWORD kind)
{
    if (kind != gxColorSystem)
        return (field & 0xFFFFFF) | (kind << 24);
    if (field > GX_MAX_PACKED_SYSCOLOR)
        return GXResolveColor(field, kind) & 0xFFFFFF;
    return (0xFE - field) << 24;
}

void CGXSysColorCache::Refresh()
{
    for (int i = 0; i < nCachedColors; i++)
        m_colors[i] = GetSysColor(i);
    m_bLoaded = true;
}

COLORREF CGXSysColorCache::LookupColor(DWORD nIndex) const
{
    if (nIndex < nCachedColors && m_bLoaded)
        return m_colors[nIndex];
    if (nIndex < PV_SYSCOLOR_COUNT)
        return GetSysColor(int(nIndex));
    return RGB(0, 0, 0);
}
