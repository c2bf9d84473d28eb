#include "grid/controls/gxtabcombo.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "grid/core/gxdib.h"
#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/core/gxuattr.h"
#include "platform/base/utf8.h"
#include "platform/gdi/dcguard.h"
#include "platform/sys/system.h"
#include "platform/win/win.h"

const CGXControlClass CGXTabbedComboBox::classCGXTabbedComboBox = {"CGXTabbedComboBox", &CGXComboBox::classCGXComboBox};

namespace {

// Window positions count characters; texts are UTF-8.
int CharCount(const CString& s) { return PvUtf8CharCount(s, size_t(s.GetLength())); }

std::string Key(const CString& s) { return std::string(LPCTSTR(s), size_t(s.GetLength())); }

BOOL TouchesTabList(const CGXStyle& style)
{
    if (style.GetIncludeChoiceList())
        return TRUE;
    for (WORD id : {GX_IDS_UA_TABLIST_KEYCOL, GX_IDS_UA_TABLIST_TEXTCOL, GX_IDS_UA_TABLIST_SHOWALLCOLS,
                    GX_IDS_UA_TABLIST_TITLES, GX_IDS_UA_TABLIST_COLWIDTHS, GX_IDS_UA_TABLIST_SORTCOL,
                    GX_IDS_UA_TABLIST_UNIQUEID})
        if (style.HasUserAttribute(id))
            return TRUE;
    return FALSE;
}

}  // namespace

// ---- The shared lookup maps ----

CGXTabbedComboCache* CGXTabbedComboCache::Get(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid ? pGrid->GetParam() : nullptr;
    if (!pParam)
        return nullptr;
    auto* p = dynamic_cast<CGXTabbedComboCache*>(pParam->GetFeatureObject(CGXGridParam::nTabbedComboCache));
    if (!p) {
        p = new CGXTabbedComboCache;
        pParam->SetFeatureObject(CGXGridParam::nTabbedComboCache, p);
    }
    return p;
}

CGXTabbedComboCache::Maps* CGXTabbedComboCache::Find(long nId)
{
    auto it = m_maps.find(nId);
    return it == m_maps.end() ? nullptr : &it->second;
}

void CGXTabbedComboCache::Drop(long nId)
{
    if (nId == -1)
        m_maps.clear();
    else
        m_maps.erase(nId);
    ++m_nGeneration;
}

// ---- The list ----

CGXTabbedComboLBox::CGXTabbedComboLBox(CGXTabbedComboBox* pOwner) : CGXComboListBox(pOwner), m_pTabbed(pOwner) {}

void CGXTabbedComboLBox::DrawItem(LPDRAWITEMSTRUCT pDis)
{
    if (!pDis || int(pDis->itemID) < 0 || int(pDis->itemID) >= GetCount())
        return;
    CDC* pDC = CDC::FromHandle(pDis->hDC);
    CString sText;
    GetText(int(pDis->itemID), sText);
    const BOOL bSelected = (pDis->itemState & ODS_SELECTED) != 0;
    const COLORREF back = bSelected ? ::GetSysColor(COLOR_HIGHLIGHT) : m_pTabbed->GetCellBackColor();
    const COLORREF fore = bSelected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : m_pTabbed->GetCellTextColor();
    const CGXTabbedComboBox::Settings& s = m_pTabbed->GetSettings();
    const CRect rect(pDis->rcItem);
    // Only the text column: drawn as one field across the entry.
    DrawTabbedItem(pDC, rect, sText, !s.bShowAllCols, s.nTextCol, m_pTabbed->GetColumnCount(), m_pTabbed->GetTabStops(),
                   back, fore);
    if (pDis->itemState & ODS_FOCUS)
        pDC->DrawFocusRect(&rect);
}

void CGXTabbedComboLBox::MeasureItem(LPMEASUREITEMSTRUCT pMis)
{
    if (!pMis)
        return;
    int nHeight = m_pTabbed->GetLineHeight();
    if (int(pMis->itemID) >= 0 && int(pMis->itemID) < GetCount()) {
        CString sText;
        GetText(int(pMis->itemID), sText);
        MeasureTabbedItemHeight(sText, FALSE, m_pTabbed->GetSettings().nTextCol, CGXTabbedComboBox::kMaxColumns, nHeight);
    }
    pMis->itemHeight = UINT(std::max(1, nHeight));
}

// ---- The control ----

CGXTabbedComboBox::CGXTabbedComboBox(CGXGridCore* pGrid, UINT nEditID, UINT nListBoxID, UINT nFlags)
    : CGXComboBox(pGrid, nEditID, nListBoxID, nFlags)
{
    m_bFitButtonHeight = FALSE;
}

CGXTabbedComboBox::~CGXTabbedComboBox()
{
    // The kept pop-up goes with the control; the base has nothing left to close.
    m_pDropDown = nullptr;
    m_pKeptDropDown.reset();
    m_pHeader.reset();
}

void CGXTabbedComboBox::AddUserAttributes(CGXStylesMap* pStylesMap)
{
    if (!pStylesMap)
        return;
    CGXStyle checkStyle;
    checkStyle.SetControl(WORD(GX_IDS_CTRL_CHECKBOX3D));
    pStylesMap->AddUserAttribute(GX_IDS_UA_TABLIST_KEYCOL);
    pStylesMap->AddUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL);
    pStylesMap->AddUserAttribute(GX_IDS_UA_TABLIST_SHOWALLCOLS, &checkStyle);
    pStylesMap->AddUserAttribute(GX_IDS_UA_TABLIST_TITLES, &checkStyle);
    pStylesMap->AddUserAttribute(GX_IDS_UA_TABLIST_SORTCOL);
    pStylesMap->AddUserAttribute(GX_IDS_UA_TABLIST_UNIQUEID);
}

CGXTabbedComboBox::Settings CGXTabbedComboBox::ReadSettings(const CGXStyle& style)
{
    Settings s;
    // Numbers are read as numbers: a cell drawn reads these, and no text is made for them.
    auto number = [&](WORD id, long def) -> long {
        if (!style.HasUserAttribute(id))
            return def;
        const CGXAbstractUserAttribute& a = style.GetUserAttribute(id);
        const auto* u = dynamic_cast<const CGXUserAttribute*>(&a);
        if (u && u->GetKind() == CGXUserAttribute::vtEmpty)
            return def;
        if (!u || u->GetKind() == CGXUserAttribute::vtShortText || u->GetKind() == CGXUserAttribute::vtLongText) {
            const CString v = a.GetValueText();
            return v.IsEmpty() ? def : std::atol(v);
        }
        return a.GetLong();
    };
    auto column = [&](WORD id, int def) { return int(std::clamp<long>(number(id, def), -1, 0x7FFF)); };
    s.nKeyCol = std::max(0, column(GX_IDS_UA_TABLIST_KEYCOL, 0));
    s.nTextCol = std::max(0, column(GX_IDS_UA_TABLIST_TEXTCOL, 0));
    s.bShowAllCols = number(GX_IDS_UA_TABLIST_SHOWALLCOLS, 1) != 0;
    s.bTitles = number(GX_IDS_UA_TABLIST_TITLES, 0) != 0;
    if (style.HasUserAttribute(GX_IDS_UA_TABLIST_COLWIDTHS))
        s.strWidths = style.GetUserAttribute(GX_IDS_UA_TABLIST_COLWIDTHS).GetValueText();
    s.nSortCol = column(GX_IDS_UA_TABLIST_SORTCOL, -1);
    s.nUniqueId = number(GX_IDS_UA_TABLIST_UNIQUEID, 0);
    return s;
}

CString CGXTabbedComboBox::Field(const CString& sLine, int nField)
{
    const char* p = sLine;
    for (int i = 0; i < nField && p; ++i) {
        p = std::strchr(p, '\t');
        if (p)
            ++p;
    }
    if (!p)
        return CString();
    const char* e = std::strchr(p, '\t');
    return e ? CString(p, int(e - p)) : CString(p);
}

CGXTabbedComboCache::Maps* CGXTabbedComboBox::CacheMaps(const CGXStyle& style, const Settings& s)
{
    if (s.nUniqueId < 1)
        return nullptr;
    CGXTabbedComboCache* pCache = CGXTabbedComboCache::Get(m_pGrid);
    if (!pCache)
        return nullptr;
    if (CGXTabbedComboCache::Maps* p = pCache->Find(s.nUniqueId))
        return p;
    CGXTabbedComboCache::Maps& maps = pCache->Add(s.nUniqueId);
    CGXChoiceListReader lines(style.GetIncludeChoiceList() ? LPCTSTR(style.GetChoiceList()) : "");
    CString sLine;
    for (BOOL bFirst = TRUE; lines.Next(sLine); bFirst = FALSE) {
        if (bFirst && s.bTitles)
            continue;
        maps.byKey.emplace(Key(Field(sLine, s.nKeyCol)), sLine);
        maps.byText.emplace(Key(Field(sLine, s.nTextCol)), sLine);
    }
    return &maps;
}

BOOL CGXTabbedComboBox::LookupKey(const CGXStyle& style, const CString& sKey, CString& sLine)
{
    const Settings s = ReadSettings(style);
    if (CGXTabbedComboCache::Maps* p = CacheMaps(style, s)) {
        auto it = p->byKey.find(Key(sKey));
        if (it == p->byKey.end())
            return FALSE;
        sLine = it->second;
        return TRUE;
    }
    if (!style.GetIncludeChoiceList())
        return FALSE;
    return FindChoiceListEntry(style.GetChoiceList(), sKey, s.nKeyCol, s.bTitles, TRUE, sLine) >= 0;
}

BOOL CGXTabbedComboBox::LookupText(const CGXStyle& style, const CString& sText, CString& sLine)
{
    const Settings s = ReadSettings(style);
    if (CGXTabbedComboCache::Maps* p = CacheMaps(style, s)) {
        auto it = p->byText.find(Key(sText));
        if (it == p->byText.end())
            return FALSE;
        sLine = it->second;
        return TRUE;
    }
    if (!style.GetIncludeChoiceList())
        return FALSE;
    return FindChoiceListEntry(style.GetChoiceList(), sText, s.nTextCol, s.bTitles, TRUE, sLine) >= 0;
}

// ---- Binding and values ----

void CGXTabbedComboBox::InitForCell(ROWCOL nRow, ROWCOL nCol)
{
    CGXComboBox::InitForCell(nRow, nCol);
    m_settings = ReadSettings(GetCellStyle());
    SetCellValue(nullptr);
    SetModified(FALSE);
    m_bListFilled = FALSE;
    if (HasWindow())
        m_pWnd->SetReadOnly(IsCellReadOnly() || m_pGrid->IsReadOnly() || GetCellStyle().GetReadOnly());
    if (!m_bActive)
        m_pButton->Refresh();
}

BOOL CGXTabbedComboBox::Validate()
{
    if (IsActive() && IsModified()) {
        CString sKey;
        if (!GetEditText(sKey))
            return FALSE;
    }
    return CGXComboBox::Validate();
}

void CGXTabbedComboBox::SetCellValue(LPCTSTR pszText)
{
    if (!HasWindow() || !m_bInit)
        return;
    const CString sKey = pszText ? CString(pszText) : m_pGrid->StoredCellValueText(m_nRow, m_nCol);
    const CGXStyle& style = GetCellStyle();
    CString sLine, sText;
    if (LookupKey(style, sKey, sLine))
        sText = Field(sLine, ReadSettings(style).nTextCol);
    SetEditWindowText(sText);
    m_pWnd->SetSel(0, -1);
    if (m_bListFilled && m_pKeptDropDown && m_pKeptDropDown->GetListBox())
        SelectEntryOfText(m_pKeptDropDown->GetListBox(), sText);
    if (m_bActive) {
        Refloat();
        m_pGrid->RedrawCells(m_nRow, m_nCol, m_nRow, m_nCol, GX_INVALIDATE);
    }
}

BOOL CGXTabbedComboBox::GetEditText(CString& sText)
{
    if (!m_bInit)
        return FALSE;
    CString sShown;
    if (m_bActive)
        GetWindowTextOf(sShown);
    else
        CGXEditControl::GetCellValueText(sShown);
    if (sShown.IsEmpty()) {
        sText.Empty();
        return TRUE;
    }
    CString sLine;
    const CGXStyle& style = GetCellStyle();
    if (!LookupText(style, sShown, sLine))
        return FALSE;
    sText = Field(sLine, ReadSettings(style).nKeyCol);
    return TRUE;
}

BOOL CGXTabbedComboBox::GetDisplayText(CString& sResult, ROWCOL, ROWCOL, LPCTSTR pszValue, const CGXStyle& style)
{
    const CString sKey = pszValue ? CString(pszValue) : style.GetIncludeValue() ? style.GetValue() : CString();
    sResult.Empty();
    CString sLine;
    if (!LookupKey(style, sKey, sLine))
        return FALSE;
    sResult = Field(sLine, ReadSettings(style).nTextCol);
    return TRUE;
}

BOOL CGXTabbedComboBox::ConvertDisplayText(CString& sText, ROWCOL, ROWCOL, const CGXStyle& style)
{
    if (sText.IsEmpty())
        return TRUE;
    CString sLine;
    if (!LookupText(style, sText, sLine))
        return FALSE;
    sText = Field(sLine, ReadSettings(style).nKeyCol);
    return TRUE;
}

BOOL CGXTabbedComboBox::ValidateText(const CString& sText)
{
    if (sText.IsEmpty() || !m_bUseChoiceList || !m_bInit)
        return TRUE;
    const CGXStyle& style = GetCellStyle();
    const Settings s = ReadSettings(style);
    CGXTabbedComboCache::Maps* pMaps = CacheMaps(style, s);
    if (pMaps && pMaps->byText.count(Key(sText)))
        return TRUE;
    CString sLine;
    if (!style.GetIncludeChoiceList()
        || FindChoiceListEntry(style.GetChoiceList(), sText, s.nTextCol, s.bTitles, FALSE, sLine) < 0)
        return FALSE;
    // The prefix names its line from now on.
    if (pMaps)
        pMaps->byText.emplace(Key(sText), sLine);
    return TRUE;
}

BOOL CGXTabbedComboBox::StoreStyleRange(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType,
                                        const CGXStyle* pOldStyle)
{
    if (!CGXComboBox::StoreStyleRange(nRow, nCol, pStyle, mt, nType, pOldStyle))
        return FALSE;
    if (!pStyle || (mt != gxOverride && mt != gxApplyNew))
        return TRUE;
    const BOOL bCurrent = m_pGrid->IsCurrentCellAt(nRow, nCol);
    if (TouchesTabList(*pStyle)) {
        // Any cell's new list invalidates the lookups of every cell sharing its id.
        long nId = ReadSettings(*pStyle).nUniqueId;
        if (nId < 1 && pOldStyle)
            nId = ReadSettings(*pOldStyle).nUniqueId;
        if (nId < 1) {
            CGXStyle composed;
            m_pGrid->ComposeCellStyle(nRow, nCol, composed);
            nId = ReadSettings(composed).nUniqueId;
        }
        if (nId < 1 && bCurrent)
            nId = m_settings.nUniqueId;
        if (nId >= 1)
            if (CGXTabbedComboCache* pCache = CGXTabbedComboCache::Get(m_pGrid))
                pCache->Drop(nId);
        if (bCurrent && IsInitializedFor(nRow, nCol))
            ReleaseCell();
    } else if (bCurrent && IsInitializedFor(nRow, nCol)
               && (pStyle->GetIncludeControl() || (pStyle->GetIncludeValue() && !IsModified()))) {
        ReleaseCell();
    }
    return TRUE;
}

CSize CGXTabbedComboBox::ChoiceListExtent(CDC* pDC, CGXGridCore* pGrid, const CGXStyle& style)
{
    const Settings s = ReadSettings(style);
    CDCStateGuard guard(pDC);
    guard.SelectFont(pGrid->LookupFont(style.GetFont()));
    TEXTMETRIC tm {};
    pDC->GetTextMetrics(&tm);
    CSize content(0, tm.tmHeight);
    CGXChoiceListReader lines(style.GetChoiceList());
    CString sLine;
    for (BOOL bFirst = TRUE; lines.Next(sLine); bFirst = FALSE) {
        if (bFirst && s.bTitles)
            continue;
        const CString sText = Field(sLine, s.nTextCol);
        CSize one = pDC->GetTextExtent(sText, sText.GetLength());
        if (HGLOBAL h = CGXDIBPool::GetPool()->GetDIB(sText)) {
            LONG cx = 0, cy = 0;
            DWORD nColors = 0;
            if (GXInspectDIB(h, cx, cy, nColors))
                one = CSize(int(cx), int(cy < 0 ? -cy : cy));
        }
        content.cx = std::max(content.cx, one.cx);
        content.cy = std::max(content.cy, one.cy);
    }
    return content;
}

CSize CGXTabbedComboBox::ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert)
{
    CSize size = CGXEditControl::ComputeContentSize(pDC, nRow, nCol, style, bVert);
    if (!pDC || !style.GetIncludeChoiceList())
        return size;
    const CSize content = AddBorderToSize(ChoiceListExtent(pDC, m_pGrid, style), nRow, nCol, style);
    return CSize(std::max(size.cx, content.cx), std::max(size.cy, content.cy));
}

void CGXTabbedComboBox::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                             const CGXStyle* pStandardStyle)
{
    if (!pDC)
        return;
    if (m_pGrid->IsCurrentCellAt(nRow, nCol)) {
        m_rgbText = style.ResolveTextColor();
        m_rgbBack = style.GetInterior().ResolveBrushColor();
        if (m_bActive && IsInitializedFor(nRow, nCol)) {
            CDCStateGuard guard(pDC);
            guard.SelectFont(m_pGrid->LookupFont(style.GetFont()));
            TEXTMETRIC tm {};
            pDC->GetTextMetrics(&tm);
            m_nLineHeight = std::max<int>(1, tm.tmHeight);
        }
    }
    if (!(m_bActive && IsInitializedFor(nRow, nCol)) && !m_pGrid->IsPrinting()) {
        CString sText;
        if (GetDisplayText(sText, nRow, nCol, nullptr, style) && !sText.IsEmpty())
            if (HGLOBAL hDIB = CGXDIBPool::GetPool()->GetDIB(sText)) {
                Draw3dBackground(pDC, rect, style);
                const CRect inner = ComputeInnerRect(nRow, nCol, &rect, &style);
                UINT nFlags = 0;
                if (style.GetIncludeHorizontalAlignment())
                    nFlags |= style.GetHorizontalAlignment() == 1 ? 1 : style.GetHorizontalAlignment() == 2 ? 2 : 0;
                if (style.GetIncludeVerticalAlignment())
                    nFlags |= style.GetVerticalAlignment() == 1 ? 4 : style.GetVerticalAlignment() == 2 ? 8 : 0;
                DrawDIB(pDC->GetSafeHdc(), hDIB, inner, 0, nFlags);
                CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
                return;
            }
    }
    CGXComboBox::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

// ---- Typing ----

BOOL CGXTabbedComboBox::HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags)
{
    const BOOL bHandled = CGXComboBox::HandleKeyMessage(message, wParam, lParam, flags);
    if (message == WM_CHAR && wParam >= 32 && m_bInit && !IsCellReadOnly())
        AutoComplete();
    return bHandled;
}

BOOL CGXTabbedComboBox::OnEditChar(UINT nChar, UINT nRepCnt, UINT nFlags, LRESULT& result)
{
    const BOOL bHandled = CGXComboBox::OnEditChar(nChar, nRepCnt, nFlags, result);
    if (nChar >= 32 && nChar != 127 && m_bInit && !IsCellReadOnly())
        AutoComplete();
    return bHandled;
}

void CGXTabbedComboBox::AutoComplete()
{
    if (!m_bAutoComplete || !m_bUseChoiceList || !m_bActive || !HasWindow() || IsCellReadOnly())
        return;
    CString sTyped;
    GetWindowTextOf(sTyped);
    if (sTyped.IsEmpty())
        return;
    const CGXStyle& style = GetCellStyle();
    const Settings s = ReadSettings(style);
    CString sLine;
    if (!LookupText(style, sTyped, sLine)
        && (!style.GetIncludeChoiceList()
            || FindChoiceListEntry(style.GetChoiceList(), sTyped, s.nTextCol, s.bTitles, FALSE, sLine) < 0))
        return;
    const CString sFull = Field(sLine, s.nTextCol);
    if (sFull == sTyped)
        return;
    SetEditWindowText(sFull);
    m_pWnd->SetSel(CharCount(sTyped), -1);
    SetModified(TRUE);
}

// ---- The kept drop-down ----

CGXGridCombo* CGXTabbedComboBox::CreateDropDownWindow(CWnd*, const CRect& rect)
{
    if (!m_pKeptDropDown || !m_pKeptDropDown->GetSafeHwnd())
        m_pKeptDropDown = std::make_unique<CGXGridCombo>(this, rect);
    return m_pKeptDropDown.get();
}

CListBox* CGXTabbedComboBox::CreateListBox(CWnd* pParent, UINT nID)
{
    auto* pDropDown = static_cast<CGXGridCombo*>(pParent);
    if (CListBox* pKept = pDropDown->GetListBox(); pKept && pKept->GetSafeHwnd())
        return pKept;
    const DWORD dwStyle = ListStyle() | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS | WS_CHILD | WS_VISIBLE | WS_BORDER;
    return AttachListBox(pParent, std::make_unique<CGXTabbedComboLBox>(this), [&](CListBox* p, const CRect& rect) {
        return p->CreateEx(0, WC_COMBOLBOX, "", dwStyle, rect, pParent, nID);
    });
}

void CGXTabbedComboBox::DropDown(BOOL bShow)
{
    if (bShow && m_pKeptDropDown && m_pKeptDropDown->GetSafeHwnd() && m_pKeptDropDown->IsWindowVisible())
        return;
    CGXComboBox::DropDown(bShow);
}

void CGXTabbedComboBox::DestroyDropDown(CGXGridCombo* pDropDown)
{
    if (!pDropDown || pDropDown != m_pKeptDropDown.get()) {
        CGXComboBox::DestroyDropDown(pDropDown);
        return;
    }
    WithFocusChangesIgnored([&] {
        WithPopupActive([&] {
            pDropDown->ShowWindow(SW_HIDE);
            if (m_pHeader && m_pHeader->GetSafeHwnd())
                m_pHeader->ShowWindow(SW_HIDE);
        });
    });
    if (auto* pList = dynamic_cast<CGXTabbedComboLBox*>(pDropDown->GetListBox()))
        pList->ResetInput();
}

void CGXTabbedComboBox::ComputeListRect(CRect& rect, const CRect& rectCell)
{
    CGXComboBox::ComputeListRect(rect, rectCell);
    if (rect.Width() < m_nTotalWidth)
        rect.right = rect.left + m_nTotalWidth;
}

int CGXTabbedComboBox::HeaderHeight()
{
    if (!m_settings.bTitles)
        return 0;
    if (!m_pHeader) {
        m_pHeader = std::make_unique<CGXTabbedLBoxHeader>();
        m_pHeader->Create(GetGridWnd());
    }
    m_pHeader->m_bTabbed = m_settings.bShowAllCols;
    m_pHeader->m_nDisplayOffset = m_settings.nTextCol;
    m_pHeader->m_nTabStops = m_nColCount;
    m_pHeader->m_pTabStops = m_anTabStops;
    // The titles in the list's font, which measured the columns.
    m_pHeader->m_pFont = m_pListFont ? m_pListFont.get() : m_pFont;
    int nHeight = m_nLineHeight;
    if (CDC* pDC = m_pGrid->GetMeasureDC()) {
        {
            CDCStateGuard guard(pDC);
            guard.SelectFont(m_pHeader->m_pFont);
            TEXTMETRIC tm {};
            pDC->GetTextMetrics(&tm);
            nHeight = tm.tmHeight;
        }
        m_pGrid->ReleaseMeasureDC();
    }
    return nHeight + kHeaderPadding;
}

void CGXTabbedComboBox::PlaceHeader(const CRect& rect)
{
    if (!m_pHeader || !m_pHeader->GetSafeHwnd())
        return;
    m_pHeader->SetWindowPos(&CWnd::wndTopMost, rect.left, rect.top, rect.Width(), rect.Height(), SWP_SHOWWINDOW);
    m_pHeader->Invalidate();
}

void CGXTabbedComboBox::TakeListSelection(CListBox* pList)
{
    const int nSel = pList ? pList->GetCurSel() : -1;
    if (nSel < 0 || !HasWindow())
        return;
    CString sEntry;
    pList->GetText(nSel, sEntry);
    PutChoiceText(Field(sEntry, 0));
}

void CGXTabbedComboBox::SelectEntryOfText(CListBox* pList, const CString& sText)
{
    int nExact = -1, nPrefix = -1;
    if (!sText.IsEmpty()) {
        const int nLen = sText.GetLength();
        CString sEntry;
        for (int i = 0, n = pList->GetCount(); i < n && nExact < 0; ++i) {
            pList->GetText(i, sEntry);
            const CString sField = Field(sEntry, 0);
            if (sField == sText)
                nExact = i;
            else if (nPrefix < 0 && sField.GetLength() >= nLen && strncasecmp(sField, sText, size_t(nLen)) == 0)
                nPrefix = i;
        }
    }
    pList->SetCurSel(nExact >= 0 ? nExact : nPrefix);
}

void CGXTabbedComboBox::RebuildList(CListBox* pList)
{
    int widths[kMaxColumns];
    std::fill(std::begin(widths), std::end(widths), -1);
    std::fill(std::begin(m_anTabStops), std::end(m_anTabStops), 0);
    m_nColCount = 0;
    m_nTotalWidth = 0;
    pList->ResetContent();
    if (m_pHeader)
        m_pHeader->m_strHeader.Empty();

    CString sList = GetCellStyle().GetIncludeChoiceList() ? GetCellStyle().GetChoiceList() : CString();
    if (!sList.IsEmpty()) {
        // Sorted once: the control's copy of the style keeps the order.
        if (m_settings.nSortCol >= 0) {
            SortChoiceList(sList, m_settings.nSortCol, m_settings.bTitles);
            m_pStyle->SetChoiceList(sList);
            m_pStyle->SetUserAttribute(GX_IDS_UA_TABLIST_SORTCOL, "-1");
            m_settings.nSortCol = -1;
        }
        CDC* pDC = m_pGrid->GetMeasureDC();
        {
            CDCStateGuard guard(pDC);
            if (pDC) {
                guard.SelectFont(m_pGrid->LookupFont(GetCellStyle().GetFont()));
                TEXTMETRIC tm {};
                pDC->GetTextMetrics(&tm);
                m_nLineHeight = std::max<int>(1, tm.tmHeight);
            }
            CGXChoiceListReader lines(sList);
            CString sLine;
            for (BOOL bFirst = TRUE; lines.Next(sLine); bFirst = FALSE) {
                if (pDC)
                    MeasureTabbedColumns(pDC, sLine, kMaxColumns, widths);
                const CString sEntry = m_settings.nTextCol <= 0 ? sLine : Field(sLine, m_settings.nTextCol) + "\t" + sLine;
                if (bFirst && m_settings.bTitles) {
                    if (!m_pHeader) {
                        m_pHeader = std::make_unique<CGXTabbedLBoxHeader>();
                        m_pHeader->Create(GetGridWnd());
                    }
                    m_pHeader->m_strHeader = sEntry;
                } else {
                    pList->AddString(sEntry);
                }
            }
        }
        if (pDC)
            m_pGrid->ReleaseMeasureDC();
    }
    while (m_nColCount < kMaxColumns && widths[m_nColCount] >= 0)
        ++m_nColCount;

    // Column widths: a number given for a column, else what it measured (hidden unless shown).
    const char* p = m_settings.strWidths;
    int nSum = 0;
    for (int i = 0; i < m_nColCount; ++i) {
        int w = 0;
        if (p && *p >= '0' && *p <= '9') {
            while (*p >= '0' && *p <= '9') {
                w = std::min(w * 10 + (*p - '0'), 0x7FFF);
                ++p;
            }
            while (*p && !(*p >= '0' && *p <= '9'))
                ++p;
        } else if (m_settings.bShowAllCols || i == m_settings.nTextCol) {
            w = widths[i] + kColumnPadding;
        }
        nSum += w;
        m_anTabStops[i] = nSum;
    }
    m_nTotalWidth = nSum + ::GetSystemMetrics(SM_CXVSCROLL);
}

void CGXTabbedComboBox::FillListBox(CListBox* pList)
{
    if (!pList || !m_bInit)
        return;
    const long nId = m_settings.nUniqueId;
    CGXTabbedComboCache* pCache = nId >= 1 ? CGXTabbedComboCache::Get(m_pGrid) : nullptr;
    const DWORD nGeneration = pCache ? pCache->GetGeneration() : 0;
    const BOOL bShared = pCache && m_bEverFilled && nId == m_nFilledId && nGeneration == m_nFilledGeneration;
    if (!m_bListFilled && !bShared)
        RebuildList(pList);
    m_bListFilled = TRUE;
    m_bEverFilled = TRUE;
    m_nFilledId = nId;
    m_nFilledGeneration = nGeneration;
    CString sText;
    GetWindowTextOf(sText);
    SelectEntryOfText(pList, sText);
}
