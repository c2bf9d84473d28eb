#include "grid/controls/gxradio.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "grid/controls/gxcheckbox.h"
#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/core/gxuattr.h"
#include "platform/gdi/dcguard.h"
#include "platform/gdi/gdi.h"
#include "platform/win/win.h"
#include "resources/gxcellbitmaps.h"

const CGXControlClass CGXRadioButton::classCGXRadioButton = {"CGXRadioButton", &CGXControl::classCGXControl};
const CGXControlClass CGXRadioButtonEx::classCGXRadioButtonEx = {"CGXRadioButtonEx", &CGXControl::classCGXControl};

namespace {

int TextWidth(CDC* pDC, const CString& s) { return pDC ? pDC->GetTextExtent(s).cx : 0; }

}  // namespace

CGXRadioButton::CGXRadioButton(CGXGridCore* pGrid, BOOL bDraw3d) : CGXControl(pGrid), m_bDraw3d(bDraw3d) {}

std::vector<CString> CGXRadioButton::EntriesOf(const CGXStyle& style)
{
    std::vector<CString> entries;
    if (!style.GetIncludeChoiceList())
        return entries;
    const char* p = style.GetChoiceList();
    while (*p) {
        const char* q = p;
        while (*q && *q != '\r' && *q != '\n')
            ++q;
        if (q > p)
            entries.emplace_back(p, int(q - p));
        p = *q ? q + 1 : q;
    }
    return entries;
}

int CGXRadioButton::SelectedIndex(const CString& sValue)
{
    if (sValue.IsEmpty())
        return -1;
    errno = 0;
    const long n = std::strtol(sValue, nullptr, 10);
    // A number beyond an int selects nothing.
    return errno == ERANGE || n > 0x7FFFFFFF || n < -0x7FFFFFFF ? -1 : int(n);
}

CGXRadioButton::Layout CGXRadioButton::LayoutOf(CDC* pDC, const CGXStyle&)
{
    Layout layout;
    if (pDC) {
        TEXTMETRIC tm {};
        pDC->GetTextMetrics(&tm);
        layout.nLine = std::max<int>(kMinLineHeight, tm.tmHeight + tm.tmExternalLeading);
        layout.nGap = std::max<int>(kMinLineHeight, tm.tmMaxCharWidth);
    }
    return layout;
}

template <class Fn>
void CGXRadioButton::WalkEntries(CDC* pDC, const CRect& rectInner, const std::vector<CString>& entries,
                                 const Layout& layout, Fn fn)
{
    const int lh = layout.nLine;
    int x = rectInner.left;
    for (int i = 0; i < int(entries.size()); ++i) {
        const int tw = TextWidth(pDC, entries[size_t(i)]);
        const int top = layout.bHorizontal ? rectInner.top : rectInner.top + i * lh;
        if (!layout.bHorizontal)
            x = rectInner.left;
        CRect button, text;
        if (layout.bTextLeft) {
            text = CRect(x + 3, top, x + 3 + tw, top + lh);
            button = CRect(text.right, top, text.right + kButtonBox, top + lh);
            x = button.right + layout.nGap;
        } else {
            button = CRect(x, top, x + kButtonBox, top + lh);
            text = CRect(button.right, top, button.right + tw, top + lh);
            x = text.right + 2 + layout.nGap;
        }
        fn(i, button, text);
    }
}

const CGXStyle& CGXRadioButton::StyleOfCell(ROWCOL, ROWCOL, const CGXStyle& style) { return style; }

void CGXRadioButton::DrawRadioButton(CDC* pDC, int left, int top, int right, int bottom, BOOL bSelected, BOOL bDraw3d)
{
    (void)right;
    const int y = top + (bottom - top - kButtonHeight) / 2;
    if (bDraw3d) {
        if (m_dib.empty()) {
            m_dib = GXLoadCellBitmapDIB(GX_IDB_RADIOBTN);
            GXMapCellBitmapColors(m_dib, &GXMapCellBitmapColor, FALSE);
        }
        if (m_dib.empty())
            return;
        // The buttons are the bottom row of the picture, which is stored bottom-up.
        constexpr int kImageWidth = 14, kImageHeight = 13;
        pDC->StretchDIBits(left + 3, y, kImageWidth, kImageHeight, bSelected ? kImageWidth : 0, 0, kImageWidth,
                           kImageHeight, m_dib.data() + GX_CELLBITMAP_HEADER,
                           reinterpret_cast<const BITMAPINFO*>(m_dib.data()), DIB_RGB_COLORS, SRCCOPY);
        return;
    }
    CDCStateGuard guard(pDC);
    guard.SelectPen(static_cast<CPen*>(pDC->SelectStockObject(BLACK_PEN)));
    guard.SelectBrush(static_cast<CBrush*>(pDC->SelectStockObject(WHITE_BRUSH)));
    pDC->Ellipse(left + 3, y, left + 15, y + kButtonHeight);
    if (bSelected) {
        pDC->SelectStockObject(BLACK_BRUSH);
        pDC->Ellipse(left + 5, y + 2, left + 13, y + 10);
    }
}

void CGXRadioButton::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& styleGiven,
                          const CGXStyle* pStandardStyle)
{
    if (!pDC)
        return;
    const CGXStyle& style = StyleOfCell(nRow, nCol, styleGiven);
    {
        CDCStateGuard guard(pDC);
        guard.AdoptOldFont(SelectCellFont(pDC, style, pStandardStyle));
        CGXProperties* pProps = m_pGrid->GetProperties();
        const BOOL bBlackWhite = m_pGrid->IsPrinting() && pProps && pProps->m_bBlackWhite;
        guard.SetTextColor(bBlackWhite ? RGB(0, 0, 0) : style.ResolveTextColor());
        guard.SetBkColor(bBlackWhite ? RGB(255, 255, 255) : style.GetInterior().ResolveBrushColor());
        Draw3dBackground(pDC, rect, style);
        guard.SetBkMode(TRANSPARENT);
        const CRect inner = ComputeInnerRect(nRow, nCol, &rect, &style);
        CDCClipGuard clip(pDC);
        pDC->IntersectClipRect(&rect);
        const std::vector<CString> entries = EntriesOf(style);
        const int nSelected = SelectedIndex(style.GetValue());
        WalkEntries(pDC, inner, entries, LayoutOf(pDC, style), [&](int i, const CRect& button, const CRect& text) {
            DrawRadioButton(pDC, button.left, button.top, button.right, button.bottom, i == nSelected, m_bDraw3d);
            CRect r = text;
            pDC->DrawText(entries[size_t(i)], &r, DT_SINGLELINE | DT_NOPREFIX);
        });
        m_nEntries = int(entries.size());
    }
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

CSize CGXRadioButton::ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL)
{
    if (!pDC)
        return CSize(0, 0);
    CDCStateGuard guard(pDC);
    guard.AdoptOldFont(SelectCellFont(pDC, style, nullptr));
    const Layout layout = LayoutOf(pDC, style);
    const std::vector<CString> entries = EntriesOf(style);
    int nWidest = 0;
    for (const CString& s : entries)
        nWidest = std::max(nWidest, TextWidth(pDC, s));
    return AddBorderToSize(CSize(nWidest + 22, int(entries.size()) * layout.nLine + 4), nRow, nCol, style);
}

int CGXRadioButton::HitTestRadioButton(CDC* pDC, const CRect& rectInner, const CGXStyle& style, CPoint point)
{
    int nHit = -1;
    WalkEntries(pDC, rectInner, EntriesOf(style), LayoutOf(pDC, style), [&](int i, const CRect& button, const CRect& text) {
        if (nHit < 0 && (button.PtInRect(point) || text.PtInRect(point)))
            nHit = i;
    });
    return nHit;
}

int CGXRadioButton::HitTestCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CPoint point)
{
    CDC* pDC = m_pGrid->GetMeasureDC();
    if (!pDC)
        return -1;
    int nHit = -1;
    {
        CDCStateGuard guard(pDC);
        guard.AdoptOldFont(SelectCellFont(pDC, style, nullptr));
        nHit = HitTestRadioButton(pDC, ComputeInnerRect(nRow, nCol, nullptr, &style), style, point);
    }
    m_pGrid->ReleaseMeasureDC();
    return nHit;
}

void CGXRadioButton::StoreIndex(int nIndex)
{
    CString s;
    s.Format("%d", nIndex);
    m_pGrid->SetRangeValueText(CGXCellRange(m_nRow, m_nCol), s, gxOverride, 0, GX_UPDATENOW);
    ResetCellStyle();
}

BOOL CGXRadioButton::OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    if (IsInitializedFor(nRow, nCol) && m_pGrid->CellToRect(nRow, nCol).PtInRect(point) && !IsCellReadOnly()) {
        const CGXStyle& style = m_pGrid->GetCellStyleCached(nRow, nCol);
        const int nHit = HitTestCell(nRow, nCol, style, point);
        if (nHit >= 0) {
            if (nHit != SelectedIndex(style.GetValue()) && StartEditing())
                StoreIndex(nHit);
            CGXControl::OnChildButtonClicked(nullptr);
        }
    }
    CGXControl::OnLeftButtonUp(nRow, nCol, flags, point);
    return TRUE;
}

BOOL CGXRadioButton::HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags)
{
    if (CGXControl::HandleKeyMessage(message, wParam, lParam, flags))
        return TRUE;
    if (message != WM_CHAR || wParam != ' ' || !m_bInit || IsCellReadOnly())
        return FALSE;
    // Wraps at the entries of this cell, not of the cell drawn last.
    const CGXStyle& style = m_pGrid->GetCellStyleCached(m_nRow, m_nCol);
    const int nNext = SelectedIndex(style.GetValue()) + 1;
    StoreIndex(nNext < int(EntriesOf(style).size()) ? std::max(nNext, 0) : 0);
    return TRUE;
}

// ---- CGXRadioButtonEx ----

void CGXRadioButtonEx::AddUserAttributes(CGXStylesMap* pStylesMap)
{
    if (!pStylesMap)
        return;
    CGXStyle alignStyle;
    alignStyle.SetControl(WORD(GX_IDS_CTRL_ZEROBASED_EX)).SetChoiceList("Vertical\nHorizontal");
    pStylesMap->AddUserAttribute(GX_IDS_UA_RADIOBTN_ALIGN, &alignStyle);
    CGXStyle textStyle;
    textStyle.SetControl(WORD(GX_IDS_CTRL_ZEROBASED_EX)).SetChoiceList("Left\nRight");
    pStylesMap->AddUserAttribute(GX_IDS_UA_RADIOBTN_TEXTALIGN, &textStyle);
}

CGXRadioButton::Layout CGXRadioButtonEx::LayoutOf(CDC* pDC, const CGXStyle& style)
{
    Layout layout = CGXRadioButton::LayoutOf(pDC, style);
    layout.bHorizontal = style.GetUserAttribute(GX_IDS_UA_RADIOBTN_ALIGN).GetValueText() == "1";
    layout.bTextLeft = style.GetUserAttribute(GX_IDS_UA_RADIOBTN_TEXTALIGN).GetValueText() != "1";
    return layout;
}

const CGXStyle& CGXRadioButtonEx::StyleOfCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    // The bound cell shows the choice not yet stored.
    return m_bActive && m_pStyle && IsInitializedFor(nRow, nCol) ? *m_pStyle : style;
}

CSize CGXRadioButtonEx::ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert)
{
    if (!pDC)
        return CSize(0, 0);
    CDCStateGuard guard(pDC);
    guard.AdoptOldFont(SelectCellFont(pDC, style, nullptr));
    const Layout layout = LayoutOf(pDC, style);
    const std::vector<CString> entries = EntriesOf(style);
    int nWidest = 0, nSum = 0;
    for (const CString& s : entries) {
        const int nNeed = TextWidth(pDC, s) + (layout.bTextLeft ? layout.nGap + 3 : kButtonBox + 2);
        nWidest = std::max(nWidest, nNeed);
        nSum += nNeed;
    }
    CSize size;
    if (layout.bHorizontal)
        size = CSize(nSum, layout.nLine);
    else
        size = CSize(std::max(layout.nGap, nWidest), bVert ? int(entries.size()) * layout.nLine : layout.nLine);
    if (style.GetUserAttribute(GX_IDS_UA_RADIOBTN_TEXTALIGN).GetValueText() == "0")
        size.cx -= layout.nGap + 4;
    size.cx += 4;
    size.cy += 4;
    return AddBorderToSize(size, nRow, nCol, style);
}

BOOL CGXRadioButtonEx::Activate()
{
    if (m_bActive)
        return TRUE;
    if (!StartEditing())
        return FALSE;
    SetActive(TRUE);
    return TRUE;
}

void CGXRadioButtonEx::SetPendingValue(const CString& sValue)
{
    GetCellStyle();
    m_pStyle->SetValue(sValue);
    m_pGrid->RedrawCells(m_nRow, m_nCol, m_nRow, m_nCol, GX_UPDATENOW);
    SetModified(TRUE);
    NotifyModified();
}

BOOL CGXRadioButtonEx::OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    if (IsInitializedFor(nRow, nCol) && m_pGrid->CellToRect(nRow, nCol).PtInRect(point) && !IsCellReadOnly()) {
        const CGXStyle& style = StyleOfCell(nRow, nCol, m_pGrid->GetCellStyleCached(nRow, nCol));
        const int nHit = HitTestCell(nRow, nCol, style, point);
        if (nHit >= 0 && Activate()) {
            if (nHit != SelectedIndex(GetCellStyle().GetValue())) {
                CString s;
                s.Format("%d", nHit);
                SetPendingValue(s);
            }
            CGXControl::OnChildButtonClicked(nullptr);
        }
    }
    CGXControl::OnLeftButtonUp(nRow, nCol, flags, point);
    return TRUE;
}

BOOL CGXRadioButtonEx::HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags)
{
    if (message == WM_KEYDOWN && wParam == VK_DELETE && m_bActive && m_bInit && !IsCellReadOnly()) {
        SetPendingValue(CString());
        return TRUE;
    }
    if (CGXControl::HandleKeyMessage(message, wParam, lParam, flags))
        return TRUE;
    if (message != WM_CHAR || wParam != ' ' || !m_bInit)
        return FALSE;
    if (!Activate() || IsCellReadOnly())
        return TRUE;
    const CGXStyle& style = GetCellStyle();
    const int nNext = SelectedIndex(style.GetValue()) + 1;
    CString s;
    s.Format("%d", nNext < int(EntriesOf(style).size()) ? std::max(nNext, 0) : 0);
    SetPendingValue(s);
    return TRUE;
}
