#include "grid/core/gxstymap.h"

#include "grid/core/gxcolor.h"
#include "grid/core/gxstate.h"
#include "platform/base/CArchive.h"
#include "platform/sys/system.h"

IMPLEMENT_SERIAL(CGXStylesMap, CObject, 0)

CGXStylesMap::CGXStylesMap(CRuntimeClass* pStyleClass) { SetStyleClass(pStyleClass); }

CGXStylesMap::CGXStylesMap(const CGXStylesMap& other) : CObject(), GXArchiveAdoptable()
{
    SetStyleClass(nullptr);
    Assign(other);
}

void CGXStylesMap::Assign(const CGXStylesMap& other)
{
    if (&other == this)
        return;
    if (CGXAbstractGridParamCopyOperatorImp* imp = GXGetAppData()->m_pParamCopyOperatorImp)
        imp->CopyStylesMap(*this, other);
}

void CGXStylesMap::Serialize(CArchive& ar)
{
    if (CGXAbstractGridDocSerializeImp* imp = GXGetAppData()->m_pDocSerializeImp)
        imp->SerializeStylesMap(*this, ar);
}

void CGXStylesMap::WriteProfile()
{
    if (CGXAbstractGridProfileImp* imp = GXGetAppData()->m_pProfileImp)
        imp->WriteStylesMap(*this);
}

BOOL CGXStylesMap::ReadProfile()
{
    CGXAbstractGridProfileImp* imp = GXGetAppData()->m_pProfileImp;
    return imp ? imp->ReadStylesMap(*this) : FALSE;
}

CGXStyle* CGXStylesMap::CreateStyle() const
{
    CObject* p = m_pStyleClass->CreateObject();
    if (CGXStyle* s = dynamic_cast<CGXStyle*>(p))
        return s;
    delete p;
    return new CGXStyle;
}

WORD CGXStylesMap::NewStyleId()
{
    // Ids still bound to a resource style survive RemoveAllStyles; never hand one out again.
    for (;;) {
        const WORD id = m_nNextId++;
        bool bound = false;
        for (const auto& [res, rid] : m_resourceIds)
            bound = bound || rid == id;
        if (!bound || m_nNextId == 0)
            return id;
    }
}

void CGXStylesMap::StoreEntry(WORD nId, UINT nResourceId, const CString& sName, const CGXStyle& style, DWORD dwFlags)
{
    auto it = m_styles.find(nId);
    if (it != m_styles.end()) {
        it->second->pStyle.reset(style.Clone());
        return;
    }
    auto e = std::make_unique<CGXStylesMapEntry>();
    e->nId = nId;
    e->nResourceId = nResourceId;
    e->sName = sName;
    e->pStyle.reset(style.Clone());
    e->dwFlags = dwFlags;
    m_styles[nId] = std::move(e);
}

WORD CGXStylesMap::RegisterStyleByResource(UINT nResourceId, const CGXStyle& style, DWORD dwFlags)
{
    CString name;
    if (!name.LoadString(nResourceId))
        name.Format("UA%u", nResourceId);
    WORD id;
    auto it = m_resourceIds.find(nResourceId);
    if (it != m_resourceIds.end()) {
        id = it->second;
    } else {
        id = NewStyleId();
        m_resourceIds[nResourceId] = id;
    }
    m_names[name] = id;
    StoreEntry(id, nResourceId, name, style, dwFlags);
    return id;
}

WORD CGXStylesMap::RegisterStyleByName(LPCTSTR pszName, const CGXStyle& style, DWORD dwFlags)
{
    const CString name(pszName);
    WORD id;
    auto it = m_names.find(name);
    if (it != m_names.end()) {
        id = it->second;
    } else {
        id = NewStyleId();
        m_names[name] = id;
    }
    StoreEntry(id, 0, name, style, dwFlags);
    return id;
}

void CGXStylesMap::RestoreStyleEntry(WORD nId, UINT nResourceId, LPCTSTR pszName, CGXStyle* pStyle, DWORD dwFlags)
{
    auto e = std::make_unique<CGXStylesMapEntry>();
    e->nId = nId;
    e->nResourceId = nResourceId;
    e->sName = pszName;
    e->pStyle.reset(pStyle);
    e->dwFlags = dwFlags;
    if (nResourceId)
        m_resourceIds[nResourceId] = nId;
    m_names[e->sName] = nId;
    m_styles[nId] = std::move(e);
}

WORD CGXStylesMap::LookupStyleIdByName(LPCTSTR pszName) const
{
    WORD id;
    return LookupStyleId(pszName, id) ? id : GX_INVALID_STYLEID;
}

BOOL CGXStylesMap::LookupStyleId(LPCTSTR pszName, WORD& nId) const
{
    auto it = m_names.find(CString(pszName));
    if (it == m_names.end() || !m_styles.count(it->second))
        return FALSE;
    nId = it->second;
    return TRUE;
}

WORD CGXStylesMap::LookupStyleIdByResource(UINT nResourceId) const
{
    auto it = m_resourceIds.find(nResourceId);
    return it != m_resourceIds.end() && m_styles.count(it->second) ? it->second : GX_INVALID_STYLEID;
}

const CGXStylesMapEntry* CGXStylesMap::LookupEntry(WORD nId) const
{
    auto it = m_styles.find(nId);
    return it != m_styles.end() ? it->second.get() : nullptr;
}

LPCTSTR CGXStylesMap::LookupStyleName(WORD nId, UINT& nResourceId) const
{
    const CGXStylesMapEntry* e = LookupEntry(nId);
    nResourceId = e ? e->nResourceId : 0;
    return e ? LPCTSTR(e->sName) : nullptr;
}

BOOL CGXStylesMap::LookupStyleEntry(WORD nId, const CGXStyle*& pStyle) const
{
    const CGXStylesMapEntry* e = LookupEntry(nId);
    pStyle = e ? e->pStyle.get() : nullptr;
    return e != nullptr;
}

BOOL CGXStylesMap::LookupStyleEntry(WORD nId, CGXStyle*& pStyle)
{
    auto it = m_styles.find(nId);
    pStyle = it != m_styles.end() ? it->second->pStyle.get() : nullptr;
    return it != m_styles.end();
}

// Positions are 1 + the id of the next entry.
POSITION CGXStylesMap::GetStartPosition() const
{
    return m_styles.empty() ? nullptr : reinterpret_cast<POSITION>(DWORD_PTR(m_styles.begin()->first) + 1);
}

void CGXStylesMap::GetNextStyle(POSITION& pos, CString& sName, WORD& nId, const CGXStyle*& pStyle, UINT& nResourceId) const
{
    auto it = m_styles.lower_bound(WORD(reinterpret_cast<DWORD_PTR>(pos) - 1));
    if (it == m_styles.end()) {
        pos = nullptr;
        return;
    }
    const CGXStylesMapEntry& e = *it->second;
    sName = e.sName;
    nId = e.nId;
    pStyle = e.pStyle.get();
    nResourceId = e.nResourceId;
    ++it;
    pos = it == m_styles.end() ? nullptr : reinterpret_cast<POSITION>(DWORD_PTR(it->first) + 1);
}

void CGXStylesMap::RegisterControl(UINT nControlId)
{
    if (m_controlNames.count(nControlId))
        return;
    CString name;
    if (!name.LoadString(nControlId))
        AfxThrowResourceException();
    m_controlNames[nControlId] = name;
}

LPCTSTR CGXStylesMap::GetControlName(UINT nControlId) const
{
    auto it = m_controlNames.find(nControlId);
    return it != m_controlNames.end() ? LPCTSTR(it->second) : nullptr;
}

void CGXStylesMap::AddUserAttribute(WORD nId, const CGXStyle* pEditStyle)
{
    if (m_userAttributes.count(nId))
        return;
    CString name;
    if (!name.LoadString(nId))
        AfxThrowResourceException();
    std::unique_ptr<CGXStyle> style(CreateStyle());
    if (pEditStyle)
        style->Assign(*pEditStyle);
    RestoreUserAttribute(nId, name, style.release());
}

void CGXStylesMap::RestoreUserAttribute(WORD nId, LPCTSTR pszName, CGXStyle* pEditStyle)
{
    auto e = std::make_unique<CGXUserAttributeEntry>();
    e->nId = nId;
    e->sName = pszName;
    e->pStyle.reset(pEditStyle);
    m_userAttributes[nId] = std::move(e);
}

void CGXStylesMap::SetFurtherObject(WORD nKey, CObject* pObject) { m_furtherObjects[nKey].reset(pObject); }

void CGXStylesMap::RemoveAll()
{
    RemoveAllStyles();
    m_controlNames.clear();
    m_userAttributes.clear();
}

void CGXStylesMap::RemoveAllStyles()
{
    m_styles.clear();
    m_names.clear();
    m_furtherObjects.clear();
    m_nNextId = 0;
}

void CGXStylesMap::UpdateStandardStyleIds()
{
    auto lookup = [&](UINT res, WORD& id) {
        const WORD found = LookupStyleIdByResource(res);
        if (found != GX_INVALID_STYLEID)
            id = found;
    };
    lookup(GX_IDS_STYLE_STANDARD, m_wStyleStandard);
    lookup(GX_IDS_STYLE_COLHEADER, m_wStyleColHeader);
    lookup(GX_IDS_STYLE_ROWHEADER, m_wStyleRowHeader);
}

void CGXStylesMap::CreateStandardStyles()
{
    std::unique_ptr<CGXStyle> style(CreateStyle());
    CGXFont font(CGXFont::GetDefaultFont());
    font.SetSize(8);
    style->MakeStandardStyle();
    style->ChangeFont(font, gxOverride);
    m_wStyleStandard = RegisterStyleByResource(GX_IDS_STYLE_STANDARD, *style, 1);

    const int* look = GXGetAppData()->m_nLookOptions;
    auto headerBase = [&] {
        style->FreeParts();
        if (look[0] && look[2])
            style->SetBorders(gxBorderAll, CGXPackedPen());
        style->SetControl(52520);
        style->SetInteriorColor(GXSYSCOLOR(COLOR_BTNFACE));
    };
    headerBase();
    style->ChangeFont(CGXFont().SetWeight(700), gxCopy);
    style->SetHorizontalAlignment(1);
    style->SetVerticalAlignment(4);
    m_wStyleColHeader = RegisterStyleByResource(GX_IDS_STYLE_COLHEADER, *style, 1);
    headerBase();
    m_wStyleRowHeader = RegisterStyleByResource(GX_IDS_STYLE_ROWHEADER, *style, 1);
}

void ArchiveExtractStylesMap(CArchive& ar, CGXStylesMap*& pMap)
{
    pMap = static_cast<CGXStylesMap*>(ar.ReadObject(RUNTIME_CLASS(CGXStylesMap)));
}
