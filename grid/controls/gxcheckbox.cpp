#include "grid/controls/gxcheckbox.h"

#include <algorithm>
#include <cstring>

#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/core/gxuattr.h"
#include "platform/base/textcase.h"
#include "platform/gdi/dcguard.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/system.h"
#include "platform/win/win.h"
#include "resources/gxcellbitmaps.h"

const CGXControlClass CGXCheckBox::classCGXCheckBox = {"CGXCheckBox", &CGXControl::classCGXControl};
const CGXControlClass CGXCheckBoxEx::classCGXCheckBoxEx = {"CGXCheckBoxEx", &CGXControl::classCGXControl};

namespace {

constexpr size_t kPaletteSize = 16;
constexpr size_t kDibHeader = sizeof(BITMAPINFOHEADER) + kPaletteSize * sizeof(RGBQUAD);

COLORREF SysColor(int nIndex) { return GXGetAppData()->m_sysColors.LookupColor(DWORD(nIndex)); }

int TextMarginOf() { return std::max(3, GetSystemMetrics(SM_CXFRAME) / 2); }

}  // namespace

std::vector<BYTE> GXLoadCellBitmapDIB(UINT nID)
{
    int cx = 0, cy = 0;
    std::vector<uint8_t> pixels;
    if (!GXCellBitmapPixels(nID, cx, cy, pixels))
        return {};
    const size_t nStride = ((size_t(cx) * 4 + 31) / 32) * 4;
    std::vector<BYTE> dib(kDibHeader + nStride * size_t(cy), 0);
    BITMAPINFOHEADER bih {};
    bih.biSize = sizeof(bih);
    bih.biWidth = cx;
    bih.biHeight = cy;  // bottom-up
    bih.biPlanes = 1;
    bih.biBitCount = 4;
    bih.biCompression = BI_RGB;
    bih.biClrUsed = kPaletteSize;
    std::memcpy(dib.data(), &bih, sizeof(bih));
    auto* pal = reinterpret_cast<RGBQUAD*>(dib.data() + sizeof(bih));
    for (size_t i = 0; i < kPaletteSize; ++i) {
        const uint32_t c = kGXCellBitmapPalette[i];
        pal[i] = RGBQUAD {BYTE(c), BYTE(c >> 8), BYTE(c >> 16), 0};
    }
    BYTE* bits = dib.data() + kDibHeader;
    for (int y = 0; y < cy; ++y) {
        BYTE* row = bits + nStride * size_t(cy - 1 - y);
        for (int x = 0; x < cx; ++x) {
            const BYTE v = pixels[size_t(y) * size_t(cx) + size_t(x)] & 0x0F;
            row[x / 2] |= x % 2 ? v : BYTE(v << 4);
        }
    }
    return dib;
}

void GXMapCellBitmapColors(std::vector<BYTE>& dib, COLORREF (*pfnMap)(COLORREF, BOOL), BOOL bPrint)
{
    if (dib.size() < kDibHeader)
        return;
    auto* pal = reinterpret_cast<RGBQUAD*>(dib.data() + sizeof(BITMAPINFOHEADER));
    for (size_t i = 0; i < kPaletteSize; ++i) {
        const COLORREF c = pfnMap(RGB(pal[i].rgbRed, pal[i].rgbGreen, pal[i].rgbBlue), bPrint);
        pal[i] = RGBQUAD {GetBValue(c), GetGValue(c), GetRValue(c), 0};
    }
}

// ---- CGXCheckBox ----

CGXCheckBox::CGXCheckBox(CGXGridCore* pGrid, BOOL bDraw3d, UINT nBitmapId, UINT nPrintBitmapId)
    : CGXControl(pGrid), m_bDraw3d(bDraw3d), m_nBitmapId(nBitmapId), m_nPrintBitmapId(nPrintBitmapId)
{
}

void CGXCheckBox::AddUserAttributes(CGXStylesMap* pStylesMap)
{
    if (!pStylesMap)
        return;
    pStylesMap->AddUserAttribute(GX_IDS_UA_CHECKBOX_CHECKED);
    pStylesMap->AddUserAttribute(GX_IDS_UA_CHECKBOX_UNCHECKED);
}

void CGXCheckBox::CheckTexts(const CGXStyle& style, CString& sChecked, CString& sUnchecked)
{
    sChecked = style.GetUserAttribute(GX_IDS_UA_CHECKBOX_CHECKED).GetValueText();
    sUnchecked = style.GetUserAttribute(GX_IDS_UA_CHECKBOX_UNCHECKED).GetValueText();
    if (sChecked.IsEmpty())
        sChecked = "1";
    if (sUnchecked.IsEmpty())
        sUnchecked = "0";
}

CString CGXCheckBox::NextValue(const CString& sValue, const CString& sChecked, const CString& sUnchecked, BOOL bTriState)
{
    if (sValue == sChecked)
        return sUnchecked;
    if (bTriState && sValue == sUnchecked)
        return CString();
    return sChecked;
}

COLORREF CGXCheckBox::MapBitmapColor(COLORREF color, BOOL bPrint) { return GXMapCellBitmapColor(color, bPrint); }

COLORREF GXMapCellBitmapColor(COLORREF color, BOOL bPrint)
{
    switch (color) {
    case RGB(0, 0, 0): return bPrint ? RGB(0, 0, 0) : SysColor(COLOR_WINDOWTEXT);
    case RGB(255, 0, 0): return bPrint ? RGB(255, 255, 255) : SysColor(COLOR_WINDOW);
    case RGB(0, 255, 0): return SysColor(COLOR_WINDOWFRAME);
    case RGB(192, 192, 192): return SysColor(COLOR_BTNFACE);
    default: return color;
    }
}

BOOL CGXCheckBox::LoadCheckBitmaps()
{
    m_screenDIB.clear();
    m_printDIB.clear();
    UINT nScreen = m_nBitmapId;
    if (!nScreen)
        nScreen = !m_bDraw3d ? GX_IDB_CHECKBOX : GXGetAppData()->m_b3dCheckBoxLook ? GX_IDB_CHECKBOX_3DLOOK : GX_IDB_CHECKBOX_3D;
    m_screenDIB = GXLoadCellBitmapDIB(nScreen);
    m_printDIB = GXLoadCellBitmapDIB(m_nPrintBitmapId ? m_nPrintBitmapId : GX_IDB_CHECKBOX);
    if (m_screenDIB.empty() || m_printDIB.empty()) {
        m_screenDIB.clear();
        m_printDIB.clear();
        return FALSE;
    }
    for (int nStrip = 0; nStrip < 2; ++nStrip) {
        auto* pal = reinterpret_cast<RGBQUAD*>((nStrip ? m_printDIB : m_screenDIB).data() + sizeof(BITMAPINFOHEADER));
        for (size_t i = 0; i < kPaletteSize; ++i) {
            const COLORREF c = MapBitmapColor(RGB(pal[i].rgbRed, pal[i].rgbGreen, pal[i].rgbBlue), nStrip);
            pal[i] = RGBQUAD {GetBValue(c), GetGValue(c), GetRValue(c), 0};
        }
    }
    return TRUE;
}

void CGXCheckBox::OnSysColorChange()
{
    // The screen strip follows the new system colours.
    if (!m_screenDIB.empty())
        LoadCheckBitmaps();
    CGXControl::OnSysColorChange();
}

UINT CGXCheckBox::ComputeCheckState(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    UINT nState = 0;
    if (style.GetIncludeEnabled() && !style.GetEnabled())
        nState |= GX_CHECK_GREY;
    if (IsInitializedFor(nRow, nCol) && m_pGrid->IsCurrentCellAt(nRow, nCol)) {
        nState |= GX_CHECK_CURRENT;
        if (m_bPressed)
            nState |= GX_CHECK_GREY;
    }
    CString sChecked, sUnchecked;
    CheckTexts(style, sChecked, sUnchecked);
    const CString& sValue = style.GetValue();
    if (sValue == sChecked)
        nState |= GX_CHECK_CHECKED;
    else if (!IsTriState(style) || sValue == sUnchecked)
        nState |= GX_CHECK_UNCHECKED;
    return nState;
}

CRect CGXCheckBox::ComputeBoxRect(CDC* pDC, const CRect& rect, LPCTSTR pszLabel, DWORD dwAlign)
{
    const int nBox = kBoxSize;
    int cx = nBox, cy = nBox;
    if (pszLabel && *pszLabel && pDC) {
        TEXTMETRIC tm {};
        pDC->GetTextMetrics(&tm);
        cx = nBox * 3 / 2 + pDC->GetTextExtent(pszLabel, int(std::strlen(pszLabel))).cx;
        cy = std::min<int>(tm.tmHeight + tm.tmInternalLeading, nBox);
    }
    const int nFree = rect.Height() - cy;
    const int nDefaultTop = std::clamp(nFree, 0, 3);
    int x = rect.left + 3;
    if (dwAlign & kAlignCenter)
        x = rect.left + std::max(0, (rect.Width() - cx) / 2);
    else if (dwAlign & kAlignRight)
        x = rect.left + std::max(0, rect.Width() - cx);
    int y = rect.top + nDefaultTop;
    if (dwAlign & kAlignVCenter)
        y = rect.top + std::max(0, nFree / 2);
    else if (dwAlign & kAlignBottom)
        y = rect.top + std::max(0, nFree);
    return CRect(x, y, std::min<int>(rect.right, x + nBox), std::min<int>(rect.bottom, y + nBox));
}

void CGXCheckBox::DrawCheckBox(CDC* pDC, const CRect& rect, UINT nState, DWORD dwAlign, LPCTSTR pszLabel)
{
    if (!pDC)
        return;
    const CRect box = ComputeBoxRect(pDC, rect, pszLabel, dwAlign);
    if (box.Width() <= 0 || box.Height() <= 0)
        return;
    if (m_screenDIB.empty() && (m_bLoadFailed || !LoadCheckBitmaps())) {
        m_bLoadFailed = TRUE;
        return;
    }
    int nImage = 4;
    if (nState & GX_CHECK_CHECKED)
        nImage = int(nState & GX_CHECK_GREY) + 1;
    else if (nState & GX_CHECK_UNCHECKED)
        nImage = int(nState & GX_CHECK_GREY);
    const std::vector<BYTE>& dib = m_pGrid->IsPrinting() ? m_printDIB : m_screenDIB;
    const auto* bmi = reinterpret_cast<const BITMAPINFO*>(dib.data());
    // The top of the image shows when the cell cuts the box; the strip is bottom-up.
    pDC->StretchDIBits(box.left, box.top, box.Width(), box.Height(), nImage * kBoxSize, kBoxSize - box.Height(),
                       box.Width(), box.Height(), dib.data() + kDibHeader, bmi, DIB_RGB_COLORS, SRCCOPY);
}

DWORD CGXCheckBox::AlignmentOf(const CGXStyle& style)
{
    DWORD dw = 0;
    if (style.GetIncludeHorizontalAlignment())
        dw |= style.GetHorizontalAlignment() == 1 ? DWORD(kAlignCenter) : style.GetHorizontalAlignment() == 2 ? DWORD(kAlignRight) : 0;
    if (style.GetIncludeVerticalAlignment())
        dw |= style.GetVerticalAlignment() & (kAlignVCenter | kAlignBottom);
    return dw;
}

void CGXCheckBox::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                       const CGXStyle* pStandardStyle)
{
    if (!pDC)
        return;
    const UINT nState = ComputeCheckState(nRow, nCol, style);
    const DWORD dwAlign = AlignmentOf(style);
    {
        CDCStateGuard guard(pDC);
        guard.AdoptOldFont(SelectCellFont(pDC, style, pStandardStyle));
        Draw3dBackground(pDC, rect, style);
        guard.SetBkMode(TRANSPARENT);
        guard.SetTextColor(style.ResolveTextColor());
        guard.SetBkColor(style.GetInterior().ResolveBrushColor());
        const CRect inner = ComputeInnerRect(nRow, nCol, &rect, &style);
        const CString sLabel = LabelOf(style);
        DrawCheckBox(pDC, inner, nState, dwAlign, sLabel);
        const int nLabelLeft = inner.left + kBoxSize * 3 / 2;
        if (!sLabel.IsEmpty() && nLabelLeft < inner.right) {
            const CRect rectLabel(nLabelLeft, inner.top, inner.right, inner.bottom);
            const BOOL bWrap = style.GetIncludeWrapText() && style.GetWrapText();
            const UINT nFormat = UINT(dwAlign) | DT_NOPREFIX | (bWrap ? DT_WORDBREAK : DT_SINGLELINE);
            GetDrawingAndFormatting()->DrawTextLines(pDC, sLabel, sLabel.GetLength(), rectLabel, nFormat, &inner);
        }
    }
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

CSize CGXCheckBox::ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert)
{
    if (!pDC)
        return CSize(0, 0);
    CDCStateGuard guard(pDC);
    guard.AdoptOldFont(SelectCellFont(pDC, style, nullptr));
    TEXTMETRIC tm {};
    pDC->GetTextMetrics(&tm);
    const int nLine = tm.tmHeight + tm.tmExternalLeading + 1;
    const int nMargin = TextMarginOf();
    const CString sLabel = LabelOf(style);
    CSize label(tm.tmMaxCharWidth + 2 * nMargin, nLine);
    if (!sLabel.IsEmpty()) {
        // At most 32 lines are measured.
        constexpr int kMaxLines = 32;
        int starts[kMaxLines], lengths[kMaxLines];
        const BOOL bWrap = style.GetIncludeWrapText() && style.GetWrapText();
        CRect rectWrap = ComputeInnerRect(nRow, nCol, nullptr, &style);
        if (!bWrap && !bVert)
            rectWrap.right = rectWrap.left + 0x7FFF;
        const int nLines = std::max(1, GetDrawingAndFormatting()->BreakTextIntoLines(
                                           pDC, sLabel, sLabel.GetLength(), rectWrap,
                                           bWrap || bVert ? DT_WORDBREAK : DT_SINGLELINE, starts, lengths, kMaxLines));
        if (bVert) {
            label = CSize(rectWrap.Width(), nLine * nLines);
        } else {
            int nWidest = 0;
            for (int i = 0; i < nLines && i < kMaxLines; ++i)
                nWidest = std::max<int>(nWidest, pDC->GetTextExtent(LPCTSTR(sLabel) + starts[i], lengths[i]).cx);
            label = CSize(nWidest + 2 * nMargin, nLine * nLines);
        }
    }
    const CSize size(kBoxSize + label.cx + 6, std::max<int>(kBoxSize + 4, label.cy));
    return AddBorderToSize(size, nRow, nCol, style);
}

BOOL CGXCheckBox::ConvertDisplayText(CString& sText, ROWCOL, ROWCOL, const CGXStyle& style)
{
    if (!IsTriState(style))
        return TRUE;
    CString sChecked, sUnchecked;
    CheckTexts(style, sChecked, sUnchecked);
    if (PvCompareNoCase(LPCTSTR(sText), LPCTSTR(sChecked)) != 0 && PvCompareNoCase(LPCTSTR(sText), LPCTSTR(sUnchecked)) != 0)
        sText.Empty();
    return TRUE;
}

CRect CGXCheckBox::HitRectOf(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    CDC* pDC = m_pGrid->GetMeasureDC();
    if (!pDC)
        return CRect();
    CRect box;
    {
        CDCStateGuard guard(pDC);
        guard.AdoptOldFont(SelectCellFont(pDC, style, nullptr));
        box = ComputeBoxRect(pDC, ComputeInnerRect(nRow, nCol, nullptr, &style), LabelOf(style), AlignmentOf(style));
    }
    m_pGrid->ReleaseMeasureDC();
    return box;
}

BOOL CGXCheckBox::IsReleaseInCell(ROWCOL nRow, ROWCOL nCol, CPoint point)
{
    return m_pGrid->CellToRect(nRow, nCol).PtInRect(point);
}

BOOL CGXCheckBox::OnLeftButtonDown(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    if (!IsInitializedFor(nRow, nCol) || IsCellReadOnly())
        return FALSE;
    m_rectBox = HitRectOf(nRow, nCol, GetCellStyle());
    m_bTracking = TRUE;
    if (m_rectBox.PtInRect(point)) {
        m_bPressed = TRUE;
        Refresh();
    }
    CGXControl::OnLeftButtonDown(nRow, nCol, flags, point);
    return TRUE;
}

BOOL CGXCheckBox::OnMouseMove(UINT flags, CPoint point)
{
    // Only a press in the bound cell is followed; hovering presses nothing.
    if (m_bTracking && m_bInit) {
        const BOOL bPressed = IsReleaseInCell(m_nRow, m_nCol, point) && m_rectBox.PtInRect(point);
        if (bPressed != m_bPressed) {
            m_bPressed = bPressed;
            Refresh();
        }
    }
    return CGXControl::OnMouseMove(flags, point);
}

BOOL CGXCheckBox::OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    const BOOL bTracking = m_bTracking;
    m_bTracking = FALSE;
    if (m_bPressed) {
        m_bPressed = FALSE;
        Refresh();
    }
    const BOOL bChild = CGXControl::OnLeftButtonUp(nRow, nCol, flags, point) && GetCapturedChild();
    if (bTracking && !bChild && IsInitializedFor(nRow, nCol) && IsReleaseInCell(nRow, nCol, point)
        && m_rectBox.PtInRect(point))
        OnChildButtonClicked(nullptr);
    return TRUE;
}

BOOL CGXCheckBox::OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    m_bPressed = FALSE;
    const BOOL bChild = CGXControl::OnLeftButtonDblClk(nRow, nCol, flags, point) && GetCapturedChild();
    if (!bChild && IsInitializedFor(nRow, nCol) && !IsCellReadOnly() && HitRectOf(nRow, nCol, GetCellStyle()).PtInRect(point))
        OnChildButtonClicked(nullptr);
    return TRUE;
}

BOOL CGXCheckBox::HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags)
{
    if (CGXControl::HandleKeyMessage(message, wParam, lParam, flags))
        return TRUE;
    if (message == WM_CHAR && wParam == ' ') {
        OnChildButtonClicked(nullptr);
        return TRUE;
    }
    return FALSE;
}

void CGXCheckBox::OnChildButtonClicked(CGXChild* pChild)
{
    if (pChild) {
        CGXControl::OnChildButtonClicked(pChild);
        return;
    }
    if (!m_bInit || IsCellReadOnly())
        return;
    ResetCellStyle();
    const CGXStyle& style = GetCellStyle();
    CString sChecked, sUnchecked;
    CheckTexts(style, sChecked, sUnchecked);
    const CString sNew = NextValue(style.GetValue(), sChecked, sUnchecked, IsTriState(style));
    m_pGrid->SetRangeValueText(CGXCellRange(m_nRow, m_nCol), sNew, gxOverride, 0, GX_UPDATENOW);
    ResetCellStyle();
    CGXControl::OnChildButtonClicked(nullptr);
}

void CGXCheckBox::OnCancelMode()
{
    m_bTracking = FALSE;
    if (m_bPressed) {
        m_bPressed = FALSE;
        Refresh();
    }
    CGXControl::OnCancelMode();
}

// ---- CGXCheckBoxEx ----

void CGXCheckBoxEx::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                         const CGXStyle* pStandardStyle)
{
    // The bound cell shows the value not yet stored.
    const BOOL bPending = m_bActive && m_pStyle && IsInitializedFor(nRow, nCol);
    CGXCheckBox::Draw(pDC, rect, nRow, nCol, bPending ? *m_pStyle : style, pStandardStyle);
}

void CGXCheckBoxEx::SetPendingValue(const CString& sValue)
{
    GetCellStyle();
    m_pStyle->SetValue(sValue);
    m_pGrid->RedrawCells(m_nRow, m_nCol, m_nRow, m_nCol, GX_UPDATENOW);
    SetModified(TRUE);
    NotifyModified();
}

BOOL CGXCheckBoxEx::HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags)
{
    if (message == WM_KEYDOWN && wParam == VK_DELETE && m_bActive && m_bInit && !IsCellReadOnly()) {
        SetPendingValue(CString());
        return TRUE;
    }
    return CGXCheckBox::HandleKeyMessage(message, wParam, lParam, flags);
}

void CGXCheckBoxEx::OnChildButtonClicked(CGXChild* pChild)
{
    if (pChild) {
        CGXControl::OnChildButtonClicked(pChild);
        return;
    }
    if (!m_bInit)
        return;
    if (!m_bActive) {
        if (!StartEditing())
            return;
        SetActive(TRUE);
    }
    if (IsCellReadOnly())
        return;
    const CGXStyle& style = GetCellStyle();
    CString sChecked, sUnchecked;
    CheckTexts(style, sChecked, sUnchecked);
    SetPendingValue(NextValue(style.GetValue(), sChecked, sUnchecked, IsTriState(style)));
    CGXControl::OnChildButtonClicked(nullptr);
}
